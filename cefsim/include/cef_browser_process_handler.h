#ifndef CEF_INCLUDE_CEF_BROWSER_PROCESS_HANDLER_H_
#define CEF_INCLUDE_CEF_BROWSER_PROCESS_HANDLER_H_

#include "include/cef_base.h"
#include "include/cef_command_line.h"
#include "include/cef_print_handler.h"
#include "include/cef_values.h"

// Browser-process events. Called on CEF's UI thread unless noted.
class CefBrowserProcessHandler : public virtual CefBase {
 public:
  virtual void OnContextInitialized() {}
  virtual void OnBeforeChildProcessLaunch(CefRefPtr<CefCommandLine> command_line) {}
  virtual void OnRenderProcessThreadCreated(CefRefPtr<CefListValue> extra_info) {}
  virtual CefRefPtr<CefPrintHandler> GetPrintHandler() { return nullptr; }
};

#endif  // CEF_INCLUDE_CEF_BROWSER_PROCESS_HANDLER_H_
