// A report form for driving the controller through the module library: it takes the
// shell's parameters, reports what happens to it through the host application object
// ("Record"), and answers the shell's external calls with the outcomes a report form has.
#pragma once

#include "BaseGene.h"

class TfrmTestGene : public TfrmBaseGene {
  KXBR_CLASS(TfrmTestGene, TfrmBaseGene)

 public:
  explicit TfrmTestGene(TComponent* owner);

  // [user, company, company key, window handle, ...]; false for anything else and once
  // the form holds a company (it is initialised once).
  bool InitParams(const Variant& params) override;
  // [from Execute, data]. Data "accept:<reply>" accepts a request and closes, "cancel"
  // cancels and closes, "close" closes, "fail" raises; anything else is only recorded.
  void ExternalCall(const Variant& params) override;

  void FormShow(TObject* sender);
  void FormHide(TObject* sender);
  void FormDestroy(TObject* sender);

 private:
  void Record(const std::string& text);
};
