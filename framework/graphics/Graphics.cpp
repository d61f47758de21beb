#include "framework/graphics/Graphics.h"

#include <cmath>

#include "framework/graphics/Bitmap.h"
#include "framework/graphics/TextMetrics.h"

FW_DEFINE_ENUM(framework::TFontStyle, "TFontStyle", "fsBold", "fsItalic", "fsUnderline", "fsStrikeOut")
FW_DEFINE_ENUM(framework::TFontPitch, "TFontPitch", "fpDefault", "fpVariable", "fpFixed")
FW_DEFINE_ENUM(framework::TPenStyle, "TPenStyle", "psSolid", "psDash", "psDot", "psDashDot",
               "psDashDotDot", "psClear", "psInsideFrame")
FW_DEFINE_ENUM(framework::TBrushStyle, "TBrushStyle", "bsSolid", "bsClear", "bsHorizontal",
               "bsVertical", "bsFDiagonal", "bsBDiagonal", "bsCross", "bsDiagCross")

namespace framework {

FW_DEFINE_CLASS(TGraphicsObject)

FW_DEFINE_CLASS(TFont, [](TClassDef<TFont>& d) {
  d.Property("Charset", &TFont::Charset, &TFont::SetCharset).Default(DEFAULT_CHARSET);
  d.Property("Color", &TFont::Color, &TFont::SetColor);
  d.Property("Height", &TFont::Height, &TFont::SetHeight);
  d.Property("Name", &TFont::Name, &TFont::SetName);
  d.Property("Pitch", &TFont::Pitch, &TFont::SetPitch).Default(fpDefault);
  d.Property("Size", &TFont::Size, &TFont::SetSize).Stored(false);
  d.Property("Style", &TFont::Style, &TFont::SetStyle).Default(TFontStyles{});
})

void TFont::SetName(const std::string& value) {
  if (value.empty() || FData.Name == value) return;
  FData.Name = value;
  Changed();
}
void TFont::SetHeight(int value) {
  if (FData.Height == value) return;
  FData.Height = value;
  Changed();
}
int TFont::Size() const {
  return static_cast<int>(std::lround(-FData.Height * 72.0 / 96.0));
}
void TFont::SetSize(int value) { SetHeight(-static_cast<int>(std::lround(value * 96.0 / 72.0))); }
void TFont::SetColor(TColor value) {
  if (FData.Color == value) return;
  FData.Color = value;
  Changed();
}
void TFont::SetStyle(TFontStyles value) {
  if (FData.Style == value) return;
  FData.Style = value;
  Changed();
}
void TFont::SetCharset(int value) {
  if (FCharset == value) return;
  FCharset = value;
  Changed();
}
void TFont::SetPitch(TFontPitch value) {
  if (FPitch == value) return;
  FPitch = value;
  Changed();
}
void TFont::Assign(const TPersistent& source) {
  auto f = dynamic_cast<const TFont*>(&source);
  if (!f) return TPersistent::Assign(source);
  if (*this == *f && FPitch == f->FPitch) return;
  FData = f->FData;
  FCharset = f->FCharset;
  FPitch = f->FPitch;
  Changed();
}

FW_DEFINE_CLASS(TPen, [](TClassDef<TPen>& d) {
  d.Property("Color", &TPen::Color, &TPen::SetColor).Default(clBlack);
  d.Property("Style", &TPen::Style, &TPen::SetStyle).Default(psSolid);
  d.Property("Width", &TPen::Width, &TPen::SetWidth).Default(1);
})

void TPen::SetColor(TColor value) {
  if (FData.Color == value) return;
  FData.Color = value;
  Changed();
}
void TPen::SetStyle(TPenStyle value) {
  if (FData.Style == value) return;
  FData.Style = value;
  Changed();
}
void TPen::SetWidth(int value) {
  if (FData.Width == value) return;
  FData.Width = value;
  Changed();
}
void TPen::Assign(const TPersistent& source) {
  auto p = dynamic_cast<const TPen*>(&source);
  if (!p) return TPersistent::Assign(source);
  FData = p->FData;
  Changed();
}

FW_DEFINE_CLASS(TBrush, [](TClassDef<TBrush>& d) {
  d.Property("Color", &TBrush::Color, &TBrush::SetColor).Default(clWhite);
  d.Property("Style", &TBrush::Style, &TBrush::SetStyle).Default(bsSolid);
})

void TBrush::SetColor(TColor value) {
  if (FData.Color == value) return;
  FData.Color = value;
  if (FData.Style == bsClear) FData.Style = bsSolid;
  Changed();
}
void TBrush::SetStyle(TBrushStyle value) {
  if (FData.Style == value) return;
  FData.Style = value;
  Changed();
}
void TBrush::Assign(const TPersistent& source) {
  auto b = dynamic_cast<const TBrush*>(&source);
  if (!b) return TPersistent::Assign(source);
  FData = b->FData;
  Changed();
}

// ---- TCanvas --------------------------------------------------------------------------------

FW_DEFINE_CLASS(TCanvas)

TCanvas::TCanvas() : FFont(new TFont), FPen(new TPen), FBrush(new TBrush) {}

TCanvas::~TCanvas() {
  delete FFont;
  delete FPen;
  delete FBrush;
}

void TCanvas::SetDevice(TCanvasDevice* device, TPoint origin, TRect clip) {
  FDevice = device;
  FOrigin = origin;
  if (FDevice) FDevice->SetClipRect(ToDevice(clip));
}

void TCanvas::LineTo(int x, int y) {
  if (FDevice)
    FDevice->Polyline({{FPenPos.X + FOrigin.X, FPenPos.Y + FOrigin.Y}, {x + FOrigin.X, y + FOrigin.Y}},
                      FPen->Data());
  FPenPos = {x, y};
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
  if (!FDevice || points.empty()) return;
  std::vector<TPoint> p(points);
  for (TPoint& q : p) q = {q.X + FOrigin.X, q.Y + FOrigin.Y};
  FDevice->Polyline(p, FPen->Data());
}

void TCanvas::Rectangle(const TRect& r) {
  if (FDevice) FDevice->Rectangle(ToDevice(r), FPen->Data(), FBrush->Data());
}

void TCanvas::FillRect(const TRect& r) {
  if (FDevice) FDevice->FillRect(ToDevice(r), FBrush->Data());
}

void TCanvas::FrameRect(const TRect& r) {
  if (!FDevice || r.IsEmpty()) return;
  TBrushData b = FBrush->Data();
  FDevice->FillRect(ToDevice(Rect(r.Left, r.Top, r.Right, r.Top + 1)), b);
  FDevice->FillRect(ToDevice(Rect(r.Left, r.Bottom - 1, r.Right, r.Bottom)), b);
  FDevice->FillRect(ToDevice(Rect(r.Left, r.Top, r.Left + 1, r.Bottom)), b);
  FDevice->FillRect(ToDevice(Rect(r.Right - 1, r.Top, r.Right, r.Bottom)), b);
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  if (FDevice) FDevice->TextOut(x + FOrigin.X, y + FOrigin.Y, text, FFont->Data(), FBrush->Data());
  FPenPos = {x + TextWidth(text), y};
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text) {
  if (!FDevice) return;
  FDevice->SetClipRect(ToDevice(r));
  if (FBrush->Style() != bsClear) FDevice->FillRect(ToDevice(r), FBrush->Data());
  FDevice->TextOut(x + FOrigin.X, y + FOrigin.Y, text, FFont->Data(), FBrush->Data());
}

int TCanvas::TextWidth(const std::string& text) const {
  return TextMetrics().TextWidth(FFont->Data(), text);
}

int TCanvas::TextHeight(const std::string& text) const {
  return TextMetrics().TextHeight(FFont->Data(), text);
}

void TCanvas::Draw(int x, int y, const TBitmap& bitmap) {
  if (FDevice && !bitmap.Empty()) FDevice->Draw(x + FOrigin.X, y + FOrigin.Y, bitmap);
}

void Frame3D(TCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width) {
  canvas.Pen().SetWidth(1);
  rect.Right -= 1;
  rect.Bottom -= 1;
  for (int i = 0; i < width; ++i) {
    canvas.Pen().SetColor(topColor);
    canvas.Polyline({{rect.Left, rect.Bottom}, {rect.Left, rect.Top}, {rect.Right, rect.Top}});
    canvas.Pen().SetColor(bottomColor);
    canvas.Polyline({{rect.Right, rect.Top}, {rect.Right, rect.Bottom}, {rect.Left - 1, rect.Bottom}});
    rect = InflateRect(rect, -1, -1);
  }
  rect.Right += 1;
  rect.Bottom += 1;
}

}  // namespace framework
