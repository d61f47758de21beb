#include "framework/widgetset/qt/QtConvert.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPolygon>
#include <optional>

#include "framework/base/StrUtils.h"
#include "framework/graphics/Bitmap.h"

namespace framework::qt {

// The system colours of buttons, windows and selections come from the application's
// palette, so that a dark desktop theme gives dark controls; the others keep the classic
// values.
std::optional<QColor> PaletteColor(TColor color) {
  if (!qApp) return std::nullopt;
  const QPalette palette = QGuiApplication::palette();
  switch (color) {
    case clBtnFace:
      return palette.color(QPalette::Active, QPalette::Button);
    case clBtnText:
      return palette.color(QPalette::Active, QPalette::ButtonText);
    case clBtnShadow:
      return palette.color(QPalette::Active, QPalette::Dark);
    case clBtnHighlight:
      return palette.color(QPalette::Active, QPalette::Light);
    case clWindow:
      return palette.color(QPalette::Active, QPalette::Base);
    case clWindowText:
      return palette.color(QPalette::Active, QPalette::Text);
    case clHighlight:
      return palette.color(QPalette::Active, QPalette::Highlight);
    case clHighlightText:
      return palette.color(QPalette::Active, QPalette::HighlightedText);
    case clGrayText:
      return palette.color(QPalette::Disabled, QPalette::Text);
    default:
      return std::nullopt;
  }
}

QColor ToQColor(TColor color) {
  if (color == clNone) return QColor(Qt::transparent);
  if (auto themed = PaletteColor(color)) return *themed;
  TColor rgb = ColorToRGB(color);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

QFont ToQFont(const TFontData& data) {
  QFont font;
  if (SameText(data.Name, "MS Sans Serif") || SameText(data.Name, "Tahoma") ||
      SameText(data.Name, "Arial") || SameText(data.Name, "Microsoft Sans Serif"))
    font.setFamilies({"Liberation Sans", "DejaVu Sans", "Sans Serif"});
  else
    font.setFamilies({ToQString(data.Name), "DejaVu Sans", "Sans Serif"});
  font.setPixelSize(std::max(1, data.Height < 0 ? -data.Height : data.Height));
  font.setBold(data.Style.Contains(fsBold));
  font.setItalic(data.Style.Contains(fsItalic));
  font.setUnderline(data.Style.Contains(fsUnderline));
  font.setStrikeOut(data.Style.Contains(fsStrikeOut));
  return font;
}

void TQtPainterDevice::SetClipRect(const TRect& r) {
  if (r.IsEmpty())
    FPainter.setClipping(false);
  else
    FPainter.setClipRect(ToQRect(r));
}

static QPen ToQPen(const TPenData& pen) {
  Qt::PenStyle style = Qt::SolidLine;
  switch (pen.Style) {
    case psDash: style = Qt::DashLine; break;
    case psDot: style = Qt::DotLine; break;
    case psDashDot: style = Qt::DashDotLine; break;
    case psDashDotDot: style = Qt::DashDotDotLine; break;
    case psClear: style = Qt::NoPen; break;
    default: break;
  }
  QPen p(ToQColor(pen.Color), std::max(1, pen.Width), style);
  p.setCapStyle(Qt::FlatCap);
  return p;
}

void TQtPainterDevice::Polyline(const std::vector<TPoint>& points, const TPenData& pen) {
  if (points.size() < 2 || pen.Style == psClear) return;
  QPolygon poly;
  for (const TPoint& p : points) poly << QPoint(p.X, p.Y);
  FPainter.setPen(ToQPen(pen));
  FPainter.drawPolyline(poly);
}

void TQtPainterDevice::Rectangle(const TRect& r, const TPenData& pen, const TBrushData& brush) {
  if (r.IsEmpty()) return;
  if (brush.Style != bsClear) FPainter.fillRect(ToQRect(r), ToQColor(brush.Color));
  if (pen.Style == psClear) return;
  // The outline lies inside the rectangle, its right and bottom edges on the last pixels.
  FPainter.setPen(ToQPen(pen));
  FPainter.setBrush(Qt::NoBrush);
  FPainter.drawRect(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1));
}

void TQtPainterDevice::FillRect(const TRect& r, const TBrushData& brush) {
  if (r.IsEmpty() || brush.Style == bsClear) return;
  FPainter.fillRect(ToQRect(r), ToQColor(brush.Color));
}

// (x, y) is the top-left corner of the text cell; an opaque brush fills the cell first.
void TQtPainterDevice::TextOut(int x, int y, const std::string& text, const TFontData& font,
                               const TBrushData& brush) {
  if (text.empty()) return;
  QFont f = ToQFont(font);
  QFontMetrics fm(f);
  QString s = ToQString(text);
  if (brush.Style != bsClear)
    FPainter.fillRect(QRect(x, y, fm.horizontalAdvance(s), fm.height()), ToQColor(brush.Color));
  FPainter.setFont(f);
  FPainter.setPen(ToQColor(font.Color));
  FPainter.drawText(QPoint(x, y + fm.ascent()), s);
}

void TQtPainterDevice::Draw(int x, int y, const TBitmap& bitmap) {
  QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_ARGB32);
  TColor transparent = bitmap.TransparentColor();
  for (int py = 0; py < bitmap.Height(); ++py)
    for (int px = 0; px < bitmap.Width(); ++px) {
      TColor c = bitmap.Pixel(px, py);
      image.setPixelColor(px, py, c == transparent ? QColor(Qt::transparent) : ToQColor(c));
    }
  FPainter.drawImage(QPoint(x, y), image);
}

}  // namespace framework::qt
