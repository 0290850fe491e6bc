// The host application object created by its ProgID, in process and from its library
// through the registry stand-in, as a stand-alone module creates it.
#include <gtest/gtest.h>

#include <optional>

#include "HostFixture.h"
#include "Paths.h"
#include "ScopedEnv.h"

namespace {

class TarselWorkCenterTest : public HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    registry_.emplace(
        "ORVANT_REGISTRY",
        Folder().Write("registry.ini", std::string("[ProgID]\nTarselWorkCenter.Manager=") +
                                           KXBR_TARSEL_LIBRARY + ":CreateTarselWorkCenter\n"));
  }
  std::optional<ScopedEnv> registry_;
};

TEST_F(TarselWorkCenterTest, RegisteredInProcessWithItsOptions) {
  RegisterTarselWorkCenter(THostOptions{DatabasePath(), "", chooser_, "ENG", 7});
  const Variant host(CreateOleObject("tarselworkcenter.manager"));
  UnregisterProgID(kHostAppProgID);
  EXPECT_EQ(OleGet(host, "ProductID"), Variant(7));
  EXPECT_EQ(OleInvoke(host, "GetMessage", {Variant("E"), Variant("000006")}).AsString(),
            "Cannot connect to the application server. Please check the server settings.");
  chooser_->PushRows({0});
  const Variant rows = OleInvoke(
      OleGet(host, "Com_F2Window"), "F2GetData",
      {VarArrayOf({Variant("QMTMA"), Variant("04"), Variant(), Variant(false), Variant(""),
                   Variant("SDTest60"), Variant("SDTest60"), Variant(0), Variant(1), Variant(false),
                   Variant(7), Variant(""), Variant(""), Variant(""), Variant(""), Variant(false),
                   Variant(false), host, Variant("796")})});
  EXPECT_EQ(Cell(rows, 0, 1), "王建国");
}

TEST_F(TarselWorkCenterTest, RegisteredInProcessWithTheEnvironmentsOptions) {
  RegisterTarselWorkCenter();  // the environment is read when an object is made
  ScopedEnv database("ORVANT_DEMO_DB", DatabasePath());
  ScopedEnv codePage("ORVANT_CODEPAGE", "437");
  const Variant host(CreateOleObject("TarselWorkCenter.Manager"));
  UnregisterProgID(kHostAppProgID);
  EXPECT_EQ(OleGet(host, "Language").AsString(), "ENG");
  EXPECT_EQ(OleInvoke(host, "GetMessage", {Variant("I"), Variant("000003")}).AsString(),
            "There are no conditions to process.");
}

TEST_F(TarselWorkCenterTest, CreatedFromItsLibraryWithTheEnvironmentsOptions) {
  const std::string script = Folder().Write("picks.txt", "rows 0\n");
  ScopedEnv database("ORVANT_DEMO_DB", DatabasePath());
  ScopedEnv picks("ORVANT_LOOKUP_SCRIPT", script);
  ScopedEnv codePage("ORVANT_CODEPAGE", "950");
  const Variant host(CreateOleObject("TarselWorkCenter.Manager"));
  EXPECT_EQ(OleGet(host, "Language").AsString(), "CHT");
  EXPECT_EQ(OleGet(host, "ProductID"), Variant(1));

  const Variant info = OleInvoke(OleGet(host, "Com_Counter"), "GetSysInfo", {Variant("SDTest60")});
  EXPECT_EQ(Cell(info, 1, 0), "1");

  std::vector<Variant> args{Variant("ADMMB"), Variant("01"), Variant("SDTest60"),
                            VarArrayOf({Variant("KXBR07")}), Variant()};
  EXPECT_TRUE(OleInvoke(OleGet(host, "Com_Validator"), "CheckValue", args).AsBoolean());
  EXPECT_EQ(VarToStr(args[4][0]), "结转单据明细表");

  const Variant date = OleInvoke(OleGet(host, "Com_F2Window"), "ShowInputDay",
                                 {VarArrayOf({Variant(false), Variant("20240101"), Variant("")})});
  EXPECT_EQ(date.AsString(), "");  // the script's answer is a row pick, not a date
}

TEST_F(TarselWorkCenterTest, MissingOptionsAreClearErrors) {
  {
    ScopedEnv database("ORVANT_DEMO_DB", std::nullopt);
    EXPECT_NE(FailureOf([] {
                CreateOleObject("TarselWorkCenter.Manager");
              }).find("ORVANT_DEMO_DB is not set"),
              std::string::npos);
  }
  {
    const std::string missing = Folder().Path() + "/nothing.db";
    ScopedEnv database("ORVANT_DEMO_DB", missing);
    EXPECT_NE(FailureOf([] {
                CreateOleObject("TarselWorkCenter.Manager");
              }).find("cannot open the database " + missing),
              std::string::npos);
  }
  {
    ScopedEnv database("ORVANT_DEMO_DB", DatabasePath());
    ScopedEnv picks("ORVANT_LOOKUP_SCRIPT", Folder().Write("bad-picks.txt", "rows a\n"));
    EXPECT_EQ(FailureOf([] { CreateOleObject("TarselWorkCenter.Manager"); }),
              "lookup script line 1: cannot read \"rows a\"");
  }
}

TEST(DemoDatabaseTest, CreatedFreshAndNeverOverwritten) {
  TempFolder folder;
  const std::string path = folder.Path() + "/demo.db";
  CreateDemoDatabase(path);
  EXPECT_NE(FailureOf([&] { CreateDemoDatabase(path); }).find("the file exists"),
            std::string::npos);

  const THostDatabase database(path);
  // Every carry-over form names a contract of its own company; every rights record has
  // six tokens.
  EXPECT_EQ(database.Query("SELECT count(*) FROM CUSTCARRYOVER").Rows[0][0], Variant(330));
  EXPECT_EQ(database
                .Query("SELECT count(*) FROM CUSTCARRYOVER F LEFT JOIN CUSTCONTRACT C "
                       "ON C.COMPANYKEY = F.COMPANYKEY AND C.CONTRACTNO = F.CONTRACTNO "
                       "WHERE C.CONTRACTNO IS NULL")
                .Rows[0][0],
            Variant(0));
  for (const THostRow& row : database.Query("SELECT POWER FROM USERPOWER").Rows)
    EXPECT_EQ(SplitString(VarToStr(row[0]), ',').size(), 6u) << VarToStr(row[0]);

  // A failing script leaves no file behind.
  const std::string broken = folder.Path() + "/broken.db";
  EXPECT_NE(FailureOf([&] {
              CreateDemoDatabase(broken, "CREATE TABLE A (X); INSERT INTO B VALUES (1);");
            }).find("no such table: B"),
            std::string::npos);
  EXPECT_FALSE(FileExists(broken));
}

}  // namespace
