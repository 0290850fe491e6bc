#include "DBClient.h"

#include <algorithm>

#include "SConnect.h"

namespace {

[[noreturn]] void InvalidPacket(const std::string& why) {
  throw EDatabaseError("Invalid data packet: " + why);
}

TFieldType TypeOfValue(const Variant& v) {
  switch (v.VarType()) {
    case varOleStr:
      return ftWideString;
    case varString:
      return ftString;
    case varSmallint:
      return ftSmallint;
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
      return ftInteger;
    case varInt64:
      return ftLargeint;
    case varSingle:
    case varDouble:
      return ftFloat;
    case varCurrency:
      return ftCurrency;
    case varDate:
      return ftDateTime;
    case varBoolean:
      return ftBoolean;
    default:
      return ftVariant;
  }
}

// The records as rows of values: a two-dimensional array or an array of row arrays.
std::vector<std::vector<Variant>> RecordTable(const Variant& records) {
  std::vector<std::vector<Variant>> table;
  const int dims = VarArrayDimCount(records);
  if (dims == 2) {
    for (int r = VarArrayLowBound(records, 1); r <= VarArrayHighBound(records, 1); ++r) {
      std::vector<Variant>& row = table.emplace_back();
      for (int c = VarArrayLowBound(records, 2); c <= VarArrayHighBound(records, 2); ++c)
        row.push_back(records.At({r, c}));
    }
  } else if (dims == 1) {
    for (int r = VarArrayLowBound(records, 1); r <= VarArrayHighBound(records, 1); ++r) {
      const Variant& source = records[r];
      if (VarArrayDimCount(source) != 1) InvalidPacket("a record is not an array");
      std::vector<Variant>& row = table.emplace_back();
      for (int c = VarArrayLowBound(source, 1); c <= VarArrayHighBound(source, 1); ++c)
        row.push_back(source[c]);
    }
  } else {
    InvalidPacket("the records are not an array of rows");
  }
  return table;
}

}  // namespace

void ReadProviderRecords(const Variant& records, std::vector<TFieldDef>& defs,
                         std::vector<TDataSet::TRecordData>& rows) {
  std::vector<std::vector<Variant>> table = RecordTable(records);
  if (table.empty()) InvalidPacket("no row of column names");
  defs.clear();
  for (const Variant& name : table[0]) {
    if (!name.IsText() || name.RawText().empty()) InvalidPacket("a column has no name");
    const std::string& text = name.RawText();
    if (std::any_of(defs.begin(), defs.end(),
                    [&](const TFieldDef& d) { return SameText(d.Name, text); }))
      InvalidPacket("column '" + text + "' appears twice");
    defs.push_back({text, ftString, 0});
  }
  rows.assign(table.begin() + 1, table.end());
  for (TDataSet::TRecordData& row : rows) {
    if (row.size() > defs.size()) InvalidPacket("a record has more values than there are columns");
    row.resize(defs.size(), Variant::Null());
  }
  for (size_t c = 0; c < defs.size(); ++c) {
    const auto first = std::find_if(rows.begin(), rows.end(), [&](const auto& row) {
      return !row[c].IsNull() && !row[c].IsEmpty();
    });
    if (first != rows.end()) defs[c].DataType = TypeOfValue((*first)[c]);
  }
}

// --- TArrayProvider ----------------------------------------------------------------------------

void TArrayProvider::SetRecords(const std::string& providerName,
                                const std::vector<std::string>& columns,
                                const std::vector<std::vector<Variant>>& rows) {
  std::vector<Variant> table;
  std::vector<Variant> names;
  for (const std::string& column : columns) names.emplace_back(column);
  table.push_back(VarArrayOf(names));
  for (const std::vector<Variant>& row : rows) table.push_back(VarArrayOf(row));
  SetRecords(providerName, VarArrayOf(table));
}

void TArrayProvider::SetRecords(const std::string& providerName, const Variant& records) {
  for (auto& [name, data] : records_) {
    if (SameText(name, providerName)) {
      data = records;
      return;
    }
  }
  records_.emplace_back(providerName, records);
}

Variant TArrayProvider::GetRecords(const std::string& providerName) {
  for (const auto& [name, data] : records_) {
    if (SameText(name, providerName)) {
      ++fetchCount_;
      return data;
    }
  }
  throw EDatabaseError("Provider not exported: " + providerName);
}

// --- Index definitions -------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TIndexDef, .Prop<&TIndexDef::Fields, &TIndexDef::SetFields>("Fields")
                                 .Prop<&TIndexDef::Name, &TIndexDef::SetName>("Name")
                                 .Prop<&TIndexDef::Options, &TIndexDef::SetOptions>("Options"))
KXBR_DEFINE_CLASS(TIndexDefs)

void TIndexDef::Assign(const TPersistent* source) {
  if (const auto* def = dynamic_cast<const TIndexDef*>(source)) {
    name_ = def->name_;
    fields_ = def->fields_;
    options_ = def->options_;
    return;
  }
  TCollectionItem::Assign(source);
}

TIndexDef* TIndexDefs::Items(int index) const {
  return static_cast<TIndexDef*>(TCollection::Items(index));
}

TIndexDef* TIndexDefs::Add(const std::string& name, const std::string& fields,
                           TIndexOptions options) {
  auto* def = static_cast<TIndexDef*>(TCollection::Add());
  def->SetName(name);
  def->SetFields(fields);
  def->SetOptions(options);
  return def;
}

TIndexDef* TIndexDefs::Find(std::string_view name) const {
  for (int i = 0; i < Count(); ++i)
    if (SameText(Items(i)->Name(), name)) return Items(i);
  return nullptr;
}

// --- TClientDataSet ----------------------------------------------------------------------------

KXBR_DEFINE_CLASS(
    TClientDataSet,
    .Prop<&TClientDataSet::IndexDefs, &TClientDataSet::SetIndexDefs>("IndexDefs")
        .Prop<&TClientDataSet::IndexFieldNames, &TClientDataSet::SetIndexFieldNames>(
            "IndexFieldNames")
        .Prop<&TClientDataSet::IndexName, &TClientDataSet::SetIndexName>("IndexName")
        .Prop<&TClientDataSet::ProviderName, &TClientDataSet::SetProviderName>("ProviderName")
        .Prop<&TClientDataSet::RemoteServer, &TClientDataSet::SetRemoteServer>("RemoteServer"))
KXBR_DEFINE_CLASS(TwwClientDataSet)

TClientDataSet::TClientDataSet(TComponent* owner)
    : TDataSet(owner), indexDefs_(std::make_unique<TIndexDefs>(this)) {}

TClientDataSet::~TClientDataSet() = default;

void TClientDataSet::SetProviderName(const std::string& name) {
  if (name == providerName_) return;
  if (Active()) DatabaseError("Cannot perform this operation on an open dataset");
  providerName_ = name;
}

void TClientDataSet::SetIndexFieldNames(const std::string& names) {
  ChangeIndex(names, "");
}

void TClientDataSet::SetIndexName(const std::string& name) {
  ChangeIndex("", name);
}

void TClientDataSet::ChangeIndex(const std::string& fieldNames, const std::string& indexName) {
  const std::string oldNames = indexFieldNames_;
  const std::string oldName = indexName_;
  indexFieldNames_ = fieldNames;
  indexName_ = indexName;
  if (!Active()) return;
  try {
    ApplyIndex(FieldDefs());
  } catch (...) {  // a rejected index changes nothing
    indexFieldNames_ = oldNames;
    indexName_ = oldName;
    throw;
  }
}

// Resolves the index's field names against the columns; nothing changes when one fails.
void TClientDataSet::ApplyIndex(const std::vector<TFieldDef>& defs) {
  std::string fields = indexFieldNames_;
  TIndexOptions options;
  if (!indexName_.empty()) {
    const TIndexDef* def = indexDefs_->Find(indexName_);
    if (!def) DatabaseError("Index '" + indexName_ + "' not found");
    fields = def->Fields();
    options = def->Options();
  }
  std::vector<int> columns;
  for (const std::string& name : SplitFieldNames(fields)) {
    const auto def = std::find_if(defs.begin(), defs.end(),
                                  [&](const TFieldDef& d) { return SameText(d.Name, name); });
    if (def == defs.end()) DatabaseError("Field '" + name + "' not found");
    columns.push_back(static_cast<int>(def - defs.begin()));
  }
  SetIndexColumns(std::move(columns), options.Contains(ixCaseInsensitive),
                  options.Contains(ixDescending));
}

void TClientDataSet::SetRemoteServer(TSocketConnection* server) {
  if (server == remoteServer_) return;
  if (Active()) DatabaseError("Cannot perform this operation on an open dataset");
  if (remoteServer_ != nullptr) remoteServer_->RemoveFreeNotification(this);
  remoteServer_ = server;
  if (remoteServer_ != nullptr) remoteServer_->FreeNotification(this);
}

void TClientDataSet::Notification(TComponent* component, TOperation operation) {
  TDataSet::Notification(component, operation);
  if (operation == opRemove && component == remoteServer_) remoteServer_ = nullptr;
}

void TClientDataSet::FetchRecords(std::vector<TFieldDef>& defs, std::vector<TRecordData>& rows) {
  if (providerName_.empty() || (!provider_ && remoteServer_ == nullptr))
    DatabaseError("Missing data provider or data packet");
  if (provider_) {
    ReadProviderRecords(provider_->GetRecords(providerName_), defs, rows);
    return;
  }
  // The server object as the connection holds it now (it may have reconnected).
  TAppServerProvider server(remoteServer_->AppServer());
  ReadProviderRecords(server.GetRecords(providerName_), defs, rows);
}

void TClientDataSet::InternalOpen(std::vector<TFieldDef>& defs, std::vector<TRecordData>& rows) {
  FetchRecords(defs, rows);
  ApplyIndex(defs);
  changeCount_ = 0;
}

bool TClientDataSet::FindKey(const std::vector<Variant>& keyValues) {
  CheckBrowseMode();
  if (IndexColumns().empty()) DatabaseError("No index currently active");
  if (keyValues.empty() || keyValues.size() > IndexColumns().size())
    DatabaseError("FindKey needs between 1 and " + IntToStr(IndexColumns().size()) + " key values");
  const int position = FindIndexKey(keyValues);
  if (position < 0) return false;
  MoveTo(position);
  return true;
}

void TClientDataSet::Refresh() {
  CheckBrowseMode();
  if (changeCount_ > 0) DatabaseError("Must apply updates before refreshing data");
  std::vector<TFieldDef> defs;
  std::vector<TRecordData> rows;
  FetchRecords(defs, rows);
  if (ReplaceData(defs, std::move(rows))) return;
  // The columns changed: open the new data from scratch.
  Close();
  Open();
}

Variant TAppServerProvider::GetRecords(const std::string& providerName) {
  return GetProviderRecords(appServer_, providerName);
}
