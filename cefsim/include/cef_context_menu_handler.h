#ifndef CEF_INCLUDE_CEF_CONTEXT_MENU_HANDLER_H_
#define CEF_INCLUDE_CEF_CONTEXT_MENU_HANDLER_H_

#include "include/cef_base.h"
#include "include/cef_browser.h"

// Context menus; without a handler CEF shows its default menu.
class CefContextMenuHandler : public virtual CefBase {
 public:
  virtual void OnContextMenuDismissed(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame) {}
};

#endif  // CEF_INCLUDE_CEF_CONTEXT_MENU_HANDLER_H_
