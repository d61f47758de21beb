// Temporary source files for the scanner and token-stream tests.
#pragma once

#include "codeweft/core/lex/Scanner.h"
#include "tests/codeweft/core/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace codeweft::test {

// A delivered token with a copy of its text (the scanner's view lasts only
// until the next token).
struct TScannedToken {
  TTokenKind Kind = TTokenKind::tkEnd;
  std::string Text;
};

struct TScanResult {
  std::vector<TScannedToken> Tokens; // the delivered tokens, without the final tkEnd
  int Code = 0;               // the code that ended the scan
  std::string Joined() const {
    std::string S;
    for (const TScannedToken &T : Tokens) S += T.Text;
    return S;
  }
};

// Scans Source (written to a file) until the scanner reports anything but a token.
inline TScanResult Scan(const std::string &Source) {
  TTempDir Dir;
  TScanner Scanner;
  Scanner.Open(Dir.Write("src.pas", Source));
  TScanResult R;
  TToken T;
  while ((R.Code = Scanner.NextToken(T)) == scToken) R.Tokens.push_back({T.Kind, std::string(T.Text)});
  EXPECT_EQ(T.Kind, TTokenKind::tkEnd);
  EXPECT_EQ(T.Text, "");
  return R;
}

} // namespace codeweft::test
