// Conversions between the model's values and Qt's: texts, colours, fonts, bitmaps, keys and
// modifier states.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <Qt>
#include <string>
#include <string_view>

#include "Events.h"
#include "Graphics.h"
#include "Types.h"

inline QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string FromQString(const QString& text) {
  return text.toStdString();
}

// A model colour (system colours through the fixed palette) as a Qt colour.
QColor ToQColor(TColor color);
// The Qt font for a model font: the family by name (fontconfig supplies the CJK glyphs),
// the pixel size from the character height, the styles.
QFont ToQFont(const TFont& font);
// The bitmap's pixels as an image (RGB32), and back into the bitmap's pixels at (x, y).
QImage ToQImage(const TBitmap& bitmap);
// The bitmap with its transparent colour (bottom-left pixel unless fixed) cut out.
QImage ToQImageTransparent(const TBitmap& bitmap);
void CopyImageToBitmap(const QImage& image, TBitmap& bitmap, const TRect& area);

// The model's modifiers and mouse button for Qt's.
TShiftState ToShiftState(Qt::KeyboardModifiers modifiers);
TMouseButton ToMouseButton(Qt::MouseButton button);
// The model's virtual key for a Qt key; 0 when the key has no virtual key of its own
// (its text is typed instead).
WORD ToVirtualKey(int qtKey);
// Positions in a text with CR LF line breaks (the model's) and with LF only (Qt's).
int ModelToQtPosition(std::string_view crlfText, int position);
int QtToModelPosition(std::string_view crlfText, int position);
QString CrLfToLf(std::string_view text);
