// The core of orvant-appserver: a generic socket server for automation objects.
//
// A client connects, names a ProgID, and the server creates that object through the ProgID
// registry (CreateOleObject), one object per connection, and serves its late-bound calls
// until the client leaves. Every connection has its own thread, so a slow or silent client
// never holds up the others. Whatever the server cannot serve (bad frames, unknown ProgIDs
// or members, too many connections) is answered with a clear text or, when the stream can
// no longer be trusted, by closing that one connection.
#pragma once

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "Wire.h"

struct TAppServerOptions {
  std::string Address = "127.0.0.1";  // loopback unless told otherwise
  int Port = kDefaultSocketPort;      // 0: any free port (see TAppServer::Port)
  size_t MaxFrameSize = kDefaultMaxFrameSize;
  int HandshakeTimeoutMs = 10000;  // from connecting to naming the object
  int IdleTimeoutMs = -1;          // between calls once the object exists; negative: none
  int FrameTimeoutMs = 30000;      // from a frame's first byte to its last
  int SendTimeoutMs = 30000;       // for the client to take an answer
  int MaxConnections = 1000;
  std::function<void(const std::string&)> Log;  // one line per event; may be empty
};

class TAppServer {
 public:
  explicit TAppServer(TAppServerOptions options);
  ~TAppServer();
  TAppServer(const TAppServer&) = delete;
  TAppServer& operator=(const TAppServer&) = delete;

  // Binds, listens and starts accepting; raises ESocketConnectionError when it cannot.
  void Start();
  // Stops accepting, ends every connection and waits for their threads. Idempotent.
  void Stop();
  int Port() const { return port_; }
  int ConnectionCount() const;

 private:
  struct TConnection {
    std::unique_ptr<TWireChannel> Channel;
    std::string Peer;
    std::thread Thread;
    bool Refused = false;  // over the limit: told so, then closed
    std::atomic<bool> Done{false};
  };

  void AcceptLoop();
  void Accept();
  void Serve(TConnection& connection);
  void Refuse(TConnection& connection);
  void Reap(bool all);
  void Log(const std::string& line) const;

  TAppServerOptions options_;
  int listenFd_ = -1;
  int wakeFd_[2] = {-1, -1};
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread acceptThread_;
  mutable std::mutex lock_;  // connections_
  std::list<TConnection> connections_;
};
