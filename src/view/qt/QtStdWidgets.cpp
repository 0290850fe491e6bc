#include "QtStdWidgets.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextBlock>

#include "Buttons.h"
#include "ComCtrls.h"
#include "Forms.h"
#include "Mask.h"
#include "QtConvert.h"
#include "Spin.h"
#include "StdCtrls.h"

void TQtFormWidget::closeEvent(QCloseEvent* event) {
  event->ignore();
  close_();
}

void TQtComboBox::hidePopup() {
  QComboBox::hidePopup();
  closed_();
}

namespace {

// --- Forms and containers --------------------------------------------------------------------

class TQtFormBinding : public TQtBinding {
 public:
  using TQtBinding::TQtBinding;

  bool Input(QObject* watched, QEvent* event) override {
    // The user brought the window to the front: the form becomes the active one.
    if (event->type() == QEvent::WindowActivate && watched == widget_) {
      TCustomForm* form = Form();
      TQtView& view = view_;
      if (!view.Syncing() && !form->Active() && form->CanFocus()) {
        // Qt has activated the window already: the model's announcement asks nothing back.
        TQtView::TSyncGuard guard(view);
        RunGuarded([form] { form->SetFocus(); });
      }
      view.RestoreFocus();
      return false;
    }
    return TQtBinding::Input(watched, event);
  }

  void Changed(std::string_view what) override {
    // The model activated the form on its own (not because Qt activated the window).
    const bool byModel = !view_.Syncing();
    TQtBinding::Changed(what);
    if (what == "Active" && byModel && Form()->Active() && widget_ && !widget_->isActiveWindow()) {
      widget_->raise();
      widget_->activateWindow();
    }
  }

 protected:
  TCustomForm* Form() const { return static_cast<TCustomForm*>(control_); }

  QWidget* MakeWidget(QWidget* parent) override {
    TCustomForm* form = Form();
    auto* widget = new TQtFormWidget([form] { RunGuarded([form] { form->Close(); }); });
    // A form placed inside another control is a child widget like any other.
    if (parent) widget->setParent(parent);
    widget->setAutoFillBackground(true);
    widget->setAttribute(Qt::WA_InputMethodEnabled);
    return widget;
  }

  void SyncGeometry() override {
    if (Form()->Parent()) {
      TQtBinding::SyncGeometry();
      return;
    }
    // The window is the form's client area; the frame is the window system's.
    widget_->resize(Form()->ClientWidth(), Form()->ClientHeight());
    widget_->move(Form()->Left(), Form()->Top());
  }

  void Sync() override {
    widget_->setWindowTitle(ToQString(Form()->Caption()));
    if (Form()->Parent()) return;  // shown with its parent, as any child
    const bool visible = Form()->Visible();
    if (visible == widget_->isVisible()) return;
    if (visible) {
      widget_->setWindowModality(Form()->Modal() ? Qt::ApplicationModal : Qt::NonModal);
      widget_->show();
      widget_->activateWindow();
    } else {
      widget_->hide();
    }
  }
};

class TQtContainerBinding : public TQtBinding {
 public:
  using TQtBinding::TQtBinding;

 protected:
  QWidget* MakeWidget(QWidget* parent) override {
    auto* widget = new QWidget(parent);
    widget->setAutoFillBackground(true);
    widget->setAttribute(Qt::WA_InputMethodEnabled);
    return widget;
  }
};

// --- Edits -----------------------------------------------------------------------------------

class TQtEditBinding : public TQtBinding {
 public:
  using TQtBinding::TQtBinding;

 protected:
  TCustomEdit* Edit() const { return static_cast<TCustomEdit*>(control_); }
  virtual QLineEdit* LineEdit() const { return static_cast<QLineEdit*>(widget_.data()); }
  // What the edit window shows: the mask's literals and blanks, the password characters.
  virtual std::string ShownText() const {
    if (auto* mask = dynamic_cast<TCustomMaskEdit*>(control_); mask && mask->IsMasked())
      return mask->EditText();
    return Edit()->DisplayText();
  }

  QWidget* MakeWidget(QWidget* parent) override {
    auto* edit = new QLineEdit(parent);
    Prepare(edit);
    return edit;
  }

  void Prepare(QLineEdit* edit) {
    edit->setAttribute(Qt::WA_InputMethodEnabled);
    edit->setFocusPolicy(Qt::StrongFocus);
    edit->setContextMenuPolicy(Qt::NoContextMenu);
  }

  void Sync() override {
    QLineEdit* edit = LineEdit();
    edit->setFrame(Edit()->BorderStyle() != bsNone);
    const QString text = ToQString(ShownText());
    if (edit->text() != text) edit->setText(text);
    // The platform hides the selection of an edit without the focus.
    const bool showSelection = Edit()->Focused() || !Edit()->HideSelection();
    if (Edit()->SelLength() > 0 && showSelection)
      edit->setSelection(Edit()->SelStart(), Edit()->SelLength());
    else
      edit->setCursorPosition(Edit()->SelStart());
  }
};

class TQtSpinBinding : public TQtEditBinding {
 public:
  using TQtEditBinding::TQtEditBinding;

  bool Input(QObject* watched, QEvent* event) override {
    // The arrows are Qt's: they step the model through its own up and down clicks.
    const bool mouse = event->type() == QEvent::MouseButtonPress ||
                       event->type() == QEvent::MouseButtonRelease ||
                       event->type() == QEvent::MouseButtonDblClick;
    if (mouse && watched == widget_) {
      auto* spin = static_cast<QMouseEvent*>(event);
      if (spin->position().x() >= widget_->width() - 18) return false;
    }
    return TQtEditBinding::Input(watched, event);
  }

 protected:
  QLineEdit* LineEdit() const override { return static_cast<TQtSpinBox*>(widget_.data())->Edit(); }

  QWidget* MakeWidget(QWidget* parent) override {
    auto* spin = static_cast<TSpinEdit*>(control_);
    TQtView* view = &view_;
    auto* widget = new TQtSpinBox(parent, [spin, view](int steps) {
      if (view->Syncing()) return;
      RunGuarded([&] {
        if (spin->CanFocus() && !spin->Focused()) spin->SetFocus();
        for (int i = 0; i < std::abs(steps); ++i) steps > 0 ? spin->UpClick() : spin->DownClick();
      });
    });
    Prepare(widget->Edit());
    widget->setFocusPolicy(Qt::StrongFocus);
    WatchPart(widget->Edit());
    return widget;
  }
};

class TQtMemoBinding : public TQtBinding {
 public:
  using TQtBinding::TQtBinding;

 protected:
  TCustomMemo* Memo() const { return static_cast<TCustomMemo*>(control_); }

  QWidget* MakeWidget(QWidget* parent) override {
    auto* memo = new QPlainTextEdit(parent);
    memo->setAttribute(Qt::WA_InputMethodEnabled);
    memo->setContextMenuPolicy(Qt::NoContextMenu);
    WatchPart(memo->viewport());
    return memo;
  }

  void Sync() override {
    auto* memo = static_cast<QPlainTextEdit*>(widget_.data());
    const std::string text = Memo()->Text();
    const QString shown = CrLfToLf(text);
    if (memo->toPlainText() != shown) memo->setPlainText(shown);
    memo->setLineWrapMode(Memo()->WordWrap() ? QPlainTextEdit::WidgetWidth
                                             : QPlainTextEdit::NoWrap);
    const TScrollStyle bars = Memo()->ScrollBars();
    memo->setVerticalScrollBarPolicy(bars == ssVertical || bars == ssBoth ? Qt::ScrollBarAlwaysOn
                                                                          : Qt::ScrollBarAsNeeded);
    memo->setHorizontalScrollBarPolicy(
        bars == ssHorizontal || bars == ssBoth ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
    QTextCursor cursor = memo->textCursor();
    const int start = Memo()->SelStart();
    cursor.setPosition(ModelToQtPosition(text, start));
    cursor.setPosition(ModelToQtPosition(text, start + Memo()->SelLength()),
                       QTextCursor::KeepAnchor);
    memo->setTextCursor(cursor);
  }
};

// --- Buttons ---------------------------------------------------------------------------------

class TQtButtonBinding : public TQtBinding {
 public:
  using TQtBinding::TQtBinding;

  bool Input(QObject* watched, QEvent* event) override {
    // The look of a press; the click itself is the model's.
    auto* button = static_cast<QAbstractButton*>(widget_.data());
    if (event->type() == QEvent::MouseButtonPress) button->setDown(true);
    if (event->type() == QEvent::MouseButtonRelease) button->setDown(false);
    return TQtBinding::Input(watched, event);
  }

 protected:
  QWidget* MakeWidget(QWidget* parent) override {
    auto* button = new QPushButton(parent);
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
  }

  void Sync() override {
    auto* button = static_cast<QPushButton*>(widget_.data());
    button->setText(ToQString(control_->Caption()));
    if (auto* plain = dynamic_cast<TButton*>(control_)) button->setDefault(plain->Default());
    if (auto* bit = dynamic_cast<TBitBtn*>(control_)) {
      TBitmap* glyph = bit->Glyph();
      if (glyph && !glyph->Empty()) {
        const int width = glyph->Width() / std::max(1, bit->NumGlyphs());
        const QImage image = ToQImageTransparent(*glyph).copy(0, 0, width, glyph->Height());
        button->setIcon(QIcon(QPixmap::fromImage(image)));
        button->setIconSize(QSize(width, glyph->Height()));
      } else {
        button->setIcon(QIcon());
      }
    }
  }
};

class TQtCheckBinding : public TQtButtonBinding {
 public:
  using TQtButtonBinding::TQtButtonBinding;

 protected:
  QWidget* MakeWidget(QWidget* parent) override {
    QAbstractButton* button = nullptr;
    if (dynamic_cast<TRadioButton*>(control_)) {
      auto* radio = new QRadioButton(parent);
      radio->setAutoExclusive(false);
      button = radio;
    } else {
      button = new QCheckBox(parent);
    }
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
  }

  void Sync() override {
    auto* button = static_cast<QAbstractButton*>(widget_.data());
    button->setText(ToQString(control_->Caption()));
    if (auto* check = dynamic_cast<TCustomCheckBox*>(control_)) {
      auto* box = static_cast<QCheckBox*>(button);
      box->setTristate(check->AllowGrayed() || check->State() == cbGrayed);
      box->setCheckState(check->State() == cbChecked  ? Qt::Checked
                         : check->State() == cbGrayed ? Qt::PartiallyChecked
                                                      : Qt::Unchecked);
    } else if (auto* radio = dynamic_cast<TRadioButton*>(control_)) {
      button->setChecked(radio->Checked());
    }
  }
};

// --- Lists -----------------------------------------------------------------------------------

class TQtComboBinding : public TQtBinding {
 public:
  using TQtBinding::TQtBinding;

 protected:
  TCustomComboBox* Combo() const { return static_cast<TCustomComboBox*>(control_); }

  QWidget* MakeWidget(QWidget* parent) override {
    TCustomComboBox* model = Combo();
    TQtView* view = &view_;
    auto* combo = new TQtComboBox(parent, [model, view] {
      if (!view->Syncing() && model->DroppedDown())
        RunGuarded([model] { model->SetDroppedDown(false); });
    });
    combo->setFocusPolicy(Qt::StrongFocus);
    combo->setAttribute(Qt::WA_InputMethodEnabled);
    // A pick in the open list is the user's choice in the model.
    QObject::connect(combo, &QComboBox::activated, combo, [model, view](int index) {
      if (!view->Syncing()) RunGuarded([&] { model->SelectItem(index); });
    });
    return combo;
  }

  void Sync() override {
    auto* combo = static_cast<TQtComboBox*>(widget_.data());
    TStrings* items = Combo()->Items();
    bool same = combo->count() == items->Count();
    for (int i = 0; same && i < items->Count(); ++i)
      same = combo->itemText(i) == ToQString(items->Strings(i));
    if (!same) {
      combo->clear();
      for (int i = 0; i < items->Count(); ++i) combo->addItem(ToQString(items->Strings(i)));
    }
    if (combo->isEditable() != Combo()->HasEdit()) {
      combo->setEditable(Combo()->HasEdit());
      if (combo->lineEdit()) {
        combo->lineEdit()->setAttribute(Qt::WA_InputMethodEnabled);
        WatchPart(combo->lineEdit());
      }
    }
    combo->setCurrentIndex(Combo()->ItemIndex());
    if (combo->lineEdit()) {
      combo->lineEdit()->setText(ToQString(Combo()->Text()));
      combo->lineEdit()->setSelection(Combo()->SelStart(), Combo()->SelLength());
    }
    combo->setMaxVisibleItems(std::max(1, Combo()->DropDownCount()));
    if (Combo()->DroppedDown() && !combo->view()->isVisible() && combo->isVisible())
      combo->showPopup();
    else if (!Combo()->DroppedDown() && combo->view()->isVisible())
      combo->QComboBox::hidePopup();
  }
};

class TQtListBoxBinding : public TQtBinding {
 public:
  using TQtBinding::TQtBinding;

 protected:
  TCustomListBox* List() const { return static_cast<TCustomListBox*>(control_); }

  QWidget* MakeWidget(QWidget* parent) override {
    auto* list = new QListWidget(parent);
    list->setFocusPolicy(Qt::StrongFocus);
    list->setUniformItemSizes(true);
    WatchPart(list->viewport());
    return list;
  }

  QPoint ToControl(QObject* watched, QPoint p) const override {
    auto* list = static_cast<QListWidget*>(widget_.data());
    if (watched != list->viewport()) return ToWidget(watched, p);
    const int row = list->indexAt(p).row();
    const TRect r = List()->ItemRect(row >= 0 ? row : List()->Items()->Count());
    return QPoint(r.Left + 2, (r.Top + r.Bottom) / 2);
  }

  void Sync() override {
    auto* list = static_cast<QListWidget*>(widget_.data());
    TStrings* items = List()->Items();
    bool same = list->count() == items->Count();
    for (int i = 0; same && i < items->Count(); ++i)
      same = list->item(i)->text() == ToQString(items->Strings(i));
    if (!same) {
      list->clear();
      for (int i = 0; i < items->Count(); ++i) list->addItem(ToQString(items->Strings(i)));
    }
    list->setSelectionMode(List()->MultiSelect() ? QAbstractItemView::MultiSelection
                                                 : QAbstractItemView::SingleSelection);
    for (int i = 0; i < items->Count(); ++i) {
      const bool selected = List()->MultiSelect() ? List()->Selected(i) : i == List()->ItemIndex();
      list->item(i)->setSelected(selected);
    }
    if (List()->ItemIndex() >= 0)
      list->setCurrentRow(List()->ItemIndex(), QItemSelectionModel::NoUpdate);
  }
};

// An animation plays while the model says it is active; the clip itself is the window
// system's, shown as a busy indicator.
class TQtAnimateBinding : public TQtBinding {
 public:
  using TQtBinding::TQtBinding;

 protected:
  QWidget* MakeWidget(QWidget* parent) override {
    auto* bar = new QProgressBar(parent);
    bar->setTextVisible(false);
    return bar;
  }

  void Sync() override {
    auto* bar = static_cast<QProgressBar*>(widget_.data());
    const bool active = static_cast<TAnimate*>(control_)->Active();
    bar->setRange(0, active ? 0 : 1);
    bar->setValue(0);
  }
};

template <class B>
TQtView::TFactory Make() {
  return [](TQtView& view, TControl* control) { return std::make_unique<B>(view, control); };
}

}  // namespace

void RegisterStdWidgets(TQtView& view) {
  view.Register(TControl::StaticClass(), Make<TQtContainerBinding>());
  view.Register(TWinControl::StaticClass(), Make<TQtContainerBinding>());
  view.Register(TCustomForm::StaticClass(), Make<TQtFormBinding>());
  view.Register(TCustomEdit::StaticClass(), Make<TQtEditBinding>());
  view.Register(TSpinEdit::StaticClass(), Make<TQtSpinBinding>());
  view.Register(TCustomMemo::StaticClass(), Make<TQtMemoBinding>());
  view.Register(TButtonControl::StaticClass(), Make<TQtButtonBinding>());
  view.Register(TCustomCheckBox::StaticClass(), Make<TQtCheckBinding>());
  view.Register(TRadioButton::StaticClass(), Make<TQtCheckBinding>());
  view.Register(TCustomComboBox::StaticClass(), Make<TQtComboBinding>());
  view.Register(TCustomListBox::StaticClass(), Make<TQtListBoxBinding>());
  view.Register(TAnimate::StaticClass(), Make<TQtAnimateBinding>());
}
