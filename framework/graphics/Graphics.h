// Drawing: fonts, pens and brushes (persistent, with a change event), the canvas that
// controls paint on, and the device interface a widgetset implements behind it. A canvas
// without a device (a control without a window) draws nothing but still measures text.
#pragma once

#include <string>
#include <vector>

#include "framework/base/Events.h"
#include "framework/base/Types.h"
#include "framework/classes/Persistent.h"
#include "framework/graphics/Colors.h"

namespace framework {

class TBitmap;

class TGraphicsObject : public TPersistent {
  FW_CLASS(TGraphicsObject, TPersistent)
 public:
  TNotifyEvent OnChange;

 protected:
  void Changed() { OnChange(this); }
};

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
inline constexpr int DEFAULT_CHARSET = 1;

// The values of a font, pen or brush as a device needs them.
struct TFontData {
  std::string Name = "MS Sans Serif";
  int Height = -11;  // negative: character height in pixels; size = -Height * 72 / 96
  TColor Color = clWindowText;
  TFontStyles Style;
  bool operator==(const TFontData&) const = default;
};

class TFont : public TGraphicsObject {
  FW_CLASS(TFont, TGraphicsObject)
 public:
  TFont() = default;
  const std::string& Name() const { return FData.Name; }
  void SetName(const std::string& value);
  int Height() const { return FData.Height; }
  void SetHeight(int value);
  int Size() const;  // points
  void SetSize(int value);
  TColor Color() const { return FData.Color; }
  void SetColor(TColor value);
  TFontStyles Style() const { return FData.Style; }
  void SetStyle(TFontStyles value);
  int Charset() const { return FCharset; }
  void SetCharset(int value);
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch value);
  const TFontData& Data() const { return FData; }
  bool operator==(const TFont& o) const { return FData == o.FData && FCharset == o.FCharset; }

  void Assign(const TPersistent& source) override;

 private:
  TFontData FData;
  int FCharset = DEFAULT_CHARSET;
  TFontPitch FPitch = fpDefault;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
struct TPenData {
  TColor Color = clBlack;
  TPenStyle Style = psSolid;
  int Width = 1;
  bool operator==(const TPenData&) const = default;
};

class TPen : public TGraphicsObject {
  FW_CLASS(TPen, TGraphicsObject)
 public:
  TColor Color() const { return FData.Color; }
  void SetColor(TColor value);
  TPenStyle Style() const { return FData.Style; }
  void SetStyle(TPenStyle value);
  int Width() const { return FData.Width; }
  void SetWidth(int value);
  const TPenData& Data() const { return FData; }
  void Assign(const TPersistent& source) override;

 private:
  TPenData FData;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
struct TBrushData {
  TColor Color = clWhite;
  TBrushStyle Style = bsSolid;
  bool operator==(const TBrushData&) const = default;
};

class TBrush : public TGraphicsObject {
  FW_CLASS(TBrush, TGraphicsObject)
 public:
  TColor Color() const { return FData.Color; }
  void SetColor(TColor value);
  TBrushStyle Style() const { return FData.Style; }
  void SetStyle(TBrushStyle value);
  const TBrushData& Data() const { return FData; }
  void Assign(const TPersistent& source) override;

 private:
  TBrushData FData;
};

// What a widgetset draws on: coordinates are device coordinates (the canvas has already
// added its origin); the clip rectangle is set by the canvas before drawing.
class TCanvasDevice {
 public:
  virtual ~TCanvasDevice() = default;
  virtual void SetClipRect(const TRect&) {}
  // The control whose painting follows (a window or one of its graphic children).
  virtual void SetPaintingControl(const TObject*) {}
  virtual void Polyline(const std::vector<TPoint>& points, const TPenData& pen) = 0;
  virtual void Rectangle(const TRect& r, const TPenData& pen, const TBrushData& brush) = 0;
  virtual void FillRect(const TRect& r, const TBrushData& brush) = 0;
  virtual void TextOut(int x, int y, const std::string& text, const TFontData& font,
                       const TBrushData& brush) = 0;
  virtual void Draw(int x, int y, const TBitmap& bitmap) = 0;
};

class TCanvas : public TPersistent {
  FW_CLASS(TCanvas, TPersistent)
 public:
  TCanvas();
  ~TCanvas() override;

  TFont& Font() { return *FFont; }
  TPen& Pen() { return *FPen; }
  TBrush& Brush() { return *FBrush; }
  void SetFont(const TFont& f) { FFont->Assign(f); }

  void MoveTo(int x, int y) { FPenPos = {x, y}; }
  void LineTo(int x, int y);
  TPoint PenPos() const { return FPenPos; }
  void Polyline(const std::vector<TPoint>& points);
  void Rectangle(const TRect& r);
  void Rectangle(int x1, int y1, int x2, int y2) { Rectangle(Rect(x1, y1, x2, y2)); }
  void FillRect(const TRect& r);
  void FrameRect(const TRect& r);  // a one-pixel frame in the brush colour
  void TextOut(int x, int y, const std::string& text);
  void TextRect(const TRect& r, int x, int y, const std::string& text);
  int TextWidth(const std::string& text) const;
  int TextHeight(const std::string& text) const;
  void Draw(int x, int y, const TBitmap& bitmap);

  // Set by the framework while painting: the device, the origin of the control's client
  // area on it, and the clip rectangle (in canvas coordinates).
  void SetDevice(TCanvasDevice* device, TPoint origin = {}, TRect clip = {});
  TCanvasDevice* Device() const { return FDevice; }
  bool HandleAllocated() const { return FDevice != nullptr; }

 private:
  TRect ToDevice(const TRect& r) const { return OffsetRect(r, FOrigin.X, FOrigin.Y); }
  TFont* FFont;
  TPen* FPen;
  TBrush* FBrush;
  TPoint FPenPos;
  TCanvasDevice* FDevice = nullptr;
  TPoint FOrigin;
};

// The classic three-dimensional frame: top-left lines in topColor, bottom-right lines in
// bottomColor, width times, shrinking rect each time.
void Frame3D(TCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);

}  // namespace framework

FW_DECLARE_ENUM(framework::TFontStyle)
FW_DECLARE_ENUM(framework::TFontPitch)
FW_DECLARE_ENUM(framework::TPenStyle)
FW_DECLARE_ENUM(framework::TBrushStyle)
