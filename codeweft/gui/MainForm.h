// TForm1, Codeweft's main window: the four inputs of a run (project file, build location,
// help compiler, conditional defines), the "Process" button that runs the core's run
// driver, the progress and status of the run, and the symbol table in a grid. The form is
// loaded from its form text, compiled into the program as the resource TFORM1.
//
// After a run, "Open in browser" opens the run's index.html; the check box "Keep going" lets
// a run skip units whose files cannot be read. The window's place and size are kept with the
// inputs, and the grid's columns share its width as the window is resized.
//
// The window is the run's reporter: a status or progress report is sent to the window
// itself as WM_RUNSTATUS or WM_RUNPROGRESS (handled by WndProc before the report returns),
// then the application processes its pending messages so the window repaints mid-run.
#pragma once

#include <functional>
#include <string>

#include "codeweft/core/RunReporter.h"
#include "codeweft/core/RunState.h"
#include "framework/controls/ComCtrls.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/FormStorage.h"
#include "framework/controls/Forms.h"
#include "framework/controls/Grids.h"
#include "framework/controls/StdCtrls.h"
#include "framework/controls/ToolEdits.h"

namespace codeweft {

// The two run messages of the main window; the numbers are fixed.
inline constexpr uint32_t WM_RUNPROGRESS = 8025;  // WParam: steps done, LParam: steps in all
inline constexpr uint32_t WM_RUNSTATUS = 8026;    // shows StatusText in the status bar

// The window's caption and the grid's header row.
inline constexpr const char* MainCaption = "Codeweft - Beta 1";
inline constexpr const char* GridHeaders = "Unit/Location|Class|Identifier|Type";

class TForm1 : public framework::TForm, public TRunReporter {
  FW_CLASS(TForm1, framework::TForm)
 public:
  // Loads the form from its resource; registers the resource and the framework's classes
  // first if the program has not.
  explicit TForm1(framework::TComponent* owner);
  ~TForm1() override;

  // Controls, in the order the form declares them (set by the form reader).
  framework::TPanel* Panel1 = nullptr;
  framework::TPanel* Panel2 = nullptr;
  framework::TFilenameEdit* feProject = nullptr;
  framework::TButton* Button1 = nullptr;
  framework::TStringGrid* ngSymtab = nullptr;
  framework::TLabel* Label2 = nullptr;
  framework::TDirectoryEdit* deBuildLocation = nullptr;
  framework::TLabel* Label3 = nullptr;
  framework::TFormStorage* FormStorage1 = nullptr;
  framework::TFilenameEdit* feHCRTF = nullptr;
  framework::TLabel* Label4 = nullptr;
  framework::TPanel* Panel3 = nullptr;
  framework::TStatusBar* SB = nullptr;
  framework::TPanel* Panel4 = nullptr;
  framework::TProgressBar* pg = nullptr;
  framework::TEdit* edtDefines = nullptr;
  framework::TLabel* Label5 = nullptr;
  framework::TLabel* lbSymbol = nullptr;
  framework::TLabel* Label1 = nullptr;
  framework::TCheckBox* chkKeepGoing = nullptr;
  framework::TButton* btnBrowser = nullptr;

  // Event handlers (published: the form text binds them by name).
  void Button1Click(framework::TObject* sender);
  void FormCreate(framework::TObject* sender);
  void deBuildLocationBeforeDialog(framework::TObject* sender, std::string& name, bool& action);
  void feProjectChange(framework::TObject* sender);
  void deBuildLocationChange(framework::TObject* sender);
  void btnBrowserClick(framework::TObject* sender);
  // The grid was resized: its columns are scaled to fill its width.
  void ngSymtabResize(framework::TObject* sender);

  // Opens a file in the user's browser; returns 0 when it was started, else the system error
  // number. The default starts xdg-open; tests put their own here.
  using TOpener = std::function<int(const std::string& file)>;
  TOpener Opener;
  // The index.html of the last completed run ("" before one or after a failed run).
  const std::string& LastIndex() const { return FLastIndex; }
  // The build folder a run of the current inputs writes to: the build location's text with
  // a backslash as separator, a relative one taken from the project's folder. "" when the
  // text is empty.
  std::string RunBuildDir() const;

  void WndProc(framework::TMessage& message) override;

  // The run state: the program-lifetime part (scanner, defines) and the last run's part.
  // ProjectFile and BuildDir are kept up to date by the change handlers.
  TRunState& State() { return FState; }
  const std::string& ProjectFile() const { return FState.Paths.ProjectFile; }
  const std::string& BuildDir() const { return FState.Paths.BuildDir; }

  // TRunReporter: the run's reports reach the window through its two messages.
  void ReportStatus(const std::string& text) override;
  void ReportProgress(int total, int done) override;
  void ReportWarning(const std::string& message) override;
  void ReportError(const std::string& message) override;
  // Shown in the status bar until the next status; the run goes on.
  void ReportSourceWarning(const std::string& file, int line, const std::string& message) override;

 private:
  void FillGrid(const std::vector<std::array<std::string, 4>>& rows);
  // After a failed run: the status bar and progress bar show no stale step.
  void ResetRunDisplay();
  TRunState FState;
  std::string FLastIndex;
  int FWarnings = 0;          // source warnings of the run going on or last made
  std::string FLastWarning;   // the last of them, "file(line): text"
  int FGridRoom = 0;               // the grid's width beside its columns, kept as it is resized
  std::vector<double> FColShares;  // each column's share of the rest
  std::vector<int> FFittedWidths;  // the widths the last fit gave (others: the user's)
};

// Registers the form texts compiled into the program (idempotent).
void RegisterGuiResources();

}  // namespace codeweft
