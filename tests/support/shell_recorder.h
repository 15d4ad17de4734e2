#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "client/shell_open.h"

namespace qmtest {

// Stands in for ShellExecuteW: records each call and answers from a script
// of results (the last one repeats). Any thread.
class ShellRecorder {
 public:
  struct Call {
    std::wstring operation, file, parameters;
    bool nullFile = false, nullParameters = false;
    bool ownerNull = true;
    int show = 0;
  };

  ShellRecorder() {
    instance_ = this;
    previous_ = g_pfnShellExecuteW;
    g_pfnShellExecuteW = &Record;
  }
  ~ShellRecorder() {
    g_pfnShellExecuteW = previous_;
    instance_ = nullptr;
  }
  // Results in order; 42 succeeds, 2 (file not found) fails.
  void Answer(std::vector<int> results) {
    std::lock_guard<std::mutex> lock(mu_);
    results_ = results;
  }
  std::vector<Call> calls() {
    std::lock_guard<std::mutex> lock(mu_);
    return calls_;
  }
  void clear() {
    std::lock_guard<std::mutex> lock(mu_);
    calls_.clear();
  }

 private:
  static HINSTANCE WINAPI Record(HWND owner, LPCWSTR op, LPCWSTR file, LPCWSTR params, LPCWSTR, INT show) {
    ShellRecorder* self = instance_;
    std::lock_guard<std::mutex> lock(self->mu_);
    Call c;
    c.operation = op ? op : L"";
    c.file = file ? file : L"";
    c.nullFile = file == nullptr;
    c.parameters = params ? params : L"";
    c.nullParameters = params == nullptr;
    c.ownerNull = owner == nullptr;
    c.show = show;
    size_t i = self->calls_.size();
    self->calls_.push_back(c);
    int result = self->results_.empty() ? 42 : self->results_[i < self->results_.size() ? i : self->results_.size() - 1];
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(result));
  }

  static ShellRecorder* instance_;
  ShellExecuteWFn previous_;
  std::mutex mu_;
  std::vector<int> results_;
  std::vector<Call> calls_;
};

inline ShellRecorder* ShellRecorder::instance_ = nullptr;

}  // namespace qmtest
