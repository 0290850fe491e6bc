#include <gtest/gtest.h>

#include "HostFixture.h"

namespace {

using HostAppTest = HostFixture;

// Every coded message the forms raise, with the number of arguments they pass.
struct MessageCase {
  const char* type;
  const char* number;
  int args;
} const kFormMessages[] = {
    {"E", "000001", 1}, {"E", "000005", 1}, {"E", "000006", 0}, {"E", "000013", 1},
    {"E", "000015", 0}, {"E", "000016", 0}, {"E", "000030", 1}, {"E", "000036", 0},
    {"E", "000037", 0}, {"E", "000038", 0}, {"E", "100082", 2}, {"W", "000002", 3},
    {"W", "000003", 3}, {"W", "000004", 1}, {"W", "000014", 0}, {"I", "000003", 0},
    {"I", "000004", 1}, {"I", "000005", 0}, {"I", "000008", 0}, {"I", "000009", 0},
    {"I", "000010", 0}, {"I", "000011", 0}, {"R", "100235", 0}, {"R", "100236", 0},
    {"R", "200235", 0},
};

TEST_F(HostAppTest, EveryFormMessageHasATextInEachLanguageThatTakesItsArguments) {
  for (const char* language : {"CHS", "CHT", "ENG"}) {
    OleSet(host_, "Language", Variant(language));
    for (const MessageCase& m : kFormMessages) {
      SCOPED_TRACE(std::string(language) + " " + m.type + ";" + m.number);
      const std::string text =
          OleInvoke(host_, "GetMessage", {Variant(m.type), Variant(m.number)}).AsString();
      ASSERT_FALSE(text.empty());
      for (const char* missing : {"Message not found", "找不到讯息", "找不到訊息"})
        EXPECT_FALSE(StartsText(missing, text)) << text;
      // The form formats every text with ten argument slots; each argument it passes
      // must show, and the empty slots must not disturb the text.
      std::vector<FormatArg> args;
      for (int i = 0; i < 10; ++i) args.emplace_back(i < m.args ? "<" + IntToStr(i) + ">" : "");
      const std::string shown = Format(text, args);
      for (int i = 0; i < m.args; ++i)
        EXPECT_NE(shown.find("<" + IntToStr(i) + ">"), std::string::npos) << shown;
    }
  }
}

TEST_F(HostAppTest, MessagesFollowTheLanguageAndPutArgumentsInTheirPlaces) {
  const auto message = [&](const char* type, const char* number) {
    return OleInvoke(host_, "GetMessage", {Variant(type), Variant::Wide(number)}).AsString();
  };
  EXPECT_EQ(OleGet(host_, "Language").AsString(), "CHS");
  EXPECT_EQ(Format(message("I", "000004"), {"R1234567890"}), "作业已提交，作业编号：R1234567890");
  EXPECT_EQ(Format(message("E", "100082"), {"退出日期", "开始日期"}), "退出日期不可早于开始日期！");
  OleSet(host_, "Language", Variant("cht"));
  EXPECT_EQ(Format(message("I", "000004"), {"R1234567890"}), "作業已提交，作業編號：R1234567890");
  OleSet(host_, "Language", Variant("ENG"));
  EXPECT_EQ(Format(message("W", "000003"), {"Options", "8", "3"}),
            "Options: item 3 of 8 is not set.");
  // Short numbers are padded, type letters compare without case.
  EXPECT_EQ(message("e", "15"), message("E", "000015"));

  // An unknown message names itself; whatever it echoes survives the caller's Format.
  EXPECT_EQ(Format(message("E", "999999"), {}), "Message not found (type E, number 999999)");
  EXPECT_EQ(Format(message("%d", "5%"), {}), "Message not found (type %D, number 5%)");

  EXPECT_NE(FailureOf([&] { OleSet(host_, "Language", Variant("FRA")); }).find("CHS, CHT or ENG"),
            std::string::npos);
  EXPECT_EQ(OleGet(host_, "Language").AsString(), "ENG");
}

TEST_F(HostAppTest, BadMessageArgumentsRaiseClearErrors) {
  EXPECT_NE(FailureOf([&] {
              OleInvoke(host_, "GetMessage", {VarArrayOf({Variant("E")}), Variant("000015")});
            }).find("the type must be a simple value"),
            std::string::npos);
  EXPECT_THROW(OleInvoke(host_, "GetMessage", {Variant("E")}), EOleSysError);
}

TEST_F(HostAppTest, ProductHelpAndFileLists) {
  EXPECT_EQ(OleGet(host_, "ProductID"), Variant(1));

  OleInvoke(host_, "CallHelp", {VarArrayOf({Variant("KXB"), Variant("1207000")})});
  ASSERT_EQ(app_->HelpCalls().size(), 1u);
  EXPECT_EQ(app_->HelpCalls()[0].System, "KXB");
  EXPECT_EQ(app_->HelpCalls()[0].Topic, "1207000");
  for (const Variant& bad : {Variant::Null(), Variant("KXB"), VarArrayOf({Variant("KXB")})}) {
    SCOPED_TRACE(VarTypeName(bad.VarType()));
    EXPECT_NE(FailureOf([&] { OleInvoke(host_, "CallHelp", {bad}); }), "no exception");
  }
  EXPECT_EQ(app_->HelpCalls().size(), 1u);

  EXPECT_EQ(OleInvoke(host_, "GetFileList", {Variant("KXBR07S.so")}).AsString(),
            "<FileList><File><Name>kxbr07s.so</Name><Modify>20240318102205</Modify>"
            "<Path>\\\\ERPSERVER\\Orvant\\S_PKG\\KXBR07S.so</Path></File></FileList>");
  EXPECT_EQ(OleInvoke(host_, "GetFileList", {Variant("nosuchs.so")}).AsString(), "");
}

TEST_F(HostAppTest, ServiceObjectsAreTheSameOnEveryRead) {
  for (const char* name : {"Com_Counter", "Com_Validator", "Com_F2Window"}) {
    SCOPED_TRACE(name);
    const Variant first = Service(name);
    ASSERT_EQ(first.VarType(), varDispatch);
    EXPECT_EQ(first.RawDispatch(), Service(name).RawDispatch());
    EXPECT_EQ(ErrorTextOf(first), "");
  }
}

TEST_F(HostAppTest, AMissingDatabaseIsAClearError) {
  const std::string missing = Folder().Path() + "/missing.db";
  EXPECT_NE(FailureOf([&] {
              THostApp app(THostOptions{missing, "", nullptr, "", 1});
            }).find("cannot open the database " + missing),
            std::string::npos);
  const std::string notDatabase = Folder().Write("text.db", "just some text, no database");
  EXPECT_NE(FailureOf([&] {
              THostApp app(THostOptions{notDatabase, "", nullptr, "", 1});
            }).find("cannot open the database"),
            std::string::npos);
}

}  // namespace
