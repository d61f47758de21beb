// Forms and the application: TCustomForm/TForm (a top-level window that owns its controls,
// loads itself from its form text, shows modelessly or modally), TActiveForm (a form hosted
// as an embedded control), TScreen (screen size, forms), TApplication (the main form, the
// message queue with send, post, peek and ProcessMessages, the message loop, the standard
// error report) and the message functions that address windows by handle.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/controls/Controls.h"
#include "framework/messages/MessageQueue.h"

namespace framework {

class IDesigner;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;  // controls use bsNone and bsSingle
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter, poMainFormCenter, poOwnerFormCenter };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = TEvent<TObject*, TCloseAction&>;
using TCloseQueryEvent = TEvent<TObject*, bool&>;

// A form learns about components that want to hear when it is shown and closed (e.g. a
// form-state store) through this interface.
class IFormHook {
 public:
  virtual ~IFormHook() = default;
  virtual void FormShowing() {}
  virtual void FormClosing() {}
};

class TCustomForm : public TCustomControl {
  FW_CLASS(TCustomForm, TCustomControl)
 public:
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;

  // Reads the form text registered as resource <resourceName> (default: the class name)
  // into this form. Raises EResNotFound when there is none, EReadError for bad text.
  void LoadFromResource(const std::string& resourceName = "");
  void LoadFromText(std::string_view text);
  // Fires OnCreate; TApplication::CreateForm and CreateForm<T> call it after construction.
  virtual void AfterConstruction();

  void Show();
  void Hide() { SetVisible(false); }
  // Asks OnCloseQuery, then OnClose decides: caHide hides the form, caFree hides it and
  // releases it (see Release), caNone keeps it. A modal form ends its modal loop instead of
  // hiding. OnCloseQuery or OnClose may free the form.
  void Close();
  // Frees the form once the message being handled now is done: the way to free a form from
  // the handlers of its own controls (a dialog's button) or from its own events.
  void Release();
  void Dispatch(TMessage& m) override;  // CM_RELEASE frees the form
  // Runs a modal loop until ModalResult is set; returns it.
  TModalResult ShowModal();
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult value) { FModalResult = value; }
  bool Modal() const { return FModal; }

  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle value);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition value) { FPosition = value; }
  // The control that has the focus while the form is active (and gets it when the form
  // becomes active). Setting it moves the focus there when the form is the active one;
  // EInvalidOperation when the control is not on the form or cannot take the focus.
  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* control);
  // Keys go to the form's OnKeyDown, OnKeyPress and OnKeyUp before the focused control's.
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool value) { FKeyPreview = value; }
  // The form whose controls have the focus (TScreen::ActiveForm).
  bool Active() const;
  // Makes this form the active one and focuses its active control (or the first control
  // in tab order). Showing a form does this.
  void Activate();
  // Moves the focus to a control of this form (nullptr: the form itself), with CM_EXIT and
  // CM_ENTER; the widgetset follows. Used by SetFocus and by the widgetsets.
  void FocusControl(TWinControl* control);
  IDesigner* Designer() const { return FDesigner; }
  // Sets the designer; a form with a designer is being designed, with all it owns.
  void SetDesigner(IDesigner* designer);
  void AddHook(IFormHook* hook);
  void RemoveHook(IFormHook* hook);

  void GetChildren(const TGetChildProc& proc, TComponent* root) override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

 protected:
  bool IsTopLevel() const override { return true; }
  void CreateParams(TCreateParams& params) override;
  void VisibleChanged() override;
  void Paint() override { OnPaint(this); }
  virtual bool CloseQuery();
  void DoClose(TCloseAction& action);
  void CMDialogKey(TMessage& m) override;  // Tab and Shift+Tab move the focus

 private:
  friend class TWinControl;
  TWinControl* FActiveControl = nullptr;
  bool FKeyPreview = false;
  TFormBorderStyle FBorderStyle = bsSizeable;
  TPosition FPosition = poDesigned;
  TModalResult FModalResult = mrNone;
  bool FModal = false;
  IDesigner* FDesigner = nullptr;
  std::vector<IFormHook*> FHooks;
  bool FCreated = false;
};

// Posted by TCustomForm::Release; the form frees itself when it handles it.
inline constexpr uint32_t CM_RELEASE = CM_BASE + 33;

class TForm : public TCustomForm {
  FW_CLASS(TForm, TCustomForm)
 public:
  explicit TForm(TComponent* owner);
};

// A form embedded as an ActiveX control in a host; components check for it by class.
class TActiveForm : public TCustomForm {
  FW_CLASS(TActiveForm, TCustomForm)
 public:
  explicit TActiveForm(TComponent* owner);
};

class TScreen : public TComponent {
  FW_CLASS(TScreen, TComponent)
 public:
  explicit TScreen(TComponent* owner) : TComponent(owner) {}
  int Width() const;
  int Height() const;
  int FormCount() const { return static_cast<int>(FForms.size()); }
  TCustomForm* Forms(int index) const;
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor value) { FCursor = value; }
  // The focused control (nullptr: none) and the form it lies on (the active form).
  TWinControl* ActiveControl() const { return FActiveControl; }
  TCustomForm* ActiveForm() const { return FActiveForm; }

 private:
  friend class TCustomForm;
  friend class TWinControl;
  std::vector<TCustomForm*> FForms;
  TWinControl* FActiveControl = nullptr;
  TCustomForm* FActiveForm = nullptr;
  TCursor FCursor = crDefault;
};

class TApplication : public TComponent {
  FW_CLASS(TApplication, TComponent)
 public:
  explicit TApplication(TComponent* owner);
  ~TApplication() override;

  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& value) { FTitle = value; }
  TCustomForm* MainForm() const { return FMainForm; }
  // Creates a form owned by the application; the first one becomes the main form.
  template <class T>
  T* CreateForm() {
    T* form = new T(this);
    form->AfterConstruction();
    if (!FMainForm) FMainForm = form;
    return form;
  }
  // Runs the message loop until Terminate (or the main form closes).
  void Run();
  void Terminate() { FTerminated = true; }
  bool Terminated() const { return FTerminated; }
  // Handles every posted message (and those posted meanwhile), due timers and pending
  // paints, then returns.
  void ProcessMessages();
  // Handles one message (or waits for one); false when there was nothing to do.
  bool HandleMessage();
  // The standard error report: OnException if assigned, else a message box.
  void HandleException(const std::exception& e);
  std::function<void(const std::exception&)> OnException;
  TModalResult MessageBox(const std::string& text, const std::string& caption, TMsgDlgButtons buttons);

  TMessageQueue& Queue() { return FQueue; }
  // Whether controls animate their changes (slides and the like); off, they jump to the
  // end state at once. On by default.
  bool Animate() const { return FAnimate; }
  void SetAnimate(bool value) { FAnimate = value; }
  // Forgets the main form and pending messages, clears Terminated (for tests).
  void Reset();

 private:
  friend class TCustomForm;
  bool ProcessOne();
  std::string FTitle;
  TCustomForm* FMainForm = nullptr;
  bool FTerminated = false;
  bool FAnimate = true;
  TMessageQueue FQueue;
};

TApplication& Application();
TScreen& Screen();

// Sends a message to a control (handled before it returns) and returns the result.
intptr_t SendMessage(TWinControl* target, uint32_t msg, intptr_t wParam = 0, intptr_t lParam = 0,
                     TComponent* obj = nullptr);
intptr_t SendMessage(THandle window, uint32_t msg, intptr_t wParam = 0, intptr_t lParam = 0,
                     TComponent* obj = nullptr);
// Posts a message: it is handled after the current handler has returned, by
// ProcessMessages or the message loop. False when the target does not exist.
bool PostMessage(TWinControl* target, uint32_t msg, intptr_t wParam = 0, intptr_t lParam = 0,
                 TComponent* obj = nullptr);
bool PostMessage(THandle window, uint32_t msg, intptr_t wParam = 0, intptr_t lParam = 0,
                 TComponent* obj = nullptr);
// Looks at the first posted message for the control (any control when nullptr) in the
// range (0, 0: any); removes it when flags is PM_REMOVE.
std::optional<TMessage> PeekMessage(TWinControl* target, uint32_t msgMin, uint32_t msgMax,
                                    unsigned flags);

}  // namespace framework

FW_DECLARE_ENUM(framework::TFormBorderStyle)
FW_DECLARE_ENUM(framework::TPosition)
