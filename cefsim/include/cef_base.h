#ifndef CEF_INCLUDE_CEF_BASE_H_
#define CEF_INCLUDE_CEF_BASE_H_

#include <windows.h>

#include "include/base/cef_macros.h"
#include "include/internal/cef_ptr.h"
#include "include/internal/cef_string.h"
#include "include/internal/cef_types.h"
#include "include/internal/cef_types_wrappers.h"

// The reference-counted base of every object shared with CEF.
class CefBase {
 public:
  virtual void AddRef() const = 0;
  // True when this release deleted the object.
  virtual bool Release() const = 0;
  virtual bool HasOneRef() const = 0;

 protected:
  virtual ~CefBase() {}
};

// An atomic reference count.
class CefRefCount {
 public:
  CefRefCount() : ref_count_(0) {}
  void AddRef() const { InterlockedIncrement(&ref_count_); }
  // True when the count reached zero.
  bool Release() const { return InterlockedDecrement(&ref_count_) == 0; }
  bool HasOneRef() const { return InterlockedCompareExchange(&ref_count_, 0, 0) == 1; }

 private:
  mutable volatile LONG ref_count_;
  DISALLOW_COPY_AND_ASSIGN(CefRefCount);
};

#define IMPLEMENT_REFCOUNTING(ClassName)                 \
 public:                                                 \
  void AddRef() const override { ref_count_.AddRef(); }  \
  bool Release() const override {                        \
    if (ref_count_.Release()) {                          \
      delete static_cast<const ClassName*>(this);        \
      return true;                                       \
    }                                                    \
    return false;                                        \
  }                                                      \
  bool HasOneRef() const override { return ref_count_.HasOneRef(); } \
                                                         \
 private:                                                \
  CefRefCount ref_count_;

#endif  // CEF_INCLUDE_CEF_BASE_H_
