#include "ui/ChildBrowser.h"

#include "include/cef_browser.h"
#include "include/cef_request_context.h"

void CreateChildBrowser(HWND parent, int x, int y, int width, int height, const std::wstring& url,
                        CefRefPtr<SimpleHandler> client) {
  CefBrowserSettings settings;
  settings.file_access_from_file_urls = STATE_ENABLED;
  settings.local_storage = STATE_ENABLED;

  CefWindowInfo info;
  RECT rc = {x, y, x + width, y + height};
  info.SetAsChild(parent, rc);

  CefBrowserHost::CreateBrowser(info, client.get(), CefString(url), settings, nullptr);
}
