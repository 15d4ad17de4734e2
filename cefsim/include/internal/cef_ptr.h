#ifndef CEF_INCLUDE_INTERNAL_CEF_PTR_H_
#define CEF_INCLUDE_INTERNAL_CEF_PTR_H_

#include <stddef.h>

// A counted reference to a CefBase object: AddRef on copy, Release on drop.
template <class T>
class CefRefPtr {
 public:
  CefRefPtr() : ptr_(nullptr) {}
  CefRefPtr(T* p) : ptr_(p) { if (ptr_) ptr_->AddRef(); }
  CefRefPtr(const CefRefPtr<T>& r) : ptr_(r.ptr_) { if (ptr_) ptr_->AddRef(); }
  template <typename U>
  CefRefPtr(const CefRefPtr<U>& r) : ptr_(r.get()) { if (ptr_) ptr_->AddRef(); }
  ~CefRefPtr() { if (ptr_) ptr_->Release(); }

  T* get() const { return ptr_; }
  operator T*() const { return ptr_; }
  T* operator->() const { return ptr_; }

  CefRefPtr<T>& operator=(T* p) {
    if (p) p->AddRef();
    T* old = ptr_;
    ptr_ = p;
    if (old) old->Release();
    return *this;
  }
  CefRefPtr<T>& operator=(const CefRefPtr<T>& r) { return *this = r.ptr_; }
  template <typename U>
  CefRefPtr<T>& operator=(const CefRefPtr<U>& r) { return *this = r.get(); }
  void swap(T** pp) { T* p = ptr_; ptr_ = *pp; *pp = p; }
  void swap(CefRefPtr<T>& r) { swap(&r.ptr_); }

 protected:
  T* ptr_;
};

#endif  // CEF_INCLUDE_INTERNAL_CEF_PTR_H_
