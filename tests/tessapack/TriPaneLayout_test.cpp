// The tri-pane's layout by menu edge, its properties, window styles, naming and the
// design-time behaviour (grab border, active pane, outline, dropped controls).
#include <algorithm>
#include <regex>

#include "TriPaneFixture.h"
#include "framework/classes/Filer.h"

namespace tessapack::test {
namespace {

using namespace framework;

struct TLayoutCase {
  TMenuAlignment Edge;
  TRect Header, Client, Menu, Stripe;
};

// Design time: every pane is visible. Tri-pane 300 x 200, header 10, menu 55, stripe 3.
TEST_F(TriPaneFixture, LayoutPerMenuEdgeAtDesignTime) {
  const TLayoutCase cases[] = {
      {mnRight, Bounds(0, 0, 300, 10), Bounds(0, 10, 242, 190), Bounds(245, 10, 55, 190),
       Bounds(242, 10, 3, 190)},
      {mnLeft, Bounds(0, 0, 300, 10), Bounds(58, 10, 242, 190), Bounds(0, 10, 55, 190),
       Bounds(55, 10, 3, 190)},
      {mnTop, Bounds(0, 0, 300, 10), Bounds(0, 68, 300, 132), Bounds(0, 10, 300, 55),
       Bounds(0, 65, 300, 3)},
      {mnBottom, Bounds(0, 0, 300, 10), Bounds(0, 10, 300, 132), Bounds(0, 145, 300, 55),
       Bounds(0, 142, 300, 3)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Edge);
    Make(c.Edge, true);
    EXPECT_EQ(BoundsOf(Tri->HeaderPane()), c.Header);
    EXPECT_EQ(BoundsOf(Tri->ClientPane()), c.Client);
    EXPECT_EQ(BoundsOf(Tri->MenuPane()), c.Menu);
    EXPECT_EQ(BoundsOf(Tri->Stripe()), c.Stripe);
    EXPECT_EQ(Tri->MenuPane()->Align(), MenuAlign(c.Edge));
    EXPECT_EQ(Tri->Stripe()->Align(), MenuAlign(c.Edge));
  }
}

// Run time, closed: the menu pane is hidden and the stripe lies on the edge.
TEST_F(TriPaneFixture, LayoutWhileClosedAndOpenAtRunTime) {
  Make(mnRight);
  EXPECT_FALSE(Tri->MenuPane()->Visible());
  EXPECT_EQ(BoundsOf(Tri->Stripe()), Bounds(297, 10, 3, 190));
  EXPECT_EQ(BoundsOf(Tri->ClientPane()), Bounds(0, 10, 297, 190));
  Tri->PopOpen();
  EXPECT_TRUE(Tri->MenuPane()->Visible());
  EXPECT_EQ(BoundsOf(Tri->MenuPane()), Bounds(245, 10, 55, 190));
  EXPECT_EQ(BoundsOf(Tri->Stripe()), Bounds(242, 10, 3, 190));
  EXPECT_EQ(BoundsOf(Tri->ClientPane()), Bounds(0, 10, 297, 190)) << "overlapped, not re-aligned";
  EXPECT_EQ(Tri->ClientPane()->Align(), alNone);
  Tri->PopClose();
  EXPECT_FALSE(Tri->MenuPane()->Visible());
  EXPECT_EQ(Tri->ClientPane()->Align(), alClient);
  EXPECT_EQ(BoundsOf(Tri->Stripe()), Bounds(297, 10, 3, 190));

  Tri->ContinuousAlign = true;
  Tri->PopOpen();
  EXPECT_EQ(BoundsOf(Tri->ClientPane()), Bounds(0, 10, 242, 190));
}

TEST_F(TriPaneFixture, TopMenuTakesTheHeadersPlaceWhileOpen) {
  Make(mnTop);
  EXPECT_EQ(BoundsOf(Tri->Stripe()), Bounds(0, 10, 300, 3));
  Tri->PopOpen();
  EXPECT_FALSE(Tri->HeaderPane()->Visible());
  EXPECT_EQ(BoundsOf(Tri->MenuPane()), Bounds(0, 0, 300, 55));
  EXPECT_EQ(BoundsOf(Tri->Stripe()), Bounds(0, 55, 300, 3));
  Tri->PopClose();
  EXPECT_TRUE(Tri->HeaderPane()->Visible());
  EXPECT_EQ(BoundsOf(Tri->Stripe()), Bounds(0, 10, 300, 3));
  EXPECT_EQ(BoundsOf(Tri->ClientPane()), Bounds(0, 13, 300, 187));
}

TEST_F(TriPaneFixture, SettersRelayoutAtOnce) {
  Make(mnRight, true);
  Tri->ChangePopSize(70);
  EXPECT_EQ(BoundsOf(Tri->MenuPane()), Bounds(230, 10, 70, 190));
  Tri->FSetAlign(mnBottom);  // from a width to a height of PopOpenSize
  EXPECT_EQ(BoundsOf(Tri->MenuPane()), Bounds(0, 130, 300, 70));
  Tri->FChangeButVisible(20);
  EXPECT_EQ(BoundsOf(Tri->HeaderPane()), Bounds(0, 0, 300, 20));
  Tri->SetStripeWidth(6);
  EXPECT_EQ(BoundsOf(Tri->Stripe()), Bounds(0, 124, 300, 6));
  Tri->SetStripeColor(clRed);
  EXPECT_EQ(Tri->Stripe()->Color(), clRed);

  int resized = 0;
  Tri->OnResize = TNotifyEvent([&](TObject* s) { resized += s == Tri; });
  Tri->SetWidth(320);
  EXPECT_EQ(resized, 1);
  EXPECT_EQ(Tri->HeaderPane()->Width(), 320);
  EXPECT_EQ(Tri->MenuPane()->Width(), 320);
}

TEST_F(TriPaneFixture, InitialValuesAndStoredDefaults) {
  Make();
  EXPECT_EQ(Tri->AlignMenu(), mnRight);
  EXPECT_EQ(Tri->BevelingEx(), exNone);
  EXPECT_EQ(Tri->BevelOuter(), bvNone);
  EXPECT_EQ(Tri->Color(), clBtnFace);
  EXPECT_EQ(Tri->HeaderPaneHeight(), 10);
  EXPECT_TRUE(Tri->MouseTrigger);
  EXPECT_EQ(Tri->PopOpenSize(), 55);
  EXPECT_EQ(Tri->Proximity, 10);
  EXPECT_FLOAT_EQ(Tri->SlideIncrement, -1.0f);
  EXPECT_EQ(Tri->StripeColor(), clSilver);
  EXPECT_EQ(Tri->StripeWidth(), 3);
  EXPECT_EQ(GetEnumProp(*Tri, "alignmenu"), "mnRight");
  // The rest by name, as the designer's inspector reads them.
  EXPECT_EQ(GetEnumProp(*Tri, "Align"), "alNone");
  EXPECT_EQ(GetEnumProp(*Tri, "BevelInner"), "bvNone");
  EXPECT_EQ(GetOrdProp(*Tri, "BevelWidth"), 1);
  EXPECT_EQ(GetEnumProp(*Tri, "BorderStyle"), "bsNone");
  EXPECT_EQ(GetOrdProp(*Tri, "BorderWidth"), 0);
  EXPECT_EQ(GetOrdProp(*Tri, "ParentColor"), 0);
  EXPECT_EQ(GetOrdProp(*Tri, "ParentFont"), 1);
  EXPECT_EQ(GetOrdProp(*Tri, "Visible"), 1);
  EXPECT_EQ(GetOrdProp(*Tri, "ContinuousAlign"), 0);
  EXPECT_EQ(GetOrdProp(*Tri, "GrabBorder"), 0);
  // The panes publish exactly these names, lowercase initials included.
  std::vector<std::string> names;
  for (const TPropInfo* p : Tri->ClientPane()->ClassType().Properties()) names.push_back(p->Name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Cursor", "Height", "HelpContext", "Hint", "Left",
                                             "Name", "ParentColor", "Tag", "Top", "Width", "align",
                                             "bevelInner", "bevelOuter", "bevelWidth",
                                             "borderStyle", "borderWidth", "color"}));
  SetEnumProp(*Tri, "AlignMenu", "mnLeft");  // by name, through the setter
  EXPECT_EQ(Tri->MenuPane()->Align(), alLeft);
  SetEnumProp(*Tri, "AlignMenu", "mnRight");

  // Only what differs from a default (or has none) is written; the Pane mirrors never.
  std::string text = WriteComponentToText(*Tri);
  for (const char* line : {"BevelingEx = exNone", "BevelOuter = bvNone", "ContinuousAlign = False",
                           "GrabBorder = False", "SlideIncrement = -1"})
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
  for (const char* name : {"AlignMenu", "PopOpenSize", "StripeColor", "Proximity", "MouseTrigger",
                           "PaneColor", "HeaderPaneHeight", "Visible", "  Align ="})
    EXPECT_EQ(text.find(name), std::string::npos) << name << "\n" << text;
}

TEST_F(TriPaneFixture, BevelingExGivesWindowStylesAndNarrowsTheClientArea) {
  Make();
  auto* ws = Headless();
  ASSERT_NE(ws, nullptr);
  struct {
    TBevels Bevel;
    uint32_t ExStyle;
    bool Border;
    int Inset;
  } cases[] = {{exNone, 0, false, 0},
               {exThickRaised, WS_EX_DLGMODALFRAME, false, 3},
               {exThickSunk, WS_EX_CLIENTEDGE, false, 2},
               {exThinSunk, WS_EX_STATICEDGE, false, 1},
               {exSimpleBorder, 0, true, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Bevel);
    Tri->SetBorderStyle(c.Bevel);
    const THeadlessWindow* w = ws->Window(Tri->Handle());
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->ExStyle & (WS_EX_DLGMODALFRAME | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE), c.ExStyle);
    EXPECT_EQ((w->Style & WS_BORDER) != 0, c.Border);
    EXPECT_EQ(w->ClassStyle & (CS_HREDRAW | CS_VREDRAW), 0u);
    EXPECT_EQ(Tri->HeaderPane()->Width(), 300 - 2 * c.Inset);
  }
}

TEST_F(TriPaneFixture, PaneNamesCarryOneRandomSuffix) {
  Make();
  std::smatch m;
  const std::string client = Tri->ClientPane()->Name();
  ASSERT_TRUE(std::regex_match(client, m, std::regex("TriPane1__client__([0-9]{1,9})")));
  EXPECT_EQ(Tri->MenuPane()->Name(), "TriPane1__menu__" + m[1].str());
  EXPECT_EQ(Tri->HeaderPane()->Name(), "TriPane1__header__" + m[1].str());
  EXPECT_EQ(Tri->ClientPane()->Caption(), "");

  SetRandomTestSeed(1234);
  Tri->SetName("Other");
  Randomize();
  EXPECT_EQ(Tri->HeaderPane()->Name(), "Other__header__" + std::to_string(Random(1000000000)));
  EXPECT_EQ(Tri->HeaderPane()->Caption(), "");
}

TEST_F(TriPaneFixture, GrabBorderAtDesignAndRunTime) {
  Make(mnRight, true);
  Tri->SetGrab(true);
  EXPECT_TRUE(Tri->GrabBorder());
  EXPECT_EQ(Tri->BorderWidth(), 2);
  EXPECT_EQ(Tri->HeaderPane()->BoundsRect(), Bounds(2, 2, 296, 10));
  // The stored width never includes the grab border; writing restores it.
  std::string text = WriteComponentToText(*Form);
  EXPECT_EQ(text.find("BorderWidth"), std::string::npos) << text;
  EXPECT_NE(text.find("GrabBorder = True"), std::string::npos);
  EXPECT_EQ(Tri->BorderWidth(), 2);
  EXPECT_FALSE(Tri->RedrawSuspended());
  Tri->SetGrab(false);
  EXPECT_FALSE(Tri->GrabBorder());
  EXPECT_EQ(Tri->BorderWidth(), 0);

  // A tri-pane that already has a border is left as it is.
  Tri->SetBorderWidth(3);
  Tri->SetGrab(true);
  EXPECT_FALSE(Tri->GrabBorder());
  EXPECT_EQ(Tri->BorderWidth(), 3);
  Tri->SetGrab(false);
  EXPECT_EQ(Tri->BorderWidth(), 3) << "switching off keeps a border the grab did not make";

  // Loading at design time gives the border back.
  auto copy = std::make_unique<TForm>(nullptr);
  TTestDesigner designer(copy.get());
  Tri->SetBorderWidth(0);
  Tri->SetGrab(true);
  ReadComponentFromText(WriteComponentToText(*Form), copy.get());
  auto* loaded = dynamic_cast<TTriPane*>(copy->FindComponent("TriPane1"));
  ASSERT_NE(loaded, nullptr);
  EXPECT_TRUE(loaded->GrabBorder());
  EXPECT_EQ(loaded->BorderWidth(), 2);
  copy->SetDesigner(nullptr);

  // A stored border of its own survives loading: GrabBorder = False, read after
  // BorderWidth, does not clear it.
  Tri->SetGrab(false);
  Tri->SetBorderWidth(4);
  auto other = std::make_unique<TForm>(nullptr);
  TTestDesigner otherDesigner(other.get());
  const std::string text4 = WriteComponentToText(*Form);
  ASSERT_LT(text4.find("BorderWidth = 4"), text4.find("GrabBorder = False")) << text4;
  ReadComponentFromText(text4, other.get());
  loaded = dynamic_cast<TTriPane*>(other->FindComponent("TriPane1"));
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->BorderWidth(), 4);
  EXPECT_FALSE(loaded->GrabBorder());
  other->SetDesigner(nullptr);
}

TEST_F(TriPaneFixture, GrabBorderDoesNothingAtRunTime) {
  Make();
  Tri->SetGrab(true);
  EXPECT_FALSE(Tri->GrabBorder());
  EXPECT_EQ(Tri->BorderWidth(), 0);
}

TEST_F(TriPaneFixture, ClickingAPaneActivatesItAndOutlinesIt) {
  Make(mnRight, true);
  EXPECT_EQ(Tri->ActivePane(), Tri->ClientPane());
  Tri->HeaderPane()->SetColor(clYellow);
  Tri->HeaderPane()->SetBevelWidth(2);
  int modified = Designer->ModifiedCount;
  headless::MouseDown(*Tri->HeaderPane(), 5, 5);
  EXPECT_EQ(Tri->ActivePane(), Tri->HeaderPane());
  EXPECT_EQ(Tri->Controls(0), Tri->HeaderPane()) << "sent to the back";
  EXPECT_TRUE(Tri->HeaderPane()->Active);
  EXPECT_FALSE(Tri->ClientPane()->Active);
  EXPECT_EQ(Tri->PaneColor(), clYellow);
  EXPECT_EQ(Tri->PaneBevelWidth(), 2);
  EXPECT_GT(Designer->ModifiedCount, modified);

  // The Pane properties edit the active pane.
  Tri->SetPColor(clAqua);
  EXPECT_EQ(Tri->HeaderPane()->Color(), clAqua);

  Headless()->ClearPaintLog();
  Tri->HeaderPane()->Repaint();
  bool outlined = false;
  for (const TPaintOp& op : Headless()->PaintOpsOf(Tri->HeaderPane()->Name()))
    if (op.Op == "Polyline" && op.Pen.Style == psDashDot && op.Pen.Color == clBtnShadow) {
      outlined = true;
      // Client 300 x 10, shrunk by bevel width + 2 across and + 1 down.
      std::vector<TPoint> expected{{296, 3}, {296, 7}, {4, 7}, {4, 3}, {296, 3}};
      EXPECT_EQ(op.Points, expected);
    }
  EXPECT_TRUE(outlined);
  EXPECT_EQ(Tri->HeaderPane()->Canvas().Pen().Style(), psSolid) << "pen style restored";

  headless::MouseDown(*Tri->MenuPane(), 5, 5);
  EXPECT_EQ(Tri->ActivePane(), Tri->MenuPane());
  EXPECT_FALSE(Tri->HeaderPane()->Active);
}

TEST_F(TriPaneFixture, PanePropertiesDoNothingAtRunTime) {
  Make();
  Tri->SetPColor(clRed);
  EXPECT_NE(Tri->ClientPane()->Color(), clRed);
}

TEST_F(TriPaneFixture, ControlDroppedOnTheTriPaneMovesIntoTheActivePane) {
  SetRandomTestSeed(7);
  Make(mnRight, true);
  auto* button = new TButton(Form.get());
  button->SetBounds(0, 0, 50, 20);
  button->SetParent(Tri);
  EXPECT_EQ(button->Parent(), Tri) << "moved only after the designer has finished";
  Application().ProcessMessages();
  EXPECT_EQ(button->Parent(), Tri->ClientPane());
  EXPECT_GE(button->Left(), 0);
  EXPECT_LT(button->Left(), 242 - 50);
  EXPECT_GE(button->Top(), 0);
  EXPECT_LT(button->Top(), 190 - 20);
  EXPECT_EQ(button->Width(), 50);
  ASSERT_FALSE(Designer->Selected.empty());
  EXPECT_EQ(Designer->Selected.back(), button);

  // Wider than the pane: placed at the left edge.
  auto* wide = new TPanel(Form.get());
  wide->SetBounds(0, 0, 400, 20);
  wide->SetParent(Tri);
  Application().ProcessMessages();
  EXPECT_EQ(wide->Parent(), Tri->ClientPane());
  EXPECT_EQ(wide->Left(), 0);
}

TEST_F(TriPaneFixture, DroppedControlThatIsGoneOrMovedIsIgnored) {
  Make(mnRight, true);
  auto* gone = new TButton(Form.get());
  gone->SetParent(Tri);
  auto* moved = new TButton(Form.get());
  moved->SetParent(Tri);
  delete gone;
  moved->SetParent(Form.get());
  Application().ProcessMessages();
  EXPECT_EQ(moved->Parent(), Form.get());
  EXPECT_TRUE(Designer->Selected.empty());
}

// A control posted for moving that a pending message frees while the handler pumps.
class TFreeingControl : public TWinControl {
 public:
  explicit TFreeingControl(TComponent* owner) : TWinControl(owner) {}
  TControl* Victim = nullptr;
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_USER + 1) {
      delete Victim;
      Victim = nullptr;
      return;
    }
    TWinControl::Dispatch(m);
  }
};

TEST_F(TriPaneFixture, ControlFreedWhileTheDropHandlerPumpsIsIgnored) {
  Make(mnRight, true);
  auto* killer = new TFreeingControl(Form.get());
  auto* button = new TButton(Form.get());
  button->SetParent(Tri);  // posts WM_USER
  killer->Victim = button;
  PostMessage(killer, WM_USER + 1);  // handled inside the tri-pane's pump
  Application().ProcessMessages();
  EXPECT_EQ(killer->Victim, nullptr);
  EXPECT_TRUE(Designer->Selected.empty());
}

TEST_F(TriPaneFixture, NothingIsPostedAtRunTime) {
  Make();
  auto* button = new TButton(Form.get());
  button->SetParent(Tri);
  Application().ProcessMessages();
  EXPECT_EQ(button->Parent(), Tri);
}

}  // namespace
}  // namespace tessapack::test
