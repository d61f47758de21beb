// Popup menus on the Qt widgetset (offscreen): a native menu at the point with the visible
// items, a click on an enabled action clicks the item, and freeing the menu closes it.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>

#include "framework/controls/Forms.h"
#include "framework/controls/Menus.h"
#include "framework/widgetset/qt/QtWidgetSet.h"
#include "tests/framework/qt/QtSuite.h"

namespace framework {
namespace {

class QtMenuTest : public framework::test::TQtSuite {
 protected:
  TQtWidgetSet& Ws() { return static_cast<TQtWidgetSet&>(Widgetset()); }
  TMenuItem* Add(TMenuItem& parent, const std::string& caption) {
    auto* item = new TMenuItem(Menu.get());
    item->SetCaption(caption);
    item->OnClick = TNotifyEvent([this, caption](TObject*) { Clicks.push_back(caption); });
    parent.Add(item);
    return item;
  }
  // A press and release of the left button on the action, as the user gives them.
  static void ClickAction(QMenu& menu, QAction* action) {
    QPoint p = menu.actionGeometry(action).center();
    QMouseEvent press(QEvent::MouseButtonPress, p, menu.mapToGlobal(p), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&menu, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, p, menu.mapToGlobal(p), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&menu, &release);
  }
  std::unique_ptr<TPopupMenu> Menu = std::make_unique<TPopupMenu>(nullptr);
  std::vector<std::string> Clicks;
};

TEST_F(QtMenuTest, PopupShowsANativeMenuAndAClickedActionClicksItsItem) {
  Add(Menu->Items(), "&Open");
  Add(Menu->Items(), "-");
  Add(Menu->Items(), "Save")->SetEnabled(false);
  Add(Menu->Items(), "Hidden")->SetVisible(false);
  TMenuItem* more = Add(Menu->Items(), "More");
  Add(*more, "Deep");
  Menu->Popup(40, 30);
  Application().ProcessMessages();
  QMenu* native = Ws().OpenMenu();
  ASSERT_NE(native, nullptr);
  EXPECT_TRUE(native->isVisible());
  EXPECT_EQ(native->pos(), QPoint(40, 30));
  QStringList texts;
  for (QAction* a : native->actions())
    texts << (a->isSeparator() ? "-" : a->text()) + (a->isEnabled() ? "" : " (disabled)");
  EXPECT_EQ(texts.join(" | ").toStdString(), "&Open | - | Save (disabled) | More");
  ASSERT_NE(native->actions()[3]->menu(), nullptr);
  EXPECT_EQ(native->actions()[3]->menu()->actions()[0]->text().toStdString(), "Deep");

  ClickAction(*native, native->actions()[2]);  // greyed: nothing
  EXPECT_TRUE(Clicks.empty());
  ClickAction(*native, native->actions()[0]);
  Application().ProcessMessages();
  EXPECT_EQ(Clicks, (std::vector<std::string>{"&Open"}));
  EXPECT_EQ(Ws().OpenMenu(), nullptr);  // the menu closed and went away
}

TEST_F(QtMenuTest, FreeingTheMenuWhileItIsShownClosesIt) {
  Add(Menu->Items(), "Open");
  Menu->Popup(5, 5);
  Application().ProcessMessages();
  ASSERT_NE(Ws().OpenMenu(), nullptr);
  Menu.reset();
  EXPECT_EQ(Ws().OpenMenu(), nullptr);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  Application().ProcessMessages();
  EXPECT_TRUE(Clicks.empty());
}

}  // namespace
}  // namespace framework
