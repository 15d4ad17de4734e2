// The built launcher under the conditions a player's machine may give it:
// a broken install, a hundred games in a row. Driven from outside.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "cefsim/testing.h"
#include "support/launcher_process.h"
#include "support/proc_status.h"
#include "support/win_test_util.h"

namespace {

using qmtest::LauncherProcess;
using qmtest::PumpUntil;

std::wstring BuildDir() {
  std::wstring exe = LauncherProcess::ExePath();
  return exe.substr(0, exe.find_last_of(L'\\'));
}

void WriteText(const std::wstring& path, const std::string& text) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(f);
}

// A copy of the installed program in a folder of its own, removed afterwards.
class Install {
 public:
  Install() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static int n = 0;
    dir_ = std::wstring(temp) + L"qm-install-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(n++);
    CreateDirectoryW(dir_.c_str(), nullptr);
    CopyFileW(LauncherProcess::ExePath().c_str(), exe().c_str(), FALSE);
  }
  ~Install() { qmtest::RemoveTree(dir_); }
  std::wstring exe() const { return dir_ + L"\\Quelmarch.exe"; }
  std::wstring skin() const { return dir_ + L"\\skin"; }
  void CopySkin() const {
    CreateDirectoryW(skin().c_str(), nullptr);
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((BuildDir() + L"\\skin\\*").c_str(), &fd);
    do {
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        CopyFileW((BuildDir() + L"\\skin\\" + fd.cFileName).c_str(), (skin() + L"\\" + fd.cFileName).c_str(), FALSE);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }

 private:
  std::wstring dir_;
};

using qmtest::BrowserOf;
using qmtest::PostAltF4;

// What a player sees with a broken install: the windows open, empty where
// their layout is missing or broken; the login page and the game still run
// in their browsers; the program closes cleanly. Nothing crashes or hangs.
TEST(BrokenInstall, TheProgramStillStartsPlaysAndCloses) {
  const struct {
    const char* what;
    std::function<void(const Install&)> breakIt;
  } cases[] = {
      {"skin folder missing", [](const Install&) {}},
      {"login layout malformed",
       [](const Install& i) {
         i.CopySkin();
         WriteText(i.skin() + L"\\FormLogin.xml", "<Window size=\"1400,880\"><Container><Button name=\"closebtn\"");
       }},
      {"game layout without topBg",
       [](const Install& i) {
         i.CopySkin();
         WriteText(i.skin() + L"\\FormGame.xml",
                   "<Window><Container bkcolor=\"#FF101820\"><Button name=\"closebtn\" float=\"true\" "
                   "pos=\"0,0,32,32\"/></Container></Window>");
       }},
      {"images missing",
       [](const Install& i) {
         i.CopySkin();
         DeleteFileW((i.skin() + L"\\login_bg.png").c_str());
         DeleteFileW((i.skin() + L"\\top_bg.png").c_str());
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Install install;
    if (std::string(c.what) != "skin folder missing") c.breakIt(install);
    LauncherProcess p;
    ASSERT_TRUE(p.Start(L"", nullptr, nullptr, install.exe()));
    HWND login = p.WaitForWindow(L"XMLWnd", L"Quelmarch");
    HWND pane = p.WaitForWindow(L"XMLWnd", L"LoginBrowser");
    ASSERT_NE(nullptr, login);
    ASSERT_NE(nullptr, pane);
    HWND loginPage = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (loginPage = BrowserOf(pane)) != nullptr; }));
    ASSERT_TRUE(PumpUntil([&] { return cefsim::testing::SendCommand(loginPage, L"idle") == 1; }));

    // The game still starts, its page placed under the title bar's place.
    ASSERT_EQ(1, cefsim::testing::SendCommand(loginPage, L"navigate\t\t0\tdata:text/html,game?client=2"));
    HWND game = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (game = p.GameWindow()) != nullptr; }, 10000));
    HWND gamePage = BrowserOf(game);
    RECT rc;
    ASSERT_TRUE(PumpUntil(
        [&] {
          GetWindowRect(gamePage, &rc);
          MapWindowPoints(nullptr, game, reinterpret_cast<POINT*>(&rc), 2);
          return rc.left == 2 && rc.top == 32;
        },
        5000));
    RECT client;
    GetClientRect(game, &client);
    EXPECT_EQ(client.right - 1, rc.right);
    EXPECT_EQ(client.bottom - 2, rc.bottom);

    // Closing the game brings the login screen back; Alt+F4 ends the program.
    PostMessageW(game, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(login) && !IsWindow(game); }));
    PostAltF4(login);
    DWORD code = 1234;
    ASSERT_TRUE(p.WaitExit(5000, &code));
    EXPECT_EQ(0u, code);
  }
}

struct Footprint {
  long rssKb, dataKb;
  size_t windows;
  DWORD gdi, user;
};

Footprint Measure(const LauncherProcess& p) {
  HANDLE h = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, p.pid());
  Footprint f{qmtest::LinuxStatusKb("quelmarch.exe", "VmRSS"), qmtest::LinuxStatusKb("quelmarch.exe", "VmData"),
              p.TopLevelWindows().size(), GetGuiResources(h, GR_GDIOBJECTS), GetGuiResources(h, GR_USEROBJECTS)};
  CloseHandle(h);
  return f;
}

TEST(HundredGames, LeaveTheProcessFlat) {
  LauncherProcess p;
  ASSERT_TRUE(p.Start());
  HWND login = p.WaitForWindow(L"XMLWnd", L"Quelmarch");
  HWND pane = p.WaitForWindow(L"XMLWnd", L"LoginBrowser");
  HWND loginPage = nullptr;
  ASSERT_TRUE(PumpUntil([&] { return pane && (loginPage = BrowserOf(pane)) != nullptr; }));
  Footprint after30 = {}, after100 = {};
  for (int i = 0; i < 100; ++i) {
    SCOPED_TRACE(i);
    const std::wstring url = L"data:text/html,<title>game</title>game " + std::to_wstring(i) + L"?client=2";
    ASSERT_EQ(1, cefsim::testing::SendCommand(loginPage, L"navigate\t\t0\t" + url));
    HWND game = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (game = p.GameWindow()) != nullptr; }, 10000));
    PostMessageW(game, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil(
        [&] {
          return !IsWindow(game) && IsWindowVisible(login) &&
                 cefsim::testing::QueryBrowsers(loginPage).size() == 1 &&
                 cefsim::testing::SendCommand(loginPage, L"idle") == 1;
        },
        10000));
    if (i == 29) after30 = Measure(p);
    if (i == 99) after100 = Measure(p);
  }
  printf("after 30 games: RSS %ld kB, data %ld kB, %zu top-level windows, GDI %lu, USER %lu\n", after30.rssKb,
         after30.dataKb, after30.windows, after30.gdi, after30.user);
  printf("after 100 games: RSS %ld kB, data %ld kB, %zu top-level windows, GDI %lu, USER %lu\n", after100.rssKb,
         after100.dataKb, after100.windows, after100.gdi, after100.user);
  EXPECT_EQ(after30.windows, after100.windows);
  EXPECT_LE(after100.gdi, after30.gdi + 16);
  EXPECT_LE(after100.user, after30.user + 16);
  ASSERT_GT(after30.dataKb, 0) << "the launcher's memory could not be read";
  // The heap reaches its working size within the first games (seen: flat
  // from about game 50 to game 400). 70 more games may cost allocator
  // slack, not a game window each (a window with its layout, images and
  // back buffer is several MB). Resident memory moves with Wine's caches by
  // a few MB either way, so it gets a wider bound.
  EXPECT_LE(after100.dataKb, after30.dataKb + 4096);
  EXPECT_LE(after100.rssKb, after30.rssKb + 16384);
  PostAltF4(login);
  DWORD code = 1234;
  ASSERT_TRUE(p.WaitExit(5000, &code));
  EXPECT_EQ(0u, code);
}

}  // namespace
