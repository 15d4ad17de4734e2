#pragma once

#include "ui/XMLWnd.h"

// The login page's pane: a top-level window owned by the login window, kept
// at a fixed offset over it, holding the login page's browser (client
// g_pLoginClient). It never moves, shows or hides itself.
class CDuiFormLoginBrowser : public CXMLWnd {
 public:
  CDuiFormLoginBrowser();

  void InitWindow() override;
  LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  void OnClick(TNotifyUI& msg) override;
  void Notify(TNotifyUI& msg) override;
  // Moves the pane to (x + 483, y + 217) without resizing, reordering or activating it.
  void FollowOwner(int x, int y);

  static const int kOffsetX = 483;
  static const int kOffsetY = 217;
  static const int kBrowserWidth = 900;
  static const int kBrowserHeight = 650;

 protected:
  LRESULT ResponseDefaultKeyEvent(WPARAM wParam) override;
  LRESULT OnNcHitTest(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
  LRESULT OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
  CControlUI* CreateControl(LPCTSTR pstrClass) override;

  DUI_DECLARE_MESSAGE_MAP()
};
