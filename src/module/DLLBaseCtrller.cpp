#include "DLLBaseCtrller.h"

#include "TypInfo.h"

KXBR_DEFINE_CLASS(TDLLBaseController, )

TClass DLLControllerClass = nullptr;

void TDLLBaseController::DoFormCreate(TObject*) {
  DoNotify(kNotifyFormCreate);
}

void TDLLBaseController::DoFormShow(TObject*) {
  DoNotify(kNotifyFormShow);
}

void TDLLBaseController::DoFormHide(TObject*) {
  DoNotify(kNotifyFormHide);
}

void TDLLBaseController::DoFormDestroy(TObject*) {
  DoNotify(kNotifyFormDestroy);
}

void TDLLBaseController::DoNotifyReserved(TObject*) {
  DoNotify(kNotifyReserved);
}

void TDLLBaseController::DoNotify(int32_t code) {
  OnNotify(code, this);
}

void TDLLBaseController::Reserved() {}

TDLLBaseController* CreateDLLController() {
  if (DLLControllerClass == nullptr || DLLControllerClass->CreateObject == nullptr)
    throw Exception("QMT DLL Internal Error :\rNot Assign \"DLLControllerClass\" varible");
  return static_cast<TDLLBaseController*>(DLLControllerClass->CreateObject());
}
