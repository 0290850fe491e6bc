// Client datasets: rows fetched from a provider by name ("pvdConSave"), edited locally,
// ordered and searched by an index on several fields.
//
// Deviations by design:
// - The provider is an interface the program (or a test) hands over; the application
//   server's provider is one implementation of it. Local changes are never sent back.
// - Index options other than ixDescending and ixCaseInsensitive are kept but not enforced.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "DB.h"

class TSocketConnection;

// Where a client dataset's rows come from. The records of a provider are a
// two-dimensional array (first dimension the rows, second the columns, any bounds) whose
// first row holds the column names; an array of row arrays is read the same way. A column
// takes its type from its first value that is not Null.
class IProvider {
 public:
  virtual ~IProvider() = default;
  virtual Variant GetRecords(const std::string& providerName) = 0;
};

// The providers an application-server object exports, fetched over its connection (or
// from the object created in process): whatever the object holds as `AppServer`.
class TAppServerProvider : public IProvider {
 public:
  explicit TAppServerProvider(Variant appServer) : appServer_(std::move(appServer)) {}
  // The server's failure ("Provider not exported", a dropped connection) is raised again.
  Variant GetRecords(const std::string& providerName) override;

 private:
  Variant appServer_;
};

// A provider held in memory, by provider name (without regard to case).
class TArrayProvider : public IProvider {
 public:
  void SetRecords(const std::string& providerName, const std::vector<std::string>& columns,
                  const std::vector<std::vector<Variant>>& rows);
  void SetRecords(const std::string& providerName, const Variant& records);
  // Raises EDatabaseError "Provider not exported: X" for a name it does not hold.
  Variant GetRecords(const std::string& providerName) override;
  // How many times records were fetched.
  int FetchCount() const { return fetchCount_; }

 private:
  std::vector<std::pair<std::string, Variant>> records_;
  int fetchCount_ = 0;
};

// The columns and rows of a provider's records; raises EDatabaseError "Invalid data
// packet: ..." for anything else (no names row, a name that is empty, not text or
// repeated, a record longer than the names row).
void ReadProviderRecords(const Variant& records, std::vector<TFieldDef>& defs,
                         std::vector<TDataSet::TRecordData>& rows);

KXBR_ENUM(TIndexOption, ixPrimary, ixUnique, ixDescending, ixCaseInsensitive, ixExpression,
          ixNonMaintained)
using TIndexOptions = TSet<TIndexOption>;

// A named index: its fields ("A;B;C") and options.
class TIndexDef : public TCollectionItem {
  KXBR_CLASS(TIndexDef, TCollectionItem)

 public:
  using TCollectionItem::TCollectionItem;

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name) { name_ = name; }
  const std::string& Fields() const { return fields_; }
  void SetFields(const std::string& fields) { fields_ = fields; }
  TIndexOptions Options() const { return options_; }
  void SetOptions(TIndexOptions options) { options_ = options; }
  std::string DisplayName() const override { return name_; }
  void Assign(const TPersistent* source) override;

 private:
  std::string name_;
  std::string fields_;
  TIndexOptions options_;
};

class TIndexDefs : public TOwnedCollection {
  KXBR_CLASS(TIndexDefs, TOwnedCollection)

 public:
  explicit TIndexDefs(TDataSet* owner) : TOwnedCollection(owner, TIndexDef::StaticClass()) {}
  TIndexDef* Items(int index) const;
  TIndexDef* Add(const std::string& name, const std::string& fields, TIndexOptions options = {});
  // Without regard to case; null when absent.
  TIndexDef* Find(std::string_view name) const;
};

class TClientDataSet : public TDataSet {
  KXBR_CLASS(TClientDataSet, TDataSet)

 public:
  explicit TClientDataSet(TComponent* owner);
  ~TClientDataSet() override;

  const std::string& ProviderName() const { return providerName_; }
  // Raises EDatabaseError while open.
  void SetProviderName(const std::string& name);
  const std::shared_ptr<IProvider>& Provider() const { return provider_; }
  void SetProvider(std::shared_ptr<IProvider> provider) { provider_ = std::move(provider); }
  // The connection whose server object exports the provider; used when no provider was
  // handed over. Raises EDatabaseError while open.
  TSocketConnection* RemoteServer() const { return remoteServer_; }
  void SetRemoteServer(TSocketConnection* server);

  // The order of the records: by the fields named (IndexFieldNames, "A;B") or by the index
  // definition named (IndexName); setting one clears the other. An unknown field or index
  // raises EDatabaseError and changes nothing.
  const std::string& IndexFieldNames() const { return indexFieldNames_; }
  void SetIndexFieldNames(const std::string& names);
  const std::string& IndexName() const { return indexName_; }
  void SetIndexName(const std::string& name);
  TIndexDefs* IndexDefs() const { return indexDefs_.get(); }
  void SetIndexDefs(TIndexDefs* defs) { indexDefs_->Assign(defs); }

  // Moves to the first record whose leading index fields equal the values; false leaves
  // the cursor. Raises EDatabaseError without an index or with more values than fields.
  bool FindKey(const std::vector<Variant>& keyValues);
  // Fetches the rows again, keeping the current record when its key is still there.
  // Raises EDatabaseError while local changes are pending.
  void Refresh();
  // Records posted or deleted locally since the data was fetched.
  int ChangeCount() const { return changeCount_; }
  void MergeChangeLog() { changeCount_ = 0; }

 protected:
  void InternalOpen(std::vector<TFieldDef>& defs, std::vector<TRecordData>& rows) override;
  void Notification(TComponent* component, TOperation operation) override;
  void RecordPosted(bool) override { ++changeCount_; }
  void RecordDeleted() override { ++changeCount_; }

 private:
  void FetchRecords(std::vector<TFieldDef>& defs, std::vector<TRecordData>& rows);
  void ApplyIndex(const std::vector<TFieldDef>& defs);
  // Sets one of the two index choices (the other is cleared) and applies it.
  void ChangeIndex(const std::string& fieldNames, const std::string& indexName);

  std::string providerName_;
  std::shared_ptr<IProvider> provider_;
  TSocketConnection* remoteServer_ = nullptr;
  std::string indexFieldNames_;
  std::string indexName_;
  std::unique_ptr<TIndexDefs> indexDefs_;
  int changeCount_ = 0;
};

// The component pack's client dataset, as form resources name it; it adds nothing the
// module uses.
class TwwClientDataSet : public TClientDataSet {
  KXBR_CLASS(TwwClientDataSet, TClientDataSet)

 public:
  using TClientDataSet::TClientDataSet;
};
