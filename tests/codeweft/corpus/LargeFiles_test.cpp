// Files of 100 MB: the scanner streams them through its buffer, so memory does
// not grow with the file (only with the largest single token), and junk is
// read through as tokens of single bytes without holding more of it.
#include "codeweft/core/lex/Scanner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace codeweft {
namespace {

constexpr long long FileSize = 100LL * 1024 * 1024;

long MaxRssKb() {
  rusage U{};
  getrusage(RUSAGE_SELF, &U);
  return U.ru_maxrss;
}

class LargeFiles : public ::testing::Test {
protected:
  std::string Path = (std::filesystem::temp_directory_path() /
                      ("cw-large-" + std::to_string(::getpid()) + ".pas")).string();
  void TearDown() override { std::filesystem::remove(Path); }

  // Writes Block again and again until the file has FileSize bytes.
  void WriteRepeated(const std::string &Block) {
    std::ofstream Out(Path, std::ios::binary);
    for (long long N = 0; N < FileSize; N += static_cast<long long>(Block.size()))
      Out.write(Block.data(), static_cast<std::streamsize>(Block.size()));
  }

  struct TOutcome {
    int Code = 0;
    long long Bytes = 0;
    std::size_t Largest = 0;
  };
  TOutcome ScanAll() {
    TScanner S;
    TToken T;
    TOutcome O;
    S.Open(Path);
    while ((O.Code = S.NextToken(T)) == scToken) {
      O.Bytes += static_cast<long long>(T.Text.size());
      O.Largest = std::max(O.Largest, T.Text.size());
    }
    return O;
  }
};

TEST_F(LargeFiles, OrdinarySourceIsScannedToTheEndInConstantMemory) {
  std::string Block;
  for (int i = 0; i < 200; ++i)
    Block += "  Result := Result + Value" + std::to_string(i) +
             " * $FF div 2; { note } // line\r\n  S := 'It''s'#13#10; (* x *) R := 1.5e3;\r\n";
  WriteRepeated(Block);
  const long Before = MaxRssKb();
  const TOutcome O = ScanAll();
  const long Growth = MaxRssKb() - Before;
  EXPECT_EQ(O.Code, scEnd);
  EXPECT_EQ(O.Bytes, static_cast<long long>(std::filesystem::file_size(Path)));
  EXPECT_LT(Growth, 8 * 1024) << "max RSS grew by " << Growth << " KiB";
}

TEST_F(LargeFiles, BinaryAndNulFilesAreReadThroughInConstantMemory) {
  // Random bytes without quotes and braces, so that no string or comment
  // stops the scan or runs on.
  std::string Junk(1 << 20, '\0');
  std::mt19937 Rng(1);
  for (char &C : Junk) {
    do C = static_cast<char>(Rng());
    while (C == '\'' || C == '{' || C == '(' || C == '/');
  }
  WriteRepeated(Junk);
  const long Before = MaxRssKb();
  TOutcome O = ScanAll();
  EXPECT_EQ(O.Code, scEnd);
  EXPECT_EQ(O.Bytes, static_cast<long long>(std::filesystem::file_size(Path)));
  EXPECT_LT(MaxRssKb() - Before, 8 * 1024);

  WriteRepeated(std::string(1 << 20, '\0'));
  O = ScanAll();
  EXPECT_EQ(O.Code, scEnd);
  EXPECT_EQ(O.Bytes, static_cast<long long>(std::filesystem::file_size(Path)));
  EXPECT_EQ(O.Largest, 1u);
}

TEST_F(LargeFiles, OneTokenAsLargeAsTheFileIsDeliveredWhole) {
  WriteRepeated(std::string(1 << 20, ' '));
  const TOutcome O = ScanAll();
  EXPECT_EQ(O.Code, scEnd);
  EXPECT_EQ(O.Largest, static_cast<std::size_t>(FileSize));
}

} // namespace
} // namespace codeweft
