#include "uilib/UIManager.h"

#include "uilib/GdiplusInclude.h"
#include <windowsx.h>

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
  delete m_pRoot;
  for (auto& f : m_fonts) DeleteObject(f.second);
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

Gdiplus::Image* CPaintManagerUI::GetImage(LPCTSTR name) {
  auto it = m_images.find(name);
  if (it != m_images.end()) return it->second.get();
  std::wstring path = s_resourcePath.str();
  if (!path.empty() && path.back() != L'\\') path += L'\\';
  path += name;
  std::unique_ptr<Gdiplus::Image> image(Gdiplus::Image::FromFile(path.c_str()));
  if (image && image->GetLastStatus() != Gdiplus::Ok) image.reset();
  // A missing image is remembered too, so it is looked for once.
  return (m_images[name] = std::move(image)).get();
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
  // resize never shows half-drawn controls.
  HDC mem = CreateCompatibleDC(hdc);
  HBITMAP bmp = CreateCompatibleBitmap(hdc, cx, cy);
  HGDIOBJ old = SelectObject(mem, bmp);
  HBRUSH bg = CreateSolidBrush(RGB((m_dwDefaultBkColor >> 16) & 0xFF, (m_dwDefaultBkColor >> 8) & 0xFF,
                                   m_dwDefaultBkColor & 0xFF));
  FillRect(mem, &ps.rcPaint, bg);
  DeleteObject(bg);
  if (m_pRoot && m_pRoot->IsVisible()) m_pRoot->DoPaint(mem, ps.rcPaint);
  BitBlt(hdc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
         ps.rcPaint.bottom - ps.rcPaint.top, mem, ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  EndPaint(m_hWndPaint, &ps);
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
