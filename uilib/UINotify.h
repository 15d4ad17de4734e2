#pragma once

#include "uilib/UIString.h"

namespace DuiLib {

class CControlUI;

#define DUI_MSGTYPE_CLICK _T("click")
#define DUI_MSGTYPE_WINDOWINIT _T("windowinit")

// A notification raised by a control and delivered to the window's notifiers.
typedef struct tagTNotifyUI {
  CDuiString sType;
  CDuiString sVirtualWnd;
  CControlUI* pSender = nullptr;
  DWORD dwTimestamp = 0;
  POINT ptMouse = {0, 0};
  WPARAM wParam = 0;
  LPARAM lParam = 0;
} TNotifyUI;

class INotifyUI {
 public:
  virtual void Notify(TNotifyUI& msg) = 0;
 protected:
  ~INotifyUI() = default;
};

class IMessageFilterUI {
 public:
  virtual LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) = 0;
 protected:
  ~IMessageFilterUI() = default;
};

class CNotifyPump;
typedef void (CNotifyPump::*DUI_PMSG)(TNotifyUI& msg);

// Handler kinds of a map entry.
enum DuiSig {
  DuiSig_end = 0,  // end of the entries
  DuiSig_lwl,      // reserved: LRESULT (WPARAM, LPARAM)
  DuiSig_vn,       // void (TNotifyUI&)
};

struct DUI_MSGMAP_ENTRY {
  CDuiString sMsgType;  // notification type, "" never matches
  CDuiString sCtrlName; // control name, "" matches every control
  UINT nSig;            // DuiSig
  DUI_PMSG pfn;
};

struct DUI_MSGMAP {
  const DUI_MSGMAP* (*pfnGetBaseMap)();  // null for the root map
  const DUI_MSGMAP_ENTRY* lpEntries;
};

// Delivers notifications through a chain of static maps, from the most
// derived map (GetMessageMap) to the root map CNotifyPump::messageMap.
class CNotifyPump {
 public:
  virtual ~CNotifyPump() = default;
  // Hands `msg` to the first matching entry along the chain; true if one ran.
  bool NotifyPump(TNotifyUI& msg) { return LoopDispatch(msg); }

 protected:
  static const DUI_MSGMAP messageMap;
  virtual const DUI_MSGMAP* GetMessageMap() const;
  bool LoopDispatch(TNotifyUI& msg);

 private:
  static const DUI_MSGMAP_ENTRY _messageEntries[];
};

#define DUI_DECLARE_MESSAGE_MAP()                               \
 private:                                                       \
  static const DuiLib::DUI_MSGMAP_ENTRY _messageEntries[];      \
                                                                \
 protected:                                                     \
  static const DuiLib::DUI_MSGMAP messageMap;                   \
  static const DuiLib::DUI_MSGMAP* _GetBaseMessageMap();        \
  const DuiLib::DUI_MSGMAP* GetMessageMap() const override;

#define DUI_BEGIN_MESSAGE_MAP(theClass, baseClass)                                              \
  const DuiLib::DUI_MSGMAP* theClass::_GetBaseMessageMap() { return &baseClass::messageMap; }   \
  const DuiLib::DUI_MSGMAP* theClass::GetMessageMap() const { return &theClass::messageMap; }   \
  const DuiLib::DUI_MSGMAP theClass::messageMap = {&theClass::_GetBaseMessageMap,              \
                                                   &theClass::_messageEntries[0]};              \
  const DuiLib::DUI_MSGMAP_ENTRY theClass::_messageEntries[] = {

#define DUI_ON_MSGTYPE(msgtype, memberFxn) \
  {msgtype, _T(""), DuiLib::DuiSig_vn, static_cast<DuiLib::DUI_PMSG>(&memberFxn)},

#define DUI_ON_MSGTYPE_CTRNAME(msgtype, ctrname, memberFxn) \
  {msgtype, ctrname, DuiLib::DuiSig_vn, static_cast<DuiLib::DUI_PMSG>(&memberFxn)},

#define DUI_END_MESSAGE_MAP() \
  {_T(""), _T(""), DuiLib::DuiSig_end, nullptr}};

}  // namespace DuiLib
