#ifndef CEF_INCLUDE_CEF_REQUEST_CONTEXT_H_
#define CEF_INCLUDE_CEF_REQUEST_CONTEXT_H_

#include "include/cef_base.h"

// A browser's request context; null means CEF's global context.
class CefRequestContext : public virtual CefBase {
 public:
  static CefRefPtr<CefRequestContext> GetGlobalContext();
  virtual bool IsGlobal() = 0;
};

#endif  // CEF_INCLUDE_CEF_REQUEST_CONTEXT_H_
