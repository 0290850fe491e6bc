// Helpers of the application-server tests: a test object, an in-process server on a free
// loopback port, raw sockets, and a child process for the real program.
#pragma once

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "AppServer.h"
#include "ComObj.h"
#include "SConnect.h"

inline constexpr const char* kEchoProgID = "KxbrTest.Echo";

// Answers what it is given, writes by-reference arguments, raises on request.
class TEchoObject : public TAutoObject {
 public:
  TEchoObject() {
    AddMethod("Echo", [](std::vector<Variant>& a) {
      CheckArgCount(a, 1);
      return a[0];
    });
    AddMethod("Swap", [](std::vector<Variant>& a) {
      CheckArgCount(a, 2);
      std::swap(a[0], a[1]);
      return Variant(true);
    });
    AddMethod("Fail", [](std::vector<Variant>& a) -> Variant {
      CheckArgCount(a, 1);
      throw EOleException(a[0].AsString(), 1234);
    });
    AddMethod("Sleep", [](std::vector<Variant>& a) {
      CheckArgCount(a, 1);
      std::this_thread::sleep_for(std::chrono::milliseconds(a[0].AsInteger()));
      return Variant();
    });
    AddMethod("Self", [this](std::vector<Variant>&) { return Variant(DispatchPtr(self_.lock())); });
    AddProperty(
        "Name", [this] { return Variant::Wide(name_); },
        [this](const Variant& v) { name_ = v.AsString(); });
  }
  std::weak_ptr<TEchoObject> self_;

 private:
  std::string name_ = "echo";
};

inline void RegisterEchoObject() {
  RegisterProgID(kEchoProgID, [] {
    auto object = std::make_shared<TEchoObject>();
    object->self_ = object;
    return object;
  });
}

// A server on a free loopback port for the life of the object.
class TTestServer {
 public:
  explicit TTestServer(TAppServerOptions options = {}) {
    options.Address = "127.0.0.1";
    options.Port = 0;
    server_ = std::make_unique<TAppServer>(options);
    server_->Start();
  }
  TAppServer& Server() { return *server_; }
  int Port() const { return server_->Port(); }

  std::unique_ptr<TSocketConnection> Connect(const std::string& progID,
                                             int callTimeoutMs = 10000) const {
    auto c = std::make_unique<TSocketConnection>(nullptr);
    c->SetAddress("127.0.0.1");
    c->SetPort(server_->Port());
    c->SetServerName(progID);
    c->SetCallTimeout(callTimeoutMs);
    c->Open();
    return c;
  }

 private:
  std::unique_ptr<TAppServer> server_;
};

// What a call did: its answer or its exception, and the arguments afterwards.
struct TOutcome {
  Variant Result;
  std::string ErrorClass;
  std::string Error;
  int32_t Code = 0;
  std::vector<Variant> Args;
};

inline TOutcome Call(const Variant& object, const std::string& name, std::vector<Variant> args) {
  TOutcome o;
  try {
    o.Result = OleInvoke(object, name, args);
  } catch (const EOleSysError& e) {
    o.ErrorClass = e.ClassName();
    o.Error = e.Message();
    o.Code = e.ErrorCode();
  } catch (const EOleException& e) {
    o.ErrorClass = e.ClassName();
    o.Error = e.Message();
    o.Code = e.ErrorCode();
  } catch (const Exception& e) {
    o.ErrorClass = e.ClassName();
    o.Error = e.Message();
  }
  o.Args = args;
  return o;
}

inline void ExpectSame(const TOutcome& local, const TOutcome& remote) {
  EXPECT_TRUE(remote.Result == local.Result) << VarToStr(remote.Result);
  EXPECT_EQ(remote.ErrorClass, local.ErrorClass);
  EXPECT_EQ(remote.Error, local.Error);
  EXPECT_EQ(remote.Code, local.Code);
  ASSERT_EQ(remote.Args.size(), local.Args.size());
  for (size_t k = 0; k < local.Args.size(); ++k) EXPECT_TRUE(remote.Args[k] == local.Args[k]) << k;
}

// A plain TCP connection to the port; -1 on failure.
inline int RawConnect(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Waits up to `ms` for a condition polled every few milliseconds.
template <typename Condition>
bool WaitUntil(Condition&& condition, int ms) {
  for (int waited = 0; waited < ms; waited += 5) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return condition();
}

// The real orvant-appserver as a child process; its first output line gives the port.
class TServerProcess {
 public:
  TServerProcess(const std::string& program, const std::vector<std::string>& args) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};  // built before forking
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int out[2];
    if (::pipe(out) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(out[1], STDOUT_FILENO);
      ::close(out[0]);
      ::close(out[1]);
      ::execv(program.c_str(), argv.data());
      ::_exit(127);
    }
    ::close(out[1]);
    // "orvant-appserver listening on 127.0.0.1:PORT"
    std::string line;
    char c = 0;
    pollfd p{out[0], POLLIN, 0};
    while (::poll(&p, 1, 10000) > 0 && ::read(out[0], &c, 1) == 1 && c != '\n') line.push_back(c);
    ::close(out[0]);
    const size_t colon = line.rfind(':');
    if (colon != std::string::npos) port_ = std::atoi(line.c_str() + colon + 1);
  }
  ~TServerProcess() { Kill(SIGKILL); }
  int Port() const { return port_; }
  // Sends the signal and waits for the process; its exit status, or -1.
  int Kill(int signal) {
    if (pid_ <= 0) return -1;
    ::kill(pid_, signal);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return status;
  }

 private:
  pid_t pid_ = -1;
  int port_ = 0;
};
