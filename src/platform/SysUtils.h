// Text, number and exception helpers of the runtime library. Texts are UTF-8; helpers
// that the platform defines on ANSI text work on bytes unless they say otherwise.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// --- Exceptions -------------------------------------------------------------------------
// Every exception knows its platform class name, which error reports print.

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  virtual const char* ClassName() const { return "Exception"; }
  const std::string& Message() const { return message_; }
  void SetMessage(std::string message) { message_ = std::move(message); }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

#define KXBR_EXCEPTION_CLASS(Name, Base)                     \
  class Name : public Base {                                 \
   public:                                                   \
    using Base::Base;                                        \
    const char* ClassName() const override { return #Name; } \
  };

KXBR_EXCEPTION_CLASS(EConvertError, Exception)
KXBR_EXCEPTION_CLASS(EVariantError, Exception)
KXBR_EXCEPTION_CLASS(EVariantTypeCastError, EVariantError)
KXBR_EXCEPTION_CLASS(EVariantInvalidArgError, EVariantError)
KXBR_EXCEPTION_CLASS(EVariantBadIndexError, EVariantError)
KXBR_EXCEPTION_CLASS(EVariantArrayCreateError, EVariantError)
KXBR_EXCEPTION_CLASS(EListError, Exception)
KXBR_EXCEPTION_CLASS(EStringListError, Exception)
KXBR_EXCEPTION_CLASS(EOleError, Exception)
KXBR_EXCEPTION_CLASS(EAbort, Exception)

// An exception that carries an operating-system error code.
class EOSError : public Exception {
 public:
  EOSError(std::string message, int errorCode) : Exception(std::move(message)), code_(errorCode) {}
  const char* ClassName() const override { return "EOSError"; }
  int ErrorCode() const { return code_; }

 private:
  int code_;
};

class EWin32Error : public EOSError {
 public:
  using EOSError::EOSError;
  const char* ClassName() const override { return "EWin32Error"; }
};

class EInOutError : public Exception {
 public:
  EInOutError(std::string message, int errorCode) : Exception(std::move(message)), code_(errorCode) {}
  const char* ClassName() const override { return "EInOutError"; }
  int ErrorCode() const { return code_; }

 private:
  int code_;
};

// A database engine failure with its list of contained errors.
class EDBEngineError : public Exception {
 public:
  struct DBError {
    int ErrorCode;
    std::string Message;
  };
  explicit EDBEngineError(std::vector<DBError> errors);
  const char* ClassName() const override { return "EDBEngineError"; }
  int ErrorCount() const { return static_cast<int>(errors_.size()); }
  const DBError& Errors(int index) const { return errors_.at(index); }

 private:
  std::vector<DBError> errors_;
};

// An automation callee's exception, raised again on the caller's side.
class EOleException : public EOleError {
 public:
  EOleException(std::string message, int errorCode, std::string source = {})
      : EOleError(std::move(message)), code_(errorCode), source_(std::move(source)) {}
  const char* ClassName() const override { return "EOleException"; }
  int ErrorCode() const { return code_; }
  const std::string& Source() const { return source_; }

 private:
  int code_;
  std::string source_;
};

// --- Text --------------------------------------------------------------------------------

std::string Trim(std::string_view s);       // removes characters <= ' ' at both ends
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
std::string UpperCase(std::string_view s);  // ASCII letters only, like the platform
std::string LowerCase(std::string_view s);
int CompareText(std::string_view a, std::string_view b);  // ASCII case-insensitive
bool SameText(std::string_view a, std::string_view b);
bool StartsText(std::string_view prefix, std::string_view s);
// Replaces every occurrence of `from` (non-overlapping, left to right).
std::string StringReplaceAll(std::string_view s, std::string_view from, std::string_view to);
// Splits at every occurrence of `sep`; the empty text gives one empty piece.
std::vector<std::string> SplitString(std::string_view s, char sep);
// Byte position (1-based) of `sub` in `s`, 0 when absent.
int Pos(std::string_view sub, std::string_view s);
// Characters (code points) of a UTF-8 text; a malformed byte counts as one character.
std::vector<std::string> Utf8Chars(std::string_view s);
int Utf8Length(std::string_view s);

// --- Numbers -----------------------------------------------------------------------------

std::string IntToStr(int64_t value);
std::string IntToHex(int64_t value, int digits);  // upper case, zero padded
// Decimal or "$"/"0x" hexadecimal, surrounding blanks allowed, like the platform.
bool TryStrToInt(std::string_view s, int& value);
bool TryStrToInt64(std::string_view s, int64_t& value);
int StrToInt(std::string_view s);  // raises EConvertError "'x' is not a valid integer value"
int StrToIntDef(std::string_view s, int def);
bool TryStrToFloat(std::string_view s, double& value);
double StrToFloat(std::string_view s);  // raises EConvertError "'x' is not a valid floating point value"
// General format with 15 significant digits: 3.0 -> "3", 0.1 -> "0.1", 1E15 -> "1E15".
std::string FloatToStr(double value);
// Currency is a scaled 64-bit integer (value * 10000).
std::string CurrToStr(int64_t scaled);

// --- Format ------------------------------------------------------------------------------
// The platform's Format: %[index:][-][width][.prec]type with types d u x s f g e n m p and
// "%%". Wrong argument kinds, missing arguments and bad specifiers raise EConvertError with
// the platform's texts ("Format '...' invalid or incompatible with argument",
// "No argument for format '...'").
using FormatArg = std::variant<int64_t, double, std::string>;
std::string Format(std::string_view fmt, const std::vector<FormatArg>& args);
