#pragma once

#include "uilib/UIControl.h"
#include "uilib/UINotify.h"

#include <map>
#include <memory>
#include <vector>

namespace DuiLib {

// A skin image ready for drawing: premultiplied 32-bit pixels selected into
// a memory DC, drawn with AlphaBlend.
struct TImageInfo {
  HDC hDC = nullptr;
  HBITMAP hBitmap = nullptr;
  HGDIOBJ hOldBitmap = nullptr;
  int cx = 0;
  int cy = 0;
};

// One per window: owns the window's control tree, paints it double-buffered,
// turns mouse input into button states and "click" notifications, and keeps
// the window attributes of the layout (caption band, sizing borders, minimum
// size). Window thread only.
class CPaintManagerUI {
 public:
  CPaintManagerUI();
  ~CPaintManagerUI();

  void Init(HWND hWnd);
  HWND GetPaintWindow() const { return m_hWndPaint; }

  // Takes ownership of `root` (may be null: an empty window).
  bool AttachDialog(CControlUI* root);
  CControlUI* GetRoot() const { return m_pRoot; }
  CControlUI* FindControl(LPCTSTR name) const;
  CControlUI* FindControl(POINT pt) const;

  bool AddNotifier(INotifyUI* notifier);
  void SendNotify(CControlUI* sender, LPCTSTR type, WPARAM wParam = 0, LPARAM lParam = 0);

  // Window attributes from the layout's Window element.
  void SetInitSize(int cx, int cy);
  SIZE GetInitSize() const { return m_szInitWindowSize; }
  const RECT& GetCaptionRect() const { return m_rcCaption; }
  void SetCaptionRect(const RECT& rc) { m_rcCaption = rc; }
  const RECT& GetSizeBox() const { return m_rcSizeBox; }
  void SetSizeBox(const RECT& rc) { m_rcSizeBox = rc; }
  SIZE GetMinInfo() const { return m_szMinWindow; }
  void SetMinInfo(int cx, int cy) { m_szMinWindow = {cx, cy}; }
  void AddFont(int id, LPCTSTR face, int size, bool bold);
  HFONT GetFont(int id) const;
  DWORD GetDefaultBkColor() const { return m_dwDefaultBkColor; }
  void SetDefaultBkColor(DWORD color) { m_dwDefaultBkColor = color; }

  // An image of the resource path, decoded once per window with GDI+; null
  // when the file is missing or not an image.
  const TImageInfo* GetImage(LPCTSTR name);
  void Invalidate(const RECT& rc);

  // The library's handling of a window message; true when it answered
  // the message (lRes holds the answer).
  bool MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);

  static void SetInstance(HINSTANCE hInst);
  static HINSTANCE GetInstance();
  // The executable's folder, ending in a backslash.
  static CDuiString GetInstancePath();
  static void SetResourcePath(LPCTSTR path);
  static const CDuiString& GetResourcePath();

 private:
  void Paint();
  void ReleaseBackBuffer();
  void LayoutRoot();
  void SetHot(CControlUI* control);

  HWND m_hWndPaint = nullptr;
  HDC m_hBackDC = nullptr;  // the off-screen bitmap of the last paint's size
  HBITMAP m_hBackBitmap = nullptr;
  HGDIOBJ m_hOldBackBitmap = nullptr;
  SIZE m_szBack = {0, 0};
  CControlUI* m_pRoot = nullptr;
  CControlUI* m_pEventHover = nullptr;
  CControlUI* m_pEventClick = nullptr;
  bool m_bMouseTracking = false;
  std::vector<INotifyUI*> m_aNotifiers;
  SIZE m_szInitWindowSize = {0, 0};
  SIZE m_szMinWindow = {0, 0};
  RECT m_rcCaption = {0, 0, 0, 0};
  RECT m_rcSizeBox = {0, 0, 0, 0};
  DWORD m_dwDefaultBkColor = 0xFF1E2630;
  std::map<int, HFONT> m_fonts;
  std::map<std::wstring, TImageInfo> m_images;  // a missing image is kept empty

  static HINSTANCE s_hInstance;
  static CDuiString s_resourcePath;
};

}  // namespace DuiLib
