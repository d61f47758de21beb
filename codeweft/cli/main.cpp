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
  const TCommandLine args = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  switch (args.Action) {
    case TCliAction::caHelp:
      std::fputs(UsageText(), stdout);
      return ExitDone;
    case TCliAction::caVersion:
      std::printf("codeweft %s\n", CODEWEFT_VERSION);
      return ExitDone;
    case TCliAction::caError:
      std::fprintf(stderr, "codeweft: %s\nTry 'codeweft --help' for more information.\n",
                   args.Error.c_str());
      return ExitUsage;
    case TCliAction::caRun:
      break;
  }

  const bool terminal = ::isatty(2) != 0;
  TCliReporter reporter(stderr, terminal, terminal ? TerminalColumns(2) : 80, args.Quiet);
  TRunInputs inputs = args.Inputs;
  namespace fs = std::filesystem;
  std::error_code e;
  // A backslash separates folders, as in the names the run reads.
  std::replace(inputs.BuildDir.begin(), inputs.BuildDir.end(), '\\', '/');
  fs::create_directories(inputs.BuildDir, e);
  if (e) {
    reporter.ReportError("Cannot create folder \"" + inputs.BuildDir + "\": " + e.message());
    return ExitRunFailed;
  }
  if (inputs.HcrtfPath.empty())
    reporter.Status("No help compiler given (--hcrtf): the help project is written, not compiled");

  RemoveTemporaryOutputsOnSignals();
  TRunState state;
  try {
    Run(state, inputs, reporter, [&](const TSymbolTable &symbols, int rowCount) {
      if (args.Symbols)
        PrintSymbolTable(stdout, GridRows(symbols));
      reporter.Status("Symbols scanned: " + std::to_string(rowCount));
    });
  } catch (const std::exception &) {
    return ExitRunFailed;  // Run has reported the error
  }
  std::printf("%s\n", (state.Paths.BuildDir + "index.html").c_str());
  return ExitDone;
}
