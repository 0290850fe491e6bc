// Drives the report controller the way the shell does: the module library is loaded by
// name, its one export creates the controller, and everything goes through the shared
// controller declaration, the notification callback and the host application object.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "ComObj.h"
#include "DLLBaseCtrller.h"
#include "DynLib.h"
#include "Forms.h"
#include "TypInfo.h"

namespace {

// The shell's side: the notifications received, and what the form told the host object.
class TShellLog : public TObject {
  KXBR_CLASS(TShellLog, TObject)

 public:
  std::vector<std::string> Entries;
  void Notify(int32_t code, TObject*) { Entries.push_back(std::to_string(code)); }
};

class TRecordingHostApp : public TAutoObject {
 public:
  explicit TRecordingHostApp(std::vector<std::string>& log) {
    AddMethod("Record", [&log](std::vector<Variant>& args) {
      CheckArgCount(args, 1);
      log.push_back(args[0].AsString());
      return Variant();
    });
  }
};

using TGetController = TDLLBaseController* (*)();

class ModuleHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetModuleSearchFolder(KXBR_MODULE_DIR);
    module_ = LoadLibrary("KXBR07T.so");
    ASSERT_NE(module_, nullptr) << SysErrorMessage(GetLastError());
    getController_ = reinterpret_cast<TGetController>(GetProcAddress(module_, "GetController"));
    ASSERT_NE(getController_, nullptr);
    NewController();
  }
  void TearDown() override {
    controller_.reset();
    FreeLibrary(module_);
    SetModuleSearchFolder("");
  }
  // A fresh controller wired like the shell wires it: callback and host object first.
  void NewController() {
    controller_.reset(getController_());
    log_.Entries.clear();
    controller_->OnNotify = MethodOf<&TShellLog::Notify>(&log_);
    controller_->HostApp = Variant(DispatchPtr(std::make_shared<TRecordingHostApp>(log_.Entries)));
  }

  Variant Params() {
    return VarArrayOf(
        {Variant::Wide("U01"), Variant::Wide("C1"), Variant::Wide("DB1"), Variant(0)});
  }
  void Start() {
    ASSERT_EQ(controller_->Initialize(Params()), 0);
    log_.Entries.clear();
  }

  HMODULE module_ = nullptr;
  TGetController getController_ = nullptr;
  TShellLog log_;
  std::unique_ptr<TDLLBaseController> controller_;
};

}  // namespace

KXBR_DEFINE_CLASS(TShellLog, )

TEST_F(ModuleHostTest, NewControllerAnswersForAMissingForm) {
  EXPECT_TRUE(controller_->IsClosed());
  EXPECT_EQ(controller_->GetVisible(), 0);
  EXPECT_EQ(controller_->GetHandle(), 0u);
  EXPECT_EQ(controller_->ShowModal().AsInteger(), 2);
  Variant info("untouched");
  EXPECT_EQ(controller_->GetInfo(info), -1);
  EXPECT_EQ(info, Variant("untouched"));
  EXPECT_EQ(controller_->Execute(Params()), -1);
  EXPECT_EQ(controller_->DoCommand(5, 0, Variant("x")), -1);
  EXPECT_EQ(controller_->GetVersion(), "");
  EXPECT_EQ(controller_->ResultCode, 0);
  controller_->CloseForm();
  EXPECT_TRUE(log_.Entries.empty());
}

TEST_F(ModuleHostTest, InitializeCreatesTheFormOnceAndHooksItOnce) {
  EXPECT_EQ(controller_->Initialize(Params()), 0);
  EXPECT_EQ(log_.Entries, (std::vector<std::string>{"256", "init U01 C1"}));
  EXPECT_FALSE(controller_->IsClosed());
  EXPECT_EQ(controller_->GetVersion(), "870401-0.00.00");
  Variant info;
  ASSERT_EQ(controller_->GetInfo(info), 0);
  EXPECT_EQ(VarArrayLowBound(info, 1), 0);
  EXPECT_EQ(VarArrayHighBound(info, 1), 3);
  EXPECT_EQ(info[0], Variant::Wide("U01"));
  EXPECT_EQ(info[1], Variant::Wide("C1"));
  EXPECT_EQ(info[2], Variant::Wide("KXBR07T"));  // from the module's own file name
  EXPECT_EQ(info[3], Variant::Wide("结转单明细表"));

  // A second call hands the parameters on (the form refuses) but hooks nothing again.
  log_.Entries.clear();
  EXPECT_EQ(controller_->Initialize(Params()), -1);
  controller_->SetVisible(kWordTrue);
  EXPECT_EQ(log_.Entries, (std::vector<std::string>{"form shown", "272"}));
}

TEST_F(ModuleHostTest, ShowAndHideNotifyAfterTheFormsOwnHandlers) {
  Start();
  controller_->SetVisible(kWordTrue);
  EXPECT_EQ(controller_->GetVisible(), kWordTrue);
  EXPECT_NE(controller_->GetHandle(), 0u);
  EXPECT_EQ(GetForegroundWindow(), controller_->GetHandle());
  controller_->SetVisible(kWordFalse);
  EXPECT_EQ(controller_->GetVisible(), kWordFalse);
  EXPECT_EQ(log_.Entries, (std::vector<std::string>{"form shown", "272", "form hidden", "288"}));
}

TEST_F(ModuleHostTest, ExecuteAndCommandsReachTheForm) {
  Start();
  struct Case {
    const char* name;
    std::function<int32_t()> call;
    int32_t result;
    std::vector<std::string> records;
  } cases[] = {
      {"command 5",
       [&] { return controller_->DoCommand(5, 0, Variant("five")); },
       0,
       {"command five"}},
      {"command 9",
       [&] { return controller_->DoCommand(9, 0, Variant("nine")); },
       0,
       {"command nine"}},
      {"command 7", [&] { return controller_->DoCommand(7, 0, Variant("seven")); }, -1, {}},
      {"execute",
       [&] {
         return controller_->Execute(VarArrayOf({Variant(1), Variant("run")}));
       },
       0,
       {"execute run"}},
      {"execute Null", [&] { return controller_->Execute(Variant::Null()); }, -1, {}},
      {"execute a text", [&] { return controller_->Execute(Variant("run")); }, -1, {}},
      {"execute without element 1",
       [&] { return controller_->Execute(VarArrayOf({Variant(1)})); },
       -1,
       {}},
      {"the form raises",
       [&] { return controller_->DoCommand(5, 0, Variant("fail")); },
       -1,
       {"command fail"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    log_.Entries.clear();
    EXPECT_EQ(c.call(), c.result);
    EXPECT_EQ(log_.Entries, c.records);
  }
}

TEST_F(ModuleHostTest, EveryEndOfTheFormNotifiesOnceAndKeepsTheResult) {
  struct Case {
    const char* name;
    std::function<void(TDLLBaseController&)> end;
    int32_t resultCode;
    Variant resultData;
  } cases[] = {
      {"shell closes the form", [](TDLLBaseController& c) { c.CloseForm(); }, 0, Variant()},
      {"accepted request",
       [](TDLLBaseController& c) { c.DoCommand(5, 0, Variant("accept:2024031500010001")); }, 1,
       Variant::Wide("2024031500010001")},
      {"cancel button", [](TDLLBaseController& c) { c.DoCommand(5, 0, Variant("cancel")); }, 2,
       Variant()},
      {"window closed", [](TDLLBaseController& c) { c.DoCommand(5, 0, Variant("close")); }, 0,
       Variant()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    NewController();
    Start();
    controller_->SetVisible(kWordTrue);
    c.end(*controller_);
    Application()->ProcessMessages();  // a form that closed itself is freed from the queue
    EXPECT_TRUE(controller_->IsClosed());
    EXPECT_EQ(std::count(log_.Entries.begin(), log_.Entries.end(), "304"), 1);
    EXPECT_EQ(controller_->ResultCode, c.resultCode);
    EXPECT_EQ(controller_->ResultData, c.resultData);
    controller_->CloseForm();  // nothing left to close
    EXPECT_EQ(std::count(log_.Entries.begin(), log_.Entries.end(), "304"), 1);
  }
}

TEST_F(ModuleHostTest, FreeingTheControllerFreesTheForm) {
  Start();
  controller_.reset();
  EXPECT_EQ(log_.Entries, (std::vector<std::string>{"form destroyed", "304"}));
}

TEST_F(ModuleHostTest, ShowModalAnswersTheModalResult) {
  Start();
  // The shell and the module share one class library: the user's answer inside the modal
  // loop is scripted on the shell's side.
  HeadlessModalRunner()->Enqueue([](TCustomForm* form) { form->SetModalResult(mrOk); });
  EXPECT_EQ(controller_->ShowModal().AsInteger(), mrOk);
  EXPECT_EQ(log_.Entries[0], "form shown");
  Application()->ProcessMessages();
  EXPECT_TRUE(controller_->IsClosed());  // a report form frees itself when it closes
  EXPECT_EQ(std::count(log_.Entries.begin(), log_.Entries.end(), "304"), 1);
}

TEST_F(ModuleHostTest, SilentWithoutACallback) {
  controller_->OnNotify = nullptr;
  std::vector<std::string> records;
  controller_->HostApp = Variant(DispatchPtr(std::make_shared<TRecordingHostApp>(records)));
  ASSERT_EQ(controller_->Initialize(Params()), 0);
  controller_->SetVisible(kWordTrue);
  controller_->CloseForm();
  EXPECT_TRUE(log_.Entries.empty());
  EXPECT_EQ(records.back(), "form destroyed");
}

TEST(ReportModule, WithoutAFormClassInitializeNamesTheMissingClass) {
  SetModuleSearchFolder(KXBR_MODULE_DIR);
  HMODULE module = LoadLibrary("KXBR07C.so");
  ASSERT_NE(module, nullptr) << SysErrorMessage(GetLastError());
  auto getController = reinterpret_cast<TGetController>(GetProcAddress(module, "GetController"));
  ASSERT_NE(getController, nullptr);
  std::unique_ptr<TDLLBaseController> controller(getController());
  try {
    controller->Initialize(Variant());
    ADD_FAILURE() << "initialised without a form class";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "QMT DLL Internal Error :\rNot Assign \"frmBaseGeneClass\" varible");
  }
  EXPECT_TRUE(controller->IsClosed());
  SetModuleSearchFolder("");
}

TEST(ControllerUnit, GetControllerBeforeTheUnitInitialisedNamesTheClass) {
  const TClass saved = DLLControllerClass;
  DLLControllerClass = nullptr;
  try {
    delete CreateDLLController();
    ADD_FAILURE() << "a controller without a class";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "QMT DLL Internal Error :\rNot Assign \"DLLControllerClass\" varible");
  }
  DLLControllerClass = saved;
}
