// Messages: sent versus posted, peeking, destroyed targets, redraw suspension, timers.
#include "TestSupport.h"
#include "framework/messages/Timer.h"

using namespace framework;

namespace fwtest {
namespace {

std::vector<std::string>* GTrace = nullptr;

class TRecorder : public TCustomPanel {
 public:
  using TCustomPanel::TCustomPanel;
  void Dispatch(TMessage& m) override {
    if (m.Msg >= WM_USER && m.Msg < WM_USER + 100) {
      if (GTrace) GTrace->push_back(Name() + ":" + std::to_string(m.Msg - WM_USER) +
                                    (m.Obj ? "(" + m.Obj->Name() + ")" : ""));
      if (OnUser) OnUser(m);
      m.Result = 42;
      return;
    }
    TCustomPanel::Dispatch(m);
  }
  std::function<void(TMessage&)> OnUser;
};

using MessagesTest = FrameworkTest;

TEST_F(MessagesTest, SentIsHandledBeforeReturnPostedAfterTheHandlerReturns) {
  std::vector<std::string> trace;
  GTrace = &trace;
  TRecorder a(nullptr);
  a.SetName("A");
  a.OnUser = [&](TMessage& m) {
    if (m.Msg == WM_USER + 1) {
      PostMessage(&a, WM_USER + 2);
      EXPECT_EQ(SendMessage(&a, WM_USER + 3), 42);
      trace.push_back("end of handler 1");
    }
  };
  PostMessage(&a, WM_USER + 1);
  EXPECT_TRUE(trace.empty());  // nothing handled at post time
  Application().ProcessMessages();
  GTrace = nullptr;
  EXPECT_EQ(trace, (std::vector<std::string>{"A:1", "A:3", "end of handler 1", "A:2"}));
  EXPECT_TRUE(Application().Queue().Empty());
}

TEST_F(MessagesTest, PeekLooksWithoutRemovingAndFiltersByTargetAndNumber) {
  TRecorder a(nullptr), b(nullptr);
  PostMessage(&a, WM_USER + 5);
  PostMessage(&b, WM_USER);
  auto m = PeekMessage(&b, WM_USER, WM_USER, PM_NOREMOVE);
  ASSERT_TRUE(m.has_value());
  EXPECT_EQ(m->Msg, WM_USER);
  EXPECT_FALSE(PeekMessage(&a, WM_USER, WM_USER, PM_NOREMOVE).has_value());
  EXPECT_EQ(Application().Queue().Count(), 2u);
  EXPECT_TRUE(PeekMessage(&b, 0, 0, PM_REMOVE).has_value());
  EXPECT_EQ(Application().Queue().Count(), 1u);
}

TEST_F(MessagesTest, AMessageForOrCarryingADestroyedControlIsNeverDelivered) {
  std::vector<std::string> trace;
  GTrace = &trace;
  auto* target = new TRecorder(nullptr);
  target->SetName("T");
  TRecorder keeper(nullptr);
  keeper.SetName("K");
  auto* carried = new TPanel(nullptr);
  carried->SetName("C");
  PostMessage(target, WM_USER + 1);
  PostMessage(&keeper, WM_USER + 2, 0, 0, carried);
  PostMessage(&keeper, WM_USER + 3);
  delete target;
  delete carried;
  Application().ProcessMessages();
  GTrace = nullptr;
  EXPECT_EQ(trace, (std::vector<std::string>{"K:3"}));
  EXPECT_FALSE(PostMessage(THandle(999999), WM_USER));  // no such window
}

TEST_F(MessagesTest, PostingByHandleCreatesNothingAndReachesTheControl) {
  std::vector<std::string> trace;
  GTrace = &trace;
  TForm form(nullptr);
  auto* r = new TRecorder(&form);
  r->SetName("R");
  r->SetParent(&form);
  THandle h = r->Handle();  // asking creates it (and the form's)
  EXPECT_TRUE(form.HandleAllocated());
  EXPECT_TRUE(PostMessage(h, WM_USER + 7));
  Application().ProcessMessages();
  GTrace = nullptr;
  EXPECT_EQ(trace, (std::vector<std::string>{"R:7"}));
}

TEST_F(MessagesTest, SetRedrawSuspendsAndResumesPainting) {
  TForm form(nullptr);
  auto* p = new TPanel(&form);
  p->SetName("P");
  p->SetParent(&form);
  form.Show();
  Application().ProcessMessages();
  WS().ClearPaintLog();
  p->Perform(WM_SETREDRAW, 0);
  p->Repaint();
  Application().ProcessMessages();
  EXPECT_TRUE(WS().PaintOpsOf("P").empty());
  EXPECT_TRUE(WS().IsInvalid(p->Handle()));  // still owed a paint
  p->Perform(WM_SETREDRAW, 1);
  p->Update();
  EXPECT_FALSE(WS().PaintOpsOf("P").empty());
}

TEST_F(MessagesTest, TimerFiresOnTheTestClockUntilDisabled) {
  TComponent owner(nullptr);
  auto* t = new TTimer(&owner);
  int ticks = 0;
  t->SetInterval(50);
  t->SetOnTimer(TNotifyEvent([&](TObject* s) {
    EXPECT_EQ(s, t);
    if (++ticks == 3) t->SetEnabled(false);
  }));
  Application().ProcessMessages();
  EXPECT_EQ(ticks, 0);
  TestClock.Advance(49);
  Application().ProcessMessages();
  EXPECT_EQ(ticks, 0);
  TestClock.Advance(1);
  Application().ProcessMessages();
  EXPECT_EQ(ticks, 1);
  TestClock.Advance(500);  // fell behind: fires once, not ten times
  Application().ProcessMessages();
  EXPECT_EQ(ticks, 2);
  TestClock.Advance(50);
  Application().ProcessMessages();
  TestClock.Advance(50);
  Application().ProcessMessages();
  EXPECT_EQ(ticks, 3);
  delete t;  // a freed timer is forgotten
  TestClock.Advance(100);
  Application().ProcessMessages();
}

TEST_F(MessagesTest, AnExceptionInAPostedHandlerIsReportedAndTheLoopGoesOn) {
  TRecorder a(nullptr);
  a.OnUser = [](TMessage& m) {
    if (m.Msg == WM_USER) throw EInvalidOperation("boom");
  };
  PostMessage(&a, WM_USER);
  PostMessage(&a, WM_USER + 1);
  std::vector<std::string> trace;
  GTrace = &trace;
  Application().ProcessMessages();
  GTrace = nullptr;
  EXPECT_EQ(trace.size(), 2u);
  ASSERT_EQ(WS().DialogLog().size(), 1u);
  EXPECT_EQ(WS().DialogLog()[0], "MessageDlg: boom");
}

}  // namespace
}  // namespace fwtest
