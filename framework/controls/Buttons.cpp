#include "framework/controls/Buttons.h"

#include "framework/base/StrUtils.h"
#include "framework/controls/Forms.h"
#include "framework/messages/DestroyGuard.h"

FW_DEFINE_ENUM(framework::TButtonLayout, "TButtonLayout", "blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom")

namespace framework {

FW_DEFINE_CLASS(TSpeedButton, [](TClassDef<TSpeedButton>& d) {
  d.Property("Align", &TSpeedButton::Align, &TSpeedButton::SetAlign).Default(alNone);
  d.Property("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp).Default(false);
  d.Property("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex).Default(0);
  d.Property("Down", &TSpeedButton::Down, &TSpeedButton::SetDown).Default(false);
  d.Property("Caption", &TSpeedButton::Caption, &TSpeedButton::SetCaption);
  d.Property("Color", &TSpeedButton::Color, &TSpeedButton::SetColor)
      .Default(clBtnFace)
      .StoredIf([](const TSpeedButton& b) { return !b.ParentColor(); });
  d.Property("Enabled", &TSpeedButton::Enabled, &TSpeedButton::SetEnabled).Default(true);
  d.Property("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat).Default(false);
  d.Property("Font", &TSpeedButton::FontPtr, &TSpeedButton::SetFont)
      .StoredIf([](const TSpeedButton& b) { return !b.ParentFont(); });
  d.Property("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph).Stored(false);
  d.Property("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout).Default(blGlyphLeft);
  d.Property("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin).Default(-1);
  d.Property("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs).Default(1);
  d.Property("ParentColor", &TSpeedButton::ParentColor, &TSpeedButton::SetParentColor).Default(true);
  d.Property("ParentFont", &TSpeedButton::ParentFont, &TSpeedButton::SetParentFont).Default(true);
  d.Property("ShowHint", &TSpeedButton::ShowHint, &TSpeedButton::SetShowHint).Default(false);
  d.Property("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing).Default(4);
  d.Property("Transparent", &TSpeedButton::Transparent, &TSpeedButton::SetTransparent).Default(true);
  d.Property("Visible", &TSpeedButton::Visible, &TSpeedButton::SetVisible).Default(true);
  d.Event("OnClick", &TControl::OnClick);
  d.Event("OnDblClick", &TControl::OnDblClick);
  d.Event("OnMouseDown", &TControl::OnMouseDown);
  d.Event("OnMouseMove", &TControl::OnMouseMove);
  d.Event("OnMouseUp", &TControl::OnMouseUp);
})

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner), FGlyph(new TBitmap) {
  FControlStyle = {csCaptureMouse, csDoubleClicks, csClickEvents};
  FGlyph->OnChange = TNotifyEvent(this, &TSpeedButton::GlyphChanged);
  SetBounds(0, 0, 23, 22);
}

TSpeedButton::~TSpeedButton() {
  Destroying();
  if (Parent()) Parent()->RemoveControl(this);
  delete FGlyph;
}

void TSpeedButton::SetFlat(bool value) {
  if (FFlat == value) return;
  FFlat = value;
  Invalidate();
}

void TSpeedButton::SetGlyph(TBitmap* value) {
  if (value)
    FGlyph->Assign(*value);
  else
    FGlyph->Clear();
}

void TSpeedButton::SetNumGlyphs(int value) {
  if (value < 1 || value > 4 || value == FNumGlyphs) return;
  FNumGlyphs = value;
  Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout value) {
  if (FLayout == value) return;
  FLayout = value;
  Invalidate();
}

void TSpeedButton::SetSpacing(int value) {
  if (FSpacing == value) return;
  FSpacing = value;
  Invalidate();
}

void TSpeedButton::SetMargin(int value) {
  if (FMargin == value || value < -1) return;
  FMargin = value;
  Invalidate();
}

void TSpeedButton::SetTransparent(bool value) {
  if (FTransparent == value) return;
  FTransparent = value;
  Invalidate();
}

void TSpeedButton::SetDown(bool value) {
  if (FGroupIndex == 0) value = false;
  if (FDown == value) return;
  if (FDown && !FAllowAllUp) return;
  FDown = value;
  if (value && Parent())  // the others of the group come up
    for (int i = 0; i < Parent()->ControlCount(); ++i)
      if (auto* b = dynamic_cast<TSpeedButton*>(Parent()->Controls(i)); b && b != this && b->FGroupIndex == FGroupIndex)
        b->FDown = false, b->Invalidate();
  Invalidate();
}

void TSpeedButton::Click() {
  if (FGroupIndex != 0) SetDown(!FDown || !FAllowAllUp ? true : false);
  TGraphicControl::Click();
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && Enabled()) {
    FPressed = true;
    FPressedInside = true;
    Invalidate();
  }
  TGraphicControl::MouseDown(button, shift, x, y);
}

// While pressed, the button is drawn down only when the pointer is over it.
void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
  if (FPressed) {
    bool inside = ClientRect().Contains({x, y});
    if (inside != FPressedInside) {
      FPressedInside = inside;
      Invalidate();
    }
  }
  TGraphicControl::MouseMove(shift, x, y);
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (FPressed && button == mbLeft) {
    FPressed = false;
    FPressedInside = false;
    Invalidate();
  }
  TGraphicControl::MouseUp(button, shift, x, y);
}

void TSpeedButton::Dispatch(TMessage& m) {
  if (m.Msg == CM_MOUSEENTER || m.Msg == CM_MOUSELEAVE) {
    FMouseInControl = m.Msg == CM_MOUSEENTER;
    if (FFlat) Invalidate();
  }
  TGraphicControl::Dispatch(m);
}

void TSpeedButton::Paint() {
  TCanvas& c = Canvas();
  TRect r = Rect(0, 0, Width(), Height());
  bool down = (FPressed && FPressedInside) || FDown;
  if (!FTransparent || !FFlat) {
    c.Brush().SetColor(Color());
    c.Brush().SetStyle(bsSolid);
    c.FillRect(r);
  }
  if (!FFlat || FMouseInControl || down) {
    TRect f = r;
    Frame3D(c, f, down ? clBtnShadow : clBtnHighlight, down ? clBtnHighlight : clBtnShadow, 1);
  }
  int offset = down ? 1 : 0;
  int gw = FGlyph->Empty() ? 0 : FGlyph->Width() / FNumGlyphs, gh = FGlyph->Empty() ? 0 : FGlyph->Height();
  c.SetFont(Font());
  const std::string text = StripHotkey(Caption());
  int tw = text.empty() ? 0 : c.TextWidth(text), th = text.empty() ? 0 : c.TextHeight(text);
  int spacing = (gw > 0 && tw > 0) ? FSpacing : 0;
  int gx, gy, tx, ty;
  if (FLayout == blGlyphLeft || FLayout == blGlyphRight) {
    int total = gw + spacing + tw;
    int start = FMargin >= 0 ? FMargin : (Width() - total) / 2;
    gy = (Height() - gh) / 2;
    ty = (Height() - th) / 2;
    if (FLayout == blGlyphLeft) {
      gx = start;
      tx = start + gw + spacing;
    } else {
      tx = start;
      gx = start + tw + spacing;
    }
  } else {
    int total = gh + spacing + th;
    int start = FMargin >= 0 ? FMargin : (Height() - total) / 2;
    gx = (Width() - gw) / 2;
    tx = (Width() - tw) / 2;
    if (FLayout == blGlyphTop) {
      gy = start;
      ty = start + gh + spacing;
    } else {
      ty = start;
      gy = start + th + spacing;
    }
  }
  if (gw > 0) c.Draw(gx + offset, gy + offset, *FGlyph);
  if (tw > 0) {
    c.Brush().SetStyle(bsClear);
    c.TextOut(tx + offset, ty + offset, text);
  }
}

// ---- TButton -------------------------------------------------------------------------------------

FW_DEFINE_CLASS(TButton, [](TClassDef<TButton>& d) {
  d.Property("Cancel", &TButton::Cancel, &TButton::SetCancel).Default(false);
  d.Property("Caption", &TButton::Caption, &TButton::SetCaption);
  d.Property("Default", &TButton::Default, &TButton::SetDefault).Default(false);
  d.Property("Enabled", &TButton::Enabled, &TButton::SetEnabled).Default(true);
  d.Property("Font", &TButton::FontPtr, &TButton::SetFont)
      .StoredIf([](const TButton& b) { return !b.ParentFont(); });
  d.Property("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).Default(0);
  d.Property("ParentFont", &TButton::ParentFont, &TButton::SetParentFont).Default(true);
  d.Property("ShowHint", &TButton::ShowHint, &TButton::SetShowHint).Default(false);
  d.Property("TabOrder", &TButton::TabOrder, &TButton::SetTabOrder).Default(-1);
  d.Property("TabStop", &TButton::TabStop, &TButton::SetTabStop).Default(true);
  d.Property("Visible", &TButton::Visible, &TButton::SetVisible).Default(true);
  d.Event("OnClick", &TControl::OnClick);
  d.Event("OnEnter", &TWinControl::OnEnter);
  d.Event("OnExit", &TWinControl::OnExit);
  d.Event("OnKeyDown", &TWinControl::OnKeyDown);
  d.Event("OnKeyPress", &TWinControl::OnKeyPress);
  d.Event("OnKeyUp", &TWinControl::OnKeyUp);
})

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  FControlStyle = {csSetCaption, csDoubleClicks, csClickEvents};
  SetTabStop(true);
  SetBounds(0, 0, 75, 25);
}

void TButton::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = "BUTTON";
}

void TButton::CMDialogKey(TMessage& m) {
  const uint16_t key = static_cast<uint16_t>(m.WParam);
  const bool noShift = TShiftState::FromMask(static_cast<uint64_t>(m.LParam)).Empty();
  const bool active = Focused() || (FDefault && !dynamic_cast<TButton*>(Screen().ActiveControl()));
  if (noShift && ((key == VK_RETURN && active) || (key == VK_ESCAPE && FCancel)) && CanFocus()) {
    Click();
    m.Result = 1;
  }
}

void TButton::KeyUp(uint16_t& key, TShiftState shift) {
  TDestroyGuard guard(this);
  TWinControl::KeyUp(key, shift);  // OnKeyUp may free the button
  if (guard.Alive() && key == VK_SPACE && shift.Empty()) Click();
}

void TButton::Click() {
  if (FModalResult != mrNone)
    if (TCustomForm* f = GetParentForm(this)) f->SetModalResult(FModalResult);
  TWinControl::Click();
}

}  // namespace framework
