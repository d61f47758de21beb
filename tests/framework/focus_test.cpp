// Keyboard and focus: focus and tab order, OnEnter/OnExit, keys with the form's key
// preview, default and cancel buttons, on the headless widgetset with keys delivered the
// way a widgetset delivers them.
#include "TestSupport.h"
#include "framework/controls/Grids.h"
#include "framework/controls/Input.h"
#include "framework/widgetset/headless/HeadlessInput.h"

using namespace framework;

namespace fwtest {
namespace {

class FocusTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    Form = new TForm(nullptr);
    Form->SetName("Form");
    Form->SetBounds(0, 0, 400, 300);
  }
  void TearDown() override {
    delete Form;
    FrameworkTest::TearDown();
  }
  template <class T>
  T* Add(const char* name, TWinControl* parent = nullptr) {
    auto* c = new T(Form);
    c->SetName(name);
    c->SetParent(parent ? parent : Form);
    return c;
  }
  std::string FocusName() {
    TWinControl* c = Screen().ActiveControl();
    return c ? c->Name() : "(none)";
  }
  // Names visited by pressing Tab (or Shift+Tab) n times.
  std::vector<std::string> Walk(int n, TShiftState shift = {}) {
    std::vector<std::string> seen;
    for (int i = 0; i < n; ++i) {
      headless::PressKey(VK_TAB, shift);
      seen.push_back(FocusName());
    }
    return seen;
  }

  TForm* Form = nullptr;
};

// ---- focus and tab order
// ---------------------------------------------------------------------------

TEST_F(FocusTest, TabWalksTabOrderNotCreationOrderAndSkipsWhatCannotTakeTheFocus) {
  auto* a = Add<TEdit>("A");
  auto* b = Add<TEdit>("B");
  auto* box = Add<TPanel>("Box");  // no tab stop itself; its children are visited in place
  auto* c = Add<TEdit>("C", box);
  auto* d = Add<TButton>("D", box);
  auto* hidden = Add<TEdit>("Hidden");
  auto* off = Add<TEdit>("Off");
  auto* noStop = Add<TEdit>("NoStop");
  hidden->Hide();
  off->SetEnabled(false);
  noStop->SetTabStop(false);
  b->SetTabOrder(0);
  box->SetTabOrder(1);
  d->SetTabOrder(0);
  EXPECT_EQ(a->TabOrder(), 2);
  EXPECT_EQ(c->TabOrder(), 1);
  Form->Show();
  EXPECT_EQ(FocusName(), "B") << "showing the form focuses the first in tab order";
  EXPECT_EQ(Walk(5), (std::vector<std::string>{"D", "C", "A", "B", "D"}));
  EXPECT_EQ(Walk(3, {ssShift}), (std::vector<std::string>{"B", "A", "C"}));
  box->SetEnabled(false);  // a disabled container takes its children out
  EXPECT_EQ(Walk(2), (std::vector<std::string>{"A", "B"}));
}

TEST_F(FocusTest, TabOrderIsAPositionThatShiftsTheOthersAndIsClamped) {
  auto* a = Add<TEdit>("A");
  auto* b = Add<TEdit>("B");
  auto* c = Add<TEdit>("C");
  c->SetTabOrder(0);
  EXPECT_EQ((std::vector<int>{a->TabOrder(), b->TabOrder(), c->TabOrder()}),
            (std::vector<int>{1, 2, 0}));
  a->SetTabOrder(99);
  EXPECT_EQ(a->TabOrder(), 2);
  EXPECT_EQ(b->TabOrder(), 1);
  b->SetTabOrder(-5);
  EXPECT_EQ(b->TabOrder(), 0);
  c->SetParent(nullptr);  // leaving the parent closes the gap
  EXPECT_EQ(c->TabOrder(), -1);
  EXPECT_EQ(a->TabOrder(), 1);
  delete c;
}

TEST_F(FocusTest, TabOrderAndTabStopStreamAndAreRestoredByTheReader) {
  auto* a = Add<TEdit>("A");
  auto* b = Add<TEdit>("B");
  auto* c = Add<TButton>("C");
  a->SetTabStop(false);
  c->SetTabOrder(0);
  std::string text = WriteComponentToText(*Form);
  EXPECT_NE(text.find("TabStop = False"), std::string::npos);
  std::unique_ptr<TComponent> copy(ReadComponentFromText(text));
  auto* form = dynamic_cast<TForm*>(copy.get());
  ASSERT_NE(form, nullptr);
  auto order = [&](const char* name) {
    return static_cast<TWinControl*>(form->FindComponent(name))->TabOrder();
  };
  EXPECT_EQ(order("C"), 0);
  EXPECT_EQ(order("A"), 1);
  EXPECT_EQ(order("B"), 2);
  EXPECT_FALSE(static_cast<TWinControl*>(form->FindComponent("A"))->TabStop());
  EXPECT_EQ(WriteComponentToText(*form), text);
  (void)b;
}

TEST_F(FocusTest, TabOrdersReadInAnyOrderAreSortedOnceAllChildrenAreRead) {
  std::unique_ptr<TComponent> form(
      ReadComponentFromText("object F: TForm\n"
                            "  object E1: TEdit\n    TabOrder = 2\n  end\n"
                            "  object E2: TEdit\n    TabOrder = 0\n  end\n"
                            "  object E3: TEdit\n    TabOrder = 7\n  end\n"
                            "  object E4: TEdit\n    TabOrder = 1\n  end\n"
                            "end\n"));
  std::vector<int> orders;
  for (const char* n : {"E1", "E2", "E3", "E4"})
    orders.push_back(static_cast<TWinControl*>(form->FindComponent(n))->TabOrder());
  EXPECT_EQ(orders, (std::vector<int>{2, 0, 3, 1}));  // 7 is beyond the end: last
}

TEST_F(FocusTest, SetFocusFiresExitAndEnterAlongTheContainersAndFollowsActiveControl) {
  auto* p1 = Add<TPanel>("P1");
  auto* a = Add<TEdit>("A", p1);
  auto* p2 = Add<TPanel>("P2");
  auto* b = Add<TEdit>("B", p2);
  auto* c = Add<TEdit>("C", p2);
  std::vector<std::string> log;
  for (TWinControl* w : std::vector<TWinControl*>{p1, a, p2, b, c}) {
    w->OnEnter = TNotifyEvent([&log, w](TObject*) { log.push_back("enter " + w->Name()); });
    w->OnExit = TNotifyEvent([&log, w](TObject*) { log.push_back("exit " + w->Name()); });
  }
  Form->Show();
  EXPECT_TRUE(a->Focused());
  EXPECT_EQ(Form->ActiveControl(), a);
  log.clear();
  b->SetFocus();
  EXPECT_EQ(log, (std::vector<std::string>{"exit A", "exit P1", "enter P2", "enter B"}));
  log.clear();
  c->SetFocus();  // within the same container: it is neither left nor entered
  EXPECT_EQ(log, (std::vector<std::string>{"exit B", "enter C"}));
  EXPECT_TRUE(c->Focused());
  EXPECT_FALSE(b->Focused());
  Form->SetActiveControl(a);
  EXPECT_TRUE(a->Focused());
  c->Hide();
  EXPECT_FALSE(c->CanFocus());
  EXPECT_THROW(c->SetFocus(), EInvalidOperation);
  EXPECT_TRUE(a->Focused());
  p1->SetEnabled(false);
  EXPECT_FALSE(a->CanFocus()) << "a disabled container disables its children's focus";
}

TEST_F(FocusTest, FreeingTheFocusedControlLeavesNoDanglingFocus) {
  auto* p = Add<TPanel>("P");
  auto* a = Add<TEdit>("A", p);
  Add<TEdit>("B");
  Form->Show();
  a->SetFocus();
  delete p;
  EXPECT_EQ(Screen().ActiveControl(), nullptr);
  EXPECT_EQ(Form->ActiveControl(), nullptr);
  EXPECT_EQ(Walk(1), (std::vector<std::string>{"B"}));
}

TEST_F(FocusTest, AGridWithTabsKeepsTabButAPlainGridPassesItOn) {
  auto* grid = Add<TStringGrid>("Grid");
  auto* e = Add<TEdit>("E");
  Form->Show();
  grid->SetFocus();
  EXPECT_TRUE(headless::PressKey(VK_TAB));
  EXPECT_TRUE(e->Focused());
  grid->SetOptions(grid->Options() + TGridOptions{goTabs});
  grid->SetFocus();
  EXPECT_FALSE(headless::PressKey(VK_TAB)) << "the grid's own Tab: not used up by the form";
  EXPECT_TRUE(grid->Focused());
}

// ---- keys
// --------------------------------------------------------------------------------------------

TEST_F(FocusTest, KeysReachTheFocusedControlAfterTheFormWhenItPreviewsThem) {
  auto* e = Add<TEdit>("E");
  std::vector<std::string> log;
  auto keyLog = [&log](const std::string& who) {
    return TKeyEvent([&log, who](TObject*, uint16_t& key, TShiftState) {
      log.push_back(who + " " + std::to_string(key));
    });
  };
  auto pressLog = [&log](const std::string& who) {
    return TKeyPressEvent(
        [&log, who](TObject*, char& ch) { log.push_back(who + " '" + std::string(1, ch) + "'"); });
  };
  e->OnKeyDown = keyLog("E down");
  e->OnKeyUp = keyLog("E up");
  e->OnKeyPress = pressLog("E press");
  Form->OnKeyDown = keyLog("Form down");
  Form->OnKeyPress = pressLog("Form press");
  Form->Show();
  headless::PressKey('A');
  EXPECT_EQ(log, (std::vector<std::string>{"E down 65", "E press 'a'", "E up 65"}));
  log.clear();
  Form->SetKeyPreview(true);
  headless::PressKey('B', {ssShift});
  EXPECT_EQ(log, (std::vector<std::string>{"Form down 66", "E down 66", "Form press 'B'",
                                           "E press 'B'", "E up 66"}));
}

TEST_F(FocusTest, AHandlerThatClearsTheKeySwallowsIt) {
  auto* e = Add<TEdit>("E");
  auto* other = Add<TEdit>("Other");
  int editDowns = 0, presses = 0;
  e->OnKeyDown = TKeyEvent([&](TObject*, uint16_t&, TShiftState) { ++editDowns; });
  e->OnKeyPress = TKeyPressEvent([&](TObject*, char&) { ++presses; });
  Form->SetKeyPreview(true);
  Form->OnKeyDown = TKeyEvent([](TObject*, uint16_t& key, TShiftState) {
    if (key == VK_TAB || key == 'X') key = 0;
  });
  Form->OnKeyPress = TKeyPressEvent([](TObject*, char& ch) {
    if (ch == 'q') ch = 0;
  });
  Form->Show();
  EXPECT_TRUE(headless::PressKey(VK_TAB));  // used up by the form: the focus stays
  EXPECT_TRUE(e->Focused());
  EXPECT_EQ(editDowns, 0);
  EXPECT_TRUE(headless::PressKey('X'));
  EXPECT_TRUE(headless::PressKey('Q'));  // the key went down, the character was swallowed
  EXPECT_EQ(editDowns, 1);
  EXPECT_EQ(presses, 0);
  EXPECT_FALSE(headless::PressKey('Z')) << "an ordinary key is left to the native control";
  EXPECT_EQ(presses, 1);
  (void)other;
}

// ---- default and cancel buttons
// ----------------------------------------------------------------------

TEST_F(FocusTest, EnterPressesTheDefaultButtonUnlessAnotherButtonHasTheFocus) {
  auto* e = Add<TEdit>("E");
  auto* ok = Add<TButton>("Ok");
  auto* other = Add<TButton>("Other");
  auto* cancel = Add<TButton>("Cancel");
  ok->SetDefault(true);
  cancel->SetCancel(true);
  std::vector<std::string> clicks;
  for (TButton* b : {ok, other, cancel})
    b->OnClick = TNotifyEvent([&clicks, b](TObject*) { clicks.push_back(b->Name()); });
  Form->Show();
  e->SetFocus();
  EXPECT_TRUE(headless::PressKey(VK_RETURN));
  EXPECT_TRUE(headless::PressKey(VK_ESCAPE));
  other->SetFocus();
  headless::PressKey(VK_RETURN);  // the focused button, not the default
  headless::PressKey(VK_SPACE);
  EXPECT_EQ(clicks, (std::vector<std::string>{"Ok", "Cancel", "Other", "Other"}));
  clicks.clear();
  e->SetFocus();
  ok->SetEnabled(false);
  EXPECT_FALSE(headless::PressKey(VK_RETURN)) << "a disabled default button is not pressed";
  headless::PressKey(VK_RETURN, {ssCtrl});
  EXPECT_TRUE(clicks.empty());
}

TEST_F(FocusTest, EscapeOnAModalFormPressesItsCancelButtonAndEndsTheLoop) {
  Add<TEdit>("E");
  auto* cancel = Add<TButton>("Cancel");
  cancel->SetCancel(true);
  cancel->SetModalResult(mrCancel);
  auto* ok = Add<TButton>("Ok");
  ok->SetDefault(true);
  ok->SetModalResult(mrOk);
  WS().SetModalScript([](TCustomForm&) { headless::PressKey(VK_RETURN); });
  EXPECT_EQ(Form->ShowModal(), mrOk);
  WS().SetModalScript([](TCustomForm&) { headless::PressKey(VK_ESCAPE); });
  EXPECT_EQ(Form->ShowModal(), mrCancel);
}

// ---- hints
// ---------------------------------------------------------------------------------------------

TEST_F(FocusTest, TheHintShownIsTheOneOfTheControlUnderThePointerWhenItShowsHints) {
  auto* p = Add<TPanel>("P");
  p->SetBounds(0, 0, 200, 100);
  auto* b = new TSpeedButton(Form);
  b->SetName("Btn");
  b->SetParent(p);
  b->SetBounds(10, 10, 20, 20);
  b->SetHint("Open a file");
  p->SetHint("The panel");
  Form->Show();
  EXPECT_EQ(HintAt(*p, {15, 15}), "");  // ShowHint is off
  b->SetShowHint(true);
  EXPECT_EQ(HintAt(*p, {15, 15}), "Open a file");
  EXPECT_EQ(HintAt(*p, {150, 50}), "");
  std::string text = WriteComponentToText(*Form);
  EXPECT_NE(text.find("Hint = 'Open a file'"), std::string::npos);
  EXPECT_NE(text.find("ShowHint = True"), std::string::npos);
}

}  // namespace
}  // namespace fwtest
