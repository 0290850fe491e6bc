#include "Variant.h"

#include <cfloat>
#include <cmath>
#include <limits>

// Deviations by design:
// - Text to Date reads the settings' short date, optionally followed by a time
//   h[:n[:s[.zzz]]] and AM/PM; the whole text must be used (the platform's OS parser is
//   looser). A plain number is taken as the date value itself.
// - Arrays are limited to 64 dimensions and 16M elements; beyond that VarArrayCreate
//   raises EVariantArrayCreateError instead of exhausting memory.

namespace {

constexpr size_t kMaxDimensions = 64;
constexpr int64_t kMaxArrayElements = int64_t{1} << 24;

std::string TypeText(TVarType type) {
  return VarTypeName(type);
}

[[noreturn]] void CastError(TVarType from, TVarType to) {
  throw EVariantTypeCastError("Could not convert variant of type (" + TypeText(from) +
                              ") into type (" + TypeText(to) + ")");
}

[[noreturn]] void OverflowError(TVarType from, TVarType to) {
  throw EVariantOverflowError("Overflow while converting variant of type (" + TypeText(from) +
                              ") into type (" + TypeText(to) + ")");
}

[[noreturn]] void InvalidArgument() {
  throw EVariantInvalidArgError("Invalid argument");
}

[[noreturn]] void BadIndex() {
  throw EVariantBadIndexError("Variant or safe array index out of bounds");
}

[[noreturn]] void ArrayCreateError() {
  throw EVariantArrayCreateError("Error creating variant or safe array");
}

bool IsFloatKind(TVarType t) {
  return t == varSingle || t == varDouble || t == varDate;
}

// The range an integer kind holds.
void IntegerRange(TVarType t, int64_t& low, int64_t& high) {
  switch (t) {
    case varSmallint:
      low = INT16_MIN, high = INT16_MAX;
      break;
    case varInteger:
      low = INT32_MIN, high = INT32_MAX;
      break;
    case varShortInt:
      low = INT8_MIN, high = INT8_MAX;
      break;
    case varByte:
      low = 0, high = UINT8_MAX;
      break;
    case varWord:
      low = 0, high = UINT16_MAX;
      break;
    case varLongWord:
      low = 0, high = UINT32_MAX;
      break;
    default:
      low = INT64_MIN, high = INT64_MAX;
  }
}

// Rounds half to even, as the platform's Round does; false when the result does not fit.
bool RoundToInt64(double value, int64_t& result) {
  const double r = std::nearbyint(value);
  if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0)) return false;
  result = static_cast<int64_t>(r);
  return true;
}

// Currency (scaled by 10000) to a whole number, half to even.
int64_t RoundCurrency(int64_t scaled) {
  int64_t q = scaled / 10000;
  const int64_t r = scaled % 10000;
  const int64_t sign = scaled < 0 ? -1 : 1;
  const int64_t half = r < 0 ? -r : r;
  if (half > 5000 || (half == 5000 && q % 2 != 0)) q += sign;
  return q;
}

bool TextToBoolean(std::string_view text, bool& value) {
  const std::string t = Trim(text);
  if (!SameText(t, "True") && !SameText(t, "False")) return false;
  value = SameText(t, "True");
  return true;
}

// A number from text: an integer, a floating point number, or True (-1) / False (0).
bool TextToDouble(std::string_view text, double& value) {
  if (TryStrToFloat(text, value)) return true;
  int64_t i = 0;
  bool b = false;
  if (TryStrToInt64(text, i))
    value = static_cast<double>(i);
  else if (TextToBoolean(text, b))
    value = b ? -1 : 0;
  else
    return false;
  return true;
}

// Reads "h[:n[:s[.zzz]]] [AM|PM]" with the settings' separators; blanks between parts.
bool TextToTime(std::string_view s, TDateTime& time) {
  const TFormatSettings& fs = FormatSettings();
  size_t i = 0;
  auto blanks = [&] {
    while (i < s.size() && s[i] == ' ') ++i;
  };
  auto number = [&](int& value) {
    blanks();
    const size_t start = i;
    value = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9' && i - start < 4)
      value = value * 10 + (s[i++] - '0');
    return i > start;
  };
  auto separator = [&](char c) {
    blanks();
    if (i >= s.size() || s[i] != c) return false;
    ++i;
    return true;
  };
  int hour = 0, minute = 0, second = 0, msec = 0;
  if (!number(hour)) return false;
  if (separator(fs.TimeSeparator)) {
    if (!number(minute)) return false;
    if (separator(fs.TimeSeparator)) {
      if (!number(second)) return false;
      if (separator(fs.DecimalSeparator)) {
        const size_t start = i;
        if (!number(msec)) return false;
        for (size_t digits = i - start; digits < 3; ++digits) msec *= 10;
      }
    }
  }
  blanks();
  if (i < s.size()) {
    const std::string rest = Trim(s.substr(i));
    const bool pm = SameText(rest, "PM");
    if (!pm && !SameText(rest, "AM")) return false;
    if (hour < 1 || hour > 12) return false;
    hour = hour % 12 + (pm ? 12 : 0);
  }
  return TryEncodeTime(hour, minute, second, msec, time);
}

bool TextToDate(std::string_view text, TDateTime& date) {
  if (TryStrToDate(text, date)) return true;
  const char timeSeparator = FormatSettings().TimeSeparator;
  const size_t colon = text.find(timeSeparator);
  if (colon != std::string_view::npos && timeSeparator != '\0') {
    // The time starts with the hour number right before the first time separator.
    size_t start = colon;
    while (start > 0 && text[start - 1] == ' ') --start;
    while (start > 0 && text[start - 1] >= '0' && text[start - 1] <= '9') --start;
    const std::string datePart = Trim(text.substr(0, start));
    TDateTime d = 0, t = 0;
    if (!datePart.empty() && !TryStrToDate(datePart, d)) return false;
    if (!TextToTime(text.substr(start), t)) return false;
    date = d >= 0 ? d + t : d - t;
    return true;
  }
  double value = 0;
  if (!TryStrToFloat(text, value)) return false;
  date = value;
  return true;
}

bool IsValidArrayElementType(TVarType t) {
  switch (t) {
    case varSmallint:
    case varInteger:
    case varSingle:
    case varDouble:
    case varCurrency:
    case varDate:
    case varOleStr:
    case varDispatch:
    case varError:
    case varBoolean:
    case varVariant:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
      return true;
    default:
      return false;
  }
}

// The value a fresh element of an array of `type` holds.
Variant ZeroOf(TVarType type) {
  switch (type) {
    case varVariant:
      return Variant();
    case varOleStr:
      return Variant::Wide("");
    case varDispatch:
      return Variant(DispatchPtr());
    case varSingle:
      return Variant::OfSingle(0);
    case varDouble:
      return Variant(0.0);
    case varCurrency:
      return Variant::FromCurrency(0);
    case varDate:
      return Variant::FromDate(0);
    default:
      return Variant::OfType(type, 0);
  }
}

int64_t ElementCount(const std::vector<std::pair<int, int>>& bounds) {
  int64_t count = 1;
  for (const auto& [low, high] : bounds) {
    const int64_t length = int64_t{high} - low + 1;
    if (length < 0) ArrayCreateError();
    count *= length;
    if (count > kMaxArrayElements) ArrayCreateError();
  }
  return count;
}

// Position of an element: leftmost index fastest.
size_t ElementOffset(const VarArrayData& a, const int* indexes, size_t count) {
  if (count != a.Bounds.size()) BadIndex();
  size_t offset = 0;
  size_t stride = 1;
  for (size_t k = 0; k < count; ++k) {
    const auto [low, high] = a.Bounds[k];
    if (indexes[k] < low || indexes[k] > high) BadIndex();
    offset += static_cast<size_t>(int64_t{indexes[k]} - low) * stride;
    stride *= static_cast<size_t>(int64_t{high} - low + 1);
  }
  return offset;
}

}  // namespace

// --- Construction ------------------------------------------------------------------------

Variant::Variant(bool value) : type_(varBoolean) {
  i_ = value ? -1 : 0;
}
Variant::Variant(int value) : type_(varInteger) {
  i_ = value;
}
Variant::Variant(int64_t value) : type_(varInt64) {
  i_ = value;
}
Variant::Variant(double value) : type_(varDouble) {
  d_ = value;
}
Variant::Variant(const char* text) : type_(varString), text_(text != nullptr ? text : "") {}
Variant::Variant(std::string text) : type_(varString), text_(std::move(text)) {}
Variant::Variant(DispatchPtr object) : type_(varDispatch), dispatch_(std::move(object)) {}

Variant::Variant(const Variant& other) {
  CopyFrom(other);
}

Variant::Variant(Variant&& other) noexcept
    : type_(other.type_),
      text_(std::move(other.text_)),
      dispatch_(std::move(other.dispatch_)),
      array_(std::move(other.array_)) {
  if (IsFloatKind(type_))
    d_ = other.d_;
  else
    i_ = other.i_;
  other.Reset();
}

Variant& Variant::operator=(const Variant& other) {
  if (this != &other) {
    Variant copy(other);
    *this = std::move(copy);
  }
  return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept {
  if (this != &other) {
    type_ = other.type_;
    if (IsFloatKind(type_))
      d_ = other.d_;
    else
      i_ = other.i_;
    text_ = std::move(other.text_);
    dispatch_ = std::move(other.dispatch_);
    array_ = std::move(other.array_);
    other.Reset();
  }
  return *this;
}

Variant::~Variant() = default;

void Variant::Reset() {
  type_ = varEmpty;
  i_ = 0;
  text_.clear();
  dispatch_.reset();
  array_.reset();
}

void Variant::CopyFrom(const Variant& other) {
  type_ = other.type_;
  if (IsFloatKind(type_))
    d_ = other.d_;
  else
    i_ = other.i_;
  text_ = other.text_;
  dispatch_ = other.dispatch_;
  array_ = other.array_ ? std::make_unique<VarArrayData>(*other.array_) : nullptr;
}

Variant Variant::Null() {
  Variant v;
  v.type_ = varNull;
  return v;
}

Variant Variant::Wide(std::string text) {
  Variant v(std::move(text));
  v.type_ = varOleStr;
  return v;
}

Variant Variant::Ansi(std::string text) {
  return Variant(std::move(text));
}

Variant Variant::FromDate(TDateTime date) {
  Variant v(date);
  v.type_ = varDate;
  return v;
}

Variant Variant::FromCurrency(int64_t scaled) {
  Variant v(scaled);
  v.type_ = varCurrency;
  return v;
}

// The value is cut to the kind's width, as storing into that kind does.
Variant Variant::OfType(TVarType type, int64_t value) {
  Variant v;
  switch (type) {
    case varSmallint:
      v.i_ = static_cast<int16_t>(value);
      break;
    case varInteger:
    case varError:
      v.i_ = static_cast<int32_t>(value);
      break;
    case varShortInt:
      v.i_ = static_cast<int8_t>(value);
      break;
    case varByte:
      v.i_ = static_cast<uint8_t>(value);
      break;
    case varWord:
      v.i_ = static_cast<uint16_t>(value);
      break;
    case varLongWord:
      v.i_ = static_cast<uint32_t>(value);
      break;
    case varInt64:
      v.i_ = value;
      break;
    case varBoolean:
      v.i_ = value != 0 ? -1 : 0;
      break;
    default:
      InvalidArgument();
  }
  v.type_ = type;
  return v;
}

Variant Variant::OfSingle(float value) {
  Variant v(static_cast<double>(value));
  v.type_ = varSingle;
  return v;
}

bool Variant::IsText() const {
  return type_ == varString || type_ == varOleStr;
}

// --- Raw access --------------------------------------------------------------------------

int64_t Variant::RawInteger() const {
  if (!VarTypeIsInteger(type_) && type_ != varBoolean && type_ != varError)
    CastError(type_, varInt64);
  return i_;
}

double Variant::RawDouble() const {
  if (!IsFloatKind(type_)) CastError(type_, varDouble);
  return d_;
}

int64_t Variant::RawCurrency() const {
  if (type_ != varCurrency) CastError(type_, varCurrency);
  return i_;
}

const std::string& Variant::RawText() const {
  if (!IsText()) CastError(type_, varString);
  return text_;
}

const DispatchPtr& Variant::RawDispatch() const {
  if (type_ != varDispatch) CastError(type_, varDispatch);
  return dispatch_;
}

// --- Conversions -------------------------------------------------------------------------

std::string Variant::AsString() const {
  switch (type_) {
    case varEmpty:
    case varNull:
      return std::string();
    case varBoolean:
      return i_ != 0 ? "True" : "False";
    case varSingle:
    case varDouble:
      return FloatToStr(d_);
    case varDate:
      return DateTimeToStr(d_);
    case varCurrency:
      return CurrToStr(i_);
    case varString:
    case varOleStr:
      return text_;
    default:
      if (VarTypeIsInteger(type_)) return IntToStr(i_);
      CastError(type_, varString);
  }
}

std::string Variant::ToStringStrict() const {
  if (type_ == varNull) CastError(varNull, varString);
  return AsString();
}

namespace {

int64_t ToInt64(TVarType type, int64_t i, double d, const std::string& text, TVarType target) {
  int64_t result = 0;
  switch (type) {
    case varEmpty:
      return 0;
    case varBoolean:
      return i;
    case varSingle:
    case varDouble:
    case varDate:
      if (!RoundToInt64(d, result)) OverflowError(type, target);
      return result;
    case varCurrency:
      return RoundCurrency(i);
    case varString:
    case varOleStr: {
      if (TryStrToInt64(text, result)) return result;
      double value = 0;
      if (!TextToDouble(text, value)) CastError(type, target);
      if (!RoundToInt64(value, result)) OverflowError(type, target);
      return result;
    }
    default:
      if (VarTypeIsInteger(type)) return i;
      CastError(type, target);
  }
}

}  // namespace

int Variant::AsInteger() const {
  const int64_t v = ToInt64(type_, i_, IsFloatKind(type_) ? d_ : 0, text_, varInteger);
  if (v < INT32_MIN || v > INT32_MAX) OverflowError(type_, varInteger);
  return static_cast<int>(v);
}

int64_t Variant::AsInt64() const {
  return ToInt64(type_, i_, IsFloatKind(type_) ? d_ : 0, text_, varInt64);
}

double Variant::AsDouble() const {
  switch (type_) {
    case varEmpty:
      return 0;
    case varBoolean:
      return static_cast<double>(i_);
    case varSingle:
    case varDouble:
    case varDate:
      return d_;
    case varCurrency:
      return static_cast<double>(i_) / 10000;
    case varString:
    case varOleStr: {
      double value = 0;
      if (!TextToDouble(text_, value)) CastError(type_, varDouble);
      return value;
    }
    default:
      if (VarTypeIsInteger(type_)) return static_cast<double>(i_);
      CastError(type_, varDouble);
  }
}

bool Variant::AsBoolean() const {
  switch (type_) {
    case varEmpty:
      return false;
    case varSingle:
    case varDouble:
    case varDate:
      return d_ != 0;
    case varBoolean:
    case varCurrency:
      return i_ != 0;
    case varString:
    case varOleStr: {
      bool b = false;
      if (TextToBoolean(text_, b)) return b;
      double value = 0;
      if (!TextToDouble(text_, value)) CastError(type_, varBoolean);
      return value != 0;
    }
    default:
      if (VarTypeIsInteger(type_)) return i_ != 0;
      CastError(type_, varBoolean);
  }
}

TDateTime Variant::AsDate() const {
  switch (type_) {
    case varString:
    case varOleStr: {
      TDateTime date = 0;
      if (!TextToDate(text_, date)) CastError(type_, varDate);
      return date;
    }
    case varEmpty:
    case varSingle:
    case varDouble:
    case varDate:
    case varCurrency:
    case varBoolean:
      return AsDouble();
    default:
      if (VarTypeIsInteger(type_)) return static_cast<double>(i_);
      CastError(type_, varDate);
  }
}

int64_t Variant::AsCurrency() const {
  switch (type_) {
    case varEmpty:
      return 0;
    case varCurrency:
      return i_;
    case varBoolean:
      return i_ * 10000;
    case varSingle:
    case varDouble:
    case varDate:
    case varString:
    case varOleStr: {
      const double value = AsDouble() * 10000;
      int64_t scaled = 0;
      if (!RoundToInt64(value, scaled)) OverflowError(type_, varCurrency);
      return scaled;
    }
    default:
      if (!VarTypeIsInteger(type_)) CastError(type_, varCurrency);
      if (i_ > INT64_MAX / 10000 || i_ < INT64_MIN / 10000) OverflowError(type_, varCurrency);
      return i_ * 10000;
  }
}

DispatchPtr Variant::AsDispatch() const {
  if (type_ == varEmpty) return nullptr;
  if (type_ != varDispatch) CastError(type_, varDispatch);
  return dispatch_;
}

// --- Arrays ------------------------------------------------------------------------------

const VarArrayData& Variant::Array() const {
  if (!IsArray() || !array_) InvalidArgument();
  return *array_;
}

VarArrayData& Variant::Array() {
  if (!IsArray() || !array_) InvalidArgument();
  return *array_;
}

Variant& Variant::operator[](int index) {
  VarArrayData& a = Array();
  return a.Elements[ElementOffset(a, &index, 1)];
}

const Variant& Variant::operator[](int index) const {
  const VarArrayData& a = Array();
  return a.Elements[ElementOffset(a, &index, 1)];
}

Variant& Variant::At(std::initializer_list<int> indexes) {
  VarArrayData& a = Array();
  return a.Elements[ElementOffset(a, indexes.begin(), indexes.size())];
}

const Variant& Variant::At(std::initializer_list<int> indexes) const {
  const VarArrayData& a = Array();
  return a.Elements[ElementOffset(a, indexes.begin(), indexes.size())];
}

Variant& Variant::At(const std::vector<int>& indexes) {
  VarArrayData& a = Array();
  return a.Elements[ElementOffset(a, indexes.data(), indexes.size())];
}

const Variant& Variant::At(const std::vector<int>& indexes) const {
  const VarArrayData& a = Array();
  return a.Elements[ElementOffset(a, indexes.data(), indexes.size())];
}

bool operator==(const Variant& a, const Variant& b) {
  if (a.type_ != b.type_) return false;
  if (a.IsArray()) {
    const VarArrayData& x = *a.array_;
    const VarArrayData& y = *b.array_;
    return x.ElementType == y.ElementType && x.Bounds == y.Bounds && x.Elements == y.Elements;
  }
  switch (a.type_) {
    case varEmpty:
    case varNull:
      return true;
    case varSingle:
    case varDouble:
    case varDate:
      return a.d_ == b.d_;
    case varString:
    case varOleStr:
      return a.text_ == b.text_;
    case varDispatch:
      return a.dispatch_ == b.dispatch_;
    default:
      return a.i_ == b.i_;
  }
}

Variant VarArrayCreate(const std::vector<int>& bounds, TVarType elementType) {
  if (bounds.empty() || bounds.size() % 2 != 0 || bounds.size() / 2 > kMaxDimensions)
    InvalidArgument();
  if (!IsValidArrayElementType(elementType)) ArrayCreateError();
  auto data = std::make_unique<VarArrayData>();
  data->ElementType = elementType;
  for (size_t k = 0; k < bounds.size(); k += 2) data->Bounds.emplace_back(bounds[k], bounds[k + 1]);
  data->Elements.assign(static_cast<size_t>(ElementCount(data->Bounds)), ZeroOf(elementType));
  Variant v;
  v.type_ = static_cast<TVarType>(varArray | elementType);
  v.array_ = std::move(data);
  return v;
}

Variant VarArrayOf(const std::vector<Variant>& values) {
  Variant v = VarArrayCreate({0, static_cast<int>(values.size()) - 1}, varVariant);
  v.Array().Elements = values;
  return v;
}

bool VarIsArray(const Variant& v) {
  return v.IsArray();
}
bool VarIsEmpty(const Variant& v) {
  return v.IsEmpty();
}
bool VarIsNull(const Variant& v) {
  return v.IsNull();
}

int VarArrayDimCount(const Variant& v) {
  return v.IsArray() ? static_cast<int>(v.Array().Bounds.size()) : 0;
}

namespace {

const std::pair<int, int>& DimBounds(const Variant& v, int dim) {
  const VarArrayData& a = v.Array();
  if (dim < 1 || dim > static_cast<int>(a.Bounds.size())) BadIndex();
  return a.Bounds[static_cast<size_t>(dim - 1)];
}

}  // namespace

int VarArrayLowBound(const Variant& v, int dim) {
  return DimBounds(v, dim).first;
}
int VarArrayHighBound(const Variant& v, int dim) {
  return DimBounds(v, dim).second;
}

// The rightmost index varies slowest, so the elements kept stay where they are.
void VarArrayRedim(Variant& v, int highBound) {
  VarArrayData& a = v.Array();
  std::vector<std::pair<int, int>> bounds = a.Bounds;
  bounds.back().second = highBound;
  const int64_t count = ElementCount(bounds);
  a.Bounds = std::move(bounds);
  a.Elements.resize(static_cast<size_t>(count), ZeroOf(a.ElementType));
}

std::string VarToStr(const Variant& v) {
  return v.AsString();
}

std::string VarTypeName(TVarType type) {
  if ((type & varArray) != 0) return "Array " + VarTypeName(type & varTypeMask);
  switch (type) {
    case varEmpty:
      return "Empty";
    case varNull:
      return "Null";
    case varSmallint:
      return "Smallint";
    case varInteger:
      return "Integer";
    case varSingle:
      return "Single";
    case varDouble:
      return "Double";
    case varCurrency:
      return "Currency";
    case varDate:
      return "Date";
    case varOleStr:
      return "OleStr";
    case varDispatch:
      return "Dispatch";
    case varError:
      return "Error";
    case varBoolean:
      return "Boolean";
    case varVariant:
      return "Variant";
    case 0x000D:
      return "Unknown";
    case varShortInt:
      return "ShortInt";
    case varByte:
      return "Byte";
    case varWord:
      return "Word";
    case varLongWord:
      return "LongWord";
    case varInt64:
      return "Int64";
    case varString:
      return "String";
    default:
      return "$" + IntToHex(type, 4);
  }
}

Variant VarAsType(const Variant& v, TVarType type) {
  if (v.VarType() == type) return v;
  if (v.IsArray() || (type & varArray) != 0) CastError(v.VarType(), type);
  switch (type) {
    case varEmpty:
      return Variant();
    case varNull:
      return Variant::Null();
    case varSingle: {
      const double d = v.AsDouble();
      if (std::isfinite(d) && std::fabs(d) > FLT_MAX) OverflowError(v.VarType(), type);
      return Variant::OfSingle(static_cast<float>(d));
    }
    case varDouble:
      return Variant(v.AsDouble());
    case varCurrency:
      return Variant::FromCurrency(v.AsCurrency());
    case varDate:
      return Variant::FromDate(v.AsDate());
    case varOleStr:
      return Variant::Wide(v.ToStringStrict());
    case varString:
      return Variant::Ansi(v.ToStringStrict());
    case varBoolean:
      return Variant(v.AsBoolean());
    case varDispatch:
      return Variant(v.AsDispatch());
    case varVariant:
      return v;
    default:
      if (VarTypeIsInteger(type)) {
        if (v.IsNull()) CastError(varNull, type);
        const int64_t n = v.AsInt64();
        int64_t low = 0, high = 0;
        IntegerRange(type, low, high);
        if (n < low || n > high) OverflowError(v.VarType(), type);
        return Variant::OfType(type, n);
      }
      CastError(v.VarType(), type);
  }
}

bool VarTypeIsInteger(TVarType t) {
  switch (t) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
      return true;
    default:
      return false;
  }
}
