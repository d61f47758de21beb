// The pane stack: the front pane and its index, adding, deleting, removing and moving
// panes, the limit of 255 panes, mouse handlers, the grab border, and the component
// editor's verbs.
#include "MultiPaneFixture.h"
#include "framework/widgetset/headless/HeadlessInput.h"

namespace tessapack::test {
namespace {

using namespace framework;

using MultiPaneStack = MultiPaneFixture;

TEST_F(MultiPaneStack, ANewMultiPaneShowsItsPlaceholderAfterTheFirstPaint) {
  Make(1, true);
  ASSERT_EQ(Mp->GetCount(), 1);
  TSinglePane* placeholder = Mp->GetPane(0);
  EXPECT_EQ(placeholder->Tag(), TMultiPane::kPlaceholderTag);
  EXPECT_EQ(placeholder->Align(), alClient);
  EXPECT_EQ(placeholder->Owner(), Mp);
  EXPECT_FALSE(Mp->Painted());
  EXPECT_EQ(Mp->GetTop(), 0) << "the wish";
  EXPECT_EQ(Mp->Caption(), "Error");
  Paint();
  EXPECT_TRUE(Mp->Painted());
  EXPECT_EQ(Mp->GetTopPane(), placeholder);
  EXPECT_EQ(Front(Mp), placeholder);
  EXPECT_EQ(Mp->Caption(), "error");
  EXPECT_EQ(placeholder->BoundsRect(), Rect(1, 1, 299, 199)) << "inside the raised bevel";

  auto editor = GetComponentEditor(Mp, Designer.get());
  ASSERT_EQ(editor->GetVerbCount(), 1) << "one pane: only a new one can be made";
  EXPECT_EQ(editor->GetVerb(0), "New Pane");
}

TEST_F(MultiPaneStack, TheFrontPaneWishedBeforeTheFirstPaintComesWithIt) {
  Make(3);
  ASSERT_EQ(Windowed(Mp), std::set<int>{0}) << "showing made a window for the wished pane only";
  Mp->SetTop(2);
  EXPECT_EQ(Windowed(Mp), std::set<int>{0}) << "a wish touches no window";
  EXPECT_EQ(Mp->GetTop(), 2);
  Paint();
  EXPECT_EQ(Mp->GetTopPane(), Mp->GetPane(2));
  EXPECT_EQ(Front(Mp), Mp->GetPane(2));
  EXPECT_EQ(Windowed(Mp), std::set<int>{2});

  // A wish beyond the stack is clamped by the first paint.
  Mp->Hide();
  Mp->SetTop(7);
  Mp->Show();
  Paint();
  EXPECT_EQ(Mp->GetTop(), 2);
  EXPECT_EQ(Windowed(Mp), std::set<int>{2});
}

// A multi-pane that gets no paint of its own (its panes cover it, or its redrawing is
// suspended) still brings the wished pane to the front once shown.
TEST_F(MultiPaneStack, AShownMultiPaneThatCannotPaintStillEstablishesItsFrontPane) {
  Make(3);
  Mp->SetTop(2);
  Mp->Perform(WM_SETREDRAW, 0);
  Mp->Hide();
  Mp->Show();
  Paint();
  EXPECT_EQ(Headless()->Window(Mp->Handle())->PaintCount, 0);
  EXPECT_TRUE(Mp->Painted());
  EXPECT_EQ(Mp->GetTop(), 2);
  EXPECT_EQ(Windowed(Mp), std::set<int>{2});
  Mp->Perform(WM_SETREDRAW, 1);
}

TEST_F(MultiPaneStack, HidingKeepsTheFrontPaneAndTheWish) {
  Make(3);
  Mp->SetTop(1);
  Mp->Hide();  // before the first paint
  Mp->Hide();
  Mp->Show();
  Paint();
  EXPECT_EQ(Mp->GetTop(), 1) << "hiding before the first paint keeps the wish";

  Mp->SetTop(2);
  Mp->Hide();
  EXPECT_FALSE(Mp->Painted());
  EXPECT_EQ(Windowed(Mp), std::set<int>{}) << "hidden, the panes give their windows up";
  Mp->Hide();
  Mp->Show();
  Paint();
  EXPECT_EQ(Mp->GetTop(), 2) << "hidden twice and shown: the same pane";
  EXPECT_EQ(Front(Mp), Mp->GetPane(2));
  EXPECT_EQ(Windowed(Mp), std::set<int>{2});
}

// Deleting or removing a pane keeps the front pane in front; when the front pane itself
// goes, the one before it (or the new first one) comes to the front.
TEST_F(MultiPaneStack, DeletingAndRemovingKeepTheFrontAndWishedIndicesOnTheirPanes) {
  struct Case {
    int top, gone;
    int expectedTop;    // index after
    int expectedFront;  // position before
  };
  const Case cases[] = {
      {2, 0, 1, 2}, {2, 3, 2, 2}, {2, 2, 1, 1}, {0, 0, 0, 1}, {3, 3, 2, 2}, {1, 2, 1, 1},
  };
  for (bool painted : {true, false})
    for (bool freed : {true, false})
      for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "top " << c.top << " gone " << c.gone << (painted ? " painted" : " wished")
                     << (freed ? " Delete" : " Remove"));
        Make(4);
        Mp->SetTop(c.top);
        if (painted) Paint();
        std::vector<TSinglePane*> before;
        for (int i = 0; i < 4; ++i) before.push_back(Mp->GetPane(i));
        TSinglePane* gone = before[c.gone];
        if (freed) {
          Mp->Delete(c.gone);
        } else {
          Mp->Remove(gone);
          EXPECT_EQ(gone->Owner(), Mp) << "a removed pane is not freed";
          delete gone;
        }
        ASSERT_EQ(Mp->GetCount(), 3);
        EXPECT_EQ(Mp->GetTop(), c.expectedTop);
        EXPECT_EQ(Mp->GetTopPane(), before[c.expectedFront]);
        if (painted) {
          EXPECT_EQ(Front(Mp), before[c.expectedFront]);
          EXPECT_EQ(Windowed(Mp), std::set<int>{c.expectedTop});
        }
        Paint();
        EXPECT_EQ(Mp->GetTopPane(), before[c.expectedFront]);
      }
}

TEST_F(MultiPaneStack, MovingAPaneKeepsTheFrontPaneInFront) {
  Make(3, true);
  Paint();
  TSinglePane* p0 = Mp->GetPane(0);
  TSinglePane* p1 = Mp->GetPane(1);
  TSinglePane* p2 = Mp->GetPane(2);
  Mp->SetTop(2);
  SetOrdProp(*Mp, "PaneIndex", 0);  // design time: the front pane moves to position 0
  EXPECT_EQ(Mp->GetPane(0), p2);
  EXPECT_EQ(Mp->GetTop(), 0);
  EXPECT_EQ(Front(Mp), p2);
  p0->SetIndex(2);  // moving another pane across the front pane
  EXPECT_EQ(Mp->GetPane(1), p1);
  EXPECT_EQ(Mp->GetPane(2), p0);
  EXPECT_EQ(Mp->GetTopPane(), p2);
  Mp->SetTopPane(p1);
  EXPECT_EQ(Mp->GetTop(), 1);
  EXPECT_EQ(Front(Mp), p1);
  EXPECT_EQ(p1->GetIndex(), 1);
}

TEST_F(MultiPaneStack, PaneIndexMovesOnlyAtDesignTime) {
  Make(3);
  Paint();
  TSinglePane* p0 = Mp->GetPane(0);
  Mp->SetTop(2);
  SetOrdProp(*Mp, "PaneIndex", 0);
  EXPECT_EQ(Mp->GetPane(0), p0);
  EXPECT_EQ(Mp->GetTop(), 2);
}

TEST_F(MultiPaneStack, BadIndicesRaiseTheListError) {
  Make(3);
  Paint();
  EXPECT_THROW(Mp->Delete(3), EListError);
  EXPECT_THROW(Mp->Delete(-1), EListError);
  EXPECT_THROW(Mp->Move(0, 3), EListError);
  EXPECT_THROW(Mp->Move(5, 0), EListError);
  EXPECT_THROW(Mp->SetTop(3), EListError);
  try {
    Mp->GetPane(9);
    FAIL();
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "Index out of bounds.");
  }
  EXPECT_EQ(Mp->GetCount(), 3);
  EXPECT_EQ(Mp->GetTop(), 0);
}

TEST_F(MultiPaneStack, AMultiPaneHoldsAtMost255Panes) {
  Make(TMultiPane::kMaxPanes, true);
  EXPECT_THROW(Mp->AddPane(), EInvalidOperation);
  auto* stray = new TSinglePane(Form.get());
  EXPECT_THROW(Mp->Add(stray), EInvalidOperation);
  EXPECT_EQ(stray->Parent(), nullptr);
  delete stray;
  EXPECT_EQ(Mp->GetCount(), 255);
  auto editor = GetComponentEditor(Mp, Designer.get());
  EXPECT_EQ(editor->GetVerbCount(), 257) << "the verb count does not wrap";
  EXPECT_EQ(editor->GetVerb(256), "Pane 254");
  EXPECT_THROW(editor->ExecuteVerb(0), EInvalidOperation);
  EXPECT_EQ(Mp->GetCount(), 255);

  // Stored, all 255 come back in their order.
  SetRandomTestSeed(5);
  Mp->GetPane(254)->SetColor(clRed);
  const std::string text = WriteComponentToText(*Form);
  TForm copy(nullptr);
  ReadComponentFromText(text, &copy);
  auto* loaded = dynamic_cast<TMultiPane*>(copy.FindComponent("MultiPane1"));
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->GetCount(), 255);
  EXPECT_EQ(loaded->GetPane(254)->Color(), clRed);
  EXPECT_EQ(loaded->GetPane(254)->Tag(), 255);
}

TEST_F(MultiPaneStack, AddingTakesAPaneOnceAndOutOfAnotherMultiPane) {
  Make(2);
  Paint();
  Mp->Add(Mp->GetPane(1));
  EXPECT_EQ(Mp->GetCount(), 2) << "a listed pane is not listed twice";

  auto* other = new TMultiPane(Form.get());
  other->SetParent(Form.get());
  TSinglePane* moved = other->AddPane();
  moved->SetName("Moved");
  Mp->Add(moved);
  EXPECT_EQ(other->GetCount(), 1);
  EXPECT_EQ(Mp->GetCount(), 3);
  EXPECT_EQ(Mp->GetPane(2), moved);
  EXPECT_EQ(moved->Parent(), Mp);
  EXPECT_EQ(moved->Owner(), Mp) << "freeing the other multi-pane must not free it";
  delete other;
  EXPECT_EQ(Mp->GetPane(2)->Name(), "Moved");
  Mp->SetTop(2);
  EXPECT_EQ(Front(Mp), moved);
}

TEST_F(MultiPaneStack, FreeingTheMultiPaneFreesItsPanesAndOthersLyingInIt) {
  Make(3);
  Paint();
  // A pane that the form owns, and a control in a pane.
  auto* formPane = new TSinglePane(Form.get());
  Mp->Add(formPane);
  auto* edit = new TEdit(Form.get());
  edit->SetParent(Mp->GetPane(1));
  delete Mp;
  Mp = nullptr;
  EXPECT_EQ(Form->FindComponent("MultiPane1"), nullptr);
  EXPECT_EQ(Form->ComponentCount(), 0) << "the form's own pane and edit went with it";
}

TEST_F(MultiPaneStack, EveryPaneGetsTheMouseHandlers) {
  Make(2, true);
  std::vector<std::string> calls;
  auto down = TMouseEvent([&](TObject* s, TMouseButton, TShiftState, int, int) {
    calls.push_back("down " + static_cast<TComponent*>(s)->Name());
  });
  auto up = TMouseEvent([&](TObject* s, TMouseButton, TShiftState, int, int) {
    calls.push_back("up " + static_cast<TComponent*>(s)->Name());
  });
  Mp->SetMouseDown(down);
  Mp->SetMouseUp(up);
  Mp->SetMouseMove(
      TMouseMoveEvent([&](TObject*, TShiftState, int, int) { calls.push_back("move"); }));
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(Mp->GetPane(i)->OnMouseDown, down);
    EXPECT_EQ(Mp->GetPane(i)->OnMouseUp, up);
  }
  EXPECT_EQ(Mp->OnMouseDown, down);
  // A pane added in code, and one added by the editor, get them too.
  TSinglePane* added = Mp->AddPane();
  GetComponentEditor(Mp, Designer.get())->ExecuteVerb(0);
  TSinglePane* byEditor = Mp->GetPane(3);
  EXPECT_EQ(added->OnMouseDown, down);
  EXPECT_EQ(byEditor->OnMouseDown, down);
  EXPECT_EQ(byEditor->OnMouseUp, up);
  EXPECT_TRUE(byEditor->OnMouseMove.Assigned());
}

// The grab border widens a border of width 0 at design time and takes away only a border
// that it made.
TEST_F(MultiPaneStack, GrabBorderAtDesignAndRunTime) {
  Make(2, true);
  Mp->SetGrab(true);
  EXPECT_TRUE(Mp->GrabBorder());
  EXPECT_EQ(Mp->BorderWidth(), 2);
  EXPECT_EQ(Mp->GetPane(0)->BoundsRect(), Rect(3, 3, 297, 197)) << "inside border and bevel";
  std::string text = WriteComponentToText(*Form);
  EXPECT_EQ(text.find("BorderWidth"), std::string::npos) << "the stored width has no grab border";
  EXPECT_NE(text.find("GrabBorder = True"), std::string::npos);
  EXPECT_EQ(Mp->BorderWidth(), 2);
  EXPECT_FALSE(Mp->RedrawSuspended());
  Mp->SetGrab(false);
  EXPECT_EQ(Mp->BorderWidth(), 0);

  Mp->SetBorderWidth(3);
  Mp->SetGrab(true);
  EXPECT_FALSE(Mp->GrabBorder()) << "a border of its own: no grab border";
  Mp->SetGrab(false);
  EXPECT_EQ(Mp->BorderWidth(), 3) << "switching off keeps a border the grab did not make";

  Form->SetDesigner(nullptr);
  Designer.reset();
  Form->SetDesigning(false);
  Mp->SetBorderWidth(0);
  Mp->SetGrab(true);
  EXPECT_FALSE(Mp->GrabBorder()) << "nothing at run time";
  EXPECT_EQ(Mp->BorderWidth(), 0);
}

TEST_F(MultiPaneStack, PaneColorEditsTheFrontPaneAtDesignTime) {
  Make(2, true);
  EXPECT_EQ(Mp->GetPaneColor(), 0) << "no front pane before the first paint";
  Mp->SetPaneColor(clRed);  // nothing to edit
  Paint();
  Mp->SetTop(1);
  SetOrdProp(*Mp, "PaneColor", clYellow);
  EXPECT_EQ(Mp->GetPane(1)->Color(), clYellow);
  EXPECT_EQ(Mp->GetPane(0)->Color(), clBtnFace);
  EXPECT_EQ(GetOrdProp(*Mp, "PaneColor"), clYellow);
}

TEST_F(MultiPaneStack, EditorVerbsAddDeleteAndChoosePanes) {
  SetRandomTestSeed(77);
  Make(1, true);
  Paint();
  auto editor = GetComponentEditor(Mp, Designer.get());
  editor->ExecuteVerb(0);
  editor->ExecuteVerb(0);
  ASSERT_EQ(Mp->GetCount(), 3);
  EXPECT_EQ(Mp->GetTop(), 2) << "a new pane comes to the front";
  EXPECT_EQ(Mp->GetPane(2)->Tag(), 3);
  EXPECT_EQ(Mp->GetPane(2)->Owner(), Mp);
  Randomize();
  const std::string n = std::to_string(Random(1000000000));
  EXPECT_EQ(Mp->GetPane(2)->Name(), "MultiPane1__panes___2___2___" + n);
  EXPECT_EQ(Designer->ModifiedCount, 2);
  ASSERT_EQ(editor->GetVerbCount(), 5);
  const std::vector<std::string> verbs{"New Pane", "Delete Pane 2", "Pane 0", "Pane 1", "Pane 2"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(editor->GetVerb(i), verbs[i]);

  // With pane 0 in front, deleting it brings pane 1 to the front as the new pane 0.
  editor->ExecuteVerb(2);
  EXPECT_EQ(Mp->GetTop(), 0);
  TSinglePane* second = Mp->GetPane(1);
  EXPECT_EQ(editor->GetVerb(1), "Delete Pane 0");
  editor->ExecuteVerb(1);
  ASSERT_EQ(Mp->GetCount(), 2);
  EXPECT_EQ(Mp->GetPane(0), second);
  EXPECT_EQ(Mp->GetTop(), 0);
  EXPECT_EQ(Front(Mp), second);
  EXPECT_EQ(Designer->ModifiedCount, 4);
}

TEST_F(MultiPaneStack, TheDeleteVerbDeletesThePaneItsCaptionNames) {
  Make(3, true);
  Mp->SetTop(2);  // before the first paint: the caption names the wished pane
  auto editor = GetComponentEditor(Mp, Designer.get());
  EXPECT_EQ(editor->GetVerb(1), "Delete Pane 2");
  TSinglePane* p0 = Mp->GetPane(0);
  TSinglePane* p1 = Mp->GetPane(1);
  editor->ExecuteVerb(1);
  ASSERT_EQ(Mp->GetCount(), 2);
  EXPECT_EQ(Mp->GetPane(0), p0);
  EXPECT_EQ(Mp->GetPane(1), p1);
  EXPECT_EQ(Mp->GetTop(), 1);
}

// A control dropped on the multi-pane itself at design time moves into the front pane once
// the designer is done; the move stops when the control or the multi-pane is gone.
class TKiller : public TPanel {
 public:
  using TPanel::TPanel;
  TComponent* Victim = nullptr;
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_USER + 7) {
      delete Victim;
      return;
    }
    TPanel::Dispatch(m);
  }
};

TEST_F(MultiPaneStack, ADroppedControlMovesIntoTheFrontPane) {
  SetRandomTestSeed(3);
  Make(2, true);
  Paint();
  Mp->SetTop(1);
  auto* button = new TButton(Form.get());
  button->SetBounds(0, 0, 50, 20);
  button->SetParent(Mp);
  EXPECT_EQ(button->Parent(), Mp) << "moved only once the designer is done";
  Paint();
  EXPECT_EQ(button->Parent(), Mp->GetPane(1));
  EXPECT_LT(button->Left(), 250);
  EXPECT_LT(button->Top(), 180);
  ASSERT_FALSE(Designer->Selected.empty());
  EXPECT_EQ(Designer->Selected.back(), button);

  // A control freed before its move is left alone.
  auto* gone = new TButton(Form.get());
  gone->SetParent(Mp);
  delete gone;
  Paint();

  // The multi-pane freed while the move waits for pending messages.
  auto* killer = new TKiller(Form.get());
  killer->SetParent(Form.get());
  killer->Victim = Mp;
  auto* dropped = new TButton(Form.get());
  dropped->SetParent(Mp);
  PostMessage(killer, WM_USER + 7);
  Paint();
  Mp = nullptr;
  EXPECT_EQ(Form->FindComponent("MultiPane1"), nullptr);
  EXPECT_EQ(Form->IndexOfControl(killer), 0);
}

}  // namespace
}  // namespace tessapack::test
