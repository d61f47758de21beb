#include "framework/controls/Forms.h"

#include <algorithm>

#include "framework/classes/Filer.h"
#include "framework/controls/StdRegister.h"
#include "framework/design/Designer.h"
#include "framework/graphics/Resources.h"
#include "framework/messages/DestroyGuard.h"
#include "framework/messages/Timer.h"

FW_DEFINE_ENUM(framework::TFormBorderStyle, "TFormBorderStyle", "bsNone", "bsSingle", "bsSizeable",
               "bsDialog", "bsToolWindow", "bsSizeToolWin")
FW_DEFINE_ENUM(framework::TPosition, "TPosition", "poDesigned", "poDefault", "poDefaultPosOnly",
               "poDefaultSizeOnly", "poScreenCenter", "poDesktopCenter", "poMainFormCenter",
               "poOwnerFormCenter")

namespace framework {

FW_DEFINE_CLASS(TCustomForm)

FW_DEFINE_CLASS(TForm, [](TClassDef<TForm>& d) {
  d.Property("ActiveControl", &TForm::ActiveControl, &TForm::SetActiveControl);
  d.Property("BorderStyle", &TForm::BorderStyle, &TForm::SetBorderStyle).Default(bsSizeable);
  d.Property("Caption", &TForm::Caption, &TForm::SetCaption);
  d.Property("Color", &TForm::Color, &TForm::SetColor).Default(clBtnFace);
  d.Property("Font", &TForm::FontPtr, &TForm::SetFont);
  d.Property("KeyPreview", &TForm::KeyPreview, &TForm::SetKeyPreview).Default(false);
  d.Property("Position", &TForm::Position, &TForm::SetPosition).Default(poDesigned);
  d.Property("Visible", &TForm::Visible, &TForm::SetVisible).Default(false);
  d.Property("OnActivate", [](const TForm& f) { return f.OnActivate; },
             [](TForm& f, TNotifyEvent e) { f.OnActivate = e; });
  d.Property("OnClick", [](const TForm& f) { return f.OnClick; },
             [](TForm& f, TNotifyEvent e) { f.OnClick = e; });
  d.Property("OnClose", [](const TForm& f) { return f.OnClose; },
             [](TForm& f, TCloseEvent e) { f.OnClose = e; });
  d.Property("OnCloseQuery", [](const TForm& f) { return f.OnCloseQuery; },
             [](TForm& f, TCloseQueryEvent e) { f.OnCloseQuery = e; });
  d.Property("OnCreate", [](const TForm& f) { return f.OnCreate; },
             [](TForm& f, TNotifyEvent e) { f.OnCreate = e; });
  d.Property("OnDestroy", [](const TForm& f) { return f.OnDestroy; },
             [](TForm& f, TNotifyEvent e) { f.OnDestroy = e; });
  d.Property("OnHide", [](const TForm& f) { return f.OnHide; },
             [](TForm& f, TNotifyEvent e) { f.OnHide = e; });
  d.Property("OnPaint", [](const TForm& f) { return f.OnPaint; },
             [](TForm& f, TNotifyEvent e) { f.OnPaint = e; });
  d.Property("OnResize", [](const TForm& f) { return f.OnResize; },
             [](TForm& f, TNotifyEvent e) { f.OnResize = e; });
  d.Property("OnShow", [](const TForm& f) { return f.OnShow; },
             [](TForm& f, TNotifyEvent e) { f.OnShow = e; });
  d.Event("OnKeyDown", &TWinControl::OnKeyDown);
  d.Event("OnKeyPress", &TWinControl::OnKeyPress);
  d.Event("OnKeyUp", &TWinControl::OnKeyUp);
})

FW_DEFINE_CLASS(TActiveForm)
FW_DEFINE_CLASS(TScreen)
FW_DEFINE_CLASS(TApplication)

TCustomForm::TCustomForm(TComponent* owner) : TCustomControl(owner) {
  FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  SetVisible(false);
  SetParentFont(false);
  SetParentColor(false);
  SetColor(clBtnFace);
  SetBounds(0, 0, 320, 240);
  Screen().FForms.push_back(this);
}

TCustomForm::~TCustomForm() {
  Destroying();
  if (FCreated) OnDestroy(this);
  ForgetFocus(this);
  std::erase(Screen().FForms, this);
  if (Application().FMainForm == this) Application().FMainForm = nullptr;
  FHooks.clear();
}

void TCustomForm::LoadFromResource(const std::string& resourceName) {
  std::string name = resourceName.empty() ? ClassName() : resourceName;
  const TResource* r = FindResource(name);
  if (!r) throw EResNotFound("Resource " + name + " not found");
  LoadFromText(r->Text());
}

void TCustomForm::LoadFromText(std::string_view text) {
  TReader reader(text);
  reader.ReadRootComponent(this);
}

void TCustomForm::AfterConstruction() {
  FCreated = true;
  OnCreate(this);
}

void TCustomForm::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.Style &= ~(WS_CHILD | WS_POPUP);
  switch (FBorderStyle) {
    case bsNone:
      p.Style |= WS_POPUP;
      break;
    case bsSingle:
    case bsToolWindow:
      p.Style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
      break;
    case bsSizeable:
    case bsSizeToolWin:
      p.Style |= WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
      break;
    case bsDialog:
      p.Style |= WS_CAPTION | WS_SYSMENU;
      p.ExStyle |= WS_EX_DLGMODALFRAME;
      break;
  }
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value) {
  if (FBorderStyle == value) return;
  FBorderStyle = value;
  RecreateWnd();
  Realign();
}

void TCustomForm::SetDesigner(IDesigner* designer) {
  FDesigner = designer;
  SetDesigning(designer != nullptr);
}

void TCustomForm::AddHook(IFormHook* hook) {
  if (std::find(FHooks.begin(), FHooks.end(), hook) == FHooks.end()) FHooks.push_back(hook);
}

void TCustomForm::RemoveHook(IFormHook* hook) { std::erase(FHooks, hook); }

void TCustomForm::Show() {
  if (FPosition == poScreenCenter || FPosition == poDesktopCenter)
    SetBounds((Screen().Width() - Width()) / 2, (Screen().Height() - Height()) / 2, Width(), Height());
  SetVisible(true);
}

void TCustomForm::VisibleChanged() {
  UpdateControlState();
  if (IsLoading() || IsDesigning()) return;
  if (Visible()) {
    Activate();
    for (IFormHook* h : std::vector<IFormHook*>(FHooks)) h->FormShowing();
    OnShow(this);
  } else {
    if (Active()) {  // the hidden form's controls lose the focus
      Screen().FActiveForm = nullptr;
      Screen().FActiveControl = nullptr;
    }
    OnHide(this);
  }
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::DoClose(TCloseAction& action) { OnClose(this, action); }

void TCustomForm::Close() {
  TDestroyGuard guard(this);
  if (!CloseQuery() || !guard.Alive()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone || !guard.Alive()) return;
  for (IFormHook* h : std::vector<IFormHook*>(FHooks)) h->FormClosing();
  if (action == caFree) Release();
  if (FModal) {
    if (FModalResult == mrNone) FModalResult = mrCancel;
    return;
  }
  if (Application().MainForm() == this) Application().Terminate();
  Hide();
}

void TCustomForm::Release() { PostMessage(this, CM_RELEASE); }

void TCustomForm::Dispatch(TMessage& m) {
  if (m.Msg == CM_RELEASE) {
    delete this;  // nothing of the form is touched after this
    return;
  }
  TCustomControl::Dispatch(m);
}

TModalResult TCustomForm::ShowModal() {
  if (Visible() || FModal) throw EInvalidOperation("Cannot make a visible window modal");
  FModal = true;
  FModalResult = mrNone;
  Show();
  Widgetset().ModalStarted(*this);
  try {
    while (FModalResult == mrNone && !Application().Terminated())
      if (!Application().HandleMessage()) break;  // nothing can set the result any more
  } catch (...) {
    FModal = false;
    Hide();
    throw;
  }
  if (FModalResult == mrNone) FModalResult = mrCancel;
  Widgetset().ModalEnded(*this);
  FModal = false;
  Hide();
  return FModalResult;
}

// A form stores its non-visual components first, then its controls.
void TCustomForm::GetChildren(const TGetChildProc& proc, TComponent* root) {
  for (int i = 0; i < ComponentCount(); ++i) {
    TComponent* c = Components(i);
    if (!dynamic_cast<TControl*>(c)) proc(c);
  }
  TCustomControl::GetChildren(proc, root);
}

TForm::TForm(TComponent* owner) : TCustomForm(owner) {}
TActiveForm::TActiveForm(TComponent* owner) : TCustomForm(owner) {}

// ---- TScreen ------------------------------------------------------------------------------------

int TScreen::Width() const { return Widgetset().ScreenSize().cx; }
int TScreen::Height() const { return Widgetset().ScreenSize().cy; }

TCustomForm* TScreen::Forms(int index) const {
  if (index < 0 || index >= FormCount()) throw EListError();
  return FForms[index];
}

TScreen& Screen() {
  static TScreen screen(nullptr);
  return screen;
}

// ---- TApplication -----------------------------------------------------------------------------

TApplication::TApplication(TComponent* owner) : TComponent(owner) {
  // What the forms touch while they are destroyed must outlive the application.
  Widgetset();
  Screen();
  FindControl(THandle());
  TTimer::ProcessTimers();
  RegisterStandardClasses();
}

TApplication::~TApplication() {
  Destroying();
  DestroyComponents();
}

TApplication& Application() {
  static TApplication app(nullptr);
  return app;
}

void TApplication::Reset() {
  FQueue.Clear();
  FTerminated = false;
  FMainForm = nullptr;
  FAnimate = true;
}

bool TApplication::ProcessOne() {
  if (auto m = FQueue.Take()) {
    if (auto* c = dynamic_cast<TControl*>(m->Target)) {
      try {
        c->WndProc(m->Message);
      } catch (const std::exception& e) {
        HandleException(e);
      }
    }
    return true;
  }
  return false;
}

// Due timers fire once per call (so a short interval cannot keep the call from returning);
// then messages and paints are handled until none is left. A paint that keeps invalidating
// itself is cut off after a bounded number of rounds.
void TApplication::ProcessMessages() {
  try {
    TTimer::ProcessTimers();
  } catch (const std::exception& e) {
    HandleException(e);
  }
  for (int rounds = 0; rounds < 1000; ++rounds) {
    bool did = false;
    while (ProcessOne()) did = true;
    try {
      if (Widgetset().ProcessEvents()) did = true;
    } catch (const std::exception& e) {
      HandleException(e);
      did = true;
    }
    if (!did) break;
  }
}

bool TApplication::HandleMessage() {
  if (ProcessOne()) return true;
  try {
    if (TTimer::ProcessTimers() > 0) return true;
    if (Widgetset().ProcessEvents()) return true;
    return Widgetset().WaitEvents();
  } catch (const std::exception& e) {
    HandleException(e);
    return true;
  }
}

void TApplication::Run() {
  if (FMainForm && !FMainForm->Visible()) FMainForm->Show();
  while (!FTerminated)
    if (!HandleMessage()) break;
}

void TApplication::HandleException(const std::exception& e) {
  if (OnException) {
    OnException(e);
    return;
  }
  Widgetset().MessageDlg(e.what(), mtError, {mbOK});
}

TModalResult TApplication::MessageBox(const std::string& text, const std::string&, TMsgDlgButtons buttons) {
  return Widgetset().MessageDlg(text, mtCustom, buttons);
}

// ---- message functions ------------------------------------------------------------------------

intptr_t SendMessage(TWinControl* target, uint32_t msg, intptr_t wParam, intptr_t lParam, TComponent* obj) {
  return target ? target->Perform(msg, wParam, lParam, obj) : 0;
}

intptr_t SendMessage(THandle window, uint32_t msg, intptr_t wParam, intptr_t lParam, TComponent* obj) {
  return SendMessage(FindControl(window), msg, wParam, lParam, obj);
}

bool PostMessage(TWinControl* target, uint32_t msg, intptr_t wParam, intptr_t lParam, TComponent* obj) {
  if (!target || target->IsDestroying()) return false;
  Application().Queue().Post(target, TMessage{msg, wParam, lParam, 0, obj});
  return true;
}

bool PostMessage(THandle window, uint32_t msg, intptr_t wParam, intptr_t lParam, TComponent* obj) {
  return PostMessage(FindControl(window), msg, wParam, lParam, obj);
}

std::optional<TMessage> PeekMessage(TWinControl* target, uint32_t msgMin, uint32_t msgMax, unsigned flags) {
  auto m = Application().Queue().Peek(target, msgMin, msgMax, flags);
  if (!m) return std::nullopt;
  return m->Message;
}

}  // namespace framework
