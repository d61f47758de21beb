// The listing side of a run: the token hook through which every scanned token
// reaches the two listing files, and the listing pass that writes one unit.
//
// Every token the scanner delivers is written exactly once and in source
// order: directly by the hook, or through PendingTokens while a grammar rule
// has deferred the output to decorate tokens with links and anchors.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "codeweft/core/RunReporter.h"
#include "codeweft/core/RunState.h"
#include "codeweft/core/output/ListingWriter.h"
#include "codeweft/core/output/SymbolIndex.h"
#include "codeweft/core/symbols/SymbolPass.h"

namespace codeweft {

// The anchors the listings place, by page. A link whose "#" target is not
// among them is written as its plain caption, so that no link leads nowhere
// (a routine that is abstract, external, or implemented in an include file
// has no anchor to go to). Anchor names compare without regard to case, as
// they are written in lower case in HTML; pages compare exactly.
class TAnchorIndex {
public:
  void Add(const std::string &page, std::string_view anchor);
  bool Has(const std::string &page, std::string_view anchor) const;
  // An anchor of Page that lives on another page (a routine implemented in
  // an include file): links to Page#anchor go to that page instead.
  void AddMoved(const std::string &page, std::string_view anchor, const std::string &toPage);
  // The page that holds Page's anchor instead; nullptr when none does.
  const std::string *MovedTo(const std::string &page, std::string_view anchor) const;
  // A page written again (two units of one name) keeps only its last anchors.
  void ClearPage(const std::string &page) {
    FPages.erase(page);
    FMoved.erase(page);
  }
  void Clear() {
    FPages.clear();
    FMoved.clear();
  }

private:
  std::unordered_map<std::string, std::unordered_set<std::string>> FPages;
  std::unordered_map<std::string, std::unordered_map<std::string, std::string>> FMoved;
};

// The pages of include files. An include file that holds routine
// implementations gets a page of its own, written the first time a listing
// reads it (a later reading, by the same unit or another, is written nowhere);
// the anchors of that first reading live there. Any other include file
// is read for its declarations and written nowhere (its text is not the
// unit's). Pages are named after the file, with "~2", "~3"... when another
// file or a unit already has that name.
struct TIncludePages {
  std::unordered_map<std::string, std::string> PageOf;  // file as opened -> page name
  std::unordered_set<std::string> Taken;                // page names in use, lower case
  std::unordered_set<std::string> Written;              // files written in this run
  // Where the tokens go while include files are read: one entry per open
  // include file, innermost last; nullptr while one is written nowhere.
  std::vector<std::unique_ptr<TListingFiles>> Out;
  void Clear() {
    PageOf.clear();
    Taken.clear();
    Written.clear();
    Out.clear();
  }
};

// Where the hook's tokens go: the open listing file pair, the page being
// written (for in-page links) and the anchors known.
// While a unit is written, its routine anchors, the calls from its
// implementation part to known anchors and the identifiers of its interface
// part are gathered for the symbol index.
struct TListingSink {
  TListingFiles Files;
  std::string Page;
  TAnchorIndex Anchors;
  bool CheckLinks = false; // links with a "#" target must reach a known anchor
  TIncludePages Includes;
  // The files the current token goes to: the unit's, an include file's, or
  // none (nullptr) while an include file without a page of its own is read.
  TListingFiles *Out() { return Includes.Out.empty() ? &Files : Includes.Out.back().get(); }
  std::string Unit;        // the unit being written; empty for the project
  int UnitIndex = -1;      // its entry in the symbol table's Units; -1 for the project
  bool InImplementation = false;
  TNameLines InterfaceNames;  // the unit's symbols, with the interface lines they appear on
  TIndexData Index;
};

// Called after every token that Advance reads, with that token current:
//   phSymbols: nothing is written.
//   Deferring: comments, directives, whitespace and skipped tokens are queued;
//              any other token is left to the rule that deferred.
//   otherwise: the queue is written out in order, then the current token.
void TokenHook(TRunState &state, TListingSink &sink);

// Called by Advance when it enters (entering) or leaves an include file
// during a listing pass: what was queued is written where it belongs, and the
// include file's own page is opened or closed (see TIncludePages).
void IncludeHook(TRunState &state, TListingSink &sink, bool entering);

// Installs TokenHook and IncludeHook for sink into state, and removes them
// again when the guard goes (so a hook never outlives the sink it writes to).
class TTokenHookGuard {
public:
  TTokenHookGuard(TRunState &state, TListingSink &sink);
  ~TTokenHookGuard();
  TTokenHookGuard(const TTokenHookGuard &) = delete;
  TTokenHookGuard &operator=(const TTokenHookGuard &) = delete;

private:
  TRunState &FState;
};

// Takes the hook out of state for the guard's lifetime and puts it back after:
// for passes that write nothing (the hook would return at once for each token).
class TSuspendedHook {
public:
 explicit TSuspendedHook(TRunState &state)
     : FState(state), FHook(std::move(state.Source.TokenHook)) {
   FState.Source.TokenHook = nullptr;
 }
  ~TSuspendedHook() { FState.Source.TokenHook = std::move(FHook); }
  TSuspendedHook(const TSuspendedHook &) = delete;
  TSuspendedHook &operator=(const TSuspendedHook &) = delete;

private:
  TRunState &FState;
  std::function<void()> FHook;
};

// Writes every entry of PendingTokens from the front and empties the queue.
void FlushPending(TRunState &state, TListingSink &sink);

// Writes one entry: an anchor, or a link whose target the sink knows (with
// CheckLinks); a link to an unknown anchor is written as its caption, plain.
void EmitEntry(TListingSink &sink, const TDelayedToken &entry);

// The anchors each page will carry (one per routine heading of its
// implementation part) come from the symbol pass, which reads every unit
// whole: the events returned pass events' reports on and record the anchors
// of every unit in sink, so that the listings link only to them. Whatever
// Sink knew of anchors and include pages before is forgotten now.
TSymbolPassEvents CollectingAnchors(TRunState &state, TListingSink &sink,
                                    TSymbolPassEvents events = {});

// Ends the listing of the file the scanner is on and closes the scanner.
// Whatever is still queued is written; after a scanning error the rest of
// the file, from the error point on, follows as plain (escaped) text, so the
// listing never loses source even where parsing had to stop.
void FinishListedFile(TRunState &state, TListingSink &sink);

// The action table of a listing, from the current token to the end of the
// file: a token starts the rule it names (identifier chains, routine
// headings, the interface part, the unit heading, uses clauses); a token that
// no rule claims goes to TokenHook once more after deferral has begun, unless
// an identifier follows it. Every turn reads at least one token.
// Between turns no rule holds a position in PendingTokens, so nothing can
// change what the queue holds: once it holds FlushAt entries, settled (when
// given) is called to write them out, and memory stays bounded on long runs
// of tokens that keep deferral going ("a; b; c; ...").
inline constexpr std::size_t FlushAt = 64;
void ListTokens(TRunState &state, const std::function<void()> &settled = {});

// The listing pass of entry Index of Units: writes BuildDir + Name + ".html"
// and ".rtf", with anchors on the routine implementations and links on unit
// names, interface routine headings and calls of the project's routines.
// Returns 0; file errors are exceptions.
int WriteUnitListing(TRunState &state, TListingSink &sink, int index);

// Reports "Generating RTF and HTML ...", then writes every unit in list
// order with progress 0..n of n (the anchors were collected with the symbols,
// CollectingAnchors). The units are listed one
// after the other on the calling thread: each starts from the conditionals
// and type name the one before it leaves, so the pages are the same on every
// run.
int GenerateListings(TRunState &state, TListingSink &sink, TRunReporter &reporter);

} // namespace codeweft
