#include "framework/graphics/Bitmap.h"

#include <cstdint>
#include <cstring>

#include "framework/base/Exceptions.h"
#include "framework/graphics/Resources.h"

namespace framework {

FW_DEFINE_CLASS(TBitmap)

void TBitmap::SetSize(int width, int height) {
  if (width < 0 || height < 0 || static_cast<int64_t>(width) * height > (1 << 26))
    throw EInvalidGraphic("Invalid bitmap size");
  FWidth = width;
  FHeight = height;
  FPixels.assign(static_cast<size_t>(width) * height, clWhite);
  Changed();
}

void TBitmap::Clear() {
  FWidth = FHeight = 0;
  FPixels.clear();
  Changed();
}

TColor TBitmap::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return clNone;
  return FPixels[static_cast<size_t>(y) * FWidth + x];
}

void TBitmap::SetPixel(int x, int y, TColor color) {
  if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return;
  FPixels[static_cast<size_t>(y) * FWidth + x] = color;
}

TColor TBitmap::TransparentColor() const { return Pixel(0, FHeight - 1); }

void TBitmap::Assign(const TPersistent& source) {
  auto b = dynamic_cast<const TBitmap*>(&source);
  if (!b) return TPersistent::Assign(source);
  FWidth = b->FWidth;
  FHeight = b->FHeight;
  FPixels = b->FPixels;
  Changed();
}

namespace {
uint32_t U32(std::string_view d, size_t at) {
  if (at + 4 > d.size()) throw EInvalidGraphic("Bitmap image is not valid");
  const auto* p = reinterpret_cast<const unsigned char*>(d.data() + at);
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t U16(std::string_view d, size_t at) {
  if (at + 2 > d.size()) throw EInvalidGraphic("Bitmap image is not valid");
  const auto* p = reinterpret_cast<const unsigned char*>(d.data() + at);
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
}  // namespace

void TBitmap::LoadFromData(std::string_view d) {
  if (d.size() < 54 || d[0] != 'B' || d[1] != 'M') throw EInvalidGraphic("Bitmap image is not valid");
  uint32_t offset = U32(d, 10);
  uint32_t header = U32(d, 14);
  int32_t w = static_cast<int32_t>(U32(d, 18));
  int32_t h = static_cast<int32_t>(U32(d, 22));
  int bpp = U16(d, 28);
  uint32_t compression = U32(d, 30);
  if (header < 40 || w <= 0 || h == 0 || h == INT32_MIN || compression != 0 ||
      (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32))
    throw EInvalidGraphic("Bitmap image is not valid or of an unsupported kind");
  bool topDown = h < 0;
  int height = topDown ? -h : h;
  if (static_cast<int64_t>(w) * height > (1 << 26)) throw EInvalidGraphic("Bitmap image is too large");
  std::vector<TColor> palette;
  if (bpp <= 8) {
    uint32_t colors = U32(d, 46);
    if (colors == 0) colors = 1u << bpp;
    if (colors > 256) throw EInvalidGraphic("Bitmap image is not valid");
    size_t at = 14 + header;
    for (uint32_t i = 0; i < colors; ++i, at += 4) {
      uint32_t q = U32(d, at);  // blue, green, red, reserved
      palette.push_back(RGB((q >> 16) & 0xFF, (q >> 8) & 0xFF, q & 0xFF));
    }
  }
  size_t stride = ((static_cast<size_t>(w) * bpp + 31) / 32) * 4;
  if (offset > d.size() || stride * height > d.size() - offset)
    throw EInvalidGraphic("Bitmap image is truncated");
  std::vector<TColor> pixels(static_cast<size_t>(w) * height);
  const auto* base = reinterpret_cast<const unsigned char*>(d.data() + offset);
  for (int row = 0; row < height; ++row) {
    const unsigned char* line = base + stride * row;
    int y = topDown ? row : height - 1 - row;
    for (int x = 0; x < w; ++x) {
      TColor c;
      if (bpp == 24 || bpp == 32) {
        const unsigned char* p = line + x * (bpp / 8);
        c = RGB(p[2], p[1], p[0]);
      } else {
        int bit = x * bpp;
        int v = (line[bit / 8] >> (8 - bpp - bit % 8)) & ((1 << bpp) - 1);
        if (v >= static_cast<int>(palette.size())) throw EInvalidGraphic("Bitmap image is not valid");
        c = palette[v];
      }
      pixels[static_cast<size_t>(y) * w + x] = c;
    }
  }
  FWidth = w;
  FHeight = height;
  FPixels = std::move(pixels);
  Changed();
}

void TBitmap::LoadFromResourceName(std::string_view name, std::string_view module) {
  const TResource* r = FindResource(name, module);
  if (!r)
    throw EResNotFound("Resource " + std::string(name) + " not found" +
                       (module.empty() ? "" : " in module " + std::string(module)));
  LoadFromData(r->Text());
}

}  // namespace framework
