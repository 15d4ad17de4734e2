#include "ui/DuiFormFullScreen.h"

#include "ui/WindowMessages.h"

DUI_BEGIN_MESSAGE_MAP(CDuiFormFullScreen, CNotifyPump)
DUI_ON_MSGTYPE(DUI_MSGTYPE_CLICK, CDuiFormFullScreen::OnClick)
DUI_END_MESSAGE_MAP()

CDuiFormFullScreen::CDuiFormFullScreen()
    : CXMLWnd(L"FormFullScreen.xml"), m_hWndGame(nullptr), m_bBarShown(false) {}

CDuiFormFullScreen::~CDuiFormFullScreen() {}

void CDuiFormFullScreen::InitWindow() { SetTimer(m_hWnd, kHideTimer, kHideDelayMs, nullptr); }

void CDuiFormFullScreen::PlaceBar(int top) {
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int x = (work.right - kWidth) / 2;
  SetWindowPos(m_hWnd, HWND_TOPMOST, x, top, kWidth, kHeight, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  ShowWindow(true, true);
  UpdateWindow(m_hWnd);
}

void CDuiFormFullScreen::ExitFullScreen() {
  // Posted: the game window closes this bar, after this message returns.
  if (m_hWndGame) ::PostMessageW(m_hWndGame, WM_EXIT_FULLSCREEN, 0, 0);
}

LRESULT CDuiFormFullScreen::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  LRESULT lRes = WindowImplBase::HandleMessage(uMsg, wParam, lParam);
  switch (uMsg) {
    case WM_TIMER:
      KillTimer(m_hWnd, kHideTimer);
      PlaceBar(kTopPulledUp);
      m_bBarShown = false;
      break;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) ExitFullScreen();
      break;
  }
  return lRes;
}

LRESULT CDuiFormFullScreen::OnMouseMove(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;  // the library still sees the move (button hover)
  if (!m_bBarShown) {
    PlaceBar(kTopDropped);
    m_bBarShown = true;
    SetTimer(m_hWnd, kHideTimer, kHideDelayMs, nullptr);
  }
  return 0;
}

LRESULT CDuiFormFullScreen::OnClose(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  // The game window closes the bar when it has left full-screen mode. Any
  // other close request (Alt+F4 in the bar, which has the focus) leaves the
  // mode instead of leaving the game full-screen without its bar.
  const bool gameIsFullScreen =
      IsWindow(m_hWndGame) && !(GetWindowLongW(m_hWndGame, GWL_STYLE) & WS_CAPTION);
  if (gameIsFullScreen) {
    ExitFullScreen();
    bHandled = TRUE;
  } else {
    bHandled = FALSE;
  }
  return 0;
}

void CDuiFormFullScreen::OnClick(TNotifyUI& msg) {
  if (msg.pSender->GetName() == _T("fullscreenbtn")) ExitFullScreen();
  WindowImplBase::OnClick(msg);
}

void CDuiFormFullScreen::Notify(TNotifyUI& msg) { WindowImplBase::Notify(msg); }

LRESULT CDuiFormFullScreen::ResponseDefaultKeyEvent(WPARAM wParam) {
  return WindowImplBase::ResponseDefaultKeyEvent(wParam);
}

LRESULT CDuiFormFullScreen::OnNcHitTest(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  return WindowImplBase::OnNcHitTest(uMsg, wParam, lParam, bHandled);
}

CControlUI* CDuiFormFullScreen::CreateControl(LPCTSTR) { return nullptr; }
