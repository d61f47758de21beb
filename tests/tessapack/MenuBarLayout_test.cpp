// The menu bar's layout: the two stacks and the shown panel for each split, captions fitted
// to the width, and the property writes that re-lay the buttons.
#include <chrono>

#include "MenuBarFixture.h"
#include "framework/base/StrUtils.h"
#include "framework/controls/ImgList.h"

namespace tessapack::test {
namespace {

using namespace framework;

using MenuBarLayout = MenuBarFixture;

// Four buttons of 22 on a bar of 300 with cushion 4: upper tops 4, 26, 48, 70; lower tops
// 208, 230, 252, 274. The shown panel lies 2 below its button and ends 2 above the next
// button of the lower stack.
TEST_F(MenuBarLayout, EachStackSplitPlacesButtonsAndThePanelBetweenThem) {
  struct Case {
    int clicked;
    std::string stacks;
    std::vector<int> tops;
    int panelTop, panelHeight;
  };
  const Case cases[] = {
      {3, "1111", {4, 26, 48, 70}, 94, 200},     // all up: the last panel shows
      {0, "1000", {4, 230, 252, 274}, 28, 200},  // all below the first dropped
      {2, "1110", {4, 26, 48, 274}, 72, 200},
      {1, "1100", {4, 26, 252, 274}, 50, 200},
  };
  Make(4);
  for (const Case& c : cases) {
    Bar->GetButton(c.clicked)->Click();
    EXPECT_EQ(Stacks(), c.stacks) << "clicked " << c.clicked;
    EXPECT_EQ(Tops(), c.tops) << "clicked " << c.clicked;
    EXPECT_EQ(ShownPanels(), std::vector<int>{c.clicked});
    EXPECT_EQ(Bar->GetActiveIndex(), c.clicked);
    const TRect panel = Bar->GetPanel(c.clicked)->BoundsRect();
    EXPECT_EQ(panel, Rect(2, c.panelTop, 118, c.panelTop + c.panelHeight))
        << "clicked " << c.clicked;
  }
}

TEST_F(MenuBarLayout, ResizingKeepsTheLowerStackAtTheBottomAndTheButtonsFullWidth) {
  Make(3);
  Bar->GetButton(0)->Click();
  Bar->SetBounds(0, 0, 200, 400);
  EXPECT_EQ(Tops(), (std::vector<int>{4, 352, 374}));
  EXPECT_EQ(Bar->GetButton(2)->Width(), 196);
  EXPECT_EQ(Bar->GetPanel(0)->BoundsRect(), Rect(2, 28, 198, 350));
  Bar->SetBorderStyle(bsSingle);
  EXPECT_EQ(Bar->ButtonWidth(), 192);
  EXPECT_EQ(Bar->GetPanel(0)->Width(), 194);
}

// Property writes outside their range are ignored; in range they re-lay the buttons.
TEST_F(MenuBarLayout, PropertyWritesReLayTheButtonsAndIgnoreValuesOutOfRange) {
  Make(3);
  Bar->SetButtonHeight(0);
  Bar->SetButtonHeight(-5);
  EXPECT_EQ(Bar->ButtonHeight(), 22) << "a height below 1 is ignored";
  Bar->SetButtonHeight(30);
  EXPECT_EQ(Tops(), (std::vector<int>{4, 34, 64}));
  Bar->SetCushion(10);
  EXPECT_EQ(Tops(), (std::vector<int>{10, 40, 70}));
  Bar->SetGap(59);  // 2 x 59 > 120 - 4
  EXPECT_EQ(Bar->Gap(), 2);
  Bar->SetGap(10);
  EXPECT_EQ(Bar->GetButton(1)->BoundsRect(), Rect(10, 40, 110, 70));
  Bar->SetSnap(false);
  Bar->SetWidth(101);  // wider than 120 - 2 x 10
  EXPECT_EQ(Bar->ButtonWidth(), 100);
  Bar->SetWidth(60);
  EXPECT_EQ(Bar->ButtonWidth(), 60);
  Bar->SetBounds(0, 0, 121, 300);
  EXPECT_EQ(Bar->GetButton(0)->Width(), 60) << "without snapping the width stays";
}

TEST_F(MenuBarLayout, ButtonsHiddenOnAVeryNarrowBarComeBackWhenItWidens) {
  for (bool snap : {true, false}) {
    Make(2);
    Bar->SetSnap(snap);
    Bar->SetBounds(0, 0, 3, 300);  // narrower than twice the gap
    EXPECT_FALSE(Bar->GetButton(0)->Visible()) << "snap " << snap;
    Bar->SetBounds(0, 0, 120, 300);
    EXPECT_TRUE(Bar->GetButton(0)->Visible()) << "snap " << snap;
    EXPECT_TRUE(Bar->GetButton(1)->Visible()) << "snap " << snap;
    EXPECT_GT(Bar->GetButton(1)->Width(), 0) << "snap " << snap;
  }
}

TEST_F(MenuBarLayout, ActiveIndexIsMinusOneWithoutAShownPanelAndIgnoresMinusOne) {
  Make(0);
  EXPECT_EQ(Bar->GetActiveIndex(), -1);
  EXPECT_EQ(Bar->GetActiveButton(), nullptr);
  EXPECT_EQ(Bar->TopButton(), -1);
  Bar->CreateButton();
  Bar->CreateButton();
  Bar->SetActiveIndex(-1);
  Bar->SetActiveIndex(7);
  EXPECT_EQ(Bar->GetActiveIndex(), 1);
  EXPECT_EQ(Bar->TopButton(), 1) << "all up: the last slot";
  Bar->SetActiveIndex(0);
  EXPECT_EQ(Bar->GetActiveIndex(), 0);
  EXPECT_EQ(Bar->TopButton(), 1);
  EXPECT_THROW(Bar->GetButton(2), EListError);
  EXPECT_THROW(Bar->GetPanel(-1), EListError);
}

TEST_F(MenuBarLayout, ResidentPanelsKeepWindowsAndTheShownPanelKeepsItsWidth) {
  Make(3);
  EXPECT_FALSE(Bar->GetPanel(0)->HandleAllocated());
  EXPECT_TRUE(Bar->GetPanel(2)->HandleAllocated());
  const int shownWidth = Bar->GetPanel(2)->Width();
  Bar->SetResource(TPanes().set(0).set(2));
  EXPECT_TRUE(Bar->GetPanel(0)->HandleAllocated());
  EXPECT_EQ(Bar->GetPanel(0)->Width(), 0);
  EXPECT_EQ(Bar->GetPanel(2)->Width(), shownWidth) << "the shown panel is left alone";
  Bar->GetButton(1)->Click();
  EXPECT_TRUE(Bar->GetPanel(0)->HandleAllocated()) << "resident: kept while hidden";
  EXPECT_TRUE(Bar->GetPanel(2)->HandleAllocated());
  Bar->GetButton(0)->Click();
  EXPECT_FALSE(Bar->GetPanel(1)->HandleAllocated()) << "not resident: given up when hidden";
}

TEST_F(MenuBarLayout, AFreedImageListIsForgotten) {
  Make(1);
  auto* images = new TImageList(Form.get());
  Bar->SetButtonUpImages(images);
  EXPECT_EQ(Bar->ButtonUpImages(), images);
  delete images;
  EXPECT_EQ(Bar->ButtonUpImages(), nullptr);
}

// ---- captions ---------------------------------------------------------------------------------

// Six pixels per character, counted in whole UTF-8 characters.
int SixPerChar(const std::string& s) {
  int chars = 0;
  for (unsigned char c : s) chars += (c & 0xC0) != 0x80;
  return 6 * chars;
}

TEST(MenuCaptionFit, CutsAtWholeCharactersAndKeepsTheAccelerator) {
  struct Case {
    const char* full;
    int limit;
    const char* shown;
  };
  const Case cases[] = {
      {"Short", 50, "Short"},        // fits: unchanged
      {"ABCDEFGHIJ", 40, "ABCDEF"},  // longest prefix strictly narrower
      {"ABCDEF", 36, "ABCDEF"},      // exactly the limit still fits
      {"&Open file", 30, "&Open"},   // the marker costs no width
      {"Save as &Xml", 30, "&X"},    // the accelerator lies beyond the cut
      {"R&&D group", 30, "R&&D "},   // "&&" is one character and no accelerator
      {"AB&&CD", 17, "AB"},          // never cut inside "&&"
      {"A&&&B", 11, "&B"},           // an accelerator after "&&" is still one
      {"\xc3\xa9t\xc3\xa9 d\xc3\xa9j\xc3\xa0", 20, "\xc3\xa9t\xc3\xa9"},  // two-byte characters
      {"\xe2\x82\xac\xe2\x82\xac\xe2\x82\xac", 13, "\xe2\x82\xac\xe2\x82\xac"},
      {"abc", 3, ""},  // nothing fits
  };
  for (const Case& c : cases)
    EXPECT_EQ(FitMenuCaption(c.full, c.limit, SixPerChar), c.shown) << c.full;
}

TEST_F(MenuBarLayout, TheFullCaptionIsKeptAndRefittedAndShownAsHintWhenCut) {
  Make(2);
  TMenuButton* b = Bar->GetButton(0);
  // Button width 116, limit 111: 18 characters of 6 pixels fit.
  b->SetCaption("A caption far too long for the bar");
  EXPECT_EQ(b->Caption(), "A caption far too ");
  EXPECT_EQ(b->FullCaption(), "A caption far too long for the bar");
  EXPECT_EQ(b->Hint(), "A caption far too long for the bar");
  EXPECT_TRUE(b->ShowHint());
  Bar->SetBounds(0, 0, 400, 300);
  EXPECT_EQ(b->Caption(), "A caption far too long for the bar") << "wider: shown in full";
  EXPECT_EQ(b->Hint(), "");
  Bar->SetBounds(0, 0, 60, 300);
  EXPECT_EQ(b->Caption(), "A captio");
  b->SetCaption("Mail");  // a run-time change is adopted as the full caption
  EXPECT_EQ(b->FullCaption(), "Mail");
  EXPECT_EQ(b->Caption(), "Mail");
  EXPECT_FALSE(b->ShowHint());
}

TEST_F(MenuBarLayout, CaptionsDisabledStayEmptyThroughResizesAndComeBackWhenEnabled) {
  Make(3);
  Bar->SetCaptionsEnabled(false);
  Bar->SetCaptionsEnabled(false);  // again: the kept captions are not overwritten
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Bar->GetButton(i)->Caption(), "");
  Bar->SetBounds(0, 0, 150, 320);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Bar->GetButton(i)->Caption(), "") << "after a resize";
  Bar->SetCaptionsEnabled(true);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Bar->GetButton(i)->Caption(), "B" + std::to_string(i));
  ASSERT_NE(Bar->SavedCaptions(), nullptr);
  EXPECT_EQ(*Bar->SavedCaptions(), (std::vector<std::string>{"B0", "B1", "B2"}));
}

}  // namespace
}  // namespace tessapack::test
