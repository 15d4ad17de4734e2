#include "ui/DuiFormLogin.h"

#include "app/launcher.h"
#include "client/shell_open.h"
#include "client/simple_handler.h"
#include "include/cef_app.h"
#include "include/cef_browser.h"
#include "include/cef_frame.h"
#include "ui/DuiFormGame.h"
#include "ui/DuiFormLoginBrowser.h"
#include "ui/SiteUrls.h"
#include "ui/WindowMessages.h"

void OpenUrlExternally(const std::wstring& url) {
  if (ShellExecuteFailed(g_pfnShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOW)))
    g_pfnShellExecuteW(nullptr, L"open", L"iexplore", url.c_str(), nullptr, SW_SHOW);
}

bool OpenLinkButton(const CDuiString& name) {
  if (name == _T("officialbtn")) OpenUrlExternally(OFFICIAL_SITE_URL);
  else if (name == _T("rechargebtn")) OpenUrlExternally(RECHARGE_PAGE_URL);
  else if (name == _T("forumbtn")) OpenUrlExternally(OFFICIAL_SITE_URL);
  else if (name == _T("servicebtn")) OpenUrlExternally(OFFICIAL_SITE_URL);
  else return false;
  return true;
}

DUI_BEGIN_MESSAGE_MAP(CDuiFormLogin, CNotifyPump)
DUI_ON_MSGTYPE(DUI_MSGTYPE_CLICK, CDuiFormLogin::OnClick)
DUI_END_MESSAGE_MAP()

CDuiFormLogin::CDuiFormLogin() : CXMLWnd(L"FormLogin.xml"), m_pLoginBrowser(nullptr), m_pGameWnd(nullptr) {}

void CDuiFormLogin::InitWindow() {
  CenterWindow();
  RECT rc;
  GetWindowRect(m_hWnd, &rc);
  m_pLoginBrowser = new CDuiFormLoginBrowser;
  m_pLoginBrowser->Create(m_hWnd, _T("LoginBrowser"), WS_VISIBLE | WS_OVERLAPPEDWINDOW, WS_EX_WINDOWEDGE,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr);
  // First placement: the login window's own top-left corner; from the first
  // move on, FollowOwner keeps the pane at its offset.
  SetWindowPos(*m_pLoginBrowser, nullptr, rc.left, rc.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  m_pLoginBrowser->ShowWindow(true, true);
}

LRESULT CDuiFormLogin::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  LRESULT lRes = WindowImplBase::HandleMessage(uMsg, wParam, lParam);
  switch (uMsg) {
    case WM_MOVE:
      // A move during InitWindow's centring comes before the pane exists.
      if (m_pLoginBrowser) {
        RECT rc;
        GetWindowRect(m_hWnd, &rc);
        m_pLoginBrowser->FollowOwner(rc.left, rc.top);
      }
      break;
    case WM_BACK_TO_LOGIN:
      ShowWindow(true, true);
      if (m_pLoginBrowser) m_pLoginBrowser->ShowWindow(true, true);
      m_pGameWnd = nullptr;
      break;
    case WM_GAME_URL:
      if (lParam) OnGameUrl(reinterpret_cast<const wchar_t*>(lParam));
      break;
  }
  return lRes;
}

// Runs on the window thread while CEF's UI thread waits in its
// cross-thread send: only calls that return without waiting for that thread
// (LoadURL, the asynchronous browser creation) may be made here.
void CDuiFormLogin::OnGameUrl(const wchar_t* url) {
  ShowWindow(false, true);
  if (m_pLoginBrowser) m_pLoginBrowser->ShowWindow(false, true);
  const std::wstring gameUrl(url);  // the sender's string lives only until the send returns
  if (CefRefPtr<CefBrowser> browser = g_pLoginClient->GetBrowser()) {
    if (CefRefPtr<CefFrame> frame = browser->GetMainFrame()) frame->LoadURL(LOGIN_PAGE_URL);
  }
  // One game window at a time; a second game URL keeps the open one as it is.
  if (m_pGameWnd) return;
  m_pGameWnd = new CDuiFormGame;
  m_pGameWnd->CreateGameWnd(m_hWnd, gameUrl);
  if (!IsWindow(*m_pGameWnd)) {
    // No window, so nothing will free the object; the login screen stays.
    delete m_pGameWnd;
    m_pGameWnd = nullptr;
    ShowWindow(true, true);
    if (m_pLoginBrowser) m_pLoginBrowser->ShowWindow(true, true);
    return;
  }
  m_pGameWnd->m_hLoginWnd = m_hWnd;
  m_pGameWnd->SetGameUrl(gameUrl);
  m_pGameWnd->ShowWindow(true, true);
}

void CDuiFormLogin::OnClick(TNotifyUI& msg) {
  const CDuiString& name = msg.pSender->GetName();
  if (OpenLinkButton(name)) {
    // opened
  } else if (name == _T("closebtn")) {
    // CEF goes first: after its shut-down the quit request returns at once.
    ShutdownCef();
    CefQuitMessageLoop();
    PostQuitMessage(0);
  }
  WindowImplBase::OnClick(msg);
}

void CDuiFormLogin::Notify(TNotifyUI& msg) { WindowImplBase::Notify(msg); }

LRESULT CDuiFormLogin::ResponseDefaultKeyEvent(WPARAM wParam) { return WindowImplBase::ResponseDefaultKeyEvent(wParam); }

LRESULT CDuiFormLogin::OnNcHitTest(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  return WindowImplBase::OnNcHitTest(uMsg, wParam, lParam, bHandled);
}

LRESULT CDuiFormLogin::OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  return WindowImplBase::OnSysCommand(uMsg, wParam, lParam, bHandled);
}

CControlUI* CDuiFormLogin::CreateControl(LPCTSTR) { return nullptr; }
