// The Qt widgetset under the offscreen platform: handles made and deleted with the model,
// painting and hit-testing of graphic controls by their parent, z-order, modal forms, the
// framework's timers and posted messages driving Qt's loop, and Qt's message box.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include <QApplication>
#include <QHelpEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolTip>

#include "framework/controls/Buttons.h"
#include "framework/controls/Dialogs.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/Grids.h"
#include "framework/controls/StdCtrls.h"
#include "framework/controls/ToolEdits.h"
#include "tests/fakes/TestDesigner.h"
#include "framework/messages/Clock.h"
#include "framework/messages/Timer.h"
#include "framework/widgetset/qt/QtConvert.h"
#include "framework/widgetset/qt/QtWidgetSet.h"
#include "framework/widgetset/qt/QtWidgets.h"
#include "tests/framework/qt/QtSuite.h"

namespace framework {
namespace {

// A control class of the tests' own, given a native peer by registration.
class TGaugeBox : public TCustomControl {
  FW_CLASS(TGaugeBox, TCustomControl)
 public:
  explicit TGaugeBox(TComponent* owner) : TCustomControl(owner) {}
  int Level = 0;
};

}  // namespace
}  // namespace framework

FW_DEFINE_CLASS(framework::TGaugeBox)

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
  static void Mouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button,
                    Qt::MouseButtons buttons) {
    QMouseEvent e(type, p, w->mapToGlobal(p), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
  }
  // A key pressed and released on the widget that has Qt's focus.
  static void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr) << "no widget has the focus";
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QCoreApplication::sendEvent(target, &press);
    if (QWidget* now = QApplication::focusWidget()) {
      QKeyEvent release(QEvent::KeyRelease, key, mods, text);
      QCoreApplication::sendEvent(now, &release);
    }
    Application().ProcessMessages();
  }
  // The framework control whose window holds Qt's focus.
  std::string QtFocusName() {
    QWidget* f = QApplication::focusWidget();
    for (TControl* c : Watched)
      if (auto* w = dynamic_cast<TWinControl*>(c);
          w && w->HandleAllocated() && f && (W(w) == f || W(w)->isAncestorOf(f)))
        return c->Name();
    return "(none)";
  }
  template <class T>
  T* Add(const char* name, int x, int y) {
    auto* c = new T(Form);
    c->SetName(name);
    c->SetParent(Form);
    c->SetBounds(x, y, 80, 24);
    Watched.push_back(c);
    return c;
  }
  std::vector<TControl*> Watched;
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

// A dark theme reaches the controls: the button, window and selection colours come from the
// application's palette, explicit colours stay as they are.
TEST_F(QtWidgetSetTest, SystemColoursFollowTheApplicationPalette) {
  const QPalette saved = QApplication::palette();
  QPalette dark = saved;
  dark.setColor(QPalette::Button, QColor(40, 40, 44));
  dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
  dark.setColor(QPalette::Base, QColor(20, 20, 20));
  dark.setColor(QPalette::Disabled, QPalette::Text, QColor(90, 90, 90));
  QApplication::setPalette(dark);
  EXPECT_EQ(qt::ToQColor(clBtnFace), QColor(40, 40, 44));
  EXPECT_EQ(qt::ToQColor(clBtnText), QColor(230, 230, 230));
  EXPECT_EQ(qt::ToQColor(clWindow), QColor(20, 20, 20));
  EXPECT_EQ(qt::ToQColor(clGrayText), QColor(90, 90, 90));
  EXPECT_EQ(qt::ToQColor(clRed), QColor(255, 0, 0));
  EXPECT_EQ(qt::ToQColor(clInfoBk), QColor(255, 255, 225)) << "not themed: the classic value";
  QApplication::setPalette(saved);
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

// ---- input through real Qt events --------------------------------------------------------------

TEST_F(QtWidgetSetTest, TabAndShiftTabMoveTheFocusInTabOrderInARealWindow) {
  auto* first = Add<TEdit>("First", 10, 10);
  auto* last = Add<TEdit>("Last", 10, 40);
  auto* middle = Add<TButton>("Middle", 10, 70);
  auto* grid = Add<TStringGrid>("Grid", 10, 100);
  middle->SetTabOrder(1);
  grid->SetTabStop(false);
  Form->Show();
  Application().ProcessMessages();
  EXPECT_EQ(QtFocusName(), "First");
  EXPECT_TRUE(first->Focused());
  std::vector<std::string> seen;
  for (int i = 0; i < 3; ++i) {
    Key(Qt::Key_Tab);
    seen.push_back(QtFocusName());
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"Middle", "Last", "First"}));
  Key(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(QtFocusName(), "Last");
  EXPECT_TRUE(last->Focused()) << "the model follows";
  // Qt moving its focus (as a click in another edit does) moves the model's focus too.
  W(first)->focusProxy()->setFocus(Qt::MouseFocusReason);
  Application().ProcessMessages();
  EXPECT_TRUE(first->Focused());
}

TEST_F(QtWidgetSetTest, EnterPressesTheDefaultButtonAndEscapeTheCancelButton) {
  auto* edit = Add<TEdit>("Edit", 10, 10);
  auto* ok = Add<TButton>("Ok", 10, 40);
  auto* cancel = Add<TButton>("Cancel", 100, 40);
  ok->SetDefault(true);
  cancel->SetCancel(true);
  std::vector<std::string> clicks;
  for (TButton* b : {ok, cancel})
    b->OnClick = TNotifyEvent([&clicks, b](TObject*) { clicks.push_back(b->Name()); });
  Form->Show();
  Application().ProcessMessages();
  ASSERT_TRUE(edit->Focused());
  Key(Qt::Key_Return, Qt::NoModifier, "\r");
  Key(Qt::Key_Escape, Qt::NoModifier, "\x1b");
  EXPECT_EQ(clicks, (std::vector<std::string>{"Ok", "Cancel"}));
  // A key a handler swallows never reaches the native edit.
  edit->SetText("");
  edit->OnKeyPress = TKeyPressEvent([](TObject*, char& ch) {
    if (ch == 'x') ch = 0;
  });
  Key(Qt::Key_X, Qt::NoModifier, "x");
  Key(Qt::Key_Y, Qt::NoModifier, "y");
  EXPECT_EQ(edit->Text(), "y");
}

TEST_F(QtWidgetSetTest, ASpeedButtonPressedAndReleasedOutsideIsNoClickAndComesUp) {
  auto* button = new TSpeedButton(Form);
  button->SetParent(Form);
  button->SetBounds(40, 40, 60, 30);
  int clicks = 0;
  button->OnClick = TNotifyEvent([&](TObject*) { ++clicks; });
  Form->Show();
  Application().ProcessMessages();
  QWidget* form = W(Form);
  const QColor up = form->grab().toImage().pixelColor(40, 55);
  Mouse(form, QEvent::MouseButtonPress, QPoint(60, 55), Qt::LeftButton, Qt::LeftButton);
  Application().ProcessMessages();
  EXPECT_NE(form->grab().toImage().pixelColor(40, 55), up) << "drawn down while pressed";
  Mouse(form, QEvent::MouseMove, QPoint(200, 150), Qt::NoButton, Qt::LeftButton);
  Mouse(form, QEvent::MouseButtonRelease, QPoint(200, 150), Qt::LeftButton, Qt::NoButton);
  Application().ProcessMessages();
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(form->grab().toImage().pixelColor(40, 55), up) << "drawn up again";
  Click(form, QPoint(60, 55));
  EXPECT_EQ(clicks, 1);
}

TEST_F(QtWidgetSetTest, ANativeButtonClicksOnceAndADesignedOneNeverActs) {
  auto* button = Add<TButton>("Button", 10, 10);
  int clicks = 0;
  button->OnClick = TNotifyEvent([&](TObject*) { ++clicks; });
  int downs = 0;
  button->OnMouseDown =
      TMouseEvent([&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; });
  Form->Show();
  Application().ProcessMessages();
  Click(W(button), QPoint(5, 5));
  EXPECT_EQ(clicks, 1) << "the press and release reach the framework once";
  EXPECT_EQ(downs, 1);
  Key(Qt::Key_Space, Qt::NoModifier, " ");
  EXPECT_EQ(clicks, 2);

  TTestDesigner designer(Form);
  Click(W(button), QPoint(5, 5));
  EXPECT_EQ(clicks, 2) << "a designed button does not click";
  EXPECT_EQ(downs, 1) << "the designer keeps the press";
  ASSERT_FALSE(designer.Selected.empty());
  EXPECT_EQ(designer.Selected.back(), button);
  Form->SetDesigner(nullptr);
}

TEST_F(QtWidgetSetTest, PointerOverAnEditReachesItsMouseEventsAndEnterLeave) {
  auto* edit = Add<TEdit>("Edit", 10, 10);
  std::vector<std::string> log;
  edit->OnMouseMove = TMouseMoveEvent([&](TObject*, TShiftState, int x, int y) {
    log.push_back("move " + std::to_string(x) + "," + std::to_string(y));
  });
  edit->OnMouseEnter = TNotifyEvent([&](TObject*) { log.push_back("enter"); });
  edit->OnMouseLeave = TNotifyEvent([&](TObject*) { log.push_back("leave"); });
  Form->Show();
  Application().ProcessMessages();
  QWidget* line = W(edit)->focusProxy();
  ASSERT_NE(line, nullptr);
  // In the edit's client coordinates: inside its sunken frame.
  QPoint inHost = line->mapTo(W(edit), QPoint(20, 5)) -
                  QPoint(edit->FrameInsets().Left, edit->FrameInsets().Top);
  Mouse(line, QEvent::MouseMove, QPoint(20, 5), Qt::NoButton, Qt::NoButton);
  Mouse(W(Form), QEvent::MouseMove, QPoint(200, 150), Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(log,
            (std::vector<std::string>{
                "enter", "move " + std::to_string(inHost.x()) + "," + std::to_string(inHost.y()),
                "leave"}));
}

TEST_F(QtWidgetSetTest, NativePeersComeFromTheRegistrationOfTheClassOrItsNearestAncestor) {
  qt::RegisterPeer(TGaugeBox::StaticClass(),
                   {[](TQtWidgetSet&, qt::TWindow&, QWidget* parent, const TCreateParams&) -> QWidget* {
                      return new QProgressBar(parent);
                    },
                    [](TQtWidgetSet&, qt::TWindow& w, TWinControl& c) {
                      static_cast<QProgressBar*>(w.Widget)->setValue(static_cast<TGaugeBox&>(c).Level);
                    },
                    false, true, false});
  auto* gauge = new TGaugeBox(Form);
  gauge->SetParent(Form);
  gauge->SetBounds(5, 5, 100, 20);
  gauge->Level = 42;
  auto* files = new TFilenameEdit(Form);  // no peer of its own: an edit's
  files->SetParent(Form);
  files->SetBounds(5, 40, 150, 21);
  auto* panel = new TPanel(Form);  // a painted host, as every windowed control by default
  panel->SetParent(Form);
  Form->Show();
  gauge->Invalidate();
  Application().ProcessMessages();
  auto* bar = qobject_cast<QProgressBar*>(W(gauge));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->value(), 42);
  EXPECT_NE(qobject_cast<QLineEdit*>(W(files)->focusProxy()), nullptr);
  EXPECT_EQ(qobject_cast<QProgressBar*>(W(panel)), nullptr);
  EXPECT_EQ(W(panel)->focusProxy(), nullptr);
}

// Qt sends the moves and the release after a press to the pressed widget, with points
// outside it: the framework finds the control under the pointer from the form.
TEST_F(QtWidgetSetTest, APanelDraggedOntoAnotherIsDroppedThere) {
  auto* source = Add<TPanel>("Source", 10, 10);
  auto* target = Add<TPanel>("Target", 150, 10);
  std::vector<std::string> log;
  source->OnMouseDown =
      TMouseEvent([&](TObject*, TMouseButton, TShiftState, int, int) { source->BeginDrag(false); });
  source->OnEndDrag = TEndDragEvent([&](TObject*, TObject* t, int x, int y) {
    log.push_back(std::string("end on ") + (t ? static_cast<TComponent*>(t)->Name() : "(none)") + " at " +
                  std::to_string(x) + "," + std::to_string(y));
  });
  target->OnDragOver = TDragOverEvent([](TObject*, TObject* s, int, int, TDragState, bool& accept) {
    accept = dynamic_cast<TPanel*>(s) != nullptr;
  });
  target->OnDragDrop = TDragDropEvent([&](TObject*, TObject* s, int x, int y) {
    log.push_back("drop " + static_cast<TComponent*>(s)->Name() + " at " + std::to_string(x) + "," +
                  std::to_string(y));
  });
  Form->Show();
  Application().ProcessMessages();
  QWidget* w = W(source);
  Mouse(w, QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton, Qt::LeftButton);
  for (int x = 10; x <= 160; x += 15)  // over to the target, still on the pressed widget
    Mouse(w, QEvent::MouseMove, QPoint(x, 8), Qt::NoButton, Qt::LeftButton);
  Mouse(w, QEvent::MouseButtonRelease, QPoint(160, 8), Qt::LeftButton, Qt::NoButton);
  Application().ProcessMessages();
  // (160, 8) on the source is (170, 18) on the form and (20, 8) on the target.
  EXPECT_EQ(log, (std::vector<std::string>{"drop Source at 20,8", "end on Target at 20,8"}));
  EXPECT_FALSE(source->Dragging());
}

TEST_F(QtWidgetSetTest, ATooltipShowsTheHintOfTheControlUnderThePointer) {
  auto* button = new TSpeedButton(Form);
  button->SetParent(Form);
  button->SetBounds(40, 40, 60, 30);
  button->SetHint("Run it");
  button->SetShowHint(true);
  auto* panel = Add<TPanel>("Panel", 150, 120);
  panel->SetHint("A panel");
  panel->SetShowHint(true);
  Form->Show();
  Application().ProcessMessages();
  QWidget* form = W(Form);
  QHelpEvent over(QEvent::ToolTip, QPoint(50, 50), form->mapToGlobal(QPoint(50, 50)));
  QCoreApplication::sendEvent(form, &over);
  EXPECT_EQ(QToolTip::text(), "Run it");
  QWidget* native = W(panel);
  QHelpEvent onPanel(QEvent::ToolTip, QPoint(5, 5), native->mapToGlobal(QPoint(5, 5)));
  QCoreApplication::sendEvent(native, &onPanel);
  EXPECT_EQ(QToolTip::text(), "A panel");
}

}  // namespace
}  // namespace framework
