// Controls shown from the model's own paint code: graphic controls (labels, speed and tool
// buttons, bevels, images) and self-painting windowed controls (panels, group boxes, page
// controls, grids, the glyph check box and the radio controls). The widget paints the pixels
// of the bitmap the control painted itself on; the mouse goes to the model as it is.
#pragma once

#include <QWidget>
#include <functional>

#include "QtView.h"

// A widget that shows a model bitmap.
class TQtSurfaceWidget : public QWidget {
 public:
  TQtSurfaceWidget(QWidget* parent, std::function<TBitmap*()> paint);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::function<TBitmap*()> paint_;
};

class TQtPaintedBinding : public TQtBinding {
 public:
  TQtPaintedBinding(TQtView& view, TControl* control, std::function<TBitmap*()> paint)
      : TQtBinding(view, control), paint_(std::move(paint)) {}

 protected:
  QWidget* MakeWidget(QWidget* parent) override;

 private:
  std::function<TBitmap*()> paint_;
};
