// The symbol pass over every unit of the corpus's run-time library, and the
// listing rules over the same units. Prints the figures that later work on
// newer syntax is measured against.
#include "codeweft/core/symbols/Grid.h"
#include "codeweft/core/lex/Scanner.h"
#include "codeweft/core/symbols/SymbolPass.h"

#include "ParserCorpus.h"
#include "tests/codeweft/core/ParserFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>

namespace codeweft {
namespace {

// What a stop is shown as: words in lower case, other tokens as written.
std::string StopName(const TInterfaceOutcome &O) {
  if (O.StopKind == TTokenKind::tkIdentifier || IsKeyword(O.StopKind))
    return LowerCase(O.StopText);
  return O.StopText;
}

TEST(SymbolPassCorpus, EveryRtlUnitIsParsedAndTheFiguresArePrinted) {
  const auto Root = test::CorpusRoot();
  if (Root.empty()) GTEST_SKIP() << "no corpus installed";
  const std::vector<std::string> Files = test::RtlUnits(Root);
  ASSERT_GT(Files.size(), 100u);

  TRunState S;
  S.Symbols.CreateSymbols();
  for (const std::string &F : Files) S.Symbols.AddUnit(F);

  const auto Start = std::chrono::steady_clock::now();
  int WithInterface = 0, Errors = 0, Stopped = 0;
  std::map<std::string, int> StopCounts;
  for (int I = 0; I < static_cast<int>(Files.size()); ++I) {
    const TInterfaceOutcome O = ParseUnitInterface(S, I);
    WithInterface += O.HasInterface;
    Errors += O.Result == prError;
    if (O.Stopped()) {
      ++Stopped;
      ++StopCounts[StopName(O)];
    }
  }
  S.Symbols.SortAll();
  const double Seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();

  std::size_t Idents = 0, Classes = 0, Members = 0;
  for (const TURElm &U : S.Symbols.Units) {
    Idents += U.Idents.size();
    Classes += U.Classes.size();
    for (const TCRElm &C : U.Classes) Members += C.Members.size();
  }
  std::vector<std::pair<int, std::string>> Top;
  for (const auto &[Name, Count] : StopCounts) Top.push_back({Count, Name});
  std::sort(Top.begin(), Top.end(), [](const auto &A, const auto &B) {
    return A.first != B.first ? A.first > B.first : A.second < B.second;
  });

  std::printf("Symbol pass over %s/rtl\n", Root.string().c_str());
  std::printf("  units parsed:                       %zu (%d with an interface part)\n",
              Files.size(), WithInterface);
  std::printf("  interface ended in a syntax error:  %d\n", Errors);
  std::printf("  interface stopped before its end:   %d (syntax error or unknown construct)\n",
              Stopped);
  std::printf("  symbols recorded:                   %zu (%zu identifiers, %zu classes, "
              "%zu members)\n",
              Idents + Classes + Members, Idents, Classes, Members);
  std::printf("  grid rows:                          %zu\n", GridRows(S.Symbols).size());
  std::printf("  time:                               %.2f s\n", Seconds);
  std::printf("  most frequent stops:\n");
  for (std::size_t I = 0; I < Top.size() && I < 10; ++I)
    std::printf("    %5d  %s\n", Top[I].first, Top[I].second.c_str());

  EXPECT_GT(WithInterface, 100);
  EXPECT_GT(Idents, 1000u);
  EXPECT_LT(Seconds, 60.0);
}

// The listing rules over the same units: every token reaches the listing
// exactly once and in order, links and anchors included.
TEST(SymbolPassCorpus, TheLinkRulesKeepEveryRtlUnitsTextIntact) {
  const auto Root = test::CorpusRoot();
  if (Root.empty()) GTEST_SKIP() << "no corpus installed";
  const std::vector<std::string> Files = test::RtlUnits(Root);

  TRunState S;
  S.Symbols.CreateSymbols();
  for (const std::string &F : Files) S.Symbols.AddUnit(F);
  BuildSymbolTable(S, {});

  int Complete = 0;
  std::size_t Links = 0, Anchors = 0;
  for (int I = 0; I < static_cast<int>(S.Symbols.Units.size()); ++I) {
    // What the scanner reaches of the file: all of it, or up to a scanning error.
    std::string Reach;
    int Code;
    {
      TScanner Scanner;
      Scanner.Open(S.Symbols.Units[I].FileName);
      TToken T;
      while ((Code = Scanner.NextToken(T)) == scToken) Reach += T.Text;
    }
    test::TListingDriver D(S);
    D.Run(I);
    ASSERT_EQ(D.Text, Reach) << S.Symbols.Units[I].FileName;
    Complete += Code == scEnd;
    Links += D.Links;
    Anchors += D.Anchors;
  }
  std::printf("  listings: %d of %zu units scanned to their end, every token written once;"
              " %zu links, %zu anchors\n",
              Complete, S.Symbols.Units.size(), Links, Anchors);
}

} // namespace
} // namespace codeweft
