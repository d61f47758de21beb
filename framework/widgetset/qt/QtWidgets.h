// The widgets behind the Qt widgetset's windows (internal to the widgetset): the record of
// one window, the painted host widget that hands paint, mouse, keyboard, resize, move,
// close and drop events to the framework, and the group box that paints graphic children.
#pragma once

#include <functional>
#include <vector>

#include <QGroupBox>
#include <QWidget>

#include "framework/controls/Controls.h"

class QLabel;
class QLineEdit;
class QRadioButton;

namespace framework {

class TQtWidgetSet;

namespace qt {

enum class TKind { Painted, Edit, Button, Grid, Progress, Status, GroupBox, RadioGroup };

struct TWindow {
  THandle Handle;
  TKind Kind = TKind::Painted;
  QWidget* Widget = nullptr;  // the window
  bool TopLevel = false;      // a window of its own on the desktop
  uint32_t Style = 0, ExStyle = 0;
  QLineEdit* Line = nullptr;          // Edit: the text field inside the host
  std::vector<QRadioButton*> Radios;  // RadioGroup: one per item
  std::vector<QLabel*> Panels;        // Status: one per panel
  bool Applying = false;      // the widgetset is changing the widget: its signals are not reported
  QObject* Filter = nullptr;  // routes the input of the native widgets (owned by Widget)
  // Button: the framework clicked it for the mouse release or Space key that Qt is about to
  // report as clicked too (a click Qt reports without one, as from click(), is passed on).
  bool SkipClicked = false;
};

// Passes the input of a window's widgets through the framework before they act: mouse
// presses, moves and releases go to DeliverMouse in the window's client coordinates, the
// pointer leaving the window to DeliverMouseLeave, keys to DeliverKey (a key the framework
// used up, such as Tab, never reaches the widget), the focus coming in to DeliverFocus, and
// a tooltip request shows the hint of the control under the pointer. The native widget of
// a designed control never acts on input (the designer sees it through the framework).
class TInputFilter : public QObject {
 public:
  TInputFilter(TQtWidgetSet& ws, THandle handle, QObject* parent);
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  TQtWidgetSet& FWs;
  THandle FHandle;
};

// Installs the window's input filter on a native widget inside it (or on the window's own
// widget), with pointer tracking so that moves arrive without a pressed button.
void RouteInput(TQtWidgetSet& ws, TWindow& w, QWidget* native);

// Runs a handler of the framework for an event that came from Qt: notes the activity, and
// reports an exception through the application's error report instead of letting it
// cross Qt's event dispatch.
void Deliver(TQtWidgetSet& ws, const std::function<void()>& handler);

// The offset of a window's client area inside its widget: the frame of a child window
// (from its styles); nothing for a top-level window, whose frame is the desktop's.
TPoint ClientOrigin(const TWindow& w);

// Paints the visible graphic children of a control on a device (as its parent window's
// painting does), for native containers that paint themselves.
void PaintGraphicChildren(TWinControl& control, TCanvasDevice& device);

// Delivers a Qt mouse event at a widget point to the window (client coordinates).
void DeliverMouseEvent(TQtWidgetSet& ws, const TWindow& w, QMouseEvent* e);
// The same for an event at a point of the window's widget (for events of native widgets
// inside it).
void DeliverMouseEvent(TQtWidgetSet& ws, const TWindow& w, QMouseEvent* e, QPoint widgetPos);
// Delivers a key to the window as WM_KEYDOWN / WM_KEYUP (and WM_CHAR for typed text);
// true when the framework used it up (the native widget must not see it).
bool DeliverKeyEvent(TQtWidgetSet& ws, const TWindow& w, QKeyEvent* e, bool release);

// A window that the framework paints: forms, panels, custom controls, and the host of an
// edit (whose text field lies inside it, beside its graphic children).
class THostWidget : public QWidget {
 public:
  THostWidget(TQtWidgetSet& ws, THandle handle, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void moveEvent(QMoveEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  void DrawFrame(QPainter& p, const TWindow& w);
  // The record is looked up on every event: the window may be destroyed before Qt deletes
  // the widget, and then events are ignored.
  TWindow* Window() const;
  TQtWidgetSet& FWs;
  THandle FHandle;
};

// A native group box that also paints and hit-tests the graphic controls lying on it.
class TGroupBoxWidget : public QGroupBox {
 public:
  TGroupBoxWidget(TQtWidgetSet& ws, THandle handle, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;

 private:
  // The record is looked up on every event: the window may be destroyed before Qt deletes
  // the widget, and then events are ignored.
  TWindow* Window() const;
  TQtWidgetSet& FWs;
  THandle FHandle;
};

}  // namespace qt
}  // namespace framework
