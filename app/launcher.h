#pragma once

#include <windows.h>

#include "include/cef_app.h"

// The login window's handle: written once by the entry point, before any
// browser exists, and never cleared. The browser client sends WM_GAME_URL here.
extern HWND g_hWndMain;

// Exit codes of the browser process.
enum LauncherExit {
  kExitOk = 0,
  kExitCefInitializeFailed = 1,  // CEF could not start: no window was shown
  kExitNoLoginWindow = 2,        // the login window could not be created
};

// The browser process's start between CefExecuteProcess and the first
// window: CEF's settings (multi-threaded message loop, cache folder, locale
// "zh-CN"), CefInitialize, and the UI library's resource path. False when
// CEF did not start. Main thread.
bool StartBrowserProcess(HINSTANCE hInstance, CefRefPtr<CefApp> app);

class CDuiFormLogin;

// Creates the login window of `login`: no owner, title "Quelmarch", visible
// overlapped window with its own taskbar button, default place and size.
// Its pane and the login page's browser are requested inside. Main thread.
HWND CreateLoginWindow(CDuiFormLogin* login);

// Makes the application icon (resource 107 of `hInstance`) the big icon of `hWnd`.
void SetApplicationIcon(HWND hWnd, HINSTANCE hInstance);

// CefShutdown, once for the process: the login window's "closebtn" and the
// entry point's teardown both end CEF, and whichever comes second returns
// at once. Main thread.
void ShutdownCef();

// Everything wWinMain does; returns the process's exit code.
int QuelmarchMain(HINSTANCE hInstance);
