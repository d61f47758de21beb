// The real corpus: the installed Free Pascal sources (written by nobody here).
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace codeweft::test {

// The corpus folder: $CODEWEFT_CORPUS, else the first folder under
// /usr/share/fpcsrc; empty when neither exists.
inline std::filesystem::path CorpusRoot() {
  namespace fs = std::filesystem;
  if (const char *Env = std::getenv("CODEWEFT_CORPUS")) return Env;
  std::error_code E;
  if (!fs::is_directory("/usr/share/fpcsrc", E)) return {};
  std::vector<fs::path> Versions;
  for (const auto &D : fs::directory_iterator("/usr/share/fpcsrc", E))
    if (D.is_directory()) Versions.push_back(D.path());
  if (Versions.empty()) return {};
  std::sort(Versions.begin(), Versions.end());
  return Versions.back();
}

// Every .pas, .pp and .inc file under Root (extension in any case), sorted.
inline std::vector<std::string> CorpusFiles(const std::filesystem::path &Root) {
  namespace fs = std::filesystem;
  std::vector<std::string> Files;
  std::error_code E;
  for (auto It = fs::recursive_directory_iterator(Root, E); !E && It != fs::end(It);
       It.increment(E)) {
    if (!It->is_regular_file(E)) continue;
    std::string Ext = It->path().extension().string();
    for (char &C : Ext) C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
    if (Ext == ".pas" || Ext == ".pp" || Ext == ".inc") Files.push_back(It->path().string());
  }
  std::sort(Files.begin(), Files.end());
  return Files;
}

} // namespace codeweft::test
