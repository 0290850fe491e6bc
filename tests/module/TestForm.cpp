#include "TestForm.h"

#include "ComObj.h"
#include "Paths.h"
#include "TypInfo.h"

KXBR_DEFINE_CLASS(TfrmTestGene, .Method<&TfrmTestGene::FormShow>("FormShow")
                                    .Method<&TfrmTestGene::FormHide>("FormHide")
                                    .Method<&TfrmTestGene::FormDestroy>("FormDestroy"))

TfrmTestGene::TfrmTestGene(TComponent* owner) : TfrmBaseGene(owner) {
  VersionText = "870401-0.00.00";
  ProgramName = "结转单明细表";
  SetOnShow(MethodOf<&TfrmTestGene::FormShow>(this));
  SetOnHide(MethodOf<&TfrmTestGene::FormHide>(this));
  SetOnDestroy(MethodOf<&TfrmTestGene::FormDestroy>(this));
}

void TfrmTestGene::Record(const std::string& text) {
  if (HostApp.VarType() == varDispatch) OleInvoke(HostApp, "Record", {Variant(text)});
}

bool TfrmTestGene::InitParams(const Variant& params) {
  if (!CompanyID.empty() || !params.IsArray() || VarArrayDimCount(params) != 1) return false;
  const int low = VarArrayLowBound(params, 1);
  if (VarArrayHighBound(params, 1) < low + 2) return false;
  UserID = params[low].AsString();
  CompanyID = params[low + 1].AsString();
  ProgramID = ChangeFileExt(ExtractFileName(ModulePath), "");
  Record("init " + UserID + " " + CompanyID);
  return !UserID.empty() && !CompanyID.empty();
}

void TfrmTestGene::ExternalCall(const Variant& params) {
  const bool fromExecute = params[0].AsBoolean();
  const std::string data = params[1].AsString();
  Record(std::string(fromExecute ? "execute " : "command ") + data);
  if (data.rfind("accept:", 0) == 0) {
    ResultCode = 1;
    ResultData = Variant::Wide(data.substr(7));
    Close();
  } else if (data == "cancel") {
    Close();
    ResultCode = 2;  // set after the close request, as the cancel button does
  } else if (data == "close") {
    Close();
  } else if (data == "fail") {
    throw Exception("the form refused the call");
  }
}

void TfrmTestGene::FormShow(TObject*) {
  Record("form shown");
}

void TfrmTestGene::FormHide(TObject*) {
  Record("form hidden");
}

void TfrmTestGene::FormDestroy(TObject*) {
  Record("form destroyed");
}
