// The whole job of one run, the same for the window and the command line:
//   ScanProject, BuildSymbolTable, GenerateListings, WriteHelpProject,
// then the grid rows and the time taken.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "codeweft/core/symbols/Grid.h"
#include "codeweft/core/RunReporter.h"
#include "codeweft/core/RunState.h"

namespace codeweft {

// The four inputs of a run, as the user gives them.
struct TRunInputs {
  std::string ProjectFile; // the project file; its extension becomes "dpr"
  std::string BuildDir;    // the build location; it must exist
  std::string HcrtfPath;   // the help compiler; empty: none is started
  std::string Defines;     // conditional symbols separated by ";"
  bool KeepGoing = false;  // skip a unit whose file cannot be read, with a warning
};

struct TRunResult {
  int SymbolsScanned = 0; // the number of grid rows the symbol table gives
  std::int64_t ElapsedMs = 0;
  std::string TimeTaken; // "hh:nn:ss"
};

// The grid fill: the complete, sorted symbol table and the number of its
// grid rows. A front end builds the rows it shows (GridRows) here, while the
// table exists; the run itself keeps no copy of them.
using TShowSymbols = std::function<void(const TSymbolTable &symbols, int rowCount)>;

// Runs the four phases in order, reporting their status texts and progress
// through reporter. When the symbol table is complete, showSymbols (if set)
// is called, before the time is taken and the table freed; the last status
// reported is "Time Taken: " followed by hh:nn:ss.
//
// The project's folder is the current directory while the run reads units;
// the previous one is restored when the run ends. A relative BuildDir, and a
// relative HcrtfPath that names a folder or a file there, are taken relative
// to the directory current when Run is called; a bare program name is looked
// for on the PATH.
//
// Progress of the two passes over the units goes to ReportUnitProgress with
// the name of the unit that comes next.
//
// A failure (a file that cannot be read or created) ends the run: the output
// files that were open are closed, the error's message goes to
// Reporter.ReportError, and the exception is thrown on to the caller.
TRunResult Run(TRunState &state, const TRunInputs &inputs, TRunReporter &reporter,
               const TShowSymbols &showSymbols = {});

// The number of grid rows of symbols (unit rows, identifier rows, class rows
// and member rows), without building them.
int GridRowCount(const TSymbolTable &symbols);

// The file names of the units in the (sorted) unit list.
std::vector<std::string> UnitNames(const TSymbolTable &symbols);

} // namespace codeweft
