// The automation Variant: a tagged value with the platform's types and conversion rules.
// Arrays have any number of dimensions, each with its own bounds, and are values: copying
// a Variant copies its array (nested arrays included).
//
// Deviations by design:
// - Wide (varOleStr) and ANSI (varString) texts both hold UTF-8; only the tag differs.
// - Arrays hold Variant elements whatever their declared element type; the element type
//   is kept for the wire and for VarArrayCreate's checks.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "DateTime.h"
#include "SysUtils.h"

// A number too large for the target type ("Overflow while converting variant of type
// (Double) into type (Integer)").
KXBR_EXCEPTION_CLASS(EVariantOverflowError, EVariantError)

using TVarType = uint16_t;

enum : TVarType {
  varEmpty = 0x0000,
  varNull = 0x0001,
  varSmallint = 0x0002,
  varInteger = 0x0003,
  varSingle = 0x0004,
  varDouble = 0x0005,
  varCurrency = 0x0006,
  varDate = 0x0007,
  varOleStr = 0x0008,
  varDispatch = 0x0009,
  varError = 0x000A,
  varBoolean = 0x000B,
  varVariant = 0x000C,
  varShortInt = 0x0010,
  varByte = 0x0011,
  varWord = 0x0012,
  varLongWord = 0x0013,
  varInt64 = 0x0014,
  varString = 0x0100,
  varTypeMask = 0x0FFF,
  varArray = 0x2000,
};

class Variant;
class IDispatch;
using DispatchPtr = std::shared_ptr<IDispatch>;

// An automation object called late-bound by name. Arguments are passed by reference so
// that a callee can write out-parameters back. Failures raise exceptions (EOleException
// carries a callee's own text).
class IDispatch {
 public:
  virtual ~IDispatch() = default;
  virtual Variant Invoke(const std::string& name, std::vector<Variant>& args) = 0;
  virtual Variant GetProperty(const std::string& name) = 0;
  virtual void SetProperty(const std::string& name, const Variant& value) = 0;
};

// Storage of an array: bounds per dimension (leftmost first) and the elements with the
// leftmost index varying fastest, as in a SAFEARRAY. New elements hold the element type's
// zero value (Empty for varVariant, "" for varOleStr, 0, False ...).
struct VarArrayData {
  TVarType ElementType = varVariant;
  std::vector<std::pair<int, int>> Bounds;  // (low, high) per dimension
  std::vector<Variant> Elements;
};

class Variant {
 public:
  Variant() = default;  // Empty
  Variant(bool value);
  Variant(int value);
  Variant(int64_t value);
  Variant(double value);
  Variant(const char* text);    // varString
  Variant(std::string text);    // varString
  Variant(DispatchPtr object);  // varDispatch (Null pointer gives an empty dispatch)
  Variant(const Variant& other);
  Variant(Variant&& other) noexcept;
  Variant& operator=(const Variant& other);
  Variant& operator=(Variant&& other) noexcept;
  ~Variant();

  static Variant Null();
  static Variant Wide(std::string text);                // varOleStr
  static Variant Ansi(std::string text);                // varString
  static Variant FromDate(TDateTime date);              // varDate
  static Variant FromCurrency(int64_t scaled);          // varCurrency, value * 10000
  static Variant OfType(TVarType type, int64_t value);  // any integer kind, varBoolean, varError
  static Variant OfSingle(float value);

  TVarType VarType() const { return type_; }
  bool IsEmpty() const { return type_ == varEmpty; }
  bool IsNull() const { return type_ == varNull; }
  bool IsArray() const { return (type_ & varArray) != 0; }
  bool IsText() const;  // varString or varOleStr

  // Raw access by the kind actually held (no conversion); raises EVariantTypeCastError
  // when the kind differs.
  int64_t RawInteger() const;  // integer kinds, Boolean (-1/0), Error
  double RawDouble() const;    // Single, Double, Date
  int64_t RawCurrency() const;
  const std::string& RawText() const;
  const DispatchPtr& RawDispatch() const;

  // Conversions by the platform's rules; a failed conversion raises EVariantTypeCastError
  // ("Could not convert variant of type (String) into type (Integer)").
  std::string AsString() const;  // VarToStr: Null and Empty give ""
  int AsInteger() const;
  int64_t AsInt64() const;
  double AsDouble() const;
  bool AsBoolean() const;
  TDateTime AsDate() const;
  int64_t AsCurrency() const;
  DispatchPtr AsDispatch() const;
  // A strict text conversion: Null raises, as a plain assignment to a string does.
  std::string ToStringStrict() const;

  // Arrays. One-dimensional element access by index within the bounds; several indexes
  // address one element of a multi-dimensional array. Out of bounds or not an array:
  // EVariantBadIndexError / EVariantInvalidArgError.
  Variant& operator[](int index);
  const Variant& operator[](int index) const;
  Variant& At(std::initializer_list<int> indexes);
  const Variant& At(std::initializer_list<int> indexes) const;
  Variant& At(const std::vector<int>& indexes);
  const Variant& At(const std::vector<int>& indexes) const;
  const VarArrayData& Array() const;  // raises EVariantInvalidArgError unless an array
  VarArrayData& Array();

  friend bool operator==(const Variant& a, const Variant& b);  // same type and value

 private:
  friend Variant VarArrayCreate(const std::vector<int>& bounds, TVarType elementType);
  void Reset();
  void CopyFrom(const Variant& other);

  TVarType type_ = varEmpty;
  union {
    int64_t i_ = 0;  // integer kinds, Boolean (-1/0), Error, Currency (scaled)
    double d_;       // Single, Double, Date
  };
  std::string text_;
  DispatchPtr dispatch_;
  std::unique_ptr<VarArrayData> array_;
};

// Name of a type as the platform's messages show it: "Empty", "Null", "Integer",
// "String", "OleStr", "Date", "Array Variant" ...
std::string VarTypeName(TVarType type);

// The platform's free functions over variants.
Variant VarArrayCreate(const std::vector<int>& bounds, TVarType elementType);  // low, high pairs
Variant VarArrayOf(const std::vector<Variant>& values);  // 0-based array of varVariant
bool VarIsArray(const Variant& v);
// One of the integer types (Smallint, Integer, ShortInt, Byte, Word, LongWord, Int64).
bool VarTypeIsInteger(TVarType type);
bool VarIsEmpty(const Variant& v);
bool VarIsNull(const Variant& v);
int VarArrayDimCount(const Variant& v);
int VarArrayLowBound(const Variant& v, int dim);  // dim 1 = leftmost
int VarArrayHighBound(const Variant& v, int dim);
// Changes the high bound of the last (rightmost) dimension, keeping the elements.
void VarArrayRedim(Variant& v, int highBound);
std::string VarToStr(const Variant& v);
// Converts to the given simple type by the platform's rules (EVariantTypeCastError on failure).
Variant VarAsType(const Variant& v, TVarType type);
