#include "framework/controls/StdCtrls.h"

#include <algorithm>

#include "framework/messages/DestroyGuard.h"

namespace framework {

// ---- TLabel ----------------------------------------------------------------------------------------

FW_DEFINE_CLASS(TLabel, [](TClassDef<TLabel>& d) {
  d.Property("Align", &TLabel::Align, &TLabel::SetAlign).Default(alNone);
  d.Property("Alignment", &TLabel::Alignment, &TLabel::SetAlignment).Default(taLeftJustify);
  d.Property("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize).Default(true);
  d.Property("Caption", &TLabel::Caption, &TLabel::SetCaption);
  d.Property("Color", &TLabel::Color, &TLabel::SetColor)
      .Default(clBtnFace)
      .StoredIf([](const TLabel& l) { return !l.ParentColor(); });
  d.Property("Enabled", &TLabel::Enabled, &TLabel::SetEnabled).Default(true);
  d.Property("FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl);
  d.Property("Font", &TLabel::FontPtr, &TLabel::SetFont)
      .StoredIf([](const TLabel& l) { return !l.ParentFont(); });
  d.Property("ParentColor", &TLabel::ParentColor, &TLabel::SetParentColor).Default(true);
  d.Property("ParentFont", &TLabel::ParentFont, &TLabel::SetParentFont).Default(true);
  d.Property("ShowHint", &TLabel::ShowHint, &TLabel::SetShowHint).Default(false);
  d.Property("Transparent", &TLabel::Transparent, &TLabel::SetTransparent).Default(false);
  d.Property("Visible", &TLabel::Visible, &TLabel::SetVisible).Default(true);
  d.Property("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap).Default(false);
  d.Event("OnClick", &TControl::OnClick);
  d.Event("OnDblClick", &TControl::OnDblClick);
  d.Event("OnDragDrop", &TControl::OnDragDrop);
  d.Event("OnDragOver", &TControl::OnDragOver);
  d.Event("OnEndDrag", &TControl::OnEndDrag);
  d.Event("OnMouseDown", &TControl::OnMouseDown);
  d.Event("OnMouseMove", &TControl::OnMouseMove);
  d.Event("OnMouseUp", &TControl::OnMouseUp);
})

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
  // A label clicks, and its caption follows its name while the two are the same (a label
  // just placed in the designer shows its name).
  FControlStyle = {csReplicatable, csClickEvents, csSetCaption};
  SetBounds(0, 0, 65, 17);
}

void TLabel::SetAlignment(TAlignment value) {
  if (FAlignment == value) return;
  FAlignment = value;
  Invalidate();
}

void TLabel::SetAutoSize(bool value) {
  if (FAutoSize == value) return;
  FAutoSize = value;
  AdjustSize();
}

void TLabel::SetTransparent(bool value) {
  if (FTransparent == value) return;
  FTransparent = value;
  Invalidate();
}

void TLabel::SetWordWrap(bool value) {
  if (FWordWrap == value) return;
  FWordWrap = value;
  AdjustSize();
  Invalidate();
}

void TLabel::SetFocusControl(TWinControl* value) {
  FFocusControl = value;
  if (value) value->FreeNotification(this);
}

void TLabel::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == FFocusControl) FFocusControl = nullptr;
}

// The caption's extent by the widgetset's metric; a right-justified label keeps its right
// edge where it was.
void TLabel::AdjustSize() {
  if (!FAutoSize || IsReading() || IsLoading()) return;
  TCanvas& c = Canvas();
  c.SetFont(Font());
  int w = Caption().empty() ? 0 : c.TextWidth(Caption());
  int h = c.TextHeight(Caption().empty() ? "0" : Caption());
  if (FWordWrap) w = Width();
  int left = FAlignment == taRightJustify ? Left() + Width() - w : Left();
  SetBounds(left, Top(), w, h);
}

void TLabel::Paint() {
  TCanvas& c = Canvas();
  if (!FTransparent) {
    c.Brush().SetColor(Color());
    c.Brush().SetStyle(bsSolid);
    c.FillRect(Rect(0, 0, Width(), Height()));
  }
  c.Brush().SetStyle(bsClear);
  c.SetFont(Font());
  int w = c.TextWidth(Caption());
  int x = FAlignment == taLeftJustify ? 0 : FAlignment == taRightJustify ? Width() - w : (Width() - w) / 2;
  c.TextOut(x, 0, Caption());
}

// ---- TEdit -----------------------------------------------------------------------------------------

FW_DEFINE_CLASS(TEdit, [](TClassDef<TEdit>& d) {
  d.Property("BorderStyle", &TEdit::BorderStyle, &TEdit::SetBorderStyle).Default(bsSingle);
  d.Property("Color", &TEdit::Color, &TEdit::SetColor)
      .Default(clWindow)
      .StoredIf([](const TEdit& e) { return !e.ParentColor(); });
  d.Property("Enabled", &TEdit::Enabled, &TEdit::SetEnabled).Default(true);
  d.Property("Font", &TEdit::FontPtr, &TEdit::SetFont)
      .StoredIf([](const TEdit& e) { return !e.ParentFont(); });
  d.Property("MaxLength", &TEdit::MaxLength, &TEdit::SetMaxLength).Default(0);
  d.Property("ParentColor", &TEdit::ParentColor, &TEdit::SetParentColor).Default(false);
  d.Property("ParentFont", &TEdit::ParentFont, &TEdit::SetParentFont).Default(true);
  d.Property("ReadOnly", &TEdit::ReadOnly, &TEdit::SetReadOnly).Default(false);
  d.Property("ShowHint", &TEdit::ShowHint, &TEdit::SetShowHint).Default(false);
  d.Property("TabOrder", &TEdit::TabOrder, &TEdit::SetTabOrder).Default(-1);
  d.Property("TabStop", &TEdit::TabStop, &TEdit::SetTabStop).Default(true);
  d.Property("Text", &TEdit::Text, &TEdit::SetText);
  d.Property("Visible", &TEdit::Visible, &TEdit::SetVisible).Default(true);
  d.Event("OnChange", &TEdit::OnChange);
  d.Event("OnClick", &TControl::OnClick);
  d.Event("OnDblClick", &TControl::OnDblClick);
  d.Event("OnEnter", &TWinControl::OnEnter);
  d.Event("OnExit", &TWinControl::OnExit);
  d.Event("OnKeyDown", &TWinControl::OnKeyDown);
  d.Event("OnKeyPress", &TWinControl::OnKeyPress);
  d.Event("OnKeyUp", &TWinControl::OnKeyUp);
})

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
  FControlStyle = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight};
  SetTabStop(true);
  SetBounds(0, 0, 121, 21);
  SetColor(clWindow);
}

void TEdit::SetBorderStyle(TBorderStyle value) {
  if (FBorderStyle == value) return;
  FBorderStyle = value;
  RecreateWnd();
}

void TEdit::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = "EDIT";
  if (FBorderStyle != bsNone) {
    if (Ctl3D())
      p.ExStyle |= WS_EX_CLIENTEDGE;
    else
      p.Style |= WS_BORDER;
  }
}

void TEdit::TextChanged() {
  TWinControl::TextChanged();
  if (!IsLoading()) {
    FModified = true;
    Change();
  }
}

void TEdit::Change() { OnChange(this); }

// ---- TGroupBox -------------------------------------------------------------------------------------

FW_DEFINE_CLASS(TGroupBox, [](TClassDef<TGroupBox>& d) {
  d.Property("Align", &TGroupBox::Align, &TGroupBox::SetAlign).Default(alNone);
  d.Property("Caption", &TGroupBox::Caption, &TGroupBox::SetCaption);
  d.Property("Color", &TGroupBox::Color, &TGroupBox::SetColor)
      .Default(clBtnFace)
      .StoredIf([](const TGroupBox& g) { return !g.ParentColor(); });
  d.Property("Enabled", &TGroupBox::Enabled, &TGroupBox::SetEnabled).Default(true);
  d.Property("Font", &TGroupBox::FontPtr, &TGroupBox::SetFont)
      .StoredIf([](const TGroupBox& g) { return !g.ParentFont(); });
  d.Property("ParentColor", &TGroupBox::ParentColor, &TGroupBox::SetParentColor).Default(true);
  d.Property("ParentFont", &TGroupBox::ParentFont, &TGroupBox::SetParentFont).Default(true);
  d.Property("TabOrder", &TGroupBox::TabOrder, &TGroupBox::SetTabOrder).Default(-1);
  d.Property("TabStop", &TGroupBox::TabStop, &TGroupBox::SetTabStop).Default(false);
  d.Property("Visible", &TGroupBox::Visible, &TGroupBox::SetVisible).Default(true);
  d.Event("OnClick", &TControl::OnClick);
  d.Event("OnEnter", &TWinControl::OnEnter);
  d.Event("OnExit", &TWinControl::OnExit);
})

TGroupBox::TGroupBox(TComponent* owner) : TCustomControl(owner) {
  FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks,
                   csReplicatable};
  SetBounds(0, 0, 185, 105);
}

void TGroupBox::AdjustClientRect(TRect& r) const {
  r.Top += Widgetset().TextHeight(Font().Data(), "0");
  r = InflateRect(r, -1, -1);
  if (Ctl3D()) r = InflateRect(r, -1, -1);
}

void TGroupBox::Paint() {
  TCanvas& c = Canvas();
  c.SetFont(Font());
  int h = c.TextHeight("0");
  TRect r = Rect(0, h / 2 - 1, Width(), Height());
  c.Brush().SetColor(clBtnHighlight);
  c.FrameRect(OffsetRect(r, 1, 1));
  c.Brush().SetColor(clBtnShadow);
  c.FrameRect(r);
  if (!Caption().empty()) {
    c.Brush().SetColor(Color());
    c.Brush().SetStyle(bsSolid);
    c.TextOut(8, 0, Caption());
  }
}

// ---- TRadioGroup -------------------------------------------------------------------------------------

FW_DEFINE_CLASS(TRadioGroup, [](TClassDef<TRadioGroup>& d) {
  d.Property("Columns", &TRadioGroup::Columns, &TRadioGroup::SetColumns).Default(1);
  d.Property("ItemIndex", &TRadioGroup::ItemIndex, &TRadioGroup::SetItemIndex).Default(-1);
  d.Property("Items", &TRadioGroup::Items, &TRadioGroup::SetItems);
})

TRadioGroup::TRadioGroup(TComponent* owner) : TGroupBox(owner), FItems(new TStringList) {
  FItems->OnChange = TNotifyEvent(this, &TRadioGroup::ItemsChanged);
}

TRadioGroup::~TRadioGroup() {
  Destroying();
  delete FItems;
}

void TRadioGroup::SetItems(TStrings* value) {
  if (value) FItems->Assign(*value);
}

void TRadioGroup::ItemsChanged(TObject*) {
  if (!IsLoading() && FItemIndex >= FItems->Count()) FItemIndex = FItems->Count() - 1;
  Invalidate();
}

void TRadioGroup::SetItemIndex(int value) {
  if (IsLoading()) {
    FItemIndex = value;
    return;
  }
  value = std::clamp(value, -1, FItems->Count() - 1);
  if (value == FItemIndex) return;
  FItemIndex = value;
  Invalidate();
  Click();
}

void TRadioGroup::Loaded() {
  TGroupBox::Loaded();
  FItemIndex = std::clamp(FItemIndex, -1, FItems->Count() - 1);
}

void TRadioGroup::SetColumns(int value) {
  value = std::clamp(value, 1, 16);
  if (FColumns == value) return;
  FColumns = value;
  Invalidate();
}

TRect TRadioGroup::ItemRect(int index) const {
  int n = FItems->Count();
  if (index < 0 || index >= n) return {};
  TRect area = ClientRect();
  AdjustClientRect(area);
  int rows = (n + FColumns - 1) / FColumns;
  int colWidth = area.Width() / FColumns;
  int rowHeight = rows > 0 ? area.Height() / rows : 0;
  int col = index / rows, row = index % rows;
  return Bounds(area.Left + col * colWidth, area.Top + row * rowHeight, colWidth, rowHeight);
}

int TRadioGroup::ItemAtPos(TPoint p) const {
  for (int i = 0; i < FItems->Count(); ++i)
    if (ItemRect(i).Contains(p)) return i;
  return -1;
}

// Choosing an item fires OnClick, which may free the group: OnMouseDown is then left out.
void TRadioGroup::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TDestroyGuard guard(this);
  if (button == mbLeft && Enabled()) {
    int i = ItemAtPos({x, y});
    if (i >= 0) SetItemIndex(i);
  }
  if (guard.Alive()) TGroupBox::MouseDown(button, shift, x, y);
}

void TRadioGroup::Paint() {
  TGroupBox::Paint();
  TCanvas& c = Canvas();
  c.Brush().SetStyle(bsClear);
  for (int i = 0; i < FItems->Count(); ++i) {
    TRect r = ItemRect(i);
    int h = c.TextHeight("0");
    c.Pen().SetColor(clBtnShadow);
    c.Rectangle(Bounds(r.Left + 2, r.Top + (r.Height() - 12) / 2, 12, 12));
    if (i == FItemIndex) c.FillRect(Bounds(r.Left + 5, r.Top + (r.Height() - 6) / 2, 6, 6));
    c.TextOut(r.Left + 18, r.Top + (r.Height() - h) / 2, FItems->Strings(i));
  }
}

// ---- TCheckBox ------------------------------------------------------------------------------------

FW_DEFINE_CLASS(TCheckBox, [](TClassDef<TCheckBox>& d) {
  d.Property("Caption", &TCheckBox::Caption, &TCheckBox::SetCaption);
  d.Property("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked).Default(false);
  d.Property("Enabled", &TCheckBox::Enabled, &TCheckBox::SetEnabled).Default(true);
  d.Property("Font", &TCheckBox::FontPtr, &TCheckBox::SetFont)
      .StoredIf([](const TCheckBox& c) { return !c.ParentFont(); });
  d.Property("ParentFont", &TCheckBox::ParentFont, &TCheckBox::SetParentFont).Default(true);
  d.Property("ShowHint", &TCheckBox::ShowHint, &TCheckBox::SetShowHint).Default(false);
  d.Property("TabOrder", &TCheckBox::TabOrder, &TCheckBox::SetTabOrder).Default(-1);
  d.Property("TabStop", &TCheckBox::TabStop, &TCheckBox::SetTabStop).Default(true);
  d.Property("Visible", &TCheckBox::Visible, &TCheckBox::SetVisible).Default(true);
  d.Event("OnClick", &TControl::OnClick);
  d.Event("OnEnter", &TWinControl::OnEnter);
  d.Event("OnExit", &TWinControl::OnExit);
})

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
  FControlStyle = {csSetCaption, csDoubleClicks, csClickEvents};
  SetTabStop(true);
  SetBounds(0, 0, 97, 17);
}

void TCheckBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = "BUTTON";
}

void TCheckBox::SetChecked(bool value) {
  if (FChecked == value) return;
  FChecked = value;
  Invalidate();
  if (!IsLoading() && !IsReading()) TWinControl::Click();
}

void TCheckBox::Click() { SetChecked(!FChecked); }

void TCheckBox::KeyUp(uint16_t& key, TShiftState shift) {
  TDestroyGuard guard(this);
  TWinControl::KeyUp(key, shift);  // OnKeyUp may free the box
  if (guard.Alive() && key == VK_SPACE && shift.Empty()) Click();
}

}  // namespace framework
