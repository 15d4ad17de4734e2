#ifndef CEF_INCLUDE_INTERNAL_CEF_STRING_H_
#define CEF_INCLUDE_INTERNAL_CEF_STRING_H_

#include <stddef.h>
#include <wchar.h>

#include <string>

// CEF's string: UTF-16 text in a C structure that may own its buffer, and
// the C++ wrapper CefString around it.
typedef wchar_t char16;

typedef struct _cef_string_utf16_t {
  char16* str;
  size_t length;
  void (*dtor)(char16* str);
} cef_string_utf16_t;
typedef cef_string_utf16_t cef_string_t;
typedef cef_string_utf16_t* cef_string_userfree_t;

// Sets `output` to `src` (a copy when `copy` is true); returns true.
int cef_string_utf16_set(const char16* src, size_t src_len, cef_string_utf16_t* output, int copy);
void cef_string_utf16_clear(cef_string_utf16_t* str);
#define cef_string_set cef_string_utf16_set
#define cef_string_clear cef_string_utf16_clear

std::wstring cefsim_utf8_to_wide(const char* src, size_t len);
std::string cefsim_wide_to_utf8(const wchar_t* src, size_t len);

class CefString {
 public:
  CefString() : string_(nullptr), owner_(false) {}
  CefString(const CefString& str) : string_(nullptr), owner_(false) { FromWString(str.ToWString()); }
  CefString(const std::wstring& src) : string_(nullptr), owner_(false) { FromWString(src); }
  CefString(const wchar_t* src) : string_(nullptr), owner_(false) { if (src) FromWString(src); }
  CefString(const std::string& src) : string_(nullptr), owner_(false) { FromString(src); }
  CefString(const char* src) : string_(nullptr), owner_(false) { if (src) FromString(src); }
  // Copies the structure's text.
  CefString(const cef_string_t* src) : string_(nullptr), owner_(false) {
    if (src && src->str) FromWString(std::wstring(src->str, src->length));
  }
  // Attaches to a structure owned elsewhere (a settings field): assignments
  // write into it.
  CefString(cef_string_t* src) : string_(src), owner_(false) {}
  ~CefString() { ClearAndFree(); }

  CefString& operator=(const CefString& str) { FromWString(str.ToWString()); return *this; }
  CefString& operator=(const std::wstring& str) { FromWString(str); return *this; }
  CefString& operator=(const wchar_t* str) { FromWString(str ? str : L""); return *this; }
  CefString& operator=(const std::string& str) { FromString(str); return *this; }
  CefString& operator=(const char* str) { FromString(str ? str : ""); return *this; }

  const char16* c_str() const { return (string_ && string_->str) ? string_->str : L""; }
  size_t length() const { return string_ ? string_->length : 0; }
  size_t size() const { return length(); }
  bool empty() const { return length() == 0; }
  int compare(const CefString& str) const { return ToWString().compare(str.ToWString()); }
  void clear() { if (string_) cef_string_clear(string_); }

  std::wstring ToWString() const { return std::wstring(c_str(), length()); }
  std::string ToString() const { return cefsim_wide_to_utf8(c_str(), length()); }
  operator std::wstring() const { return ToWString(); }
  operator std::string() const { return ToString(); }

  bool FromWString(const std::wstring& str) {
    AllocIfNeeded();
    return cef_string_set(str.c_str(), str.length(), string_, 1) != 0;
  }
  bool FromString(const std::string& str) { return FromWString(cefsim_utf8_to_wide(str.data(), str.size())); }

  const cef_string_t* GetStruct() const { return string_; }
  cef_string_t* GetWritableStruct() { AllocIfNeeded(); return string_; }

  bool operator<(const CefString& str) const { return compare(str) < 0; }
  bool operator==(const CefString& str) const { return compare(str) == 0; }
  bool operator!=(const CefString& str) const { return compare(str) != 0; }

 private:
  void AllocIfNeeded() {
    if (!string_) {
      string_ = new cef_string_t();
      owner_ = true;
    }
  }
  void ClearAndFree() {
    if (owner_ && string_) {
      cef_string_clear(string_);
      delete string_;
    }
    string_ = nullptr;
    owner_ = false;
  }
  cef_string_t* string_;
  bool owner_;
};

#endif  // CEF_INCLUDE_INTERNAL_CEF_STRING_H_
