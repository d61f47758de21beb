// The writing half of the listing pass on two threads, with exactly the files,
// reports and errors of the sequential loop.
//
// The calling thread goes through the units in list order, each in its turn:
// it writes the unit's two files and reports progress before going on, so
// files appear in order and a failing unit stops the run before any later
// unit's file exists. Meanwhile a worker thread (and the calling thread, when
// it would otherwise wait) lists the units after the turn into memory, "ahead",
// each from the conditionals CollectAnchors recorded for its start. In its
// turn such a listing is written out as it is, if it started from the state
// the sequential run has there. If it did not, or if it failed or outgrew its
// memory, the calling thread lists the unit again the sequential way, so an
// error is reported, and leaves its files, as the sequential run does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "codeweft/core/ListingPass.h"
#include "codeweft/core/RunReporter.h"
#include "codeweft/core/RunState.h"

namespace codeweft {

// A larger source is listed only in its turn, straight to its files: its
// listing would hold too much memory while it waits.
inline constexpr std::uintmax_t MaxAheadSource = 1u << 20;
// A document listed ahead that grows past this is dropped; the unit is then
// listed again in its turn.
inline constexpr std::size_t MaxKeptDocument = 4u << 20;

// How the units of a parallel listing were written.
struct TParallelCounts {
  int Ahead = 0; // written from a listing made ahead
  int Again = 0; // listed ahead, but listed again in their turn
};

// Each extra lister works on a copy of the symbol table: past this many
// entries, the copies would cost more memory than the time they save is worth.
inline constexpr std::size_t MaxParallelSymbols = 1u << 16;

// Entries of the table: units, identifiers, classes and members.
std::size_t SymbolCount(const TSymbolTable &Symbols);

// Whether Count units with Symbols entries in all are listed on two threads.
// Threads as in TRunState::ListingThreads: with 0, only when the machine has
// more than one hardware thread, there are enough units to share and the
// table is small enough to copy.
bool ListsInParallel(int Threads, int Count, std::size_t Symbols);

// Writes every unit's listing with progress 1..n of n, as the loop of
// GenerateListings does, on two threads. Starts: what CollectAnchors recorded
// (one entry per unit and the end state). State is left as the sequential
// loop leaves it: the last unit is always listed in its turn, on State.
// File errors are exceptions, as from WriteUnitListing; an exception of the
// worker thread outside a unit's listing is thrown on here.
TParallelCounts WriteListingsInParallel(TRunState &State, TListingSink &Sink,
                                        const std::vector<TConditionals> &Starts,
                                        TRunReporter &Reporter);

} // namespace codeweft
