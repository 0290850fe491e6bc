// Labelled edits: TQmEdit and TQmDBEdit carry their own caption label (EditLabel) on a
// chosen side; TQmBtnDBEdit adds a lookup button at its right. Release 9.0 only.
#pragma once

#include "Release.h"

#if KXBR_RELEASE >= 90

#include <cstdint>

#include "DBCtrls.h"
#include "F2Button.h"
#include "StdCtrls.h"

KXBR_ENUM(TLabelPosition, lpAbove, lpBelow, lpLeft, lpRight)

// The caption label of an edit: created and owned by the edit, placed beside it, and
// following its parent, Enabled and Visible. One keeper serves every labelled edit.
class TEditLabelKeeper {
 public:
  explicit TEditLabelKeeper(TWinControl* edit) : edit_(edit) {}
  // Creates the label "EditLabel" (empty caption, the edit as its focus control).
  void CreateLabel();

  TLabel* EditLabel() const { return label_; }
  std::string Caption() const { return label_ ? label_->Caption() : std::string(); }
  void SetCaption(const std::string& v);
  TLabelPosition LabelPosition() const { return position_; }
  void SetLabelPosition(TLabelPosition v);
  int LabelSpacing() const { return spacing_; }
  // A negative spacing is ignored.
  void SetLabelSpacing(int v);

  // Label Left / Top by LabelPosition, LabelSpacing and the edit's bounds.
  void Place();
  void ParentChanged();
  void EnabledChanged();
  void VisibleChanged();
  // The edit heard that `component` is going away.
  void Forget(TComponent* component);

 private:
  TWinControl* edit_;
  TLabel* label_ = nullptr;
  TLabelPosition position_ = lpLeft;
  int spacing_ = 4;
};

class TQmEdit : public TEdit {
  KXBR_CLASS(TQmEdit, TEdit)

 public:
  explicit TQmEdit(TComponent* owner);

  TLabel* EditLabel() const { return keeper_.EditLabel(); }
  std::string Caption() const { return keeper_.Caption(); }
  void SetCaption(const std::string& v) { keeper_.SetCaption(v); }
  TLabelPosition LabelPosition() const { return keeper_.LabelPosition(); }
  void SetLabelPosition(TLabelPosition v) { keeper_.SetLabelPosition(v); }
  int LabelSpacing() const { return keeper_.LabelSpacing(); }
  void SetLabelSpacing(int v) { keeper_.SetLabelSpacing(v); }

  void SetBounds(int left, int top, int width, int height) override;
  void SetParent(TWinControl* parent) override;

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  void CMEnabledChangedLabel(TMessage& m);
  void CMVisibleChangedLabel(TMessage& m);

 private:
  TEditLabelKeeper keeper_;
};

class TQmDBEdit : public TDBEdit {
  KXBR_CLASS(TQmDBEdit, TDBEdit)

 public:
  explicit TQmDBEdit(TComponent* owner);

  TLabel* EditLabel() const { return keeper_.EditLabel(); }
  std::string Caption() const { return keeper_.Caption(); }
  void SetCaption(const std::string& v) { keeper_.SetCaption(v); }
  TLabelPosition LabelPosition() const { return keeper_.LabelPosition(); }
  void SetLabelPosition(TLabelPosition v) { keeper_.SetLabelPosition(v); }
  int LabelSpacing() const { return keeper_.LabelSpacing(); }
  void SetLabelSpacing(int v) { keeper_.SetLabelSpacing(v); }
  // The inherited assignment; in a form designer the caption then becomes the field's
  // display label.
  const std::string& DataField() const { return TDBEdit::DataField(); }
  void SetDataField(const std::string& v);

  void SetBounds(int left, int top, int width, int height) override;
  void SetParent(TWinControl* parent) override;

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  void CMEnabledChangedLabel(TMessage& m);
  void CMVisibleChangedLabel(TMessage& m);

 private:
  TEditLabelKeeper keeper_;
};

class TQmBtnDBEdit : public TQmDBEdit {
  KXBR_CLASS(TQmBtnDBEdit, TQmDBEdit)

 public:
  // Its lookup button "F2Button": flat, glyph 8, a square as high as the edit.
  explicit TQmBtnDBEdit(TComponent* owner);

  TGSpeedButton* Button() const { return button_; }
  int ButtonSpacing() const { return buttonSpacing_; }
  void SetButtonSpacing(int v);
  int GlyphIndex() const { return button_ ? button_->GlyphIndex() : glyphIndex_; }
  void SetGlyphIndex(int v);
  std::string ButtonHint() const { return button_ ? button_->Hint() : std::string(); }
  void SetButtonHint(const std::string& v);
  // Replaces the standard lookup request when assigned.
  const TNotifyEvent& OnDialog() const { return onDialog_; }
  void SetOnDialog(TNotifyEvent e) { onDialog_ = e; }

  void SetBounds(int left, int top, int width, int height) override;
  void SetParent(TWinControl* parent) override;

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  void CMEnabledChangedButton(TMessage& m);
  void CMVisibleChangedButton(TMessage& m);
  // OnDialog, or the focus and the lookup request to the owner's window.
  void ButtonClick(TObject* sender);

 private:
  void PlaceButton();

  TGSpeedButton* button_ = nullptr;
  int buttonSpacing_ = 2;
  int glyphIndex_ = 8;
  TNotifyEvent onDialog_;
};

#endif  // KXBR_RELEASE >= 90
