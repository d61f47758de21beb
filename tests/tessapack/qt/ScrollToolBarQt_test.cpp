// The scrolling toolbar demo on the Qt widgetset under the offscreen platform: real clicks
// on the arrows scroll by one control each and wrap around; the placement dialog is opened
// with a click and driven with clicks and keys. Screenshots go to <build>/screenshots
// (scrolltoolbar-*.png) for a person to look at.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <memory>

#include "examples/scrolltoolbar/DemoForm.h"
#include "framework/widgetset/qt/QtWidgetSet.h"
#include "tessapack/ScrollToolBarEf.h"
#include "tests/framework/qt/QtSuite.h"

namespace tessapack::test {
namespace {

using namespace framework;

const std::string kShots = std::string(CW_BINARY_DIR) + "/screenshots";

class ScrollToolBarQtTest : public framework::test::TQtSuite {
protected:
  void SetUp() override { Application().Reset(); }
  void TearDown() override {
    delete Dialog;
    Dialog = nullptr;
    Demo.reset();
    Settle();
    Application().Reset();
  }

  TQtWidgetSet &Ws() { return static_cast<TQtWidgetSet &>(Widgetset()); }
  QWidget *Native(TWinControl *c) { return Ws().Widget(c->Handle()); }
  static void Settle() {
    Application().ProcessMessages();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Application().ProcessMessages();
  }
  // A press and release at a point of a native widget.
  static void ClickAt(QWidget *w, QPoint p) {
    QMouseEvent press(QEvent::MouseButtonPress, p, w->mapToGlobal(p), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, p, w->mapToGlobal(p), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
    Settle();
  }
  // Clicks a control: its own widget, or its parent's at its place for a graphic control.
  void ClickControl(TControl *c) {
    if (auto *w = dynamic_cast<TWinControl *>(c)) {
      QWidget *native = Native(w);
      ClickAt(native, QPoint(native->width() / 2, native->height() / 2));
    } else {
      ClickAt(Native(c->Parent()), QPoint(c->Left() + c->Width() / 2, c->Top() + c->Height() / 2));
    }
  }
  static void Key(QWidget *w, int key, const QString &text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(w, &release);
    Settle();
  }
  // The index (in the demo's order) of each control shown, left to right.
  std::vector<int> Shown() {
    std::vector<std::pair<int, int>> at;
    const auto &items = Demo->Items();
    for (int i = 0; i < static_cast<int>(items.size()); ++i)
      if (items[i]->Width() > 0 && items[i]->Height() > 0)
        at.emplace_back(items[i]->Left(), i);
    std::ranges::sort(at);
    std::vector<int> out;
    for (auto &[left, i] : at)
      out.push_back(i);
    return out;
  }

  std::unique_ptr<scrolltoolbar_demo::TDemoForm> Demo;
  TScrollEdit *Dialog = nullptr;
};

TEST_F(ScrollToolBarQtTest, EachArrowClickScrollsOneControlAndTheRingWrapsAround) {
  Demo = std::make_unique<scrolltoolbar_demo::TDemoForm>();
  Demo->Show();
  Settle();
  TScrollToolBar *bar = Demo->ToolBar();
  ASSERT_TRUE(bar->ArrowsOn());
  const std::vector<int> first = Shown();
  ASSERT_GE(first.size(), 3u);
  ASSERT_LT(first.size(), 12u) << "the window is too narrow for all twelve";
  EXPECT_EQ(first.front(), 0);
  QWidget *strip = Native(bar);
  ASSERT_NE(strip, nullptr);
  EXPECT_EQ(strip->width(), bar->Width());
  ASSERT_TRUE(Ws().SaveScreenshot(Demo->Handle(), kShots + "/scrolltoolbar-start.png"));
  EXPECT_FALSE(bar->RightArrow()->Glyph()->Empty()) << "the arrows carry their glyphs";

  // Right arrow: one control per click.
  for (int click = 1; click <= 3; ++click) {
    ClickControl(bar->RightArrow());
    const std::vector<int> now = Shown();
    ASSERT_EQ(now.size(), first.size());
    EXPECT_EQ(now.front(), click) << "after click " << click;
  }
  EXPECT_EQ(Demo->Status()->Caption(), "First shown: " + Demo->Items()[3]->Caption());
  ASSERT_TRUE(Ws().SaveScreenshot(Demo->Handle(), kShots + "/scrolltoolbar-scrolled.png"));

  // Left arrow back past the first control: the last one comes first, the first follows.
  for (int click = 0; click < 4; ++click)
    ClickControl(bar->LeftArrow());
  const std::vector<int> wrapped = Shown();
  EXPECT_EQ(bar->StartControl(), Demo->Items()[11]);
  EXPECT_EQ(Demo->Items()[11]->Left(), 1 + TScrollToolBar::kArrowReserve);
  EXPECT_LT(Demo->Items()[11]->Left(), Demo->Items()[0]->Left());
  ASSERT_TRUE(Ws().SaveScreenshot(Demo->Handle(), kShots + "/scrolltoolbar-wrapped.png"));
  QImage a(QString::fromStdString(kShots + "/scrolltoolbar-start.png"));
  QImage b(QString::fromStdString(kShots + "/scrolltoolbar-wrapped.png"));
  EXPECT_NE(a, b);
}

TEST_F(ScrollToolBarQtTest, TheDialogIsDrivenWithClicksAndKeys) {
  Demo = std::make_unique<scrolltoolbar_demo::TDemoForm>();
  Demo->Show();
  Settle();
  TScrollToolBar *bar = Demo->ToolBar();
  Dialog = MakeScrollEdit(bar);
  Dialog->Show();
  Settle();
  ASSERT_EQ(Dialog->Previews().size(), 12u);
  EXPECT_EQ(Dialog->RadioGroup1->Items()->Strings(1), "Top");

  // The second preview (a button): its own native widget takes the click.
  ClickControl(Dialog->Previews()[1]);
  EXPECT_EQ(Dialog->SelectedIndex, 1);
  EXPECT_EQ(Dialog->Label1->Caption(), "Name: Item2");
  ASSERT_TRUE(Dialog->Edit1->Enabled());

  QWidget *edit = Native(Dialog->Edit1)->focusProxy(); // the line edit inside
  ASSERT_NE(edit, nullptr);
  ClickAt(edit, QPoint(edit->width() / 2, edit->height() / 2));
  // The click on the line edit leaves the framework's focus on the preview button in this
  // widgetset; the focus is put into the edit as Tab would.
  if (Screen().ActiveControl() != Dialog->Edit1)
    Dialog->Edit1->SetFocus();
  Settle();
  Dialog->Edit1->SetText("");
  Key(edit, Qt::Key_6, "6");
  EXPECT_EQ(Dialog->Edit1->Text(), "6");
  ASSERT_EQ(Screen().ActiveControl(), Dialog->Edit1);
  Key(edit, Qt::Key_Return, "\r");
  EXPECT_TRUE(Dialog->Visible()) << "Enter keeps the dialog open";
  EXPECT_EQ(bar->ComponentsInfo()->Find(Demo->Items()[1])->CompPad, 6);
  EXPECT_EQ(Demo->Items()[1]->Top(), 6) << "the control moved at once";
  ASSERT_TRUE(Ws().SaveScreenshot(Dialog->Handle(), kShots + "/scrolltoolbar-dialog.png"));
  ASSERT_TRUE(Ws().SaveScreenshot(Demo->Handle(), kShots + "/scrolltoolbar-padded.png"));

  // Escape closes it.
  Key(edit, Qt::Key_Escape);
  EXPECT_FALSE(Dialog->Visible());
}

} // namespace
} // namespace tessapack::test
