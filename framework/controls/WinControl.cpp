#include <algorithm>
#include <map>

#include "framework/classes/Filer.h"
#include "framework/controls/Controls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/Input.h"
#include "framework/messages/DestroyGuard.h"

namespace framework {

FW_DEFINE_CLASS(TWinControl)
FW_DEFINE_CLASS(TCustomControl)

namespace {
std::map<uint64_t, TWinControl*>& HandleMap() {
  static std::map<uint64_t, TWinControl*> map;
  return map;
}
uint64_t GNextHandle = 1;
}  // namespace

TWinControl* FindControl(THandle handle) {
  auto it = HandleMap().find(handle.Id());
  return it == HandleMap().end() ? nullptr : it->second;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) { FWindowed = true; }

TWinControl::~TWinControl() {
  Destroying();
  ForgetInputControl(this);
  // What this control owns goes first, last created first; then the children that others
  // own but that lie on this control.
  DestroyComponents();
  while (!FControls.empty()) delete FControls.back();
  if (Parent()) Parent()->RemoveControl(this);
  DestroyHandle();
  delete FCanvas;
}

TControl* TWinControl::Controls(int index) const {
  if (index < 0 || index >= ControlCount()) throw EListError();
  return FControls[index];
}

int TWinControl::IndexOfControl(const TControl* control) const {
  auto it = std::find(FControls.begin(), FControls.end(), control);
  return it == FControls.end() ? -1 : static_cast<int>(it - FControls.begin());
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (const TControl* c = control; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(TPoint p, bool allowDisabled, bool allowWinControls) const {
  auto hit = [&](TControl* c) {
    return (c->Visible() || (c->IsDesigning() && !c->ControlStyle().Contains(csNoDesignVisible))) &&
           (allowDisabled || c->Enabled()) && c->BoundsRect().Contains(p);
  };
  if (allowWinControls)
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it)
      if ((*it)->IsWindowed() && hit(*it)) return *it;
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it)
    if (!(*it)->IsWindowed() && hit(*it)) return *it;
  return nullptr;
}

void TWinControl::InsertControl(TControl* control) {
  if (!control || control->FParent == this) return;
  FControls.push_back(control);
  control->FParent = this;
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    FTabList.push_back(w);
    // A tab position given before the control had a parent is taken now.
    if (w->FTabOrder >= 0 && !w->FControlState.Contains(csReadingState)) {
      int order = w->FTabOrder;
      w->FTabOrder = -1;
      w->SetTabOrder(order);
    }
  }
  control->ParentColorChanged();
  control->ParentFontChanged();
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    w->UpdateControlState();
  }
  control->Invalidate();
  if (control->Align() != alNone) Realign();
  Perform(CM_CONTROLLISTCHANGE, 0, 1, control);
}

void TWinControl::RemoveControl(TControl* control) {
  auto it = std::find(FControls.rbegin(), FControls.rend(), control);
  if (it == FControls.rend()) return;
  control->Invalidate();
  FControls.erase(std::next(it).base());
  control->FParent = nullptr;
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    std::erase(FTabList, w);
    ForgetFocus(w);
    w->DestroyHandle();
  }
  if (control->Align() != alNone && !IsDestroying()) Realign();
  if (!IsDestroying()) Perform(CM_CONTROLLISTCHANGE, 0, 0, control);
}

void TWinControl::SetParent(TWinControl* parent) { TControl::SetParent(parent); }

// ---- handles --------------------------------------------------------------------------------

void TWinControl::CreateParams(TCreateParams& p) {
  p.Caption = Text();
  p.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (Parent() == nullptr && !IsTopLevel()) p.Style = WS_POPUP;
  if (Visible()) p.Style |= WS_VISIBLE;
  if (!Enabled()) p.Style |= WS_DISABLED;
  if (FTabStop) p.Style |= WS_TABSTOP;
  p.X = Left();
  p.Y = Top();
  p.Width = Width();
  p.Height = Height();
  p.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  p.WinClassName = ClassName();
}

THandle TWinControl::Handle() {
  if (!FHandle) {
    if (Parent()) Parent()->HandleNeeded();
    CreateWnd();
  }
  return FHandle;
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if (Parent()) params.WndParent = Parent()->FHandle;
  FHandle = THandle(GNextHandle++);
  HandleMap()[FHandle.Id()] = this;
  FRedrawOff = false;
  Widgetset().CreateWindow(FHandle, *this, params);
}

void TWinControl::DestroyWnd() {
  Widgetset().DestroyWindow(FHandle);
  HandleMap().erase(FHandle.Id());
  FHandle = THandle();
  FShowing = false;
}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  for (TControl* c : FControls)
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
  DestroyWnd();
}

void TWinControl::RecreateWnd() {
  if (!HandleAllocated()) return;
  DestroyHandle();
  UpdateControlState();
}

void TWinControl::UpdateControlState() {
  if (IsDestroying()) return;
  const TWinControl* top = this;
  while (top->Parent()) {
    top = top->Parent();
    if (!top->Showing()) return;
  }
  if (!top->IsTopLevel()) return;
  UpdateShowing();
}

void TWinControl::UpdateShowing() {
  bool show = (Visible() || (IsDesigning() && !FControlStyle.Contains(csNoDesignVisible))) &&
              !FControlState.Contains(csReadingState) && !IsLoading();
  if (show) {
    if (!FHandle) {
      if (Parent() && !Parent()->ChildNeedsWindow(this)) return;
      CreateWnd();
    }
    FShowing = true;
    Widgetset().SetVisible(FHandle, true);
    for (TControl* c : FControls)
      if (auto* w = dynamic_cast<TWinControl*>(c)) w->UpdateShowing();
    Invalidate();
  } else if (FHandle && FShowing) {
    FShowing = false;
    Widgetset().SetVisible(FHandle, false);
    for (TControl* c : FControls)
      if (auto* w = dynamic_cast<TWinControl*>(c); w && w->FShowing) {
        w->FShowing = false;
        Widgetset().SetVisible(w->FHandle, false);
      }
  }
}

void TWinControl::VisibleChanged() { UpdateControlState(); }

void TWinControl::TextChanged() {
  if (FHandle) Widgetset().SetText(FHandle, Text());
  Invalidate();
}

void TWinControl::EnabledChanged() {
  if (FHandle) Widgetset().SetEnabled(FHandle, Enabled());
  Invalidate();
}

void TWinControl::SetCtl3D(bool value) {
  if (FCtl3D == value) return;
  FCtl3D = value;
  RecreateWnd();
}

// ---- geometry and alignment ------------------------------------------------------------------

TRect TWinControl::FrameInsets() const {
  TCreateParams p;
  const_cast<TWinControl*>(this)->CreateParams(p);
  int edge = 0;
  if (p.Style & WS_THICKFRAME)
    edge = kThickFrame;
  else if ((p.Style & WS_DLGFRAME) || (p.ExStyle & WS_EX_DLGMODALFRAME))
    edge = kDialogFrame;
  else if (p.Style & WS_BORDER)
    edge = 1;
  if (p.ExStyle & WS_EX_CLIENTEDGE) edge += 2;
  if (p.ExStyle & WS_EX_STATICEDGE) edge += 1;
  int caption = (p.Style & WS_CAPTION) == WS_CAPTION ? kCaptionHeight : 0;
  return Rect(edge, edge + caption, edge, edge);
}

TRect TWinControl::ClientRect() const {
  TRect f = FrameInsets();
  return Rect(0, 0, std::max(0, Width() - f.Left - f.Right), std::max(0, Height() - f.Top - f.Bottom));
}

void TWinControl::BoundsChanged(bool sizeChanged) {
  if (FHandle) Widgetset().SetBounds(FHandle, BoundsRect());
  if (sizeChanged) {
    TRect c = ClientRect();
    Perform(WM_SIZE, SIZE_RESTORED, MakeLong(c.Width(), c.Height()));
  }
  if (Parent()) Parent()->InvalidateRect(BoundsRect());
}

void TWinControl::EnableAlign() {
  if (FAlignLevel > 0) --FAlignLevel;
  if (FAlignLevel == 0 && FControlState.Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::Realign(TControl* moved) {
  if (FAlignLevel > 0 || IsLoading() || IsDestroying()) {
    FControlState.Include(csAlignmentNeeded);
    return;
  }
  AlignNow(moved);
}

void TWinControl::AlignNow(TControl* control) {
  DisableAlign();
  try {
    TRect r = ClientRect();
    AdjustClientRect(r);
    AlignControls(control, r);
  } catch (...) {
    FControlState.Exclude(csAlignmentNeeded);
    --FAlignLevel;
    throw;
  }
  // Requests made by the children we just placed are satisfied already.
  FControlState.Exclude(csAlignmentNeeded);
  --FAlignLevel;
}

// The alignment order: top, bottom, left, right, then client. Within one alignment the
// children go by position, outermost first: alTop by Top, alBottom by bottom edge (lowest
// first), alLeft by Left, alRight by right edge (rightmost first); on equal positions the
// control that just moved or changed alignment (control) comes first, the others keep
// their child-list order. So moving an aligned child above another reorders them.
void TWinControl::AlignControls(TControl* control, TRect& r) {
  static const TAlign kOrder[] = {alTop, alBottom, alLeft, alRight, alClient};
  auto position = [](const TControl* c, TAlign a) {
    switch (a) {
      case alTop:
        return c->Top();
      case alBottom:
        return -(c->Top() + c->Height());
      case alLeft:
        return c->Left();
      case alRight:
        return -(c->Left() + c->Width());
      default:
        return 0;
    }
  };
  std::vector<TControl*> list;
  for (TAlign a : kOrder) {
    list.clear();
    for (TControl* c : FControls)
      if (c->Align() == a &&
          (c->Visible() || (c->IsDesigning() && !c->ControlStyle().Contains(csNoDesignVisible))))
        list.push_back(c);
    if (list.size() > 1 && a != alClient)
      std::stable_sort(list.begin(), list.end(), [&](const TControl* x, const TControl* y) {
        int px = position(x, a), py = position(y, a);
        if (px != py) return px < py;
        return x == control && y != control;
      });
    for (TControl* c : list) {
      int w = std::max(0, r.Width()), h = std::max(0, r.Height());
      switch (a) {
        case alTop:
          c->SetBounds(r.Left, r.Top, w, c->Height());
          r.Top += c->Height();
          break;
        case alBottom:
          c->SetBounds(r.Left, r.Bottom - c->Height(), w, c->Height());
          r.Bottom -= c->Height();
          break;
        case alLeft:
          c->SetBounds(r.Left, r.Top, c->Width(), h);
          r.Left += c->Width();
          break;
        case alRight:
          c->SetBounds(r.Right - c->Width(), r.Top, c->Width(), h);
          r.Right -= c->Width();
          break;
        case alClient:
          c->SetBounds(r.Left, r.Top, w, h);
          break;
        default:
          break;
      }
    }
  }
}

// ---- painting ---------------------------------------------------------------------------------

void TWinControl::Invalidate() {
  if (FHandle) Widgetset().Invalidate(FHandle, ClientRect());
}

void TWinControl::InvalidateRect(const TRect& r) {
  if (FHandle) Widgetset().Invalidate(FHandle, r);
}

void TWinControl::Update() {
  if (FHandle) Widgetset().Update(FHandle);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

TCanvas& TWinControl::WindowCanvas() {
  if (!FCanvas) FCanvas = new TCanvas;
  return *FCanvas;
}

void TWinControl::PaintHandler(TCanvasDevice& device) {
  TCanvas& canvas = WindowCanvas();
  canvas.SetFont(Font());
  canvas.Brush().SetColor(Color());
  canvas.SetDevice(&device, {}, ClientRect());
  device.SetPaintingControl(this);
  try {
    Perform(WM_ERASEBKGND);
    canvas.SetDevice(&device, {}, ClientRect());
    Perform(WM_PAINT);
  } catch (...) {
    canvas.SetDevice(nullptr);
    throw;
  }
  canvas.SetDevice(nullptr);
}

void TWinControl::WMPaint(TMessage&) {
  TCanvasDevice* device = WindowCanvas().Device();
  PaintWindow();
  if (device) PaintControls(*device);
}

void TWinControl::PaintControls(TCanvasDevice& device) {
  for (size_t i = 0; i < FControls.size(); ++i) {
    auto* g = dynamic_cast<TGraphicControl*>(FControls[i]);
    if (!g || !(g->Visible() || (g->IsDesigning() && !g->ControlStyle().Contains(csNoDesignVisible))))
      continue;
    device.SetPaintingControl(g);
    g->Canvas().SetFont(g->Font());
    g->Canvas().SetDevice(&device, {g->Left(), g->Top()}, Rect(0, 0, g->Width(), g->Height()));
    g->Perform(WM_PAINT);
    g->Canvas().SetDevice(nullptr);
  }
  device.SetPaintingControl(this);
  device.SetClipRect(ClientRect());
}

// ---- messages ---------------------------------------------------------------------------------

void TWinControl::WndProc(TMessage& m) {
  if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST && IsControlMouseMsg(m)) return;
  TControl::WndProc(m);
}

// A mouse message over a graphic child goes to that child, in its coordinates; while this
// window or one of its graphic children holds the capture, it goes to the holder alone.
bool TWinControl::IsControlMouseMsg(TMessage& m) {
  TPoint p{GetXParam(m.LParam), GetYParam(m.LParam)};
  TControl* capture = GetCaptureControl();
  TControl* c = nullptr;
  if (capture == this) return false;
  if (capture && capture->Parent() == this && !capture->IsWindowed())
    c = capture;
  else
    c = ControlAtPos(p, false, false);
  if (!c) return false;
  TMessage cm = m;
  cm.LParam = MakeLong(p.X - c->Left(), p.Y - c->Top());
  c->WndProc(cm);
  m.Result = cm.Result;
  return true;
}

void TWinControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_SIZE:
      WMSize(m);
      return;
    case WM_ERASEBKGND:
      WMEraseBkgnd(m);
      return;
    case WM_PARENTNOTIFY:
      WMParentNotify(m);
      return;
    case WM_SETREDRAW:
      WMSetRedraw(m);
      return;
    case CM_CONTROLLISTCHANGE:
      CMControlListChange(m);
      return;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
      KeyMessage(m);
      return;
    case WM_GETDLGCODE:
      WMGetDlgCode(m);
      return;
    case CM_DIALOGKEY: {
      // Offered to the control, then to its windowed children until one takes it. The
      // button that takes it may free this control (Escape on a dialog that frees itself).
      TDestroyGuard guard(this);
      CMDialogKey(m);
      for (size_t i = 0; m.Result == 0 && guard.Alive() && i < FControls.size(); ++i)
        if (auto* w = dynamic_cast<TWinControl*>(FControls[i]); w && w->Visible())
          m.Result = w->Perform(CM_DIALOGKEY, m.WParam, m.LParam);
      return;
    }
    case CM_ENTER:
      DoEnter();
      return;
    case CM_EXIT:
      DoExit();
      return;
    default:
      TControl::Dispatch(m);
  }
}

// A key goes to the form first when it previews keys, then to this control; the key (or
// character) a handler set to 0 is swallowed: Result 1. A form handler that frees this
// control (or the form) swallows the key too.
void TWinControl::KeyMessage(TMessage& m) {
  TShiftState shift = TShiftState::FromMask(static_cast<uint64_t>(m.LParam));
  TCustomForm* form = GetParentForm(this);
  const bool preview = form && form != this && form->KeyPreview();
  TDestroyGuard guard(this);
  if (m.Msg == WM_CHAR) {
    char c = static_cast<char>(m.WParam);
    if (preview) form->KeyPress(c);
    if (!guard.Alive()) c = 0;
    if (c) KeyPress(c);
    m.WParam = static_cast<unsigned char>(c);
    m.Result = c == 0;
    return;
  }
  uint16_t key = static_cast<uint16_t>(m.WParam);
  if (m.Msg == WM_KEYDOWN) {
    if (preview) form->KeyDown(key, shift);
    if (!guard.Alive()) key = 0;
    if (key) KeyDown(key, shift);
  } else {
    if (preview) form->KeyUp(key, shift);
    if (!guard.Alive()) key = 0;
    if (key) KeyUp(key, shift);
  }
  m.WParam = key;
  m.Result = key == 0;
}

void TWinControl::WMSize(TMessage&) {
  Realign();
  if (!IsLoading()) Resize();
}

void TWinControl::WMEraseBkgnd(TMessage& m) {
  TCanvas& c = WindowCanvas();
  if (c.Device() && !FControlStyle.Contains(csOpaque)) {
    c.Brush().SetColor(Color());
    c.Brush().SetStyle(bsSolid);
    c.FillRect(ClientRect());
  }
  m.Result = 1;
}

void TWinControl::WMSetRedraw(TMessage& m) {
  FRedrawOff = m.WParam == 0;
  if (FHandle) Widgetset().SetRedraw(FHandle, !FRedrawOff);
}

// ---- streaming ----------------------------------------------------------------------------------

void TWinControl::GetChildren(const TGetChildProc& proc, TComponent* root) {
  for (TControl* c : std::vector<TControl*>(FControls))
    if (c->Owner() == root) proc(c);
}

void TWinControl::ReadState(TReader& reader) {
  DisableAlign();
  try {
    TControl::ReadState(reader);
  } catch (...) {
    --FAlignLevel;
    throw;
  }
  FixupTabList();  // the children's tab orders were kept as read
  EnableAlign();
}

void TWinControl::Loaded() {
  TControl::Loaded();
  if (FControlState.Contains(csAlignmentNeeded) || !FControls.empty()) Realign();
  UpdateControlState();
}

// ---- TCustomControl -------------------------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}

}  // namespace framework
