// Data-aware controls: TDBEdit shows and edits one field of the current record of a data
// source's dataset.
#pragma once

#include <memory>

#include "DB.h"
#include "Mask.h"

class TDBEdit : public TCustomMaskEdit {
  KXBR_CLASS(TDBEdit, TCustomMaskEdit)

 public:
  explicit TDBEdit(TComponent* owner);
  ~TDBEdit() override;
  void BeforeDestruction() override;

  TDataSource* DataSource() const { return dataLink_->DataSource(); }
  void SetDataSource(TDataSource* v);
  const std::string& DataField() const { return dataLink_->FieldName(); }
  void SetDataField(const std::string& v);
  // The field shown, null without an active dataset or a field of that name.
  TField* Field() const { return dataLink_->Field(); }
  // The link's read-only switch (the edit itself is read-only while the dataset is not
  // being edited; typing puts it into edit mode).
  bool ReadOnly() const { return dataLink_->ReadOnly(); }
  void SetReadOnly(bool v) { dataLink_->SetReadOnly(v); }
  TFieldDataLink* DataLink() const { return dataLink_.get(); }

 protected:
  bool EditCanModify() override;
  void Change() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void Notification(TComponent* component, TOperation operation) override;
  void DataChange(TObject* sender);
  void EditingChange(TObject* sender);
  void UpdateData(TObject* sender);
  void ActiveChange(TObject* sender);
  void CMEnterDB(TMessage& m);
  void CMExitDB(TMessage& m);

 private:
  void SetFocused(bool v);

  std::unique_ptr<TFieldDataLink> dataLink_;
  bool focused_ = false;
};
