#include <gtest/gtest.h>

#include <map>
#include <string>

#include "TestClasses.h"

namespace {

struct EventsTest : ::testing::Test {
  TTestForm form{nullptr};
  TTestComponent* button = new TTestComponent(&form);
  EventsTest() { button->SetName("btnOk"); }
};

TEST_F(EventsTest, NilEventsDoNothingAndCompareEqual) {
  EXPECT_FALSE(button->OnClick());
  button->Click();  // unset: no call, no crash
  EXPECT_TRUE(form.Calls.empty());
  EXPECT_EQ(TNotifyEvent(), TNotifyEvent(nullptr));
  EXPECT_FALSE(GetMethodProp(button, "OnClick").Assigned());
}

TEST_F(EventsTest, MethodReferencesCallTheirObject) {
  button->SetOnClick(MethodOf<&TTestForm::btnOkClick>(&form));
  button->Click();
  EXPECT_EQ(form.Calls, std::vector<std::string>{"btnOkClick btnOk"});
  // Pairs compare by code and data.
  TTestForm other(nullptr);
  EXPECT_EQ(button->OnClick(), TNotifyEvent(MethodOf<&TTestForm::btnOkClick>(&form)));
  EXPECT_NE(button->OnClick(), TNotifyEvent(MethodOf<&TTestForm::btnOkClick>(&other)));
  EXPECT_NE(button->OnClick(), TNotifyEvent(MethodOf<&TTestForm::btnCancelClick>(&form)));
}

TEST_F(EventsTest, VarParametersComeBack) {
  button->SetOnKeyPress(MethodOf<&TTestForm::edKeyPress>(&form));
  char key = 'x';
  button->OnKeyPress()(button, key);
  EXPECT_EQ(key, 0);
  EXPECT_EQ(form.Calls, std::vector<std::string>{"edKeyPress x"});
}

// Saving a handler as two pointers, replacing it, and restoring it later, the way the
// condition forms re-bind their controls' events.
TEST_F(EventsTest, SaveReplaceAndRestoreByName) {
  SetMethodProp(button, "OnClick", TMethod{MethodAddress(form.ClassType(), "btnOkClick"), &form});
  const TMethod saved = GetMethodProp(button, "OnClick");
  std::map<std::string, const void*> store;
  store["btnOk.OnClick.Code"] = saved.Code;
  store["btnOk.OnClick.Data"] = saved.Data;

  SetMethodProp(button, "onclick",
                TMethod{MethodAddress(form.ClassType(), "btnCancelClick"), &form});
  button->Click();
  const TMethod restored{static_cast<const TMethodCode*>(store["btnOk.OnClick.Code"]),
                         static_cast<TObject*>(const_cast<void*>(store["btnOk.OnClick.Data"]))};
  SetMethodProp(button, "OnClick", restored);
  button->Click();
  EXPECT_EQ(form.Calls, (std::vector<std::string>{"btnCancelClick", "btnOkClick btnOk"}));
  EXPECT_EQ(GetPropText(button, FindPropInfo(button, "OnClick")), "btnOkClick");
  SetMethodProp(button, "OnClick", TMethod{});
  EXPECT_FALSE(button->OnClick().Assigned());
}

TEST_F(EventsTest, AMethodOfAnotherShapeIsRefused) {
  button->SetOnClick(MethodOf<&TTestForm::btnOkClick>(&form));
  const TMethod keyHandler{MethodAddress(form.ClassType(), "edKeyPress"), &form};
  EXPECT_THROW(SetMethodProp(button, "OnClick", keyHandler), EPropertyConvertError);
  EXPECT_THROW(TNotifyEvent::FromMethod(keyHandler), EInvalidCast);
  EXPECT_EQ(button->OnClick(), TNotifyEvent(MethodOf<&TTestForm::btnOkClick>(&form)));
}

}  // namespace
