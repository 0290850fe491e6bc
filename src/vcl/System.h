// The root of the class library: TObject with its class (name, chain, published tables),
// message dispatch through per-class tables, and the platform's small set type.
//
// Deviations by design:
// - A class reports its own name and tables only when it declares KXBR_CLASS; a class
//   without it answers with its nearest declared ancestor's.
// - Free() runs BeforeDestruction while the object is still complete, so notifications
//   reach the overrides of a dying owner (the platform's destructors run them from a
//   still-derived object too).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "Messages.h"

struct TClassData;
struct TMethodCode;
// The class of an object: its name, parent, published properties, methods and fields,
// message handlers and factory. One static instance per class.
using TClass = const TClassData*;

// Declares the class's own TClass. Put it first in the class body; it ends in private.
#define KXBR_CLASS(Self, Base)                     \
 public:                                           \
  using Inherited = Base;                          \
  static TClass StaticClass();                     \
  static constexpr const char* StaticClassName() { \
    return #Self;                                  \
  }                                                \
  TClass ClassType() const override {              \
    return StaticClass();                          \
  }                                                \
                                                   \
 private:

class TObject {
 public:
  TObject() = default;
  virtual ~TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;

  static TClass StaticClass();
  static constexpr const char* StaticClassName() { return "TObject"; }
  virtual TClass ClassType() const { return StaticClass(); }
  const std::string& ClassName() const;
  TClass ClassParent() const;
  bool InheritsFrom(TClass cls) const;

  // The published method of that name along the class chain (without regard to case), or
  // null; and the published name of a method of this class ("" when not published).
  const TMethodCode* MethodAddress(std::string_view name) const;
  std::string MethodName(const TMethodCode* code) const;

  // Runs BeforeDestruction, then destroys the object. The object must have been created
  // with new.
  void Free();
  virtual void BeforeDestruction() {}

  // Sends a message to this object at once through its window procedure and returns the
  // result (the platform's Perform).
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // The window procedure: Dispatch unless a class handles messages before their handlers
  // (controls do). A window handle of the object calls it for every message.
  virtual void WndProc(TMessage& message) { Dispatch(message); }
  // Message dispatch: the handler registered for Message.Msg by the nearest class of the
  // chain, else DefaultHandler.
  virtual void Dispatch(TMessage& message);
  virtual void DefaultHandler(TMessage& message);
  // Dispatch starting at the parent of `from`: what a handler calls as its inherited one.
  void DispatchInherited(TClass from, TMessage& message);
};

// Frees the object (when not null) and clears the pointer first, so that nothing sees a
// dangling pointer during the destruction.
template <class T>
void FreeAndNil(T*& object) {
  T* doomed = object;
  object = nullptr;
  if (doomed) doomed->Free();
}

// Is `object` of class T or a descendant (the platform's "is")?
template <class T>
bool Is(const TObject* object) {
  return object && object->InheritsFrom(T::StaticClass());
}

// A set of up to 64 members of an enumeration, as the platform's sets.
template <class E>
class TSet {
 public:
  using Element = E;
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> members) {
    for (E m : members) bits_ |= Bit(m);
  }
  static constexpr TSet FromBits(uint64_t bits) {
    TSet s;
    s.bits_ = bits;
    return s;
  }
  constexpr uint64_t Bits() const { return bits_; }
  constexpr bool Contains(E m) const { return (bits_ & Bit(m)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr TSet& Include(E m) {
    bits_ |= Bit(m);
    return *this;
  }
  constexpr TSet& Exclude(E m) {
    bits_ &= ~Bit(m);
    return *this;
  }
  constexpr TSet operator+(TSet o) const { return FromBits(bits_ | o.bits_); }
  constexpr TSet operator-(TSet o) const { return FromBits(bits_ & ~o.bits_); }
  constexpr TSet operator*(TSet o) const { return FromBits(bits_ & o.bits_); }
  constexpr bool operator==(const TSet&) const = default;

 private:
  static constexpr uint64_t Bit(E m) { return uint64_t{1} << static_cast<unsigned>(m); }
  uint64_t bits_ = 0;
};
