#include "TypInfo.h"

#include <climits>
#include <map>

namespace kxbr_detail {

void RaiseOutOfRange(int64_t value) {
  throw EPropertyConvertError("Value " + IntToStr(value) + " is out of range");
}

void RaiseWrongClass(const TObject* value, TClass expected) {
  throw EPropertyConvertError("Invalid class typecast: a " + value->ClassName() + " is not a " +
                              expected->Name);
}

}  // namespace kxbr_detail

TTypeInfo MakeTypeInfo(TTypeKind kind, std::string name) {
  TTypeInfo info;
  info.Kind = kind;
  info.Name = std::move(name);
  return info;
}

TTypeInfo MakeEnumTypeInfo(const char* typeName, const char* memberList) {
  TTypeInfo info;
  info.Kind = tkEnumeration;
  info.Name = typeName;
  for (const std::string& member : SplitString(memberList, ',')) {
    std::string name = Trim(member);
    if (!name.empty()) info.EnumNames.push_back(std::move(name));
  }
  return info;
}

TTypeInfo MakeIdentTypeInfo(const char* typeName, std::vector<TIdentMapEntry> idents) {
  TTypeInfo info;
  info.Kind = tkInteger;
  info.Name = typeName;
  info.Idents = std::move(idents);
  return info;
}

const TTypeInfo* IntegerTypeInfo() {
  static const TTypeInfo info = MakeTypeInfo(tkInteger, "Integer");
  return &info;
}
const TTypeInfo* BooleanTypeInfo() {
  static const TTypeInfo info = MakeEnumTypeInfo("Boolean", "False, True");
  return &info;
}
const TTypeInfo* CharTypeInfo() {
  static const TTypeInfo info = MakeTypeInfo(tkChar, "Char");
  return &info;
}
const TTypeInfo* FloatTypeInfo() {
  static const TTypeInfo info = MakeTypeInfo(tkFloat, "Double");
  return &info;
}
const TTypeInfo* StringTypeInfo() {
  static const TTypeInfo info = MakeTypeInfo(tkString, "string");
  return &info;
}

bool TClassData::InheritsFrom(TClass cls) const {
  for (TClass c = this; c; c = c->Parent)
    if (c == cls) return true;
  return false;
}

// --- Registry ----------------------------------------------------------------------------------

static std::map<std::string, TClass>& Registry() {
  static std::map<std::string, TClass> registry;  // upper-cased name -> class
  return registry;
}

bool RegisterClass(TClass cls) {
  Registry()[UpperCase(cls->Name)] = cls;
  return true;
}

void UnRegisterClass(TClass cls) {
  auto& registry = Registry();
  const auto it = registry.find(UpperCase(cls->Name));
  if (it != registry.end() && it->second == cls) registry.erase(it);
}

TClass GetClass(std::string_view name) {
  const auto& registry = Registry();
  const auto it = registry.find(UpperCase(name));
  return it == registry.end() ? nullptr : it->second;
}

TClass FindClass(std::string_view name) {
  if (TClass cls = GetClass(name)) return cls;
  throw EClassNotFound("Class " + std::string(name) + " not found");
}

// --- Lookups -----------------------------------------------------------------------------------

const TPropInfo* GetPropInfo(TClass cls, std::string_view name) {
  for (; cls; cls = cls->Parent)
    for (const TPropInfo& p : cls->Props)
      if (SameText(p.Name, name)) return &p;
  return nullptr;
}

const TPropInfo* GetPropInfo(const TObject* object, std::string_view name) {
  return object ? GetPropInfo(object->ClassType(), name) : nullptr;
}

const TPropInfo& FindPropInfo(const TObject* object, std::string_view name) {
  if (const TPropInfo* p = GetPropInfo(object, name)) return *p;
  throw EPropertyError("Property " + std::string(name) + " does not exist");
}

std::vector<const TPropInfo*> GetPropList(TClass cls) {
  std::vector<TClass> chain;
  for (; cls; cls = cls->Parent) chain.insert(chain.begin(), cls);
  std::vector<const TPropInfo*> list;
  for (TClass c : chain)
    for (const TPropInfo& p : c->Props) {
      bool replaced = false;
      for (const TPropInfo*& existing : list)
        if (SameText(existing->Name, p.Name)) {
          existing = &p;
          replaced = true;
        }
      if (!replaced) list.push_back(&p);
    }
  return list;
}

bool IsPublishedProp(const TObject* object, std::string_view name) {
  return GetPropInfo(object, name) != nullptr;
}

bool IsPublishedProp(TClass cls, std::string_view name) {
  return GetPropInfo(cls, name) != nullptr;
}

bool PropIsType(const TObject* object, std::string_view name, TTypeKind kind) {
  const TPropInfo* p = GetPropInfo(object, name);
  return p && p->Kind() == kind;
}

TTypeKind PropType(const TObject* object, std::string_view name) {
  return FindPropInfo(object, name).Kind();
}

// --- Typed access ------------------------------------------------------------------------------

[[noreturn]] static void RaiseKind(const TPropInfo& prop) {
  throw EPropertyError("Invalid property type: " + prop.Name + " is of type " +
                       prop.PropType->Name);
}

[[noreturn]] static void RaiseReadOnly(const TPropInfo& prop) {
  throw EPropertyError("Property " + prop.Name + " is read-only");
}

[[noreturn]] static void RaiseValue(const TPropInfo& prop, std::string_view text) {
  throw EPropertyConvertError("Invalid property value '" + std::string(text) + "' for " +
                              prop.Name);
}

static bool IsOrdinalKind(TTypeKind kind) {
  return kind == tkInteger || kind == tkChar || kind == tkEnumeration || kind == tkSet;
}

int64_t GetOrdProp(const TObject* object, const TPropInfo& prop) {
  if (!prop.GetOrd) RaiseKind(prop);
  return prop.GetOrd(object);
}

void SetOrdProp(TObject* object, const TPropInfo& prop, int64_t value) {
  if (!IsOrdinalKind(prop.Kind())) RaiseKind(prop);
  if (!prop.SetOrd) RaiseReadOnly(prop);
  const TTypeInfo* type = prop.PropType;
  if (type->Kind == tkEnumeration &&
      (value < 0 || value >= static_cast<int64_t>(type->EnumNames.size())))
    RaiseValue(prop, IntToStr(value));
  if (type->Kind == tkSet) {
    const size_t members = type->CompType->EnumNames.size();
    if (members < 64 && (static_cast<uint64_t>(value) >> members) != 0)
      RaiseValue(prop, IntToStr(value));
  }
  prop.SetOrd(object, value);
}

double GetFloatProp(const TObject* object, const TPropInfo& prop) {
  if (!prop.GetFloat) RaiseKind(prop);
  return prop.GetFloat(object);
}

void SetFloatProp(TObject* object, const TPropInfo& prop, double value) {
  if (prop.Kind() != tkFloat) RaiseKind(prop);
  if (!prop.SetFloat) RaiseReadOnly(prop);
  prop.SetFloat(object, value);
}

std::string GetStrProp(const TObject* object, const TPropInfo& prop) {
  if (!prop.GetStr) RaiseKind(prop);
  return prop.GetStr(object);
}

void SetStrProp(TObject* object, const TPropInfo& prop, const std::string& value) {
  if (prop.Kind() != tkString) RaiseKind(prop);
  if (!prop.SetStr) RaiseReadOnly(prop);
  prop.SetStr(object, value);
}

TObject* GetObjectProp(const TObject* object, const TPropInfo& prop) {
  if (!prop.GetObject) RaiseKind(prop);
  return prop.GetObject(object);
}

void SetObjectProp(TObject* object, const TPropInfo& prop, TObject* value) {
  if (prop.Kind() != tkClass) RaiseKind(prop);
  if (!prop.SetObject) RaiseReadOnly(prop);
  prop.SetObject(object, value);
}

TMethod GetMethodProp(const TObject* object, const TPropInfo& prop) {
  if (!prop.GetMethod) RaiseKind(prop);
  return prop.GetMethod(object);
}

void SetMethodProp(TObject* object, const TPropInfo& prop, const TMethod& value) {
  if (prop.Kind() != tkMethod) RaiseKind(prop);
  if (!prop.SetMethod) RaiseReadOnly(prop);
  if (value.Code && *value.Code->Signature != *prop.PropType->Signature)
    throw EPropertyConvertError("Method does not fit the event " + prop.Name);
  prop.SetMethod(object, value);
}

std::string GetEnumProp(const TObject* object, const TPropInfo& prop) {
  if (prop.Kind() != tkEnumeration) RaiseKind(prop);
  return GetEnumName(prop.PropType, static_cast<int>(GetOrdProp(object, prop)));
}

void SetEnumProp(TObject* object, const TPropInfo& prop, std::string_view ident) {
  if (prop.Kind() != tkEnumeration) RaiseKind(prop);
  const int value = GetEnumValue(prop.PropType, Trim(ident));
  if (value < 0) RaiseValue(prop, ident);
  SetOrdProp(object, prop, value);
}

std::string GetSetProp(const TObject* object, const TPropInfo& prop, bool brackets) {
  if (prop.Kind() != tkSet) RaiseKind(prop);
  return SetToString(prop.PropType, static_cast<uint64_t>(GetOrdProp(object, prop)), brackets);
}

void SetSetProp(TObject* object, const TPropInfo& prop, std::string_view text) {
  if (prop.Kind() != tkSet) RaiseKind(prop);
  SetOrdProp(object, prop, static_cast<int64_t>(StringToSet(prop.PropType, text)));
}

int64_t GetOrdProp(const TObject* o, std::string_view n) {
  return GetOrdProp(o, FindPropInfo(o, n));
}
void SetOrdProp(TObject* o, std::string_view n, int64_t v) {
  SetOrdProp(o, FindPropInfo(o, n), v);
}
double GetFloatProp(const TObject* o, std::string_view n) {
  return GetFloatProp(o, FindPropInfo(o, n));
}
void SetFloatProp(TObject* o, std::string_view n, double v) {
  SetFloatProp(o, FindPropInfo(o, n), v);
}
std::string GetStrProp(const TObject* o, std::string_view n) {
  return GetStrProp(o, FindPropInfo(o, n));
}
void SetStrProp(TObject* o, std::string_view n, const std::string& v) {
  SetStrProp(o, FindPropInfo(o, n), v);
}
TObject* GetObjectProp(const TObject* o, std::string_view n) {
  return GetObjectProp(o, FindPropInfo(o, n));
}
void SetObjectProp(TObject* o, std::string_view n, TObject* v) {
  SetObjectProp(o, FindPropInfo(o, n), v);
}
TMethod GetMethodProp(const TObject* o, std::string_view n) {
  return GetMethodProp(o, FindPropInfo(o, n));
}
void SetMethodProp(TObject* o, std::string_view n, const TMethod& v) {
  SetMethodProp(o, FindPropInfo(o, n), v);
}
std::string GetEnumProp(const TObject* o, std::string_view n) {
  return GetEnumProp(o, FindPropInfo(o, n));
}
void SetEnumProp(TObject* o, std::string_view n, std::string_view v) {
  SetEnumProp(o, FindPropInfo(o, n), v);
}
std::string GetSetProp(const TObject* o, std::string_view n, bool brackets) {
  return GetSetProp(o, FindPropInfo(o, n), brackets);
}
void SetSetProp(TObject* o, std::string_view n, std::string_view v) {
  SetSetProp(o, FindPropInfo(o, n), v);
}

// --- Variants and text ---------------------------------------------------------------------

Variant GetPropValue(const TObject* object, std::string_view name) {
  const TPropInfo& prop = FindPropInfo(object, name);
  switch (prop.Kind()) {
    case tkInteger:
      return Variant(GetOrdProp(object, prop));
    case tkChar:
      return Variant(std::string(1, static_cast<char>(GetOrdProp(object, prop))));
    case tkEnumeration:
      if (prop.PropType == BooleanTypeInfo()) return Variant(GetOrdProp(object, prop) != 0);
      return Variant(GetEnumProp(object, prop));
    case tkSet:
      return Variant(GetSetProp(object, prop));
    case tkFloat:
      return Variant(GetFloatProp(object, prop));
    case tkString:
      return Variant(GetStrProp(object, prop));
    default:
      RaiseKind(prop);
  }
}

void SetPropValue(TObject* object, std::string_view name, const Variant& value) {
  const TPropInfo& prop = FindPropInfo(object, name);
  try {
    switch (prop.Kind()) {
      case tkInteger:
      case tkChar:
      case tkEnumeration:
      case tkSet:
        if (value.IsText()) {
          SetPropText(object, prop, value.RawText());
        } else if (prop.Kind() == tkEnumeration && value.VarType() == varBoolean) {
          SetOrdProp(object, prop, value.AsBoolean() ? 1 : 0);
        } else {
          SetOrdProp(object, prop, value.AsInt64());
        }
        return;
      case tkFloat:
        SetFloatProp(object, prop, value.AsDouble());
        return;
      case tkString:
        SetStrProp(object, prop, value.AsString());
        return;
      default:
        RaiseKind(prop);
    }
  } catch (const EVariantError&) {
    RaiseValue(prop, VarToStr(value));
  }
}

std::string GetPropText(const TObject* object, const TPropInfo& prop) {
  switch (prop.Kind()) {
    case tkInteger: {
      const int64_t value = GetOrdProp(object, prop);
      std::string ident;
      if (!prop.PropType->Idents.empty() && value >= INT32_MIN && value <= INT32_MAX &&
          IntToIdent(static_cast<int>(value), ident, prop.PropType->Idents))
        return ident;
      return IntToStr(value);
    }
    case tkChar:
      return std::string(1, static_cast<char>(GetOrdProp(object, prop)));
    case tkEnumeration:
      return GetEnumProp(object, prop);
    case tkSet:
      return GetSetProp(object, prop, true);
    case tkFloat:
      return FloatToStr(GetFloatProp(object, prop));
    case tkString:
      return GetStrProp(object, prop);
    case tkMethod: {
      const TMethod m = GetMethodProp(object, prop);
      return m.Data ? MethodName(m.Data->ClassType(), m.Code) : std::string();
    }
    default:
      RaiseKind(prop);
  }
}

void SetPropText(TObject* object, const TPropInfo& prop, std::string_view text) {
  switch (prop.Kind()) {
    case tkInteger: {
      const std::string t = Trim(text);
      int value = 0;
      int64_t value64 = 0;
      if (IdentToInt(t, value, prop.PropType->Idents))
        SetOrdProp(object, prop, value);
      else if (TryStrToInt64(t, value64))
        SetOrdProp(object, prop, value64);
      else
        RaiseValue(prop, text);
      return;
    }
    case tkChar:
      if (text.size() != 1) RaiseValue(prop, text);
      SetOrdProp(object, prop, static_cast<unsigned char>(text[0]));
      return;
    case tkEnumeration:
      SetEnumProp(object, prop, text);
      return;
    case tkSet:
      SetSetProp(object, prop, text);
      return;
    case tkFloat: {
      double value = 0;
      if (!TryStrToFloat(Trim(text), value)) RaiseValue(prop, text);
      SetFloatProp(object, prop, value);
      return;
    }
    case tkString:
      SetStrProp(object, prop, std::string(text));
      return;
    case tkMethod:
      if (!Trim(text).empty()) RaiseValue(prop, text);
      SetMethodProp(object, prop, TMethod{});
      return;
    default:
      RaiseKind(prop);
  }
}

TObject* GetObjectByPath(TObject* object, std::string_view path) {
  for (const std::string& segment : SplitString(path, '.')) {
    const TPropInfo* prop = GetPropInfo(object, Trim(segment));
    if (!prop || prop->Kind() != tkClass) return nullptr;
    object = GetObjectProp(object, *prop);
    if (!object) return nullptr;
  }
  return object;
}

bool SetPropByPath(TObject* object, std::string_view path, std::string_view text) {
  try {
    std::string_view last = path;
    const size_t dot = path.rfind('.');
    if (dot != std::string_view::npos) {
      object = GetObjectByPath(object, path.substr(0, dot));
      last = path.substr(dot + 1);
    }
    const TPropInfo* prop = GetPropInfo(object, Trim(last));
    if (!prop) return false;
    SetPropText(object, *prop, text);
    return true;
  } catch (...) {
    return false;  // the caller expects a plain failure result
  }
}

// --- Enumerations, sets, identifiers -----------------------------------------------------------

std::string GetEnumName(const TTypeInfo* type, int value) {
  if (!type || value < 0 || value >= static_cast<int>(type->EnumNames.size())) return {};
  return type->EnumNames[value];
}

int GetEnumValue(const TTypeInfo* type, std::string_view name) {
  if (!type) return -1;
  for (size_t i = 0; i < type->EnumNames.size(); ++i)
    if (SameText(type->EnumNames[i], name)) return static_cast<int>(i);
  return -1;
}

std::string SetToString(const TTypeInfo* setType, uint64_t bits, bool brackets) {
  std::string text;
  const auto& names = setType->CompType->EnumNames;
  for (size_t i = 0; i < names.size() && i < 64; ++i)
    if (bits & (uint64_t{1} << i)) {
      if (!text.empty()) text += ',';
      text += names[i];
    }
  return brackets ? "[" + text + "]" : text;
}

uint64_t StringToSet(const TTypeInfo* setType, std::string_view text) {
  std::string t = Trim(text);
  if (!t.empty() && t.front() == '[') {
    if (t.back() != ']') throw EPropertyConvertError("Invalid set value: " + t);
    t = t.substr(1, t.size() - 2);
  }
  uint64_t bits = 0;
  if (Trim(t).empty()) return 0;
  for (const std::string& member : SplitString(t, ',')) {
    const std::string name = Trim(member);
    const int value = GetEnumValue(setType->CompType, name);
    if (value < 0 || value >= 64) throw EPropertyConvertError("Invalid property element: " + name);
    bits |= uint64_t{1} << value;
  }
  return bits;
}

bool IdentToInt(std::string_view ident, int& value, const std::vector<TIdentMapEntry>& map) {
  for (const TIdentMapEntry& e : map)
    if (SameText(e.Name, ident)) {
      value = e.Value;
      return true;
    }
  return false;
}

bool IntToIdent(int value, std::string& ident, const std::vector<TIdentMapEntry>& map) {
  for (const TIdentMapEntry& e : map)
    if (e.Value == value) {
      ident = e.Name;
      return true;
    }
  return false;
}

// --- Methods and fields ------------------------------------------------------------------------

const TMethodCode* MethodAddress(TClass cls, std::string_view name) {
  for (; cls; cls = cls->Parent)
    for (const TMethodEntry& m : cls->Methods)
      if (SameText(m.Name, name)) return m.Code;
  return nullptr;
}

std::string MethodName(TClass cls, const TMethodCode* code) {
  if (!code) return {};
  for (; cls; cls = cls->Parent)
    for (const TMethodEntry& m : cls->Methods)
      if (m.Code == code) return m.Name;
  return {};
}

const TFieldEntry* FieldAddress(TClass cls, std::string_view name) {
  for (; cls; cls = cls->Parent)
    for (const TFieldEntry& f : cls->Fields)
      if (SameText(f.Name, name)) return &f;
  return nullptr;
}

TClass FieldClassByName(TClass cls, std::string_view className) {
  for (; cls; cls = cls->Parent)
    for (const TFieldEntry& f : cls->Fields)
      if (SameText(f.FieldClass->Name, className)) return f.FieldClass;
  return nullptr;
}
