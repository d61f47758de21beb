// The state of Codeweft that lives across the phases of a run, in one object
// that the run owns, so tests can run many runs in one process.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "codeweft/core/FileNames.h"
#include "codeweft/core/Phase.h"
#include "codeweft/core/RunReporter.h"
#include "codeweft/core/lex/Token.h"
#include "codeweft/core/lex/TokenSource.h"
#include "codeweft/core/symbols/Overloads.h"
#include "codeweft/core/symbols/SymTab.h"

namespace codeweft {

class TParser;

// Where one run reads and writes: the project, the build location, the help
// compiler, and the names of the pages written so far.
struct TRunPaths {
  std::string ProjectFile; // the project's path, extension "dpr"
  std::string BuildDir;    // the build location, ending in a separator
  std::string HcrtfPath;   // the help compiler's path, extension "exe"
  TPageNames Pages;        // the page names taken so far
  std::string ProjectPage;  // the project's page name (no extension)
};

struct TRunState {
  TRunState();
  ~TRunState();
  TRunState(const TRunState &) = delete;
  TRunState &operator=(const TRunState &) = delete;

  // The file being read and its tokens (lex/TokenSource.h).
  TTokenSource Source;
  int ProjectLine = 0;    // line of the project file being read (project scan)

  // One run.
  TRunReporter *Reporter = nullptr; // where source warnings go; set by Run
  TRunPaths Paths;
  TPhase Phase = TPhase::phProject;
  std::string CurrentUnit;                  // the unit being parsed or written
  std::string StatusText;                   // what the next status report shows
  std::set<std::string> Warned;             // source warnings given in this run
  TSymbolTable Symbols{Phase, CurrentUnit}; // Units and FlatRefs

  // Overloaded routines (Overloads.h). While RecordingParams, the symbol
  // pass appends every significant token read to ParamTokens, so that a
  // routine heading's parameter list can be read from them.
  bool RecordingParams = false;
  std::vector<TParamToken> ParamTokens;
  TOverloadNumbering Overloads;  // the routine headings of the unit in the symbol pass
  std::unordered_set<std::string> IncludesRead;  // include files the symbol pass has read
  // The answers of Declared() in {$IF} given in the symbol pass, by unit file,
  // file, offset and name (DeclaredSoFar).
  std::unordered_map<std::string, bool> DeclaredAnswers;
  // A call's arguments are counted ahead in the text of its file, which is
  // read once when a call first needs it: the file's name and its bytes.
  std::string AheadFile, AheadText;

  // The declaration parser (Parser.h), made with the run state and kept for
  // its lifetime: the last type name it holds carries from one unit to the
  // next, and the passes reset the rest where a file or an interface starts.
  std::unique_ptr<TParser> Parser;
};

// Declared(name) in an {$IF} of the file being read: true when the symbol
// table holds name (a unit, an identifier or a class of an interface part)
// at that point of the symbol pass, which reads the units in listing order:
// the units before this one, and this unit's interface so far. The listing
// pass reads every directive again and gets the symbol pass's answer, so
// both passes switch the same code on and off; a directive the symbol pass
// never evaluated is answered from the whole table.
bool DeclaredSoFar(TRunState &state, std::string_view name);

// Reports a source warning about line of file to the run's reporter, if any.
// A warning is given once per run: the passes read a file more than once, and
// an include file may be read for many units.
inline void WarnAt(TRunState &state, const std::string &file, int line,
                   const std::string &message) {
  if (!state.Reporter) return;
  if (!state.Warned.insert(file + ":" + std::to_string(line) + ": " + message).second) return;
  state.Reporter->ReportSourceWarning(file, line, message);
}

} // namespace codeweft
