#include "framework/widgetset/headless/HeadlessWidgetSet.h"

#include "framework/controls/Controls.h"
#include "framework/controls/Input.h"

namespace framework {

THeadlessWidgetSet* Headless() { return dynamic_cast<THeadlessWidgetSet*>(&Widgetset()); }

class TRecordingDevice : public TCanvasDevice {
 public:
  explicit TRecordingDevice(std::vector<TPaintOp>& log) : FLog(log) {}
  void SetPaintingControl(const TObject* control) override {
    auto c = dynamic_cast<const TComponent*>(control);
    FControl = c ? c->Name() : std::string();
  }
  void Polyline(const std::vector<TPoint>& points, const TPenData& pen) override {
    TPaintOp op = Op("Polyline");
    op.Points = points;
    op.Pen = pen;
    FLog.push_back(op);
  }
  void Rectangle(const TRect& r, const TPenData& pen, const TBrushData& brush) override {
    TPaintOp op = Op("Rectangle");
    op.Rect = r;
    op.Pen = pen;
    op.Brush = brush;
    FLog.push_back(op);
  }
  void FillRect(const TRect& r, const TBrushData& brush) override {
    TPaintOp op = Op("FillRect");
    op.Rect = r;
    op.Brush = brush;
    FLog.push_back(op);
  }
  void TextOut(int x, int y, const std::string& text, const TFontData& font,
               const TBrushData& brush) override {
    TPaintOp op = Op("TextOut");
    op.Points = {{x, y}};
    op.Text = text;
    op.Font = font;
    op.Brush = brush;
    FLog.push_back(op);
  }
  void Draw(int x, int y, const TBitmap&) override {
    TPaintOp op = Op("Draw");
    op.Points = {{x, y}};
    FLog.push_back(op);
  }

 private:
  TPaintOp Op(const char* name) const {
    TPaintOp op;
    op.Control = FControl;
    op.Op = name;
    return op;
  }
  std::vector<TPaintOp>& FLog;
  std::string FControl;
};

void THeadlessWidgetSet::CreateWindow(THandle h, TWinControl& control, const TCreateParams& p) {
  THeadlessWindow w;
  w.Control = control.Name();
  w.ClassName = control.ClassName();
  w.Bounds = Bounds(p.X, p.Y, p.Width, p.Height);
  w.Text = p.Caption;
  w.Style = p.Style;
  w.ExStyle = p.ExStyle;
  w.ClassStyle = p.WindowClass.style;
  w.Enabled = (p.Style & 0x08000000) == 0;
  FWindows[h] = w;
}

void THeadlessWidgetSet::DestroyWindow(THandle h) {
  FWindows.erase(h);
  FInvalid.erase(h);
}

void THeadlessWidgetSet::SetBounds(THandle h, const TRect& r) {
  if (auto it = FWindows.find(h); it != FWindows.end()) it->second.Bounds = r;
}

void THeadlessWidgetSet::SetVisible(THandle h, bool v) {
  if (auto it = FWindows.find(h); it != FWindows.end()) it->second.Visible = v;
}

void THeadlessWidgetSet::SetText(THandle h, const std::string& text) {
  if (auto it = FWindows.find(h); it != FWindows.end()) it->second.Text = text;
}

void THeadlessWidgetSet::SetEnabled(THandle h, bool v) {
  if (auto it = FWindows.find(h); it != FWindows.end()) it->second.Enabled = v;
}

void THeadlessWidgetSet::Invalidate(THandle h, const TRect&) {
  if (FWindows.count(h)) FInvalid.insert(h);
}

void THeadlessWidgetSet::Update(THandle h) {
  if (FInvalid.count(h)) Paint(h);
}

void THeadlessWidgetSet::SetRedraw(THandle h, bool on) {
  if (auto it = FWindows.find(h); it != FWindows.end()) it->second.Redraw = on;
}

// A window may paint while it is shown and neither it nor any window it lies in has its
// redrawing suspended (as with the native toolkit, suspending a container holds back its
// children too).
bool THeadlessWidgetSet::CanPaint(THandle h) const {
  auto it = FWindows.find(h);
  if (it == FWindows.end() || !it->second.Visible || !it->second.Redraw) return false;
  if (const TWinControl* c = FindControl(h))
    for (const TWinControl* p = c->Parent(); p; p = p->Parent())
      if (p->RedrawSuspended()) return false;
  return true;
}

// A window that cannot paint stays invalid until it can.
void THeadlessWidgetSet::Paint(THandle h) {
  if (!CanPaint(h)) return;
  auto it = FWindows.find(h);
  FInvalid.erase(h);
  ++it->second.PaintCount;
  TRecordingDevice device(FPaintLog);
  PaintWindow(h, device);
}

bool THeadlessWidgetSet::ProcessEvents() {
  bool painted = false;
  std::vector<THandle> pending(FInvalid.begin(), FInvalid.end());
  for (THandle h : pending) {
    if (!CanPaint(h)) continue;
    Paint(h);
    painted = true;
  }
  return painted;
}

const THeadlessWindow* THeadlessWidgetSet::Window(THandle h) const {
  auto it = FWindows.find(h);
  return it == FWindows.end() ? nullptr : &it->second;
}

std::vector<TPaintOp> THeadlessWidgetSet::PaintOpsOf(const std::string& control) const {
  std::vector<TPaintOp> ops;
  for (const auto& op : FPaintLog)
    if (op.Control == control) ops.push_back(op);
  return ops;
}

TModalResult THeadlessWidgetSet::MessageDlg(const std::string& text, TMsgDlgType type,
                                            TMsgDlgButtons buttons) {
  FDialogLog.push_back("MessageDlg: " + text);
  if (!FMessageAnswers.empty()) {
    TModalResult r = FMessageAnswers.front();
    FMessageAnswers.pop_front();
    return r;
  }
  return TWidgetSet::MessageDlg(text, type, buttons);
}

bool THeadlessWidgetSet::OpenFileDialog(TFileDialogRequest& request) {
  FLastFile = request;
  FDialogLog.push_back("OpenFile: " + request.Title);
  if (FFileAnswers.empty()) return false;
  auto answer = FFileAnswers.front();
  FFileAnswers.pop_front();
  if (!answer) return false;
  request.FileName = *answer;
  return true;
}

bool THeadlessWidgetSet::SelectDirectory(TDirectoryDialogRequest& request) {
  FLastDir = request;
  FDialogLog.push_back("SelectDirectory: " + request.Directory);
  if (FDirAnswers.empty()) return false;
  auto answer = FDirAnswers.front();
  FDirAnswers.pop_front();
  if (!answer) return false;
  request.Directory = *answer;
  return true;
}

void THeadlessWidgetSet::ModalStarted(TCustomForm& form) {
  if (FModalScript) {
    auto script = FModalScript;
    script(form);
  }
}

}  // namespace framework
