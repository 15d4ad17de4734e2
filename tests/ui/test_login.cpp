// The login window, its pane and the browser client, on real windows with
// CEF (cefsim) started as the launcher starts it.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <ole2.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "app/launcher.h"
#include "app/simple_app.h"
#include "cefsim/testing.h"
#include "client/simple_handler.h"
#include "include/cef_task.h"
#include "support/child_process.h"
#include "support/login_window.h"
#include "support/shell_recorder.h"
#include "support/hold_ui_thread.h"
#include "support/win_test_util.h"
#include "ui/ChildBrowser.h"
#include "ui/DuiFormGame.h"
#include "ui/DuiFormLogin.h"
#include "ui/DuiFormLoginBrowser.h"
#include "ui/SiteUrls.h"
#include "ui/WindowMessages.h"

namespace {

using qmtest::PumpFor;
using qmtest::PumpUntil;

class CountingLogin : public CDuiFormLogin {
 public:
  // Game URLs reported while no game window was open: those of the login
  // page (a game page reports its own navigations too).
  std::vector<std::wstring> gameUrls;
  RECT loginAtInit = {}, paneAtInit = {};
  void InitWindow() override {
    CDuiFormLogin::InitWindow();
    GetWindowRect(m_hWnd, &loginAtInit);
    GetWindowRect(*m_pLoginBrowser, &paneAtInit);
  }
  LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override {
    if (uMsg == WM_GAME_URL && lParam && !m_pGameWnd) gameUrls.push_back(reinterpret_cast<const wchar_t*>(lParam));
    return CDuiFormLogin::HandleMessage(uMsg, wParam, lParam);
  }
  CPaintManagerUI& manager() { return m_PaintManager; }
};

RECT WorkArea() {
  RECT rc;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &rc, 0);
  return rc;
}

class LoginTest : public testing::Test {
 protected:
  void SetUp() override {
    login_ = qmtest::OpenLoginWindow<CountingLogin>();
    ASSERT_TRUE(IsWindow(g_hWndMain));
    ASSERT_NE(nullptr, g_pLoginClient->GetBrowser().get());
  }
  void TearDown() override { EXPECT_TRUE(qmtest::CloseLoginWindow(login_)); }
  HWND pane() const { return login_->m_pLoginBrowser ? login_->m_pLoginBrowser->GetHWND() : nullptr; }
  int paneBrowserId() const { return g_pLoginClient->GetBrowser()->GetIdentifier(); }
  POINT Center(const wchar_t* control) {
    CControlUI* c = login_->manager().FindControl(control);
    EXPECT_NE(nullptr, c);
    RECT r = c ? c->GetPos() : RECT{};
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  // Closes the game window, which brings the login screen back.
  void BackToLogin() {
    ASSERT_NE(nullptr, login_->m_pGameWnd);
    DestroyWindow(*login_->m_pGameWnd);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(*login_) && IsWindowVisible(pane()); }));
    cefsim::testing::WaitForIdle(15000);
  }

  CountingLogin* login_ = nullptr;
};

TEST_F(LoginTest, LoginWindowIsCentredAndThePaneSitsOnItsCorner) {
  HWND login = *login_;
  EXPECT_TRUE(IsWindowVisible(login));
  wchar_t text[64] = {}, cls[64] = {};
  GetWindowTextW(login, text, 64);
  GetClassNameW(login, cls, 64);
  EXPECT_STREQ(L"Quelmarch", text);
  EXPECT_STREQ(L"XMLWnd", cls);
  RECT wa = WorkArea(), lr = qmtest::WindowRect(login);
  EXPECT_NEAR((wa.left + wa.right) / 2, (lr.left + lr.right) / 2, 1);
  EXPECT_NEAR((wa.top + wa.bottom) / 2, (lr.top + lr.bottom) / 2, 1);

  ASSERT_TRUE(IsWindow(pane()));
  EXPECT_EQ(login, GetWindow(pane(), GW_OWNER));
  EXPECT_EQ(nullptr, GetParent(pane()) == login ? login : nullptr);  // owned, not a child
  EXPECT_FALSE(GetWindowLongW(pane(), GWL_STYLE) & WS_CHILD);
  GetWindowTextW(pane(), text, 64);
  GetClassNameW(pane(), cls, 64);
  EXPECT_STREQ(L"LoginBrowser", text);
  EXPECT_STREQ(L"XMLWnd", cls);
  EXPECT_TRUE(IsWindowVisible(pane()));
  // The pane's first placement: the login window's own corner, no offset.
  EXPECT_EQ(login_->loginAtInit.left, login_->paneAtInit.left);
  EXPECT_EQ(login_->loginAtInit.top, login_->paneAtInit.top);
  // The WM_MOVE that CreateWindowEx sends after WM_CREATE is the first move:
  // by the time the window is created the pane sits at its offset.
  RECT pr = qmtest::WindowRect(pane());
  EXPECT_EQ(lr.left + 483, pr.left);
  EXPECT_EQ(lr.top + 217, pr.top);

  // From every move on: (+483, +217).
  struct {
    int x, y;
  } moves[] = {{10, 20}, {300, 5}, {-50, 40}};
  for (const auto& m : moves) {
    SCOPED_TRACE(testing::Message() << m.x << "," << m.y);
    SetWindowPos(login, nullptr, m.x, m.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpFor(20);
    pr = qmtest::WindowRect(pane());
    EXPECT_EQ(m.x + 483, pr.left);
    EXPECT_EQ(m.y + 217, pr.top);
  }
  login_->m_pLoginBrowser->FollowOwner(0, 0);
  pr = qmtest::WindowRect(pane());
  EXPECT_EQ(483, pr.left);
  EXPECT_EQ(217, pr.top);
}

// The icon as the entry point sets it, from the built executable's resources.
TEST_F(LoginTest, BigIconIsTheApplicationIcon) {
  HMODULE exe = LoadLibraryExW((CPaintManagerUI::GetInstancePath() + _T("..\\Quelmarch.exe")).GetData(), nullptr,
                               LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(nullptr, exe);
  SetApplicationIcon(*login_, exe);
  HICON icon = reinterpret_cast<HICON>(SendMessageW(*login_, WM_GETICON, ICON_BIG, 0));
  ASSERT_NE(nullptr, icon);
  ICONINFO ii = {};
  ASSERT_TRUE(GetIconInfo(icon, &ii));
  BITMAP bm = {};
  GetObjectW(ii.hbmColor, sizeof(bm), &bm);
  EXPECT_EQ(32, bm.bmBitsPixel);
  DeleteObject(ii.hbmColor);
  DeleteObject(ii.hbmMask);
  FreeLibrary(exe);
}

TEST_F(LoginTest, PaneStaysAboveTheLoginWindow) {
  SetForegroundWindow(*login_);
  SetWindowPos(*login_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  PumpFor(100);
  bool paneAbove = false;
  for (HWND h = GetWindow(pane(), GW_HWNDNEXT); h; h = GetWindow(h, GW_HWNDNEXT))
    if (h == *login_) paneAbove = true;
  EXPECT_TRUE(paneAbove);
}

TEST_F(LoginTest, PaneBrowserIsAFixedChildShowingTheLoginPage) {
  auto list = cefsim::testing::ListBrowsers();
  ASSERT_EQ(1u, list.size());
  const auto& b = list[0];
  EXPECT_EQ(g_pLoginClient.get(), static_cast<SimpleHandler*>(b.client.get()));
  EXPECT_EQ(pane(), b.parent);
  EXPECT_EQ(pane(), GetParent(b.window));
  EXPECT_EQ(0x56010000u, static_cast<DWORD>(GetWindowLongW(b.window, GWL_STYLE)));
  RECT rc = qmtest::WindowRect(b.window);
  MapWindowPoints(nullptr, pane(), reinterpret_cast<POINT*>(&rc), 2);
  EXPECT_EQ(0, rc.left);
  EXPECT_EQ(0, rc.top);
  EXPECT_EQ(900, rc.right - rc.left);
  EXPECT_EQ(650, rc.bottom - rc.top);
  EXPECT_EQ(std::wstring(LOGIN_PAGE_URL), b.url);
  EXPECT_EQ(L"https://login.quelmarch.example/pc_game_qlmc_tg2.php?lm=qlmc707xq52&referer_param=qlmc707xq52",
            std::wstring(LOGIN_PAGE_URL));
  EXPECT_EQ(L"http://www.quelmarch.example", std::wstring(OFFICIAL_SITE_URL));
}

TEST_F(LoginTest, KeyboardMessagesToThePaneAnswerZero) {
  for (UINT msg = WM_KEYDOWN; msg <= WM_UNICHAR; ++msg) {
    SCOPED_TRACE(msg);
    EXPECT_EQ(0, SendMessageW(pane(), msg, msg == WM_UNICHAR ? UNICODE_NOCHAR : VK_RETURN, 0));
  }
  EXPECT_TRUE(IsWindow(pane()));
  EXPECT_TRUE(IsWindowVisible(*login_));
}

// A navigation of the login page with a game marker reaches the login
// window once, from CEF's UI thread, while the window thread handles it.
TEST_F(LoginTest, GameUrlNavigationsHideTheLoginScreenAndReloadThePage) {
  struct {
    const char* what;
    std::wstring url;
    const wchar_t* frame;
    bool redirect;
    size_t messages;
  } cases[] = {
      {"main frame", L"data:text/html,<title>g</title>?client=2", L"", false, 1},
      {"sub-frame", L"data:text/html,frame?client=3&x=1", L"login_iframe", false, 1},
      {"redirect", L"about:blank?client=2", L"", true, 1},
      {"both markers", L"about:blank?client=2&client=3", L"", false, 1},
      {"capital C", L"about:blank?Client=2", L"", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    login_->gameUrls.clear();
    if (c.redirect) {
      // A redirect continues a navigation under way.
      ASSERT_TRUE(cefsim::testing::Navigate(paneBrowserId(), L"http://127.0.0.1:9/slow"));
    }
    ASSERT_TRUE(cefsim::testing::Navigate(paneBrowserId(), c.url, c.frame, c.redirect));
    ASSERT_TRUE(cefsim::testing::WaitForIdle(15000));
    ASSERT_EQ(c.messages, login_->gameUrls.size());
    if (c.messages == 0) {
      EXPECT_TRUE(IsWindowVisible(*login_));
      continue;
    }
    EXPECT_EQ(c.url, login_->gameUrls[0]);
    EXPECT_FALSE(IsWindowVisible(*login_));
    EXPECT_FALSE(IsWindowVisible(pane()));
    // The login page was loaded again in the main frame.
    EXPECT_EQ(std::wstring(LOGIN_PAGE_URL), cefsim::testing::ListBrowsers()[0].url);
    if (*c.frame) {
      // The navigation itself went on in its frame.
      EXPECT_EQ(c.url, g_pLoginClient->GetBrowser()->GetFrame(c.frame)->GetURL().ToWString());
    }
    BackToLogin();
  }
}

TEST_F(LoginTest, GameUrlWithoutAStringIsIgnored) {
  SendMessageW(*login_, WM_GAME_URL, 0, 0);
  PumpFor(50);
  EXPECT_TRUE(IsWindowVisible(*login_));
  EXPECT_TRUE(IsWindowVisible(pane()));
}

TEST_F(LoginTest, LinkButtonsOpenTheOfficialAddressesWithFallback) {
  qmtest::ShellRecorder shell;
  const std::wstring official = OFFICIAL_SITE_URL;
  const std::wstring recharge = official + L"/media.php?s=/Pay/index.html";
  struct {
    const wchar_t* button;
    std::wstring url;
  } cases[] = {
      {L"officialbtn", official}, {L"rechargebtn", recharge}, {L"forumbtn", official}, {L"servicebtn", official}};
  for (const auto& c : cases) {
    for (bool systemFails : {false, true}) {
      SCOPED_TRACE(testing::Message() << testing::PrintToString(std::wstring(c.button)) << " system fails "
                                      << systemFails);
      shell.clear();
      shell.Answer(systemFails ? std::vector<int>{2, 42} : std::vector<int>{42});
      POINT p = Center(c.button);
      qmtest::PostClick(*login_, p.x, p.y);
      PumpFor(50);
      auto calls = shell.calls();
      ASSERT_EQ(systemFails ? 2u : 1u, calls.size());
      EXPECT_EQ(L"open", calls[0].operation);
      EXPECT_EQ(c.url, calls[0].file);
      EXPECT_TRUE(calls[0].nullParameters);
      EXPECT_EQ(SW_SHOW, calls[0].show);
      EXPECT_TRUE(calls[0].ownerNull);
      if (systemFails) {
        EXPECT_EQ(L"iexplore", calls[1].file);
        EXPECT_EQ(c.url, calls[1].parameters);
      }
    }
  }
  EXPECT_TRUE(IsWindowVisible(*login_));
}

TEST_F(LoginTest, PopupsGoToInternetExplorerThenTheSystemAndNeverBecomeBrowsers) {
  qmtest::ShellRecorder shell;
  struct {
    const char* what;
    std::wstring url;
    std::vector<int> answers;
    size_t calls;
  } cases[] = {
      {"iexplore starts", L"http://pay.example/a b?c=1", {42}, 1},
      {"iexplore fails: the system's handler", L"http://pay.example/x", {2, 42}, 2},
      {"both fail", L"http://pay.example/y", {2, 2}, 2},
      {"empty target", L"", {42}, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    shell.clear();
    shell.Answer(c.answers);
    ASSERT_TRUE(cefsim::testing::RequestPopup(paneBrowserId(), c.url));
    ASSERT_TRUE(cefsim::testing::WaitForIdle());
    auto calls = shell.calls();
    ASSERT_EQ(c.calls, calls.size());
    EXPECT_EQ(L"open", calls[0].operation);
    EXPECT_EQ(L"iexplore", calls[0].file);
    EXPECT_EQ(c.url, calls[0].parameters);  // unquoted, as one string
    EXPECT_EQ(c.url.empty(), calls[0].nullParameters);
    if (c.calls == 2) {
      EXPECT_EQ(c.url, calls[1].file);
      EXPECT_TRUE(calls[1].nullParameters);
    }
    EXPECT_EQ(1u, cefsim::testing::ListBrowsers().size());
  }
}

TEST_F(LoginTest, TitleGoesToTheBrowsersOwnWindowOnly) {
  ASSERT_TRUE(cefsim::testing::SetTitle(paneBrowserId(), L"\u767b\u5f55 Login"));
  ASSERT_TRUE(cefsim::testing::WaitForIdle());
  wchar_t text[64] = {};
  GetWindowTextW(g_pLoginClient->GetBrowser()->GetHost()->GetWindowHandle(), text, 64);
  EXPECT_STREQ(L"\u767b\u5f55 Login", text);
  GetWindowTextW(*login_, text, 64);
  EXPECT_STREQ(L"Quelmarch", text);
  GetWindowTextW(pane(), text, 64);
  EXPECT_STREQ(L"LoginBrowser", text);
}

TEST_F(LoginTest, FailedLoadShowsTheEscapedErrorPageInTheFrameThatFailed) {
  const int id = paneBrowserId();
  ASSERT_TRUE(cefsim::testing::Navigate(id, L"about:blank?a=<b>&c='d'"));
  ASSERT_TRUE(cefsim::testing::WaitForIdle());
  ASSERT_TRUE(cefsim::testing::FailLoad(id, -105));
  ASSERT_TRUE(cefsim::testing::WaitForIdle());
  EXPECT_EQ(L"<html><body bgcolor=\"white\"><h2>Failed to load URL about:blank?a=&lt;b&gt;&amp;c=&#39;d&#39; with "
            L"error ERR_NAME_NOT_RESOLVED (-105).</h2></body></html>",
            cefsim::testing::FrameDocument(id));
  EXPECT_EQ(L"about:blank?a=<b>&c='d'", cefsim::testing::ListBrowsers()[0].url);

  // A sub-frame's failure replaces that frame only.
  const std::wstring main = cefsim::testing::FrameDocument(id);
  ASSERT_TRUE(cefsim::testing::Navigate(id, L"about:blank#ad", L"ads"));
  ASSERT_TRUE(cefsim::testing::WaitForIdle());
  ASSERT_TRUE(cefsim::testing::FailLoad(id, -102, L"ads"));
  ASSERT_TRUE(cefsim::testing::WaitForIdle());
  EXPECT_EQ(main, cefsim::testing::FrameDocument(id));
  EXPECT_NE(std::wstring::npos, cefsim::testing::FrameDocument(id, L"ads").find(L"ERR_CONNECTION_REFUSED (-102)"));

  // An aborted load leaves the frame as it is.
  ASSERT_TRUE(cefsim::testing::FailLoad(id, -3));
  ASSERT_TRUE(cefsim::testing::WaitForIdle());
  EXPECT_EQ(main, cefsim::testing::FrameDocument(id));
}

// The quit request made when a client's last browser closes must not end
// the login window's loop or the process.
TEST_F(LoginTest, ClosingAnotherClientsLastBrowserChangesNothing) {
  HWND parent = CreateWindowExW(0, L"STATIC", L"game", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                                nullptr, nullptr);
  CefRefPtr<SimpleHandler> client = new SimpleHandler;
  CreateChildBrowser(parent, 0, 32, 627, 374, L"about:blank", client);
  ASSERT_TRUE(PumpUntil([&] { return client->GetBrowser() != nullptr; }));
  DestroyWindow(parent);
  ASSERT_TRUE(PumpUntil([&] { return client->GetBrowser() == nullptr; }));
  PumpFor(100);
  EXPECT_FALSE(qmtest::TakeQuit());
  EXPECT_TRUE(IsWindowVisible(*login_));
  EXPECT_NE(nullptr, g_pLoginClient->GetBrowser().get());
}

using qmtest::HoldUiThread;

TEST(SimpleHandlerList, GetBrowserGivesTheOldestLiveBrowser) {
  HWND parent = CreateWindowExW(0, L"STATIC", L"p", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr, nullptr,
                                nullptr);
  CefRefPtr<SimpleHandler> client = new SimpleHandler;
  // Requested but not yet reported: none.
  HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  CefPostTask(TID_UI, new HoldUiThread(gate));
  CreateChildBrowser(parent, 0, 0, 100, 100, L"about:blank", client);
  EXPECT_EQ(nullptr, client->GetBrowser().get());
  SetEvent(gate);
  CloseHandle(gate);
  ASSERT_TRUE(PumpUntil([&] { return client->GetBrowser() != nullptr; }));
  CefRefPtr<CefBrowser> first = client->GetBrowser();
  CreateChildBrowser(parent, 100, 0, 100, 100, L"about:blank", client);
  ASSERT_TRUE(PumpUntil([&] { return cefsim::testing::ListBrowsers().size() >= 2; }));
  cefsim::testing::WaitForIdle();
  EXPECT_TRUE(client->GetBrowser()->IsSame(first));
  int firstId = first->GetIdentifier();
  first->GetHost()->CloseBrowser(true);
  first = nullptr;
  ASSERT_TRUE(PumpUntil([&] { return client->GetBrowser() && client->GetBrowser()->GetIdentifier() != firstId; }));
  // A browser the client never listed: nothing is removed, nothing breaks.
  client->OnBeforeClose(client->GetBrowser());
  EXPECT_EQ(nullptr, client->GetBrowser().get());
  DestroyWindow(parent);
  cefsim::testing::WaitForIdle();
  EXPECT_FALSE(qmtest::TakeQuit());
}

// The real shell under Wine: an address of a protocol registered for this
// test reaches the program the system associates with it.
TEST(OpenUrlExternallyForReal, ReachesTheSystemsHandler) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring record = std::wstring(temp) + L"qm-shell-record.txt";
  DeleteFileW(record.c_str());
  const std::wstring command = L"\"" + qmtest::SelfPath() + L"\" --record \"" + record + L"\" \"%1\"";
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS,
            RegCreateKeyExW(HKEY_CLASSES_ROOT, L"qmtest", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
  RegSetValueExW(key, L"URL Protocol", 0, REG_SZ, reinterpret_cast<const BYTE*>(L""), sizeof(wchar_t));
  HKEY cmd;
  RegCreateKeyExW(key, L"shell\\open\\command", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &cmd, nullptr);
  RegSetValueExW(cmd, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                 static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(cmd);
  RegCloseKey(key);
  // Only a working association may be tried: a failed first attempt would
  // start Internet Explorer.
  wchar_t found[MAX_PATH * 2];
  DWORD size = MAX_PATH * 2;
  ASSERT_EQ(S_OK, AssocQueryStringW(0, ASSOCSTR_COMMAND, L"qmtest", L"open", found, &size));

  OpenUrlExternally(L"qmtest://official/page?x=1");
  std::string content;
  ASSERT_TRUE(PumpUntil(
      [&] {
        HANDLE f = CreateFileW(record.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE) return false;
        char buf[512];
        DWORD got = 0;
        ReadFile(f, buf, sizeof(buf), &got, nullptr);
        CloseHandle(f);
        content.assign(buf, got);
        return content.find('\n') != std::string::npos;
      },
      15000));
  EXPECT_EQ("qmtest://official/page?x=1\n", content);
  DeleteFileW(record.c_str());
  RegDeleteTreeW(HKEY_CLASSES_ROOT, L"qmtest");
}

}  // namespace
