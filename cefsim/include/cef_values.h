#ifndef CEF_INCLUDE_CEF_VALUES_H_
#define CEF_INCLUDE_CEF_VALUES_H_

#include "include/cef_base.h"

class CefListValue : public virtual CefBase {
 public:
  static CefRefPtr<CefListValue> Create();
  virtual bool IsValid() = 0;
  virtual size_t GetSize() = 0;
};

#endif  // CEF_INCLUDE_CEF_VALUES_H_
