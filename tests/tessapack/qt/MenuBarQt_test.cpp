// The menu bar demo on the Qt widgetset under the offscreen platform: real clicks on the
// buttons slide the stacks, paced on screen, and the events fire after the motion; the
// window made short turns the bar compact and its arrows scroll it. Screenshots go to
// <build>/screenshots (menubar-*.png): before, during and after a motion, and compact.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <chrono>
#include <functional>
#include <memory>

#include "examples/menubar/DemoForm.h"
#include "framework/widgetset/qt/QtWidgetSet.h"
#include "tests/framework/qt/QtSuite.h"

namespace tessapack::test {
namespace {

using namespace framework;

const std::string kShots = std::string(CW_BINARY_DIR) + "/screenshots";

// A bar that saves one screenshot of its window halfway through a motion.
class TFilmedBar : public TMenuBar {
 public:
  using TMenuBar::TMenuBar;
  std::function<void()> Halfway;
  int Frames = 0;

 protected:
  void MotionFrame(int pass, int passes) override {
    ++Frames;
    if (Halfway && pass >= passes / 2) {
      Halfway();
      Halfway = nullptr;
    }
  }
};

class MenuBarQtTest : public framework::test::TQtSuite {
 protected:
  void SetUp() override { Application().Reset(); }
  void TearDown() override {
    Demo.reset();
    Settle();
    Application().Reset();
  }

  TQtWidgetSet& Ws() { return static_cast<TQtWidgetSet&>(Widgetset()); }
  QWidget* Native(TWinControl* c) { return Ws().Widget(c->Handle()); }
  static void Settle() {
    Application().ProcessMessages();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Application().ProcessMessages();
  }
  static void ClickAt(QWidget* w, QPoint p) {
    QMouseEvent press(QEvent::MouseButtonPress, p, w->mapToGlobal(p), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, p, w->mapToGlobal(p), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
    Settle();
  }
  // A graphic control is clicked through its parent's window, at its centre.
  void ClickControl(TControl* c) {
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
      QWidget* native = Native(w);
      ClickAt(native, QPoint(native->width() / 2, native->height() / 2));
    } else {
      ClickAt(Native(c->Parent()), QPoint(c->Left() + c->Width() / 2, c->Top() + c->Height() / 2));
    }
  }
  void Make() {
    Bar = new TFilmedBar(nullptr);
    Demo = std::make_unique<menubar_demo::TDemoForm>(Bar);
    Demo->Show();
    Settle();
  }
  std::vector<int> ShownPanels() const {
    std::vector<int> shown;
    for (int i = 0; i < Bar->GetCount(); ++i)
      if (Bar->GetPanel(i)->Width() > 0) shown.push_back(i);
    return shown;
  }

  std::unique_ptr<menubar_demo::TDemoForm> Demo;
  TFilmedBar* Bar = nullptr;
};

TEST_F(MenuBarQtTest, RealClicksSlideTheStacksOnScreenAndFireTheEventsAfter) {
  Make();
  ASSERT_EQ(Bar->GetCount(), 4);
  EXPECT_EQ(ShownPanels(), std::vector<int>{0});
  ASSERT_TRUE(Ws().SaveScreenshot(Demo->Handle(), kShots + "/menubar-before.png"));

  Bar->Halfway = [&] {
    ASSERT_TRUE(Ws().SaveScreenshot(Demo->Handle(), kShots + "/menubar-during.png"));
  };
  const auto start = std::chrono::steady_clock::now();
  ClickControl(Bar->GetButton(2));  // in the lower stack: it rises
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - start)
                      .count();
  EXPECT_GE(ms, TMenuBar::kMotionMs - 30) << "paced so that it is seen";
  EXPECT_LE(ms, TMenuBar::kMaxMotionMs + 150);
  EXPECT_GE(Bar->Frames, 3);
  EXPECT_EQ(ShownPanels(), std::vector<int>{2});
  EXPECT_TRUE(Bar->GetPanel(2)->HandleAllocated());
  EXPECT_TRUE(Native(Bar->GetPanel(2))->isVisible());
  EXPECT_EQ(Demo->Clicks(), std::vector<std::string>{"2:C&ontacts"});
  EXPECT_EQ(Demo->Status()->Caption(), "Shown: Contacts");
  ASSERT_TRUE(Ws().SaveScreenshot(Demo->Handle(), kShots + "/menubar-after.png"));
  QImage before(QString::fromStdString(kShots + "/menubar-before.png"));
  QImage during(QString::fromStdString(kShots + "/menubar-during.png"));
  QImage after(QString::fromStdString(kShots + "/menubar-after.png"));
  EXPECT_NE(before, during);
  EXPECT_NE(during, after);

  Application().SetAnimate(false);
  const auto instant = std::chrono::steady_clock::now();
  ClickControl(Bar->GetButton(0));
  EXPECT_LT(std::chrono::steady_clock::now() - instant, std::chrono::milliseconds(100));
  EXPECT_EQ(ShownPanels(), std::vector<int>{0});
  EXPECT_EQ(Demo->Clicks().back(), "0:&Mail");
}

TEST_F(MenuBarQtTest, AShortWindowMakesTheBarCompactAndItsArrowsScrollIt) {
  Make();
  ClickControl(Demo->CompactButton());
  ASSERT_TRUE(Bar->Compact());
  EXPECT_EQ(Bar->ShownRows(), (Bar->Height() - 4 - 14) / 24);
  EXPECT_TRUE(Bar->DownArrow()->Visible());
  TMenuButton* first = Bar->RingFirst()->Button;
  EXPECT_EQ(first->Top(), 9);
  ASSERT_TRUE(Ws().SaveScreenshot(Demo->Handle(), kShots + "/menubar-compact.png"));
  ClickControl(Bar->DownArrow());
  EXPECT_EQ(Bar->RingFirst()->Button, Bar->GetButton(1));
  EXPECT_FALSE(first->Visible());
  ClickControl(Bar->GetButton(2));  // a click in compact mode only reports
  EXPECT_EQ(Demo->Clicks().back(), "2:C&ontacts");
  ASSERT_TRUE(Ws().SaveScreenshot(Demo->Handle(), kShots + "/menubar-compact-scrolled.png"));
  ClickControl(Demo->CompactButton());
  EXPECT_FALSE(Bar->Compact());
  EXPECT_EQ(ShownPanels(), std::vector<int>{0});
}

// A real click on a button whose OnClick frees the whole bar: the click ends with the
// handler (no OnMouseUp, no bar event), and Qt deletes the bar's widget afterwards.
TEST_F(MenuBarQtTest, AButtonWhoseClickFreesTheBarEndsTheClickThere) {
  auto form = std::make_unique<TForm>(nullptr);
  form->SetBounds(0, 0, 200, 300);
  auto* bar = new TMenuBar(form.get());
  bar->SetParent(form.get());
  bar->SetBounds(0, 0, 120, 250);
  for (int i = 0; i < 3; ++i) bar->CreateButton();
  std::vector<std::string> seen;
  bar->OnClick = TMenuBarClickEvent([&](TObject*, int) { seen.push_back("bar"); });
  TMenuButton* button = bar->GetButton(1);
  button->OnMouseUp =
      TMouseEvent([&](TObject*, TMouseButton, TShiftState, int, int) { seen.push_back("up"); });
  button->OnClick = TNotifyEvent([&](TObject*) {
    seen.push_back("click");
    delete bar;
  });
  form->Show();
  Settle();
  QPointer<QWidget> barWidget = Native(bar);
  ClickControl(button);
  EXPECT_EQ(seen, std::vector<std::string>{"click"});
  EXPECT_EQ(form->ControlCount(), 0);
  EXPECT_TRUE(barWidget.isNull());
}

}  // namespace
}  // namespace tessapack::test
