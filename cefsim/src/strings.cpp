// CEF's C string functions and the structure helpers of the wrappers.
#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include "include/internal/cef_string.h"
#include "include/internal/cef_types_wrappers.h"

namespace {

void FreeBuffer(char16* str) { delete[] str; }

void CopyString(const cef_string_t& src, cef_string_t* dst) {
  cef_string_utf16_set(src.str, src.length, dst, 1);
}

}  // namespace

int cef_string_utf16_set(const char16* src, size_t src_len, cef_string_utf16_t* output, int copy) {
  if (!output) return 0;
  cef_string_utf16_clear(output);
  if (!src || src_len == 0) return 1;
  if (copy) {
    char16* buffer = new char16[src_len + 1];
    memcpy(buffer, src, src_len * sizeof(char16));
    buffer[src_len] = 0;
    output->str = buffer;
    output->dtor = &FreeBuffer;
  } else {
    output->str = const_cast<char16*>(src);
    output->dtor = nullptr;
  }
  output->length = src_len;
  return 1;
}

void cef_string_utf16_clear(cef_string_utf16_t* str) {
  if (!str) return;
  if (str->dtor && str->str) str->dtor(str->str);
  str->str = nullptr;
  str->length = 0;
  str->dtor = nullptr;
}

std::wstring cefsim_utf8_to_wide(const char* src, size_t len) {
  if (!src || len == 0) return std::wstring();
  int n = MultiByteToWideChar(CP_UTF8, 0, src, static_cast<int>(len), nullptr, 0);
  std::wstring out(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, src, static_cast<int>(len), &out[0], n);
  return out;
}

std::string cefsim_wide_to_utf8(const wchar_t* src, size_t len) {
  if (!src || len == 0) return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, src, static_cast<int>(len), nullptr, 0, nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, src, static_cast<int>(len), &out[0], n, nullptr, nullptr);
  return out;
}

#define CEFSIM_EACH_SETTINGS_STRING(X)                                                                  \
  X(browser_subprocess_path) X(cache_path) X(user_data_path) X(user_agent) X(product_version) X(locale) \
  X(log_file) X(javascript_flags) X(resources_dir_path) X(locales_dir_path) X(accept_language_list)

#define CEFSIM_EACH_BROWSER_SETTINGS_STRING(X)                                                    \
  X(standard_font_family) X(fixed_font_family) X(serif_font_family) X(sans_serif_font_family)     \
  X(cursive_font_family) X(fantasy_font_family) X(default_encoding) X(accept_language_list)

#define CEFSIM_COPY(field) CopyString(src->field, &dst->field);
#define CEFSIM_CLEAR(field) cef_string_clear(&s->field);


void cefsim_copy_struct(const cef_settings_t* src, cef_settings_t* dst) {
  memcpy(dst, src, sizeof(*dst));
#define CEFSIM_DETACH(field) dst->field = cef_string_t();
  CEFSIM_EACH_SETTINGS_STRING(CEFSIM_DETACH)
  CEFSIM_EACH_SETTINGS_STRING(CEFSIM_COPY)
}
void cefsim_clear_struct(cef_settings_t* s) { CEFSIM_EACH_SETTINGS_STRING(CEFSIM_CLEAR) }

void cefsim_copy_struct(const cef_browser_settings_t* src, cef_browser_settings_t* dst) {
  memcpy(dst, src, sizeof(*dst));
  CEFSIM_EACH_BROWSER_SETTINGS_STRING(CEFSIM_DETACH)
  CEFSIM_EACH_BROWSER_SETTINGS_STRING(CEFSIM_COPY)
}
void cefsim_clear_struct(cef_browser_settings_t* s) { CEFSIM_EACH_BROWSER_SETTINGS_STRING(CEFSIM_CLEAR) }

void cefsim_copy_struct(const cef_window_info_t* src, cef_window_info_t* dst) {
  memcpy(dst, src, sizeof(*dst));
  dst->window_name = cef_string_t();
  CopyString(src->window_name, &dst->window_name);
}
void cefsim_clear_struct(cef_window_info_t* s) { cef_string_clear(&s->window_name); }

void cefsim_copy_struct(const cef_popup_features_t* src, cef_popup_features_t* dst) { memcpy(dst, src, sizeof(*dst)); }
void cefsim_clear_struct(cef_popup_features_t*) {}
