#ifndef CEF_INCLUDE_CEF_LOAD_HANDLER_H_
#define CEF_INCLUDE_CEF_LOAD_HANDLER_H_

#include "include/cef_base.h"
#include "include/cef_browser.h"
#include "include/cef_frame.h"

// Load events of a browser. Called on CEF's UI thread.
class CefLoadHandler : public virtual CefBase {
 public:
  typedef cef_errorcode_t ErrorCode;

  virtual void OnLoadingStateChange(CefRefPtr<CefBrowser> browser, bool isLoading, bool canGoBack,
                                    bool canGoForward) {}
  virtual void OnLoadStart(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame) {}
  virtual void OnLoadEnd(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, int httpStatusCode) {}
  virtual void OnLoadError(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, ErrorCode errorCode,
                           const CefString& errorText, const CefString& failedUrl) {}
};

#endif  // CEF_INCLUDE_CEF_LOAD_HANDLER_H_
