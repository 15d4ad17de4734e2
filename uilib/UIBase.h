#pragma once

#include "uilib/UIString.h"

namespace DuiLib {

// A native window bound to a C++ object. The object outlives its window
// unless OnFinalMessage deletes it. Window thread only.
class CWindowWnd {
 public:
  CWindowWnd() = default;
  virtual ~CWindowWnd() = default;
  CWindowWnd(const CWindowWnd&) = delete;
  CWindowWnd& operator=(const CWindowWnd&) = delete;

  HWND GetHWND() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }

  bool RegisterWindowClass();
  // Registers the class, creates the window and returns its handle; the
  // window's WM_CREATE handling (layout, InitWindow) runs before it returns.
  HWND Create(HWND hwndParent, LPCTSTR pstrName, DWORD dwStyle, DWORD dwExStyle, int x = CW_USEDEFAULT,
              int y = CW_USEDEFAULT, int cx = CW_USEDEFAULT, int cy = CW_USEDEFAULT, HMENU hMenu = nullptr);
  HWND Create(HWND hwndParent, LPCTSTR pstrName, DWORD dwStyle, DWORD dwExStyle, const RECT& rc,
              HMENU hMenu = nullptr);

  // (true, true) shows and activates, (true, false) shows without
  // activating, (false, ...) hides.
  void ShowWindow(bool bShow = true, bool bTakeFocus = true);
  // Runs a message loop until the window is destroyed or WM_QUIT arrives;
  // the owner is disabled meanwhile. A WM_QUIT that ends the loop is posted
  // again for the loop outside. Returns the code passed to Close.
  UINT ShowModal();
  void Close(UINT nRet = IDOK);
  // Centres on the owner, or on the work area when there is none.
  void CenterWindow();
  // Sizes the window so that its client area is cx by cy (-1 keeps one).
  void ResizeClient(int cx = -1, int cy = -1);
  void SetIcon(UINT nRes);

  LRESULT SendMessage(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0);
  LRESULT PostMessage(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0);

 protected:
  virtual LPCTSTR GetWindowClassName() const = 0;
  virtual UINT GetClassStyle() const { return 0; }
  virtual LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);
  // Called after the window's last message (WM_NCDESTROY).
  virtual void OnFinalMessage(HWND hWnd) {}

  static LRESULT CALLBACK __WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

  HWND m_hWnd = nullptr;
  UINT m_nModalResult = 0;
};

}  // namespace DuiLib
