// The host shell's application object, HostApp, headless: message texts, product id,
// help requests, the server's file lists and the three service objects, all answered
// from the demo ERP database. The Qt shell reuses it and installs a dialog chooser.
//
//   GetMessage(type, number)   the catalogue text in the object's Language ("CHS",
//                              "CHT", "ENG"; a text missing in a language falls back to
//                              "CHS"); numbers of fewer than six digits are padded; an
//                              unknown message answers a text naming type and number
//   ProductID                  the product id (property)
//   Language                   the language of message texts (property, settable)
//   CallHelp([system, topic])  recorded (HelpCalls); a person's shell opens the help
//   GetFileList(file name)     "<FileList><File><Name>..</Name><Modify>..</Modify>
//                              <Path>..</Path></File></FileList>" for a library the
//                              server keeps, "" for any other
//   Com_Counter, Com_Validator, Com_F2Window   the service objects (properties; the same
//                              object on every read)
//
// Environment, read by HostOptionsFromEnvironment (the library's factory uses it):
//   ORVANT_DEMO_DB        the demo database file (required)
//   ORVANT_SERVER_DB      the application server's store, for the scheme-name check
//   ORVANT_LOOKUP_SCRIPT  a file of scripted lookup answers (LookupChooser.h); without
//                         it every lookup window is cancelled
// The language follows the system code page: 950 "CHT", 437 "ENG", otherwise "CHS".
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "CounterObject.h"
#include "HostCommon.h"
#include "HostDatabase.h"
#include "LookupChooser.h"
#include "LookupWindow.h"
#include "ValidatorObject.h"

inline constexpr const char* kHostAppProgID = "TarselWorkCenter.Manager";

struct THostOptions {
  std::string DatabasePath;
  std::string SchemeDatabasePath;  // empty: the scheme-name check fails with a clear text
  std::shared_ptr<TLookupChooser> Chooser;
  std::string Language;  // empty: from the system code page
  int ProductID = 1;
};

// Options from the environment (see above); raises EHostError when ORVANT_DEMO_DB is not
// set or the lookup script cannot be read.
THostOptions HostOptionsFromEnvironment();

class THostApp : public THostServiceObject {
 public:
  struct THelpCall {
    std::string System;
    std::string Topic;
  };

  // Opens the database; raises EHostError when it cannot.
  explicit THostApp(const THostOptions& options);

  std::string GetMessage(const Variant& type, const Variant& number);
  int ProductID() const { return productID_; }
  const std::string& Language() const { return language_; }
  // Raises EHostError for anything but "CHS", "CHT" and "ENG" (any case).
  void SetLanguage(const std::string& language);
  void CallHelp(const Variant& args);
  const std::vector<THelpCall>& HelpCalls() const { return helpCalls_; }
  std::string GetFileList(const Variant& fileName);

  const std::shared_ptr<TCounterObject>& Counter() const { return counter_; }
  const std::shared_ptr<TValidatorObject>& Validator() const { return validator_; }
  const std::shared_ptr<TLookupWindow>& LookupWindow() const { return lookupWindow_; }

 private:
  std::shared_ptr<THostDatabase> database_;
  std::shared_ptr<TCounterObject> counter_;
  std::shared_ptr<TValidatorObject> validator_;
  std::shared_ptr<TLookupWindow> lookupWindow_;
  std::string language_;
  int productID_;
  std::vector<THelpCall> helpCalls_;
};

// Registers kHostAppProgID in this process: every CreateOleObject of it makes a new
// THostApp with these options.
void RegisterTarselWorkCenter(THostOptions options);
// The same with the options the environment holds when an object is created.
void RegisterTarselWorkCenter();
