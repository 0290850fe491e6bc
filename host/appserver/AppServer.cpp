#include "AppServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "ComObj.h"

namespace {

constexpr int32_t E_FAIL_CODE = static_cast<int32_t>(0x80004005);
constexpr int32_t DISP_E_EXCEPTION_CODE = static_cast<int32_t>(0x80020009);

TWireMessage ErrorReply(const std::string& text, int32_t code, const std::string& className) {
  TWireMessage m;
  m.Kind = wkError;
  m.Name = text;
  m.ErrorCode = code;
  m.ErrorClass = className;
  return m;
}

std::string PeerName(int fd) {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  if (::getpeername(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) return "?";
  char host[NI_MAXHOST] = {};
  char port[NI_MAXSERV] = {};
  if (::getnameinfo(reinterpret_cast<sockaddr*>(&address), length, host, sizeof host, port,
                    sizeof port, NI_NUMERICHOST | NI_NUMERICSERV) != 0)
    return "?";
  return std::string(host) + ":" + port;
}

// Runs a call on the object and turns whatever it raises into an error reply.
template <typename Call>
TWireMessage Guarded(Call&& call) {
  try {
    return call();
  } catch (const EOleSysError& e) {
    return ErrorReply(e.Message(), e.ErrorCode(), e.ClassName());
  } catch (const EOleException& e) {
    return ErrorReply(e.Message(), e.ErrorCode(), e.ClassName());
  } catch (const Exception& e) {
    return ErrorReply(e.Message(), DISP_E_EXCEPTION_CODE, e.ClassName());
  } catch (const std::exception& e) {
    return ErrorReply(e.what(), DISP_E_EXCEPTION_CODE, "Exception");
  } catch (...) {
    return ErrorReply("The server object raised an unknown exception", E_FAIL_CODE, "Exception");
  }
}

}  // namespace

TAppServer::TAppServer(TAppServerOptions options) : options_(std::move(options)) {}

TAppServer::~TAppServer() {
  Stop();
}

void TAppServer::Log(const std::string& line) const {
  if (options_.Log) options_.Log(line);
}

int TAppServer::ConnectionCount() const {
  std::lock_guard guard(lock_);
  int count = 0;
  for (const TConnection& c : connections_)
    if (!c.Done && !c.Refused) ++count;
  return count;
}

void TAppServer::Start() {
  if (listenFd_ >= 0) return;
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICHOST | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const std::string service = IntToStr(options_.Port);
  const int rc = ::getaddrinfo(options_.Address.empty() ? nullptr : options_.Address.c_str(),
                               service.c_str(), &hints, &found);
  if (rc != 0)
    throw ESocketConnectionError("Invalid listening address " + options_.Address + ": " +
                                 ::gai_strerror(rc));
  std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> list(found, &::freeaddrinfo);
  const std::string endpoint = options_.Address + ":" + service;
  const int fd = ::socket(found->ai_family, found->ai_socktype | SOCK_CLOEXEC, found->ai_protocol);
  if (fd < 0)
    throw ESocketConnectionError("Cannot create a socket: " + std::string(std::strerror(errno)));
  const int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  if (::bind(fd, found->ai_addr, found->ai_addrlen) != 0 || ::listen(fd, SOMAXCONN) != 0) {
    const int error = errno;
    ::close(fd);
    throw ESocketConnectionError("Cannot listen on " + endpoint + ": " + std::strerror(error));
  }
  sockaddr_storage bound{};
  socklen_t length = sizeof bound;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length);
  port_ = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                                            : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
  if (::pipe2(wakeFd_, O_CLOEXEC | O_NONBLOCK) != 0) {
    const int error = errno;
    ::close(fd);
    throw ESocketConnectionError("Cannot create a pipe: " + std::string(std::strerror(error)));
  }
  listenFd_ = fd;
  stopping_ = false;
  acceptThread_ = std::thread([this] { AcceptLoop(); });
  Log("Listening on " + options_.Address + ":" + IntToStr(port_));
}

void TAppServer::Stop() {
  if (listenFd_ < 0) return;
  stopping_ = true;
  const char wake = 1;
  [[maybe_unused]] const ssize_t n = ::write(wakeFd_[1], &wake, 1);
  if (acceptThread_.joinable()) acceptThread_.join();
  {
    std::lock_guard guard(lock_);
    for (TConnection& c : connections_) c.Channel->Shutdown();
  }
  Reap(true);
  ::close(listenFd_);
  ::close(wakeFd_[0]);
  ::close(wakeFd_[1]);
  listenFd_ = wakeFd_[0] = wakeFd_[1] = -1;
  Log("Stopped");
}

void TAppServer::Reap(bool all) {
  std::list<TConnection> finished;
  {
    std::lock_guard guard(lock_);
    for (auto it = connections_.begin(); it != connections_.end();) {
      const auto next = std::next(it);
      if (all || it->Done) finished.splice(finished.end(), connections_, it);
      it = next;
    }
  }
  for (TConnection& c : finished)
    if (c.Thread.joinable()) c.Thread.join();
}

void TAppServer::AcceptLoop() {
  pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakeFd_[0], POLLIN, 0}};
  while (!stopping_) {
    fds[0].revents = fds[1].revents = 0;
    const int n = ::poll(fds, 2, 500);
    if (n < 0 && errno != EINTR) {
      Log("Waiting for connections failed: " + std::string(std::strerror(errno)));
      break;
    }
    Reap(false);
    if (stopping_) break;
    if (n > 0 && (fds[0].revents & POLLIN) != 0) Accept();
  }
}

void TAppServer::Accept() {
  const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
  if (fd < 0) {
    if (errno != EAGAIN && errno != EINTR && errno != ECONNABORTED)
      Log("Accepting a connection failed: " + std::string(std::strerror(errno)));
    return;
  }
  const int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  auto channel = std::make_unique<TWireChannel>(fd, options_.MaxFrameSize);
  const std::string peer = PeerName(fd);
  std::lock_guard guard(lock_);
  int served = 0, threads = 0;
  for (const TConnection& c : connections_) {
    if (c.Done) continue;
    ++threads;
    if (!c.Refused) ++served;
  }
  // Beyond the limit a connection is still answered, briefly, so that its client learns
  // why; a flood beyond twice the limit is simply closed.
  const bool refused = served >= options_.MaxConnections;
  if (threads >= 2 * options_.MaxConnections) {
    Log("Refused " + peer + ": too many connections");
    return;
  }
  TConnection& c = connections_.emplace_back();
  c.Channel = std::move(channel);
  c.Peer = peer;
  c.Refused = refused;
  try {
    c.Thread = std::thread([this, &c] {
      if (c.Refused)
        Refuse(c);
      else
        Serve(c);
      c.Channel->Shutdown();  // the client sees the end now; the descriptor closes at reaping
      c.Done = true;
    });
  } catch (const std::system_error& e) {
    Log("Refused " + peer + ": no thread for the connection (" + e.what() + ")");
    connections_.pop_back();
  }
}

void TAppServer::Refuse(TConnection& c) {
  const std::string text =
      "The server is busy: " + IntToStr(options_.MaxConnections) + " connections are open";
  Log("Refused " + c.Peer + ": " + text);
  try {
    c.Channel->Send(ErrorReply(text, E_FAIL_CODE, "Exception"), 1000);
    // Closing only after the client's first frame (or a second) keeps the answer from
    // being lost to a reset.
    ::shutdown(c.Channel->Handle(), SHUT_WR);
    TWireMessage ignored;
    c.Channel->Receive(ignored, 1000, 1000);
  } catch (const EWireError&) {
    // the client is gone already, or said something unreadable
  }
}

void TAppServer::Serve(TConnection& c) {
  TWireChannel& channel = *c.Channel;
  DispatchPtr object;
  std::string progID;
  const auto send = [&](const TWireMessage& reply) {
    try {
      channel.Send(reply, options_.SendTimeoutMs);
    } catch (const EWireError& e) {
      if (e.Fault() != wfUnsupported && e.Fault() != wfOversized) throw;
      // An answer that cannot travel (an object, too large) becomes a refusal.
      channel.Send(
          ErrorReply("The answer cannot be sent: " + e.Message(), E_FAIL_CODE, e.ClassName()),
          options_.SendTimeoutMs);
    }
  };
  Log("Connected " + c.Peer);
  try {
    while (!stopping_) {
      TWireMessage request;
      try {
        const int wait = object ? options_.IdleTimeoutMs : options_.HandshakeTimeoutMs;
        if (!channel.Receive(request, wait, options_.FrameTimeoutMs)) break;
      } catch (const EWireError& e) {
        if (stopping_) break;
        if (e.Fault() == wfMalformed) {  // the frame was read whole: the stream is still in step
          Log("Refused a frame from " + c.Peer + ": " + e.Message());
          send(ErrorReply(e.Message(), E_FAIL_CODE, e.ClassName()));
          continue;
        }
        Log("Closing " + c.Peer + ": " + e.Message());
        if (e.Fault() == wfVersion || e.Fault() == wfOversized || e.Fault() == wfTimeout)
          send(ErrorReply(e.Message(), E_FAIL_CODE, e.ClassName()));
        break;
      }
      switch (request.Kind) {
        case wkCreate:
          if (object) {
            send(ErrorReply("A server object (" + progID + ") already exists on this connection",
                            E_FAIL_CODE, "EOleError"));
            break;
          }
          send(Guarded([&] {
            object = CreateOleObject(request.Name);
            progID = request.Name;
            Log("Created " + progID + " for " + c.Peer);
            return TWireMessage{};
          }));
          if (!object) Log("Refused to create \"" + request.Name + "\" for " + c.Peer);
          break;
        case wkInvoke:
        case wkGet:
        case wkSet:
          if (!object) {
            send(ErrorReply("No server object exists on this connection: name a ProgID first",
                            E_FAIL_CODE, "EOleError"));
            break;
          }
          send(Guarded([&] {
            TWireMessage reply;
            if (request.Kind == wkInvoke) {
              std::vector<Variant> args = request.Args;
              reply.Value = object->Invoke(request.Name, args);
              for (size_t k = 0; k < args.size(); ++k)
                if (!(args[k] == request.Args[k]))
                  reply.OutArgs.emplace_back(static_cast<int>(k), args[k]);
            } else if (request.Kind == wkGet) {
              reply.Value = object->GetProperty(request.Name);
            } else {
              object->SetProperty(request.Name, request.Value);
            }
            return reply;
          }));
          break;
        default:
          send(ErrorReply(
              "A client may not send a message of kind " + IntToStr(static_cast<int>(request.Kind)),
              E_FAIL_CODE, "EWireError"));
      }
    }
  } catch (const EWireError& e) {
    if (!stopping_) Log("Closing " + c.Peer + ": " + e.Message());
  } catch (const std::exception& e) {
    Log("Closing " + c.Peer + " after an unexpected failure: " + e.what());
  }
  object.reset();
  Log("Disconnected " + c.Peer);
}
