// The main() of the tests that run the launcher's windows in-process: CEF
// (cefsim) is started as the launcher starts it, once for the process, and
// the UI library reads the built skin folder.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <ole2.h>

#include <string>

#include "app/launcher.h"
#include "app/simple_app.h"
#include "uilib/UIlib.h"

using DuiLib::CPaintManagerUI;

int main(int argc, char** argv) {
  // The stand-in protocol handler of OpenUrlExternallyForReal.
  if (argc == 4 && std::string(argv[1]) == "--record") {
    HANDLE f = CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    std::string line = std::string(argv[3]) + "\n";
    DWORD written = 0;
    WriteFile(f, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(f);
    return 0;
  }
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  testing::InitGoogleTest(&argc, argv);
  CoInitialize(nullptr);
  OleInitialize(nullptr);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  CefRefPtr<SimpleApp> app = new SimpleApp;
  if (CefExecuteProcess(CefMainArgs(instance), app.get(), nullptr) >= 0) return 2;
  if (!StartBrowserProcess(instance, app.get())) return 3;
  // The tests run from the build's tests folder; the skin is one folder up.
  CPaintManagerUI::SetResourcePath(CPaintManagerUI::GetInstancePath() + _T("..\\skin"));
  int result = RUN_ALL_TESTS();
  ShutdownCef();
  CoUninitialize();
  return result;
}
