#ifndef CEF_INCLUDE_CEF_LIFE_SPAN_HANDLER_H_
#define CEF_INCLUDE_CEF_LIFE_SPAN_HANDLER_H_

#include "include/cef_base.h"
#include "include/cef_browser.h"

class CefClient;

// Life events of a browser. Called on CEF's UI thread unless noted.
class CefLifeSpanHandler : public virtual CefBase {
 public:
  typedef cef_window_open_disposition_t WindowOpenDisposition;

  // Before a pop-up browser is created, on the IO thread in real CEF; true
  // cancels the pop-up.
  virtual bool OnBeforePopup(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, const CefString& target_url,
                             const CefString& target_frame_name, WindowOpenDisposition target_disposition,
                             bool user_gesture, const CefPopupFeatures& popupFeatures, CefWindowInfo& windowInfo,
                             CefRefPtr<CefClient>& client, CefBrowserSettings& settings,
                             bool* no_javascript_access) {
    return false;
  }
  virtual void OnAfterCreated(CefRefPtr<CefBrowser> browser) {}
  virtual bool RunModal(CefRefPtr<CefBrowser> browser) { return false; }
  // False lets the close go ahead.
  virtual bool DoClose(CefRefPtr<CefBrowser> browser) { return false; }
  // The browser's last event; release every reference to it here.
  virtual void OnBeforeClose(CefRefPtr<CefBrowser> browser) {}
};

#endif  // CEF_INCLUDE_CEF_LIFE_SPAN_HANDLER_H_
