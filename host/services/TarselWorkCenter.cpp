// libTarselWorkCenter.so: the host application object for the registry stand-in's
// ProgID table, e.g.
//   [ProgID]
//   TarselWorkCenter.Manager=/opt/orvant/lib/libTarselWorkCenter.so:CreateTarselWorkCenter
// The object reads its options from the environment (HostApp.h); when they are
// incomplete the factory raises EHostError with the reason.
#include "HostApp.h"

extern "C" __attribute__((visibility("default"))) void CreateTarselWorkCenter(DispatchPtr* out) {
  if (out == nullptr) return;
  *out = std::make_shared<THostApp>(HostOptionsFromEnvironment());
}
