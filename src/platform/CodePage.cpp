#include "CodePage.h"

#include <iconv.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace {

const char* IconvName(int codePage) {
  switch (codePage) {
    case 936:
      return "CP936";
    case 950:
      return "CP950";
    case 437:
      return "CP437";
    case 1252:
      return "CP1252";
    case 65001:
      return "UTF-8";
    default:
      return nullptr;
  }
}

// Runs iconv over the whole input; nothing on any invalid or unconvertible sequence.
std::optional<std::string> Convert(std::string_view in, const char* to, const char* from) {
  if (to == nullptr || from == nullptr) return std::nullopt;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out;
  out.resize(in.size() * 4 + 16);
  char* inPtr = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  bool ok = true;
  while (inLeft > 0) {
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
      if (errno == E2BIG) {
        const size_t used = out.size() - outLeft;
        out.resize(out.size() * 2);
        outPtr = out.data() + used;
        outLeft = out.size() - used;
        continue;
      }
      ok = false;
      break;
    }
  }
  if (ok && iconv(cd, nullptr, nullptr, &outPtr, &outLeft) == static_cast<size_t>(-1)) ok = false;
  iconv_close(cd);
  if (!ok) return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

// Length of the UTF-8 sequence starting with `lead` (1 for a malformed byte).
size_t Utf8SequenceLength(std::string_view s, size_t i) {
  const auto lead = static_cast<unsigned char>(s[i]);
  size_t n = lead < 0x80           ? 1
             : (lead >> 5) == 0x6  ? 2
             : (lead >> 4) == 0xE  ? 3
             : (lead >> 3) == 0x1E ? 4
                                   : 1;
  if (i + n > s.size()) return 1;
  for (size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 1;
  return n;
}

int interfaceCodePage = 0;

}  // namespace

int GetACP() {
  if (const char* forced = std::getenv("ORVANT_CODEPAGE"); forced != nullptr && *forced != '\0') {
    char* end = nullptr;
    const long value = std::strtol(forced, &end, 10);
    if (end != forced && *end == '\0' && value > 0) return static_cast<int>(value);
  }
  std::string locale;
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    if (const char* v = std::getenv(name); v != nullptr && *v != '\0') {
      locale = v;
      break;
    }
  }
  const std::string region = locale.substr(0, 5);
  if (region == "zh_CN" || region == "zh_SG") return 936;
  if (region == "zh_TW" || region == "zh_HK") return 950;
  return 437;
}

std::optional<std::string> EncodeToCodePage(std::string_view utf8, int codePage) {
  return Convert(utf8, IconvName(codePage), "UTF-8");
}

std::optional<std::string> DecodeFromCodePage(std::string_view bytes, int codePage) {
  return Convert(bytes, "UTF-8", IconvName(codePage));
}

std::string EncodeLossy(std::string_view utf8, int codePage) {
  if (IconvName(codePage) == nullptr) return std::string(utf8);
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    const size_t n = Utf8SequenceLength(utf8, i);
    auto piece = EncodeToCodePage(utf8.substr(i, n), codePage);
    out += piece ? *piece : std::string("?");
    i += n;
  }
  return out;
}

std::string DecodeLossy(std::string_view bytes, int codePage) {
  if (auto whole = DecodeFromCodePage(bytes, codePage)) return *whole;
  if (IconvName(codePage) == nullptr) return std::string(bytes);
  // Decode piece by piece: a double-byte lead takes its trail byte, anything invalid is "?".
  std::string out;
  for (size_t i = 0; i < bytes.size();) {
    if (i + 1 < bytes.size()) {
      if (auto two = DecodeFromCodePage(bytes.substr(i, 2), codePage);
          two && static_cast<unsigned char>(bytes[i]) >= 0x80) {
        out += *two;
        i += 2;
        continue;
      }
    }
    auto one = DecodeFromCodePage(bytes.substr(i, 1), codePage);
    out += one ? *one : std::string("?");
    ++i;
  }
  return out;
}

bool IsAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

int AnsiByteLength(std::string_view utf8, int codePage) {
  if (IsAscii(utf8)) return static_cast<int>(utf8.size());
  if (IconvName(codePage) == nullptr || codePage == 65001) return static_cast<int>(utf8.size());
  if (auto whole = EncodeToCodePage(utf8, codePage)) return static_cast<int>(whole->size());
  return static_cast<int>(EncodeLossy(utf8, codePage).size());
}

int InterfaceCodePage() {
  return interfaceCodePage != 0 ? interfaceCodePage : GetACP();
}

void SetInterfaceCodePage(int codePage) {
  interfaceCodePage = codePage;
}

int AnsiByteLength(std::string_view utf8) {
  return AnsiByteLength(utf8, InterfaceCodePage());
}

std::string AnsiLeft(std::string_view utf8, int maxBytes, int codePage) {
  std::string out;
  int used = 0;
  for (size_t i = 0; i < utf8.size();) {
    const size_t n = Utf8SequenceLength(utf8, i);
    const int len = AnsiByteLength(utf8.substr(i, n), codePage);
    if (used + len > maxBytes) break;
    out.append(utf8.substr(i, n));
    used += len;
    i += n;
  }
  return out;
}

std::string DecodeTextFile(std::string_view bytes) {
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
    return std::string(bytes.substr(3));
  return DecodeLossy(bytes, GetACP());
}
