#ifndef CEF_INCLUDE_CEF_GEOLOCATION_HANDLER_H_
#define CEF_INCLUDE_CEF_GEOLOCATION_HANDLER_H_

#include "include/cef_base.h"
#include "include/cef_browser.h"

// Geolocation permission requests; without a handler they are denied.
class CefGeolocationHandler : public virtual CefBase {
 public:
  virtual void OnCancelGeolocationPermission(CefRefPtr<CefBrowser> browser, const CefString& requesting_url,
                                             int request_id) {}
};

#endif  // CEF_INCLUDE_CEF_GEOLOCATION_HANDLER_H_
