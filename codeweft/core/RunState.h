// The state of Codeweft that lives across the phases of a run, in one object
// that the run owns, so tests can run many runs in one process.
#pragma once

#include "codeweft/core/FileNames.h"
#include "codeweft/core/Phase.h"
#include "codeweft/core/RunReporter.h"
#include "codeweft/core/lex/Scanner.h"
#include "codeweft/core/symbols/SymTab.h"
#include "codeweft/core/lex/Token.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace codeweft {

struct TRunState {
  TRunState() = default;
  TRunState(const TRunState &) = delete;
  TRunState &operator=(const TRunState &) = delete;

  // Program lifetime: kept from one file, pass and run to the next.
  TScanner Scanner;
  TToken Token;          // the current token, filled by Advance
  TDefines Defines;      // the conditional symbols
  bool Skipping = false; // a conditional directive switched the source off
  int ProjectLine = 0;    // line of the project file being read (project scan)

  // One run.
  TRunReporter *Reporter = nullptr; // where source warnings go; set by Run
  std::string ProjectFile; // the project's path, extension "dpr"
  std::string BuildDir;    // the build location, ending in a separator
  std::string HcrtfPath;   // the help compiler's path, extension "exe"
  TPageNames Pages;        // the page names taken so far
  std::string ProjectPage;  // the project's page name (no extension)
  TPhase Phase = TPhase::phProject;
  std::string CurrentUnit;                  // the unit being parsed or written
  std::string StatusText;                   // what the next status report shows
  TSymbolTable Symbols{Phase, CurrentUnit}; // Units and FlatRefs

  // Token stream (TokenStream.h).
  bool AtEnd = false;                       // the scanner returned a non-zero code
  bool Deferring = false;                   // a grammar rule has taken over the significant tokens
  std::vector<TDelayedToken> PendingTokens; // waiting for the listing writer
  // Called by Advance after every scanned token, with that token current.
  // The listing writer installs itself here; empty means nothing is done.
  std::function<void()> TokenHook;
  std::uint64_t TokensRead = 0; // by Advance; lets a loop check that each turn reads

  // Declaration parser (Parser.h).
  std::string CurrentClass; // the class whose body is being read; empty outside one
  std::string LastTypeName; // the identifier of the most recent type declaration
  int Nesting = 0;          // depth of the recursive rules, bounded against deep input
};

// Reports a source warning about Line of File to the run's reporter, if any.
inline void WarnAt(TRunState &State, const std::string &File, int Line, const std::string &Message) {
  if (State.Reporter) State.Reporter->ReportSourceWarning(File, Line, Message);
}

} // namespace codeweft
