#pragma once

#include "uilib/UIString.h"

#include <vector>

namespace DuiLib {

class CPaintManagerUI;

// A rectangle of a layout: the control's place in client coordinates.
struct CDuiRect : RECT {
  CDuiRect() { left = top = right = bottom = 0; }
  CDuiRect(const RECT& rc) { *static_cast<RECT*>(this) = rc; }
  CDuiRect(LONG l, LONG t, LONG r, LONG b) { left = l; top = t; right = r; bottom = b; }
  int GetWidth() const { return right - left; }
  int GetHeight() const { return bottom - top; }
};

// The base of every control: a named rectangle with a background and text.
// Controls are owned by their container; the root by its paint manager.
class CControlUI {
 public:
  CControlUI();
  virtual ~CControlUI();

  virtual LPCTSTR GetClass() const { return _T("ControlUI"); }
  const CDuiString& GetName() const { return m_sName; }
  void SetName(LPCTSTR name) { m_sName = name; }

  virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent);
  CPaintManagerUI* GetManager() const { return m_pManager; }
  CControlUI* GetParent() const { return m_pParent; }

  // Places the control (client coordinates) and lays out its content.
  virtual void SetPos(RECT rc, bool bNeedInvalidate = true);
  const RECT& GetPos() const { return m_rcItem; }
  int GetWidth() const { return m_rcItem.right - m_rcItem.left; }
  int GetHeight() const { return m_rcItem.bottom - m_rcItem.top; }

  int GetFixedWidth() const { return m_cxyFixed.cx; }
  int GetFixedHeight() const { return m_cxyFixed.cy; }
  void SetFixedWidth(int cx) { m_cxyFixed.cx = cx; }
  void SetFixedHeight(int cy) { m_cxyFixed.cy = cy; }
  bool IsFloat() const { return m_bFloat; }
  const RECT& GetFloatPos() const { return m_rcFloat; }
  const RECT& GetPadding() const { return m_rcPadding; }

  virtual bool IsVisible() const { return m_bVisible; }
  virtual void SetVisible(bool bVisible = true);
  bool IsEnabled() const { return m_bEnabled; }
  void SetEnabled(bool bEnabled = true) { m_bEnabled = bEnabled; Invalidate(); }
  // Whether mouse input on this control is the control's own (buttons), as
  // opposed to belonging to the window (the caption can drag through it).
  virtual bool IsMouseTarget() const { return false; }

  const CDuiString& GetText() const { return m_sText; }
  void SetText(LPCTSTR text) { m_sText = text; Invalidate(); }
  DWORD GetBkColor() const { return m_dwBkColor; }
  const CDuiString& GetBkImage() const { return m_sBkImage; }

  // Applies one layout attribute; false when the name is not known.
  virtual bool SetAttribute(LPCTSTR name, LPCTSTR value);
  void Invalidate();

  // The deepest visible control at `pt` (client coordinates), or null.
  virtual CControlUI* FindControlAt(POINT pt);
  virtual CControlUI* FindControlByName(LPCTSTR name);

  virtual void DoPaint(HDC hDC, const RECT& rcPaint);

 protected:
  void PaintBackground(HDC hDC);
  void PaintText(HDC hDC, DWORD color);

  CPaintManagerUI* m_pManager = nullptr;
  CControlUI* m_pParent = nullptr;
  CDuiString m_sName;
  CDuiString m_sText;
  CDuiString m_sBkImage;
  RECT m_rcItem = {0, 0, 0, 0};
  RECT m_rcFloat = {0, 0, 0, 0};
  RECT m_rcPadding = {0, 0, 0, 0};
  SIZE m_cxyFixed = {0, 0};
  DWORD m_dwBkColor = 0;
  DWORD m_dwTextColor = 0xFF000000;
  int m_iFont = -1;
  UINT m_uTextStyle = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
  bool m_bFloat = false;
  bool m_bVisible = true;
  bool m_bEnabled = true;
};

// A container lays out its children; every child fills it unless the child
// floats (placed by its pos) or is sized by a layout subclass.
class CContainerUI : public CControlUI {
 public:
  ~CContainerUI() override;
  LPCTSTR GetClass() const override { return _T("ContainerUI"); }
  bool Add(CControlUI* control);
  int GetCount() const { return static_cast<int>(m_items.size()); }
  CControlUI* GetItemAt(int i) const { return m_items[i]; }

  void SetManager(CPaintManagerUI* manager, CControlUI* parent) override;
  void SetPos(RECT rc, bool bNeedInvalidate = true) override;
  bool SetAttribute(LPCTSTR name, LPCTSTR value) override;
  CControlUI* FindControlAt(POINT pt) override;
  CControlUI* FindControlByName(LPCTSTR name) override;
  void DoPaint(HDC hDC, const RECT& rcPaint) override;

 protected:
  RECT InsetRect() const;
  void PlaceFloat(CControlUI* child, const RECT& inset);
  std::vector<CControlUI*> m_items;
  RECT m_rcInset = {0, 0, 0, 0};
};

class CVerticalLayoutUI : public CContainerUI {
 public:
  LPCTSTR GetClass() const override { return _T("VerticalLayoutUI"); }
  void SetPos(RECT rc, bool bNeedInvalidate = true) override;
};

class CHorizontalLayoutUI : public CContainerUI {
 public:
  LPCTSTR GetClass() const override { return _T("HorizontalLayoutUI"); }
  void SetPos(RECT rc, bool bNeedInvalidate = true) override;
};

class CLabelUI : public CControlUI {
 public:
  LPCTSTR GetClass() const override { return _T("LabelUI"); }
  void DoPaint(HDC hDC, const RECT& rcPaint) override;
};

class CTextUI : public CLabelUI {
 public:
  CTextUI() { m_uTextStyle = DT_WORDBREAK | DT_LEFT; }
  LPCTSTR GetClass() const override { return _T("TextUI"); }
};

// A button: normal, hot (under the mouse) and pushed looks, as images or
// colours. The paint manager raises "click" on a release over the button
// that was pressed.
class CButtonUI : public CLabelUI {
 public:
  LPCTSTR GetClass() const override { return _T("ButtonUI"); }
  bool IsMouseTarget() const override { return true; }
  bool SetAttribute(LPCTSTR name, LPCTSTR value) override;
  void DoPaint(HDC hDC, const RECT& rcPaint) override;

  void SetHot(bool hot);
  void SetPushed(bool pushed);
  bool IsHot() const { return m_bHot; }
  bool IsPushed() const { return m_bPushed; }

 private:
  CDuiString m_sNormalImage, m_sHotImage, m_sPushedImage;
  DWORD m_dwHotBkColor = 0;
  DWORD m_dwPushedBkColor = 0;
  bool m_bHot = false;
  bool m_bPushed = false;
};

// Attribute value parsers of the layout format; they never fail, a bad
// number reads as 0.
bool ParseInt(LPCTSTR text, int* value);
RECT ParseRect(LPCTSTR text);
SIZE ParseSize(LPCTSTR text);
DWORD ParseColor(LPCTSTR text);
bool ParseBool(LPCTSTR text);

}  // namespace DuiLib
