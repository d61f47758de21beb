// Input services: mouse capture, enter and leave, and dragging controls within a form, on
// the headless widgetset with input delivered the way a widgetset delivers it.
#include "framework/controls/Input.h"

#include "TestSupport.h"
#include "framework/widgetset/headless/HeadlessInput.h"

using namespace framework;

namespace fwtest {
namespace {

class InputTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    Form = new TForm(nullptr);
    Form->SetBounds(100, 50, 400, 300);
    Panel = new TPanel(Form);
    Panel->SetName("Panel");
    Panel->SetBevelOuter(bvNone);
    Panel->SetParent(Form);
    Panel->SetBounds(10, 10, 200, 150);
    Other = new TPanel(Form);
    Other->SetName("Other");
    Other->SetBevelOuter(bvNone);
    Other->SetParent(Form);
    Other->SetBounds(220, 10, 150, 150);
    Button = new TSpeedButton(Form);
    Button->SetName("Button");
    Button->SetParent(Panel);
    Button->SetBounds(20, 20, 40, 30);
    Button->OnClick = TNotifyEvent([this](TObject*) { ++Clicks; });
    Form->Show();
  }
  void TearDown() override {
    delete Form;
    FrameworkTest::TearDown();
  }
  // The top-left pen of the button's last painted frame: shadow when drawn down.
  TColor FramePen() {
    WS().ClearPaintLog();
    Button->Invalidate();
    Application().ProcessMessages();
    for (const TPaintOp& op : WS().PaintOpsOf("Button"))
      if (op.Op == "Polyline") return op.Pen.Color;
    return clNone;
  }

  TForm* Form = nullptr;
  TPanel* Panel = nullptr;
  TPanel* Other = nullptr;
  TSpeedButton* Button = nullptr;
  int Clicks = 0;
};

// ---- capture
// -------------------------------------------------------------------------------------

TEST_F(InputTest, CaptureSendsMovesAndReleaseToThePressedControlWhereverThePointerIs) {
  std::vector<std::string> seen;
  Button->OnMouseMove = TMouseMoveEvent([&](TObject*, TShiftState, int x, int y) {
    seen.push_back("move " + std::to_string(x) + "," + std::to_string(y));
  });
  Button->OnMouseUp = TMouseEvent([&](TObject*, TMouseButton, TShiftState, int x, int y) {
    seen.push_back("up " + std::to_string(x) + "," + std::to_string(y));
  });
  int otherMoves = 0;
  Other->OnMouseMove = TMouseMoveEvent([&](TObject*, TShiftState, int, int) { ++otherMoves; });

  headless::MouseDown(*Panel, 25, 25);
  EXPECT_EQ(GetCaptureControl(), Button);
  headless::MouseMove(*Panel, 150, 100);  // off the button, same window
  headless::MouseMove(*Other, 5, 5);      // over another window
  headless::MouseUp(*Other, 6, 7);
  EXPECT_EQ(GetCaptureControl(), nullptr);
  // In the button's coordinates: the button is at (20,20) on the panel; Other at (220,10)
  // on the form, the panel at (10,10).
  EXPECT_EQ(seen, (std::vector<std::string>{"move 130,80", "move 195,-15", "up 196,-13"}));
  EXPECT_EQ(otherMoves, 0);
  headless::MouseMove(*Other, 5, 5);  // released: the pointer's window gets it again
  EXPECT_EQ(otherMoves, 1);
  EXPECT_EQ(Clicks, 0);
}

TEST_F(InputTest, ASpeedButtonReleasedOutsideIsDrawnUpAndDoesNotClick) {
  EXPECT_EQ(FramePen(), clBtnHighlight);
  headless::MouseDown(*Button, 5, 5);
  EXPECT_EQ(FramePen(), clBtnShadow);  // down
  headless::MouseMove(*Panel, 150, 120);
  EXPECT_EQ(FramePen(), clBtnHighlight);  // pointer off the button: drawn up
  headless::MouseMove(*Button, 6, 6);
  EXPECT_EQ(FramePen(), clBtnShadow);  // back over it: down again
  headless::MouseMove(*Other, 50, 50);
  headless::MouseUp(*Other, 50, 50);
  EXPECT_EQ(FramePen(), clBtnHighlight);
  EXPECT_EQ(Clicks, 0);
  headless::Click(*Button, 5, 5);  // and it still works afterwards
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(FramePen(), clBtnHighlight);
}

TEST_F(InputTest, OnlyTheLeftButtonOfAControlThatAsksForItCaptures) {
  headless::MouseDown(*Button, 5, 5, mbRight);
  EXPECT_EQ(GetCaptureControl(), nullptr);
  headless::MouseUp(*Button, 5, 5, mbRight);
  auto* label = new TLabel(Form);  // labels do not capture
  label->SetParent(Panel);
  label->SetBounds(100, 100, 40, 20);
  headless::MouseDown(*label, 2, 2);
  EXPECT_EQ(GetCaptureControl(), nullptr);
  headless::MouseUp(*label, 2, 2);
}

TEST_F(InputTest, ADestroyedCaptureHolderLosesTheCaptureAndInputFlowsOn) {
  headless::MouseDown(*Button, 5, 5);
  delete Button;
  Button = nullptr;
  EXPECT_EQ(GetCaptureControl(), nullptr);
  int panelUps = 0;
  Panel->OnMouseUp =
      TMouseEvent([&](TObject*, TMouseButton, TShiftState, int, int) { ++panelUps; });
  headless::MouseUp(*Panel, 25, 25);
  EXPECT_EQ(panelUps, 1);
}

TEST_F(InputTest, AWindowedControlHoldingTheCaptureKeepsMessagesFromItsGraphicChildren) {
  Panel->SetMouseCapture(true);
  int panelMoves = 0, buttonMoves = 0;
  Panel->OnMouseMove = TMouseMoveEvent([&](TObject*, TShiftState, int, int) { ++panelMoves; });
  Button->OnMouseMove = TMouseMoveEvent([&](TObject*, TShiftState, int, int) { ++buttonMoves; });
  headless::MouseMove(*Button, 5, 5);
  EXPECT_EQ(panelMoves, 1);
  EXPECT_EQ(buttonMoves, 0);
  Panel->SetMouseCapture(false);
  headless::MouseMove(*Button, 5, 5);
  EXPECT_EQ(buttonMoves, 1);
}

}  // namespace
}  // namespace fwtest

namespace fwtest {
namespace {

// ---- enter and leave
// -------------------------------------------------------------------------------

TEST_F(InputTest, EnterAndLeaveFollowThePointerAcrossControlsAndWindows) {
  std::vector<std::string> log;
  for (TControl* c : std::vector<TControl*>{Form, Panel, Other, Button}) {
    c->OnMouseEnter = TNotifyEvent([&log, c](TObject*) { log.push_back("enter " + c->Name()); });
    c->OnMouseLeave = TNotifyEvent([&log, c](TObject*) { log.push_back("leave " + c->Name()); });
  }
  Form->SetName("Form");
  headless::MouseMove(*Panel, 5, 5);
  headless::MouseMove(*Panel, 6, 6);  // no change: nothing sent
  headless::MouseMove(*Panel, 25, 25);
  headless::MouseMove(*Other, 5, 5);
  headless::MouseMove(*Form, 215, 100);  // the gap between the panels
  headless::MouseLeave(*Form);
  EXPECT_EQ(log,
            (std::vector<std::string>{"enter Panel", "leave Panel", "enter Button", "leave Button",
                                      "enter Other", "leave Other", "enter Form", "leave Form"}));
  EXPECT_EQ(GetMouseControl(), nullptr);
}

TEST_F(InputTest, AFlatSpeedButtonShowsItsFrameOnlyWhileThePointerIsOverIt) {
  Button->SetFlat(true);
  EXPECT_EQ(FramePen(), clNone);
  headless::MouseMove(*Button, 3, 3);
  EXPECT_TRUE(Button->MouseInControl());
  EXPECT_EQ(FramePen(), clBtnHighlight);
  int enters = 0;
  Button->OnMouseEnter = TNotifyEvent([&](TObject*) { ++enters; });
  headless::MouseLeave(*Panel);  // the panel's window is left: so is the button on it
  EXPECT_FALSE(Button->MouseInControl());
  EXPECT_EQ(FramePen(), clNone);
  headless::MouseMove(*Button, 3, 3);
  EXPECT_EQ(enters, 1);  // the event fires beside the button's own handling
}

TEST_F(InputTest, WhileCapturedThePointerStillEntersAndLeaves) {
  std::vector<std::string> log;
  Button->OnMouseLeave = TNotifyEvent([&](TObject*) { log.push_back("leave Button"); });
  Other->OnMouseEnter = TNotifyEvent([&](TObject*) { log.push_back("enter Other"); });
  headless::MouseDown(*Button, 5, 5);
  headless::MouseMove(*Other, 10, 10);  // delivered to the button, pointer over Other
  EXPECT_EQ(log, (std::vector<std::string>{"leave Button", "enter Other"}));
  headless::MouseUp(*Other, 10, 10);
}

TEST_F(InputTest, ALeaveHandlerThatFreesTheNextControlDoesNotCrash) {
  Panel->OnMouseLeave = TNotifyEvent([this](TObject*) {
    delete Other;
    Other = nullptr;
  });
  headless::MouseMove(*Panel, 5, 5);
  THandle h = Other->Handle();
  DeliverMouse(h, WM_MOUSEMOVE, {}, 5, 5);
  EXPECT_EQ(GetMouseControl(), nullptr);
}

}  // namespace
}  // namespace fwtest

namespace fwtest {
namespace {

// ---- dragging
// ---------------------------------------------------------------------------------------

class DragTest : public InputTest {
 protected:
  void SetUp() override {
    InputTest::SetUp();
    Panel->OnStartDrag = TStartDragEvent([this](TObject* s) { Log.push_back("start " + Name(s)); });
    Panel->OnEndDrag = TEndDragEvent([this](TObject* s, TObject* target, int x, int y) {
      Log.push_back("end " + Name(s) + " on " + Name(target) + " at " + std::to_string(x) + "," +
                    std::to_string(y));
    });
    Other->OnDragOver = TDragOverEvent(
        [this](TObject* s, TObject* source, int x, int y, TDragState state, bool& accept) {
          static const char* kStates[] = {"enter", "leave", "move"};
          Log.push_back(std::string("over ") + Name(s) + " " + kStates[state] + " " +
                        std::to_string(x) + "," + std::to_string(y) + " from " + Name(source));
          accept = AcceptDrop;
        });
    Other->OnDragDrop = TDragDropEvent([this](TObject* s, TObject* source, int x, int y) {
      Log.push_back("drop " + Name(source) + " on " + Name(s) + " at " + std::to_string(x) + "," +
                    std::to_string(y));
    });
  }
  static std::string Name(TObject* o) {
    auto* c = dynamic_cast<TComponent*>(o);
    return c ? c->Name() : "(none)";
  }
  std::vector<std::string> Log;
  bool AcceptDrop = true;
};

TEST_F(DragTest, APanelDraggedOntoAnAcceptingControlIsDropped) {
  Panel->OnMouseDown = TMouseEvent(
      [this](TObject*, TMouseButton, TShiftState, int, int) { Panel->BeginDrag(false); });
  headless::MouseDown(*Panel, 150, 100);
  EXPECT_TRUE(Panel->Dragging());
  headless::MouseMove(*Panel, 152, 101);  // under the threshold: nothing yet
  headless::MouseMove(*Other, 10, 20);
  headless::MouseMove(*Other, 11, 20);
  EXPECT_EQ(Screen().Cursor(), crDrag);
  headless::MouseUp(*Other, 12, 22);
  EXPECT_FALSE(Panel->Dragging());
  EXPECT_EQ(GetCaptureControl(), nullptr);
  EXPECT_EQ(Screen().Cursor(), crDefault);
  EXPECT_EQ(Log, (std::vector<std::string>{"start Panel", "over Other enter 10,20 from Panel",
                                           "over Other move 11,20 from Panel",
                                           "drop Panel on Other at 12,22",
                                           "end Panel on Other at 12,22"}));
}

TEST_F(DragTest, ARejectedOrCancelledDragDropsNothingAndEndsWithoutATarget) {
  AcceptDrop = false;
  Panel->BeginDrag(true);
  headless::MouseMove(*Other, 10, 20);
  EXPECT_EQ(Screen().Cursor(), crNoDrop);
  headless::MouseUp(*Other, 10, 20);
  EXPECT_EQ(Log, (std::vector<std::string>{"start Panel", "over Other enter 10,20 from Panel",
                                           "over Other leave 10,20 from Panel",
                                           "end Panel on (none) at 0,0"}));
  Log.clear();
  AcceptDrop = true;
  Panel->BeginDrag(true);
  headless::MouseMove(*Other, 10, 20);
  Form->Show();
  Form->SetFocus();
  EXPECT_TRUE(headless::PressKey(VK_ESCAPE));  // Escape cancels
  EXPECT_FALSE(Panel->Dragging());
  EXPECT_EQ(Log.back(), "end Panel on (none) at 0,0");
  EXPECT_EQ(std::count_if(Log.begin(), Log.end(),
                          [](const std::string& s) { return s.rfind("drop", 0) == 0; }),
            0);
}

TEST_F(DragTest, LeavingATargetTellsItAndControlsWithoutOnDragOverRefuse) {
  Panel->BeginDrag(true);
  headless::MouseMove(*Other, 10, 20);
  headless::MouseMove(*Panel, 150, 100);  // back over the source, which has no OnDragOver
  EXPECT_EQ(Screen().Cursor(), crNoDrop);
  headless::MouseUp(*Panel, 150, 100);
  EXPECT_EQ(Log, (std::vector<std::string>{"start Panel", "over Other enter 10,20 from Panel",
                                           "over Other leave -60,100 from Panel",
                                           "end Panel on (none) at 0,0"}));
}

TEST_F(DragTest, AutomaticDragModeStartsOnThePressInsteadOfClicking) {
  Button->SetDragMode(dmAutomatic);
  Button->OnStartDrag = TStartDragEvent([this](TObject*) { Log.push_back("start Button"); });
  headless::MouseDown(*Button, 5, 5);
  EXPECT_TRUE(Button->Dragging());
  headless::MouseMove(*Other, 10, 20);
  headless::MouseUp(*Other, 10, 20);
  EXPECT_EQ(Log, (std::vector<std::string>{"start Button", "over Other enter 10,20 from Button",
                                           "drop Button on Other at 10,20"}));
  EXPECT_EQ(Clicks, 0);
}

TEST_F(DragTest, FreeingTheSourceOrTargetMidDragEndsCleanly) {
  Panel->BeginDrag(true);
  headless::MouseMove(*Other, 10, 20);
  delete Other;
  Other = nullptr;
  headless::MouseMove(*Form, 300, 200);
  headless::MouseUp(*Form, 300, 200);
  EXPECT_FALSE(Panel->Dragging());
  Panel->BeginDrag(true);
  delete Panel;
  Panel = nullptr;
  EXPECT_EQ(GetCaptureControl(), nullptr);
  headless::MouseMove(*Form, 10, 10);  // no drag is left to follow
}

// ---- labels
// ---------------------------------------------------------------------------------------------

TEST_F(InputTest, ALabelClicksAndTakesItsNameAsCaptionWhenPlaced) {
  auto* label = new TLabel(Form);
  label->SetParent(Panel);
  label->SetName("Label1");  // as the designer names a label it has just placed
  EXPECT_EQ(label->Caption(), "Label1");
  label->SetName("lbTitle");
  EXPECT_EQ(label->Caption(), "lbTitle");
  label->SetCaption("Title");
  label->SetName("lbOther");  // a caption of its own stays
  EXPECT_EQ(label->Caption(), "Title");
  label->SetBounds(100, 100, 40, 20);
  int clicks = 0;
  label->OnClick = TNotifyEvent([&](TObject*) { ++clicks; });
  headless::Click(*label, 3, 3);
  EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace fwtest
