#include "QtConvert.h"

#include <algorithm>
#include <cstdlib>

#include "Controls.h"

QColor ToQColor(TColor color) {
  if (color == clNone || color == clDefault) return QColor(Qt::transparent);
  const TColor rgb = ColorToRGB(color);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

QFont ToQFont(const TFont& font) {
  QFont result(ToQString(font.Name()));
  result.setStyleHint(QFont::SansSerif);
  // A negative height is the character height (the em box), which is Qt's pixel size; a
  // positive one is the cell height including the internal leading.
  const int height = font.Height();
  result.setPixelSize(std::max(1, height < 0 ? -height : height * 4 / 5));
  result.setBold(font.Style().Contains(fsBold));
  result.setItalic(font.Style().Contains(fsItalic));
  result.setUnderline(font.Style().Contains(fsUnderline));
  result.setStrikeOut(font.Style().Contains(fsStrikeOut));
  return result;
}

QImage ToQImage(const TBitmap& bitmap) {
  QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_RGB32);
  const std::vector<TColor>& pixels = bitmap.Pixels();
  for (int y = 0; y < bitmap.Height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < bitmap.Width(); ++x) {
      const TColor c = pixels[static_cast<size_t>(y) * bitmap.Width() + x];
      line[x] = qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
    }
  }
  return image;
}

QImage ToQImageTransparent(const TBitmap& bitmap) {
  QImage image = ToQImage(bitmap).convertToFormat(QImage::Format_ARGB32);
  if (image.isNull()) return image;
  const TColor key = ColorToRGB(bitmap.TransparentColor());
  const QRgb cut = qRgb(GetRValue(key), GetGValue(key), GetBValue(key));
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x)
      if ((line[x] & 0xFFFFFF) == (cut & 0xFFFFFF)) line[x] = 0;
  }
  return image;
}

void CopyImageToBitmap(const QImage& image, TBitmap& bitmap, const TRect& area) {
  const QImage rgb =
      image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    for (int x = 0; x < rgb.width(); ++x)
      bitmap.SetPixel(area.Left + x, area.Top + y,
                      RGB(qRed(line[x]), qGreen(line[x]), qBlue(line[x])));
  }
}

TShiftState ToShiftState(Qt::KeyboardModifiers modifiers) {
  TShiftState shift;
  if (modifiers & Qt::ShiftModifier) shift.Include(ssShift);
  if (modifiers & Qt::ControlModifier) shift.Include(ssCtrl);
  if (modifiers & Qt::AltModifier) shift.Include(ssAlt);
  return shift;
}

TMouseButton ToMouseButton(Qt::MouseButton button) {
  if (button == Qt::RightButton) return mbRight;
  if (button == Qt::MiddleButton) return mbMiddle;
  return mbLeft;
}

WORD ToVirtualKey(int qtKey) {
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return static_cast<WORD>('A' + qtKey - Qt::Key_A);
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return static_cast<WORD>('0' + qtKey - Qt::Key_0);
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
    return static_cast<WORD>(VK_F1 + qtKey - Qt::Key_F1);
  switch (qtKey) {
    case Qt::Key_Backspace:
      return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return VK_RETURN;
    case Qt::Key_Escape:
      return VK_ESCAPE;
    case Qt::Key_Space:
      return VK_SPACE;
    case Qt::Key_PageUp:
      return VK_PRIOR;
    case Qt::Key_PageDown:
      return VK_NEXT;
    case Qt::Key_End:
      return VK_END;
    case Qt::Key_Home:
      return VK_HOME;
    case Qt::Key_Left:
      return VK_LEFT;
    case Qt::Key_Up:
      return VK_UP;
    case Qt::Key_Right:
      return VK_RIGHT;
    case Qt::Key_Down:
      return VK_DOWN;
    case Qt::Key_Insert:
      return VK_INSERT;
    case Qt::Key_Delete:
      return VK_DELETE;
    default:
      return 0;
  }
}

QString CrLfToLf(std::string_view text) {
  QString result = ToQString(text);
  result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return result;
}

// NOTE: the model counts characters and Qt counts UTF-16 units; they agree outside the
// supplementary planes, which the forms do not use.
int ModelToQtPosition(std::string_view crlfText, int position) {
  const std::vector<uint32_t> points = Utf8CodePoints(crlfText);
  int result = position;
  for (int i = 0; i < position && i < static_cast<int>(points.size()); ++i)
    if (points[i] == '\r' && i + 1 < static_cast<int>(points.size()) && points[i + 1] == '\n')
      --result;
  return std::max(result, 0);
}

int QtToModelPosition(std::string_view crlfText, int position) {
  const std::vector<uint32_t> points = Utf8CodePoints(crlfText);
  int qt = 0;
  int i = 0;
  while (i < static_cast<int>(points.size()) && qt < position) {
    if (points[i] == '\r' && i + 1 < static_cast<int>(points.size()) && points[i + 1] == '\n') ++i;
    ++i;
    ++qt;
  }
  return i;
}
