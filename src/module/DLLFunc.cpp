// The library's entry: the one export and the start-up block.
#include "DLLRPCtrller.h"

#ifdef KXBR_MODULE_FORM_HEADER
#include KXBR_MODULE_FORM_HEADER
#endif

extern "C" __attribute__((visibility("default"))) TDLLBaseController* GetController() {
  return CreateDLLController();
}

namespace {

// Runs when the library is loaded, after the units it uses have initialised.
[[maybe_unused]] const bool startedUp = [] {
  DLLRPCtrllerInitialization();
#ifdef KXBR_MODULE_FORM_CLASS
  frmBaseGeneClass = KXBR_MODULE_FORM_CLASS::StaticClass();
#endif
  return true;
}();

}  // namespace
