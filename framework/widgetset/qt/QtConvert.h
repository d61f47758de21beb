// Conversions between the framework's values and Qt's (colours, fonts, text, rectangles)
// and the canvas device that paints on a QPainter.
#pragma once

#include <string>

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include "framework/graphics/Graphics.h"

class QPainter;

namespace framework::qt {

// System colours resolved by the framework's palette; clNone is transparent.
QColor ToQColor(TColor color);
// The font's name, pixel height and style. Names of the original platform's fonts that the
// system lacks map to a metric-alike sans serif.
QFont ToQFont(const TFontData& font);
inline QString ToQString(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string FromQString(const QString& s) { return s.toUtf8().toStdString(); }
inline QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

// Paints the framework's drawing operations on a QPainter (coordinates as given: the
// caller has translated the painter to the control's client origin).
class TQtPainterDevice : public TCanvasDevice {
 public:
  explicit TQtPainterDevice(QPainter& painter) : FPainter(painter) {}
  void SetClipRect(const TRect& r) override;
  void Polyline(const std::vector<TPoint>& points, const TPenData& pen) override;
  void Rectangle(const TRect& r, const TPenData& pen, const TBrushData& brush) override;
  void FillRect(const TRect& r, const TBrushData& brush) override;
  void TextOut(int x, int y, const std::string& text, const TFontData& font,
               const TBrushData& brush) override;
  void Draw(int x, int y, const TBitmap& bitmap) override;

 private:
  QPainter& FPainter;
};

}  // namespace framework::qt
