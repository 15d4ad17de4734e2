#pragma once

#include <windows.h>

// The private messages between the windows and the browser client. Their
// numbers are fixed: other programs' tools and the tray rely on them.

// Posted by the game window's "closebtn" to the login window.
#define WM_BACK_TO_LOGIN (WM_USER + 1003)
// Sent by the browser client (CEF's UI thread) to the login window; lParam
// is the game URL, a NUL-terminated UTF-16 string valid until the send returns.
#define WM_GAME_URL (WM_USER + 1004)
// From the shell: the tray icon's callback; wParam the icon id, lParam the mouse message.
#define WM_TRAY_NOTIFY (WM_USER + 1005)
// Posted by the full-screen bar to the game window.
#define WM_EXIT_FULLSCREEN (WM_USER + 1006)
