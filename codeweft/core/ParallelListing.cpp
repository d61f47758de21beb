#include "codeweft/core/ParallelListing.h"

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

#include "codeweft/core/ListingWriter.h"
#include "codeweft/core/SymbolPass.h"

namespace codeweft {

namespace {

// Fewer units than this are not worth a thread (unless one is asked for).
constexpr int MinParallelUnits = 4;
// No listing ahead starts while finished ones waiting for their turn hold
// this much. With the two that may be in progress, at most
// MaxHeld + 2 * 2 * MaxKeptDocument bytes are kept at once.
constexpr std::size_t MaxHeld = 4u << 20;

// A unit listed ahead: its documents and the state it ended in, or why it
// failed.
struct TAheadListing {
  TKeptListing Files;
  std::size_t Bytes = 0;
  // A failed listing is not carried further: the unit is listed again in its
  // turn, which fails as the sequential run does and leaves the same files.
  std::exception_ptr Failure;
  TConditionals End;
  bool TypeNameFromBefore = false; // used a type name of an earlier file
  bool TypeNamed = false;          // set LastTypeName, to:
  std::string LastTypeName;
};

// Units that may be listed ahead: not the last (so that State ends as after
// the sequential loop), none whose start was not recorded, and none whose
// source is large or cannot be sized.
std::vector<bool> UnitsThatMayGoAhead(const TSymbolTable &Symbols,
                                      const std::vector<TConditionals> &Starts) {
  std::vector<bool> May(Symbols.Units.size(), false);
  for (std::size_t I = 0; I + 1 < Symbols.Units.size(); ++I) {
    if (!Starts[I].Defines)
      continue;
    std::error_code E;
    const std::uintmax_t Size =
        std::filesystem::file_size(LocateSourceFile(Symbols.Units[I].FileName), E);
    May[I] = !E && Size <= MaxAheadSource;
  }
  return May;
}

// The units between the threads. Units are claimed in list order, so when a
// unit's turn comes every unit before it has been claimed and written.
class TListingQueue {
public:
  explicit TListingQueue(std::vector<bool> MayGoAhead)
      : FMayGoAhead(std::move(MayGoAhead)), FDone(FMayGoAhead.size()) {}

  // At the turn of Index: true if it was not claimed yet and now is the
  // caller's to list; false if it was claimed ahead (TakeAhead gives it).
  bool ClaimTurn(int Index) {
    std::lock_guard<std::mutex> Lock(FLock);
    RethrowWorkerFailure();
    if (FNextClaim != Index)
      return false;
    ++FNextClaim;
    FChanged.notify_all(); // a unit held back by its size may be passed now
    return true;
  }

  // The next unit to list ahead, or -1. Without Wait, -1 when none may start
  // now; with Wait, only once none is left or the queue stopped, waiting
  // while the next unit is held back (by its size or the memory held).
  int ClaimAhead(bool Wait) {
    std::unique_lock<std::mutex> Lock(FLock);
    for (;;) {
      if (FStopped || FNextClaim >= static_cast<int>(FMayGoAhead.size()))
        return -1;
      if (FMayGoAhead[FNextClaim] && FHeld < MaxHeld)
        return FNextClaim++;
      if (!Wait)
        return -1;
      FChanged.wait(Lock);
    }
  }

  void Finish(int Index, TAheadListing Listing) {
    std::lock_guard<std::mutex> Lock(FLock);
    FHeld += Listing.Bytes;
    FDone[Index] = std::move(Listing);
    FChanged.notify_all();
  }

  // The listing made ahead for Index once it is finished; without Wait,
  // nothing while it is still in progress.
  std::optional<TAheadListing> TakeAhead(int Index, bool Wait) {
    std::unique_lock<std::mutex> Lock(FLock);
    for (;;) {
      if (FDone[Index]) {
        std::optional<TAheadListing> Listing = std::move(FDone[Index]);
        FDone[Index].reset();
        FHeld -= Listing->Bytes;
        FChanged.notify_all(); // memory was freed
        return Listing;
      }
      RethrowWorkerFailure();
      if (!Wait)
        return std::nullopt;
      FChanged.wait(Lock);
    }
  }

  // No more claims ahead: the worker ends after the unit it is on.
  void Stop() {
    std::lock_guard<std::mutex> Lock(FLock);
    FStopped = true;
    FChanged.notify_all();
  }

  // The worker thread failed outside a unit's listing: the calling thread
  // throws it on at its next turn (or while waiting for the worker).
  void FailWorker(std::exception_ptr Failure) {
    std::lock_guard<std::mutex> Lock(FLock);
    FWorkerFailure = std::move(Failure);
    FStopped = true;
    FChanged.notify_all();
  }

private:
  void RethrowWorkerFailure() {
    if (FWorkerFailure)
      std::rethrow_exception(std::exchange(FWorkerFailure, nullptr));
  }

  std::mutex FLock;
  std::condition_variable FChanged;
  const std::vector<bool> FMayGoAhead;
  std::vector<std::optional<TAheadListing>> FDone; // finished, waiting for their turn
  int FNextClaim = 0;
  std::size_t FHeld = 0; // bytes of FDone
  bool FStopped = false;
  std::exception_ptr FWorkerFailure;
};

// A working state of its own for listing units ahead: scanner, token queue,
// parser state and flat references (over a copy of the unit list, as
// building them changes the table), writing into memory and checking links
// against the run's anchors, which nothing changes while listings are written.
class TAheadLister {
public:
  TAheadLister(const TRunState &Run, const TListingSink &RunSink) : FHook(FState, FSink) {
    FState.BuildDir = Run.BuildDir;
    FState.Symbols.Units = Run.Symbols.Units;
    FSink.SharedAnchors = &RunSink.KnownAnchors();
    FSink.CheckLinks = RunSink.CheckLinks;
    FSink.Files.KeepListings(MaxKeptDocument);
  }

  TAheadListing List(int Index, const TConditionals &Start) {
    TAheadListing Listing;
    LoadConditionals(FState, Start);
    // A type name from an earlier file is not known here; a unit that uses
    // one is marked (TypeNameFromBefore) and listed again in its turn.
    FState.LastTypeName.clear();
    try {
      WriteUnitListing(FState, FSink, Index);
      Listing.Files = FSink.Files.TakeKept();
      Listing.Bytes = Listing.Files.Size();
      Listing.End = SaveConditionals(FState, &Start);
      Listing.TypeNameFromBefore = FState.TypeNameFromBefore;
      Listing.TypeNamed = FState.TypeNamedInUnit;
      Listing.LastTypeName = FState.LastTypeName;
    } catch (...) {
      Listing.Failure = std::current_exception();
      Listing.Files = {};
      Listing.Bytes = 0;
      FSink.Files.Close();
      FState.Scanner.Close();
      FState.Deferring = false;
      FState.PendingTokens.clear();
      FState.Symbols.FreeFlatRefs();
    }
    return Listing;
  }

private:
  TRunState FState;
  TListingSink FSink;
  TTokenHookGuard FHook;
};

// The second thread: lists units ahead until none is left or the queue
// stops. Without a thread (the system refused one), every unit is simply
// listed in its turn. The destructor stops the queue before joining, so a
// run that ends in an error does not wait for listings no one will write.
class TWorker {
public:
  TWorker(TListingQueue &Queue, const TRunState &Run, const TListingSink &Sink,
          const std::vector<TConditionals> &Starts)
      : FQueue(Queue) {
    try {
      FThread = std::thread([&Queue, &Run, &Sink, &Starts] {
        try {
          TAheadLister Lister(Run, Sink);
          for (int I; (I = Queue.ClaimAhead(true)) >= 0;)
            Queue.Finish(I, Lister.List(I, Starts[static_cast<std::size_t>(I)]));
        } catch (...) {
          Queue.FailWorker(std::current_exception());
        }
      });
    } catch (const std::system_error &) {
    }
  }
  ~TWorker() {
    FQueue.Stop();
    if (FThread.joinable())
      FThread.join();
  }
  TWorker(const TWorker &) = delete;
  TWorker &operator=(const TWorker &) = delete;

private:
  TListingQueue &FQueue;
  std::thread FThread;
};

// The calling thread's side: every unit in its turn, written from a listing
// made ahead or listed on State. Keeps the conditionals the sequential run
// has at the turn; they go into State only when State lists a unit itself.
class TInTurn {
public:
  TInTurn(TRunState &State, TListingSink &Sink, const std::vector<TConditionals> &Starts)
      : FState(State), FSink(Sink), FStarts(Starts), FCurrent(SaveConditionals(State)) {}

  void ListHere(int Index) {
    LoadConditionals(FState, FCurrent);
    WriteUnitListing(FState, FSink, Index);
    FCurrent = SaveConditionals(FState, &FStarts[static_cast<std::size_t>(Index) + 1]);
  }

  // Puts the conditionals of the turn into State, for listing the rest there.
  void LoadInto() { LoadConditionals(FState, FCurrent); }

  // Writes Listing out if it is what the sequential run gives here (true);
  // lists the unit here otherwise (false).
  bool Write(int Index, const TAheadListing &Listing) {
    if (!Listing.Failure && !Listing.TypeNameFromBefore &&
        SameConditionals(FStarts[static_cast<std::size_t>(Index)], FCurrent)) {
      try {
        WriteKeptListing(Listing.Files);
        FCurrent = Listing.End;
        if (Listing.TypeNamed)
          FState.LastTypeName = Listing.LastTypeName;
        return true;
      } catch (const std::exception &) {
        // Listed again below, failing (and leaving its files) as it does there.
      }
    }
    ListHere(Index);
    return false;
  }

private:
  TRunState &FState;
  TListingSink &FSink;
  const std::vector<TConditionals> &FStarts;
  TConditionals FCurrent;
};

} // namespace

std::size_t SymbolCount(const TSymbolTable &Symbols) {
  std::size_t N = Symbols.Units.size();
  for (const TURElm &U : Symbols.Units) {
    N += U.Idents.size() + U.Classes.size();
    for (const TCRElm &C : U.Classes) N += C.Members.size();
  }
  return N;
}

bool ListsInParallel(int Threads, int Count, std::size_t Symbols) {
  if (Threads == 1 || Count < 1)
    return false;
  if (Threads >= 2)
    return true;
  return std::thread::hardware_concurrency() > 1 && Count >= MinParallelUnits &&
         Symbols <= MaxParallelSymbols;
}

TParallelCounts WriteListingsInParallel(TRunState &S, TListingSink &Sink,
                                        const std::vector<TConditionals> &Starts,
                                        TRunReporter &Reporter) {
  TParallelCounts Counts;
  const int Count = static_cast<int>(S.Symbols.Units.size());
  TListingQueue Queue(UnitsThatMayGoAhead(S.Symbols, Starts));
  TWorker Worker(Queue, S, Sink, Starts);
  TInTurn InTurn(S, Sink, Starts);
  std::optional<TAheadLister> Own; // made when the calling thread first lists ahead
  int I = 0;
  for (; I < Count && Starts[static_cast<std::size_t>(I)].Defines; ++I) {
    if (Queue.ClaimTurn(I)) {
      InTurn.ListHere(I);
    } else {
      // Claimed ahead: while the worker is still on it, list later units
      // ahead here rather than wait.
      std::optional<TAheadListing> Listing;
      while (!(Listing = Queue.TakeAhead(I, false))) {
        const int Next = Queue.ClaimAhead(false);
        if (Next < 0) {
          Listing = Queue.TakeAhead(I, true);
          break;
        }
        if (!Own)
          Own.emplace(S, Sink);
        Queue.Finish(Next, Own->List(Next, Starts[static_cast<std::size_t>(Next)]));
      }
      if (InTurn.Write(I, *Listing))
        ++Counts.Ahead;
      else
        ++Counts.Again;
    }
    Reporter.ReportProgress(Count, I + 1);
  }
  // From the first unit whose start was not recorded on, none was, and no
  // unit can go ahead: the rest is the sequential loop.
  Queue.Stop();
  InTurn.LoadInto();
  for (; I < Count; ++I) {
    WriteUnitListing(S, Sink, I);
    Reporter.ReportProgress(Count, I + 1);
  }
  return Counts;
}

} // namespace codeweft
