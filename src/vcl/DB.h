// Datasets for data-aware forms: TDataSet with its fields, a cursor over rows held in
// memory, local editing (edit, insert, post, cancel, delete), Locate over several fields,
// an optional index, and the notifications that data sources pass on to data-aware
// controls through data links.
//
//   ds->Open();                                  // fields from the data, cursor on row 1
//   ds->Locate("CODE;USERID", VarArrayOf({"A1", "u1"}), {loCaseInsensitive});
//   ds->Edit(); ds->FieldByName("NAME")->SetAsString("x"); ds->Post();
//
// Deviations by design:
// - Rows are held in memory by the dataset; a descendant supplies them when it opens
//   (InternalOpen). Bookmarks, filters, ranges, calculated and lookup fields are absent.
// - Fields declared in a form resource stay owned by the form when their dataset is freed;
//   they are only detached from it.
// - A field data link whose field name the dataset does not have links to no field
//   instead of raising.
// - RecNo is -1 when there is no current record (closed, empty, or inserting).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Classes.h"
#include "Variant.h"

KXBR_EXCEPTION_CLASS(EDatabaseError, Exception)

KXBR_ENUM(TFieldType, ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat,
          ftCurrency, ftBCD, ftDate, ftTime, ftDateTime, ftAutoInc, ftBlob, ftMemo, ftWideString,
          ftLargeint, ftVariant)
KXBR_ENUM(TDataSetState, dsInactive, dsBrowse, dsEdit, dsInsert)
KXBR_ENUM(TDataEvent, deFieldChange, deRecordChange, deDataSetChange, deDataSetScroll,
          deLayoutChange, deUpdateRecord, deUpdateState, deCheckBrowseMode)
KXBR_ENUM(TLocateOption, loCaseInsensitive, loPartialKey)
using TLocateOptions = TSet<TLocateOption>;

class TDataSet;
class TDataSource;
class TField;
class TDataLink;

using TFieldNotifyEvent = TEvent<void(TField* Sender)>;
using TFieldGetTextEvent = TEvent<void(TField* Sender, std::string& Text, bool DisplayText)>;
using TFieldSetTextEvent = TEvent<void(TField* Sender, const std::string& Text)>;
using TDataSetNotifyEvent = TEvent<void(TDataSet* DataSet)>;
using TDataChangeEvent = TEvent<void(TObject* Sender, TField* Field)>;

// Is the type a text type (string, wide string, memo)?
bool IsTextFieldType(TFieldType type);
// Field names separated by ";" ("A; B;C"), trimmed; empty pieces are skipped.
std::vector<std::string> SplitFieldNames(std::string_view names);

// --- Fields ------------------------------------------------------------------------------------

// One column of a dataset, reading and writing the current record. Values are Variants;
// the typed accessors convert by the field's type. Writing needs the dataset in edit or
// insert state and a field that is not read-only.
class TField : public TComponent {
  KXBR_CLASS(TField, TComponent)

 public:
  explicit TField(TComponent* owner);
  ~TField() override;
  void BeforeDestruction() override;

  TDataSet* DataSet() const { return dataSet_; }
  // Raises EDatabaseError while either dataset is open.
  void SetDataSet(TDataSet* dataSet);
  const std::string& FieldName() const { return fieldName_; }
  void SetFieldName(const std::string& name);
  // The caption controls show: the field name unless set.
  std::string DisplayLabel() const { return displayLabel_.empty() ? fieldName_ : displayLabel_; }
  void SetDisplayLabel(const std::string& label) { displayLabel_ = label; }
  std::string DisplayName() const { return DisplayLabel(); }
  TFieldType DataType() const { return dataType_; }
  int Size() const { return size_; }
  void SetSize(int size) { size_ = size; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value) { readOnly_ = value; }
  bool Required() const { return required_; }
  void SetRequired(bool value) { required_ = value; }
  bool Visible() const { return visible_; }
  void SetVisible(bool value) { visible_ = value; }
  // Position in the dataset's field list, -1 without a dataset.
  int Index() const;
  // 1-based column of the data the field reads, 0 when unbound.
  int FieldNo() const { return column_ + 1; }
  bool CanModify() const;

  // Null when there is no current record.
  Variant Value() const;
  void SetValue(const Variant& value);
  Variant AsVariant() const { return Value(); }
  void SetAsVariant(const Variant& value) { SetValue(value); }
  bool IsNull() const;
  void Clear() { SetValue(Variant::Null()); }
  std::string AsString() const;
  // An empty text clears a non-text field; unreadable text raises EConvertError.
  void SetAsString(const std::string& text);
  int AsInteger() const;
  void SetAsInteger(int value) { SetValue(Variant(value)); }
  double AsFloat() const;
  void SetAsFloat(double value) { SetValue(Variant(value)); }
  bool AsBoolean() const;
  void SetAsBoolean(bool value) { SetValue(Variant(value)); }
  TDateTime AsDateTime() const;
  void SetAsDateTime(TDateTime value) { SetValue(Variant::FromDate(value)); }

  // The text for editing (Text) and for display (DisplayText): OnGetText when assigned,
  // else AsString. Writing Text goes through OnSetText when assigned, else SetAsString.
  std::string Text() const { return GetText(false); }
  std::string DisplayText() const { return GetText(true); }
  void SetText(const std::string& text);

  const TFieldNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(TFieldNotifyEvent e) { onChange_ = e; }
  const TFieldNotifyEvent& OnValidate() const { return onValidate_; }
  void SetOnValidate(TFieldNotifyEvent e) { onValidate_ = e; }
  const TFieldGetTextEvent& OnGetText() const { return onGetText_; }
  void SetOnGetText(TFieldGetTextEvent e) { onGetText_ = e; }
  const TFieldSetTextEvent& OnSetText() const { return onSetText_; }
  void SetOnSetText(TFieldSetTextEvent e) { onSetText_ = e; }

  // A field declared inside its dataset in a form resource.
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* parent) override;

 protected:
  void SetDataType(TFieldType type) { dataType_ = type; }
  std::string GetText(bool displayText) const;
  // The value converted to the field's type (Null stays Null).
  Variant Convert(const Variant& value) const;

 private:
  friend class TDataSet;
  TDataSet* dataSet_ = nullptr;
  int column_ = -1;
  std::string fieldName_;
  std::string displayLabel_;
  TFieldType dataType_ = ftUnknown;
  int size_ = 0;
  bool readOnly_ = false;
  bool required_ = false;
  bool visible_ = true;
  TFieldNotifyEvent onChange_;
  TFieldNotifyEvent onValidate_;
  TFieldGetTextEvent onGetText_;
  TFieldSetTextEvent onSetText_;
};

// The field classes by data type; a dataset without declared fields creates these.
#define KXBR_FIELD_CLASS(Name, Base, Type)                                \
  class Name : public Base {                                              \
    KXBR_CLASS(Name, Base)                                                \
                                                                          \
   public:                                                                \
    explicit Name(TComponent* owner) : Base(owner) { SetDataType(Type); } \
  };
KXBR_FIELD_CLASS(TStringField, TField, ftString)
KXBR_FIELD_CLASS(TWideStringField, TStringField, ftWideString)
KXBR_FIELD_CLASS(TMemoField, TField, ftMemo)
KXBR_FIELD_CLASS(TIntegerField, TField, ftInteger)
KXBR_FIELD_CLASS(TSmallintField, TIntegerField, ftSmallint)
KXBR_FIELD_CLASS(TLargeintField, TField, ftLargeint)
KXBR_FIELD_CLASS(TFloatField, TField, ftFloat)
KXBR_FIELD_CLASS(TCurrencyField, TFloatField, ftCurrency)
KXBR_FIELD_CLASS(TBooleanField, TField, ftBoolean)
KXBR_FIELD_CLASS(TDateTimeField, TField, ftDateTime)
KXBR_FIELD_CLASS(TDateField, TDateTimeField, ftDate)
KXBR_FIELD_CLASS(TVariantField, TField, ftVariant)
#undef KXBR_FIELD_CLASS

// The fields of a dataset in order; it does not own them.
class TFields : public TObject {
  KXBR_CLASS(TFields, TObject)

 public:
  explicit TFields(TDataSet* dataSet) : dataSet_(dataSet) {}
  TDataSet* DataSet() const { return dataSet_; }
  int Count() const { return static_cast<int>(fields_.size()); }
  TField* Fields(int index) const;  // raises EListError out of range
  int IndexOf(const TField* field) const;
  // Without regard to case; null when absent.
  TField* FindField(std::string_view name) const;
  // Raises EDatabaseError "<dataset>: Field 'X' not found".
  TField* FieldByName(std::string_view name) const;

 private:
  friend class TDataSet;
  TDataSet* dataSet_;
  std::vector<TField*> fields_;
};

// --- Datasets ----------------------------------------------------------------------------------

struct TFieldDef {
  std::string Name;
  TFieldType DataType = ftString;
  int Size = 0;
};

class TDataSet : public TComponent {
  KXBR_CLASS(TDataSet, TComponent)

 public:
  using TRecordData = std::vector<Variant>;

  explicit TDataSet(TComponent* owner);
  ~TDataSet() override;
  void BeforeDestruction() override;
  void Loaded() override;

  bool Active() const { return state_ != dsInactive; }
  void SetActive(bool value);
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }
  TDataSetState State() const { return state_; }

  TFields* Fields() const { return fields_.get(); }
  int FieldCount() const { return fields_->Count(); }
  TField* FindField(std::string_view name) const { return fields_->FindField(name); }
  TField* FieldByName(std::string_view name) const { return fields_->FieldByName(name); }
  // The columns of the open data.
  const std::vector<TFieldDef>& FieldDefs() const { return fieldDefs_; }
  // One field's value, or an array of values for names separated by ";".
  Variant FieldValues(std::string_view fieldNames) const;
  void SetFieldValues(std::string_view fieldNames, const Variant& values);

  // Navigation. Moving while editing posts (or cancels an unmodified edit) first.
  void First();
  void Last();
  void Next();
  void Prior();
  int MoveBy(int distance);  // the distance actually moved
  bool Bof() const { return bof_; }
  bool Eof() const { return eof_; }
  bool IsEmpty() const { return rows_.empty(); }
  int RecordCount() const { return static_cast<int>(rows_.size()); }
  int RecNo() const;
  void SetRecNo(int recNo);  // a number outside 1..RecordCount does nothing

  // Moves to the first record (in the current order) whose fields `keyFields` ("A;B")
  // equal `keyValues` (one value, or an array with one value per field). Text fields
  // compare without case under loCaseInsensitive and by prefix under loPartialKey.
  // False leaves the cursor where it was.
  bool Locate(std::string_view keyFields, const Variant& keyValues, TLocateOptions options = {});

  // Local editing. Edit on an empty dataset inserts. Post checks required fields and
  // keeps the dataset in its edit state when it raises.
  void Edit();
  void Insert();
  void Append();
  void Post();
  void Cancel();
  void Delete();
  bool Modified() const { return modified_; }
  // Asks the data links to write what their controls hold into the fields.
  void UpdateRecord();
  // Posts a modified edit, cancels an unmodified one.
  void CheckBrowseMode();

  // While the counter is above 0 data sources hear nothing; the last EnableControls tells
  // them about the state and the data as they are then.
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return disableCount_ > 0; }

  const TDataSetNotifyEvent& BeforeOpen() const { return beforeOpen_; }
  void SetBeforeOpen(TDataSetNotifyEvent e) { beforeOpen_ = e; }
  const TDataSetNotifyEvent& AfterOpen() const { return afterOpen_; }
  void SetAfterOpen(TDataSetNotifyEvent e) { afterOpen_ = e; }
  const TDataSetNotifyEvent& BeforeClose() const { return beforeClose_; }
  void SetBeforeClose(TDataSetNotifyEvent e) { beforeClose_ = e; }
  const TDataSetNotifyEvent& AfterClose() const { return afterClose_; }
  void SetAfterClose(TDataSetNotifyEvent e) { afterClose_ = e; }
  const TDataSetNotifyEvent& BeforeEdit() const { return beforeEdit_; }
  void SetBeforeEdit(TDataSetNotifyEvent e) { beforeEdit_ = e; }
  const TDataSetNotifyEvent& AfterEdit() const { return afterEdit_; }
  void SetAfterEdit(TDataSetNotifyEvent e) { afterEdit_ = e; }
  const TDataSetNotifyEvent& BeforePost() const { return beforePost_; }
  void SetBeforePost(TDataSetNotifyEvent e) { beforePost_ = e; }
  const TDataSetNotifyEvent& AfterPost() const { return afterPost_; }
  void SetAfterPost(TDataSetNotifyEvent e) { afterPost_ = e; }
  const TDataSetNotifyEvent& BeforeCancel() const { return beforeCancel_; }
  void SetBeforeCancel(TDataSetNotifyEvent e) { beforeCancel_ = e; }
  const TDataSetNotifyEvent& AfterCancel() const { return afterCancel_; }
  void SetAfterCancel(TDataSetNotifyEvent e) { afterCancel_ = e; }
  const TDataSetNotifyEvent& AfterScroll() const { return afterScroll_; }
  void SetAfterScroll(TDataSetNotifyEvent e) { afterScroll_ = e; }

  // Raises EDatabaseError with the message after the dataset's name.
  [[noreturn]] void DatabaseError(const std::string& message) const;

  // A data source attaches itself to hear the dataset's events.
  void AddDataSource(TDataSource* source);
  void RemoveDataSource(TDataSource* source);

 protected:
  // The data layer: the columns and rows of the data being opened. The default opens
  // empty data with the columns of the declared fields.
  virtual void InternalOpen(std::vector<TFieldDef>& defs, std::vector<TRecordData>& rows);
  virtual void InternalClose() {}
  // Told after a record was posted (inserted or changed) or deleted locally.
  virtual void RecordPosted(bool inserted) { (void)inserted; }
  virtual void RecordDeleted() {}

  // The order records are visited in: by the given columns, or storage order for none.
  // The cursor stays on its record.
  void SetIndexColumns(std::vector<int> columns, bool caseInsensitive, bool descending);
  const std::vector<int>& IndexColumns() const { return indexColumns_; }
  // The position (in order) of the first record whose leading index columns equal
  // `values`, or -1.
  int FindIndexKey(const std::vector<Variant>& values) const;
  // Moves to a position of the order (0-based) as a scroll.
  void MoveTo(int position);
  // Replaces the rows of open data with columns like the present ones (false, changing
  // nothing, when they differ). The cursor stays on the record with the same index key,
  // or at the same position without an index.
  bool ReplaceData(const std::vector<TFieldDef>& defs, std::vector<TRecordData> rows);
  const TRecordData* CurrentRecord() const;

  void DataEvent(TDataEvent event, TField* field = nullptr, int info = 0);
  void CheckActive() const;

 private:
  friend class TField;
  void SetState(TDataSetState state);
  void OpenCursor();
  void CloseCursor();
  void BindFields();
  void DestroyDefaultFields();
  void AddField(TField* field);
  void RemoveField(TField* field);
  // Rebuilds the visiting order; the cursor goes to `row` (none for -1).
  void SortAndFollow(int row);
  int CompareRows(int a, int b) const;
  bool Matches(int row, const std::vector<int>& columns, const std::vector<Variant>& values,
               TLocateOptions options) const;
  void EndScroll(int moved);
  Variant GetFieldData(const TField* field) const;
  void SetFieldData(TField* field, const Variant& value);
  void Detach();

  std::unique_ptr<TFields> fields_;
  std::vector<TFieldDef> fieldDefs_;
  std::vector<TRecordData> rows_;
  std::vector<int> order_;  // row indexes in visiting order
  int cur_ = -1;            // position in order_
  bool bof_ = true;
  bool eof_ = true;
  TDataSetState state_ = dsInactive;
  TRecordData buffer_;  // the record being edited or inserted
  bool appending_ = false;
  bool modified_ = false;
  bool defaultFields_ = false;
  bool streamedActive_ = false;
  std::vector<int> indexColumns_;
  bool indexCaseInsensitive_ = false;
  bool indexDescending_ = false;
  int disableCount_ = 0;
  TDataSetState disableState_ = dsInactive;
  std::vector<TDataSource*> dataSources_;
  TDataSetNotifyEvent beforeOpen_, afterOpen_, beforeClose_, afterClose_, beforeEdit_, afterEdit_,
      beforePost_, afterPost_, beforeCancel_, afterCancel_, afterScroll_;
};

// --- Data sources and links ---------------------------------------------------------------------

// Connects a dataset to data-aware controls: it passes the dataset's events on to the data
// links attached to it (while Enabled).
class TDataSource : public TComponent {
  KXBR_CLASS(TDataSource, TComponent)

 public:
  explicit TDataSource(TComponent* owner);
  ~TDataSource() override;
  void BeforeDestruction() override;

  TDataSet* DataSet() const { return dataSet_; }
  void SetDataSet(TDataSet* dataSet);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  // Typing into a control bound to a browsing dataset puts it into edit mode.
  bool AutoEdit() const { return autoEdit_; }
  void SetAutoEdit(bool value) { autoEdit_ = value; }
  TDataSetState State() const { return state_; }
  // Edit of the dataset when AutoEdit and the dataset is browsing.
  void Edit();

  const TDataChangeEvent& OnDataChange() const { return onDataChange_; }
  void SetOnDataChange(TDataChangeEvent e) { onDataChange_ = e; }
  const TNotifyEvent& OnStateChange() const { return onStateChange_; }
  void SetOnStateChange(TNotifyEvent e) { onStateChange_ = e; }
  const TNotifyEvent& OnUpdateData() const { return onUpdateData_; }
  void SetOnUpdateData(TNotifyEvent e) { onUpdateData_ = e; }

  void AddDataLink(TDataLink* link);
  void RemoveDataLink(TDataLink* link);
  int DataLinkCount() const { return static_cast<int>(links_.size()); }

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TDataSet;
  void DataEvent(TDataEvent event, TField* field, int info);
  void NotifyLinks(TDataEvent event, TField* field, int info);
  void UpdateState();
  void Detach();

  TDataSet* dataSet_ = nullptr;
  bool enabled_ = true;
  bool autoEdit_ = true;
  TDataSetState state_ = dsInactive;
  std::vector<TDataLink*> links_;
  TDataChangeEvent onDataChange_;
  TNotifyEvent onStateChange_;
  TNotifyEvent onUpdateData_;
};

// What a data-aware control hears from its data source. Override the hooks; the defaults
// pass a changed data set on as a changed record.
class TDataLink : public TPersistent {
  KXBR_CLASS(TDataLink, TPersistent)

 public:
  TDataLink() = default;
  ~TDataLink() override;

  TDataSource* DataSource() const { return dataSource_; }
  void SetDataSource(TDataSource* source);
  TDataSet* DataSet() const;
  bool Active() const { return active_; }
  bool Editing() const { return editing_; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  // Puts the dataset into edit mode through the data source; true when editing then.
  bool Edit();
  // Runs UpdateData (the control writes its value into the field).
  void UpdateRecord();

 protected:
  virtual void ActiveChanged() {}
  virtual void EditingChanged() {}
  virtual void DataSetChanged() { RecordChanged(nullptr); }
  virtual void DataSetScrolled(int distance) {
    (void)distance;
    DataSetChanged();
  }
  virtual void LayoutChanged() { DataSetChanged(); }
  // The current record changed: one field of it, or all when `field` is null.
  virtual void RecordChanged(TField* field) { (void)field; }
  virtual void UpdateData() {}
  virtual void CheckBrowseMode() {}

 private:
  friend class TDataSource;
  void DataEvent(TDataEvent event, TField* field, int info);
  void UpdateState();

  TDataSource* dataSource_ = nullptr;
  bool active_ = false;
  bool editing_ = false;
  bool readOnly_ = false;
  bool updating_ = false;
};

// The link of a control bound to one field (a data-aware edit): it finds the field by name
// and raises events the control handles.
class TFieldDataLink : public TDataLink {
  KXBR_CLASS(TFieldDataLink, TDataLink)

 public:
  const std::string& FieldName() const { return fieldName_; }
  void SetFieldName(const std::string& name);
  // The field of that name while the link is active, else null. Looked up each time, so
  // that a field freed by its dataset is never reached through the link.
  TField* Field() const;
  bool CanModify() const;
  // The control changed its value; UpdateData writes it back on the next UpdateRecord.
  void Modified() { modified_ = true; }
  bool IsModified() const { return modified_; }
  // Makes the control show the field's value again.
  void Reset() { RecordChanged(nullptr); }

  // OnDataChange: show the field's value; OnEditingChange: editing began or ended;
  // OnUpdateData: write the control's value into the field; OnActiveChange.
  const TNotifyEvent& OnDataChange() const { return onDataChange_; }
  void SetOnDataChange(TNotifyEvent e) { onDataChange_ = e; }
  const TNotifyEvent& OnEditingChange() const { return onEditingChange_; }
  void SetOnEditingChange(TNotifyEvent e) { onEditingChange_ = e; }
  const TNotifyEvent& OnUpdateData() const { return onUpdateData_; }
  void SetOnUpdateData(TNotifyEvent e) { onUpdateData_ = e; }
  const TNotifyEvent& OnActiveChange() const { return onActiveChange_; }
  void SetOnActiveChange(TNotifyEvent e) { onActiveChange_ = e; }

 protected:
  void ActiveChanged() override;
  void EditingChanged() override;
  void LayoutChanged() override;
  void RecordChanged(TField* field) override;
  void UpdateData() override;

 private:
  void FieldChanged();

  std::string fieldName_;
  bool modified_ = false;
  TNotifyEvent onDataChange_;
  TNotifyEvent onEditingChange_;
  TNotifyEvent onUpdateData_;
  TNotifyEvent onActiveChange_;
};
