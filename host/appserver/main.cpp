// orvant-appserver: serves automation objects by ProgID over TCP.
//
//   orvant-appserver [--address A] [--port P] [--max-frame BYTES] [--max-connections N]
//                    [--handshake-timeout MS] [--idle-timeout MS] [--frame-timeout MS]
//
// Listens on 127.0.0.1:211 unless told otherwise; objects come from the ProgID table of the
// registry stand-in (ORVANT_REGISTRY). Events go to the alert log "AppServer" in the
// installation's "Log" folder. SIGTERM or SIGINT stops it cleanly: no new connections,
// every open one is ended and its object released, then the process exits with 0.
#include <signal.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <mutex>
#include <string>

#include "AlertLog.h"
#include "AppServer.h"

namespace {

void Usage(std::ostream& out) {
  out << "usage: orvant-appserver [--address A] [--port P] [--max-frame BYTES]\n"
         "                        [--max-connections N] [--handshake-timeout MS]\n"
         "                        [--idle-timeout MS] [--frame-timeout MS]\n";
}

bool ReadNumber(const char* text, int64_t low, int64_t high, int64_t& value) {
  return TryStrToInt64(text, value) && value >= low && value <= high;
}

}  // namespace

int main(int argc, char** argv) {
  TAppServerOptions options;
  for (int k = 1; k < argc; ++k) {
    const std::string name = argv[k];
    if (name == "--help" || name == "-h") {
      Usage(std::cout);
      return 0;
    }
    if (k + 1 >= argc) {
      std::cerr << "orvant-appserver: " << name << " needs a value\n";
      Usage(std::cerr);
      return 2;
    }
    const char* value = argv[++k];
    bool ok = true;
    const auto number = [&](int64_t low, int64_t high) {
      int64_t n = 0;
      ok = ReadNumber(value, low, high, n);
      return n;
    };
    if (name == "--address")
      options.Address = value;
    else if (name == "--port")
      options.Port = static_cast<int>(number(0, 65535));
    else if (name == "--max-frame")
      options.MaxFrameSize = static_cast<size_t>(number(64, INT32_MAX));
    else if (name == "--max-connections")
      options.MaxConnections = static_cast<int>(number(1, 100000));
    else if (name == "--handshake-timeout")
      options.HandshakeTimeoutMs = static_cast<int>(number(-1, INT32_MAX));
    else if (name == "--idle-timeout")
      options.IdleTimeoutMs = static_cast<int>(number(-1, INT32_MAX));
    else if (name == "--frame-timeout")
      options.FrameTimeoutMs = static_cast<int>(number(-1, INT32_MAX));
    else {
      std::cerr << "orvant-appserver: unknown option " << name << "\n";
      Usage(std::cerr);
      return 2;
    }
    if (!ok) {
      std::cerr << "orvant-appserver: invalid value \"" << value << "\" for " << name << "\n";
      return 2;
    }
  }

  std::mutex logLock;  // one line at a time from all connection threads
  options.Log = [&logLock](const std::string& line) {
    std::lock_guard guard(logLock);
    WriteAlertLog("AppServer", line, 'D');
  };

  // The signals are taken by sigwait below, never by a handler in some worker thread.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  TAppServer server(options);
  try {
    server.Start();
  } catch (const std::exception& e) {
    options.Log(std::string("Cannot start: ") + e.what());
    std::cerr << "orvant-appserver: " << e.what() << "\n";
    return 1;
  }
  std::cout << "orvant-appserver listening on " << options.Address << ":" << server.Port()
            << std::endl;

  int signal = 0;
  sigwait(&stopSignals, &signal);
  options.Log(std::string("Stopping on ") + (signal == SIGTERM ? "SIGTERM" : "SIGINT"));
  server.Stop();
  return 0;
}
