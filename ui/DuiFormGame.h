#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "client/simple_handler.h"
#include "ui/XMLWnd.h"

class CDuiFormFullScreen;

// The game window's styles: windowed (a skinned, sizable pop-up) and full-screen.
#define GAME_WINDOW_STYLE 0x96CF0000
#define FULLSCREEN_STYLE 0x86000000

// The game window: a 32-pixel skinned title bar over the game's browser,
// with its own browser client. It is owned by the login window, which
// creates it on a game URL; closing it brings the login window back.
// Full-screen mode and the boss key's tray icon are states of this window.
// The object frees itself when its window is gone.
class CDuiFormGame : public CXMLWnd {
 public:
  CDuiFormGame();
  ~CDuiFormGame() override;

  // Keeps `url`, then creates the window; InitWindow, which requests the
  // browser for that URL, runs before this returns.
  void CreateGameWnd(HWND hParent, std::wstring url);
  // Keeps `url`; it does not navigate.
  void SetGameUrl(std::wstring url);

  void InitWindow() override;
  LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  void OnClick(TNotifyUI& msg) override;
  void Notify(TNotifyUI& msg) override;

  void CenterAndShow();
  // The layout pass: title bar across the width and the browser below it,
  // or window and browser over the whole screen in full-screen mode.
  void UpdateLayout();
  void EnterFullScreen();
  void ExitFullScreen();
  // Adds the tray icon and hides the window; callers set m_bBossKeyHidden first.
  void HideToTray();
  // Deletes the tray icon if it was added; whether the shell agreed.
  bool RemoveTrayIcon();

  static const int kClientWidth = 1440;
  static const int kClientHeight = 900;
  static const int kTitleBarHeight = 32;
  static const UINT kTrayIconId = 102;

  HWND m_hLoginWnd;
  std::wstring m_strGameUrl;
  NOTIFYICONDATAW m_nid;
  bool m_bTrayIconAdded;
  bool m_bBossKeyHidden;
  bool m_bFullScreen;
  WINDOWPLACEMENT m_wpWindowed;
  CDuiFormFullScreen* m_pFullScreenBar;
  CefRefPtr<SimpleHandler> m_pGameClient;
  // The title-bar background "topBg"; null until InitWindow found it, and
  // while null no message starts a layout pass.
  CControlUI* m_pTopBg;

 protected:
  LRESULT ResponseDefaultKeyEvent(WPARAM wParam) override;
  LRESULT OnNcHitTest(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
  LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
  CControlUI* CreateControl(LPCTSTR pstrClass) override;
  void OnFinalMessage(HWND hWnd) override;

  DUI_DECLARE_MESSAGE_MAP()

 private:
  void FillTrayIcon();
  void RestoreFromTray();
  void OnDestroyWindow();

  // Stands in for "topBg" when the layout lacks it, so that the browser is
  // still placed; it is drawn nowhere.
  CControlUI m_missingTopBg;
  // Whether the login window has been told to come back.
  bool m_bBackToLoginPosted;
};
