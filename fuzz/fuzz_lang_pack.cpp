// Applies arbitrary pack text to a form with the component kinds packs reach. Packs are
// data of the installation: nothing in them may crash the form.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ComCtrls.h"
#include "Forms.h"
#include "LanguageController.h"
#include "StdCtrls.h"

namespace {

class TPackForm : public TForm {
 public:
  TPackForm() : TForm(nullptr) {
    SetName("frmPack");
    auto* label = new TLabel(this);
    label->SetName("lblA");
    auto* combo = new TComboBox(this);
    combo->SetName("cboA");
    combo->Items()->SetText("a\r\nb\r\n");
    combo->SetItemIndex(1);
    auto* list = new TListView(this);
    list->SetName("lstA");
    list->Columns()->Add();
    list->Items()->Add()->SetCaption("r");
    auto* tree = new TTreeView(this);
    tree->SetName("tvA");
    tree->Items()->AddChild(tree->Items()->Add(nullptr, "n0"), "n1");
    auto* memo = new TMemo(this);
    memo->SetName("memA");
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TPackForm form;
  TQmLangController controller(nullptr);
  controller.ExcludeControls()->Add("memA");
  controller.XMLText()->SetText(std::string(reinterpret_cast<const char*>(data), size));
  try {
    controller.SetActive(true);
  } catch (const LanguageControllerError&) {
    return 0;  // a pack that does not parse is refused with the parser's reason
  }
  controller.Reader()->ReadComponent(&form);
  return 0;
}
