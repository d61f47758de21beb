// The designer on the Qt widgetset under the offscreen platform, driven by real mouse and
// key events. This host links no package code: it loads libtessapack.so as the program
// does, places a tri-pane and a multi-pane from the "Tessaline" page, adds a pane through
// the multi-pane's editor verb in the context menu, drops a button into the pane in front,
// renames it in the inspector by typing, saves, opens the file again and compares the text
// with tests/data/designer/Tessaline.form. Screenshots go to <build>/screenshots.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QStringList>
#include <QWidget>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "framework/base/Random.h"
#include "framework/controls/Buttons.h"
#include "framework/controls/StdCtrls.h"
#include "framework/controls/StdRegister.h"
#include "framework/widgetset/qt/QtWidgetSet.h"
#include "framework/widgetset/qt/QtWidgets.h"
#include "tests/framework/qt/QtSuite.h"
#include "tools/designer/ColorProperty.h"
#include "tools/designer/DesignerWindow.h"
#include "tools/designer/Packages.h"

namespace tessapack::designer::test {
namespace {

using namespace framework;

const std::string kShots = std::string(CW_BINARY_DIR) + "/screenshots";

std::string ReadAll(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class DesignerQtTest : public framework::test::TQtSuite {
 protected:
  static void SetUpTestSuite() {
    TQtSuite::SetUpTestSuite();
    RegisterStandardComponents();
    RegisterDesignerEditors();
    PackageError = LoadPackage(CW_BINARY_DIR "/tessapack/libtessapack.so");
    // The example application's form class (TAppForm) with its handlers.
    if (PackageError.empty())
      PackageError = LoadPackage(CW_BINARY_DIR "/examples/installed-app/libappforms.so");
  }
  void SetUp() override {
    ASSERT_EQ(PackageError, "");
    Application().Reset();
    SetRandomTestSeed(7);
    Window = new TDesignerWindow(nullptr);
    Window->ShowAll();
    Settle();
  }
  void TearDown() override {
    delete Window;
    Settle();
    SetRandomTestSeed(std::nullopt);
    Application().Reset();
  }
  TQtWidgetSet& Ws() { return static_cast<TQtWidgetSet&>(Widgetset()); }
  TFormDesigner& Designer() { return Window->Designer(); }
  static void Settle() {
    for (int i = 0; i < 3; ++i) {
      Application().ProcessMessages();
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
  }
  // The widget under a point of a control and the point in it: the control's own window,
  // or for a graphic control the window it lies on.
  QWidget* WidgetAt(TControl& control, int x, int y, QPoint& at) {
    TControl* c = &control;
    while (c && !c->IsWindowed()) c = c->Parent();
    auto* window = static_cast<TWinControl*>(c);
    TPoint p = window->ScreenToClient(control.ClientToScreen({x, y}));
    qt::TWindow* record = Ws().Find(window->Handle());
    TPoint o = qt::ClientOrigin(*record);
    at = QPoint(p.X + o.X, p.Y + o.Y);
    return record->Widget;
  }
  void Mouse(QEvent::Type type, TControl& control, int x, int y, Qt::MouseButton button,
             Qt::MouseButtons held) {
    QPoint at;
    QWidget* w = WidgetAt(control, x, y, at);
    QMouseEvent e(type, at, w->mapToGlobal(at), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
    Settle();
  }
  void Click(TControl& control, int x, int y, Qt::MouseButton button = Qt::LeftButton) {
    Mouse(QEvent::MouseButtonPress, control, x, y, button, button);
    Mouse(QEvent::MouseButtonRelease, control, x, y, button, Qt::NoButton);
  }
  void ClickCentre(TControl& control) { Click(control, control.Width() / 2, control.Height() / 2); }
  void Key(QWidget* w, int key, const QString& text = {}, Qt::KeyboardModifiers mods = {}) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QCoreApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QCoreApplication::sendEvent(w, &release);
    Settle();
  }
  // Chooses the palette page and the component's button, then clicks on the form.
  TComponent* Place(const std::string& page, const std::string& cls, TControl& at, int x, int y) {
    TSpeedButton* pageButton = Window->PageButton(page);
    EXPECT_NE(pageButton, nullptr) << page;
    if (!pageButton) return nullptr;
    ClickCentre(*pageButton);
    TSpeedButton* button = Window->PaletteButton(cls);
    EXPECT_NE(button, nullptr) << cls;
    if (!button) return nullptr;
    ClickCentre(*button);
    EXPECT_EQ(Designer().PlaceClass(), GetClass(cls));
    Click(at, x, y);
    return Designer().Selection();
  }
  // Types into the inspector's row as a user does: select all, the characters, Enter.
  void TypeInRow(const std::string& row, const std::string& text) {
    TInspector::TRow* r = Window->Inspector().ShowRow(row);
    ASSERT_NE(r, nullptr) << row;
    Settle();
    QLineEdit* line = Ws().Find(r->Value->Handle())->Line;
    ASSERT_NE(line, nullptr);
    Key(line, Qt::Key_A, "", Qt::ControlModifier);
    line->selectAll();
    for (char ch : text) Key(line, 0, QString(QChar(ch)));
    Key(line, Qt::Key_Return, "\r");
  }
  void Shoot(TWinControl& window, const std::string& name) {
    std::filesystem::create_directories(kShots);
    EXPECT_TRUE(Ws().SaveScreenshot(window.Handle(), kShots + "/" + name));
  }

  static inline std::string PackageError;
  TDesignerWindow* Window = nullptr;
};

TEST_F(DesignerQtTest, PlaceEditSaveAndReopenThroughRealInput) {
  TCustomForm* form = Designer().Form();
  ASSERT_NE(Window->PageButton("Tessaline"), nullptr) << "the package's page";
  ASSERT_NE(Window->PageButton("Standard"), nullptr);

  EXPECT_TRUE(form->Showing()) << "the designed form is on the screen";
  TComponent* tri = Place("Tessaline", "TTriPane", *form, 16, 16);
  ASSERT_NE(tri, nullptr);
  EXPECT_EQ(tri->Name(), "TriPane1");
  EXPECT_EQ(tri->ClassName(), "TTriPane");
  TComponent* mp = Place("Tessaline", "TMultiPane", *form, 240, 16);
  ASSERT_NE(mp, nullptr);
  EXPECT_EQ(mp->Name(), "MultiPane1");
  auto* multi = dynamic_cast<TWinControl*>(mp);
  ASSERT_NE(multi, nullptr);
  EXPECT_EQ(GetOrdProp(*mp, "Count"), 1);
  EXPECT_TRUE(Designer().Grips()[0]->Visible());

  // The context menu of the multi-pane holds its editor's verbs; "New Pane" adds a pane.
  Click(*multi, 20, 20, Qt::RightButton);
  QMenu* menu = Ws().OpenMenu();
  ASSERT_NE(menu, nullptr) << "the context menu is open";
  QAction* newPane = nullptr;
  for (QAction* a : menu->actions())
    if (a->text() == "New Pane") newPane = a;
  ASSERT_NE(newPane, nullptr);
  newPane->trigger();
  menu->close();
  Settle();
  EXPECT_EQ(GetOrdProp(*mp, "Count"), 2);
  EXPECT_NE(Window->Caption().find("(modified)"), std::string::npos) << Window->Caption();

  // A button dropped on the pane in front lands in it.
  TControl* front = nullptr;
  for (int i = 0; i < multi->ControlCount(); ++i)
    if (multi->Controls(i)->Visible() && multi->Controls(i)->ClassName() == "TSinglePane")
      front = multi->Controls(i);
  ASSERT_NE(front, nullptr);
  TComponent* placed = Place("Standard", "TButton", *front, 12, 14);
  Settle();
  auto* button = dynamic_cast<TButton*>(form->FindComponent("Button1"));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(placed, button);
  EXPECT_EQ(button->Parent(), front);
  EXPECT_EQ(Designer().Selection(), button);

  // Arrow keys on the designed form move the selection.
  QWidget* formWidget = Ws().Widget(form->Handle());
  Key(formWidget, Qt::Key_Right);
  Key(formWidget, Qt::Key_Down, {}, Qt::ShiftModifier);
  EXPECT_EQ(button->Left(), 13);
  EXPECT_EQ(button->Height(), 26);

  // The inspector: a new caption typed and confirmed.
  TypeInRow("Caption", "Go");
  EXPECT_EQ(button->Caption(), "Go");

  Shoot(*form, "designer-form.png");
  const std::string file = testing::TempDir() + "/designer-qt.form";
  ASSERT_TRUE(Window->SaveFile(file)) << Window->StatusText();
  EXPECT_EQ(Window->Caption().find("(modified)"), std::string::npos);
  const std::string saved = ReadAll(file);
  std::ofstream(kShots + "/designer-saved.form", std::ios::binary) << saved;  // to look at
  Window->NewFile();
  Settle();
  EXPECT_EQ(Designer().Form()->FindComponent("Button1"), nullptr);
  ASSERT_TRUE(Window->OpenFile(file)) << Window->StatusText();
  Settle();
  EXPECT_EQ(Designer().SaveToText(), saved) << "reopened as saved";
  auto* reopened = dynamic_cast<TButton*>(Designer().Form()->FindComponent("Button1"));
  ASSERT_NE(reopened, nullptr);
  EXPECT_EQ(reopened->Parent()->ClassName(), "TSinglePane");
  const std::string expected = ReadAll(CW_SOURCE_DIR "/tests/data/designer/Tessaline.form");
  EXPECT_EQ(saved, expected);
  std::filesystem::remove(file);
}

// Every component of the package on one form of the example's class, for the screenshots:
// the form (the grab handler as its icon), the main window, the inspector with the list of
// a button's OnClick open, and the preview.
TEST_F(DesignerQtTest, EveryRegisteredComponentOnOneForm) {
  Designer().LoadFromText(
      "object AppForm: TAppForm\n  Left = 360\n  Top = 40\n"
      "  Width = 760\n  Height = 520\nend\n");
  Window->ShowAll();
  TCustomForm* form = Designer().Form();
  Settle();
  int x = 10, y = 10;
  TComponent* button = nullptr;
  for (const TPaletteEntry& e : PaletteEntries()) {
    if (e.Page != "Tessaline" && e.Class->ClassName() != "TButton" &&
        e.Class->ClassName() != "TLabel" && e.Class->ClassName() != "TEdit")
      continue;
    TComponent* c = Place(e.Page, e.Class->ClassName(), *form, x, y);
    ASSERT_NE(c, nullptr) << e.Class->ClassName();
    if (e.Class->ClassName() == "TButton") button = c;
    if (auto* control = dynamic_cast<TControl*>(c)) {
      if (e.Page == "Tessaline") control->SetBounds(x, y, 220, 150);
      x += control->Width() + 12;
      if (x > 480) {
        x = 10;
        y += 170;
      }
    } else {
      EXPECT_NE(Designer().IconOf(c), nullptr) << e.Class->ClassName() << " shows as an icon";
      Designer().MoveIcon(c, 690, 440);  // out of the controls' way
    }
    Designer().UpdateGrips();
  }
  ASSERT_NE(button, nullptr);
  Settle();
  Shoot(*form, "designer-every-component.png");
  Shoot(*Window, "designer-main.png");
  // The inspector on the button's events, with the list of OnClick open.
  Designer().SelectComponent(button);
  Window->Inspector().ShowEvents(true);
  TInspector::TRow* onClick = Window->Inspector().ShowRow("OnClick");
  ASSERT_NE(onClick, nullptr);
  ASSERT_NE(onClick->Button, nullptr) << "TAppForm publishes handlers that fit";
  Settle();
  ClickCentre(*onClick->Button);
  QMenu* list = Ws().OpenMenu();
  ASSERT_NE(list, nullptr) << "the list is open";
  QStringList offered;
  for (QAction* a : list->actions()) offered << a->text();
  EXPECT_EQ(offered.join(","), "(none),ShowPaneClick,QuitClick");
  Shoot(Window->Inspector(), "designer-inspector.png");
  EXPECT_TRUE(list->grab().save(QString::fromStdString(kShots + "/designer-event-list.png")));
  list->close();
  Settle();
  Window->Preview();
  Settle();
  ASSERT_NE(Window->PreviewForm(), nullptr) << Window->StatusText();
  EXPECT_FALSE(Window->PreviewForm()->IsDesigning());
  Shoot(*Window->PreviewForm(), "designer-preview.png");
}

// The example application's form (examples/installed-app/AppForm.form), laid out here with
// the designer's own commands on a form of the application's class, TAppForm, which the
// designer knows from the example's package. The file checked in is what the designer
// saved, byte for byte, and reopening and saving it gives the same bytes. With
// CW_UPDATE_APP_FORM=1 in the environment the file is written instead of compared.
TEST_F(DesignerQtTest, TheExampleApplicationsFormIsOneTheDesignerWrote) {
  ASSERT_NE(GetClass("TAppForm"), nullptr) << "registered by the package";
  const std::string file = CW_SOURCE_DIR "/examples/installed-app/AppForm.form";
  TFormDesigner& d = Designer();
  TInspector& inspector = Window->Inspector();
  d.LoadFromText("object AppForm: TAppForm\nend\n");
  TCustomForm* form = d.Form();
  // Every value goes in through the inspector's rows, as typed.
  auto set = [&](TComponent* c, const std::string& row, const std::string& value) {
    d.SelectComponent(c);
    inspector.ShowEvents(row.rfind("On", 0) == 0);
    TInspector::TRow* r = inspector.ShowRow(row);
    ASSERT_NE(r, nullptr) << row;
    EXPECT_TRUE(inspector.Commit(*r, value)) << inspector.Status()->Caption();
  };
  auto place = [&](const char* cls, TWinControl* container, TRect bounds) {
    TComponent* c = d.PlaceComponent(*GetClass(cls), container, bounds);
    EXPECT_NE(c, nullptr) << cls;
    return c;
  };
  for (auto [row, value] : {std::pair{"Caption", "Installed application"},
                            {"Left", "120"},
                            {"Top", "100"},
                            {"Width", "440"},
                            {"Height", "320"}})
    set(form, row, value);

  auto* panes = dynamic_cast<TWinControl*>(place("TMultiPane", form, Bounds(10, 10, 410, 200)));
  ASSERT_NE(panes, nullptr);
  d.ExecuteVerb(0);  // "New Pane"
  std::vector<TWinControl*> pages;
  for (int i = 0; i < panes->ControlCount(); ++i)
    if (auto* page = dynamic_cast<TWinControl*>(panes->Controls(i)))
      if (page->ClassName() == "TSinglePane") pages.push_back(page);
  ASSERT_EQ(pages.size(), 2u);
  const char* colours[] = {"clInfoBk", "clAqua"};
  const char* captions[] = {"The first pane", "The second pane"};
  for (size_t i = 0; i < pages.size(); ++i) {
    set(pages[i], "Color", colours[i]);
    // Labels of a fixed size, so that the text does not depend on the fonts installed.
    TComponent* label = place("TLabel", pages[i], Bounds(16, 16, 0, 0));
    set(label, "AutoSize", "False");
    set(label, "Caption", captions[i]);
    set(label, "Width", "200");
    set(label, "Height", "16");
  }
  set(panes, "TopPaneIndex", "0");
  struct TButtonRow {
    const char* Caption;
    const char* Tag;
    const char* Handler;
  };
  int x = 10;
  for (const TButtonRow& b :
       {TButtonRow{"First", "0", "ShowPaneClick"}, TButtonRow{"Second", "1", "ShowPaneClick"},
        TButtonRow{"Quit", "0", "QuitClick"}}) {
    TComponent* button = place("TButton", form, Bounds(x, 220, 0, 0));
    x += 90;
    set(button, "Caption", b.Caption);
    set(button, "Tag", b.Tag);
    // The handler is one the event's list offers.
    set(button, "OnClick", "");
    TInspector::TRow* onClick = inspector.ShowRow("OnClick");
    ASSERT_NE(onClick, nullptr);
    EXPECT_EQ(onClick->Editor->GetValues(),
              (std::vector<std::string>{"ShowPaneClick", "QuitClick"}));
    set(button, "OnClick", b.Handler);
  }
  TComponent* status = place("TLabel", form, Bounds(10, 260, 0, 0));
  set(status, "Name", "StatusLabel");
  set(status, "AutoSize", "False");
  set(status, "Caption", "Pane 1 in front");
  set(status, "Width", "300");
  set(status, "Height", "16");
  d.SelectComponent(form);
  Settle();
  Shoot(*form, "designer-appform.png");

  const std::string text = d.SaveToText();
  if (std::getenv("CW_UPDATE_APP_FORM")) std::ofstream(file, std::ios::binary) << text;
  EXPECT_EQ(ReadAll(file), text);
  // The checked-in file reads back to the same bytes.
  ASSERT_TRUE(Window->OpenFile(file)) << Window->StatusText();
  EXPECT_EQ(d.SaveToText(), ReadAll(file));
  EXPECT_EQ(d.Form()->StreamedClassName(), "TAppForm");
}

}  // namespace
}  // namespace tessapack::designer::test
