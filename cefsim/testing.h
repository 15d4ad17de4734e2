#pragma once

// The testing interface of cefsim, the stand-in for the CEF runtime: lets a
// test act as a web page would (navigate, open a pop-up, change the title,
// fail a load) and observe the live browsers. Every function may be called
// from any thread but CEF's UI thread; the actions run on the UI thread.
//
// The same actions reach a browser from another process as WM_COPYDATA
// messages to the browser's window (class "CefBrowserWindow"), with
// dwData = kCopyDataMagic and a UTF-16 command without terminator:
//   navigate<TAB>frame<TAB>0|1 (redirect)<TAB>url
//   popup<TAB>url
//   title<TAB>text
//   fail<TAB>code<TAB>frame
//   idle                       answers 1 when the UI thread is idle
//   list<TAB>reply-window      sends the listing back as WM_COPYDATA
//   settings<TAB>reply-window  sends the settings back as WM_COPYDATA
// The listing has one line per browser:
//   id<TAB>window<TAB>parent<TAB>popup<TAB>url<TAB>title
// The settings are one line:
//   multi_threaded_message_loop<TAB>cache_path<TAB>locale<TAB>command line

#include <windows.h>

#include <string>
#include <vector>

#include "include/cef_client.h"

namespace cefsim {
namespace testing {

const ULONG_PTR kCopyDataMagic = 0x4D495343;  // "CSIM"

struct BrowserInfo {
  int id = 0;
  CefRefPtr<CefClient> client;  // null in a listing from another process
  HWND window = nullptr;
  HWND parent = nullptr;
  bool popup = false;
  std::wstring url;
  std::wstring title;
};

// What CefInitialize was given, and the browser process's command line.
struct Settings {
  bool multiThreadedMessageLoop = false;
  std::wstring cachePath;
  std::wstring locale;
  std::wstring commandLine;
};

// Live browsers, oldest first.
std::vector<BrowserInfo> ListBrowsers();
// The settings of the running CEF (empty when it does not run).
Settings CurrentSettings();
// The document shown in a frame of a browser ("" for the main frame), as
// the runtime received it.
std::wstring FrameDocument(int browserId, const std::wstring& frame = L"");

// A navigation started by the page in `frame` ("" for the main frame; a
// named sub-frame is made on first use). As a redirect, it continues the
// frame's current navigation.
bool Navigate(int browserId, const std::wstring& url, const std::wstring& frame = L"", bool isRedirect = false);
// The page asks for a pop-up (window.open) with `url`.
bool RequestPopup(int browserId, const std::wstring& url);
// The page changes its title.
bool SetTitle(int browserId, const std::wstring& title);
// The frame's current (or pending) load fails with `errorCode`.
bool FailLoad(int browserId, int errorCode, const std::wstring& frame = L"");
// Waits until CEF's UI thread has no queued work and no load is under way,
// dispatching the calling thread's messages meanwhile. False on time-out.
bool WaitForIdle(DWORD timeoutMs = 5000);
// The UI thread's identifier, 0 when CEF does not run.
DWORD UiThreadId();

// Chromium's short name of a network error code ("ERR_ABORTED").
std::wstring ErrorName(int errorCode);

// From another process: sends one command to a browser window; returns the
// window's answer (0 when refused or the window is gone).
LRESULT SendCommand(HWND browserWindow, const std::wstring& command);
// From another process: the listing of live browsers through `anyBrowserWindow`.
std::vector<BrowserInfo> QueryBrowsers(HWND anyBrowserWindow);
// From another process: the settings of the CEF that runs `anyBrowserWindow`.
Settings QuerySettings(HWND anyBrowserWindow);

}  // namespace testing
}  // namespace cefsim
