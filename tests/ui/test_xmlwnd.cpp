#include "ui/XMLWnd.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/win_test_util.h"

using qmtest::PumpFor;
using qmtest::PumpUntil;

namespace {

// A form as the launcher's forms are written: its own map with one catch-all
// "click" entry, and an OnClick that acts and then goes on to the base.
class CTestForm : public CXMLWnd {
 public:
  CTestForm() : CXMLWnd(L"FormTest.xml") {}
  struct Seen {
    std::wstring name;
    bool iconicWhenFormRan;
  };
  std::vector<Seen> seen;

  void OnClick(TNotifyUI& msg) override {
    seen.push_back({msg.pSender->GetName().str(), IsIconic(m_hWnd) != FALSE});
    CXMLWnd::OnClick(msg);
  }
  CPaintManagerUI& manager() { return m_PaintManager; }
  const DUI_MSGMAP* map() const { return GetMessageMap(); }
  static const DUI_MSGMAP* rootMap() { return &CNotifyPump::messageMap; }
  CControlUI* AskForControl(LPCTSTR cls) { return CreateControl(cls); }
  LPCTSTR ClassName() const { return GetWindowClassName(); }
  CDuiString SkinFolder() { return GetSkinFolder(); }
  CDuiString SkinFile() { return GetSkinFile(); }

 protected:
  DUI_DECLARE_MESSAGE_MAP()
};

DUI_BEGIN_MESSAGE_MAP(CTestForm, CNotifyPump)
DUI_ON_MSGTYPE(DUI_MSGTYPE_CLICK, CTestForm::OnClick)
DUI_END_MESSAGE_MAP()

const char kForm[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<Window size="300,200" caption="0,0,0,30">
  <VerticalLayout>
    <HorizontalLayout height="30">
      <Control/>
      <Button name="minbtn" width="30"/>
      <Button name="closebtn" width="30"/>
    </HorizontalLayout>
    <Container>
      <Button float="true" pos="10,10,110,40"/>
      <Button name="playbtn" float="true" pos="120,10,220,40"/>
      <CustomWidget name="custom"/>
    </Container>
  </VerticalLayout>
</Window>
)";

class XMLWndTest : public testing::Test {
 protected:
  void SetUp() override {
    skin_.Write(L"FormTest.xml", kForm);
    CPaintManagerUI::SetResourcePath(skin_.path().c_str());
    form_ = new CTestForm;
    form_->Create(nullptr, L"test form", WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_MINIMIZEBOX, 0, 50, 50, 0, 0);
    PumpFor(30);
  }
  void TearDown() override {
    if (IsWindow(*form_)) DestroyWindow(*form_);
    delete form_;
  }
  qmtest::TempFolder skin_;
  CTestForm* form_ = nullptr;
};

TEST_F(XMLWndTest, IsAnXMLWndBuiltFromTheResourcePath) {
  ASSERT_TRUE(IsWindow(*form_));
  wchar_t cls[64] = {};
  GetClassNameW(*form_, cls, 64);
  EXPECT_STREQ(L"XMLWnd", cls);
  EXPECT_STREQ(L"XMLWnd", form_->ClassName());
  EXPECT_TRUE(form_->SkinFolder().IsEmpty());
  EXPECT_TRUE(form_->SkinFile() == L"FormTest.xml");
  // Read from the resource path itself: the layout's size and controls.
  RECT wr = qmtest::WindowRect(*form_);
  EXPECT_EQ(300, wr.right - wr.left);
  EXPECT_EQ(200, wr.bottom - wr.top);
  EXPECT_NE(nullptr, form_->manager().FindControl(L"playbtn"));
  // Custom controls are never made: the element is skipped.
  EXPECT_EQ(nullptr, form_->AskForControl(L"CustomWidget"));
  EXPECT_EQ(nullptr, form_->manager().FindControl(L"custom"));
}

TEST_F(XMLWndTest, MapHasOneCatchAllClickEntryChainedToTheRoot) {
  const DUI_MSGMAP* map = form_->map();
  ASSERT_NE(nullptr, map);
  ASSERT_NE(nullptr, map->pfnGetBaseMap);
  EXPECT_EQ(CTestForm::rootMap(), map->pfnGetBaseMap());
  const DUI_MSGMAP_ENTRY* e = map->lpEntries;
  EXPECT_TRUE(e[0].sMsgType == L"click");
  EXPECT_TRUE(e[0].sCtrlName.IsEmpty());
  EXPECT_EQ(2u, e[0].nSig);
  EXPECT_NE(nullptr, e[0].pfn);
  EXPECT_TRUE(e[1].sMsgType.IsEmpty());
  EXPECT_EQ(0u, e[1].nSig);
  EXPECT_EQ(nullptr, e[1].pfn);
}

TEST_F(XMLWndTest, EveryClickReachesTheFormFirstThenTheBase) {
  // A named control the form does not know, and an unnamed one.
  qmtest::PostClick(*form_, 170, 55);
  qmtest::PostClick(*form_, 60, 55);
  PumpFor(50);
  ASSERT_EQ(2u, form_->seen.size());
  EXPECT_EQ(L"playbtn", form_->seen[0].name);
  EXPECT_EQ(L"", form_->seen[1].name);

  // "minbtn": the form runs while the window is still normal, then the base
  // minimises it.
  qmtest::PostClick(*form_, 255, 15);
  ASSERT_TRUE(PumpUntil([&] { return IsIconic(*form_) != FALSE; }, 2000));
  ASSERT_EQ(3u, form_->seen.size());
  EXPECT_EQ(L"minbtn", form_->seen[2].name);
  EXPECT_FALSE(form_->seen[2].iconicWhenFormRan);
  ShowWindow(*form_, SW_RESTORE);
  PumpFor(30);

  // "closebtn": the form's click, then the base closes the window.
  qmtest::PostClick(*form_, 285, 15);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(*form_); }, 2000));
  ASSERT_EQ(4u, form_->seen.size());
  EXPECT_EQ(L"closebtn", form_->seen[3].name);
}

}  // namespace
