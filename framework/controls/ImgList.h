// TImageList: a list of images of one size (Width x Height, 16 x 16 by default) reached by
// index, as buttons, menus and toolbars use them. Add cuts an image wider than Width into
// pieces of Width (a strip of glyphs); a piece narrower or lower than the list's size is
// padded with the image's transparent colour (its bottom-left pixel). Draw hands the image
// to a canvas, where the device leaves its transparent colour out. Changing Width or Height
// clears the list. The images are not stored with a form; only the size is.
//
// A component that keeps a reference to an image list calls FreeNotification on it and
// clears the reference in Notification(list, opRemove), as with any component.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "framework/base/Events.h"
#include "framework/classes/Component.h"
#include "framework/graphics/Bitmap.h"

namespace framework {

class TImageList : public TComponent {
  FW_CLASS(TImageList, TComponent)
 public:
  explicit TImageList(TComponent* owner);
  ~TImageList() override;

  int Width() const { return FWidth; }
  void SetWidth(int value);  // EInvalidOperation below 1
  int Height() const { return FHeight; }
  void SetHeight(int value);
  int Count() const { return static_cast<int>(FImages.size()); }

  // Adds image as one or more images (see above); returns the index of the first added.
  // EInvalidGraphic for an empty image.
  int Add(const TBitmap& image);
  // Adds the images of a strip loaded from a named resource (see FindResource); returns the
  // index of the first. EResNotFound when there is none of that name.
  int AddResource(std::string_view name, std::string_view module = {});
  void Replace(int index, const TBitmap& image);  // the first piece of image replaces it
  void Delete(int index);
  void Clear();
  // The image at index; EListError outside 0..Count-1.
  const TBitmap& Images(int index) const;
  void GetBitmap(int index, TBitmap& into) const { into.Assign(Images(index)); }
  // Draws the image at index with its top-left corner at (x, y) of the canvas.
  void Draw(TCanvas& canvas, int x, int y, int index) const;

  TNotifyEvent OnChange;  // after images are added, replaced or removed

 private:
  std::unique_ptr<TBitmap> Piece(const TBitmap& image, int left) const;
  void Change();

  int FWidth = 16;
  int FHeight = 16;
  std::vector<std::unique_ptr<TBitmap>> FImages;
};

}  // namespace framework
