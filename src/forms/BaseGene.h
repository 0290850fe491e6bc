// The base of every report form of the module: what the controller drives (module file
// name, the host's application object, initialisation and external calls) and what it
// reads back (version, identity and the job outcome).
#pragma once

#include <string>

#include "Forms.h"
#include "Variant.h"

class TfrmBaseGene : public TForm {
  KXBR_CLASS(TfrmBaseGene, TForm)

 public:
  explicit TfrmBaseGene(TComponent* owner);

  // The full path of the module that holds the form.
  virtual void SetModuleFileName(const std::string& path) { ModulePath = path; }
  // Takes the shell's parameters; false when the form could not be initialised.
  virtual bool InitParams(const Variant& params) = 0;
  // A call of the shell into the form: [from Execute (true) or DoCommand (false), data].
  virtual void ExternalCall(const Variant& params) = 0;

  Variant HostApp;
  std::string ModulePath;
  std::string VersionText;
  std::string UserID;
  std::string CompanyID;
  std::string ProgramID;
  std::string ProgramName;
  int32_t ResultCode = 0;  // 0 nothing submitted, 1 accepted, 2 cancelled
  Variant ResultData;

 protected:
  // A report form frees itself when it is closed.
  void DoClose(TCloseAction& action) override;
};
