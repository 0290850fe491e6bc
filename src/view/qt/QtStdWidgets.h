// Forms and the standard windowed controls as native Qt widgets: edits (mask and spin edits,
// the grid's cell editor), memos, buttons with and without glyphs, check boxes, radio
// buttons, combo boxes, list boxes, animations and plain containers (tab sheets, tool bars).
//
// Deviations by design:
// - An animation shows the window system's busy indicator while it plays, not the frames of
//   its clip.
// - A list box or combo box in an owner-draw style shows its items' texts.
#pragma once

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QWidget>
#include <functional>

#include "QtView.h"

class QLineEdit;

// A form's window: closing it asks the model.
class TQtFormWidget : public QWidget {
 public:
  explicit TQtFormWidget(std::function<void()> close) : close_(std::move(close)) {}

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  std::function<void()> close_;
};

// A spin box whose arrows step the model.
class TQtSpinBox : public QAbstractSpinBox {
 public:
  TQtSpinBox(QWidget* parent, std::function<void(int)> step)
      : QAbstractSpinBox(parent), step_(std::move(step)) {}
  QLineEdit* Edit() const { return lineEdit(); }
  void stepBy(int steps) override { step_(steps); }

 protected:
  StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }

 private:
  std::function<void(int)> step_;
};

// A combo box whose list, once closed by Qt, closes the model's too.
class TQtComboBox : public QComboBox {
 public:
  TQtComboBox(QWidget* parent, std::function<void()> closed)
      : QComboBox(parent), closed_(std::move(closed)) {}
  void hidePopup() override;

 private:
  std::function<void()> closed_;
};
