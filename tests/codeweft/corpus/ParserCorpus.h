// The units of the corpus's run-time library, for the parser's corpus runs.
#pragma once

#include "codeweft/core/lex/Keywords.h"
#include "codeweft/core/RunState.h"
#include "codeweft/core/lex/TokenStream.h"

#include "Corpus.h"

#include <fstream>
#include <string>
#include <vector>

namespace codeweft::test {

// Every .pp and .pas file under Root/rtl whose first significant word is "unit".
inline std::vector<std::string> RtlUnits(const std::filesystem::path &Root) {
  std::vector<std::string> Units;
  for (const std::string &F : CorpusFiles(Root / "rtl")) {
    const std::string Ext = F.substr(F.size() - 3);
    if (Ext != ".pp" && Ext != "pas" && Ext != ".PP" && Ext != "PAS") continue;
    TRunState S; // fresh: no switched-off region carried over from another file
    S.Source.Scanner.Open(F);
    Advance(S);
    if (S.Source.Token.Kind == Keyword("unit")) Units.push_back(F);
  }
  return Units;
}

// The file's bytes without a byte-order mark.
inline std::string ReadSource(const std::string &Path) {
  std::ifstream In(Path, std::ios::binary);
  std::string S((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  if (S.compare(0, 3, "\xEF\xBB\xBF") == 0) S.erase(0, 3);
  return S;
}

} // namespace codeweft::test
