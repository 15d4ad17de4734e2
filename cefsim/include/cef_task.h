#ifndef CEF_INCLUDE_CEF_TASK_H_
#define CEF_INCLUDE_CEF_TASK_H_

#include "include/cef_base.h"

// Work for a CEF thread.
class CefTask : public virtual CefBase {
 public:
  virtual void Execute() = 0;
};

// Queues `task` on thread `threadId`; returns at once.
bool CefPostTask(CefThreadId threadId, CefRefPtr<CefTask> task);
bool CefPostDelayedTask(CefThreadId threadId, CefRefPtr<CefTask> task, int64 delay_ms);
bool CefCurrentlyOn(CefThreadId threadId);

#endif  // CEF_INCLUDE_CEF_TASK_H_
