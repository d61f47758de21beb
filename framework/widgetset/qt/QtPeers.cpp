// The native peers of the standard controls, registered per control class: an edit is a
// painted host with a line edit inside, a button a push button, a string grid a table, a
// progress bar and a status bar Qt's own, group boxes and radio groups a group box that
// also paints the graphic children; every other windowed control is a painted host.
#include <algorithm>
#include <map>

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableWidget>

#include "framework/controls/Buttons.h"
#include "framework/controls/ComCtrls.h"
#include "framework/controls/Grids.h"
#include "framework/controls/StdCtrls.h"
#include "framework/widgetset/qt/QtConvert.h"
#include "framework/widgetset/qt/QtWidgetSet.h"
#include "framework/widgetset/qt/QtWidgets.h"

namespace framework::qt {

namespace {

std::map<const TMetaClass*, TPeerClass>& Peers() {
  static std::map<const TMetaClass*, TPeerClass> peers;
  return peers;
}

void SetPaletteColor(QWidget* w, QPalette::ColorRole role, const QColor& color) {
  QPalette p = w->palette();
  if (p.color(role) == color) return;
  p.setColor(role, color);
  w->setPalette(p);
}

void SyncGrid(TWindow& w, TStringGrid& g) {
  auto* t = static_cast<QTableWidget*>(w.Widget);
  const int header = g.FixedRows() >= 1 ? 1 : 0;
  const TGridOptions o = g.Options();
  if (t->columnCount() != g.ColCount()) t->setColumnCount(g.ColCount());
  if (t->rowCount() != g.RowCount() - header) t->setRowCount(g.RowCount() - header);
  QHeaderView* hh = t->horizontalHeader();
  if (header) {
    QStringList labels;
    for (int c = 0; c < g.ColCount(); ++c) labels << ToQString(g.Cells(c, 0));
    for (int c = 0; c < g.ColCount(); ++c) {
      QTableWidgetItem* item = t->horizontalHeaderItem(c);
      if (!item) t->setHorizontalHeaderItem(c, item = new QTableWidgetItem);
      if (item->text() != labels[c]) item->setText(labels[c]);
    }
    QString sheet = QString("QHeaderView::section { background-color: %1; color: %2; padding-left: 2px;"
                            " border: none; border-right: 1px solid %3; border-bottom: 1px solid %3; }")
                        .arg(ToQColor(g.FixedColor()).name(), ToQColor(g.Font().Color()).name(),
                             ToQColor(clBtnShadow).name());
    if (hh->styleSheet() != sheet) hh->setStyleSheet(sheet);
    hh->setFixedHeight(g.RowHeights(0) + 1);
    hh->show();
  } else {
    hh->hide();
  }
  hh->setSectionResizeMode(o.Contains(goColSizing) ? QHeaderView::Interactive : QHeaderView::Fixed);
  for (int c = 0; c < g.ColCount(); ++c)
    if (t->columnWidth(c) != g.ColWidths(c)) t->setColumnWidth(c, g.ColWidths(c));
  t->verticalHeader()->setDefaultSectionSize(g.DefaultRowHeight() + 1);
  t->setShowGrid(o.Contains(goVertLine) || o.Contains(goHorzLine));
  t->setTabKeyNavigation(o.Contains(goTabs));
  const bool editing = o.Contains(goEditing);
  t->setEditTriggers(editing ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::AnyKeyPressed
                             : QAbstractItemView::NoEditTriggers);
  t->setSelectionMode(o.Contains(goRangeSelect) ? QAbstractItemView::ContiguousSelection
                                                : QAbstractItemView::SingleSelection);
  t->setSelectionBehavior(o.Contains(goRowSelect) ? QAbstractItemView::SelectRows
                                                  : QAbstractItemView::SelectItems);
  for (int r = header; r < g.RowCount(); ++r) {
    for (int c = 0; c < g.ColCount(); ++c) {
      QTableWidgetItem* item = t->item(r - header, c);
      if (!item) t->setItem(r - header, c, item = new QTableWidgetItem);
      QString text = ToQString(g.Cells(c, r));
      if (item->text() != text) item->setText(text);
      QColor back = ToQColor(g.CellColor(c, r));
      if (item->background().color() != back || item->background().style() != Qt::SolidPattern)
        item->setBackground(back);
      Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
      if (editing && !g.ColReadOnly(c) && r >= g.FixedRows() && c >= g.FixedCols()) flags |= Qt::ItemIsEditable;
      if (item->flags() != flags) item->setFlags(flags);
    }
  }
}

void SyncStatus(TWindow& w, TStatusBar& s) {
  auto* bar = static_cast<QStatusBar*>(w.Widget);
  bar->setSizeGripEnabled(s.SizeGrip());
  const int n = s.Panels()->Count();
  while (static_cast<int>(w.Panels.size()) > n) {
    delete w.Panels.back();
    w.Panels.pop_back();
  }
  while (static_cast<int>(w.Panels.size()) < n) {
    auto* label = new QLabel(bar);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar->addWidget(label, 0);
    w.Panels.push_back(label);
  }
  for (int i = 0; i < n; ++i) {
    TStatusPanel* p = s.Panel(i);
    QLabel* label = w.Panels[i];
    label->setText(ToQString(p->Text()));
    label->setAlignment(p->Alignment() == taRightJustify ? Qt::AlignRight | Qt::AlignVCenter
                        : p->Alignment() == taCenter     ? Qt::AlignCenter
                                                         : Qt::AlignLeft | Qt::AlignVCenter);
    label->setFixedWidth(std::max(0, p->Width()));
    label->setVisible(!s.SimplePanel());
  }
  if (s.SimplePanel())
    bar->showMessage(ToQString(s.SimpleText()));
  else
    bar->clearMessage();
}

void SyncRadioGroup(TQtWidgetSet& ws, TWindow& w, TRadioGroup& g) {
  auto* box = static_cast<QGroupBox*>(w.Widget);
  const int n = g.Items()->Count();
  while (static_cast<int>(w.Radios.size()) > n) {
    delete w.Radios.back();
    w.Radios.pop_back();
  }
  while (static_cast<int>(w.Radios.size()) < n) {
    auto* radio = new QRadioButton(box);
    RouteInput(ws, w, radio);
    const int index = static_cast<int>(w.Radios.size());
    const THandle h = w.Handle;
    QObject::connect(radio, &QRadioButton::toggled, radio, [&ws, h, index](bool checked) {
      TWindow* win = ws.Find(h);
      if (!checked || !win || win->Applying) return;
      Deliver(ws, [h, index] {
        if (auto* rg = dynamic_cast<TRadioGroup*>(FindControl(h))) rg->SetItemIndex(index);
      });
    });
    radio->show();
    w.Radios.push_back(radio);
  }
  for (int i = 0; i < n; ++i) {
    QRadioButton* radio = w.Radios[i];
    radio->setText(ToQString(g.Items()->Strings(i)));
    radio->setGeometry(ToQRect(g.ItemRect(i)));
    // No item chosen means no button checked, which exclusive buttons do not allow.
    radio->setAutoExclusive(false);
    radio->setChecked(i == g.ItemIndex());
    radio->setAutoExclusive(true);
  }
}

// ---- creating the peers ----------------------------------------------------------------------------

QWidget* CreatePainted(TQtWidgetSet& ws, TWindow& w, QWidget* parent, const TCreateParams& p) {
  auto* host = new THostWidget(ws, w.Handle, parent);
  if (p.Style & WS_TABSTOP) host->setFocusPolicy(Qt::StrongFocus);
  return host;
}

void SyncPainted(TQtWidgetSet&, TWindow& w, TWinControl&) { w.Widget->update(); }

QWidget* CreateEdit(TQtWidgetSet& ws, TWindow& w, QWidget* parent, const TCreateParams&) {
  auto* host = new THostWidget(ws, w.Handle, parent);
  w.Widget = host;  // the input filter is parented to the window's widget
  w.Line = new QLineEdit(host);
  w.Line->setFrame(false);
  host->setFocusProxy(w.Line);
  host->setFocusPolicy(Qt::StrongFocus);
  THandle h = w.Handle;
  QObject::connect(w.Line, &QLineEdit::textEdited, w.Line, [&ws, h](const QString& text) {
    Deliver(ws, [h, s = FromQString(text)] {
      if (TWinControl* c = FindControl(h)) c->SetText(s);
    });
  });
  RouteInput(ws, w, w.Line);
  return host;
}

void SyncEdit(TQtWidgetSet&, TWindow& w, TWinControl& c) {
  auto& e = static_cast<TEdit&>(c);
  // The text field fills the client area beside the aligned graphic children (the
  // browse button of a combo edit).
  TPoint o = ClientOrigin(w);
  int left = 0, right = c.ClientWidth();
  for (int i = 0; i < c.ControlCount(); ++i) {
    auto* g = dynamic_cast<TGraphicControl*>(c.Controls(i));
    if (!g || !g->Visible()) continue;
    if (g->Align() == alRight) right = std::min(right, g->Left());
    if (g->Align() == alLeft) left = std::max(left, g->Left() + g->Width());
  }
  w.Line->setGeometry(o.X + left + 1, o.Y, std::max(0, right - left - 1), c.ClientHeight());
  SetPaletteColor(w.Line, QPalette::Base, ToQColor(c.Color()));
  SetPaletteColor(w.Line, QPalette::Text, ToQColor(c.Font().Color()));
  w.Line->setReadOnly(e.ReadOnly());
  w.Line->setMaxLength(e.MaxLength() > 0 ? e.MaxLength() : 32767);
  QString text = ToQString(c.Text());
  if (w.Line->text() != text) w.Line->setText(text);
  w.Widget->update();
}

QWidget* CreateButton(TQtWidgetSet& ws, TWindow& w, QWidget* parent, const TCreateParams&) {
  // Mouse and Space clicks come from the framework's handling of the input; Qt's clicked
  // signal then only passes on clicks made otherwise.
  auto* b = new QPushButton(parent);
  THandle h = w.Handle;
  QObject::connect(b, &QPushButton::clicked, b, [&ws, h] {
    TWindow* win = ws.Find(h);
    if (!win) return;
    if (win->SkipClicked) {
      win->SkipClicked = false;
      return;
    }
    Deliver(ws, [h] {
      if (TWinControl* c = FindControl(h)) c->Click();
    });
  });
  return b;
}

void SyncButton(TQtWidgetSet&, TWindow& w, TWinControl& c) {
  auto* b = static_cast<QPushButton*>(w.Widget);
  b->setText(ToQString(c.Caption()));
  b->setDefault(static_cast<TButton&>(c).Default());
}

// A native check box; the framework's handling of mouse and Space toggles the model, and
// the box then shows the model's state (Qt's own toggle is undone by the next sync).
QWidget* CreateCheckBox(TQtWidgetSet& ws, TWindow& w, QWidget* parent, const TCreateParams&) {
  auto* b = new QCheckBox(parent);
  THandle h = w.Handle;
  QObject::connect(b, &QCheckBox::clicked, b, [&ws, h, b] {
    TWindow* win = ws.Find(h);
    if (!win) return;
    if (win->SkipClicked) {
      win->SkipClicked = false;
    } else {
      Deliver(ws, [h] {
        if (TWinControl* c = FindControl(h)) c->Click();
      });
    }
    if (auto* c = dynamic_cast<TCheckBox*>(FindControl(h))) {
      win->Applying = true;
      b->setChecked(c->Checked());
      win->Applying = false;
    }
  });
  return b;
}

void SyncCheckBox(TQtWidgetSet&, TWindow& w, TWinControl& c) {
  auto* b = static_cast<QCheckBox*>(w.Widget);
  b->setText(ToQString(c.Caption()));
  const bool checked = static_cast<TCheckBox&>(c).Checked();
  if (b->isChecked() != checked) b->setChecked(checked);
}

QWidget* CreateGrid(TQtWidgetSet& ws, TWindow& w, QWidget* parent, const TCreateParams&) {
  auto* t = new QTableWidget(parent);
  t->verticalHeader()->hide();
  t->verticalHeader()->setMinimumSectionSize(1);
  t->horizontalHeader()->setMinimumSectionSize(1);
  t->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  t->horizontalHeader()->setHighlightSections(false);
  THandle h = w.Handle;
  QObject::connect(t->horizontalHeader(), &QHeaderView::sectionResized, t,
                   [&ws, h](int col, int, int size) {
                     TWindow* win = ws.Find(h);
                     if (!win || win->Applying) return;
                     Deliver(ws, [h, col, size] {
                       if (auto* g = dynamic_cast<TStringGrid*>(FindControl(h)))
                         if (col < g->ColCount()) g->SetColWidth(col, size);
                     });
                   });
  QObject::connect(t, &QTableWidget::cellChanged, t, [&ws, h, t](int row, int col) {
    TWindow* win = ws.Find(h);
    if (!win || win->Applying) return;
    QTableWidgetItem* item = t->item(row, col);
    std::string text = item ? FromQString(item->text()) : std::string();
    Deliver(ws, [h, row, col, text] {
      auto* g = dynamic_cast<TStringGrid*>(FindControl(h));
      if (!g) return;
      int r = row + (g->FixedRows() >= 1 ? 1 : 0);
      if (r < g->RowCount() && col < g->ColCount() && !g->ColReadOnly(col)) g->SetCell(col, r, text);
    });
  });
  w.Widget = t;  // the input filter is parented to the window's widget
  RouteInput(ws, w, t->viewport());
  RouteInput(ws, w, t->horizontalHeader()->viewport());
  return t;
}

void SyncGridPeer(TQtWidgetSet&, TWindow& w, TWinControl& c) {
  SetPaletteColor(w.Widget, QPalette::Base, ToQColor(c.Color()));
  SyncGrid(w, static_cast<TStringGrid&>(c));
}

QWidget* CreateProgress(TQtWidgetSet&, TWindow&, QWidget* parent, const TCreateParams&) {
  auto* b = new QProgressBar(parent);
  b->setTextVisible(false);
  return b;
}

void SyncProgress(TQtWidgetSet&, TWindow& w, TWinControl& c) {
  auto& p = static_cast<TProgressBar&>(c);
  auto* b = static_cast<QProgressBar*>(w.Widget);
  b->setRange(std::min(p.Min(), p.Max()), std::max(p.Min(), p.Max()));
  b->setValue(p.Position());
}

QWidget* CreateStatus(TQtWidgetSet&, TWindow&, QWidget* parent, const TCreateParams&) {
  auto* bar = new QStatusBar(parent);
  bar->setAutoFillBackground(true);
  return bar;
}

void SyncStatusPeer(TQtWidgetSet&, TWindow& w, TWinControl& c) {
  SetPaletteColor(w.Widget, QPalette::Window, ToQColor(c.Color()));
  SyncStatus(w, static_cast<TStatusBar&>(c));
}

QWidget* CreateGroupBox(TQtWidgetSet& ws, TWindow& w, QWidget* parent, const TCreateParams&) {
  return new TGroupBoxWidget(ws, w.Handle, parent);
}

void SyncGroupBox(TQtWidgetSet&, TWindow& w, TWinControl& c) {
  static_cast<QGroupBox*>(w.Widget)->setTitle(ToQString(c.Caption()));
  w.Widget->update();
}

void SyncRadioGroupPeer(TQtWidgetSet& ws, TWindow& w, TWinControl& c) {
  static_cast<QGroupBox*>(w.Widget)->setTitle(ToQString(c.Caption()));
  SyncRadioGroup(ws, w, static_cast<TRadioGroup&>(c));
}

}  // namespace

void RegisterPeer(const TMetaClass& cls, TPeerClass peer) { Peers()[&cls] = std::move(peer); }

const TPeerClass& PeerOf(const TMetaClass& cls) {
  auto& peers = Peers();
  for (const TMetaClass* c = &cls; c; c = c->ClassParent())
    if (auto it = peers.find(c); it != peers.end()) return it->second;
  static const TPeerClass painted{CreatePainted, SyncPainted, true, false, false};
  return painted;
}

void RegisterStandardPeers() {
  static const bool done = [] {
    RegisterPeer(TWinControl::StaticClass(), {CreatePainted, SyncPainted, true, false, false});
    RegisterPeer(TEdit::StaticClass(), {CreateEdit, SyncEdit, true, true, true});
    RegisterPeer(TButton::StaticClass(), {CreateButton, SyncButton, false, true, false});
    RegisterPeer(TCheckBox::StaticClass(), {CreateCheckBox, SyncCheckBox, false, true, false});
    RegisterPeer(TStringGrid::StaticClass(), {CreateGrid, SyncGridPeer, false, true, false});
    RegisterPeer(TProgressBar::StaticClass(), {CreateProgress, SyncProgress, false, true, false});
    RegisterPeer(TStatusBar::StaticClass(), {CreateStatus, SyncStatusPeer, false, true, false});
    RegisterPeer(TGroupBox::StaticClass(), {CreateGroupBox, SyncGroupBox, false, true, false});
    RegisterPeer(TRadioGroup::StaticClass(), {CreateGroupBox, SyncRadioGroupPeer, false, true, false});
    return true;
  }();
  (void)done;
}

}  // namespace framework::qt
