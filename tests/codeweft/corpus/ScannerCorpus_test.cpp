// The scanner and the token stream over every source file of the corpus: the
// joined token texts must give back each file's bytes up to the point where
// the scan stopped (all of them when it reached the end).
#include "codeweft/core/lex/Keywords.h"
#include "codeweft/core/lex/Scanner.h"
#include "codeweft/core/lex/TokenStream.h"

#include "Corpus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

namespace codeweft {
namespace {

std::string ReadFile(const std::string &Path) {
  std::ifstream In(Path, std::ios::binary | std::ios::ate);
  std::string S(static_cast<std::size_t>(In.tellg()), '\0');
  In.seekg(0);
  In.read(S.data(), static_cast<std::streamsize>(S.size()));
  if (S.compare(0, 3, "\xEF\xBB\xBF") == 0) S.erase(0, 3); // not source text
  return S;
}

std::string StopName(int Code, int Char) {
  if (Code == scOpenString) return "string reaching its line end";
  if (Code == scOpenComment) return "comment left open";
  char Buf[32];
  if (Char >= 33 && Char < 127)
    std::snprintf(Buf, sizeof Buf, "'%c' (%d)", Char, Char);
  else
    std::snprintf(Buf, sizeof Buf, "byte %d", Char);
  return Buf;
}

class ScannerCorpus : public ::testing::Test {
protected:
  void SetUp() override {
    Root = test::CorpusRoot();
    if (Root.empty()) GTEST_SKIP() << "corpus not installed (fpc-source)";
    Files = test::CorpusFiles(Root);
    ASSERT_GT(Files.size(), 1000u) << "corpus at " << Root << " looks incomplete";
  }
  std::filesystem::path Root;
  std::vector<std::string> Files;
};

TEST_F(ScannerCorpus, JoinedTokensGiveBackEveryFileUpToItsStop) {
  TScanner Scanner;
  TToken Token;
  std::map<int, int> Codes;
  std::map<std::string, int> Stops;
  long long Bytes = 0, Scanned = 0;
  int Mismatches = 0;
  for (const std::string &F : Files) {
    const std::string Src = ReadFile(F);
    std::string Joined;
    Scanner.Open(F);
    int Code;
    while ((Code = Scanner.NextToken(Token)) == scToken) Joined += Token.Text;
    const int Stop = Scanner.StopChar();
    Scanner.Close();
    ++Codes[Code];
    Bytes += static_cast<long long>(Src.size());
    Scanned += static_cast<long long>(Joined.size());
    bool Ok = Joined.size() <= Src.size() && Src.compare(0, Joined.size(), Joined) == 0;
    if (Code == scEnd) Ok = Ok && Joined.size() == Src.size();
    if (Code == scBadChar)
      Ok = Ok && Joined.size() < Src.size() &&
           static_cast<unsigned char>(Src[Joined.size()]) == Stop;
    if (Code != scEnd) ++Stops[StopName(Code, Stop)];
    if (!Ok && ++Mismatches <= 5) ADD_FAILURE() << F << ": tokens do not give the file back";
  }
  EXPECT_EQ(Mismatches, 0);

  std::vector<std::pair<int, std::string>> ByCount;
  for (const auto &[Name, N] : Stops) ByCount.emplace_back(N, Name);
  std::sort(ByCount.rbegin(), ByCount.rend());
  std::ostringstream Report;
  Report << "corpus " << Root.string() << ": " << Files.size() << " files, " << Bytes
         << " bytes; " << Codes[scEnd] << " scanned to the end, " << Scanned
         << " bytes scanned\n  stopped by:";
  for (std::size_t i = 0; i < ByCount.size() && i < 8; ++i)
    Report << (i ? ", " : " ") << ByCount[i].second << " x" << ByCount[i].first;
  std::printf("%s\n", Report.str().c_str());
  RecordProperty("files", static_cast<int>(Files.size()));
  RecordProperty("scanned_to_end", Codes[scEnd]);
}

// The same through Advance: the hook sees every token of the file in order
// (and those of its include files between them), the grammar never sees
// trivia, and every file starts with no region switched off.
TEST_F(ScannerCorpus, TheHookOfTheTokenStreamSeesEveryFileWhole) {
  TRunState S;
  std::string Hooked;
  S.Source.TokenHook = [&] {
    if (S.Source.Includes.empty()) Hooked += S.Source.Token.Text;
  };
  int Mismatches = 0;
  long long Significant = 0;
  for (const std::string &F : Files) {
    const std::string Src = ReadFile(F);
    Hooked.clear();
    OpenSource(S, F);
    EXPECT_FALSE(S.Source.Conditionals.Skipping());
    for (Advance(S); !S.Source.AtEnd; Advance(S)) {
      ++Significant;
      if (IsTrivia(S.Source.Token.Kind) || S.Source.Conditionals.Skipping()) ++Mismatches;
    }
    S.Source.Scanner.Close();
    const bool Ok = Hooked.size() <= Src.size() && Src.compare(0, Hooked.size(), Hooked) == 0;
    if (!Ok && ++Mismatches <= 5) ADD_FAILURE() << F << ": the hook missed tokens";
  }
  EXPECT_EQ(Mismatches, 0);
  EXPECT_GT(Significant, 1000000);
}

} // namespace
} // namespace codeweft
