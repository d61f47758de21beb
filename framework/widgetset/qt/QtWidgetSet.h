// The Qt 6 widgetset. A windowed control's handle is a QWidget made when the framework
// creates the window and deleted when it destroys it; bounds, visibility, z-order, text,
// colours and fonts are copied from the control objects (the model), never computed here.
//
// Kinds of window: edits, buttons, string grids, progress bars, status bars, group boxes
// and radio groups are native Qt widgets (a line edit, a push button, a table, ...) whose
// state is copied from the control when it is invalidated; every other windowed control
// (forms, panels, custom controls) is a plain widget that the framework paints through
// its canvas, together with its graphic children, which it also hit-tests. Mouse, keyboard,
// resizing and moving by the user, closing, typed text, clicks, column resizing and dropped
// folders go back into the framework.
//
// The framework drives the event loop: ProcessEvents copies pending changes into the
// native widgets and runs what Qt has pending; WaitEvents blocks until Qt has input or the
// framework's next timer is due. Qt never runs a loop of its own, except the modal loops
// of its own dialogs (message boxes, file and folder dialogs).
#pragma once

#include <QMenu>
#include <QPointer>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "framework/widgetset/WidgetSet.h"

class QApplication;
class QWidget;

namespace framework {

namespace qt {
class THostWidget;
struct TWindow;
}  // namespace qt

class TQtWidgetSet : public TWidgetSet {
 public:
  // Uses the running QApplication, or makes one from the arguments (kept until the
  // widgetset is destroyed). argc must outlive the widgetset.
  TQtWidgetSet(int& argc, char** argv);
  // Makes (or uses) the application with the program name only.
  TQtWidgetSet();
  ~TQtWidgetSet() override;

  void CreateWindow(THandle h, TWinControl& control, const TCreateParams& params) override;
  void DestroyWindow(THandle h) override;
  void SetBounds(THandle h, const TRect& r) override;
  void SetVisible(THandle h, bool visible) override;
  void SetText(THandle h, const std::string& text) override;
  void SetEnabled(THandle h, bool enabled) override;
  void ZOrderChanged(THandle h) override;
  void SetFocus(THandle h) override;
  void Invalidate(THandle h, const TRect& r) override;
  void Update(THandle h) override;
  void SetRedraw(THandle h, bool on) override;
  bool ProcessEvents() override;
  bool WaitEvents() override;
  int TextWidth(const TFontData& font, const std::string& text) override;
  int TextHeight(const TFontData& font, const std::string& text) override;
  TSize ScreenSize() override;
  TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) override;
  bool OpenFileDialog(TFileDialogRequest& request) override;
  bool SelectDirectory(TDirectoryDialogRequest& request) override;
  void ModalEnded(TCustomForm& form) override;
  // Popup menus are native menus (QtMenus.cpp), shown without a loop of their own.
  void PopupMenu(TPopupMenu& menu, TPoint at) override;
  void MenuDestroyed(TPopupMenu& menu) override;
  // The native menu of the popup menu shown last, while it is open (else nullptr).
  QMenu* OpenMenu() const { return FOpenMenu; }

  // The QWidget of a window (nullptr when there is none).
  QWidget* Widget(THandle h) const;
  // Copies pending changes into the native widgets, paints, and saves an image of the
  // window as PNG. False when there is no such window or the file cannot be written.
  bool SaveScreenshot(THandle h, const std::string& fileName);

  // Called by the widgets when they hand an event to the framework: the next
  // ProcessEvents reports that something was done.
  void NoteActivity() { FActivity = true; }
  // Copies the model's state into every native widget that is out of date.
  void SyncPending();
  // The record of a window (nullptr once it is destroyed).
  qt::TWindow* Find(THandle h) const;

 private:
  void Sync(qt::TWindow& w);
  void PlaceChild(qt::TWindow& w, const TRect& r);

  std::unique_ptr<QApplication> FOwnedApp;
  std::map<THandle, std::unique_ptr<qt::TWindow>> FWindows;
  std::set<THandle> FDirty;
  bool FActivity = false;
  QPointer<QMenu> FOpenMenu;  // cleared by Qt when the menu closes (and deletes itself)
  TPopupMenu* FOpenPopup = nullptr;
};

}  // namespace framework
