#include "TestClasses.h"

KXBR_DEFINE_CLASS(TTestItem, .Prop<&TTestItem::Caption, &TTestItem::SetCaption>("Caption")
                                 .Prop<&TTestItem::Width, &TTestItem::SetWidth>("Width"))

void TTestItem::Assign(const TPersistent* source) {
  if (const auto* item = dynamic_cast<const TTestItem*>(source)) {
    caption_ = item->caption_;
    width_ = item->width_;
    return;
  }
  TCollectionItem::Assign(source);
}

KXBR_DEFINE_CLASS(
    TTestComponent,
    .Prop<&TTestComponent::Buddy, &TTestComponent::SetBuddy>("Buddy")
        .Prop<&TTestComponent::Caption, &TTestComponent::SetCaption>("Caption")
        .Prop<&TTestComponent::Color, &TTestComponent::SetColor>("Color", ColorTypeInfo())
        .Prop<&TTestComponent::Columns, &TTestComponent::SetColumns>("Columns")
        .Prop<&TTestComponent::Count, &TTestComponent::SetCount>("Count")
        .Prop<&TTestComponent::Enabled, &TTestComponent::SetEnabled>("Enabled")
        .Prop<&TTestComponent::Font, &TTestComponent::SetFont>("Font")
        .Prop<&TTestComponent::Glyph, &TTestComponent::SetGlyph>("Glyph")
        .Prop<&TTestComponent::Hint>("Hint")
        .Prop<&TTestComponent::Items, &TTestComponent::SetItems>("Items")
        .Prop<&TTestComponent::Letter, &TTestComponent::SetLetter>("Letter")
        .Prop<&TTestComponent::OnClick, &TTestComponent::SetOnClick>("OnClick")
        .Prop<&TTestComponent::OnKeyPress, &TTestComponent::SetOnKeyPress>("OnKeyPress")
        .Prop<&TTestComponent::Options, &TTestComponent::SetOptions>("Options")
        .Prop<&TTestComponent::Ratio, &TTestComponent::SetRatio>("Ratio")
        .Prop<&TTestComponent::Small, &TTestComponent::SetSmall>("Small")
        .Prop<&TTestComponent::Style, &TTestComponent::SetStyle>("Style"))

TTestComponent::TTestComponent(TComponent* owner)
    : TComponent(owner),
      font_(std::make_unique<TFont>()),
      glyph_(std::make_unique<TBitmap>()),
      items_(std::make_unique<TStringList>()),
      columns_(std::make_unique<TOwnedCollection>(this, TTestItem::StaticClass())) {}

TTestComponent::~TTestComponent() = default;

void TTestComponent::SetCaption(const std::string& v) {
  if (v.size() > 20) throw EConvertError("Caption too long");
  caption_ = v;
}

void TTestComponent::SetBuddy(TComponent* v) {
  buddy_ = v;
  if (v) v->FreeNotification(this);
}

void TTestComponent::Loaded() {
  StateAtLoaded = ComponentState().Contains(csLoading);
  BuddyAtLoaded = buddy_;
  if (Log) Log->Entries.push_back("Loaded " + Name());
  TComponent::Loaded();
}

void TTestComponent::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == buddy_) buddy_ = nullptr;
  if (Log && operation == opRemove)
    Log->Entries.push_back(Name() + " told " + component->Name() + " removed");
}

KXBR_DEFINE_CLASS(TTestForm, .Method<&TTestForm::btnOkClick>("btnOkClick")
                                 .Method<&TTestForm::btnCancelClick>("btnCancelClick")
                                 .Method<&TTestForm::edKeyPress>("edKeyPress")
                                 .Field<&TTestForm::btnOk>("btnOk")
                                 .Field<&TTestForm::Panel1>("Panel1")
                                 .Message<&TTestForm::WMSize>(WM_SIZE)
                                 .Message<&TTestForm::UserMessage>(WM_USER + 10))

void TTestForm::btnOkClick(TObject* sender) {
  Calls.push_back("btnOkClick " + static_cast<TComponent*>(sender)->Name());
}

void TTestForm::btnCancelClick(TObject*) {
  Calls.push_back("btnCancelClick");
}

void TTestForm::edKeyPress(TObject*, char& key) {
  Calls.push_back(std::string("edKeyPress ") + key);
  key = 0;
}

void TTestForm::WMSize(TMessage& message) {
  Messages.push_back(message.Msg);
  message.Result = 1;
}

void TTestForm::UserMessage(TMessage& message) {
  Messages.push_back(message.Msg);
  message.Result = message.LParam;
}

KXBR_DEFINE_CLASS(TTestSubForm, .Message<&TTestSubForm::WMSize>(WM_SIZE))

void TTestSubForm::WMSize(TMessage& message) {
  Calls.push_back("sub WMSize");
  DispatchInherited(StaticClass(), message);
}
