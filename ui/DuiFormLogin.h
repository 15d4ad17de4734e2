#pragma once

#include <string>

#include "ui/XMLWnd.h"

class CDuiFormLoginBrowser;
class CDuiFormGame;

// Opens `url` with the program the system associates with it, falling back
// to Internet Explorer. Window thread.
void OpenUrlExternally(const std::wstring& url);

// The link buttons of the login and game windows: "officialbtn",
// "rechargebtn", "forumbtn" and "servicebtn" open the official site's
// addresses outside the program. True when `name` is one of them.
bool OpenLinkButton(const CDuiString& name);

// The main window: the login screen with its link buttons and the login
// page's pane. It starts the game when the browser client reports a game
// URL (WM_GAME_URL) and comes back when the game window closes
// (WM_BACK_TO_LOGIN). Its "closebtn" ends the program.
class CDuiFormLogin : public CXMLWnd {
 public:
  CDuiFormLogin();

  void InitWindow() override;
  LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  void OnClick(TNotifyUI& msg) override;
  void Notify(TNotifyUI& msg) override;

  // The pane, made in InitWindow and never deleted: it lives as long as the process.
  CDuiFormLoginBrowser* m_pLoginBrowser;
  // The open game window, or null.
  CDuiFormGame* m_pGameWnd;

 protected:
  LRESULT ResponseDefaultKeyEvent(WPARAM wParam) override;
  LRESULT OnNcHitTest(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
  LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
  CControlUI* CreateControl(LPCTSTR pstrClass) override;

  DUI_DECLARE_MESSAGE_MAP()

 private:
  void OnGameUrl(const wchar_t* url);
};
