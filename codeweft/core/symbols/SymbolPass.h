// The symbol-table pass of a run: the interface part of every unit of the
// list is parsed into the symbol table, which is then sorted once.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

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

// An anchor that the listing of a unit will place: its name, and where it
// lies: in the unit's own file (IncludeFile empty), or in an include file,
// read for the first time in the run or again.
struct TAnchorPlace {
  std::string Anchor;
  std::string IncludeFile;
  bool FirstReading = true;
};

// What the pass reports to the front end.
struct TSymbolPassEvents {
  std::function<void(const std::string &text)> Status; // "Building Symbol Table ..."
  std::function<void(int total, int done)> Progress;   // 0 of n, then one step per unit
  // After each unit: the anchors its listing will place, one for every
  // routine heading of its implementation part, in source order.
  std::function<void(const TURElm &unit, const std::vector<TAnchorPlace> &anchors)> Anchors;
};

// Reads entry index of the unit list whole, once (phSymbols): the interface
// part is parsed into the symbol table (token by token until
// "implementation" or the end, applying InterfaceSection at every
// "interface" on the way, so a parse that stopped early restarts at a later
// "interface"); then the routine headings of the implementation part are
// read, their overload numbers given (Overloads.h) and their anchors, named
// as the listing will name them, reported to events.Anchors when given.
// Nothing is written. Throws EFOpenError when the unit's file cannot be
// opened.
TInterfaceOutcome ParseUnitInterface(TRunState &state, int index,
                                     const TSymbolPassEvents &events = {});

// The whole pass: the status text, progress 0 of n, ParseUnitInterface for
// every unit with a progress step after each, then SortAll. The units are
// sorted first and read in that order, the order the listings are written
// in, so that the first reading of an include file here is the one its
// page shows.
// A unit whose interface parse stopped early is reported as a source warning
// naming the line and the token, since what follows it is neither recorded
// nor linked.
void BuildSymbolTable(TRunState &state, const TSymbolPassEvents &events);

} // namespace codeweft
