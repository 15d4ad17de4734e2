#pragma once

#include <string>

// The decisions of the browser client that need no window, kept apart so
// that they can be checked case by case.

// True when `url` carries a game-entry marker ("client=2" or "client=3",
// case-sensitive, anywhere in the text).
bool HasGameMarker(const std::wstring& url);

// `text` with &, <, >, " and ' replaced by their HTML character references.
std::wstring HtmlEscape(const std::wstring& text);

// The page shown in place of a failed load, as UTF-8. The URL and the error
// text are escaped, so that a crafted address cannot bring its own markup
// into a page that is shown under that address.
std::string BuildLoadErrorPage(const std::wstring& failedUrl, const std::wstring& errorText, int errorCode);
