#pragma once

#include <windows.h>

#include "app/launcher.h"
#include "cefsim/testing.h"
#include "client/simple_handler.h"
#include "support/win_test_util.h"
#include "ui/DuiFormLogin.h"

namespace qmtest {

// Opens a login window (of a form class `Login`) as the entry point does,
// makes it g_hWndMain, and waits until the login page has loaded.
template <typename Login = CDuiFormLogin>
Login* OpenLoginWindow() {
  Login* login = new Login;
  g_hWndMain = CreateLoginWindow(login);
  PumpUntil([] { return g_pLoginClient->GetBrowser() != nullptr; });
  cefsim::testing::WaitForIdle(15000);
  return login;
}

// Closes it, waits until the login page's browser is gone, and frees it.
inline bool CloseLoginWindow(CDuiFormLogin* login) {
  if (IsWindow(*login)) DestroyWindow(*login);
  const bool closed = PumpUntil([] { return g_pLoginClient->GetBrowser() == nullptr; });
  cefsim::testing::WaitForIdle();
  delete login;
  return closed;
}

}  // namespace qmtest
