#include "SysUtils.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>

#include "CodePage.h"
#include "DateTime.h"

// --- Exceptions -------------------------------------------------------------------------

namespace {

std::string JoinDBErrors(const std::vector<EDBEngineError::DBError>& errors) {
  std::string message;
  for (const auto& e : errors) {
    if (e.Message.empty()) continue;
    if (!message.empty()) message += '\n';
    message += e.Message;
  }
  if (message.empty() && !errors.empty())
    message = "Database engine error " + std::to_string(errors.front().ErrorCode);
  return message.empty() ? std::string("Database engine error") : message;
}

}  // namespace

// The message lists every contained error, one a line, as the platform shows them.
EDBEngineError::EDBEngineError(std::vector<DBError> errors)
    : Exception(JoinDBErrors(errors)), errors_(std::move(errors)) {}

// --- Text --------------------------------------------------------------------------------

namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}
char ToUpperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}
char ToLowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

}  // namespace

std::string Trim(std::string_view s) {
  return TrimRight(TrimLeft(s));
}

std::string TrimLeft(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  return std::string(s.substr(i));
}

std::string TrimRight(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && IsBlank(s[n - 1])) --n;
  return std::string(s.substr(0, n));
}

std::string UpperCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = ToUpperAscii(c);
  return r;
}

std::string LowerCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = ToLowerAscii(c);
  return r;
}

int CompareText(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const int ca = static_cast<unsigned char>(ToUpperAscii(a[i]));
    const int cb = static_cast<unsigned char>(ToUpperAscii(b[i]));
    if (ca != cb) return ca - cb;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareText(a, b) == 0;
}

bool StartsText(std::string_view prefix, std::string_view s) {
  return s.size() >= prefix.size() && SameText(prefix, s.substr(0, prefix.size()));
}

std::string StringReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(s);
  std::string r;
  size_t start = 0;
  for (size_t p = s.find(from); p != std::string_view::npos; p = s.find(from, start)) {
    r.append(s.substr(start, p - start));
    r.append(to);
    start = p + from.size();
  }
  r.append(s.substr(start));
  return r;
}

std::vector<std::string> SplitString(std::string_view s, char sep) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t p = s.find(sep); p != std::string_view::npos; p = s.find(sep, start)) {
    parts.emplace_back(s.substr(start, p - start));
    start = p + 1;
  }
  parts.emplace_back(s.substr(start));
  return parts;
}

int Pos(std::string_view sub, std::string_view s) {
  if (sub.empty()) return 0;
  const size_t p = s.find(sub);
  return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

namespace {

// Bytes of the UTF-8 character at `i`: 1 for a malformed or truncated sequence.
size_t Utf8CharSize(std::string_view s, size_t i) {
  const auto lead = static_cast<unsigned char>(s[i]);
  const size_t n = lead < 0x80             ? 1
                   : (lead & 0xE0) == 0xC0 ? 2
                   : (lead & 0xF0) == 0xE0 ? 3
                   : (lead & 0xF8) == 0xF0 ? 4
                                           : 1;
  if (i + n > s.size()) return 1;
  for (size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 1;
  return n;
}

}  // namespace

std::vector<std::string> Utf8Chars(std::string_view s) {
  std::vector<std::string> chars;
  for (size_t i = 0; i < s.size();) {
    const size_t n = Utf8CharSize(s, i);
    chars.emplace_back(s.substr(i, n));
    i += n;
  }
  return chars;
}

int Utf8Length(std::string_view s) {
  int count = 0;
  for (size_t i = 0; i < s.size(); i += Utf8CharSize(s, i)) ++count;
  return count;
}

// --- Numbers -----------------------------------------------------------------------------

std::string IntToStr(int64_t value) {
  return std::to_string(value);
}

namespace {

// Negative values that fit 32 bits show their 32-bit two's complement, as the platform's
// Integer overloads do; wider values their 64-bit one.
uint64_t HexBits(int64_t value) {
  if (value < 0 && value >= std::numeric_limits<int32_t>::min())
    return static_cast<uint32_t>(static_cast<int32_t>(value));
  return static_cast<uint64_t>(value);
}

std::string HexDigits(uint64_t bits, int minDigits) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string r;
  do {
    r.insert(r.begin(), kDigits[bits & 0xF]);
    bits >>= 4;
  } while (bits != 0);
  if (minDigits > static_cast<int>(r.size())) r.insert(0, minDigits - r.size(), '0');
  return r;
}

// The platform's Val: optional sign, then decimal digits or "$" / "0x" / "x" and hex digits.
// Hexadecimal may use every bit of the type (so "$FFFFFFFF" is -1 as a 32-bit integer).
bool ParseInteger(std::string_view text, int bits, int64_t& value) {
  const std::string s = Trim(text);
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  bool hex = false;
  if (i < s.size() && s[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  } else if (i < s.size() && (s[i] == 'x' || s[i] == 'X')) {
    hex = true;
    ++i;
  }
  if (i == s.size()) return false;
  uint64_t magnitude = 0;
  const uint64_t hexLimit = bits == 64 ? std::numeric_limits<uint64_t>::max() : 0xFFFFFFFFull;
  const uint64_t decLimit =
      (bits == 64 ? uint64_t{1} << 63 : uint64_t{1} << 31) - (negative ? 0 : 1);
  for (; i < s.size(); ++i) {
    const char c = s[i];
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (hex && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      return false;
    const uint64_t base = hex ? 16 : 10;
    const uint64_t limit = hex ? hexLimit : decLimit;
    if (magnitude > (limit - static_cast<uint64_t>(digit)) / base) return false;
    magnitude = magnitude * base + static_cast<uint64_t>(digit);
  }
  const uint64_t bitsValue = negative ? 0 - magnitude : magnitude;
  value = bits == 32 ? static_cast<int32_t>(static_cast<uint32_t>(bitsValue))
                     : static_cast<int64_t>(bitsValue);
  return true;
}

}  // namespace

std::string IntToHex(int64_t value, int digits) {
  return HexDigits(HexBits(value), digits);
}

bool TryStrToInt(std::string_view s, int& value) {
  int64_t v = 0;
  if (!ParseInteger(s, 32, v)) return false;
  value = static_cast<int>(v);
  return true;
}

bool TryStrToInt64(std::string_view s, int64_t& value) {
  return ParseInteger(s, 64, value);
}

int StrToInt(std::string_view s) {
  int value = 0;
  if (!TryStrToInt(s, value))
    throw EConvertError("'" + std::string(s) + "' is not a valid integer value");
  return value;
}

int StrToIntDef(std::string_view s, int def) {
  int value = 0;
  return TryStrToInt(s, value) ? value : def;
}

// Decimal notation with the settings' decimal separator and an optional exponent; blanks
// around the number are allowed, nothing else (no thousands separators, INF or NAN).
bool TryStrToFloat(std::string_view text, double& value) {
  const std::string s = Trim(text);
  const char decimal = FormatSettings().DecimalSeparator;
  std::string normal;
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    if (s[i] == '-') normal += '-';
    ++i;
  }
  int mantissaDigits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') normal += s[i++], ++mantissaDigits;
  if (i < s.size() && s[i] == decimal) {
    normal += '.';
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') normal += s[i++], ++mantissaDigits;
  }
  if (mantissaDigits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    normal += 'e';
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) normal += s[i++];
    int exponentDigits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') normal += s[i++], ++exponentDigits;
    if (exponentDigits == 0) return false;
  }
  if (i != s.size()) return false;
  double v = 0;
  const auto [end, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), v);
  if (ec != std::errc() || end != normal.data() + normal.size()) return false;
  value = v;
  return true;
}

double StrToFloat(std::string_view s) {
  double value = 0;
  if (!TryStrToFloat(s, value))
    throw EConvertError("'" + std::string(s) + "' is not a valid floating point value");
  return value;
}

namespace {

// A finite value as decimal digits: |value| = d1.d2d3... x 10^Exponent.
struct Decimal {
  bool Negative = false;
  std::string Digits;  // no trailing zeros; empty for zero
  int Exponent = 0;    // of the first digit
};

// The shortest digits that read back as the same double, i.e. the number as it was
// written. Rounding starts from these, half away from zero, as the platform rounds its
// decimal digits (2.675 at two places is 2.68, where printf's binary-exact rounding
// gives 2.67).
Decimal ToDecimal(double value) {
  Decimal d;
  d.Negative = std::signbit(value);
  if (value == 0) return d;
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                    std::chars_format::scientific);
  const std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
  const size_t e = text.find('e');
  for (char c : text.substr(0, e))
    if (c != '.') d.Digits += c;
  while (!d.Digits.empty() && d.Digits.back() == '0') d.Digits.pop_back();
  d.Exponent = std::atoi(std::string(text.substr(e + 1)).c_str());
  return d;
}

// Keeps `count` significant digits, rounding half away from zero. With count 0 the value
// becomes zero or one unit of the next higher place; below that it becomes zero.
void RoundDigits(Decimal& d, int count) {
  if (count >= static_cast<int>(d.Digits.size())) return;
  if (count < 0) {
    d.Digits.clear();
    return;
  }
  const bool up = d.Digits[static_cast<size_t>(count)] >= '5';
  d.Digits.resize(static_cast<size_t>(count));
  if (up) {
    int i = count - 1;
    while (i >= 0 && d.Digits[static_cast<size_t>(i)] == '9')
      d.Digits[static_cast<size_t>(i--)] = '0';
    if (i >= 0) {
      ++d.Digits[static_cast<size_t>(i)];
    } else {
      d.Digits.insert(0, "1");
      ++d.Exponent;
    }
  }
  while (!d.Digits.empty() && d.Digits.back() == '0') d.Digits.pop_back();
}

std::string NonFinite(double value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

// The platform's general format: fixed notation while the decimal point falls within
// `precision` digits and the first digit is at most four places after the point,
// otherwise d.dddE[-]x.
std::string GeneralFormat(double value, int precision) {
  if (!std::isfinite(value)) return NonFinite(value);
  Decimal d = ToDecimal(value);
  RoundDigits(d, precision);
  if (d.Digits.empty()) return "0";
  const std::string& digits = d.Digits;
  const char decimal = FormatSettings().DecimalSeparator;
  std::string r = d.Negative ? "-" : "";
  const int pointPos = d.Exponent + 1;  // digits before the decimal point
  if (pointPos > precision || pointPos < -3) {
    r += digits[0];
    if (digits.size() > 1) r += decimal + digits.substr(1);
    r += 'E' + std::to_string(d.Exponent);
  } else if (pointPos <= 0) {
    r += '0';
    r += decimal;
    r.append(static_cast<size_t>(-pointPos), '0');
    r += digits;
  } else {
    const size_t whole = static_cast<size_t>(pointPos);
    if (digits.size() <= whole)
      r += digits + std::string(whole - digits.size(), '0');
    else
      r += digits.substr(0, whole) + decimal + digits.substr(whole);
  }
  return r;
}

// d.ddd...E+ddd with `precision` significant digits, as "%e" writes it.
std::string ExponentFormat(double value, int precision) {
  if (!std::isfinite(value)) return NonFinite(value);
  Decimal d = ToDecimal(value);
  RoundDigits(d, precision);
  std::string digits = d.Digits;
  if (digits.empty()) d.Exponent = 0;
  digits.resize(static_cast<size_t>(precision), '0');
  std::string r = d.Negative && !d.Digits.empty() ? "-" : "";
  r += digits[0];
  if (precision > 1) r += FormatSettings().DecimalSeparator + digits.substr(1);
  std::string exponent = std::to_string(std::abs(d.Exponent));
  if (exponent.size() < 3) exponent.insert(0, 3 - exponent.size(), '0');
  return r + 'E' + (d.Exponent < 0 ? '-' : '+') + exponent;
}

// |value| in fixed notation with `decimals` places, optionally with thousands separators;
// `negative` tells whether a minus sign belongs in front (never for a rounded zero).
std::string FixedDigits(double value, int decimals, char thousands, bool& negative) {
  Decimal d = ToDecimal(value);
  RoundDigits(d, d.Exponent + 1 + decimals);
  negative = d.Negative && !d.Digits.empty();
  std::string whole = "0", fraction;
  const int pointPos = d.Exponent + 1;
  if (!d.Digits.empty() && pointPos <= 0) {
    fraction = std::string(static_cast<size_t>(-pointPos), '0') + d.Digits;
  } else if (!d.Digits.empty()) {
    const size_t n = static_cast<size_t>(pointPos);
    whole = d.Digits.substr(0, std::min(n, d.Digits.size()));
    whole.resize(n, '0');
    if (d.Digits.size() > n) fraction = d.Digits.substr(n);
  }
  if (thousands != '\0')
    for (size_t p = whole.size(); p > 3;) whole.insert(p -= 3, 1, thousands);
  if (decimals <= 0) return whole;
  fraction.resize(static_cast<size_t>(decimals), '0');
  return whole + FormatSettings().DecimalSeparator + fraction;
}

}  // namespace

std::string FloatToStr(double value) {
  return GeneralFormat(value, 15);
}

std::string CurrToStr(int64_t scaled) {
  const bool negative = scaled < 0;
  const uint64_t magnitude =
      negative ? 0 - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
  std::string r = negative ? "-" : "";
  r += std::to_string(magnitude / 10000);
  uint64_t fraction = magnitude % 10000;
  if (fraction != 0) {
    std::string f = std::to_string(fraction);
    f.insert(0, 4 - f.size(), '0');
    while (f.back() == '0') f.pop_back();
    r += FormatSettings().DecimalSeparator + f;
  }
  return r;
}

// --- Format ------------------------------------------------------------------------------

namespace {

// Widths and precisions beyond this are refused as an invalid format rather than
// allocating without bound.
constexpr int kMaxFormatWidth = 1 << 20;

// The PRC desktop's currency settings, used by "%m".
constexpr const char* kCurrencyString = "\xC2\xA5";  // YEN SIGN
constexpr char kThousandSeparator = ',';

[[noreturn]] void FormatError(std::string_view fmt, bool missingArgument) {
  // The message quotes the first 31 bytes of the format, never half a character.
  size_t n = 0;
  for (size_t i = 0; i < fmt.size();) {
    const size_t len = Utf8CharSize(fmt, i);
    if (i + len > 31) break;
    i += len;
    n = i;
  }
  const std::string quoted(fmt.substr(0, n));
  if (missingArgument) throw EConvertError("No argument for format '" + quoted + "'");
  throw EConvertError("Format '" + quoted + "' invalid or incompatible with argument");
}

std::string FixedFormat(double value, int decimals) {
  if (!std::isfinite(value)) return NonFinite(value);
  // Beyond 18 whole digits the platform switches to exponent notation.
  if (std::fabs(value) >= 1e18) return ExponentFormat(value, 18);
  bool negative = false;
  const std::string text = FixedDigits(value, decimals, '\0', negative);
  return negative ? "-" + text : text;
}

class Formatter {
 public:
  Formatter(std::string_view fmt, const std::vector<FormatArg>& args) : fmt_(fmt), args_(args) {}

  std::string Run() {
    std::string out;
    size_t i = 0;
    while (i < fmt_.size()) {
      const size_t percent = fmt_.find('%', i);
      if (percent == std::string_view::npos) {
        out.append(fmt_.substr(i));
        break;
      }
      out.append(fmt_.substr(i, percent - i));
      pos_ = percent + 1;
      if (pos_ < fmt_.size() && fmt_[pos_] == '%') {
        out += '%';
        i = pos_ + 1;
        continue;
      }
      out += Specifier();
      i = pos_;
    }
    return out;
  }

 private:
  [[noreturn]] void Invalid() const { FormatError(fmt_, false); }

  const FormatArg& NextArg() {
    if (argIndex_ >= args_.size()) FormatError(fmt_, true);
    return args_[argIndex_++];
  }

  // A number written out, or "*" taking it from the next argument.
  std::optional<int> ScanNumber() {
    if (pos_ < fmt_.size() && fmt_[pos_] == '*') {
      ++pos_;
      const auto* v = std::get_if<int64_t>(&NextArg());
      if (v == nullptr || *v > kMaxFormatWidth || *v < -kMaxFormatWidth) Invalid();
      return static_cast<int>(*v);
    }
    if (pos_ >= fmt_.size() || fmt_[pos_] < '0' || fmt_[pos_] > '9') return std::nullopt;
    int n = 0;
    while (pos_ < fmt_.size() && fmt_[pos_] >= '0' && fmt_[pos_] <= '9') {
      n = n * 10 + (fmt_[pos_++] - '0');
      if (n > kMaxFormatWidth) Invalid();
    }
    return n;
  }

  // %[index:][-][width][.prec]type
  std::string Specifier() {
    std::optional<int> width = ScanNumber();
    if (width && pos_ < fmt_.size() && fmt_[pos_] == ':') {
      ++pos_;
      argIndex_ = static_cast<size_t>(std::max(*width, 0));
      width.reset();
    }
    bool left = false;
    if (!width && pos_ < fmt_.size() && fmt_[pos_] == '-') {
      left = true;
      ++pos_;
    }
    if (!width) width = ScanNumber();
    if (width && *width < 0) {  // a negative "*" width justifies to the left
      left = true;
      width = -*width;
    }
    int prec = -1;
    if (pos_ < fmt_.size() && fmt_[pos_] == '.') {
      ++pos_;
      prec = std::max(ScanNumber().value_or(0), 0);
    }
    if (pos_ >= fmt_.size()) Invalid();
    const char type = ToUpperAscii(fmt_[pos_++]);
    std::string text = Convert(type, prec);
    if (width) {
      const int length = AnsiByteLength(text);
      if (*width > length) {
        const std::string pad(static_cast<size_t>(*width - length), ' ');
        text = left ? text + pad : pad + text;
      }
    }
    return text;
  }

  int64_t IntegerArg() {
    const auto* v = std::get_if<int64_t>(&NextArg());
    if (v == nullptr) Invalid();
    return *v;
  }

  double FloatArg() {
    const auto* v = std::get_if<double>(&NextArg());
    if (v == nullptr) Invalid();
    return *v;
  }

  static std::string ZeroPad(std::string digits, int prec) {
    if (prec > static_cast<int>(digits.size())) digits.insert(0, prec - digits.size(), '0');
    return digits;
  }

  std::string Convert(char type, int prec) {
    switch (type) {
      case 'D': {
        const int64_t v = IntegerArg();
        const uint64_t magnitude = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
        return (v < 0 ? "-" : "") + ZeroPad(std::to_string(magnitude), prec);
      }
      case 'U': {
        const int64_t v = IntegerArg();
        return ZeroPad(std::to_string(HexBits(v)), prec);
      }
      case 'X':
        return HexDigits(HexBits(IntegerArg()), prec);
      case 'P':
        return HexDigits(static_cast<uint64_t>(IntegerArg()), 16);
      case 'E':
        return ExponentFormat(FloatArg(), prec < 0 || prec > 18 ? 15 : std::max(prec, 1));
      case 'F':
        return FixedFormat(FloatArg(), prec < 0 || prec > 18 ? 2 : prec);
      case 'G':
        return GeneralFormat(FloatArg(), prec < 0 || prec > 18 ? 15 : std::max(prec, 1));
      case 'N':
      case 'M': {
        const double v = FloatArg();
        if (!std::isfinite(v)) return NonFinite(v);
        bool negative = false;
        const std::string text =
            FixedDigits(v, prec < 0 || prec > 18 ? 2 : prec, kThousandSeparator, negative);
        if (type == 'N') return negative ? "-" + text : text;
        return std::string(kCurrencyString) + (negative ? "-" : "") + text;
      }
      case 'S': {
        const auto* v = std::get_if<std::string>(&NextArg());
        if (v == nullptr) Invalid();
        if (prec >= 0 && AnsiByteLength(*v) > prec) return AnsiLeft(*v, prec, InterfaceCodePage());
        return *v;
      }
      default:
        Invalid();
    }
  }

  std::string_view fmt_;
  const std::vector<FormatArg>& args_;
  size_t pos_ = 0;
  size_t argIndex_ = 0;
};

}  // namespace

// Widths and %s precisions count ANSI bytes of the interface code page, like the platform's
// ANSI Format.
std::string Format(std::string_view fmt, const std::vector<FormatArg>& args) {
  return Formatter(fmt, args).Run();
}
