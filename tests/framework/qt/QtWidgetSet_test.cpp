// The Qt widgetset under the offscreen platform: handles made and deleted with the model,
// painting and hit-testing of graphic controls by their parent, z-order, modal forms, the
// framework's timers and posted messages driving Qt's loop, and Qt's message box.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "framework/controls/Buttons.h"
#include "framework/controls/Dialogs.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/StdCtrls.h"
#include "framework/messages/Clock.h"
#include "framework/messages/Timer.h"
#include "framework/widgetset/qt/QtWidgetSet.h"
#include "tests/framework/qt/QtSuite.h"

namespace framework {
namespace {

class QtWidgetSetTest : public framework::test::TQtSuite {
 protected:
  void SetUp() override {
    Application().Reset();
    Form = new TForm(nullptr);
    Form->SetBounds(10, 10, 300, 200);
    Form->SetCaption("Test");
  }
  void TearDown() override {
    delete Form;
    Application().ProcessMessages();
    Application().Reset();
  }
  TQtWidgetSet& Ws() { return static_cast<TQtWidgetSet&>(Widgetset()); }
  QWidget* W(TWinControl* c) { return Ws().Widget(c->Handle()); }
  static void Click(QWidget* w, QPoint p) {
    QMouseEvent press(QEvent::MouseButtonPress, p, w->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, p, w->mapToGlobal(p), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
  }
  // Runs the framework's loop until done() or two seconds have passed.
  static bool LoopUntil(const std::function<bool()>& done) {
    uint64_t end = Clock().NowMs() + 2000;
    while (!done() && Clock().NowMs() < end) Application().HandleMessage();
    return done();
  }

  TForm* Form = nullptr;
};

TEST_F(QtWidgetSetTest, HandlesAreWidgetsMadeOnDemandAndDeletedByDestroyHandle) {
  auto* panel = new TPanel(Form);
  panel->SetParent(Form);
  panel->SetBounds(5, 6, 100, 50);
  EXPECT_FALSE(panel->HandleAllocated());  // nothing is shown yet
  Form->Show();
  ASSERT_TRUE(panel->HandleAllocated());
  QPointer<QWidget> widget = W(panel);
  ASSERT_TRUE(widget);
  EXPECT_EQ(widget->parentWidget(), W(Form));
  EXPECT_EQ(widget->geometry(), QRect(5, 6, 100, 50));
  EXPECT_TRUE(widget->isVisible());
  panel->SetBounds(7, 8, 90, 40);
  EXPECT_EQ(widget->geometry(), QRect(7, 8, 90, 40));
  panel->Hide();
  EXPECT_FALSE(widget->isVisible());
  panel->Show();
  EXPECT_TRUE(widget->isVisible());

  THandle old = panel->Handle();
  panel->DestroyHandle();
  EXPECT_EQ(Ws().Widget(old), nullptr);
  Application().ProcessMessages();
  EXPECT_FALSE(widget);  // deleted
  EXPECT_FALSE(panel->HandleAllocated());
}

TEST_F(QtWidgetSetTest, ParentPaintsAndHitTestsItsGraphicChildren) {
  Form->SetColor(RGB(10, 200, 30));
  auto* button = new TSpeedButton(Form);
  button->SetParent(Form);
  button->SetBounds(40, 40, 60, 30);
  button->SetCaption("Go");
  int clicks = 0;
  button->OnClick = TNotifyEvent([&](TObject*) { ++clicks; });
  Form->Show();
  Application().ProcessMessages();
  QImage image = W(Form)->grab().toImage();
  EXPECT_EQ(image.pixelColor(5, 5), QColor(10, 200, 30));       // the form's colour
  EXPECT_EQ(image.pixelColor(40, 55), QColor(255, 255, 255));    // the button's raised edge
  int caption = 0;  // pixels of the caption inside the button
  for (int y = 42; y < 68; ++y)
    for (int x = 42; x < 98; ++x) caption += image.pixelColor(x, y) != QColor(10, 200, 30);
  EXPECT_GT(caption, 10);
  Click(W(Form), QPoint(60, 55));
  EXPECT_EQ(clicks, 1);
  Click(W(Form), QPoint(150, 150));  // beside it
  EXPECT_EQ(clicks, 1);
}

TEST_F(QtWidgetSetTest, ZOrderFollowsTheChildList) {
  auto* a = new TPanel(Form);
  auto* b = new TPanel(Form);
  for (TPanel* p : {a, b}) {
    p->SetParent(Form);
    p->SetBounds(10, 10, 80, 80);
  }
  Form->Show();
  EXPECT_EQ(W(Form)->childAt(20, 20), W(b));
  a->BringToFront();
  EXPECT_EQ(W(Form)->childAt(20, 20), W(a));
}

TEST_F(QtWidgetSetTest, ModalFormEndsWhenItsNativeButtonIsClicked) {
  auto* dialog = new TForm(nullptr);
  auto* ok = new TButton(dialog);
  ok->SetParent(dialog);
  ok->SetCaption("OK");
  ok->SetModalResult(mrOk);
  QTimer::singleShot(0, [&] {
    auto* b = dynamic_cast<QPushButton*>(Ws().Widget(ok->Handle()));
    EXPECT_TRUE(Ws().Widget(dialog->Handle())->isModal());
    if (b) b->click();
  });
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_FALSE(dialog->Visible());
  delete dialog;
}

TEST_F(QtWidgetSetTest, TimersAndPostedMessagesDriveTheLoop) {
  Form->Show();
  TTimer timer(nullptr);
  timer.SetInterval(30);
  int ticks = 0;
  timer.SetOnTimer(TNotifyEvent([&](TObject*) { ++ticks; }));
  EXPECT_TRUE(LoopUntil([&] { return ticks >= 2; }));
  timer.SetEnabled(false);

  // A message posted by a handler that Qt called is handled by the framework's loop.
  auto* edit = new TEdit(Form);
  edit->SetParent(Form);
  edit->OnChange = TNotifyEvent([&](TObject*) { PostMessage(Form, WM_USER + 1); });
  Application().ProcessMessages();
  QWidget* line = W(edit)->focusProxy();
  ASSERT_NE(line, nullptr);
  QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
  QCoreApplication::sendEvent(line, &key);
  EXPECT_EQ(edit->Text(), "x");
  EXPECT_EQ(Application().Queue().Count(), 1u);
  Application().ProcessMessages();
  EXPECT_TRUE(Application().Queue().Empty());
}

TEST_F(QtWidgetSetTest, MessageBoxIsQtsAndAnswersWithTheClickedButton) {
  QString shown;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    shown = box->text();
    box->button(QMessageBox::No)->click();
  });
  EXPECT_EQ(MessageDlg("Create it?", mtConfirmation, {mbYes, mbNo}), mrNo);
  EXPECT_EQ(shown, "Create it?");
}

}  // namespace
}  // namespace framework
