// The scrolling toolbar's layout and scrolling: equal slots with each control's pad and
// justification in both orientations, the arrows, scrolling by one control, circular
// scrolling, the free space, and growing after a scroll.
#include <algorithm>

#include "ScrollToolBarFixture.h"

namespace tessapack::test {
namespace {

using namespace framework;
using V = std::vector<std::string>;

using ScrollToolBarLayout = ScrollToolBarFixture;

TEST_F(ScrollToolBarLayout, EightControlsInSixtyPixelsScrollOneControlPerClick) {
  Make(8, 60);
  EXPECT_EQ(Shown(), (V{"P1", "P2", "P3", "P4"}));
  EXPECT_EQ(Along(), (std::vector<int>{1, 13, 25, 37}));
  EXPECT_EQ(Panel(1)->Width(), 12);
  EXPECT_TRUE(Up(Bar->RightArrow()));
  EXPECT_FALSE(Up(Bar->LeftArrow()));
  EXPECT_EQ(Bar->UpArrow()->Parent(), nullptr);
  EXPECT_EQ(Bar->RightArrow()->Glyph()->Width(), 10) << "the glyph from the package";

  Bar->RightArrow()->Click();
  EXPECT_EQ(Shown(), (V{"P2", "P3", "P4"}));
  EXPECT_EQ(Along(), (std::vector<int>{13, 25, 37}));
  EXPECT_EQ(Panel(2)->Width(), 12);
  EXPECT_TRUE(Up(Bar->LeftArrow()));
  EXPECT_TRUE(Up(Bar->RightArrow()));

  // To the end: the last control in view hides the right arrow; not circular, it stays.
  for (int i = 0; i < 10; ++i)
    if (Up(Bar->RightArrow()))
      Bar->RightArrow()->Click();
  EXPECT_EQ(Shown().back(), "P8");
  EXPECT_FALSE(Up(Bar->RightArrow()));
  // Back to the start: the left arrow goes.
  for (int i = 0; i < 10 && Up(Bar->LeftArrow()); ++i)
    Bar->LeftArrow()->Click();
  EXPECT_EQ(Shown().front(), "P1");
  EXPECT_FALSE(Up(Bar->LeftArrow()));
  EXPECT_EQ(Bar->LeadSize(), 0);
}

TEST_F(ScrollToolBarLayout, CircularScrollingWrapsBothWays) {
  Make(0, 60);
  Bar->SetCircularScroll(true);
  for (int i = 0; i < 8; ++i)
    AddPanel();
  Application().ProcessMessages();
  EXPECT_TRUE(Up(Bar->LeftArrow()));
  EXPECT_TRUE(Up(Bar->RightArrow()));
  EXPECT_EQ(Shown(), (V{"P1", "P2", "P3"}));
  EXPECT_EQ(Along(), (std::vector<int>{13, 25, 37}));
  Bar->LeftArrow()->Click(); // back past the first control: the last comes first
  EXPECT_EQ(Bar->StartControl(), Panel(8));
  EXPECT_EQ(Panel(8)->Left(), 13);
  EXPECT_EQ(Panel(1)->Left(), 25);
  for (int i = 0; i < 8; ++i)
    Bar->Scroll(scRight);
  EXPECT_EQ(Bar->StartControl(), Panel(8)) << "eight steps go once round the ring";
  Bar->Scroll(scDown);
  EXPECT_EQ(Shown(), (V{"P1", "P2", "P3"}));
  Bar->SetStart(Panel(7));
  EXPECT_EQ(Panel(7)->Left(), 13);
  EXPECT_EQ(Panel(8)->Left(), 25);
  EXPECT_EQ(Panel(1)->Left(), 37);
  EXPECT_TRUE(Up(Bar->LeftArrow()));
  EXPECT_TRUE(Up(Bar->RightArrow()));
}

TEST_F(ScrollToolBarLayout, SetStartFindsTheControlAroundTheRing) {
  Make(8, 60);
  Bar->SetStart(Panel(5));
  EXPECT_EQ(Shown().front(), "P5");
  Bar->SetStart(Panel(2)); // behind Start: found going round
  EXPECT_EQ(Shown().front(), "P2");
  auto *stranger = new TPanel(Form.get());
  Bar->SetStart(stranger);
  EXPECT_EQ(Bar->StartControl(), Panel(2));
}

TEST_F(ScrollToolBarLayout, GrowingAfterAScrollBringsEarlierControlsBack) {
  Make(8, 60);
  Bar->Scroll(scRight);
  Bar->Scroll(scRight);
  EXPECT_EQ(Shown().front(), "P3");
  Bar->SetWidth(200); // everything fits now
  EXPECT_EQ(Shown(), (V{"P1", "P2", "P3", "P4", "P5", "P6", "P7", "P8"}));
  EXPECT_FALSE(Bar->ArrowsOn());
  EXPECT_EQ(Bar->LeftArrow()->Parent(), nullptr);
}

// Across the strip: the toolbar's border, then the control's pad as its justification says.
struct CrossCase {
  TScrollOrientation Orientation;
  TScrollCompJustify Justify;
  int ExpectPos, ExpectSize;
};
TEST_F(ScrollToolBarLayout, PadAndJustificationPlaceEachControlAcrossTheStrip) {
  // Border 2, pad 3, a strip 30 pixels across.
  const CrossCase cases[] = {
      {scHoriz, scCenter, 5, 20}, {scHoriz, scTopLeft, 2, 23}, {scHoriz, scBottomRight, 5, 23},
      {scVert, scCenter, 5, 20},  {scVert, scTopLeft, 2, 23},  {scVert, scBottomRight, 5, 23},
  };
  for (const CrossCase &c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "orientation " << c.Orientation << " justify " << int(c.Justify));
    const bool horiz = c.Orientation == scHoriz;
    Make(3, horiz ? 300 : 30, horiz ? 30 : 300, false, c.Orientation);
    TSBComp *entry = Bar->ComponentsInfo()->Find(Panel(2));
    ASSERT_NE(entry, nullptr);
    entry->CompPad = 3;
    entry->Justify = c.Justify;
    Bar->SetBorderWidth(2);
    TPanel *p = Panel(2);
    EXPECT_EQ(horiz ? p->Top() : p->Left(), c.ExpectPos);
    EXPECT_EQ(horiz ? p->Height() : p->Width(), c.ExpectSize);
    // Along the strip: (300 - 2 * 2) div 3 = 98 each, from 1 + border.
    EXPECT_EQ(Along(), (std::vector<int>{3, 101, 199}));
    EXPECT_EQ(horiz ? p->Width() : p->Height(), 98);
    Panels.clear();
  }
}

TEST_F(ScrollToolBarLayout, FreeSpaceGoesWherePadSays) {
  Make(3, 200);
  Bar->SetMaxCompSize(50);
  Bar->SetPad(pdBottomRight);
  EXPECT_EQ(Along(), (std::vector<int>{1, 51, 101}));
  Bar->SetPad(pdTopLeft);
  EXPECT_EQ(Along(), (std::vector<int>{51, 101, 151}));
  EXPECT_EQ(Panel(1)->Width(), 50);
  Bar->SetSpacing(4);
  Bar->Reposition(); // (200 - 12) div 3 = 62, lowered to 50; 54 a step
  EXPECT_EQ(Along(), (std::vector<int>{43, 97, 151}));
  // Scrolling: the pad is ignored.
  Bar->SetSpacing(0);
  Bar->SetMinCompSize(20);
  Bar->SetWidth(50);
  ASSERT_FALSE(Along().empty());
  EXPECT_EQ(Along().front(), 1);
}

TEST_F(ScrollToolBarLayout, VerticalToolbarStacksAndUsesTheUpAndDownArrows) {
  Make(8, 30, 60, false, scVert);
  EXPECT_EQ(Shown(), (V{"P1", "P2", "P3", "P4"}));
  EXPECT_EQ(Along(), (std::vector<int>{1, 13, 25, 37}));
  EXPECT_TRUE(Up(Bar->DownArrow()));
  EXPECT_FALSE(Up(Bar->UpArrow()));
  EXPECT_EQ(Bar->LeftArrow()->Parent(), nullptr);
  Bar->DownArrow()->Click();
  EXPECT_EQ(Shown(), (V{"P2", "P3", "P4"}));
  EXPECT_TRUE(Up(Bar->UpArrow()));
}

TEST_F(ScrollToolBarLayout, DesignTimeLeavesAStripForTheDesignerAndNoArrows) {
  Make(0, 100, 30, true);
  EXPECT_EQ(Bar->Caption(), "Drop controls on the toolbar");
  for (int i = 0; i < 3; ++i)
    AddPanel();
  Application().ProcessMessages();
  EXPECT_EQ(Bar->Caption(), "") << "the hint goes with the first control";
  EXPECT_EQ(Shown().size(), 3u);
  EXPECT_EQ(Panel(1)->Width(), 30); // (100 - 10) div 3
  Bar->SetWidth(40);
  EXPECT_FALSE(Bar->ArrowsOn());
  EXPECT_EQ(Bar->LeftArrow()->Parent(), nullptr);
  EXPECT_EQ(Bar->RightArrow()->Parent(), nullptr);
}

} // namespace
} // namespace tessapack::test
