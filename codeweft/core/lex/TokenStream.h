// The token stream between the scanner and everything that reads Object
// Pascal. Advance moves the current token to the next significant one, hands
// every scanned token to the run's TokenHook on the way, and acts on the
// conditional-compilation directives. The deferral operations let a grammar
// rule take over the output of the tokens it reads and decorate them.
#pragma once

#include "codeweft/core/RunState.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace codeweft {

// Reads tokens until the current token is significant: not a comment,
// directive or whitespace, and not inside a switched-off region. Every token
// read is passed to TokenHook before anything else happens to it. Stops at
// the end of input (or a scanning error) with AtEnd set and tkEnd current.
//
// Conditional directives act through state.Conditionals (Conditionals.h);
// an {$IF} that cannot be evaluated counts as false and is reported with
// WarnAt. {$I name} and {$INCLUDE name} outside a switched-off region are
// followed: the include file's tokens come next, then the rest of the file
// that included it (IncludeHook is told of both moves). An include file that
// is not found, or nested too deeply, is reported with WarnAt and passed over.
void Advance(TRunState &state);

// Opens fileName as the source to read (closing whatever was open, include
// files too): the conditional symbols are the run's again and no region is
// open, so nothing of the file read before carries into this one.
// Throws EFOpenError as TScanner::Open does.
void OpenSource(TRunState &state, const std::string &fileName);

// Name and argument of a directive text "{$NAME ARGUMENT}" or "(*$NAME
// ARGUMENT*)". The name runs from after the "$" to the first blank or the
// closing "}" or "*)"; the argument starts after the blanks that follow and
// runs to the closing characters (excluded). Only the blank separates; blanks
// before the "}" stay in the argument.
struct TDirectiveParts {
  std::string Name;
  std::string Argument;
};
TDirectiveParts SplitDirective(std::string_view text);

// Deferral, for grammar rules: BeginDeferral while the token before the ones
// to decorate is current; QueueToken (or InsertToken) for each significant
// token read meanwhile; QueueCurrent queues the token the rule stopped at,
// plain, and ends the deferral. Trivia read meanwhile is queued by the hook.
void BeginDeferral(TRunState &state);
void QueueCurrent(TRunState &state);
// Appends an entry to PendingTokens.
void QueueToken(TRunState &state, std::string_view text, std::string_view caption,
                std::string_view topic, TTokenStyle style);
// Inserts an entry at position pos of PendingTokens (appends if pos is past
// the end): routine headings place their entries ahead of trivia queued after
// the token they stand for.
void InsertToken(TRunState &state, std::size_t pos, std::string text, std::string caption,
                 std::string topic, TTokenStyle style);
// Turns entry index of PendingTokens into href/caption/topic/style; an index
// outside the queue changes nothing.
void MakeLink(TRunState &state, int index, std::string href, std::string caption,
              std::string topic, TTokenStyle style);

} // namespace codeweft
