#include "Lintova.h"

#include <opencc/opencc.h>

#include <mutex>
#include <string>

namespace {

// One converter per direction, opened on first use and kept for the process.
class Converter {
 public:
  explicit Converter(const char* config) : config_(config) {}
  ~Converter() {
    if (handle_ != reinterpret_cast<opencc_t>(-1) && handle_ != nullptr) opencc_close(handle_);
  }

  std::string Convert(const char* text) {
    const std::string input = text == nullptr ? std::string() : std::string(text);
    if (input.empty()) return input;
    std::lock_guard guard(lock_);
    if (handle_ == nullptr) handle_ = opencc_open(config_);
    if (handle_ == reinterpret_cast<opencc_t>(-1)) return input;
    char* converted = opencc_convert_utf8(handle_, input.data(), input.size());
    if (converted == nullptr) return input;
    std::string result(converted);
    opencc_convert_utf8_free(converted);
    return result;
  }

 private:
  const char* config_;
  std::mutex lock_;
  opencc_t handle_ = nullptr;
};

Converter& ToTraditional() {
  static Converter converter("s2tw.json");
  return converter;
}

Converter& ToSimplified() {
  static Converter converter("tw2s.json");
  return converter;
}

const char* Keep(std::string& buffer, std::string text) {
  buffer = std::move(text);
  return buffer.c_str();
}

}  // namespace

extern "C" {

const char* GBtoBIG5(const char* text) {
  thread_local std::string buffer;
  return Keep(buffer, ToTraditional().Convert(text));
}

const char* BIG5toGB(const char* text) {
  thread_local std::string buffer;
  return Keep(buffer, ToSimplified().Convert(text));
}

const char* GetBIG5Data(const char* text) {
  thread_local std::string buffer;
  return Keep(buffer, ToTraditional().Convert(text));
}

const char* GetGBData(const char* text) {
  thread_local std::string buffer;
  return Keep(buffer, ToSimplified().Convert(text));
}

int SaveOrder() {
  return 0;
}

}  // extern "C"
