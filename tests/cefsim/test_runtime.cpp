// The runtime's promises while it runs: one CEF context for the whole
// process, started by main() below.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "cefsim/testing.h"
#include "cefsim/recording_client.h"
#include "include/cef_app.h"
#include "include/cef_browser.h"
#include "include/cef_task.h"
#include "support/http_server.h"
#include "support/win_test_util.h"

LONG qmtest::RecordingClient::s_live = 0;

namespace {

using qmtest::PumpUntil;
using qmtest::RecordingClient;

DWORD g_mainThread = 0;
DWORD g_contextInitializedThread = 0;

class TestApp : public CefApp, public CefBrowserProcessHandler {
 public:
  void OnBeforeCommandLineProcessing(const CefString& type, CefRefPtr<CefCommandLine> cmd) override {
    cmd->AppendSwitch("--cefsim-test-switch");
  }
  CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() override { return this; }
  void OnContextInitialized() override { g_contextInitializedThread = GetCurrentThreadId(); }

 private:
  IMPLEMENT_REFCOUNTING(TestApp);
};

// A window of the test's (main) thread, parent of the browsers.
HWND MakeParent() {
  HWND hwnd = CreateWindowExW(0, L"STATIC", L"parent", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 800, 600,
                              nullptr, nullptr, nullptr, nullptr);
  return hwnd;
}

CefRefPtr<RecordingClient> OpenBrowser(HWND parent, const std::wstring& url, RECT rc = {10, 20, 310, 220}) {
  CefRefPtr<RecordingClient> client = new RecordingClient;
  CefWindowInfo info;
  info.SetAsChild(parent, rc);
  CefBrowserSettings settings;
  EXPECT_TRUE(CefBrowserHost::CreateBrowser(info, client.get(), url, settings, nullptr));
  EXPECT_TRUE(PumpUntil([&] { return client->browser() != nullptr; }));
  EXPECT_TRUE(cefsim::testing::WaitForIdle());
  return client;
}

TEST(Runtime, InitialisesWithTheApplicationsCommandLineAndItsOwnUiThread) {
  ASSERT_TRUE(cefsim::testing::WaitForIdle());
  DWORD ui = cefsim::testing::UiThreadId();
  ASSERT_NE(0u, ui);
  EXPECT_NE(g_mainThread, ui);
  EXPECT_EQ(ui, g_contextInitializedThread);
  CefRefPtr<CefCommandLine> cmd = CefCommandLine::GetGlobalCommandLine();
  EXPECT_TRUE(cmd->HasSwitch("cefsim-test-switch"));
  std::wstring line = cmd->GetCommandLineString();
  EXPECT_EQ(L" --cefsim-test-switch", line.substr(line.size() - 21));
  EXPECT_FALSE(CefCurrentlyOn(TID_UI));
}

class FlagTask : public CefTask {
 public:
  explicit FlagTask(HANDLE gate = nullptr) : gate_(gate) {}
  void Execute() override {
    if (gate_) WaitForSingleObject(gate_, INFINITE);
    onUi = CefCurrentlyOn(TID_UI);
    thread = GetCurrentThreadId();
    ran = true;
  }
  volatile bool ran = false;
  volatile bool onUi = false;
  volatile DWORD thread = 0;

 private:
  HANDLE gate_;
  IMPLEMENT_REFCOUNTING(FlagTask);
};

TEST(Runtime, PostedTasksRunOnTheUiThread) {
  CefRefPtr<FlagTask> task = new FlagTask;
  ASSERT_TRUE(CefPostTask(TID_UI, task.get()));
  ASSERT_TRUE(PumpUntil([&] { return task->ran; }));
  EXPECT_TRUE(task->onUi);
  EXPECT_EQ(cefsim::testing::UiThreadId(), task->thread);
  EXPECT_FALSE(CefPostTask(TID_IO, new FlagTask));
}

TEST(Runtime, CreateBrowserAndLoadUrlReturnBeforeTheUiThreadActs) {
  HWND parent = MakeParent();
  // Hold the UI thread: the calls below must not wait for it.
  HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  CefRefPtr<FlagTask> blocker = new FlagTask(gate);
  CefPostTask(TID_UI, blocker.get());
  CefRefPtr<RecordingClient> client = new RecordingClient;
  CefWindowInfo info;
  info.SetAsChild(parent, RECT{5, 6, 305, 206});
  CefBrowserSettings settings;
  EXPECT_TRUE(CefBrowserHost::CreateBrowser(info, client.get(), L"about:blank", settings, nullptr));
  EXPECT_EQ(L"", client->names());
  EXPECT_EQ(nullptr, GetWindow(parent, GW_CHILD));
  SetEvent(gate);
  ASSERT_TRUE(PumpUntil([&] { return client->browser() != nullptr; }));
  ASSERT_TRUE(cefsim::testing::WaitForIdle());

  // Now hold it again and load: LoadURL returns at once too.
  ResetEvent(gate);
  CefRefPtr<FlagTask> blocker2 = new FlagTask(gate);
  CefPostTask(TID_UI, blocker2.get());
  client->clear();
  client->browser()->GetMainFrame()->LoadURL(L"data:text/html,<title>Two</title>");
  EXPECT_EQ(L"", client->names());
  SetEvent(gate);
  ASSERT_TRUE(cefsim::testing::WaitForIdle());
  EXPECT_EQ(L"Two", client->details(L"title").back());
  EXPECT_TRUE(client->AllOnThread(cefsim::testing::UiThreadId()));
  CloseHandle(gate);
  DestroyWindow(parent);
  cefsim::testing::WaitForIdle();
}

TEST(Runtime, BrowserWindowIsAChildOfTheParentWithTheGivenStyleAndRectangle) {
  HWND parent = MakeParent();
  CefRefPtr<RecordingClient> client = OpenBrowser(parent, L"about:blank", RECT{0, 32, 627, 406});
  HWND hwnd = client->browser()->GetHost()->GetWindowHandle();
  ASSERT_TRUE(IsWindow(hwnd));
  EXPECT_EQ(parent, GetParent(hwnd));
  EXPECT_EQ(cefsim::testing::UiThreadId(), GetWindowThreadProcessId(hwnd, nullptr));
  EXPECT_EQ(0x56010000u, static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)) & 0xFFFF0000u);
  RECT rc;
  GetWindowRect(hwnd, &rc);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
  EXPECT_EQ(0, rc.left);
  EXPECT_EQ(32, rc.top);
  EXPECT_EQ(627, rc.right - rc.left);
  EXPECT_EQ(374, rc.bottom - rc.top);
  wchar_t cls[64];
  GetClassNameW(hwnd, cls, 64);
  EXPECT_STREQ(L"CefBrowserWindow", cls);
  EXPECT_TRUE(client->AllOnThread(cefsim::testing::UiThreadId()));
  DestroyWindow(parent);
  cefsim::testing::WaitForIdle();
}

TEST(Runtime, SuccessfulLoadReportsInChromiumsOrder) {
  HWND parent = MakeParent();
  CefRefPtr<RecordingClient> client =
      OpenBrowser(parent, L"data:text/html,<html><title>Hello %26 welcome</title><p>Body text</p></html>");
  EXPECT_EQ(L"after_created before_browse loading address load_start title load_end loading", client->names());
  EXPECT_EQ(L"Hello & welcome", client->details(L"title")[0]);
  EXPECT_EQ((std::vector<std::wstring>{L"1", L"0"}), client->details(L"loading"));
  EXPECT_EQ(L":200", client->details(L"load_end")[0]);
  auto list = cefsim::testing::ListBrowsers();
  ASSERT_EQ(1u, list.size());
  EXPECT_EQ(L"Hello & welcome", list[0].title);
  EXPECT_EQ(parent, list[0].parent);
  // No title: the URL is the title.
  client->clear();
  client->browser()->GetMainFrame()->LoadURL(L"about:blank");
  cefsim::testing::WaitForIdle();
  EXPECT_EQ(L"about:blank", client->details(L"title")[0]);
  EXPECT_TRUE(client->AllOnThread(cefsim::testing::UiThreadId()));
  DestroyWindow(parent);
  cefsim::testing::WaitForIdle();
}

TEST(Runtime, CancelledNavigationLoadsNothing) {
  HWND parent = MakeParent();
  CefRefPtr<RecordingClient> client = OpenBrowser(parent, L"about:blank");
  client->beforeBrowse = [](CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, const std::wstring& url, bool) {
    return url.find(L"blocked") != std::wstring::npos;
  };
  client->clear();
  client->browser()->GetMainFrame()->LoadURL(L"data:text/html,blocked");
  cefsim::testing::WaitForIdle();
  EXPECT_EQ(L"before_browse", client->names());
  DestroyWindow(parent);
  cefsim::testing::WaitForIdle();
}

// The window thread's side of the no-deadlock test.
CefRefPtr<RecordingClient> s_second;
CefRefPtr<CefBrowser> s_browser;
HWND s_parent;
int s_handled;

LRESULT CALLBACK GameUrlReceiver(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_APP + 7) {
    // Both return without waiting for CEF's UI thread, which is waiting
    // for this handler right now; so does a move of the browser's window.
    s_browser->GetMainFrame()->LoadURL(L"data:text/html,<title>reloaded</title>");
    CefWindowInfo info;
    info.SetAsChild(s_parent, RECT{400, 0, 600, 100});
    CefBrowserHost::CreateBrowser(info, s_second.get(), L"about:blank", CefBrowserSettings(), nullptr);
    MoveWindow(s_browser->GetHost()->GetWindowHandle(), 1, 1, 200, 100, TRUE);
    ++s_handled;
    return 0;
  }
  return DefWindowProcW(h, m, w, l);
}

// The window thread's handler of a message sent from OnBeforeBrowse calls
// back into CEF; neither thread may wait for the other.
TEST(Runtime, NoDeadlockWhenTheWindowThreadCallsCefInsideACrossThreadSend) {
  HWND parent = MakeParent();
  CefRefPtr<RecordingClient> client = OpenBrowser(parent, L"about:blank");
  s_second = new RecordingClient;
  s_browser = client->browser();
  s_parent = parent;
  s_handled = 0;
  HWND receiver = CreateWindowExW(0, L"STATIC", L"receiver", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  SetWindowLongPtrW(receiver, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&GameUrlReceiver));
  client->beforeBrowse = [receiver](CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, const std::wstring& url, bool) {
    if (url.find(L"client=2") != std::wstring::npos) SendMessageW(receiver, WM_APP + 7, 0, 0);
    return false;
  };
  ASSERT_TRUE(cefsim::testing::Navigate(client->browser()->GetIdentifier(), L"data:text/html,game?client=2"));
  ASSERT_TRUE(PumpUntil([&] { return s_handled == 1 && s_second->browser() != nullptr; }, 5000));
  ASSERT_TRUE(cefsim::testing::WaitForIdle());
  // The game navigation was replaced by the reload made inside the handler.
  EXPECT_EQ(L"reloaded", client->details(L"title").back());
  DestroyWindow(receiver);
  DestroyWindow(parent);
  cefsim::testing::WaitForIdle();
  s_browser = nullptr;
  s_second = nullptr;
}

TEST(Runtime, DestroyingTheParentClosesTheBrowserAndReleasesTheClient) {
  LONG before = RecordingClient::s_live;
  HWND parent = MakeParent();
  {
    CefRefPtr<RecordingClient> client = OpenBrowser(parent, L"about:blank");
    int id = client->browser()->GetIdentifier();
    HWND hwnd = client->browser()->GetHost()->GetWindowHandle();
    client->clear();
    DestroyWindow(parent);
    ASSERT_TRUE(PumpUntil([&] { return !client->details(L"before_close").empty(); }));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hwnd); }));
    EXPECT_EQ(L"do_close before_close", client->names());
    EXPECT_EQ(std::to_wstring(id), client->details(L"before_close")[0]);
    EXPECT_TRUE(client->AllOnThread(cefsim::testing::UiThreadId()));
    EXPECT_TRUE(cefsim::testing::ListBrowsers().empty());
    EXPECT_EQ(before + 1, RecordingClient::s_live);
  }
  cefsim::testing::WaitForIdle();
  // The runtime dropped its references: the last one was the test's.
  EXPECT_EQ(before, RecordingClient::s_live);
}

TEST(Runtime, HttpLoadsRedirectsAndErrorsAgainstALocalServer) {
  qmtest::HttpServer server([](const std::string& path) -> std::string {
    if (path == "/ok") return qmtest::HttpServer::Page("OK page", "fine");
    if (path == "/missing") return qmtest::HttpServer::Page("Not here", "404", 404);
    if (path == "/redirect") return qmtest::HttpServer::Redirect("/ok");
    if (path == "/redirect-abs") return qmtest::HttpServer::Redirect("/redirect", 301);
    if (path == "/loop") return qmtest::HttpServer::Redirect("/loop");
    if (path == "/blocked-redirect") return qmtest::HttpServer::Redirect("/blocked");
    if (path == "/slow") {
      Sleep(1500);
      return qmtest::HttpServer::Page("Slow", "late");
    }
    return std::string();  // hang up
  });
  // A port that refuses: bound by nothing.
  qmtest::HttpServer* closed = new qmtest::HttpServer([](const std::string&) { return std::string(); });
  const int closedPort = closed->port();
  delete closed;

  HWND parent = MakeParent();
  CefRefPtr<RecordingClient> client = OpenBrowser(parent, L"about:blank");
  client->beforeBrowse = [](CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, const std::wstring& url, bool) {
    return url.find(L"/blocked") != std::wstring::npos && url.find(L"redirect") == std::wstring::npos;
  };
  const std::wstring refused = L"http://127.0.0.1:" + std::to_wstring(closedPort) + L"/";
  struct {
    const char* what;
    std::wstring url;
    std::wstring expectedTitle;  // empty: a load error
    std::wstring expectedError;  // the load_error detail's start
    std::vector<std::wstring> expectedBrowse;
  } cases[] = {
      {"plain page", server.WUrl("/ok"), L"OK page", L"", {L"|" + server.WUrl("/ok")}},
      {"HTTP error status still shows the page", server.WUrl("/missing"), L"Not here", L"", {L"|" + server.WUrl("/missing")}},
      {"redirect chain, each step offered",
       server.WUrl("/redirect-abs"),
       L"OK page",
       L"",
       {L"|" + server.WUrl("/redirect-abs"), L"redirect |" + server.WUrl("/redirect"), L"redirect |" + server.WUrl("/ok")}},
      {"redirect loop", server.WUrl("/loop"), L"", L"-310 ERR_TOO_MANY_REDIRECTS", {}},
      {"cancelled redirect", server.WUrl("/blocked-redirect"), L"", L"-3 ERR_ABORTED " + server.WUrl("/blocked-redirect"), {}},
      {"connection refused", refused, L"", L"-102 ERR_CONNECTION_REFUSED " + refused, {}},
      {"empty response", server.WUrl("/hangup"), L"", L"-", {}},
      {"unknown scheme", L"gopher://x/", L"", L"-302 ERR_UNKNOWN_URL_SCHEME", {}},
      {"missing file", L"file:///C:/no/such/file.html", L"", L"-6 ERR_FILE_NOT_FOUND", {}},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.what);
    client->clear();
    client->browser()->GetMainFrame()->LoadURL(c.url);
    ASSERT_TRUE(cefsim::testing::WaitForIdle(15000));
    if (!c.expectedTitle.empty()) {
      ASSERT_FALSE(client->details(L"title").empty());
      EXPECT_EQ(c.expectedTitle, client->details(L"title").back());
      EXPECT_TRUE(client->details(L"load_error").empty());
    } else {
      ASSERT_EQ(1u, client->details(L"load_error").size());
      EXPECT_EQ(0u, client->details(L"load_error")[0].find(c.expectedError)) << client->details(L"load_error")[0];
      EXPECT_TRUE(client->details(L"title").empty());
    }
    if (!c.expectedBrowse.empty()) EXPECT_EQ(c.expectedBrowse, client->details(L"before_browse"));
    EXPECT_EQ(L"0", client->details(L"loading").back());
  }
  // A navigation replaced before it finished ends with ERR_ABORTED.
  client->clear();
  client->browser()->GetMainFrame()->LoadURL(server.WUrl("/slow"));
  Sleep(200);
  client->browser()->GetMainFrame()->LoadURL(server.WUrl("/ok"));
  ASSERT_TRUE(cefsim::testing::WaitForIdle(15000));
  EXPECT_EQ(std::vector<std::wstring>{L"-3 ERR_ABORTED " + server.WUrl("/slow")}, client->details(L"load_error"));
  EXPECT_EQ(L"OK page", client->details(L"title").back());
  EXPECT_TRUE(client->AllOnThread(cefsim::testing::UiThreadId()));
  Sleep(1500);  // the slow answer is sent before the server goes
  DestroyWindow(parent);
  cefsim::testing::WaitForIdle();
}

TEST(Runtime, TestingInterfaceActsAsAPageWould) {
  HWND parent = MakeParent();
  CefRefPtr<RecordingClient> client = OpenBrowser(parent, L"about:blank");
  const int id = client->browser()->GetIdentifier();

  client->clear();
  ASSERT_TRUE(cefsim::testing::Navigate(id, L"about:blank#sub", L"ads"));
  ASSERT_TRUE(cefsim::testing::WaitForIdle());
  EXPECT_EQ(std::vector<std::wstring>{L"ads|about:blank#sub"}, client->details(L"before_browse"));
  EXPECT_EQ(std::vector<std::wstring>{L"ads"}, client->details(L"load_start"));
  EXPECT_TRUE(client->details(L"title").empty());  // a sub-frame has no say in the title

  client->clear();
  ASSERT_TRUE(cefsim::testing::Navigate(id, L"about:blank#r", L"", true));
  ASSERT_TRUE(cefsim::testing::WaitForIdle());
  EXPECT_EQ(std::vector<std::wstring>{L"redirect |about:blank#r"}, client->details(L"before_browse"));

  client->clear();
  ASSERT_TRUE(cefsim::testing::SetTitle(id, L"New title"));
  ASSERT_TRUE(cefsim::testing::FailLoad(id, -105));
  ASSERT_TRUE(cefsim::testing::WaitForIdle());
  EXPECT_EQ(std::vector<std::wstring>{L"New title"}, client->details(L"title"));
  EXPECT_EQ(std::vector<std::wstring>{L"-105 ERR_NAME_NOT_RESOLVED about:blank#r"}, client->details(L"load_error"));

  // Pop-ups: cancelled by the handler, none is made; allowed, one is.
  client->clear();
  ASSERT_TRUE(cefsim::testing::RequestPopup(id, L"http://example.invalid/popup page"));
  ASSERT_TRUE(cefsim::testing::WaitForIdle());
  EXPECT_EQ(std::vector<std::wstring>{L"http://example.invalid/popup page"}, client->details(L"popup"));
  EXPECT_EQ(1u, cefsim::testing::ListBrowsers().size());
  client->cancelPopups = false;
  ASSERT_TRUE(cefsim::testing::RequestPopup(id, L"about:blank"));
  ASSERT_TRUE(cefsim::testing::WaitForIdle());
  auto list = cefsim::testing::ListBrowsers();
  ASSERT_EQ(2u, list.size());
  EXPECT_TRUE(list[1].popup);
  // A pop-up is a top-level window of its own, closed like one.
  EXPECT_EQ(nullptr, list[1].parent);
  SendMessageW(list[1].window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(PumpUntil([&] { return cefsim::testing::ListBrowsers().size() == 1; }));
  DestroyWindow(parent);
  cefsim::testing::WaitForIdle();
}

TEST(Runtime, CrossProcessCommandsReachTheBrowserWindow) {
  HWND parent = MakeParent();
  CefRefPtr<RecordingClient> client = OpenBrowser(parent, L"data:text/html,<title>start</title>");
  HWND hwnd = client->browser()->GetHost()->GetWindowHandle();
  client->clear();
  EXPECT_EQ(1, cefsim::testing::SendCommand(hwnd, L"navigate\t\t0\tdata:text/html,<title>remote</title>"));
  ASSERT_TRUE(PumpUntil([&] { return cefsim::testing::SendCommand(hwnd, L"idle") == 1; }));
  cefsim::testing::WaitForIdle();
  EXPECT_EQ(L"remote", client->details(L"title").back());
  auto list = cefsim::testing::QueryBrowsers(hwnd);
  ASSERT_EQ(1u, list.size());
  EXPECT_EQ(hwnd, list[0].window);
  EXPECT_EQ(parent, list[0].parent);
  EXPECT_EQ(L"remote", list[0].title);
  EXPECT_EQ(L"data:text/html,<title>remote</title>", list[0].url);
  EXPECT_EQ(0, cefsim::testing::SendCommand(hwnd, L"bogus"));
  DestroyWindow(parent);
  cefsim::testing::WaitForIdle();
}

TEST(Runtime, LoadStringShowsTheDocumentUnderTheGivenAddress) {
  HWND parent = MakeParent();
  CefRefPtr<RecordingClient> client = OpenBrowser(parent, L"about:blank");
  client->clear();
  client->browser()->GetMainFrame()->LoadString(L"<html><body><h2>Failed \u4e2d</h2></body></html>",
                                                 L"http://x.invalid/a");
  ASSERT_TRUE(cefsim::testing::WaitForIdle());
  EXPECT_EQ(L"http://x.invalid/a", client->details(L"title").back());
  EXPECT_TRUE(client->details(L"before_browse").empty());
  EXPECT_EQ(L"http://x.invalid/a", cefsim::testing::ListBrowsers()[0].url);
  DestroyWindow(parent);
  cefsim::testing::WaitForIdle();
}

TEST(Runtime, ObjectHandedToTheRuntimeDiesWithItsLastReference) {
  LONG before = RecordingClient::s_live;
  HWND parent = MakeParent();
  {
    CefRefPtr<RecordingClient> client = new RecordingClient;
    EXPECT_TRUE(client->HasOneRef());
    CefWindowInfo info;
    info.SetAsChild(parent, RECT{0, 0, 100, 100});
    CefBrowserHost::CreateBrowser(info, client.get(), L"about:blank", CefBrowserSettings(), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return client->browser() != nullptr; }));
    EXPECT_FALSE(client->HasOneRef());
  }
  // The browser keeps the client alive after the test dropped it.
  cefsim::testing::WaitForIdle();
  EXPECT_EQ(before + 1, RecordingClient::s_live);
  DestroyWindow(parent);
  ASSERT_TRUE(PumpUntil([&] { return RecordingClient::s_live == before; }));
}

}  // namespace

int main(int argc, char** argv) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  testing::InitGoogleTest(&argc, argv);
  g_mainThread = GetCurrentThreadId();
  CefMainArgs args(GetModuleHandleW(nullptr));
  CefRefPtr<TestApp> app = new TestApp;
  if (CefExecuteProcess(args, app.get(), nullptr) >= 0) return 2;
  CefSettings settings;
  settings.multi_threaded_message_loop = 1;
  if (!CefInitialize(args, settings, app.get(), nullptr)) return 3;
  int result = RUN_ALL_TESTS();
  CefShutdown();
  return result;
}
