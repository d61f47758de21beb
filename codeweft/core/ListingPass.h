// The listing side of a run: the token hook through which every scanned token
// reaches the two listing files, and the listing pass that writes one unit.
//
// Every token the scanner delivers is written exactly once and in source
// order: directly by the hook, or through PendingTokens while a grammar rule
// has deferred the output to decorate tokens with links and anchors.
#pragma once

#include <cstdint>

#include "codeweft/core/ListingWriter.h"
#include "codeweft/core/RunReporter.h"
#include "codeweft/core/RunState.h"

namespace codeweft {

// The open listing file pair and the number of tokens the hook has seen (the
// listing pass uses it to make sure every step reads something).
struct TListingSink {
  TListingFiles Files;
  std::uint64_t TokensSeen = 0;
};

// Called after every token that Advance reads, with that token current:
//   phSymbols: nothing is written.
//   Deferring: comments, directives, whitespace and skipped tokens are queued;
//              any other token is left to the rule that deferred.
//   otherwise: the queue is written out in order, then the current token.
void TokenHook(TRunState &State, TListingSink &Sink);

// Installs TokenHook for Sink into State.TokenHook, and removes it again when
// the guard goes (so a hook never outlives the sink it writes to).
class TTokenHookGuard {
public:
  TTokenHookGuard(TRunState &State, TListingSink &Sink);
  ~TTokenHookGuard();
  TTokenHookGuard(const TTokenHookGuard &) = delete;
  TTokenHookGuard &operator=(const TTokenHookGuard &) = delete;

private:
  TRunState &FState;
};

// Writes every entry of PendingTokens from the front and empties the queue.
void FlushPending(TRunState &State, TListingSink &Sink);

// Ends the listing of the file the scanner is on and closes the scanner.
// Whatever is still queued is written; after a scanning error the rest of
// the file, from the error point on, follows as plain (escaped) text, so the
// listing never loses source even where parsing had to stop.
void FinishListedFile(TRunState &State, TListingSink &Sink);

// The listing pass of entry Index of Units: writes BuildDir + Name + ".html"
// and ".rtf", with anchors on the routine implementations and links on unit
// names, interface routine headings and calls of the project's routines.
// Returns 0; file errors are exceptions.
int WriteUnitListing(TRunState &State, TListingSink &Sink, int Index);

// Reports "Generating RTF and HTML ...", then writes every unit in list order
// with progress 0..n of n.
int GenerateListings(TRunState &State, TListingSink &Sink, TRunReporter &Reporter);

} // namespace codeweft
