// The application server over loopback: the round trip of a small call and job
// submissions by 16 clients, each beside its baseline (a raw TCP ping-pong, raw SQLite
// commits of the same rows). The server, its object and the clients run in this process;
// the calls still cross real sockets.
#ifdef KXBR_HOST_BENCH

#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sqlite3.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

#include "AppServer.h"
#include "ComObj.h"
#include "SConnect.h"
#include "SysInfo.h"
#include "Wire.h"
#include "dmReportCounter.h"

namespace {

// A store folder, the object registered in process, and a server on a free port.
class TBenchServer {
 public:
  TBenchServer() {
    std::string pattern = GetTempFolder() + "kxbr-bench-host-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    folder_ = pattern;
    const std::string store = folder_ + "/server.db";
    RegisterProgID(kReportCounterProgID,
                   [store] { return std::make_shared<TdmReportCounter>(store, ""); });
    TAppServerOptions options;
    options.Address = "127.0.0.1";
    options.Port = 0;
    server_ = std::make_unique<TAppServer>(options);
    server_->Start();
  }
  ~TBenchServer() {
    server_->Stop();
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  static TBenchServer& Get() {
    static TBenchServer server;
    return server;
  }
  const std::string& Folder() const { return folder_; }

  std::unique_ptr<TSocketConnection> Connect() const {
    auto c = std::make_unique<TSocketConnection>(nullptr);
    c->SetAddress("127.0.0.1");
    c->SetPort(server_->Port());
    c->SetServerName(kReportCounterProgID);
    c->Open();
    return c;
  }

 private:
  std::string folder_;
  std::unique_ptr<TAppServer> server_;
};

// Median and 99th percentile of the measured round trips, in microseconds.
void ReportLatencies(benchmark::State& state, std::vector<double>& micros) {
  if (micros.empty()) return;
  std::sort(micros.begin(), micros.end());
  state.counters["median_us"] = micros[micros.size() / 2];
  state.counters["p99_us"] = micros[micros.size() * 99 / 100];
}

using TClock = std::chrono::steady_clock;

double MicrosSince(TClock::time_point start) {
  return std::chrono::duration<double, std::micro>(TClock::now() - start).count();
}

void HostRpcRoundTrip(benchmark::State& state) {
  auto connection = TBenchServer::Get().Connect();
  const Variant server = connection->AppServer();
  std::vector<double> micros;
  for (auto _ : state) {
    const auto start = TClock::now();
    benchmark::DoNotOptimize(OleInvoke(server, "SQLType"));
    micros.push_back(MicrosSince(start));
  }
  ReportLatencies(state, micros);
}
BENCHMARK(HostRpcRoundTrip)->Name("host/RpcRoundTrip")->UseRealTime();

// Baseline: 32 bytes there and back over a loopback TCP connection, nothing else.
void HostTcpPingPong(benchmark::State& state) {
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener, 1) != 0 ||
      ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    state.SkipWithError("no loopback socket");
    return;
  }
  std::thread echo([listener] {
    const int fd = ::accept(listener, nullptr, nullptr);
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    char buffer[32];
    while (::recv(fd, buffer, sizeof buffer, MSG_WAITALL) == sizeof buffer)
      if (::send(fd, buffer, sizeof buffer, MSG_NOSIGNAL) != sizeof buffer) break;
    ::close(fd);
  });
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  const int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) std::abort();
  char buffer[32] = {};
  std::vector<double> micros;
  for (auto _ : state) {
    const auto start = TClock::now();
    if (::send(fd, buffer, sizeof buffer, MSG_NOSIGNAL) != sizeof buffer ||
        ::recv(fd, buffer, sizeof buffer, MSG_WAITALL) != sizeof buffer) {
      state.SkipWithError("ping-pong failed");
      break;
    }
    micros.push_back(MicrosSince(start));
  }
  ::close(fd);
  echo.join();
  ::close(listener);
  ReportLatencies(state, micros);
}
BENCHMARK(HostTcpPingPong)->Name("host/RpcRoundTrip/TcpPingPongBaseline")->UseRealTime();

Variant List(int low, std::vector<Variant> items) {
  Variant a = VarArrayCreate({low, low + static_cast<int>(items.size()) - 1}, varVariant);
  for (size_t k = 0; k < items.size(); ++k) a[low + static_cast<int>(k)] = items[k];
  return a;
}

// A full request package of the module: 14 environment entries, 8 conditions.
Variant ModulePackage(const std::string& user) {
  const Variant now = Variant::FromDate(45357.42);
  const Variant env = List(
      1, {Variant::Wide("KXBR07"), Variant(14), Variant(8), Variant::Wide("SDTest60"),
          Variant::Wide(user), Variant::Wide("SDTest60"), now, Variant::Wide("KXBR07S.Class1"),
          Variant::Wide("R"), Variant(0), now, Variant::Wide(""), Variant(1), Variant::Wide("")});
  Variant texts = VarArrayCreate({1, 8}, varVariant);
  Variant values = VarArrayCreate({1, 8}, varVariant);
  for (int k = 1; k <= 8; ++k) {
    texts[k] =
        List(0, {Variant::Wide("结转单号" + IntToStr(k)), Variant::Wide("sp0" + IntToStr(k))});
    values[k] = List(0, {Variant::Wide("\x04"), Variant::Wide("JZ2024030" + IntToStr(k)),
                         Variant::Wide("JZ2024039" + IntToStr(k))});
  }
  return List(0, {env, texts, values});
}

void HostJobSubmit(benchmark::State& state) {
  auto connection = TBenchServer::Get().Connect();
  const Variant server = connection->AppServer();
  const Variant package = ModulePackage("B" + IntToStr(state.thread_index()));
  for (auto _ : state) benchmark::DoNotOptimize(OleInvoke(server, "Request", {package}));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(HostJobSubmit)->Name("host/JobSubmit16Clients")->Threads(16)->UseRealTime();

// Baseline: the same rows committed one by one straight into SQLite (WAL, NORMAL),
// from one connection.
void HostSqliteCommit(benchmark::State& state) {
  const std::string path = TBenchServer::Get().Folder() + "/baseline.db";
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_exec(db,
               "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
               "CREATE TABLE IF NOT EXISTS JOBS (ID INTEGER PRIMARY KEY AUTOINCREMENT, USERID TEXT,"
               " PACKAGE BLOB, CREATED REAL)",
               nullptr, nullptr, nullptr);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO JOBS (USERID, PACKAGE, CREATED) VALUES (?1, ?2, ?3)", -1,
                     &insert, nullptr);
  const std::string blob = EncodeVariant(ModulePackage("B0"));
  for (auto _ : state) {
    sqlite3_bind_text(insert, 1, "B0", -1, SQLITE_STATIC);
    sqlite3_bind_blob(insert, 2, blob.data(), static_cast<int>(blob.size()), SQLITE_STATIC);
    sqlite3_bind_double(insert, 3, 45357.42);
    if (sqlite3_step(insert) != SQLITE_DONE) {
      state.SkipWithError(sqlite3_errmsg(db));
      break;
    }
    sqlite3_reset(insert);
  }
  state.SetItemsProcessed(state.iterations());
  sqlite3_finalize(insert);
  sqlite3_close(db);
}
BENCHMARK(HostSqliteCommit)->Name("host/JobSubmit16Clients/SqliteCommitBaseline")->UseRealTime();

}  // namespace

#endif  // KXBR_HOST_BENCH
