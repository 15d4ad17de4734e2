#pragma once

#include <windows.h>

#include "include/cef_task.h"

namespace qmtest {

// A task that keeps CEF's UI thread busy until `gate` is set (10 s at the
// most), so that a test can show what happens before the UI thread acts.
class HoldUiThread : public CefTask {
 public:
  explicit HoldUiThread(HANDLE gate) : gate_(gate) {}
  void Execute() override { WaitForSingleObject(gate_, 10000); }

 private:
  HANDLE gate_;
  IMPLEMENT_REFCOUNTING(HoldUiThread);
};

}  // namespace qmtest
