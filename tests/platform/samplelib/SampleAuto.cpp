// An automation object in its own library, created through the ProgID table.
#include "ComObj.h"

namespace {

class TSampleObject : public TAutoObject {
 public:
  TSampleObject() {
    AddMethod("Add", [](std::vector<Variant>& args) {
      CheckArgCount(args, 2);
      return Variant(args[0].AsInteger() + args[1].AsInteger());
    });
    // Writes its result into the first argument, as out-parameters do.
    AddMethod("Swap", [](std::vector<Variant>& args) {
      CheckArgCount(args, 2);
      std::swap(args[0], args[1]);
      return Variant();
    });
    AddMethod("Fail",
              [](std::vector<Variant>&) -> Variant { throw Exception("callee's own text"); });
    AddProperty(
        "Name", [this] { return Variant::Wide(name_); },
        [this](const Variant& v) { name_ = v.AsString(); });
  }

 private:
  std::string name_ = "sample";
};

}  // namespace

extern "C" void CreateSampleObject(DispatchPtr* out) {
  *out = std::make_shared<TSampleObject>();
}
