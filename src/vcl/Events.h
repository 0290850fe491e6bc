// Events: method references as (Code, Data) pairs. Code names one method through one
// static trampoline per method (the entry a class's published-method table holds), Data is
// the object. Pairs compare, copy, save and restore as values; a nil Code means unset.
// TEvent<Signature> wraps a pair for type-safe calls:
//
//   btnOk->SetOnClick(MethodOf<&TfrmMain::btnOkClick>(this));
//   if (OnClick()) OnClick()(this);
#pragma once

#include <cstdint>
#include <type_traits>
#include <typeinfo>

#include "SysUtils.h"
#include "System.h"

// One method: its trampoline (a plain function taking the object first) and the
// signature it was made for. Identity matters: one instance per method.
struct TMethodCode {
  void (*Trampoline)();  // cast back to void(*)(TObject*, Args...) before calling
  const std::type_info* Signature;
};

struct TMethod {
  const TMethodCode* Code = nullptr;
  TObject* Data = nullptr;

  bool Assigned() const { return Code != nullptr; }
  bool operator==(const TMethod&) const = default;
};

namespace kxbr_detail {

template <class M>
struct MemberFunction;
template <class C, class R, class... A>
struct MemberFunction<R (C::*)(A...)> {
  using Class = C;
  using Signature = R(A...);
};

template <auto M, class C, class R, class... A>
R Trampoline(TObject* self, A... args) {
  return (static_cast<C*>(self)->*M)(static_cast<A>(args)...);
}

template <auto M, class Sig>
struct CodeHolder;
template <auto M, class R, class... A>
struct CodeHolder<M, R(A...)> {
  using C = typename MemberFunction<decltype(M)>::Class;
  static inline const TMethodCode code{reinterpret_cast<void (*)()>(&Trampoline<M, C, R, A...>),
                                       &typeid(R(A...))};
};

}  // namespace kxbr_detail

// The one TMethodCode of member function M.
template <auto M>
const TMethodCode* MethodCodeOf() {
  return &kxbr_detail::CodeHolder<
      M, typename kxbr_detail::MemberFunction<decltype(M)>::Signature>::code;
}

// A method reference whose signature is known at compile time; converts to TEvent.
template <class Sig>
struct TBoundMethod {
  TMethod Method;
};

template <auto M>
TBoundMethod<typename kxbr_detail::MemberFunction<decltype(M)>::Signature> MethodOf(
    typename kxbr_detail::MemberFunction<decltype(M)>::Class* object) {
  return {TMethod{MethodCodeOf<M>(), object}};
}

// Raised when a method reference of one signature is given to an event of another.
KXBR_EXCEPTION_CLASS(EInvalidCast, Exception)

template <class Sig>
class TEvent;

template <class R, class... A>
class TEvent<R(A...)> {
 public:
  using Signature = R(A...);

  TEvent() = default;
  TEvent(std::nullptr_t) {}
  TEvent(TBoundMethod<Signature> bound) : method_(bound.Method) {}
  // From an untyped pair (RTTI, saved handlers): the signature is checked.
  static TEvent FromMethod(const TMethod& method) {
    if (method.Code && *method.Code->Signature != typeid(Signature))
      throw EInvalidCast("Invalid class typecast: the method does not fit the event");
    TEvent e;
    e.method_ = method;
    return e;
  }

  const TMethod& Method() const { return method_; }
  bool Assigned() const { return method_.Code != nullptr; }
  explicit operator bool() const { return Assigned(); }
  bool operator==(const TEvent&) const = default;

  // Calls the method; an unset event does nothing (and returns R{}).
  R operator()(A... args) const {
    if (!method_.Code) {
      if constexpr (std::is_void_v<R>)
        return;
      else
        return R{};
    }
    auto fn = reinterpret_cast<R (*)(TObject*, A...)>(method_.Code->Trampoline);
    return fn(method_.Data, static_cast<A>(args)...);
  }

 private:
  TMethod method_;
};

// --- Event shapes of the class library --------------------------------------------------

class TListItem;

enum TShiftStateElem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateElem>;
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TItemChange { ctText, ctImage, ctState };

using TNotifyEvent = TEvent<void(TObject* Sender)>;
using TKeyEvent = TEvent<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = TEvent<void(TObject* Sender, char& Key)>;
using TMouseEvent =
    TEvent<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = TEvent<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TCloseEvent = TEvent<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = TEvent<void(TObject* Sender, bool& CanClose)>;
using TTabChangingEvent = TEvent<void(TObject* Sender, bool& AllowChange)>;
using TLVSelectItemEvent = TEvent<void(TObject* Sender, TListItem* Item, bool Selected)>;
using TLVChangeEvent = TEvent<void(TObject* Sender, TListItem* Item, TItemChange Change)>;
using TLVChangingEvent =
    TEvent<void(TObject* Sender, TListItem* Item, TItemChange Change, bool& AllowChange)>;
