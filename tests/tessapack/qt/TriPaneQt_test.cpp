// The tri-pane demo window on the Qt widgetset under the offscreen platform. The real
// pointer moves slowly to the menu edge: the menu pane opens and OnPopped fires; it moves
// back: the menu closes. The window is saved before and while open as
// <build>/screenshots/tripane-closed.png and tripane-open.png for a person to look at.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QWidget>

#include "examples/tripane/DemoForm.h"
#include "framework/controls/StdCtrls.h"
#include "framework/widgetset/qt/QtWidgetSet.h"
#include "tests/framework/qt/QtSuite.h"

namespace tessapack::test {
namespace {

using namespace framework;

const std::string kShots = std::string(CW_BINARY_DIR) + "/screenshots";

class TriPaneQtTest : public framework::test::TQtSuite {
 protected:
  void SetUp() override { Application().Reset(); }
  void TearDown() override {
    Form.reset();
    Application().ProcessMessages();
    Application().Reset();
  }

  TQtWidgetSet& Ws() { return static_cast<TQtWidgetSet&>(Widgetset()); }
  QWidget* Native(TWinControl* c) { return Ws().Widget(c->Handle()); }
  // Moves the pointer one step and lets both Qt and the framework handle what follows.
  void PointerTo(QPoint global) {
    QCursor::setPos(global);
    Application().ProcessMessages();
  }

  std::unique_ptr<tripane_demo::TDemoForm> Form;
};

TEST_F(TriPaneQtTest, PointerMovedSlowlyToTheEdgeOpensTheMenuAndBackClosesIt) {
  Form = std::make_unique<tripane_demo::TDemoForm>();
  Form->Show();
  Application().ProcessMessages();
  TTriPane* tp = Form->TriPane();
  QWidget* window = Native(Form.get());
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(window->isVisible());
  QWidget* client = Native(tp->ClientPane());
  ASSERT_NE(client, nullptr);
  EXPECT_FALSE(tp->MenuPane()->Visible());
  EXPECT_EQ(client->width(), tp->ClientPane()->Width());
  ASSERT_TRUE(Ws().SaveScreenshot(Form->Handle(), kShots + "/tripane-closed.png"));

  // From the middle of the client pane towards its right edge, 3 pixels a step.
  const int y = client->height() - 20;
  int x = client->width() / 2;
  for (; x < client->width() && !tp->Popped(); x += 3) PointerTo(client->mapToGlobal(QPoint(x, y)));
  ASSERT_TRUE(tp->Popped()) << "the menu did not open on the way to x = " << x;
  EXPECT_GT(x, client->width() - tp->Proximity) << "opened only inside the band";
  EXPECT_EQ(Form->Popped(), std::vector<bool>{true});
  QWidget* menu = Native(tp->MenuPane());
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(menu->isVisible());
  EXPECT_EQ(menu->width(), tp->PopOpenSize());
  EXPECT_EQ(tp->MenuPane()->Left() + tp->MenuPane()->Width(), tp->ClientWidth())
      << "the menu pane lies along the right edge";
  ASSERT_TRUE(Ws().SaveScreenshot(Form->Handle(), kShots + "/tripane-open.png"));
  QImage open(QString::fromStdString(kShots + "/tripane-open.png"));
  QImage closed(QString::fromStdString(kShots + "/tripane-closed.png"));
  ASSERT_FALSE(open.isNull());
  EXPECT_EQ(open.size(), closed.size());
  EXPECT_NE(open, closed);

  // Back over the client pane: the menu closes.
  for (x = client->width() - 2; x > client->width() / 3 && tp->Popped(); x -= 3)
    PointerTo(client->mapToGlobal(QPoint(x, y)));
  EXPECT_FALSE(tp->Popped());
  EXPECT_EQ(Form->Popped(), (std::vector<bool>{true, false}));
  EXPECT_FALSE(menu->isVisible());
}

// An edit that reaches into the trigger band: the pointer over the native edit is tracked as
// over the pane it lies on, so a slow approach over it opens the menu as well.
TEST_F(TriPaneQtTest, ASlowApproachOverAnEditInTheBandOpensTheMenu) {
  Form = std::make_unique<tripane_demo::TDemoForm>();
  Form->Show();
  Application().ProcessMessages();
  TTriPane* tp = Form->TriPane();
  auto* edit = dynamic_cast<TEdit*>(Form->FindComponent("edtNote"));
  ASSERT_NE(edit, nullptr);
  TWinControl* pane = tp->ClientPane();
  edit->SetBounds(pane->Width() - 120, 44, 120, 21);  // its right end lies in the band
  Application().ProcessMessages();
  QWidget* line = Native(edit)->focusProxy();
  ASSERT_NE(line, nullptr);
  ASSERT_TRUE(line->isVisible());
  const int y = line->height() / 2;
  int x = 5;
  for (; x < line->width() && !tp->Popped(); x += 3) {
    ASSERT_EQ(QApplication::widgetAt(line->mapToGlobal(QPoint(x, y))), line)
        << "the pointer is over the edit";
    PointerTo(line->mapToGlobal(QPoint(x, y)));
  }
  EXPECT_TRUE(tp->Popped()) << "the menu did not open on the way over the edit";
  QPoint inPane = line->mapTo(Native(pane), QPoint(x - 3, y));
  EXPECT_GT(inPane.x(), pane->Width() - tp->Proximity - 1) << "opened only inside the band";
}

}  // namespace
}  // namespace tessapack::test
