// A fresh demo database for each test suite, and a host application object over it with a
// scripted chooser, called late-bound as the forms call it.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "HostApp.h"
#include "TempFolder.h"

class HostFixture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = std::make_unique<TempFolder>();
    databasePath_ = folder_->Path() + "/demo.db";
    CreateDemoDatabase(databasePath_);
  }
  static void TearDownTestSuite() { folder_.reset(); }

  void SetUp() override {
    chooser_ = std::make_shared<TScriptedChooser>();
    app_ = std::make_shared<THostApp>(THostOptions{databasePath_, "", chooser_, "CHS"});
    host_ = Variant(DispatchPtr(app_));
  }

  static const std::string& DatabasePath() { return databasePath_; }
  static const TempFolder& Folder() { return *folder_; }

  Variant Service(const char* property) const { return OleGet(host_, property); }
  std::string ErrorTextOf(const Variant& object) const {
    return OleGet(object, "ErrorText").AsString();
  }

  std::shared_ptr<TScriptedChooser> chooser_;
  std::shared_ptr<THostApp> app_;
  Variant host_;

 private:
  static inline std::unique_ptr<TempFolder> folder_;
  static inline std::string databasePath_;
};

// The text of the exception `call` raises ("no exception" when none).
inline std::string FailureOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "no exception";
}

// Element `column` of row `row` of a table answer, as text.
inline std::string Cell(const Variant& rows, int row, int column) {
  return VarToStr(rows[row][column]);
}
