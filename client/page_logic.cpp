#include "client/page_logic.h"

#include <windows.h>

namespace {

std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
  return out;
}

}  // namespace

bool HasGameMarker(const std::wstring& url) {
  return url.find(L"client=2") != std::wstring::npos || url.find(L"client=3") != std::wstring::npos;
}

std::wstring HtmlEscape(const std::wstring& text) {
  std::wstring out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    switch (c) {
      case L'&': out += L"&amp;"; break;
      case L'<': out += L"&lt;"; break;
      case L'>': out += L"&gt;"; break;
      case L'"': out += L"&quot;"; break;
      case L'\'': out += L"&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string BuildLoadErrorPage(const std::wstring& failedUrl, const std::wstring& errorText, int errorCode) {
  std::string page = "<html><body bgcolor=\"white\"><h2>Failed to load URL ";
  page += ToUtf8(HtmlEscape(failedUrl));
  page += " with error ";
  page += ToUtf8(HtmlEscape(errorText));
  page += " (";
  page += std::to_string(errorCode);
  page += ").</h2></body></html>";
  return page;
}
