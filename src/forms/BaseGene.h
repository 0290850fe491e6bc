// The base of every report form of the module: the form frame (scheme panel, option pages,
// OK and Cancel), what the controller drives (module file name, the host's application
// object, initialisation and external calls) and what it reads back (version, identity and
// the job outcome).
#pragma once

#include <string>

#include "ComCtrls.h"
#include "DBClient.h"
#include "DBLabel.h"
#include "ExtCtrls.h"
#include "ExtPage.h"
#include "F2Button.h"
#include "ImgList.h"
#include "Mask.h"
#include "Menus.h"
#include "QMForm.h"
#include "SConnect.h"
#include "StdCtrls.h"
#include "Variant.h"

class TfrmBaseGene : public TQMForm {
  KXBR_CLASS(TfrmBaseGene, TQMForm)

 public:
  explicit TfrmBaseGene(TComponent* owner);

  // The full path of the module that holds the form.
  virtual void SetModuleFileName(const std::string& path) { ModulePath = path; }
  // Takes the shell's parameters; false when the form could not be initialised.
  virtual bool InitParams(const Variant& params) = 0;
  // A call of the shell into the form: [from Execute (true) or DoCommand (false), data].
  virtual void ExternalCall(const Variant& params) = 0;

  // The common form's show (language packs), the first option page, the one-time
  // conversion of the interface texts.
  void FormShow(TObject* sender);

  // Published fields, created from the form resource.
  TPanel* pnlCondition = nullptr;
  TLabel* lblCondition = nullptr;
  TToolBar* ToolBar1 = nullptr;
  TToolButton* btnInsert = nullptr;
  TToolButton* btnOpen = nullptr;
  TToolButton* btnDelete = nullptr;
  TToolButton* ToolButton1 = nullptr;
  TListView* lstCondition = nullptr;
  TSplitter* Splitter1 = nullptr;
  TExtPageControl* pgOption = nullptr;
  TTabSheet* tsOption1 = nullptr;
  TTabSheet* tsOption2 = nullptr;
  TDBLabel* lblToday = nullptr;
  TMaskEdit* edPrintDate = nullptr;
  TF2Button* btnPrintDate = nullptr;
  TPanel* Panel1 = nullptr;
  TButton* btnOk = nullptr;
  TButton* btnCancel = nullptr;
  TPopupMenu* muOperation = nullptr;
  TMenuItem* N2 = nullptr;
  TMenuItem* N3 = nullptr;
  TPopupMenu* mnList = nullptr;
  TMenuItem* N7 = nullptr;
  TMenuItem* N8 = nullptr;
  TMenuItem* N9 = nullptr;
  TMenuItem* N10 = nullptr;
  TImageList* ImageList1 = nullptr;
  TImageList* ImageList2 = nullptr;
  TSocketConnection* MainMidas = nullptr;
  TSimpleObjectBroker* ObjBroker = nullptr;
  TwwClientDataSet* ClientDataSet1 = nullptr;

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
