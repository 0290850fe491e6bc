// Stored passwords: arbitrary text is unscrambled without harm (a bad pair writes an
// exception report into a temporary installation), and every printable text comes back
// from its own scrambled form.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "OrvantINI.h"
#include "TempInstallation.h"

namespace {

// The installation lives for the whole run; libFuzzer ends with exit(), which removes it.
TempInstallation& Installation() {
  static TempInstallation installation;
  return installation;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

bool IsLowerHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Installation();
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string decoded = DecodeSQLSa(text);
  Check(decoded == "JW_Vhc_Qwacgtqp_Tecis" || decoded.size() <= size / 2);

  std::string printable;
  for (const uint8_t byte : text) printable += static_cast<char>(' ' + byte % 95);
  const std::string stored = EncodeSQLSa(printable);
  for (const char c : stored) Check(IsLowerHex(c));
  if (printable != "WH_Mpg_EuKbnbHmyz_DytSvjpSxboYyFdfqf") Check(DecodeSQLSa(stored) == printable);
  return 0;
}
