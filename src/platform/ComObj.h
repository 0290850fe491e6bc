// Automation objects by ProgID and late-bound calls.
//
// CreateOleObject looks a ProgID up first among the factories registered in this process,
// then in the registry stand-in's ProgID table, which names a shared library and the
// factory it exports:  extern "C" void Factory(DispatchPtr* out);
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "SysUtils.h"
#include "Variant.h"

// The failure of an automation call that has an HRESULT of its own.
class EOleSysError : public EOleError {
 public:
  EOleSysError(std::string message, int32_t errorCode)
      : EOleError(std::move(message)), code_(errorCode) {}
  const char* ClassName() const override { return "EOleSysError"; }
  int32_t ErrorCode() const { return code_; }

 private:
  int32_t code_;
};

inline constexpr int32_t CO_E_CLASSSTRING = static_cast<int32_t>(0x800401F3);
inline constexpr int32_t DISP_E_UNKNOWNNAME = static_cast<int32_t>(0x80020006);
inline constexpr int32_t DISP_E_BADPARAMCOUNT = static_cast<int32_t>(0x8002000E);
inline constexpr int32_t REGDB_E_CLASSNOTREG = static_cast<int32_t>(0x80040154);

using DispatchFactory = std::function<DispatchPtr()>;
using DispatchLibraryFactory = void (*)(DispatchPtr* out);

// In-process registration (tests, the local server path). Replaces an earlier factory.
void RegisterProgID(const std::string& progID, DispatchFactory factory);
void UnregisterProgID(const std::string& progID);

// Raises EOleSysError "Invalid class string" for an unknown ProgID and "Class not
// registered" when its library or factory cannot be loaded.
DispatchPtr CreateOleObject(const std::string& progID);

// A dispatch object whose members are registered by name (compared without regard to
// case). Unknown names raise EOleSysError "Unknown name.".
class TAutoObject : public IDispatch {
 public:
  using Method = std::function<Variant(std::vector<Variant>& args)>;
  using Getter = std::function<Variant()>;
  using Setter = std::function<void(const Variant&)>;

  Variant Invoke(const std::string& name, std::vector<Variant>& args) override;
  Variant GetProperty(const std::string& name) override;
  void SetProperty(const std::string& name, const Variant& value) override;

 protected:
  void AddMethod(const std::string& name, Method method);
  void AddProperty(const std::string& name, Getter getter, Setter setter = nullptr);
  // Raises EOleSysError "Invalid number of parameters." unless args has `count` entries.
  static void CheckArgCount(const std::vector<Variant>& args, size_t count);

 private:
  struct Member {
    Method method;
    Getter getter;
    Setter setter;
  };
  const Member& Find(const std::string& name) const;
  std::map<std::string, Member> members_;  // upper-cased name
};

// Late-bound call helpers over a Variant holding a dispatch object.
Variant OleInvoke(const Variant& object, const std::string& name, std::vector<Variant>& args);
Variant OleInvoke(const Variant& object, const std::string& name, std::vector<Variant>&& args = {});
Variant OleGet(const Variant& object, const std::string& name);
void OleSet(const Variant& object, const std::string& name, const Variant& value);
