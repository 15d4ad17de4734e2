// Process-level promises of the runtime: sub-process start, initialisation
// failure, shut-down, and the quit request on the wrong thread. Each
// scenario runs in a child process of its own, since CEF starts once per
// process.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdio.h>

#include <string>

#include "cefsim/recording_client.h"
#include "cefsim/testing.h"
#include "include/cef_app.h"
#include "include/cef_browser.h"
#include "include/cef_task.h"
#include "support/child_process.h"
#include "support/win_test_util.h"

LONG qmtest::RecordingClient::s_live = 0;

namespace {

class ChildApp : public CefApp {
 public:
  void OnBeforeCommandLineProcessing(const CefString& type, CefRefPtr<CefCommandLine> cmd) override {
    printf("app sees type=[%ls] on thread %lu\n", type.c_str(), GetCurrentThreadId());
    cmd->AppendSwitch("--child-switch");
    printf("command line: %ls\n", cmd->GetCommandLineString().c_str());
  }

 private:
  IMPLEMENT_REFCOUNTING(ChildApp);
};


BOOL CALLBACK CountOwnWindow(HWND h, LPARAM count) {
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid == GetCurrentProcessId()) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

// Top-level windows of this process.
int ProcessWindowCount() {
  int count = 0;
  EnumWindows(&CountOwnWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

class QuitTask : public CefTask {
 public:
  void Execute() override {
    CefQuitMessageLoop();  // on the UI thread: nothing happens
    done = true;
  }
  volatile bool done = false;

 private:
  IMPLEMENT_REFCOUNTING(QuitTask);
};

#define CHECK_OR_FAIL(cond)                          \
  do {                                               \
    if (!(cond)) {                                   \
      printf("check failed: %s\n", #cond);           \
      return 1;                                      \
    }                                                \
  } while (0)

int RunChild(const std::string& mode) {
  CefMainArgs args(GetModuleHandleW(nullptr));
  CefRefPtr<ChildApp> app = new ChildApp;
  int code = CefExecuteProcess(args, app.get(), nullptr);
  if (mode == "subprocess") {
    printf("execute returned %d, windows %d\n", code, ProcessWindowCount());
    return code >= 0 ? 40 + code : 1;
  }
  CHECK_OR_FAIL(code == -1);
  CefSettings settings;
  settings.multi_threaded_message_loop = 1;
  bool initialised = CefInitialize(args, settings, app.get(), nullptr);
  if (mode == "init-fails") {
    printf("initialised %d\n", initialised ? 1 : 0);
    CHECK_OR_FAIL(!initialised);
    CHECK_OR_FAIL(cefsim::testing::UiThreadId() == 0);
    CefShutdown();  // harmless
    CefRunMessageLoop();
    return 0;
  }
  CHECK_OR_FAIL(initialised);
  CHECK_OR_FAIL(!CefInitialize(args, settings, app.get(), nullptr));  // once per process
  if (mode == "quit-on-main") {
    printf("quitting on the main thread\n");
    fflush(stdout);
    CefQuitMessageLoop();
    printf("survived\n");
    return 0;
  }
  // mode "shutdown"
  CefRefPtr<QuitTask> quit = new QuitTask;
  CefPostTask(TID_UI, quit.get());
  CHECK_OR_FAIL(qmtest::PumpUntil([&] { return quit->done; }));
  HWND parent = CreateWindowExW(0, L"STATIC", L"p", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300, nullptr, nullptr,
                                nullptr, nullptr);
  CefRefPtr<qmtest::RecordingClient> client = new qmtest::RecordingClient;
  CefWindowInfo info;
  info.SetAsChild(parent, RECT{0, 0, 200, 200});
  CHECK_OR_FAIL(CefBrowserHost::CreateBrowser(info, client.get(), L"about:blank", CefBrowserSettings(), nullptr));
  CHECK_OR_FAIL(qmtest::PumpUntil([&] { return client->browser() != nullptr; }));
  const DWORD ui = cefsim::testing::UiThreadId();
  CefShutdown();
  // What was open closed, on the UI thread, before CefShutdown returned.
  CHECK_OR_FAIL(client->details(L"before_close").size() == 1);
  for (auto& e : client->events()) CHECK_OR_FAIL(e.thread == ui);
  CHECK_OR_FAIL(cefsim::testing::ListBrowsers().empty());
  CHECK_OR_FAIL(!IsWindow(GetWindow(parent, GW_CHILD)));
  CHECK_OR_FAIL(client->HasOneRef());
  // After shut-down everything returns at once and changes nothing.
  DWORD start = GetTickCount();
  CefShutdown();
  CefRunMessageLoop();
  CefQuitMessageLoop();
  CHECK_OR_FAIL(GetTickCount() - start < 1000);
  CHECK_OR_FAIL(!CefBrowserHost::CreateBrowser(info, client.get(), L"about:blank", CefBrowserSettings(), nullptr));
  CHECK_OR_FAIL(!CefPostTask(TID_UI, new QuitTask));
  CHECK_OR_FAIL(!CefCurrentlyOn(TID_UI));
  DestroyWindow(parent);
  printf("shutdown ok\n");
  return 0;
}

std::wstring Self(const std::wstring& extra) { return L"\"" + qmtest::SelfPath() + L"\" " + extra; }

TEST(Lifecycle, SubProcessRunsTheApplicationAndReturnsAtOnceWithoutWindows) {
  qmtest::ChildResult r = qmtest::RunChild(Self(L"--type=renderer --child=subprocess"));
  ASSERT_TRUE(r.finished) << r.output;
  EXPECT_EQ(40u, r.exitCode) << r.output;  // CefExecuteProcess returned 0
  EXPECT_NE(std::string::npos, r.output.find("app sees type=[renderer]")) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("--child-switch")) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("windows 0")) << r.output;
}

TEST(Lifecycle, BrowserProcessGetsAnEmptyProcessType) {
  qmtest::ChildResult r = qmtest::RunChild(Self(L"--child=shutdown"));
  ASSERT_TRUE(r.finished) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("app sees type=[]")) << r.output;
}

TEST(Lifecycle, ShutdownClosesWhatIsLeftAndLaterCallsReturnAtOnce) {
  qmtest::ChildResult r = qmtest::RunChild(Self(L"--child=shutdown"));
  ASSERT_TRUE(r.finished) << r.output;
  EXPECT_EQ(0u, r.exitCode) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("shutdown ok")) << r.output;
}

TEST(Lifecycle, QuitOnTheMainThreadWhileRunningFailsLoudly) {
  qmtest::ChildResult r = qmtest::RunChild(Self(L"--child=quit-on-main"));
  ASSERT_TRUE(r.finished) << r.output;
  EXPECT_EQ(0x80000003u, r.exitCode) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("CefQuitMessageLoop called on the main thread")) << r.output;
  EXPECT_EQ(std::string::npos, r.output.find("survived")) << r.output;
}

TEST(Lifecycle, InitialiseCanBeMadeToFail) {
  qmtest::ChildResult r =
      qmtest::RunChild(Self(L"--child=init-fails"), 20000, L"CEFSIM_FAIL_INITIALIZE", L"1");
  ASSERT_TRUE(r.finished) << r.output;
  EXPECT_EQ(0u, r.exitCode) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("initialised 0")) << r.output;
}

}  // namespace

int main(int argc, char** argv) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a.rfind("--child=", 0) == 0) {
      int code = RunChild(a.substr(8));
      fflush(stdout);
      return code;
    }
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
