#include "System.h"

#include "TypInfo.h"

KXBR_DEFINE_CLASS(TObject)

const std::string& TObject::ClassName() const {
  return ClassType()->Name;
}

TClass TObject::ClassParent() const {
  return ClassType()->Parent;
}

bool TObject::InheritsFrom(TClass cls) const {
  return ClassType()->InheritsFrom(cls);
}

const TMethodCode* TObject::MethodAddress(std::string_view name) const {
  return ::MethodAddress(ClassType(), name);
}

std::string TObject::MethodName(const TMethodCode* code) const {
  return ::MethodName(ClassType(), code);
}

void TObject::Free() {
  BeforeDestruction();
  delete this;
}

static void DispatchFrom(TObject* self, TClass cls, TMessage& message) {
  for (; cls; cls = cls->Parent)
    for (const TMessageEntry& entry : cls->MessageHandlers)
      if (entry.Msg == message.Msg) {
        entry.Handler(self, message);
        return;
      }
  self->DefaultHandler(message);
}

LRESULT TObject::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage message{msg, wParam, lParam, 0};
  WndProc(message);
  return message.Result;
}

void TObject::Dispatch(TMessage& message) {
  DispatchFrom(this, ClassType(), message);
}

void TObject::DefaultHandler(TMessage&) {}

void TObject::DispatchInherited(TClass from, TMessage& message) {
  DispatchFrom(this, from ? from->Parent : nullptr, message);
}
