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

void TObject::Dispatch(TMessage& message) {
  DispatchFrom(this, ClassType(), message);
}

void TObject::DefaultHandler(TMessage&) {}

void TObject::DispatchInherited(TClass from, TMessage& message) {
  DispatchFrom(this, from ? from->Parent : nullptr, message);
}
