#ifndef CEF_INCLUDE_CEF_DISPLAY_HANDLER_H_
#define CEF_INCLUDE_CEF_DISPLAY_HANDLER_H_

#include "include/cef_base.h"
#include "include/cef_browser.h"
#include "include/cef_frame.h"

// Display events of a browser. Called on CEF's UI thread.
class CefDisplayHandler : public virtual CefBase {
 public:
  virtual void OnAddressChange(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, const CefString& url) {}
  virtual void OnTitleChange(CefRefPtr<CefBrowser> browser, const CefString& title) {}
  virtual bool OnTooltip(CefRefPtr<CefBrowser> browser, CefString& text) { return false; }
  virtual void OnStatusMessage(CefRefPtr<CefBrowser> browser, const CefString& value) {}
  virtual bool OnConsoleMessage(CefRefPtr<CefBrowser> browser, const CefString& message, const CefString& source,
                                int line) {
    return false;
  }
};

#endif  // CEF_INCLUDE_CEF_DISPLAY_HANDLER_H_
