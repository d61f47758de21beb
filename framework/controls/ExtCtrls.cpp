#include "framework/controls/ExtCtrls.h"

FW_DEFINE_ENUM(framework::TPanelBevel, "TPanelBevel", "bvNone", "bvLowered", "bvRaised", "bvSpace")

namespace framework {

FW_DEFINE_CLASS(TCustomPanel)

FW_DEFINE_CLASS(TPanel, [](TClassDef<TPanel>& d) {
  d.Property("Align", &TPanel::Align, &TPanel::SetAlign).Default(alNone);
  d.Property("Alignment", &TPanel::Alignment, &TPanel::SetAlignment).Default(taCenter);
  d.Property("BevelInner", &TPanel::BevelInner, &TPanel::SetBevelInner).Default(bvNone);
  d.Property("BevelOuter", &TPanel::BevelOuter, &TPanel::SetBevelOuter).Default(bvRaised);
  d.Property("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth).Default(1);
  d.Property("BorderWidth", &TPanel::BorderWidth, &TPanel::SetBorderWidth).Default(0);
  d.Property("BorderStyle", &TPanel::BorderStyle, &TPanel::SetBorderStyle).Default(bsNone);
  d.Property("Caption", &TPanel::Caption, &TPanel::SetCaption);
  d.Property("Color", &TPanel::Color, &TPanel::SetColor)
      .Default(clBtnFace)
      .StoredIf([](const TPanel& p) { return !p.ParentColor(); });
  d.Property("Enabled", &TPanel::Enabled, &TPanel::SetEnabled).Default(true);
  d.Property("Font", &TPanel::FontPtr, &TPanel::SetFont)
      .StoredIf([](const TPanel& p) { return !p.ParentFont(); });
  d.Property("FullRepaint", &TPanel::FullRepaint, &TPanel::SetFullRepaint).Default(true);
  d.Property("ParentColor", &TPanel::ParentColor, &TPanel::SetParentColor).Default(false);
  d.Property("ParentFont", &TPanel::ParentFont, &TPanel::SetParentFont).Default(true);
  d.Property("ShowHint", &TPanel::ShowHint, &TPanel::SetShowHint).Default(false);
  d.Property("TabOrder", &TPanel::TabOrder, &TPanel::SetTabOrder).Default(-1);
  d.Property("TabStop", &TPanel::TabStop, &TPanel::SetTabStop).Default(false);
  d.Property("Visible", &TPanel::Visible, &TPanel::SetVisible).Default(true);
  d.Event("OnClick", &TControl::OnClick);
  d.Event("OnDblClick", &TControl::OnDblClick);
  d.Event("OnMouseDown", &TControl::OnMouseDown);
  d.Event("OnMouseMove", &TControl::OnMouseMove);
  d.Event("OnMouseUp", &TControl::OnMouseUp);
  d.Event("OnResize", &TControl::OnResize);
})

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
  FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                   csDoubleClicks, csReplicatable};
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
}

void TCustomPanel::SetBevelInner(TPanelBevel value) {
  if (FBevelInner == value) return;
  FBevelInner = value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelOuter(TPanelBevel value) {
  if (FBevelOuter == value) return;
  FBevelOuter = value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelWidth(int value) {
  if (FBevelWidth == value || value < 1) return;
  FBevelWidth = value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderWidth(int value) {
  if (FBorderWidth == value || value < 0) return;
  FBorderWidth = value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle value) {
  if (FBorderStyle == value) return;
  FBorderStyle = value;
  RecreateWnd();
  Realign();
  Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment value) {
  if (FAlignment == value) return;
  FAlignment = value;
  Invalidate();
}

void TCustomPanel::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  if (FBorderStyle != bsNone) {
    p.Style |= WS_BORDER;
    if (Ctl3D()) {
      p.Style &= ~WS_BORDER;
      p.ExStyle |= WS_EX_CLIENTEDGE;
    }
  }
  p.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomPanel::AdjustClientRect(TRect& r) const {
  int inset = FBorderWidth;
  if (FBevelOuter != bvNone) inset += FBevelWidth;
  if (FBevelInner != bvNone) inset += FBevelWidth;
  r = InflateRect(r, -inset, -inset);
}

static void BevelColors(TPanelBevel bevel, TColor& top, TColor& bottom) {
  top = bevel == bvLowered ? clBtnShadow : clBtnHighlight;
  bottom = bevel == bvLowered ? clBtnHighlight : clBtnShadow;
}

void TCustomPanel::Paint() {
  TCanvas& c = Canvas();
  TRect r = ClientRect();
  TColor top, bottom;
  if (FBevelOuter != bvNone) {
    BevelColors(FBevelOuter, top, bottom);
    Frame3D(c, r, top, bottom, FBevelWidth);
  }
  if (FBorderWidth > 0) Frame3D(c, r, Color(), Color(), FBorderWidth);
  if (FBevelInner != bvNone) {
    BevelColors(FBevelInner, top, bottom);
    Frame3D(c, r, top, bottom, FBevelWidth);
  }
  c.Brush().SetColor(Color());
  c.Brush().SetStyle(bsSolid);
  c.FillRect(r);
  if (!Caption().empty()) {
    c.Brush().SetStyle(bsClear);
    c.SetFont(Font());
    int w = c.TextWidth(Caption()), h = c.TextHeight(Caption());
    int x = FAlignment == taLeftJustify ? r.Left
            : FAlignment == taRightJustify ? r.Right - w
                                           : (r.Left + r.Right - w) / 2;
    c.TextOut(x, (r.Top + r.Bottom - h) / 2, Caption());
  }
}

}  // namespace framework
