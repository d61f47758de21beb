// Controls: TControl (a visual component with bounds, parent, colour, font, caption and
// mouse events), TGraphicControl (no window of its own: painted and hit-tested by its
// parent), TWinControl (a window: a handle created on demand, children, alignment) and
// TCustomControl (a window with a canvas and Paint).
//
// Alignment: the aligned children of a windowed control share its client area (after
// AdjustClientRect) in this order: all alTop children (in child-list order, outermost
// first), then alBottom, alLeft, alRight, and alClient last. Only visible children are
// aligned (all of them at design time). It re-runs when the parent's size changes, when an
// aligned child's bounds, visibility or alignment change, when a child is inserted or
// removed or the z-order changes, and after loading; it is suspended while loading.
// Z-order is the child-list order (last = front); windowed children lie above graphic ones.
#pragma once

#include <string>
#include <vector>

#include "framework/base/Events.h"
#include "framework/base/Rtti.h"
#include "framework/classes/Component.h"
#include "framework/graphics/Graphics.h"
#include "framework/messages/Messages.h"
#include "framework/widgetset/WidgetSet.h"

namespace framework {

class TWinControl;
class TCustomForm;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TControlStyleItem {
  csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed, csSetCaption,
  csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable
};
using TControlStyle = TSet<TControlStyleItem>;
enum TControlStateItem { csLButtonDown, csClicked, csReadingState, csAlignmentNeeded, csCreating };
using TControlState = TSet<TControlStateItem>;

enum TCursor : int16_t {
  crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNESW = -6,
  crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11,
  crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15, crMultiDrag = -16,
  crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20, crHandPoint = -21, crSizeAll = -22
};

using TMouseEvent = TEvent<TObject*, TMouseButton, TShiftState, int, int>;
using TMouseMoveEvent = TEvent<TObject*, TShiftState, int, int>;

// Window styles, extended styles and class styles (values as the components expect).
inline constexpr uint32_t WS_OVERLAPPED = 0x00000000, WS_POPUP = 0x80000000, WS_CHILD = 0x40000000,
    WS_MINIMIZE = 0x20000000, WS_VISIBLE = 0x10000000, WS_DISABLED = 0x08000000,
    WS_CLIPSIBLINGS = 0x04000000, WS_CLIPCHILDREN = 0x02000000, WS_MAXIMIZE = 0x01000000,
    WS_CAPTION = 0x00C00000, WS_BORDER = 0x00800000, WS_DLGFRAME = 0x00400000,
    WS_VSCROLL = 0x00200000, WS_HSCROLL = 0x00100000, WS_SYSMENU = 0x00080000,
    WS_THICKFRAME = 0x00040000, WS_GROUP = 0x00020000, WS_TABSTOP = 0x00010000,
    WS_MINIMIZEBOX = 0x00020000, WS_MAXIMIZEBOX = 0x00010000;
inline constexpr uint32_t WS_EX_DLGMODALFRAME = 0x1, WS_EX_NOPARENTNOTIFY = 0x4,
    WS_EX_TOPMOST = 0x8, WS_EX_ACCEPTFILES = 0x10, WS_EX_TRANSPARENT = 0x20,
    WS_EX_TOOLWINDOW = 0x80, WS_EX_WINDOWEDGE = 0x100, WS_EX_CLIENTEDGE = 0x200,
    WS_EX_CONTROLPARENT = 0x10000, WS_EX_STATICEDGE = 0x20000, WS_EX_APPWINDOW = 0x40000;
inline constexpr uint32_t CS_VREDRAW = 0x1, CS_HREDRAW = 0x2, CS_DBLCLKS = 0x8, CS_OWNDC = 0x20,
    CS_CLASSDC = 0x40, CS_PARENTDC = 0x80, CS_SAVEBITS = 0x800;
// Metrics of the window frame (pixels) used to compute client areas from styles.
inline constexpr int kCaptionHeight = 19, kThickFrame = 4, kDialogFrame = 3;

struct TWndClass {
  uint32_t style = 0;
};

struct TCreateParams {
  std::string Caption;
  uint32_t Style = 0;
  uint32_t ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  THandle WndParent;
  TWndClass WindowClass;
  std::string WinClassName;
};

// The largest position or size a control takes; larger values are clamped.
inline constexpr int MaxControlCoord = 1 << 24;

class TControl : public TComponent {
  FW_CLASS(TControl, TComponent)
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  // Bounds in the parent's client coordinates.
  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
  void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
  void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
  void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  virtual TRect ClientRect() const { return Rect(0, 0, FWidth, FHeight); }
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }
  void SetClientWidth(int value);
  void SetClientHeight(int value);
  // Converts a point in this control's client area to the coordinates of an ancestor
  // (nullptr: the top-level window's client area).
  TPoint ClientToParent(TPoint p, const TWinControl* ancestor = nullptr) const;

  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* parent);
  bool HasParent() const { return FParent != nullptr; }

  bool Visible() const { return FVisible; }
  void SetVisible(bool value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool value);
  TAlign Align() const { return FAlign; }
  virtual void SetAlign(TAlign value);
  TColor Color() const { return FColor; }
  virtual void SetColor(TColor value);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool value);
  TFont& Font() { return *FFont; }
  const TFont& Font() const { return *FFont; }
  TFont* FontPtr() const { return FFont; }
  void SetFont(TFont* value) { FFont->Assign(*value); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool value);
  // Caption and Text are the same string.
  const std::string& Caption() const { return FText; }
  void SetCaption(const std::string& value) { SetText(value); }
  const std::string& Text() const { return FText; }
  void SetText(const std::string& value);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor value) { FCursor = value; }
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& value) { FHint = value; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool value) { FShowHint = value; }
  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int value) { FHelpContext = value; }
  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle value) { FControlStyle = value; }
  TControlState ControlState() const { return FControlState; }

  // Painting: Invalidate schedules a repaint, Update performs the scheduled one now,
  // Repaint does both.
  virtual void Invalidate();
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }

  // Z-order among the siblings (also the order of alignment).
  void BringToFront();
  void SendToBack();

  // Messages: Perform handles the message before it returns.
  intptr_t Perform(uint32_t msg, intptr_t wParam = 0, intptr_t lParam = 0, TComponent* obj = nullptr);
  virtual void WndProc(TMessage& message);
  virtual void Dispatch(TMessage& message);
  virtual void DefaultHandler(TMessage& message);

  virtual void Click();
  virtual void DblClick();

  void SetName(const std::string& value) override;
  void ReadState(TReader& reader) override;
  void Loaded() override;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnResize;

  // Called by the parent when its colour or font changes.
  void ParentColorChanged();
  void ParentFontChanged();

 protected:
  friend class TWinControl;
  virtual void Resize();  // the size changed: fires OnResize
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void TextChanged() { Invalidate(); }
  virtual void FontChanged() { Invalidate(); }
  virtual void BoundsChanged(bool sizeChanged);
  virtual void VisibleChanged();
  virtual void EnabledChanged() { Invalidate(); }
  virtual void AdjustSize() {}  // AutoSize controls recompute their size
  void RequestAlign();
  // Message handlers.
  virtual void WMMouseMove(TMessage& m);
  virtual void WMButtonDown(TMessage& m);
  virtual void WMButtonUp(TMessage& m);
  virtual void WMButtonDblClk(TMessage& m);
  virtual void CMDesignHitTest(TMessage& m) { m.Result = 0; }
  virtual void WMPaint(TMessage&) {}

  TControlStyle FControlStyle;
  TControlState FControlState;

 private:
  void DoFontChange(TObject*);
  TWinControl* FParent = nullptr;
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  bool FVisible = true;
  bool FEnabled = true;
  TAlign FAlign = alNone;
  TColor FColor = clWindow;
  bool FParentColor = true;
  TFont* FFont;
  bool FParentFont = true;
  bool FFontFromParent = false;
  std::string FText;
  TCursor FCursor = crDefault;
  std::string FHint;
  bool FShowHint = false;
  int FHelpContext = 0;
};

class TGraphicControl : public TControl {
  FW_CLASS(TGraphicControl, TControl)
 public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  TCanvas& Canvas() { return *FCanvas; }
  virtual void Paint() {}

 protected:
  void WMPaint(TMessage&) override { Paint(); }

 private:
  TCanvas* FCanvas;
};

class TWinControl : public TControl {
  FW_CLASS(TWinControl, TControl)
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  // The window handle, created when first asked for (with the parent's first).
  THandle Handle();
  bool HandleAllocated() const { return static_cast<bool>(FHandle); }
  void HandleNeeded() { Handle(); }
  // Destroys the window (and the windows of the children); the control keeps its state.
  void DestroyHandle();
  // Destroys the window and makes it again when the control is showing.
  void RecreateWnd();
  // The control has a window that is shown (it and all its parents visible).
  bool Showing() const { return HandleAllocated() && FShowing; }

  int ControlCount() const { return static_cast<int>(FControls.size()); }
  TControl* Controls(int index) const;  // EListError outside range
  int IndexOfControl(const TControl* control) const;
  bool ContainsControl(const TControl* control) const;
  // The topmost visible child at a client point (windowed children first).
  TControl* ControlAtPos(TPoint p, bool allowDisabled = true, bool allowWinControls = true) const;
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);

  void DisableAlign() { ++FAlignLevel; }
  void EnableAlign();
  void Realign();
  bool AlignDisabled() const { return FAlignLevel > 0; }
  // The area aligned children share: the client rectangle less borders.
  virtual void AdjustClientRect(TRect&) const {}
  TRect ClientRect() const override;

  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool value);
  int TabOrder() const { return FTabOrder; }
  void SetTabOrder(int value) { FTabOrder = value; }
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool value) { FTabStop = value; }
  bool RedrawSuspended() const { return FRedrawOff; }

  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  void InvalidateRect(const TRect& r);
  // Paints the window on a device: erase background, WM_PAINT (this control, then its
  // graphic children). Called by the widgetset (see PaintWindow in Input.h).
  void PaintHandler(TCanvasDevice& device);
  // The canvas the window paints on while PaintHandler runs.
  TCanvas& WindowCanvas();
  // The window's non-client frame from its styles.
  TRect FrameInsets() const;

  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  void ReadState(TReader& reader) override;
  void Loaded() override;
  void Dispatch(TMessage& message) override;
  void WndProc(TMessage& message) override;
  void SetParent(TWinControl* parent) override;
  // Makes the shown state of this control and its children follow visibility: windows of
  // showing controls are created, others hidden. Does nothing until the top-level form is
  // shown.
  void UpdateControlState();

 protected:
  virtual void CreateParams(TCreateParams& params);
  virtual void CreateWnd();
  virtual void DestroyWnd();
  virtual void AlignControls(TControl* control, TRect& rect);
  virtual void PaintWindow() {}
  void PaintControls(TCanvasDevice& device);
  virtual bool IsTopLevel() const { return false; }
  void BoundsChanged(bool sizeChanged) override;
  void VisibleChanged() override;
  void TextChanged() override;
  void EnabledChanged() override;
  // Message handlers with the default behaviour the components build on.
  virtual void WMSize(TMessage& m);           // realign, then Resize (not while loading)
  virtual void WMEraseBkgnd(TMessage& m);     // fills the client area with Color; Result 1
  virtual void WMParentNotify(TMessage&) {}  // a child window was clicked
  virtual void WMSetRedraw(TMessage& m);      // WParam 0 suspends painting, 1 resumes
  virtual void CMControlListChange(TMessage&) {}
  void WMPaint(TMessage&) override;
  bool IsControlMouseMsg(TMessage& m);

 private:
  friend class TControl;
  void UpdateShowing();
  void AlignNow(TControl* control);
  std::vector<TControl*> FControls;
  THandle FHandle;
  bool FShowing = false;
  int FAlignLevel = 0;
  bool FRedrawOff = false;
  bool FCtl3D = true;
  int FTabOrder = -1;
  bool FTabStop = false;
  TCanvas* FCanvas = nullptr;
};

class TCustomControl : public TWinControl {
  FW_CLASS(TCustomControl, TWinControl)
 public:
  explicit TCustomControl(TComponent* owner);
  TCanvas& Canvas() { return WindowCanvas(); }
  virtual void Paint() {}

 protected:
  void PaintWindow() override { Paint(); }
};

// The windowed control that has the given handle, nullptr when none (or destroyed).
TWinControl* FindControl(THandle handle);
// The form a control lies on, nullptr when none.
TCustomForm* GetParentForm(const TControl* control);

}  // namespace framework

FW_DECLARE_ENUM(framework::TAlign)
FW_DECLARE_ENUM(framework::TAlignment)
template <>
struct framework::TTypeOf<framework::TCursor> {
  static const ::framework::TTypeInfo& Get();
};
