#include "ui/DuiFormLoginBrowser.h"

#include "client/simple_handler.h"
#include "ui/ChildBrowser.h"
#include "ui/SiteUrls.h"

DUI_BEGIN_MESSAGE_MAP(CDuiFormLoginBrowser, CNotifyPump)
DUI_ON_MSGTYPE(DUI_MSGTYPE_CLICK, CDuiFormLoginBrowser::OnClick)
DUI_END_MESSAGE_MAP()

CDuiFormLoginBrowser::CDuiFormLoginBrowser() : CXMLWnd(L"FormLoginBrowser.xml") {}

void CDuiFormLoginBrowser::InitWindow() {
  // The browser keeps this size and place whatever size the layout gives the pane.
  CreateChildBrowser(m_hWnd, 0, 0, kBrowserWidth, kBrowserHeight, LOGIN_PAGE_URL, g_pLoginClient);
}

LRESULT CDuiFormLoginBrowser::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  LRESULT lRes = WindowImplBase::HandleMessage(uMsg, wParam, lParam);
  // Keys that reach the pane's own window are swallowed; keys typed into
  // the page go to the browser's window.
  if (uMsg >= WM_KEYDOWN && uMsg <= WM_UNICHAR) return 0;
  return lRes;
}

void CDuiFormLoginBrowser::OnClick(TNotifyUI& msg) { WindowImplBase::OnClick(msg); }

void CDuiFormLoginBrowser::Notify(TNotifyUI& msg) { WindowImplBase::Notify(msg); }

void CDuiFormLoginBrowser::FollowOwner(int x, int y) {
  SetWindowPos(m_hWnd, nullptr, x + kOffsetX, y + kOffsetY, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CDuiFormLoginBrowser::ResponseDefaultKeyEvent(WPARAM wParam) {
  return WindowImplBase::ResponseDefaultKeyEvent(wParam);
}

LRESULT CDuiFormLoginBrowser::OnNcHitTest(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  return WindowImplBase::OnNcHitTest(uMsg, wParam, lParam, bHandled);
}

LRESULT CDuiFormLoginBrowser::OnClose(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  // The pane has the focus, so Alt+F4 or its system menu's Close lands here.
  // Closing the pane alone would leave a login screen without its page: the
  // request goes to the login window, which ends the program cleanly.
  bHandled = TRUE;
  if (HWND owner = GetWindow(m_hWnd, GW_OWNER)) ::PostMessageW(owner, WM_CLOSE, 0, 0);
  return 0;
}

CControlUI* CDuiFormLoginBrowser::CreateControl(LPCTSTR) { return nullptr; }
