#ifndef CEF_INCLUDE_INTERNAL_CEF_TYPES_WRAPPERS_H_
#define CEF_INCLUDE_INTERNAL_CEF_TYPES_WRAPPERS_H_

#include <string.h>

#include "include/internal/cef_string.h"
#include "include/internal/cef_types.h"

// The C structures with their size set and their strings freed on
// destruction, as CEF's CefStructBase does.
template <class T>
class CefStructBase : public T {
 public:
  CefStructBase() { memset(static_cast<T*>(this), 0, sizeof(T)); InitSize(this); }
  ~CefStructBase() { ClearStrings(this); }
  CefStructBase(const CefStructBase& r) : T() {
    memset(static_cast<T*>(this), 0, sizeof(T));
    InitSize(this);
    CopyFrom(r);
  }
  CefStructBase& operator=(const CefStructBase& r) {
    if (this != &r) {
      ClearStrings(this);
      CopyFrom(r);
    }
    return *this;
  }

 private:
  template <typename S>
  static auto InitSize(S* s) -> decltype(s->size, void()) { s->size = sizeof(T); }
  static void InitSize(...) {}
  void CopyFrom(const CefStructBase& r);
  static void ClearStrings(CefStructBase* s);
};

// Each structure's string fields, for copying and freeing.
void cefsim_copy_struct(const cef_settings_t* src, cef_settings_t* dst);
void cefsim_clear_struct(cef_settings_t* s);
void cefsim_copy_struct(const cef_browser_settings_t* src, cef_browser_settings_t* dst);
void cefsim_clear_struct(cef_browser_settings_t* s);
void cefsim_copy_struct(const cef_window_info_t* src, cef_window_info_t* dst);
void cefsim_clear_struct(cef_window_info_t* s);
void cefsim_copy_struct(const cef_popup_features_t* src, cef_popup_features_t* dst);
void cefsim_clear_struct(cef_popup_features_t* s);

template <class T>
void CefStructBase<T>::CopyFrom(const CefStructBase& r) { cefsim_copy_struct(&r, static_cast<T*>(this)); }
template <class T>
void CefStructBase<T>::ClearStrings(CefStructBase* s) { cefsim_clear_struct(static_cast<T*>(s)); }

typedef CefStructBase<cef_settings_t> CefSettings;
typedef CefStructBase<cef_browser_settings_t> CefBrowserSettings;
typedef CefStructBase<cef_popup_features_t> CefPopupFeatures;
typedef cef_thread_id_t CefThreadId;
typedef cef_process_id_t CefProcessId;
typedef cef_window_handle_t CefWindowHandle;
typedef cef_cursor_handle_t CefCursorHandle;

class CefMainArgs : public cef_main_args_t {
 public:
  CefMainArgs() { instance = nullptr; }
  explicit CefMainArgs(HINSTANCE hInstance) { instance = hInstance; }
};

class CefWindowInfo : public CefStructBase<cef_window_info_t> {
 public:
  // A child window of `parent` at `windowRect` (parent's client coordinates).
  void SetAsChild(CefWindowHandle parent, RECT windowRect) {
    style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP | WS_VISIBLE;
    parent_window = parent;
    x = windowRect.left;
    y = windowRect.top;
    width = windowRect.right - windowRect.left;
    height = windowRect.bottom - windowRect.top;
  }
  // A top-level window; `parent` owns it.
  void SetAsPopup(CefWindowHandle parent, const CefString& windowName) {
    style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VISIBLE;
    parent_window = parent;
    x = y = width = height = CW_USEDEFAULT;
    cef_string_set(windowName.c_str(), windowName.length(), &window_name, 1);
  }
  void SetAsWindowless(CefWindowHandle parent, bool transparent) {
    windowless_rendering_enabled = 1;
    parent_window = parent;
    transparent_painting_enabled = transparent;
  }
};

#endif  // CEF_INCLUDE_INTERNAL_CEF_TYPES_WRAPPERS_H_
