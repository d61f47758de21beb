#include "framework/controls/Controls.h"

#include <algorithm>

#include "framework/classes/Filer.h"
#include "framework/controls/Forms.h"
#include "framework/controls/Input.h"
#include "framework/design/Designer.h"
#include "framework/messages/DestroyGuard.h"

FW_DEFINE_ENUM(framework::TAlign, "TAlign", "alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient")
FW_DEFINE_ENUM(framework::TAlignment, "TAlignment", "taLeftJustify", "taRightJustify", "taCenter")

namespace {
struct TCursorIdent {
  int Value;
  const char* Name;
};
const TCursorIdent kCursors[] = {
    {0, "crDefault"}, {-1, "crNone"}, {-2, "crArrow"}, {-3, "crCross"}, {-4, "crIBeam"},
    {-6, "crSizeNESW"}, {-7, "crSizeNS"}, {-8, "crSizeNWSE"}, {-9, "crSizeWE"},
    {-10, "crUpArrow"}, {-11, "crHourGlass"}, {-12, "crDrag"}, {-13, "crNoDrop"},
    {-14, "crHSplit"}, {-15, "crVSplit"}, {-16, "crMultiDrag"}, {-17, "crSQLWait"},
    {-18, "crNo"}, {-19, "crAppStart"}, {-20, "crHelp"}, {-21, "crHandPoint"}, {-22, "crSizeAll"},
};
}  // namespace

const framework::TTypeInfo& framework::TTypeOf<framework::TCursor>::Get() {
  static const TTypeInfo info = [] {
    TTypeInfo t{"TCursor", tkInteger};
    t.IntToIdent = [](int64_t v, std::string& s) {
      for (const auto& c : kCursors)
        if (c.Value == v) {
          s = c.Name;
          return true;
        }
      return false;
    };
    t.IdentToInt = [](std::string_view s, int64_t& v) {
      for (const auto& c : kCursors)
        if (SameText(c.Name, s)) {
          v = c.Value;
          return true;
        }
      return false;
    };
    return t;
  }();
  return info;
}

namespace framework {

FW_DEFINE_CLASS(TControl, [](TClassDef<TControl>& d) {
  d.Property("Left", &TControl::Left, &TControl::SetLeft);
  d.Property("Top", &TControl::Top, &TControl::SetTop);
  d.Property("Width", &TControl::Width, &TControl::SetWidth);
  d.Property("Height", &TControl::Height, &TControl::SetHeight);
  d.Property("Cursor", &TControl::Cursor, &TControl::SetCursor).Default(crDefault);
  d.Property("Hint", &TControl::Hint, &TControl::SetHint);
  d.Property("HelpContext", &TControl::HelpContext, &TControl::SetHelpContext).Default(0);
})

FW_DEFINE_CLASS(TGraphicControl)

TControl::TControl(TComponent* owner) : TComponent(owner), FFont(new TFont) {
  FFont->OnChange = TNotifyEvent(this, &TControl::DoFontChange);
}

TControl::~TControl() {
  Destroying();
  ForgetInputControl(this);
  if (FParent) FParent->RemoveControl(this);
  delete FFont;
}

void TControl::SetBounds(int left, int top, int width, int height) {
  // Coordinates stay far from the int limits, so that sums of positions and
  // sizes (right edges, nested offsets, alignment) cannot overflow.
  left = std::clamp(left, -MaxControlCoord, MaxControlCoord);
  top = std::clamp(top, -MaxControlCoord, MaxControlCoord);
  width = std::clamp(width, 0, MaxControlCoord);
  height = std::clamp(height, 0, MaxControlCoord);
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
  bool sizeChanged = width != FWidth || height != FHeight;
  if (FParent && !dynamic_cast<TWinControl*>(this)) FParent->InvalidateRect(BoundsRect());
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  BoundsChanged(sizeChanged);
  RequestAlign();
}

// A graphic control repaints its area on the parent and reports its new size.
void TControl::BoundsChanged(bool sizeChanged) {
  Invalidate();
  if (sizeChanged && !IsLoading()) Resize();
}

void TControl::SetClientWidth(int value) { SetWidth(value + (Width() - ClientWidth())); }
void TControl::SetClientHeight(int value) { SetHeight(value + (Height() - ClientHeight())); }

TPoint TControl::ClientToParent(TPoint p, const TWinControl* ancestor) const {
  const TControl* c = this;
  while (c && c != ancestor) {
    if (c->IsWindowed()) {
      TRect f = static_cast<const TWinControl*>(c)->FrameInsets();
      p.X += f.Left;
      p.Y += f.Top;
    }
    if (!c->FParent) break;
    p.X += c->FLeft;
    p.Y += c->FTop;
    c = c->FParent;
  }
  return p;
}

TPoint TControl::ClientToScreen(TPoint p) const {
  const TControl* top = this;
  while (top->FParent) top = top->FParent;
  p = ClientToParent(p, nullptr);
  return {p.X + top->FLeft, p.Y + top->FTop};
}

TPoint TControl::ScreenToClient(TPoint p) const {
  TPoint origin = ClientToScreen({0, 0});
  return {p.X - origin.X, p.Y - origin.Y};
}

bool TControl::MouseCapture() const { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool value) {
  if (value)
    SetCaptureControl(this);
  else if (GetCaptureControl() == this)
    SetCaptureControl(nullptr);
}

void TControl::SetParent(TWinControl* parent) {
  if (FParent == parent) return;
  if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  for (TWinControl* p = parent; p; p = p->Parent())
    if (p == this) throw EInvalidOperation("A control cannot be the parent of its own parent");
  if (FParent) FParent->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

void TControl::SetVisible(bool value) {
  if (FVisible == value) return;
  if (!value) Invalidate();
  FVisible = value;
  VisibleChanged();
  if (value) Invalidate();
  if (FAlign != alNone) RequestAlign();
}

void TControl::VisibleChanged() {}

void TControl::SetEnabled(bool value) {
  if (FEnabled == value) return;
  FEnabled = value;
  EnabledChanged();
}

void TControl::SetAlign(TAlign value) {
  if (FAlign == value) return;
  TAlign old = FAlign;
  FAlign = value;
  // Leaving or joining the aligned set re-runs the parent's alignment either way.
  if (FParent && (old != alNone || value != alNone))
    FParent->Realign(value != alNone ? this : nullptr);
}

// The parent re-aligns with this control first among those at its position.
void TControl::RequestAlign() {
  if (FParent && FAlign != alNone) FParent->Realign(this);
}

void TControl::SetColor(TColor value) {
  if (FColor == value && !FParentColor) return;
  FColor = value;
  FParentColor = false;
  Invalidate();
  if (auto* w = dynamic_cast<TWinControl*>(this))
    for (TControl* c : w->FControls) c->ParentColorChanged();
}

void TControl::SetParentColor(bool value) {
  if (FParentColor == value) return;
  FParentColor = value;
  if (value) ParentColorChanged();
}

void TControl::ParentColorChanged() {
  if (!FParentColor || !FParent) return;
  FColor = FParent->Color();
  Invalidate();
  if (auto* w = dynamic_cast<TWinControl*>(this))
    for (TControl* c : w->FControls) c->ParentColorChanged();
}

void TControl::SetParentFont(bool value) {
  if (FParentFont == value) return;
  FParentFont = value;
  if (value) ParentFontChanged();
}

void TControl::ParentFontChanged() {
  if (!FParentFont || !FParent) return;
  FFontFromParent = true;
  FFont->Assign(FParent->Font());
  FFontFromParent = false;
}

void TControl::DoFontChange(TObject*) {
  if (!FFontFromParent) FParentFont = false;
  FontChanged();
  AdjustSize();
  if (auto* w = dynamic_cast<TWinControl*>(this))
    for (TControl* c : w->FControls) c->ParentFontChanged();
}

void TControl::SetText(const std::string& value) {
  if (FText == value) return;
  FText = value;
  TDestroyGuard guard(this);
  TextChanged();  // an edit's OnChange may free the edit
  if (guard.Alive()) AdjustSize();
}

void TControl::SetName(const std::string& value) {
  bool changeText = FControlStyle.Contains(csSetCaption) && !IsLoading() && Name() == FText &&
                    !(Owner() && Owner()->IsLoading());
  TComponent::SetName(value);
  if (changeText) SetText(value);
}

void TControl::Invalidate() {
  if (FParent && (FVisible || IsDesigning())) FParent->InvalidateRect(BoundsRect());
}

void TControl::Update() {
  if (FParent) FParent->Update();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::BringToFront() {
  if (!FParent) return;
  auto& list = FParent->FControls;
  std::erase(list, this);
  list.push_back(this);
  if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
    Widgetset().ZOrderChanged(w->FHandle);
  Invalidate();
  if (FAlign != alNone) FParent->Realign();
}

void TControl::SendToBack() {
  if (!FParent) return;
  auto& list = FParent->FControls;
  std::erase(list, this);
  list.insert(list.begin(), this);
  if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
    Widgetset().ZOrderChanged(w->FHandle);
  Invalidate();
  if (FAlign != alNone) FParent->Realign();
}

intptr_t TControl::Perform(uint32_t msg, intptr_t wParam, intptr_t lParam, TComponent* obj) {
  TMessage m{msg, wParam, lParam, 0, obj};
  WndProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& m) {
  if (IsDesigning() && m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST) {
    TCustomForm* form = GetParentForm(this);
    if (form && form->Designer() && form->Designer()->IsDesignMsg(this, m)) return;
  } else if (FDragMode == dmAutomatic && (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK) &&
             !IsDesigning()) {
    BeginDrag(false);  // the press begins a drag and is no click
    return;
  }
  Dispatch(m);
}

void TControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_MOUSEMOVE:
      WMMouseMove(m);
      return;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      WMButtonDown(m);
      return;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      WMButtonUp(m);
      return;
    case WM_LBUTTONDBLCLK:
      WMButtonDblClk(m);
      return;
    case CM_DESIGNHITTEST:
      CMDesignHitTest(m);
      return;
    case CM_MOUSEENTER:
      CMMouseEnter(m);
      return;
    case CM_MOUSELEAVE:
      CMMouseLeave(m);
      return;
    case WM_PAINT:
      WMPaint(m);
      return;
    default:
      DefaultHandler(m);
  }
}

void TControl::DefaultHandler(TMessage&) {}

static TShiftState KeysToShift(intptr_t keys) {
  TShiftState s;
  if (keys & MK_SHIFT) s.Include(ssShift);
  if (keys & MK_CONTROL) s.Include(ssCtrl);
  if (keys & MK_LBUTTON) s.Include(ssLeft);
  if (keys & MK_RBUTTON) s.Include(ssRight);
  if (keys & MK_MBUTTON) s.Include(ssMiddle);
  return s;
}

static TMouseButton ButtonOf(uint32_t msg) {
  switch (msg) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      return mbRight;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      return mbMiddle;
    default:
      return mbLeft;
  }
}

void TControl::WMMouseMove(TMessage& m) {
  MouseMove(KeysToShift(m.WParam), GetXParam(m.LParam), GetYParam(m.LParam));
}

void TControl::WMButtonDown(TMessage& m) {
  TMouseButton b = ButtonOf(m.Msg);
  if (b == mbLeft) {
    if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
    FControlState.Include(csLButtonDown);
    if (FControlStyle.Contains(csClickEvents)) FControlState.Include(csClicked);
  }
  MouseDown(b, KeysToShift(m.WParam), GetXParam(m.LParam), GetYParam(m.LParam));
}

// OnClick may free the control (a button that closes and frees its form): the release
// then ends there, without OnMouseUp.
void TControl::WMButtonUp(TMessage& m) {
  TMouseButton b = ButtonOf(m.Msg);
  int x = GetXParam(m.LParam), y = GetYParam(m.LParam);
  if (b == mbLeft) {
    if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
    FControlState.Exclude(csLButtonDown);
    if (FControlState.Contains(csClicked)) {
      FControlState.Exclude(csClicked);
      TDestroyGuard guard(this);
      if (ClientRect().Contains({x, y})) Click();
      if (!guard.Alive()) return;
    }
  }
  MouseUp(b, KeysToShift(m.WParam), x, y);
}

void TControl::WMButtonDblClk(TMessage& m) {
  TDestroyGuard guard(this);
  if (FControlStyle.Contains(csDoubleClicks)) DblClick();
  if (guard.Alive()) WMButtonDown(m);
}

void TControl::MouseDown(TMouseButton b, TShiftState s, int x, int y) { OnMouseDown(this, b, s, x, y); }
void TControl::MouseUp(TMouseButton b, TShiftState s, int x, int y) { OnMouseUp(this, b, s, x, y); }
void TControl::MouseMove(TShiftState s, int x, int y) { OnMouseMove(this, s, x, y); }
void TControl::Click() { OnClick(this); }
void TControl::DblClick() { OnDblClick(this); }
void TControl::Resize() { OnResize(this); }

void TControl::ReadState(TReader& reader) {
  FControlState.Include(csReadingState);
  if (auto* p = dynamic_cast<TWinControl*>(reader.Parent())) SetParent(p);
  TComponent::ReadState(reader);
  FControlState.Exclude(csReadingState);
}

void TControl::Loaded() {
  TComponent::Loaded();
  AdjustSize();
}

// ---- TGraphicControl ----------------------------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), FCanvas(new TCanvas) {}

TGraphicControl::~TGraphicControl() {
  Destroying();
  if (Parent()) Parent()->RemoveControl(this);
  delete FCanvas;
}

TCustomForm* GetParentForm(const TControl* control) {
  const TControl* c = control;
  while (c && c->Parent()) c = c->Parent();
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

}  // namespace framework
