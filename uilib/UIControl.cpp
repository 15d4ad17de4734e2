#include "uilib/UIControl.h"

#include "uilib/UIManager.h"


#include <cwchar>
#include <cwctype>

namespace DuiLib {

bool ParseInt(LPCTSTR text, int* value) {
  if (!text) return false;
  while (iswspace(*text)) ++text;
  wchar_t* end = nullptr;
  long v = wcstol(text, &end, 10);
  if (end == text) return false;
  while (iswspace(*end)) ++end;
  if (*end != L'\0') return false;
  *value = static_cast<int>(v);
  return true;
}

namespace {

// Reads up to `count` comma-separated integers; a missing or bad one is 0.
void ParseInts(LPCTSTR text, int* out, int count) {
  for (int i = 0; i < count; ++i) out[i] = 0;
  if (!text) return;
  for (int i = 0; i < count && *text; ++i) {
    wchar_t* end = nullptr;
    long v = wcstol(text, &end, 10);
    if (end != text) out[i] = static_cast<int>(v);
    const wchar_t* comma = wcschr(text, L',');
    if (!comma) break;
    text = comma + 1;
  }
}

}  // namespace

RECT ParseRect(LPCTSTR text) {
  int v[4];
  ParseInts(text, v, 4);
  return RECT{v[0], v[1], v[2], v[3]};
}

SIZE ParseSize(LPCTSTR text) {
  int v[2];
  ParseInts(text, v, 2);
  return SIZE{v[0], v[1]};
}

DWORD ParseColor(LPCTSTR text) {
  if (!text) return 0;
  while (*text == L'#' || iswspace(*text)) ++text;
  if (text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) text += 2;
  DWORD color = static_cast<DWORD>(wcstoul(text, nullptr, 16));
  // Six digits are an opaque RGB colour.
  if (wcslen(text) <= 6) color |= 0xFF000000;
  return color;
}

bool ParseBool(LPCTSTR text) {
  return text && (_wcsicmp(text, L"true") == 0 || wcscmp(text, L"1") == 0);
}

namespace {

COLORREF ToColorRef(DWORD argb) {
  return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

void FillArgb(HDC hDC, const RECT& rc, DWORD argb) {
  if ((argb >> 24) == 0) return;
  HBRUSH brush = CreateSolidBrush(ToColorRef(argb));
  FillRect(hDC, &rc, brush);
  DeleteObject(brush);
}

// Stretches the image over `rc`, blending its alpha.
bool DrawImage(CPaintManagerUI* manager, HDC hDC, const RECT& rc, const CDuiString& name) {
  if (!manager || name.IsEmpty()) return false;
  const TImageInfo* image = manager->GetImage(name);
  if (!image) return false;
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  SetStretchBltMode(hDC, HALFTONE);
  AlphaBlend(hDC, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, image->hDC, 0, 0, image->cx, image->cy,
             blend);
  return true;
}

}  // namespace

CControlUI::CControlUI() = default;
CControlUI::~CControlUI() = default;

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent) {
  m_pManager = manager;
  m_pParent = parent;
}

void CControlUI::SetPos(RECT rc, bool bNeedInvalidate) {
  if (bNeedInvalidate) Invalidate();
  m_rcItem = rc;
  if (bNeedInvalidate) Invalidate();
}

void CControlUI::SetVisible(bool bVisible) {
  if (m_bVisible == bVisible) return;
  m_bVisible = bVisible;
  // The parent gives the space to its other children.
  if (m_pParent) m_pParent->SetPos(m_pParent->GetPos());
  Invalidate();
}

void CControlUI::Invalidate() {
  if (m_pManager) m_pManager->Invalidate(m_rcItem);
}

bool CControlUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
  int n = 0;
  if (wcscmp(name, L"name") == 0) m_sName = value;
  else if (wcscmp(name, L"text") == 0) m_sText = value;
  else if (wcscmp(name, L"width") == 0) { if (ParseInt(value, &n) && n >= 0) m_cxyFixed.cx = n; }
  else if (wcscmp(name, L"height") == 0) { if (ParseInt(value, &n) && n >= 0) m_cxyFixed.cy = n; }
  else if (wcscmp(name, L"pos") == 0) {
    m_rcFloat = ParseRect(value);
    m_cxyFixed.cx = m_rcFloat.right - m_rcFloat.left;
    m_cxyFixed.cy = m_rcFloat.bottom - m_rcFloat.top;
  }
  else if (wcscmp(name, L"float") == 0) m_bFloat = ParseBool(value);
  else if (wcscmp(name, L"padding") == 0) m_rcPadding = ParseRect(value);
  else if (wcscmp(name, L"bkcolor") == 0) m_dwBkColor = ParseColor(value);
  else if (wcscmp(name, L"bkimage") == 0) m_sBkImage = value;
  else if (wcscmp(name, L"textcolor") == 0) m_dwTextColor = ParseColor(value);
  else if (wcscmp(name, L"font") == 0) { if (ParseInt(value, &n)) m_iFont = n; }
  else if (wcscmp(name, L"visible") == 0) m_bVisible = ParseBool(value);
  else if (wcscmp(name, L"enabled") == 0) m_bEnabled = ParseBool(value);
  else if (wcscmp(name, L"align") == 0) {
    m_uTextStyle &= ~(DT_LEFT | DT_CENTER | DT_RIGHT);
    m_uTextStyle |= wcscmp(value, L"left") == 0 ? DT_LEFT
                    : wcscmp(value, L"right") == 0 ? DT_RIGHT : DT_CENTER;
  }
  else return false;
  return true;
}

CControlUI* CControlUI::FindControlAt(POINT pt) {
  return (m_bVisible && PtInRect(&m_rcItem, pt)) ? this : nullptr;
}

CControlUI* CControlUI::FindControlByName(LPCTSTR name) {
  return m_sName == name ? this : nullptr;
}

void CControlUI::PaintBackground(HDC hDC) {
  FillArgb(hDC, m_rcItem, m_dwBkColor);
  DrawImage(m_pManager, hDC, m_rcItem, m_sBkImage);
}

void CControlUI::PaintText(HDC hDC, DWORD color) {
  if (m_sText.IsEmpty()) return;
  HFONT font = m_pManager ? m_pManager->GetFont(m_iFont) : nullptr;
  HGDIOBJ old = font ? SelectObject(hDC, font) : nullptr;
  SetBkMode(hDC, TRANSPARENT);
  SetTextColor(hDC, ToColorRef(color));
  RECT rc = m_rcItem;
  DrawTextW(hDC, m_sText, -1, &rc, m_uTextStyle | DT_NOPREFIX);
  if (old) SelectObject(hDC, old);
}

void CControlUI::DoPaint(HDC hDC, const RECT& rcPaint) { PaintBackground(hDC); }

void CLabelUI::DoPaint(HDC hDC, const RECT& rcPaint) {
  PaintBackground(hDC);
  PaintText(hDC, m_dwTextColor);
}

// ---- containers

CContainerUI::~CContainerUI() {
  for (CControlUI* item : m_items) delete item;
}

bool CContainerUI::Add(CControlUI* control) {
  if (!control) return false;
  m_items.push_back(control);
  control->SetManager(m_pManager, this);
  return true;
}

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent) {
  CControlUI::SetManager(manager, parent);
  for (CControlUI* item : m_items) item->SetManager(manager, this);
}

bool CContainerUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
  if (wcscmp(name, L"inset") == 0) { m_rcInset = ParseRect(value); return true; }
  return CControlUI::SetAttribute(name, value);
}

RECT CContainerUI::InsetRect() const {
  return RECT{m_rcItem.left + m_rcInset.left, m_rcItem.top + m_rcInset.top,
              m_rcItem.right - m_rcInset.right, m_rcItem.bottom - m_rcInset.bottom};
}

void CContainerUI::PlaceFloat(CControlUI* child, const RECT& inset) {
  const RECT& p = child->GetFloatPos();
  child->SetPos(RECT{inset.left + p.left, inset.top + p.top, inset.left + p.right, inset.top + p.bottom},
                false);
}

void CContainerUI::SetPos(RECT rc, bool bNeedInvalidate) {
  CControlUI::SetPos(rc, bNeedInvalidate);
  const RECT inset = InsetRect();
  for (CControlUI* child : m_items) {
    if (!child->IsVisible()) continue;
    if (child->IsFloat()) { PlaceFloat(child, inset); continue; }
    const RECT& pad = child->GetPadding();
    RECT r{inset.left + pad.left, inset.top + pad.top, inset.right - pad.right, inset.bottom - pad.bottom};
    if (child->GetFixedWidth() > 0) r.right = r.left + child->GetFixedWidth();
    if (child->GetFixedHeight() > 0) r.bottom = r.top + child->GetFixedHeight();
    child->SetPos(r, false);
  }
}

CControlUI* CContainerUI::FindControlAt(POINT pt) {
  if (!m_bVisible || !PtInRect(&m_rcItem, pt)) return nullptr;
  // Later children are painted above earlier ones.
  for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
    if (CControlUI* hit = (*it)->FindControlAt(pt)) return hit;
  }
  return this;
}

CControlUI* CContainerUI::FindControlByName(LPCTSTR name) {
  if (m_sName == name) return this;
  for (CControlUI* item : m_items) {
    if (CControlUI* found = item->FindControlByName(name)) return found;
  }
  return nullptr;
}

void CContainerUI::DoPaint(HDC hDC, const RECT& rcPaint) {
  RECT clip;
  if (!IntersectRect(&clip, &rcPaint, &m_rcItem)) return;
  PaintBackground(hDC);
  for (CControlUI* item : m_items) {
    RECT tmp;
    if (item->IsVisible() && IntersectRect(&tmp, &rcPaint, &item->GetPos())) item->DoPaint(hDC, rcPaint);
  }
}

namespace {

// Shares `available` pixels between the flexible children of a stacked layout.
template <typename FixedOf, typename PadOf>
std::vector<int> StackSizes(const std::vector<CControlUI*>& items, int available, FixedOf fixedOf, PadOf padOf) {
  std::vector<int> sizes(items.size(), 0);
  int flexible = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    CControlUI* c = items[i];
    if (!c->IsVisible() || c->IsFloat()) continue;
    available -= padOf(c);
    if (fixedOf(c) > 0) { sizes[i] = fixedOf(c); available -= sizes[i]; }
    else ++flexible;
  }
  int share = flexible > 0 && available > 0 ? available / flexible : 0;
  for (size_t i = 0; i < items.size(); ++i) {
    CControlUI* c = items[i];
    if (c->IsVisible() && !c->IsFloat() && fixedOf(c) <= 0) sizes[i] = share;
  }
  return sizes;
}

}  // namespace

void CVerticalLayoutUI::SetPos(RECT rc, bool bNeedInvalidate) {
  CControlUI::SetPos(rc, bNeedInvalidate);
  const RECT inset = InsetRect();
  auto sizes = StackSizes(m_items, inset.bottom - inset.top,
                          [](CControlUI* c) { return c->GetFixedHeight(); },
                          [](CControlUI* c) { return c->GetPadding().top + c->GetPadding().bottom; });
  int y = inset.top;
  for (size_t i = 0; i < m_items.size(); ++i) {
    CControlUI* c = m_items[i];
    if (!c->IsVisible()) continue;
    if (c->IsFloat()) { PlaceFloat(c, inset); continue; }
    const RECT& pad = c->GetPadding();
    y += pad.top;
    RECT r{inset.left + pad.left, y, inset.right - pad.right, y + sizes[i]};
    if (c->GetFixedWidth() > 0) r.right = r.left + c->GetFixedWidth();
    c->SetPos(r, false);
    y += sizes[i] + pad.bottom;
  }
}

void CHorizontalLayoutUI::SetPos(RECT rc, bool bNeedInvalidate) {
  CControlUI::SetPos(rc, bNeedInvalidate);
  const RECT inset = InsetRect();
  auto sizes = StackSizes(m_items, inset.right - inset.left,
                          [](CControlUI* c) { return c->GetFixedWidth(); },
                          [](CControlUI* c) { return c->GetPadding().left + c->GetPadding().right; });
  int x = inset.left;
  for (size_t i = 0; i < m_items.size(); ++i) {
    CControlUI* c = m_items[i];
    if (!c->IsVisible()) continue;
    if (c->IsFloat()) { PlaceFloat(c, inset); continue; }
    const RECT& pad = c->GetPadding();
    x += pad.left;
    RECT r{x, inset.top + pad.top, x + sizes[i], inset.bottom - pad.bottom};
    if (c->GetFixedHeight() > 0) r.bottom = r.top + c->GetFixedHeight();
    c->SetPos(r, false);
    x += sizes[i] + pad.right;
  }
}

// ---- buttons

bool CButtonUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
  if (wcscmp(name, L"normalimage") == 0) m_sNormalImage = value;
  else if (wcscmp(name, L"hotimage") == 0) m_sHotImage = value;
  else if (wcscmp(name, L"pushedimage") == 0) m_sPushedImage = value;
  else if (wcscmp(name, L"hotbkcolor") == 0) m_dwHotBkColor = ParseColor(value);
  else if (wcscmp(name, L"pushedbkcolor") == 0) m_dwPushedBkColor = ParseColor(value);
  else return CLabelUI::SetAttribute(name, value);
  return true;
}

void CButtonUI::SetHot(bool hot) {
  if (m_bHot != hot) { m_bHot = hot; Invalidate(); }
}

void CButtonUI::SetPushed(bool pushed) {
  if (m_bPushed != pushed) { m_bPushed = pushed; Invalidate(); }
}

void CButtonUI::DoPaint(HDC hDC, const RECT& rcPaint) {
  PaintBackground(hDC);
  // The pushed look wins over the hot look; each falls back to the one below.
  DWORD color = m_bPushed && m_dwPushedBkColor ? m_dwPushedBkColor
                : (m_bHot || m_bPushed) && m_dwHotBkColor ? m_dwHotBkColor : 0;
  FillArgb(hDC, m_rcItem, color);
  bool drawn = (m_bPushed && DrawImage(m_pManager, hDC, m_rcItem, m_sPushedImage)) ||
               ((m_bHot || m_bPushed) && DrawImage(m_pManager, hDC, m_rcItem, m_sHotImage));
  if (!drawn) DrawImage(m_pManager, hDC, m_rcItem, m_sNormalImage);
  PaintText(hDC, m_dwTextColor);
}

}  // namespace DuiLib
