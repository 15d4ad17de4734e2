#pragma once

#include "uilib/UIlib.h"

using namespace DuiLib;

// The base of every window of the launcher: a skinned window of the class
// "XMLWnd" built from one layout file of the resource path.
class CXMLWnd : public WindowImplBase {
 public:
  explicit CXMLWnd(const wchar_t* layoutFile);
  ~CXMLWnd() override;

 protected:
  LPCTSTR GetWindowClassName() const override;
  CDuiString GetSkinFile() override;
  CDuiString GetSkinFolder() override;

  CDuiString m_strLayoutFile;
};
