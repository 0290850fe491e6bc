// Stored passwords: arbitrary text is unscrambled without harm (a bad pair writes an
// exception report into a temporary installation), and every printable text comes back
// from its own scrambled form.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "OrvantINI.h"
#include "SysInfo.h"

namespace {

// A temporary installation that receives the exception reports.
class Installation {
 public:
  Installation() {
    std::string pattern = GetTempFolder() + "kxbr-fuzz-sqlsa-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    folder_ = pattern + "/";
    std::ofstream(folder_ + "registry.ini")
        << "[HKEY_LOCAL_MACHINE\\Software\\QMT\\Orvant]\nClientPath=" << folder_ << "\n";
    ::setenv("ORVANT_REGISTRY", (folder_ + "registry.ini").c_str(), 1);
    ::setenv("TMPDIR", folder_.c_str(), 1);
  }
  // libFuzzer ends with exit(), which runs this.
  ~Installation() {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  static Installation& Get() {
    static Installation installation;
    return installation;
  }

 private:
  std::string folder_;
};

void Check(bool condition) {
  if (!condition) std::abort();
}

bool IsLowerHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Installation::Get();
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
