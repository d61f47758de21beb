// Controls freed by their own handlers during a real click on the Qt widgetset (offscreen):
// a dialog button that frees its form, a speed button that frees itself, a popup item that
// frees its menu. Qt is still inside the widget's event when the handler returns; nothing
// may be touched afterwards (the sanitizer build runs these too).
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>

#include "framework/controls/Buttons.h"
#include "framework/controls/Forms.h"
#include "framework/controls/Menus.h"
#include "framework/widgetset/qt/QtWidgetSet.h"
#include "tests/framework/qt/QtSuite.h"

namespace framework {
namespace {

class QtFreeingTest : public framework::test::TQtSuite {
 protected:
  void SetUp() override {
    Application().Reset();
    Form = new TForm(nullptr);
    Form->SetBounds(10, 10, 300, 200);
    Form->SetCaption("Dialog");
  }
  void TearDown() override {
    delete Form;
    Application().ProcessMessages();
    Application().Reset();
  }
  TQtWidgetSet& Ws() { return static_cast<TQtWidgetSet&>(Widgetset()); }
  QWidget* W(TWinControl* c) { return Ws().Widget(c->Handle()); }
  // A press and release of the left button at a point of a widget, as the user gives them.
  static void Click(QWidget* w, QPoint p) {
    QMouseEvent press(QEvent::MouseButtonPress, p, w->mapToGlobal(p), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, p, w->mapToGlobal(p), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
  }
  TForm* Form = nullptr;
  std::vector<std::string> Seen;
};

TEST_F(QtFreeingTest, AButtonThatFreesItsFormOnClickEndsTheClickThere) {
  auto* button = new TButton(Form);
  button->SetParent(Form);
  button->SetBounds(20, 20, 90, 28);
  button->SetCaption("Close");
  button->OnClick = TNotifyEvent([&](TObject*) {
    Seen.push_back("click");
    delete Form;
    Form = nullptr;
  });
  button->OnMouseUp =
      TMouseEvent([&](TObject*, TMouseButton, TShiftState, int, int) { Seen.push_back("up"); });
  Form->Show();
  Application().ProcessMessages();
  QPointer<QWidget> window = W(Form), native = W(button);
  ASSERT_TRUE(native && native->isVisible());

  Click(native, QPoint(10, 10));
  EXPECT_EQ(Seen, std::vector<std::string>{"click"});
  Application().ProcessMessages();  // Qt deletes the widgets once their event is done
  EXPECT_TRUE(window.isNull());
  EXPECT_TRUE(native.isNull());
}

TEST_F(QtFreeingTest, ASpeedButtonThatFreesItselfLeavesTheFormWorking) {
  auto* button = new TSpeedButton(Form);
  button->SetParent(Form);
  button->SetBounds(20, 20, 60, 24);
  button->OnClick = TNotifyEvent([&](TObject*) {
    Seen.push_back("click");
    delete button;
  });
  button->OnMouseUp =
      TMouseEvent([&](TObject*, TMouseButton, TShiftState, int, int) { Seen.push_back("up"); });
  int formClicks = 0;
  Form->OnClick = TNotifyEvent([&](TObject*) { ++formClicks; });
  Form->Show();
  Application().ProcessMessages();

  Click(W(Form), QPoint(30, 30));
  EXPECT_EQ(Seen, std::vector<std::string>{"click"});
  EXPECT_EQ(Form->ControlCount(), 0);
  Click(W(Form), QPoint(30, 30));  // the place is the form's now
  EXPECT_EQ(formClicks, 1);
  EXPECT_FALSE(W(Form)->grab().isNull());
}

TEST_F(QtFreeingTest, AMenuItemThatFreesItsPopupMenuClosesTheNativeMenuSafely) {
  auto* menu = new TPopupMenu(Form);
  auto* item = new TMenuItem(Form);
  item->SetCaption("Forget");
  menu->Items().Add(item);
  item->OnClick = TNotifyEvent([&](TObject*) {
    Seen.push_back("click");
    delete menu;
  });
  Form->Show();
  Application().ProcessMessages();
  menu->Popup(40, 30);
  Application().ProcessMessages();
  QPointer<QMenu> native = Ws().OpenMenu();
  ASSERT_TRUE(native);

  QAction* action = native->actions().front();
  QPoint p = native->actionGeometry(action).center();
  Click(native, p);
  EXPECT_EQ(Seen, std::vector<std::string>{"click"});
  EXPECT_EQ(Ws().OpenMenu(), nullptr);
  Application().ProcessMessages();
  EXPECT_TRUE(native.isNull());
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

}  // namespace
}  // namespace framework
