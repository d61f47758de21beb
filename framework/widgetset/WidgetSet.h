// The widgetset: the native side of the framework behind one interface. The model (the
// control objects) is the truth; a widgetset mirrors it: it is told when a window handle is
// made or destroyed and when bounds, visibility, text or z-order change, it schedules and
// performs painting (calling back PaintWindow in controls/Input.h), it measures text, it
// answers dialogs and it delivers input (through controls/Input.h). Every operation does
// nothing by default; text is measured by a fixed metric. The default widgetset is the
// headless one (widgetset/headless).
//
// For a native widgetset: a window's geometry and visibility always come from the model
// (never lay out natively); a size change made by the user comes back as SetBounds on the
// control (FindControl(handle)); paint requests are answered by calling PaintWindow with a
// device drawing on the native surface; mouse input goes through DeliverMouse.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/base/Types.h"
#include "framework/graphics/Graphics.h"

namespace framework {

class TWinControl;
class TCustomForm;
class TPopupMenu;
struct TCreateParams;

// A window handle: an opaque token made by the framework; the default value is "none".
class THandle {
 public:
  constexpr THandle() = default;
  constexpr explicit THandle(uint64_t id) : FId(id) {}
  constexpr uint64_t Id() const { return FId; }
  constexpr explicit operator bool() const { return FId != 0; }
  constexpr bool operator==(const THandle&) const = default;
  constexpr bool operator<(const THandle& o) const { return FId < o.FId; }

 private:
  uint64_t FId = 0;
};

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = TSet<TMsgDlgBtn>;
using TModalResult = int;
inline constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4,
                              mrIgnore = 5, mrYes = 6, mrNo = 7, mrAll = 8, mrNoToAll = 9,
                              mrYesToAll = 10;
// The modal result of a dialog button.
TModalResult ModalResultOf(TMsgDlgBtn button);

struct TFileDialogRequest {
  std::string Title;
  std::string Filter;      // "Description|*.ext|..."
  std::string InitialDir;
  std::string FileName;    // in: proposed; out: chosen
  bool MustExist = false;
  bool PathMustExist = false;
  bool HideReadOnly = false;
};

struct TDirectoryDialogRequest {
  std::string Title;
  std::string Directory;   // in: initial folder; out: chosen
  bool AllowCreate = false;
};

class TWidgetSet {
 public:
  virtual ~TWidgetSet() = default;

  // Windows. The handle is made by the framework before CreateWindow and forgotten after
  // DestroyWindow. Bounds are in the parent's client coordinates.
  virtual void CreateWindow(THandle, TWinControl&, const TCreateParams&) {}
  virtual void DestroyWindow(THandle) {}
  virtual void SetBounds(THandle, const TRect&) {}
  virtual void SetVisible(THandle, bool) {}
  virtual void SetText(THandle, const std::string&) {}
  virtual void SetEnabled(THandle, bool) {}
  virtual void ZOrderChanged(THandle) {}  // the order of this window's siblings changed
  // The framework moved the keyboard focus to this window (and its top-level window is the
  // active one).
  virtual void SetFocus(THandle) {}

  // Painting: Invalidate schedules a paint of the area (client coordinates); Update paints
  // what is scheduled now; SetRedraw false suspends painting of the window.
  virtual void Invalidate(THandle, const TRect&) {}
  virtual void Update(THandle) {}
  virtual void SetRedraw(THandle, bool) {}

  // The event loop: ProcessEvents runs what is pending without waiting; WaitEvents blocks
  // until something arrives. Both return false when nothing can ever arrive (headless).
  virtual bool ProcessEvents() { return false; }
  virtual bool WaitEvents() { return false; }

  // Metrics. The default: characters are (|height| + 1) / 2 pixels wide, lines |height| + 2.
  virtual int TextWidth(const TFontData& font, const std::string& text);
  virtual int TextHeight(const TFontData& font, const std::string& text);
  virtual TSize ScreenSize() { return {1024, 768}; }

  // Dialogs. The default answers every message box with its first button and cancels the
  // file and folder dialogs.
  virtual TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons);
  virtual bool OpenFileDialog(TFileDialogRequest&) { return false; }
  virtual bool SelectDirectory(TDirectoryDialogRequest&) { return false; }
  // Called when a form's modal loop starts and ends.
  virtual void ModalStarted(TCustomForm&) {}
  virtual void ModalEnded(TCustomForm&) {}

  // Menus. PopupMenu shows the menu's visible items with its top-left corner at a screen
  // point and returns without waiting; choosing an item later calls its Click. A menu
  // being freed is closed first (MenuDestroyed). By default nothing is shown.
  virtual void PopupMenu(TPopupMenu&, TPoint) {}
  virtual void MenuDestroyed(TPopupMenu&) {}
};

TWidgetSet& Widgetset();
// Installs a widgetset; the previous one is returned (nullptr restores the headless one).
std::unique_ptr<TWidgetSet> SetWidgetset(std::unique_ptr<TWidgetSet> widgetset);

}  // namespace framework
