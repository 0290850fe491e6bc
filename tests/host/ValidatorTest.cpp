#include <gtest/gtest.h>

#include <sqlite3.h>

#include "HostFixture.h"

namespace {

class ValidatorTest : public HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    validator_ = Service("Com_Validator");
  }
  // Calls the validator late-bound; `result` receives the by-reference argument.
  bool Call(const char* method, const Variant& name, const Variant& number, const Variant& company,
            const Variant& keys, Variant& result) {
    std::vector<Variant> args{name, number, company, keys, Variant("stale")};
    const Variant answer = OleInvoke(validator_, method, args);
    EXPECT_EQ(answer.VarType(), varBoolean);
    result = args[4];
    return answer.AsBoolean();
  }
  static Variant Keys(std::initializer_list<const char*> keys) {
    std::vector<Variant> items;
    for (const char* key : keys) items.emplace_back(key);
    return VarArrayOf(items);
  }

  Variant validator_;
};

TEST_F(ValidatorTest, CheckValueWritesTheRowTheFormsRead) {
  struct Case {
    const char* name;
    const char* query;
    const char* number;
    const char* company;
    Variant keys;
    std::map<int, std::string> columns;  // column -> expected text
    int width;
  } const cases[] = {
      {"program row",
       "ADMMB",
       "01",
       "SDTest60",
       Keys({"kxbr07"}),
       {{0, "结转单据明细表"}, {1, "KXBR07"}, {4, "Y"}, {7, "Carry-over Form Details"}},
       8},
      {"program not logged", "ADMMB", "01", "DB1", Keys({"KXBR09"}), {{4, "N"}}, 8},
      {"direct query withheld",
       "ADMMB",
       "11",
       "SDTest60",
       Keys({"KXBR05"}),
       {{0, "KXBR05"}, {3, "Y"}},
       4},
      {"direct query allowed", "ADMMB", "11", "SDTest60", Keys({"KXBR07"}), {{3, "N"}}, 4},
      {"footer number",
       "CMSMS",
       "01",
       "SDTest60",
       Keys({"1", "f00002"}),
       {{0, "F00002"},
        {1, "本表数据取自保税管理系统"},
        {2, "如有疑问请洽关务部"},
        {3, "分机 8021"}},
       5},
      {"sign-off number",
       "CMSMS",
       "1",
       "SDTest60",
       Keys({"2", "S00002"}),
       {{1, "关务专员："}, {3, ""}},
       5},
      {"program defaults",
       "CMSMT",
       "01",
       "SDTest60",
       Keys({"KXBR07"}),
       {{0, "F00001"},
        {1, "Y"},
        {3, "制表："},
        {4, "审核："},
        {5, "核准："},
        {6, "S00001"},
        {7, "Y"},
        {9, "经办人："},
        {10, "部门主管："},
        {11, "总经理："}},
       12},
      {"defaults without footer lookup", "CMSMT", "01", "DB1", Keys({"KXBR07"}), {{1, "N"}}, 12},
      {"web report site",
       "CMSMA",
       "02",
       "SDTest60",
       Keys({""}),
       {{0, "http://127.0.0.1:8088/KxbWebReport"}},
       2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Variant row;
    ASSERT_TRUE(
        Call("CheckValue", Variant(c.query), Variant(c.number), Variant(c.company), c.keys, row));
    ASSERT_TRUE(row.IsArray());
    EXPECT_EQ(VarArrayLowBound(row, 1), 0);
    EXPECT_EQ(VarArrayHighBound(row, 1), c.width - 1);
    for (const auto& [column, text] : c.columns) EXPECT_EQ(VarToStr(row[column]), text) << column;
    EXPECT_EQ(ErrorTextOf(validator_), "");
  }
}

TEST_F(ValidatorTest, QueryDataWritesRowsAndAMissIsFalseWithoutAnError) {
  Variant rows;
  ASSERT_TRUE(Call("QueryData", Variant("CMSMA"), Variant("02"), Variant("DB1"), Keys({""}), rows));
  ASSERT_EQ(VarArrayHighBound(rows, 1), 0);
  EXPECT_EQ(Cell(rows, 0, 0), "http://erp-report.kunshan.example.cn/WebReport");

  struct Miss {
    const char* name;
    const char* query;
    const char* number;
    const char* company;
    Variant keys;
  } const misses[] = {
      {"no web report site", "CMSMA", "02", "TWDB01", Keys({""})},
      {"footer of another company", "CMSMS", "01", "DB1", Keys({"1", "F00002"})},
      {"footer number as sign-off", "CMSMS", "01", "SDTest60", Keys({"2", "F00001"})},
      {"unknown program", "ADMMB", "01", "SDTest60", Keys({"KXBR99"})},
  };
  for (const Miss& m : misses) {
    SCOPED_TRACE(m.name);
    for (const char* method : {"CheckValue", "QueryData"}) {
      Variant result;
      EXPECT_FALSE(
          Call(method, Variant(m.query), Variant(m.number), Variant(m.company), m.keys, result));
      EXPECT_TRUE(result.IsEmpty());
      EXPECT_EQ(ErrorTextOf(validator_), "");
    }
  }
}

TEST_F(ValidatorTest, FailuresAnswerFalseWithAReasonAndNeverRaise) {
  struct Case {
    const char* name;
    Variant query;
    Variant number;
    Variant company;
    Variant keys;
    const char* reason;
  } const cases[] = {
      {"unknown name", Variant("QMTXX"), Variant("01"), Variant("SDTest60"), Keys({"x"}),
       "unknown query name \"QMTXX\""},
      {"unknown number", Variant("ADMMB"), Variant("99"), Variant("SDTest60"), Keys({"KXBR07"}),
       "query ADMMB has no number \"99\""},
      {"null keys", Variant("ADMMB"), Variant("01"), Variant("SDTest60"), Variant::Null(),
       "the keys must be an array, not Null"},
      {"text keys", Variant("ADMMB"), Variant("01"), Variant("SDTest60"), Variant("KXBR07"),
       "the keys must be an array"},
      {"two-dimensional keys", Variant("ADMMB"), Variant("01"), Variant("SDTest60"),
       VarArrayCreate({0, 1, 0, 1}, varVariant), "the keys must be an array"},
      {"array key", Variant("ADMMB"), Variant("01"), Variant("SDTest60"),
       VarArrayOf({VarArrayOf({Variant("KXBR07")})}), "key 1 must be a simple value"},
      {"too few keys", Variant("CMSMS"), Variant("01"), Variant("SDTest60"), Keys({"1"}),
       "needs 2 keys, not 1"},
      {"array company", Variant("CMSMA"), Variant("02"), VarArrayOf({Variant("SDTest60")}),
       Keys({""}), "the company key must be a simple value"},
      {"null name", Variant::Null(), Variant("01"), Variant("SDTest60"), Keys({"x"}),
       "unknown query name \"\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const char* method : {"CheckValue", "QueryData"}) {
      Variant result;
      EXPECT_FALSE(Call(method, c.query, c.number, c.company, c.keys, result));
      EXPECT_TRUE(result.IsEmpty());
      const std::string error = ErrorTextOf(validator_);
      EXPECT_TRUE(StartsText(std::string(method) + ": ", error)) << error;
      EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
  }
  // The platform's own check of the argument count still applies.
  EXPECT_THROW(OleInvoke(validator_, "CheckValue", {Variant("ADMMB")}), EOleSysError);
}

TEST_F(ValidatorTest, CallerPropertiesAreKept) {
  OleSet(validator_, "ProductID", Variant(3));
  OleSet(validator_, "BaseLimited",
         Variant::Wide("全部部门\x03"
                       "3\x03JZ01\x03"));
  EXPECT_EQ(OleGet(validator_, "ProductID"), Variant(3));
  EXPECT_EQ(OleGet(validator_, "BaseLimited").AsString(),
            "全部部门\x03"
            "3\x03JZ01\x03");
  EXPECT_EQ(app_->Validator()->ProductID(), 3);
}

TEST_F(ValidatorTest, SchemeNamesAreCheckedInTheServersStore) {
  const Variant keys = Keys({"月底结转", "796", "KXBR07"});
  Variant row;
  EXPECT_FALSE(Call("CheckValue", Variant("GENES"), Variant("01"), Variant("SDTest60"), keys, row));
  EXPECT_NE(ErrorTextOf(validator_).find("ORVANT_SERVER_DB"), std::string::npos);

  // The server's store with its scheme table CONSAVE.
  const std::string store = Folder().Path() + "/schemes.db";
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(store.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db,
                         "CREATE TABLE JOBQUEUE (JOBNO TEXT);"
                         "CREATE TABLE CONSAVE (NCONDITION TEXT, CREATOR TEXT, PROGRAMME TEXT,"
                         " SCONDITION TEXT, VCONDITION TEXT, CREATE_DATE TEXT);"
                         "INSERT INTO CONSAVE VALUES ('月底结转', '796', 'KXBR07', 'sp01.style;', "
                         "'sp_Range', '20240131');",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  const Variant validator(DispatchPtr(
      std::make_shared<TValidatorObject>(std::make_shared<THostDatabase>(DatabasePath()), store)));
  std::vector<Variant> args{Variant("GENES"), Variant("01"), Variant("SDTest60"), keys, Variant()};
  EXPECT_TRUE(OleInvoke(validator, "CheckValue", args).AsBoolean());
  EXPECT_EQ(VarToStr(args[4][0]), "月底结转");
  EXPECT_EQ(VarToStr(args[4][3]), "20240131");
  args = {Variant("GENES"), Variant("01"), Variant("SDTest60"), Keys({"月底结转", "U01", "KXBR07"}),
          Variant()};
  EXPECT_FALSE(OleInvoke(validator, "CheckValue", args).AsBoolean());
  EXPECT_EQ(OleGet(validator, "ErrorText").AsString(), "");

  // A store without a scheme table.
  const Variant wrong(DispatchPtr(std::make_shared<TValidatorObject>(
      std::make_shared<THostDatabase>(DatabasePath()), DatabasePath())));
  args = {Variant("GENES"), Variant("01"), Variant("SDTest60"), keys, Variant()};
  EXPECT_FALSE(OleInvoke(wrong, "CheckValue", args).AsBoolean());
  EXPECT_NE(OleGet(wrong, "ErrorText").AsString().find("no such table: CONSAVE"),
            std::string::npos);
}

}  // namespace
