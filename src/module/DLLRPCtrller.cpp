#include "DLLRPCtrller.h"

#include "DynLib.h"
#include "TypInfo.h"

KXBR_DEFINE_CLASS(TDLLRPCtrller, )

TClass frmBaseGeneClass = nullptr;

void DLLRPCtrllerInitialization() {
  static const bool done = [] {
    DLLControllerClass = TDLLRPCtrller::StaticClass();
    return true;
  }();
  (void)done;
}

namespace {
[[maybe_unused]] const bool unitInitialized = (DLLRPCtrllerInitialization(), true);

constexpr size_t kMaxPath = 260;
}  // namespace

TDLLRPCtrller::~TDLLRPCtrller() {
  if (FForm != nullptr) CloseForm();
}

std::string TDLLRPCtrller::GetVersion() {
  return FForm ? FForm->VersionText : std::string();
}

WordBool TDLLRPCtrller::GetVisible() {
  return FForm && FForm->Visible() ? kWordTrue : kWordFalse;
}

void TDLLRPCtrller::SetVisible(WordBool value) {
  if (FForm == nullptr) return;
  FForm->SetVisible(value != 0);
  if (value != 0 && FForm != nullptr) {
    if (FForm->WindowState() == wsMinimized) FForm->SetWindowState(wsNormal);
    SetForegroundWindow(FForm->Handle());
  }
}

HWND TDLLRPCtrller::GetHandle() {
  return FForm ? FForm->Handle() : 0;
}

int32_t TDLLRPCtrller::Initialize(const Variant& params) {
  int32_t result = -1;
  if (FForm == nullptr) {
    if (frmBaseGeneClass == nullptr || frmBaseGeneClass->CreateComponent == nullptr)
      throw Exception("QMT DLL Internal Error :\rNot Assign \"frmBaseGeneClass\" varible");
    TComponent* created = frmBaseGeneClass->CreateComponent(nullptr);
    auto* form = dynamic_cast<TfrmBaseGene*>(created);
    if (form == nullptr) {
      created->Free();
      throw Exception("QMT DLL Internal Error :\rNot Assign \"frmBaseGeneClass\" varible");
    }
    try {
      form->AfterConstruction();
    } catch (...) {
      form->Free();
      throw;
    }
    FForm = form;
    std::string moduleName =
        GetModuleFileName(reinterpret_cast<const void*>(&DLLRPCtrllerInitialization));
    if (moduleName.size() > kMaxPath) moduleName.resize(kMaxPath);
    FForm->SetModuleFileName(moduleName);
    FForm->HostApp = HostApp;
    DoFormCreate(this);
    // Hooked once: hooking again would save this controller's own handlers as the form's.
    FOldOnShow = FForm->OnShow();
    FForm->SetOnShow(MethodOf<&TDLLRPCtrller::DoFormShow>(this));
    FOldOnHide = FForm->OnHide();
    FForm->SetOnHide(MethodOf<&TDLLRPCtrller::DoFormHide>(this));
    FOldOnDestroy = FForm->OnDestroy();
    FForm->SetOnDestroy(MethodOf<&TDLLRPCtrller::DoFormDestroy>(this));
  }
  if (FForm->InitParams(params)) result = 0;
  return result;
}

int32_t TDLLRPCtrller::CallForm(bool fromExecute, const Variant& data) {
  try {
    FForm->ExternalCall(VarArrayOf({Variant(fromExecute), data}));
    return 0;
  } catch (...) {
    return -1;
  }
}

int32_t TDLLRPCtrller::Execute(const Variant& params) {
  if (FForm == nullptr || params.IsNull() || !params.IsArray()) return -1;
  Variant element;
  try {
    element = params[1];
  } catch (const Exception&) {
    return -1;  // an array without an element 1 carries nothing to pass on
  }
  return CallForm(true, element);
}

int32_t TDLLRPCtrller::DoCommand(int32_t command, int32_t, const Variant& data) {
  if (FForm == nullptr || (command != 5 && command != 9)) return -1;
  return CallForm(false, data);
}

Variant TDLLRPCtrller::ShowModal() {
  if (FForm == nullptr) return Variant(static_cast<int>(mrCancel));
  return Variant(static_cast<int>(FForm->ShowModal()));
}

void TDLLRPCtrller::CloseForm() {
  if (FForm == nullptr || FForm->ComponentState().Contains(csDestroying)) return;
  FForm->Free();  // its destroy event forgets it
}

int32_t TDLLRPCtrller::GetInfo(Variant& info) {
  if (FForm == nullptr) return -1;
  info = VarArrayCreate({0, 3}, varVariant);
  info[0] = Variant::Wide(FForm->UserID);
  info[1] = Variant::Wide(FForm->CompanyID);
  info[2] = Variant::Wide(FForm->ProgramID);
  info[3] = Variant::Wide(FForm->ProgramName);
  return 0;
}

void TDLLRPCtrller::DoFormShow(TObject* sender) {
  FOldOnShow(sender);
  TDLLBaseController::DoFormShow(sender);
}

void TDLLRPCtrller::DoFormHide(TObject* sender) {
  FOldOnHide(sender);
  TDLLBaseController::DoFormHide(sender);
}

void TDLLRPCtrller::DoFormDestroy(TObject* sender) {
  if (FForm != nullptr) {
    ResultCode = FForm->ResultCode;
    ResultData = FForm->ResultData;
    FOldOnDestroy(sender);
    TDLLBaseController::DoFormDestroy(sender);
  }
  FForm = nullptr;
}
