// orvant-appserver and TSocketConnection over real loopback connections.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <set>
#include <sstream>

#include "AppServerSupport.h"
#include "ScopedEnv.h"
#include "TempFolder.h"

namespace {

Variant Array0(std::vector<Variant> items) {
  return VarArrayOf(items);
}

class AppServerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterEchoObject(); }

  // Log lines of the in-process server.
  TAppServerOptions LoggingOptions() {
    TAppServerOptions options;
    options.Log = [this](const std::string& line) {
      std::lock_guard guard(logLock_);
      log_.push_back(line);
    };
    return options;
  }
  bool Logged(const std::string& text) {
    std::lock_guard guard(logLock_);
    for (const std::string& line : log_)
      if (line.find(text) != std::string::npos) return true;
    return false;
  }

  std::mutex logLock_;
  std::vector<std::string> log_;
};

TEST_F(AppServerTest, CallsAnswerAsTheObjectDoesInProcess) {
  TTestServer server;
  auto connection = server.Connect(kEchoProgID);
  EXPECT_TRUE(connection->Connected());
  const Variant remote = connection->AppServer();
  const Variant local(CreateOleObject(kEchoProgID));
  Variant bounded = VarArrayCreate({1, 2, -3, -2}, varVariant);
  bounded.At({2, -2}) = Variant::FromDate(45000.5);
  struct TCase {
    const char* name;
    const char* method;
    std::vector<Variant> args;
  };
  const TCase cases[] = {
      {"EchoPackage", "Echo", {Array0({Variant::Wide("报表"), Variant::Ansi("报表"), bounded})}},
      {"EchoCurrency", "Echo", {Variant::FromCurrency(12345)}},
      {"EchoNull", "Echo", {Variant::Null()}},
      {"ByReference", "Swap", {Variant::Wide("a"), Variant(2)}},
      {"CalleeException", "Fail", {Variant::Wide("拒绝了")}},
      {"UnknownMethod", "NoSuchMethod", {}},
      {"WrongArgumentCount", "Echo", {}},
      {"MethodNamesIgnoreCase", "eCHO", {Variant(7)}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectSame(Call(local, c.method, c.args), Call(remote, c.method, c.args));
  }
  // Properties too.
  OleSet(remote, "Name", Variant::Wide("改名"));
  EXPECT_TRUE(OleGet(remote, "Name") == Variant::Wide("改名"));
  EXPECT_THROW(OleGet(remote, "Missing"), EOleSysError);
}

TEST_F(AppServerTest, UnknownProgIDsAreRefusedAsInProcess) {
  TTestServer server;
  TSocketConnection connection(nullptr);
  connection.SetAddress("127.0.0.1");
  connection.SetPort(server.Port());
  connection.SetServerName("No.SuchObject");
  try {
    connection.Open();
    ADD_FAILURE() << "opened";
  } catch (const EOleSysError& e) {
    EXPECT_EQ(e.Message(), "Invalid class string");
    EXPECT_EQ(e.ErrorCode(), CO_E_CLASSSTRING);
  }
  EXPECT_FALSE(connection.Connected());
  connection.SetServerName("");
  EXPECT_THROW(connection.Open(), ESocketConnectionError);
}

TEST_F(AppServerTest, ObjectsNeverTravelButTheConnectionGoesOn) {
  TTestServer server;
  auto connection = server.Connect(kEchoProgID);
  const Variant remote = connection->AppServer();
  // An answer holding an object is refused by the server ...
  const TOutcome self = Call(remote, "Self", {});
  EXPECT_NE(self.Error.find("cannot be sent"), std::string::npos) << self.Error;
  // ... an argument holding one by the client, before anything is sent.
  const TOutcome arg = Call(remote, "Echo", {Variant(DispatchPtr(CreateOleObject(kEchoProgID)))});
  EXPECT_EQ(arg.ErrorClass, "EOleError");
  EXPECT_TRUE(connection->Connected());
  EXPECT_TRUE(Call(remote, "Echo", {Variant(5)}).Result == Variant(5));
}

// A raw client that speaks frames by hand.
class TRawClient {
 public:
  explicit TRawClient(int port) : channel_(RawConnect(port), 1 << 20) {}
  void Send(const std::string& bytes) { channel_.SendRaw(bytes, 1000); }
  void Send(const TWireMessage& m) { channel_.Send(m, 1000); }
  // The next message, or nothing when the server closed the connection.
  std::optional<TWireMessage> Next(int ms = 5000) {
    TWireMessage m;
    try {
      if (!channel_.Receive(m, ms, ms)) return std::nullopt;
    } catch (const EWireError& e) {
      if (e.Fault() == wfTimeout) ADD_FAILURE() << "no answer: " << e.Message();
      return std::nullopt;
    }
    return m;
  }

 private:
  TWireChannel channel_;
};

TWireMessage Message(TWireKind kind, const std::string& name) {
  TWireMessage m;
  m.Kind = kind;
  m.Name = name;
  return m;
}

std::string Header(uint32_t size) {
  std::string h(4, '\0');
  for (int k = 0; k < 4; ++k) h[k] = static_cast<char>((size >> (24 - 8 * k)) & 0xFF);
  return h;
}

TEST_F(AppServerTest, BadClientsAreAnsweredOrClosedWhileOthersAreServed) {
  TAppServerOptions options = LoggingOptions();
  options.MaxFrameSize = 4096;
  TTestServer server(options);
  auto good = server.Connect(kEchoProgID);
  const Variant object = good->AppServer();

  {  // malformed payload: answered, and the stream goes on
    TRawClient raw(server.Port());
    raw.Send(Header(3) + "\xc1\xc1\xc1");
    auto reply = raw.Next();
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->Kind, wkError);
    EXPECT_NE(reply->Name.find("Malformed frame"), std::string::npos);
    raw.Send(Message(wkCreate, kEchoProgID));
    reply = raw.Next();
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->Kind, wkResult);
  }
  {  // a call before any object, a second object, a message only servers send
    TRawClient raw(server.Port());
    raw.Send(Message(wkGet, "Name"));
    auto reply = raw.Next();
    ASSERT_TRUE(reply);
    EXPECT_NE(reply->Name.find("No server object"), std::string::npos);
    raw.Send(Message(wkCreate, kEchoProgID));
    ASSERT_TRUE(raw.Next());
    raw.Send(Message(wkCreate, kEchoProgID));
    reply = raw.Next();
    ASSERT_TRUE(reply);
    EXPECT_NE(reply->Name.find("already exists"), std::string::npos);
    raw.Send(Message(wkError, "from a client"));
    reply = raw.Next();
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->Kind, wkError);
  }
  {  // oversized: answered, then closed
    TRawClient raw(server.Port());
    raw.Send(Header(1 << 30));
    auto reply = raw.Next();
    ASSERT_TRUE(reply);
    EXPECT_NE(reply->Name.find("exceeds the limit of 4096"), std::string::npos);
    EXPECT_FALSE(raw.Next());
  }
  {  // another protocol version: answered, then closed
    TRawClient raw(server.Port());
    raw.Send(Header(5) + std::string("\x93\x07\x01\xa1X", 5));
    auto reply = raw.Next();
    ASSERT_TRUE(reply);
    EXPECT_NE(reply->Name.find("version 7"), std::string::npos);
    EXPECT_FALSE(raw.Next());
  }
  {  // truncated: the client leaves inside a frame
    TRawClient raw(server.Port());
    raw.Send(Header(100) + "\x94\x01");
  }
  EXPECT_TRUE(Call(object, "Echo", {Variant(1)}).Result == Variant(1));
  EXPECT_TRUE(WaitUntil([&] { return server.Server().ConnectionCount() == 1; }, 5000));
  EXPECT_TRUE(Logged("Refused a frame"));
  EXPECT_TRUE(Logged("Created KxbrTest.Echo"));
}

TEST_F(AppServerTest, ASilentClientIsToldAndClosed) {
  TAppServerOptions options;
  options.HandshakeTimeoutMs = 100;
  TTestServer server(options);
  TRawClient raw(server.Port());
  auto reply = raw.Next();
  ASSERT_TRUE(reply);
  EXPECT_NE(reply->Name.find("No frame arrived within 100 ms"), std::string::npos);
  EXPECT_FALSE(raw.Next());
  EXPECT_TRUE(WaitUntil([&] { return server.Server().ConnectionCount() == 0; }, 5000));
}

TEST_F(AppServerTest, TwoHundredConnectionsAreServedAtOnce) {
  constexpr int kConnections = 200;
  constexpr int kThreads = 8;
  TTestServer server;
  std::vector<std::unique_ptr<TSocketConnection>> connections(kConnections);
  std::atomic<int> failures{0};
  const auto each = [&](auto&& work) {
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
      threads.emplace_back([&, t] {
        for (int k = t; k < kConnections; k += kThreads) {
          try {
            work(k);
          } catch (const std::exception& e) {
            ++failures;
            ADD_FAILURE() << k << ": " << e.what();
          }
        }
      });
    for (std::thread& thread : threads) thread.join();
  };
  each([&](int k) { connections[k] = server.Connect(kEchoProgID); });
  EXPECT_EQ(server.Server().ConnectionCount(), kConnections);
  each([&](int k) {
    const Variant answer = OleInvoke(connections[k]->AppServer(), "Echo", {Variant(k)});
    if (!(answer == Variant(k))) throw Exception("wrong answer on " + IntToStr(k));
  });
  EXPECT_EQ(failures, 0);
  connections.clear();
  EXPECT_TRUE(WaitUntil([&] { return server.Server().ConnectionCount() == 0; }, 5000));
}

TEST_F(AppServerTest, ABusyServerSaysSo) {
  TAppServerOptions options;
  options.MaxConnections = 2;
  TTestServer server(options);
  auto first = server.Connect(kEchoProgID);
  auto second = server.Connect(kEchoProgID);
  try {
    server.Connect(kEchoProgID);
    ADD_FAILURE() << "a third connection was served";
  } catch (const EOleException& e) {
    EXPECT_NE(e.Message().find("The server is busy: 2 connections"), std::string::npos);
  }
  second.reset();
  EXPECT_TRUE(WaitUntil([&] { return server.Server().ConnectionCount() == 1; }, 5000));
  EXPECT_NO_THROW(server.Connect(kEchoProgID));
}

TEST_F(AppServerTest, ADroppedConnectionFailsTheNextCall) {
  auto server = std::make_unique<TTestServer>();
  auto connection = server->Connect(kEchoProgID);
  const Variant object = connection->AppServer();
  server.reset();  // stops the server: every connection is closed
  EXPECT_THROW(OleInvoke(object, "Echo", {Variant(1)}), ESocketConnectionError);
  EXPECT_FALSE(connection->Connected());
  try {
    OleInvoke(object, "Echo", {Variant(1)});
  } catch (const ESocketConnectionError& e) {
    EXPECT_EQ(e.Message(), "Not connected to the application server");
  }
}

TEST_F(AppServerTest, ACallThatTakesTooLongClosesTheConnection) {
  TTestServer server;
  auto connection = server.Connect(kEchoProgID, 100);
  try {
    OleInvoke(connection->AppServer(), "Sleep", {Variant(2000)});
    ADD_FAILURE() << "no time-out";
  } catch (const ESocketConnectionError& e) {
    EXPECT_NE(e.Message().find("within 100 ms"), std::string::npos) << e.Message();
  }
  EXPECT_FALSE(connection->Connected());
}

TEST_F(AppServerTest, TheBrokerSkipsServersThatFail) {
  TTestServer server;
  TSimpleObjectBroker broker(nullptr);
  broker.AddServer("127.0.0.2", server.Port());  // nobody listens there
  broker.AddServer("127.0.0.1", server.Port());
  TSocketConnection connection(nullptr);
  connection.SetObjectBroker(&broker);
  connection.SetServerName(kEchoProgID);
  connection.Open();
  EXPECT_TRUE(connection.Connected());
  EXPECT_TRUE(broker.Servers()[0].HasFailed);
  EXPECT_FALSE(broker.Servers()[1].HasFailed);
  connection.Close();

  broker.Servers()[1].Enabled = false;
  try {
    connection.Open();
    ADD_FAILURE() << "opened without a server";
  } catch (const ESocketConnectionError& e) {
    EXPECT_NE(e.Message().find("No application server is available"), std::string::npos);
  }

  TSimpleObjectBroker balanced(nullptr);
  balanced.AddServer("a");
  balanced.AddServer("b");
  balanced.SetLoadBalanced(true);
  std::set<std::string> picked;
  for (int k = 0; k < 64; ++k) picked.insert(balanced.GetComputerForProgID(kEchoProgID));
  EXPECT_EQ(picked, (std::set<std::string>{"a", "b"}));
}

TEST_F(AppServerTest, TheServerIsFoundByName) {
  TTestServer server;
  for (const bool asHost : {false, true}) {
    SCOPED_TRACE(asHost ? "Host" : "Address");
    TSocketConnection connection(nullptr);
    if (asHost)
      connection.SetHost("localhost");
    else
      connection.SetAddress("localhost");
    connection.SetPort(server.Port());
    connection.SetServerName(kEchoProgID);
    connection.Open();
    EXPECT_TRUE(OleInvoke(connection.AppServer(), "Echo", {Variant(1)}) == Variant(1));
  }
  TSocketConnection nowhere(nullptr);
  nowhere.SetServerName(kEchoProgID);
  try {
    nowhere.Open();
    ADD_FAILURE() << "opened without an address";
  } catch (const ESocketConnectionError& e) {
    EXPECT_NE(e.Message().find("Address or Host"), std::string::npos);
  }
}

TEST_F(AppServerTest, AnObjectHandedOverMakesTheConnectionLocal) {
  TSocketConnection connection(nullptr);
  connection.SetAddress("127.0.0.1");
  connection.SetServerName(kEchoProgID);
  connection.SetAppServer(Variant(CreateOleObject(kEchoProgID)));
  EXPECT_TRUE(connection.Connected());
  EXPECT_TRUE(OleInvoke(connection.AppServer(), "Echo", {Variant(3)}) == Variant(3));
  connection.Close();
  EXPECT_FALSE(connection.Connected());
}

TEST_F(AppServerTest, TheProgramLogsAndStopsCleanlyOnSigterm) {
  TempFolder folder;
  const std::string registry = folder.Write(
      "registry.ini", "[HKEY_LOCAL_MACHINE\\Software\\QMT\\Orvant]\nServerPath=" + folder.Path() +
                          "/\n[ProgID]\nReportCounterS.dmReportCounter=" KXBR_REPORTCOUNTER_LIBRARY
                          ":CreateReportCounter\n");
  ScopedEnv registryEnv("ORVANT_REGISTRY", registry);
  ScopedEnv store("ORVANT_SERVER_DB", folder.Path() + "/server.db");
  TServerProcess process(KXBR_APPSERVER_PROGRAM, {"--port", "0"});
  ASSERT_GT(process.Port(), 0);
  {
    TSocketConnection connection(nullptr);
    connection.SetAddress("127.0.0.1");
    connection.SetPort(process.Port());
    connection.SetServerName("ReportCounterS.dmReportCounter");
    connection.Open();
    EXPECT_TRUE(OleInvoke(connection.AppServer(), "SQLType") == Variant(3));
  }
  const int status = process.Kill(SIGTERM);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  std::string log;
  for (const auto& entry : std::filesystem::directory_iterator(folder.Path() + "/Log")) {
    std::ifstream in(entry.path());
    log += std::string(std::istreambuf_iterator<char>(in), {});
  }
  for (const char* line : {"Listening on 127.0.0.1:", "Created ReportCounterS.dmReportCounter",
                           "Stopping on SIGTERM", "Stopped"})
    EXPECT_NE(log.find(line), std::string::npos) << line << " in\n" << log;
}

}  // namespace
