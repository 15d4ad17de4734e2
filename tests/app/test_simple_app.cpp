#include "app/simple_app.h"

#include <gtest/gtest.h>

namespace {

TEST(SimpleApp, AppendsTheThreeSwitchesInOrderForEveryProcessType) {
  for (const wchar_t* type : {L"", L"renderer", L"gpu-process"}) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(type)));
    CefRefPtr<SimpleApp> app = new SimpleApp;
    CefRefPtr<CefCommandLine> cmd = CefCommandLine::CreateCommandLine();
    cmd->InitFromString(L"Quelmarch.exe --lang=zh-CN file.txt");
    app->OnBeforeCommandLineProcessing(type, cmd);
    EXPECT_EQ(L"Quelmarch.exe --lang=zh-CN --disable-web-security --enable-system-flash --enable-npapi file.txt",
              cmd->GetCommandLineString().ToWString());
    EXPECT_TRUE(cmd->HasSwitch("disable-web-security"));
    EXPECT_TRUE(cmd->GetSwitchValue("enable-npapi").empty());
    EXPECT_EQ(L"zh-CN", cmd->GetSwitchValue("lang").ToWString());  // untouched
  }
}

TEST(SimpleApp, OffersItselfAsBrowserProcessHandlerAndNothingElse) {
  CefRefPtr<SimpleApp> app = new SimpleApp;
  CefRefPtr<CefBrowserProcessHandler> handler = app->GetBrowserProcessHandler();
  EXPECT_EQ(static_cast<CefBrowserProcessHandler*>(app.get()), handler.get());
  EXPECT_EQ(nullptr, app->GetRenderProcessHandler().get());
  EXPECT_EQ(nullptr, app->GetResourceBundleHandler().get());
  EXPECT_EQ(nullptr, handler->GetPrintHandler().get());
  handler->OnContextInitialized();  // does nothing, creates nothing
}

TEST(SimpleApp, ReleaseReportsTheLastReferenceOnce) {
  SimpleApp* app = new SimpleApp;
  app->AddRef();
  app->AddRef();
  EXPECT_FALSE(app->HasOneRef());
  EXPECT_FALSE(app->Release());
  EXPECT_TRUE(app->HasOneRef());
  EXPECT_TRUE(app->Release());
}

}  // namespace
