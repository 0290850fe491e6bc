#include <gtest/gtest.h>

#include "Classes.h"
#include "TestClasses.h"

namespace {

TTestComponent* Make(TComponent* owner, const char* name, TCallLog* log) {
  auto* c = new TTestComponent(owner);
  c->SetName(name);
  c->Log = log;
  return c;
}

TEST(ComponentTest, OwnerKeepsCreationOrderAndFindsByNameWithoutCase) {
  TTestForm form(nullptr);
  TComponent* a = Make(&form, "Alpha", nullptr);
  TComponent* b = Make(&form, "Beta", nullptr);
  EXPECT_EQ(form.ComponentCount(), 2);
  EXPECT_EQ(form.Components(0), a);
  EXPECT_EQ(b->ComponentIndex(), 1);
  EXPECT_EQ(form.FindComponent("BETA"), b);
  EXPECT_EQ(form.FindComponent(""), nullptr);
  EXPECT_EQ(form.FindComponent("Gamma"), nullptr);
  EXPECT_THROW(form.Components(2), EListError);
}

TEST(ComponentTest, NamesMustBeIdentifiersAndUniquePerOwner) {
  TTestForm form(nullptr);
  TComponent* a = Make(&form, "Alpha", nullptr);
  TComponent* b = Make(&form, "Beta", nullptr);
  struct Case {
    const char* name;
    const char* message;
  };
  const Case cases[] = {{"ALPHA", "A component named ALPHA already exists"},
                        {"1abc", "'1abc' is not a valid component name"},
                        {"a b", "'a b' is not a valid component name"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      b->SetName(c.name);
      ADD_FAILURE() << "accepted";
    } catch (const EComponentError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
    EXPECT_EQ(b->Name(), "Beta");
  }
  a->SetName("alpha");  // a case change of its own name is fine
  EXPECT_EQ(a->Name(), "alpha");
  b->SetName("");
  EXPECT_EQ(b->Name(), "");
}

TEST(ComponentTest, PublishedFieldsFollowTheComponentsOfThatName) {
  auto* form = new TTestForm(nullptr);
  TTestComponent* ok = Make(form, "btnOk", nullptr);
  EXPECT_EQ(form->btnOk, ok);
  ok->SetName("btnOther");
  EXPECT_EQ(form->btnOk, nullptr);
  ok->SetName("btnOk");
  EXPECT_EQ(form->btnOk, ok);
  ok->Free();
  EXPECT_EQ(form->btnOk, nullptr);  // cleared before the component is gone
  form->Free();
}

TEST(ComponentTest, FreeingTellsOwnerAndPartnersAndClearsReferences) {
  TCallLog log;
  auto* form = Make(nullptr, "Form", &log);
  auto* edit = Make(form, "Edit", &log);
  auto* label = Make(form, "Label", &log);
  auto* other = Make(nullptr, "Other", &log);  // another owner: needs a free notification
  label->SetBuddy(edit);
  other->SetBuddy(edit);
  edit->Free();
  EXPECT_EQ(label->Buddy(), nullptr);
  EXPECT_EQ(other->Buddy(), nullptr);
  EXPECT_EQ(form->ComponentCount(), 1);
  // The owner passes its notification on to everything it owns, then handles it itself.
  EXPECT_EQ(log.Entries,
            (std::vector<std::string>{"Other told Edit removed", "Edit told Edit removed",
                                      "Label told Edit removed", "Form told Edit removed"}));
  // Freeing the partner first removes the notification link both ways.
  auto* target = Make(nullptr, "Target", &log);
  other->SetBuddy(target);
  other->Free();
  log.Entries.clear();
  target->Free();
  EXPECT_TRUE(log.Entries.empty());
  form->Free();
}

// Records the state of its owner while it is being freed.
class TProbe : public TComponent {
 public:
  TProbe(TComponent* owner, std::vector<std::string>* log) : TComponent(owner), log_(log) {}
  ~TProbe() override {
    log_->push_back(Name() + (Owner() ? " owned" : " unowned") +
                    (sibling && sibling->ComponentState().Contains(csDestroying)
                         ? ", sibling destroying"
                         : ""));
  }
  TComponent* sibling = nullptr;

 private:
  std::vector<std::string>* log_;
};

TEST(ComponentTest, OwnerFreesItsComponentsLastFirstAfterMarkingAll) {
  std::vector<std::string> log;
  auto* owner = new TComponent(nullptr);
  auto* first = new TProbe(owner, &log);
  first->SetName("First");
  auto* second = new TProbe(owner, &log);
  second->SetName("Second");
  auto* child = new TProbe(second, &log);  // owned by an owned component
  child->SetName("Child");
  second->sibling = first;
  child->sibling = first;
  owner->Free();
  EXPECT_EQ(log, (std::vector<std::string>{"Child unowned, sibling destroying",
                                           "Second unowned, sibling destroying", "First unowned"}));
}

TEST(ComponentTest, ComponentStateAndDesigning) {
  TTestForm form(nullptr);
  form.SetDesigning(true);
  auto* late = new TTestComponent(&form);  // joins a designing owner
  EXPECT_TRUE(late->ComponentState().Contains(csDesigning));
  form.BeginLoading();
  EXPECT_TRUE(form.ComponentState().Contains(csLoading));
  EXPECT_TRUE(form.ComponentState().Contains(csReading));
  form.EndReading();
  form.Loaded();
  EXPECT_FALSE(form.ComponentState().Contains(csLoading));
  EXPECT_FALSE(form.ComponentState().Contains(csReading));
}

TEST(ComponentTest, AssignOfUnrelatedClassesRaises) {
  TFont font;
  TStringList list;
  try {
    font.Assign(&list);
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TStringList to a TFont");
  }
  EXPECT_THROW(font.Assign(nullptr), EConvertError);
}

TEST(ComponentTest, CollectionsCreateMoveAndFreeTheirItems) {
  TOwnedCollection columns(nullptr, TTestItem::StaticClass());
  auto* a = static_cast<TTestItem*>(columns.Add());
  auto* b = static_cast<TTestItem*>(columns.Add());
  a->SetCaption("A");
  b->SetCaption("B");
  EXPECT_EQ(columns.Count(), 2);
  b->SetIndex(0);
  EXPECT_EQ(columns.Items(0), b);
  EXPECT_EQ(a->Index(), 1);
  EXPECT_EQ(columns.FindItemID(a->ID()), a);
  TOwnedCollection copy(nullptr, TTestItem::StaticClass());
  copy.Assign(&columns);
  ASSERT_EQ(copy.Count(), 2);
  EXPECT_EQ(static_cast<TTestItem*>(copy.Items(0))->Caption(), "B");
  columns.Delete(0);
  EXPECT_EQ(columns.Count(), 1);
  EXPECT_THROW(columns.Items(1), EListError);
  a->Free();  // an item leaves its collection when freed
  EXPECT_EQ(columns.Count(), 0);
  TCollection noItems(TComponent::StaticClass());
  EXPECT_THROW(noItems.Add(), EListError);
}

struct TObserverLog : IComponentObserver {
  std::vector<std::string> events;
  void ComponentChanged(TComponent* c, TObserverEvent e, std::string_view what) override {
    events.push_back(c->Name() + ":" + std::to_string(e) + ":" + std::string(what));
  }
};

TEST(ComponentTest, ObserversHearOfDestruction) {
  TObserverLog observer;
  AddComponentObserver(&observer);
  auto* c = new TComponent(nullptr);
  c->SetName("Gone");
  NotifyComponentObservers(c, oeChanged, "Text");
  c->Free();
  RemoveComponentObserver(&observer);
  EXPECT_EQ(observer.events, (std::vector<std::string>{"Gone:2:Text", "Gone:1:"}));
}

}  // namespace
