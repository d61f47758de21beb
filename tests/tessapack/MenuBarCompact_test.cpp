// Compact mode: a bar too short for panels shows only buttons, scrolled through a ring by
// two arrows; growing it again restores the stacks.
#include "MenuBarFixture.h"

namespace tessapack::test {
namespace {

using namespace framework;

using MenuBarCompact = MenuBarFixture;

// Four buttons of 22 need 4 x 22 + 16 = 104 pixels; at 80 the bar shows
// (80 - 4 - 14) / 22 = 2 rows from Top 9 on.
TEST_F(MenuBarCompact, AShortBarShowsRowsOfButtonsAndArrowsThatScrollRoundTheRing) {
  Make(4, 120, 80);
  ASSERT_TRUE(Bar->Compact());
  EXPECT_EQ(Bar->ShownRows(), 2);
  EXPECT_EQ(CompactRows(), (std::vector<std::string>{"B0", "B1"}));
  EXPECT_EQ(Bar->GetButton(0)->Top(), 9);
  EXPECT_EQ(Bar->GetButton(1)->Top(), 31);
  EXPECT_TRUE(Bar->UpArrow()->Visible());
  EXPECT_EQ(Bar->UpArrow()->BoundsRect(), Rect(2, 1, 118, 8));
  EXPECT_EQ(Bar->DownArrow()->Top(), 72);
  EXPECT_TRUE(ShownPanels().empty()) << "no panel in compact mode";

  struct Step {
    bool down;
    std::vector<std::string> rows;
  };
  const Step steps[] = {
      {true, {"B1", "B2"}},  {true, {"B2", "B3"}},  {true, {"B3", "B0"}},  // wraps to button 0
      {false, {"B2", "B3"}}, {false, {"B1", "B2"}}, {false, {"B0", "B1"}},
      {false, {"B3", "B0"}},  // and back round the other way
  };
  for (const Step& s : steps) {
    (s.down ? Bar->DownArrow() : Bar->UpArrow())->Click();
    EXPECT_EQ(CompactRows(), s.rows);
    int shown = 0;
    for (TMenuBar::TRingEntry* e = Bar->RingFirst(); shown < Bar->RingSize(); e = e->Next, ++shown)
      EXPECT_EQ(e->Shown, shown < Bar->ShownRows()) << "ring marks follow the shown rows";
  }
}

TEST_F(MenuBarCompact, AClickInCompactModeOnlyFiresTheEvents) {
  Make(4, 120, 80);
  const std::vector<int> tops = Tops();
  Bar->GetButton(1)->Click();
  EXPECT_EQ(Tops(), tops);
  EXPECT_EQ(Events, (std::vector<std::string>{"button:1", "bar:1"}));
}

TEST_F(MenuBarCompact, LeavingPlacesButtonsByTheirFlagsAndRestoresSliding) {
  Make(4, 120, 300);
  Bar->GetButton(1)->Click();
  Bar->GetButton(0)->SetSlideAble(false);
  Bar->SetBounds(0, 0, 120, 80);
  ASSERT_TRUE(Bar->Compact());
  Bar->SetActiveIndex(2);  // only flags in compact mode
  EXPECT_EQ(Stacks(), "1110");
  EXPECT_EQ(CompactRows(), (std::vector<std::string>{"B0", "B1"}));
  Bar->SetBounds(0, 0, 120, 300);
  EXPECT_FALSE(Bar->Compact());
  EXPECT_EQ(Tops(), (std::vector<int>{4, 26, 48, 274}));
  EXPECT_EQ(ShownPanels(), std::vector<int>{2});
  EXPECT_EQ(Bar->GetPanel(2)->BoundsRect(), Rect(2, 72, 118, 272));
  for (int i = 0; i < 4; ++i) {
    EXPECT_TRUE(Bar->GetButton(i)->SlideAble()) << i;
    EXPECT_TRUE(Bar->GetButton(i)->Visible()) << i;
  }
  EXPECT_FALSE(Bar->UpArrow()->Visible());
  EXPECT_FALSE(Bar->DownArrow()->Visible());
}

// Every create, delete and move rebuilds the ring over the buttons that exist.
TEST_F(MenuBarCompact, TheRingFollowsCreateDeleteAndMove) {
  Make(4, 120, 80);
  Bar->DownArrow()->Click();
  AddButton();
  EXPECT_EQ(Bar->RingSize(), 5);
  EXPECT_EQ(CompactRows(), (std::vector<std::string>{"B0", "B1"}));
  Bar->DeleteButton(0);
  EXPECT_EQ(Bar->RingSize(), 4);
  for (int i = 0; i < 4; ++i) Bar->DownArrow()->Click();  // walks only live buttons
  EXPECT_EQ(CompactRows(), (std::vector<std::string>{"B1", "B2"}));
  Bar->GetButton(3)->SetSlot(0);
  EXPECT_EQ(CompactRows(), (std::vector<std::string>{"B4", "B1"}));
  EXPECT_EQ(Stacks(), "1111") << "the stacks stay whole for the next click";
  Bar->SetBounds(0, 0, 120, 300);
  Bar->GetButton(0)->Click();
  EXPECT_EQ(Stacks(), "1000");
}

TEST_F(MenuBarCompact, RowsAreClampedAndAnEmptyBarIsNeverCompact) {
  Make(0, 120, 10);
  EXPECT_FALSE(Bar->Compact());
  Make(3, 120, 300);
  Bar->SetCushion(-30);
  Bar->SetBounds(0, 0, 120, 3 * 22 + 15);  // just below the threshold
  ASSERT_TRUE(Bar->Compact());
  EXPECT_EQ(Bar->ShownRows(), 3) << "never more rows than buttons";
  Bar->SetBounds(0, 0, 120, 5);
  EXPECT_EQ(Bar->ShownRows(), 1) << "at least one row";
  while (Bar->GetCount() > 0) Bar->DeleteButton(0);
  EXPECT_FALSE(Bar->Compact());
}

TEST_F(MenuBarCompact, ADesignedBarStaysInNormalMode) {
  Make(4, 120, 80, true);
  EXPECT_FALSE(Bar->Compact());
  EXPECT_FALSE(Bar->UpArrow()->Visible());
}

}  // namespace
}  // namespace tessapack::test
