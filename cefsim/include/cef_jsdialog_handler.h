#ifndef CEF_INCLUDE_CEF_JSDIALOG_HANDLER_H_
#define CEF_INCLUDE_CEF_JSDIALOG_HANDLER_H_

#include "include/cef_base.h"
#include "include/cef_browser.h"

// JavaScript dialogs; without a handler CEF shows its own.
class CefJSDialogHandler : public virtual CefBase {
 public:
  typedef cef_jsdialog_type_t JSDialogType;
  virtual void OnResetDialogState(CefRefPtr<CefBrowser> browser) {}
  virtual void OnDialogClosed(CefRefPtr<CefBrowser> browser) {}
};

#endif  // CEF_INCLUDE_CEF_JSDIALOG_HANDLER_H_
