// Small component classes with a published property of every kind, shared by the tests.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "Graphics.h"

KXBR_ENUM(TTestStyle, ts_Range, ts_Discrete, ts_UserChoice)
KXBR_ENUM(TTestOption, toBold, toItalic, toWide)
using TTestOptions = TSet<TTestOption>;

class TTestItem : public TCollectionItem {
  KXBR_CLASS(TTestItem, TCollectionItem)

 public:
  using TCollectionItem::TCollectionItem;
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v) { caption_ = v; }
  int Width() const { return width_; }
  void SetWidth(int v) { width_ = v; }
  void Assign(const TPersistent* source) override;

 private:
  std::string caption_;
  int width_ = 50;
};

// Records the calls that tests look at.
struct TCallLog {
  std::vector<std::string> Entries;
};

class TTestComponent : public TComponent {
  KXBR_CLASS(TTestComponent, TComponent)

 public:
  explicit TTestComponent(TComponent* owner);
  ~TTestComponent() override;

  int Count() const { return count_; }
  void SetCount(int v) { count_ = v; }
  int16_t Small() const { return small_; }
  void SetSmall(int16_t v) { small_ = v; }
  char Letter() const { return letter_; }
  void SetLetter(char v) { letter_ = v; }
  TTestStyle Style() const { return style_; }
  void SetStyle(TTestStyle v) { style_ = v; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v) { enabled_ = v; }
  TTestOptions Options() const { return options_; }
  void SetOptions(TTestOptions v) { options_ = v; }
  double Ratio() const { return ratio_; }
  void SetRatio(double v) { ratio_ = v; }
  const std::string& Caption() const { return caption_; }
  // Rejects texts longer than 20 bytes, changing nothing.
  void SetCaption(const std::string& v);
  const std::string& Hint() const { return hint_; }
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
  void SetBuddy(TComponent* v);
  const TNotifyEvent& OnClick() const { return onClick_; }
  void SetOnClick(TNotifyEvent v) { onClick_ = v; }
  const TKeyPressEvent& OnKeyPress() const { return onKeyPress_; }
  void SetOnKeyPress(TKeyPressEvent v) { onKeyPress_ = v; }

  void Click() { onClick_(this); }
  void Loaded() override;
  void SetParentComponent(TComponent* parent) override { parent_ = parent; }
  TComponent* GetParentComponent() const override { return parent_; }
  bool HasParent() const override { return true; }

  TCallLog* Log = nullptr;
  bool StateAtLoaded = false;  // csLoading was set when Loaded ran
  TComponent* BuddyAtLoaded = nullptr;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  int count_ = 0;
  int16_t small_ = 0;
  char letter_ = 'a';
  TTestStyle style_ = ts_Range;
  bool enabled_ = true;
  TTestOptions options_;
  double ratio_ = 0;
  std::string caption_;
  std::string hint_ = "fixed";
  TColor color_ = clWindow;
  std::unique_ptr<TFont> font_;
  std::unique_ptr<TBitmap> glyph_;
  std::unique_ptr<TStringList> items_;
  std::unique_ptr<TOwnedCollection> columns_;
  TComponent* buddy_ = nullptr;
  TComponent* parent_ = nullptr;
  TNotifyEvent onClick_;
  TKeyPressEvent onKeyPress_;
};

// A root with published fields, methods and a message handler.
class TTestForm : public TTestComponent {
  KXBR_CLASS(TTestForm, TTestComponent)

 public:
  explicit TTestForm(TComponent* owner) : TTestComponent(owner) {}

  void btnOkClick(TObject* sender);
  void btnCancelClick(TObject* sender);
  void edKeyPress(TObject* sender, char& key);

  TTestComponent* btnOk = nullptr;
  TTestComponent* Panel1 = nullptr;
  std::vector<std::string> Calls;
  std::vector<UINT> Messages;

 private:
  void WMSize(TMessage& message);
  void UserMessage(TMessage& message);
};

// A descendant handling WM_SIZE itself and then its ancestor's way.
class TTestSubForm : public TTestForm {
  KXBR_CLASS(TTestSubForm, TTestForm)

 public:
  using TTestForm::TTestForm;

 private:
  void WMSize(TMessage& message);
};
