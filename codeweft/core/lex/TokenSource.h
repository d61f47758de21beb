// What the token stream reads and hands on: the open file and its current
// token, the conditional and include state of that file, and the tokens that
// wait for the listing writer. The run state holds one; it is kept from one
// file, pass and run to the next, and the passes reset what a file starts
// afresh.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "codeweft/core/lex/Conditionals.h"
#include "codeweft/core/lex/Includes.h"
#include "codeweft/core/lex/Scanner.h"
#include "codeweft/core/lex/Token.h"

namespace codeweft {

struct TTokenSource {
  TScanner Scanner;                     // the file opened by OpenSource
  TToken Token;                         // the current token, filled by Advance
  TConditionals Conditionals;           // symbols and open regions; reset for every file
  std::vector<TIncludeFrame> Includes;  // include files being read, innermost last
  // While TokenHook sees an include directive that is about to be followed:
  // the file it names; empty otherwise.
  std::string PendingInclude;
  // Called by Advance with entering true once an include file has been opened
  // (after its directive reached TokenHook), and with false when its end is
  // reached, before it is closed. Empty means nothing is done.
  std::function<void(bool entering)> IncludeHook;
  std::uint64_t TokenOffset = 0;  // where the current token starts in its file
  std::uint64_t NextOffset = 0;   // where the next token of that file starts
  // Include files found in this run: folder and name as written -> file, or
  // "" when none exists (the passes read every directive more than once).
  std::unordered_map<std::string, std::string> IncludeFiles;
  std::uint64_t SourcesOpened = 0;  // files opened by OpenSource, includes aside

  bool AtEnd = false;                       // the scanner returned a non-zero code
  bool Deferring = false;                   // a grammar rule has taken over the significant tokens
  std::vector<TDelayedToken> PendingTokens; // waiting for the listing writer
  // Called by Advance after every scanned token, with that token current.
  // The listing writer installs itself here; empty means nothing is done.
  std::function<void()> TokenHook;
  std::uint64_t TokensRead = 0; // by Advance; lets a loop check that each turn reads
};

} // namespace codeweft
