#pragma once

#include <windows.h>

// The shell's ShellExecuteW, called through this pointer so that tests can
// watch and answer what the launcher hands to the shell. Read on the window
// thread and on CEF's UI thread; tests set it before any browser exists.
typedef HINSTANCE(WINAPI* ShellExecuteWFn)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
extern ShellExecuteWFn g_pfnShellExecuteW;

// ShellExecuteW's result taken as a signed integer: 32 or less is a failure.
inline bool ShellExecuteFailed(HINSTANCE result) {
  return static_cast<int>(reinterpret_cast<INT_PTR>(result)) <= 32;
}
