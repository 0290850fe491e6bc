// The server object "ReportCounterS.dmReportCounter", in process and through the server.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <fstream>
#include <mutex>
#include <set>

#include "AppServerSupport.h"
#include "DBClient.h"
#include "ReportStore.h"
#include "ScopedEnv.h"
#include "TempFolder.h"
#include "UserPower.h"
#include "Wire.h"
#include "dmReportCounter.h"

namespace {

Variant W(const std::string& text) {
  return Variant::Wide(text);
}

Variant List(int low, std::vector<Variant> items) {
  Variant a = VarArrayCreate({low, low + static_cast<int>(items.size()) - 1}, varVariant);
  for (size_t k = 0; k < items.size(); ++k) a[low + static_cast<int>(k)] = items[k];
  return a;
}

// A request package as the module sends it: 14 environment entries, 8 conditions.
Variant MakePackage(const std::string& user = "796", bool periodic = false) {
  const TDateTime built = EncodeDate(2024, 3, 5) + EncodeTime(10, 5, 0, 0);
  Variant env =
      List(1, {W("KXBR07"), Variant(14), Variant(8), W("SDTest60"), W(user), W("SDTest60"),
               Variant::FromDate(built), W("KXBR07S.Class1"), W(periodic ? "r" : "R"), Variant(0),
               Variant::FromDate(built), W(""), Variant(1), W("")});
  const char* const names[] = {"sp01",      "sp02",    "sp03",        "rdoStatus",
                               "grpSignIn", "grpNote", "cboDateType", "edPrintDate"};
  Variant texts = VarArrayCreate({1, 8}, varVariant);
  Variant values = VarArrayCreate({1, 8}, varVariant);
  for (int k = 1; k <= 8; ++k) {
    texts[k] = List(0, {W("条件" + IntToStr(k)), W(names[k - 1])});
    values[k] = List(0, {W("\x04"), W("A" + IntToStr(k)), W("Z" + IntToStr(k))});
  }
  if (!periodic) return List(0, {env, texts, values});
  const Variant definition =
      List(0, {W("Y"), W("08:30"), List(0, {Variant(0), List(0, {Variant(1)})}),
               List(0, {W("20240301"), Variant(0)})});
  const Variant moving = List(0, {Variant(1), W("0\x03sp02\x03N\x03"
                                                "0\x03"
                                                "0\x03"
                                                "0\x03"
                                                "0\x03N\x03"
                                                "0\x03"
                                                "0\x03"
                                                "0\x03"
                                                "0\x03"
                                                "D")});
  return List(0, {env, texts, values, definition, moving});
}

Variant Scheme(const std::string& name, const std::string& values, bool replace,
               const std::string& user = "796") {
  return List(0, {W(name), W(user), W("20240305"), W("KXBR07"), W("sp01.style;sp02.style;"),
                  W(values), Variant(replace)});
}

Variant Key(const std::string& name, const std::string& user = "796") {
  return List(0, {W(name), W(user), W("KXBR07")});
}

class ReportCounterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registryEnv_.emplace(
        "ORVANT_REGISTRY",
        folder_.Write("registry.ini",
                      "[HKEY_LOCAL_MACHINE\\Software\\QMT\\Orvant]\nServerPath=" + folder_.Path() +
                          "/\n[ProgID]\nReportCounterS.dmReportCounter=" KXBR_REPORTCOUNTER_LIBRARY
                          ":CreateReportCounter\n"));
    const std::string demo = folder_.Path() + "/demo.db";
    std::ifstream script(KXBR_SOURCE_DIR "/host/demo/demo.sql");
    const std::string sql(std::istreambuf_iterator<char>(script), {});
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(demo.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db);
    sqlite3_close(db);
    demoEnv_.emplace("ORVANT_DEMO_DB", demo);
  }

  std::string StorePath(const std::string& name = "server.db") const {
    return folder_.Path() + "/" + name;
  }

  // The object as a client creates it in process: through the ProgID table's library.
  Variant LocalObject(const std::string& store = "server.db") {
    ScopedEnv storeEnv("ORVANT_SERVER_DB", StorePath(store));
    return Variant(CreateOleObject(kReportCounterProgID));
  }

  std::unique_ptr<TSocketConnection> Connect(const TTestServer& server,
                                             const std::string& store = "server.db",
                                             int callTimeoutMs = 10000) {
    ScopedEnv storeEnv("ORVANT_SERVER_DB", StorePath(store));
    return server.Connect(kReportCounterProgID, callTimeoutMs);
  }

  TempFolder folder_;
  // The fixture's registry (ProgID table, ServerPath for the logs) and demo database.
  std::optional<ScopedEnv> registryEnv_;
  std::optional<ScopedEnv> demoEnv_;
};

TEST_F(ReportCounterTest, InProcessAndOverLoopbackTheAnswersAreTheSame) {
  TTestServer server;
  auto connection = Connect(server, "remote.db");
  const Variant remote = connection->AppServer();
  const Variant local = LocalObject("local.db");
  Variant badPackage = MakePackage();
  badPackage[0][5] = W(" ");
  struct TCase {
    const char* name;
    const char* method;
    std::vector<Variant> args;
  };
  const TCase script[] = {
      {"SQLType", "SQLType", {}},
      {"PowerOfAKnownUser", "GetPower", {List(0, {W("SDTest60"), W("U01"), W("kxbr07"), W("")})}},
      {"PowerOfAnUnknownUser",
       "GetPower",
       {List(0, {W("SDTest60"), W("U99"), W("KXBR07"), W("")})}},
      {"PowerWithoutKeys", "GetPower", {W("SDTest60")}},
      {"Request", "Request", {MakePackage()}},
      {"Request1", "Request1", {MakePackage(), W("PC-01")}},
      {"PeriodicRequest", "Request", {MakePackage("796", true)}},
      {"RefusedRequest", "Request", {badPackage}},
      {"ErrorDescript", "ErrorDescript", {}},
      {"UpdateStatus1", "UpdateStatus1", {W("00000002"), W("E;000013;"), Variant::FromDate(45000)}},
      {"UpdateStatus1Unknown", "UpdateStatus1", {W("ERROR"), W(""), Variant::FromDate(45000)}},
      {"Insert", "InsertConTable", {Scheme("月报", "v1", false)}},
      {"InsertAgain", "InsertConTable", {Scheme("月报", "v2", false)}},
      {"InsertReplacing", "InsertConTable", {Scheme("月报", "v3", true)}},
      {"LoadTable", "LoadTable", {List(0, {W("796"), W("KXBR07")})}},
      {"Rows", "AS_GetRecords", {W("pvdConSave")}},
      {"Rename", "ChangeConName", {Key("月报"), Key("年报")}},
      {"Delete", "DeleteConTable", {Key("年报")}},
      {"DeleteAgain", "DeleteConTable", {Key("年报")}},
      {"UnknownProvider", "AS_GetRecords", {W("pvdOther")}},
      {"UnknownMethod", "Nothing", {}},
  };
  for (const TCase& c : script) {
    SCOPED_TRACE(c.name);
    ExpectSame(Call(local, c.method, c.args), Call(remote, c.method, c.args));
  }
  // And the answers are the right ones.
  EXPECT_TRUE(Call(remote, "SQLType", {}).Result == Variant(kSQLTypeSQLite));
  EXPECT_TRUE(Call(remote, "Request", {MakePackage()}).Result == W("000000040001"));
  EXPECT_TRUE(Call(remote, "Request1", {MakePackage(), W("PC-01")}).Result == W("00000005"));
}

TEST_F(ReportCounterTest, SchemesChangedThroughOneConnectionAreSeenThroughAnother) {
  TTestServer server;
  auto first = Connect(server);
  auto second = Connect(server);
  const Variant a = first->AppServer();
  const Variant b = second->AppServer();
  const auto names = [&]() {
    std::vector<std::string> result;
    OleInvoke(b, "LoadTable", {List(0, {W("796"), W("KXBR07")})});
    const Variant rows = GetProviderRecords(b, "pvdConSave");
    EXPECT_EQ(VarArrayHighBound(rows, 2), 5);
    EXPECT_TRUE(rows.At({0, 0}) == W("NCONDITION"));
    EXPECT_TRUE(rows.At({0, 5}) == W("CREATE_DATE"));
    for (int r = 1; r <= VarArrayHighBound(rows, 1); ++r)
      result.push_back(rows.At({r, 0}).AsString());
    return result;
  };
  EXPECT_TRUE(OleInvoke(a, "InsertConTable", {Scheme("十个汉字的方案名称", "值", false)}) == W(""));
  EXPECT_EQ(names(), std::vector<std::string>{"十个汉字的方案名称"});
  const Variant rows = GetProviderRecords(b, "pvdConSave");
  EXPECT_TRUE(rows.At({1, 1}) == W("796"));
  EXPECT_TRUE(rows.At({1, 3}) == W("sp01.style;sp02.style;"));
  EXPECT_TRUE(rows.At({1, 4}) == W("值"));
  EXPECT_TRUE(rows.At({1, 5}) == W("20240305"));
  EXPECT_TRUE(OleInvoke(a, "ChangeConName", {Key("十个汉字的方案名称"), Key("新名")}) == W(""));
  EXPECT_EQ(names(), std::vector<std::string>{"新名"});
  EXPECT_TRUE(OleInvoke(a, "DeleteConTable", {Key("新名")}) == W(""));
  EXPECT_TRUE(names().empty());
}

TEST_F(ReportCounterTest, AClientDataSetReadsTheSchemesOverTheConnection) {
  TTestServer server;
  auto connection = Connect(server);
  const Variant appServer = connection->AppServer();
  for (const char* name : {"月报", "年报", "季报"})
    ASSERT_TRUE(OleInvoke(appServer, "InsertConTable", {Scheme(name, "v", false)}) == W(""));
  OleInvoke(appServer, "InsertConTable", {Scheme("别人的", "v", false, "U01")});
  OleInvoke(appServer, "LoadTable", {List(0, {W("796"), W("KXBR07")})});

  // As a form does it: the connection is the dataset's remote server.
  TClientDataSet schemes(nullptr);
  schemes.SetRemoteServer(connection.get());
  schemes.SetProviderName("pvdConSave");
  schemes.SetIndexFieldNames("NCONDITION;CREATOR;PROGRAMME");
  schemes.Open();
  EXPECT_EQ(schemes.RecordCount(), 3);  // the user's own schemes of this program
  ASSERT_TRUE(schemes.Locate("NCONDITION;CREATOR;PROGRAMME",
                             VarArrayOf({W("年报"), W("796"), W("KXBR07")})));
  EXPECT_EQ(schemes.FieldByName("VCONDITION")->AsString(), "v");
  EXPECT_FALSE(schemes.Locate("NCONDITION;CREATOR;PROGRAMME",
                              VarArrayOf({W("别人的"), W("796"), W("KXBR07")})));

  TClientDataSet unknown(nullptr);
  unknown.SetProvider(std::make_shared<TAppServerProvider>(appServer));
  unknown.SetProviderName("pvdOther");
  EXPECT_THROW(unknown.Open(), Exception);

  connection.reset();  // a freed connection is no dataset's remote server any more
  EXPECT_EQ(schemes.RemoteServer(), nullptr);
}

TEST_F(ReportCounterTest, SchemeCallsSayWhyTheyDidNothing) {
  const Variant object = LocalObject();
  ASSERT_TRUE(OleInvoke(object, "InsertConTable", {Scheme("甲", "old", false)}) == W(""));
  ASSERT_TRUE(OleInvoke(object, "InsertConTable", {Scheme("乙", "old", false)}) == W(""));
  struct TCase {
    const char* name;
    const char* method;
    std::vector<Variant> args;
    const char* answer;  // part of the reason; "" for done
  };
  const TCase cases[] = {
      {"TwentyBytes", "InsertConTable", {Scheme("一二三四五六七八九十", "", false)}, ""},
      {"TwentyTwoBytes",
       "InsertConTable",
       {Scheme("一二三四五六七八九十一", "", false)},
       "longer than 20 bytes"},
      {"BlankName", "InsertConTable", {Scheme("  ", "", false)}, "must not be empty"},
      {"BadDate",
       "InsertConTable",
       {List(0, {W("x"), W("796"), W("20241301"), W("KXBR07"), W(""), W(""), Variant(false)})},
       "not a date"},
      {"TooFewItems", "InsertConTable", {List(0, {W("x"), W("796")})}, "must have 7 items"},
      {"ExistingWithoutReplace", "InsertConTable", {Scheme("甲", "new", false)}, "already exists"},
      {"RenameOntoAnother", "ChangeConName", {Key("甲"), Key("乙")}, "already exists"},
      {"RenameMissing", "ChangeConName", {Key("丙"), Key("丁")}, "does not exist"},
      {"RenameToItself", "ChangeConName", {Key("甲"), Key("甲")}, ""},
      {"DeleteMissing", "DeleteConTable", {Key("丙")}, "does not exist"},
      {"DeleteOtherUsers", "DeleteConTable", {Key("甲", "U01")}, "does not exist"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<Variant> args = c.args;
    const std::string answer = OleInvoke(object, c.method, args).AsString();
    if (std::string(c.answer).empty())
      EXPECT_EQ(answer, "");
    else
      EXPECT_NE(answer.find(c.answer), std::string::npos) << answer;
  }
  // Only Replace overwrites.
  const auto valueOf = [&](const std::string& name) {
    OleInvoke(object, "LoadTable", {List(0, {W("796"), W("KXBR07")})});
    const Variant rows = GetProviderRecords(object, "pvdConSave");
    for (int r = 1; r <= VarArrayHighBound(rows, 1); ++r)
      if (rows.At({r, 0}).AsString() == name) return rows.At({r, 4}).AsString();
    return std::string("(missing)");
  };
  EXPECT_EQ(valueOf("甲"), "old");
  EXPECT_TRUE(OleInvoke(object, "InsertConTable", {Scheme("甲", "new", true)}) == W(""));
  EXPECT_EQ(valueOf("甲"), "new");
}

TEST_F(ReportCounterTest, RefusedRequestsAreExplainedAndNotStored) {
  TTestServer server;
  auto connection = Connect(server);
  const Variant object = connection->AppServer();
  struct TCase {
    const char* name;
    std::function<void(Variant&)> change;
    const char* reason;
  };
  const TCase cases[] = {
      {"NotAnArray", [](Variant& p) { p = W("package"); }, "must be a one-dimensional array"},
      {"FourElements", [](Variant& p) { VarArrayRedim(p, 3); }, "0..2, or 0..4"},
      {"EnvironmentFrom0", [](Variant& p) { p[0] = VarArrayOf({W("KXBR07")}); },
       "must start at index 1"},
      {"ShortEnvironment", [](Variant& p) { VarArrayRedim(p[0], 8); }, "at least 9 entries"},
      {"CountDisagrees", [](Variant& p) { p[0][2] = Variant(12); }, "says 12"},
      {"EmptyEntry", [](Variant& p) { p[0][13] = Variant(); }, "entry 13 (output flags) is empty"},
      {"NoUser", [](Variant& p) { p[0][5] = W(""); }, "entry 5 (user id) must not be empty"},
      {"UserNotText", [](Variant& p) { p[0][5] = Variant(796); },
       "entry 5 (user id) must be a text"},
      {"BuildTimeAsText", [](Variant& p) { p[0][7] = W("2024/03/05"); }, "must be a date and time"},
      {"OtherServerClass", [](Variant& p) { p[0][8] = W("KXBR01S.Class1"); },
       "must be \"KXBR07S.Class1\""},
      {"RunModeThree", [](Variant& p) { p[0][10] = Variant(3); }, "between 0 and 2, not 3"},
      {"NoOutput", [](Variant& p) { p[0][13] = Variant(0); }, "between 1 and 7"},
      {"PeriodicKindWithoutSchedule", [](Variant& p) { p[0][9] = W("r"); },
       "needs the period definition"},
      {"MissingCondition", [](Variant& p) { VarArrayRedim(p[2], 7); }, "the 8 entries"},
      {"EmptyConditionValue", [](Variant& p) { p[2][4] = Variant::Null(); },
       "Condition value 4 is empty"},
      {"TextWithoutName",
       [](Variant& p) {
         p[1][2] = List(0, {W("x"), W("")});
       },
       "control name must not be empty"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    Variant package = MakePackage();
    c.change(package);
    try {
      OleInvoke(object, "Request", {package});
      ADD_FAILURE() << "accepted";
    } catch (const EOleException& e) {
      EXPECT_NE(e.Message().find(c.reason), std::string::npos) << e.Message();
      EXPECT_TRUE(OleInvoke(object, "ErrorDescript") == W(e.Message()));
    }
  }
  Variant periodic = MakePackage("796", true);
  periodic[0][9] = W("R");
  EXPECT_THROW(OleInvoke(object, "Request", {periodic}), EOleException);
  EXPECT_NE(OleInvoke(object, "ErrorDescript").AsString().find("lower case"), std::string::npos);
  EXPECT_EQ(OpenSQLiteReportStore(StorePath())->JobCount(), 0);
}

TEST_F(ReportCounterTest, AcceptedRequestsAreStoredExactly) {
  TTestServer server;
  auto connection = Connect(server);
  const Variant object = connection->AppServer();
  const Variant package = MakePackage("U01");
  EXPECT_TRUE(OleInvoke(object, "Request", {package}) == W("000000010001"));
  EXPECT_TRUE(OleInvoke(object, "Request1", {MakePackage("U02"), W("PC-07")}) == W("00000002"));
  EXPECT_TRUE(OleInvoke(object, "Request", {MakePackage("U03", true)}) == W("000000030001"));
  OleInvoke(object, "UpdateStatus1",
            {W("00000002"), W("E;000013;拒绝"), Variant::FromDate(45001.5)});

  auto store = OpenSQLiteReportStore(StorePath());
  ASSERT_EQ(store->JobCount(), 3);
  const auto queued = store->FindJob(1);
  ASSERT_TRUE(queued);
  EXPECT_TRUE(DecodeVariant(queued->Submission.Package) == package);
  EXPECT_EQ(queued->Submission.UserID, "U01");
  EXPECT_EQ(queued->Submission.ProgramID, "KXBR07");
  EXPECT_FALSE(queued->Submission.Registered);
  EXPECT_EQ(queued->Status, "Q");
  const auto registered = store->FindJob(2);
  ASSERT_TRUE(registered);
  EXPECT_TRUE(registered->Submission.Registered);
  EXPECT_EQ(registered->Submission.Computer, "PC-07");
  EXPECT_EQ(registered->Status, "U");
  EXPECT_EQ(registered->Messages, "E;000013;拒绝");
  EXPECT_EQ(registered->StatusTime, 45001.5);
  const auto periodic = store->FindJob(3);
  ASSERT_TRUE(periodic);
  EXPECT_TRUE(periodic->Submission.Periodic);
  EXPECT_EQ(periodic->Submission.ReportKind, "r");
}

TEST_F(ReportCounterTest, RightsComeFromTheDemoDatabaseOrAreFull) {
  const auto power = [&](const std::string& user) {
    return OleInvoke(LocalObject(), "GetPower",
                     {List(0, {W("SDTest60"), W(user), W("KXBR07"), W("")})});
  };
  const Variant u01 = power("U01");
  EXPECT_EQ(VarArrayLowBound(u01, 1), 0);
  EXPECT_EQ(VarArrayHighBound(u01, 1), 5);
  EXPECT_TRUE(u01[1] == W("Y,Y,N,YYYYYYNY,N,Y"));
  EXPECT_TRUE(u01[3] == W("N"));
  EXPECT_TRUE(u01[4] == W("关务部"));
  EXPECT_TRUE(u01[5] == List(0, {Variant(2), W("JZ01"), W("JZ02")}));
  const Variant unknown = power("U99");
  EXPECT_TRUE(unknown[1] == W(kFullPower));
  EXPECT_TRUE(unknown[5] == List(0, {Variant(0)}));
  {
    ScopedEnv noDemo("ORVANT_DEMO_DB", std::nullopt);
    EXPECT_TRUE(power("U01")[1] == W(kFullPower));
  }
  {
    ScopedEnv brokenDemo("ORVANT_DEMO_DB", folder_.Write("broken.db", "this is no database"));
    EXPECT_THROW(power("U01"), Exception);
  }
}

TEST_F(ReportCounterTest, SixteenClientsSubmittingAreAllStored) {
  constexpr int kClients = 16;
  constexpr int kEach = 25;
  TTestServer server;
  std::vector<std::unique_ptr<TSocketConnection>> connections;
  for (int c = 0; c < kClients; ++c) connections.push_back(Connect(server));
  std::mutex lock;
  std::set<std::string> numbers;
  std::vector<std::thread> threads;
  for (int c = 0; c < kClients; ++c)
    threads.emplace_back([&, c] {
      const Variant object = connections[c]->AppServer();
      const Variant package = MakePackage("C" + IntToStr(c));
      for (int k = 0; k < kEach; ++k) {
        const std::string number = OleInvoke(object, "Request", {package}).AsString();
        std::lock_guard guard(lock);
        numbers.insert(number);
      }
    });
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(numbers.size(), static_cast<size_t>(kClients * kEach));
  EXPECT_EQ(OpenSQLiteReportStore(StorePath())->JobCount(), kClients * kEach);
}

TEST_F(ReportCounterTest, EveryAcknowledgedSubmissionSurvivesSigkill) {
  ScopedEnv storeEnv("ORVANT_SERVER_DB", StorePath());
  constexpr int kClients = 4;
  std::mutex lock;
  std::vector<std::pair<int64_t, int>> acknowledged;  // request id, client
  std::atomic<int> failed{0};
  {
    TServerProcess process(KXBR_APPSERVER_PROGRAM, {"--port", "0"});
    ASSERT_GT(process.Port(), 0);
    std::vector<std::thread> clients;
    for (int c = 0; c < kClients; ++c)
      clients.emplace_back([&, c] {
        try {
          TSocketConnection connection(nullptr);
          connection.SetAddress("127.0.0.1");
          connection.SetPort(process.Port());
          connection.SetServerName(kReportCounterProgID);
          connection.SetCallTimeout(5000);
          const Variant object = connection.AppServer();
          const Variant package = MakePackage("K" + IntToStr(c));
          for (;;) {
            const std::string number = OleInvoke(object, "Request", {package}).AsString();
            std::lock_guard guard(lock);
            acknowledged.emplace_back(ParseRequestNumber(number), c);
          }
        } catch (const ESocketConnectionError&) {
          ++failed;  // the server died under the call: an error, not a hang
        }
      });
    ASSERT_TRUE(WaitUntil(
        [&] {
          std::lock_guard guard(lock);
          return acknowledged.size() >= 200;
        },
        20000));
    process.Kill(SIGKILL);
    for (std::thread& t : clients) t.join();
  }
  EXPECT_EQ(failed, kClients);

  TServerProcess restarted(KXBR_APPSERVER_PROGRAM, {"--port", "0"});
  ASSERT_GT(restarted.Port(), 0);
  auto store = OpenSQLiteReportStore(StorePath());
  int64_t highest = 0;
  for (const auto& [id, client] : acknowledged) {
    const auto job = store->FindJob(id);
    ASSERT_TRUE(job) << "request " << id << " was acknowledged but not stored";
    EXPECT_EQ(job->Submission.UserID, "K" + IntToStr(client));
    highest = std::max(highest, id);
  }
  TSocketConnection connection(nullptr);
  connection.SetAddress("127.0.0.1");
  connection.SetPort(restarted.Port());
  connection.SetServerName(kReportCounterProgID);
  EXPECT_GT(
      ParseRequestNumber(OleInvoke(connection.AppServer(), "Request", {MakePackage()}).AsString()),
      highest);
  connection.Close();
  const int status = restarted.Kill(SIGTERM);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
