#include <gtest/gtest.h>

#include "DBClient.h"
#include "DBCtrls.h"
#include "FormTestKit.h"

namespace {

// Shows one field of a client dataset in a data-aware edit beside a plain edit.
class DBEditTest : public VclTest {
 protected:
  void SetUp() override {
    VclTest::SetUp();
    provider->SetRecords("pvdUsers", {"CODE", "NAME"},
                         {{Variant("u1"), Variant("Li")}, {Variant("u2"), Variant("Wang")}});
    form.reset(CreateForm<TForm>(nullptr));
    ds = new TClientDataSet(form.get());
    ds->SetProviderName("pvdUsers");
    ds->SetProvider(provider);
    source = new TDataSource(form.get());
    source->SetDataSet(ds);
    edit = new TDBEdit(form.get());
    edit->SetName("edName");
    edit->SetParent(form.get());
    edit->SetDataSource(source);
    edit->SetDataField("NAME");
    other = new TEdit(form.get());
    other->SetParent(form.get());
    ds->Open();
    form->Show();
    other->SetFocus();
  }

  TOwned<TForm> form;
  std::shared_ptr<TArrayProvider> provider = std::make_shared<TArrayProvider>();
  TClientDataSet* ds = nullptr;
  TDataSource* source = nullptr;
  TDBEdit* edit = nullptr;
  TEdit* other = nullptr;
};

TEST_F(DBEditTest, ShowsTheCurrentRecordsField) {
  EXPECT_EQ(edit->Field(), ds->FieldByName("NAME"));
  EXPECT_EQ(edit->Text(), "Li");
  ds->Next();
  EXPECT_EQ(edit->Text(), "Wang");
  ds->Close();
  EXPECT_EQ(edit->Text(), "");
  EXPECT_EQ(edit->Field(), nullptr);
}

TEST_F(DBEditTest, TypingEditsTheDatasetAndLeavingWritesTheField) {
  EXPECT_EQ(ds->State(), dsBrowse);
  edit->SetFocus();
  SendText("Zhao");
  EXPECT_EQ(ds->State(), dsEdit);
  EXPECT_EQ(edit->Text(), "Zhao");
  EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "Li");  // not yet
  other->SetFocus();
  EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "Zhao");
  ds->Post();
  ds->First();
  EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "Zhao");
}

TEST_F(DBEditTest, EscGivesTheFieldsValueBackAndReadOnlyRefusesTyping) {
  edit->SetFocus();
  SendText("X");
  SendKey(VK_ESCAPE);
  EXPECT_EQ(edit->Text(), "Li");
  ds->Cancel();
  edit->SetReadOnly(true);
  other->SetFocus();
  edit->SetFocus();
  SendText("Y");
  EXPECT_EQ(edit->Text(), "Li");
  EXPECT_EQ(ds->State(), dsBrowse);
}

TEST_F(DBEditTest, DataSourceAndFieldArePublishedForBoundLabels) {
  EXPECT_EQ(GetObjectProp(edit, "DataSource"), source);
  EXPECT_EQ(GetStrProp(edit, "DataField"), "NAME");
  EXPECT_EQ(ds->FieldByName(GetStrProp(edit, "DataField"))->DisplayLabel(), "NAME");
  source->Free();
  EXPECT_EQ(edit->DataSource(), nullptr);
  EXPECT_EQ(edit->Text(), "");
}

}  // namespace
