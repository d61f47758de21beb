// The whole job of one run, the same for the window and the command line:
//   ScanProject, BuildSymbolTable, GenerateListings, WriteHelpProject,
// then the grid rows and the time taken.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "codeweft/core/Grid.h"
#include "codeweft/core/RunReporter.h"
#include "codeweft/core/RunState.h"

namespace codeweft {

// The four inputs of a run, as the user gives them.
struct TRunInputs {
  std::string ProjectFile; // the project file; its extension becomes "dpr"
  std::string BuildDir;    // the build location; it must exist
  std::string HcrtfPath;   // the help compiler; empty: none is started
  std::string Defines;     // conditional symbols separated by ";"
};

struct TRunResult {
  std::vector<TGridRow> Rows; // the symbol table as grid rows (no header)
  int SymbolsScanned = 0;     // the number of rows
  std::int64_t ElapsedMs = 0;
  std::string TimeTaken;      // "hh:nn:ss"
};

// Runs the four phases in order, reporting their status texts and progress
// through Reporter. When the symbol table is complete, ShowSymbols (if set)
// receives the result with the rows and their count, before the time is
// taken; the last status reported is "Time Taken: " followed by hh:nn:ss.
//
// The project's folder is the current directory while the run reads units;
// the previous one is restored when the run ends. A relative BuildDir is
// taken relative to the directory current when Run is called.
//
// A failure (a file that cannot be read or created) ends the run: the output
// files that were open are closed, the error's message goes to
// Reporter.ReportError, and the exception is thrown on to the caller.
TRunResult Run(TRunState &State, const TRunInputs &Inputs, TRunReporter &Reporter,
               const std::function<void(const TRunResult &)> &ShowSymbols = {});

// The file names of the units in the (sorted) unit list.
std::vector<std::string> UnitNames(const TSymbolTable &Symbols);

} // namespace codeweft
