#include "SConnect.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>

#include "ComObj.h"
#include "TypInfo.h"

KXBR_DEFINE_CLASS(TSimpleObjectBroker,
                  .Prop<&TSimpleObjectBroker::LoadBalanced, &TSimpleObjectBroker::SetLoadBalanced>(
                      "LoadBalanced"))
KXBR_DEFINE_CLASS(
    TSocketConnection,
    .Prop<&TSocketConnection::Address, &TSocketConnection::SetAddress>("Address")
        .Prop<&TSocketConnection::Host, &TSocketConnection::SetHost>("Host")
        .Prop<&TSocketConnection::Port, &TSocketConnection::SetPort>("Port")
        .Prop<&TSocketConnection::ServerName, &TSocketConnection::SetServerName>("ServerName")
        .Prop<&TSocketConnection::SupportCallbacks, &TSocketConnection::SetSupportCallbacks>(
            "SupportCallbacks")
        .Prop<&TSocketConnection::ObjectBroker, &TSocketConnection::SetObjectBroker>("ObjectBroker")
        .Prop<&TSocketConnection::Connected, &TSocketConnection::SetConnected>("Connected"))

// The connection and its AppServer proxy share one session, so that a proxy kept by a
// caller after Close fails cleanly instead of touching a closed socket.
class TRemoteSession {
 public:
  TRemoteSession(std::unique_ptr<TWireChannel> channel, std::string progID, int callTimeoutMs)
      : channel_(std::move(channel)), progID_(std::move(progID)), callTimeoutMs_(callTimeoutMs) {}

  bool Open() {
    std::lock_guard guard(lock_);
    return channel_ != nullptr;
  }

  void Close() {
    std::lock_guard guard(lock_);
    channel_.reset();
  }

  // One request and its answer. A Result is returned; an Error is raised again.
  TWireMessage Call(const TWireMessage& request) {
    std::lock_guard guard(lock_);
    if (!channel_) throw ESocketConnectionError("Not connected to the application server");
    TWireMessage reply;
    try {
      channel_->Send(request, callTimeoutMs_);
      if (!channel_->Receive(reply, callTimeoutMs_, callTimeoutMs_))
        throw EWireError(wfClosed, "The connection was closed by the other side");
    } catch (const EWireError& e) {
      if (e.Fault() == wfUnsupported) throw EOleError(e.Message());  // nothing was sent
      channel_.reset();
      throw ESocketConnectionError("Connection to the application server lost: " + e.Message());
    }
    if (reply.Kind == wkError) {
      if (reply.ErrorClass == "EOleSysError") throw EOleSysError(reply.Name, reply.ErrorCode);
      throw EOleException(reply.Name, reply.ErrorCode, progID_);
    }
    if (reply.Kind != wkResult) {
      channel_.reset();
      throw ESocketConnectionError("The application server answered with an unexpected message");
    }
    return reply;
  }

 private:
  std::mutex lock_;
  std::unique_ptr<TWireChannel> channel_;
  std::string progID_;
  int callTimeoutMs_;
};

namespace {

class TRemoteDispatch : public IDispatch {
 public:
  explicit TRemoteDispatch(std::shared_ptr<TRemoteSession> session)
      : session_(std::move(session)) {}

  Variant Invoke(const std::string& name, std::vector<Variant>& args) override {
    TWireMessage request;
    request.Kind = wkInvoke;
    request.Name = name;
    request.Args = args;
    TWireMessage reply = session_->Call(request);
    for (auto& [index, value] : reply.OutArgs)
      if (index >= 0 && static_cast<size_t>(index) < args.size()) args[index] = std::move(value);
    return std::move(reply.Value);
  }

  Variant GetProperty(const std::string& name) override {
    TWireMessage request;
    request.Kind = wkGet;
    request.Name = name;
    return std::move(session_->Call(request).Value);
  }

  void SetProperty(const std::string& name, const Variant& value) override {
    TWireMessage request;
    request.Kind = wkSet;
    request.Name = name;
    request.Value = value;
    session_->Call(request);
  }

 private:
  std::shared_ptr<TRemoteSession> session_;
};

std::string Endpoint(const std::string& address, int port) {
  return address + ":" + IntToStr(port);
}

// A connected, non-blocking TCP socket with Nagle's delay off; raises on failure.
int ConnectSocket(const std::string& address, int port, int timeoutMs) {
  if (port <= 0 || port > 65535)
    throw ESocketConnectionError("Invalid port " + IntToStr(port) + " for " + address);
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const std::string service = IntToStr(port);
  const int rc = ::getaddrinfo(address.c_str(), service.c_str(), &hints, &found);
  if (rc != 0)
    throw ESocketConnectionError("Cannot resolve " + address + ": " + ::gai_strerror(rc));
  std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> list(found, &::freeaddrinfo);
  std::string failure = "no address";
  for (addrinfo* ai = found; ai != nullptr; ai = ai->ai_next) {
    const int fd =
        ::socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai->ai_protocol);
    if (fd < 0) {
      failure = std::strerror(errno);
      continue;
    }
    int error = 0;
    if (::connect(fd, ai->ai_addr, ai->ai_addrlen) != 0) {
      error = errno;
      if (error == EINPROGRESS) {
        pollfd p{fd, POLLOUT, 0};
        int n = 0;
        do n = ::poll(&p, 1, timeoutMs);
        while (n < 0 && errno == EINTR);
        if (n == 0) {
          error = ETIMEDOUT;
        } else {
          socklen_t length = sizeof error;
          if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
        }
      }
    }
    if (error == 0) {
      const int one = 1;
      ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
      return fd;
    }
    failure = std::strerror(error);
    ::close(fd);
  }
  throw ESocketConnectionError("Cannot connect to " + Endpoint(address, port) + ": " + failure);
}

}  // namespace

// --- TSimpleObjectBroker -----------------------------------------------------------------

TSimpleObjectBroker::TSimpleObjectBroker(TComponent* owner)
    : TComponent(owner), random_(std::random_device{}()) {}

void TSimpleObjectBroker::AddServer(const std::string& computerName, int port) {
  TServerItem item;
  item.ComputerName = computerName;
  item.Port = port;
  servers_.push_back(item);
}

std::string TSimpleObjectBroker::PickComputer() {
  std::vector<const TServerItem*> candidates;
  for (const TServerItem& item : servers_)
    if (item.Enabled && !item.HasFailed) candidates.push_back(&item);
  if (candidates.empty()) throw ESocketConnectionError("No application server is available");
  if (!loadBalanced_) return candidates.front()->ComputerName;
  std::uniform_int_distribution<size_t> pick(0, candidates.size() - 1);
  return candidates[pick(random_)]->ComputerName;
}

std::string TSimpleObjectBroker::GetComputerForGUID(const std::string&) {
  return PickComputer();
}

std::string TSimpleObjectBroker::GetComputerForProgID(const std::string&) {
  return PickComputer();
}

int TSimpleObjectBroker::GetPortForComputer(const std::string& computerName) const {
  for (const TServerItem& item : servers_)
    if (SameText(item.ComputerName, computerName)) return item.Port;
  return 0;
}

void TSimpleObjectBroker::SetConnectStatus(const std::string& computerName, bool success) {
  for (TServerItem& item : servers_)
    if (SameText(item.ComputerName, computerName)) item.HasFailed = !success;
}

// --- TSocketConnection -------------------------------------------------------------------

TSocketConnection::TSocketConnection(TComponent* owner) : TComponent(owner) {}

TSocketConnection::~TSocketConnection() {
  Close();
}

void TSocketConnection::SetObjectBroker(TSimpleObjectBroker* broker) {
  if (broker_ == broker) return;
  if (broker_ != nullptr) broker_->RemoveFreeNotification(this);
  broker_ = broker;
  if (broker_ != nullptr) broker_->FreeNotification(this);
}

void TSocketConnection::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == broker_) broker_ = nullptr;
}

void TSocketConnection::Loaded() {
  TComponent::Loaded();
  // As on the platform, a server that cannot be reached then stops the form's creation.
  if (streamedConnected_) SetConnected(true);
}

bool TSocketConnection::Connected() const {
  if (!local_.IsEmpty()) return true;
  return session_ && session_->Open();
}

void TSocketConnection::SetConnected(bool value) {
  if (ComponentState().Contains(csLoading)) {
    streamedConnected_ = value;
    return;
  }
  if (value)
    Open();
  else
    Close();
}

void TSocketConnection::Close() {
  if (session_) session_->Close();
  session_.reset();
  local_ = Variant();
}

void TSocketConnection::OpenTo(const std::string& address, int port) {
  auto channel = std::make_unique<TWireChannel>(ConnectSocket(address, port, connectTimeoutMs_),
                                                maxFrameSize_);
  auto session = std::make_shared<TRemoteSession>(std::move(channel), serverName_, callTimeoutMs_);
  TWireMessage create;
  create.Kind = wkCreate;
  create.Name = serverName_;
  session->Call(create);  // the server's refusal is raised as its own exception
  session_ = std::move(session);
}

void TSocketConnection::Open() {
  if (Connected()) return;
  if (Trim(serverName_).empty())
    throw ESocketConnectionError("Cannot connect, ServerName must contain a valid ServerName");
  if (broker_ != nullptr && address_.empty() && host_.empty()) {
    std::string lastFailure;
    for (;;) {
      std::string computer;
      try {
        computer = broker_->GetComputerForProgID(serverName_);
      } catch (const ESocketConnectionError& e) {
        throw ESocketConnectionError(lastFailure.empty() ? e.Message()
                                                         : e.Message() + " (" + lastFailure + ")");
      }
      const int port = broker_->GetPortForComputer(computer);
      try {
        OpenTo(computer, port > 0 ? port : port_);
        broker_->SetConnectStatus(computer, true);
        return;
      } catch (const ESocketConnectionError& e) {
        lastFailure = e.Message();
        broker_->SetConnectStatus(computer, false);  // try the next one
      }
    }
  }
  if (!address_.empty())
    OpenTo(address_, port_);
  else if (!host_.empty())
    OpenTo(host_, port_);
  else
    throw ESocketConnectionError("Cannot connect, Address or Host must be specified");
}

Variant TSocketConnection::AppServer() {
  if (!local_.IsEmpty()) return local_;
  if (!Connected()) Open();
  return Variant(DispatchPtr(std::make_shared<TRemoteDispatch>(session_)));
}

void TSocketConnection::SetAppServer(const Variant& server) {
  Close();
  local_ = server;
}

Variant GetProviderRecords(const Variant& appServer, const std::string& providerName) {
  return OleInvoke(appServer, "AS_GetRecords", {Variant::Wide(providerName)});
}
