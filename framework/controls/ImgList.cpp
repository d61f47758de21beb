#include "framework/controls/ImgList.h"

#include <algorithm>

#include "framework/base/Exceptions.h"
#include "framework/base/Rtti.h"

namespace framework {

FW_DEFINE_CLASS(TImageList, [](TClassDef<TImageList>& d) {
  d.Property("Width", &TImageList::Width, &TImageList::SetWidth).Default(16);
  d.Property("Height", &TImageList::Height, &TImageList::SetHeight).Default(16);
  d.Event("OnChange", &TImageList::OnChange);
})

TImageList::TImageList(TComponent* owner) : TComponent(owner) {}
TImageList::~TImageList() = default;

void TImageList::SetWidth(int value) {
  if (value < 1) throw EInvalidOperation("Invalid image size");
  if (value == FWidth) return;
  FWidth = value;
  Clear();
}

void TImageList::SetHeight(int value) {
  if (value < 1) throw EInvalidOperation("Invalid image size");
  if (value == FHeight) return;
  FHeight = value;
  Clear();
}

// One image of the list's size, cut from image at column left.
std::unique_ptr<TBitmap> TImageList::Piece(const TBitmap& image, int left) const {
  auto piece = std::make_unique<TBitmap>();
  piece->SetSize(FWidth, FHeight);
  TColor transparent = image.TransparentColor();
  for (int y = 0; y < FHeight; ++y)
    for (int x = 0; x < FWidth; ++x) {
      bool inside = left + x < image.Width() && y < image.Height();
      piece->SetPixel(x, y, inside ? image.Pixel(left + x, y) : transparent);
    }
  return piece;
}

int TImageList::Add(const TBitmap& image) {
  if (image.Empty()) throw EInvalidGraphic("Cannot add an empty image to an image list");
  int first = Count();
  int pieces = std::max(1, image.Width() / FWidth);
  for (int i = 0; i < pieces; ++i) FImages.push_back(Piece(image, i * FWidth));
  Change();
  return first;
}

int TImageList::AddResource(std::string_view name, std::string_view module) {
  TBitmap strip;
  strip.LoadFromResourceName(name, module);
  return Add(strip);
}

void TImageList::Replace(int index, const TBitmap& image) {
  Images(index);  // checks the index
  if (image.Empty()) throw EInvalidGraphic("Cannot add an empty image to an image list");
  FImages[index] = Piece(image, 0);
  Change();
}

void TImageList::Delete(int index) {
  Images(index);
  FImages.erase(FImages.begin() + index);
  Change();
}

void TImageList::Clear() {
  if (FImages.empty()) return;
  FImages.clear();
  Change();
}

const TBitmap& TImageList::Images(int index) const {
  if (index < 0 || index >= Count()) throw EListError();
  return *FImages[index];
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index) const {
  canvas.Draw(x, y, Images(index));
}

void TImageList::Change() {
  if (OnChange) OnChange(this);
}

}  // namespace framework
