#include "QtTextService.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "QtConvert.h"

TSize TQtTextService::TextExtent(std::string_view text, const TFont& font) {
  const QFontMetrics metrics(ToQFont(font));
  return TSize{metrics.horizontalAdvance(ToQString(text)), metrics.height()};
}

void TQtTextService::DrawText(TBitmap& target, const TRect& clip, int x, int y,
                              std::string_view text, const TFont& font, int underline) {
  QFont qfont = ToQFont(font);
  const bool mono = target.Monochrome();
  if (mono) qfont.setStyleStrategy(QFont::NoAntialias);
  const QFontMetrics metrics(qfont);
  const QString shown = ToQString(text);
  const TRect run = Rect(x, y, x + metrics.horizontalAdvance(shown) + 2, y + metrics.height());
  const TRect area = Rect(std::max({clip.Left, run.Left, 0}), std::max({clip.Top, run.Top, 0}),
                          std::min({clip.Right, run.Right, target.Width()}),
                          std::min({clip.Bottom, run.Bottom, target.Height()}));
  if (area.Right <= area.Left || area.Bottom <= area.Top) return;
  // The pixels below the text, so that antialiased edges blend with what is there.
  QImage image(area.Width(), area.Height(), QImage::Format_RGB32);
  for (int row = 0; row < area.Height(); ++row) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
    for (int col = 0; col < area.Width(); ++col) {
      const TColor c = target.Pixel(area.Left + col, area.Top + row);
      line[col] = qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
    }
  }
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing, !mono);
    painter.setFont(qfont);
    painter.setPen(ToQColor(font.Color()));
    const QPoint origin(x - area.Left, y - area.Top);
    painter.drawText(origin + QPoint(0, metrics.ascent()), shown);
    if (underline >= 0 && underline < shown.size()) {
      const int from = metrics.horizontalAdvance(shown.left(underline));
      const int width = metrics.horizontalAdvance(shown.mid(underline, 1));
      const int lineY = origin.y() + metrics.ascent() + 1;
      painter.drawLine(origin.x() + from, lineY, origin.x() + from + width - 1, lineY);
    }
  }
  CopyImageToBitmap(image, target, area);
}
