#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/win_test_util.h"

namespace qmtest {

// The browser window inside `parent`, or null.
inline HWND BrowserOf(HWND parent) {
  return parent ? FindWindowExW(parent, nullptr, L"CefBrowserWindow", nullptr) : nullptr;
}

// Alt+F4 as the keyboard delivers it: the system key with the Alt bit set.
inline void PostAltF4(HWND hwnd) {
  PostMessageW(hwnd, WM_SYSKEYDOWN, VK_F4, (1 << 29) | (0x3E << 16) | 1);
  PostMessageW(hwnd, WM_SYSKEYUP, VK_F4, (1 << 29) | (0x3E << 16) | (3u << 30) | 1);
}

// The built launcher, started as a player starts it, observed from outside.
class LauncherProcess {
 public:
  static std::wstring ExePath() {
    std::wstring self = SelfPath();
    return self.substr(0, self.find_last_of(L'\\')) + L"\\..\\Quelmarch.exe";
  }

  bool Start(const std::wstring& args = L"", const wchar_t* envName = nullptr, const wchar_t* envValue = nullptr,
             const std::wstring& exe = ExePath()) {
    std::wstring cmd = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
    STARTUPINFOW si = {sizeof(si)};
    if (envName) SetEnvironmentVariableW(envName, envValue);
    BOOL ok = CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_);
    if (envName) SetEnvironmentVariableW(envName, nullptr);
    return ok != FALSE;
  }
  ~LauncherProcess() {
    if (pi_.hProcess) {
      if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 99);
      CloseHandle(pi_.hProcess);
      CloseHandle(pi_.hThread);
    }
  }
  DWORD pid() const { return pi_.dwProcessId; }
  // True when the process ended within `ms`; its exit code in `code`.
  bool WaitExit(DWORD ms, DWORD* code) {
    const DWORD start = GetTickCount();
    // Keep answering messages: the launcher may send to this thread's windows.
    while (WaitForSingleObject(pi_.hProcess, 10) == WAIT_TIMEOUT) {
      if (GetTickCount() - start > ms) return false;
      PumpFor(10);
    }
    GetExitCodeProcess(pi_.hProcess, code);
    return true;
  }
  bool Running() const { return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }

  // Top-level windows of the process (visible or not), with class and title.
  struct Window {
    HWND hwnd;
    std::wstring cls, title;
  };
  std::vector<Window> TopLevelWindows() const {
    Scan scan{pi_.dwProcessId, {}};
    EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&scan));
    return scan.found;
  }
  HWND FindTopLevel(const wchar_t* cls, const wchar_t* title) const {
    for (const Window& w : TopLevelWindows())
      if (w.cls == cls && w.title == title) return w.hwnd;
    return nullptr;
  }
  // The visible game window of the process: "Quelmarch" holding a browser.
  HWND GameWindow() const {
    for (const Window& w : TopLevelWindows())
      if (w.cls == L"XMLWnd" && w.title == L"Quelmarch" && IsWindowVisible(w.hwnd) && BrowserOf(w.hwnd)) return w.hwnd;
    return nullptr;
  }
  HWND WaitForWindow(const wchar_t* cls, const wchar_t* title, DWORD ms = 20000) const {
    HWND found = nullptr;
    PumpUntil([&] { return (found = FindTopLevel(cls, title)) != nullptr && IsWindowVisible(found); }, ms);
    return found;
  }

 private:
  struct Scan {
    DWORD pid;
    std::vector<Window> found;
  };
  static BOOL CALLBACK CollectWindow(HWND h, LPARAM p) {
    auto* s = reinterpret_cast<Scan*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != s->pid) return TRUE;
    wchar_t cls[64] = {}, title[256] = {};
    GetClassNameW(h, cls, 64);
    GetWindowTextW(h, title, 256);
    s->found.push_back({h, cls, title});
    return TRUE;
  }
  PROCESS_INFORMATION pi_ = {};
};

}  // namespace qmtest
