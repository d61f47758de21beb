// Messages: sent versus posted, peeking, destroyed targets, redraw suspension, timers.
#include "TestSupport.h"
#include "framework/messages/Timer.h"

using namespace framework;

namespace fwtest {
namespace {

std::vector<std::string>* GTrace = nullptr;

// A carried component that was freed is only an identity: never read its name.
std::string ObjText(const TMessage& m) {
  if (!m.Obj) return "";
  return m.ObjFreed ? "(freed)" : "(" + m.Obj->Name() + ")";
}

class TRecorder : public TCustomPanel {
 public:
  using TCustomPanel::TCustomPanel;
  void Dispatch(TMessage& m) override {
    if (m.Msg >= WM_USER && m.Msg < WM_USER + 100) {
      if (GTrace) GTrace->push_back(Name() + ":" + std::to_string(m.Msg - WM_USER) +
                                    ObjText(m));
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

TEST_F(MessagesTest, AMessageForAFreedTargetIsDroppedOneCarryingAFreedComponentIsMarked) {
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
  const TComponent* carriedId = carried;
  keeper.OnUser = [&](TMessage& m) {
    if (m.Msg == WM_USER + 2) EXPECT_EQ(m.Obj, carriedId);  // still compares equal
  };
  delete target;
  delete carried;
  Application().ProcessMessages();
  GTrace = nullptr;
  EXPECT_EQ(trace, (std::vector<std::string>{"K:2(freed)", "K:3"}));
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

namespace fwtest {
namespace {

// ---- posted messages and destroyed components ----------------------------------------------

// A container that defers work on a removed component by posting it to itself, as the
// pane containers do with controls inserted into them.
class TDeferringOwner : public TRecorder {
 public:
  using TRecorder::TRecorder;
  void Notification(TComponent* c, TOperation op) override {
    TRecorder::Notification(c, op);
    if (op == opRemove && !IsDestroying()) PostMessage(this, WM_USER + 9, 0, 0, c);
  }
};

TEST_F(MessagesTest, AMessagePostedAboutAComponentBeingFreedReachesTheLiveOwnerMarked) {
  std::vector<std::string> trace;
  TDeferringOwner owner(nullptr);
  owner.SetName("O");
  auto* doomed = new TComponent(&owner);
  doomed->SetName("D");
  auto* kept = new TComponent(&owner);
  kept->SetName("K");
  owner.RemoveComponent(kept);  // removed but alive: its message carries it as it is
  delete doomed;                // the owner posts while the component is on its way out
  GTrace = &trace;
  Application().ProcessMessages();
  GTrace = nullptr;
  EXPECT_EQ(trace, (std::vector<std::string>{"O:9(K)", "O:9(freed)"}));
  delete kept;
}

// The deferred removal a container makes: it keeps its children in a list of its own and,
// when told one is removed, forgets it later by comparing pointers only. Run under the
// address sanitizer, any use of the freed child would be reported.
TEST_F(MessagesTest, ADeferredRemovalForgetsAFreedChildByIdentity) {
  std::vector<TComponent*> kept;
  TDeferringOwner owner(nullptr);
  owner.OnUser = [&](TMessage& m) {
    if (m.Msg != WM_USER + 9) return;
    EXPECT_TRUE(m.ObjFreed);
    std::erase(kept, m.Obj);
  };
  for (int i = 0; i < 3; ++i) kept.push_back(new TComponent(&owner));
  TComponent* middle = kept[1];
  delete middle;
  EXPECT_EQ(kept.size(), 3u);  // nothing happens before the handler has returned
  Application().ProcessMessages();
  EXPECT_EQ(kept.size(), 2u);
  EXPECT_TRUE(std::find(kept.begin(), kept.end(), middle) == kept.end());
}

TEST_F(MessagesTest, MessagesForAControlFreedWithItsOwnerAreDroppedThoseCarryingItMarked) {
  std::vector<std::string> trace;
  TRecorder keeper(nullptr);
  keeper.SetName("K");
  auto* form = new TForm(nullptr);
  auto* inner = new TRecorder(form);
  inner->SetName("Inner");
  inner->SetParent(form);
  PostMessage(inner, WM_USER + 1);
  PostMessage(&keeper, WM_USER + 2, 0, 0, inner);
  PostMessage(&keeper, WM_USER + 3, 0, 0, form);
  delete form;
  EXPECT_EQ(Application().Queue().Count(), 2u);
  GTrace = &trace;
  Application().ProcessMessages();
  GTrace = nullptr;
  EXPECT_EQ(trace, (std::vector<std::string>{"K:2(freed)", "K:3(freed)"}));
}

TEST_F(MessagesTest, AHandlerThatFreesAnotherTargetDropsItsQueuedMessages) {
  std::vector<std::string> trace;
  TRecorder a(nullptr);
  a.SetName("A");
  auto* b = new TRecorder(nullptr);
  b->SetName("B");
  PostMessage(&a, WM_USER + 1);
  PostMessage(b, WM_USER + 2);
  PostMessage(&a, WM_USER + 3, 0, 0, b);
  a.OnUser = [&](TMessage& m) {
    if (m.Msg == WM_USER + 1) delete b;
  };
  GTrace = &trace;
  Application().ProcessMessages();
  GTrace = nullptr;
  EXPECT_EQ(trace, (std::vector<std::string>{"A:1", "A:3(freed)"}));
}

TEST_F(MessagesTest, PostedMessagesAreHandledInPostingOrderAcrossTargets) {
  std::vector<std::string> trace;
  GTrace = &trace;
  TRecorder a(nullptr), b(nullptr);
  a.SetName("A");
  b.SetName("B");
  PostMessage(&a, WM_USER + 1);
  PostMessage(&b, WM_USER + 2);
  PostMessage(&a, WM_USER + 3);
  Application().ProcessMessages();
  GTrace = nullptr;
  EXPECT_EQ(trace, (std::vector<std::string>{"A:1", "B:2", "A:3"}));
}

TEST_F(MessagesTest, PeekWithRemoveTakesOnlyTheFirstMatchAndKeepsTheRestInOrder) {
  std::vector<std::string> trace;
  TRecorder a(nullptr);
  a.SetName("A");
  PostMessage(&a, WM_USER + 1);
  PostMessage(&a, WM_USER + 5);
  PostMessage(&a, WM_USER + 6);
  PostMessage(&a, WM_USER + 2);
  auto m = PeekMessage(&a, WM_USER + 5, WM_USER + 6, PM_REMOVE);
  ASSERT_TRUE(m.has_value());
  EXPECT_EQ(m->Msg, WM_USER + 5);
  // Peeking does not deliver the message.
  GTrace = &trace;
  Application().ProcessMessages();
  GTrace = nullptr;
  EXPECT_EQ(trace, (std::vector<std::string>{"A:1", "A:6", "A:2"}));
}

TEST_F(MessagesTest, PerformAndSendReturnTheHandlersResultBeforeAnyPostedMessage) {
  std::vector<std::string> trace;
  GTrace = &trace;
  TRecorder a(nullptr);
  a.SetName("A");
  PostMessage(&a, WM_USER + 1);
  EXPECT_EQ(a.Perform(WM_USER + 2), 42);
  EXPECT_EQ(SendMessage(&a, WM_USER + 3), 42);
  EXPECT_EQ(SendMessage(static_cast<TWinControl*>(nullptr), WM_USER), 0);
  EXPECT_EQ(trace, (std::vector<std::string>{"A:2", "A:3"}));
  Application().ProcessMessages();
  GTrace = nullptr;
  EXPECT_EQ(trace.back(), "A:1");
}

TEST_F(MessagesTest, AnOldHandleNoLongerReachesARecreatedControl) {
  TForm form(nullptr);
  auto* r = new TRecorder(&form);
  r->SetParent(&form);
  form.Show();
  THandle old = r->Handle();
  r->RecreateWnd();
  EXPECT_FALSE(PostMessage(old, WM_USER));
  EXPECT_EQ(SendMessage(old, WM_USER), 0);
  EXPECT_EQ(SendMessage(r->Handle(), WM_USER), 42);
}

// ---- redraw ------------------------------------------------------------------------------------

TEST_F(MessagesTest, SetRedrawOffKeepsGraphicChildrenFromPaintingToo) {
  TForm form(nullptr);
  auto* p = new TPanel(&form);
  p->SetName("P");
  p->SetParent(&form);
  auto* l = new TLabel(&form);
  l->SetName("L");
  l->SetCaption("text");
  l->SetParent(p);
  form.Show();
  Application().ProcessMessages();
  WS().ClearPaintLog();
  SendMessage(p, WM_SETREDRAW, 0);
  EXPECT_TRUE(p->RedrawSuspended());
  l->SetCaption("changed");
  Application().ProcessMessages();
  EXPECT_TRUE(WS().PaintOpsOf("L").empty());
  SendMessage(p, WM_SETREDRAW, 1);
  Application().ProcessMessages();
  auto ops = WS().PaintOpsOf("L");
  ASSERT_FALSE(ops.empty());
  EXPECT_EQ(ops.back().Text, "changed");
}

TEST_F(MessagesTest, SetRedrawOffOnAContainerKeepsItsChildWindowsFromPainting) {
  // Suspending a container's painting while its children are moved must hold back the
  // children's windows as well, or they flicker through.
  TForm form(nullptr);
  auto* outer = new TPanel(&form);
  outer->SetName("Outer");
  outer->SetParent(&form);
  auto* inner = new TPanel(&form);
  inner->SetName("Inner");
  inner->SetParent(outer);
  form.Show();
  Application().ProcessMessages();
  WS().ClearPaintLog();
  SendMessage(outer, WM_SETREDRAW, 0);
  inner->SetCaption("moved");
  inner->Invalidate();
  Application().ProcessMessages();
  inner->Update();
  EXPECT_TRUE(WS().PaintOpsOf("Inner").empty());
  SendMessage(outer, WM_SETREDRAW, 1);
  Application().ProcessMessages();
  EXPECT_FALSE(WS().PaintOpsOf("Inner").empty());
}

// ---- timers ------------------------------------------------------------------------------------

TEST_F(MessagesTest, ChangingTheIntervalRestartsTheCount) {
  TComponent owner(nullptr);
  auto* t = new TTimer(&owner);
  int ticks = 0;
  t->SetInterval(100);
  t->SetOnTimer(TNotifyEvent([&](TObject*) { ++ticks; }));
  TestClock.Advance(90);
  t->SetInterval(50);  // due 50 ms from now, not 10
  TestClock.Advance(40);
  Application().ProcessMessages();
  EXPECT_EQ(ticks, 0);
  TestClock.Advance(10);
  Application().ProcessMessages();
  EXPECT_EQ(ticks, 1);
}

TEST_F(MessagesTest, TimersFireOnlyWhenEnabledWithAnIntervalAndAHandler) {
  TComponent owner(nullptr);
  int ticks = 0;
  auto* noHandler = new TTimer(&owner);
  noHandler->SetInterval(10);
  auto* zero = new TTimer(&owner);
  zero->SetInterval(0);
  zero->SetOnTimer(TNotifyEvent([&](TObject*) { ++ticks; }));
  auto* off = new TTimer(&owner);
  off->SetInterval(10);
  off->SetEnabled(false);
  off->SetOnTimer(TNotifyEvent([&](TObject*) { ++ticks; }));
  auto* designed = new TTimer(&owner);
  designed->SetInterval(10);
  designed->SetOnTimer(TNotifyEvent([&](TObject*) { ++ticks; }));
  designed->SetDesigning(true);
  TestClock.Advance(1000);
  Application().ProcessMessages();
  EXPECT_EQ(ticks, 0);
  EXPECT_EQ(TTimer::NextDueIn(), -1);
  off->SetEnabled(true);  // enabling starts a full interval
  EXPECT_EQ(TTimer::NextDueIn(), 10);
  TestClock.Advance(10);
  Application().ProcessMessages();
  EXPECT_EQ(ticks, 1);
}

TEST_F(MessagesTest, AHandlerThatFreesAnotherDueTimerStopsItFiring) {
  TComponent owner(nullptr);
  std::vector<std::string> fired;
  auto* first = new TTimer(&owner);
  auto* second = new TTimer(&owner);
  first->SetInterval(10);
  second->SetInterval(10);
  first->SetOnTimer(TNotifyEvent([&](TObject*) {
    fired.push_back("first");
    delete second;
    delete first;  // and itself
  }));
  second->SetOnTimer(TNotifyEvent([&](TObject*) { fired.push_back("second"); }));
  TestClock.Advance(10);
  Application().ProcessMessages();
  EXPECT_EQ(fired, (std::vector<std::string>{"first"}));
  EXPECT_EQ(owner.ComponentCount(), 0);
}

TEST_F(MessagesTest, ATimerReadFromAFormRunsWithItsStoredInterval) {
  std::unique_ptr<TComponent> f(ReadComponentFromText(
      "object Form1: TTestForm\n"
      "  object Timer1: TTimer\n"
      "    Interval = 50\n"
      "    OnTimer = WidgetPing\n"
      "  end\n"
      "end\n"));
  auto* form = dynamic_cast<TTestForm*>(f.get());
  ASSERT_NE(form, nullptr);
  TestClock.Advance(49);
  Application().ProcessMessages();
  EXPECT_EQ(form->Pings, 0);
  TestClock.Advance(1);
  Application().ProcessMessages();
  EXPECT_EQ(form->Pings, 1);
  // Written back: the interval and the handler's name, not the default Enabled.
  std::string text = WriteComponentToText(*form);
  EXPECT_NE(text.find("  object Timer1: TTimer\n    Interval = 50\n    OnTimer = WidgetPing\n  end\n"),
            std::string::npos)
      << text;
}

}  // namespace
}  // namespace fwtest
