#include "LanguageController.h"

#include <gtest/gtest.h>

#include <memory>

#include "ComCtrls.h"
#include "Graphics.h"
#include "StdCtrls.h"
#include "TempInstallation.h"
#include "TypInfo.h"

namespace {

class TPackPanel : public TCollectionItem {
  KXBR_CLASS(TPackPanel, TCollectionItem)

 public:
  using TCollectionItem::TCollectionItem;
  const std::string& Text() const { return text_; }
  void SetText(const std::string& v) { text_ = v; }

 private:
  std::string text_;
};

KXBR_ENUM(TPackStyle, psPlain, psFancy)

// A component with the property kinds packs reach.
class TPackEdit : public TComponent {
  KXBR_CLASS(TPackEdit, TComponent)

 public:
  explicit TPackEdit(TComponent* owner, const std::string& name = "") : TComponent(owner) {
    SetName(name);
  }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v) { caption_ = v; }
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& v) { hint_ = v; }
  const std::string& ReadOnlyText() const { return caption_; }
  int Width() const { return width_; }
  void SetWidth(int v) { width_ = v; }
  TColor Color() const { return color_; }
  void SetColor(TColor v) { color_ = v; }
  TPackStyle Style() const { return style_; }
  void SetStyle(TPackStyle v) { style_ = v; }
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* v) { font_->Assign(v); }
  TStrings* Items() const { return items_.get(); }
  void SetItems(TStrings* v) { items_->Assign(v); }
  TCollection* Panels() const { return panels_.get(); }
  void SetPanels(TCollection* v) { panels_->Assign(v); }

 private:
  std::string caption_, hint_;
  int width_ = 0;
  TColor color_ = 0;
  TPackStyle style_ = psPlain;
  std::unique_ptr<TFont> font_ = std::make_unique<TFont>();
  std::unique_ptr<TStringList> items_ = std::make_unique<TStringList>();
  std::unique_ptr<TOwnedCollection> panels_ =
      std::make_unique<TOwnedCollection>(this, TPackPanel::StaticClass());
};

// Records the controller's and reader's events in order.
class TEventLog : public TObject {
  KXBR_CLASS(TEventLog, TObject)

 public:
  std::vector<std::string> Entries;
  void BeforeOpen(TObject*) { Entries.push_back("BeforeOpen"); }
  void AfterOpen(TObject*) { Entries.push_back("AfterOpen"); }
  void BeforeClose(TObject*) { Entries.push_back("BeforeClose"); }
  void AfterClose(TObject*) { Entries.push_back("AfterClose"); }
  void BeforeLoad(TComponent* c, TXMLElement e) {
    Entries.push_back("before " + c->Name() + ":" + e.Name());
  }
  void AfterLoad(TComponent* c, TXMLElement e) {
    Entries.push_back("after " + c->Name() + ":" + e.Name());
  }
};

}  // namespace

KXBR_DEFINE_CLASS(TPackPanel, .Prop<&TPackPanel::Text, &TPackPanel::SetText>("Text"))
KXBR_DEFINE_CLASS(TEventLog, )
KXBR_DEFINE_CLASS(TPackEdit,
                  .Prop<&TPackEdit::Caption, &TPackEdit::SetCaption>("Caption")
                      .Prop<&TPackEdit::Hint, &TPackEdit::SetHint>("Hint")
                      .Prop<&TPackEdit::ReadOnlyText>("ReadOnlyText")
                      .Prop<&TPackEdit::Width, &TPackEdit::SetWidth>("Width")
                      .Prop<&TPackEdit::Color, &TPackEdit::SetColor>("Color", ColorTypeInfo())
                      .Prop<&TPackEdit::Style, &TPackEdit::SetStyle>("Style")
                      .Prop<&TPackEdit::Font, &TPackEdit::SetFont>("Font")
                      .Prop<&TPackEdit::Items, &TPackEdit::SetItems>("Items")
                      .Prop<&TPackEdit::Panels, &TPackEdit::SetPanels>("Panels"))

class LangPackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    owner_ = std::make_unique<TPackEdit>(nullptr, "Owner");
    edit_ = new TPackEdit(owner_.get(), "edNoteID");
    edit_->Items()->SetText("a\r\nb\r\nc\r\n");
    new TPackPanel(edit_->Panels());
    new TPackPanel(edit_->Panels());
  }
  // Activates a controller on the pack text and reads the owner and what it owns.
  void Apply(const std::string& xml, const std::vector<std::string>& excluded = {}) {
    TQmLangController controller(nullptr);
    for (const auto& name : excluded) controller.ExcludeControls()->Add(name);
    controller.XMLText()->SetText(xml);
    controller.SetActive(true);
    controller.Reader()->ReadComponent(owner_.get());
  }

  std::unique_ptr<TPackEdit> owner_;
  TPackEdit* edit_ = nullptr;  // owned by owner_
};

TEST_F(LangPackTest, AttributesAssignPropertyPaths) {
  Apply(R"(<TfrmTest><Group><edNoteID Caption="Number" Hint="[F2] Footer lookup" Font.Name="Arial"
              Font.Color="clRed" Color="$00FF00" Style="psFancy" Width="120"
              Panels.Items_1.Text="ready"/></Group></TfrmTest>)");
  EXPECT_EQ(edit_->Caption(), "Number");
  EXPECT_EQ(edit_->Hint(), "[F2] Footer lookup");
  EXPECT_EQ(edit_->Font()->Name(), "Arial");
  EXPECT_EQ(edit_->Font()->Color(), clRed);
  EXPECT_EQ(edit_->Color(), 0x00FF00);
  EXPECT_EQ(edit_->Style(), psFancy);
  EXPECT_EQ(edit_->Width(), 120);
  EXPECT_EQ(static_cast<TPackPanel*>(edit_->Panels()->Items(1))->Text(), "ready");
}

TEST_F(LangPackTest, IndexedLinesGrowTheList) {
  Apply(R"(<R><edNoteID Items_5="six" Items_0="one" Items_x="ignored" Items="ignored"/></R>)");
  ASSERT_EQ(edit_->Items()->Count(), 6);
  EXPECT_EQ(edit_->Items()->Strings(0), "one");
  EXPECT_EQ(edit_->Items()->Strings(3), "");
  EXPECT_EQ(edit_->Items()->Strings(4), "");
  EXPECT_EQ(edit_->Items()->Strings(5), "six");
}

TEST_F(LangPackTest, BadAttributesAreSkippedAndReadingGoesOn) {
  const int lines = edit_->Items()->Count();
  Apply(R"(<R><edNoteID Missing="x" ReadOnlyText="x" Width="wide" Style="psNone"
              Panels.Items_9.Text="beyond" Nothing.Caption="x" Items_188888888="far"
              Items_65536="far" Caption="still read"/></R>)");
  EXPECT_EQ(edit_->Caption(), "still read");
  EXPECT_EQ(edit_->Items()->Count(), lines);  // no list grows to a line far beyond a real one
  EXPECT_EQ(edit_->Width(), 0);
  EXPECT_EQ(edit_->Style(), psPlain);
  EXPECT_EQ(static_cast<TPackPanel*>(edit_->Panels()->Items(0))->Text(), "");
}

TEST_F(LangPackTest, ExcludedComponentsAndTheFirstElementOfAName) {
  auto* second = new TPackEdit(edit_, "EditLabel");
  auto* third = new TPackEdit(owner_.get(), "EditLabel");
  Apply(R"(<R><A><EditLabel Caption="first"/></A><EditLabel Caption="second"/>
              <edNoteID Caption="excluded"/></R>)",
        {"  EDNOTEID "});
  EXPECT_EQ(edit_->Caption(), "");
  EXPECT_EQ(second->Caption(), "first");
  EXPECT_EQ(third->Caption(), "first");
}

TEST(LangController, ActivationFailuresLeaveItInactive) {
  TQmLangController controller(nullptr);
  TEventLog log;
  controller.SetAfterOpen(MethodOf<&TEventLog::AfterOpen>(&log));
  try {
    controller.SetActive(true);
    ADD_FAILURE() << "activated without a pack";
  } catch (const LanguageControllerError& e) {
    EXPECT_EQ(e.Message(), "Cannot Find File !");
  }
  controller.XMLText()->SetText("<R><unclosed></R>");
  EXPECT_THROW(controller.SetActive(true), LanguageControllerError);
  EXPECT_FALSE(controller.Active());
  EXPECT_TRUE(log.Entries.empty());  // AfterOpen never fired
  try {
    controller.Reader();
    ADD_FAILURE() << "a reader while inactive";
  } catch (const LanguageControllerError& e) {
    EXPECT_EQ(e.Message(), "No active LanguageController!");
  }
}

TEST(LangController, EventsAndDeactivationByChanges) {
  TQmLangController controller(nullptr);
  TEventLog log;
  controller.SetBeforeOpen(MethodOf<&TEventLog::BeforeOpen>(&log));
  controller.SetAfterOpen(MethodOf<&TEventLog::AfterOpen>(&log));
  controller.SetBeforeClose(MethodOf<&TEventLog::BeforeClose>(&log));
  controller.SetAfterClose(MethodOf<&TEventLog::AfterClose>(&log));
  controller.SetBeforeLoadComponent(MethodOf<&TEventLog::BeforeLoad>(&log));
  controller.SetAfterLoadComponent(MethodOf<&TEventLog::AfterLoad>(&log));
  controller.XMLText()->SetText("<R><edA Caption='x'/></R>");
  controller.SetActive(true);
  ASSERT_TRUE(controller.Active());
  TPackEdit edit(nullptr, "edA");
  controller.Reader()->ReadComponent(&edit);
  controller.XMLText()->Add("<!-- changed -->");  // any change deactivates
  EXPECT_FALSE(controller.Active());
  EXPECT_EQ(log.Entries, (std::vector<std::string>{"BeforeOpen", "AfterOpen", "before edA:edA",
                                                   "after edA:edA", "BeforeClose", "AfterClose"}));
  controller.SetFileName("/nowhere/x.Lng");
  EXPECT_EQ(controller.XMLText()->Count(), 0);  // a file name replaces the text
  controller.XMLText()->SetText("<R/>");
  EXPECT_EQ(controller.FileName(), "");  // and the text replaces the file name
}

TEST(LangController, PackageNamesPointIntoTheLanguageFolder) {
  TempInstallation install("950");
  install.WriteClientIni("950", "936");
  const std::string pack = install.WriteClientPack("CHT", "TfrmTest.Lng",
                                                   "<?xml version=\"1.0\" encoding=\"BIG5\"?>"
                                                   "<R><edA Caption=\"\xBF\xEF\xB6\xB5\"/></R>");
  TQmLangController controller(nullptr);
  controller.SetLangPackageName("TfrmTest");
  EXPECT_EQ(controller.FileName(), pack);
  controller.SetActive(true);
  TPackEdit edit(nullptr, "edA");
  controller.Reader()->ReadComponent(&edit);
  EXPECT_EQ(edit.Caption(), "選項");
  controller.SetLangPackageName("TfrmTest");  // the same name keeps state and document
  EXPECT_TRUE(controller.Active());
  controller.SetLangPackageName("TfrmOther");
  EXPECT_FALSE(controller.Active());
  EXPECT_THROW(controller.SetActive(true), LanguageControllerError);  // no such file
}

TEST_F(LangPackTest, ListsOfControlsByIndex) {
  auto* combo = new TComboBox(owner_.get());
  combo->SetName("cboDateType");
  combo->Items()->SetText("a\r\nb\r\nc\r\n");
  combo->SetItemIndex(1);
  auto* list = new TListView(owner_.get());
  list->SetName("lstCondition");
  list->Columns()->Add();
  list->Columns()->Add();
  list->Items()->Add()->SetCaption("row 0");
  auto* tree = new TTreeView(owner_.get());
  tree->SetName("tvTree");
  TTreeNode* root = tree->Items()->Add(nullptr, "n0");
  for (int i = 1; i <= 3; ++i) tree->Items()->AddChild(root, "n" + std::to_string(i));

  Apply(R"(<R><cboDateType Items_5="f" Items_0="A"/>
              <lstCondition Columns_1.Caption="Created" Columns_9.Caption="none"
                            Items_0.Caption="Month end" Items_4.Caption="none"/>
              <tvTree Items_3.Text="third child"/></R>)");
  ASSERT_EQ(combo->Items()->Count(), 6);
  EXPECT_EQ(combo->Items()->Strings(0), "A");
  EXPECT_EQ(combo->Items()->Strings(5), "f");
  EXPECT_EQ(combo->ItemIndex(), 1);  // the combo box keeps its selection
  EXPECT_EQ(static_cast<TListColumn*>(list->Columns()->Items(1))->Caption(), "Created");
  EXPECT_EQ(list->Columns()->Count(), 2);
  EXPECT_EQ(list->Items()->Item(0)->Caption(), "Month end");
  EXPECT_EQ(list->Items()->Count(), 1);
  EXPECT_EQ(tree->Items()->Item(3)->Text(), "third child");
  EXPECT_EQ(tree->Items()->Item(2)->Text(), "n2");
}
