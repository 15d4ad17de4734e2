#pragma once

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "client/shell_open.h"

namespace qmtest {

// Stands in for Shell_NotifyIconW: records each call with a copy of the
// record, and answers `ok` (true unless a test says otherwise).
class NotifyRecorder {
 public:
  struct Call {
    DWORD message;
    NOTIFYICONDATAW data;
  };
  NotifyRecorder() {
    instance_ = this;
    previous_ = g_pfnShellNotifyIconW;
    g_pfnShellNotifyIconW = &Record;
  }
  ~NotifyRecorder() {
    g_pfnShellNotifyIconW = previous_;
    instance_ = nullptr;
  }
  bool ok = true;
  std::vector<Call> calls;
  size_t Count(DWORD message) const {
    size_t n = 0;
    for (const Call& c : calls) n += c.message == message;
    return n;
  }

 private:
  static BOOL WINAPI Record(DWORD message, PNOTIFYICONDATAW data) {
    instance_->calls.push_back({message, *data});
    return instance_->ok;
  }
  static NotifyRecorder* instance_;
  ShellNotifyIconWFn previous_;
};

inline NotifyRecorder* NotifyRecorder::instance_ = nullptr;

}  // namespace qmtest
