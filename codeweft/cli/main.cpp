// codeweft [OPTION]... PROJECT.dpr -o BUILD_DIR
//
// The same run as the window's "Process" button: the project file and the
// units its uses clause names with "in" become RTF topics and HTML pages in
// BUILD_DIR, with a help project, a contents file, index.html and
// content.html. Status texts go to stderr as lines (with a progress line when
// stderr is a terminal); the path of index.html goes to stdout. The options
// and exit statuses are in CommandLine.cpp (--help prints them).
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "ProjectVersion.h"
#include "codeweft/cli/CliReporter.h"
#include "codeweft/cli/CommandLine.h"
#include "codeweft/cli/SymbolTable.h"
#include "codeweft/core/Run.h"
#include "codeweft/core/output/OutputFile.h"

using namespace codeweft;

namespace {

// The width of the terminal on descriptor fd; 80 when it does not say.
int TerminalColumns(int fd) {
  winsize size{};
  if (::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

} // namespace

int main(int argc, char **argv) {
  const TCommandLine Args = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  switch (Args.Action) {
    case TCliAction::caHelp:
      std::fputs(UsageText(), stdout);
      return ExitDone;
    case TCliAction::caVersion:
      std::printf("codeweft %s\n", CODEWEFT_VERSION);
      return ExitDone;
    case TCliAction::caError:
      std::fprintf(stderr, "codeweft: %s\nTry 'codeweft --help' for more information.\n",
                   Args.Error.c_str());
      return ExitUsage;
    case TCliAction::caRun:
      break;
  }

  const bool Terminal = ::isatty(2) != 0;
  TCliReporter Reporter(stderr, Terminal, Terminal ? TerminalColumns(2) : 80, Args.Quiet);
  TRunInputs Inputs = Args.Inputs;
  namespace fs = std::filesystem;
  std::error_code E;
  // A backslash separates folders, as in the names the run reads.
  std::replace(Inputs.BuildDir.begin(), Inputs.BuildDir.end(), '\\', '/');
  fs::create_directories(Inputs.BuildDir, E);
  if (E) {
    Reporter.ReportError("Cannot create folder \"" + Inputs.BuildDir + "\": " + E.message());
    return ExitRunFailed;
  }
  if (Inputs.HcrtfPath.empty())
    Reporter.Status("No help compiler given (--hcrtf): the help project is written, not compiled");

  RemoveTemporaryOutputsOnSignals();
  TRunState State;
  try {
    Run(State, Inputs, Reporter, [&](const TSymbolTable &Symbols, int RowCount) {
      if (Args.Symbols)
        PrintSymbolTable(stdout, GridRows(Symbols));
      Reporter.Status("Symbols scanned: " + std::to_string(RowCount));
    });
  } catch (const std::exception &) {
    return ExitRunFailed;  // Run has reported the error
  }
  std::printf("%s\n", (State.BuildDir + "index.html").c_str());
  return ExitDone;
}
