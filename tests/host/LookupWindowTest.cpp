#include <gtest/gtest.h>

#include "HostFixture.h"

namespace {

class LookupWindowTest : public HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    window_ = Service("Com_F2Window");
  }
  void TearDown() override { ClearFixedClock(); }

  // The 19-item request a form builds (ShowLookup).
  Variant Request(const char* code, const char* kind, const Variant& params, bool multi,
                  const char* extra = "", const char* companyKey = "SDTest60") const {
    return VarArrayOf({Variant(code), Variant(kind), params, Variant(multi), Variant(extra),
                       Variant("SDTest60"), Variant(companyKey), Variant(4711), Variant(1),
                       Variant(false), Variant(1), Variant(""), Variant(""), Variant(""),
                       Variant::Wide("全部部门\x03"
                                     "0\x03"),
                       Variant(true), Variant(true), host_, Variant("796")});
  }
  Variant Lookup(const Variant& request) const {
    return OleInvoke(window_, "F2GetData", {request});
  }
  const TLookupPrompt& LastPrompt() const { return chooser_->Prompts().back(); }

  Variant window_;
};

TEST_F(LookupWindowTest, CarryOverFormsAreFilteredByTypeAndNumberAndPickedRowsReturned) {
  chooser_->PushRows({1});
  const Variant rows =
      Lookup(Request("CUSTG", "01", VarArrayOf({Variant("JZ01"), Variant("202401")}), false));
  ASSERT_EQ(chooser_->Prompts().size(), 1u);
  const TLookupPrompt& prompt = LastPrompt();
  EXPECT_EQ(prompt.Title, "结转单信息查询");
  EXPECT_FALSE(prompt.Multi);
  ASSERT_GE(prompt.Rows.size(), 2u);
  for (const auto& row : prompt.Rows) {
    EXPECT_EQ(row[0], "JZ01");
    EXPECT_TRUE(StartsText("202401", row[1])) << row[1];
  }
  ASSERT_EQ(VarArrayHighBound(rows, 1), 0);
  EXPECT_EQ(VarArrayHighBound(rows[0], 1), 5);
  EXPECT_EQ(Cell(rows, 0, 0), "JZ01");
  EXPECT_EQ(Cell(rows, 0, 1), prompt.Rows[1][1]);
  EXPECT_EQ(rows[0][0].VarType(), varOleStr);

  // The masked edit's text without the dash comes as one parameter: type and number.
  chooser_->PushCancel();
  Lookup(Request("CUSTG", "1", VarArrayOf({Variant("JZ0120240100001"), Variant("")}), false));
  ASSERT_EQ(LastPrompt().Rows.size(), 1u);
  EXPECT_EQ(LastPrompt().Rows[0][1], "20240100001");
  EXPECT_EQ(LastPrompt().Rows[0][4], "已审核");

  // Another company's forms; a LIKE wildcard in a parameter is an ordinary character.
  chooser_->PushCancel();
  Lookup(Request("CUSTG", "01", VarArrayOf({Variant(""), Variant("")}), false, "", "TWDB01"));
  EXPECT_EQ(LastPrompt().Rows.size(), 30u);
  chooser_->PushCancel();
  Lookup(Request("CUSTG", "01", VarArrayOf({Variant("%"), Variant("")}), false));
  EXPECT_TRUE(LastPrompt().Rows.empty());
}

TEST_F(LookupWindowTest, MultipleAndSingleChoiceAndCancel) {
  const Variant params = VarArrayOf({Variant("YZ01"), Variant("")});
  chooser_->PushRows({2, 0, 2});
  const Variant many = Lookup(Request("CUSTG", "01", params, true));
  EXPECT_TRUE(LastPrompt().Multi);
  ASSERT_EQ(VarArrayHighBound(many, 1), 1);  // candidate order, each row once
  EXPECT_EQ(Cell(many, 0, 1), LastPrompt().Rows[0][1]);
  EXPECT_EQ(Cell(many, 1, 1), LastPrompt().Rows[2][1]);

  chooser_->PushRows({2, 0});
  const Variant one = Lookup(Request("CUSTG", "01", params, false));
  ASSERT_EQ(VarArrayHighBound(one, 1), 0);
  EXPECT_EQ(Cell(one, 0, 1), LastPrompt().Rows[2][1]);

  chooser_->PushCancel();
  EXPECT_TRUE(Lookup(Request("CUSTG", "01", params, true)).IsEmpty());
  EXPECT_TRUE(Lookup(Request("CUSTG", "01", params, true)).IsEmpty());  // no answer left
  chooser_->PushDate("20240101");  // an answer of the wrong kind cancels
  EXPECT_TRUE(Lookup(Request("CUSTG", "01", params, true)).IsEmpty());
  EXPECT_EQ(ErrorTextOf(window_), "");
  EXPECT_EQ(chooser_->Pending(), 0u);

  // Without a chooser every window is cancelled.
  app_->LookupWindow()->SetChooser(nullptr);
  EXPECT_TRUE(Lookup(Request("CUSTG", "01", params, true)).IsEmpty());
}

TEST_F(LookupWindowTest, ContractsUsersAndFooters) {
  struct Case {
    const char* name;
    const char* code;
    const char* kind;
    Variant params;
    const char* extra;
    size_t candidates;
    size_t columns;
    const char* firstCell;
  } const cases[] = {
      {"contracts by extra text", "CUSTG", "02", Variant(), "c520844001", 6, 6, "C52084400101"},
      {"contracts, empty text parameter", "CUSTG", "02", Variant(""), "", 10, 6, "B52084400023"},
      {"active users", "QMTMA", "04", Variant::Null(), "", 5, 5, "796"},
      {"users by part of the name", "QMTMA", "04", Variant(), "晓梅", 1, 5, "U01"},
      {"page footers", "CMSMS", "01", VarArrayOf({Variant("1")}), "", 3, 5, "F00001"},
      {"sign-offs", "CMSMS", "01", Variant("2"), "", 2, 5, "S00001"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    chooser_->PushRows({0});
    const Variant rows = Lookup(Request(c.code, c.kind, c.params, false, c.extra));
    EXPECT_EQ(ErrorTextOf(window_), "");
    EXPECT_EQ(LastPrompt().Rows.size(), c.candidates);
    EXPECT_EQ(LastPrompt().Columns.size(), c.columns);
    ASSERT_TRUE(rows.IsArray());
    EXPECT_EQ(VarArrayHighBound(rows[0], 1), static_cast<int>(c.columns) - 1);
    EXPECT_EQ(Cell(rows, 0, 0), c.firstCell);
  }
}

TEST_F(LookupWindowTest, BadRequestsAnswerEmptyWithAReason) {
  Variant shortRequest = Request("CUSTG", "01", Variant(), false);
  VarArrayRedim(shortRequest, 10);
  struct Case {
    const char* name;
    Variant request;
    const char* reason;
  } const cases[] = {
      {"null", Variant::Null(), "must be an array of 19 items"},
      {"text", Variant("CUSTG"), "must be an array of 19 items"},
      {"short", shortRequest, "must be an array of 19 items"},
      {"unknown code", Request("CUSTX", "01", Variant(), false),
       "unknown lookup \"CUSTX\" kind \"01\""},
      {"unknown kind", Request("CUSTG", "09", Variant(), false),
       "unknown lookup \"CUSTG\" kind \"09\""},
      {"missing parameter", Request("CMSMS", "01", Variant(), false), "needs 1 parameters"},
      {"nested parameter", Request("CMSMS", "01", VarArrayOf({VarArrayOf({Variant("1")})}), false),
       "parameter 1 must be a simple value"},
      {"multi not a Boolean",
       [&] {
         Variant r = Request("CUSTG", "01", Variant(), false);
         r[3] = Variant("sometimes");
         return r;
       }(),
       "Could not convert"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    chooser_->PushRows({0});
    EXPECT_TRUE(Lookup(c.request).IsEmpty());
    const std::string error = ErrorTextOf(window_);
    EXPECT_TRUE(StartsText("F2GetData: ", error)) << error;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
  EXPECT_TRUE(chooser_->Prompts().empty());  // nothing was shown for a bad request

  chooser_ = std::make_shared<TScriptedChooser>();
  app_->LookupWindow()->SetChooser(chooser_);
  chooser_->PushRows({99});
  EXPECT_TRUE(Lookup(Request("CMSMS", "01", Variant("2"), false)).IsEmpty());
  EXPECT_NE(ErrorTextOf(window_).find("picked row 99 of 2"), std::string::npos);
}

TEST_F(LookupWindowTest, DatePicker) {
  SetFixedClock(EncodeDate(2024, 5, 20) + EncodeTime(9, 30, 0, 0));
  const auto pick = [&](const Variant& args) {
    return OleInvoke(window_, "ShowInputDay", {args}).AsString();
  };
  chooser_->PushDate("20240229");
  EXPECT_EQ(pick(VarArrayOf({Variant(true), Variant("20240115"), Variant("SDTest60")})),
            "20240229");
  chooser_->PushDate(" 20240301 ");
  EXPECT_EQ(pick(VarArrayOf({Variant(false), Variant("2024"), Variant("SDTest60")})), "20240301");
  chooser_->PushCancel();
  EXPECT_EQ(pick(VarArrayOf({Variant(false), Variant(""), Variant("SDTest60")})), "");
  EXPECT_EQ(chooser_->DateQuestions(),
            (std::vector<std::string>{"20240115 roc", "20240520", "20240520"}));
  EXPECT_EQ(ErrorTextOf(window_), "");

  chooser_->PushDate("20240230");  // the picker is not trusted with the calendar
  EXPECT_EQ(pick(VarArrayOf({Variant(false), Variant("20240201"), Variant("SDTest60")})), "");
  EXPECT_NE(ErrorTextOf(window_).find("\"20240230\", which is no date"), std::string::npos);
  for (const Variant& bad : {Variant::Null(), Variant("20240201"), VarArrayOf({Variant(true)})}) {
    SCOPED_TRACE(VarTypeName(bad.VarType()));
    EXPECT_EQ(pick(bad), "");
    EXPECT_NE(ErrorTextOf(window_).find("[roc, start date, CompanyKey]"), std::string::npos);
  }
  EXPECT_EQ(chooser_->DateQuestions().size(), 4u);
}

TEST_F(LookupWindowTest, PhrasePicker) {
  const auto phrase = [&](const char* user, const char* company) {
    return OleInvoke(window_, "GetPhrase", {Variant(user), Variant(company), Variant(4711)})
        .AsString();
  };
  chooser_->PushPhrase(0);
  EXPECT_EQ(phrase("796", "SDTest60"), "结转单已与对方企业核对无误");  // the user's own first
  EXPECT_EQ(chooser_->PhraseQuestions().back().size(), 5u);
  chooser_->PushPhrase(2);
  EXPECT_EQ(phrase("U01", "DB1"), "请于每月五日前完成结转核对");
  EXPECT_EQ(chooser_->PhraseQuestions().back().size(), 3u);
  chooser_->PushCancel();
  EXPECT_EQ(phrase("796", "SDTest60"), "");
  chooser_->PushPhrase(7);
  EXPECT_EQ(phrase("796", "SDTest60"), "");
  EXPECT_NE(ErrorTextOf(window_).find("picked phrase 7 of 5"), std::string::npos);
  EXPECT_EQ(
      OleInvoke(window_, "GetPhrase", {VarArrayOf({}), Variant("DB1"), Variant(0)}).AsString(), "");
  EXPECT_NE(ErrorTextOf(window_).find("the user must be a simple value"), std::string::npos);
}

TEST(LookupScriptTest, ScriptsListAnswersInOrder) {
  const auto chooser = TScriptedChooser::FromScript(
      "# picks for the demo\n"
      "rows 1,3\n"
      "\n"
      "DATE 20240131\r\n"
      "phrase 0\n"
      "cancel\n");
  EXPECT_EQ(chooser->Pending(), 4u);
  EXPECT_EQ(chooser->ChooseRows({}), (std::vector<int>{1, 3}));
  EXPECT_EQ(chooser->ChooseDate("20240101", false), "20240131");
  EXPECT_EQ(chooser->ChoosePhrase({"a"}), 0);
  EXPECT_TRUE(chooser->ChooseRows({}).empty());

  for (const char* bad :
       {"rows", "rows 1,x", "rows -1", "date 2024", "phrase", "pick 1", "cancel now"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(FailureOf([&] { TScriptedChooser::FromScript(std::string("cancel\n") + bad); }),
              std::string("lookup script line 2: cannot read \"") + bad + "\"");
  }
}

}  // namespace
