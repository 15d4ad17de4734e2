#pragma once

#include <windows.h>

#include <string>

#include "client/simple_handler.h"

// Requests a browser as a child window of `parent` at (x, y, width, height)
// of its client area, showing `url`, reporting to `client`. Returns at once;
// CEF creates the browser on its UI thread and reports it to the client's
// OnAfterCreated, so the caller reaches it later through client->GetBrowser().
// Window thread.
void CreateChildBrowser(HWND parent, int x, int y, int width, int height, const std::wstring& url,
                        CefRefPtr<SimpleHandler> client);
