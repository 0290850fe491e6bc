#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "DB.h"
#include "DBClient.h"
#include "Reader.h"

namespace {

// A form with the handlers the tests point events at; every call is logged.
class TDBTestForm : public TComponent {
  KXBR_CLASS(TDBTestForm, TComponent)

 public:
  explicit TDBTestForm(TComponent* owner) : TComponent(owner) {}

  void NameGetText(TField* sender, std::string& text, bool displayText) {
    text = (displayText ? "<" : "[") + sender->AsString() + (displayText ? ">" : "]");
  }
  void NameSetText(TField* sender, const std::string& text) {
    sender->SetAsString(UpperCase(text));
  }
  void LinkDataChange(TObject*) {
    TField* field = Link->Field();
    Log.push_back("show " + (field ? field->AsString() : std::string("-")));
  }
  void LinkEditingChange(TObject*) { Log.push_back(Link->Editing() ? "edit on" : "edit off"); }
  void LinkUpdateData(TObject*) {
    Log.push_back("write");
    Link->Field()->SetText(Pending);
  }
  void LinkActiveChange(TObject*) { Log.push_back(Link->Active() ? "active on" : "active off"); }
  void SourceDataChange(TObject*, TField* field) {
    Log.push_back("data " + (field ? field->FieldName() : std::string("-")));
  }
  void SourceStateChange(TObject* sender) {
    Log.push_back("state " + GetEnumName(TypeInfoOf<TDataSetState>(),
                                         static_cast<TDataSource*>(sender)->State()));
  }
  void DataSetBeforePost(TDataSet*) {
    Log.push_back("before post");
    if (RefusePost) throw EAbort("Operation aborted");
  }
  void DataSetAfterPost(TDataSet*) { Log.push_back("after post"); }

  TClientDataSet* ClientDataSet1 = nullptr;
  TDataSource* DataSource1 = nullptr;
  TFieldDataLink* Link = nullptr;
  std::string Pending;
  bool RefusePost = false;
  std::vector<std::string> Log;
};

KXBR_DEFINE_CLASS(TDBTestForm, .Method<&TDBTestForm::NameGetText>("NameGetText")
                                   .Method<&TDBTestForm::NameSetText>("NameSetText")
                                   .Field<&TDBTestForm::ClientDataSet1>("ClientDataSet1")
                                   .Field<&TDBTestForm::DataSource1>("DataSource1"))

// Records what a data link hears.
class TRecordingLink : public TDataLink {
 public:
  std::vector<std::string> Log;

 protected:
  void ActiveChanged() override { Log.push_back(Active() ? "active" : "inactive"); }
  void EditingChanged() override { Log.push_back(Editing() ? "editing" : "browsing"); }
  void DataSetChanged() override { Log.push_back("changed"); }
  void DataSetScrolled(int distance) override {
    Log.push_back("scrolled " + std::to_string(distance));
  }
  void RecordChanged(TField* field) override {
    Log.push_back(field ? "record " + field->FieldName() : "record");
  }
  void UpdateData() override { Log.push_back("update"); }
};

const std::vector<std::string> kColumns = {"NCONDITION", "CREATOR", "PROGRAMME",
                                           "SCONDITION", "SEQ",     "CREATE_DATE"};

// Scheme rows; SCONDITION names each row, SEQ is a number.
std::vector<std::vector<Variant>> SchemeRows() {
  return {
      {"月报", "u1", "KXBR07", "S0", 30, "20240105"},
      {"Alpha", "u2", "KXBR07", "S1", 100, "20240106"},
      {"alpha", "u1", "KXBR07", "S2", 5, "20240107"},
      {"Beta", "u1", "KXBR08", "S3", 20, Variant::Null()},
      {"Alpha", "u1", "KXBR07", "S4", 40, "20240109"},
      {"Alpha", "u1", "KXBR08", "S5", 9, "20240110"},
      {"Alpha", "u1", "KXBR07", "S6", 70, "20240111"},
  };
}

class DBTest : public ::testing::Test {
 protected:
  void SetUp() override {
    provider->SetRecords("pvdConSave", kColumns, SchemeRows());
    ds = new TClientDataSet(form.get());
    ds->SetName("ClientDataSet1");
    ds->SetProviderName("pvdConSave");
    ds->SetProvider(provider);
  }

  // One field's values in the current order (the cursor ends past the last record).
  std::vector<std::string> Values(const char* field) {
    std::vector<std::string> values;
    for (ds->First(); !ds->Eof(); ds->Next()) values.push_back(ds->FieldByName(field)->AsString());
    return values;
  }
  std::string Current() { return ds->FieldByName("SCONDITION")->AsString(); }

  std::unique_ptr<TDBTestForm> form = std::make_unique<TDBTestForm>(nullptr);
  std::shared_ptr<TArrayProvider> provider = std::make_shared<TArrayProvider>();
  TClientDataSet* ds = nullptr;
};

using Names = std::vector<std::string>;

// --- Provider data
// --------------------------------------------------------------------------------

TEST_F(DBTest, OpenMakesOneFieldPerColumnTypedByItsValues) {
  ds->Open();
  ASSERT_EQ(ds->FieldCount(), 6);
  EXPECT_EQ(ds->Fields()->Fields(0)->FieldName(), "NCONDITION");
  EXPECT_EQ(ds->FieldByName("ncondition")->DataType(), ftString);
  EXPECT_EQ(ds->FieldByName("SEQ")->DataType(), ftInteger);
  EXPECT_EQ(ds->FieldByName("SEQ")->ClassName(), "TIntegerField");
  EXPECT_EQ(ds->FieldByName("CREATE_DATE")->DisplayLabel(), "CREATE_DATE");
  EXPECT_EQ(ds->RecordCount(), 7);
  EXPECT_EQ(provider->FetchCount(), 1);

  // The fields belong to the open data: closing frees them.
  ds->Close();
  EXPECT_EQ(ds->FieldCount(), 0);
  EXPECT_EQ(ds->ComponentCount(), 0);
  EXPECT_EQ(ds->FindField("SEQ"), nullptr);
}

TEST_F(DBTest, ProviderRecordsInEitherLayout) {
  // A two-dimensional array with its own bounds, as the application server sends it.
  Variant records = VarArrayCreate({1, 3, 1, 2}, varVariant);
  records.At({1, 1}) = Variant::Wide("CODE");
  records.At({1, 2}) = Variant::Wide("WHEN");
  records.At({2, 1}) = Variant::Wide("A");
  records.At({2, 2}) = Variant::FromDate(EncodeDate(2024, 3, 5));
  records.At({3, 1}) = Variant::Wide("B");
  records.At({3, 2}) = Variant::Null();
  provider->SetRecords("pvdConSave", records);
  ds->Open();
  EXPECT_EQ(ds->RecordCount(), 2);
  EXPECT_EQ(ds->FieldByName("CODE")->DataType(), ftWideString);
  EXPECT_EQ(ds->FieldByName("WHEN")->DataType(), ftDateTime);
  EXPECT_EQ(ds->FieldByName("WHEN")->AsDateTime(), EncodeDate(2024, 3, 5));
  ds->Next();
  EXPECT_TRUE(ds->FieldByName("WHEN")->IsNull());
  EXPECT_EQ(ds->FieldByName("WHEN")->AsString(), "");
}

TEST_F(DBTest, BadProviderDataIsRefusedAndTheDataSetStaysClosed) {
  struct Case {
    const char* name;
    Variant records;
    const char* message;
  } cases[] = {
      {"not an array", Variant("rows"),
       "Invalid data packet: the records are not an array of rows"},
      {"no names row", VarArrayOf({}), "Invalid data packet: no row of column names"},
      {"a name that is no text", VarArrayOf({VarArrayOf({"A", 1})}),
       "Invalid data packet: a column has no name"},
      {"a repeated name", VarArrayOf({VarArrayOf({"A", "a"})}),
       "Invalid data packet: column 'a' appears twice"},
      {"a record too long", VarArrayOf({VarArrayOf({"A"}), VarArrayOf({1, 2})}),
       "Invalid data packet: a record has more values than there are columns"},
      {"a record that is no array", VarArrayOf({VarArrayOf({"A"}), Variant(1)}),
       "Invalid data packet: a record is not an array"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    provider->SetRecords("pvdConSave", c.records);
    try {
      ds->Open();
      ADD_FAILURE() << "opened";
    } catch (const EDatabaseError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
    EXPECT_FALSE(ds->Active());
    EXPECT_EQ(ds->FieldCount(), 0);
  }

  ds->SetProviderName("pvdOther");
  EXPECT_THROW(ds->Open(), EDatabaseError);  // "Provider not exported: pvdOther"
  ds->SetProvider(nullptr);
  try {
    ds->Open();
    ADD_FAILURE() << "opened";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "ClientDataSet1: Missing data provider or data packet");
  }
}

// --- Navigation ---------------------------------------------------------------------------------

TEST_F(DBTest, NavigationMovesTheCursorAndSetsBofAndEof) {
  ds->Open();
  struct Step {
    const char* name;
    std::function<void()> act;
    int recNo;
    bool bof, eof;
  } steps[] = {
      {"after open", [] {}, 1, true, false},
      {"next", [&] { ds->Next(); }, 2, false, false},
      {"prior back to the first", [&] { ds->Prior(); }, 1, false, false},
      {"prior at the first", [&] { ds->Prior(); }, 1, true, false},
      {"last", [&] { ds->Last(); }, 7, false, true},
      {"next at the last", [&] { ds->Next(); }, 7, false, true},
      {"prior from the end", [&] { ds->Prior(); }, 6, false, false},
      {"move by past the start", [&] { EXPECT_EQ(ds->MoveBy(-10), -5); }, 1, true, false},
      {"move by forward", [&] { EXPECT_EQ(ds->MoveBy(3), 3); }, 4, false, false},
      {"record number", [&] { ds->SetRecNo(6); }, 6, false, false},
      {"record number out of range", [&] { ds->SetRecNo(99); }, 6, false, false},
      {"first", [&] { ds->First(); }, 1, true, false},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    s.act();
    EXPECT_EQ(ds->RecNo(), s.recNo);
    EXPECT_EQ(ds->Bof(), s.bof);
    EXPECT_EQ(ds->Eof(), s.eof);
  }
  EXPECT_EQ(Values("SCONDITION"), (Names{"S0", "S1", "S2", "S3", "S4", "S5", "S6"}));
}

TEST_F(DBTest, EmptyAndClosedDataSets) {
  provider->SetRecords("pvdConSave", kColumns, {});
  ds->Open();
  EXPECT_TRUE(ds->IsEmpty());
  EXPECT_TRUE(ds->Bof());
  EXPECT_TRUE(ds->Eof());
  EXPECT_EQ(ds->RecNo(), -1);
  EXPECT_TRUE(ds->FieldByName("NCONDITION")->IsNull());
  EXPECT_EQ(ds->MoveBy(1), 0);
  EXPECT_THROW(ds->Delete(), EDatabaseError);
  ds->Close();

  try {
    ds->Next();
    ADD_FAILURE() << "moved";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "ClientDataSet1: Cannot perform this operation on a closed dataset");
  }
  EXPECT_THROW(ds->Edit(), EDatabaseError);
  EXPECT_EQ(ds->RecNo(), -1);
}

// --- Index and Locate
// -----------------------------------------------------------------------------

TEST_F(DBTest, IndexesOrderTheRecords) {
  ds->IndexDefs()->Add("Index1", "NCONDITION;CREATOR;PROGRAMME");
  ds->IndexDefs()->Add("Down", "NCONDITION;CREATOR;PROGRAMME", {ixDescending});
  ds->IndexDefs()->Add("NoCase", "NCONDITION", {ixCaseInsensitive});
  ds->SetIndexName("Index1");
  ds->Open();
  struct Case {
    const char* name;
    std::function<void()> set;
    Names order;
  } cases[] = {
      {"three fields", [] {}, {"S4", "S6", "S5", "S1", "S3", "S2", "S0"}},
      {"descending", [&] { ds->SetIndexName("Down"); }, {"S0", "S2", "S3", "S1", "S5", "S4", "S6"}},
      {"without case",
       [&] { ds->SetIndexName("NoCase"); },
       {"S1", "S2", "S4", "S5", "S6", "S3", "S0"}},
      {"numbers by value",
       [&] { ds->SetIndexFieldNames("SEQ"); },
       {"S2", "S5", "S3", "S0", "S4", "S6", "S1"}},
      {"no index", [&] { ds->SetIndexFieldNames(""); }, {"S0", "S1", "S2", "S3", "S4", "S5", "S6"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.set();
    EXPECT_EQ(Values("SCONDITION"), c.order);
  }

  // Changing the index keeps the current record.
  ds->SetIndexFieldNames("SEQ");
  ds->Locate("SCONDITION", "S3");
  ds->SetIndexName("Index1");
  EXPECT_EQ(Current(), "S3");
  EXPECT_EQ(ds->RecNo(), 5);

  // An unknown field or index changes nothing.
  EXPECT_THROW(ds->SetIndexFieldNames("NCONDITION;NOPE"), EDatabaseError);
  EXPECT_THROW(ds->SetIndexName("Missing"), EDatabaseError);
  EXPECT_EQ(ds->IndexName(), "Index1");
  EXPECT_EQ(ds->IndexFieldNames(), "");
  EXPECT_EQ(Values("SCONDITION").front(), "S4");
}

TEST_F(DBTest, LocateFindsTheFirstMatchWithOrWithoutTheIndex) {
  const TLocateOptions none;
  const TLocateOptions noCase{loCaseInsensitive};
  const TLocateOptions partial{loPartialKey};
  struct Case {
    const char* name;
    const char* fields;
    Variant values;
    TLocateOptions options;
    const char* found;  // "" when not found
  } cases[] = {
      {"all key fields", "NCONDITION;CREATOR;PROGRAMME", VarArrayOf({"Alpha", "u1", "KXBR08"}),
       none, "S5"},
      {"duplicate keys give the first", "NCONDITION;CREATOR;PROGRAMME",
       VarArrayOf({"Alpha", "u1", "KXBR07"}), none, "S4"},
      {"key fields in another order", "PROGRAMME; NCONDITION; CREATOR",
       VarArrayOf({"KXBR07", "Alpha", "u2"}), none, "S1"},
      {"leading key fields", "NCONDITION;CREATOR", VarArrayOf({"Beta", "u1"}), none, "S3"},
      {"case matters", "NCONDITION;CREATOR;PROGRAMME", VarArrayOf({"alpha", "u1", "KXBR07"}), none,
       "S2"},
      {"without case", "ncondition;creator;programme", VarArrayOf({"ALPHA", "U2", "kxbr07"}),
       noCase, "S1"},
      {"partial key", "NCONDITION", "Be", partial, "S3"},
      {"partial Chinese key", "NCONDITION", "月", partial, "S0"},
      {"one field, one value", "CREATOR", Variant("u2"), none, "S1"},
      {"one field, array of one", "SEQ", VarArrayOf({40}), none, "S4"},
      {"number as text", "SEQ", "100", none, "S1"},
      {"null finds null", "CREATE_DATE", Variant::Null(), none, "S3"},
      {"no such key", "NCONDITION;CREATOR;PROGRAMME", VarArrayOf({"Alpha", "u3", "KXBR07"}), none,
       ""},
      {"trailing blank is no match", "NCONDITION", "Beta ", none, ""},
      {"partial only with the option", "NCONDITION", "Be", none, ""},
      {"text that is no number", "SEQ", "abc", none, ""},
  };
  ds->IndexDefs()->Add("NoCase", "NCONDITION;CREATOR;PROGRAMME", {ixCaseInsensitive});
  const char* const indexes[] = {"", "NCONDITION;CREATOR;PROGRAMME", "NoCase"};
  for (const char* index : indexes) {
    ds->Close();
    if (std::string(index) == "NoCase")
      ds->SetIndexName(index);
    else
      ds->SetIndexFieldNames(index);
    ds->Open();
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(index) + ": " + c.name);
      ds->Last();
      const int before = ds->RecNo();
      const bool found = ds->Locate(c.fields, c.values, c.options);
      EXPECT_EQ(found, *c.found != 0);
      if (found)
        EXPECT_EQ(Current(), c.found);
      else
        EXPECT_EQ(ds->RecNo(), before);
    }
  }
}

TEST_F(DBTest, LocateAndFindKeyRefuseBadKeys) {
  ds->Open();
  ds->SetRecNo(3);
  EXPECT_THROW(ds->Locate("NCONDITION;NOPE", VarArrayOf({"a", "b"})), EDatabaseError);
  EXPECT_THROW(ds->Locate("NCONDITION;CREATOR", VarArrayOf({"Alpha"})), EDatabaseError);
  EXPECT_THROW(ds->Locate("NCONDITION;CREATOR", "Alpha"), EDatabaseError);
  EXPECT_THROW(ds->Locate("", "Alpha"), EDatabaseError);
  EXPECT_THROW(ds->FindKey({"Alpha"}), EDatabaseError);  // no index
  EXPECT_EQ(ds->RecNo(), 3);

  ds->SetIndexFieldNames("NCONDITION;CREATOR");
  EXPECT_TRUE(ds->FindKey({"Alpha", "u2"}));
  EXPECT_EQ(Current(), "S1");
  EXPECT_TRUE(ds->FindKey({"Alpha"}));
  EXPECT_EQ(Current(), "S4");
  EXPECT_FALSE(ds->FindKey({"Gamma"}));
  EXPECT_EQ(Current(), "S4");
  EXPECT_THROW(ds->FindKey({"Alpha", "u1", "KXBR07"}), EDatabaseError);
}

// --- Field values and text
// ------------------------------------------------------------------------

TEST_F(DBTest, TypedValuesAndTextHandlers) {
  ds->Open();
  TField* name = ds->FieldByName("NCONDITION");
  TField* seq = ds->FieldByName("SEQ");
  ds->Locate("SCONDITION", "S1");
  EXPECT_EQ(name->Text(), "Alpha");
  EXPECT_EQ(seq->AsInteger(), 100);
  EXPECT_EQ(seq->AsString(), "100");
  EXPECT_EQ(seq->AsFloat(), 100.0);

  name->SetOnGetText(MethodOf<&TDBTestForm::NameGetText>(form.get()));
  name->SetOnSetText(MethodOf<&TDBTestForm::NameSetText>(form.get()));
  EXPECT_EQ(name->Text(), "[Alpha]");
  EXPECT_EQ(name->DisplayText(), "<Alpha>");
  EXPECT_EQ(name->AsString(), "Alpha");  // the handlers do not touch the value

  ds->Edit();
  name->SetText("gamma");
  EXPECT_EQ(name->AsString(), "GAMMA");
  seq->SetText("12");
  EXPECT_EQ(seq->AsInteger(), 12);
  EXPECT_THROW(seq->SetAsString("x"), EConvertError);
  EXPECT_EQ(seq->AsInteger(), 12);
  seq->SetAsString("");
  EXPECT_TRUE(seq->IsNull());
  seq->SetValue("7");  // converted to the field's type
  EXPECT_EQ(seq->Value(), Variant(7));
  EXPECT_THROW(seq->SetValue("seven"), EVariantError);
  ds->Post();
  EXPECT_EQ(ds->FieldValues("NCONDITION;SEQ"), VarArrayOf({"GAMMA", 7}));
}

TEST_F(DBTest, WritingNeedsEditModeAndAWritableField) {
  ds->Open();
  TField* name = ds->FieldByName("NCONDITION");
  try {
    name->SetAsString("x");
    ADD_FAILURE() << "written";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "ClientDataSet1: Dataset not in edit or insert mode");
  }
  name->SetReadOnly(true);
  ds->Edit();
  EXPECT_THROW(name->SetAsString("x"), EDatabaseError);
  ds->Cancel();
  EXPECT_EQ(name->AsString(), "月报");
  EXPECT_THROW(name->SetFieldName("OTHER"), EDatabaseError);  // not while open
  EXPECT_THROW(ds->Post(), EDatabaseError);                   // not editing
}

// --- Editing ------------------------------------------------------------------------------------

TEST_F(DBTest, CancelChangesNothing) {
  ds->SetIndexFieldNames("NCONDITION;CREATOR;PROGRAMME");
  ds->Open();
  struct Case {
    const char* name;
    std::function<void()> change;
  } cases[] = {
      {"edit a field",
       [&] {
         ds->Edit();
         ds->FieldByName("CREATE_DATE")->SetAsString("x");
       }},
      {"edit an index field",
       [&] {
         ds->Edit();
         ds->FieldByName("NCONDITION")->SetAsString("Zeta");
       }},
      {"clear a field",
       [&] {
         ds->Edit();
         ds->FieldByName("SEQ")->Clear();
       }},
      {"insert",
       [&] {
         ds->Insert();
         ds->FieldByName("NCONDITION")->SetAsString("New");
       }},
      {"append",
       [&] {
         ds->Append();
         ds->FieldByName("SCONDITION")->SetAsString("S9");
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ds->SetRecNo(3);
    const Names before = Values("SCONDITION");
    const Names dates = Values("CREATE_DATE");
    ds->SetRecNo(3);
    c.change();
    EXPECT_TRUE(ds->Modified());
    ds->Cancel();
    EXPECT_EQ(ds->State(), dsBrowse);
    EXPECT_FALSE(ds->Modified());
    EXPECT_EQ(ds->RecNo(), 3);
    EXPECT_EQ(ds->RecordCount(), 7);
    EXPECT_EQ(ds->ChangeCount(), 0);
    EXPECT_EQ(Values("SCONDITION"), before);
    EXPECT_EQ(Values("CREATE_DATE"), dates);
  }
}

TEST_F(DBTest, PostKeepsTheRecordInIndexOrder) {
  ds->SetIndexFieldNames("NCONDITION;CREATOR;PROGRAMME");
  ds->SetBeforePost(MethodOf<&TDBTestForm::DataSetBeforePost>(form.get()));
  ds->SetAfterPost(MethodOf<&TDBTestForm::DataSetAfterPost>(form.get()));
  ds->Open();

  // An edited key moves the record; the cursor follows it.
  ASSERT_TRUE(ds->Locate("SCONDITION", "S5"));
  ds->Edit();
  ds->FieldByName("NCONDITION")->SetAsString("Zeta");
  ds->Post();
  EXPECT_EQ(Current(), "S5");
  EXPECT_EQ(ds->RecNo(), 5);
  EXPECT_EQ(ds->ChangeCount(), 1);
  EXPECT_EQ(form->Log, (Names{"before post", "after post"}));

  // An inserted record takes its place in the order.
  ds->Insert();
  ds->FieldByName("NCONDITION")->SetAsString("Aardvark");
  ds->FieldByName("SCONDITION")->SetAsString("S7");
  ds->Post();
  EXPECT_EQ(ds->RecNo(), 1);
  EXPECT_EQ(ds->RecordCount(), 8);

  // A refused post keeps the edit.
  form->RefusePost = true;
  ds->Edit();
  ds->FieldByName("SEQ")->SetAsInteger(1);
  EXPECT_THROW(ds->Post(), EAbort);
  EXPECT_EQ(ds->State(), dsEdit);
  ds->Cancel();
  EXPECT_EQ(ds->FieldByName("SEQ")->IsNull(), true);

  // Delete leaves the cursor on the next record.
  form->RefusePost = false;
  ds->First();
  ds->Delete();
  EXPECT_EQ(ds->RecordCount(), 7);
  EXPECT_EQ(Current(), "S4");
  EXPECT_EQ(ds->ChangeCount(), 3);
}

TEST_F(DBTest, InsertPlacesAndMovingPosts) {
  ds->Open();
  ds->SetRecNo(3);
  ds->Insert();
  EXPECT_EQ(ds->RecNo(), -1);
  ds->FieldByName("SCONDITION")->SetAsString("S7");
  ds->Post();
  EXPECT_EQ(ds->RecNo(), 3);  // before the record that was current
  ds->Append();
  ds->FieldByName("SCONDITION")->SetAsString("S8");
  ds->Post();
  EXPECT_EQ(ds->RecNo(), 9);
  EXPECT_EQ(Values("SCONDITION"), (Names{"S0", "S1", "S7", "S2", "S3", "S4", "S5", "S6", "S8"}));

  // Moving away from a modified record posts it; an unmodified edit is just left.
  ds->First();
  ds->Edit();
  ds->FieldByName("CREATOR")->SetAsString("u9");
  ds->Next();
  EXPECT_EQ(ds->State(), dsBrowse);
  ds->First();
  EXPECT_EQ(ds->FieldByName("CREATOR")->AsString(), "u9");
  ds->Edit();
  ds->Last();
  EXPECT_EQ(ds->State(), dsBrowse);

  // Required fields must be filled before posting.
  ds->FieldByName("NCONDITION")->SetRequired(true);
  ds->Insert();
  try {
    ds->Post();
    ADD_FAILURE() << "posted";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "ClientDataSet1: Field 'NCONDITION' must have a value");
  }
  EXPECT_EQ(ds->State(), dsInsert);
  ds->Cancel();

  // Edit on an empty dataset inserts.
  provider->SetRecords("pvdConSave", kColumns, {});
  ds->Close();
  ds->Open();
  ds->Edit();
  EXPECT_EQ(ds->State(), dsInsert);
}

TEST_F(DBTest, RefreshFetchesAgainAndKeepsTheRecord) {
  ds->SetIndexFieldNames("NCONDITION;CREATOR;PROGRAMME");
  ds->Open();
  ds->Locate("SCONDITION", "S3");
  ds->Edit();
  ds->FieldByName("SEQ")->SetAsInteger(1);
  ds->Post();
  try {
    ds->Refresh();
    ADD_FAILURE() << "refreshed";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "ClientDataSet1: Must apply updates before refreshing data");
  }
  ds->MergeChangeLog();

  // New rows on the server come in; the current record is found again by its key.
  std::vector<std::vector<Variant>> rows = SchemeRows();
  rows.push_back({"Aardvark", "u1", "KXBR07", "S7", 1, Variant::Null()});
  provider->SetRecords("pvdConSave", kColumns, rows);
  TField* seq = ds->FieldByName("SEQ");
  ds->Refresh();
  EXPECT_EQ(provider->FetchCount(), 2);
  EXPECT_EQ(ds->RecordCount(), 8);
  EXPECT_EQ(Current(), "S3");
  EXPECT_EQ(ds->FieldByName("SEQ"), seq);  // the same fields
  EXPECT_EQ(seq->AsInteger(), 20);         // the local change is gone

  // Other columns: the data is opened anew.
  provider->SetRecords("pvdConSave", {"NCONDITION", "CREATOR", "PROGRAMME"}, {{"X", "u", "P"}});
  ds->Refresh();
  EXPECT_EQ(ds->FieldCount(), 3);
  EXPECT_EQ(ds->FieldByName("NCONDITION")->AsString(), "X");
}

// --- Data links
// -------------------------------------------------------------------------------------

TEST_F(DBTest, DataLinksHearStateAndRecordChanges) {
  auto* source = new TDataSource(form.get());
  source->SetDataSet(ds);
  TRecordingLink link;
  link.SetDataSource(source);
  EXPECT_TRUE(link.Log.empty());
  struct Step {
    const char* name;
    std::function<void()> act;
    Names heard;
  } steps[] = {
      {"open", [&] { ds->Open(); }, {"active"}},
      {"next", [&] { ds->Next(); }, {"scrolled 1"}},
      {"last", [&] { ds->Last(); }, {"scrolled 5"}},
      {"edit", [&] { ds->Edit(); }, {"editing", "record"}},
      {"field change", [&] { ds->FieldByName("SEQ")->SetAsInteger(3); }, {"record SEQ"}},
      {"post", [&] { ds->Post(); }, {"update", "browsing", "changed"}},
      {"edit and cancel",
       [&] {
         ds->Edit();
         ds->Cancel();
       },
       {"editing", "record", "browsing", "changed"}},
      {"locate", [&] { ds->Locate("SCONDITION", "S0"); }, {"scrolled -6"}},
      {"source disabled", [&] { source->SetEnabled(false); }, {"inactive"}},
      {"nothing heard while disabled", [&] { ds->Next(); }, {}},
      {"source enabled", [&] { source->SetEnabled(true); }, {"active"}},
      {"close", [&] { ds->Close(); }, {"inactive"}},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    link.Log.clear();
    s.act();
    EXPECT_EQ(link.Log, s.heard);
  }

  // A read-only link never edits.
  ds->Open();
  link.SetReadOnly(true);
  link.Log.clear();
  ds->Edit();
  EXPECT_EQ(link.Log, Names{"record"});
  EXPECT_FALSE(link.Editing());
}

TEST_F(DBTest, DataSourceEventsAndFieldLinks) {
  auto* source = new TDataSource(form.get());
  source->SetOnStateChange(MethodOf<&TDBTestForm::SourceStateChange>(form.get()));
  source->SetOnDataChange(MethodOf<&TDBTestForm::SourceDataChange>(form.get()));
  source->SetDataSet(ds);
  ds->Open();
  EXPECT_EQ(form->Log, (Names{"state dsBrowse", "data -"}));

  form->Log.clear();
  ds->Edit();
  ds->FieldByName("SEQ")->SetAsInteger(1);
  ds->Cancel();
  EXPECT_EQ(form->Log, (Names{"state dsEdit", "data -", "data SEQ", "state dsBrowse", "data -"}));

  // A field link shows its own field's changes only and writes back what it was given.
  source->SetOnStateChange(nullptr);
  source->SetOnDataChange(nullptr);
  TFieldDataLink link;
  form->Link = &link;
  link.SetOnDataChange(MethodOf<&TDBTestForm::LinkDataChange>(form.get()));
  link.SetOnEditingChange(MethodOf<&TDBTestForm::LinkEditingChange>(form.get()));
  link.SetOnUpdateData(MethodOf<&TDBTestForm::LinkUpdateData>(form.get()));
  link.SetOnActiveChange(MethodOf<&TDBTestForm::LinkActiveChange>(form.get()));
  link.SetFieldName("NCONDITION");
  struct Step {
    const char* name;
    std::function<void()> act;
    Names log;
  } steps[] = {
      {"attached", [&] { link.SetDataSource(source); }, {"edit off", "show 月报", "active on"}},
      {"scrolled", [&] { ds->Next(); }, {"show Alpha"}},
      {"edit through the link", [&] { EXPECT_TRUE(link.Edit()); }, {"edit on", "show Alpha"}},
      {"another field changes", [&] { ds->FieldByName("SEQ")->SetAsInteger(1); }, {}},
      {"its field changes", [&] { ds->FieldByName("NCONDITION")->SetAsString("B"); }, {"show B"}},
      {"post writes the control's value",
       [&] {
         form->Pending = "Typed";
         link.Modified();
         ds->Post();
       },
       {"write", "edit off", "show Typed"}},
      {"unmodified: nothing written",
       [&] {
         ds->Edit();
         ds->Post();
       },
       {"edit on", "show Typed", "edit off", "show Typed"}},
      {"close", [&] { ds->Close(); }, {"edit off", "show -", "active off"}},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    form->Log.clear();
    s.act();
    EXPECT_EQ(form->Log, s.log);
  }
  EXPECT_EQ(link.Field(), nullptr);

  // Without AutoEdit the link cannot start editing.
  ds->Open();
  source->SetAutoEdit(false);
  EXPECT_FALSE(link.Edit());
  EXPECT_EQ(ds->State(), dsBrowse);
  EXPECT_TRUE(link.CanModify());
  link.SetDataSource(nullptr);
  form->Link = nullptr;
}

TEST_F(DBTest, DisableControlsCountsAndTellsOnceAtTheEnd) {
  auto* source = new TDataSource(form.get());
  source->SetDataSet(ds);
  TRecordingLink link;
  link.SetDataSource(source);
  ds->Open();
  link.Log.clear();

  ds->DisableControls();
  ds->DisableControls();
  ds->Next();
  ds->Edit();
  ds->FieldByName("SEQ")->SetAsInteger(1);
  ds->Post();
  ds->EnableControls();
  EXPECT_TRUE(ds->ControlsDisabled());
  EXPECT_TRUE(link.Log.empty());
  ds->EnableControls();
  EXPECT_FALSE(ds->ControlsDisabled());
  EXPECT_EQ(link.Log, Names{"changed"});

  struct Case {
    const char* name;
    std::function<void()> act;
    Names heard;
  } cases[] = {
      {"nothing happened", [] {}, {"changed"}},
      {"closed meanwhile", [&] { ds->Close(); }, {"inactive"}},
      {"opened meanwhile", [&] { ds->Open(); }, {"active"}},
      {"left editing", [&] { ds->Edit(); }, {"editing", "changed"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ds->DisableControls();
    c.act();
    link.Log.clear();
    ds->EnableControls();
    EXPECT_EQ(link.Log, c.heard);
  }
  ds->EnableControls();  // one too many does nothing
  EXPECT_FALSE(ds->ControlsDisabled());
}

TEST_F(DBTest, FreeingDataSetsAndSourcesDetachesEverything) {
  auto* source = new TDataSource(form.get());
  source->SetDataSet(ds);
  TFieldDataLink link;
  link.SetFieldName("SEQ");
  link.SetDataSource(source);
  ds->Open();
  EXPECT_NE(link.Field(), nullptr);

  ds->Free();
  EXPECT_EQ(source->DataSet(), nullptr);
  EXPECT_FALSE(link.Active());
  EXPECT_EQ(link.Field(), nullptr);
  source->Free();
  EXPECT_EQ(link.DataSource(), nullptr);

  // A source owned elsewhere hears of the dataset's end through its free notification.
  TComponent other(nullptr);
  auto* dataSet = new TClientDataSet(form.get());
  auto* remote = new TDataSource(&other);
  remote->SetDataSet(dataSet);
  dataSet->Free();
  EXPECT_EQ(remote->DataSet(), nullptr);
}

// --- Form resources
// ---------------------------------------------------------------------------------

const char* const kResource =
    "object frmDB: TDBTestForm\n"
    "  object ClientDataSet1: TClientDataSet\n"
    "    ProviderName = 'pvdConSave'\n"
    "    IndexDefs = <\n"
    "      item\n"
    "        Name = 'Index1'\n"
    "        Fields = 'NCONDITION;CREATOR;PROGRAMME'\n"
    "      end>\n"
    "    IndexName = 'Index1'\n"
    "    object ClientDataSet1NCONDITION: TStringField\n"
    "      FieldName = 'NCONDITION'\n"
    "      DisplayLabel = '方案名称'\n"
    "      OnGetText = NameGetText\n"
    "    end\n"
    "    object ClientDataSet1CREATOR: TStringField\n"
    "      FieldName = 'CREATOR'\n"
    "    end\n"
    "    object ClientDataSet1PROGRAMME: TStringField\n"
    "      FieldName = 'PROGRAMME'\n"
    "      Required = True\n"
    "    end\n"
    "  end\n"
    "  object DataSource1: TDataSource\n"
    "    DataSet = ClientDataSet1\n"
    "  end\n"
    "end\n";

TEST(DBResourceTest, DataSetsAndFieldsAreDeclaredInFormResources) {
  auto provider = std::make_shared<TArrayProvider>();
  provider->SetRecords("pvdConSave", kColumns, SchemeRows());
  TDBTestForm form(nullptr);
  ReadComponentResText(kResource, &form, "DB.txt");
  TClientDataSet* ds = form.ClientDataSet1;
  ASSERT_NE(ds, nullptr);
  ASSERT_NE(form.DataSource1, nullptr);
  EXPECT_EQ(form.DataSource1->DataSet(), ds);
  ASSERT_EQ(ds->FieldCount(), 3);
  EXPECT_EQ(ds->IndexDefs()->Find("index1")->Fields(), "NCONDITION;CREATOR;PROGRAMME");

  ds->SetProvider(provider);
  ds->Open();
  EXPECT_EQ(ds->FieldCount(), 3);  // the declared fields only
  TField* name = ds->FieldByName("NCONDITION");
  EXPECT_EQ(name->Owner(), &form);
  EXPECT_EQ(name->DisplayLabel(), "方案名称");
  EXPECT_EQ(name->Text(), "[Alpha]");
  EXPECT_EQ(form.DataSource1->State(), dsBrowse);
  EXPECT_TRUE(ds->Locate("NCONDITION;CREATOR;PROGRAMME", VarArrayOf({"Beta", "u1", "KXBR08"})));
  EXPECT_EQ(ds->RecNo(), 5);  // after Alpha u1 KXBR07 (twice), Alpha u1 KXBR08, Alpha u2
  EXPECT_EQ(ds->FindField("SEQ"), nullptr);
  EXPECT_TRUE(ds->FieldByName("PROGRAMME")->Required());
  EXPECT_EQ(GetPropText(ds, *GetPropInfo(ds, "IndexName")), "Index1");

  // A declared field the data lacks keeps the dataset closed.
  ds->Close();
  provider->SetRecords("pvdConSave", {"NCONDITION", "CREATOR"}, {});
  try {
    ds->Open();
    ADD_FAILURE() << "opened";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "ClientDataSet1: Field 'PROGRAMME' not found");
  }
  EXPECT_FALSE(ds->Active());

  // Freeing the dataset leaves the declared fields to the form, detached.
  TField* creator = ds->FieldByName("CREATOR");
  ds->Free();
  EXPECT_EQ(form.ClientDataSet1, nullptr);
  EXPECT_EQ(creator->DataSet(), nullptr);
  EXPECT_TRUE(creator->IsNull());
}

}  // namespace
