#include "QtPainted.h"

#include <QPainter>

#include "ExtCtrls.h"
#include "QmRadioButton.h"
#include "QtConvert.h"

TQtSurfaceWidget::TQtSurfaceWidget(QWidget* parent, std::function<TBitmap*()> paint)
    : QWidget(parent), paint_(std::move(paint)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_InputMethodEnabled);
}

void TQtSurfaceWidget::paintEvent(QPaintEvent*) {
  TBitmap* surface = nullptr;
  RunGuarded([&] { surface = paint_(); });
  QPainter painter(this);
  if (surface && !surface->Empty())
    painter.drawImage(0, 0, ToQImage(*surface));
  else
    painter.fillRect(rect(), palette().color(backgroundRole()));
}

QWidget* TQtPaintedBinding::MakeWidget(QWidget* parent) {
  auto* widget = new TQtSurfaceWidget(parent, paint_);
  widget->setFocusPolicy(dynamic_cast<TWinControl*>(control_) ? Qt::StrongFocus : Qt::NoFocus);
  return widget;
}

void RegisterPaintedWidgets(TQtView& view) {
  // A graphic control paints on its parent: the surface starts with the parent's colour, so
  // that transparent labels and flat buttons show what lies below them.
  view.Register(TGraphicControl::StaticClass(), [](TQtView& v, TControl* c) {
    auto* control = static_cast<TGraphicControl*>(c);
    return std::make_unique<TQtPaintedBinding>(v, c, [control] {
      TBitmap* surface = control->Canvas()->Target();
      surface->SetSize(control->Width(), control->Height());
      surface->Fill(ColorToRGB(control->Parent() ? control->Parent()->Color() : clBtnFace));
      return control->PaintControl();
    });
  });
  view.Register(TCustomControl::StaticClass(), [](TQtView& v, TControl* c) {
    auto* control = static_cast<TCustomControl*>(c);
    return std::make_unique<TQtPaintedBinding>(v, c, [control] { return control->PaintControl(); });
  });
  view.Register(TQmRadioButton::StaticClass(), [](TQtView& v, TControl* c) {
    auto* control = static_cast<TQmRadioButton*>(c);
    return std::make_unique<TQtPaintedBinding>(v, c, [control] { return control->PaintControl(); });
  });
}
