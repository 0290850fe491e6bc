#include "DB.h"

#include <algorithm>
#include <numeric>

#include "DateTime.h"

namespace {

bool IsBlank(const Variant& v) {
  return v.IsNull() || v.IsEmpty();
}

// The order of two values of a column: blanks first, numbers, dates and Booleans by value,
// everything else by its text (bytes, or ASCII case ignored).
int CompareValues(const Variant& a, const Variant& b, TFieldType type, bool caseInsensitive) {
  const bool blankA = IsBlank(a);
  const bool blankB = IsBlank(b);
  if (blankA || blankB) return blankA == blankB ? 0 : (blankA ? -1 : 1);
  if (!IsTextFieldType(type) && type != ftVariant && type != ftUnknown) {
    try {
      const double x = type == ftBoolean ? a.AsBoolean() : a.AsDouble();
      const double y = type == ftBoolean ? b.AsBoolean() : b.AsDouble();
      return (x > y) - (x < y);
    } catch (const EVariantError&) {
      // NOTE: a value that is no number compares by its text.
    }
  }
  std::string x = VarToStr(a);
  std::string y = VarToStr(b);
  if (caseInsensitive) {
    x = UpperCase(x);
    y = UpperCase(y);
  }
  const int c = x.compare(y);
  return (c > 0) - (c < 0);
}

TField* CreateFieldOfType(TFieldType type, TComponent* owner) {
  switch (type) {
    case ftString:
      return new TStringField(owner);
    case ftWideString:
      return new TWideStringField(owner);
    case ftMemo:
      return new TMemoField(owner);
    case ftSmallint:
      return new TSmallintField(owner);
    case ftInteger:
    case ftWord:
    case ftAutoInc:
      return new TIntegerField(owner);
    case ftLargeint:
      return new TLargeintField(owner);
    case ftFloat:
    case ftBCD:
      return new TFloatField(owner);
    case ftCurrency:
      return new TCurrencyField(owner);
    case ftBoolean:
      return new TBooleanField(owner);
    case ftDate:
      return new TDateField(owner);
    case ftTime:
    case ftDateTime:
      return new TDateTimeField(owner);
    default:
      return new TVariantField(owner);
  }
}

}  // namespace

bool IsTextFieldType(TFieldType type) {
  return type == ftString || type == ftWideString || type == ftMemo;
}

std::vector<std::string> SplitFieldNames(std::string_view names) {
  std::vector<std::string> result;
  for (const std::string& piece : SplitString(names, ';')) {
    std::string name = Trim(piece);
    if (!name.empty()) result.push_back(std::move(name));
  }
  return result;
}

// --- TField ------------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TField, .Prop<&TField::FieldName, &TField::SetFieldName>("FieldName")
                              .Prop<&TField::DisplayLabel, &TField::SetDisplayLabel>("DisplayLabel")
                              .Prop<&TField::ReadOnly, &TField::SetReadOnly>("ReadOnly")
                              .Prop<&TField::Required, &TField::SetRequired>("Required")
                              .Prop<&TField::Size, &TField::SetSize>("Size")
                              .Prop<&TField::Visible, &TField::SetVisible>("Visible")
                              .Prop<&TField::OnChange, &TField::SetOnChange>("OnChange")
                              .Prop<&TField::OnGetText, &TField::SetOnGetText>("OnGetText")
                              .Prop<&TField::OnSetText, &TField::SetOnSetText>("OnSetText")
                              .Prop<&TField::OnValidate, &TField::SetOnValidate>("OnValidate"))
KXBR_DEFINE_CLASS(TStringField)
KXBR_DEFINE_CLASS(TWideStringField)
KXBR_DEFINE_CLASS(TMemoField)
KXBR_DEFINE_CLASS(TIntegerField)
KXBR_DEFINE_CLASS(TSmallintField)
KXBR_DEFINE_CLASS(TLargeintField)
KXBR_DEFINE_CLASS(TFloatField)
KXBR_DEFINE_CLASS(TCurrencyField)
KXBR_DEFINE_CLASS(TBooleanField)
KXBR_DEFINE_CLASS(TDateTimeField)
KXBR_DEFINE_CLASS(TDateField)
KXBR_DEFINE_CLASS(TVariantField)

TField::TField(TComponent* owner) : TComponent(owner) {}

TField::~TField() {
  if (dataSet_) dataSet_->RemoveField(this);
}

void TField::BeforeDestruction() {
  if (dataSet_) dataSet_->RemoveField(this);
  TComponent::BeforeDestruction();
}

void TField::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  if (dataSet_ && dataSet_->Active())
    dataSet_->DatabaseError("Cannot perform this operation on an open dataset");
  if (dataSet && dataSet->Active())
    dataSet->DatabaseError("Cannot perform this operation on an open dataset");
  if (dataSet_) dataSet_->RemoveField(this);
  if (dataSet) dataSet->AddField(this);
}

void TField::SetFieldName(const std::string& name) {
  if (name == fieldName_) return;
  if (dataSet_ && dataSet_->Active())
    dataSet_->DatabaseError("Cannot perform this operation on an open dataset");
  fieldName_ = name;
}

int TField::Index() const {
  return dataSet_ ? dataSet_->Fields()->IndexOf(this) : -1;
}

bool TField::CanModify() const {
  return !readOnly_ && dataSet_ && dataSet_->Active();
}

TComponent* TField::GetParentComponent() const {
  return dataSet_;
}

void TField::SetParentComponent(TComponent* parent) {
  SetDataSet(dynamic_cast<TDataSet*>(parent));
}

Variant TField::Value() const {
  return dataSet_ ? dataSet_->GetFieldData(this) : Variant::Null();
}

void TField::SetValue(const Variant& value) {
  if (!dataSet_) throw EDatabaseError("Field '" + DisplayName() + "' has no dataset");
  dataSet_->SetFieldData(this, Convert(value));
}

bool TField::IsNull() const {
  return IsBlank(Value());
}

Variant TField::Convert(const Variant& value) const {
  if (IsBlank(value)) return Variant::Null();
  switch (dataType_) {
    case ftString:
    case ftMemo:
      return value.IsText() ? value : Variant(value.AsString());
    case ftWideString:
      return value.VarType() == varOleStr ? value : Variant::Wide(value.AsString());
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
      return Variant(value.AsInteger());
    case ftLargeint:
      return Variant(value.AsInt64());
    case ftFloat:
    case ftBCD:
      return Variant(value.AsDouble());
    case ftCurrency:
      return Variant::FromCurrency(value.AsCurrency());
    case ftBoolean:
      return Variant(value.AsBoolean());
    case ftDate:
    case ftTime:
    case ftDateTime:
      return Variant::FromDate(value.AsDate());
    default:
      return value;
  }
}

std::string TField::AsString() const {
  const Variant v = Value();
  if (IsBlank(v)) return "";
  if (dataType_ == ftDate || dataType_ == ftTime || dataType_ == ftDateTime)
    return DateTimeToStr(v.AsDate());
  return VarToStr(v);
}

void TField::SetAsString(const std::string& text) {
  if (IsTextFieldType(dataType_) || dataType_ == ftVariant || dataType_ == ftUnknown) {
    SetValue(dataType_ == ftWideString ? Variant::Wide(text) : Variant(text));
    return;
  }
  if (text.empty()) {
    Clear();
    return;
  }
  switch (dataType_) {
    case ftLargeint: {
      int64_t value = 0;
      if (!TryStrToInt64(text, value))
        throw EConvertError("'" + text + "' is not a valid integer value");
      SetValue(Variant(value));
      return;
    }
    case ftFloat:
    case ftBCD:
    case ftCurrency:
      SetValue(Variant(StrToFloat(text)));
      return;
    case ftBoolean:
      if (SameText(text, "True"))
        SetAsBoolean(true);
      else if (SameText(text, "False"))
        SetAsBoolean(false);
      else
        throw EConvertError("'" + text + "' is not a valid boolean value");
      return;
    case ftDate:
    case ftTime:
    case ftDateTime: {
      TDateTime date = 0;
      if (!TryStrToDate(text, date)) throw EConvertError("'" + text + "' is not a valid date");
      SetAsDateTime(date);
      return;
    }
    default:
      SetValue(Variant(StrToInt(text)));
      return;
  }
}

int TField::AsInteger() const {
  const Variant v = Value();
  return IsBlank(v) ? 0 : v.AsInteger();
}

double TField::AsFloat() const {
  const Variant v = Value();
  return IsBlank(v) ? 0 : v.AsDouble();
}

bool TField::AsBoolean() const {
  const Variant v = Value();
  return IsBlank(v) ? false : v.AsBoolean();
}

TDateTime TField::AsDateTime() const {
  const Variant v = Value();
  return IsBlank(v) ? 0 : v.AsDate();
}

std::string TField::GetText(bool displayText) const {
  if (onGetText_) {
    std::string text;
    onGetText_(const_cast<TField*>(this), text, displayText);
    return text;
  }
  return AsString();
}

void TField::SetText(const std::string& text) {
  if (onSetText_)
    onSetText_(this, text);
  else
    SetAsString(text);
}

// --- TFields -----------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TFields)

TField* TFields::Fields(int index) const {
  if (index < 0 || index >= Count())
    throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return fields_[index];
}

int TFields::IndexOf(const TField* field) const {
  const auto it = std::find(fields_.begin(), fields_.end(), field);
  return it == fields_.end() ? -1 : static_cast<int>(it - fields_.begin());
}

TField* TFields::FindField(std::string_view name) const {
  for (TField* f : fields_)
    if (SameText(f->FieldName(), name)) return f;
  return nullptr;
}

TField* TFields::FieldByName(std::string_view name) const {
  TField* field = FindField(name);
  if (!field) dataSet_->DatabaseError("Field '" + std::string(name) + "' not found");
  return field;
}

// --- TDataSet: life and state -------------------------------------------------------------------

KXBR_DEFINE_CLASS(TDataSet,
                  .Prop<&TDataSet::Active, &TDataSet::SetActive>("Active")
                      .Prop<&TDataSet::AfterCancel, &TDataSet::SetAfterCancel>("AfterCancel")
                      .Prop<&TDataSet::AfterClose, &TDataSet::SetAfterClose>("AfterClose")
                      .Prop<&TDataSet::AfterEdit, &TDataSet::SetAfterEdit>("AfterEdit")
                      .Prop<&TDataSet::AfterOpen, &TDataSet::SetAfterOpen>("AfterOpen")
                      .Prop<&TDataSet::AfterPost, &TDataSet::SetAfterPost>("AfterPost")
                      .Prop<&TDataSet::AfterScroll, &TDataSet::SetAfterScroll>("AfterScroll")
                      .Prop<&TDataSet::BeforeCancel, &TDataSet::SetBeforeCancel>("BeforeCancel")
                      .Prop<&TDataSet::BeforeClose, &TDataSet::SetBeforeClose>("BeforeClose")
                      .Prop<&TDataSet::BeforeEdit, &TDataSet::SetBeforeEdit>("BeforeEdit")
                      .Prop<&TDataSet::BeforeOpen, &TDataSet::SetBeforeOpen>("BeforeOpen")
                      .Prop<&TDataSet::BeforePost, &TDataSet::SetBeforePost>("BeforePost"))

TDataSet::TDataSet(TComponent* owner)
    : TComponent(owner), fields_(std::make_unique<TFields>(this)) {}

TDataSet::~TDataSet() {
  Detach();
}

void TDataSet::BeforeDestruction() {
  Destroying();
  if (Active()) SetActive(false);
  Detach();
  TComponent::BeforeDestruction();
}

// Lets go of data sources and fields without calling anything of a descendant: the
// dataset may already be half destroyed.
void TDataSet::Detach() {
  if (state_ != dsInactive) {
    buffer_.clear();
    state_ = dsInactive;
    DataEvent(deUpdateState);
  }
  const std::vector<TDataSource*> sources = dataSources_;
  dataSources_.clear();
  for (TDataSource* source : sources) {
    source->dataSet_ = nullptr;
    source->UpdateState();
  }
  for (TField* field : fields_->fields_) {
    field->dataSet_ = nullptr;
    field->column_ = -1;
  }
  fields_->fields_.clear();
}

void TDataSet::Loaded() {
  TComponent::Loaded();
  if (streamedActive_) {
    streamedActive_ = false;
    Open();
  }
}

void TDataSet::SetActive(bool value) {
  if (ComponentState().Contains(csReading)) {
    streamedActive_ = value;
    return;
  }
  if (value == Active()) return;
  const bool destroying = ComponentState().Contains(csDestroying);
  if (value) {
    beforeOpen_(this);
    try {
      OpenCursor();
    } catch (...) {
      CloseCursor();
      throw;
    }
    SetState(dsBrowse);
    afterOpen_(this);
    if (!IsEmpty()) afterScroll_(this);
  } else {
    if (!destroying) beforeClose_(this);
    buffer_.clear();
    SetState(dsInactive);
    CloseCursor();
    if (!destroying) afterClose_(this);
  }
}

void TDataSet::InternalOpen(std::vector<TFieldDef>& defs, std::vector<TRecordData>&) {
  for (TField* f : fields_->fields_) defs.push_back({f->FieldName(), f->DataType(), f->Size()});
}

void TDataSet::OpenCursor() {
  std::vector<TFieldDef> defs;
  std::vector<TRecordData> rows;
  InternalOpen(defs, rows);
  fieldDefs_ = std::move(defs);
  for (TRecordData& row : rows) row.resize(fieldDefs_.size(), Variant::Null());
  rows_ = std::move(rows);
  BindFields();
  SortAndFollow(-1);
  cur_ = rows_.empty() ? -1 : 0;
  bof_ = true;
  eof_ = rows_.empty();
}

void TDataSet::CloseCursor() {
  InternalClose();
  DestroyDefaultFields();
  for (TField* f : fields_->fields_) f->column_ = -1;
  rows_.clear();
  order_.clear();
  fieldDefs_.clear();
  cur_ = -1;
  bof_ = eof_ = true;
}

// Declared fields take the columns of their names; without any, one field per column is
// made, owned by the dataset and freed when it closes.
void TDataSet::BindFields() {
  if (fields_->Count() > 0) {
    defaultFields_ = false;
    for (TField* f : fields_->fields_) {
      const auto def = std::find_if(fieldDefs_.begin(), fieldDefs_.end(), [&](const TFieldDef& d) {
        return SameText(d.Name, f->FieldName());
      });
      if (def == fieldDefs_.end()) DatabaseError("Field '" + f->FieldName() + "' not found");
      f->column_ = static_cast<int>(def - fieldDefs_.begin());
    }
    return;
  }
  defaultFields_ = true;
  for (size_t i = 0; i < fieldDefs_.size(); ++i) {
    TField* f = CreateFieldOfType(fieldDefs_[i].DataType, this);
    f->fieldName_ = fieldDefs_[i].Name;
    f->size_ = fieldDefs_[i].Size;
    AddField(f);
    f->column_ = static_cast<int>(i);
  }
}

void TDataSet::DestroyDefaultFields() {
  if (!defaultFields_) return;
  defaultFields_ = false;
  const std::vector<TField*> fields = fields_->fields_;
  for (TField* f : fields)
    if (f->Owner() == this) f->Free();
}

void TDataSet::AddField(TField* field) {
  fields_->fields_.push_back(field);
  field->dataSet_ = this;
}

void TDataSet::RemoveField(TField* field) {
  std::erase(fields_->fields_, field);
  field->dataSet_ = nullptr;
  field->column_ = -1;
  if (Active() && !ComponentState().Contains(csDestroying)) DataEvent(deLayoutChange);
}

void TDataSet::SetState(TDataSetState state) {
  if (state_ == state) return;
  state_ = state;
  modified_ = false;
  DataEvent(deUpdateState);
}

void TDataSet::CheckActive() const {
  if (!Active()) DatabaseError("Cannot perform this operation on a closed dataset");
}

void TDataSet::DatabaseError(const std::string& message) const {
  throw EDatabaseError(Name().empty() ? message : Name() + ": " + message);
}

// --- TDataSet: values --------------------------------------------------------------------------

const TDataSet::TRecordData* TDataSet::CurrentRecord() const {
  if (state_ == dsEdit || state_ == dsInsert) return &buffer_;
  if (state_ == dsInactive || cur_ < 0) return nullptr;
  return &rows_[order_[cur_]];
}

Variant TDataSet::GetFieldData(const TField* field) const {
  const TRecordData* record = CurrentRecord();
  if (!record || field->column_ < 0) return Variant::Null();
  return (*record)[field->column_];
}

void TDataSet::SetFieldData(TField* field, const Variant& value) {
  if (state_ != dsEdit && state_ != dsInsert) DatabaseError("Dataset not in edit or insert mode");
  if (!field->CanModify()) DatabaseError("Field '" + field->DisplayName() + "' cannot be modified");
  Variant& slot = buffer_[field->column_];
  Variant old = slot;
  slot = value;
  try {
    field->onValidate_(field);
  } catch (...) {
    buffer_[field->column_] = std::move(old);
    throw;
  }
  modified_ = true;
  DataEvent(deFieldChange, field);
  field->onChange_(field);
}

Variant TDataSet::FieldValues(std::string_view fieldNames) const {
  const std::vector<std::string> names = SplitFieldNames(fieldNames);
  if (names.size() == 1) return FieldByName(names[0])->Value();
  std::vector<Variant> values;
  for (const std::string& name : names) values.push_back(FieldByName(name)->Value());
  return VarArrayOf(values);
}

void TDataSet::SetFieldValues(std::string_view fieldNames, const Variant& values) {
  const std::vector<std::string> names = SplitFieldNames(fieldNames);
  if (names.size() == 1) {
    FieldByName(names[0])->SetValue(values);
    return;
  }
  if (VarArrayDimCount(values) != 1 ||
      VarArrayHighBound(values, 1) - VarArrayLowBound(values, 1) + 1 !=
          static_cast<int>(names.size()))
    DatabaseError("One value is needed for each field of '" + std::string(fieldNames) + "'");
  const int low = VarArrayLowBound(values, 1);
  for (size_t i = 0; i < names.size(); ++i)
    FieldByName(names[i])->SetValue(values[low + static_cast<int>(i)]);
}

// --- TDataSet: navigation ----------------------------------------------------------------------

int TDataSet::RecNo() const {
  if (state_ == dsInactive || state_ == dsInsert || cur_ < 0) return -1;
  return cur_ + 1;
}

void TDataSet::SetRecNo(int recNo) {
  CheckBrowseMode();
  if (recNo >= 1 && recNo <= RecordCount() && recNo - 1 != cur_) MoveTo(recNo - 1);
}

void TDataSet::First() {
  CheckBrowseMode();
  const int old = cur_;
  cur_ = rows_.empty() ? -1 : 0;
  bof_ = true;
  eof_ = rows_.empty();
  EndScroll(cur_ - old);
}

void TDataSet::Last() {
  CheckBrowseMode();
  const int old = cur_;
  cur_ = static_cast<int>(rows_.size()) - 1;
  eof_ = true;
  bof_ = rows_.empty();
  EndScroll(cur_ - old);
}

void TDataSet::Next() {
  MoveBy(1);
}

void TDataSet::Prior() {
  MoveBy(-1);
}

int TDataSet::MoveBy(int distance) {
  CheckBrowseMode();
  int moved = 0;
  if ((distance > 0 && !eof_) || (distance < 0 && !bof_)) {
    bof_ = eof_ = false;
    const int last = static_cast<int>(rows_.size()) - 1;
    const int target = std::clamp(cur_ + distance, 0, std::max(last, 0));
    moved = rows_.empty() ? 0 : target - cur_;
    if (moved != distance) (distance > 0 ? eof_ : bof_) = true;
    cur_ += moved;
  }
  EndScroll(moved);
  return moved;
}

void TDataSet::MoveTo(int position) {
  const int old = cur_;
  cur_ = position;
  bof_ = eof_ = false;
  EndScroll(cur_ - old);
}

void TDataSet::EndScroll(int moved) {
  DataEvent(deDataSetScroll, nullptr, moved);
  afterScroll_(this);
}

bool TDataSet::Matches(int row, const std::vector<int>& columns, const std::vector<Variant>& values,
                       TLocateOptions options) const {
  const bool caseInsensitive = options.Contains(loCaseInsensitive);
  for (size_t i = 0; i < columns.size(); ++i) {
    const TFieldType type = fieldDefs_[columns[i]].DataType;
    const Variant& value = rows_[row][columns[i]];
    const bool text = IsTextFieldType(type);
    if (options.Contains(loPartialKey) && text && !IsBlank(values[i])) {
      if (IsBlank(value)) return false;
      std::string v = VarToStr(value);
      std::string key = VarToStr(values[i]);
      if (caseInsensitive) {
        v = UpperCase(v);
        key = UpperCase(key);
      }
      if (!v.starts_with(key)) return false;
    } else if (CompareValues(value, values[i], type, caseInsensitive && text) != 0) {
      return false;
    }
  }
  return true;
}

bool TDataSet::Locate(std::string_view keyFields, const Variant& keyValues,
                      TLocateOptions options) {
  CheckBrowseMode();
  const std::vector<std::string> names = SplitFieldNames(keyFields);
  if (names.empty()) DatabaseError("No key fields to locate");
  std::vector<int> columns;
  bool anyText = false;
  for (const std::string& name : names) {
    const TField* field = FieldByName(name);
    if (field->column_ < 0) DatabaseError("Field '" + name + "' has no data");
    columns.push_back(field->column_);
    anyText = anyText || IsTextFieldType(fieldDefs_[field->column_].DataType);
  }
  std::vector<Variant> values;
  if (!keyValues.IsArray()) {
    values.push_back(keyValues);
  } else if (VarArrayDimCount(keyValues) == 1) {
    for (int i = VarArrayLowBound(keyValues, 1); i <= VarArrayHighBound(keyValues, 1); ++i)
      values.push_back(keyValues[i]);
  }
  if (values.size() != columns.size())
    DatabaseError("Locate needs one key value for each of the fields '" + std::string(keyFields) +
                  "'");

  // The index answers when the key fields are its leading fields (in any order) and it
  // compares the way the search asks for.
  int position = -1;
  const size_t k = columns.size();
  const bool indexFits =
      indexColumns_.size() >= k && !options.Contains(loPartialKey) &&
      (!anyText || options.Contains(loCaseInsensitive) == indexCaseInsensitive_) &&
      std::is_permutation(columns.begin(), columns.end(), indexColumns_.begin(),
                          indexColumns_.begin() + static_cast<ptrdiff_t>(k));
  if (indexFits) {
    std::vector<Variant> key;
    for (size_t i = 0; i < k; ++i) {
      const size_t at =
          std::find(columns.begin(), columns.end(), indexColumns_[i]) - columns.begin();
      key.push_back(values[at]);
    }
    position = FindIndexKey(key);
  } else {
    for (size_t p = 0; p < order_.size(); ++p) {
      if (Matches(order_[p], columns, values, options)) {
        position = static_cast<int>(p);
        break;
      }
    }
  }
  if (position < 0) return false;
  MoveTo(position);
  return true;
}

// --- TDataSet: index ---------------------------------------------------------------------------

int TDataSet::CompareRows(int a, int b) const {
  for (int column : indexColumns_) {
    const int c = CompareValues(rows_[a][column], rows_[b][column], fieldDefs_[column].DataType,
                                indexCaseInsensitive_);
    if (c != 0) return indexDescending_ ? -c : c;
  }
  return 0;
}

void TDataSet::SortAndFollow(int row) {
  order_.resize(rows_.size());
  std::iota(order_.begin(), order_.end(), 0);
  if (!indexColumns_.empty())
    std::stable_sort(order_.begin(), order_.end(),
                     [this](int a, int b) { return CompareRows(a, b) < 0; });
  cur_ = row < 0 ? -1
                 : static_cast<int>(std::find(order_.begin(), order_.end(), row) - order_.begin());
}

void TDataSet::SetIndexColumns(std::vector<int> columns, bool caseInsensitive, bool descending) {
  indexColumns_ = std::move(columns);
  indexCaseInsensitive_ = caseInsensitive;
  indexDescending_ = descending;
  if (!Active()) return;
  SortAndFollow(cur_ >= 0 ? order_[cur_] : -1);
  DataEvent(deDataSetChange);
}

int TDataSet::FindIndexKey(const std::vector<Variant>& values) const {
  const size_t k = std::min(values.size(), indexColumns_.size());
  auto compareKey = [&](int row) {
    for (size_t i = 0; i < k; ++i) {
      const int column = indexColumns_[i];
      const int c = CompareValues(rows_[row][column], values[i], fieldDefs_[column].DataType,
                                  indexCaseInsensitive_);
      if (c != 0) return indexDescending_ ? -c : c;
    }
    return 0;
  };
  const auto it = std::partition_point(order_.begin(), order_.end(),
                                       [&](int row) { return compareKey(row) < 0; });
  if (it == order_.end() || compareKey(*it) != 0) return -1;
  return static_cast<int>(it - order_.begin());
}

bool TDataSet::ReplaceData(const std::vector<TFieldDef>& defs, std::vector<TRecordData> rows) {
  if (!Active() || defs.size() != fieldDefs_.size()) return false;
  for (size_t i = 0; i < defs.size(); ++i)
    if (!SameText(defs[i].Name, fieldDefs_[i].Name) || defs[i].DataType != fieldDefs_[i].DataType)
      return false;
  std::vector<Variant> key;
  if (const TRecordData* record = CurrentRecord(); record && !indexColumns_.empty())
    for (int column : indexColumns_) key.push_back((*record)[column]);
  const int oldPosition = cur_;
  for (TRecordData& row : rows) row.resize(fieldDefs_.size(), Variant::Null());
  rows_ = std::move(rows);
  SortAndFollow(-1);
  if (rows_.empty()) {
    bof_ = eof_ = true;
  } else {
    const int found = key.empty() ? -1 : FindIndexKey(key);
    cur_ = found >= 0 ? found : std::clamp(oldPosition, 0, static_cast<int>(rows_.size()) - 1);
    bof_ = eof_ = false;
  }
  DataEvent(deDataSetChange);
  return true;
}

// --- TDataSet: editing -------------------------------------------------------------------------

void TDataSet::Edit() {
  CheckActive();
  if (state_ == dsEdit || state_ == dsInsert) return;
  if (rows_.empty()) {
    Insert();
    return;
  }
  beforeEdit_(this);
  buffer_ = rows_[order_[cur_]];
  SetState(dsEdit);
  DataEvent(deRecordChange);
  afterEdit_(this);
}

void TDataSet::Insert() {
  CheckBrowseMode();
  buffer_.assign(fieldDefs_.size(), Variant::Null());
  appending_ = false;
  SetState(dsInsert);
  DataEvent(deDataSetChange);
}

void TDataSet::Append() {
  Insert();
  appending_ = true;
}

void TDataSet::UpdateRecord() {
  if (state_ != dsEdit && state_ != dsInsert) DatabaseError("Dataset not in edit or insert mode");
  DataEvent(deUpdateRecord);
}

void TDataSet::Post() {
  UpdateRecord();
  DataEvent(deCheckBrowseMode);
  for (TField* f : fields_->fields_)
    if (f->Required() && f->column_ >= 0 && IsBlank(buffer_[f->column_]))
      DatabaseError("Field '" + f->DisplayName() + "' must have a value");
  beforePost_(this);
  const bool inserting = state_ == dsInsert;
  int row;
  if (inserting) {
    // Rows are kept in their natural order: an insert without an index goes before the
    // current record, anything else to the end.
    const bool before = indexColumns_.empty() && !appending_ && cur_ >= 0;
    row = before ? order_[cur_] : static_cast<int>(rows_.size());
    rows_.insert(rows_.begin() + row, std::move(buffer_));
  } else {
    row = order_[cur_];
    rows_[row] = std::move(buffer_);
  }
  buffer_.clear();
  SortAndFollow(row);
  bof_ = eof_ = false;
  SetState(dsBrowse);
  RecordPosted(inserting);
  DataEvent(deDataSetChange);
  afterPost_(this);
}

void TDataSet::Cancel() {
  if (state_ != dsEdit && state_ != dsInsert) return;
  beforeCancel_(this);
  buffer_.clear();
  SetState(dsBrowse);
  DataEvent(deDataSetChange);
  afterCancel_(this);
}

void TDataSet::Delete() {
  CheckActive();
  if (state_ == dsInsert) {
    Cancel();
    return;
  }
  if (rows_.empty()) DatabaseError("Cannot perform this operation on an empty dataset");
  DataEvent(deCheckBrowseMode);
  const int position = cur_;
  rows_.erase(rows_.begin() + order_[cur_]);
  SortAndFollow(-1);
  cur_ = std::min(position, static_cast<int>(order_.size()) - 1);
  bof_ = eof_ = rows_.empty();
  buffer_.clear();
  SetState(dsBrowse);
  RecordDeleted();
  DataEvent(deDataSetChange);
  afterScroll_(this);
}

void TDataSet::CheckBrowseMode() {
  CheckActive();
  DataEvent(deCheckBrowseMode);
  if (state_ != dsEdit && state_ != dsInsert) return;
  UpdateRecord();
  if (modified_)
    Post();
  else
    Cancel();
}

// --- TDataSet: controls ------------------------------------------------------------------------

void TDataSet::DisableControls() {
  if (disableCount_ == 0) disableState_ = state_;
  ++disableCount_;
}

void TDataSet::EnableControls() {
  if (disableCount_ == 0) return;
  if (--disableCount_ > 0) return;
  if (disableState_ != state_) DataEvent(deUpdateState);
  if (disableState_ != dsInactive && state_ != dsInactive) DataEvent(deDataSetChange);
}

void TDataSet::DataEvent(TDataEvent event, TField* field, int info) {
  if (disableCount_ > 0) return;
  // NOTE: a handler may detach sources; skip those no longer attached.
  const std::vector<TDataSource*> sources = dataSources_;
  for (TDataSource* source : sources)
    if (std::find(dataSources_.begin(), dataSources_.end(), source) != dataSources_.end())
      source->DataEvent(event, field, info);
}

void TDataSet::AddDataSource(TDataSource* source) {
  if (std::find(dataSources_.begin(), dataSources_.end(), source) == dataSources_.end())
    dataSources_.push_back(source);
}

void TDataSet::RemoveDataSource(TDataSource* source) {
  std::erase(dataSources_, source);
}

// --- TDataSource -------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(
    TDataSource,
    .Prop<&TDataSource::AutoEdit, &TDataSource::SetAutoEdit>("AutoEdit")
        .Prop<&TDataSource::DataSet, &TDataSource::SetDataSet>("DataSet")
        .Prop<&TDataSource::Enabled, &TDataSource::SetEnabled>("Enabled")
        .Prop<&TDataSource::OnDataChange, &TDataSource::SetOnDataChange>("OnDataChange")
        .Prop<&TDataSource::OnStateChange, &TDataSource::SetOnStateChange>("OnStateChange")
        .Prop<&TDataSource::OnUpdateData, &TDataSource::SetOnUpdateData>("OnUpdateData"))

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource() {
  Detach();
}

void TDataSource::BeforeDestruction() {
  Detach();
  TComponent::BeforeDestruction();
}

void TDataSource::Detach() {
  onStateChange_ = nullptr;
  onDataChange_ = nullptr;
  SetDataSet(nullptr);
  const std::vector<TDataLink*> links = links_;
  links_.clear();
  for (TDataLink* link : links) {
    link->dataSource_ = nullptr;
    link->UpdateState();
  }
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  if (dataSet_) {
    dataSet_->RemoveDataSource(this);
    RemoveFreeNotification(dataSet_);
  }
  dataSet_ = dataSet;
  if (dataSet_) {
    dataSet_->AddDataSource(this);
    FreeNotification(dataSet_);
  }
  UpdateState();
}

void TDataSource::SetEnabled(bool value) {
  enabled_ = value;
  UpdateState();
}

void TDataSource::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component && component == dataSet_) SetDataSet(nullptr);
}

void TDataSource::UpdateState() {
  const TDataSetState state = dataSet_ && enabled_ ? dataSet_->State() : dsInactive;
  if (state == state_) return;
  const TDataSetState prior = state_;
  state_ = state;
  NotifyLinks(deUpdateState, nullptr, 0);
  if (ComponentState().Contains(csDestroying)) return;
  onStateChange_(this);
  if (prior == dsInactive) onDataChange_(this, nullptr);
}

void TDataSource::Edit() {
  if (autoEdit_ && state_ == dsBrowse && dataSet_) dataSet_->Edit();
}

void TDataSource::DataEvent(TDataEvent event, TField* field, int info) {
  if (event == deUpdateState) {
    UpdateState();
    return;
  }
  if (state_ == dsInactive) return;
  NotifyLinks(event, field, info);
  switch (event) {
    case deFieldChange:
      onDataChange_(this, field);
      break;
    case deRecordChange:
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
      onDataChange_(this, nullptr);
      break;
    case deUpdateRecord:
      onUpdateData_(this);
      break;
    default:
      break;
  }
}

void TDataSource::NotifyLinks(TDataEvent event, TField* field, int info) {
  const std::vector<TDataLink*> links = links_;
  for (TDataLink* link : links)
    if (std::find(links_.begin(), links_.end(), link) != links_.end())
      link->DataEvent(event, field, info);
}

void TDataSource::AddDataLink(TDataLink* link) {
  if (std::find(links_.begin(), links_.end(), link) == links_.end()) links_.push_back(link);
}

void TDataSource::RemoveDataLink(TDataLink* link) {
  std::erase(links_, link);
}

// --- TDataLink ---------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TDataLink)

TDataLink::~TDataLink() {
  if (dataSource_) dataSource_->RemoveDataLink(this);
}

void TDataLink::SetDataSource(TDataSource* source) {
  if (source == dataSource_) return;
  if (dataSource_) dataSource_->RemoveDataLink(this);
  dataSource_ = source;
  if (dataSource_) dataSource_->AddDataLink(this);
  UpdateState();
}

TDataSet* TDataLink::DataSet() const {
  return dataSource_ ? dataSource_->DataSet() : nullptr;
}

void TDataLink::SetReadOnly(bool value) {
  readOnly_ = value;
  UpdateState();
}

bool TDataLink::Edit() {
  if (!readOnly_ && dataSource_) dataSource_->Edit();
  return editing_;
}

void TDataLink::UpdateRecord() {
  updating_ = true;
  try {
    UpdateData();
  } catch (...) {
    updating_ = false;
    throw;
  }
  updating_ = false;
}

void TDataLink::UpdateState() {
  const TDataSetState state = dataSource_ ? dataSource_->State() : dsInactive;
  const bool active = state != dsInactive;
  if (active != active_) {
    active_ = active;
    ActiveChanged();
  }
  const bool editing = active && !readOnly_ && (state == dsEdit || state == dsInsert);
  if (editing != editing_) {
    editing_ = editing;
    EditingChanged();
  }
}

void TDataLink::DataEvent(TDataEvent event, TField* field, int info) {
  if (event == deUpdateState) {
    UpdateState();
    return;
  }
  if (!active_) return;
  switch (event) {
    case deFieldChange:
    case deRecordChange:
      if (!updating_) RecordChanged(field);
      break;
    case deDataSetChange:
      DataSetChanged();
      break;
    case deDataSetScroll:
      DataSetScrolled(info);
      break;
    case deLayoutChange:
      LayoutChanged();
      break;
    case deUpdateRecord:
      UpdateRecord();
      break;
    case deCheckBrowseMode:
      CheckBrowseMode();
      break;
    default:
      break;
  }
}

// --- TFieldDataLink ----------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TFieldDataLink)

void TFieldDataLink::SetFieldName(const std::string& name) {
  if (name == fieldName_) return;
  fieldName_ = name;
  FieldChanged();
}

TField* TFieldDataLink::Field() const {
  if (!Active() || fieldName_.empty() || !DataSet()) return nullptr;
  return DataSet()->FindField(fieldName_);
}

bool TFieldDataLink::CanModify() const {
  const TField* field = Field();
  return !ReadOnly() && field && field->CanModify();
}

void TFieldDataLink::FieldChanged() {
  EditingChanged();
  RecordChanged(nullptr);
}

void TFieldDataLink::ActiveChanged() {
  FieldChanged();
  onActiveChange_(this);
}

void TFieldDataLink::EditingChanged() {
  onEditingChange_(this);
}

void TFieldDataLink::LayoutChanged() {
  FieldChanged();
}

void TFieldDataLink::RecordChanged(TField* field) {
  if (field && field != Field()) return;
  onDataChange_(this);
  modified_ = false;
}

void TFieldDataLink::UpdateData() {
  if (!modified_) return;
  if (Field()) onUpdateData_(this);
  modified_ = false;
}
