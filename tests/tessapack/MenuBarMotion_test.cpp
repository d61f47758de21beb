// Clicking, and driving the stacks from code: the passes of a motion, the order of the
// events, creating, deleting and moving buttons, and the pacing of a motion on screen.
#include <chrono>

#include "MenuBarFixture.h"
#include "framework/messages/Clock.h"

namespace tessapack::test {
namespace {

using namespace framework;

using MenuBarMotion = MenuBarFixture;

// Each pass moves every travelling button by 5 pixels per travelling button; the stacks
// travel 204 pixels (300 - 4 x 22 - 2 x 4) and stop on the first pass beyond it.
TEST_F(MenuBarMotion, TheStepGrowsWithTheNumberOfMovingButtons) {
  struct Case {
    int clicked;
    int moving;
    int passes;
  };
  const Case cases[] = {
      {0, 3, 204 / 15 + 1},  // drop three: 15 pixels a pass
      {3, 3, 204 / 15 + 1},  // and raise them again
      {2, 1, 204 / 5 + 1},   // drop one: 5 pixels
      {1, 1, 204 / 5 + 1},   // drop the next one
      {3, 2, 204 / 10 + 1},  // raise two: 10 pixels
  };
  Make(4);
  for (const Case& c : cases) {
    Bar->GetButton(c.clicked)->Click();
    EXPECT_EQ(Bar->Buttons().LastPasses(), c.passes) << "clicked " << c.clicked;
  }
}

TEST_F(MenuBarMotion, TheEventsFireAfterTheMotionButtonFirst) {
  Make(3);
  std::string stacksSeen;
  Bar->OnClick = TMenuBarClickEvent([&](TObject* sender, int slot) {
    EXPECT_EQ(sender, Bar);
    Events.push_back("bar:" + std::to_string(slot));
    stacksSeen = Stacks();
  });
  Bar->GetButton(0)->Click();
  EXPECT_EQ(Events, (std::vector<std::string>{"button:0", "bar:0"}));
  EXPECT_EQ(stacksSeen, "100") << "the bar's listener sees the motion finished";
  Events.clear();
  Bar->GetButton(0)->Click();  // nothing left to drop: no motion, both events
  EXPECT_EQ(Bar->Buttons().LastPasses(), 0);
  EXPECT_EQ(Events, (std::vector<std::string>{"button:0", "bar:0"}));
}

TEST_F(MenuBarMotion, ClickingTheLastUpButtonChangesNothingButFiresBothEvents) {
  Make(3);
  const std::vector<int> tops = Tops();
  Bar->GetButton(2)->Click();
  EXPECT_EQ(Tops(), tops);
  EXPECT_EQ(ShownPanels(), std::vector<int>{2});
  EXPECT_EQ(Events, (std::vector<std::string>{"button:2", "bar:2"}));
}

TEST_F(MenuBarMotion, AButtonMayFreeItselfInItsOwnClickHandler) {
  Make(3);
  Bar->GetButton(1)->OnClick =
      TNotifyEvent([&](TObject* sender) { Bar->Delete(static_cast<TMenuButton*>(sender)); });
  Bar->GetButton(1)->Click();
  EXPECT_EQ(Bar->GetCount(), 2);
  // The deletion raised the stacks (and clicked the new last button) before the bar's
  // event for the freed button's slot fired.
  EXPECT_EQ(Events, (std::vector<std::string>{"button:1", "bar:1", "bar:1"}));
  EXPECT_EQ(Stacks(), "11");
}

TEST_F(MenuBarMotion, DrivingTheStacksFromCodeFiresNoEvents) {
  Make(4);
  Bar->SetActiveIndex(1);
  EXPECT_EQ(Stacks(), "1100");
  Bar->GetButton(3)->SetUp(true);
  EXPECT_EQ(Stacks(), "1111");
  Bar->GetButton(3)->SetUp(false);  // the last button cannot go down alone
  Bar->GetButton(0)->SetUp(false);  // nor can the first
  EXPECT_EQ(Stacks(), "1111");
  Bar->GetButton(2)->SetUp(false);
  EXPECT_EQ(Stacks(), "1100");
  EXPECT_EQ(Bar->GetActiveIndex(), 1);
  EXPECT_TRUE(Events.empty());
}

TEST_F(MenuBarMotion, MovingAButtonReordersAndLaysAllOutUp) {
  Make(4);
  Bar->GetButton(0)->Click();
  TMenuButton* moved = Bar->GetButton(0);
  moved->SetSlot(0);  // to its own slot: nothing
  EXPECT_EQ(Stacks(), "1000");
  moved->SetSlot(9);  // out of range: nothing
  EXPECT_EQ(Bar->GetButton(0), moved);
  moved->SetSlot(2);
  EXPECT_EQ(Bar->GetButton(2), moved);
  EXPECT_EQ(Stacks(), "1111");
  EXPECT_EQ(Tops(), (std::vector<int>{4, 26, 48, 70}));
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(Bar->GetButton(i)->Index(), i);
    EXPECT_EQ(Bar->GetPanel(i)->Tag(), i + 1);
  }
  EXPECT_EQ(ShownPanels(), std::vector<int>{3});
}

TEST_F(MenuBarMotion, CreatingRaisesTheStacksFirstAndFiresTheLastButtonsClick) {
  Make(3);
  Bar->GetButton(0)->Click();
  Events.clear();
  TMenuButton* b = AddButton();
  EXPECT_EQ(Events, (std::vector<std::string>{"button:2", "bar:2"}));
  EXPECT_EQ(Stacks(), "1111");
  EXPECT_EQ(b->Index(), 3);
  EXPECT_EQ(ShownPanels(), std::vector<int>{3});
  EXPECT_EQ(Bar->SelectedButton(), b);
  EXPECT_EQ(b->Name().rfind("MenuBar1__buttons___3___3___", 0), 0u) << b->Name();
}

// A last button that cannot slide, or compact mode, leaves the stacks where they are when
// clicked; creating and deleting still lay every button out up, so the next click ends.
TEST_F(MenuBarMotion, CreateAndDeleteLayAllUpEvenWhenTheClickCannotMove) {
  for (bool create : {true, false}) {
    Make(4);
    Bar->GetButton(0)->Click();
    Bar->GetButton(3)->SetSlideAble(false);
    Events.clear();
    if (create)
      AddButton();
    else
      Bar->DeleteButton(1);
    const std::string last = create ? "3" : "2";  // the last slot before the new button comes
    EXPECT_EQ(Events, (std::vector<std::string>{"button:" + last, "bar:" + last}));
    EXPECT_EQ(Stacks(), std::string(Bar->GetCount(), '1'));
    Bar->GetButton(1)->Click();
    const int travel = 300 - Bar->GetCount() * 22 - 2 * 4;
    const int moving = Bar->GetCount() - 2;  // every button below slot 1
    EXPECT_EQ(Bar->Buttons().LastPasses(), travel / (5 * moving) + 1);
    EXPECT_EQ(Stacks().substr(0, 2), "11");
    EXPECT_EQ(Bar->GetActiveIndex(), 1);
  }
}

TEST_F(MenuBarMotion, DeletingTheLastButtonsLeavesAnEmptyBar) {
  Make(2);
  Bar->DeleteButton(1);
  EXPECT_EQ(Events, (std::vector<std::string>{"button:0", "bar:0"}));
  Bar->DeleteButton(0);
  EXPECT_EQ(Bar->GetCount(), 0);
  EXPECT_EQ(Bar->GetActiveIndex(), -1);
  EXPECT_THROW(Bar->DeleteButton(0), EListError);
  auto* stranger = new TMenuButton(Form.get());  // the form frees it with its panel
  Bar->Delete(stranger);                         // not in the bar: nothing
  EXPECT_EQ(Bar->GetCount(), 0);
}

// A subclass that sees the painted frames of a paced motion.
class TWatchedBar : public TMenuBar {
 public:
  using TMenuBar::TMenuBar;
  std::vector<int> Frames;

 protected:
  void MotionFrame(int pass, int) override { Frames.push_back(pass); }
};

TEST_F(MenuBarMotion, AMotionOnScreenIsPacedAndInstantWithAnimationOff) {
  Make(0);
  auto* bar = new TWatchedBar(Form.get());
  bar->SetParent(Form.get());
  bar->SetBounds(200, 0, 120, 300);
  for (int i = 0; i < 4; ++i) bar->CreateButton();
  Application().ProcessMessages();
  Application().SetAnimate(true);
  const auto start = std::chrono::steady_clock::now();
  bar->GetButton(0)->Click();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - start)
                      .count();
  EXPECT_GE(ms, TMenuBar::kMotionMs - 20);
  EXPECT_LE(ms, TMenuBar::kMaxMotionMs + 50);
  ASSERT_GE(bar->Frames.size(), 3u);
  EXPECT_LE(bar->Frames.size(), static_cast<size_t>(bar->Buttons().LastPasses()));
  EXPECT_EQ(bar->Frames.back(), bar->Buttons().LastPasses()) << "the last pass is painted";

  Application().SetAnimate(false);
  bar->Frames.clear();
  const auto again = std::chrono::steady_clock::now();
  bar->GetButton(3)->Click();
  EXPECT_LT(std::chrono::steady_clock::now() - again, std::chrono::milliseconds(50));
  EXPECT_TRUE(bar->Frames.empty());
  EXPECT_EQ(bar->GetActiveIndex(), 3);
}

}  // namespace
}  // namespace tessapack::test
