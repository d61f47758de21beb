// Handlers that free the control they were called for (or its panel, or its form) while
// the framework's message path is still running for it: mouse clicks and double clicks,
// keys, dialog keys, drags, popups and text changes. The path must stop at the handler and
// touch nothing that is gone; the sanitizer build catches any access to freed memory.
#include <optional>

#include "TestSupport.h"
#include "framework/controls/Input.h"
#include "framework/controls/Menus.h"
#include "framework/messages/DestroyGuard.h"
#include "framework/messages/Timer.h"
#include "framework/widgetset/headless/HeadlessInput.h"

using namespace framework;

namespace fwtest {
namespace {

// ---- the guard ------------------------------------------------------------------------------

TEST(DestroyGuardTest, TurnsFalseWhenTheComponentOrItsOwnerIsFreed) {
  auto* owner = new TComponent(nullptr);
  auto* owned = new TComponent(owner);
  auto* other = new TComponent(nullptr);
  TDestroyGuard ownerGuard(owner), ownedGuard(owned), otherGuard(other);
  TDestroyGuard second(owned), none(nullptr);
  EXPECT_TRUE(ownedGuard.Alive());
  EXPECT_FALSE(none.Alive());
  delete owner;
  EXPECT_FALSE(ownerGuard.Alive());
  EXPECT_FALSE(ownedGuard.Alive());
  EXPECT_FALSE(second.Alive());
  EXPECT_TRUE(otherGuard.Alive());
  delete other;
  EXPECT_FALSE(otherGuard.Alive());
}

TEST(DestroyGuardTest, SeesAComponentDestroyedWithoutDeleteAndGuardsLeavingInAnyOrder) {
  std::optional<TComponent> local(std::in_place, nullptr);
  auto first = std::make_unique<TDestroyGuard>(&*local);
  TDestroyGuard middle(&*local);
  auto last = std::make_unique<TDestroyGuard>(&*local);
  first.reset();  // the oldest guard leaves first: the others stay in the list
  local.reset();
  EXPECT_FALSE(middle.Alive());
  EXPECT_FALSE(last->Alive());
}

// ---- the fixture ----------------------------------------------------------------------------

class FreeingTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    Form = new TForm(nullptr);
    Form->SetBounds(100, 50, 400, 300);
    Panel = new TPanel(Form);
    Panel->SetParent(Form);
    Panel->SetBounds(10, 10, 300, 200);
    Form->Show();
  }
  void TearDown() override {
    delete Form;
    FrameworkTest::TearDown();
  }
  // Frees what the case names: "control", "panel" (its parent) or "form".
  void Free(const std::string& what, TControl*& control) {
    if (what == "control") delete control;
    if (what == "panel") delete Panel, Panel = nullptr;
    if (what == "form") delete Form, Form = nullptr;
    control = nullptr;
  }
  TForm* Form = nullptr;
  TPanel* Panel = nullptr;
  std::vector<std::string> Seen;
};

// ---- events ---------------------------------------------------------------------------------

// The handler's own captures live in the event's binding, which the freed button held.
TEST_F(FreeingTest, AHandlerThatFreesItsSenderStillUsesWhatItCaptured) {
  auto* button = new TSpeedButton(Form);
  std::string note = "after the free";
  button->OnClick = TNotifyEvent([&, button, note](TObject*) {
    delete button;
    Seen.push_back(note);
  });
  button->Click();
  EXPECT_EQ(Seen, std::vector<std::string>{"after the free"});
}

// ---- the mouse ------------------------------------------------------------------------------

struct TClickCase {
  const char* Kind;  // "speed" (graphic) or "button" (windowed)
  const char* Frees;
};

class FreeingClickTest : public FreeingTest, public ::testing::WithParamInterface<TClickCase> {
 protected:
  TControl* MakeControl() {
    TControl* c = std::string(GetParam().Kind) == "speed"
                      ? static_cast<TControl*>(new TSpeedButton(Form))
                      : new TButton(Form);
    c->SetParent(Panel);
    c->SetBounds(20, 20, 60, 30);
    c->OnMouseUp = TMouseEvent(
        [this](TObject*, TMouseButton, TShiftState, int, int) { Seen.push_back("up"); });
    return c;
  }
  // Press and release over the control, delivered to the window that holds it.
  void ClickAt(TControl* c) {
    TWinControl* window = c->IsWindowed() ? static_cast<TWinControl*>(c) : c->Parent();
    const int x = c->IsWindowed() ? 5 : c->Left() + 5, y = c->IsWindowed() ? 5 : c->Top() + 5;
    THandle h = window->Handle();
    DeliverMouse(h, WM_LBUTTONDOWN, {}, x, y);
    DeliverMouse(h, WM_LBUTTONUP, {}, x, y);
  }
};

TEST_P(FreeingClickTest, AClickThatFreesTheControlEndsWithTheClick) {
  TControl* c = MakeControl();
  c->OnClick = TNotifyEvent([&](TObject*) {
    Seen.push_back("click");
    Free(GetParam().Frees, c);
  });
  ClickAt(c);
  EXPECT_EQ(Seen, std::vector<std::string>{"click"});
  EXPECT_EQ(GetCaptureControl(), nullptr);
  if (Form) {  // what is left still takes the mouse
    headless::Click(*Form, 350, 250);
    Application().ProcessMessages();
  }
}

TEST_P(FreeingClickTest, AControlThatStaysHearsTheClickThenTheRelease) {
  TControl* c = MakeControl();
  c->OnClick = TNotifyEvent([&](TObject*) { Seen.push_back("click"); });
  ClickAt(c);
  EXPECT_EQ(Seen, (std::vector<std::string>{"click", "up"}));
}

TEST_P(FreeingClickTest, ADoubleClickThatFreesTheControlIsNoPressAfterwards) {
  TControl* c = MakeControl();
  c->OnMouseDown =
      TMouseEvent([&](TObject*, TMouseButton, TShiftState, int, int) { Seen.push_back("down"); });
  c->OnDblClick = TNotifyEvent([&](TObject*) {
    Seen.push_back("double");
    Free(GetParam().Frees, c);
  });
  TWinControl* window = c->IsWindowed() ? static_cast<TWinControl*>(c) : c->Parent();
  const int x = c->IsWindowed() ? 5 : c->Left() + 5, y = c->IsWindowed() ? 5 : c->Top() + 5;
  DeliverMouse(window->Handle(), WM_LBUTTONDBLCLK, {}, x, y);
  EXPECT_EQ(Seen, std::vector<std::string>{"double"});
  EXPECT_EQ(GetCaptureControl(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    What, FreeingClickTest,
    ::testing::Values(TClickCase{"speed", "control"}, TClickCase{"speed", "panel"},
                      TClickCase{"speed", "form"}, TClickCase{"button", "control"},
                      TClickCase{"button", "panel"}, TClickCase{"button", "form"}),
    [](const auto& info) { return std::string(info.param.Kind) + "_frees_" + info.param.Frees; });

TEST_F(FreeingTest, ARadioGroupFreedByItsClickHearsNoPress) {
  auto* group = new TRadioGroup(Form);
  group->SetParent(Panel);
  group->SetBounds(10, 10, 200, 100);
  group->Items()->Add("One");
  group->Items()->Add("Two");
  group->OnMouseDown =
      TMouseEvent([&](TObject*, TMouseButton, TShiftState, int, int) { Seen.push_back("down"); });
  group->OnClick = TNotifyEvent([&](TObject*) {
    Seen.push_back("click");
    delete group;
  });
  TRect item = group->ItemRect(1);
  DeliverMouse(group->Handle(), WM_LBUTTONDOWN, {}, item.Left + 5, item.Top + 5);
  EXPECT_EQ(Seen, std::vector<std::string>{"click"});
}

// ---- keys -----------------------------------------------------------------------------------

TEST_F(FreeingTest, AFormPreviewThatFreesTheFocusedEditSwallowsTheKey) {
  auto* edit = new TEdit(Form);
  edit->SetParent(Panel);
  edit->OnKeyDown =
      TKeyEvent([&](TObject*, uint16_t&, TShiftState) { Seen.push_back("edit down"); });
  edit->OnKeyPress = TKeyPressEvent([&](TObject*, char&) { Seen.push_back("edit press"); });
  edit->SetFocus();
  Form->SetKeyPreview(true);
  Form->OnKeyDown = TKeyEvent([&](TObject*, uint16_t&, TShiftState) {
    Seen.push_back("form down");
    delete edit;
  });
  EXPECT_TRUE(headless::PressKey('A'));
  EXPECT_EQ(Seen, std::vector<std::string>{"form down"});
  EXPECT_EQ(Screen().ActiveControl(), nullptr);
}

TEST_F(FreeingTest, AButtonFreedByItsOwnKeyUpIsNotPressedBySpace) {
  auto* button = new TButton(Form);
  button->SetParent(Panel);
  button->OnClick = TNotifyEvent([&](TObject*) { Seen.push_back("click"); });
  button->OnKeyUp = TKeyEvent([&](TObject*, uint16_t&, TShiftState) {
    Seen.push_back("key up");
    delete button;
  });
  button->SetFocus();
  headless::PressKey(VK_SPACE);
  EXPECT_EQ(Seen, std::vector<std::string>{"key up"});
}

// Escape presses the cancel button of a dialog, whose click frees the dialog; the dialog
// key was being offered down the dialog's children at the time.
TEST_F(FreeingTest, ACancelButtonThatFreesItsFormEndsTheDialogKey) {
  auto* edit = new TEdit(Form);
  edit->SetParent(Form);
  auto* cancel = new TButton(Form);
  cancel->SetParent(Panel);
  cancel->SetCancel(true);
  auto* later = new TButton(Form);
  later->SetParent(Panel);
  later->SetCancel(true);
  later->OnClick = TNotifyEvent([&](TObject*) { Seen.push_back("later"); });
  cancel->OnClick = TNotifyEvent([&](TObject*) {
    Seen.push_back("cancel");
    delete Form;
    Form = nullptr;
  });
  edit->SetFocus();
  EXPECT_TRUE(headless::PressKey(VK_ESCAPE));
  EXPECT_EQ(Seen, std::vector<std::string>{"cancel"});
}

// ---- dragging -------------------------------------------------------------------------------

class FreeingDragTest : public FreeingTest {
 protected:
  void SetUp() override {
    FreeingTest::SetUp();
    Source = new TPanel(Form);
    Source->SetParent(Panel);
    Source->SetBounds(10, 10, 40, 40);
    Source->OnEndDrag = TEndDragEvent([this](TObject*, TObject* target, int, int) {
      Seen.push_back(target ? "end on target" : "end on nothing");
    });
    Target = new TPanel(Form);
    Target->SetParent(Panel);
    Target->SetBounds(150, 10, 100, 100);
    Target->OnDragOver =
        TDragOverEvent([this](TObject*, TObject*, int, int, TDragState state, bool& accept) {
          Seen.push_back(state == dsDragEnter ? "enter" : state == dsDragLeave ? "leave" : "over");
          accept = true;
        });
  }
  // Drags the source onto the target and drops it there.
  void DragAndDrop() {
    headless::MouseMove(*Source, 5, 5);
    Source->BeginDrag(true);
    headless::MouseMove(*Target, 20, 20);
    headless::MouseUp(*Target, 20, 20);
  }
  TPanel* Source = nullptr;
  TPanel* Target = nullptr;
};

TEST_F(FreeingDragTest, ADropThatFreesTheDraggedControlGivesItNoEndDrag) {
  Target->OnDragDrop = TDragDropEvent([&](TObject*, TObject* source, int, int) {
    Seen.push_back("drop");
    delete static_cast<TPanel*>(source);
  });
  DragAndDrop();
  EXPECT_EQ(Seen, (std::vector<std::string>{"enter", "drop"}));
  EXPECT_EQ(GetCaptureControl(), nullptr);
}

TEST_F(FreeingDragTest, ADropThatFreesTheTargetEndsTheDragOnNothing) {
  Target->OnDragDrop = TDragDropEvent([&](TObject*, TObject*, int, int) {
    Seen.push_back("drop");
    delete Target;
  });
  DragAndDrop();
  EXPECT_EQ(Seen, (std::vector<std::string>{"enter", "drop", "end on nothing"}));
}

TEST_F(FreeingDragTest, ALeaveThatFreesTheNextTargetMovesTheDragOnToNothing) {
  auto* next = new TPanel(Form);
  next->SetParent(Panel);
  next->SetBounds(260, 10, 30, 30);
  next->OnDragOver = TDragOverEvent([&](TObject*, TObject*, int, int, TDragState, bool& accept) {
    Seen.push_back("next");
    accept = true;
  });
  Target->OnDragOver =
      TDragOverEvent([&](TObject*, TObject*, int, int, TDragState state, bool& accept) {
        Seen.push_back(state == dsDragLeave ? "leave" : "enter");
        if (state == dsDragLeave) delete next;
        accept = true;
      });
  headless::MouseMove(*Source, 5, 5);
  Source->BeginDrag(true);
  headless::MouseMove(*Target, 20, 20);
  headless::MouseMove(*next, 5, 5);
  headless::MouseUp(*Panel, 270, 20);
  EXPECT_EQ(Seen, (std::vector<std::string>{"enter", "leave", "end on nothing"}));
}

TEST_F(FreeingTest, AnOnExitThatFreesTheControlBeingFocusedKeepsTheFocus) {
  auto* first = new TEdit(Form);
  first->SetParent(Panel);
  auto* second = new TEdit(Form);
  second->SetParent(Panel);
  first->SetFocus();
  second->OnEnter = TNotifyEvent([&](TObject*) { Seen.push_back("enter"); });
  first->OnExit = TNotifyEvent([&](TObject*) {
    Seen.push_back("exit");
    delete second;
  });
  second->SetFocus();
  EXPECT_EQ(Seen, std::vector<std::string>{"exit"});
  EXPECT_EQ(Screen().ActiveControl(), first);
}

// ---- closing a form from its own controls ---------------------------------------------------

// The safe way: OnClose answers caFree, the form is hidden at once and freed once the
// click is done; the click ends normally on the live button.
TEST_F(FreeingTest, ADialogClosedWithCaFreeGoesOnceTheClickIsDone) {
  auto* ok = new TButton(Form);
  ok->SetParent(Panel);
  ok->OnClick = TNotifyEvent([&](TObject*) { Form->Close(); });
  ok->OnMouseUp =
      TMouseEvent([&](TObject*, TMouseButton, TShiftState, int, int) { Seen.push_back("up"); });
  Form->OnClose = TCloseEvent([](TObject*, TCloseAction& action) { action = caFree; });
  TDestroyGuard formGuard(Form);
  DeliverMouse(ok->Handle(), WM_LBUTTONDOWN, {}, 5, 5);
  DeliverMouse(ok->Handle(), WM_LBUTTONUP, {}, 5, 5);
  EXPECT_EQ(Seen, std::vector<std::string>{"up"});
  ASSERT_TRUE(formGuard.Alive());
  EXPECT_FALSE(Form->Visible());
  Application().ProcessMessages();
  EXPECT_FALSE(formGuard.Alive());
  Form = nullptr;
}

TEST_F(FreeingTest, CloseStopsWhenOnCloseQueryOrOnCloseFreesTheForm) {
  for (bool inQuery : {true, false}) {
    auto* form = new TForm(nullptr);
    form->Show();
    if (inQuery)
      form->OnCloseQuery = TCloseQueryEvent([&](TObject*, bool&) { delete form; });
    else
      form->OnClose = TCloseEvent([&](TObject*, TCloseAction&) { delete form; });
    TDestroyGuard guard(form);
    form->Close();  // nothing of the form is touched afterwards
    EXPECT_FALSE(guard.Alive());
  }
}

// ---- popups, text, timers -------------------------------------------------------------------

TEST_F(FreeingTest, APopupMenuFreedByItsOnPopupDoesNotPopUp) {
  auto* menu = new TPopupMenu(Form);
  auto* item = new TMenuItem(Form);
  item->SetCaption("Open");
  menu->Items().Add(item);
  menu->OnPopup = TNotifyEvent([&](TObject*) { delete menu; });
  menu->Popup(10, 10);
  EXPECT_TRUE(WS().MenuLog().empty());
  EXPECT_FALSE(WS().ChooseMenuItem("Open"));
}

TEST_F(FreeingTest, AnEditFreedByItsOnChangeIsNotSizedAfterwards) {
  auto* edit = new TEdit(Form);
  edit->SetParent(Panel);
  edit->OnChange = TNotifyEvent([&](TObject*) {
    Seen.push_back("change");
    delete edit;
  });
  edit->SetText("x");
  EXPECT_EQ(Seen, std::vector<std::string>{"change"});
}

// A form whose OnDestroy pumps messages: its own timer is due, but the form is half gone.
TEST_F(FreeingTest, ATimerOfAFormBeingDestroyedDoesNotFire) {
  auto* timer = new TTimer(Form);
  timer->SetInterval(10);
  timer->SetOnTimer(TNotifyEvent([&](TObject*) { Seen.push_back("tick"); }));
  TestClock.Advance(20);
  Form->OnDestroy = TNotifyEvent([&](TObject*) { Application().ProcessMessages(); });
  Form->AfterConstruction();  // as Application().CreateForm does: OnDestroy fires
  delete Form;
  Form = nullptr;
  EXPECT_TRUE(Seen.empty());
}

}  // namespace
}  // namespace fwtest
