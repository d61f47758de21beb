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
  QLineEdit* Line = nullptr;           // Edit: the text field inside the host
  std::vector<QRadioButton*> Radios;   // RadioGroup: one per item
  std::vector<QLabel*> Panels;         // Status: one per panel
  bool Applying = false;  // the widgetset is changing the widget: its signals are not reported
};

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
void DeliverMouseEvent(TQtWidgetSet& ws, const TWindow& w, QMouseEvent* e, bool release, bool dbl);
// Delivers a key to the window as WM_KEYDOWN / WM_KEYUP (and WM_CHAR for typed text).
void DeliverKeyEvent(TQtWidgetSet& ws, const TWindow& w, QKeyEvent* e, bool release);

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
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
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
