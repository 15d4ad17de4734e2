// The game window, its full-screen bar and its tray icon, on real windows
// with CEF (cefsim) started as the launcher starts it.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/launcher.h"
#include "cefsim/testing.h"
#include "client/page_logic.h"
#include "client/simple_handler.h"
#include "include/cef_task.h"
#include "support/login_window.h"
#include "support/notify_recorder.h"
#include "support/shell_recorder.h"
#include "support/hold_ui_thread.h"
#include "support/win_test_util.h"
#include "ui/DuiFormFullScreen.h"
#include "ui/DuiFormGame.h"
#include "ui/DuiFormLogin.h"
#include "ui/DuiFormLoginBrowser.h"
#include "ui/SiteUrls.h"
#include "ui/WindowMessages.h"

namespace {

using qmtest::PumpFor;
using qmtest::PumpUntil;

RECT WorkArea() {
  RECT rc;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &rc, 0);
  return rc;
}

RECT RectIn(HWND child, HWND parent) {
  RECT rc = qmtest::WindowRect(child);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

#define EXPECT_RECT(l, t, r, b, rc) \
  do {                              \
    const RECT got_ = (rc);         \
    EXPECT_EQ(l, got_.left);        \
    EXPECT_EQ(t, got_.top);         \
    EXPECT_EQ(r, got_.right);       \
    EXPECT_EQ(b, got_.bottom);      \
  } while (0)

// A game window that records what the tests need to see and counts its
// own destruction.
class TestGame : public CDuiFormGame {
 public:
  static int s_live;
  int posted_activations = 0;
  TestGame() { ++s_live; }
  ~TestGame() override { --s_live; }
  LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override {
    if (uMsg == WM_ACTIVATE && wParam == 0 && lParam == 0) ++posted_activations;
    return CDuiFormGame::HandleMessage(uMsg, wParam, lParam);
  }
  CPaintManagerUI& manager() { return m_PaintManager; }
};
int TestGame::s_live = 0;

// The login window's side of the game window: records WM_BACK_TO_LOGIN.
class FakeLogin {
 public:
  FakeLogin() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"FakeLogin";
    RegisterClassW(&wc);
    hwnd = CreateWindowW(L"FakeLogin", L"login", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    s_backToLogin = 0;
  }
  ~FakeLogin() { DestroyWindow(hwnd); }
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_BACK_TO_LOGIN) ++s_backToLogin;
    return DefWindowProcW(h, m, w, l);
  }
  HWND hwnd;
  static int s_backToLogin;
};
int FakeLogin::s_backToLogin = 0;

class GameTest : public testing::Test {
 protected:
  void SetUp() override {
    game_ = new TestGame;
    game_->CreateGameWnd(login_.hwnd, L"data:text/html,<title>game</title>game?client=2");
    game_->m_hLoginWnd = login_.hwnd;
    game_->SetGameUrl(L"data:text/html,<title>game</title>game?client=2");
    game_->ShowWindow(true, true);
    hwnd_ = *game_;
    ASSERT_TRUE(IsWindow(hwnd_));
    ASSERT_TRUE(PumpUntil([&] { return BrowserWindow() != nullptr; }));
    ASSERT_TRUE(cefsim::testing::WaitForIdle());
    PumpFor(30);
  }
  void TearDown() override {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);  // the object frees itself
    PumpUntil([] { return cefsim::testing::ListBrowsers().empty(); });
    cefsim::testing::WaitForIdle();
    EXPECT_EQ(0, TestGame::s_live);
  }
  HWND BrowserWindow() {
    CefRefPtr<CefBrowser> b = game_->m_pGameClient->GetBrowser();
    return b ? b->GetHost()->GetWindowHandle() : nullptr;
  }
  void Click(const wchar_t* control, HWND target = nullptr, CPaintManagerUI* manager = nullptr) {
    CControlUI* c = (manager ? manager : &game_->manager())->FindControl(control);
    ASSERT_NE(nullptr, c) << "no control";
    const RECT r = c->GetPos();
    qmtest::PostClick(target ? target : hwnd_, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PumpFor(50);
  }
  HWND Bar() { return game_->m_pFullScreenBar ? game_->m_pFullScreenBar->GetHWND() : nullptr; }

  FakeLogin login_;
  TestGame* game_ = nullptr;
  HWND hwnd_ = nullptr;
};

TEST_F(GameTest, OpensCentredAt1440x900WithItsOwnClient) {
  wchar_t text[64] = {}, cls[64] = {};
  GetWindowTextW(hwnd_, text, 64);
  GetClassNameW(hwnd_, cls, 64);
  EXPECT_STREQ(L"Quelmarch", text);
  EXPECT_STREQ(L"XMLWnd", cls);
  EXPECT_EQ(login_.hwnd, GetWindow(hwnd_, GW_OWNER));
  EXPECT_TRUE(GetWindowLongW(hwnd_, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  EXPECT_EQ(static_cast<DWORD>(GAME_WINDOW_STYLE), static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE)));
  RECT wa = WorkArea();
  EXPECT_RECT((wa.right - 1440) / 2, (wa.bottom - 900) / 2, (wa.right - 1440) / 2 + 1440,
              (wa.bottom - 900) / 2 + 900, qmtest::WindowRect(hwnd_));
  EXPECT_NE(g_pLoginClient.get(), game_->m_pGameClient.get());
  auto list = cefsim::testing::ListBrowsers();
  ASSERT_EQ(1u, list.size());
  EXPECT_EQ(game_->m_pGameClient.get(), static_cast<SimpleHandler*>(list[0].client.get()));
  EXPECT_EQ(hwnd_, list[0].parent);
  // WM_SIZE during creation posted an activation before "topBg" was known.
  EXPECT_GE(game_->posted_activations, 1);
  PostMessageW(hwnd_, WM_ACTIVATE, 0, 0);
  PumpFor(30);
  EXPECT_RECT(2, 32, 1439, 898, RectIn(BrowserWindow(), hwnd_));
  EXPECT_RECT(0, 0, 1440, 32, game_->manager().FindControl(L"topBg")->GetPos());
}

TEST_F(GameTest, LayoutPassesFollowEveryEventInEachMode) {
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  struct {
    const char* what;
    std::function<void(HWND)> event;
    int w, h;  // expected client size, windowed
  } events[] = {
      {"move", [](HWND h) { SetWindowPos(h, nullptr, 15, 25, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE); },
       1440, 900},
      {"size", [](HWND h) { SetWindowPos(h, nullptr, 0, 0, 1000, 700, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE); },
       1000, 700},
      {"activation", [](HWND h) { PostMessageW(h, WM_ACTIVATE, WA_ACTIVE, 0); }, 1000, 700},
      {"system command", [](HWND h) { SendMessageW(h, WM_SYSCOMMAND, SC_MAXIMIZE, 0); }, -1, -1},
  };
  for (auto& e : events) {
    SCOPED_TRACE(e.what);
    MoveWindow(BrowserWindow(), 5, 5, 10, 10, FALSE);  // anywhere but its place
    e.event(hwnd_);
    PumpFor(60);
    RECT client = qmtest::ClientRect(hwnd_);
    if (e.w > 0) {
      EXPECT_EQ(e.w, client.right);
      EXPECT_EQ(e.h, client.bottom);
    }
    EXPECT_RECT(2, 32, client.right - 1, client.bottom - 2, RectIn(BrowserWindow(), hwnd_));
    EXPECT_RECT(0, 0, client.right, 32, game_->manager().FindControl(L"topBg")->GetPos());
  }
  // Maximised, the window fills the work area and shows "restorebtn".
  EXPECT_TRUE(IsZoomed(hwnd_));
  EXPECT_FALSE(game_->manager().FindControl(L"maxbtn")->IsVisible());
  EXPECT_TRUE(game_->manager().FindControl(L"restorebtn")->IsVisible());

  // Full-screen: a move re-applies the full-screen placement; an activation
  // runs no pass.
  Click(L"fullscreenbtn");
  ASSERT_TRUE(game_->m_bFullScreen);
  MoveWindow(BrowserWindow(), 5, 5, 10, 10, FALSE);
  SendMessageW(hwnd_, WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_RECT(5, 5, 15, 15, RectIn(BrowserWindow(), hwnd_));
  const int before = game_->posted_activations;
  SetWindowPos(hwnd_, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  PumpFor(60);
  EXPECT_RECT(0, 0, cx, cy, qmtest::WindowRect(hwnd_));
  EXPECT_RECT(0, 0, cx, cy, RectIn(BrowserWindow(), hwnd_));
  // WM_SIZE posts its activation in full-screen mode too.
  SendMessageW(hwnd_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(cx, cy));
  PumpFor(30);
  EXPECT_GT(game_->posted_activations, before);
}

TEST_F(GameTest, FullScreenCoversTheScreenWithTheBarAbove) {
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  const RECT windowed = qmtest::WindowRect(hwnd_);
  SetForegroundWindow(hwnd_);  // the player's game is in front when they click
  PumpUntil([&] { return GetForegroundWindow() == hwnd_; }, 1000);
  Click(L"fullscreenbtn");
  EXPECT_TRUE(game_->m_bFullScreen);
  EXPECT_EQ(static_cast<DWORD>(FULLSCREEN_STYLE), static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE)) & ~WS_VISIBLE);
  EXPECT_RECT(0, 0, cx, cy, qmtest::WindowRect(hwnd_));
  EXPECT_RECT(0, 0, cx, cy, RectIn(BrowserWindow(), hwnd_));

  HWND bar = Bar();
  ASSERT_TRUE(IsWindow(bar));
  wchar_t text[64] = {};
  GetWindowTextW(bar, text, 64);
  EXPECT_STREQ(L"FormGame", text);
  EXPECT_EQ(hwnd_, GetWindow(bar, GW_OWNER));
  EXPECT_EQ(hwnd_, game_->m_pFullScreenBar->m_hWndGame);
  EXPECT_EQ(0x00000180u, static_cast<DWORD>(GetWindowLongW(bar, GWL_EXSTYLE)) & 0x180u);
  EXPECT_RECT(cx / 2 - 105, 0, cx / 2 + 105, 34, qmtest::WindowRect(bar));
  EXPECT_FALSE(game_->m_pFullScreenBar->m_bBarShown);
  EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == bar; }, 1000));  // keys go to the bar

  // Its timer pulls it up, topmost, centred on the work area.
  const int x = (WorkArea().right - 210) / 2;
  SendMessageW(bar, WM_TIMER, CDuiFormFullScreen::kHideTimer, 0);
  EXPECT_RECT(x, -33, x + 210, 1, qmtest::WindowRect(bar));
  EXPECT_TRUE(GetWindowLongW(bar, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_FALSE(game_->m_pFullScreenBar->m_bBarShown);
  // The mouse on its last row drops it; a second move does nothing more.
  SendMessageW(bar, WM_MOUSEMOVE, 0, MAKELPARAM(100, 33));
  EXPECT_RECT(x, -1, x + 210, 33, qmtest::WindowRect(bar));
  EXPECT_TRUE(game_->m_pFullScreenBar->m_bBarShown);
  SendMessageW(bar, WM_MOUSEMOVE, 0, MAKELPARAM(100, 20));
  EXPECT_RECT(x, -1, x + 210, 33, qmtest::WindowRect(bar));
  SendMessageW(bar, WM_TIMER, CDuiFormFullScreen::kHideTimer, 0);
  EXPECT_RECT(x, -33, x + 210, 1, qmtest::WindowRect(bar));

  // Escape in the bar returns to the saved placement and closes the bar.
  SendMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 0);
  PumpFor(60);
  EXPECT_FALSE(game_->m_bFullScreen);
  EXPECT_FALSE(IsWindow(bar));
  EXPECT_EQ(nullptr, game_->m_pFullScreenBar);
  EXPECT_EQ(static_cast<DWORD>(GAME_WINDOW_STYLE), static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE)));
  EXPECT_RECT(windowed.left, windowed.top, windowed.right, windowed.bottom, qmtest::WindowRect(hwnd_));
  EXPECT_RECT(2, 32, 1439, 898, RectIn(BrowserWindow(), hwnd_));
}

TEST_F(GameTest, LeavingFullScreenBeforeEverEnteringItKeepsTheWindow) {
  const RECT before = qmtest::WindowRect(hwnd_);
  SendMessageW(hwnd_, WM_EXIT_FULLSCREEN, 0, 0);
  PumpFor(30);
  EXPECT_RECT(before.left, before.top, before.right, before.bottom, qmtest::WindowRect(hwnd_));
  EXPECT_EQ(static_cast<DWORD>(GAME_WINDOW_STYLE), static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE)));
  EXPECT_TRUE(IsWindowVisible(hwnd_));
}

TEST_F(GameTest, EveryWayOutOfFullScreenRestoresTheWindow) {
  enum Way { kEscapeInGame, kEscapeInBar, kBarButton, kAltF4InBar };
  const struct {
    const char* what;
    Way way;
  } ways[] = {{"Escape in the game window", kEscapeInGame},
              {"Escape in the bar", kEscapeInBar},
              {"the bar's fullscreenbtn", kBarButton},
              {"Alt+F4 in the bar", kAltF4InBar}};
  for (bool maximised : {false, true}) {
    for (const auto& w : ways) {
      SCOPED_TRACE(testing::Message() << w.what << (maximised ? ", maximised" : ""));
      ShowWindow(hwnd_, maximised ? SW_MAXIMIZE : SW_RESTORE);
      PumpFor(50);
      const RECT before = qmtest::WindowRect(hwnd_);
      Click(L"fullscreenbtn");
      ASSERT_TRUE(game_->m_bFullScreen);
      HWND bar = Bar();
      switch (w.way) {
        case kEscapeInGame: SendMessageW(hwnd_, WM_KEYDOWN, VK_ESCAPE, 0); break;
        case kEscapeInBar: SendMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 0); break;
        case kBarButton: qmtest::PostClick(bar, 105, 17); break;  // the button's centre in the bar's layout
        case kAltF4InBar: PostMessageW(bar, WM_SYSKEYDOWN, VK_F4, (1 << 29) | 1); break;
      }
      ASSERT_TRUE(PumpUntil([&] { return !game_->m_bFullScreen && !IsWindow(bar); }, 2000));
      PumpFor(50);
      EXPECT_EQ(maximised, IsZoomed(hwnd_) != FALSE);
      EXPECT_RECT(before.left, before.top, before.right, before.bottom, qmtest::WindowRect(hwnd_));
      EXPECT_EQ(nullptr, game_->m_pFullScreenBar);
      EXPECT_TRUE(IsWindowVisible(hwnd_));
    }
  }
  // WM_EXIT_FULLSCREEN while windowed re-applies the windowed style and the
  // placement saved at the last entry (maximised), and closes nothing.
  ShowWindow(hwnd_, SW_RESTORE);
  PumpFor(30);
  SendMessageW(hwnd_, WM_EXIT_FULLSCREEN, 0, 0);
  EXPECT_EQ(static_cast<DWORD>(GAME_WINDOW_STYLE),
            static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE)) & ~static_cast<DWORD>(WS_MAXIMIZE));
  EXPECT_TRUE(IsZoomed(hwnd_));
  EXPECT_TRUE(IsWindow(hwnd_));
}

TEST_F(GameTest, BossKeyHidesBehindATrayIconAndALeftClickBringsItBack) {
  qmtest::NotifyRecorder tray;
  Click(L"bosskeybtn");
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  EXPECT_TRUE(game_->m_bBossKeyHidden);
  ASSERT_EQ(1u, tray.calls.size());
  const NOTIFYICONDATAW& nid = tray.calls[0].data;
  EXPECT_EQ(static_cast<DWORD>(NIM_ADD), tray.calls[0].message);
  EXPECT_EQ(956u, nid.cbSize);
  EXPECT_EQ(hwnd_, nid.hWnd);
  EXPECT_EQ(102u, nid.uID);
  EXPECT_EQ(7u, nid.uFlags);
  EXPECT_EQ(2029u, nid.uCallbackMessage);
  EXPECT_NE(nullptr, nid.hIcon);
  EXPECT_STREQ(L"\u5fae\u7aef", nid.szTip);

  // Nothing shows it again but the icon: activations, moves, sizes.
  SendMessageW(hwnd_, WM_ACTIVATE, WA_ACTIVE, 0);
  PostMessageW(hwnd_, WM_ACTIVATE, 0, 0);
  SendMessageW(hwnd_, WM_MOVE, 0, 0);
  PumpFor(50);
  EXPECT_FALSE(IsWindowVisible(hwnd_));

  struct {
    LPARAM mouse;
    bool restores;
  } clicks[] = {{WM_RBUTTONUP, false}, {WM_LBUTTONDOWN, false}, {WM_MOUSEMOVE, false}, {WM_LBUTTONUP, true}};
  for (const auto& c : clicks) {
    SCOPED_TRACE(c.mouse);
    SendMessageW(hwnd_, WM_TRAY_NOTIFY, 102, c.mouse);
    PumpFor(50);
    EXPECT_EQ(c.restores, IsWindowVisible(hwnd_) != FALSE);
  }
  EXPECT_EQ(hwnd_, GetForegroundWindow());
  EXPECT_FALSE(game_->m_bBossKeyHidden);
  ASSERT_EQ(2u, tray.calls.size());
  EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), tray.calls[1].message);
  EXPECT_EQ(0u, tray.calls[1].data.uFlags);
  EXPECT_EQ(102u, tray.calls[1].data.uID);
  // The layout pass ran again after the restore.
  EXPECT_RECT(2, 32, 1439, 898, RectIn(BrowserWindow(), hwnd_));

  // A repeated restore repeats the delete, harmlessly; hiding again adds the
  // icon again under the same identifier; a double click restores too.
  SendMessageW(hwnd_, WM_TRAY_NOTIFY, 102, WM_LBUTTONDBLCLK);
  EXPECT_EQ(2u, tray.Count(NIM_DELETE));
  Click(L"bosskeybtn");
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  EXPECT_EQ(2u, tray.Count(NIM_ADD));
  EXPECT_EQ(102u, tray.calls.back().data.uID);
  SendMessageW(hwnd_, WM_TRAY_NOTIFY, 102, WM_LBUTTONDBLCLK);
  PumpFor(30);
  EXPECT_TRUE(IsWindowVisible(hwnd_));
  EXPECT_EQ(0, FakeLogin::s_backToLogin);
}

TEST_F(GameTest, ATrayThatRefusesTheIconLeavesTheWindowVisible) {
  qmtest::NotifyRecorder tray;
  tray.ok = false;
  Click(L"bosskeybtn");
  EXPECT_TRUE(IsWindowVisible(hwnd_));
  EXPECT_FALSE(game_->m_bBossKeyHidden);
  EXPECT_FALSE(game_->m_bTrayIconAdded);
  EXPECT_FALSE(game_->RemoveTrayIcon());
  EXPECT_EQ(1u, tray.calls.size());
}

TEST_F(GameTest, TheIconComesBackWhenTheShellRestarts) {
  qmtest::NotifyRecorder tray;
  Click(L"bosskeybtn");
  ASSERT_FALSE(IsWindowVisible(hwnd_));
  SendMessageW(hwnd_, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_EQ(2u, tray.Count(NIM_ADD));
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  // A shell that no longer takes the icon gives the window back.
  tray.ok = false;
  SendMessageW(hwnd_, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  PumpFor(30);
  EXPECT_TRUE(IsWindowVisible(hwnd_));
  // While visible, a shell restart adds nothing.
  const size_t adds = tray.Count(NIM_ADD);
  SendMessageW(hwnd_, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_EQ(adds, tray.Count(NIM_ADD));
}

TEST_F(GameTest, ClosingWhileHiddenLeavesNoIconBehind) {
  qmtest::NotifyRecorder tray;
  Click(L"bosskeybtn");
  ASSERT_EQ(1u, tray.Count(NIM_ADD));
  DestroyWindow(hwnd_);
  EXPECT_EQ(1u, tray.Count(NIM_DELETE));
  EXPECT_EQ(102u, tray.calls.back().data.uID);
}

TEST_F(GameTest, TheRealShellTakesAndGivesBackTheIcon) {
  Click(L"bosskeybtn");
  ASSERT_TRUE(game_->m_bTrayIconAdded);
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  NOTIFYICONDATAW probe = game_->m_nid;
  probe.uFlags = NIF_TIP;
  EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &probe));  // the icon is there
  SendMessageW(hwnd_, WM_TRAY_NOTIFY, 102, WM_LBUTTONUP);
  PumpFor(30);
  EXPECT_TRUE(IsWindowVisible(hwnd_));
  EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &probe));  // and gone
}

TEST_F(GameTest, OnlyCloseButtonAndOtherClosesReturnToTheLoginWindow) {
  qmtest::ShellRecorder shell;
  const std::wstring official = OFFICIAL_SITE_URL;
  struct {
    const wchar_t* button;
    std::wstring url;
  } links[] = {{L"officialbtn", official},
               {L"rechargebtn", official + L"/media.php?s=/Pay/index.html"},
               {L"forumbtn", official},
               {L"servicebtn", official}};
  for (const auto& l : links) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(l.button)));
    shell.clear();
    Click(l.button);
    ASSERT_EQ(1u, shell.calls().size());
    EXPECT_EQ(l.url, shell.calls()[0].file);
  }
  SendMessageW(hwnd_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  SendMessageW(hwnd_, WM_SYSCOMMAND, SC_RESTORE, 0);
  Click(L"minbtn");
  ShowWindow(hwnd_, SW_RESTORE);
  PumpFor(30);
  EXPECT_EQ(0, FakeLogin::s_backToLogin);
  Click(L"closebtn");
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hwnd_); }));
  PumpFor(30);
  EXPECT_EQ(1, FakeLogin::s_backToLogin);  // once, not again on destruction
  EXPECT_EQ(0, TestGame::s_live);         // the object freed itself
}

TEST_F(GameTest, AltF4AlsoBringsTheLoginWindowBack) {
  PostMessageW(hwnd_, WM_SYSKEYDOWN, VK_F4, (1 << 29) | 1);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hwnd_); }));
  PumpFor(30);
  EXPECT_EQ(1, FakeLogin::s_backToLogin);
}

TEST_F(GameTest, ClosingInFullScreenFreesTheBarWithTheWindow) {
  Click(L"fullscreenbtn");
  HWND bar = Bar();
  ASSERT_TRUE(IsWindow(bar));
  SendMessageW(hwnd_, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(bar));
  EXPECT_FALSE(IsWindow(hwnd_));
  EXPECT_EQ(0, TestGame::s_live);
}

using qmtest::HoldUiThread;

// Answers only the messages other threads send to this one (creating a
// child window sends to its parent's thread), leaving posted ones queued.
bool AnswerSentMessagesUntil(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  return true;
}

// Passes that run before the browser exists move only the title bar; the
// browser is created at (0, 32, 627, 374) and the pass its creation sets off
// places it below the title bar.
TEST(GameLayout, BrowserIsCreatedAtItsFirstRectangleThenPlaced) {
  FakeLogin login;
  HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  CefPostTask(TID_UI, new HoldUiThread(gate));
  TestGame* game = new TestGame;
  game->CreateGameWnd(login.hwnd, L"about:blank");
  game->m_hLoginWnd = login.hwnd;
  HWND hwnd = *game;
  PumpFor(100);  // every pass the creation set off runs now, with no browser
  EXPECT_RECT(0, 0, 1440, 32, game->manager().FindControl(L"topBg")->GetPos());
  const int passesBefore = game->posted_activations;
  SetEvent(gate);
  CloseHandle(gate);
  ASSERT_TRUE(AnswerSentMessagesUntil([&] { return game->m_pGameClient->GetBrowser() != nullptr; }, 5000));
  HWND browser = game->m_pGameClient->GetBrowser()->GetHost()->GetWindowHandle();
  EXPECT_RECT(0, 32, 627, 406, RectIn(browser, hwnd));
  ASSERT_TRUE(PumpUntil([&] { return RectIn(browser, hwnd).right == 1439; }, 2000));
  EXPECT_RECT(2, 32, 1439, 898, RectIn(browser, hwnd));
  EXPECT_GT(game->posted_activations, passesBefore);
  DestroyWindow(hwnd);
  PumpUntil([] { return cefsim::testing::ListBrowsers().empty(); });
  EXPECT_EQ(0, TestGame::s_live);
}

// The road of a game start, through the real login window.
TEST(GameStart, FromTheLoginPageToTheGameAndBack) {
  CDuiFormLogin* login = qmtest::OpenLoginWindow();
  ASSERT_NE(nullptr, g_pLoginClient->GetBrowser().get());
  const int pane = g_pLoginClient->GetBrowser()->GetIdentifier();

  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    ASSERT_TRUE(cefsim::testing::Navigate(pane, L"data:text/html,<title>Game</title>play?client=2&round=" +
                                                    std::to_wstring(round)));
    ASSERT_TRUE(PumpUntil([&] { return login->m_pGameWnd != nullptr; }));
    ASSERT_TRUE(cefsim::testing::WaitForIdle(15000));
    CDuiFormGame* game = login->m_pGameWnd;
    HWND gameWnd = *game;
    EXPECT_TRUE(IsWindowVisible(gameWnd));
    EXPECT_FALSE(IsWindowVisible(*login));
    EXPECT_FALSE(IsWindowVisible(*login->m_pLoginBrowser));
    EXPECT_EQ(g_hWndMain, game->m_hLoginWnd);
    EXPECT_EQ(*login, GetWindow(gameWnd, GW_OWNER));
    EXPECT_EQ(2u, cefsim::testing::ListBrowsers().size());

    // A second game URL opens no second window.
    ASSERT_TRUE(cefsim::testing::Navigate(pane, L"about:blank?client=3"));
    ASSERT_TRUE(cefsim::testing::WaitForIdle(15000));
    EXPECT_EQ(game, login->m_pGameWnd);
    EXPECT_EQ(2u, cefsim::testing::ListBrowsers().size());

    // "closebtn": the login screen comes back, the game's browser closes,
    // the program goes on.
    CControlUI* close = nullptr;
    {
      struct Access : CDuiFormGame {
        static CPaintManagerUI& Manager(CDuiFormGame* g) { return static_cast<Access*>(g)->m_PaintManager; }
      };
      close = Access::Manager(game).FindControl(L"closebtn");
    }
    ASSERT_NE(nullptr, close);
    const RECT r = close->GetPos();
    qmtest::PostClick(gameWnd, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ASSERT_TRUE(PumpUntil([&] { return login->m_pGameWnd == nullptr && !IsWindow(gameWnd); }));
    ASSERT_TRUE(PumpUntil([&] { return cefsim::testing::ListBrowsers().size() == 1; }));
    EXPECT_TRUE(IsWindowVisible(*login));
    EXPECT_TRUE(IsWindowVisible(*login->m_pLoginBrowser));
    EXPECT_FALSE(qmtest::TakeQuit());
  }
  EXPECT_TRUE(qmtest::CloseLoginWindow(login));
}

// Long and awkward game URLs go through the whole road unchanged, and the
// game's error page keeps them escaped.
TEST(GameStart, HugeAndAwkwardUrlsComeThroughWhole) {
  CDuiFormLogin* login = qmtest::OpenLoginWindow();
  ASSERT_NE(nullptr, g_pLoginClient->GetBrowser().get());
  const int pane = g_pLoginClient->GetBrowser()->GetIdentifier();
  const std::wstring huge = L"data:text/html,<title>big</title>" + std::wstring(1024 * 1024, L'a') + L"?client=2";
  const std::wstring awkward = L"about:blank?client=3&q=<script>alert('x')</script>&r=\"\u6e38\u620f\u00e9\"";
  for (const std::wstring& url : {huge, awkward}) {
    SCOPED_TRACE(url.size());
    ASSERT_TRUE(cefsim::testing::Navigate(pane, url));
    ASSERT_TRUE(PumpUntil([&] { return login->m_pGameWnd != nullptr; }, 10000));
    ASSERT_TRUE(cefsim::testing::WaitForIdle(15000));
    CDuiFormGame* game = login->m_pGameWnd;
    EXPECT_EQ(url, game->m_strGameUrl);
    CefRefPtr<CefBrowser> browser = game->m_pGameClient->GetBrowser();
    ASSERT_NE(nullptr, browser.get());
    EXPECT_EQ(url, browser->GetMainFrame()->GetURL().ToWString());
    // The game page fails: its error page names the URL, escaped.
    ASSERT_TRUE(cefsim::testing::FailLoad(browser->GetIdentifier(), -105));
    ASSERT_TRUE(cefsim::testing::WaitForIdle(15000));
    const std::wstring page = cefsim::testing::FrameDocument(browser->GetIdentifier());
    EXPECT_EQ(std::wstring::npos, page.find(L"<script>"));
    EXPECT_NE(std::wstring::npos, page.find(L"Failed to load URL " + HtmlEscape(url) + L" with error"));
    EXPECT_EQ(url, browser->GetMainFrame()->GetURL().ToWString());
    browser = nullptr;
    HWND gameWnd = *game;
    DestroyWindow(gameWnd);
    ASSERT_TRUE(PumpUntil([&] { return login->m_pGameWnd == nullptr; }));
  }
  EXPECT_TRUE(qmtest::CloseLoginWindow(login));
}

}  // namespace
