#include <gtest/gtest.h>

#include <map>

#include "HostFixture.h"

namespace {

class CounterTest : public HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    counter_ = Service("Com_Counter");
  }
  Variant SimpleSQLWith(const Variant& params) {
    return OleInvoke(
        counter_, "GetCounter",
        {Variant("SIMPLESQL"), params, VarArrayOf({Variant("SDTest60"), Variant("SDTest60")})});
  }
  Variant SimpleSQL(const std::string& statement, const std::string& columns = "") {
    return SimpleSQLWith(VarArrayOf({Variant(statement), Variant(columns)}));
  }
  std::string Refusal(const std::string& statement) {
    return FailureOf([&] { SimpleSQL(statement); });
  }

  Variant counter_;
};

TEST_F(CounterTest, SysInfoIsATwoRowTableOfNamesAndValues) {
  const Variant info = OleInvoke(counter_, "GetSysInfo", {Variant("TW01")});
  ASSERT_EQ(VarArrayHighBound(info, 1), 1);
  const Variant& names = info[0];
  const Variant& values = info[1];
  ASSERT_EQ(VarArrayHighBound(names, 1), VarArrayHighBound(values, 1));
  std::map<std::string, std::string> settings;
  for (int i = 0; i <= VarArrayHighBound(names, 1); ++i)
    settings[names[i].AsString()] = values[i].AsString();
  EXPECT_EQ(VarToStr(names[0]), "Sys001");  // in the company's order
  EXPECT_EQ(settings["Sys001"], "5");
  EXPECT_EQ(settings["Sys002"], ".");
  EXPECT_EQ(settings["QMT002"], "TWJJ");
  EXPECT_EQ(settings["SYS026"], "1");

  // A company without settings has two empty rows, which a reader walks like any other.
  const Variant none = OleInvoke(counter_, "GetSysInfo", {Variant("NOSUCH")});
  ASSERT_EQ(VarArrayHighBound(none, 1), 1);
  EXPECT_EQ(VarArrayHighBound(none[0], 1), -1);
  EXPECT_EQ(VarArrayHighBound(none[1], 1), -1);

  EXPECT_NE(FailureOf([&] {
              OleInvoke(counter_, "GetSysInfo", {VarArrayOf({Variant("TW01")})});
            }).find("the company must be a simple value"),
            std::string::npos);
}

TEST_F(CounterTest, SimpleSQLAnswersTheRowsOfTheNamedColumns) {
  // The option form's portal statements, exactly as it sends them.
  const Variant portal =
      SimpleSQL("SELECT MA003 FROM QMTINTMA WHERE MA001='StartupPortal' ", "MA003");
  ASSERT_EQ(VarArrayHighBound(portal, 1), 0);
  EXPECT_EQ(portal[0][0], Variant::Wide("N"));
  EXPECT_EQ(Cell(SimpleSQL("SELECT MA003 FROM QMTINTMA WHERE MA001='Portal WS' ", "MA003"), 0, 0),
            "http://portal.huanan-bonded.example.cn/PortalWS/Service.asmx");

  const Variant picked =
      SimpleSQL("SELECT MA001, MA002, MA003 FROM QMTINTMA ORDER BY MA001", " ma003 , MA001");
  ASSERT_EQ(VarArrayHighBound(picked, 1), 3);
  ASSERT_EQ(VarArrayHighBound(picked[0], 1), 1);
  EXPECT_EQ(Cell(picked, 0, 0), "smtp.huanan-bonded.example.cn");
  EXPECT_EQ(Cell(picked, 0, 1), "MailServer");

  // No column list: every column; numbers keep their kinds; no row: an empty array.
  const Variant all = SimpleSQLWith(VarArrayOf({Variant("SELECT 7, 2.5, NULL, 'x'")}));
  EXPECT_EQ(all[0][0], Variant(7));
  EXPECT_EQ(all[0][1], Variant(2.5));
  EXPECT_TRUE(all[0][2].IsNull());
  const Variant empty = SimpleSQL("SELECT MA003 FROM QMTINTMA WHERE MA001 = 'none'");
  EXPECT_TRUE(empty.IsArray());
  EXPECT_EQ(VarArrayHighBound(empty, 1), -1);

  // Comments, a trailing semicolon and lower case are fine.
  EXPECT_EQ(
      Cell(SimpleSQL(" /* portal */ with s AS (select 1 AS v) SELECT v FROM s; -- done\n"), 0, 0),
      "1");
  EXPECT_NE(FailureOf([&] {
              SimpleSQL("SELECT MA003 FROM QMTINTMA", "MA009");
            }).find("answers no column \"MA009\""),
            std::string::npos);
}

TEST_F(CounterTest, SimpleSQLRefusesEverythingButOneReadingStatement) {
  struct Case {
    const char* name;
    const char* statement;
    const char* reason;
  } const cases[] = {
      {"insert", "INSERT INTO QMTINTMA VALUES ('x', 'y', 'z')",
       "only a SELECT or WITH statement, not INSERT"},
      {"update", "update QMTINTMA SET MA003 = 'Y'", "not UPDATE"},
      {"second statement", "SELECT 1; DELETE FROM QMTINTMA", "a single statement"},
      {"second statement after comment", "SELECT 1; /* x */ DROP TABLE QMTMA",
       "a single statement"},
      {"attach", "ATTACH DATABASE '/tmp/other.db' AS other", "not ATTACH"},
      {"pragma write", "PRAGMA user_version = 7", "not PRAGMA"},
      {"pragma journal", "PRAGMA journal_mode = DELETE", "not PRAGMA"},
      {"with delete", "WITH x AS (SELECT 1) DELETE FROM QMTINTMA",
       "only statements that read tables"},
      {"create", "CREATE TABLE t (x)", "not CREATE"},
      {"empty", "   ", "the statement is empty"},
      {"only a comment", "-- nothing", "the statement is empty"},
      {"bad table", "SELECT * FROM NOSUCHTABLE", "no such table"},
      {"runaway",
       "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT count(*) FROM c",
       "ran too long"},
      {"too many rows",
       "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT x FROM c",
       "more than 10000 rows"},
      {"huge value", "SELECT zeroblob(100000000)", "too big"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string failure = Refusal(c.statement);
    EXPECT_NE(failure.find(c.reason), std::string::npos) << failure;
    EXPECT_EQ(ErrorTextOf(counter_), failure);
  }
  // Pragmas stay out of reach even when read as tables.
  EXPECT_NE(Refusal("SELECT * FROM pragma_user_version").find("only statements that read tables"),
            std::string::npos);
  // Nothing changed; the counter still answers.
  EXPECT_EQ(THostDatabase(DatabasePath()).Query("PRAGMA user_version").Rows[0][0], Variant(0));
  EXPECT_EQ(Cell(SimpleSQL("SELECT count(*) FROM QMTINTMA"), 0, 0), "4");
  EXPECT_EQ(ErrorTextOf(counter_), "");
}

TEST_F(CounterTest, BadCounterArgumentsRaiseClearErrors) {
  struct Case {
    const char* name;
    Variant counter;
    Variant params;
    const char* reason;
  } const cases[] = {
      {"null params", Variant("SIMPLESQL"), Variant::Null(),
       "expects the parameters [statement, columns]"},
      {"text params", Variant("SIMPLESQL"), Variant("SELECT 1"), "expects the parameters"},
      {"empty array", Variant("SIMPLESQL"), VarArrayOf({}), "expects the parameters"},
      {"array statement", Variant("SIMPLESQL"), VarArrayOf({VarArrayOf({Variant("SELECT 1")})}),
       "the statement must be a simple value"},
      {"unknown counter", Variant("NEXTNO"), VarArrayOf({Variant("SELECT 1")}),
       "unknown counter \"NEXTNO\""},
      {"null counter", Variant::Null(), VarArrayOf({Variant("SELECT 1")}), "unknown counter \"\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string failure = FailureOf([&] {
      OleInvoke(counter_, "GetCounter", {c.counter, c.params, VarArrayOf({Variant("SDTest60")})});
    });
    EXPECT_NE(failure.find(c.reason), std::string::npos) << failure;
  }
  EXPECT_NE(FailureOf([&] {
              OleInvoke(
                  counter_, "GetCounter",
                  {Variant("SIMPLESQL"), VarArrayOf({Variant("SELECT 1")}), Variant("SDTest60")});
            }).find("[CompanyID, CompanyKey]"),
            std::string::npos);
  // The name is taken without regard to case, as the forms upper-case it themselves.
  EXPECT_EQ(Cell(OleInvoke(counter_, "GetCounter",
                           {Variant("simplesql"), VarArrayOf({Variant("SELECT 3")}), Variant()}),
                 0, 0),
            "3");
}

}  // namespace
