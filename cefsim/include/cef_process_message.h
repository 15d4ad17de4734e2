#ifndef CEF_INCLUDE_CEF_PROCESS_MESSAGE_H_
#define CEF_INCLUDE_CEF_PROCESS_MESSAGE_H_

#include "include/cef_base.h"

class CefProcessMessage : public virtual CefBase {
 public:
  virtual bool IsValid() = 0;
  virtual CefString GetName() = 0;
};

#endif  // CEF_INCLUDE_CEF_PROCESS_MESSAGE_H_
