// TBitmap: an image of TColor pixels, loaded from BMP data (1, 4, 8, 24 or 32 bits per
// pixel, uncompressed) or from a named resource. Its transparent colour is the colour of
// the bottom-left pixel, as glyphs use it.
#pragma once

#include <string_view>
#include <vector>

#include "framework/graphics/Graphics.h"

namespace framework {

class TBitmap : public TGraphicsObject {
  FW_CLASS(TBitmap, TGraphicsObject)
 public:
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  bool Empty() const { return FWidth == 0 || FHeight == 0; }
  void SetSize(int width, int height);  // filled with white
  TColor Pixel(int x, int y) const;     // clNone outside the image
  void SetPixel(int x, int y, TColor color);
  TColor TransparentColor() const;

  // Raises EInvalidGraphic for data that is not a BMP image this class reads.
  void LoadFromData(std::string_view data);
  // Raises EResNotFound naming the resource when there is none of that name.
  void LoadFromResourceName(std::string_view name, std::string_view module = {});
  void Assign(const TPersistent& source) override;
  void Clear();

 private:
  int FWidth = 0;
  int FHeight = 0;
  std::vector<TColor> FPixels;
};

}  // namespace framework
