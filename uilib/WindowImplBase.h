#pragma once

#include "uilib/UIBase.h"
#include "uilib/UIBuilder.h"
#include "uilib/UIManager.h"
#include "uilib/UINotify.h"

namespace DuiLib {

// A skinned window: its content is built from a layout file, no native
// caption or frame is drawn whatever the window style, the layout's caption
// band drags the window and its sizing borders resize it. Notifications of
// its controls go through its message map; "click" falls back to OnClick.
class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback {
 public:
  WindowImplBase() = default;
  ~WindowImplBase() override = default;

  // Runs inside Create, after the layout has been built.
  virtual void InitWindow() {}
  void OnFinalMessage(HWND hWnd) override;
  void Notify(TNotifyUI& msg) override;
  // The default click handling: "closebtn" closes the window, "minbtn",
  // "maxbtn" and "restorebtn" send the matching system commands.
  virtual void OnClick(TNotifyUI& msg);

 protected:
  virtual CDuiString GetSkinFolder() { return CDuiString(); }
  virtual CDuiString GetSkinFile() = 0;
  LPCTSTR GetWindowClassName() const override = 0;
  // Return and Escape reach the window as keys; TRUE swallows them.
  virtual LRESULT ResponseDefaultKeyEvent(WPARAM wParam);

  CControlUI* CreateControl(LPCTSTR pstrClass) override { return nullptr; }
  LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

  virtual LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnNcActivate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnNcCalcSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnNcPaint(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnNcHitTest(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnGetMinMaxInfo(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnKeyDown(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnMouseMove(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;

  CPaintManagerUI m_PaintManager;

 private:
  void UpdateCaptionButtons();
  void KeepOwnedWindowsAbove(bool remap);
  bool m_bShowing = false;  // between WM_WINDOWPOSCHANGING and -CHANGED of a show
};

}  // namespace DuiLib
