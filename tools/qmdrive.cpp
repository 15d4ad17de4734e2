// Drives a running launcher from outside, as the run script and the
// end-to-end tests need it: waits for its windows and makes the login page
// navigate through cefsim's cross-process testing interface.
//
//   qmdrive wait-login [ms]       the login window and its page are up
//   qmdrive navigate URL          the login page navigates to URL
//   qmdrive wait-game [ms]        a game window with its page is up
//   qmdrive record FILE ARG...    appends its arguments to FILE, one line
//                                 (a stand-in handler for the shell to start)
// Exit code 0 on success, 1 on time-out or a refused command, 2 on bad use.
#include <windows.h>

#include <stdio.h>

#include <string>

#include "cefsim/testing.h"

namespace {

HWND Visible(HWND hwnd) { return hwnd && IsWindowVisible(hwnd) ? hwnd : nullptr; }

HWND LoginPageBrowser() {
  HWND pane = Visible(FindWindowW(L"XMLWnd", L"LoginBrowser"));
  return pane ? FindWindowExW(pane, nullptr, L"CefBrowserWindow", nullptr) : nullptr;
}

BOOL CALLBACK FindGame(HWND hwnd, LPARAM found) {
  wchar_t cls[32] = {}, title[32] = {};
  GetClassNameW(hwnd, cls, 32);
  GetWindowTextW(hwnd, title, 32);
  if (wcscmp(cls, L"XMLWnd") == 0 && wcscmp(title, L"Quelmarch") == 0 && IsWindowVisible(hwnd) &&
      FindWindowExW(hwnd, nullptr, L"CefBrowserWindow", nullptr)) {
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND GameWindow() {
  HWND found = nullptr;
  EnumWindows(&FindGame, reinterpret_cast<LPARAM>(&found));
  return found;
}

template <typename Ready>
bool WaitFor(Ready ready, DWORD ms) {
  const DWORD start = GetTickCount();
  while (!ready()) {
    if (GetTickCount() - start > ms) return false;
    Sleep(50);
  }
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const std::wstring verb = argv[1];
  const DWORD ms = argc > 2 && verb != L"navigate" ? static_cast<DWORD>(_wtoi(argv[2])) : 20000;
  if (verb == L"wait-login") {
    return WaitFor([] { return LoginPageBrowser() != nullptr; }, ms) ? 0 : 1;
  }
  if (verb == L"wait-game") {
    return WaitFor([] { return GameWindow() != nullptr; }, ms) ? 0 : 1;
  }
  if (verb == L"navigate" && argc > 2) {
    HWND browser = LoginPageBrowser();
    if (!browser) return 1;
    return cefsim::testing::SendCommand(browser, std::wstring(L"navigate\t\t0\t") + argv[2]) == 1 ? 0 : 1;
  }
  if (verb == L"record" && argc > 2) {
    HANDLE f = CreateFileW(argv[2], FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return 1;
    std::wstring line;
    for (int i = 3; i < argc; ++i) line += (i > 3 ? L" " : L"") + std::wstring(argv[i]);
    line += L"\n";
    int n = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), &utf8[0], n, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(f, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(f);
    return 0;
  }
  fwprintf(stderr, L"usage: qmdrive wait-login|wait-game [ms] | navigate URL\n");
  return 2;
}
