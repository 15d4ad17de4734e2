#pragma once

#include <windows.h>
#include <shellapi.h>

// The shell calls the launcher makes, called through these pointers so that
// tests can watch and answer what reaches the shell. They hold the real
// functions unless a test replaces them before any window or browser exists.
// Read on the window thread and on CEF's UI thread.
typedef HINSTANCE(WINAPI* ShellExecuteWFn)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
extern ShellExecuteWFn g_pfnShellExecuteW;
typedef BOOL(WINAPI* ShellNotifyIconWFn)(DWORD, PNOTIFYICONDATAW);
extern ShellNotifyIconWFn g_pfnShellNotifyIconW;

// ShellExecuteW's result taken as a signed integer: 32 or less is a failure.
inline bool ShellExecuteFailed(HINSTANCE result) {
  return static_cast<int>(reinterpret_cast<INT_PTR>(result)) <= 32;
}
