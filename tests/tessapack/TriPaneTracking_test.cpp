// Opening and closing the menu pane by simulated mouse moves, exclusions, the events,
// sliding and nested tri-panes.
#include "TriPaneFixture.h"

namespace tessapack::test {
namespace {

using namespace framework;

class TriPaneTracking : public TriPaneFixture {
 protected:
  // Moves over the client pane (x, y relative to it) and reports whether the menu is open.
  bool Move(int x, int y) {
    headless::MouseMove(*Tri->ClientPane(), x, y);
    return Tri->Popped();
  }
};

// Tri-pane 300 x 200, closed: client pane 297 wide (mnRight), the band is 10 pixels deep.
TEST_F(TriPaneTracking, RightEdgeOpensOnASlowMoveInsideTheBand) {
  Make(mnRight);
  EXPECT_FALSE(Move(280, 50));  // outside the band
  EXPECT_FALSE(Move(286, 50));
  EXPECT_EQ(Tri->LastPos(), 286);
  EXPECT_FALSE(Move(296, 50)) << "a jump of 10 pixels does not open";
  EXPECT_EQ(Tri->LastPos(), 296);
  EXPECT_FALSE(Move(296, 60)) << "sideways is not towards the edge";
  EXPECT_FALSE(Move(290, 60)) << "away from the edge";
  EXPECT_TRUE(Move(292, 60));
  EXPECT_TRUE(Tri->MenuPane()->Visible());
  // Moving back over the client pane closes it again.
  EXPECT_FALSE(Move(100, 60));
  EXPECT_FALSE(Tri->MenuPane()->Visible());
}

TEST_F(TriPaneTracking, LeftEdge) {
  Make(mnLeft);
  EXPECT_FALSE(Move(15, 50));
  EXPECT_FALSE(Move(12, 50)) << "outside the band";
  EXPECT_FALSE(Move(2, 50)) << "a jump of 10 pixels";
  EXPECT_EQ(Tri->LastPos(), 2);
  EXPECT_FALSE(Move(8, 50));
  EXPECT_TRUE(Move(6, 50));
  // The stripe carries the closing handler while open.
  headless::MouseMove(*Tri->Stripe(), 1, 1);
  EXPECT_FALSE(Tri->Popped());
}

TEST_F(TriPaneTracking, BottomEdgeOpensOnASidewaysMove) {
  Make(mnBottom);  // client pane 187 high, band below 177
  EXPECT_FALSE(Move(50, 170));
  EXPECT_FALSE(Move(50, 180)) << "a jump of 10 pixels";
  EXPECT_TRUE(Move(60, 180)) << "sideways inside the band";
  EXPECT_FALSE(Move(60, 100));
  EXPECT_FALSE(Move(60, 178));
  EXPECT_FALSE(Move(60, 170)) << "away from the edge, outside the band";
}

TEST_F(TriPaneTracking, TopEdgeOpensFromTheHeaderPane) {
  Make(mnTop);
  Tri->SetMouseEvents(true);
  auto& header = *Tri->HeaderPane();
  EXPECT_EQ(header.OnMouseMove, TMouseMoveEvent(Tri, &TTriPane::TrackforOpen));
  headless::MouseMove(header, 50, 9);
  headless::MouseMove(header, 50, 5);
  EXPECT_TRUE(Tri->Popped());
  EXPECT_FALSE(header.Visible());
  EXPECT_FALSE(Move(50, 100));
  EXPECT_TRUE(header.Visible());
  // Over the client pane Y is measured from the stripe, so the band is never reached there.
  EXPECT_FALSE(Move(50, 1));
  EXPECT_FALSE(Move(50, 0));
}

TEST_F(TriPaneTracking, MouseTriggerOffNeitherOpensNorCloses) {
  Make(mnRight);
  Tri->MouseTrigger = false;
  const int last = Tri->LastPos();
  EXPECT_FALSE(Move(286, 50));
  EXPECT_FALSE(Move(290, 50));
  EXPECT_EQ(Tri->LastPos(), last) << "left unchanged";
  Tri->PopOpen();
  EXPECT_TRUE(Move(10, 50));
}

TEST_F(TriPaneTracking, ExclusionBlocksOnlyItsPositions) {
  Tri = Make(mnRight);
  TExclusionCoordinates set;
  set.set(5);
  Tri->Exclude(100, set);
  ASSERT_EQ(Tri->ExclusionCount(), 1);
  EXPECT_EQ(Tri->Exclusions(0).Offset, 100);
  EXPECT_THROW(Tri->Exclusions(1), EListError);
  const int last = Tri->LastPos();
  EXPECT_FALSE(Move(286, 105));
  EXPECT_FALSE(Move(290, 105)) << "position 105 is excluded";
  EXPECT_EQ(Tri->LastPos(), last) << "an excluded move leaves the last position";
  EXPECT_FALSE(Move(286, 104));
  EXPECT_TRUE(Move(290, 104));
  Tri->PopClose();
  Tri->IncludeAll();
  EXPECT_EQ(Tri->ExclusionCount(), 0);
  EXPECT_FALSE(Move(286, 105));
  EXPECT_TRUE(Move(290, 105));
}

TEST(TExclusionWrapper, RangeIsOffsetToOffsetPlus255) {
  TExclusionCoordinates set;
  set.set(0).set(5).set(255);
  TExclusionWrapper e(100, set);
  EXPECT_TRUE(e.Excludes(100));
  EXPECT_TRUE(e.Excludes(105));
  EXPECT_TRUE(e.Excludes(355));
  EXPECT_FALSE(e.Excludes(104));
  EXPECT_FALSE(e.Excludes(99));
  EXPECT_FALSE(e.Excludes(356));
  EXPECT_FALSE(e.Excludes(-156));
  TExclusionWrapper far(INT32_MIN, set);
  EXPECT_FALSE(far.Excludes(INT32_MAX));
  EXPECT_TRUE(far.Excludes(INT32_MIN + 5));
}

TEST_F(TriPaneTracking, EventsFireInOrderAroundTheChange) {
  Make(mnRight);
  std::vector<std::string> log;
  auto record = [&](const char* what) {
    return TTriPanePopEvent([&, what](TObject* s, bool open) {
      log.push_back(std::string(what) + (open ? " open" : " close") +
                    (s == Tri ? "" : " wrong sender") +
                    (Tri->MenuPane()->Visible() ? " shown" : " hidden") +
                    (Tri->Popped() ? " popped" : ""));
    });
  };
  Tri->OnPopping = record("popping");
  Tri->OnPopped = record("popped");
  Move(286, 50);
  Move(290, 50);
  Move(100, 50);
  EXPECT_EQ(log, (std::vector<std::string>{"popping open hidden", "popped open shown popped",
                                           "popping close shown popped", "popped close hidden"}));
}

// A pop handler may free the tri-pane (a menu that closes its window): the move that
// opened or closed the menu ends with the handler.
TEST_F(TriPaneTracking, APopHandlerThatFreesTheTriPaneEndsTheMove) {
  for (bool popping : {true, false})
    for (bool opening : {true, false}) {
      Make(mnRight);
      std::vector<std::string> log;
      TTriPanePopEvent freeIt([&, opening](TObject*, bool open) {
        log.push_back(open ? "open" : "close");
        if (open == opening) delete Tri;
      });
      (popping ? Tri->OnPopping : Tri->OnPopped) = freeIt;
      auto move = [&](int x, int y) { headless::MouseMove(*Tri->ClientPane(), x, y); };
      move(286, 50);
      move(290, 50);
      if (!opening) move(100, 50);
      EXPECT_EQ(log.back(), opening ? "open" : "close") << popping;
      EXPECT_EQ(Form->ControlCount(), 0) << popping << opening;
      headless::MouseMove(*Form, 100, 100);  // what is left still takes the mouse
    }
}

// Widths that the menu pane takes, in order, without repeats.
class TriPaneSliding : public TriPaneTracking {
 protected:
  std::vector<int> Widths;
  void Watch() {
    Widths.clear();
    Tri->MenuPane()->OnResize = TNotifyEvent([this](TObject*) {
      if (Widths.empty() || Widths.back() != Tri->MenuPane()->Width())
        Widths.push_back(Tri->MenuPane()->Width());
    });
  }
  void PlaceStripe() {
    Tri->PopOpen();
    Tri->PopClose();
    Watch();
  }
};

TEST_F(TriPaneSliding, StepsOfThreeOpenAndCloseTwiceAsFast) {
  Make(mnRight);
  Tri->SlideIncrement = 3;
  PlaceStripe();
  Tri->PopOpen();
  std::vector<int> expected{5};
  for (int w = 8; w <= 53; w += 3) expected.push_back(w);
  expected.push_back(55);
  EXPECT_EQ(Widths, expected);
  EXPECT_TRUE(Tri->MenuPane()->Visible());

  Watch();
  Tri->PopClose();
  expected.clear();
  for (int w = 49; w >= 1; w -= 6) expected.push_back(w);
  expected.push_back(55);
  EXPECT_EQ(Widths, expected);
  EXPECT_FALSE(Tri->MenuPane()->Visible());
  EXPECT_EQ(Tri->ClientPane()->Align(), alClient);
}

TEST_F(TriPaneSliding, HalfPixelStepsRepaintEveryStep) {
  Make(mnBottom);
  Tri->SlideIncrement = 0.5f;
  PlaceStripe();
  std::vector<int> heights;
  Tri->MenuPane()->OnResize = TNotifyEvent([&](TObject*) {
    if (heights.empty() || heights.back() != Tri->MenuPane()->Height())
      heights.push_back(Tri->MenuPane()->Height());
  });
  int before = Headless()->Window(Tri->MenuPane()->Handle())->PaintCount;
  Tri->PopOpen();
  int paints = Headless()->Window(Tri->MenuPane()->Handle())->PaintCount - before;
  EXPECT_GE(paints, 100) << "one synchronous repaint per half-pixel step";
  ASSERT_EQ(heights.size(), 51u);
  for (int i = 0; i < 51; ++i) EXPECT_EQ(heights[i], 5 + i);
}

TEST_F(TriPaneSliding, StepBelowHalfAPixelStopsAtOnceAndStillEndsOpen) {
  Make(mnRight);
  Tri->SlideIncrement = 0.4f;
  PlaceStripe();
  Tri->PopOpen();
  EXPECT_EQ(Widths, (std::vector<int>{5, 55}));
  EXPECT_TRUE(Tri->MenuPane()->Visible());
}

TEST_F(TriPaneSliding, NoSlidingShowsAndHidesAtOnce) {
  Make(mnRight);
  PlaceStripe();
  Tri->PopOpen();
  EXPECT_TRUE(Widths.empty());
  EXPECT_TRUE(Tri->MenuPane()->Visible());
  EXPECT_TRUE(Tri->StripePlaced());
  Tri->SetAlignment(alClient);
  EXPECT_FALSE(Tri->StripePlaced());
}

// Closing from a width the application gave the menu, with a step lost in rounding: the
// slide must still end, closed and at PopOpenSize.
TEST_F(TriPaneSliding, StepTooSmallToMoveStillEnds) {
  Make(mnRight);
  Tri->PopOpen();
  Tri->MenuPane()->SetWidth(30);
  Tri->SlideIncrement = 1e-30f;
  Tri->PopClose();
  EXPECT_FALSE(Tri->Popped());
  EXPECT_FALSE(Tri->MenuPane()->Visible());
  EXPECT_EQ(Tri->MenuPane()->Width(), 55);
  Tri->SlideIncrement = 3e38f;  // the other extreme: one clamped step each way
  Tri->PopOpen();
  EXPECT_EQ(Tri->MenuPane()->Width(), 55);
  Tri->PopClose();
  EXPECT_FALSE(Tri->MenuPane()->Visible());
}

// A control of the rich-edit class: its moves count 5 pixels nearer the right and bottom
// edges.
class TRichEdit : public TWinControl {
  FW_CLASS(TRichEdit, TWinControl)
 public:
  explicit TRichEdit(TComponent* owner) : TWinControl(owner) {}
};
FW_DEFINE_CLASS(TRichEdit)

TEST_F(TriPaneTracking, RichEditMovesCountFivePixelsNearerTheRightEdge) {
  Make(mnRight);  // band: x > 287 in the tri-pane
  auto* rich = new TRichEdit(Form.get());
  rich->SetParent(Tri->ClientPane());
  rich->SetBounds(250, 50, 40, 20);
  auto* edit = new TEdit(Form.get());
  edit->SetParent(Tri->ClientPane());
  edit->SetBounds(250, 80, 40, 20);
  Tri->SetMouseEvents(true);
  headless::MouseMove(*edit, 33, 5);  // 283
  headless::MouseMove(*edit, 35, 5);  // 285: outside the band
  EXPECT_FALSE(Tri->Popped());
  headless::MouseMove(*rich, 33, 5);  // 283, counted as 288: inside the band
  EXPECT_TRUE(Tri->Popped());
  EXPECT_EQ(Tri->LastPos(), 288);

  Tri->PopClose();
  Tri->FSetAlign(mnLeft);  // no shift on the left edge
  Tri->SetMouseEvents(true);
  rich->SetLeft(0);
  headless::MouseMove(*rich, 9, 5);
  EXPECT_EQ(Tri->LastPos(), 9 + Tri->ClientPane()->Left()) << "no shift";
}

TEST_F(TriPaneTracking, ApplicationHandlersAreNeverReplaced) {
  Make(mnRight);
  auto* mine = new TButton(Form.get());
  mine->SetParent(Tri->ClientPane());
  int calls = 0;
  mine->OnMouseMove = TMouseMoveEvent([&](TObject*, TShiftState, int, int) { ++calls; });
  const TMouseMoveEvent assigned = mine->OnMouseMove;
  auto* plain = new TButton(Form.get());
  plain->SetParent(Tri->ClientPane());
  Tri->SetMouseEvents(true);
  EXPECT_EQ(mine->OnMouseMove, assigned);
  EXPECT_EQ(plain->OnMouseMove, TMouseMoveEvent(Tri, &TTriPane::TrackforOpen));
  Tri->PopOpen();
  EXPECT_EQ(mine->OnMouseMove, assigned);
  EXPECT_EQ(plain->OnMouseMove, TMouseMoveEvent(Tri, &TTriPane::TrackforClose));
  Tri->SetMouseEvents(false);
  EXPECT_FALSE(plain->OnMouseMove.Assigned());
  EXPECT_FALSE(Tri->ClientPane()->OnMouseMove.Assigned());
  headless::MouseMove(*mine, 1, 1);
  EXPECT_EQ(calls, 1);
}

TEST_F(TriPaneTracking, NothingIsHookedAtDesignTime) {
  Make(mnRight, true);
  auto* b = new TButton(Form.get());
  b->SetParent(Tri->ClientPane());
  Tri->SetMouseEvents(true);
  EXPECT_FALSE(b->OnMouseMove.Assigned());
}

TEST_F(TriPaneTracking, NestedTriPaneForwardsToTheOuterOne) {
  Make(mnRight);
  auto* inner = new TTriPane(Form.get());
  inner->SetName("Inner");
  inner->FSetAlign(mnLeft);
  inner->SetParent(Tri->ClientPane());
  inner->SetAlign(alClient);  // 297 x 190 at the outer client pane's origin
  Tri->SetMouseEvents(true);
  EXPECT_EQ(inner->OuterTrack(), TMouseMoveEvent(Tri, &TTriPane::TrackforOpen));
  EXPECT_EQ(inner->ClientPane()->OnMouseMove, TMouseMoveEvent(inner, &TTriPane::TrackforOpen))
      << "the outer tri-pane does not descend into the inner one";

  // Inner client coordinates are the outer's too (both 0 across the edge).
  headless::MouseMove(*inner->ClientPane(), 286, 50);
  headless::MouseMove(*inner->ClientPane(), 290, 50);
  EXPECT_TRUE(Tri->Popped());
  EXPECT_FALSE(inner->Popped());
  EXPECT_EQ(inner->OuterTrack(), TMouseMoveEvent(Tri, &TTriPane::TrackforClose));
  headless::MouseMove(*inner->ClientPane(), 100, 50);
  EXPECT_FALSE(Tri->Popped());

  // The inner tri-pane still opens its own menu on its own edge.
  headless::MouseMove(*inner->ClientPane(), 8, 50);
  headless::MouseMove(*inner->ClientPane(), 5, 50);
  EXPECT_TRUE(inner->Popped());
  EXPECT_FALSE(Tri->Popped());
}

// With its own trigger off the inner tri-pane still forwards while closed, but while open
// it does nothing at all, forwarding included.
TEST_F(TriPaneTracking, NestedTriggerOffForwardsOnlyWhileClosed) {
  Make(mnRight);
  auto* inner = new TTriPane(Form.get());
  inner->SetName("Inner");
  inner->SetParent(Tri->ClientPane());
  inner->SetAlign(alClient);
  inner->MouseTrigger = false;
  Tri->SetMouseEvents(true);
  headless::MouseMove(*inner->ClientPane(), 286, 50);
  headless::MouseMove(*inner->ClientPane(), 290, 50);
  EXPECT_TRUE(Tri->Popped()) << "forwarded although the inner trigger is off";
  EXPECT_FALSE(inner->Popped());

  inner->PopOpen();  // the inner client pane now carries the inner TrackforClose
  headless::MouseMove(*inner->ClientPane(), 100, 50);
  EXPECT_TRUE(inner->Popped());
  EXPECT_TRUE(Tri->Popped()) << "not forwarded while the inner menu is open";
  inner->MouseTrigger = true;
  headless::MouseMove(*inner->ClientPane(), 100, 50);
  EXPECT_FALSE(inner->Popped());
  EXPECT_FALSE(Tri->Popped());
}

}  // namespace
}  // namespace tessapack::test
