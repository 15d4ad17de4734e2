#ifndef CEF_INCLUDE_CEF_REQUEST_H_
#define CEF_INCLUDE_CEF_REQUEST_H_

#include "include/cef_base.h"

// A request for a URL, as CEF hands it to the request handler.
class CefRequest : public virtual CefBase {
 public:
  static CefRefPtr<CefRequest> Create();
  virtual bool IsReadOnly() = 0;
  virtual CefString GetURL() = 0;
  virtual void SetURL(const CefString& url) = 0;
  virtual CefString GetMethod() = 0;
  virtual void SetMethod(const CefString& method) = 0;
};

#endif  // CEF_INCLUDE_CEF_REQUEST_H_
