// Run-time type information: one static table per class of its published properties,
// methods and fields and its message handlers, registered next to the class:
//
//   KXBR_DEFINE_CLASS(TFont,
//     .Prop<&TFont::Color, &TFont::SetColor>("Color", ColorTypeInfo())
//     .Prop<&TFont::Name, &TFont::SetName>("Name"))
//
// Generic code (form resources, scheme values, language packs) reaches properties only
// through these tables. Lookups walk the class chain from the object's own class up and
// ignore case. Each access comes in two forms: one that answers null / false and one that
// raises EPropertyError naming the property or identifier. A rejected write changes nothing.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "Events.h"
#include "SysUtils.h"
#include "System.h"
#include "Variant.h"

KXBR_EXCEPTION_CLASS(EPropertyError, Exception)
KXBR_EXCEPTION_CLASS(EPropertyConvertError, EPropertyError)
KXBR_EXCEPTION_CLASS(EFilerError, Exception)
KXBR_EXCEPTION_CLASS(EClassNotFound, EFilerError)

class TComponent;
class TCollection;
class TCollectionItem;

enum TTypeKind {
  tkUnknown,
  tkInteger,
  tkChar,
  tkEnumeration,
  tkFloat,
  tkString,
  tkSet,
  tkClass,
  tkMethod
};

// One identifier of an integer type's table (clRed, crHourGlass, GB2312_CHARSET).
struct TIdentMapEntry {
  int Value;
  const char* Name;
};

struct TTypeInfo {
  TTypeKind Kind = tkUnknown;
  std::string Name;
  std::vector<std::string> EnumNames;   // tkEnumeration: identifiers by ordinal
  const TTypeInfo* CompType = nullptr;  // tkSet: the element enumeration
  // tkClass: the class, resolved on use so that classes may refer to each other.
  TClass (*ClassOf)() = nullptr;
  TClass ClassType() const { return ClassOf ? ClassOf() : nullptr; }
  const std::type_info* Signature = nullptr;  // tkMethod
  std::vector<TIdentMapEntry> Idents;         // tkInteger: identifier table, may be empty
};

// A type of `kind` named `name`; the other fields are filled by the caller.
TTypeInfo MakeTypeInfo(TTypeKind kind, std::string name);
// Builds an enumeration's type from the text of its member list ("a, b, c").
TTypeInfo MakeEnumTypeInfo(const char* typeName, const char* memberList);
// An integer type with an identifier table.
TTypeInfo MakeIdentTypeInfo(const char* typeName, std::vector<TIdentMapEntry> idents);

// Declares an enumeration together with its type information; the member identifiers are
// the texts that RTTI reads and writes.
#define KXBR_ENUM(Type, ...)                                             \
  enum Type { __VA_ARGS__ };                                             \
  inline const TTypeInfo* TypeInfoOfEnum(const Type*) {                  \
    static const TTypeInfo info = MakeEnumTypeInfo(#Type, #__VA_ARGS__); \
    return &info;                                                        \
  }
// Type information for an enumeration declared elsewhere.
#define KXBR_ENUM_INFO(Type, ...)                                        \
  inline const TTypeInfo* TypeInfoOfEnum(const Type*) {                  \
    static const TTypeInfo info = MakeEnumTypeInfo(#Type, #__VA_ARGS__); \
    return &info;                                                        \
  }

KXBR_ENUM_INFO(TShiftStateElem, ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble)
KXBR_ENUM_INFO(TMouseButton, mbLeft, mbRight, mbMiddle)
KXBR_ENUM_INFO(TCloseAction, caNone, caHide, caFree, caMinimize)
KXBR_ENUM_INFO(TItemChange, ctText, ctImage, ctState)

const TTypeInfo* IntegerTypeInfo();
const TTypeInfo* BooleanTypeInfo();  // enumeration False, True
const TTypeInfo* CharTypeInfo();
const TTypeInfo* FloatTypeInfo();
const TTypeInfo* StringTypeInfo();

// --- Class tables ---------------------------------------------------------------------------

struct TPropInfo {
  std::string Name;
  const TTypeInfo* PropType = nullptr;
  TClass Declarer = nullptr;
  // Accessors of the property's kind; a missing setter makes the property read-only.
  int64_t (*GetOrd)(const TObject*) = nullptr;
  void (*SetOrd)(TObject*, int64_t) = nullptr;
  double (*GetFloat)(const TObject*) = nullptr;
  void (*SetFloat)(TObject*, double) = nullptr;
  std::string (*GetStr)(const TObject*) = nullptr;
  void (*SetStr)(TObject*, const std::string&) = nullptr;
  TObject* (*GetObject)(const TObject*) = nullptr;
  void (*SetObject)(TObject*, TObject*) = nullptr;
  TMethod (*GetMethod)(const TObject*) = nullptr;
  void (*SetMethod)(TObject*, const TMethod&) = nullptr;

  TTypeKind Kind() const { return PropType->Kind; }
  bool Writable() const { return SetOrd || SetFloat || SetStr || SetObject || SetMethod; }
};

struct TMethodEntry {
  std::string Name;
  const TMethodCode* Code;
};

// A published field: a component reference of the class that the form resource reader
// fills by component name (and clears when the component leaves its owner).
struct TFieldEntry {
  std::string Name;
  TClass FieldClass;
  void (*Set)(TObject* self, TObject* value);
  TObject* (*Get)(const TObject* self);
};

struct TMessageEntry {
  UINT Msg;
  void (*Handler)(TObject* self, TMessage& message);
};

struct TClassData {
  std::string Name;
  TClass Parent = nullptr;
  std::vector<TPropInfo> Props;
  std::vector<TMethodEntry> Methods;
  std::vector<TFieldEntry> Fields;
  std::vector<TMessageEntry> MessageHandlers;
  // Factories; null when the class cannot be created by name in that role.
  TComponent* (*CreateComponent)(TComponent* owner) = nullptr;
  TCollectionItem* (*CreateItem)(TCollection* collection) = nullptr;
  TObject* (*CreateObject)() = nullptr;

  bool InheritsFrom(TClass cls) const;
};

namespace kxbr_detail {

template <class M>
struct Getter;
template <class C, class R>
struct Getter<R (C::*)() const> {
  using Class = C;
  using Value = std::remove_cvref_t<R>;
};
template <class C, class R>
struct Getter<R (C::*)()> {
  using Class = C;
  using Value = std::remove_cvref_t<R>;
};

template <class M>
struct Setter;
template <class C, class A>
struct Setter<void (C::*)(A)> {
  using Class = C;
  using Value = std::remove_cvref_t<A>;
};

template <class T>
struct IsSet : std::false_type {};
template <class E>
struct IsSet<TSet<E>> : std::true_type {};
template <class T>
struct IsEvent : std::false_type {};
template <class Sig>
struct IsEvent<TEvent<Sig>> : std::true_type {};

template <class V>
constexpr bool IsOrdinal = std::is_integral_v<V> || std::is_enum_v<V> || IsSet<V>::value;

template <class V>
int64_t ToOrd(const V& v) {
  if constexpr (IsSet<V>::value)
    return static_cast<int64_t>(v.Bits());
  else if constexpr (std::is_same_v<V, char>)
    return static_cast<unsigned char>(v);
  else
    return static_cast<int64_t>(v);
}

void RaiseOutOfRange(int64_t value);
void RaiseWrongClass(const TObject* value, TClass expected);

template <class V>
V FromOrd(int64_t x) {
  if constexpr (IsSet<V>::value) {
    return V::FromBits(static_cast<uint64_t>(x));
  } else if constexpr (std::is_same_v<V, bool>) {
    if (x != 0 && x != 1) RaiseOutOfRange(x);
    return x != 0;
  } else if constexpr (std::is_same_v<V, char>) {
    if (x < 0 || x > 255) RaiseOutOfRange(x);
    return static_cast<char>(static_cast<unsigned char>(x));
  } else if constexpr (std::is_enum_v<V>) {
    return static_cast<V>(x);  // range checked against the identifier table
  } else {
    if constexpr (std::is_signed_v<V>) {
      if (x < static_cast<int64_t>(std::numeric_limits<V>::min()) ||
          x > static_cast<int64_t>(std::numeric_limits<V>::max()))
        RaiseOutOfRange(x);
    } else if (x < 0 || static_cast<uint64_t>(x) > std::numeric_limits<V>::max()) {
      RaiseOutOfRange(x);
    }
    return static_cast<V>(x);
  }
}

template <auto G>
decltype(auto) CallGet(const TObject* o) {
  using Tr = Getter<decltype(G)>;
  auto* self = const_cast<typename Tr::Class*>(static_cast<const typename Tr::Class*>(o));
  return (self->*G)();
}
template <auto S, class V>
void CallSet(TObject* o, V&& v) {
  using Tr = Setter<decltype(S)>;
  (static_cast<typename Tr::Class*>(o)->*S)(std::forward<V>(v));
}

template <class T>
const TTypeInfo* ClassTypeInfo() {
  static const TTypeInfo info = [] {
    TTypeInfo t = MakeTypeInfo(tkClass, T::StaticClassName());
    t.ClassOf = [] { return T::StaticClass(); };
    return t;
  }();
  return &info;
}
template <class E>
const TTypeInfo* SetTypeInfo() {
  static const TTypeInfo info = [] {
    const TTypeInfo* element = TypeInfoOfEnum(static_cast<const E*>(nullptr));
    TTypeInfo t = MakeTypeInfo(tkSet, "set of " + element->Name);
    t.CompType = element;
    return t;
  }();
  return &info;
}
template <class Sig>
const TTypeInfo* MethodTypeInfo() {
  static const TTypeInfo info = [] {
    TTypeInfo t = MakeTypeInfo(tkMethod, "TMethod");
    t.Signature = &typeid(Sig);
    return t;
  }();
  return &info;
}

}  // namespace kxbr_detail

// The type information of a C++ property type.
template <class V>
const TTypeInfo* TypeInfoOf() {
  using namespace kxbr_detail;
  if constexpr (std::is_same_v<V, bool>)
    return BooleanTypeInfo();
  else if constexpr (std::is_same_v<V, char>)
    return CharTypeInfo();
  else if constexpr (std::is_enum_v<V>)
    return TypeInfoOfEnum(static_cast<const V*>(nullptr));
  else if constexpr (std::is_integral_v<V>)
    return IntegerTypeInfo();
  else if constexpr (std::is_floating_point_v<V>)
    return FloatTypeInfo();
  else if constexpr (std::is_same_v<V, std::string>)
    return StringTypeInfo();
  else if constexpr (IsSet<V>::value)
    return SetTypeInfo<typename V::Element>();
  else if constexpr (IsEvent<V>::value)
    return MethodTypeInfo<typename V::Signature>();
  else if constexpr (std::is_pointer_v<V>)
    return ClassTypeInfo<std::remove_cv_t<std::remove_pointer_t<V>>>();
  else
    static_assert(sizeof(V) == 0, "type cannot be published");
}

// Builds the table of class T; used through KXBR_DEFINE_CLASS.
template <class T>
class TClassBuilder {
 public:
  explicit TClassBuilder(const char* name) {
    data_.Name = name;
    if constexpr (!std::is_same_v<T, TObject>) data_.Parent = T::Inherited::StaticClass();
    if constexpr (!std::is_abstract_v<T>) {
      if constexpr (std::is_constructible_v<T, TComponent*>)
        data_.CreateComponent = [](TComponent* owner) -> TComponent* { return new T(owner); };
      if constexpr (std::is_constructible_v<T, TCollection*>)
        data_.CreateItem = [](TCollection* c) -> TCollectionItem* { return new T(c); };
      if constexpr (std::is_default_constructible_v<T>)
        data_.CreateObject = []() -> TObject* { return new T(); };
    }
  }

  // A published property read by Get and written by Set (nullptr: read-only). `type`
  // replaces the type deduced from the getter (integer types with identifier tables).
  template <auto Get, auto Set = nullptr>
  TClassBuilder& Prop(const char* name, const TTypeInfo* type = nullptr) {
    using namespace kxbr_detail;
    using V = typename Getter<decltype(Get)>::Value;
    constexpr bool hasSetter = !std::is_same_v<decltype(Set), std::nullptr_t>;
    if constexpr (hasSetter)
      static_assert(std::is_same_v<typename Setter<decltype(Set)>::Value, V>,
                    "getter and setter types differ");
    TPropInfo p;
    p.Name = name;
    p.PropType = type ? type : TypeInfoOf<V>();
    if constexpr (IsOrdinal<V>) {
      p.GetOrd = [](const TObject* o) { return ToOrd<V>(CallGet<Get>(o)); };
      if constexpr (hasSetter)
        p.SetOrd = [](TObject* o, int64_t x) { CallSet<Set>(o, FromOrd<V>(x)); };
    } else if constexpr (std::is_floating_point_v<V>) {
      p.GetFloat = [](const TObject* o) { return static_cast<double>(CallGet<Get>(o)); };
      if constexpr (hasSetter)
        p.SetFloat = [](TObject* o, double x) { CallSet<Set>(o, static_cast<V>(x)); };
    } else if constexpr (std::is_same_v<V, std::string>) {
      p.GetStr = [](const TObject* o) { return std::string(CallGet<Get>(o)); };
      if constexpr (hasSetter)
        p.SetStr = [](TObject* o, const std::string& s) { CallSet<Set>(o, s); };
    } else if constexpr (IsEvent<V>::value) {
      p.GetMethod = [](const TObject* o) { return CallGet<Get>(o).Method(); };
      if constexpr (hasSetter)
        p.SetMethod = [](TObject* o, const TMethod& m) { CallSet<Set>(o, V::FromMethod(m)); };
    } else {
      using C = std::remove_cv_t<std::remove_pointer_t<V>>;
      p.GetObject = [](const TObject* o) -> TObject* { return CallGet<Get>(o); };
      if constexpr (hasSetter)
        p.SetObject = [](TObject* o, TObject* value) {
          C* typed = dynamic_cast<C*>(value);
          if (value && !typed) RaiseWrongClass(value, C::StaticClass());
          CallSet<Set>(o, typed);
        };
    }
    data_.Props.push_back(std::move(p));
    return *this;
  }

  // A published method: found by name (MethodAddress), assignable to events.
  template <auto M>
  TClassBuilder& Method(const char* name) {
    data_.Methods.push_back({name, MethodCodeOf<M>()});
    return *this;
  }

  // A published component field (pointer member F of T).
  template <auto F>
  TClassBuilder& Field(const char* name) {
    using FieldType = std::remove_pointer_t<std::remove_cvref_t<decltype(std::declval<T&>().*F)>>;
    data_.Fields.push_back(
        {name, FieldType::StaticClass(),
         [](TObject* self, TObject* value) {
           static_cast<T*>(self)->*F = dynamic_cast<FieldType*>(value);
         },
         [](const TObject* self) -> TObject* { return static_cast<const T*>(self)->*F; }});
    return *this;
  }

  // The handler of message `msg` (a member function taking TMessage&).
  template <auto H>
  TClassBuilder& Message(UINT msg) {
    data_.MessageHandlers.push_back(
        {msg, [](TObject* self, TMessage& m) { (static_cast<T*>(self)->*H)(m); }});
    return *this;
  }

  TClassData Build() { return std::move(data_); }

 private:
  TClassData data_;
};

// Defines Self::StaticClass() with the table built by the builder calls given after the
// class name, and registers the class so that it can be found by name.
#define KXBR_DEFINE_CLASS(Self, ...)                                               \
  TClass Self::StaticClass() {                                                     \
    static const TClassData data = TClassBuilder<Self>(#Self) __VA_ARGS__.Build(); \
    return &data;                                                                  \
  }                                                                                \
  [[maybe_unused]] static const bool kxbrRegistered##Self = RegisterClass(Self::StaticClass());

// --- The class registry ----------------------------------------------------------------------

// Registers a class for lookup by name; true (registering twice is harmless).
bool RegisterClass(TClass cls);
void UnRegisterClass(TClass cls);
// The registered class of that name (without regard to case), or null.
TClass GetClass(std::string_view name);
// Like GetClass, but raises EClassNotFound ("Class TFoo not found").
TClass FindClass(std::string_view name);

// --- Property access -------------------------------------------------------------------------

const TPropInfo* GetPropInfo(TClass cls, std::string_view name);
const TPropInfo* GetPropInfo(const TObject* object, std::string_view name);
// Raises EPropertyError "Property X does not exist" when the class has none of that name.
const TPropInfo& FindPropInfo(const TObject* object, std::string_view name);
// All published properties, most basic class first; a redeclared property appears once,
// at the place of its first declaration, with the most derived declaration's accessors.
std::vector<const TPropInfo*> GetPropList(TClass cls);

bool IsPublishedProp(const TObject* object, std::string_view name);
bool IsPublishedProp(TClass cls, std::string_view name);
bool PropIsType(const TObject* object, std::string_view name, TTypeKind kind);
TTypeKind PropType(const TObject* object, std::string_view name);  // raises when missing

// Typed access. Reading a property of another kind or writing a read-only one raises
// EPropertyError; nothing changes on a failed write.
int64_t GetOrdProp(const TObject* object, const TPropInfo& prop);
void SetOrdProp(TObject* object, const TPropInfo& prop, int64_t value);
double GetFloatProp(const TObject* object, const TPropInfo& prop);
void SetFloatProp(TObject* object, const TPropInfo& prop, double value);
std::string GetStrProp(const TObject* object, const TPropInfo& prop);
void SetStrProp(TObject* object, const TPropInfo& prop, const std::string& value);
TObject* GetObjectProp(const TObject* object, const TPropInfo& prop);
void SetObjectProp(TObject* object, const TPropInfo& prop, TObject* value);
TMethod GetMethodProp(const TObject* object, const TPropInfo& prop);
void SetMethodProp(TObject* object, const TPropInfo& prop, const TMethod& value);
std::string GetEnumProp(const TObject* object, const TPropInfo& prop);
void SetEnumProp(TObject* object, const TPropInfo& prop, std::string_view ident);
std::string GetSetProp(const TObject* object, const TPropInfo& prop, bool brackets = false);
void SetSetProp(TObject* object, const TPropInfo& prop, std::string_view text);

int64_t GetOrdProp(const TObject* object, std::string_view name);
void SetOrdProp(TObject* object, std::string_view name, int64_t value);
double GetFloatProp(const TObject* object, std::string_view name);
void SetFloatProp(TObject* object, std::string_view name, double value);
std::string GetStrProp(const TObject* object, std::string_view name);
void SetStrProp(TObject* object, std::string_view name, const std::string& value);
TObject* GetObjectProp(const TObject* object, std::string_view name);
void SetObjectProp(TObject* object, std::string_view name, TObject* value);
TMethod GetMethodProp(const TObject* object, std::string_view name);
void SetMethodProp(TObject* object, std::string_view name, const TMethod& value);
std::string GetEnumProp(const TObject* object, std::string_view name);
void SetEnumProp(TObject* object, std::string_view name, std::string_view ident);
std::string GetSetProp(const TObject* object, std::string_view name, bool brackets = false);
void SetSetProp(TObject* object, std::string_view name, std::string_view text);

// Any kind but class and method as a Variant: integers and characters as Integer,
// enumerations and sets as their identifier text (Boolean as Boolean), floats as Double,
// strings as String. Writing converts the Variant into the property's kind.
Variant GetPropValue(const TObject* object, std::string_view name);
void SetPropValue(TObject* object, std::string_view name, const Variant& value);

// The property as text, and written from text: integers through the type's identifier
// table when the text is one of its identifiers, enumerations by identifier, sets as
// "[a,b]" (brackets optional when writing), characters as the character, methods by
// published method name of the object holding the method ("" for nil). Raises
// EPropertyError / EPropertyConvertError on failure.
std::string GetPropText(const TObject* object, const TPropInfo& prop);
void SetPropText(TObject* object, const TPropInfo& prop, std::string_view text);

// Writes `text` into the property at `path` ("Font.Name"): every segment but the last
// names an object-valued property; the last is written by SetPropText. False on any
// failure, with nothing changed.
bool SetPropByPath(TObject* object, std::string_view path, std::string_view text);
// The object reached by a dotted path of object-valued properties, or null.
TObject* GetObjectByPath(TObject* object, std::string_view path);

// Enumerations, sets and identifier tables.
std::string GetEnumName(const TTypeInfo* type, int value);       // "" when out of range
int GetEnumValue(const TTypeInfo* type, std::string_view name);  // -1 when unknown
std::string SetToString(const TTypeInfo* setType, uint64_t bits, bool brackets = false);
// Raises EPropertyConvertError "Invalid property element: X" for an unknown member.
uint64_t StringToSet(const TTypeInfo* setType, std::string_view text);
bool IdentToInt(std::string_view ident, int& value, const std::vector<TIdentMapEntry>& map);
bool IntToIdent(int value, std::string& ident, const std::vector<TIdentMapEntry>& map);

// Published methods and fields, looked up along the class chain without regard to case.
const TMethodCode* MethodAddress(TClass cls, std::string_view name);
std::string MethodName(TClass cls, const TMethodCode* code);  // "" when not published
const TFieldEntry* FieldAddress(TClass cls, std::string_view name);
// The class of a published field of `cls` whose class is named `className`, or null.
TClass FieldClassByName(TClass cls, std::string_view className);
