// The socket protocol between a client's TSocketConnection and orvant-appserver.
//
// A frame is a 4-byte big-endian payload length followed by the payload: one MessagePack
// array [version, kind, ...]. The messages:
//   client -> server  [1, wkCreate, progID]             create the connection's object
//                     [1, wkInvoke, name, [args...]]    call a method late-bound
//                     [1, wkGet, name]                  read a property
//                     [1, wkSet, name, value]           write a property
//   server -> client  [1, wkResult, value, [[index, value]...]]   the answer and the
//                                                       by-reference arguments the callee
//                                                       changed
//                     [1, wkError, message, code, class]  the callee's exception
//
// A Variant travels as [type] (Empty, Null, an unassigned dispatch), [type, value] (value
// by kind: integer, Boolean, float32 for Single, float64 for Double and Date, the scaled
// int64 for Currency, a string for ANSI and wide text), or, for an array,
// [varArray | element type, [low1, high1, low2, high2, ...], [elements...]] with the
// elements in storage order (leftmost index fastest). Types, bounds and ANSI vs wide text
// come back exactly as they were sent. An automation object cannot travel.
//
// Decoding never trusts the sender: sizes are checked against the bytes present, nesting is
// limited, and every failure is an EWireError with a clear text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "SysUtils.h"
#include "Variant.h"

// Connection failures: the server cannot be reached, the connection dropped, a call timed
// out. The server object's own exceptions arrive as EOleException / EOleSysError.
KXBR_EXCEPTION_CLASS(ESocketConnectionError, Exception)

// The application server's port unless configured otherwise.
inline constexpr int kDefaultSocketPort = 211;

inline constexpr int kWireVersion = 1;
inline constexpr size_t kWireHeaderSize = 4;
inline constexpr size_t kDefaultMaxFrameSize = size_t{16} << 20;
// Arrays nested in arrays (a package of arrays of arrays ...) up to this depth.
inline constexpr int kWireMaxDepth = 32;

enum class TWireFault {
  wfMalformed,   // the payload is not a valid message
  wfVersion,     // a protocol version this side does not speak
  wfOversized,   // the frame is larger than the limit
  wfTruncated,   // the peer closed the connection in the middle of a frame
  wfTimeout,     // nothing (or not the whole frame) arrived in time
  wfClosed,      // the peer closed the connection, or it is not open
  wfSocket,      // the operating system refused a socket operation
  wfUnsupported  // a value that cannot travel (an automation object)
};
using enum TWireFault;

class EWireError : public Exception {
 public:
  EWireError(TWireFault fault, std::string message)
      : Exception(std::move(message)), fault_(fault) {}
  const char* ClassName() const override { return "EWireError"; }
  TWireFault Fault() const { return fault_; }

 private:
  TWireFault fault_;
};

enum class TWireKind : uint8_t {
  wkCreate = 1,
  wkInvoke = 2,
  wkGet = 3,
  wkSet = 4,
  wkResult = 16,
  wkError = 17,
};
using enum TWireKind;

struct TWireMessage {
  TWireKind Kind = wkResult;
  std::string Name;                              // ProgID, member name, or error text
  Variant Value;                                 // Set's value, Result's answer
  std::vector<Variant> Args;                     // Invoke's arguments
  std::vector<std::pair<int, Variant>> OutArgs;  // Result: changed by-reference arguments
  int32_t ErrorCode = 0;                         // Error: HRESULT-like code
  std::string ErrorClass;                        // Error: the exception's class name
};

// A Variant alone (used to store request packages exactly).
std::string EncodeVariant(const Variant& value);
Variant DecodeVariant(std::string_view bytes);

std::string EncodeWirePayload(const TWireMessage& message);
TWireMessage DecodeWirePayload(std::string_view payload);
// The header and payload of one frame; raises wfOversized beyond maxFrameSize.
std::string EncodeWireFrame(const TWireMessage& message,
                            size_t maxFrameSize = kDefaultMaxFrameSize);
// The payload length a header announces.
uint32_t DecodeWireHeader(const unsigned char header[kWireHeaderSize]);
// One whole frame held in memory: the header must announce exactly the bytes that follow.
TWireMessage DecodeWireFrame(std::string_view frame, size_t maxFrameSize = kDefaultMaxFrameSize);

// Frames over a connected stream socket, with time-outs in milliseconds (negative: wait
// for ever). The channel owns the descriptor and closes it when destroyed. One thread
// sends and receives at a time; Shutdown may be called from any thread to wake it.
class TWireChannel {
 public:
  explicit TWireChannel(int fd, size_t maxFrameSize = kDefaultMaxFrameSize);
  ~TWireChannel();
  TWireChannel(const TWireChannel&) = delete;
  TWireChannel& operator=(const TWireChannel&) = delete;

  int Handle() const { return fd_; }
  size_t MaxFrameSize() const { return maxFrameSize_; }
  void Send(const TWireMessage& message, int timeoutMs);
  // Sends bytes as they are (tests and the server's refusals before a frame is read).
  void SendRaw(std::string_view bytes, int timeoutMs);
  // The next message. False when the peer closed the connection between frames;
  // idleTimeoutMs bounds the wait for a frame to begin, frameTimeoutMs the time from its
  // first byte to its last. A payload that does not decode raises wfMalformed / wfVersion
  // after the whole frame was read, so the stream stays usable.
  bool Receive(TWireMessage& message, int idleTimeoutMs, int frameTimeoutMs);
  // Ends both directions; a blocked Receive returns or raises.
  void Shutdown();

 private:
  // Reads until the buffer holds `count` bytes; false when the peer closed before any
  // byte of a frame (only while `atFrameStart`).
  bool Fill(size_t count, int timeoutMs, bool atFrameStart);

  int fd_;
  size_t maxFrameSize_;
  std::string buffer_;  // received bytes not yet consumed
};
