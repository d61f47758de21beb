#include "framework/widgetset/qt/QtWidgetSet.h"

#include <algorithm>
#include <filesystem>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "framework/controls/Forms.h"
#include "framework/messages/Timer.h"
#include "framework/widgetset/qt/QtConvert.h"
#include "framework/widgetset/qt/QtWidgets.h"

namespace framework {

using namespace qt;

namespace {
int GArgc = 1;
char GProgramName[] = "framework";
char* GArgv[] = {GProgramName, nullptr};

}  // namespace

TQtWidgetSet::TQtWidgetSet(int& argc, char** argv) {
  RegisterStandardPeers();
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
  w.Peer = &PeerOf(control.ClassType());
  w.Style = p.Style;
  w.ExStyle = p.ExStyle;
  TWindow* parentWindow = p.WndParent ? Find(p.WndParent) : nullptr;
  QWidget* parent = parentWindow ? parentWindow->Widget : nullptr;
  w.TopLevel = parent == nullptr;
  FWindows[h] = std::move(record);

  w.Widget = w.Peer->Create(*this, w, parent, p);

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
  if (w->Peer->SyncOnText) Sync(*w);  // typed text and model text stay one
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
  if (w->Peer->Painted) {
    TPoint o = ClientOrigin(*w);
    w->Widget->update(ToQRect(r).translated(o.X, o.Y));
  }
  if (w->Peer->Native) FDirty.insert(h);
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

void TQtWidgetSet::Sync(TWindow& w) {
  TWinControl* c = FindControl(w.Handle);
  if (!c) return;
  w.Applying = true;
  QWidget* q = w.Widget;
  QFont font = ToQFont(c->Font().Data());
  if (q->font() != font) q->setFont(font);
  w.Peer->Sync(*this, w, *c);
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
