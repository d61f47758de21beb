// The multi-pane demo on the Qt widgetset under the offscreen platform: real clicks on the
// page buttons bring the pages to the front, and only the front and resident panes hold
// native widgets; the grab form shown at design time has grab borders that switch off.
// Screenshots go to <build>/screenshots (multipane-*.png, grab-*.png) for a person to see.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPushButton>
#include <QWidget>
#include <memory>

#include "examples/multipane/DemoForms.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/StdCtrls.h"
#include "framework/widgetset/qt/QtWidgetSet.h"
#include "tessapack/GrabHandler.h"
#include "tessapack/TriPane.h"
#include "tests/framework/qt/QtSuite.h"

namespace tessapack::test {
namespace {

using namespace framework;

const std::string kShots = std::string(CW_BINARY_DIR) + "/screenshots";

class MultiPaneQtTest : public framework::test::TQtSuite {
 protected:
  void SetUp() override { Application().Reset(); }
  void TearDown() override {
    Demo.reset();
    Grab.reset();
    Settle();
    Application().Reset();
  }

  TQtWidgetSet& Ws() { return static_cast<TQtWidgetSet&>(Widgetset()); }
  QWidget* Native(TWinControl* c) {
    return c->HandleAllocated() ? Ws().Widget(c->Handle()) : nullptr;
  }
  // Lets the framework and Qt handle what is pending, widgets deleted later included.
  static void Settle() {
    Application().ProcessMessages();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Application().ProcessMessages();
  }
  static void Click(QWidget* w) {
    QPoint p(w->width() / 2, w->height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, p, w->mapToGlobal(p), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, p, w->mapToGlobal(p), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
    Settle();
  }
  // The native widgets lying directly in the multi-pane's widget.
  int PaneWidgets(TMultiPane* mp) {
    return static_cast<int>(Native(mp)->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size());
  }

  std::unique_ptr<multipane_demo::TMultiPaneDemoForm> Demo;
  std::unique_ptr<multipane_demo::TGrabForm> Grab;
};

TEST_F(MultiPaneQtTest, ClickedButtonsBringThePagesToTheFront) {
  Demo = std::make_unique<multipane_demo::TMultiPaneDemoForm>();
  Demo->Show();
  Settle();
  TMultiPane* mp = Demo->MultiPane();
  ASSERT_EQ(mp->GetCount(), 3);
  EXPECT_EQ(mp->GetTop(), 0);
  EXPECT_EQ(PaneWidgets(mp), 1) << "pane 0 is in front and resident";
  ASSERT_TRUE(Ws().SaveScreenshot(Demo->Handle(), kShots + "/multipane-welcome.png"));

  struct Page {
    const char* button;
    int index;
    const char* shot;
  };
  const Page pages[] = {
      {"btnAbout", 2, "about"}, {"btnSettings", 1, "settings"}, {"btnWelcome", 0, "welcome-again"}};
  for (const Page& page : pages) {
    SCOPED_TRACE(page.button);
    auto* button = dynamic_cast<TWinControl*>(Demo->FindComponent(page.button));
    ASSERT_NE(button, nullptr);
    auto* native = qobject_cast<QPushButton*>(Native(button));
    ASSERT_NE(native, nullptr);
    Click(native);
    EXPECT_EQ(mp->GetTop(), page.index);
    EXPECT_EQ(dynamic_cast<TLabel*>(Demo->FindComponent("lbPage"))->Caption(),
              "Page " + std::to_string(page.index));
    QWidget* front = Native(mp->GetPane(page.index));
    ASSERT_NE(front, nullptr);
    EXPECT_TRUE(front->isVisible());
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(mp->GetPane(i)->HandleAllocated(), i == page.index || i == 0) << "pane " << i;
    EXPECT_EQ(PaneWidgets(mp), page.index == 0 ? 1 : 2) << "front and resident only";
    ASSERT_TRUE(Ws().SaveScreenshot(Demo->Handle(), kShots + "/multipane-" + page.shot + ".png"));
  }
  QImage welcome(QString::fromStdString(kShots + "/multipane-welcome.png"));
  QImage about(QString::fromStdString(kShots + "/multipane-about.png"));
  QImage again(QString::fromStdString(kShots + "/multipane-welcome-again.png"));
  ASSERT_FALSE(welcome.isNull());
  EXPECT_NE(welcome, about);
  EXPECT_EQ(welcome, again);

  // Hidden and shown again: the same page, with the same widgets.
  mp->Hide();
  Settle();
  EXPECT_EQ(PaneWidgets(mp), 1) << "hidden: the resident pane only";
  mp->Show();
  Settle();
  EXPECT_EQ(mp->GetTop(), 0);
  EXPECT_EQ(PaneWidgets(mp), 1);
}

TEST_F(MultiPaneQtTest, GrabBordersShowAtDesignTimeAndGoWhenSwitchedOff) {
  Grab = multipane_demo::OpenGrabForm();
  TForm* form = Grab->Form.get();
  form->Show();
  Settle();
  auto* tri = dynamic_cast<TTriPane*>(form->FindComponent("TriPane1"));
  auto* mp = dynamic_cast<TMultiPane*>(form->FindComponent("MultiPane1"));
  auto* panel = dynamic_cast<TPanel*>(form->FindComponent("Panel1"));
  auto* handler = dynamic_cast<TGrabHandler*>(form->FindComponent("GrabHandler1"));
  ASSERT_TRUE(tri && mp && panel && handler);
  EXPECT_EQ(tri->BorderWidth(), 2);
  EXPECT_EQ(mp->BorderWidth(), 2);
  EXPECT_EQ(panel->BorderWidth(), 4);
  ASSERT_TRUE(Ws().SaveScreenshot(form->Handle(), kShots + "/grab-on.png"));
  // The border is the container's own colour around its children.
  auto pixel = [&](TWinControl* c, int x, int y) {
    return Native(c)->grab().toImage().pixelColor(x, y);
  };
  EXPECT_EQ(pixel(tri, 1, 100), QColor(Qt::red));
  EXPECT_EQ(pixel(mp, 1, 100), QColor(Qt::blue));
  EXPECT_EQ(pixel(mp, 100, 100), QColor(Qt::yellow));
  EXPECT_EQ(pixel(panel, 2, 30), QColor(0, 128, 0));

  // Double-clicked in the designer, the handler switches the borders off.
  GetComponentEditor(handler, &Grab->Designer)->Edit();
  Settle();
  EXPECT_EQ(tri->BorderWidth(), 0);
  EXPECT_EQ(mp->BorderWidth(), 0);
  EXPECT_EQ(panel->BorderWidth(), 0);
  EXPECT_NE(pixel(tri, 1, 100), QColor(Qt::red));
  EXPECT_EQ(pixel(mp, 1, 100), QColor(Qt::yellow));
  ASSERT_TRUE(Ws().SaveScreenshot(form->Handle(), kShots + "/grab-off.png"));
}

}  // namespace
}  // namespace tessapack::test
