#include "framework/widgetset/qt/QtWidgetSet.h"

#include <algorithm>
#include <filesystem>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>

#include "framework/controls/Buttons.h"
#include "framework/controls/ComCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/Grids.h"
#include "framework/controls/StdCtrls.h"
#include "framework/messages/Timer.h"
#include "framework/widgetset/qt/QtConvert.h"
#include "framework/widgetset/qt/QtWidgets.h"

namespace framework {

using namespace qt;

namespace {
int GArgc = 1;
char GProgramName[] = "framework";
char* GArgv[] = {GProgramName, nullptr};

TKind KindOf(TWinControl& c) {
  if (dynamic_cast<TEdit*>(&c)) return TKind::Edit;
  if (dynamic_cast<TButton*>(&c)) return TKind::Button;
  if (dynamic_cast<TStringGrid*>(&c)) return TKind::Grid;
  if (dynamic_cast<TProgressBar*>(&c)) return TKind::Progress;
  if (dynamic_cast<TStatusBar*>(&c)) return TKind::Status;
  if (dynamic_cast<TRadioGroup*>(&c)) return TKind::RadioGroup;
  if (dynamic_cast<TGroupBox*>(&c)) return TKind::GroupBox;
  return TKind::Painted;
}

void SetPaletteColor(QWidget* w, QPalette::ColorRole role, const QColor& color) {
  QPalette p = w->palette();
  if (p.color(role) == color) return;
  p.setColor(role, color);
  w->setPalette(p);
}
}  // namespace

TQtWidgetSet::TQtWidgetSet(int& argc, char** argv) {
  if (!QApplication::instance()) FOwnedApp = std::make_unique<QApplication>(argc, argv);
}

TQtWidgetSet::TQtWidgetSet() : TQtWidgetSet(GArgc, GArgv) {}

TQtWidgetSet::~TQtWidgetSet() {
  // Windows the framework still holds lose their widgets with the application.
  std::vector<QWidget*> tops;
  for (auto& [h, w] : FWindows)
    if (w->TopLevel) tops.push_back(w->Widget);
  FWindows.clear();
  for (QWidget* w : tops) delete w;
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TWindow* TQtWidgetSet::Find(THandle h) const {
  auto it = FWindows.find(h);
  return it == FWindows.end() ? nullptr : it->second.get();
}

QWidget* TQtWidgetSet::Widget(THandle h) const {
  TWindow* w = Find(h);
  return w ? w->Widget : nullptr;
}

// ---- windows ------------------------------------------------------------------------------------

void TQtWidgetSet::CreateWindow(THandle h, TWinControl& control, const TCreateParams& p) {
  auto record = std::make_unique<TWindow>();
  TWindow& w = *record;
  w.Handle = h;
  w.Kind = KindOf(control);
  w.Style = p.Style;
  w.ExStyle = p.ExStyle;
  TWindow* parentWindow = p.WndParent ? Find(p.WndParent) : nullptr;
  QWidget* parent = parentWindow ? parentWindow->Widget : nullptr;
  w.TopLevel = parent == nullptr;
  FWindows[h] = std::move(record);

  switch (w.Kind) {
    case TKind::Painted:
      w.Widget = new THostWidget(*this, h, parent);
      if (p.Style & WS_TABSTOP) w.Widget->setFocusPolicy(Qt::StrongFocus);
      break;
    case TKind::Edit: {
      w.Widget = new THostWidget(*this, h, parent);
      w.Line = new QLineEdit(w.Widget);
      w.Line->setFrame(false);
      w.Widget->setFocusProxy(w.Line);
      w.Widget->setFocusPolicy(Qt::StrongFocus);
      QObject::connect(w.Line, &QLineEdit::textEdited, w.Line, [this, h](const QString& text) {
        Deliver(*this, [h, s = FromQString(text)] {
          if (TWinControl* c = FindControl(h)) c->SetText(s);
        });
      });
      break;
    }
    case TKind::Button: {
      // Mouse and Space clicks come from the framework's handling of the input; Qt's
      // clicked signal then only passes on clicks made otherwise.
      auto* b = new QPushButton(parent);
      w.Widget = b;
      QObject::connect(b, &QPushButton::clicked, b, [this, h] {
        TWindow* win = Find(h);
        if (!win) return;
        if (win->SkipClicked) {
          win->SkipClicked = false;
          return;
        }
        Deliver(*this, [h] {
          if (TWinControl* c = FindControl(h)) c->Click();
        });
      });
      break;
    }
    case TKind::Grid: {
      auto* t = new QTableWidget(parent);
      w.Widget = t;
      t->verticalHeader()->hide();
      t->verticalHeader()->setMinimumSectionSize(1);
      t->horizontalHeader()->setMinimumSectionSize(1);
      t->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      t->horizontalHeader()->setHighlightSections(false);
      QObject::connect(t->horizontalHeader(), &QHeaderView::sectionResized, t,
                       [this, h](int col, int, int size) {
                         TWindow* win = Find(h);
                         if (!win || win->Applying) return;
                         Deliver(*this, [h, col, size] {
                           if (auto* g = dynamic_cast<TStringGrid*>(FindControl(h)))
                             if (col < g->ColCount()) g->SetColWidth(col, size);
                         });
                       });
      QObject::connect(t, &QTableWidget::cellChanged, t, [this, h, t](int row, int col) {
        TWindow* win = Find(h);
        if (!win || win->Applying) return;
        QTableWidgetItem* item = t->item(row, col);
        std::string text = item ? FromQString(item->text()) : std::string();
        Deliver(*this, [h, row, col, text] {
          auto* g = dynamic_cast<TStringGrid*>(FindControl(h));
          if (!g) return;
          int r = row + (g->FixedRows() >= 1 ? 1 : 0);
          if (r < g->RowCount() && col < g->ColCount() && !g->ColReadOnly(col)) g->SetCell(col, r, text);
        });
      });
      break;
    }
    case TKind::Progress: {
      auto* b = new QProgressBar(parent);
      b->setTextVisible(false);
      w.Widget = b;
      break;
    }
    case TKind::Status:
      w.Widget = new QStatusBar(parent);
      w.Widget->setAutoFillBackground(true);
      break;
    case TKind::GroupBox:
    case TKind::RadioGroup:
      w.Widget = new TGroupBoxWidget(*this, h, parent);
      break;
  }

  if (w.TopLevel) {
    w.Widget->setWindowTitle(ToQString(p.Caption));
    w.Applying = true;
    w.Widget->move(p.X, p.Y);
    TRect client = control.ClientRect();
    w.Widget->resize(client.Width(), client.Height());
    w.Applying = false;
  } else {
    PlaceChild(w, Bounds(p.X, p.Y, p.Width, p.Height));
    w.Widget->hide();  // until the framework shows it
  }
  // Every window's input passes through the framework first (the native widgets inside
  // it included).
  RouteInput(*this, w, w.Widget);
  if (w.Line) RouteInput(*this, w, w.Line);
  if (auto* table = qobject_cast<QTableWidget*>(w.Widget)) {
    RouteInput(*this, w, table->viewport());
    RouteInput(*this, w, table->horizontalHeader()->viewport());
  }
  w.Widget->setEnabled((p.Style & WS_DISABLED) == 0);
  if (p.ExStyle & WS_EX_ACCEPTFILES) {
    w.Widget->setAcceptDrops(true);
    if (w.Line) w.Line->setAcceptDrops(false);  // a drop on the text goes to the edit
  }
  FDirty.insert(h);
}

void TQtWidgetSet::DestroyWindow(THandle h) {
  auto it = FWindows.find(h);
  if (it == FWindows.end()) return;
  QWidget* widget = it->second->Widget;
  FWindows.erase(it);
  FDirty.erase(h);
  // The widget may be the sender of the signal whose handler destroyed the control:
  // Qt deletes it once the event is done.
  widget->hide();
  widget->deleteLater();
}

// A child's bounds are in its parent's client coordinates; the parent's frame lies
// around its client area inside the parent widget.
void TQtWidgetSet::PlaceChild(TWindow& w, const TRect& r) {
  TPoint o{0, 0};
  if (TWinControl* c = FindControl(w.Handle); c && c->Parent())
    if (TWindow* pw = c->Parent()->HandleAllocated() ? Find(c->Parent()->Handle()) : nullptr)
      o = ClientOrigin(*pw);
  w.Applying = true;
  w.Widget->setGeometry(r.Left + o.X, r.Top + o.Y, r.Width(), r.Height());
  w.Applying = false;
}

void TQtWidgetSet::SetBounds(THandle h, const TRect& r) {
  TWindow* w = Find(h);
  if (!w) return;
  if (w->TopLevel) {
    TWinControl* c = FindControl(h);
    w->Applying = true;
    w->Widget->move(r.Left, r.Top);
    if (c) w->Widget->resize(c->ClientWidth(), c->ClientHeight());
    w->Applying = false;
  } else {
    PlaceChild(*w, r);
  }
  FDirty.insert(h);
}

void TQtWidgetSet::SetVisible(THandle h, bool visible) {
  TWindow* w = Find(h);
  if (!w) return;
  if (visible) {
    Sync(*w);
    if (w->TopLevel) {
      if (auto* form = dynamic_cast<TCustomForm*>(FindControl(h)))
        w->Widget->setWindowModality(form->Modal() ? Qt::ApplicationModal : Qt::NonModal);
    }
  }
  w->Applying = true;
  w->Widget->setVisible(visible);
  w->Applying = false;
}

void TQtWidgetSet::SetText(THandle h, const std::string& text) {
  TWindow* w = Find(h);
  if (!w) return;
  if (w->TopLevel) w->Widget->setWindowTitle(ToQString(text));
  FDirty.insert(h);
  if (w->Kind == TKind::Edit) Sync(*w);  // typed text and model text stay one
}

void TQtWidgetSet::SetEnabled(THandle h, bool enabled) {
  if (TWindow* w = Find(h)) w->Widget->setEnabled(enabled);
}

// The windowed children of the parent lie in child-list order, the last in front.
void TQtWidgetSet::ZOrderChanged(THandle h) {
  TWinControl* c = FindControl(h);
  if (!c || !c->Parent()) return;
  TWinControl* parent = c->Parent();
  for (int i = 0; i < parent->ControlCount(); ++i)
    if (auto* child = dynamic_cast<TWinControl*>(parent->Controls(i)); child && child->HandleAllocated())
      if (TWindow* cw = Find(child->Handle())) cw->Widget->raise();
}

void TQtWidgetSet::Invalidate(THandle h, const TRect& r) {
  TWindow* w = Find(h);
  if (!w) return;
  if (w->Kind == TKind::Painted || w->Kind == TKind::Edit) {
    TPoint o = ClientOrigin(*w);
    w->Widget->update(ToQRect(r).translated(o.X, o.Y));
  }
  if (w->Kind != TKind::Painted) FDirty.insert(h);
}

void TQtWidgetSet::Update(THandle h) {
  TWindow* w = Find(h);
  if (!w) return;
  if (FDirty.erase(h)) Sync(*w);
  if (w->Widget->isVisible()) w->Widget->repaint();
}

void TQtWidgetSet::SetRedraw(THandle h, bool on) {
  if (TWindow* w = Find(h)) w->Widget->setUpdatesEnabled(on);
}

// The focus is the framework's: Tab, Shift+Tab and focus changes are decided there and
// mirrored here. A painted window that takes the focus accepts it from the keyboard.
void TQtWidgetSet::SetFocus(THandle h) {
  TWindow* w = Find(h);
  if (!w) return;
  if (w->Widget->focusPolicy() == Qt::NoFocus) w->Widget->setFocusPolicy(Qt::ClickFocus);
  w->Widget->setFocus(Qt::OtherFocusReason);
}

// ---- copying the model into native widgets ------------------------------------------------------

void TQtWidgetSet::SyncPending() {
  while (!FDirty.empty()) {
    THandle h = *FDirty.begin();
    FDirty.erase(FDirty.begin());
    if (TWindow* w = Find(h)) Sync(*w);
  }
}

static void SyncGrid(TWindow& w, TStringGrid& g) {
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

static void SyncStatus(TWindow& w, TStatusBar& s) {
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

static void SyncRadioGroup(TQtWidgetSet& ws, TWindow& w, TRadioGroup& g) {
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

void TQtWidgetSet::Sync(TWindow& w) {
  TWinControl* c = FindControl(w.Handle);
  if (!c) return;
  w.Applying = true;
  QWidget* q = w.Widget;
  QFont font = ToQFont(c->Font().Data());
  if (q->font() != font) q->setFont(font);
  switch (w.Kind) {
    case TKind::Painted:
      q->update();
      break;
    case TKind::Edit: {
      auto* e = static_cast<TEdit*>(c);
      // The text field fills the client area beside the aligned graphic children (the
      // browse button of a combo edit).
      TPoint o = ClientOrigin(w);
      int left = 0, right = c->ClientWidth();
      for (int i = 0; i < c->ControlCount(); ++i) {
        auto* g = dynamic_cast<TGraphicControl*>(c->Controls(i));
        if (!g || !g->Visible()) continue;
        if (g->Align() == alRight) right = std::min(right, g->Left());
        if (g->Align() == alLeft) left = std::max(left, g->Left() + g->Width());
      }
      w.Line->setGeometry(o.X + left + 1, o.Y, std::max(0, right - left - 1), c->ClientHeight());
      SetPaletteColor(w.Line, QPalette::Base, ToQColor(c->Color()));
      SetPaletteColor(w.Line, QPalette::Text, ToQColor(c->Font().Color()));
      w.Line->setReadOnly(e->ReadOnly());
      w.Line->setMaxLength(e->MaxLength() > 0 ? e->MaxLength() : 32767);
      QString text = ToQString(c->Text());
      if (w.Line->text() != text) w.Line->setText(text);
      q->update();
      break;
    }
    case TKind::Button:
      static_cast<QPushButton*>(q)->setText(ToQString(c->Caption()));
      static_cast<QPushButton*>(q)->setDefault(static_cast<TButton*>(c)->Default());
      break;
    case TKind::Grid:
      SetPaletteColor(q, QPalette::Base, ToQColor(c->Color()));
      SyncGrid(w, *static_cast<TStringGrid*>(c));
      break;
    case TKind::Progress: {
      auto* p = static_cast<TProgressBar*>(c);
      auto* b = static_cast<QProgressBar*>(q);
      b->setRange(std::min(p->Min(), p->Max()), std::max(p->Min(), p->Max()));
      b->setValue(p->Position());
      break;
    }
    case TKind::Status:
      SetPaletteColor(q, QPalette::Window, ToQColor(c->Color()));
      SyncStatus(w, *static_cast<TStatusBar*>(c));
      break;
    case TKind::GroupBox:
      static_cast<QGroupBox*>(q)->setTitle(ToQString(c->Caption()));
      q->update();
      break;
    case TKind::RadioGroup:
      static_cast<QGroupBox*>(q)->setTitle(ToQString(c->Caption()));
      SyncRadioGroup(*this, w, *static_cast<TRadioGroup*>(c));
      break;
  }
  w.Applying = false;
}

// ---- event loop ---------------------------------------------------------------------------------

bool TQtWidgetSet::ProcessEvents() {
  SyncPending();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  FActivity = false;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  SyncPending();
  bool did = FActivity;
  FActivity = false;
  return did;
}

// Blocks until Qt has something or the framework's next timer is due. Nothing can arrive
// when no window is shown and no timer runs.
bool TQtWidgetSet::WaitEvents() {
  SyncPending();
  int64_t due = TTimer::NextDueIn();
  bool anyShown = false;
  for (auto& [h, w] : FWindows) anyShown = anyShown || (w->TopLevel && w->Widget->isVisible());
  if (!anyShown && due < 0) return false;
  QTimer wake;
  if (due >= 0) {
    wake.setSingleShot(true);
    wake.start(static_cast<int>(std::min<int64_t>(due, INT32_MAX)));
  }
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  return true;
}

// ---- metrics ------------------------------------------------------------------------------------

int TQtWidgetSet::TextWidth(const TFontData& font, const std::string& text) {
  return QFontMetrics(ToQFont(font)).horizontalAdvance(ToQString(text));
}

int TQtWidgetSet::TextHeight(const TFontData& font, const std::string&) {
  return QFontMetrics(ToQFont(font)).height();
}

TSize TQtWidgetSet::ScreenSize() {
  QScreen* s = QGuiApplication::primaryScreen();
  if (!s) return TWidgetSet::ScreenSize();
  return {s->size().width(), s->size().height()};
}

// ---- dialogs ------------------------------------------------------------------------------------

TModalResult TQtWidgetSet::MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) {
  SyncPending();
  QMessageBox box;
  box.setWindowTitle(ToQString(Application().Title().empty() ? std::string("Message") : Application().Title()));
  box.setText(ToQString(text));
  switch (type) {
    case mtWarning: box.setIcon(QMessageBox::Warning); break;
    case mtError: box.setIcon(QMessageBox::Critical); break;
    case mtInformation: box.setIcon(QMessageBox::Information); break;
    case mtConfirmation: box.setIcon(QMessageBox::Question); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
  }
  static const std::pair<TMsgDlgBtn, QMessageBox::StandardButton> kButtons[] = {
      {mbYes, QMessageBox::Yes},       {mbNo, QMessageBox::No},
      {mbOK, QMessageBox::Ok},         {mbCancel, QMessageBox::Cancel},
      {mbAbort, QMessageBox::Abort},   {mbRetry, QMessageBox::Retry},
      {mbIgnore, QMessageBox::Ignore}, {mbAll, QMessageBox::YesToAll},
      {mbNoToAll, QMessageBox::NoToAll}, {mbYesToAll, QMessageBox::YesToAll},
      {mbHelp, QMessageBox::Help}};
  std::vector<std::pair<QAbstractButton*, TMsgDlgBtn>> made;
  for (const auto& [mb, sb] : kButtons)
    if (buttons.Contains(mb) && !box.button(sb)) made.push_back({box.addButton(sb), mb});
  if (made.empty()) made.push_back({box.addButton(QMessageBox::Ok), mbOK});
  box.exec();
  for (const auto& [button, mb] : made)
    if (box.clickedButton() == button) return ModalResultOf(mb);
  return buttons.Contains(mbCancel) ? mrCancel : buttons.Contains(mbNo) ? mrNo : ModalResultOf(made.front().second);
}

// "Description|pattern;pattern|..." becomes Qt's "Description (pattern pattern);;...".
static QString QtFilter(const std::string& filter) {
  QStringList parts = ToQString(filter).split('|');
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    out << parts[i] + " (" + patterns + ")";
  }
  return out.join(";;");
}

bool TQtWidgetSet::OpenFileDialog(TFileDialogRequest& r) {
  SyncPending();
  QFileDialog dialog(QApplication::activeWindow(), ToQString(r.Title), ToQString(r.InitialDir),
                     QtFilter(r.Filter));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(r.MustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  if (!r.FileName.empty()) dialog.selectFile(ToQString(r.FileName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  std::string chosen = FromQString(dialog.selectedFiles().front());
  if (r.PathMustExist && !std::filesystem::is_directory(std::filesystem::path(chosen).parent_path())) return false;
  r.FileName = chosen;
  return true;
}

bool TQtWidgetSet::SelectDirectory(TDirectoryDialogRequest& r) {
  SyncPending();
  QFileDialog dialog(QApplication::activeWindow(), ToQString(r.Title), ToQString(r.Directory));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  // Without permission to create, the dialog offers no new folder.
  dialog.setOption(QFileDialog::ReadOnly, !r.AllowCreate);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  r.Directory = FromQString(dialog.selectedFiles().front());
  return true;
}

void TQtWidgetSet::ModalEnded(TCustomForm& form) {
  if (form.HandleAllocated())
    if (TWindow* w = Find(form.Handle())) w->Widget->setWindowModality(Qt::NonModal);
}

// ---- screenshots --------------------------------------------------------------------------------

bool TQtWidgetSet::SaveScreenshot(THandle h, const std::string& fileName) {
  TWindow* w = Find(h);
  if (!w) return false;
  SyncPending();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  std::error_code e;
  std::filesystem::path dir = std::filesystem::path(fileName).parent_path();
  if (!dir.empty()) std::filesystem::create_directories(dir, e);
  QPixmap image = w->Widget->grab();
  return !image.isNull() && image.save(ToQString(fileName), "PNG");
}

}  // namespace framework
