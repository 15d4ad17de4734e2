#ifndef CEF_INCLUDE_CEF_REQUEST_HANDLER_H_
#define CEF_INCLUDE_CEF_REQUEST_HANDLER_H_

#include "include/cef_base.h"
#include "include/cef_browser.h"
#include "include/cef_frame.h"
#include "include/cef_request.h"

// Request events of a browser. Called on CEF's UI thread unless noted.
class CefRequestHandler : public virtual CefBase {
 public:
  typedef cef_termination_status_t TerminationStatus;

  // Before a navigation of `frame`, also for each redirect; true cancels it.
  virtual bool OnBeforeBrowse(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                              CefRefPtr<CefRequest> request, bool is_redirect) {
    return false;
  }
  virtual void OnProtocolExecution(CefRefPtr<CefBrowser> browser, const CefString& url, bool& allow_os_execution) {}
  virtual void OnPluginCrashed(CefRefPtr<CefBrowser> browser, const CefString& plugin_path) {}
  virtual void OnRenderProcessTerminated(CefRefPtr<CefBrowser> browser, TerminationStatus status) {}
};

#endif  // CEF_INCLUDE_CEF_REQUEST_HANDLER_H_
