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
// Keys: the virtual-key code (a handler may set it to 0 to swallow the key) and the
// character typed (0 swallows it).
using TKeyEvent = TEvent<TObject*, uint16_t&, TShiftState>;
using TKeyPressEvent = TEvent<TObject*, char&>;

// Dragging a control within a form: the source, the control under the pointer and the
// pointer in the target's client coordinates.
enum TDragMode { dmManual, dmAutomatic };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
using TStartDragEvent = TEvent<TObject*>;                                        // sender = source
using TDragOverEvent = TEvent<TObject*, TObject*, int, int, TDragState, bool&>;  // sender, source
using TDragDropEvent = TEvent<TObject*, TObject*, int, int>;                     // sender, source
using TEndDragEvent =
    TEvent<TObject*, TObject*, int, int>;  // sender = source, target (nullptr: none)

// Virtual-key codes of the keys the framework itself handles or names.
inline constexpr uint16_t VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10,
                          VK_CONTROL = 0x11, VK_MENU = 0x12, VK_ESCAPE = 0x1B, VK_SPACE = 0x20,
                          VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24,
                          VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28,
                          VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_F1 = 0x70;
// Focus and keyboard messages. WM_GETDLGCODE asks a focused control which keys it wants
// for itself (DLGC_*), before the form uses Tab, Enter and Escape; CM_DIALOGKEY offers such
// a key (WParam) to every control of the form (Result non-zero: taken); CM_ENTER and
// CM_EXIT tell a control and its containers that the focus came into or left them.
inline constexpr uint32_t WM_GETDLGCODE = 0x0087;
inline constexpr uint32_t CM_DIALOGKEY = CM_BASE + 5;
inline constexpr uint32_t CM_ENTER = CM_BASE + 10;
inline constexpr uint32_t CM_EXIT = CM_BASE + 11;
inline constexpr intptr_t DLGC_WANTARROWS = 0x1, DLGC_WANTTAB = 0x2, DLGC_WANTALLKEYS = 0x4,
                          DLGC_WANTCHARS = 0x80;

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
  // Converts between this control's client coordinates and the desktop's (the top-level
  // window's position plus its frame).
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;

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
  // This control holds the mouse capture (see SetCaptureControl).
  bool MouseCapture() const;
  void SetMouseCapture(bool value);

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

  // Dragging this control onto others of its form. BeginDrag starts at once (immediate)
  // or once the pointer has moved threshold pixels (-1: 5) with the button down; the drag
  // follows the pointer until the left button is released (a drop on a target that
  // accepted in OnDragOver) or Escape is pressed or EndDrag(false) is called (no drop).
  // With DragMode dmAutomatic a left-button press begins a drag by itself.
  void BeginDrag(bool immediate, int threshold = -1);
  void EndDrag(bool drop);
  bool Dragging() const;
  TDragMode DragMode() const { return FDragMode; }
  void SetDragMode(TDragMode value) { FDragMode = value; }
  // Asked while a source is dragged over this control: accept is true when OnDragOver is
  // assigned, which may clear it.
  virtual void DragOver(TObject* source, int x, int y, TDragState state, bool& accept);
  virtual void DragDrop(TObject* source, int x, int y);

  void SetName(const std::string& value) override;
  void ReadState(TReader& reader) override;
  void Loaded() override;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter;  // the pointer came over the control
  TNotifyEvent OnMouseLeave;  // the pointer left it
  TNotifyEvent OnResize;
  TStartDragEvent OnStartDrag;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TEndDragEvent OnEndDrag;

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
  virtual void DoStartDrag() { OnStartDrag(this); }
  virtual void DoEndDrag(TObject* target, int x, int y) { OnEndDrag(this, target, x, y); }
  // Message handlers.
  virtual void WMMouseMove(TMessage& m);
  virtual void WMButtonDown(TMessage& m);
  virtual void WMButtonUp(TMessage& m);
  virtual void WMButtonDblClk(TMessage& m);
  virtual void CMDesignHitTest(TMessage& m) { m.Result = 0; }
  virtual void CMMouseEnter(TMessage&) { OnMouseEnter(this); }
  virtual void CMMouseLeave(TMessage&) { OnMouseLeave(this); }
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
  TDragMode FDragMode = dmManual;
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
  // Lays out the aligned children now (or when alignment is enabled again); moved is the
  // child whose change asked for it (first among equals, see AlignControls).
  void Realign(TControl* moved = nullptr);
  bool AlignDisabled() const { return FAlignLevel > 0; }
  // The area aligned children share: the client rectangle less borders.
  virtual void AdjustClientRect(TRect&) const {}
  TRect ClientRect() const override;

  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool value);
  bool RedrawSuspended() const { return FRedrawOff; }

  // Keyboard focus. The framework keeps the focus (one control of the active form, see
  // TScreen::ActiveControl); the widgetset mirrors it. CanFocus: the control and its
  // parents up to its form are visible and enabled. SetFocus raises EInvalidOperation when
  // it cannot; it sends CM_EXIT to the controls the focus leaves (the old control first,
  // then its containers) and CM_ENTER to those it comes into (outermost first), which
  // fire OnExit and OnEnter.
  virtual bool CanFocus() const;
  bool Focused() const;
  virtual void SetFocus();
  // TabOrder: the position among the parent's windowed children that Tab walks (0 first;
  // -1 without a parent). Setting it moves the control there and shifts the others;
  // values beyond the end put it last. TabStop: Tab stops at the control.
  int TabOrder() const;
  void SetTabOrder(int value);
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool value);
  // The windowed descendants in the order Tab visits them: each child by TabOrder,
  // followed by its own descendants.
  void GetTabOrderList(std::vector<TWinControl*>& list) const;
  // The next (or previous) control after current in the tab order of this container that
  // can take the focus (with TabStop when checkTabStop), wrapping round; nullptr if none.
  TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                               bool checkParent) const;
  // Moves the focus to FindNextControl(current, ...).
  void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;

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
  // Whether showing this control makes a window for the child that has none (true). A
  // container that keeps native windows for only some of its children answers false for
  // the others; they get one when asked for it (Handle, HandleNeeded).
  virtual bool ChildNeedsWindow(const TWinControl*) const { return true; }
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
  virtual void WMGetDlgCode(TMessage& m) { m.Result = 0; }
  virtual void CMDialogKey(TMessage&) {}
  virtual void DoEnter() { OnEnter(this); }
  virtual void DoExit() { OnExit(this); }
  // Keys (WM_KEYDOWN, WM_CHAR, WM_KEYUP) reach these, which fire the events.
  virtual void KeyDown(uint16_t& key, TShiftState shift) { OnKeyDown(this, key, shift); }
  virtual void KeyPress(char& key) { OnKeyPress(this, key); }
  virtual void KeyUp(uint16_t& key, TShiftState shift) { OnKeyUp(this, key, shift); }
  void WMPaint(TMessage&) override;
  bool IsControlMouseMsg(TMessage& m);
  void KeyMessage(TMessage& m);
  // A control leaves the model (taken off its parent or destroyed): the focus inside it
  // is lost and no form keeps it as its active control.
  static void ForgetFocus(TWinControl* gone);

 private:
  friend class TControl;
  void UpdateShowing();
  void AlignNow(TControl* control);
  void FixupTabList();
  std::vector<TControl*> FControls;
  std::vector<TWinControl*> FTabList;  // windowed children in tab order
  THandle FHandle;
  bool FShowing = false;
  int FAlignLevel = 0;
  bool FRedrawOff = false;
  bool FCtl3D = true;
  int FTabOrder = -1;  // the value read from a form, until the reader's fix-up
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

// Mouse capture: while a control holds it, every mouse message goes to that control (in its
// client coordinates), wherever the pointer is. A left-button press on a control with
// csCaptureMouse takes it and the left-button release gives it back; a destroyed control
// loses it. nullptr releases it.
void SetCaptureControl(TControl* control);
TControl* GetCaptureControl();
// The control under the pointer as the framework last saw it (nullptr: none). Changing it
// sends CM_MOUSELEAVE to the old control, then CM_MOUSEENTER to the new one; the widgetsets
// change it through DeliverMouse and DeliverMouseLeave (controls/Input.h).
TControl* GetMouseControl();
void SetMouseControl(TControl* control);

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
