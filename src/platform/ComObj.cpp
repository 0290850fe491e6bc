#include "ComObj.h"

#include <mutex>

#include "DynLib.h"
#include "Registry.h"

namespace {

struct FactoryTable {
  std::mutex lock;
  std::map<std::string, DispatchFactory> factories;  // upper-cased ProgID
};

FactoryTable& Factories() {
  static FactoryTable table;
  return table;
}

// Libraries loaded for ProgIDs stay loaded for the life of the process: the objects they
// created may outlive any one caller.
DispatchFactory LibraryFactory(const ProgIDEntry& entry) {
  HMODULE lib = LoadLibrary(entry.Library);
  if (lib == nullptr) return nullptr;
  auto factory = reinterpret_cast<DispatchLibraryFactory>(GetProcAddress(lib, entry.Factory));
  if (factory == nullptr) return nullptr;
  return [factory] {
    DispatchPtr out;
    factory(&out);
    return out;
  };
}

IDispatch& DispatchOf(const Variant& object) {
  if (object.VarType() != varDispatch || !object.RawDispatch())
    throw EOleError("Variant does not reference an automation object");
  return *object.RawDispatch();
}

}  // namespace

void RegisterProgID(const std::string& progID, DispatchFactory factory) {
  std::lock_guard guard(Factories().lock);
  Factories().factories[UpperCase(progID)] = std::move(factory);
}

void UnregisterProgID(const std::string& progID) {
  std::lock_guard guard(Factories().lock);
  Factories().factories.erase(UpperCase(progID));
}

DispatchPtr CreateOleObject(const std::string& progID) {
  DispatchFactory factory;
  {
    std::lock_guard guard(Factories().lock);
    const auto it = Factories().factories.find(UpperCase(progID));
    if (it != Factories().factories.end()) factory = it->second;
  }
  if (!factory) {
    const auto entry = LookupProgID(progID);
    if (!entry) throw EOleSysError("Invalid class string", CO_E_CLASSSTRING);
    factory = LibraryFactory(*entry);
    if (!factory) throw EOleSysError("Class not registered", REGDB_E_CLASSNOTREG);
  }
  DispatchPtr object = factory();
  if (!object) throw EOleSysError("Class not registered", REGDB_E_CLASSNOTREG);
  return object;
}

void TAutoObject::AddMethod(const std::string& name, Method method) {
  members_[UpperCase(name)].method = std::move(method);
}

void TAutoObject::AddProperty(const std::string& name, Getter getter, Setter setter) {
  Member& member = members_[UpperCase(name)];
  member.getter = std::move(getter);
  member.setter = std::move(setter);
}

void TAutoObject::CheckArgCount(const std::vector<Variant>& args, size_t count) {
  if (args.size() != count)
    throw EOleSysError("Invalid number of parameters.", DISP_E_BADPARAMCOUNT);
}

const TAutoObject::Member& TAutoObject::Find(const std::string& name) const {
  const auto it = members_.find(UpperCase(name));
  if (it == members_.end()) throw EOleSysError("Unknown name.", DISP_E_UNKNOWNNAME);
  return it->second;
}

Variant TAutoObject::Invoke(const std::string& name, std::vector<Variant>& args) {
  const Member& member = Find(name);
  if (member.method) return member.method(args);
  // A property read through a call, as late binding allows.
  if (member.getter && args.empty()) return member.getter();
  throw EOleSysError("Unknown name.", DISP_E_UNKNOWNNAME);
}

Variant TAutoObject::GetProperty(const std::string& name) {
  const Member& member = Find(name);
  if (member.getter) return member.getter();
  if (member.method) {  // a method without arguments may be read as a property
    std::vector<Variant> none;
    return member.method(none);
  }
  throw EOleSysError("Unknown name.", DISP_E_UNKNOWNNAME);
}

void TAutoObject::SetProperty(const std::string& name, const Variant& value) {
  const Member& member = Find(name);
  if (!member.setter) throw EOleSysError("Unknown name.", DISP_E_UNKNOWNNAME);
  member.setter(value);
}

Variant OleInvoke(const Variant& object, const std::string& name, std::vector<Variant>& args) {
  return DispatchOf(object).Invoke(name, args);
}

Variant OleInvoke(const Variant& object, const std::string& name, std::vector<Variant>&& args) {
  return DispatchOf(object).Invoke(name, args);
}

Variant OleGet(const Variant& object, const std::string& name) {
  return DispatchOf(object).GetProperty(name);
}

void OleSet(const Variant& object, const std::string& name, const Variant& value) {
  DispatchOf(object).SetProperty(name, value);
}
