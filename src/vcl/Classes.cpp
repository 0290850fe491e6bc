#include "Classes.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "CodePage.h"
#include "Paths.h"
#include "Reader.h"

// --- Text helpers ------------------------------------------------------------------------------

static bool IsAscii(std::string_view s) {
  return std::all_of(s.begin(), s.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

static int Sign(int v) {
  return (v > 0) - (v < 0);
}

static int CompareBytes(std::string_view a, std::string_view b) {
  return Sign(a.compare(b));
}

int AnsiCompareText(std::string_view a, std::string_view b) {
  if (IsAscii(a) && IsAscii(b)) return Sign(CompareText(a, b));
  const int cp = InterfaceCodePage();
  return CompareBytes(UpperCase(EncodeLossy(a, cp)), UpperCase(EncodeLossy(b, cp)));
}

int AnsiCompareStr(std::string_view a, std::string_view b) {
  if (IsAscii(a) && IsAscii(b)) {
    // Word order: letters first without case; of two that differ only in case, the
    // lower-case one comes first.
    if (const int c = Sign(CompareText(a, b))) return c;
    return -CompareBytes(a, b);
  }
  const int cp = InterfaceCodePage();
  return CompareBytes(EncodeLossy(a, cp), EncodeLossy(b, cp));
}

bool IsValidIdent(std::string_view ident) {
  if (ident.empty()) return false;
  auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
  if (!alpha(ident[0])) return false;
  return std::all_of(ident.begin() + 1, ident.end(),
                     [&](char c) { return alpha(c) || (c >= '0' && c <= '9'); });
}

// --- TPersistent -------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TPersistent)

void TPersistent::Assign(const TPersistent* source) {
  if (source) {
    source->AssignTo(this);
    return;
  }
  AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* dest) const {
  dest->AssignError(this);
}

void TPersistent::AssignError(const TPersistent* source) const {
  const std::string sourceName = source ? source->ClassName() : "nil";
  throw EConvertError("Cannot assign a " + sourceName + " to a " + ClassName());
}

std::string TPersistent::GetNamePath() const {
  if (const TPersistent* owner = GetOwner()) {
    const std::string path = owner->GetNamePath();
    if (!path.empty()) return path + "." + ClassName();
  }
  return ClassName();
}

// --- TComponent --------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TComponent, .Prop<&TComponent::Name, &TComponent::SetName>("Name")
                                  .Prop<&TComponent::Tag, &TComponent::SetTag>("Tag"))

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

void TComponent::DefineProperties(TFiler& filer) {
  // Controls publish Left and Top themselves, so this only ever reads non-visual ones.
  filer.DefineProperty("Left", [this](TReader& reader) {
    const auto left = static_cast<uint32_t>(reader.ReadInteger()) & 0xFFFFu;
    designInfo_ = static_cast<int32_t>((static_cast<uint32_t>(designInfo_) & 0xFFFF0000u) | left);
  });
  filer.DefineProperty("Top", [this](TReader& reader) {
    const auto top = static_cast<uint32_t>(reader.ReadInteger()) & 0xFFFFu;
    designInfo_ =
        static_cast<int32_t>((static_cast<uint32_t>(designInfo_) & 0xFFFFu) | (top << 16));
  });
}

TComponent::~TComponent() {
  Tidy();
}

void TComponent::BeforeDestruction() {
  NotifyComponentObservers(this, oeDestroying);
  Tidy();
}

// The destruction steps; they run once, from BeforeDestruction while the object is still
// complete, or from the destructor when the object was deleted directly.
void TComponent::Tidy() {
  if (tidied_) return;
  tidied_ = true;
  if (!state_.Contains(csDestroying)) Destroying();
  RemoveFreeNotifications();
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::Destroying() {
  if (state_.Contains(csDestroying)) return;
  state_.Include(csDestroying);
  for (TComponent* c : components_) c->Destroying();
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* c = components_.back();
    components_.pop_back();
    c->owner_ = nullptr;
    c->Free();
  }
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount())
    throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return components_[index];
}

int TComponent::ComponentIndex() const {
  if (!owner_) return -1;
  const auto& list = owner_->components_;
  const auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (SameText(c->name_, name)) return c;
  return nullptr;
}

void TComponent::SetName(const std::string& name) {
  if (name_ == name) return;
  if (!name.empty() && !IsValidIdent(name))
    throw EComponentError("'" + name + "' is not a valid component name");
  if (owner_)
    owner_->ValidateRename(this, name_, name);
  else
    ValidateRename(nullptr, name_, name);
  SetReference(false);
  name_ = name;
  SetReference(true);
}

void TComponent::ValidateRename(TComponent* component, const std::string& curName,
                                const std::string& newName) {
  if (component && !SameText(curName, newName) && FindComponent(newName))
    throw EComponentError("A component named " + newName + " already exists");
}

// Points the owner's published field of this component's name at it (or clears it).
void TComponent::SetReference(bool enable) {
  if (!owner_ || name_.empty()) return;
  const TFieldEntry* field = FieldAddress(owner_->ClassType(), name_);
  if (field && InheritsFrom(field->FieldClass)) field->Set(owner_, enable ? this : nullptr);
}

void TComponent::InsertComponent(TComponent* component) {
  if (!component || component->owner_ == this) return;
  if (component->owner_) component->owner_->RemoveComponent(component);
  ValidateRename(component, "", component->name_);
  components_.push_back(component);
  component->owner_ = this;
  component->SetReference(true);
  if (state_.Contains(csDesigning)) component->SetDesigning(true);
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  const auto it = std::find(components_.begin(), components_.end(), component);
  if (it == components_.end()) return;
  Notification(component, opRemove);
  component->SetReference(false);
  components_.erase(std::find(components_.begin(), components_.end(), component));
  component->owner_ = nullptr;
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component) RemoveFreeNotification(component);
  // NOTE: a handler may free or add components; walk a copy and skip the freed ones.
  const std::vector<TComponent*> owned = components_;
  for (TComponent* c : owned)
    if (std::find(components_.begin(), components_.end(), c) != components_.end())
      c->Notification(component, operation);
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  if (!owner_ || component->owner_ != owner_) {
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end()) {
      freeNotifies_.push_back(component);
      component->FreeNotification(this);
    }
  }
  state_.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  const auto it = std::find(freeNotifies_.begin(), freeNotifies_.end(), component);
  if (it == freeNotifies_.end()) return;
  freeNotifies_.erase(it);
  component->RemoveFreeNotification(this);
}

void TComponent::RemoveFreeNotifications() {
  while (!freeNotifies_.empty()) {
    TComponent* partner = freeNotifies_.back();
    freeNotifies_.pop_back();
    std::erase(partner->freeNotifies_, this);
    partner->Notification(this, opRemove);
  }
}

void TComponent::SetDesigning(bool value, bool setChildren) {
  if (value)
    state_.Include(csDesigning);
  else
    state_.Exclude(csDesigning);
  if (setChildren)
    for (TComponent* c : components_) c->SetDesigning(value);
}

void TComponent::Loaded() {
  state_.Exclude(csLoading);
}

void TComponent::BeginLoading() {
  state_.Include(csLoading);
  state_.Include(csReading);
}

void TComponent::EndReading() {
  state_.Exclude(csReading);
}

// --- Collections -------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TCollectionItem)
KXBR_DEFINE_CLASS(TCollection)
KXBR_DEFINE_CLASS(TOwnedCollection)

TCollectionItem::TCollectionItem(TCollection* collection) {
  SetCollection(collection);
}

TCollectionItem::~TCollectionItem() {
  if (collection_) collection_->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* collection) {
  if (collection_ == collection) return;
  if (collection_) collection_->RemoveItem(this);
  if (collection) collection->InsertItem(this);
}

int TCollectionItem::Index() const {
  if (!collection_) return -1;
  const auto& items = collection_->items_;
  return static_cast<int>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int index) {
  if (collection_ && index != Index()) collection_->MoveItem(this, index);
}

std::string TCollectionItem::DisplayName() const {
  return ClassName();
}

std::string TCollectionItem::GetNamePath() const {
  if (!collection_) return ClassName();
  return collection_->GetNamePath() + "[" + IntToStr(Index()) + "]";
}

TPersistent* TCollectionItem::GetOwner() const {
  return collection_;
}

void TCollectionItem::Changed(bool allItems) {
  if (collection_ && collection_->updateCount_ == 0) collection_->Update(allItems ? nullptr : this);
}

TCollection::TCollection(TClass itemClass) : itemClass_(itemClass) {}

TCollection::~TCollection() {
  ++updateCount_;  // no Update calls from a dying collection
  while (!items_.empty()) {
    TCollectionItem* item = items_.back();
    items_.pop_back();
    item->collection_ = nullptr;
    item->Free();
  }
}

TCollectionItem* TCollection::Items(int index) const {
  if (index < 0 || index >= Count())
    throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return items_[index];
}

TCollectionItem* TCollection::Add() {
  if (!itemClass_ || !itemClass_->CreateItem)
    throw EListError("Collection items of class " + (itemClass_ ? itemClass_->Name : "nil") +
                     " cannot be created");
  TCollectionItem* item = itemClass_->CreateItem(this);
  if (item->collection_ != this) item->SetCollection(this);
  return item;
}

TCollectionItem* TCollection::Insert(int index) {
  TCollectionItem* item = Add();
  item->SetIndex(index);
  return item;
}

void TCollection::Delete(int index) {
  Items(index)->Free();
}

void TCollection::Clear() {
  if (items_.empty()) return;
  BeginUpdate();
  while (!items_.empty()) items_.back()->Free();
  EndUpdate();
}

TCollectionItem* TCollection::FindItemID(int id) const {
  for (TCollectionItem* item : items_)
    if (item->id_ == id) return item;
  return nullptr;
}

void TCollection::BeginUpdate() {
  ++updateCount_;
}

void TCollection::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) Changed();
}

void TCollection::Changed() {
  if (updateCount_ == 0) Update(nullptr);
}

void TCollection::Assign(const TPersistent* source) {
  const auto* other = dynamic_cast<const TCollection*>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    Clear();
    for (TCollectionItem* item : other->items_) Add()->Assign(item);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

std::string TCollection::GetNamePath() const {
  const TPersistent* owner = GetOwner();
  if (!owner) return ClassName();
  const std::string path = owner->GetNamePath();
  return path.empty() ? ClassName() : path + "." + ClassName();
}

void TCollection::InsertItem(TCollectionItem* item) {
  items_.push_back(item);
  item->collection_ = this;
  item->id_ = nextId_++;
  Notify(item, cnAdded);
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* item) {
  Notify(item, cnExtracting);
  std::erase(items_, item);
  item->collection_ = nullptr;
  Changed();
}

void TCollection::MoveItem(TCollectionItem* item, int index) {
  index = std::clamp(index, 0, Count() - 1);
  std::erase(items_, item);
  items_.insert(items_.begin() + index, item);
  Changed();
}

// --- TStrings ----------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TStrings)
KXBR_DEFINE_CLASS(TStringList)

void TStrings::Error(const std::string& message, int index) const {
  throw EStringListError(StringReplaceAll(message, "%d", IntToStr(index)));
}

int TStrings::Add(const std::string& s) {
  const int index = Count();
  Insert(index, s);
  return index;
}

int TStrings::AddObject(const std::string& s, TObject* object) {
  const int index = Add(s);
  PutObject(index, object);
  return index;
}

void TStrings::AddStrings(const TStrings* strings) {
  if (!strings) return;
  BeginUpdate();
  try {
    for (int i = 0; i < strings->Count(); ++i) AddObject(strings->Get(i), strings->GetObject(i));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::InsertObject(int index, const std::string& s, TObject* object) {
  Insert(index, s);
  PutObject(index, object);
}

void TStrings::Put(int index, const std::string& s) {
  TObject* object = GetObject(index);
  Delete(index);
  InsertObject(index, s, object);
}

void TStrings::Exchange(int index1, int index2) {
  BeginUpdate();
  const std::string s1 = Get(index1), s2 = Get(index2);
  TObject* o1 = GetObject(index1);
  TObject* o2 = GetObject(index2);
  Put(index1, s2);
  PutObject(index1, o2);
  Put(index2, s1);
  PutObject(index2, o1);
  EndUpdate();
}

void TStrings::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  BeginUpdate();
  const std::string s = Get(curIndex);
  TObject* object = GetObject(curIndex);
  Delete(curIndex);
  InsertObject(newIndex, s, object);
  EndUpdate();
}

int TStrings::CompareStrings(std::string_view a, std::string_view b) const {
  return AnsiCompareText(a, b);
}

int TStrings::IndexOf(std::string_view s) const {
  for (int i = 0; i < Count(); ++i)
    if (CompareStrings(Get(i), s) == 0) return i;
  return -1;
}

int TStrings::IndexOfName(std::string_view name) const {
  for (int i = 0; i < Count(); ++i) {
    const std::string line = Get(i);
    const size_t p = line.find(nameValueSeparator_);
    if (p != std::string::npos && CompareStrings(std::string_view(line).substr(0, p), name) == 0)
      return i;
  }
  return -1;
}

int TStrings::IndexOfObject(const TObject* object) const {
  for (int i = 0; i < Count(); ++i)
    if (GetObject(i) == object) return i;
  return -1;
}

std::string TStrings::Text() const {
  std::string text;
  for (int i = 0; i < Count(); ++i) text += Get(i) + "\r\n";
  return text;
}

void TStrings::SetText(std::string_view text) {
  BeginUpdate();
  try {
    Clear();
    size_t p = 0;
    while (p < text.size()) {
      const size_t start = p;
      while (p < text.size() && text[p] != '\r' && text[p] != '\n') ++p;
      Add(std::string(text.substr(start, p - start)));
      if (p < text.size() && text[p] == '\r') ++p;
      if (p < text.size() && text[p] == '\n') ++p;
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

static std::string QuotedStr(std::string_view s, char quote) {
  std::string result(1, quote);
  for (char c : s) {
    if (c == quote) result += quote;
    result += c;
  }
  return result + quote;
}

std::string TStrings::DelimitedText() const {
  if (Count() == 1 && Get(0).empty()) return std::string(2, quoteChar_);
  std::string result;
  for (int i = 0; i < Count(); ++i) {
    std::string s = Get(i);
    const bool special = std::any_of(s.begin(), s.end(), [&](char c) {
      return (static_cast<unsigned char>(c) <= ' ') || c == quoteChar_ || c == delimiter_;
    });
    if (i > 0) result += delimiter_;
    result += special ? QuotedStr(s, quoteChar_) : s;
  }
  return result;
}

void TStrings::SetDelimitedText(std::string_view text) {
  auto blank = [](char c) { return c >= 1 && static_cast<unsigned char>(c) <= ' '; };
  BeginUpdate();
  try {
    Clear();
    size_t p = 0;
    const size_t n = text.size();
    while (p < n && blank(text[p])) ++p;
    while (p < n) {
      std::string s;
      if (text[p] == quoteChar_) {
        ++p;
        while (p < n) {
          if (text[p] == quoteChar_) {
            if (p + 1 < n && text[p + 1] == quoteChar_) {
              s += quoteChar_;
              p += 2;
              continue;
            }
            ++p;
            break;
          }
          s += text[p++];
        }
      } else {
        const size_t start = p;
        while (p<n&& static_cast<unsigned char>(text[p])> ' ' && text[p] != delimiter_) ++p;
        s = std::string(text.substr(start, p - start));
      }
      Add(s);
      while (p < n && blank(text[p])) ++p;
      if (p < n && text[p] == delimiter_) {
        if (p + 1 == n) Add("");
        do ++p;
        while (p < n && blank(text[p]));
      } else if (p < n && text[p] == '\0') {
        break;  // the platform's text ends at a NUL character
      }
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

std::string TStrings::CommaText() const {
  TStringList copy;
  copy.Assign(this);
  copy.SetDelimiter(',');
  copy.SetQuoteChar('"');
  return copy.DelimitedText();
}

void TStrings::SetCommaText(std::string_view text) {
  const char delimiter = delimiter_, quote = quoteChar_;
  delimiter_ = ',';
  quoteChar_ = '"';
  try {
    SetDelimitedText(text);
  } catch (...) {
    delimiter_ = delimiter;
    quoteChar_ = quote;
    throw;
  }
  delimiter_ = delimiter;
  quoteChar_ = quote;
}

std::string TStrings::Names(int index) const {
  const std::string line = Get(index);
  const size_t p = line.find(nameValueSeparator_);
  return p == std::string::npos ? std::string() : line.substr(0, p);
}

std::string TStrings::Values(std::string_view name) const {
  const int index = IndexOfName(name);
  return index < 0 ? std::string() : ValueFromIndex(index);
}

void TStrings::SetValues(std::string_view name, std::string_view value) {
  const int index = IndexOfName(name);
  const std::string line = std::string(name) + nameValueSeparator_ + std::string(value);
  if (!value.empty()) {
    if (index < 0)
      Add(line);
    else
      Put(index, line);
  } else if (index >= 0) {
    Delete(index);
  }
}

std::string TStrings::ValueFromIndex(int index) const {
  const std::string line = Get(index);
  const size_t p = line.find(nameValueSeparator_);
  return p == std::string::npos ? std::string() : line.substr(p + 1);
}

void TStrings::SetValueFromIndex(int index, std::string_view value) {
  const std::string name = Names(index);
  if (!value.empty())
    Put(index, name + nameValueSeparator_ + std::string(value));
  else
    Delete(index);
}

void TStrings::BeginUpdate() {
  if (updateCount_++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) SetUpdateState(false);
}

void TStrings::Assign(const TPersistent* source) {
  const auto* other = dynamic_cast<const TStrings*>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  if (other == this) return;
  BeginUpdate();
  try {
    Clear();
    AddStrings(other);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::AssignTo(TPersistent* dest) const {
  TPersistent::AssignTo(dest);
}

bool TStrings::Equals(const TStrings* other) const {
  if (!other || other->Count() != Count()) return false;
  for (int i = 0; i < Count(); ++i)
    if (Get(i) != other->Get(i)) return false;
  return true;
}

std::vector<std::string> TStrings::ToVector() const {
  std::vector<std::string> lines;
  lines.reserve(Count());
  for (int i = 0; i < Count(); ++i) lines.push_back(Get(i));
  return lines;
}

void TStrings::LoadFromFile(const std::string& fileName) {
  std::ifstream in(NativePath(fileName), std::ios::binary);
  if (!in) throw EInOutError("Cannot open file \"" + fileName + "\"", 2);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  SetText(DecodeTextFile(bytes));
}

void TStrings::SaveToFile(const std::string& fileName) const {
  std::ofstream out(NativePath(fileName), std::ios::binary);
  const std::string text = "\xEF\xBB\xBF" + Text();
  if (!out || !out.write(text.data(), static_cast<std::streamsize>(text.size())))
    throw EInOutError("Cannot create file \"" + fileName + "\"", 5);
}

void TStrings::DefineProperties(TFiler& filer) {
  filer.DefineProperty("Strings", [this](TReader& reader) {
    BeginUpdate();
    try {
      Clear();
      reader.ReadListBegin();
      while (!reader.EndOfList()) Add(reader.ReadString());
      reader.ReadListEnd();
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
  });
}

// --- TStringList -------------------------------------------------------------------------------

TStringList::TStringList(std::initializer_list<std::string> lines) {
  for (const std::string& line : lines) Add(line);
}

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) Error("List index out of bounds (%d)", index);
}

std::string TStringList::Get(int index) const {
  CheckIndex(index);
  return items_[index].Text;
}

TObject* TStringList::GetObject(int index) const {
  CheckIndex(index);
  return items_[index].Object;
}

void TStringList::Changing() {
  if (UpdateCount() == 0) onChanging_(this);
}

void TStringList::Changed() {
  if (UpdateCount() == 0) onChange_(this);
}

void TStringList::SetUpdateState(bool updating) {
  if (updating)
    onChanging_(this);
  else
    onChange_(this);
}

int TStringList::CompareStrings(std::string_view a, std::string_view b) const {
  return caseSensitive_ ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

bool TStringList::Find(std::string_view s, int& index) const {
  int lo = 0, hi = Count() - 1;
  bool found = false;
  while (lo <= hi) {
    const int mid = (lo + hi) / 2;
    const int c = CompareStrings(items_[mid].Text, s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) {
        found = true;
        if (duplicates_ != dupAccept) lo = mid;
      }
    }
  }
  index = lo;
  return found;
}

int TStringList::IndexOf(std::string_view s) const {
  if (!sorted_) return TStrings::IndexOf(s);
  int index = 0;
  return Find(s, index) ? index : -1;
}

int TStringList::Add(const std::string& s) {
  return AddObject(s, nullptr);
}

int TStringList::AddObject(const std::string& s, TObject* object) {
  int index = Count();
  if (sorted_ && Find(s, index)) {
    if (duplicates_ == dupIgnore) return index;
    if (duplicates_ == dupError) Error("String list does not allow duplicates", 0);
  }
  InsertItem(index, s, object);
  return index;
}

void TStringList::Insert(int index, const std::string& s) {
  if (sorted_) Error("Operation not allowed on sorted list", 0);
  if (index < 0 || index > Count()) Error("List index out of bounds (%d)", index);
  InsertItem(index, s, nullptr);
}

void TStringList::InsertItem(int index, const std::string& s, TObject* object) {
  Changing();
  items_.insert(items_.begin() + index, Item{s, object});
  Changed();
}

void TStringList::Put(int index, const std::string& s) {
  if (sorted_) Error("Operation not allowed on sorted list", 0);
  CheckIndex(index);
  Changing();
  items_[index].Text = s;
  Changed();
}

void TStringList::PutObject(int index, TObject* object) {
  CheckIndex(index);
  Changing();
  items_[index].Object = object;
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  Changing();
  items_.erase(items_.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  Changing();
  items_.clear();
  Changed();
}

void TStringList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  Changing();
  std::swap(items_[index1], items_[index2]);
  Changed();
}

void TStringList::Sort() {
  CustomSort([](const TStringList* list, int a, int b) {
    return list->CompareStrings(list->items_[a].Text, list->items_[b].Text);
  });
}

void TStringList::CustomSort(const std::function<int(const TStringList*, int, int)>& compare) {
  if (Count() < 2) return;
  Changing();
  // Sort a permutation so that the comparer sees the list as it was.
  std::vector<int> order(items_.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return compare(this, a, b) < 0; });
  std::vector<Item> sorted;
  sorted.reserve(items_.size());
  for (int i : order) sorted.push_back(std::move(items_[i]));
  items_ = std::move(sorted);
  Changed();
}

void TStringList::SetSorted(bool value) {
  if (sorted_ == value) return;
  if (value) Sort();
  sorted_ = value;
}

void TStringList::SetCaseSensitive(bool value) {
  if (caseSensitive_ == value) return;
  caseSensitive_ = value;
  if (sorted_) Sort();
}

// --- Resources ---------------------------------------------------------------------------------

static std::map<std::string, std::string>& Resources() {
  static std::map<std::string, std::string> resources;  // "TYPE/NAME" upper-cased -> data
  return resources;
}

static std::string ResourceKey(std::string_view type, std::string_view name) {
  return UpperCase(type) + "/" + UpperCase(name);
}

void RegisterResource(std::string_view type, std::string_view name, std::string data) {
  Resources()[ResourceKey(type, name)] = std::move(data);
}

void UnregisterResource(std::string_view type, std::string_view name) {
  Resources().erase(ResourceKey(type, name));
}

const std::string* FindResourceData(std::string_view type, std::string_view name) {
  const auto& resources = Resources();
  const auto it = resources.find(ResourceKey(type, name));
  return it == resources.end() ? nullptr : &it->second;
}

// --- Observers ---------------------------------------------------------------------------------

static std::vector<IComponentObserver*>& Observers() {
  static std::vector<IComponentObserver*> observers;
  return observers;
}

void AddComponentObserver(IComponentObserver* observer) {
  auto& observers = Observers();
  if (std::find(observers.begin(), observers.end(), observer) == observers.end())
    observers.push_back(observer);
}

void RemoveComponentObserver(IComponentObserver* observer) {
  std::erase(Observers(), observer);
}

void NotifyComponentObservers(TComponent* component, TObserverEvent event, std::string_view what) {
  const std::vector<IComponentObserver*> observers = Observers();  // an observer may leave
  for (IComponentObserver* observer : observers) observer->ComponentChanged(component, event, what);
}
