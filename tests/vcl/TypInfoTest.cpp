#include <gtest/gtest.h>

#include <memory>

#include "TestClasses.h"
#include "TypInfo.h"

namespace {

class TypInfoTest : public ::testing::Test {
 protected:
  std::unique_ptr<TTestComponent> obj = std::make_unique<TTestComponent>(nullptr);
};

TEST_F(TypInfoTest, ClassNamesAndChainComeFromTheTables) {
  TTestForm form(nullptr);
  EXPECT_EQ(form.ClassName(), "TTestForm");
  std::vector<std::string> chain;
  for (TClass c = form.ClassType(); c; c = c->Parent) chain.insert(chain.begin(), c->Name);
  EXPECT_EQ(chain, (std::vector<std::string>{"TObject", "TPersistent", "TComponent",
                                             "TTestComponent", "TTestForm"}));
  EXPECT_TRUE(form.InheritsFrom(TComponent::StaticClass()));
  EXPECT_FALSE(obj->InheritsFrom(TTestForm::StaticClass()));
  EXPECT_TRUE(Is<TTestComponent>(&form));
  EXPECT_EQ(GetClass("ttestform"), TTestForm::StaticClass());
  EXPECT_EQ(GetClass("TNoSuchClass"), nullptr);
  EXPECT_THROW(FindClass("TNoSuchClass"), EClassNotFound);
}

// One round trip through the text form per kind: written, read back, as the typed value.
TEST_F(TypInfoTest, TextRoundTripForEveryKind) {
  struct Case {
    const char* prop;
    const char* written;
    const char* readBack;
  };
  const Case cases[] = {
      {"Count", "-42", "-42"},
      {"Count", " 7 ", "7"},
      {"Letter", "Z", "Z"},
      {"Style", "ts_UserChoice", "ts_UserChoice"},
      {"Style", " TS_DISCRETE ", "ts_Discrete"},
      {"Enabled", "false", "False"},
      {"Options", "[toBold,toWide]", "[toBold,toWide]"},
      {"Options", "toItalic", "[toItalic]"},
      {"Options", "[]", "[]"},
      {"Ratio", "2.5", "2.5"},
      {"Caption", "  spaced ", "  spaced "},
      {"Color", "clRed", "clRed"},
      {"Color", "255", "clRed"},
      {"Color", "12345", "12345"},
      {"Color", "clBtnFace", "clBtnFace"},
      {"Name", "Renamed", "Renamed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.prop) + " = " + c.written);
    const TPropInfo& prop = FindPropInfo(obj.get(), c.prop);
    SetPropText(obj.get(), prop, c.written);
    EXPECT_EQ(GetPropText(obj.get(), prop), c.readBack);
  }
  EXPECT_EQ(obj->Style(), ts_Discrete);
  EXPECT_EQ(obj->Options(), (TTestOptions{}));
  EXPECT_EQ(obj->Color(), clBtnFace);
}

TEST_F(TypInfoTest, TypedAccessorsRoundTrip) {
  SetOrdProp(obj.get(), "count", 12);
  EXPECT_EQ(GetOrdProp(obj.get(), "COUNT"), 12);
  SetEnumProp(obj.get(), "Style", "ts_Discrete");
  EXPECT_EQ(GetEnumProp(obj.get(), "Style"), "ts_Discrete");
  SetSetProp(obj.get(), "Options", "[toItalic, toWide]");
  EXPECT_EQ(GetSetProp(obj.get(), "Options", true), "[toItalic,toWide]");
  EXPECT_EQ(obj->Options(), (TTestOptions{toItalic, toWide}));
  SetFloatProp(obj.get(), "Ratio", 0.25);
  EXPECT_EQ(GetFloatProp(obj.get(), "Ratio"), 0.25);
  SetStrProp(obj.get(), "Caption", "标题");
  EXPECT_EQ(GetStrProp(obj.get(), "Caption"), "标题");
  TStringList lines{"a", "b"};
  SetObjectProp(obj.get(), "Items", &lines);
  EXPECT_EQ(obj->Items()->Count(), 2);
  EXPECT_EQ(GetObjectProp(obj.get(), "Items"), obj->Items());
  EXPECT_EQ(GetPropValue(obj.get(), "Enabled"), Variant(true));
  SetPropValue(obj.get(), "Enabled", Variant(false));
  EXPECT_FALSE(obj->Enabled());
  SetPropValue(obj.get(), "Color", Variant("clRed"));  // text goes through the identifiers
  EXPECT_EQ(obj->Color(), clRed);
  SetPropValue(obj.get(), "Count", Variant(int64_t{-8}));
  EXPECT_EQ(obj->Count(), -8);
  EXPECT_THROW(SetPropValue(obj.get(), "Count", Variant("many")), EPropertyConvertError);
  SetPropValue(obj.get(), "Caption", Variant(3.5));
  EXPECT_EQ(obj->Caption(), "3.5");
  EXPECT_EQ(VarToStr(GetPropValue(obj.get(), "Style")), "ts_Discrete");
}

// Every rejected write raises and leaves the object as it was.
TEST_F(TypInfoTest, RejectedWritesChangeNothing) {
  obj->SetCount(5);
  obj->SetSmall(3);
  obj->SetStyle(ts_Discrete);
  obj->SetCaption("keep");
  obj->SetLetter('q');
  struct Case {
    const char* prop;
    const char* text;
  };
  const Case cases[] = {
      {"Count", "abc"},
      {"Count", "99999999999"},
      {"Small", "70000"},
      {"Style", "ts_Nothing"},
      {"Options", "[toBold,toNone]"},
      {"Options", "[toBold"},
      {"Ratio", "1,5x"},
      {"Letter", "ab"},
      {"Caption", "a text far longer than twenty bytes"},
      {"Hint", "read-only"},
      {"Font", "Arial"},
      {"OnClick", "btnOkClick"},
      {"Enabled", "yes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.prop) + " = " + c.text);
    EXPECT_ANY_THROW(SetPropText(obj.get(), FindPropInfo(obj.get(), c.prop), c.text));
    EXPECT_FALSE(SetPropByPath(obj.get(), c.prop, c.text));
  }
  EXPECT_EQ(obj->Count(), 5);
  EXPECT_EQ(obj->Small(), 3);
  EXPECT_EQ(obj->Style(), ts_Discrete);
  EXPECT_EQ(obj->Caption(), "keep");
  EXPECT_EQ(obj->Letter(), 'q');
  EXPECT_EQ(obj->Hint(), "fixed");
  EXPECT_TRUE(obj->Enabled());
  EXPECT_THROW(SetOrdProp(obj.get(), "Style", 3), EPropertyConvertError);
  EXPECT_THROW(SetOrdProp(obj.get(), "Options", 8), EPropertyConvertError);
  EXPECT_THROW(GetStrProp(obj.get(), "Count"), EPropertyError);
  TStringList wrong;
  EXPECT_THROW(SetObjectProp(obj.get(), "Font", &wrong), EPropertyConvertError);
}

TEST_F(TypInfoTest, LookupsIgnoreCaseAndNameTheMissingProperty) {
  EXPECT_TRUE(IsPublishedProp(obj.get(), "caption"));
  EXPECT_TRUE(IsPublishedProp(obj.get(), "TAG"));  // inherited from TComponent
  EXPECT_FALSE(IsPublishedProp(obj.get(), "Captions"));
  EXPECT_EQ(GetPropInfo(obj.get(), "Nope"), nullptr);
  EXPECT_TRUE(PropIsType(obj.get(), "Font", tkClass));
  EXPECT_FALSE(PropIsType(obj.get(), "Font", tkString));
  EXPECT_EQ(FindPropInfo(obj.get(), "font").PropType->Name, "TFont");
  EXPECT_EQ(FindPropInfo(obj.get(), "Style").PropType->Name, "TTestStyle");
  try {
    FindPropInfo(obj.get(), "Colr");
    FAIL() << "no exception";
  } catch (const EPropertyError& e) {
    EXPECT_STREQ(e.what(), "Property Colr does not exist");
  }
  const auto list = GetPropList(TTestComponent::StaticClass());
  ASSERT_GE(list.size(), 3u);
  EXPECT_EQ(list[0]->Name, "Name");  // most basic class first
  EXPECT_EQ(list[1]->Name, "Tag");
}

TEST_F(TypInfoTest, SetPropByPathWalksObjectProperties) {
  struct Case {
    const char* path;
    const char* text;
    bool ok;
  };
  const Case cases[] = {
      {"Font.Name", "Tahoma", true},
      {"Font.Charset", "134", true},
      {"font.color", "clRed", true},
      {"Font.Style", "[fsBold]", true},
      {"Font.Size", "9", true},
      {"Caption", "x", true},
      {"Font.Nope", "1", false},
      {"Nope.Name", "x", false},
      {"Caption.Name", "x", false},
      {"Buddy.Name", "x", false},  // Buddy is nil
      {"Font.Charset", "GB2312_CHARSET", true},
      {"", "x", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(SetPropByPath(obj.get(), c.path, c.text), c.ok);
  }
  EXPECT_EQ(obj->Font()->Name(), "Tahoma");
  EXPECT_EQ(obj->Font()->Charset(), GB2312_CHARSET);
  EXPECT_EQ(obj->Font()->Color(), clRed);
  EXPECT_EQ(obj->Font()->Style(), (TFontStyles{fsBold}));
  EXPECT_EQ(obj->Font()->Height(), -12);
}

TEST_F(TypInfoTest, EnumerationAndSetTexts) {
  const TTypeInfo* style = TypeInfoOf<TTestStyle>();
  EXPECT_EQ(GetEnumName(style, 1), "ts_Discrete");
  EXPECT_EQ(GetEnumName(style, 3), "");
  EXPECT_EQ(GetEnumValue(style, "TS_USERCHOICE"), 2);
  EXPECT_EQ(GetEnumValue(style, "ts_"), -1);
  EXPECT_EQ(GetEnumName(BooleanTypeInfo(), 1), "True");
  const TTypeInfo* options = TypeInfoOf<TTestOptions>();
  EXPECT_EQ(SetToString(options, 5, true), "[toBold,toWide]");
  EXPECT_EQ(StringToSet(options, " [ toWide , toBold ] "), 5u);
  EXPECT_THROW(StringToSet(options, "[toWidest]"), EPropertyConvertError);
  int value = 0;
  EXPECT_TRUE(IdentToInt("CLWINDOW", value, ColorTypeInfo()->Idents));
  EXPECT_EQ(value, clWindow);
  std::string ident;
  EXPECT_TRUE(IntToIdent(crHourGlass, ident, CursorTypeInfo()->Idents));
  EXPECT_EQ(ident, "crHourGlass");
}

TEST_F(TypInfoTest, PublishedMethodsAndFields) {
  TTestForm form(nullptr);
  const TMethodCode* code = MethodAddress(form.ClassType(), "BTNOKCLICK");
  EXPECT_EQ(code, MethodCodeOf<&TTestForm::btnOkClick>());
  EXPECT_EQ(MethodName(form.ClassType(), code), "btnOkClick");
  EXPECT_EQ(MethodAddress(form.ClassType(), "Missing"), nullptr);
  // Calling a handler found by name, as a tool button's tag picks one.
  const TMethod handler{form.MethodAddress("btnCancelClick"), &form};
  TNotifyEvent::FromMethod(handler)(&form);
  EXPECT_EQ(form.Calls, std::vector<std::string>{"btnCancelClick"});
  EXPECT_EQ(form.MethodName(handler.Code), "btnCancelClick");
  EXPECT_EQ(MethodAddress(TTestSubForm::StaticClass(), "edKeyPress"),
            MethodCodeOf<&TTestForm::edKeyPress>());
  EXPECT_NE(FieldAddress(form.ClassType(), "btnok"), nullptr);
  EXPECT_EQ(FieldClassByName(form.ClassType(), "TTestComponent"), TTestComponent::StaticClass());
}

}  // namespace
