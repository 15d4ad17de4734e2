#include "ui/DuiFormGame.h"

#include "client/shell_open.h"
#include "include/cef_browser.h"
#include "res/resource.h"
#include "ui/ChildBrowser.h"
#include "ui/DuiFormFullScreen.h"
#include "ui/DuiFormLogin.h"
#include "ui/WindowMessages.h"

#if !defined(_WIN64)
static_assert(sizeof(NOTIFYICONDATAW) == 956, "the full NOTIFYICONDATAW of 32-bit Windows");
#endif
static_assert(sizeof(WINDOWPLACEMENT) == 44, "WINDOWPLACEMENT");

namespace {

// Sent by the shell to every top-level window when the taskbar (re)starts.
UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

}  // namespace

DUI_BEGIN_MESSAGE_MAP(CDuiFormGame, CNotifyPump)
DUI_ON_MSGTYPE(DUI_MSGTYPE_CLICK, CDuiFormGame::OnClick)
DUI_END_MESSAGE_MAP()

CDuiFormGame::CDuiFormGame()
    : CXMLWnd(L"FormGame.xml"),
      m_hLoginWnd(nullptr),
      m_nid(),
      m_bTrayIconAdded(false),
      m_bBossKeyHidden(false),
      m_bFullScreen(false),
      m_wpWindowed(),
      m_pFullScreenBar(nullptr),
      m_pGameClient(new SimpleHandler),
      m_pTopBg(nullptr),
      m_bBackToLoginPosted(false) {
  m_nid.cbSize = sizeof(NOTIFYICONDATAW);
  m_wpWindowed.length = sizeof(WINDOWPLACEMENT);
  m_missingTopBg.SetPos(RECT{0, 0, 0, kTitleBarHeight}, false);
}

CDuiFormGame::~CDuiFormGame() {
  // The bar's window went with this window (it is owned by it).
  delete m_pFullScreenBar;
}

void CDuiFormGame::CreateGameWnd(HWND hParent, std::wstring url) {
  m_strGameUrl = url;  // InitWindow reads it during the creation
  Create(hParent, _T("Quelmarch"), GAME_WINDOW_STYLE, WS_EX_APPWINDOW | WS_EX_WINDOWEDGE, CW_USEDEFAULT,
         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr);
}

void CDuiFormGame::SetGameUrl(std::wstring url) { m_strGameUrl = url; }

void CDuiFormGame::InitWindow() {
  CreateChildBrowser(m_hWnd, 0, kTitleBarHeight, 627, 374, m_strGameUrl, m_pGameClient);
  ResizeClient(kClientWidth, kClientHeight);
  m_pTopBg = m_PaintManager.FindControl(_T("topBg"));
  if (!m_pTopBg) m_pTopBg = &m_missingTopBg;
  CenterAndShow();
}

void CDuiFormGame::CenterAndShow() {
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  // Only the work area's right and bottom edges count; no shrinking.
  const int x = (work.right - kClientWidth) / 2;
  const int y = (work.bottom - kClientHeight) / 2;
  SetWindowPos(m_hWnd, HWND_TOP, x, y, kClientWidth, kClientHeight, SWP_SHOWWINDOW);
  if (m_hWnd) ShowWindow(true, true);
  UpdateWindow(m_hWnd);
  UpdateLayout();
}

void CDuiFormGame::UpdateLayout() {
  // Every pass ends by showing the window: none may run while the boss key
  // hides it.
  if (m_bBossKeyHidden) return;
  RECT rc;
  GetClientRect(m_hWnd, &rc);
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  if (m_bFullScreen) {
    // The full-screen style carries no WS_VISIBLE; setting it as it stands
    // would mark the shown window hidden and take its activation away.
    SetWindowLongW(m_hWnd, GWL_STYLE, FULLSCREEN_STYLE | (GetWindowLongW(m_hWnd, GWL_STYLE) & WS_VISIBLE));
    SetWindowPos(m_hWnd, HWND_NOTOPMOST, 0, 0, cx, cy, 0);
  } else if (m_pTopBg) {
    m_pTopBg->SetPos(RECT{0, 0, w, m_pTopBg->GetHeight()});
  }
  if (CefRefPtr<CefBrowser> browser = m_pGameClient->GetBrowser()) {
    if (HWND hBrowser = browser->GetHost()->GetWindowHandle()) {
      if (m_bFullScreen) {
        MoveWindow(hBrowser, 0, 0, cx, cy, TRUE);
      } else {
        if (m_pTopBg) m_pTopBg->SetPos(RECT{0, 0, w, m_pTopBg->GetHeight()});
        MoveWindow(hBrowser, 2, kTitleBarHeight, w - 3, h - 34, TRUE);
      }
      UpdateWindow(m_hWnd);
    }
  }
  InvalidateRect(m_hWnd, &rc, TRUE);
  ::ShowWindow(m_hWnd, SW_SHOW);
  UpdateWindow(m_hWnd);
}

void CDuiFormGame::EnterFullScreen() {
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  m_bFullScreen = true;
  m_wpWindowed.length = sizeof(WINDOWPLACEMENT);
  GetWindowPlacement(m_hWnd, &m_wpWindowed);
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  WINDOWPLACEMENT wp = {};
  wp.length = sizeof(WINDOWPLACEMENT);
  wp.flags = 0;
  wp.showCmd = SW_SHOWNORMAL;
  // The screen's rectangle in work-area coordinates.
  wp.rcNormalPosition = RECT{-work.left, -work.top, cx - work.left, cy - work.top};
  SetWindowPlacement(m_hWnd, &wp);
  SetWindowPos(m_hWnd, HWND_NOTOPMOST, 0, 0, cx, cy, 0);
  UpdateLayout();

  if (m_pFullScreenBar) {
    // A bar left from an earlier entry goes first.
    if (IsWindow(*m_pFullScreenBar)) DestroyWindow(*m_pFullScreenBar);
    delete m_pFullScreenBar;
  }
  m_pFullScreenBar = new CDuiFormFullScreen;
  m_pFullScreenBar->Create(m_hWnd, _T("FormGame"), GAME_WINDOW_STYLE, WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr);
  SetWindowPos(*m_pFullScreenBar, nullptr, cx / 2 - CDuiFormFullScreen::kWidth / 2, 0, CDuiFormFullScreen::kWidth,
               CDuiFormFullScreen::kHeight, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  m_pFullScreenBar->m_hWndGame = m_hWnd;
  m_pFullScreenBar->ShowWindow(true, true);
}

void CDuiFormGame::ExitFullScreen() {
  SetWindowLongW(m_hWnd, GWL_STYLE, GAME_WINDOW_STYLE);
  m_bFullScreen = false;
  // Before the first entry nothing was saved (an empty rectangle would
  // shrink the window to nothing): the window keeps its place then.
  if (m_wpWindowed.showCmd != 0) SetWindowPlacement(m_hWnd, &m_wpWindowed);
  UpdateLayout();
  if (m_pFullScreenBar) {
    ::SendMessageW(*m_pFullScreenBar, WM_CLOSE, 0, 0);
    delete m_pFullScreenBar;
    m_pFullScreenBar = nullptr;
  }
}

void CDuiFormGame::FillTrayIcon() {
  m_nid.cbSize = sizeof(NOTIFYICONDATAW);
  m_nid.hWnd = m_hWnd;
  m_nid.uID = kTrayIconId;
  m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  m_nid.uCallbackMessage = WM_TRAY_NOTIFY;
  m_nid.hIcon = LoadIconW(CPaintManagerUI::GetInstance(), MAKEINTRESOURCEW(IDI_QUELMARCH));
  lstrcpynW(m_nid.szTip, L"\u5fae\u7aef", ARRAYSIZE(m_nid.szTip));
}

void CDuiFormGame::HideToTray() {
  FillTrayIcon();
  m_bTrayIconAdded = g_pfnShellNotifyIconW(NIM_ADD, &m_nid) != FALSE;
  // Without an icon there would be no way back: the window stays.
  if (!m_bTrayIconAdded) {
    m_bBossKeyHidden = false;
    return;
  }
  ShowWindow(false, true);
}

bool CDuiFormGame::RemoveTrayIcon() {
  if (!m_bTrayIconAdded) return false;
  m_nid.uFlags = 0;
  return g_pfnShellNotifyIconW(NIM_DELETE, &m_nid) != FALSE;
}

void CDuiFormGame::RestoreFromTray() {
  m_bBossKeyHidden = false;
  ShowWindow(true, true);
  RemoveTrayIcon();
}

void CDuiFormGame::OnDestroyWindow() {
  // No dead icon stays in the tray.
  if (m_bBossKeyHidden) RemoveTrayIcon();
  // However the window was closed, the login screen comes back.
  if (!m_bBackToLoginPosted && m_hLoginWnd) {
    m_bBackToLoginPosted = true;
    ::PostMessageW(m_hLoginWnd, WM_BACK_TO_LOGIN, 0, 0);
  }
}

void CDuiFormGame::OnFinalMessage(HWND hWnd) { delete this; }

LRESULT CDuiFormGame::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  LRESULT lRes = WindowImplBase::HandleMessage(uMsg, wParam, lParam);
  const bool layoutReady = m_pTopBg && m_pGameClient;
  switch (uMsg) {
    case WM_MOVE:
      if (layoutReady) UpdateLayout();
      break;
    case WM_SIZE:
      if (layoutReady && !m_bFullScreen) UpdateLayout();
      ::PostMessageW(m_hWnd, WM_ACTIVATE, 0, 0);
      break;
    case WM_ACTIVATE:
      if (layoutReady && !m_bBossKeyHidden && !m_bFullScreen) UpdateLayout();
      break;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE && m_bFullScreen) {
        ExitFullScreen();
        m_bFullScreen = false;
      }
      break;
    case WM_TRAY_NOTIFY:
      if (lParam == WM_LBUTTONUP || lParam == WM_LBUTTONDBLCLK) RestoreFromTray();
      break;
    case WM_EXIT_FULLSCREEN:
      ExitFullScreen();
      break;
    case WM_DESTROY:
      OnDestroyWindow();
      break;
    default:
      // The shell restarted: a hidden game needs its icon again. An icon the
      // shell still has is only refreshed; with none, the window comes back.
      if (uMsg == TaskbarCreatedMessage() && m_bBossKeyHidden) {
        FillTrayIcon();
        m_bTrayIconAdded = g_pfnShellNotifyIconW(NIM_ADD, &m_nid) != FALSE ||
                           g_pfnShellNotifyIconW(NIM_MODIFY, &m_nid) != FALSE;
        if (!m_bTrayIconAdded) RestoreFromTray();
      }
      break;
  }
  return lRes;
}

void CDuiFormGame::OnClick(TNotifyUI& msg) {
  const CDuiString& name = msg.pSender->GetName();
  if (OpenLinkButton(name)) {
    // opened
  } else if (name == _T("closebtn")) {
    m_bBackToLoginPosted = true;
    ::PostMessageW(m_hLoginWnd, WM_BACK_TO_LOGIN, 0, 0);
  } else if (name == _T("maxbtn") || name == _T("restorebtn")) {
    // The base maximises or restores.
  } else if (name == _T("bosskeybtn")) {
    m_bBossKeyHidden = true;  // before hiding: the deactivation reads it
    HideToTray();
  } else if (name == _T("fullscreenbtn")) {
    EnterFullScreen();
  }
  WindowImplBase::OnClick(msg);
}

void CDuiFormGame::Notify(TNotifyUI& msg) { WindowImplBase::Notify(msg); }

LRESULT CDuiFormGame::ResponseDefaultKeyEvent(WPARAM wParam) { return WindowImplBase::ResponseDefaultKeyEvent(wParam); }

LRESULT CDuiFormGame::OnNcHitTest(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  return WindowImplBase::OnNcHitTest(uMsg, wParam, lParam, bHandled);
}

LRESULT CDuiFormGame::OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  // Every system command is followed by a deferred layout pass.
  if (m_pTopBg) ::PostMessageW(m_hWnd, WM_ACTIVATE, 0, 0);
  return WindowImplBase::OnSysCommand(uMsg, wParam, lParam, bHandled);
}

CControlUI* CDuiFormGame::CreateControl(LPCTSTR) { return nullptr; }
