// The main window on the Qt widgetset under the offscreen platform: the stored inputs come
// back into the native edits, typing and clicking reach the framework, a run of the bundled
// example completes through the native "Process" button, and the window after the run is
// saved as <build>/screenshots/codeweft-main-window.png for a person to look at.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include <QApplication>
#include <QCheckBox>
#include <QMouseEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>

#include "codeweft/gui/MainForm.h"
#include "framework/classes/IniFiles.h"
#include "framework/widgetset/qt/QtWidgetSet.h"
#include "tests/framework/qt/QtSuite.h"
#include "tests/codeweft/core/TempDir.h"

namespace codeweft {
namespace {

using namespace framework;
namespace fs = std::filesystem;

const std::string kExample = std::string(CW_SOURCE_DIR) + "/examples/Demo.dpr";

class MainFormQtTest : public framework::test::TQtSuite {
 protected:

  void SetUp() override {
    FOldDir = fs::current_path();
    Application().Reset();
    Application().OnException = [this](const std::exception& e) { Errors.push_back(e.what()); };
    setenv("XDG_CONFIG_HOME", (FConfig.Path() / "config").c_str(), 1);
  }
  void TearDown() override {
    delete Form;
    Application().ProcessMessages();
    Application().OnException = nullptr;
    Application().Reset();
    fs::current_path(FOldDir);
    unsetenv("XDG_CONFIG_HOME");
  }
  void Open() {
    Form = new TForm1(nullptr);
    Form->AfterConstruction();
    Form->Show();
    Application().ProcessMessages();
  }
  TQtWidgetSet& Ws() { return static_cast<TQtWidgetSet&>(Widgetset()); }
  template <class W>
  W* Native(TWinControl* c) {
    return dynamic_cast<W*>(Ws().Widget(c->Handle()));
  }
  QLineEdit* LineOf(TWinControl* edit) { return Ws().Widget(edit->Handle())->findChild<QLineEdit*>(); }
  void StoreInputs(const std::string& project, const std::string& build) {
    TIniFile ini((FConfig.Path() / "config/codeweft/codeweft.ini").string());
    ini.WriteString("TForm1", "feProject.Text", project);
    ini.WriteString("TForm1", "deBuildLocation.Text", build);
    ini.WriteString("TForm1", "feHCRTF.Text", "");
    ini.WriteString("TForm1", "edtDefines.Text", "DEBUG;WIN32");
    ini.UpdateFile();
  }

  test::TTempDir FConfig;
  test::TTempDir Out;
  TForm1* Form = nullptr;
  std::vector<std::string> Errors;

 private:
  fs::path FOldDir;
};

TEST_F(MainFormQtTest, WindowOpensWithTheStoredInputsInItsNativeEdits) {
  StoreInputs(kExample, Out.Path().string());
  Open();
  QWidget* window = Ws().Widget(Form->Handle());
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), "Codeweft - Beta 1");
  EXPECT_EQ(window->width(), Form->ClientWidth());
  EXPECT_EQ(window->height(), Form->ClientHeight());
  ASSERT_NE(LineOf(Form->feProject), nullptr);
  EXPECT_EQ(LineOf(Form->feProject)->text().toStdString(), kExample);
  EXPECT_EQ(LineOf(Form->deBuildLocation)->text().toStdString(), Out.Path().string());
  EXPECT_EQ(LineOf(Form->edtDefines)->text().toStdString(), "DEBUG;WIN32");
  EXPECT_EQ(Form->ProjectFile(), kExample);
  EXPECT_EQ(Form->BuildDir(), Out.Path().string() + "/");
  // Children lie where the model puts them, inside their parents' widgets.
  QWidget* button = Ws().Widget(Form->Button1->Handle());
  EXPECT_EQ(button->geometry(), QRect(456, 88, 75, 21));
  EXPECT_EQ(static_cast<QPushButton*>(button)->text(), "Process");
  auto* grid = Native<QTableWidget>(Form->ngSymtab);
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(grid->columnCount(), 4);
  EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), "Unit/Location");
  EXPECT_EQ(grid->columnWidth(1), 132);
  EXPECT_FALSE(grid->item(0, 0)->flags() & Qt::ItemIsEditable);
}

TEST_F(MainFormQtTest, TypingResizingAndClosingReachTheFramework) {
  Open();
  // Keys typed into the native edit become the control's text and fire its handler.
  QLineEdit* line = LineOf(Form->deBuildLocation);
  line->setFocus();
  for (char ch : std::string("/tmp/x")) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(ch)));
    QCoreApplication::sendEvent(line, &press);
  }
  Application().ProcessMessages();
  EXPECT_EQ(Form->deBuildLocation->Text(), "/tmp/x");
  EXPECT_EQ(Form->BuildDir(), "/tmp/x/");

  // A model change shows in the native widget.
  Form->edtDefines->SetText("A;B");
  EXPECT_EQ(LineOf(Form->edtDefines)->text(), "A;B");

  // The user resizes the window: the model takes the size and realigns the grid.
  QWidget* window = Ws().Widget(Form->Handle());
  const int gridWidth = Form->ngSymtab->Width();
  window->resize(window->width() + 100, window->height() + 50);
  Application().ProcessMessages();
  EXPECT_EQ(Form->ClientWidth(), window->width());
  EXPECT_EQ(Form->ngSymtab->Width(), gridWidth + 100);
  EXPECT_EQ(Ws().Widget(Form->ngSymtab->Handle())->width(), gridWidth + 100);
  // The native columns stretch with it: together 100 pixels wider than the form file's.
  auto* grid = Native<QTableWidget>(Form->ngSymtab);
  int columns = 0;
  for (int c = 0; c < grid->columnCount(); ++c) columns += grid->columnWidth(c);
  EXPECT_EQ(columns, 146 + 132 + 121 + 116 + 100);

  // A click on the native check box checks the model's, once.
  auto* keepGoing = Native<QCheckBox>(Form->chkKeepGoing);
  ASSERT_NE(keepGoing, nullptr);
  EXPECT_EQ(keepGoing->text(), "Keep going");
  keepGoing->click();
  Application().ProcessMessages();
  EXPECT_TRUE(Form->chkKeepGoing->Checked());
  EXPECT_TRUE(keepGoing->isChecked());
  const QPoint middle = keepGoing->rect().center();
  QMouseEvent press(QEvent::MouseButtonPress, middle, keepGoing->mapToGlobal(middle),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, middle, keepGoing->mapToGlobal(middle),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(keepGoing, &press);
  QCoreApplication::sendEvent(keepGoing, &release);
  Application().ProcessMessages();
  EXPECT_FALSE(Form->chkKeepGoing->Checked());
  EXPECT_FALSE(keepGoing->isChecked());

  // Closing the window closes the form, which saves the inputs.
  window->close();
  Application().ProcessMessages();
  EXPECT_FALSE(Form->Visible());
  EXPECT_FALSE(window->isVisible());
  TIniFile ini((FConfig.Path() / "config/codeweft/codeweft.ini").string());
  EXPECT_EQ(ini.ReadString("TForm1", "deBuildLocation.Text", ""), "/tmp/x");
  EXPECT_EQ(ini.ReadString("TForm1", "edtDefines.Text", ""), "A;B");
  // The window's size is kept with the inputs.
  EXPECT_EQ(ini.ReadInteger("TForm1", "Width", 0), Form->Width());
}

// Tab walks the window in its stored tab order: project, Process, build location, help
// compiler, defines, the "Keep going" check box, then the symbol grid (which keeps Tab for its
// cells: goTabs); Shift+Tab walks back.
TEST_F(MainFormQtTest, TabFollowsTheStoredTabOrderInTheRealWindow) {
  Open();
  const std::vector<std::pair<std::string, TWinControl*>> controls = {
      {"feProject", Form->feProject},
      {"Button1", Form->Button1},
      {"deBuildLocation", Form->deBuildLocation},
      {"feHCRTF", Form->feHCRTF},
      {"edtDefines", Form->edtDefines},
      {"chkKeepGoing", Form->chkKeepGoing},
      {"ngSymtab", Form->ngSymtab}};
  auto focused = [&] {
    QWidget* f = QApplication::focusWidget();
    for (const auto& [name, c] : controls) {
      QWidget* w = Ws().Widget(c->Handle());
      if (f && (w == f || w->isAncestorOf(f))) return name;
    }
    return std::string("(none)");
  };
  auto key = [](int k, Qt::KeyboardModifiers mods) {
    QWidget* target = QApplication::focusWidget();
    if (!target) return;
    QKeyEvent press(QEvent::KeyPress, k, mods);
    QCoreApplication::sendEvent(target, &press);
    Application().ProcessMessages();
  };
  EXPECT_EQ(focused(), "feProject");
  std::vector<std::string> seen;
  for (int i = 0; i < 6; ++i) {
    key(Qt::Key_Tab, Qt::NoModifier);
    seen.push_back(focused());
    EXPECT_EQ(Screen().ActiveControl(), controls[i + 1].second) << "the model has the focus";
  }
  // "Open in browser" is passed over until a run has made something to open.
  EXPECT_EQ(seen, (std::vector<std::string>{"Button1", "deBuildLocation", "feHCRTF", "edtDefines",
                                            "chkKeepGoing", "ngSymtab"}));
  Form->feProject->SetFocus();
  EXPECT_EQ(focused(), "feProject");
  key(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(focused(), "ngSymtab");
}

TEST_F(MainFormQtTest, RunOfTheBundledExampleCompletesAndTheWindowIsSavedAsPng) {
  StoreInputs(kExample, Out.Path().string());
  Open();
  static_cast<QPushButton*>(Ws().Widget(Form->Button1->Handle()))->click();
  Application().ProcessMessages();
  EXPECT_TRUE(Errors.empty()) << Errors.front();
  EXPECT_TRUE(fs::exists(Out.Path() / "index.html"));
  EXPECT_TRUE(Ws().Widget(Form->Button1->Handle())->isEnabled());

  auto* grid = Native<QTableWidget>(Form->ngSymtab);
  ASSERT_NE(grid, nullptr);
  const int rows = Form->ngSymtab->RowCount() - 1;
  EXPECT_GT(rows, 10);
  EXPECT_EQ(grid->rowCount(), rows);
  EXPECT_EQ(grid->item(0, 0)->text(), "Geometry:Geometry.pas");
  EXPECT_EQ(grid->item(1, 0)->background().color(), QColor(192, 220, 192));
  EXPECT_EQ(Form->lbSymbol->Caption(), std::to_string(rows));
  auto* bar = Native<QStatusBar>(Form->SB);
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(bar->currentMessage().startsWith("Time Taken: ")) << bar->currentMessage().toStdString();
  EXPECT_EQ(Native<QProgressBar>(Form->pg)->value(), 0);

  // After a run the browser button is on; it hands index.html to the opener.
  std::vector<std::string> opened;
  Form->Opener = [&](const std::string& file) {
    opened.push_back(file);
    return 0;
  };
  QWidget* browser = Ws().Widget(Form->btnBrowser->Handle());
  EXPECT_TRUE(browser->isEnabled());
  static_cast<QPushButton*>(browser)->click();
  Application().ProcessMessages();
  EXPECT_EQ(opened, std::vector<std::string>{(Out.Path() / "index.html").string()});

  const std::string shot = std::string(CW_BINARY_DIR) + "/screenshots/codeweft-main-window.png";
  fs::remove(shot);
  ASSERT_TRUE(Ws().SaveScreenshot(Form->Handle(), shot));
  QImage image(QString::fromStdString(shot));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.width(), Form->ClientWidth());
  EXPECT_EQ(image.height(), Form->ClientHeight());
  // The grid's header row is painted in its pale yellow.
  QWidget* gridWidget = Ws().Widget(Form->ngSymtab->Handle());
  QPoint header = gridWidget->mapTo(Ws().Widget(Form->Handle()), QPoint(40, 5));
  EXPECT_EQ(image.pixelColor(header), QColor(255, 255, 225));

  // Wider by 200 pixels, the filled grid's columns share them: the last one still ends
  // where the grid's scroll bar begins.
  QWidget* window = Ws().Widget(Form->Handle());
  window->resize(window->width() + 200, window->height());
  Application().ProcessMessages();
  int columns = 0;
  for (int c = 0; c < grid->columnCount(); ++c) columns += grid->columnWidth(c);
  EXPECT_EQ(columns, 146 + 132 + 121 + 116 + 200);
  EXPECT_EQ(grid->horizontalScrollBar()->maximum(), 0) << "no horizontal scrolling";
  const std::string wide = std::string(CW_BINARY_DIR) + "/screenshots/codeweft-main-window-wide.png";
  ASSERT_TRUE(Ws().SaveScreenshot(Form->Handle(), wide));
}

}  // namespace
}  // namespace codeweft
