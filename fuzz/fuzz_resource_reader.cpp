// Arbitrary bytes as a form resource, read into a root that publishes a property of every
// kind, with components, collections, string lists and bitmaps. Any failure must surface as
// one of the library's exceptions; everything created is freed with the root.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "Classes.h"
#include "Graphics.h"
#include "ImgList.h"
#include "Reader.h"

KXBR_ENUM(TFuzzStyle, fs_One, fs_Two, fs_Three)
KXBR_ENUM(TFuzzOption, foA, foB, foC)
using TFuzzOptions = TSet<TFuzzOption>;

class TFuzzItem : public TCollectionItem {
  KXBR_CLASS(TFuzzItem, TCollectionItem)

 public:
  using TCollectionItem::TCollectionItem;
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v) { caption_ = v; }
  int Width() const { return width_; }
  void SetWidth(int v) { width_ = v; }

 private:
  std::string caption_;
  int width_ = 0;
};

KXBR_DEFINE_CLASS(TFuzzItem, .Prop<&TFuzzItem::Caption, &TFuzzItem::SetCaption>("Caption")
                                 .Prop<&TFuzzItem::Width, &TFuzzItem::SetWidth>("Width"))

class TFuzzComponent : public TComponent {
  KXBR_CLASS(TFuzzComponent, TComponent)

 public:
  explicit TFuzzComponent(TComponent* owner)
      : TComponent(owner),
        font_(std::make_unique<TFont>()),
        glyph_(std::make_unique<TBitmap>()),
        items_(std::make_unique<TStringList>()),
        columns_(std::make_unique<TOwnedCollection>(this, TFuzzItem::StaticClass())) {}

  int Count() const { return count_; }
  void SetCount(int v) { count_ = v; }
  int16_t Small() const { return small_; }
  void SetSmall(int16_t v) { small_ = v; }
  char Letter() const { return letter_; }
  void SetLetter(char v) { letter_ = v; }
  TFuzzStyle Style() const { return style_; }
  void SetStyle(TFuzzStyle v) { style_ = v; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v) { enabled_ = v; }
  TFuzzOptions Options() const { return options_; }
  void SetOptions(TFuzzOptions v) { options_ = v; }
  double Ratio() const { return ratio_; }
  void SetRatio(double v) { ratio_ = v; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v) { caption_ = v; }
  TColor Color() const { return color_; }
  void SetColor(TColor v) { color_ = v; }
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* v) { font_->Assign(v); }
  TBitmap* Glyph() const { return glyph_.get(); }
  void SetGlyph(TBitmap* v) { glyph_->Assign(v); }
  TStrings* Items() const { return items_.get(); }
  void SetItems(TStrings* v) { items_->Assign(v); }
  TCollection* Columns() const { return columns_.get(); }
  void SetColumns(TCollection* v) { columns_->Assign(v); }
  TComponent* Buddy() const { return buddy_; }
  void SetBuddy(TComponent* v) {
    buddy_ = v;
    if (v) v->FreeNotification(this);
  }
  const TNotifyEvent& OnClick() const { return onClick_; }
  void SetOnClick(TNotifyEvent v) { onClick_ = v; }
  void SetParentComponent(TComponent* parent) override { parent_ = parent; }
  TComponent* GetParentComponent() const override { return parent_; }
  void Clicked(TObject*) {}

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == buddy_) buddy_ = nullptr;
  }

 private:
  int count_ = 0;
  int16_t small_ = 0;
  char letter_ = 0;
  TFuzzStyle style_ = fs_One;
  bool enabled_ = true;
  TFuzzOptions options_;
  double ratio_ = 0;
  std::string caption_;
  TColor color_ = clWindow;
  std::unique_ptr<TFont> font_;
  std::unique_ptr<TBitmap> glyph_;
  std::unique_ptr<TStringList> items_;
  std::unique_ptr<TOwnedCollection> columns_;
  TComponent* buddy_ = nullptr;
  TComponent* parent_ = nullptr;
  TNotifyEvent onClick_;
};

KXBR_DEFINE_CLASS(TFuzzComponent,
                  .Prop<&TFuzzComponent::Buddy, &TFuzzComponent::SetBuddy>("Buddy")
                      .Prop<&TFuzzComponent::Caption, &TFuzzComponent::SetCaption>("Caption")
                      .Prop<&TFuzzComponent::Color, &TFuzzComponent::SetColor>("Color",
                                                                               ColorTypeInfo())
                      .Prop<&TFuzzComponent::Columns, &TFuzzComponent::SetColumns>("Columns")
                      .Prop<&TFuzzComponent::Count, &TFuzzComponent::SetCount>("Count")
                      .Prop<&TFuzzComponent::Enabled, &TFuzzComponent::SetEnabled>("Enabled")
                      .Prop<&TFuzzComponent::Font, &TFuzzComponent::SetFont>("Font")
                      .Prop<&TFuzzComponent::Glyph, &TFuzzComponent::SetGlyph>("Glyph")
                      .Prop<&TFuzzComponent::Items, &TFuzzComponent::SetItems>("Items")
                      .Prop<&TFuzzComponent::Letter, &TFuzzComponent::SetLetter>("Letter")
                      .Prop<&TFuzzComponent::OnClick, &TFuzzComponent::SetOnClick>("OnClick")
                      .Prop<&TFuzzComponent::Options, &TFuzzComponent::SetOptions>("Options")
                      .Prop<&TFuzzComponent::Ratio, &TFuzzComponent::SetRatio>("Ratio")
                      .Prop<&TFuzzComponent::Small, &TFuzzComponent::SetSmall>("Small")
                      .Prop<&TFuzzComponent::Style, &TFuzzComponent::SetStyle>("Style")
                      .Method<&TFuzzComponent::Clicked>("Clicked"))

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool registered = RegisterClass(TImageList::StaticClass());
  (void)registered;
  auto* root = new TFuzzComponent(nullptr);
  try {
    ReadComponentResText(std::string_view(reinterpret_cast<const char*>(data), size), root, "fuzz");
  } catch (const Exception&) {
    // A refused resource is an expected outcome.
  }
  root->Free();
  return 0;
}
