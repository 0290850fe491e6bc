#include "LanguageController.h"

#include <map>

#include "ComCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "TypInfo.h"

KXBR_DEFINE_CLASS(TLangReader, )
KXBR_DEFINE_CLASS(TLanguageController, )
KXBR_DEFINE_CLASS(
    TQmLangController,
    .Prop<&TQmLangController::Active, &TQmLangController::SetActive>("Active")
        .Prop<&TQmLangController::LangPackageName, &TQmLangController::SetLangPackageName>(
            "LangPackageName")
        .Prop<&TQmLangController::ExcludeControls, &TQmLangController::SetExcludeControls>(
            "ExcludeControls")
        .Prop<&TQmLangController::DesignType, &TQmLangController::SetDesignType>("DesignType")
        .Prop<&TQmLangController::BeforeOpen, &TQmLangController::SetBeforeOpen>("BeforeOpen")
        .Prop<&TQmLangController::AfterOpen, &TQmLangController::SetAfterOpen>("AfterOpen")
        .Prop<&TQmLangController::BeforeClose, &TQmLangController::SetBeforeClose>("BeforeClose")
        .Prop<&TQmLangController::AfterClose, &TQmLangController::SetAfterClose>("AfterClose")
        .Prop<&TQmLangController::BeforeLoadComponent, &TQmLangController::SetBeforeLoadComponent>(
            "BeforeLoadComponent")
        .Prop<&TQmLangController::AfterLoadComponent, &TQmLangController::SetAfterLoadComponent>(
            "AfterLoadComponent"))

namespace {

// "Items_3" -> ("Items", 3); "Caption" -> ("Caption", -1); "Items_x" -> ("Items", -1).
std::pair<std::string, int> SplitIndex(const std::string& segment) {
  const size_t underscore = segment.find('_');
  if (underscore == std::string::npos) return {segment, -1};
  int index = -1;
  const std::string number = segment.substr(underscore + 1);
  const bool digits =
      !number.empty() && number.find_first_not_of("0123456789") == std::string::npos;
  if (!digits || !TryStrToInt(number, index)) index = -1;
  return {segment.substr(0, underscore), index};
}

TObject* ObjectProp(TObject* target, const std::string& name) {
  const TPropInfo* prop = GetPropInfo(target, name);
  if (prop == nullptr || prop->PropType->Kind != tkClass) return nullptr;
  return GetObjectProp(target, *prop);
}

// Element n of an "Items" / "Columns" segment: a collection's item, a list view's column
// or row, a tree view's node; the target itself when n is beyond the count; for any other
// target the object property the segment names (null when there is none).
TObject* SelectIndexed(TObject* target, const std::string& part, int n) {
  if (auto* collection = dynamic_cast<TCollection*>(target))
    return n < collection->Count() ? collection->Items(n) : target;
  if (auto* listView = dynamic_cast<TCustomListView*>(target)) {
    if (SameText(part, "Columns"))
      return n < listView->Columns()->Count() ? listView->Columns()->Items(n) : target;
    return n < listView->Items()->Count() ? listView->Items()->Item(n) : target;
  }
  if (auto* treeView = dynamic_cast<TCustomTreeView*>(target); treeView && SameText(part, "Items"))
    return n < treeView->Items()->Count() ? treeView->Items()->Item(n) : target;
  return ObjectProp(target, part);
}

bool Assign(TObject* target, const std::string& prop, int index, const std::string& value) {
  if (auto* row = dynamic_cast<TListItem*>(target); row && SameText(prop, "Caption")) {
    row->SetCaption(value);
    return true;
  }
  if (auto* node = dynamic_cast<TTreeNode*>(target); node && SameText(prop, "Text")) {
    node->SetText(value);
    return true;
  }
  if (auto* lines = dynamic_cast<TStrings*>(target)) {
    // A line far beyond any real list (Items_188888888) would fill memory with empty lines.
    if (index < 0 || index >= kMaxPackLineIndex) return false;
    lines->BeginUpdate();
    while (lines->Count() <= index) lines->Add("");
    lines->SetStrings(index, value);
    lines->EndUpdate();
    return true;
  }
  return SetPropByPath(target, prop, value);
}

std::vector<std::pair<TClass, TReaderFactory::Creator>>& ReaderTable() {
  static std::vector<std::pair<TClass, TReaderFactory::Creator>> table{
      {TCustomComboBox::StaticClass(), [](TComponent* component, TXMLElement node) {
         return std::make_unique<TCustomComboBoxRead>(component, node);
       }}};
  return table;
}

}  // namespace

// --- TComponentRead ------------------------------------------------------------------------

TComponentRead::TComponentRead(TComponent* component, TXMLElement node)
    : component_(component), node_(node) {}

void TComponentRead::ReadAttribute(const Variant& index) {
  const auto attributes = node_.Attributes();
  if (index.IsText()) {
    for (const auto& [name, value] : attributes)
      if (name == index.AsString()) return ApplyAttribute(name, value);
    return;
  }
  const int position = index.AsInteger();
  if (position >= 0 && position < static_cast<int>(attributes.size()))
    ApplyAttribute(attributes[position].first, attributes[position].second);
}

void TComponentRead::Read() {
  const int count = static_cast<int>(node_.Attributes().size());
  for (int i = 0; i < count; ++i) ReadAttribute(Variant(i));
}

void TComponentRead::ApplyAttribute(const std::string& name, const std::string& value) {
  try {
    std::vector<std::string> segments;
    for (const std::string& s : SplitString(name, '.')) segments.push_back(Trim(s));
    TObject* target = component_;
    for (size_t i = 0; i + 1 < segments.size(); ++i) {
      const std::string& segment = segments[i];
      if (segment.find('_') == std::string::npos) {
        target = ObjectProp(target, segment);
      } else {
        const auto [part, n] = SplitIndex(segment);
        if (n >= 0 && (SameText(part, "Items") || SameText(part, "Columns"))) {
          target = SelectIndexed(target, part, n);
        } else {
          Assign(target, part, n, value);  // any other indexed segment ends the path
          return;
        }
      }
      if (target == nullptr) return;  // names no object: the attribute is ignored
    }
    const auto [prop, index] = SplitIndex(segments.back());
    if (target == component_ && index >= 0) {
      target = ObjectProp(target, prop);
      if (target == nullptr) return;
    }
    Assign(target, prop, index, value);
  } catch (const std::exception&) {
    // A value that does not fit its property is skipped like a missing property.
  }
}

// --- TCustomComboBoxRead ------------------------------------------------------------------

void TCustomComboBoxRead::Read() {
  auto* combo = dynamic_cast<TCustomComboBox*>(GetComponent());
  const int selected = combo ? combo->ItemIndex() : -1;
  TComponentRead::Read();
  if (combo) combo->SetItemIndex(selected);
}

// --- TReaderFactory ------------------------------------------------------------------------

std::unique_ptr<ILangRead> TReaderFactory::CreateReader(TComponent* component, TXMLElement node) {
  // The most derived registered class wins: walk the component's own chain upwards.
  for (TClass cls = component->ClassType(); cls != nullptr; cls = cls->Parent)
    for (const auto& [registered, creator] : ReaderTable())
      if (registered == cls) return creator(component, node);
  return std::make_unique<TComponentRead>(component, node);
}

void TReaderFactory::Register(TClass cls, Creator creator) {
  for (auto& entry : ReaderTable())
    if (entry.first == cls) {
      entry.second = std::move(creator);
      return;
    }
  ReaderTable().emplace_back(cls, std::move(creator));
}

// --- TLangReader -----------------------------------------------------------------------------

TLangReader::TLangReader(const TXMLDocument* document) : document_(document) {}

bool TLangReader::Excluded(const std::string& name) const {
  for (const auto& excluded : excludeNames_)
    if (SameText(Trim(excluded), Trim(name))) return true;
  return false;
}

void TLangReader::ReadFrom(TComponent* component, TXMLElement node) {
  DoBeforeLoadComponent(component, node);
  TReaderFactory::CreateReader(component, node)->Read();
  DoAfterLoadComponent(component, node);
}

void TLangReader::ReadComponent(TComponent* component) {
  if (component == nullptr) return;
  const TClass form = GetClass("TCustomForm");
  const TClass dataModule = GetClass("TDataModule");
  const bool isRoot = (form && component->InheritsFrom(form)) ||
                      (dataModule && component->InheritsFrom(dataModule));
  if (isRoot) {
    if (const TXMLElement root = document_->DocumentElement(); !root.IsNull())
      ReadFrom(component, root);
  }
  if (!component->Name().empty() && !Excluded(component->Name())) {
    if (const TXMLElement element = document_->FindFirst(component->Name()); !element.IsNull())
      ReadFrom(component, element);
  }
  for (int i = 0; i < component->ComponentCount(); ++i) ReadComponent(component->Components(i));
}

void TLangReader::DoBeforeLoadComponent(TComponent* component, TXMLElement node) {
  beforeLoad_(component, node);
}

void TLangReader::DoAfterLoadComponent(TComponent* component, TXMLElement node) {
  afterLoad_(component, node);
}

// --- TLanguageController ---------------------------------------------------------------------

TLanguageController::TLanguageController(TComponent* owner)
    : TComponent(owner),
      xmlText_(std::make_unique<TStringList>()),
      excludeControls_(std::make_unique<TStringList>()) {
  xmlText_->SetOnChange(MethodOf<&TLanguageController::XMLTextChanged>(this));
  excludeControls_->SetOnChange(MethodOf<&TLanguageController::ExcludeControlsChanged>(this));
}

TLanguageController::~TLanguageController() = default;

bool TLanguageController::Active() const {
  return document_ != nullptr && !document_->DocumentElement().IsNull();
}

void TLanguageController::SetActive(bool value) {
  if (ComponentState().Contains(csLoading)) {
    streamedActive_ = value;
    return;
  }
  if (value == Active()) return;
  if (value)
    Open();
  else
    Close();
}

void TLanguageController::Open() {
  DoBeforeOpen();
  reader_.reset();
  document_.reset();
  auto document = std::make_unique<TXMLDocument>();
  bool parsed;
  if (xmlText_->Count() > 0) {
    parsed = document->LoadFromXMLText(xmlText_->Text());
  } else if (fileName_.empty()) {
    throw LanguageControllerError(Format("Cannot Find File %s!", {fileName_}));
  } else {
    parsed = document->LoadFromFile(fileName_);
  }
  if (!parsed) throw LanguageControllerError(document->ParseError());
  document_ = std::move(document);
  reader_ = std::make_unique<TLangReader>(document_.get());
  for (int i = 0; i < excludeControls_->Count(); ++i)
    reader_->ExcludeNames().push_back(excludeControls_->Strings(i));
  reader_->SetBeforeLoadComponent(beforeLoadComponent_);
  reader_->SetAfterLoadComponent(afterLoadComponent_);
  DoAfterOpen();
}

void TLanguageController::Close() {
  DoBeforeClose();
  reader_.reset();
  document_.reset();
  DoAfterClose();
}

void TLanguageController::SetFileName(const std::string& value) {
  if (value == fileName_) return;
  fileName_ = value;
  xmlText_->Clear();
  SetActive(false);
}

void TLanguageController::SetXMLText(TStrings* value) {
  if (value == nullptr)
    xmlText_->Clear();
  else
    xmlText_->Assign(value);
}

void TLanguageController::XMLTextChanged(TObject*) {
  if (ComponentState().Contains(csReading)) return;
  if (xmlText_->Count() > 0) fileName_.clear();
  SetActive(false);
}

void TLanguageController::SetExcludeControls(TStrings* value) {
  if (value == nullptr)
    excludeControls_->Clear();
  else
    excludeControls_->Assign(value);
}

void TLanguageController::ExcludeControlsChanged(TObject*) {
  if (!reader_) return;
  reader_->ExcludeNames().clear();
  for (int i = 0; i < excludeControls_->Count(); ++i)
    reader_->ExcludeNames().push_back(excludeControls_->Strings(i));
}

TLangReader* TLanguageController::Reader() const {
  if (!reader_) throw LanguageControllerError("No active LanguageController!");
  return reader_.get();
}

void TLanguageController::Loaded() {
  TComponent::Loaded();
  if (streamedActive_) SetActive(true);
}

// --- TQmLangController -----------------------------------------------------------------------

TQmLangController::TQmLangController(TComponent* owner) : TLanguageController(owner) {}

void TQmLangController::SetLangPackageName(const std::string& value) {
  if (value == langPackageName_) return;
  langPackageName_ = value;
  SetFileName(LangDirectory(designType_) + value + ".Lng");
}
