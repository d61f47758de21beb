// The symbol-table pass of a run: the interface part of every unit of the
// list is parsed into the symbol table, which is then sorted once.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "codeweft/core/FileNames.h"
#include "codeweft/core/RunState.h"
#include "codeweft/core/lex/Keywords.h"
#include "codeweft/core/lex/Token.h"

namespace codeweft {

// How the first interface parse of a unit ended, for reports and tests.
struct TInterfaceOutcome {
  bool HasInterface = false; // the word "interface" was met before "implementation"
  int Result = 0;            // what the first InterfaceSection returned (Parser.h)
  // The token current when that parse returned; "implementation" after a
  // complete interface, else the construct the rules did not know.
  TTokenKind StopKind = TTokenKind::tkEnd;
  std::string StopText;
  int StopLine = 0;  // the line of the file on which that token starts
  // True when the parse stopped short of "implementation" and of the end of
  // the file, whether with a syntax error or at a construct no rule applies to.
  bool Stopped() const {
    return HasInterface && StopKind != Keyword("implementation") &&
           StopKind != TTokenKind::tkEnd;
  }
};

// Parses the interface part of entry Index of the unit list into the symbol
// table (phSymbols): reads token by token until "implementation" or the end,
// and applies InterfaceSection at every "interface" on the way, so a parse
// that stopped early restarts at a later "interface". Nothing is written.
// Throws EFOpenError when the unit's file cannot be opened.
TInterfaceOutcome ParseUnitInterface(TRunState &State, int Index);

// What the pass reports to the front end.
struct TSymbolPassEvents {
  std::function<void(const std::string &Text)> Status; // "Building Symbol Table ..."
  std::function<void(int Total, int Done)> Progress;   // 0 of n, then one step per unit
};

// The whole pass: the status text, progress 0 of n, ParseUnitInterface for
// every unit in list order with a progress step after each, then SortAll.
// A unit whose interface parse stopped early is reported as a source warning
// naming the line and the token, since what follows it is neither recorded
// nor linked.
void BuildSymbolTable(TRunState &State, const TSymbolPassEvents &Events);

} // namespace codeweft
