#include "uilib/UIlib.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "support/win_test_util.h"

using namespace DuiLib;
using qmtest::PumpFor;
using qmtest::PumpUntil;

namespace {

// A window of the library that records the clicks its map delivers.
class RecordingWindow : public WindowImplBase {
 public:
  explicit RecordingWindow(const wchar_t* file) : m_file(file) {}
  std::vector<std::wstring> clicks;
  bool destroyed = false;
  CPaintManagerUI& manager() { return m_PaintManager; }

  void OnClick(TNotifyUI& msg) override {
    clicks.push_back(msg.pSender ? msg.pSender->GetName().str() : L"?");
    WindowImplBase::OnClick(msg);
  }

 protected:
  DUI_DECLARE_MESSAGE_MAP()
  LPCTSTR GetWindowClassName() const override { return _T("UilibTestWnd"); }
  CDuiString GetSkinFile() override { return m_file; }
  void OnFinalMessage(HWND) override { destroyed = true; }

 private:
  CDuiString m_file;
};

DUI_BEGIN_MESSAGE_MAP(RecordingWindow, CNotifyPump)
DUI_ON_MSGTYPE(DUI_MSGTYPE_CLICK, RecordingWindow::OnClick)
DUI_END_MESSAGE_MAP()

const char kLayout[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<Window size="400,300" caption="0,0,0,40" sizebox="4,4,4,4" mininfo="200,150">
  <Font id="0" name="Tahoma" size="12" bold="true"/>
  <VerticalLayout name="root" bkcolor="#FF203040">
    <HorizontalLayout name="title" height="40" bkcolor="#FF102030">
      <Label name="caption" text="标题" textcolor="#FFFFFFFF" font="0"/>
      <Button name="minbtn" width="30" hotbkcolor="#FF404040" pushedbkcolor="#FF808080"/>
      <Button name="maxbtn" width="30"/>
      <Button name="restorebtn" width="30" visible="false"/>
      <Button name="closebtn" width="30"/>
    </HorizontalLayout>
    <Container name="body" padding="10,5,10,5">
      <Button name="okbtn" float="true" pos="20,30,120,60" text="OK"/>
      <Button float="true" pos="140,30,240,60" text="unnamed"/>
      <Text name="note" float="true" pos="20,100,380,140" text="text"/>
    </Container>
    <Control name="footer" height="20"/>
  </VerticalLayout>
</Window>
)";

class UilibWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    skin_.Write(L"Test.xml", kLayout);
    CPaintManagerUI::SetResourcePath(skin_.path().c_str());
  }
  void TearDown() override {
    if (wnd_ && IsWindow(*wnd_)) DestroyWindow(*wnd_);
    PumpFor(20);
    delete wnd_;
  }
  RecordingWindow* Open(const wchar_t* file = L"Test.xml",
                        DWORD style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU |
                                      WS_MINIMIZEBOX | WS_MAXIMIZEBOX) {
    wnd_ = new RecordingWindow(file);
    wnd_->Create(nullptr, L"uilib test", style, 0, 100, 100, 0, 0);
    PumpFor(50);
    return wnd_;
  }
  RECT PosOf(const wchar_t* name) {
    CControlUI* c = wnd_->manager().FindControl(name);
    EXPECT_NE(nullptr, c) << "no control " << testing::PrintToString(std::wstring(name));
    return c ? c->GetPos() : RECT{};
  }
  POINT CenterOf(const wchar_t* name) {
    RECT r = PosOf(name);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }

  qmtest::TempFolder skin_;
  RecordingWindow* wnd_ = nullptr;
};

TEST_F(UilibWindowTest, LayoutPlacesControlsAndSizesTheWindow) {
  Open();
  ASSERT_TRUE(IsWindow(*wnd_));
  // The window takes the layout's size; no frame or caption is drawn, so the
  // client area is the whole window although the style has both.
  RECT wr = qmtest::WindowRect(*wnd_), cr = qmtest::ClientRect(*wnd_);
  EXPECT_EQ(400, wr.right - wr.left);
  EXPECT_EQ(300, wr.bottom - wr.top);
  EXPECT_EQ(400, cr.right);
  EXPECT_EQ(300, cr.bottom);
  struct {
    const wchar_t* name;
    RECT expected;
  } cases[] = {
      {L"root", {0, 0, 400, 300}},
      {L"title", {0, 0, 400, 40}},
      {L"caption", {0, 0, 310, 40}},  // the flexible rest of the title row
      {L"minbtn", {310, 0, 340, 40}},
      {L"maxbtn", {340, 0, 370, 40}},
      {L"closebtn", {370, 0, 400, 40}},  // restorebtn is hidden and takes no room
      {L"body", {10, 45, 390, 275}},     // padding 10,5,10,5 around the rest
      {L"okbtn", {30, 75, 130, 105}},    // float: pos relative to the body
      {L"note", {30, 145, 390, 185}},
      {L"footer", {0, 280, 400, 300}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
    RECT got = PosOf(c.name);
    EXPECT_EQ(c.expected.left, got.left);
    EXPECT_EQ(c.expected.top, got.top);
    EXPECT_EQ(c.expected.right, got.right);
    EXPECT_EQ(c.expected.bottom, got.bottom);
  }
  EXPECT_EQ(L"标题", wnd_->manager().FindControl(L"caption")->GetText().str());
  // A resize lays the tree out again.
  SetWindowPos(*wnd_, nullptr, 0, 0, 600, 400, SWP_NOMOVE | SWP_NOZORDER);
  PumpFor(20);
  EXPECT_EQ(600, PosOf(L"title").right);
  EXPECT_EQ(400, PosOf(L"footer").bottom);
  // Skinned whatever the style: switching the style keeps the whole window as client.
  SetWindowLongW(*wnd_, GWL_STYLE, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
  SetWindowPos(*wnd_, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  SetWindowLongW(*wnd_, GWL_STYLE, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  SetWindowPos(*wnd_, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  cr = qmtest::ClientRect(*wnd_);
  EXPECT_EQ(600, cr.right);
  EXPECT_EQ(400, cr.bottom);
}

TEST_F(UilibWindowTest, PostedClickOnButtonNotifiesOnceWithItsSender) {
  Open();
  POINT ok = CenterOf(L"okbtn");
  qmtest::PostClick(*wnd_, ok.x, ok.y);
  PumpFor(50);
  ASSERT_EQ(1u, wnd_->clicks.size());
  EXPECT_EQ(L"okbtn", wnd_->clicks[0]);

  // An unnamed button is a sender too.
  POINT unnamed = {190, 90};
  qmtest::PostClick(*wnd_, unnamed.x, unnamed.y);
  PumpFor(50);
  ASSERT_EQ(2u, wnd_->clicks.size());
  EXPECT_EQ(L"", wnd_->clicks[1]);

  // Clicks on a label or the background are no button clicks.
  POINT note = CenterOf(L"note");
  qmtest::PostClick(*wnd_, note.x, note.y);
  PumpFor(50);
  EXPECT_EQ(2u, wnd_->clicks.size());
}

TEST_F(UilibWindowTest, PressThatLeavesTheButtonBeforeReleaseIsNoClick) {
  Open();
  POINT ok = CenterOf(L"okbtn");
  auto* button = static_cast<CButtonUI*>(wnd_->manager().FindControl(L"okbtn"));
  PostMessageW(*wnd_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(ok.x, ok.y));
  PumpFor(20);
  EXPECT_TRUE(button->IsPushed());
  EXPECT_EQ(*wnd_, GetCapture());
  PostMessageW(*wnd_, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(300, 250));
  PumpFor(20);
  EXPECT_FALSE(button->IsPushed());  // the pressed look follows the mouse
  PostMessageW(*wnd_, WM_LBUTTONUP, 0, MAKELPARAM(300, 250));
  PumpFor(20);
  EXPECT_TRUE(wnd_->clicks.empty());
  EXPECT_EQ(nullptr, GetCapture());
  // Coming back over the button and releasing there is a click again.
  PostMessageW(*wnd_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(ok.x, ok.y));
  PostMessageW(*wnd_, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(300, 250));
  PostMessageW(*wnd_, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(ok.x, ok.y));
  PostMessageW(*wnd_, WM_LBUTTONUP, 0, MAKELPARAM(ok.x, ok.y));
  PumpFor(20);
  EXPECT_EQ(1u, wnd_->clicks.size());
}

TEST_F(UilibWindowTest, HoverMarksTheButtonHotUntilTheMouseLeaves) {
  Open();
  POINT ok = CenterOf(L"okbtn");
  auto* button = static_cast<CButtonUI*>(wnd_->manager().FindControl(L"okbtn"));
  PostMessageW(*wnd_, WM_MOUSEMOVE, 0, MAKELPARAM(ok.x, ok.y));
  PumpFor(20);
  EXPECT_TRUE(button->IsHot());
  PostMessageW(*wnd_, WM_MOUSEMOVE, 0, MAKELPARAM(300, 250));
  PumpFor(20);
  EXPECT_FALSE(button->IsHot());
}

TEST_F(UilibWindowTest, HitTestGivesCaptionSizingBordersAndButtons) {
  Open();
  RECT wr = qmtest::WindowRect(*wnd_);
  struct {
    const char* what;
    int x, y;  // client coordinates
    LRESULT expected;
  } cases[] = {
      {"caption label", 100, 20, HTCAPTION},
      {"button in the caption", 325, 20, HTCLIENT},
      {"body", 200, 200, HTCLIENT},
      {"top-left corner", 1, 1, HTTOPLEFT},
      {"right border", 398, 150, HTRIGHT},
      {"bottom border", 200, 298, HTBOTTOM},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    LRESULT got = SendMessageW(*wnd_, WM_NCHITTEST, 0, MAKELPARAM(wr.left + c.x, wr.top + c.y));
    EXPECT_EQ(c.expected, got);
  }
}

TEST_F(UilibWindowTest, RealDragOnTheCaptionMovesTheWindow) {
  Open();
  SetForegroundWindow(*wnd_);
  PumpFor(50);
  const RECT before = qmtest::WindowRect(*wnd_);
  // The system's move loop runs inside the window thread's dispatch, so the
  // mouse is driven from another thread while this one pumps.
  std::thread mouse([&] {
    qmtest::MouseMoveTo(before.left + 100, before.top + 20);
    Sleep(50);
    qmtest::MouseButton(true);
    Sleep(50);
    for (int i = 1; i <= 10; ++i) {
      qmtest::MouseMoveTo(before.left + 100 + 8 * i, before.top + 20 + 5 * i);
      Sleep(20);
    }
    qmtest::MouseButton(false);
  });
  const RECT* b = &before;
  HWND hwnd = *wnd_;
  bool moved = PumpUntil([&] {
    RECT r = qmtest::WindowRect(hwnd);
    return r.left == b->left + 80 && r.top == b->top + 50;
  }, 3000);
  mouse.join();
  PumpFor(50);
  EXPECT_TRUE(moved);
  RECT after = qmtest::WindowRect(*wnd_);
  EXPECT_EQ(before.left + 80, after.left);
  EXPECT_EQ(before.top + 50, after.top);
  EXPECT_TRUE(wnd_->clicks.empty());
}

TEST_F(UilibWindowTest, CaptionButtonsDoWhatTheBasePromises) {
  Open();
  MONITORINFO mi = {sizeof(mi)};
  GetMonitorInfoW(MonitorFromWindow(*wnd_, MONITOR_DEFAULTTONEAREST), &mi);

  POINT maxbtn = CenterOf(L"maxbtn");
  qmtest::PostClick(*wnd_, maxbtn.x, maxbtn.y);
  ASSERT_TRUE(PumpUntil([&] { return IsZoomed(*wnd_) != FALSE; }, 2000));
  PumpFor(50);
  // Maximised, the window fills the work area.
  RECT wr = qmtest::WindowRect(*wnd_);
  EXPECT_EQ(mi.rcWork.left, wr.left);
  EXPECT_EQ(mi.rcWork.top, wr.top);
  EXPECT_EQ(mi.rcWork.right, wr.right);
  EXPECT_EQ(mi.rcWork.bottom, wr.bottom);
  EXPECT_FALSE(wnd_->manager().FindControl(L"maxbtn")->IsVisible());
  ASSERT_TRUE(wnd_->manager().FindControl(L"restorebtn")->IsVisible());

  POINT restore = CenterOf(L"restorebtn");
  qmtest::PostClick(*wnd_, restore.x, restore.y);
  ASSERT_TRUE(PumpUntil([&] { return !IsZoomed(*wnd_); }, 2000));
  PumpFor(50);
  EXPECT_TRUE(wnd_->manager().FindControl(L"maxbtn")->IsVisible());
  EXPECT_FALSE(wnd_->manager().FindControl(L"restorebtn")->IsVisible());

  POINT minbtn = CenterOf(L"minbtn");
  qmtest::PostClick(*wnd_, minbtn.x, minbtn.y);
  EXPECT_TRUE(PumpUntil([&] { return IsIconic(*wnd_) != FALSE; }, 2000));
  ShowWindow(*wnd_, SW_RESTORE);
  PumpFor(50);

  POINT closebtn = CenterOf(L"closebtn");
  qmtest::PostClick(*wnd_, closebtn.x, closebtn.y);
  EXPECT_TRUE(PumpUntil([&] { return wnd_->destroyed; }, 2000));
  EXPECT_EQ((std::vector<std::wstring>{L"maxbtn", L"restorebtn", L"minbtn", L"closebtn"}), wnd_->clicks);
}

struct ModalProbe {
  RecordingWindow* w = nullptr;
  HWND owner = nullptr;
  bool ownerDisabledInside = false;
};
ModalProbe g_probe;

// Runs inside the modal loop: checks the owner, then closes the window.
void CALLBACK CloseFromInsideModalLoop(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  g_probe.ownerDisabledInside = !IsWindowEnabled(g_probe.owner);
  g_probe.w->Close(42);
}

void CALLBACK QuitFromInsideModalLoop(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  PostQuitMessage(5);
}

TEST_F(UilibWindowTest, ShowModalEndsWhenTheWindowIsDestroyedAndReenablesTheOwner) {
  HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                               nullptr, nullptr);
  wnd_ = new RecordingWindow(L"Test.xml");
  wnd_->Create(owner, L"modal", WS_POPUP | WS_VISIBLE, 0);
  g_probe = {wnd_, owner, false};
  SetTimer(nullptr, 0, 50, &CloseFromInsideModalLoop);
  UINT result = wnd_->ShowModal();
  EXPECT_EQ(42u, result);
  EXPECT_TRUE(g_probe.ownerDisabledInside);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_FALSE(IsWindow(*wnd_));
  EXPECT_FALSE(qmtest::TakeQuit());
  DestroyWindow(owner);
}

TEST_F(UilibWindowTest, ShowModalEndsOnQuitAndPostsItAgain) {
  Open();
  SetTimer(nullptr, 0, 50, &QuitFromInsideModalLoop);
  wnd_->ShowModal();
  EXPECT_TRUE(IsWindow(*wnd_));  // the window stays; only the loop ended
  int code = -1;
  EXPECT_TRUE(qmtest::TakeQuit(&code));
  EXPECT_EQ(5, code);
}

bool IsAbove(HWND upper, HWND lower) {
  for (HWND h = GetWindow(upper, GW_HWNDNEXT); h; h = GetWindow(h, GW_HWNDNEXT))
    if (h == lower) return true;
  return false;
}

// An overlapped owner shown or activated after its owned window must not
// cover it: owned windows stay above their owner.
TEST_F(UilibWindowTest, OwnedWindowsStayAboveTheirOwner) {
  wnd_ = new RecordingWindow(L"Test.xml");
  wnd_->Create(nullptr, L"owner", WS_OVERLAPPEDWINDOW, 0, 100, 100, 0, 0);
  RecordingWindow owned(L"Test.xml");
  owned.Create(*wnd_, L"owned", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 150, 150, 0, 0);
  ::ShowWindow(*wnd_, SW_SHOWNORMAL);
  PumpFor(200);
  EXPECT_TRUE(IsAbove(owned, *wnd_));
  SetForegroundWindow(*wnd_);
  SetWindowPos(*wnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  PumpFor(200);
  EXPECT_TRUE(IsAbove(owned, *wnd_));
  EXPECT_EQ(*wnd_, GetForegroundWindow());  // the owner keeps the activation
  DestroyWindow(owned);
}

// Broken installs must not crash: each row opens a window from a layout that
// is wrong in one way and checks what the library made of it.
TEST_F(UilibWindowTest, BrokenLayoutsOpenWithoutCrashing) {
  struct {
    const char* what;
    const char* xml;  // null: no file at all
    bool hasRoot;
    const wchar_t* control;  // a control that must exist, or null
    int width;               // expected control width, or -1
  } cases[] = {
      {"missing file", nullptr, false, nullptr, -1},
      {"empty file", "", false, nullptr, -1},
      {"malformed XML", "<Window size=\"300,200\"><VerticalLayout><Button name=\"a\"></VerticalLayout>", false,
       nullptr, -1},
      {"not XML at all", "\x89PNG\r\n\x1a\n garbage", false, nullptr, -1},
      {"unknown element skipped with its content",
       "<Window><VerticalLayout name=\"r\"><Gadget><Button name=\"inner\"/></Gadget>"
       "<Button name=\"b\" width=\"40\"/></VerticalLayout></Window>",
       true, L"b", 40},
      {"unknown attribute ignored",
       "<Window><VerticalLayout><Button name=\"b\" sparkle=\"yes\" width=\"50\"/></VerticalLayout></Window>", true,
       L"b", 50},
      {"missing image", "<Window><VerticalLayout bkimage=\"nothere.png\"><Button name=\"b\" width=\"60\" "
                        "normalimage=\"nothere.png\" hotimage=\"gone.png\"/></VerticalLayout></Window>",
       true, L"b", 60},
      {"non-numeric size",
       "<Window size=\"wide,tall\"><HorizontalLayout><Button name=\"b\" width=\"abc\"/>"
       "</HorizontalLayout></Window>",
       true, L"b", -1},
      {"children of a non-container dropped",
       "<Window><Container><Button name=\"b\" width=\"70\"><Button name=\"c\"/></Button></Container></Window>", true, L"b", 70},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.xml) skin_.Write(L"Broken.xml", c.xml);
    else DeleteFileW((skin_.path() + L"\\Broken.xml").c_str());
    RecordingWindow* w = new RecordingWindow(L"Broken.xml");
    HWND hwnd = w->Create(nullptr, L"broken", WS_POPUP | WS_VISIBLE, 0, 10, 10, 320, 240);
    ASSERT_TRUE(IsWindow(hwnd));
    PumpFor(30);  // paints, images included
    EXPECT_EQ(c.hasRoot, w->manager().GetRoot() != nullptr);
    RECT wr = qmtest::WindowRect(hwnd);
    EXPECT_EQ(320, wr.right - wr.left);  // no usable size in the layout: the given size stays
    if (c.control) {
      CControlUI* ctl = w->manager().FindControl(c.control);
      ASSERT_NE(nullptr, ctl);
      if (c.width >= 0) EXPECT_EQ(c.width, ctl->GetWidth());
    }
    EXPECT_EQ(nullptr, w->manager().FindControl(L"inner"));
    EXPECT_EQ(nullptr, w->manager().FindControl(L"c"));
    // Clicking around an empty or partial window is harmless.
    qmtest::PostClick(hwnd, 20, 20);
    PumpFor(20);
    DestroyWindow(hwnd);
    delete w;
  }
}

TEST(CDuiString, ComparesConcatenatesAndConverts) {
  CDuiString a(L"skin");
  CDuiString b = a + L"\\" + CDuiString(L"FormLogin.xml");
  EXPECT_TRUE(b == L"skin\\FormLogin.xml");
  EXPECT_TRUE(b != L"skin");
  EXPECT_STREQ(L"skin\\FormLogin.xml", static_cast<LPCTSTR>(b));
  CDuiString copy = b;
  EXPECT_TRUE(copy == b);
  EXPECT_TRUE(CDuiString().IsEmpty());
  EXPECT_TRUE(CDuiString(nullptr) == L"");
}

TEST(LayoutValues, ParseLeniently) {
  int n = 7;
  EXPECT_TRUE(ParseInt(L" 42 ", &n));
  EXPECT_EQ(42, n);
  EXPECT_FALSE(ParseInt(L"4x", &n));
  EXPECT_FALSE(ParseInt(L"", &n));
  RECT r = ParseRect(L"1,2,x,4");
  EXPECT_EQ(1, r.left);
  EXPECT_EQ(2, r.top);
  EXPECT_EQ(0, r.right);
  EXPECT_EQ(4, r.bottom);
  EXPECT_EQ(0xFF102030u, ParseColor(L"#102030"));
  EXPECT_EQ(0x80102030u, ParseColor(L"#80102030"));
}

}  // namespace
