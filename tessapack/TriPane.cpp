#include "tessapack/TriPane.h"

#include <algorithm>
#include <stdexcept>

#include "framework/base/Random.h"
#include "framework/design/DesignIntf.h"
#include "tessapack/GrabBorder.h"
#include "tessapack/Package.h"

FW_DEFINE_ENUM(tessapack::TMenuAlignment, "TMenuAlignment", "mnTop", "mnBottom", "mnLeft", "mnRight")
FW_DEFINE_ENUM(tessapack::TBevels, "TBevels", "exNone", "exThickRaised", "exThickSunk", "exThinSunk",
               "exSimpleBorder")

namespace tessapack {

using namespace framework;

TAlign MenuAlign(TMenuAlignment value) {
  switch (value) {
    case mnTop:
      return alTop;
    case mnBottom:
      return alBottom;
    case mnLeft:
      return alLeft;
    case mnRight:
      break;
  }
  return alRight;
}

FW_DEFINE_CLASS(TExclusionWrapper)

bool TExclusionWrapper::Excludes(int position) const {
  int64_t d = static_cast<int64_t>(position) - Offset;
  return d >= 0 && d <= 255 && Coordinates.test(static_cast<size_t>(d));
}

// ---- TMPPane ------------------------------------------------------------------------------------

FW_DEFINE_CLASS(TMPPane, [](TClassDef<TMPPane>& d) {
  d.Property("align", &TMPPane::Align, [](TMPPane& p, TAlign v) { p.SetAlign(v); }).Default(alNone);
  d.Property("bevelInner", &TMPPane::BevelInner, &TMPPane::SetBevelInner).Default(bvNone);
  d.Property("bevelOuter", &TMPPane::BevelOuter, &TMPPane::SetBevelOuter).Default(bvRaised);
  d.Property("bevelWidth", &TMPPane::BevelWidth, &TMPPane::SetBevelWidth).Default(1);
  d.Property("borderWidth", &TMPPane::BorderWidth, &TMPPane::SetBorderWidth).Default(0);
  d.Property("borderStyle", &TMPPane::BorderStyle,
             [](TMPPane& p, TBorderStyle v) { p.SetBorderStyle(v); })
      .Default(bsNone);
  d.Property("color", &TMPPane::Color, [](TMPPane& p, TColor v) { p.SetColor(v); })
      .Default(clBtnFace)
      .StoredIf([](const TMPPane& p) { return !p.ParentColor(); });
  d.Property("ParentColor", &TMPPane::ParentColor, &TMPPane::SetParentColor).Default(false);
})

TMPPane::TMPPane(TComponent* owner) : TCustomPanel(owner) {
  SetFullRepaint(true);
  SetCaption("");
}

// At design time the active pane is outlined by a dash-dot frame inside its bevels.
void TMPPane::Paint() {
  TCustomPanel::Paint();
  if (!Active || !IsDesigning()) return;
  TCanvas& c = Canvas();
  TRect r = InflateRect(ClientRect(), -(BevelWidth() + 2), -(BevelWidth() + 1));
  TPenStyle saved = c.Pen().Style();
  c.Pen().SetStyle(psDashDot);
  c.Pen().SetColor(clBtnShadow);
  c.Polyline({{r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left, r.Bottom}, {r.Left, r.Top},
              {r.Right, r.Top}});
  c.Pen().SetStyle(saved);
}

// A stored pane takes the place of the pane of the same role that the tri-pane's
// constructor made.
void TMPPane::ReadState(TReader& reader) {
  TCustomPanel::ReadState(reader);
  auto* tp = dynamic_cast<TTriPane*>(reader.Parent());
  if (!tp) return;
  SetCaption("");
  switch (Tag()) {
    case 1:
      tp->ReplacePane(tp->FHeaderPane, this);
      SetParent(tp);
      HookMouseMove(this, tp->AlignMenu() == mnTop
                              ? TMouseMoveEvent(tp, &TTriPane::TrackforOpen)
                              : TMouseMoveEvent(tp, &TTriPane::TrackforClose));
      break;
    case 2:
      tp->ReplacePane(tp->FClientPane, this);
      SetParent(tp);
      HookMouseMove(this, TMouseMoveEvent(tp, &TTriPane::TrackforOpen));
      break;
    case 3:
      tp->ReplacePane(tp->FMenuPane, this);
      SetParent(tp);
      if (!IsDesigning()) Hide();
      switch (Align()) {
        case alTop:
        case alLeft:
          tp->FLastPos = tp->FPopOpenSize;
          break;
        case alBottom:
          tp->FLastPos = tp->Height() - tp->FPopOpenSize;
          break;
        case alRight:
          tp->FLastPos = tp->Width() - tp->FPopOpenSize;
          break;
        default:
          break;
      }
      break;
    default:
      break;
  }
}

// ---- TTriPane -----------------------------------------------------------------------------------

FW_DEFINE_CLASS(TTriPane, [](TClassDef<TTriPane>& d) {
  d.Property("Align", &TTriPane::GetAlignment,
             [](TTriPane& p, TAlign v) { p.SetAlignment(v); })
      .Default(alNone);
  d.Property("AlignMenu", &TTriPane::AlignMenu, &TTriPane::FSetAlign).Default(mnRight);
  d.Property("BevelingEx", &TTriPane::BevelingEx,
             [](TTriPane& p, TBevels v) { p.SetBorderStyle(v); })
      .NoDefault();
  d.Property("BevelInner", &TTriPane::BevelInner, &TTriPane::SetBevelInner).Default(bvNone);
  d.Property("BevelOuter", &TTriPane::BevelOuter, &TTriPane::SetBevelOuter).Default(bvRaised);
  d.Property("BevelWidth", &TTriPane::BevelWidth, &TTriPane::SetBevelWidth).Default(1);
  d.Property("BorderStyle", &TTriPane::BorderStyle,
             [](TTriPane& p, TBorderStyle v) { p.TCustomPanel::SetBorderStyle(v); })
      .Default(bsNone);
  d.Property("BorderWidth", &TTriPane::BorderWidth, &TTriPane::SetBorderWidth).Default(0);
  d.Property("Color", &TTriPane::Color, [](TTriPane& p, TColor v) { p.SetColor(v); })
      .Default(clBtnFace)
      .StoredIf([](const TTriPane& p) { return !p.ParentColor(); });
  d.FieldProperty("ContinuousAlign", &TTriPane::ContinuousAlign);
  d.Property("GrabBorder", &TTriPane::GrabBorder, &TTriPane::SetGrab).NoDefault();
  d.Property("HeaderPaneHeight", &TTriPane::HeaderPaneHeight, &TTriPane::FChangeButVisible)
      .Default(10);
  d.FieldProperty("MouseTrigger", &TTriPane::MouseTrigger).Default(true);
  d.Event("OnPopped", &TTriPane::OnPopped);
  d.Event("OnPopping", &TTriPane::OnPopping);
  d.Event("OnResize", &TControl::OnResize);
  d.Property("PaneBevelInner", &TTriPane::PaneBevelInner, &TTriPane::SetPBInner).Stored(false);
  d.Property("PaneBevelOuter", &TTriPane::PaneBevelOuter, &TTriPane::SetPBOuter).Stored(false);
  d.Property("PaneBevelWidth", &TTriPane::PaneBevelWidth, &TTriPane::SetPBWidth).Stored(false);
  d.Property("PaneBorderStyle", &TTriPane::PaneBorderStyle, &TTriPane::SetPBoStyle)
      .Stored(false);
  d.Property("PaneBorderWidth", &TTriPane::PaneBorderWidth, &TTriPane::SetPBoWidth)
      .Stored(false);
  d.Property("PaneColor", &TTriPane::PaneColor, &TTriPane::SetPColor).Stored(false);
  d.Property("ParentColor", &TTriPane::ParentColor, &TTriPane::SetParentColor).Default(false);
  d.Property("ParentFont", &TTriPane::ParentFont, &TTriPane::SetParentFont).Default(true);
  d.Property("PopOpenSize", &TTriPane::PopOpenSize, &TTriPane::ChangePopSize).Default(55);
  d.FieldProperty("Proximity", &TTriPane::Proximity).Default(10);
  d.FieldProperty("SlideIncrement", &TTriPane::SlideIncrement).NoDefault();
  d.Property("StripeColor", &TTriPane::StripeColor, &TTriPane::SetStripeColor).Default(clSilver);
  d.Property("StripeWidth", &TTriPane::StripeWidth, &TTriPane::SetStripeWidth).Default(3);
  d.Property("Visible", &TTriPane::Visible, &TTriPane::SetVisible).Default(true);
})

TTriPane::TTriPane(TComponent* owner) : TCustomPanel(owner) {
  if (!GetClass("TMPPane")) RegisterClass(TMPPane::StaticClass());
  if (!GetClass("TTriPane")) RegisterClass(TTriPane::StaticClass());
  SetBevelInner(bvNone);
  SetBevelOuter(bvNone);

  FHeaderPane = new TMPPane(this);
  FClientPane = new TMPPane(this);
  FMenuPane = new TMPPane(this);

  FHeaderPane->SetParent(this);
  FHeaderPane->SetTag(1);
  FHeaderPane->SetAlign(alTop);
  FHeaderPane->SetHeight(FHeaderPaneHeight);
  FHeaderPane->OnMouseMove = TMouseMoveEvent(this, &TTriPane::TrackforClose);
  FHeaderPane->SetCaption("");
  FHeaderPane->SetBevelOuter(bvNone);

  FClientPane->SetParent(this);
  FClientPane->SetTag(2);
  FClientPane->SetAlign(alClient);
  FClientPane->OnMouseMove = TMouseMoveEvent(this, &TTriPane::TrackforOpen);
  FClientPane->SetCaption("");
  FClientPane->SetBevelOuter(bvNone);

  FMenuPane->SetParent(this);
  FMenuPane->SetTag(3);
  FMenuPane->SetAlign(MenuAlign(FAlignMenu));
  FMenuPane->SetWidth(FPopOpenSize);
  FMenuPane->SetVisible(IsDesigning());
  FMenuPane->SetCaption("");
  FMenuPane->SetBevelOuter(bvNone);

  // The stripe is known before it is parented, so the insertion is not taken for a drop.
  FStripe = new TPanel(this);
  FStripe->SetColor(FStripeColor);
  // Its thickness applies in either orientation, so an edge chosen later gets it too.
  FStripe->SetWidth(FStripeWidth);
  FStripe->SetHeight(FStripeWidth);
  FStripe->OnMouseMove = TMouseMoveEvent(this, &TTriPane::TrackforOpen);
  FStripe->SetBevelOuter(bvNone);
  FStripe->SetParent(this);
  FSetStripe();

  FLastPos = FMenuPane->Left();
  SetActivePane(FClientPane);
}

TTriPane::~TTriPane() {
  Destroying();
  HookMouseMove(this, nullptr);
  delete FHeaderPane;
  delete FMenuPane;
  delete FClientPane;
  FExclusions.clear();
  delete FStripe;
}

const TExclusionWrapper& TTriPane::Exclusions(int index) const {
  if (index < 0 || index >= ExclusionCount()) throw EListError();
  return *FExclusions[index];
}

void TTriPane::Notification(TComponent* component, TOperation operation) {
  TCustomPanel::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == FHeaderPane) FHeaderPane = nullptr;
  if (component == FClientPane) FClientPane = nullptr;
  if (component == FMenuPane) FMenuPane = nullptr;
  if (component == FActivePane) FActivePane = nullptr;
  if (component == FStripe) FStripe = nullptr;
  for (TControl*& c : FMoving)
    if (c == component) c = nullptr;
}

// ---- active pane and its properties ---------------------------------------------------------

void TTriPane::SetActivePane(TMPPane* Pane) {
  if (!Pane) return;
  if (!Pane->Active) {
    if (TWinControl* parent = Pane->Parent())
      for (int i = 0; i < parent->ControlCount(); ++i)
        if (auto* other = dynamic_cast<TMPPane*>(parent->Controls(i)); other && other != Pane) {
          other->Active = false;
          other->Invalidate();
        }
    Pane->Active = true;
    Pane->Invalidate();
    Pane->SendToBack();
  }
  FActivePane = Pane;
  LoadPaneMirrors(Pane);
  if (IsDesigning())
    if (auto* form = dynamic_cast<TCustomForm*>(Owner()); form && form->Designer())
      form->Designer()->Modified();
}

void TTriPane::LoadPaneMirrors(TMPPane* pane) {
  SetPBInner(pane->BevelInner());
  SetPBOuter(pane->BevelOuter());
  SetPBWidth(pane->BevelWidth());
  SetPBoStyle(pane->BorderStyle());
  SetPBoWidth(pane->BorderWidth());
  SetPColor(pane->Color());
}

// The Pane properties edit the active pane at design time; at run time they do nothing.
void TTriPane::SetPBInner(TPanelBevel Value) {
  if (!IsDesigning()) return;
  if (FActivePane) FActivePane->SetBevelInner(Value);
  FPaneBevelInner = Value;
}

void TTriPane::SetPBOuter(TPanelBevel Value) {
  if (!IsDesigning()) return;
  if (FActivePane) FActivePane->SetBevelOuter(Value);
  FPaneBevelOuter = Value;
}

void TTriPane::SetPBWidth(int Value) {
  if (!IsDesigning()) return;
  if (FActivePane) FActivePane->SetBevelWidth(Value);
  FPaneBevelWidth = Value;
}

void TTriPane::SetPBoStyle(TBorderStyle Value) {
  if (!IsDesigning()) return;
  if (FActivePane) FActivePane->SetBorderStyle(Value);
  FPaneBorderStyle = Value;
}

void TTriPane::SetPBoWidth(int Value) {
  if (!IsDesigning()) return;
  if (FActivePane) FActivePane->SetBorderWidth(Value);
  FPaneBorderWidth = Value;
}

void TTriPane::SetPColor(TColor Value) {
  if (!IsDesigning()) return;
  if (FActivePane) FActivePane->SetColor(Value);
  FPaneColor = Value;
}

// ---- layout properties ---------------------------------------------------------------------------

void TTriPane::ChangePopSize(int Value) {
  // Held within the coordinates a control can have, so the edge arithmetic never overflows.
  Value = std::clamp(Value, -MaxControlCoord, MaxControlCoord);
  FPopOpenSize = Value;
  if (!FMenuPane) return;
  switch (FMenuPane->Align()) {
    case alTop:
    case alBottom:
      FMenuPane->SetHeight(Value);
      break;
    case alLeft:
    case alRight:
      FMenuPane->SetWidth(Value);
      break;
    default:
      break;
  }
}

void TTriPane::FChangeButVisible(int Value) {
  if (FHeaderPane) FHeaderPane->SetHeight(Value);
  FHeaderPaneHeight = Value;
  if (FClientPane) {
    FClientPane->Invalidate();
    InvalidateRect(FClientPane->BoundsRect());
  }
  if (FMenuPane) FMenuPane->Invalidate();
  if (FHeaderPane) FHeaderPane->Invalidate();
}

void TTriPane::FSetAlign(TMenuAlignment Value) {
  if (Value == FAlignMenu) return;
  FStripePlaced = false;
  FAlignMenu = Value;
  if (FMenuPane) {
    // Turning from a vertical edge to a horizontal one (or back) gives the menu pane
    // PopOpenSize across the new edge. The size is set once the new alignment holds, as
    // the old one would stretch it again.
    TAlign current = FMenuPane->Align();
    bool horizontal = Value == mnLeft || Value == mnRight;
    FMenuPane->SetAlign(MenuAlign(Value));
    if ((current == alTop || current == alBottom) && horizontal)
      FMenuPane->SetWidth(FPopOpenSize);
    else if ((current == alLeft || current == alRight) && !horizontal)
      FMenuPane->SetHeight(FPopOpenSize);
  }
  if (FClientPane) FClientPane->Invalidate();
  if (FMenuPane) FMenuPane->Invalidate();
  if (FHeaderPane) FHeaderPane->Invalidate();
  Invalidate();
  FSetStripe();
}

// The stripe shares the menu's edge, on its inner side, with its thickness across the edge.
void TTriPane::FSetStripe() {
  if (!FStripe || !FMenuPane) return;
  FStripe->SetAlign(FMenuPane->Align());
  if (IsVertical())
    FStripe->SetHeight(FStripeWidth);
  else
    FStripe->SetWidth(FStripeWidth);
  if (FMenuPane->Align() == alLeft) FStripe->SetLeft(FMenuPane->Left() + FMenuPane->Width());
}

void TTriPane::SetStripeColor(TColor Value) {
  if (FStripe) FStripe->SetColor(Value);
  FStripeColor = Value;
}

void TTriPane::SetStripeWidth(int Value) {
  if (FStripe) {
    FStripe->SetHeight(Value);
    FStripe->SetWidth(Value);
  }
  FStripeWidth = Value;
}

void TTriPane::SetBorderStyle(TBevels Value) {
  if (Value == FBevelingEx) return;
  FBevelingEx = Value;
  FBordered = Value != exNone;
  RecreateWnd();
  // The frame narrows or widens the client area the panes share.
  Realign();
  Invalidate();
}

void TTriPane::SetGrab(bool Value) {
  if (!IsDesigning()) return;
  if (Value) {
    if (BorderWidth() != 0) return;
    SetBorderWidth(2);
  } else if (FGrabBorder && !IsLoading()) {
    SetBorderWidth(0);  // only a border that the grab made
  }
  FGrabBorder = Value;
}

void TTriPane::SetAlignment(TAlign Value) {
  TCustomPanel::SetAlign(Value);
  if (Value == alClient && !IsDesigning() && !IsLoading()) FStripePlaced = false;
  FAlign = Value;
}

void TTriPane::SetName(const std::string& Value) {
  TCustomPanel::SetName(Value);
  Randomize();
  const std::string n = std::to_string(Random(1000000000));
  if (FClientPane) {
    FClientPane->SetName(Value + "__client__" + n);
    FClientPane->SetCaption("");
  }
  if (FMenuPane) {
    FMenuPane->SetName(Value + "__menu__" + n);
    FMenuPane->SetCaption("");
  }
  if (FHeaderPane) {
    FHeaderPane->SetName(Value + "__header__" + n);
    FHeaderPane->SetCaption("");
  }
}

// While a form loads, a stored pane may bear the name that the constructor's pane drew; the
// constructor's pane is about to be replaced, so it gives the name up.
void TTriPane::ValidateRename(TComponent* component, const std::string& curName,
                              const std::string& newName) {
  if (IsLoading() && !newName.empty()) {
    TComponent* other = FindComponent(newName);
    if (other && other != component &&
        (other == FHeaderPane || other == FClientPane || other == FMenuPane))
      other->SetName("");
  }
  TCustomPanel::ValidateRename(component, curName, newName);
}

// ---- window ----------------------------------------------------------------------------------------

void TTriPane::CreateParams(TCreateParams& params) {
  TCustomPanel::CreateParams(params);
  if (FBordered) params.Style |= WS_BORDER;
  if (Ctl3D() && FBordered && FBevelingEx != exSimpleBorder) {
    params.Style &= ~WS_BORDER;
    switch (FBevelingEx) {
      case exThickRaised:
        params.ExStyle |= WS_EX_DLGMODALFRAME;
        break;
      case exThickSunk:
        params.ExStyle |= WS_EX_CLIENTEDGE;
        break;
      case exThinSunk:
        params.ExStyle |= WS_EX_STATICEDGE;
        break;
      default:
        break;
    }
  }
  params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

// OnResize is fired from the size message, not from here.
void TTriPane::Resize() {
  if (IsDestroying()) return;
  FStripePlaced = false;
  if (FClientPane && FClientPane->Align() != alClient) FClientPane->SetAlign(alClient);
  if (!FMenuPane) return;
  if (IsVertical())
    FMenuPane->SetWidth(Width());
  else
    FMenuPane->SetHeight(Height() - FHeaderPaneHeight);
}

void TTriPane::Dispatch(TMessage& message) {
  if (message.Msg == WM_USER) {
    WMUser(message);
    return;
  }
  TCustomPanel::Dispatch(message);
}

void TTriPane::WMSize(TMessage& m) {
  if (IsDestroying()) return;
  if (FHeaderPane) {
    FHeaderPane->SetWidth(LoWord(m.LParam));
    FHeaderPane->Repaint();
  }
  TCustomPanel::WMSize(m);
  if (FClientPane) FClientPane->Repaint();
  if (FMenuPane) FMenuPane->Repaint();
  // A form that is still loading has not bound its handlers' state yet.
  if (!IsLoading()) OnResize(this);
}

void TTriPane::WMEraseBkgnd(TMessage& m) {
  m.Result = 1;
  TCustomPanel::WMEraseBkgnd(m);
}

// At design time a click into a pane makes it the active pane.
void TTriPane::WMParentNotify(TMessage& m) {
  if (!IsDestroying() && IsDesigning() && LoWord(m.WParam) == static_cast<int>(WM_LBUTTONDOWN)) {
    try {
      TPoint p{GetXParam(m.LParam), GetYParam(m.LParam)};
      for (TMPPane* pane : {FClientPane, FHeaderPane, FMenuPane})
        if (pane && pane->BoundsRect().Contains(p)) {
          SetActivePane(pane);
          return;
        }
    } catch (const std::exception&) {
      // Fall back to the framework's handling.
    }
  }
  TCustomPanel::WMParentNotify(m);
}

// A control dropped on the tri-pane itself at design time is moved into the active pane
// once the designer has finished inserting it.
void TTriPane::CMControlListChange(TMessage& m) {
  TCustomPanel::CMControlListChange(m);
  if (IsLoading() || !IsDesigning() || m.LParam != 1) return;
  auto* control = dynamic_cast<TControl*>(m.Obj);
  if (!control || control == FStripe || dynamic_cast<TMPPane*>(control)) return;
  PostMessage(this, WM_USER, 0, 0, control);
}

void TTriPane::WMUser(TMessage& m) {
  DefaultHandler(m);
  if (m.ObjFreed) return;  // the dropped control is gone: nothing to move
  auto* control = dynamic_cast<TControl*>(m.Obj);
  if (!control || control->Parent() != this) return;
  // Pending messages may free the control: watch it while they run.
  size_t slot = FMoving.size();
  FMoving.push_back(control);
  FreeNotification(control);
  Application().ProcessMessages();
  bool alive = FMoving[slot] == control;
  FMoving.resize(slot);
  if (!alive) return;
  RemoveFreeNotification(control);
  if (control->Parent() != this || !FActivePane) return;
  control->SetParent(FActivePane);
  int left = control->Width() < FActivePane->Width()
                 ? Random(FActivePane->Width() - control->Width())
                 : 0;
  int top = control->Height() < FActivePane->Height()
                ? Random(FActivePane->Height() - control->Height())
                : 0;
  control->SetBounds(left, top, control->Width(), control->Height());
  if (auto* form = dynamic_cast<TCustomForm*>(Owner()); form && form->Designer())
    form->Designer()->SelectComponent(control);
}

// ---- streaming ---------------------------------------------------------------------------------

void TTriPane::GetChildren(const TGetChildProc& proc, TComponent*) {
  for (TMPPane* pane : {FHeaderPane, FClientPane, FMenuPane})
    if (pane) proc(pane);
}

// The stored border width never includes the grab border.
void TTriPane::WriteState(TWriter& writer) {
  WriteWithoutGrabBorder(*this, FGrabBorder, [&] { TCustomPanel::WriteState(writer); });
}

void TTriPane::ReadState(TReader& reader) {
  TCustomPanel::ReadState(reader);
  if (IsDesigning() && FGrabBorder) {
    SetBorderWidth(2);
    Realign();
  }
  // The stripe goes behind the panes just read so that it aligns inside the menu pane.
  if (FStripe && FClientPane) {
    FStripe->SetParent(FClientPane);
    FStripe->SetParent(this);
  }
}

void TTriPane::ReplacePane(TMPPane*& slot, TMPPane* pane) {
  TMPPane* old = slot;
  if (old == pane) return;
  bool wasActive = old && old == FActivePane;
  slot = pane;
  delete old;
  if (wasActive || !FActivePane) {
    FActivePane = pane;
    pane->Active = true;
    LoadPaneMirrors(pane);
  }
}

namespace TriPane {
void Register() {
  RegisterPackageBitmaps();
  RegisterComponents("Tessaline", {&TTriPane::StaticClass()});
}
}  // namespace TriPane

}  // namespace tessapack
