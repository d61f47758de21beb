// Termination of the grammar: token sequences cut from real units at random
// points, shuffled and recombined, through the symbol pass and the listing
// rules. Every parse must end, read each token a bounded number of times and
// keep the listing's text intact. Seeded, so every run feeds the same input.
#include "codeweft/core/symbols/SymbolPass.h"

#include "ParserCorpus.h"
#include "tests/codeweft/core/ParserFixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <random>
#include <thread>

namespace codeweft {
namespace {

// Ends the process if the fuzz run does not finish in time: a rule that loops
// without reading would otherwise hang the suite instead of failing it.
class TWatchdog {
public:
  TWatchdog(std::chrono::seconds Limit, const std::atomic<int> &Case)
      : FThread([this, Limit, &Case] {
          std::unique_lock Lock(FMutex);
          if (!FDone.wait_for(Lock, Limit, [this] { return FFinished; })) {
            std::fprintf(stderr, "parser fuzz: case %d did not finish in time\n", Case.load());
            std::_Exit(3);
          }
        }) {}
  ~TWatchdog() {
    {
      std::lock_guard Lock(FMutex);
      FFinished = true;
    }
    FDone.notify_one();
    FThread.join();
  }

private:
  std::mutex FMutex;
  std::condition_variable FDone;
  bool FFinished = false;
  std::thread FThread;
};

struct ETokenBudget : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The significant token texts of a file, as the grammar sees them.
std::vector<std::string> SignificantTokens(const std::string &File) {
  TRunState S;
  S.Source.Scanner.Open(File);
  std::vector<std::string> Tokens;
  for (Advance(S); !S.Source.AtEnd; Advance(S)) Tokens.emplace_back(S.Source.Token.Text);
  return Tokens;
}

TEST(ParserFuzz, RandomAndTruncatedTokenSequencesAlwaysEnd) {
  const auto Root = test::CorpusRoot();
  if (Root.empty()) GTEST_SKIP() << "no corpus installed";
  const std::vector<std::string> Units = test::RtlUnits(Root);
  ASSERT_FALSE(Units.empty());

  std::mt19937 Random(20240611);
  std::vector<std::vector<std::string>> Pool;
  for (std::size_t I = 0; I < Units.size(); I += Units.size() / 40 + 1) {
    auto Tokens = SignificantTokens(Units[I]);
    if (Tokens.size() > 20) Pool.push_back(std::move(Tokens));
  }
  ASSERT_GT(Pool.size(), 10u);

  const char *Prefixes[] = {"", "interface ", "interface type T = ", "interface type T = class ",
                            "interface const C = ", "interface var V : record ",
                            "interface procedure P ( ", "interface exports ",
                            "interface resourcestring ", "interface uses ", "interface label ",
                            "interface type T = class property P "};
  auto Pick = [&Random](std::size_t N) {
    return std::uniform_int_distribution<std::size_t>(0, N - 1)(Random);
  };

  const int Cases = 3000;
  std::atomic<int> Case{0};
  TWatchdog Watchdog(std::chrono::seconds(120), Case);
  test::TTempDir Dir;
  TRunState S;
  long long Budget = 0, Seen = 0;
  std::map<int, int> Results;
  const auto Start = std::chrono::steady_clock::now();

  for (; Case < Cases; ++Case) {
    const auto &Tokens = Pool[Pick(Pool.size())];
    std::vector<std::string> Seq;
    switch (Case % 3) {
    case 0: // a real unit cut at a random point
      Seq.assign(Tokens.begin(), Tokens.begin() + 1 + Pick(Tokens.size()));
      break;
    case 1: { // a window of a unit with some tokens swapped
      const std::size_t From = Pick(Tokens.size()), Len = 1 + Pick(300);
      Seq.assign(Tokens.begin() + From, Tokens.begin() + std::min(Tokens.size(), From + Len));
      for (std::size_t Swaps = Pick(Seq.size() + 1); Swaps > 0; --Swaps)
        std::swap(Seq[Pick(Seq.size())], Seq[Pick(Seq.size())]);
      break;
    }
    default: // tokens of a unit in random order
      for (std::size_t N = 1 + Pick(200); N > 0; --N) Seq.push_back(Tokens[Pick(Tokens.size())]);
    }
    std::string Source = Prefixes[Pick(std::size(Prefixes))];
    for (const std::string &T : Seq) Source += T + " ";
    if (Pick(2)) Source += "implementation begin end .";

    S.Symbols.CreateSymbols();
    S.Phase = TPhase::phProject;
    S.Source.Conditionals.Reset();
    const std::string File = Dir.Write("fuzz.pas", Source);
    S.Symbols.AddUnit(File);

    // Each scanned token may be met at the end of input a bounded number of
    // times more; a loop that keeps reading past the end runs out of budget.
    Budget = static_cast<long long>(Seq.size()) * 2 + 2000;
    Seen = 0;
    std::uint64_t Base = S.Source.TokensRead;
    S.Source.TokenHook = [&] {
      Seen = static_cast<long long>(S.Source.TokensRead - Base);
      if (Seen > Budget) throw ETokenBudget("token budget exceeded");
    };
    try {
      ++Results[ParseUnitInterface(S, 0).Result];
    } catch (const ETokenBudget &) {
      ADD_FAILURE() << "symbol pass kept reading past the input in case " << Case << ":\n"
                    << Source.substr(0, 2000);
      break;
    }
    ASSERT_EQ(S.Parser->Nesting(), 0) << "case " << Case;
    ASSERT_TRUE(S.Parser->CurrentClass().empty()) << "case " << Case;

    S.Symbols.SortAll();
    test::TListingDriver D(S);
    Seen = 0;
    Base = S.Source.TokensRead;
    S.Source.TokenHook = [&] {
      Seen = static_cast<long long>(S.Source.TokensRead - Base);
      if (Seen > Budget) throw ETokenBudget("token budget exceeded");
      D.Hook();
    };
    try {
      D.Run(0);
    } catch (const ETokenBudget &) {
      ADD_FAILURE() << "listing rules kept reading past the input in case " << Case << ":\n"
                    << Source.substr(0, 2000);
      break;
    }
    // Blanks inside a qualified routine name stay where they stand, so the
    // listing is the source.
    ASSERT_EQ(D.Text, Source) << "listing lost or repeated text in case " << Case;
  }
  const double Seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
  std::printf("  %d sequences in %.1f s; interface results: no interface %d, ok %d, error %d\n",
              Case.load(), Seconds, Results[prNone], Results[prOk], Results[prError]);
  EXPECT_LT(Seconds, 60.0);
}

} // namespace
} // namespace codeweft
