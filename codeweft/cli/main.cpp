// codeweft PROJECT.dpr -o BUILD_DIR [--hcrtf PATH] [--defines "A;B"] [--symbols]
//
// The same run as the window's "Process" button: the project file and the
// units its uses clause names with "in" become RTF topics and HTML pages in
// BUILD_DIR, with a help project, a contents file, index.html and
// content.html. Status texts go to stderr as lines (with a progress bar when
// stderr is a terminal); the path of index.html goes to stdout. Exit status:
// 0 done, 1 a file error (the message names the file and the reason), 2 a
// wrong command line.
#include "codeweft/cli/CliReporter.h"
#include "codeweft/cli/SymbolTable.h"
#include "codeweft/core/output/OutputFile.h"
#include "codeweft/core/Run.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <unistd.h>

using namespace codeweft;

namespace {

const char *const Usage =
    "usage: codeweft PROJECT.dpr -o BUILD_DIR [--hcrtf PATH] [--defines \"A;B\"] [--symbols]\n"
    "  PROJECT.dpr      the project file: a .dpr or .lpr file is read as given,\n"
    "                   a name without extension means its .dpr file\n"    "  -o BUILD_DIR     where the listings, help project and frames are written\n"
    "                   (created when missing)\n"
    "  --hcrtf PATH     the help compiler to start on the help project\n"
    "  --defines TEXT   conditional symbols, separated by \";\"\n"
    "  --symbols        print the symbol table as a table on stdout\n";

struct TArgs {
  TRunInputs Inputs;
  bool Symbols = false;
};

// Parses the command line; prints the reason and returns false when it is wrong.
bool ParseArgs(int argc, char **argv, TArgs &Args) {
  bool HaveBuildDir = false;
  for (int I = 1; I < argc; ++I) {
    const std::string Arg = argv[I];
    auto Value = [&](std::string &Into) {
      if (I + 1 >= argc) {
        std::fprintf(stderr, "codeweft: %s needs a value\n", Arg.c_str());
        return false;
      }
      Into = argv[++I];
      return true;
    };
    if (Arg == "-o" || Arg == "--output") {
      if (!Value(Args.Inputs.BuildDir))
        return false;
      HaveBuildDir = true;
    } else if (Arg == "--hcrtf") {
      if (!Value(Args.Inputs.HcrtfPath))
        return false;
    } else if (Arg == "--defines") {
      if (!Value(Args.Inputs.Defines))
        return false;
    } else if (Arg == "--symbols") {
      Args.Symbols = true;
    } else if (Arg == "-h" || Arg == "--help") {
      std::fputs(Usage, stdout);
      std::exit(0);
    } else if (!Arg.empty() && Arg[0] == '-') {
      std::fprintf(stderr, "codeweft: unknown option %s\n", Arg.c_str());
      return false;
    } else if (!Args.Inputs.ProjectFile.empty()) {
      std::fprintf(stderr, "codeweft: only one project file, not also %s\n", Arg.c_str());
      return false;
    } else {
      Args.Inputs.ProjectFile = Arg;
    }
  }
  if (Args.Inputs.ProjectFile.empty()) {
    std::fputs("codeweft: no project file given\n", stderr);
    return false;
  }
  if (!HaveBuildDir || Args.Inputs.BuildDir.empty()) {
    std::fputs("codeweft: no build location given (-o BUILD_DIR)\n", stderr);
    return false;
  }
  return true;
}

} // namespace

int main(int argc, char **argv) {
  TArgs Args;
  if (!ParseArgs(argc, argv, Args)) {
    std::fputs(Usage, stderr);
    return 2;
  }

  TCliReporter Reporter(stderr, ::isatty(2) != 0);
  namespace fs = std::filesystem;
  std::error_code E;
  // A backslash separates folders, as in the names the run reads.
  std::replace(Args.Inputs.BuildDir.begin(), Args.Inputs.BuildDir.end(), '\\', '/');
  fs::create_directories(Args.Inputs.BuildDir, E);
  if (E) {
    Reporter.ReportError("Cannot create folder \"" + Args.Inputs.BuildDir + "\": " + E.message());
    return 1;
  }
  if (Args.Inputs.HcrtfPath.empty())
    Reporter.Line("No help compiler given (--hcrtf): the help project is written, not compiled");

  RemoveTemporaryOutputsOnSignals();
  TRunState State;
  try {
    Run(State, Args.Inputs, Reporter, [&](const TSymbolTable &Symbols, int RowCount) {
      if (Args.Symbols)
        PrintSymbolTable(stdout, GridRows(Symbols));
      Reporter.Line("Symbols scanned: " + std::to_string(RowCount));
    });
  } catch (const std::exception &) {
    return 1; // Run has reported the error
  }
  std::printf("%s\n", (State.BuildDir + "index.html").c_str());
  return 0;
}
