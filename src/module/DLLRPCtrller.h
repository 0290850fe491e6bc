// The report controller: owns at most one report form, creates and initialises it, shows
// and hides it, forwards the shell's calls, reports its life through OnNotify and keeps
// its result after the form is gone.
#pragma once

#include "BaseGene.h"
#include "DLLBaseCtrller.h"

// The report form class the controller creates; set by the library's start-up block.
extern TClass frmBaseGeneClass;

class TDLLRPCtrller : public TDLLBaseController {
  KXBR_CLASS(TDLLRPCtrller, TDLLBaseController)

 public:
  TDLLRPCtrller() = default;
  ~TDLLRPCtrller() override;
  TDLLRPCtrller(const TDLLRPCtrller&) = delete;
  TDLLRPCtrller& operator=(const TDLLRPCtrller&) = delete;

  std::string GetVersion() override;
  WordBool GetVisible() override;
  void SetVisible(WordBool value) override;
  HWND GetHandle() override;
  // A second call on a controller that already has its form does not hook the form again;
  // it hands the parameters to the form once more (the form answers for itself).
  int32_t Initialize(const Variant& params) override;
  int32_t Execute(const Variant& params) override;
  int32_t DoCommand(int32_t command, int32_t reserved, const Variant& data) override;
  Variant ShowModal() override;
  void CloseForm() override;
  int32_t GetInfo(Variant& info) override;
  bool IsClosed() override { return FForm == nullptr; }
  void DoFormShow(TObject* sender) override;
  void DoFormHide(TObject* sender) override;
  void DoFormDestroy(TObject* sender) override;

  TfrmBaseGene* Form() const { return FForm; }

 private:
  int32_t CallForm(bool fromExecute, const Variant& data);

  TfrmBaseGene* FForm = nullptr;
  TNotifyEvent FOldOnShow;
  TNotifyEvent FOldOnHide;
  TNotifyEvent FOldOnDestroy;
};

// The controller unit's initialisation: sets DLLControllerClass (once).
void DLLRPCtrllerInitialization();
