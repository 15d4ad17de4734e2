#pragma once

#include <windows.h>
#include <tchar.h>

#include <string>

namespace DuiLib {

// Wide text owned by the UI library. Compares, concatenates and converts
// to wide text the way the windows use it.
class CDuiString {
 public:
  CDuiString() = default;
  CDuiString(LPCTSTR text) : m_str(text ? text : L"") {}
  CDuiString(LPCTSTR text, int length) : m_str(text ? std::wstring(text, length) : std::wstring()) {}
  CDuiString(const std::wstring& text) : m_str(text) {}

  LPCTSTR GetData() const { return m_str.c_str(); }
  operator LPCTSTR() const { return m_str.c_str(); }
  int GetLength() const { return static_cast<int>(m_str.size()); }
  bool IsEmpty() const { return m_str.empty(); }
  void Empty() { m_str.clear(); }
  int Compare(LPCTSTR text) const { return m_str.compare(text ? text : L""); }

  CDuiString& operator+=(LPCTSTR text) { m_str += text ? text : L""; return *this; }
  CDuiString& operator+=(const CDuiString& text) { m_str += text.m_str; return *this; }
  CDuiString operator+(LPCTSTR text) const { CDuiString r(*this); r += text; return r; }
  CDuiString operator+(const CDuiString& text) const { CDuiString r(*this); r += text; return r; }

  bool operator==(LPCTSTR text) const { return Compare(text) == 0; }
  bool operator!=(LPCTSTR text) const { return Compare(text) != 0; }
  bool operator==(const CDuiString& text) const { return m_str == text.m_str; }
  bool operator!=(const CDuiString& text) const { return m_str != text.m_str; }
  bool operator<(const CDuiString& text) const { return m_str < text.m_str; }

  const std::wstring& str() const { return m_str; }

 private:
  std::wstring m_str;
};

}  // namespace DuiLib
