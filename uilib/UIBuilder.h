#pragma once

#include "uilib/UIControl.h"

namespace DuiLib {

class CPaintManagerUI;

class IDialogBuilderCallback {
 public:
  // A control for an element the library does not know, or null.
  virtual CControlUI* CreateControl(LPCTSTR pstrClass) = 0;
 protected:
  ~IDialogBuilderCallback() = default;
};

// Builds a control tree from a layout file of the resource path, read with
// XmlLite. A file that is missing or malformed gives no tree (null); an
// unknown element is skipped with everything inside it; an unknown
// attribute is ignored.
class CDialogBuilder {
 public:
  CControlUI* Create(LPCTSTR xmlFile, LPCTSTR type = nullptr, IDialogBuilderCallback* callback = nullptr,
                     CPaintManagerUI* manager = nullptr, CControlUI* parent = nullptr);
};

}  // namespace DuiLib
