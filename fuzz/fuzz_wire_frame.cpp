// Arbitrary bytes as a frame of the server connection, as a payload and as a stored
// Variant. Decoding either refuses with EWireError or gives a message that encodes to
// bytes which decode to the same message again.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "Wire.h"

namespace {

constexpr size_t kFuzzFrameLimit = 1 << 16;

// Encoding is deterministic, so a message that survives a round trip encodes the same.
void CheckRoundTrip(const TWireMessage& message) {
  std::string once;
  try {
    once = EncodeWirePayload(message);
  } catch (const EWireError&) {
    return;  // decodable but not sendable is fine (nothing of that kind exists today)
  }
  try {
    if (EncodeWirePayload(DecodeWirePayload(once)) != once) std::abort();
  } catch (const EWireError&) {
    std::abort();  // what was encoded must decode
  }
}

void CheckRoundTrip(const Variant& value) {
  const std::string once = EncodeVariant(value);
  try {
    if (EncodeVariant(DecodeVariant(once)) != once) std::abort();
  } catch (const EWireError&) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    CheckRoundTrip(DecodeWireFrame(bytes, kFuzzFrameLimit));
  } catch (const EWireError&) {
  }
  try {
    CheckRoundTrip(DecodeWirePayload(bytes));
  } catch (const EWireError&) {
  }
  try {
    CheckRoundTrip(DecodeVariant(bytes));
  } catch (const EWireError&) {
  }
  return 0;
}
