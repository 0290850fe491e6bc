// The controller base the shell and the module share: its fields and the order of its
// virtual operations are the calling contract with the shell. Never reorder, insert or
// remove an operation; the types are the automation-compatible ones.
#pragma once

#include <cstdint>
#include <string>

#include "Events.h"
#include "Messages.h"
#include "System.h"
#include "Variant.h"

using WordBool = int16_t;  // automation Boolean: true = -1
inline constexpr WordBool kWordTrue = -1;
inline constexpr WordBool kWordFalse = 0;

// The shell's callback: a notification code and the controller that sends it.
using TDLLNotifyEvent = TEvent<void(int32_t Code, TObject* Sender)>;

inline constexpr int32_t kNotifyFormCreate = 0x100;
inline constexpr int32_t kNotifyFormShow = 0x110;
inline constexpr int32_t kNotifyFormHide = 0x120;
inline constexpr int32_t kNotifyFormDestroy = 0x130;
inline constexpr int32_t kNotifyReserved = 0x140;

class TDLLBaseController : public TObject {
  KXBR_CLASS(TDLLBaseController, TObject)

 public:
  // Fields the shell reads and writes directly.
  Variant HostApp;
  int32_t ResultCode = 0;
  Variant ResultData;
  TDLLNotifyEvent OnNotify;

  // The operation table, in its fixed order.
  virtual std::string GetVersion() = 0;                                                   // 1
  virtual WordBool GetVisible() = 0;                                                      // 2
  virtual void SetVisible(WordBool value) = 0;                                            // 3
  virtual HWND GetHandle() = 0;                                                           // 4
  virtual int32_t Initialize(const Variant& params) = 0;                                  // 5
  virtual int32_t Execute(const Variant& params) = 0;                                     // 6
  virtual int32_t DoCommand(int32_t command, int32_t reserved, const Variant& data) = 0;  // 7
  virtual Variant ShowModal() = 0;                                                        // 8
  virtual void CloseForm() = 0;                                                           // 9
  virtual int32_t GetInfo(Variant& info) = 0;                                             // 10
  virtual bool IsClosed() = 0;                                                            // 11
  virtual void DoFormCreate(TObject* sender);                                             // 12
  virtual void DoFormShow(TObject* sender);                                               // 13
  virtual void DoFormHide(TObject* sender);                                               // 14
  virtual void DoFormDestroy(TObject* sender);                                            // 15
  virtual void DoNotifyReserved(TObject* sender);                                         // 16
  virtual void DoNotify(int32_t code);                                                    // 17
  virtual void Reserved();                                                                // 18
};

// The class the export creates; set by the controller unit's initialisation.
extern TClass DLLControllerClass;

// What the export GetController does: a new controller of DLLControllerClass, owned by
// the caller. Raises Exception "QMT DLL Internal Error :\rNot Assign "DLLControllerClass"
// varible" while the class is not set.
TDLLBaseController* CreateDLLController();
