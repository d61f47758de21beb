// Freeing menu-bar buttons and their panels: a button without an owner frees its panel,
// whichever of the two goes first and whoever frees it (the bar, the window it lies on),
// nothing is freed twice; and a real click whose handler frees the button or the bar.
#include <optional>

#include "MenuBarFixture.h"
#include "framework/controls/Input.h"
#include "framework/messages/DestroyGuard.h"

namespace tessapack::test {
namespace {

using namespace framework;

class MenuBarFreeing : public MenuBarFixture {};

TEST_F(MenuBarFreeing, AButtonWithoutAnOwnerFreesItsPanel) {
  auto* button = new TMenuButton(nullptr);
  TMBPanel* panel = button->Panel();
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->Owner(), nullptr);
  EXPECT_EQ(panel->Button(), button);
  TDestroyGuard panelGuard(panel);
  delete button;
  EXPECT_FALSE(panelGuard.Alive());
  std::optional<TMenuButton> local(std::in_place, nullptr);  // destroyed without delete
  TDestroyGuard localGuard(local->Panel());
  local.reset();
  EXPECT_FALSE(localGuard.Alive());
}

TEST_F(MenuBarFreeing, APanelFreedFirstLeavesItsButtonWithout) {
  auto* button = new TMenuButton(nullptr);
  delete button->Panel();
  EXPECT_EQ(button->Panel(), nullptr);
  delete button;  // nothing freed twice
}

// An owner-less button placed on a bar by hand (not one of the bar's buttons), its panel
// shown on the bar: the bar frees both as children it holds, in either order.
TEST_F(MenuBarFreeing, ABarFreesAnOwnerlessButtonAndItsPanelLyingOnItOnce) {
  for (bool panelFirst : {false, true}) {
    Make(2);
    auto* button = new TMenuButton(nullptr);
    TMBPanel* panel = button->Panel();
    if (panelFirst) panel->SetParent(Bar);  // the panel lies before the button
    button->SetParent(Bar);
    button->ShowPanel();
    EXPECT_EQ(panel->Parent(), Bar);
    EXPECT_EQ(Bar->GetCount(), 2) << "not one of the bar's buttons";
    TDestroyGuard buttonGuard(button), panelGuard(panel);
    delete Bar;
    EXPECT_FALSE(buttonGuard.Alive());
    EXPECT_FALSE(panelGuard.Alive());
  }
}

TEST_F(MenuBarFreeing, TheBarsOwnButtonsAndPanelsGoOnceByDeleteAndWithTheBar) {
  Make(3);
  TMBPanel* panel = Bar->GetPanel(1);
  TDestroyGuard panelGuard(panel);
  Bar->DeleteButton(1);
  EXPECT_FALSE(panelGuard.Alive());
  delete Bar->GetPanel(0);  // a panel freed on its own
  EXPECT_EQ(Bar->GetButton(0)->Panel(), nullptr);
  delete Bar->GetButton(1);  // a button freed on its own: its panel stays with the bar
  ASSERT_EQ(Bar->GetCount(), 1);
  Form.reset();
}

// A real press and release on a button, as the widgetset delivers it to the bar's window.
void ClickButton(TMenuBar* bar, TMenuButton* b) {
  DeliverMouse(bar->Handle(), WM_LBUTTONDOWN, {}, b->Left() + 5, b->Top() + 5);
  DeliverMouse(bar->Handle(), WM_LBUTTONUP, {}, b->Left() + 5, b->Top() + 5);
}

TEST_F(MenuBarFreeing, AClickWhoseHandlerFreesTheButtonOrTheBarEndsThere) {
  for (const char* frees : {"button", "bar", "form"}) {
    Make(3);
    TMenuButton* b = Bar->GetButton(2);
    int ups = 0;
    b->OnMouseUp = TMouseEvent([&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; });
    b->OnClick = TNotifyEvent([&, frees](TObject*) {
      Events.push_back("click");
      if (std::string(frees) == "button") delete b;
      if (std::string(frees) == "bar") delete Bar;
      if (std::string(frees) == "form") Form.reset();
    });
    ClickButton(Bar, b);
    EXPECT_EQ(ups, 0) << frees;
    if (std::string(frees) == "button") {
      EXPECT_EQ(Events, (std::vector<std::string>{"click", "bar:2"})) << frees;
      EXPECT_EQ(Bar->GetCount(), 2);
    } else {
      EXPECT_EQ(Events, std::vector<std::string>{"click"}) << frees;
    }
    Events.clear();
  }
}

TEST_F(MenuBarFreeing, TheBarsOnClickMayFreeTheBar) {
  Make(3);
  Bar->OnClick = TMenuBarClickEvent([&](TObject*, int slot) {
    Events.push_back("bar:" + std::to_string(slot));
    delete Bar;
  });
  ClickButton(Bar, Bar->GetButton(1));
  EXPECT_EQ(Events, (std::vector<std::string>{"button:1", "bar:1"}));
  EXPECT_EQ(Form->ControlCount(), 0);
}

// The designer's "Simulate Click" on a button whose click frees the bar: the editor's
// designer hears of the change; an editor without one asks the bar no more.
TEST_F(MenuBarFreeing, SimulateClickThatFreesTheBarStopsAtTheClick) {
  for (bool editorDesigner : {true, false}) {
    Make(2, 120, 300, true);
    Bar->SetActiveButton(Bar->GetButton(1));
    Bar->GetButton(1)->OnClick = TNotifyEvent([&](TObject*) { delete Bar; });
    Designer->ModifiedCount = 0;
    TMenuBarEditor editor(Bar, editorDesigner ? Designer.get() : nullptr);
    editor.ExecuteVerb(3);
    EXPECT_EQ(Form->ControlCount(), 0);
    EXPECT_EQ(Designer->ModifiedCount, editorDesigner ? 1 : 0);
    Form->SetDesigner(nullptr);
  }
}

}  // namespace
}  // namespace tessapack::test
