#include "client/simple_handler.h"

#include <windows.h>

#include <string>

#include "app/launcher.h"
#include "client/page_logic.h"
#include "client/shell_open.h"
#include "include/cef_app.h"
#include "include/cef_task.h"
#include "ui/WindowMessages.h"

CefRefPtr<SimpleHandler> g_pLoginClient(new SimpleHandler);


SimpleHandler::SimpleHandler() {}

SimpleHandler::~SimpleHandler() {}

CefRefPtr<CefBrowser> SimpleHandler::GetBrowser() {
  std::lock_guard<std::mutex> lock(m_browserListLock);
  return m_browserList.empty() ? nullptr : m_browserList.front();
}

void SimpleHandler::OnAddressChange(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, const CefString&) {}

void SimpleHandler::OnTitleChange(CefRefPtr<CefBrowser> browser, const CefString& title) {
  // The browser's own window takes the title; the form around it keeps its caption.
  SetWindowTextW(browser->GetHost()->GetWindowHandle(), title.c_str());
}

bool SimpleHandler::OnBeforePopup(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, const CefString& target_url,
                                  const CefString&, WindowOpenDisposition, bool, const CefPopupFeatures&,
                                  CefWindowInfo&, CefRefPtr<CefClient>&, CefBrowserSettings&, bool*) {
  // Pop-ups never become browsers: Internet Explorer first, then whatever
  // the system opens the address with.
  const std::wstring url = target_url.ToWString();
  const wchar_t* target = url.empty() ? nullptr : url.c_str();
  if (ShellExecuteFailed(g_pfnShellExecuteW(nullptr, L"open", L"iexplore", target, nullptr, SW_SHOW)))
    g_pfnShellExecuteW(nullptr, L"open", target, nullptr, nullptr, SW_SHOW);
  return true;
}

void SimpleHandler::OnAfterCreated(CefRefPtr<CefBrowser> browser) {
  {
    std::lock_guard<std::mutex> lock(m_browserListLock);
    m_browserList.push_back(browser);
  }
  // The form around the browser places it in its layout passes, which run on
  // its own events; this deferred activation runs one now that the browser
  // exists, so that a game is not shown at its creation rectangle until the
  // player happens to move or click the window.
  if (HWND parent = GetParent(browser->GetHost()->GetWindowHandle())) PostMessageW(parent, WM_ACTIVATE, 0, 0);
}

bool SimpleHandler::DoClose(CefRefPtr<CefBrowser>) { return false; }

void SimpleHandler::OnBeforeClose(CefRefPtr<CefBrowser> browser) {
  bool empty;
  CefRefPtr<CefBrowser> closing;
  {
    std::lock_guard<std::mutex> lock(m_browserListLock);
    for (auto it = m_browserList.begin(); it != m_browserList.end(); ++it) {
      if ((*it)->IsSame(browser)) {
        closing = *it;  // released outside the lock
        m_browserList.erase(it);
        break;
      }
    }
    empty = m_browserList.empty();
  }
  // The quit request of the last browser. With CEF's multi-threaded message
  // loop it is made on CEF's UI thread, where it quits nothing: the login
  // window's modal loop goes on when a game window's browser closes. Made
  // on the window thread it would end the process, so it is made nowhere else.
  if (empty && CefCurrentlyOn(TID_UI)) CefQuitMessageLoop();
}

void SimpleHandler::OnLoadingStateChange(CefRefPtr<CefBrowser>, bool, bool, bool) {}

void SimpleHandler::OnLoadStart(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>) {}

void SimpleHandler::OnLoadError(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame> frame, ErrorCode errorCode,
                                const CefString& errorText, const CefString& failedUrl) {
  if (errorCode == ERR_ABORTED) return;
  const std::string page = BuildLoadErrorPage(failedUrl.ToWString(), errorText.ToWString(), errorCode);
  frame->LoadString(CefString(page), failedUrl);
}

bool SimpleHandler::OnBeforeBrowse(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, CefRefPtr<CefRequest> request,
                                   bool) {
  const std::wstring url = request->GetURL().ToWString();
  // A cross-thread send: CEF's UI thread waits while the login window
  // handles it on the window thread. The string lives until the send returns.
  if (HasGameMarker(url)) SendMessageW(g_hWndMain, WM_GAME_URL, 0, reinterpret_cast<LPARAM>(url.c_str()));
  return false;
}
