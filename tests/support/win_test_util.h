#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace qmtest {

// Dispatches this thread's messages until `done` holds or `timeoutMs` passes;
// returns whether it held.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        // Keep the quit for whoever owns the loop that should see it.
        PostQuitMessage(static_cast<int>(msg.wParam));
        return done();
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

inline void PumpFor(DWORD ms) { PumpUntil([] { return false; }, ms); }

// Removes a WM_QUIT left in this thread's queue; true if there was one.
inline bool TakeQuit(int* code = nullptr) {
  MSG msg;
  bool found = false;
  while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    found = true;
    if (code) *code = static_cast<int>(msg.wParam);
  }
  return found;
}

inline RECT WindowRect(HWND hwnd) {
  RECT rc = {};
  GetWindowRect(hwnd, &rc);
  return rc;
}

inline RECT ClientRect(HWND hwnd) {
  RECT rc = {};
  GetClientRect(hwnd, &rc);
  return rc;
}

// A left click posted at a client point, as the mouse would deliver it.
inline void PostClick(HWND hwnd, int x, int y) {
  const LPARAM pos = MAKELPARAM(x, y);
  PostMessageW(hwnd, WM_MOUSEMOVE, 0, pos);
  PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, pos);
  PostMessageW(hwnd, WM_LBUTTONUP, 0, pos);
}

// Real mouse input through the system (SendInput), in screen coordinates.
inline void MouseMoveTo(int x, int y) {
  SetCursorPos(x, y);
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dx = (x * 65535) / (GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = (y * 65535) / (GetSystemMetrics(SM_CYSCREEN) - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof(in));
}

inline void MouseButton(bool down) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &in, sizeof(in));
}

// Deletes a folder with everything in it.
inline void RemoveTree(const std::wstring& dir) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(dir + L"\\" + name);
      else DeleteFileW((dir + L"\\" + name).c_str());
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryW(dir.c_str());
}

// A folder of layout files for one test, set as the UI library's resource
// path by the caller. Removed with its files.
class TempFolder {
 public:
  TempFolder() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static int counter = 0;
    path_ = std::wstring(base) + L"qm-skin-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(counter++);
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~TempFolder() { RemoveTree(path_); }
  const std::wstring& path() const { return path_; }
  void Write(const std::wstring& name, const std::string& utf8) const {
    HANDLE f = CreateFileW((path_ + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(f);
  }
  void Copy(const std::wstring& from) const {
    std::wstring name = from.substr(from.find_last_of(L"\\/") + 1);
    CopyFileW(from.c_str(), (path_ + L"\\" + name).c_str(), FALSE);
  }

 private:
  std::wstring path_;
};

}  // namespace qmtest
