#include "uilib/UIBase.h"

#include "uilib/UIManager.h"

namespace DuiLib {

bool CWindowWnd::RegisterWindowClass() {
  WNDCLASSEXW wc = {sizeof(wc)};
  HINSTANCE inst = CPaintManagerUI::GetInstance();
  if (GetClassInfoExW(inst, GetWindowClassName(), &wc)) return true;
  wc.cbSize = sizeof(wc);
  wc.style = GetClassStyle();
  wc.lpfnWndProc = &CWindowWnd::__WndProc;
  wc.hInstance = inst;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = GetWindowClassName();
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CWindowWnd::Create(HWND hwndParent, LPCTSTR pstrName, DWORD dwStyle, DWORD dwExStyle, const RECT& rc,
                        HMENU hMenu) {
  return Create(hwndParent, pstrName, dwStyle, dwExStyle, rc.left, rc.top, rc.right - rc.left,
                rc.bottom - rc.top, hMenu);
}

HWND CWindowWnd::Create(HWND hwndParent, LPCTSTR pstrName, DWORD dwStyle, DWORD dwExStyle, int x, int y,
                        int cx, int cy, HMENU hMenu) {
  if (!RegisterWindowClass()) return nullptr;
  m_hWnd = CreateWindowExW(dwExStyle, GetWindowClassName(), pstrName, dwStyle, x, y, cx, cy, hwndParent, hMenu,
                           CPaintManagerUI::GetInstance(), this);
  return m_hWnd;
}

LRESULT CALLBACK CWindowWnd::__WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  CWindowWnd* self = nullptr;
  if (uMsg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<LPCREATESTRUCTW>(lParam);
    self = static_cast<CWindowWnd*>(cs->lpCreateParams);
    self->m_hWnd = hWnd;
    SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<CWindowWnd*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (uMsg == WM_NCDESTROY && self) {
      LRESULT res = DefWindowProcW(hWnd, uMsg, wParam, lParam);
      SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
      self->m_hWnd = nullptr;
      self->OnFinalMessage(hWnd);
      return res;
    }
  }
  // Messages before WM_NCCREATE (WM_GETMINMAXINFO) have no object yet.
  return self ? self->HandleMessage(uMsg, wParam, lParam) : DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

LRESULT CWindowWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(m_hWnd, uMsg, wParam, lParam);
}

void CWindowWnd::ShowWindow(bool bShow, bool bTakeFocus) {
  if (!IsWindow(m_hWnd)) return;
  int cmd = SW_HIDE;
  if (bShow) {
    // A maximised window comes back maximised.
    if (IsZoomed(m_hWnd)) cmd = bTakeFocus ? SW_SHOWMAXIMIZED : SW_SHOWNA;
    else cmd = bTakeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE;
  }
  ::ShowWindow(m_hWnd, cmd);
}

UINT CWindowWnd::ShowModal() {
  if (!IsWindow(m_hWnd)) return 0;
  HWND owner = GetWindow(m_hWnd, GW_OWNER);
  ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
  if (owner) EnableWindow(owner, FALSE);
  m_nModalResult = 0;
  MSG msg = {};
  bool quit = false;
  while (IsWindow(m_hWnd)) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) { quit = got == 0; break; }
    // The owner comes back before the window goes, so that the activation
    // passes to it rather than to another program.
    if (msg.message == WM_CLOSE && msg.hwnd == m_hWnd && owner) EnableWindow(owner, TRUE);
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (owner) {
    EnableWindow(owner, TRUE);
    SetFocus(owner);
  }
  if (quit) PostQuitMessage(static_cast<int>(msg.wParam));
  return m_nModalResult;
}

void CWindowWnd::Close(UINT nRet) {
  if (!IsWindow(m_hWnd)) return;
  m_nModalResult = nRet;
  PostMessage(WM_CLOSE, nRet, 0);
}

void CWindowWnd::CenterWindow() {
  if (!IsWindow(m_hWnd)) return;
  RECT rc;
  GetWindowRect(m_hWnd, &rc);
  MONITORINFO mi = {sizeof(mi)};
  GetMonitorInfoW(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &mi);
  RECT area = mi.rcWork;
  HWND owner = GetWindow(m_hWnd, GW_OWNER);
  if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &area);
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  int x = area.left + (area.right - area.left - w) / 2;
  int y = area.top + (area.bottom - area.top - h) / 2;
  // Keep the window's top-left corner on the work area.
  if (x < mi.rcWork.left) x = mi.rcWork.left;
  if (y < mi.rcWork.top) y = mi.rcWork.top;
  SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowWnd::ResizeClient(int cx, int cy) {
  if (!IsWindow(m_hWnd)) return;
  RECT win, client;
  GetWindowRect(m_hWnd, &win);
  GetClientRect(m_hWnd, &client);
  // Frame thickness as the window draws it (none for a skinned window).
  const int frameX = (win.right - win.left) - client.right;
  const int frameY = (win.bottom - win.top) - client.bottom;
  if (cx == -1) cx = client.right;
  if (cy == -1) cy = client.bottom;
  SetWindowPos(m_hWnd, nullptr, 0, 0, cx + frameX, cy + frameY, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

void CWindowWnd::SetIcon(UINT nRes) {
  HICON icon = LoadIconW(CPaintManagerUI::GetInstance(), MAKEINTRESOURCEW(nRes));
  if (icon) ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

LRESULT CWindowWnd::SendMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageW(m_hWnd, uMsg, wParam, lParam);
}

LRESULT CWindowWnd::PostMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return ::PostMessageW(m_hWnd, uMsg, wParam, lParam);
}

}  // namespace DuiLib
