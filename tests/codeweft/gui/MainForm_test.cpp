// The main window on the headless widgetset: its form, its handlers, the two run messages,
// whole runs of the bundled example, a failed run, the help compiler's start failure and
// the inputs kept between starts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "codeweft/gui/MainForm.h"
#include "framework/classes/IniFiles.h"
#include "framework/widgetset/headless/HeadlessWidgetSet.h"
#include "tests/codeweft/core/TempDir.h"

namespace codeweft {
namespace {

using namespace framework;
namespace fs = std::filesystem;

const std::string kExample = std::string(CW_SOURCE_DIR) + "/examples/Demo.dpr";

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FOldDir = fs::current_path();
    SetWidgetset(nullptr);  // a fresh headless widgetset for every test
    Application().Reset();
    Application().OnException = nullptr;
    setenv("XDG_CONFIG_HOME", (FConfig.Path() / "config").c_str(), 1);
    Form = NewForm();
  }
  void TearDown() override {
    delete Form;
    Application().Reset();
    fs::current_path(FOldDir);
    unsetenv("XDG_CONFIG_HOME");
  }
  static TForm1* NewForm() {
    auto* f = new TForm1(nullptr);
    f->AfterConstruction();
    return f;
  }
  THeadlessWidgetSet& Ws() { return *Headless(); }
  std::string IniFile() const { return (FConfig.Path() / "config/codeweft/codeweft.ini").string(); }

  test::TTempDir FConfig;
  test::TTempDir Out;
  TForm1* Form = nullptr;

 private:
  fs::path FOldDir;
};

TEST_F(MainFormTest, FormTextGivesTheWindowItsControlsAndSettings) {
  EXPECT_EQ(Form->Caption(), "Codeweft - Beta 1");
  EXPECT_EQ(Form->BoundsRect(), Bounds(322, 187, 546, 433));
  EXPECT_EQ(Form->Font().Name(), "MS Sans Serif");
  EXPECT_EQ(Form->Font().Size(), 8);
  EXPECT_EQ(Form->feProject->Filter, "Delphi Project (*.dpr)|*.dpr");
  EXPECT_EQ(Form->feHCRTF->Filter, "HCRTF.EXE|hcrtf.exe");
  EXPECT_EQ(Form->feProject->DialogOptions, (TOpenOptions{ofHideReadOnly, ofPathMustExist, ofFileMustExist}));
  EXPECT_TRUE(Form->deBuildLocation->AcceptFiles());
  EXPECT_EQ(Form->deBuildLocation->DialogKind, dkSystem);
  EXPECT_TRUE(Form->deBuildLocation->DialogOptions.Contains(sdPerformCreate));
  // Tab order: project, Process, build location, help compiler, defines.
  EXPECT_EQ(Form->feProject->TabOrder(), 0);
  EXPECT_EQ(Form->Button1->TabOrder(), 1);
  EXPECT_EQ(Form->deBuildLocation->TabOrder(), 2);
  EXPECT_EQ(Form->feHCRTF->TabOrder(), 3);
  EXPECT_EQ(Form->edtDefines->TabOrder(), 4);
  EXPECT_EQ(Form->Button1->Caption(), "Process");
  EXPECT_EQ(Form->Button1->BoundsRect(), Bounds(456, 88, 75, 21));
  EXPECT_EQ(Form->edtDefines->BoundsRect(), Bounds(96, 88, 345, 21));
  EXPECT_EQ(Form->Panel2->Height(), 137);
  EXPECT_EQ(Form->Panel2->BevelOuter(), bvNone);
  EXPECT_EQ(Form->Panel4->BevelInner(), bvLowered);
  EXPECT_EQ(Form->Panel4->Width(), 120);
  EXPECT_EQ(Form->Panel3->Height(), 21);
  // The labels; the symbol count's label keeps its right edge at 93.
  EXPECT_EQ(Form->Label5->Caption(), "Conditional Defines");
  EXPECT_EQ(Form->Label1->Caption(), "Symbols scanned");
  EXPECT_EQ(Form->lbSymbol->Left() + Form->lbSymbol->Width(), 93);
  Form->lbSymbol->SetCaption("123");
  EXPECT_EQ(Form->lbSymbol->Left() + Form->lbSymbol->Width(), 93);
  EXPECT_GT(Form->lbSymbol->Width(), 0);
  // The progress and status bars.
  EXPECT_EQ(Form->pg->Max(), 100);
  EXPECT_EQ(Form->pg->Step(), 1);
  EXPECT_TRUE(Form->SB->SimplePanel());
  ASSERT_EQ(Form->SB->Panels()->Count(), 1);
  EXPECT_EQ(Form->SB->Panel(0)->Width(), 50);
  // The storage keeps the four texts, the check box and the window's place and size.
  EXPECT_EQ(Form->FormStorage1->StoredProps()->Count(), 5);
  EXPECT_EQ(Form->FormStorage1->Options, TPlacementOptions{fpPosition});
  // The check box and the browser button below the inputs; the button waits for a run.
  EXPECT_EQ(Form->chkKeepGoing->Caption(), "Keep going");
  EXPECT_FALSE(Form->chkKeepGoing->Checked());
  EXPECT_EQ(Form->btnBrowser->Caption(), "Open in browser");
  EXPECT_FALSE(Form->btnBrowser->Enabled());
  EXPECT_EQ(Form->btnBrowser->BoundsRect(), Bounds(431, 112, 100, 21));
}

TEST_F(MainFormTest, GridHasItsHeaderColumnsColoursAndReadOnlyCells) {
  TStringGrid& g = *Form->ngSymtab;
  EXPECT_EQ(g.Align(), alClient);
  ASSERT_EQ(g.ColCount(), 4);
  EXPECT_EQ(g.RowCount(), 20);
  EXPECT_EQ(g.Headers(), "Unit/Location|Class|Identifier|Type");
  EXPECT_EQ(g.Cells(3, 0), "Type");
  EXPECT_EQ(g.ColWidths(0), 146);
  EXPECT_EQ(g.ColWidths(1), 132);
  EXPECT_EQ(g.ColWidths(2), 121);
  EXPECT_EQ(g.ColWidths(3), 116);
  EXPECT_EQ(g.CellColor(0, 0), RGB(255, 255, 225));
  EXPECT_EQ(g.CellColor(1, 1), g.Color());
  EXPECT_EQ(g.CellColor(1, 2), RGB(192, 220, 192));
  EXPECT_EQ(g.CellColor(1, 3), g.Color());
  EXPECT_TRUE(g.Options().Contains(goColSizing));
  EXPECT_TRUE(g.Options().Contains(goTabs));
  EXPECT_FALSE(g.Options().Contains(goEditing));
  // FormCreate made every column read-only.
  for (int c = 0; c < 4; ++c) EXPECT_TRUE(g.ColReadOnly(c)) << c;
  // The grid fills the space between the inputs and the bars.
  Form->Show();
  EXPECT_EQ(Form->Panel1->Top(), 137);
  EXPECT_EQ(g.Height() + Form->Panel3->Height(), Form->Panel1->Height());
}

TEST_F(MainFormTest, ProgressMessagePutsTheBarAtDoneTimesHundredDivTotal) {
  SendMessage(Form, WM_RUNPROGRESS, 2, 4);
  EXPECT_EQ(Form->pg->Position(), 50);
  SendMessage(Form, WM_RUNPROGRESS, 1, 3);
  EXPECT_EQ(Form->pg->Position(), 33);
  SendMessage(Form, WM_RUNPROGRESS, 4, 4);
  EXPECT_EQ(Form->pg->Position(), 100);
  SendMessage(Form, WM_RUNPROGRESS, 3, 0);
  EXPECT_EQ(Form->pg->Position(), 0);
  SendMessage(Form, WM_RUNPROGRESS, 1, 2);
  SendMessage(Form, WM_RUNPROGRESS, 1, -5);
  EXPECT_EQ(Form->pg->Position(), 0);
}

TEST_F(MainFormTest, StatusMessageShowsTheStatusTextAndReportsSendIt) {
  Form->State().StatusText = "Building Symbol Table ...";
  SendMessage(Form, WM_RUNSTATUS);
  EXPECT_EQ(Form->SB->SimpleText(), "Building Symbol Table ...");
  Form->ReportStatus("Generating RTF and HTML ...");
  EXPECT_EQ(Form->State().StatusText, "Generating RTF and HTML ...");
  EXPECT_EQ(Form->SB->SimpleText(), "Generating RTF and HTML ...");
  Form->ReportProgress(3, 1);
  EXPECT_EQ(Form->pg->Position(), 33);
  // Other messages reach the inherited window procedure.
  Form->Show();
  EXPECT_EQ(SendMessage(Form, WM_ERASEBKGND), 1);
}

TEST_F(MainFormTest, BuildDirIsTheTextFollowedByTheSeparator) {
  Form->deBuildLocation->SetText("/tmp/out");
  EXPECT_EQ(Form->BuildDir(), "/tmp/out/");
  Form->deBuildLocation->SetText("/tmp/out/");
  EXPECT_EQ(Form->BuildDir(), "/tmp/out//");
}

TEST_F(MainFormTest, ProjectFileFollowsTheProjectEditAndTheHelpCompilerEdit) {
  Form->feProject->SetText("Demo");
  EXPECT_EQ(Form->ProjectFile(), "Demo.dpr");
  Form->feProject->SetText("/src/Demo.pas");
  EXPECT_EQ(Form->ProjectFile(), "/src/Demo.dpr");
  // Editing the help compiler's path refreshes ProjectFile from the project edit.
  Form->State().Paths.ProjectFile = "stale";
  Form->feHCRTF->SetText("/opt/hc/hcrtf");
  EXPECT_EQ(Form->ProjectFile(), "/src/Demo.dpr");
}

TEST_F(MainFormTest, FolderDialogOpensAtTheCurrentDirectoryAndMayCreateTheFolder) {
  const std::string made = (Out.Path() / "new" / "folder").string();
  Ws().PushDirectoryAnswer(made);
  Ws().PushMessageAnswer(mrYes);  // "Create it?"
  Form->deBuildLocation->ButtonClick();
  EXPECT_EQ(Ws().LastDirectoryRequest().Directory, fs::current_path().string());
  EXPECT_TRUE(Ws().LastDirectoryRequest().AllowCreate);
  EXPECT_TRUE(fs::is_directory(made));
  EXPECT_EQ(Form->deBuildLocation->Text(), made);
  EXPECT_EQ(Form->BuildDir(), made + "/");

  // Declining leaves the folder uncreated and the text as it was.
  const std::string declined = (Out.Path() / "declined").string();
  Ws().PushDirectoryAnswer(declined);
  Ws().PushMessageAnswer(mrNo);
  Form->deBuildLocation->ButtonClick();
  EXPECT_FALSE(fs::exists(declined));
  EXPECT_EQ(Form->deBuildLocation->Text(), made);
}

TEST_F(MainFormTest, FileDialogOfTheProjectEditUsesItsFilterAndSetsProjectFile) {
  Ws().PushFileAnswer(kExample);
  Form->feProject->ButtonClick();
  EXPECT_EQ(Ws().LastFileRequest().Filter, "Delphi Project (*.dpr)|*.dpr");
  EXPECT_TRUE(Ws().LastFileRequest().MustExist);
  EXPECT_EQ(Form->ProjectFile(), kExample);
}

TEST_F(MainFormTest, RunOfTheBundledExampleFillsTheGridAndShowsCountAndTime) {
  Form->Show();
  Form->feProject->SetText(kExample);
  Form->deBuildLocation->SetText(Out.Path().string());
  Form->Button1->Click();

  TStringGrid& g = *Form->ngSymtab;
  const int rows = g.RowCount() - 1;
  EXPECT_GT(rows, 10);
  EXPECT_EQ(Form->lbSymbol->Caption(), std::to_string(rows));
  EXPECT_EQ(g.Headers(), "Unit/Location|Class|Identifier|Type");
  EXPECT_EQ(g.FixedRows(), 1);
  // Units in sorted order, each row filling only its own columns.
  EXPECT_EQ(g.Cells(0, 1), "Geometry:Geometry.pas");
  EXPECT_EQ(g.Cells(1, 1), "");
  int unitRows = 0, classRows = 0;
  bool tools = false;
  for (int r = 1; r <= rows; ++r) {
    if (!g.Cells(0, r).empty()) {
      ++unitRows;
      tools = tools || g.Cells(0, r) == "Tools:lib\\Tools.pas";
      EXPECT_EQ(g.Cells(2, r), "");
    }
    if (!g.Cells(1, r).empty()) {
      ++classRows;
      EXPECT_EQ(g.Cells(2, r), "");
    }
    if (!g.Cells(2, r).empty()) {
      EXPECT_FALSE(g.Cells(3, r).empty()) << "row " << r;
    }
  }
  EXPECT_EQ(unitRows, 3);
  EXPECT_TRUE(tools);
  EXPECT_GT(classRows, 0);

  EXPECT_EQ(Form->SB->SimpleText().rfind("Time Taken: ", 0), 0u) << Form->SB->SimpleText();
  EXPECT_EQ(Form->SB->SimpleText().size(), std::string("Time Taken: 00:00:00").size());
  EXPECT_EQ(Form->SB->Panel(0)->Text(), "Processing ...");
  EXPECT_EQ(Form->pg->Position(), 0);  // the help phase ends with 0 of 4
  EXPECT_TRUE(Form->Button1->Enabled());
  EXPECT_TRUE(fs::exists(Out.Path() / "index.html"));
  EXPECT_TRUE(fs::exists(Out.Path() / "Shapes.html"));
  EXPECT_TRUE(Ws().DialogLog().empty());
  // The project's folder is current after the run.
  EXPECT_EQ(fs::current_path(), fs::path(kExample).parent_path());

  // A second run shows the same table, not twice as many rows.
  Form->Button1->Click();
  EXPECT_EQ(g.RowCount() - 1, rows);
}

TEST_F(MainFormTest, ProjectWithoutUnitsLeavesOnlyTheHeaderAndCountsZero) {
  const std::string project = Out.Write("Empty.dpr", "program Empty;\nuses SysUtils;\nbegin\nend.\n");
  Form->Show();
  Form->feProject->SetText(project);
  Form->deBuildLocation->SetText(Out.Path().string());
  Form->Button1->Click();
  EXPECT_EQ(Form->ngSymtab->RowCount(), 1);
  EXPECT_EQ(Form->ngSymtab->Cells(0, 0), "Unit/Location");
  EXPECT_EQ(Form->lbSymbol->Caption(), "0");
  EXPECT_EQ(Form->pg->Position(), 0);

  // Rows come back with the header fixed again.
  Form->feProject->SetText(kExample);
  Form->Button1->Click();
  EXPECT_EQ(Form->ngSymtab->FixedRows(), 1);
  EXPECT_EQ(Form->ngSymtab->CellColor(0, 0), RGB(255, 255, 225));
}

TEST_F(MainFormTest, FailedRunReportsTheErrorClosesFilesAndReenablesProcess) {
  const std::string project =
      Out.Write("Broken.dpr", "program Broken;\nuses Gone in 'Gone.pas';\nbegin\nend.\n");
  Form->Show();
  Form->feProject->SetText(project);
  Form->deBuildLocation->SetText(Out.Path().string());
  Form->Button1->Click();

  ASSERT_EQ(Ws().DialogLog().size(), 1u);
  const std::string& shown = Ws().DialogLog()[0];
  EXPECT_NE(shown.find("MessageDlg: "), std::string::npos);
  EXPECT_NE(shown.find("Gone.pas"), std::string::npos) << shown;
  EXPECT_TRUE(Form->Button1->Enabled());
  // The project's listing was finished before the unit failed.
  const std::string listing = test::ReadBytes((Out.Path() / "Broken.html").string());
  EXPECT_NE(listing.find("</BODY></HTML>"), std::string::npos);

  // The status bar no longer shows the step the run stopped in.
  EXPECT_EQ(Form->SB->SimpleText(), "");
  EXPECT_EQ(Form->pg->Position(), 0);
  EXPECT_FALSE(Form->btnBrowser->Enabled());

  // A build location that cannot be made: a file stands where a folder should be.
  Out.Write("file", "x");
  Form->feProject->SetText(kExample);
  Form->deBuildLocation->SetText((Out.Path() / "file" / "deeper").string());
  Form->Button1->Click();
  ASSERT_EQ(Ws().DialogLog().size(), 2u);
  EXPECT_NE(Ws().DialogLog()[1].find("Cannot create folder \"" +
                                     (Out.Path() / "file/deeper").string() + "\": Not a directory"),
            std::string::npos)
      << Ws().DialogLog()[1];
  EXPECT_TRUE(Form->Button1->Enabled());
  // The window stays usable: the next run completes.
  Form->deBuildLocation->SetText(Out.Path().string());
  Form->Button1->Click();
  EXPECT_EQ(Ws().DialogLog().size(), 2u);
  EXPECT_EQ(Form->SB->SimpleText().rfind("Time Taken: ", 0), 0u);
  EXPECT_GT(Form->ngSymtab->RowCount(), 2);
}

TEST_F(MainFormTest, HelpCompilerThatCannotStartShowsTheWarningAndTheRunGoesOn) {
  Form->Show();
  Form->feProject->SetText(kExample);
  Form->deBuildLocation->SetText(Out.Path().string());
  Form->feHCRTF->SetText((Out.Path() / "no-such-hcrtf").string());
  Form->Button1->Click();
  ASSERT_EQ(Ws().DialogLog().size(), 1u);
  EXPECT_EQ(Ws().DialogLog()[0], "MessageDlg: Failed to compile Help Project\nPlease Compile manually\n"
                                 "Cannot start \"" + (Out.Path() / "no-such-hcrtf").string() +
                                     "\": No such file or directory");
  EXPECT_TRUE(fs::exists(Out.Path() / "content.html"));
  EXPECT_EQ(Form->SB->SimpleText().rfind("Time Taken: ", 0), 0u);
}

TEST_F(MainFormTest, InputsAreSavedOnCloseAndRestoredOnOpen) {
  Form->Show();
  Form->feProject->SetText("/src/Demo.dpr");
  Form->deBuildLocation->SetText("/tmp/site");
  Form->feHCRTF->SetText("/opt/hc/hcrtf.exe");
  Form->edtDefines->SetText("DEBUG;TRACE");
  Form->chkKeepGoing->SetChecked(true);
  Form->Close();
  ASSERT_TRUE(fs::exists(IniFile()));
  TIniFile ini(IniFile());
  EXPECT_EQ(ini.ReadString("TForm1", "edtDefines.Text", ""), "DEBUG;TRACE");
  delete Form;

  Form = NewForm();
  EXPECT_EQ(Form->feProject->Text(), "");
  Form->Show();
  EXPECT_EQ(Form->feProject->Text(), "/src/Demo.dpr");
  EXPECT_EQ(Form->deBuildLocation->Text(), "/tmp/site");
  EXPECT_EQ(Form->feHCRTF->Text(), "/opt/hc/hcrtf.exe");
  EXPECT_EQ(Form->edtDefines->Text(), "DEBUG;TRACE");
  EXPECT_TRUE(Form->chkKeepGoing->Checked());
  // The change handlers ran for the restored texts.
  EXPECT_EQ(Form->ProjectFile(), "/src/Demo.dpr");
  EXPECT_EQ(Form->BuildDir(), "/tmp/site/");
}

// Where each build location text leads a run of /src/app/Demo.dpr: an absolute one as it
// stands, a relative one inside the project's folder, backslashes as separators.
TEST_F(MainFormTest, ARelativeBuildLocationBelongsToTheProjectsFolder) {
  struct TCase {
    std::string Text, Dir;
  };
  const std::vector<TCase> cases = {{"/tmp/site", "/tmp/site"},
                                    {"html", "/src/app/html"},
                                    {"..\\doc\\html", "/src/doc/html"},
                                    {"./out/", "/src/app/out/"},
                                    {"", ""}};
  Form->feProject->SetText("/src/app/Demo.dpr");
  for (const TCase& c : cases) {
    Form->deBuildLocation->SetText(c.Text);
    EXPECT_EQ(Form->RunBuildDir(), c.Dir) << c.Text;
  }
}

TEST_F(MainFormTest, AMissingBuildLocationIsMadeAndTheBrowserOpensTheRunsIndex) {
  const std::string project = Out.Write("Demo.dpr", test::ReadBytes(kExample));
  fs::copy(fs::path(kExample).parent_path(), Out.Path(),
           fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  std::vector<std::string> opened;
  Form->Opener = [&](const std::string& file) {
    opened.push_back(file);
    return 0;
  };
  Form->Show();
  Form->feProject->SetText(project);
  Form->deBuildLocation->SetText("site\\html");
  Form->Button1->Click();
  ASSERT_TRUE(Ws().DialogLog().empty()) << Ws().DialogLog()[0];
  const std::string index = (Out.Path() / "site/html/index.html").string();
  EXPECT_TRUE(fs::exists(index));
  EXPECT_EQ(Form->LastIndex(), index);
  ASSERT_TRUE(Form->btnBrowser->Enabled());
  Form->btnBrowser->Click();
  EXPECT_EQ(opened, std::vector<std::string>{index});

  // An opener that cannot start, or a page removed since the run: a warning names the file.
  Form->Opener = [](const std::string&) { return ENOENT; };
  Form->btnBrowser->Click();
  fs::remove(index);
  Form->Opener = [&](const std::string& file) {
    opened.push_back(file);
    return 0;
  };
  Form->btnBrowser->Click();
  ASSERT_EQ(Ws().DialogLog().size(), 2u);
  for (const std::string& shown : Ws().DialogLog())
    EXPECT_EQ(shown,
              "MessageDlg: Cannot open \"" + index + "\" in a browser: No such file or directory");
  EXPECT_EQ(opened.size(), 1u);
}

TEST_F(MainFormTest, KeepGoingSkipsAMissingUnitAndShowsTheWarningInTheStatusBar) {
  const std::string project =
      Out.Write("P.dpr", "program P;\nuses A in 'A.pas', Gone in 'Gone.pas';\nbegin\nend.\n");
  Out.Write("A.pas",
            "unit A;\ninterface\nprocedure X;\nimplementation\nprocedure X; begin end;\nend.\n");
  std::vector<std::string> statuses;
  Form->Show();
  Form->feProject->SetText(project);
  Form->deBuildLocation->SetText("out");
  Form->chkKeepGoing->Click();
  EXPECT_TRUE(Form->chkKeepGoing->Checked());
  Form->Button1->Click();
  EXPECT_TRUE(Ws().DialogLog().empty());
  EXPECT_TRUE(fs::exists(Out.Path() / "out/A.html"));
  EXPECT_FALSE(fs::exists(Out.Path() / "out/Gone.html"));
  EXPECT_EQ(Form->ngSymtab->Cells(0, 1), "A:A.pas");
  EXPECT_EQ(Form->ngSymtab->RowCount(), 3);
  // The warning stays in the status bar beside the time taken.
  const std::string status = Form->SB->SimpleText();
  EXPECT_EQ(status.rfind("Time Taken: ", 0), 0u) << status;
  EXPECT_NE(status.find(" - 1 warning: " + project + "(2): unit Gone skipped: Cannot open file "
                        "\"Gone.pas\": No such file or directory"),
            std::string::npos)
      << status;

  // Unchecked, the same project fails on the missing unit.
  Form->chkKeepGoing->Click();
  Form->Button1->Click();
  ASSERT_EQ(Ws().DialogLog().size(), 1u);
  EXPECT_NE(Ws().DialogLog()[0].find("Unit Gone (P.dpr line 2)"), std::string::npos)
      << Ws().DialogLog()[0];
}

TEST_F(MainFormTest, ASourceWarningShowsInTheStatusBar) {
  Form->ReportSourceWarning("/src/P.dpr", 3, "unit Gone skipped: Cannot open file \"Gone.pas\"");
  EXPECT_EQ(Form->SB->SimpleText(),
            "Warning: /src/P.dpr(3): unit Gone skipped: Cannot open file \"Gone.pas\"");
}

// The columns keep their shares of the grid's width as the window grows and shrinks, and
// come back to the form file's widths at its size.
TEST_F(MainFormTest, GridColumnsStretchWithTheWindow) {
  Form->Show();
  TStringGrid& g = *Form->ngSymtab;
  auto widths = [&] {
    std::vector<int> w;
    for (int c = 0; c < g.ColCount(); ++c) w.push_back(g.ColWidths(c));
    return w;
  };
  auto sum = [](const std::vector<int>& w) { return w[0] + w[1] + w[2] + w[3]; };
  const std::vector<int> design = widths();
  ASSERT_EQ(design, (std::vector<int>{146, 132, 121, 116}));
  const int room = g.ClientWidth() - sum(design);
  Form->SetBounds(Form->Left(), Form->Top(), Form->Width() + 515, Form->Height());
  EXPECT_EQ(widths(), (std::vector<int>{292, 264, 242, 232}));
  Form->SetBounds(Form->Left(), Form->Top(), Form->Width() - 200, Form->Height());
  EXPECT_EQ(sum(widths()), g.ClientWidth() - room);
  Form->SetBounds(Form->Left(), Form->Top(), Form->Width() - 315, Form->Height());
  EXPECT_EQ(widths(), design);
  // A narrow window keeps every column at least a little wide.
  Form->SetBounds(Form->Left(), Form->Top(), 100, Form->Height());
  for (int w : widths()) EXPECT_GE(w, 24);
}

TEST_F(MainFormTest, PlaceAndSizeOfTheWindowAreKept) {
  Form->Show();
  Form->SetBounds(40, 50, 700, 500);
  Form->Close();
  delete Form;
  Form = NewForm();
  Form->Show();
  EXPECT_EQ(Form->BoundsRect(), Bounds(40, 50, 700, 500));
}

}  // namespace
}  // namespace codeweft
