#include "uilib/UIManager.h"

#include "uilib/GdiplusInclude.h"
#include <windowsx.h>

#include <cstring>

namespace DuiLib {

// ---- notification maps

const DUI_MSGMAP_ENTRY CNotifyPump::_messageEntries[] = {
    {_T(""), _T(""), DuiSig_end, nullptr},
};
const DUI_MSGMAP CNotifyPump::messageMap = {nullptr, &CNotifyPump::_messageEntries[0]};

const DUI_MSGMAP* CNotifyPump::GetMessageMap() const { return &CNotifyPump::messageMap; }

bool CNotifyPump::LoopDispatch(TNotifyUI& msg) {
  const CDuiString name = msg.pSender ? msg.pSender->GetName() : CDuiString();
  for (const DUI_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const DUI_MSGMAP_ENTRY* e = map->lpEntries; e && e->nSig != DuiSig_end; ++e) {
      if (e->sMsgType != msg.sType) continue;
      if (!e->sCtrlName.IsEmpty() && e->sCtrlName != name) continue;
      if (e->nSig == DuiSig_vn && e->pfn) {
        (this->*(e->pfn))(msg);
        return true;
      }
    }
  }
  return false;
}

// ---- paint manager

HINSTANCE CPaintManagerUI::s_hInstance = nullptr;
CDuiString CPaintManagerUI::s_resourcePath;

namespace {

// GDI+ is started once for the process, on the first window, and left to
// process exit: images may be alive until the last window is gone.
void EnsureGdiplus() {
  static ULONG_PTR token = 0;
  if (!token) {
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
  }
}

}  // namespace

CPaintManagerUI::CPaintManagerUI() = default;

CPaintManagerUI::~CPaintManagerUI() {
  ReleaseBackBuffer();
  delete m_pRoot;
  for (auto& f : m_fonts) DeleteObject(f.second);
  for (auto& i : m_images) {
    if (!i.second.hDC) continue;
    SelectObject(i.second.hDC, i.second.hOldBitmap);
    DeleteObject(i.second.hBitmap);
    DeleteDC(i.second.hDC);
  }
}

void CPaintManagerUI::Init(HWND hWnd) {
  EnsureGdiplus();
  m_hWndPaint = hWnd;
}

void CPaintManagerUI::SetInstance(HINSTANCE hInst) { s_hInstance = hInst; }

HINSTANCE CPaintManagerUI::GetInstance() { return s_hInstance ? s_hInstance : GetModuleHandleW(nullptr); }

CDuiString CPaintManagerUI::GetInstancePath() {
  wchar_t path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameW(GetInstance(), path, MAX_PATH);
  std::wstring s(path, n);
  size_t slash = s.find_last_of(L"\\/");
  return CDuiString(slash == std::wstring::npos ? std::wstring() : s.substr(0, slash + 1));
}

void CPaintManagerUI::SetResourcePath(LPCTSTR path) { s_resourcePath = path; }
const CDuiString& CPaintManagerUI::GetResourcePath() { return s_resourcePath; }

bool CPaintManagerUI::AttachDialog(CControlUI* root) {
  delete m_pRoot;
  m_pRoot = root;
  m_pEventHover = m_pEventClick = nullptr;
  if (m_pRoot) m_pRoot->SetManager(this, nullptr);
  LayoutRoot();
  return m_pRoot != nullptr;
}

void CPaintManagerUI::SetInitSize(int cx, int cy) {
  m_szInitWindowSize = {cx, cy};
  if (m_hWndPaint && cx > 0 && cy > 0)
    SetWindowPos(m_hWndPaint, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

void CPaintManagerUI::AddFont(int id, LPCTSTR face, int size, bool bold) {
  HFONT font = CreateFontW(-size, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, face);
  auto it = m_fonts.find(id);
  if (it != m_fonts.end()) DeleteObject(it->second);
  m_fonts[id] = font;
}

HFONT CPaintManagerUI::GetFont(int id) const {
  auto it = m_fonts.find(id);
  if (it != m_fonts.end()) return it->second;
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

const TImageInfo* CPaintManagerUI::GetImage(LPCTSTR name) {
  auto it = m_images.find(name);
  if (it != m_images.end()) return it->second.hDC ? &it->second : nullptr;
  TImageInfo& info = m_images[name];  // a missing image is looked for once
  std::wstring path = s_resourcePath.str();
  if (!path.empty() && path.back() != L'\\') path += L'\\';
  path += name;
  // Decoded once with GDI+, then drawn with plain GDI: a paint copies
  // pixels instead of decoding or converting them again.
  Gdiplus::Bitmap bitmap(path.c_str());
  if (bitmap.GetLastStatus() != Gdiplus::Ok || bitmap.GetWidth() == 0 || bitmap.GetHeight() == 0) return nullptr;
  const int cx = static_cast<int>(bitmap.GetWidth()), cy = static_cast<int>(bitmap.GetHeight());
  Gdiplus::Rect rect(0, 0, cx, cy);
  Gdiplus::BitmapData data;
  if (bitmap.LockBits(&rect, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data) != Gdiplus::Ok) return nullptr;
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = cx;
  bi.bmiHeader.biHeight = -cy;  // top-down, as GDI+ hands the rows
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib && bits) {
    for (int y = 0; y < cy; ++y)
      memcpy(static_cast<BYTE*>(bits) + y * cx * 4, static_cast<BYTE*>(data.Scan0) + y * data.Stride, cx * 4);
  }
  bitmap.UnlockBits(&data);
  if (!dib) return nullptr;
  info.hDC = CreateCompatibleDC(nullptr);
  info.hBitmap = dib;
  info.hOldBitmap = SelectObject(info.hDC, dib);
  info.cx = cx;
  info.cy = cy;
  return &info;
}

CControlUI* CPaintManagerUI::FindControl(LPCTSTR name) const {
  return m_pRoot ? m_pRoot->FindControlByName(name) : nullptr;
}

CControlUI* CPaintManagerUI::FindControl(POINT pt) const {
  return m_pRoot ? m_pRoot->FindControlAt(pt) : nullptr;
}

bool CPaintManagerUI::AddNotifier(INotifyUI* notifier) {
  m_aNotifiers.push_back(notifier);
  return true;
}

void CPaintManagerUI::SendNotify(CControlUI* sender, LPCTSTR type, WPARAM wParam, LPARAM lParam) {
  TNotifyUI msg;
  msg.sType = type;
  msg.pSender = sender;
  msg.dwTimestamp = GetTickCount();
  msg.wParam = wParam;
  msg.lParam = lParam;
  GetCursorPos(&msg.ptMouse);
  if (m_hWndPaint) ScreenToClient(m_hWndPaint, &msg.ptMouse);
  // A notifier may add notifiers; iterate over a copy.
  std::vector<INotifyUI*> notifiers = m_aNotifiers;
  for (INotifyUI* n : notifiers) n->Notify(msg);
}

void CPaintManagerUI::Invalidate(const RECT& rc) {
  if (m_hWndPaint) InvalidateRect(m_hWndPaint, &rc, FALSE);
}

void CPaintManagerUI::LayoutRoot() {
  if (!m_hWndPaint || !m_pRoot) return;
  RECT rc;
  GetClientRect(m_hWndPaint, &rc);
  m_pRoot->SetPos(rc, false);
  InvalidateRect(m_hWndPaint, nullptr, FALSE);
}

void CPaintManagerUI::Paint() {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(m_hWndPaint, &ps);
  RECT client;
  GetClientRect(m_hWndPaint, &client);
  const int cx = client.right > 0 ? client.right : 1;
  const int cy = client.bottom > 0 ? client.bottom : 1;
  // Everything is drawn into one off-screen bitmap and copied at once, so a
  // resize never shows half-drawn controls. The bitmap is kept while the
  // window keeps its size.
  if (!m_hBackDC || m_szBack.cx != cx || m_szBack.cy != cy) {
    ReleaseBackBuffer();
    m_hBackDC = CreateCompatibleDC(hdc);
    m_hBackBitmap = CreateCompatibleBitmap(hdc, cx, cy);
    m_hOldBackBitmap = SelectObject(m_hBackDC, m_hBackBitmap);
    m_szBack = {cx, cy};
  }
  HDC mem = m_hBackDC;
  HBRUSH bg = CreateSolidBrush(RGB((m_dwDefaultBkColor >> 16) & 0xFF, (m_dwDefaultBkColor >> 8) & 0xFF,
                                   m_dwDefaultBkColor & 0xFF));
  FillRect(mem, &ps.rcPaint, bg);
  DeleteObject(bg);
  // Controls paint what intersects the update rectangle; clip the rest.
  HRGN clip = CreateRectRgnIndirect(&ps.rcPaint);
  SelectClipRgn(mem, clip);
  if (m_pRoot && m_pRoot->IsVisible()) m_pRoot->DoPaint(mem, ps.rcPaint);
  SelectClipRgn(mem, nullptr);
  DeleteObject(clip);
  BitBlt(hdc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
         ps.rcPaint.bottom - ps.rcPaint.top, mem, ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
  EndPaint(m_hWndPaint, &ps);
}

void CPaintManagerUI::ReleaseBackBuffer() {
  if (!m_hBackDC) return;
  SelectObject(m_hBackDC, m_hOldBackBitmap);
  DeleteObject(m_hBackBitmap);
  DeleteDC(m_hBackDC);
  m_hBackDC = nullptr;
  m_hBackBitmap = nullptr;
  m_hOldBackBitmap = nullptr;
  m_szBack = {0, 0};
}

void CPaintManagerUI::SetHot(CControlUI* control) {
  if (control == m_pEventHover) return;
  if (m_pEventHover && m_pEventHover->IsMouseTarget()) static_cast<CButtonUI*>(m_pEventHover)->SetHot(false);
  m_pEventHover = control;
  if (m_pEventHover && m_pEventHover->IsMouseTarget()) static_cast<CButtonUI*>(m_pEventHover)->SetHot(true);
}

bool CPaintManagerUI::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes) {
  if (!m_hWndPaint) return false;
  switch (uMsg) {
    case WM_ERASEBKGND:
      lRes = 1;  // WM_PAINT covers every pixel.
      return true;
    case WM_PAINT:
      Paint();
      lRes = 0;
      return true;
    case WM_SIZE:
      LayoutRoot();
      return false;
    case WM_MOUSEMOVE: {
      if (!m_bMouseTracking) {
        TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE, m_hWndPaint, 0};
        m_bMouseTracking = TrackMouseEvent(&tme) != FALSE;
      }
      POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      CControlUI* hit = FindControl(pt);
      if (hit && !hit->IsMouseTarget()) hit = nullptr;
      SetHot(hit);
      // A pressed button looks pressed only while the mouse is over it.
      if (m_pEventClick) static_cast<CButtonUI*>(m_pEventClick)->SetPushed(hit == m_pEventClick);
      return false;
    }
    case WM_MOUSELEAVE:
      m_bMouseTracking = false;
      if (!m_pEventClick) SetHot(nullptr);
      return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      CControlUI* hit = FindControl(pt);
      if (!hit || !hit->IsMouseTarget() || !hit->IsEnabled()) return false;
      m_pEventClick = hit;
      static_cast<CButtonUI*>(hit)->SetPushed(true);
      SetCapture(m_hWndPaint);
      lRes = 0;
      return true;
    }
    case WM_LBUTTONUP: {
      if (!m_pEventClick) return false;
      POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      CControlUI* pressed = m_pEventClick;
      m_pEventClick = nullptr;
      static_cast<CButtonUI*>(pressed)->SetPushed(false);
      if (GetCapture() == m_hWndPaint) ReleaseCapture();
      // A click is a release over the control that was pressed.
      if (FindControl(pt) == pressed) SendNotify(pressed, DUI_MSGTYPE_CLICK);
      lRes = 0;
      return true;
    }
    case WM_CAPTURECHANGED:
      if (m_pEventClick && reinterpret_cast<HWND>(lParam) != m_hWndPaint) {
        static_cast<CButtonUI*>(m_pEventClick)->SetPushed(false);
        m_pEventClick = nullptr;
      }
      return false;
    default:
      return false;
  }
}

}  // namespace DuiLib
