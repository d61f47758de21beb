// The headless widgetset: no windows. Handles are the framework's tokens; the widgetset
// keeps a record of each window (bounds, visibility, text, styles), paints invalidated
// windows when the application processes messages (or at once on Update) onto a recording
// canvas whose operations tests can inspect, measures text by the fixed metric, reports a
// 1024 x 768 screen, and answers dialogs from a script.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "framework/widgetset/WidgetSet.h"

namespace framework {

struct TPaintOp {
  std::string Control;  // name of the control that painted it
  std::string Op;       // "Polyline", "Rectangle", "FillRect", "TextOut", "Draw"
  std::vector<TPoint> Points;
  TRect Rect;
  std::string Text;
  TPenData Pen;
  TBrushData Brush;
  TFontData Font;
};

struct THeadlessWindow {
  std::string Control;  // the control's name when the window was made
  std::string ClassName;
  TRect Bounds;
  bool Visible = false;
  bool Enabled = true;
  bool Redraw = true;
  std::string Text;
  uint32_t Style = 0, ExStyle = 0, ClassStyle = 0;
  int PaintCount = 0;
};

class THeadlessWidgetSet : public TWidgetSet {
 public:
  void CreateWindow(THandle h, TWinControl& control, const TCreateParams& params) override;
  void DestroyWindow(THandle h) override;
  void SetBounds(THandle h, const TRect& r) override;
  void SetVisible(THandle h, bool v) override;
  void SetText(THandle h, const std::string& text) override;
  void SetEnabled(THandle h, bool v) override;
  void Invalidate(THandle h, const TRect& r) override;
  void Update(THandle h) override;
  void SetRedraw(THandle h, bool on) override;
  bool ProcessEvents() override;
  TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) override;
  bool OpenFileDialog(TFileDialogRequest& request) override;
  bool SelectDirectory(TDirectoryDialogRequest& request) override;
  void ModalStarted(TCustomForm& form) override;

  // Inspection.
  const THeadlessWindow* Window(THandle h) const;
  size_t WindowCount() const { return FWindows.size(); }
  bool IsInvalid(THandle h) const { return FInvalid.count(h) > 0; }
  const std::vector<TPaintOp>& PaintLog() const { return FPaintLog; }
  void ClearPaintLog() { FPaintLog.clear(); }
  std::vector<TPaintOp> PaintOpsOf(const std::string& control) const;
  // Every dialog shown: "MessageDlg: <text>", "OpenFile: <title>", "SelectDirectory: <dir>".
  const std::vector<std::string>& DialogLog() const { return FDialogLog; }

  // Script: answers are used in order; without one a message box answers its first button
  // and file and folder dialogs are cancelled. The modal script runs when a modal loop starts.
  void PushMessageAnswer(TModalResult answer) { FMessageAnswers.push_back(answer); }
  void PushFileAnswer(std::optional<std::string> file) { FFileAnswers.push_back(std::move(file)); }
  void PushDirectoryAnswer(std::optional<std::string> dir) { FDirAnswers.push_back(std::move(dir)); }
  void SetModalScript(std::function<void(TCustomForm&)> script) { FModalScript = std::move(script); }
  // The request of the last file or folder dialog (to check filters, initial folders).
  const TFileDialogRequest& LastFileRequest() const { return FLastFile; }
  const TDirectoryDialogRequest& LastDirectoryRequest() const { return FLastDir; }

  // Popup menus (HeadlessMenus.cpp). Every menu shown is logged as "<menu name> at x,y:
  // <visible item captions, ' | ' between>"; the last one shown stays open until an item
  // is chosen, another menu is shown or the menu is freed.
  void PopupMenu(TPopupMenu& menu, TPoint at) override;
  void MenuDestroyed(TPopupMenu& menu) override;
  const std::vector<std::string>& MenuLog() const { return FMenuLog; }
  TPopupMenu* OpenMenu() const { return FOpenMenu; }
  // Chooses an item of the open menu by its captions from the top ("Edit", "Edit|Copy"),
  // as a user would: the menu closes and an enabled, visible item is clicked. Returns
  // false, leaving the menu open, when no menu is open or no visible item has the caption;
  // false, closing the menu, when the item is disabled (nothing happens, as with a click on
  // a greyed item).
  bool ChooseMenuItem(const std::string& captionPath);

 private:
  friend class TRecordingDevice;
  void Paint(THandle h);
  bool CanPaint(THandle h) const;
  std::map<THandle, THeadlessWindow> FWindows;
  std::set<THandle> FInvalid;
  std::vector<TPaintOp> FPaintLog;
  std::vector<std::string> FDialogLog;
  std::deque<TModalResult> FMessageAnswers;
  std::deque<std::optional<std::string>> FFileAnswers;
  std::deque<std::optional<std::string>> FDirAnswers;
  std::function<void(TCustomForm&)> FModalScript;
  TFileDialogRequest FLastFile;
  TDirectoryDialogRequest FLastDir;
  std::vector<std::string> FMenuLog;
  TPopupMenu* FOpenMenu = nullptr;
};

// The installed widgetset when it is the headless one, else nullptr.
THeadlessWidgetSet* Headless();

}  // namespace framework
