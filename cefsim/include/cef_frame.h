#ifndef CEF_INCLUDE_CEF_FRAME_H_
#define CEF_INCLUDE_CEF_FRAME_H_

#include "include/cef_base.h"

class CefBrowser;
class CefRequest;

// A frame of a browser: the main frame or a named sub-frame. Its load calls
// return at once; the browser acts on CEF's UI thread.
class CefFrame : public virtual CefBase {
 public:
  virtual bool IsValid() = 0;
  virtual void LoadRequest(CefRefPtr<CefRequest> request) = 0;
  virtual void LoadURL(const CefString& url) = 0;
  // Shows `string_val` as the frame's document, with `url` as its address.
  virtual void LoadString(const CefString& string_val, const CefString& url) = 0;
  virtual void ExecuteJavaScript(const CefString& code, const CefString& script_url, int start_line) = 0;
  virtual bool IsMain() = 0;
  virtual bool IsFocused() = 0;
  virtual CefString GetName() = 0;
  virtual int64 GetIdentifier() = 0;
  virtual CefRefPtr<CefFrame> GetParent() = 0;
  virtual CefString GetURL() = 0;
  virtual CefRefPtr<CefBrowser> GetBrowser() = 0;
};

#endif  // CEF_INCLUDE_CEF_FRAME_H_
