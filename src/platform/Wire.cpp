#include "Wire.h"

// msgpack-cxx without Boost: only its packer and its event parser are used here.
#define MSGPACK_NO_BOOST
#include <msgpack.hpp>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <limits>

namespace {

// At most this many arguments travel with one call, and at most this many dimensions
// with one array (the platform's own limit).
constexpr size_t kMaxArgs = 1024;
constexpr size_t kMaxDimensions = 64;
constexpr int64_t kMaxArrayElements = int64_t{1} << 24;

[[noreturn]] void Malformed(const std::string& what) {
  throw EWireError(wfMalformed, "Malformed frame: " + what);
}

std::string SizeText(size_t n) {
  return IntToStr(static_cast<int64_t>(n));
}

// --- Encoding ----------------------------------------------------------------------------

struct TStringBuffer {
  std::string data;
  void write(const char* bytes, size_t size) { data.append(bytes, size); }
};
using TPacker = msgpack::packer<TStringBuffer>;

// The packer writes a whole-numbered float as an integer (and -0.0 as 0); a Double or a
// Date must come back as exactly the float it was, so floats are written here.
template <typename Bits, typename Float>
void PackFloatBits(TStringBuffer& buffer, unsigned char marker, Float value) {
  Bits bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  char bytes[1 + sizeof bits];
  bytes[0] = static_cast<char>(marker);
  for (size_t k = 0; k < sizeof bits; ++k)
    bytes[1 + k] = static_cast<char>((bits >> (8 * (sizeof bits - 1 - k))) & 0xFF);
  buffer.write(bytes, sizeof bytes);
}

void PackFloat32(TStringBuffer& buffer, float value) {
  PackFloatBits<uint32_t>(buffer, 0xca, value);
}

void PackFloat64(TStringBuffer& buffer, double value) {
  PackFloatBits<uint64_t>(buffer, 0xcb, value);
}

// The packer and the buffer it writes to.
struct TWriter {
  TStringBuffer buffer;
  TPacker pk{buffer};
};

void PackText(TPacker& pk, const std::string& text) {
  if (text.size() > std::numeric_limits<uint32_t>::max())
    throw EWireError(wfOversized, "A text of " + SizeText(text.size()) + " bytes cannot be sent");
  pk.pack_str(static_cast<uint32_t>(text.size()));
  pk.pack_str_body(text.data(), static_cast<uint32_t>(text.size()));
}

void PackVariant(TWriter& w, const Variant& v, int depth) {
  TPacker& pk = w.pk;
  if (depth > kWireMaxDepth)
    throw EWireError(wfUnsupported, "Arrays nested deeper than " + IntToStr(kWireMaxDepth) +
                                        " levels cannot be sent");
  const TVarType type = v.VarType();
  if (v.IsArray()) {
    const VarArrayData& a = v.Array();
    pk.pack_array(3);
    pk.pack_uint16(type);
    pk.pack_array(static_cast<uint32_t>(a.Bounds.size() * 2));
    for (const auto& [low, high] : a.Bounds) {
      pk.pack_int32(low);
      pk.pack_int32(high);
    }
    pk.pack_array(static_cast<uint32_t>(a.Elements.size()));
    for (const Variant& element : a.Elements) PackVariant(w, element, depth + 1);
    return;
  }
  switch (type) {
    case varEmpty:
    case varNull:
      pk.pack_array(1);
      pk.pack_uint16(type);
      return;
    case varDispatch:
      if (v.RawDispatch())
        throw EWireError(wfUnsupported, "An automation object cannot be sent over the connection");
      pk.pack_array(1);
      pk.pack_uint16(type);
      return;
    case varBoolean:
      pk.pack_array(2);
      pk.pack_uint16(type);
      if (v.RawInteger() != 0)
        pk.pack_true();
      else
        pk.pack_false();
      return;
    case varSingle:
      pk.pack_array(2);
      pk.pack_uint16(type);
      PackFloat32(w.buffer, static_cast<float>(v.RawDouble()));
      return;
    case varDouble:
    case varDate:
      pk.pack_array(2);
      pk.pack_uint16(type);
      PackFloat64(w.buffer, v.RawDouble());
      return;
    case varCurrency:
      pk.pack_array(2);
      pk.pack_uint16(type);
      pk.pack_int64(v.RawCurrency());
      return;
    case varString:
    case varOleStr:
      pk.pack_array(2);
      pk.pack_uint16(type);
      PackText(pk, v.RawText());
      return;
    default:  // the integer kinds and varError
      pk.pack_array(2);
      pk.pack_uint16(type);
      pk.pack_int64(v.RawInteger());
      return;
  }
}

void PackMessage(TWriter& w, const TWireMessage& m) {
  TPacker& pk = w.pk;
  switch (m.Kind) {
    case wkCreate:
    case wkGet:
      pk.pack_array(3);
      pk.pack(kWireVersion);
      pk.pack(static_cast<int>(m.Kind));
      PackText(pk, m.Name);
      return;
    case wkInvoke:
      if (m.Args.size() > kMaxArgs)
        throw EWireError(wfUnsupported, "A call with more than " + SizeText(kMaxArgs) +
                                            " arguments cannot be sent");
      pk.pack_array(4);
      pk.pack(kWireVersion);
      pk.pack(static_cast<int>(m.Kind));
      PackText(pk, m.Name);
      pk.pack_array(static_cast<uint32_t>(m.Args.size()));
      for (const Variant& arg : m.Args) PackVariant(w, arg, 0);
      return;
    case wkSet:
      pk.pack_array(4);
      pk.pack(kWireVersion);
      pk.pack(static_cast<int>(m.Kind));
      PackText(pk, m.Name);
      PackVariant(w, m.Value, 0);
      return;
    case wkResult:
      pk.pack_array(4);
      pk.pack(kWireVersion);
      pk.pack(static_cast<int>(m.Kind));
      PackVariant(w, m.Value, 0);
      pk.pack_array(static_cast<uint32_t>(m.OutArgs.size()));
      for (const auto& [index, value] : m.OutArgs) {
        pk.pack_array(2);
        pk.pack(index);
        PackVariant(w, value, 0);
      }
      return;
    case wkError:
      pk.pack_array(5);
      pk.pack(kWireVersion);
      pk.pack(static_cast<int>(m.Kind));
      PackText(pk, m.Name);
      pk.pack_int32(m.ErrorCode);
      PackText(pk, m.ErrorClass);
      return;
  }
  throw EWireError(wfUnsupported, "Unknown message kind " + IntToStr(static_cast<int>(m.Kind)));
}

// --- Decoding ----------------------------------------------------------------------------
// The event parser of msgpack-cxx turns the payload into a flat list of tokens (nothing is
// allocated for a size the sender merely claims); a reader then walks the tokens.

enum class TTokenKind : uint8_t {
  tkNil,
  tkBool,
  tkUInt,
  tkInt,
  tkFloat32,
  tkFloat64,
  tkStr,
  tkArray
};
using enum TTokenKind;

struct TToken {
  TTokenKind kind;
  uint32_t size;  // string length, array element count
  union {
    bool b;
    uint64_t u;
    int64_t i;
    double d;
    const char* p;
  };
};

class TTokenizer {
 public:
  explicit TTokenizer(std::vector<TToken>& tokens) : tokens_(tokens) {}

  bool visit_nil() { return Add(tkNil); }
  bool visit_boolean(bool v) {
    TToken& t = Push(tkBool);
    t.b = v;
    return true;
  }
  bool visit_positive_integer(uint64_t v) {
    TToken& t = Push(tkUInt);
    t.u = v;
    return true;
  }
  bool visit_negative_integer(int64_t v) {
    TToken& t = Push(tkInt);
    t.i = v;
    return true;
  }
  bool visit_float32(float v) {
    TToken& t = Push(tkFloat32);
    t.d = v;
    return true;
  }
  bool visit_float64(double v) {
    TToken& t = Push(tkFloat64);
    t.d = v;
    return true;
  }
  bool visit_str(const char* v, uint32_t size) {
    TToken& t = Push(tkStr);
    t.p = v;
    t.size = size;
    return true;
  }
  bool visit_bin(const char*, uint32_t) { return Refuse("binary data"); }
  bool visit_ext(const char*, uint32_t) { return Refuse("an extension type"); }
  bool start_array(uint32_t count) {
    if (++depth_ > kMaxTokenDepth) return Refuse("arrays nested too deeply");
    TToken& t = Push(tkArray);
    t.size = count;
    return true;
  }
  bool start_array_item() { return true; }
  bool end_array_item() { return true; }
  bool end_array() {
    --depth_;
    return true;
  }
  bool start_map(uint32_t) { return Refuse("a map"); }
  bool start_map_key() { return true; }
  bool end_map_key() { return true; }
  bool start_map_value() { return true; }
  bool end_map_value() { return true; }
  bool end_map() { return true; }
  void parse_error(size_t, size_t offset) { error_ = "invalid data at byte " + SizeText(offset); }
  void insufficient_bytes(size_t, size_t) { error_ = "the payload ends inside a value"; }
  bool referenced() const { return false; }
  void set_referenced(bool) {}

  const std::string& Error() const { return error_; }

 private:
  // A Variant nests two MessagePack arrays per level, a message adds a few.
  static constexpr int kMaxTokenDepth = 2 * kWireMaxDepth + 8;

  TToken& Push(TTokenKind kind) {
    tokens_.push_back(TToken{kind, 0, {}});
    tokens_.back().u = 0;
    return tokens_.back();
  }
  bool Add(TTokenKind kind) {
    Push(kind);
    return true;
  }
  bool Refuse(const std::string& what) {
    error_ = what + " is not allowed";
    return false;
  }

  std::vector<TToken>& tokens_;
  int depth_ = 0;
  std::string error_;
};

std::vector<TToken> Tokenize(std::string_view payload) {
  std::vector<TToken> tokens;
  TTokenizer tokenizer(tokens);
  size_t offset = 0;
  bool ok = false;
  try {
    ok = msgpack::parse(payload.data(), payload.size(), offset, tokenizer);
  } catch (const std::exception& e) {
    Malformed(e.what());
  }
  if (!ok) Malformed(tokenizer.Error().empty() ? "not a MessagePack value" : tokenizer.Error());
  if (offset != payload.size())
    Malformed(SizeText(payload.size() - offset) + " bytes follow the message");
  return tokens;
}

class TTokenReader {
 public:
  explicit TTokenReader(const std::vector<TToken>& tokens) : tokens_(tokens) {}

  size_t Remaining() const { return tokens_.size() - pos_; }

  const TToken& Next(const char* what) {
    if (pos_ >= tokens_.size()) Malformed(std::string(what) + " is missing");
    return tokens_[pos_++];
  }
  const TToken& Peek(const char* what) const {
    if (pos_ >= tokens_.size()) Malformed(std::string(what) + " is missing");
    return tokens_[pos_];
  }
  uint32_t Array(const char* what) {
    const TToken& t = Next(what);
    if (t.kind != tkArray) Malformed(std::string(what) + " must be an array");
    return t.size;
  }
  int64_t Integer(const char* what, int64_t low, int64_t high) {
    const TToken& t = Next(what);
    int64_t value = 0;
    if (t.kind == tkInt) {
      value = t.i;
    } else if (t.kind == tkUInt) {
      if (t.u > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
        Malformed(std::string(what) + " is out of range");
      value = static_cast<int64_t>(t.u);
    } else {
      Malformed(std::string(what) + " must be an integer");
    }
    if (value < low || value > high) Malformed(std::string(what) + " is out of range");
    return value;
  }
  std::string Text(const char* what) {
    const TToken& t = Next(what);
    if (t.kind != tkStr) Malformed(std::string(what) + " must be a text");
    return std::string(t.p, t.size);
  }
  double Float(const char* what, bool singleOnly) {
    const TToken& t = Next(what);
    if (t.kind == tkFloat32 || (t.kind == tkFloat64 && !singleOnly)) return t.d;
    Malformed(std::string(what) + (singleOnly ? " must be a float32" : " must be a float64"));
  }
  bool Boolean(const char* what) {
    const TToken& t = Next(what);
    if (t.kind != tkBool) Malformed(std::string(what) + " must be a Boolean");
    return t.b;
  }

 private:
  const std::vector<TToken>& tokens_;
  size_t pos_ = 0;
};

// The range an integer kind holds on the wire.
bool IntegerKindRange(TVarType type, int64_t& low, int64_t& high) {
  switch (type) {
    case varSmallint:
      low = INT16_MIN, high = INT16_MAX;
      return true;
    case varInteger:
    case varError:
      low = INT32_MIN, high = INT32_MAX;
      return true;
    case varShortInt:
      low = INT8_MIN, high = INT8_MAX;
      return true;
    case varByte:
      low = 0, high = UINT8_MAX;
      return true;
    case varWord:
      low = 0, high = UINT16_MAX;
      return true;
    case varLongWord:
      low = 0, high = UINT32_MAX;
      return true;
    case varInt64:
      low = INT64_MIN, high = INT64_MAX;
      return true;
    default:
      return false;
  }
}

Variant ReadVariant(TTokenReader& r, int depth);

Variant ReadArray(TTokenReader& r, TVarType type, uint32_t items, int depth) {
  if (items != 3) Malformed("an array value must have 3 items");
  const TVarType elementType = type & varTypeMask;
  const uint32_t boundCount = r.Array("the bounds");
  if (boundCount == 0 || boundCount % 2 != 0 || boundCount / 2 > kMaxDimensions)
    Malformed("an array needs 1 to " + SizeText(kMaxDimensions) + " pairs of bounds");
  std::vector<int> bounds;
  int64_t count = 1;
  for (uint32_t k = 0; k < boundCount; k += 2) {
    const int64_t low = r.Integer("a low bound", INT32_MIN, INT32_MAX);
    const int64_t high = r.Integer("a high bound", INT32_MIN, INT32_MAX);
    if (high < low - 1) Malformed("a high bound is below its low bound");
    count *= high - low + 1;
    if (count > kMaxArrayElements) Malformed("an array has too many elements");
    bounds.push_back(static_cast<int>(low));
    bounds.push_back(static_cast<int>(high));
  }
  const uint32_t elementCount = r.Array("the elements");
  if (elementCount != count) Malformed("the element count does not match the bounds");
  // Each element takes at least two tokens, so a claimed size is checked before allocating.
  if (static_cast<size_t>(count) * 2 > r.Remaining()) Malformed("the elements are missing");
  Variant result;
  try {
    result = VarArrayCreate(bounds, elementType);
  } catch (const EVariantError&) {
    Malformed("element type " + IntToStr(elementType) + " is not an array type");
  }
  for (Variant& element : result.Array().Elements) element = ReadVariant(r, depth + 1);
  return result;
}

Variant ReadVariant(TTokenReader& r, int depth) {
  if (depth > kWireMaxDepth) Malformed("arrays nested too deeply");
  const uint32_t items = r.Array("a value");
  if (items < 1 || items > 3) Malformed("a value must be an array of 1 to 3 items");
  const int64_t tag = r.Integer("a type", 0, 0xFFFF);
  const auto type = static_cast<TVarType>(tag);
  if ((type & varArray) != 0) {
    if ((type & ~(varArray | varTypeMask)) != 0) Malformed("unknown type " + IntToStr(tag));
    return ReadArray(r, type, items, depth);
  }
  const bool bare = type == varEmpty || type == varNull || type == varDispatch;
  if (items != (bare ? 1u : 2u)) Malformed("type " + IntToStr(tag) + " has a wrong item count");
  int64_t low = 0, high = 0;
  switch (type) {
    case varEmpty:
      return Variant();
    case varNull:
      return Variant::Null();
    case varDispatch:
      return Variant(DispatchPtr());
    case varBoolean:
      return Variant(r.Boolean("a Boolean"));
    case varSingle:
      return Variant::OfSingle(static_cast<float>(r.Float("a Single", true)));
    case varDouble:
      return Variant(r.Float("a Double", false));
    case varDate:
      return Variant::FromDate(r.Float("a Date", false));
    case varCurrency:
      return Variant::FromCurrency(r.Integer("a Currency", INT64_MIN, INT64_MAX));
    case varString:
      return Variant::Ansi(r.Text("an ANSI text"));
    case varOleStr:
      return Variant::Wide(r.Text("a wide text"));
    default:
      if (!IntegerKindRange(type, low, high)) Malformed("unknown type " + IntToStr(tag));
      return Variant::OfType(type, r.Integer("an integer value", low, high));
  }
}

TWireMessage ReadMessage(TTokenReader& r) {
  const uint32_t items = r.Array("the message");
  if (items < 2) Malformed("a message needs a version and a kind");
  const TToken& version = r.Peek("the version");
  if (version.kind != tkUInt || version.u != static_cast<uint64_t>(kWireVersion)) {
    if (version.kind == tkUInt || version.kind == tkInt)
      throw EWireError(
          wfVersion,
          "Protocol version " +
              (version.kind == tkUInt ? std::to_string(version.u) : std::to_string(version.i)) +
              " is not supported (this side speaks version " + IntToStr(kWireVersion) + ")");
    Malformed("the version must be an integer");
  }
  r.Next("the version");
  TWireMessage m;
  m.Kind = static_cast<TWireKind>(r.Integer("the kind", 0, 255));
  const auto expect = [&](uint32_t n) {
    if (items != n)
      Malformed("a message of kind " + IntToStr(static_cast<int>(m.Kind)) + " needs " +
                IntToStr(n) + " items");
  };
  switch (m.Kind) {
    case wkCreate:
    case wkGet:
      expect(3);
      m.Name = r.Text("the name");
      break;
    case wkInvoke: {
      expect(4);
      m.Name = r.Text("the name");
      const uint32_t count = r.Array("the arguments");
      if (count > kMaxArgs) Malformed("too many arguments");
      m.Args.reserve(count);
      for (uint32_t k = 0; k < count; ++k) m.Args.push_back(ReadVariant(r, 0));
      break;
    }
    case wkSet:
      expect(4);
      m.Name = r.Text("the name");
      m.Value = ReadVariant(r, 0);
      break;
    case wkResult: {
      expect(4);
      m.Value = ReadVariant(r, 0);
      const uint32_t count = r.Array("the changed arguments");
      if (count > kMaxArgs) Malformed("too many changed arguments");
      for (uint32_t k = 0; k < count; ++k) {
        if (r.Array("a changed argument") != 2) Malformed("a changed argument needs 2 items");
        const int index = static_cast<int>(r.Integer("an argument index", 0, kMaxArgs - 1));
        m.OutArgs.emplace_back(index, ReadVariant(r, 0));
      }
      break;
    }
    case wkError:
      expect(5);
      m.Name = r.Text("the error text");
      m.ErrorCode = static_cast<int32_t>(r.Integer("the error code", INT32_MIN, UINT32_MAX));
      m.ErrorClass = r.Text("the error class");
      break;
    default:
      Malformed("unknown message kind " + IntToStr(static_cast<int>(m.Kind)));
  }
  return m;
}

// --- Socket helpers ----------------------------------------------------------------------

using TClock = std::chrono::steady_clock;

// Milliseconds left until the deadline (-1: none); 0 once it has passed.
int Remaining(bool hasDeadline, TClock::time_point deadline) {
  if (!hasDeadline) return -1;
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now());
  if (left.count() <= 0) return 0;
  return static_cast<int>(std::min<int64_t>(left.count(), std::numeric_limits<int>::max()));
}

// Waits for the descriptor; false on time-out.
bool WaitFor(int fd, short events, int timeoutMs) {
  pollfd p{fd, events, 0};
  for (;;) {
    const int n = ::poll(&p, 1, timeoutMs);
    if (n > 0) return true;
    if (n == 0) return false;
    if (errno != EINTR)
      throw EWireError(wfSocket,
                       std::string("Waiting on the connection failed: ") + std::strerror(errno));
  }
}

[[noreturn]] void SocketFailure(const char* action, int error) {
  if (error == EPIPE || error == ECONNRESET || error == ENOTCONN || error == EBADF)
    throw EWireError(wfClosed, "The connection was closed by the other side");
  throw EWireError(wfSocket, std::string(action) + " failed: " + std::strerror(error));
}

}  // namespace

// --- Public encoding ---------------------------------------------------------------------

std::string EncodeVariant(const Variant& value) {
  TWriter w;
  PackVariant(w, value, 0);
  return std::move(w.buffer.data);
}

Variant DecodeVariant(std::string_view bytes) {
  const std::vector<TToken> tokens = Tokenize(bytes);
  TTokenReader r(tokens);
  Variant v = ReadVariant(r, 0);
  if (r.Remaining() != 0) Malformed("data follows the value");
  return v;
}

std::string EncodeWirePayload(const TWireMessage& message) {
  TWriter w;
  PackMessage(w, message);
  return std::move(w.buffer.data);
}

TWireMessage DecodeWirePayload(std::string_view payload) {
  const std::vector<TToken> tokens = Tokenize(payload);
  TTokenReader r(tokens);
  TWireMessage m = ReadMessage(r);
  if (r.Remaining() != 0) Malformed("data follows the message");
  return m;
}

std::string EncodeWireFrame(const TWireMessage& message, size_t maxFrameSize) {
  TWriter w;
  std::string& data = w.buffer.data;
  data.assign(kWireHeaderSize, '\0');
  PackMessage(w, message);
  const size_t size = data.size() - kWireHeaderSize;
  if (size > maxFrameSize || size > std::numeric_limits<uint32_t>::max())
    throw EWireError(wfOversized, "A frame of " + SizeText(size) + " bytes exceeds the limit of " +
                                      SizeText(maxFrameSize) + " bytes");
  for (size_t k = 0; k < kWireHeaderSize; ++k)
    data[k] = static_cast<char>((size >> (8 * (kWireHeaderSize - 1 - k))) & 0xFF);
  return std::move(data);
}

uint32_t DecodeWireHeader(const unsigned char header[kWireHeaderSize]) {
  return (uint32_t{header[0]} << 24) | (uint32_t{header[1]} << 16) | (uint32_t{header[2]} << 8) |
         uint32_t{header[3]};
}

TWireMessage DecodeWireFrame(std::string_view frame, size_t maxFrameSize) {
  if (frame.size() < kWireHeaderSize) Malformed("the frame header is incomplete");
  const uint32_t size = DecodeWireHeader(reinterpret_cast<const unsigned char*>(frame.data()));
  if (size > maxFrameSize)
    throw EWireError(wfOversized, "A frame of " + SizeText(size) + " bytes exceeds the limit of " +
                                      SizeText(maxFrameSize) + " bytes");
  if (frame.size() - kWireHeaderSize != size)
    Malformed("the header announces " + SizeText(size) + " bytes but " +
              SizeText(frame.size() - kWireHeaderSize) + " follow");
  return DecodeWirePayload(frame.substr(kWireHeaderSize));
}

// --- Channel -----------------------------------------------------------------------------

TWireChannel::TWireChannel(int fd, size_t maxFrameSize) : fd_(fd), maxFrameSize_(maxFrameSize) {}

TWireChannel::~TWireChannel() {
  if (fd_ >= 0) ::close(fd_);
}

void TWireChannel::Shutdown() {
  if (fd_ >= 0) ::shutdown(fd_, SHUT_RDWR);
}

void TWireChannel::Send(const TWireMessage& message, int timeoutMs) {
  SendRaw(EncodeWireFrame(message, maxFrameSize_), timeoutMs);
}

void TWireChannel::SendRaw(std::string_view bytes, int timeoutMs) {
  const bool hasDeadline = timeoutMs >= 0;
  const auto deadline = TClock::now() + std::chrono::milliseconds(hasDeadline ? timeoutMs : 0);
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n =
        ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      const int wait = Remaining(hasDeadline, deadline);
      if (wait == 0 || !WaitFor(fd_, POLLOUT, wait))
        throw EWireError(wfTimeout, "The other side did not take the frame within " +
                                        IntToStr(timeoutMs) + " ms");
      continue;
    }
    SocketFailure("Sending", n < 0 ? errno : EPIPE);
  }
}

bool TWireChannel::Fill(size_t count, int timeoutMs, bool atFrameStart) {
  const bool hasDeadline = timeoutMs >= 0;
  const auto deadline = TClock::now() + std::chrono::milliseconds(hasDeadline ? timeoutMs : 0);
  char chunk[64 * 1024];
  while (buffer_.size() < count) {
    const ssize_t n = ::recv(fd_, chunk, sizeof chunk, MSG_DONTWAIT);
    if (n > 0) {
      buffer_.append(chunk, static_cast<size_t>(n));
      continue;
    }
    if (n == 0) {
      if (atFrameStart && buffer_.empty()) return false;
      throw EWireError(wfTruncated, "The connection was closed in the middle of a frame");
    }
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      const int wait = Remaining(hasDeadline, deadline);
      if (wait == 0 || !WaitFor(fd_, POLLIN, wait)) {
        if (atFrameStart && buffer_.empty())
          throw EWireError(wfTimeout, "No frame arrived within " + IntToStr(timeoutMs) + " ms");
        throw EWireError(
            wfTimeout, "The frame did not arrive completely within " + IntToStr(timeoutMs) + " ms");
      }
      continue;
    }
    SocketFailure("Receiving", errno);
  }
  return true;
}

bool TWireChannel::Receive(TWireMessage& message, int idleTimeoutMs, int frameTimeoutMs) {
  if (!Fill(kWireHeaderSize, idleTimeoutMs, true)) return false;
  const uint32_t size = DecodeWireHeader(reinterpret_cast<const unsigned char*>(buffer_.data()));
  if (size > maxFrameSize_)
    throw EWireError(wfOversized, "A frame of " + SizeText(size) + " bytes exceeds the limit of " +
                                      SizeText(maxFrameSize_) + " bytes");
  Fill(kWireHeaderSize + size, frameTimeoutMs, false);
  const std::string_view payload(buffer_.data() + kWireHeaderSize, size);
  try {
    message = DecodeWirePayload(payload);
  } catch (...) {
    buffer_.erase(0, kWireHeaderSize + size);
    throw;
  }
  buffer_.erase(0, kWireHeaderSize + size);
  return true;
}
