#include "app/launcher.h"

#include <objbase.h>
#include <ole2.h>

#include "app/cache_folder.h"
#include "app/simple_app.h"
#include "res/resource.h"
#include "ui/DuiFormLogin.h"

HWND g_hWndMain = nullptr;

namespace {

bool s_bCefRunning = false;

}  // namespace

bool StartBrowserProcess(HINSTANCE hInstance, CefRefPtr<CefApp> app) {
  CefMainArgs mainArgs(hInstance);
  CefSettings settings;
  settings.multi_threaded_message_loop = 1;
  CefString(&settings.cache_path) = GetCachePath();
  CefString(&settings.locale) = "zh-CN";
  s_bCefRunning = CefInitialize(mainArgs, settings, app.get(), nullptr);
  if (!s_bCefRunning) return false;

  CPaintManagerUI::SetInstance(hInstance);
  CPaintManagerUI::SetResourcePath(CPaintManagerUI::GetInstancePath() + _T("skin"));
  return true;
}

HWND CreateLoginWindow(CDuiFormLogin* login) {
  return login->Create(nullptr, _T("Quelmarch"), WS_VISIBLE | WS_OVERLAPPEDWINDOW, WS_EX_APPWINDOW | WS_EX_WINDOWEDGE,
                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr);
}

void SetApplicationIcon(HWND hWnd, HINSTANCE hInstance) {
  HICON hIcon = LoadIconW(hInstance, MAKEINTRESOURCEW(IDI_QUELMARCH));
  SendMessageW(hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(hIcon));
}

void ShutdownCef() {
  if (!s_bCefRunning) return;
  s_bCefRunning = false;
  CefShutdown();
}

int QuelmarchMain(HINSTANCE hInstance) {
  CoInitialize(nullptr);
  OleInitialize(nullptr);

  CefMainArgs mainArgs(hInstance);
  CefRefPtr<SimpleApp> app(new SimpleApp);
  // A CEF sub-process (renderer, GPU, ...) ends here with CEF's exit code.
  const int exitCode = CefExecuteProcess(mainArgs, app.get(), nullptr);
  if (exitCode >= 0) return exitCode;

  if (!StartBrowserProcess(hInstance, app.get())) {
    CoUninitialize();
    return kExitCefInitializeFailed;
  }

  CDuiFormLogin* pLogin = new CDuiFormLogin;
  g_hWndMain = CreateLoginWindow(pLogin);
  if (!g_hWndMain) {
    delete pLogin;
    ShutdownCef();
    CoUninitialize();
    return kExitNoLoginWindow;
  }
  SetApplicationIcon(g_hWndMain, hInstance);

  // Everything the player does happens inside this loop.
  pLogin->ShowModal();
  // A quit message can end the loop while the window still exists; its
  // messages must not reach a deleted object.
  if (IsWindow(g_hWndMain)) DestroyWindow(g_hWndMain);
  delete pLogin;
  CoUninitialize();

  // The loop ends through "closebtn" (CEF already shut down) or because the
  // window was closed another way (Alt+F4, the system menu), with CEF still
  // running and no quit message to come: CEF is shut down here then, and
  // the message loop call finds it gone and returns at once.
  ShutdownCef();
  CefRunMessageLoop();
  ShutdownCef();
  return kExitOk;
}
