// The built Quelmarch.exe, started as a player starts it and driven only from
// outside: window queries, posted input, and cefsim's cross-process commands.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "cefsim/testing.h"
#include "support/launcher_process.h"

namespace {

using qmtest::LauncherProcess;
using qmtest::PostAltF4;
using qmtest::PumpUntil;

// "closebtn" of the login layout: float pos 1356,12,1388,44.
const POINT kLoginCloseButton = {1372, 28};

struct Started {
  HWND login = nullptr;
  HWND pane = nullptr;
  HWND browser = nullptr;
};

Started WaitForLoginScreen(const LauncherProcess& p) {
  Started s;
  s.login = p.WaitForWindow(L"XMLWnd", L"Quelmarch");
  s.pane = p.WaitForWindow(L"XMLWnd", L"LoginBrowser");
  // The browser's window, once created and shown.
  if (s.pane)
    PumpUntil([&] {
      s.browser = qmtest::BrowserOf(s.pane);
      return s.browser && IsWindowVisible(s.browser);
    });
  return s;
}

void ExpectCleanExit(LauncherProcess& p, DWORD ms) {
  DWORD code = 1234;
  ASSERT_TRUE(p.WaitExit(ms, &code)) << "still running";
  EXPECT_EQ(0u, code);
  EXPECT_TRUE(p.TopLevelWindows().empty());
}

TEST(LauncherExe, SubProcessStartShowsNoWindowAndExitsWithCefsCode) {
  LauncherProcess p;
  ASSERT_TRUE(p.Start(L"--type=renderer"));
  bool sawWindow = false;
  DWORD code = 1234;
  const DWORD start = GetTickCount();
  while (p.Running() && GetTickCount() - start < 10000) {
    for (const auto& w : p.TopLevelWindows())
      if (IsWindowVisible(w.hwnd) || w.cls == L"XMLWnd") sawWindow = true;
    Sleep(5);
  }
  ASSERT_TRUE(p.WaitExit(100, &code));
  EXPECT_EQ(0u, code);  // cefsim's sub-process code
  EXPECT_FALSE(sawWindow);
}

// Points the user's roaming application-data folder somewhere else while
// it lives, so that a test sees whether a process creates the cache folder.
class MovedAppData {
 public:
  explicit MovedAppData(const std::wstring& path) {
    RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", 0,
                  KEY_ALL_ACCESS, &key_);
    wchar_t old[MAX_PATH] = {};
    DWORD size = sizeof(old), type = REG_EXPAND_SZ;
    had_ = RegQueryValueExW(key_, L"AppData", nullptr, &type, reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS;
    old_ = old;
    type_ = type;
    RegSetValueExW(key_, L"AppData", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
  }
  ~MovedAppData() {
    if (had_)
      RegSetValueExW(key_, L"AppData", 0, type_, reinterpret_cast<const BYTE*>(old_.c_str()),
                     static_cast<DWORD>((old_.size() + 1) * sizeof(wchar_t)));
    else
      RegDeleteValueW(key_, L"AppData");
    RegCloseKey(key_);
  }

 private:
  HKEY key_ = nullptr;
  bool had_ = false;
  std::wstring old_;
  DWORD type_ = REG_EXPAND_SZ;
};

bool IsFolder(const std::wstring& path) {
  DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// The shell reports no application-data folder when the one it is set to
// does not exist (it is not asked to create it): neither process creates
// it, and the browser process runs with an empty cache path.
TEST(LauncherExe, WithoutAnApplicationDataFolderTheCachePathIsEmpty) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring appData = std::wstring(temp) + L"qm-appdata-" + std::to_wstring(GetCurrentProcessId()) + L"\\Roaming";
  MovedAppData moved(appData);
  {
    LauncherProcess p;
    ASSERT_TRUE(p.Start(L"--type=renderer"));
    DWORD code = 1234;
    ASSERT_TRUE(p.WaitExit(10000, &code));
    EXPECT_EQ(0u, code);
  }
  EXPECT_FALSE(IsFolder(appData));
  {
    LauncherProcess p;
    ASSERT_TRUE(p.Start());
    Started s = WaitForLoginScreen(p);
    ASSERT_NE(nullptr, s.browser);
    cefsim::testing::Settings settings = cefsim::testing::QuerySettings(s.browser);
    EXPECT_EQ(L"", settings.cachePath);
    EXPECT_EQ(L"zh-CN", settings.locale);  // the settings were read, not lost
    EXPECT_FALSE(IsFolder(appData));
    PostMessageW(s.login, WM_CLOSE, 0, 0);
    ExpectCleanExit(p, 5000);
  }
}

TEST(LauncherExe, StartsWithTheLoginScreenAndCloseButtonEndsIt) {
  LauncherProcess p;
  ASSERT_TRUE(p.Start());
  Started s = WaitForLoginScreen(p);
  ASSERT_NE(nullptr, s.login);
  ASSERT_NE(nullptr, s.pane);
  ASSERT_NE(nullptr, s.browser);
  EXPECT_EQ(s.login, GetWindow(s.pane, GW_OWNER));

  // CEF's settings and the browser process's command line.
  cefsim::testing::Settings settings = cefsim::testing::QuerySettings(s.browser);
  EXPECT_TRUE(settings.multiThreadedMessageLoop);
  EXPECT_EQ(L"zh-CN", settings.locale);
  wchar_t appData[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, FALSE));
  EXPECT_EQ(std::wstring(appData) + L"\\", settings.cachePath);
  const std::wstring tail = L" --disable-web-security --enable-system-flash --enable-npapi";
  ASSERT_GE(settings.commandLine.size(), tail.size());
  EXPECT_EQ(tail, settings.commandLine.substr(settings.commandLine.size() - tail.size()));

  auto browsers = cefsim::testing::QueryBrowsers(s.browser);
  ASSERT_EQ(1u, browsers.size());
  EXPECT_EQ(s.pane, browsers[0].parent);
  EXPECT_EQ(0x56010000u, static_cast<DWORD>(GetWindowLongW(s.browser, GWL_STYLE)));

  // A click on "closebtn", as the mouse delivers it.
  const LPARAM at = MAKELPARAM(kLoginCloseButton.x, kLoginCloseButton.y);
  PostMessageW(s.login, WM_MOUSEMOVE, 0, at);
  PostMessageW(s.login, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(s.login, WM_LBUTTONUP, 0, at);
  ExpectCleanExit(p, 5000);
}

// Every way a player closes the login screen ends the program cleanly,
// including a close request that reaches the login page's pane, which has
// the keyboard focus.
TEST(LauncherExe, EveryCloseOfTheLoginScreenEndsTheProgramCleanly) {
  const struct {
    const char* what;
    void (*close)(const Started&);
  } cases[] = {
      {"Alt+F4 on the login window", [](const Started& s) { PostAltF4(s.login); }},
      {"Alt+F4 while the pane has the focus", [](const Started& s) { PostAltF4(s.pane); }},
      {"the pane's system menu Close", [](const Started& s) { PostMessageW(s.pane, WM_SYSCOMMAND, SC_CLOSE, 0); }},
      {"the login window's system menu Close",
       [](const Started& s) { PostMessageW(s.login, WM_SYSCOMMAND, SC_CLOSE, 0); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    LauncherProcess p;
    ASSERT_TRUE(p.Start());
    Started s = WaitForLoginScreen(p);
    ASSERT_NE(nullptr, s.browser);
    c.close(s);
    ExpectCleanExit(p, 5000);
  }
}

TEST(LauncherExe, FailedCefStartExitsWithCodeOneAndNoWindow) {
  LauncherProcess p;
  ASSERT_TRUE(p.Start(L"", L"CEFSIM_FAIL_INITIALIZE", L"1"));
  DWORD code = 1234;
  ASSERT_TRUE(p.WaitExit(10000, &code));
  EXPECT_EQ(1u, code);
  EXPECT_TRUE(p.TopLevelWindows().empty());
}

}  // namespace
