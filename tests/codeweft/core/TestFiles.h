// Temporary source files for the scanner and token-stream tests.
#pragma once

#include "codeweft/core/Scanner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace codeweft::test {

// A fresh directory under the system's temporary folder, removed at the end.
class TTempDir {
public:
  TTempDir() {
    std::string Pattern = (std::filesystem::temp_directory_path() / "cwtest-XXXXXX").string();
    if (!::mkdtemp(Pattern.data())) throw std::runtime_error("mkdtemp failed");
    FPath = Pattern;
  }
  ~TTempDir() {
    std::error_code E;
    std::filesystem::remove_all(FPath, E);
  }
  // Writes Bytes to the file Name in this directory and returns its path.
  std::string Write(const std::string &Name, const std::string &Bytes) const {
    const std::string P = (FPath / Name).string();
    std::ofstream(P, std::ios::binary) << Bytes;
    return P;
  }
  const std::filesystem::path &Path() const { return FPath; }

private:
  std::filesystem::path FPath;
};

struct TScanResult {
  std::vector<TToken> Tokens; // the delivered tokens, without the final tkEnd
  int Code = 0;               // the code that ended the scan
  std::string Joined() const {
    std::string S;
    for (const TToken &T : Tokens) S += T.Text;
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
  while ((R.Code = Scanner.NextToken(T)) == scToken) R.Tokens.push_back(T);
  EXPECT_EQ(T.Kind, TTokenKind::tkEnd);
  EXPECT_EQ(T.Text, "");
  return R;
}

} // namespace codeweft::test
