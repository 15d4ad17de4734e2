#pragma once

#include "ui/XMLWnd.h"

// The floating bar of full-screen mode: a 210 x 34 bar at the top centre of
// the screen, above the game window that owns it. Three seconds after it
// appeared or dropped down it pulls itself up until only its bottom row is
// on screen; the mouse on that row drops it down again. Its
// "fullscreenbtn", Escape, or a close request leave full-screen mode.
// Created and freed by the game window.
class CDuiFormFullScreen : public CXMLWnd {
 public:
  CDuiFormFullScreen();
  ~CDuiFormFullScreen() override;

  void InitWindow() override;
  LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  void OnClick(TNotifyUI& msg) override;
  void Notify(TNotifyUI& msg) override;

  static const UINT_PTR kHideTimer = 1;
  static const UINT kHideDelayMs = 3000;
  static const int kWidth = 210;
  static const int kHeight = 34;
  static const int kTopDropped = -1;
  static const int kTopPulledUp = -33;

  // The game window, receiver of WM_EXIT_FULLSCREEN; set by it after creation.
  HWND m_hWndGame;
  // True while the bar is dropped down.
  bool m_bBarShown;

 protected:
  LRESULT ResponseDefaultKeyEvent(WPARAM wParam) override;
  LRESULT OnNcHitTest(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
  LRESULT OnMouseMove(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
  LRESULT OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
  CControlUI* CreateControl(LPCTSTR pstrClass) override;

  DUI_DECLARE_MESSAGE_MAP()

 private:
  // Centres the bar on the work area with its top edge at `top`, topmost.
  void PlaceBar(int top);
  void ExitFullScreen();
};
