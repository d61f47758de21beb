// Controls: alignment, z-order, handles, child-list notifications, default message
// handling, mouse routing and painting on the recording canvas.
#include <functional>

#include "TestSupport.h"
#include "framework/controls/Input.h"
#include "framework/graphics/Bitmap.h"
#include "framework/graphics/Resources.h"
#include "framework/widgetset/headless/HeadlessInput.h"

using namespace framework;

namespace fwtest {
namespace {

using ControlsTest = FrameworkTest;

TPanel* MakePanel(TWinControl* parent, const char* name, TAlign align, int w, int h) {
  auto* p = new TPanel(parent);
  p->SetName(name);
  p->SetBounds(0, 0, w, h);
  p->SetAlign(align);
  p->SetParent(parent);
  return p;
}

TEST_F(ControlsTest, MixedAlignedChildrenShareTheClientAreaInPrecedenceOrder) {
  TPanel host(nullptr);
  host.SetBevelOuter(bvNone);
  host.SetBounds(0, 0, 200, 100);
  // Created in an order unlike the precedence, to show the precedence wins.
  auto* client = MakePanel(&host, "Client", alClient, 10, 10);
  auto* right = MakePanel(&host, "Right", alRight, 30, 10);
  auto* left = MakePanel(&host, "Left", alLeft, 20, 10);
  auto* bottom = MakePanel(&host, "Bottom", alBottom, 10, 15);
  auto* top1 = MakePanel(&host, "Top1", alTop, 10, 10);
  auto* top2 = MakePanel(&host, "Top2", alTop, 10, 5);
  auto* free = MakePanel(&host, "Free", alNone, 7, 7);
  free->SetBounds(3, 4, 7, 7);
  EXPECT_EQ(top1->BoundsRect(), Rect(0, 0, 200, 10));
  EXPECT_EQ(top2->BoundsRect(), Rect(0, 10, 200, 15));
  EXPECT_EQ(bottom->BoundsRect(), Rect(0, 85, 200, 100));
  EXPECT_EQ(left->BoundsRect(), Rect(0, 15, 20, 85));
  EXPECT_EQ(right->BoundsRect(), Rect(170, 15, 200, 85));
  EXPECT_EQ(client->BoundsRect(), Rect(20, 15, 170, 85));
  EXPECT_EQ(free->BoundsRect(), Rect(3, 4, 10, 11));  // not aligned: untouched

  host.SetWidth(300);  // the parent's size changes: everything follows
  EXPECT_EQ(right->BoundsRect(), Rect(270, 15, 300, 85));
  EXPECT_EQ(client->BoundsRect(), Rect(20, 15, 270, 85));

  top1->SetHeight(20);  // an aligned child's bounds change
  EXPECT_EQ(top2->Top(), 20);
  EXPECT_EQ(client->Top(), 25);

  top2->Hide();  // hidden children take no room
  EXPECT_EQ(client->Top(), 20);
  top2->Show();

  host.SetBorderWidth(2);  // borders narrow the shared area
  EXPECT_EQ(top1->BoundsRect(), Rect(2, 2, 298, 22));
}

TEST_F(ControlsTest, PositionNotZOrderDecidesOrderWithinOneAlignment) {
  TPanel host(nullptr);
  host.SetBevelOuter(bvNone);
  host.SetBounds(0, 0, 100, 50);
  auto* menu = MakePanel(&host, "Menu", alRight, 20, 10);
  auto* stripe = MakePanel(&host, "Stripe", alRight, 3, 10);
  EXPECT_EQ(menu->Left(), 80);  // its right edge lay further right: outermost
  EXPECT_EQ(stripe->Left(), 77);
  menu->BringToFront();  // the z-order alone changes nothing
  EXPECT_EQ(host.Controls(1), menu);
  EXPECT_EQ(menu->Left(), 80);
  EXPECT_EQ(stripe->Left(), 77);
  stripe->SetLeft(98);  // its right edge moved beyond the menu's: now outermost
  EXPECT_EQ(stripe->Left(), 97);
  EXPECT_EQ(menu->Left(), 77);
  // Re-parenting moves a control to the end of the list.
  stripe->SetParent(menu);
  stripe->SetParent(&host);
  EXPECT_EQ(host.Controls(1), stripe);
}

TEST_F(ControlsTest, AlignmentWaitsUntilLoadingEnds) {
  std::unique_ptr<TComponent> f(ReadComponentFromText(
      "object F: TForm\n"
      "  Width = 300\n"
      "  Height = 200\n"
      "  object P: TPanel\n"
      "    Align = alClient\n"
      "    object Q: TPanel\n"
      "      Left = 5\n"
      "      Top = 6\n"
      "      Width = 10\n"
      "      Height = 11\n"
      "      Align = alBottom\n"
      "    end\n"
      "  end\n"
      "end\n"));
  auto* form = dynamic_cast<TForm*>(f.get());
  auto* p = dynamic_cast<TPanel*>(form->FindComponent("P"));
  auto* q = dynamic_cast<TPanel*>(form->FindComponent("Q"));
  EXPECT_EQ(p->BoundsRect(), Rect(0, 0, form->ClientWidth(), form->ClientHeight()));
  EXPECT_EQ(q->BoundsRect(), Rect(1, p->Height() - 1 - 11, p->Width() - 1, p->Height() - 1));
  EXPECT_EQ(form->ClientWidth(), 300 - 8);  // a sizeable frame of 4 on each side
  EXPECT_EQ(form->ClientHeight(), 200 - 8 - 19);
}

TEST_F(ControlsTest, HandleLifeCycle) {
  TForm form(nullptr);
  auto* outer = MakePanel(&form, "Outer", alNone, 50, 50);
  auto* inner = MakePanel(outer, "Inner", alNone, 10, 10);
  EXPECT_FALSE(inner->HandleAllocated());
  THandle h = inner->Handle();  // asking creates it, with its parents'
  EXPECT_TRUE(h);
  EXPECT_TRUE(outer->HandleAllocated());
  EXPECT_TRUE(form.HandleAllocated());
  EXPECT_EQ(FindControl(h), inner);
  ASSERT_NE(WS().Window(h), nullptr);
  EXPECT_EQ(WS().Window(h)->Control, "Inner");
  EXPECT_EQ(inner->Handle(), h);  // asking again gives the same window
  outer->DestroyHandle();         // children's windows go with it
  EXPECT_FALSE(inner->HandleAllocated());
  EXPECT_EQ(FindControl(h), nullptr);
  EXPECT_EQ(WS().Window(h), nullptr);
  // A shown form makes windows for its showing children; RecreateWnd makes a new one.
  form.Show();
  EXPECT_TRUE(inner->HandleAllocated());
  THandle before = outer->Handle();
  outer->RecreateWnd();
  EXPECT_TRUE(outer->HandleAllocated());
  EXPECT_NE(outer->Handle(), before);
  EXPECT_TRUE(WS().Window(outer->Handle())->Visible);
  inner->Hide();
  EXPECT_FALSE(WS().Window(inner->Handle())->Visible);
  EXPECT_FALSE(inner->Showing());
  delete outer;
  EXPECT_EQ(WS().WindowCount(), 1u);  // only the form's window is left
}

TEST_F(ControlsTest, CreateParamsCarryStylesAndFrameDecidesClientArea) {
  TForm form(nullptr);
  auto* p = MakePanel(&form, "P", alNone, 100, 50);
  p->SetBorderStyle(bsSingle);
  form.Show();
  const THeadlessWindow* w = WS().Window(p->Handle());
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->Style & WS_CHILD);
  EXPECT_TRUE(w->ExStyle & WS_EX_CLIENTEDGE);
  EXPECT_FALSE(w->ClassStyle & (CS_HREDRAW | CS_VREDRAW));
  EXPECT_EQ(p->ClientRect(), Rect(0, 0, 96, 46));
  p->SetCtl3D(false);
  EXPECT_TRUE(WS().Window(p->Handle())->Style & WS_BORDER);
  EXPECT_EQ(p->ClientRect(), Rect(0, 0, 98, 48));
}

class TListWatcher : public TCustomPanel {
 public:
  using TCustomPanel::TCustomPanel;
  std::vector<std::string> Seen;
  void CMControlListChange(TMessage& m) override {
    Seen.push_back(std::string(m.LParam ? "+" : "-") + m.Obj->Name() + " count " +
                   std::to_string(ControlCount()));
  }
  std::vector<std::string> Sizes;
  void WMSize(TMessage& m) override {
    Sizes.push_back(std::to_string(LoWord(m.LParam)) + "x" + std::to_string(HiWord(m.LParam)));
    TCustomPanel::WMSize(m);
  }
  std::vector<TPoint> Notified;
  void WMParentNotify(TMessage& m) override {
    if (LoWord(m.WParam) == WM_LBUTTONDOWN) Notified.push_back({GetXParam(m.LParam), GetYParam(m.LParam)});
  }
};

TEST_F(ControlsTest, ChildListChangeIsNotifiedAfterTheListChanged) {
  TListWatcher w(nullptr);
  auto* a = new TLabel(nullptr);
  a->SetName("A");
  a->SetParent(&w);
  a->SetParent(nullptr);
  delete a;
  EXPECT_EQ(w.Seen, (std::vector<std::string>{"+A count 1", "-A count 0"}));
}

TEST_F(ControlsTest, SizeMessageCarriesTheClientSizeAndParentNotifyThePoint) {
  TForm form(nullptr);
  auto* w = new TListWatcher(&form);
  w->SetParent(&form);
  w->SetBounds(10, 20, 100, 60);
  EXPECT_EQ(w->Sizes.back(), "100x60");
  auto* child = MakePanel(w, "Child", alNone, 30, 30);
  child->SetBounds(40, 5, 30, 30);
  form.Show();
  headless::MouseDown(*child, 3, 4);
  ASSERT_EQ(w->Notified.size(), 1u);
  EXPECT_EQ(w->Notified[0], Point(43, 9));  // in the parent's client coordinates
}

TEST_F(ControlsTest, MouseReachesTheGraphicChildUnderThePointAndClicks) {
  TForm form(nullptr);
  auto* p = MakePanel(&form, "P", alNone, 100, 100);
  auto* b = new TSpeedButton(&form);
  b->SetParent(p);
  b->SetBounds(10, 10, 20, 20);
  int clicks = 0;
  std::vector<TPoint> moves;
  b->OnClick = TNotifyEvent([&](TObject*) { ++clicks; });
  b->OnMouseMove = TMouseMoveEvent([&](TObject*, TShiftState, int x, int y) { moves.push_back({x, y}); });
  int panelDowns = 0;
  p->OnMouseDown = TMouseEvent([&](TObject*, TMouseButton, TShiftState, int, int) { ++panelDowns; });
  form.Show();
  headless::MouseMove(*p, 15, 12);
  headless::Click(*p, 15, 12);
  headless::Click(*p, 50, 50);  // beside the button: the panel gets it
  EXPECT_EQ(moves, (std::vector<TPoint>{{5, 2}}));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(panelDowns, 1);
  // Pressing inside and releasing outside is no click.
  headless::MouseDown(*b, 5, 5);
  DeliverMouse(p->Handle(), WM_LBUTTONUP, {}, 90, 90);
  EXPECT_EQ(clicks, 1);
}

TEST_F(ControlsTest, PaintingGoesToTheRecordingCanvas) {
  TForm form(nullptr);
  auto* p = MakePanel(&form, "P", alNone, 40, 30);
  struct TDrawer : TGraphicControl {
    using TGraphicControl::TGraphicControl;
    void Paint() override {
      Canvas().Pen().SetStyle(psDashDot);
      Canvas().Pen().SetColor(clBtnShadow);
      Canvas().Polyline({{1, 1}, {5, 1}, {5, 5}});
      Canvas().TextOut(0, 0, "Hi");
    }
  };
  auto* d = new TDrawer(&form);
  d->SetName("D");
  d->SetParent(p);
  d->SetBounds(10, 5, 20, 20);
  form.Show();
  Application().ProcessMessages();
  auto ops = WS().PaintOpsOf("D");
  ASSERT_EQ(ops.size(), 2u);
  EXPECT_EQ(ops[0].Op, "Polyline");
  EXPECT_EQ(ops[0].Pen.Style, psDashDot);
  EXPECT_EQ(ops[0].Pen.Color, clBtnShadow);
  EXPECT_EQ(ops[0].Points, (std::vector<TPoint>{{11, 6}, {15, 6}, {15, 10}}));  // on the parent
  EXPECT_EQ(ops[1].Text, "Hi");
  // The panel painted its background and frame first.
  auto panelOps = WS().PaintOpsOf("P");
  ASSERT_FALSE(panelOps.empty());
  EXPECT_EQ(panelOps.front().Op, "Polyline");  // the raised bevel
  // Invalidate waits for the loop; Repaint paints at once.
  WS().ClearPaintLog();
  d->Invalidate();
  EXPECT_TRUE(WS().PaintLog().empty());
  d->Repaint();
  EXPECT_FALSE(WS().PaintOpsOf("D").empty());
}

TEST_F(ControlsTest, TextIsMeasuredByTheFixedMetric) {
  TCanvas c;
  EXPECT_EQ(c.TextWidth("abcd"), 24);  // -11 pixel font: 6 per character
  EXPECT_EQ(c.TextHeight("x"), 13);
  c.Font().SetSize(16);
  EXPECT_EQ(c.Font().Height(), -21);
  EXPECT_EQ(c.TextWidth("ab"), 22);
  EXPECT_EQ(ColorToRGB(clBtnFace), clSilver);
  EXPECT_EQ(ColorToRGB(RGB(1, 2, 3)), RGB(1, 2, 3));
}

TEST_F(ControlsTest, BitmapsLoadFromNamedResources) {
  // A 2 x 2, 24-bit image: bottom row red, blue; top row green, white.
  static const unsigned char bmp[] = {
      'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0,
      24, 0, 0, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      0, 0, 255, 255, 0, 0, 0, 0, 0, 255, 0, 255, 255, 255, 0, 0};
  RegisterResource("tests", "TwoByTwo", bmp, sizeof bmp);
  TBitmap b;
  b.LoadFromResourceName("TWOBYTWO");
  EXPECT_EQ(b.Width(), 2);
  EXPECT_EQ(b.Pixel(0, 1), clRed);
  EXPECT_EQ(b.Pixel(1, 1), clBlue);
  EXPECT_EQ(b.Pixel(0, 0), clLime);
  EXPECT_EQ(b.TransparentColor(), clRed);
  EXPECT_THROW(b.LoadFromResourceName("NOPE"), EResNotFound);
  EXPECT_THROW(b.LoadFromData(std::string_view(reinterpret_cast<const char*>(bmp), 60)), EInvalidGraphic);
}

TEST_F(ControlsTest, ParentColorAndFontFlowDown) {
  TPanel host(nullptr);
  auto* child = new TLabel(&host);
  child->SetParent(&host);
  host.SetColor(clRed);
  EXPECT_EQ(child->Color(), clRed);
  host.Font().SetName("Courier");
  EXPECT_EQ(child->Font().Name(), "Courier");
  child->Font().SetName("Arial");
  EXPECT_FALSE(child->ParentFont());
  host.Font().SetName("Times");
  EXPECT_EQ(child->Font().Name(), "Arial");
}

}  // namespace
}  // namespace fwtest

namespace fwtest {
namespace {

// A panel without bevels, so its client area is its whole size.
std::unique_ptr<TPanel> FlatHost(int w, int h) {
  auto host = std::make_unique<TPanel>(nullptr);
  host->SetBevelOuter(bvNone);
  host->SetBounds(0, 0, w, h);
  return host;
}

// ---- alignment triggers ------------------------------------------------------------------------

TEST_F(ControlsTest, FreeingAnAlignedChildGivesItsRoomBack) {
  auto host = FlatHost(100, 80);
  auto* top = MakePanel(host.get(), "Top", alTop, 10, 20);
  auto* client = MakePanel(host.get(), "Client", alClient, 10, 10);
  EXPECT_EQ(client->BoundsRect(), Rect(0, 20, 100, 80));
  delete top;
  EXPECT_EQ(client->BoundsRect(), Rect(0, 0, 100, 80));
}

TEST_F(ControlsTest, ReparentingAnAlignedChildRealignsBothParents) {
  auto host = FlatHost(100, 80);
  auto other = FlatHost(60, 40);
  auto* left = MakePanel(host.get(), "Left", alLeft, 30, 10);
  auto* client = MakePanel(host.get(), "Client", alClient, 10, 10);
  EXPECT_EQ(client->Left(), 30);
  left->SetParent(other.get());
  EXPECT_EQ(client->BoundsRect(), Rect(0, 0, 100, 80));
  EXPECT_EQ(left->BoundsRect(), Rect(0, 0, 30, 40));
}

TEST_F(ControlsTest, LeavingTheAlignedSetKeepsTheBoundsAndFreesTheRoom) {
  auto host = FlatHost(100, 80);
  auto* top = MakePanel(host.get(), "Top", alTop, 10, 20);
  auto* client = MakePanel(host.get(), "Client", alClient, 10, 10);
  top->SetAlign(alNone);
  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 100, 20));
  EXPECT_EQ(client->BoundsRect(), Rect(0, 0, 100, 80));
  top->SetAlign(alBottom);  // joining again takes its place at once
  EXPECT_EQ(top->BoundsRect(), Rect(0, 60, 100, 80));
  EXPECT_EQ(client->BoundsRect(), Rect(0, 0, 100, 60));
}

TEST_F(ControlsTest, HiddenAlignedChildrenStillTakeTheirRoomAtDesignTime) {
  auto host = FlatHost(100, 80);
  auto* top = MakePanel(host.get(), "Top", alTop, 10, 20);
  auto* client = MakePanel(host.get(), "Client", alClient, 10, 10);
  top->Hide();
  EXPECT_EQ(client->Top(), 0);
  host->SetDesigning(true);
  host->Realign();
  EXPECT_EQ(client->Top(), 20);
}

TEST_F(ControlsTest, DisabledAlignmentRunsOnceWhenEnabledAgain) {
  auto host = FlatHost(100, 80);
  auto* client = MakePanel(host.get(), "Client", alClient, 10, 10);
  host->DisableAlign();
  auto* top = MakePanel(host.get(), "Top", alTop, 10, 20);
  host->SetWidth(200);
  EXPECT_EQ(client->BoundsRect(), Rect(0, 0, 100, 80));  // nothing moved yet
  host->DisableAlign();  // nested
  host->EnableAlign();
  EXPECT_EQ(client->Width(), 100);
  host->EnableAlign();
  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 200, 20));
  EXPECT_EQ(client->BoundsRect(), Rect(0, 20, 200, 80));
}

// Each alignment is laid out by position, outermost first: alTop by Top, alBottom by
// bottom edge, alLeft by Left, alRight by right edge. Moving a child past another swaps them;
// on equal positions the child that moved wins, the others keep their child-list order.
TEST_F(ControlsTest, AlignedChildrenAreOrderedByPosition) {
  struct TCase {
    TAlign Align;
    int Size1, Size2;
    std::function<void(TPanel*, TPanel*)> MoveSecondOutward;
    std::function<int(TPanel*)> Edge;  // the coordinate across the edge
    int Outer, Inner;                  // expected edges of the outermost and the next
  };
  const TCase cases[] = {
      {alTop, 10, 5, [](TPanel* a, TPanel* b) { b->SetTop(a->Top() - 1); },
       [](TPanel* p) { return p->Top(); }, 0, 5},
      {alTop, 10, 5, [](TPanel* a, TPanel* b) { b->SetTop(a->Top()); },
       [](TPanel* p) { return p->Top(); }, 0, 5},
      {alBottom, 10, 5, [](TPanel* a, TPanel* b) { b->SetTop(a->Top() + a->Height()); },
       [](TPanel* p) { return p->Top(); }, 75, 65},
      {alLeft, 7, 3, [](TPanel* a, TPanel* b) { b->SetLeft(a->Left()); },
       [](TPanel* p) { return p->Left(); }, 0, 3},
      {alRight, 7, 3, [](TPanel* a, TPanel* b) { b->SetLeft(a->Left() + a->Width()); },
       [](TPanel* p) { return p->Left(); }, 97, 90},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Align));
    auto host = FlatHost(100, 80);
    auto* p1 = MakePanel(host.get(), "P1", c.Align, c.Size1, c.Size1);
    auto* p2 = MakePanel(host.get(), "P2", c.Align, c.Size2, c.Size2);
    EXPECT_EQ(c.Edge(p1) == c.Edge(p2), false);
    c.MoveSecondOutward(p1, p2);
    EXPECT_EQ(c.Edge(p2), c.Outer) << "the moved child is outermost";
    EXPECT_EQ(c.Edge(p1), c.Inner);
    host->Realign();  // and stays there when nothing moves
    EXPECT_EQ(c.Edge(p2), c.Outer);
    EXPECT_EQ(host->Controls(0), p1) << "the child list is untouched";
  }
}

TEST_F(ControlsTest, ChildrenAlignedAtTheSamePlaceKeepTheirListOrder) {
  auto host = FlatHost(100, 80);
  auto* b1 = MakePanel(host.get(), "B1", alBottom, 10, 10);
  auto* b2 = MakePanel(host.get(), "B2", alBottom, 10, 5);
  auto* l1 = MakePanel(host.get(), "L1", alLeft, 7, 10);
  auto* l2 = MakePanel(host.get(), "L2", alLeft, 3, 10);
  EXPECT_EQ(b1->Top(), 70);
  EXPECT_EQ(b2->Top(), 65);
  EXPECT_EQ(l1->Left(), 0);
  EXPECT_EQ(l2->Left(), 7);
  EXPECT_EQ(l1->Height(), 65);  // the left ones fill what the bottom ones leave
  b1->BringToFront();
  EXPECT_EQ(b1->Top(), 70);
  EXPECT_EQ(b2->Top(), 65);
}

TEST_F(ControlsTest, AClientAreaTooSmallGivesEmptyNotNegativeSizes) {
  auto host = FlatHost(30, 20);
  auto* top = MakePanel(host.get(), "Top", alTop, 10, 15);
  auto* bottom = MakePanel(host.get(), "Bottom", alBottom, 10, 15);
  auto* client = MakePanel(host.get(), "Client", alClient, 10, 10);
  EXPECT_EQ(top->Height(), 15);
  EXPECT_EQ(bottom->Height(), 15);
  EXPECT_EQ(client->Width(), 30);
  EXPECT_EQ(client->Height(), 0);
}

// ---- child-list notifications ------------------------------------------------------------------

TEST_F(ControlsTest, ReparentingNotifiesTheOldParentOfRemovalAndTheNewOneOfInsertion) {
  TListWatcher first(nullptr), second(nullptr);
  auto* a = new TLabel(&first);
  a->SetName("A");
  a->SetParent(&first);
  a->SetParent(&second);
  EXPECT_EQ(first.Seen, (std::vector<std::string>{"+A count 1", "-A count 0"}));
  EXPECT_EQ(second.Seen, (std::vector<std::string>{"+A count 1"}));
}

TEST_F(ControlsTest, FreeingAChildNotifiesItsParentAfterItHasLeftTheList) {
  TListWatcher w(nullptr);
  auto* a = new TPanel(nullptr);
  a->SetName("A");
  a->SetParent(&w);
  auto* b = new TLabel(nullptr);
  b->SetName("B");
  b->SetParent(&w);
  delete a;
  delete b;
  EXPECT_EQ(w.Seen, (std::vector<std::string>{"+A count 1", "+B count 2", "-A count 1", "-B count 0"}));
}

// ---- handles -------------------------------------------------------------------------------------

TEST_F(ControlsTest, RecreateWndKeepsCaptionBoundsEnabledAndChildWindows) {
  TForm form(nullptr);
  auto* outer = MakePanel(&form, "Outer", alNone, 50, 40);
  outer->SetBounds(5, 6, 50, 40);
  auto* inner = MakePanel(outer, "Inner", alNone, 10, 10);
  form.Show();
  outer->SetCaption("Hello");
  outer->SetEnabled(false);
  THandle oldInner = inner->Handle();
  outer->RecreateWnd();
  const THeadlessWindow* w = WS().Window(outer->Handle());
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->Text, "Hello");
  EXPECT_FALSE(w->Enabled);
  EXPECT_EQ(w->Bounds, Rect(5, 6, 55, 46));
  EXPECT_TRUE(w->Visible);
  EXPECT_TRUE(inner->HandleAllocated());
  EXPECT_NE(inner->Handle(), oldInner);
  EXPECT_TRUE(WS().Window(inner->Handle())->Visible);
  EXPECT_EQ(outer->Caption(), "Hello");
  EXPECT_EQ(FindControl(outer->Handle()), outer);
}

TEST_F(ControlsTest, ChangesMadeWithoutAWindowReachTheNextWindow) {
  TForm form(nullptr);
  auto* p = MakePanel(&form, "P", alNone, 50, 40);
  form.Show();
  p->DestroyHandle();
  EXPECT_FALSE(p->HandleAllocated());
  p->SetCaption("Later");
  p->SetBounds(1, 2, 30, 20);
  p->SetEnabled(false);
  const THeadlessWindow* w = WS().Window(p->Handle());
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->Text, "Later");
  EXPECT_EQ(w->Bounds, Rect(1, 2, 31, 22));
  EXPECT_FALSE(w->Enabled);
}

TEST_F(ControlsTest, TakingAControlOffItsParentDestroysItsWindowAndANewParentMakesOne) {
  TForm a(nullptr), b(nullptr);
  auto* p = MakePanel(&a, "P", alNone, 20, 20);
  auto* inner = MakePanel(p, "Inner", alNone, 5, 5);
  a.Show();
  b.Show();
  THandle old = p->Handle();
  p->SetParent(&b);
  EXPECT_EQ(WS().Window(old), nullptr);
  EXPECT_TRUE(p->HandleAllocated());  // b is shown: p shows at once
  EXPECT_TRUE(inner->HandleAllocated());
  EXPECT_TRUE(WS().Window(p->Handle())->Visible);
  p->SetParent(nullptr);
  EXPECT_FALSE(p->HandleAllocated());
  EXPECT_FALSE(inner->HandleAllocated());
  delete p;
}

TEST_F(ControlsTest, AHiddenChildOfAShownFormGetsNoWindowUntilShownOrAskedFor) {
  TForm form(nullptr);
  auto* p = MakePanel(&form, "P", alNone, 20, 20);
  p->Hide();
  form.Show();
  EXPECT_FALSE(p->HandleAllocated());
  EXPECT_FALSE(p->Showing());
  p->Show();
  EXPECT_TRUE(p->Showing());
  form.Hide();
  EXPECT_FALSE(p->Showing());
  EXPECT_TRUE(p->HandleAllocated());  // hiding keeps the window
}

}  // namespace
}  // namespace fwtest
