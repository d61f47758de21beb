#include "tools/designer/FormDesigner.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <limits>
#include <sstream>

#include "framework/base/StrUtils.h"
#include "framework/classes/Filer.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Input.h"
#include "tools/designer/DesignerWindow.h"

namespace tessapack::designer {

using namespace framework;

namespace {

constexpr int kGripSize = 6;
constexpr size_t kUndoSteps = 50;

// The grips clockwise from the top-left: which edges each one moves (left, top, right,
// bottom).
struct TGripEdges {
  bool Left, Top, Right, Bottom;
};
constexpr TGripEdges kGripEdges[8] = {{true, true, false, false}, {false, true, false, false},
                                      {false, true, true, false}, {false, false, true, false},
                                      {false, false, true, true}, {false, false, false, true},
                                      {true, false, false, true}, {true, false, false, false}};

TShiftState KeysToShift(intptr_t keys) {
  TShiftState s;
  if (keys & MK_SHIFT) s.Include(ssShift);
  if (keys & MK_CONTROL) s.Include(ssCtrl);
  if (keys & MK_LBUTTON) s.Include(ssLeft);
  return s;
}

std::string ReadFile(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw EFOpenError("Cannot open file \"" + fileName + "\"");
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw EFOpenError("Cannot read file \"" + fileName + "\"");
  return text.str();
}

}  // namespace

// ---- grips ---------------------------------------------------------------------------------

TGrip::TGrip(TFormDesigner& designer, int index)
    : TCustomControl(nullptr), FDesigner(&designer), FIndex(index) {
  FControlStyle.Include(csCaptureMouse);
  SetBounds(0, 0, kGripSize, kGripSize);
  SetColor(clBlack);
  SetCursor(index % 4 == 1   ? crSizeNS
            : index % 4 == 3 ? crSizeWE
            : index % 4 == 0 ? crSizeNWSE
                             : crSizeNESW);
}

void TGrip::Paint() {
  Canvas().Brush().SetColor(clBlack);
  Canvas().FillRect(ClientRect());
}

void TGrip::MouseDown(TMouseButton button, TShiftState, int x, int y) {
  if (button != mbLeft) return;
  auto* selected = dynamic_cast<TControl*>(FDesigner->Selection());
  if (!selected) return;
  FDragging = true;
  FMoved = false;
  FStart = ClientToScreen({x, y});
  FOriginal = selected->BoundsRect();
}

void TGrip::MouseMove(TShiftState, int x, int y) {
  if (!FDragging) return;
  TPoint now = ClientToScreen({x, y});
  if (!FMoved && now.X == FStart.X && now.Y == FStart.Y) return;
  if (!FMoved) FDesigner->Checkpoint();
  FMoved = true;
  // The grip itself moves with the selection: everything is taken from the screen.
  FDesigner->GripDragged(FIndex, FOriginal, now.X - FStart.X, now.Y - FStart.Y);
}

void TGrip::MouseUp(TMouseButton button, TShiftState, int, int) {
  if (button != mbLeft || !FDragging) return;
  FDragging = false;
  FDesigner->GripReleased(FMoved);
}

FW_DEFINE_CLASS(TGrip)

// ---- icons of components that are no controls ------------------------------------------------

TComponentIcon::TComponentIcon(TFormDesigner& designer, TComponent& component)
    : TCustomControl(nullptr),
      FDesigner(&designer),
      FComponent(&component),
      FBitmap(std::make_unique<TBitmap>()) {
  FControlStyle.Include(csCaptureMouse);
  FControlStyle.Include(csDoubleClicks);
  PaletteBitmap(component.ClassType(), *FBitmap);
  SetBounds(0, 0, kSize, kSize);
  SetColor(clBtnFace);
}

void TComponentIcon::Paint() {
  const bool selected = FDesigner->IsSelected(FComponent);
  Canvas().Brush().SetColor(clBtnFace);
  Canvas().FillRect(ClientRect());
  Canvas().Brush().SetColor(selected ? clHighlight : clBtnShadow);
  Canvas().FrameRect(ClientRect());
  if (selected) Canvas().FrameRect(Rect(1, 1, kSize - 1, kSize - 1));
  Canvas().Draw((kSize - FBitmap->Width()) / 2, (kSize - FBitmap->Height()) / 2, *FBitmap);
}

void TComponentIcon::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && shift.Contains(ssShift)) {
    FDesigner->ToggleSelection(FComponent);
    return;
  }
  if (!FDesigner->IsSelected(FComponent) || button == mbLeft)
    FDesigner->SelectComponent(FComponent);
  if (button == mbRight) {
    FDesigner->ShowContextMenu(ClientToScreen({x, y}));
    return;
  }
  if (button != mbLeft) return;
  FDragging = true;
  FMoved = false;
  FStart = ClientToScreen({x, y});
  FOriginal = {FComponent->DesignLeft(), FComponent->DesignTop()};
}

void TComponentIcon::MouseMove(TShiftState, int x, int y) {
  if (!FDragging) return;
  TPoint now = ClientToScreen({x, y});
  const int dx = now.X - FStart.X, dy = now.Y - FStart.Y;
  if (!FMoved && std::abs(dx) + std::abs(dy) < 3) return;
  if (!FMoved) FDesigner->Checkpoint();
  FMoved = true;
  FDesigner->MoveIcon(FComponent, FOriginal.X + dx, FOriginal.Y + dy);
}

void TComponentIcon::MouseUp(TMouseButton button, TShiftState, int, int) {
  if (button != mbLeft || !FDragging) return;
  FDragging = false;
  if (FMoved) FDesigner->Modified();
}

void TComponentIcon::DblClick() {
  FDragging = false;
  FDesigner->SelectComponent(FComponent);
  FDesigner->EditSelection();
}

FW_DEFINE_CLASS(TComponentIcon)

// ---- the designer --------------------------------------------------------------------------

TFormDesigner::TFormDesigner() : TComponent(nullptr) { FMenu = new TPopupMenu(this); }

TFormDesigner::~TFormDesigner() {
  FMenuEditor.reset();
  SetForm(nullptr);
}

void TFormDesigner::SetForm(TCustomForm* form) {
  FDrag = TDrag();
  if (GetCaptureControl()) SetCaptureControl(nullptr);
  FMenuEditor.reset();
  FSelection = nullptr;
  FSelected.clear();
  if (FForm) {
    RemoveFreeNotification(FForm);
    // The grips, marks and icons lie on the form, which frees them with itself.
    FGrips.clear();
    FMarks.clear();
    FIcons.clear();
    FForm->SetDesigner(nullptr);
    delete FForm;
  }
  FForm = form;
  if (!FForm) return;
  FStoredVisible = FForm->Visible();
  FreeNotification(FForm);
  FForm->SetDesigner(this);
  for (int i = 0; i < 8; ++i) {
    auto* grip = new TGrip(*this, i);
    grip->SetVisible(false);
    grip->SetParent(FForm);
    FGrips.push_back(grip);
  }
  SyncIcons();
}

TComponentIcon* TFormDesigner::IconOf(const TComponent* component) const {
  for (TComponentIcon* icon : FIcons)
    if (icon->Component() == component) return icon;
  return nullptr;
}

void TFormDesigner::SyncIcons() {
  if (!FForm) return;
  std::vector<TComponent*> shown;
  for (int i = 0; i < FForm->ComponentCount(); ++i) {
    TComponent* c = FForm->Components(i);
    // Menu items belong to their menu, which has the icon.
    if (!dynamic_cast<TControl*>(c) && !dynamic_cast<TMenuItem*>(c)) shown.push_back(c);
  }
  std::erase_if(FIcons, [&](TComponentIcon* icon) {
    if (std::find(shown.begin(), shown.end(), icon->Component()) != shown.end()) return false;
    delete icon;
    return true;
  });
  for (TComponent* c : shown) {
    TComponentIcon* icon = IconOf(c);
    if (!icon) {
      icon = new TComponentIcon(*this, *c);
      icon->SetParent(FForm);
      FIcons.push_back(icon);
    }
    // The selection keeps one free notification per component; the icons need theirs too.
    FreeNotification(c);
    icon->SetBounds(c->DesignLeft(), c->DesignTop(), TComponentIcon::kSize, TComponentIcon::kSize);
    icon->BringToFront();
    icon->Invalidate();
  }
}

void TFormDesigner::MoveIcon(TComponent* component, int left, int top) {
  if (!FForm || !IconOf(component)) return;
  const int right = std::max(0, FForm->ClientWidth() - TComponentIcon::kSize);
  const int bottom = std::max(0, FForm->ClientHeight() - TComponentIcon::kSize);
  component->SetDesignPosition(std::clamp(left, 0, right), std::clamp(top, 0, bottom));
  SyncIcons();
  UpdateGrips();
}

void TFormDesigner::NewForm() {
  auto* form = new TForm(nullptr);
  form->SetDesigning(true);
  form->SetName("Form1");
  form->SetCaption("Form1");
  form->SetBounds(200, 120, 480, 360);
  SetForm(form);
  FFileName.clear();
  FUndo.clear();
  FModified = false;
  SelectComponent(form);
}

// The class named in the text's first line, "object Name: TClass".
static std::string RootClassName(std::string_view text) {
  size_t colon = text.find(':');
  size_t eol = text.find('\n');
  if (colon == std::string_view::npos || (eol != std::string_view::npos && colon > eol)) return "";
  size_t b = colon + 1;
  while (b < text.size() && (text[b] == ' ' || text[b] == '\t')) ++b;
  size_t e = b;
  while (e < text.size() && (std::isalnum(static_cast<unsigned char>(text[e])) || text[e] == '_'))
    ++e;
  return std::string(text.substr(b, e - b));
}

TCustomForm* TFormDesigner::ReadForm(std::string_view text) {
  TReaderHooks hooks;
  const std::string rootClass = RootClassName(text);
  // Classes not compiled in stand in as a form (the root) or a panel (a child); the reader
  // keeps the stored class name for the writer.
  hooks.FindComponentClass = [rootClass](const std::string& cls) -> const TMetaClass* {
    return SameText(cls, rootClass) ? &TForm::StaticClass() : &TPanel::StaticClass();
  };
  hooks.PropertyNotFound = [](TComponent&, const std::string&) { return true; };
  hooks.MethodNotFound = [](TComponent&, const std::string&, const std::string&) { return true; };
  hooks.Designing = true;
  TComponent* component = ReadComponentFromText(text, nullptr, nullptr, &hooks);
  auto* form = dynamic_cast<TCustomForm*>(component);
  if (!form) {
    std::string cls = component ? component->ClassName() : std::string("?");
    delete component;
    throw EReadError("The root object is a " + cls + ", not a form");
  }
  return form;
}

void TFormDesigner::LoadFromText(std::string_view text) {
  TCustomForm* form = ReadForm(text);
  SetForm(form);
  FUndo.clear();
  FModified = false;
  SelectComponent(form);
}

std::string TFormDesigner::SaveToText() {
  // The grips are not the form's: they are no children of it in the text.
  if (!FForm) return std::string();
  // Nor do they count in the form's tab order: they go behind every designed control, so
  // that the controls' stored tab orders are their own.
  for (TGrip* grip : FGrips) grip->SetTabOrder(std::numeric_limits<int>::max());
  for (TComponentIcon* icon : FIcons) icon->SetTabOrder(std::numeric_limits<int>::max());
  for (TWinControl* mark : FMarks) mark->SetTabOrder(std::numeric_limits<int>::max());
  std::string text = WriteComponentToText(*FForm);
  if (!FStoredVisible) {
    // The form's own line (two spaces in, before its first child).
    const std::string line = "\n  Visible = True\n";
    size_t at = text.find(line);
    size_t child = text.find("\n  object ");
    if (at != std::string::npos && (child == std::string::npos || at < child))
      text.erase(at + 1, line.size() - 1);
  }
  return text;
}

void TFormDesigner::LoadFromFile(const std::string& fileName) {
  std::string text = ReadFile(fileName);
  try {
    LoadFromText(text);
  } catch (const EReadError& e) {
    throw EReadError(fileName + ": " + e.what());
  }
  FFileName = fileName;
  Changed();
}

void TFormDesigner::SaveToFile(const std::string& fileName) {
  std::string text = SaveToText();
  // Written beside the file and renamed over it, so a failed write leaves the old file.
  std::string temp = fileName + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) throw EFCreateError("Cannot create file \"" + fileName + "\"");
    out << text;
    out.close();
    if (!out) {
      std::remove(temp.c_str());
      throw EFCreateError("Cannot write file \"" + fileName + "\"");
    }
  }
  if (std::rename(temp.c_str(), fileName.c_str()) != 0) {
    std::remove(temp.c_str());
    throw EFCreateError("Cannot write file \"" + fileName + "\"");
  }
  FFileName = fileName;
  FModified = false;
  Changed();
}

void TFormDesigner::Changed() {
  if (OnChange) OnChange();
}

std::string TFormDesigner::UniqueName(const TMetaClass& cls) const {
  std::string base = cls.ClassName();
  if (base.size() > 1 && (base[0] == 'T' || base[0] == 't')) base.erase(0, 1);
  for (int n = 1;; ++n) {
    std::string name = base + std::to_string(n);
    if (!FForm || (!FForm->FindComponent(name) && !SameText(FForm->Name(), name))) return name;
  }
}

TComponent* TFormDesigner::PlaceComponent(const TMetaClass& cls, TWinControl* container,
                                          const TRect& bounds) {
  if (!FForm) return nullptr;
  TComponent* component = cls.Create(FForm);
  try {
    component->SetDesigning(true);
    component->SetName(UniqueName(cls));
    if (auto* control = dynamic_cast<TControl*>(component)) {
      int width = bounds.Width() > 0 ? bounds.Width() : control->Width();
      int height = bounds.Height() > 0 ? bounds.Height() : control->Height();
      control->SetBounds(bounds.Left, bounds.Top, width, height);
      control->SetParent(container ? container : FForm);
    } else {
      // Placed where clicked, on the form's surface whatever container is under it.
      TPoint at = container && container != FForm
                      ? FForm->ScreenToClient(container->ClientToScreen({bounds.Left, bounds.Top}))
                      : TPoint{bounds.Left, bounds.Top};
      component->SetDesignPosition(at.X, at.Y);
    }
  } catch (...) {
    delete component;
    throw;
  }
  FPlaceClass = nullptr;
  // The component may be gone already (a container that refuses it frees it).
  for (int i = 0; i < FForm->ComponentCount(); ++i)
    if (FForm->Components(i) == component) {
      SelectComponent(component);
      Modified();
      return component;
    }
  Modified();
  return nullptr;
}

void TFormDesigner::DeleteSelection() {
  if (!FSelection || FSelection == FForm) return;
  Checkpoint();
  // The next selection, by name: it may go with the deleted ones (a selected container).
  std::string next;
  if (auto* control = dynamic_cast<TControl*>(FSelection); control && control->Parent())
    if (TComponent* parent = Selectable(control->Parent()); parent != FForm) next = parent->Name();
  // Deleting a container takes its children; the notifications take every deleted one out
  // of the selection.
  for (;;) {
    auto doomed = std::find_if(FSelected.begin(), FSelected.end(),
                               [this](TComponent* c) { return c != FForm; });
    if (doomed == FSelected.end()) break;
    delete *doomed;
  }
  TComponent* found = next.empty() ? nullptr : FForm->FindComponent(next);
  SelectComponent(found ? found : FForm);
  Modified();
}

std::vector<TControl*> TFormDesigner::SelectedControls() const {
  std::vector<TControl*> controls;
  for (TComponent* c : FSelected)
    if (auto* control = dynamic_cast<TControl*>(c); control && control != FForm)
      controls.push_back(control);
  return controls;
}

bool TFormDesigner::IsSelected(const TComponent* component) const {
  return std::find(FSelected.begin(), FSelected.end(), component) != FSelected.end();
}

void TFormDesigner::MoveSelection(int dx, int dy) {
  std::vector<TControl*> controls = SelectedControls();
  std::vector<TComponent*> icons;
  for (TComponent* c : FSelected)
    if (IconOf(c)) icons.push_back(c);
  if (controls.empty() && icons.empty()) return;
  Checkpoint();
  for (TComponent* c : icons) MoveIcon(c, c->DesignLeft() + dx, c->DesignTop() + dy);
  for (TControl* control : controls)
    control->SetBounds(control->Left() + dx, control->Top() + dy, control->Width(),
                       control->Height());
  Modified();
}

void TFormDesigner::ResizeSelection(int dw, int dh) {
  std::vector<TControl*> controls = SelectedControls();
  // The form alone may be resized by keys too.
  if (controls.empty() && FSelection == FForm && FForm) controls.push_back(FForm);
  if (controls.empty()) return;
  Checkpoint();
  for (TControl* control : controls)
    control->SetBounds(control->Left(), control->Top(), std::max(1, control->Width() + dw),
                       std::max(1, control->Height() + dh));
  Modified();
}

void TFormDesigner::AlignSelection(TAlignEdge edge) {
  std::vector<TControl*> controls = SelectedControls();
  if (controls.size() < 2) return;
  Checkpoint();
  // On the form's surface, so that controls in different containers line up too.
  const TRect first = FormRect(*controls.front());
  for (size_t i = 1; i < controls.size(); ++i) {
    TControl* c = controls[i];
    const TRect r = FormRect(*c);
    int dx = 0, dy = 0;
    switch (edge) {
      case aeLefts:
        dx = first.Left - r.Left;
        break;
      case aeRights:
        dx = first.Right - r.Right;
        break;
      case aeTops:
        dy = first.Top - r.Top;
        break;
      case aeBottoms:
        dy = first.Bottom - r.Bottom;
        break;
    }
    c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
  }
  Modified();
}

void TFormDesigner::GripDragged(int grip, const TRect& original, int dx, int dy) {
  auto* control = dynamic_cast<TControl*>(FSelection);
  if (!control || grip < 0 || grip > 7) return;
  const TGripEdges& e = kGripEdges[grip];
  TRect r = original;
  if (e.Left) r.Left = std::min(r.Left + dx, r.Right - 1);
  if (e.Right) r.Right = std::max(r.Right + dx, r.Left + 1);
  if (e.Top) r.Top = std::min(r.Top + dy, r.Bottom - 1);
  if (e.Bottom) r.Bottom = std::max(r.Bottom + dy, r.Top + 1);
  if (control == FForm) {  // the form keeps its place; only its size follows
    r = Rect(original.Left, original.Top, original.Left + std::max(40, r.Width()),
             original.Top + std::max(30, r.Height()));
  }
  control->SetBoundsRect(r);
  UpdateGrips();
}

void TFormDesigner::GripReleased(bool moved) {
  if (moved) Modified();
}

TRect TFormDesigner::FormRect(const TControl& control) const {
  if (&control == FForm) return FForm->ClientRect();
  TPoint topLeft =
      FForm->ScreenToClient(control.Parent()->ClientToScreen({control.Left(), control.Top()}));
  return Bounds(topLeft.X, topLeft.Y, control.Width(), control.Height());
}

void TFormDesigner::UpdateGrips() {
  UpdateMarks();
  auto* control = dynamic_cast<TControl*>(FSelection);
  bool show = control && FForm && control != FForm && control->Parent() && control->Visible() &&
              FSelected.size() == 1;
  // A control on a page that is not in front has no grips.
  for (TControl* c = control; show && c && c != FForm; c = c->Parent())
    if (!c->Visible()) show = false;
  TRect r = show ? FormRect(*control) : TRect();
  const int h = kGripSize / 2;
  const TPoint places[8] = {{r.Left, r.Top},     {(r.Left + r.Right) / 2, r.Top},
                            {r.Right, r.Top},    {r.Right, (r.Top + r.Bottom) / 2},
                            {r.Right, r.Bottom}, {(r.Left + r.Right) / 2, r.Bottom},
                            {r.Left, r.Bottom},  {r.Left, (r.Top + r.Bottom) / 2}};
  for (TGrip* grip : FGrips) {
    if (show) {
      TPoint p = places[grip->Index()];
      grip->SetBounds(p.X - h, p.Y - h, kGripSize, kGripSize);
      grip->BringToFront();
    }
    grip->SetVisible(show);
  }
}

void TFormDesigner::UpdateMarks() {
  // Four grey corners for each selected control of a selection of several.
  std::vector<TRect> places;
  if (FForm && FSelected.size() > 1)
    for (TControl* c : SelectedControls()) {
      bool shown = c->Parent() != nullptr;
      for (TControl* p = c; shown && p && p != FForm; p = p->Parent()) shown = p->Visible();
      if (!shown) continue;
      const TRect r = FormRect(*c);
      const int s = kGripSize - 1;
      for (TPoint p : {TPoint{r.Left, r.Top}, TPoint{r.Right - s, r.Top},
                       TPoint{r.Right - s, r.Bottom - s}, TPoint{r.Left, r.Bottom - s}})
        places.push_back(Bounds(p.X, p.Y, s, s));
    }
  while (FMarks.size() > places.size()) {
    delete FMarks.back();
    FMarks.pop_back();
  }
  while (FMarks.size() < places.size()) {
    auto* mark = new TPanel(nullptr);
    mark->SetBevelOuter(bvNone);
    mark->SetColor(clGray);
    mark->SetCaption("");
    mark->SetParent(FForm);
    FMarks.push_back(mark);
  }
  for (size_t i = 0; i < places.size(); ++i) {
    FMarks[i]->SetBoundsRect(places[i]);
    FMarks[i]->BringToFront();
  }
}

void TFormDesigner::Checkpoint() {
  if (!FForm) return;
  FUndo.push_back(SaveToText());
  if (FUndo.size() > kUndoSteps) FUndo.erase(FUndo.begin());
}

bool TFormDesigner::Undo() {
  if (FUndo.empty()) return false;
  std::string selected = FSelection && FSelection != FForm ? FSelection->Name() : std::string();
  std::string text = std::move(FUndo.back());
  FUndo.pop_back();
  TCustomForm* form = ReadForm(text);
  std::vector<std::string> steps = std::move(FUndo);
  SetForm(form);
  FUndo = std::move(steps);
  TComponent* again = selected.empty() ? nullptr : FForm->FindComponent(selected);
  SelectComponent(again ? again : FForm);
  Modified();
  return true;
}

// ---- selection and messages ------------------------------------------------------------------

void TFormDesigner::SelectComponent(TComponent* component) {
  // The designer hears of every selected component's end (its notifications stay: the
  // components are the form's, which goes first or with them).
  FSelection = component;
  FSelected.clear();
  if (component) FSelected.push_back(component);
  if (FSelection && FSelection != FForm) FreeNotification(FSelection);
  SyncIcons();
  UpdateGrips();
  Changed();
}

void TFormDesigner::ToggleSelection(TComponent* component) {
  if (!component) return;
  if (component == FForm || !FSelection || FSelection == FForm) {
    SelectComponent(component);
    return;
  }
  if (IsSelected(component)) {
    std::erase(FSelected, component);
    if (FSelected.empty()) {
      SelectComponent(FForm);
      return;
    }
    FSelection = FSelected.front();
  } else {
    FSelected.push_back(component);
    FreeNotification(component);
  }
  SyncIcons();
  UpdateGrips();
  Changed();
}

void TFormDesigner::Modified() {
  FModified = true;
  SyncIcons();
  UpdateGrips();
  Changed();
}

void TFormDesigner::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  std::erase(FSelected, component);
  if (component == FSelection) FSelection = FSelected.empty() ? nullptr : FSelected.front();
  if (FMenuEditor && FMenuEditor->Component() == component) FMenuEditor.reset();
  if (FDrag.Control == component ||
      std::any_of(FDrag.Others.begin(), FDrag.Others.end(),
                  [component](const auto& o) { return o.first == component; }))
    FDrag = TDrag();
  if (component == FForm) {
    FForm = nullptr;
    FGrips.clear();
    FMarks.clear();
    FIcons.clear();
  } else if (TComponentIcon* icon = IconOf(component)) {
    std::erase(FIcons, icon);
    // A form being freed frees its icons itself.
    if (FForm && !FForm->IsDestroying()) delete icon;
  }
}

TComponent* TFormDesigner::Selectable(TControl* control) const {
  TControl* c = control;
  while (c && c != FForm && c->Owner() != FForm) c = c->Parent();
  return c ? static_cast<TComponent*>(c) : FForm;
}

TWinControl* TFormDesigner::ContainerOf(TControl* control) const {
  for (TControl* c = control; c; c = c->Parent()) {
    auto* w = dynamic_cast<TWinControl*>(c);
    if (w && (w == FForm || w->IsDesigning()) && w->ControlStyle().Contains(csAcceptsControls))
      return w;
  }
  return FForm;
}

bool TFormDesigner::IsDesignMsg(TControl* sender, TMessage& message) {
  if (!FForm) return false;
  if (message.Msg == WM_KEYDOWN)
    return HandleKey(static_cast<int>(message.WParam),
                     TShiftState::FromMask(static_cast<uint64_t>(message.LParam)));
  if (message.Msg < WM_MOUSEFIRST || message.Msg > WM_MOUSELAST) return true;
  // A control that wants the mouse at design time (a splitter, a page tab) gets it.
  TMessage hit = message;
  hit.Msg = CM_DESIGNHITTEST;
  hit.Result = 0;
  sender->Dispatch(hit);
  if (hit.Result != 0) return false;

  TPoint p{GetXParam(message.LParam), GetYParam(message.LParam)};
  TPoint screen = sender->ClientToScreen(p);
  switch (message.Msg) {
    case WM_LBUTTONDOWN: {
      if (FPlaceClass) {
        TWinControl* container = ContainerOf(sender);
        TPoint at = container->ScreenToClient(screen);
        Checkpoint();
        TComponent* placed = PlaceComponent(*FPlaceClass, container, Bounds(at.X, at.Y, 0, 0));
        // Dragging on from here gives the new control its size.
        if (auto* control = dynamic_cast<TControl*>(placed)) {
          FDrag = {true, true, false, control, screen, control->BoundsRect(), {}};
          SetCaptureControl(sender);
        }
        return true;
      }
      TComponent* target = Selectable(sender);
      const TShiftState shift = KeysToShift(message.WParam);
      if (shift.Contains(ssShift))
        ToggleSelection(target);
      else if (!IsSelected(target))
        SelectComponent(target);
      // A press on a selected control drags every selected control with it.
      auto* control = dynamic_cast<TControl*>(target);
      if (control && control != FForm && IsSelected(control)) {
        FDrag = {true, false, false, control, screen, control->BoundsRect(), {}};
        for (TControl* other : SelectedControls())
          if (other != control) FDrag.Others.emplace_back(other, other->BoundsRect());
        SetCaptureControl(sender);
      }
      return true;
    }
    case WM_MOUSEMOVE: {
      if (!FDrag.Active || !FDrag.Control) return true;
      int dx = screen.X - FDrag.Start.X, dy = screen.Y - FDrag.Start.Y;
      if (!FDrag.Moved && std::abs(dx) + std::abs(dy) < 3) return true;
      if (!FDrag.Moved && !FDrag.Sizing) Checkpoint();
      FDrag.Moved = true;
      const TRect& o = FDrag.Original;
      if (FDrag.Sizing)
        FDrag.Control->SetBounds(o.Left, o.Top, std::max(4, dx), std::max(4, dy));
      else
        FDrag.Control->SetBounds(o.Left + dx, o.Top + dy, o.Width(), o.Height());
      for (const auto& [other, r] : FDrag.Others)
        other->SetBounds(r.Left + dx, r.Top + dy, r.Width(), r.Height());
      UpdateGrips();
      return true;
    }
    case WM_LBUTTONUP: {
      bool moved = FDrag.Active && FDrag.Moved;
      FDrag = TDrag();
      SetCaptureControl(nullptr);
      if (moved) Modified();
      return true;
    }
    case WM_RBUTTONDOWN:
      if (!IsSelected(Selectable(sender))) SelectComponent(Selectable(sender));
      ShowContextMenu(screen);
      return true;
    case WM_LBUTTONDBLCLK:
      FDrag = TDrag();
      SetCaptureControl(nullptr);
      SelectComponent(Selectable(sender));
      EditSelection();
      return true;
    default:
      return true;
  }
}

bool TFormDesigner::HandleKey(int key, TShiftState shift) {
  const int step = shift.Contains(ssCtrl) ? 8 : 1;
  int dx = 0, dy = 0;
  switch (key) {
    case VK_LEFT:
      dx = -step;
      break;
    case VK_RIGHT:
      dx = step;
      break;
    case VK_UP:
      dy = -step;
      break;
    case VK_DOWN:
      dy = step;
      break;
    case VK_DELETE:
      DeleteSelection();
      return true;
    case VK_ESCAPE:
      // Escape leaves placing, then climbs to the parent of the selection.
      if (FPlaceClass) {
        FPlaceClass = nullptr;
        Changed();
      } else if (auto* control = dynamic_cast<TControl*>(FSelection);
                 control && control->Parent()) {
        SelectComponent(Selectable(control->Parent()));
      }
      return true;
    default:
      return false;
  }
  if (shift.Contains(ssShift))
    ResizeSelection(dx, dy);
  else
    MoveSelection(dx, dy);
  return true;
}

// ---- component editors -----------------------------------------------------------------------

void TFormDesigner::ShowContextMenu(TPoint screenPoint) {
  FMenu->Items().Clear();
  FMenuEditor.reset();
  if (!FSelection) return;
  FMenuEditor = GetComponentEditor(FSelection, this);
  const int verbs = FMenuEditor->GetVerbCount();
  for (int i = 0; i < verbs; ++i) {
    auto* item = new TMenuItem(FMenu);
    item->SetCaption(FMenuEditor->GetVerb(i));
    item->OnClick = TNotifyEvent([this, i](TObject*) { ExecuteVerb(i); });
    FMenu->Items().Add(item);
  }
  if (SelectedControls().size() > 1) {
    const std::pair<const char*, TAlignEdge> aligns[] = {{"Align Left Edges", aeLefts},
                                                         {"Align Tops", aeTops},
                                                         {"Align Right Edges", aeRights},
                                                         {"Align Bottoms", aeBottoms}};
    if (FMenu->Items().Count() > 0) {
      auto* line = new TMenuItem(FMenu);
      line->SetCaption("-");
      FMenu->Items().Add(line);
    }
    for (const auto& [caption, edge] : aligns) {
      auto* item = new TMenuItem(FMenu);
      item->SetCaption(caption);
      item->OnClick = TNotifyEvent([this, edge = edge](TObject*) { AlignSelection(edge); });
      FMenu->Items().Add(item);
    }
  }
  if (FSelection != FForm) {
    if (FMenu->Items().Count() > 0) {
      auto* line = new TMenuItem(FMenu);
      line->SetCaption("-");
      FMenu->Items().Add(line);
    }
    auto* del = new TMenuItem(FMenu);
    del->SetCaption("Delete");
    del->OnClick = TNotifyEvent([this](TObject*) { DeleteSelection(); });
    FMenu->Items().Add(del);
  }
  if (FMenu->Items().Count() > 0) FMenu->Popup(screenPoint.X, screenPoint.Y);
}

void TFormDesigner::ExecuteVerb(int index) {
  if (!FSelection) return;
  // The editor of the menu shown last, when it still edits the selection.
  if (!FMenuEditor || FMenuEditor->Component() != FSelection)
    FMenuEditor = GetComponentEditor(FSelection, this);
  if (index < 0 || index >= FMenuEditor->GetVerbCount()) return;
  Checkpoint();
  FMenuEditor->ExecuteVerb(index);
  UpdateGrips();
  Changed();
}

void TFormDesigner::EditSelection() {
  if (!FSelection) return;
  Checkpoint();
  auto editor = GetComponentEditor(FSelection, this);
  editor->Edit();
  UpdateGrips();
  Changed();
}

void TFormDesigner::ShowMethod(TComponent* component, const std::string& eventName) {
  if (!component) return;
  const TPropInfo* prop = GetPropInfo(*component, eventName);
  if (!prop || prop->Kind() != tkMethod) return;
  TMethodProperty editor(this, component, prop);
  if (!editor.GetValue().empty()) return;  // it names its handler already
  std::string name = component == FForm ? std::string("Form") : component->Name();
  std::string event = eventName;
  if (event.size() > 2 && SameText(event.substr(0, 2), "On")) event.erase(0, 2);
  editor.SetValue(name + event);
}

}  // namespace tessapack::designer
