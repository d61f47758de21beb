// The toolbar's ring and placement entries as controls come and go: removal and freeing,
// no controls, orientation changes, degenerate sizes, and deferred messages that arrive
// after the toolbar or the control is gone.
#include "ScrollToolBarFixture.h"
#include "framework/controls/Forms.h"

namespace tessapack::test {
namespace {

using namespace framework;
using V = std::vector<std::string>;

using ScrollToolBarRing = ScrollToolBarFixture;

std::vector<std::string> EntryNames(const TScrollToolBar *bar) {
  std::vector<std::string> out;
  for (const TSBComp *e : *bar->ComponentsInfo())
    out.push_back(e->Control ? e->Control->Name() : "<none>");
  return out;
}

TEST_F(ScrollToolBarRing, EntriesFollowTheChildListInOrder) {
  Make(3, 300);
  EXPECT_EQ(EntryNames(Bar), (V{"P1", "P2", "P3"}));
  EXPECT_EQ(Bar->CompCount(), 3);
  Panel(3)->SendToBack();
  Application().ProcessMessages();
  Bar->Synchronize();
  EXPECT_EQ(EntryNames(Bar), (V{"P3", "P1", "P2"}));
  EXPECT_EQ(Bar->CompareIndex((*Bar->ComponentsInfo())[0], (*Bar->ComponentsInfo())[1]), -1);
}

// Freeing or re-parenting a control unlinks it at once: a layout before the posted
// message arrives must not reach it.
TEST_F(ScrollToolBarRing, RemovedAndFreedControlsLeaveTheRingAtOnce) {
  Make(8, 60);
  Bar->Scroll(scRight);
  ASSERT_EQ(Bar->StartControl(), Panel(2));
  delete Panel(2); // the first shown control
  EXPECT_EQ(Bar->RingCount(), 7);
  EXPECT_EQ(Bar->ComponentsInfo()->Count(), 7);
  EXPECT_EQ(Bar->StartControl(), Panel(3));
  Bar->Reposition(); // before the posted message: must not touch the freed panel
  Bar->Scroll(scRight);
  Bar->Scroll(scLeft);

  Panel(5)->SetParent(Form.get()); // taken elsewhere
  EXPECT_EQ(Bar->RingCount(), 6);
  EXPECT_EQ(Bar->ComponentsInfo()->Find(Panel(5)), nullptr);
  Application().ProcessMessages();
  EXPECT_EQ(EntryNames(Bar), (V{"P1", "P3", "P4", "P6", "P7", "P8"}));
  EXPECT_EQ(Bar->RingCount(), 6);
  EXPECT_EQ(Panel(5)->Parent(), Form.get());
}

TEST_F(ScrollToolBarRing, AControlInsertedAndFreedBeforeTheMessageLeavesNoEntry) {
  Make(2, 300);
  TPanel *p = AddPanel();
  delete p;
  Application().ProcessMessages();
  EXPECT_EQ(EntryNames(Bar), (V{"P1", "P2"}));
  EXPECT_EQ(Bar->RingCount(), 2);
}

TEST_F(ScrollToolBarRing, WithNoControlsLeftTheArrowsGoAndScrollingDoesNothing) {
  Make(8, 60);
  ASSERT_TRUE(Bar->ArrowsOn());
  for (TPanel *p : Panels)
    delete p;
  Panels.clear();
  EXPECT_FALSE(Bar->ArrowsOn());
  EXPECT_EQ(Bar->LeftArrow()->Parent(), nullptr);
  EXPECT_EQ(Bar->RightArrow()->Parent(), nullptr);
  EXPECT_EQ(Bar->LeadSize() + Bar->TrailSize(), 0);
  Application().ProcessMessages();
  Bar->Scroll(scRight);
  Bar->Scroll(scLeft);
  Bar->DnRt(nullptr);
  Bar->SetStart(nullptr);
  Bar->SetWidth(10);
  EXPECT_EQ(Bar->StartControl(), nullptr);
  EXPECT_EQ(Bar->RingCount(), 0);
  EXPECT_EQ(Bar->CompCount(), 0);
  // A new control brings the toolbar back to life.
  AddPanel();
  Application().ProcessMessages();
  EXPECT_EQ(Bar->RingCount(), 1);
  EXPECT_EQ(Shown().size(), 1u);
}

TEST_F(ScrollToolBarRing, OrientationChangeSwapsTheArrowPairAndLaysOutAgain) {
  Make(8, 60, 60);
  ASSERT_NE(Bar->RightArrow()->Parent(), nullptr);
  Bar->SetOrientation(scVert);
  EXPECT_EQ(Bar->LeftArrow()->Parent(), nullptr);
  EXPECT_EQ(Bar->RightArrow()->Parent(), nullptr);
  EXPECT_NE(Bar->DownArrow()->Parent(), nullptr);
  EXPECT_EQ(Shown(), (V{"P1", "P2", "P3", "P4"}));
  EXPECT_EQ(Along(), (std::vector<int>{1, 13, 25, 37}));
  EXPECT_EQ(Panel(1)->Width(), 60);
  Bar->SetOrientation(scHoriz);
  EXPECT_EQ(Bar->DownArrow()->Parent(), nullptr);
  EXPECT_NE(Bar->RightArrow()->Parent(), nullptr);
  EXPECT_EQ(Panel(1)->Height(), 60);
}

// Sizes that would divide by zero or count below zero.
TEST_F(ScrollToolBarRing, DegenerateSizesNeitherCrashNorWalkForever) {
  Make(5, 60);
  Bar->SetMinCompSize(0);
  EXPECT_EQ(Bar->GetVisible(), 5);
  Bar->SetMinCompSize(-3);
  Bar->Reposition();
  Bar->SetMinCompSize(10);
  Bar->SetSpacing(100); // the strip is shorter than the gaps alone
  Bar->Reposition();
  EXPECT_EQ(Bar->GetVisible(), 0);
  EXPECT_TRUE(Shown().empty());
  Bar->SetSpacing(0);
  Bar->SetCircularScroll(true);
  Bar->SetWidth(1000); // more room than controls, circular: each shown once
  EXPECT_EQ(Shown().size(), 5u);
  Bar->SetBorderWidth(400); // slots below zero are zero
  for (TPanel *p : Panels)
    EXPECT_GE(p->Width(), 0);
  Bar->SetHeight(0);
  Bar->SetBorderWidth(0);
  for (TPanel *p : Panels)
    EXPECT_GE(p->Height(), 0);
}

TEST_F(ScrollToolBarRing, AToolbarMadeInCodeLaysOutOnResize) {
  Make(3, 300);
  EXPECT_TRUE(Bar->LoadDone());
  Bar->SetWidth(150);
  EXPECT_EQ(Panel(1)->Width(), 50);
  EXPECT_EQ(Along(), (std::vector<int>{1, 51, 101}));
}

TEST_F(ScrollToolBarRing, AControlWithoutAnEntryStaysCollapsed) {
  Make(3, 300);
  Bar->ComponentsInfo()->Free(1); // P2's entry
  Bar->Reposition();
  EXPECT_EQ(Panel(2)->Width() * Panel(2)->Height(), 0);
  EXPECT_EQ(Panel(3)->Left(), 201); // P2 keeps its slot
}

// A label sizes itself to its text; on the toolbar it must stay collapsed when scrolled out.
TEST_F(ScrollToolBarRing, ASelfSizingControlStaysCollapsedWhenScrolledOut) {
  Make(6, 60);
  auto *label = new TLabel(Form.get());
  label->SetName("Label1");
  label->SetCaption("A long caption");
  label->SetParent(Bar);
  Application().ProcessMessages();
  EXPECT_FALSE(label->AutoSize());
  EXPECT_EQ(label->Width() * label->Height(), 0) << "the seventh control is out of view";
  label->SetCaption("Longer still, and more");
  EXPECT_EQ(label->Width() * label->Height(), 0);
}

// Posted messages for a toolbar freed meanwhile, or one being freed, do nothing.
TEST_F(ScrollToolBarRing, DeferredMessagesStopWhenTheToolbarIsGone) {
  Make(2, 300);
  AddPanel();
  AddPanel();
  delete Bar;
  Bar = nullptr;
  Panels.clear();
  Application().ProcessMessages(); // must not reach the freed toolbar

  Make(2, 300);
  AddPanel();
  Bar->SetComponentState(csDestroying, true);
  Application().ProcessMessages();
  EXPECT_EQ(Bar->RingCount(), 0) << "the handler did not build the ring";
  Bar->SetComponentState(csDestroying, false);
}

} // namespace
} // namespace tessapack::test
