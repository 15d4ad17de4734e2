#include "uilib/WindowImplBase.h"

#include <windowsx.h>

#include <vector>

namespace DuiLib {

void WindowImplBase::OnFinalMessage(HWND hWnd) {}

void WindowImplBase::Notify(TNotifyUI& msg) { NotifyPump(msg); }

void WindowImplBase::OnClick(TNotifyUI& msg) {
  const CDuiString& name = msg.pSender ? msg.pSender->GetName() : CDuiString();
  if (name == _T("closebtn")) Close();
  else if (name == _T("minbtn")) SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
  else if (name == _T("maxbtn")) SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  else if (name == _T("restorebtn")) SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
}

LRESULT WindowImplBase::ResponseDefaultKeyEvent(WPARAM wParam) {
  if (wParam == VK_RETURN) return FALSE;
  if (wParam == VK_ESCAPE) return TRUE;
  return FALSE;
}

LRESULT WindowImplBase::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) {
  if (uMsg == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
    bHandled = ResponseDefaultKeyEvent(wParam) != FALSE;
    return 0;
  }
  return 0;
}

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  m_PaintManager.Init(m_hWnd);
  CDialogBuilder builder;
  CDuiString file = GetSkinFolder() + GetSkinFile();
  CControlUI* root = builder.Create(file, nullptr, this, &m_PaintManager);
  m_PaintManager.AttachDialog(root);
  m_PaintManager.AddNotifier(this);
  UpdateCaptionButtons();
  InitWindow();
  return 0;
}

LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;  // DefWindowProc destroys the window.
  return 0;
}

LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnNcActivate(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  // No native caption to repaint; a minimised window keeps the default.
  if (IsIconic(m_hWnd)) bHandled = FALSE;
  return wParam == 0 ? TRUE : FALSE;
}

LRESULT WindowImplBase::OnNcCalcSize(UINT, WPARAM, LPARAM, BOOL&) {
  return 0;  // The client area is the whole window.
}

LRESULT WindowImplBase::OnNcPaint(UINT, WPARAM, LPARAM, BOOL&) { return 0; }

LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lParam, BOOL&) {
  POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ScreenToClient(m_hWnd, &pt);
  RECT rc;
  GetClientRect(m_hWnd, &rc);
  const LONG style = GetWindowLongW(m_hWnd, GWL_STYLE);
  if (!IsZoomed(m_hWnd) && (style & WS_THICKFRAME)) {
    const RECT& box = m_PaintManager.GetSizeBox();
    const bool left = pt.x < rc.left + box.left, right = pt.x >= rc.right - box.right;
    const bool top = pt.y < rc.top + box.top, bottom = pt.y >= rc.bottom - box.bottom;
    if (top && left) return HTTOPLEFT;
    if (top && right) return HTTOPRIGHT;
    if (bottom && left) return HTBOTTOMLEFT;
    if (bottom && right) return HTBOTTOMRIGHT;
    if (top) return HTTOP;
    if (bottom) return HTBOTTOM;
    if (left) return HTLEFT;
    if (right) return HTRIGHT;
  }
  // The caption band: left..right are insets from the client's edges, top
  // and bottom client coordinates.
  const RECT& cap = m_PaintManager.GetCaptionRect();
  if (pt.x >= rc.left + cap.left && pt.x < rc.right - cap.right && pt.y >= cap.top && pt.y < cap.bottom) {
    CControlUI* hit = m_PaintManager.FindControl(pt);
    if (!hit || !hit->IsMouseTarget()) return HTCAPTION;
  }
  return HTCLIENT;
}

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  auto* mmi = reinterpret_cast<MINMAXINFO*>(lParam);
  MONITORINFO mi = {sizeof(mi)};
  GetMonitorInfoW(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &mi);
  // Maximised, the window fills the work area, not the whole screen.
  mmi->ptMaxPosition.x = mi.rcWork.left - mi.rcMonitor.left;
  mmi->ptMaxPosition.y = mi.rcWork.top - mi.rcMonitor.top;
  mmi->ptMaxSize.x = mi.rcWork.right - mi.rcWork.left;
  mmi->ptMaxSize.y = mi.rcWork.bottom - mi.rcWork.top;
  mmi->ptMaxTrackSize.x = mi.rcWork.right - mi.rcWork.left;
  mmi->ptMaxTrackSize.y = mi.rcWork.bottom - mi.rcWork.top;
  SIZE minimum = m_PaintManager.GetMinInfo();
  if (minimum.cx > 0) mmi->ptMinTrackSize.x = minimum.cx;
  if (minimum.cy > 0) mmi->ptMinTrackSize.y = minimum.cy;
  bHandled = TRUE;
  return 0;
}

LRESULT WindowImplBase::OnSize(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  UpdateCaptionButtons();
  bHandled = FALSE;
  return 0;
}

void WindowImplBase::UpdateCaptionButtons() {
  CControlUI* maxbtn = m_PaintManager.FindControl(_T("maxbtn"));
  CControlUI* restorebtn = m_PaintManager.FindControl(_T("restorebtn"));
  const bool zoomed = IsZoomed(m_hWnd) != FALSE;
  if (maxbtn && restorebtn) {
    maxbtn->SetVisible(!zoomed);
    restorebtn->SetVisible(zoomed);
  }
}

namespace {

// The library's own deferred z-order check.
UINT KeepOwnedAboveMessage() {
  static const UINT message = RegisterWindowMessageW(L"UilibKeepOwnedAbove");
  return message;
}

struct OwnedScan {
  HWND owner;
  std::vector<HWND> owned;
};

BOOL CALLBACK CollectOwned(HWND hwnd, LPARAM param) {
  auto* scan = reinterpret_cast<OwnedScan*>(param);
  if (GetWindow(hwnd, GW_OWNER) == scan->owner && IsWindowVisible(hwnd)) scan->owned.push_back(hwnd);
  return TRUE;
}

}  // namespace

// Windows keeps owned windows above their owner; Wine does not always (an
// overlapped owner that is activated, or that is mapped on the X server
// after its owned window, covers it on screen). After the owner is raised or
// activated each visible owned window of this thread is placed again
// directly above it, without activating it; after the owner is shown, each
// is also shown again (`remap`), which puts it above the owner on the X
// server too.
void WindowImplBase::KeepOwnedWindowsAbove(bool remap) {
  OwnedScan scan{m_hWnd, {}};
  EnumThreadWindows(GetCurrentThreadId(), &CollectOwned, reinterpret_cast<LPARAM>(&scan));
  if (scan.owned.empty()) return;
  // The first window above the owner that is not one of its owned windows.
  HWND insertAfter = GetWindow(m_hWnd, GW_HWNDPREV);
  while (insertAfter && GetWindow(insertAfter, GW_OWNER) == m_hWnd) insertAfter = GetWindow(insertAfter, GW_HWNDPREV);
  const HWND active = GetActiveWindow();
  for (auto it = scan.owned.rbegin(); it != scan.owned.rend(); ++it) {
    const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    if (remap) SetWindowPos(*it, nullptr, 0, 0, 0, 0, keep | SWP_NOZORDER | SWP_HIDEWINDOW);
    SetWindowPos(*it, insertAfter ? insertAfter : HWND_TOP, 0, 0, 0, 0, keep | (remap ? SWP_SHOWWINDOW : 0));
  }
  // Hiding took the activation from an owned window that had it.
  if (remap && active && GetActiveWindow() != active && IsWindowVisible(active)) SetActiveWindow(active);
}

LRESULT WindowImplBase::OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  if ((wParam & 0xFFF0) == SC_CLOSE) {
    SendMessage(WM_CLOSE);
    return 0;
  }
  return DefWindowProcW(m_hWnd, uMsg, wParam, lParam);
}

LRESULT WindowImplBase::OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  bool handled = false;
  MessageHandler(WM_KEYDOWN, wParam, 0, handled);
  bHandled = handled ? TRUE : FALSE;
  return 0;
}

LRESULT WindowImplBase::OnMouseMove(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;
  return 0;
}

LRESULT WindowImplBase::HandleCustomMessage(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;
  return 0;
}

LRESULT WindowImplBase::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  LRESULT lRes = 0;
  BOOL bHandled = TRUE;
  switch (uMsg) {
    case WM_CREATE: lRes = OnCreate(uMsg, wParam, lParam, bHandled); break;
    case WM_CLOSE: lRes = OnClose(uMsg, wParam, lParam, bHandled); break;
    case WM_DESTROY: lRes = OnDestroy(uMsg, wParam, lParam, bHandled); break;
    case WM_NCACTIVATE: lRes = OnNcActivate(uMsg, wParam, lParam, bHandled); break;
    case WM_NCCALCSIZE: lRes = OnNcCalcSize(uMsg, wParam, lParam, bHandled); break;
    case WM_NCPAINT: lRes = OnNcPaint(uMsg, wParam, lParam, bHandled); break;
    case WM_NCHITTEST: lRes = OnNcHitTest(uMsg, wParam, lParam, bHandled); break;
    case WM_GETMINMAXINFO: lRes = OnGetMinMaxInfo(uMsg, wParam, lParam, bHandled); break;
    case WM_SIZE: lRes = OnSize(uMsg, wParam, lParam, bHandled); break;
    case WM_SYSCOMMAND: lRes = OnSysCommand(uMsg, wParam, lParam, bHandled); break;
    case WM_KEYDOWN: lRes = OnKeyDown(uMsg, wParam, lParam, bHandled); break;
    case WM_MOUSEMOVE: lRes = OnMouseMove(uMsg, wParam, lParam, bHandled); break;
    case WM_ACTIVATE:
      // Wine raises the activated window after this message: check once
      // the activation is complete.
      if (LOWORD(wParam) != WA_INACTIVE) PostMessage(KeepOwnedAboveMessage());
      bHandled = FALSE;
      break;
    case WM_WINDOWPOSCHANGING:
      m_bShowing = (reinterpret_cast<WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW) && !IsWindowVisible(m_hWnd);
      bHandled = FALSE;
      break;
    case WM_WINDOWPOSCHANGED: {
      // Shown after being hidden: its owned windows are mapped again.
      const UINT flags = reinterpret_cast<WINDOWPOS*>(lParam)->flags;
      if (m_bShowing) PostMessage(KeepOwnedAboveMessage(), 1);
      else if (!(flags & SWP_NOZORDER)) PostMessage(KeepOwnedAboveMessage(), 0);
      m_bShowing = false;
      bHandled = FALSE;
      break;
    }
    default:
      bHandled = FALSE;
      if (uMsg == KeepOwnedAboveMessage()) {
        KeepOwnedWindowsAbove(wParam != 0);
        bHandled = TRUE;
      }
      break;
  }
  if (bHandled) return lRes;
  lRes = HandleCustomMessage(uMsg, wParam, lParam, bHandled);
  if (bHandled) return lRes;
  if (m_PaintManager.MessageHandler(uMsg, wParam, lParam, lRes)) return lRes;
  return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

}  // namespace DuiLib
