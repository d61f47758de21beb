// Buttons: TSpeedButton (a graphic button: flat or raised, a glyph bitmap and a caption,
// optionally grouped) and TButton (a push button with a modal result).
#pragma once

#include "framework/controls/Controls.h"
#include "framework/graphics/Bitmap.h"

namespace framework {

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

class TSpeedButton : public TGraphicControl {
  FW_CLASS(TSpeedButton, TGraphicControl)
 public:
  explicit TSpeedButton(TComponent* owner);
  ~TSpeedButton() override;

  bool Flat() const { return FFlat; }
  void SetFlat(bool value);
  TBitmap* Glyph() const { return FGlyph; }
  void SetGlyph(TBitmap* value);  // copies the bitmap (nullptr clears it)
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int value);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int value);
  int Margin() const { return FMargin; }
  void SetMargin(int value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int value) { FGroupIndex = value; }
  bool Down() const { return FDown; }
  void SetDown(bool value);
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool value) { FAllowAllUp = value; }
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  bool MouseInControl() const { return FMouseInControl; }

  void Click() override;
  void Paint() override;

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void Dispatch(TMessage& m) override;

 private:
  void GlyphChanged(TObject*) { Invalidate(); }
  bool FFlat = false;
  TBitmap* FGlyph;
  int FNumGlyphs = 1;
  TButtonLayout FLayout = blGlyphLeft;
  int FSpacing = 4;
  int FMargin = -1;
  int FGroupIndex = 0;
  bool FDown = false;
  bool FAllowAllUp = false;
  bool FTransparent = true;
  bool FPressed = false;        // the left button went down on it and is still down
  bool FPressedInside = false;  // ... and the pointer is over it: drawn down
  bool FMouseInControl = false;
};

class TButton : public TWinControl {
  FW_CLASS(TButton, TWinControl)
 public:
  explicit TButton(TComponent* owner);
  bool Default() const { return FDefault; }
  void SetDefault(bool value) { FDefault = value; }
  bool Cancel() const { return FCancel; }
  void SetCancel(bool value) { FCancel = value; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult value) { FModalResult = value; }
  // Sets the form's modal result when the button has one, then fires OnClick.
  void Click() override;

 protected:
  void CreateParams(TCreateParams& params) override;
  // Enter presses the focused button, or the default button while no other button has
  // the focus; Escape presses the cancel button.
  void CMDialogKey(TMessage& m) override;
  void KeyUp(uint16_t& key, TShiftState shift) override;  // Space presses it

 private:
  bool FDefault = false;
  bool FCancel = false;
  TModalResult FModalResult = mrNone;
};

}  // namespace framework

FW_DECLARE_ENUM(framework::TButtonLayout)
