#include "framework/widgetset/qt/QtWidgets.h"

#include <exception>

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QUrl>

#include "framework/controls/Forms.h"
#include "framework/controls/Input.h"
#include "framework/controls/ToolEdits.h"
#include "framework/widgetset/qt/QtConvert.h"
#include "framework/widgetset/qt/QtWidgetSet.h"

namespace framework::qt {

void Deliver(TQtWidgetSet& ws, const std::function<void()>& handler) {
  ws.NoteActivity();
  try {
    handler();
  } catch (const std::exception& e) {
    Application().HandleException(e);
  }
}

TPoint ClientOrigin(const TWindow& w) {
  if (w.TopLevel) return {0, 0};
  TWinControl* c = FindControl(w.Handle);
  if (!c) return {0, 0};
  TRect f = c->FrameInsets();
  return {f.Left, f.Top};
}

void PaintGraphicChildren(TWinControl& control, TCanvasDevice& device) {
  for (int i = 0; i < control.ControlCount(); ++i) {
    auto* g = dynamic_cast<TGraphicControl*>(control.Controls(i));
    if (!g || !g->Visible()) continue;
    device.SetPaintingControl(g);
    g->Canvas().SetFont(g->Font());
    g->Canvas().SetDevice(&device, {g->Left(), g->Top()}, Rect(0, 0, g->Width(), g->Height()));
    g->Perform(WM_PAINT);
    g->Canvas().SetDevice(nullptr);
  }
}

static TShiftState ShiftOf(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons) {
  TShiftState s;
  if (mods & Qt::ShiftModifier) s.Include(ssShift);
  if (mods & Qt::ControlModifier) s.Include(ssCtrl);
  if (mods & Qt::AltModifier) s.Include(ssAlt);
  if (buttons & Qt::LeftButton) s.Include(ssLeft);
  if (buttons & Qt::RightButton) s.Include(ssRight);
  if (buttons & Qt::MiddleButton) s.Include(ssMiddle);
  return s;
}

void DeliverMouseEvent(TQtWidgetSet& ws, const TWindow& w, QMouseEvent* e) {
  DeliverMouseEvent(ws, w, e, e->position().toPoint());
}

void DeliverMouseEvent(TQtWidgetSet& ws, const TWindow& w, QMouseEvent* e, QPoint p) {
  const bool release = e->type() == QEvent::MouseButtonRelease;
  const bool dbl = e->type() == QEvent::MouseButtonDblClick;
  uint32_t msg = WM_MOUSEMOVE;
  if (e->type() != QEvent::MouseMove) {
    switch (e->button()) {
      case Qt::LeftButton:
        msg = release ? WM_LBUTTONUP : dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
        break;
      case Qt::RightButton:
        msg = release ? WM_RBUTTONUP : WM_RBUTTONDOWN;
        break;
      case Qt::MiddleButton:
        msg = release ? WM_MBUTTONUP : WM_MBUTTONDOWN;
        break;
      default:
        return;
    }
  }
  TPoint o = ClientOrigin(w);
  TShiftState shift = ShiftOf(e->modifiers(), e->buttons());
  THandle h = w.Handle;
  Deliver(ws, [&] { DeliverMouse(h, msg, shift, p.x() - o.X, p.y() - o.Y); });
}

// Virtual-key codes of the keys that have no character of their own.
static int VirtualKey(int key) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return key;  // 'A'..'Z'
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return key;  // '0'..'9'
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 0x70 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Backspace: return 0x08;
    case Qt::Key_Tab: case Qt::Key_Backtab: return 0x09;
    case Qt::Key_Return: case Qt::Key_Enter: return 0x0D;
    case Qt::Key_Shift: return 0x10;
    case Qt::Key_Control: return 0x11;
    case Qt::Key_Alt: return 0x12;
    case Qt::Key_Escape: return 0x1B;
    case Qt::Key_Space: return 0x20;
    case Qt::Key_PageUp: return 0x21;
    case Qt::Key_PageDown: return 0x22;
    case Qt::Key_End: return 0x23;
    case Qt::Key_Home: return 0x24;
    case Qt::Key_Left: return 0x25;
    case Qt::Key_Up: return 0x26;
    case Qt::Key_Right: return 0x27;
    case Qt::Key_Down: return 0x28;
    case Qt::Key_Insert: return 0x2D;
    case Qt::Key_Delete: return 0x2E;
    default: return 0;
  }
}

bool DeliverKeyEvent(TQtWidgetSet& ws, const TWindow& w, QKeyEvent* e, bool release) {
  int vk = VirtualKey(e->key());
  std::string text = FromQString(e->text());
  TShiftState shift = ShiftOf(e->modifiers(), Qt::NoButton);
  THandle h = w.Handle;
  bool used = false;
  Deliver(ws, [&] {
    if (vk) used = DeliverKey(h, release ? WM_KEYUP : WM_KEYDOWN, vk, shift);
    if (!used && !release && text.size() == 1 && static_cast<unsigned char>(text[0]) >= 0x20 &&
        FindControl(h))
      used = DeliverKey(h, WM_CHAR, static_cast<unsigned char>(text[0]), shift);
  });
  return used;
}

// ---- routing the input of native widgets
// ----------------------------------------------------------

TInputFilter::TInputFilter(TQtWidgetSet& ws, THandle handle, QObject* parent)
    : QObject(parent), FWs(ws), FHandle(handle) {}

bool TInputFilter::eventFilter(QObject* watched, QEvent* e) {
  TWindow* w = FWs.Find(FHandle);
  if (!w || !watched->isWidgetType()) return false;
  auto* source = static_cast<QWidget*>(watched);
  switch (e->type()) {
    case QEvent::Leave:
      if (source == w->Widget) {
        THandle h = FHandle;
        Deliver(FWs, [h] { DeliverMouseLeave(h); });
      }
      return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
      // The framework's own painted widgets hand their mouse events over themselves.
      if (dynamic_cast<THostWidget*>(source) || dynamic_cast<TGroupBoxWidget*>(source))
        return false;
      auto* me = static_cast<QMouseEvent*>(e);
      QPoint p = source == w->Widget ? me->position().toPoint()
                                     : source->mapTo(w->Widget, me->position().toPoint());
      if (qobject_cast<QAbstractButton*>(w->Widget))
        w->SkipClicked = e->type() == QEvent::MouseButtonRelease &&
                         me->button() == Qt::LeftButton &&
                         source->rect().contains(me->position().toPoint());
      THandle h = FHandle;
      DeliverMouseEvent(FWs, *w, me, p);
      TWinControl* c = FindControl(h);
      return !c || c->IsDesigning();
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      // A key a focused child ignored comes up to its parents: it was delivered already.
      QWidget* focus = QApplication::focusWidget();
      if (focus && focus != source && source->isAncestorOf(focus)) return false;
      TWinControl* c = FindControl(FHandle);
      if (c && c->IsDesigning()) {  // the designer's: the native widget never acts on it
        DeliverKeyEvent(FWs, *w, static_cast<QKeyEvent*>(e), e->type() == QEvent::KeyRelease);
        return true;
      }
      auto* ke = static_cast<QKeyEvent*>(e);
      if (qobject_cast<QAbstractButton*>(w->Widget) && ke->key() == Qt::Key_Space &&
          !ke->isAutoRepeat())
        w->SkipClicked = e->type() == QEvent::KeyRelease;
      return DeliverKeyEvent(FWs, *w, static_cast<QKeyEvent*>(e), e->type() == QEvent::KeyRelease);
    }
    case QEvent::FocusIn: {
      THandle h = FHandle;
      Deliver(FWs, [h] { DeliverFocus(h); });
      return false;
    }
    case QEvent::ToolTip: {
      auto* he = static_cast<QHelpEvent*>(e);
      TWinControl* c = FindControl(FHandle);
      QPoint p = source == w->Widget ? he->pos() : source->mapTo(w->Widget, he->pos());
      TPoint o = ClientOrigin(*w);
      std::string hint = c ? HintAt(*c, {p.x() - o.X, p.y() - o.Y}) : std::string();
      if (hint.empty())
        QToolTip::hideText();
      else
        QToolTip::showText(he->globalPos(), ToQString(hint), source);
      return true;
    }
    default:
      return false;
  }
}

void RouteInput(TQtWidgetSet& ws, TWindow& w, QWidget* native) {
  if (!w.Filter) w.Filter = new TInputFilter(ws, w.Handle, w.Widget);
  native->installEventFilter(w.Filter);
  native->setMouseTracking(true);
}

// ---- THostWidget ------------------------------------------------------------------------------

THostWidget::THostWidget(TQtWidgetSet& ws, THandle handle, QWidget* parent)
    : QWidget(parent), FWs(ws), FHandle(handle) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
}

TWindow* THostWidget::Window() const { return FWs.Find(FHandle); }

// The non-client frame from the window's styles, in the classic colours.
void THostWidget::DrawFrame(QPainter& p, const TWindow& w) {
  if (w.TopLevel) return;
  QRect r = rect();
  auto edge = [&](QRect q, TColor topLeft, TColor bottomRight) {
    p.setPen(ToQColor(topLeft));
    p.drawLine(q.left(), q.bottom(), q.left(), q.top());
    p.drawLine(q.left(), q.top(), q.right(), q.top());
    p.setPen(ToQColor(bottomRight));
    p.drawLine(q.right(), q.top(), q.right(), q.bottom());
    p.drawLine(q.right(), q.bottom(), q.left(), q.bottom());
  };
  if (w.Style & WS_BORDER) {
    edge(r, clWindowFrame, clWindowFrame);
    r.adjust(1, 1, -1, -1);
  }
  if (w.ExStyle & WS_EX_CLIENTEDGE) {
    edge(r, clBtnShadow, clBtnHighlight);
    r.adjust(1, 1, -1, -1);
    edge(r, cl3DDkShadow, cl3DLight);
  } else if (w.ExStyle & WS_EX_STATICEDGE) {
    edge(r, clBtnShadow, clBtnHighlight);
  }
}

void THostWidget::paintEvent(QPaintEvent*) {
  TWindow* w = Window();
  TWinControl* c = w ? FindControl(FHandle) : nullptr;
  if (!c) return;
  QPainter p(this);
  DrawFrame(p, *w);
  TPoint o = ClientOrigin(*w);
  p.translate(o.X, o.Y);
  TQtPainterDevice device(p);
  try {
    PaintWindow(FHandle, device);
  } catch (const std::exception& e) {
    Application().HandleException(e);
  }
}

void THostWidget::mousePressEvent(QMouseEvent* e) {
  if (TWindow* w = Window()) DeliverMouseEvent(FWs, *w, e);
}
void THostWidget::mouseReleaseEvent(QMouseEvent* e) {
  if (TWindow* w = Window()) DeliverMouseEvent(FWs, *w, e);
}
void THostWidget::mouseDoubleClickEvent(QMouseEvent* e) {
  if (TWindow* w = Window()) DeliverMouseEvent(FWs, *w, e);
}
void THostWidget::mouseMoveEvent(QMouseEvent* e) {
  if (TWindow* w = Window()) DeliverMouseEvent(FWs, *w, e);
}

// A top-level window resized or moved by the user: the control takes the new bounds
// (outer size = client size plus the frame the model computes).
void THostWidget::resizeEvent(QResizeEvent*) {
  TWindow* w = Window();
  if (!w || !w->TopLevel || w->Applying) return;
  THandle h = FHandle;
  QSize s = size();
  Deliver(FWs, [h, s] {
    TWinControl* c = FindControl(h);
    if (!c) return;
    TRect f = c->FrameInsets();
    c->SetBounds(c->Left(), c->Top(), s.width() + f.Left + f.Right, s.height() + f.Top + f.Bottom);
  });
}

void THostWidget::moveEvent(QMoveEvent*) {
  TWindow* w = Window();
  if (!w || !w->TopLevel || w->Applying || !isVisible()) return;
  THandle h = FHandle;
  QPoint pos = this->pos();
  Deliver(FWs, [h, pos] {
    if (TWinControl* c = FindControl(h)) c->SetBounds(pos.x(), pos.y(), c->Width(), c->Height());
  });
}

// Closing a form is the form's decision (OnCloseQuery, OnClose); it hides itself.
void THostWidget::closeEvent(QCloseEvent* e) {
  auto* form = dynamic_cast<TCustomForm*>(FindControl(FHandle));
  if (!form) return QWidget::closeEvent(e);
  e->ignore();
  THandle h = FHandle;
  Deliver(FWs, [h] {
    if (auto* f = dynamic_cast<TCustomForm*>(FindControl(h))) f->Close();
  });
}

void THostWidget::dragEnterEvent(QDragEnterEvent* e) {
  TWindow* w = Window();
  if (w && (w->ExStyle & WS_EX_ACCEPTFILES) && e->mimeData()->hasUrls()) e->acceptProposedAction();
}

// Folders (or files) dropped from the desktop: a directory edit takes the first.
void THostWidget::dropEvent(QDropEvent* e) {
  std::vector<std::string> files;
  for (const QUrl& url : e->mimeData()->urls())
    if (url.isLocalFile()) files.push_back(FromQString(url.toLocalFile()));
  if (files.empty()) return;
  e->acceptProposedAction();
  THandle h = FHandle;
  Deliver(FWs, [h, files] {
    if (auto* d = dynamic_cast<TDirectoryEdit*>(FindControl(h))) d->DropFiles(files);
  });
}

// ---- TGroupBoxWidget ----------------------------------------------------------------------------

TGroupBoxWidget::TGroupBoxWidget(TQtWidgetSet& ws, THandle handle, QWidget* parent)
    : QGroupBox(parent), FWs(ws), FHandle(handle) {}

TWindow* TGroupBoxWidget::Window() const { return FWs.Find(FHandle); }

void TGroupBoxWidget::paintEvent(QPaintEvent* e) {
  QGroupBox::paintEvent(e);
  TWinControl* c = Window() ? FindControl(FHandle) : nullptr;
  if (!c) return;
  QPainter p(this);
  TQtPainterDevice device(p);
  try {
    PaintGraphicChildren(*c, device);
  } catch (const std::exception& ex) {
    Application().HandleException(ex);
  }
}

void TGroupBoxWidget::mousePressEvent(QMouseEvent* e) {
  if (TWindow* w = Window()) DeliverMouseEvent(FWs, *w, e);
}
void TGroupBoxWidget::mouseReleaseEvent(QMouseEvent* e) {
  if (TWindow* w = Window()) DeliverMouseEvent(FWs, *w, e);
}
void TGroupBoxWidget::mouseMoveEvent(QMouseEvent* e) {
  if (TWindow* w = Window()) DeliverMouseEvent(FWs, *w, e);
}

}  // namespace framework::qt
