// codeweft PROJECT.dpr [-o BUILD_DIR]
//
// For now: scans the project file and the units its uses clause names with
// "in 'file'", and prints how many tokens of each group every file has. The
// full run (symbol table, listings, help project) takes this place later;
// the build folder is accepted already but nothing is written yet.
#include "codeweft/core/Errors.h"
#include "codeweft/core/Keywords.h"
#include "codeweft/core/RunState.h"
#include "codeweft/core/TokenStream.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

using namespace codeweft;

namespace {

enum TGroup { grIdent, grNumber, grString, grComment, grSymbol, grKeyword, grVisibility, grSpace,
              grCount };
const char *const GroupNames[grCount] = {"identifiers", "numbers",    "strings",  "comments",
                                         "symbols",     "keywords",   "visibility", "whitespace"};

TGroup GroupOf(TTokenKind Kind) {
  const int K = Ord(Kind);
  if (K == 0) return grIdent;
  if (K <= 2) return grNumber;
  if (K == 4) return grString;
  if (K <= 6) return grComment;
  if (K <= 30) return grSymbol;
  if (K <= 96) return grKeyword;
  if (K <= 101) return grVisibility;
  return grSpace;
}

// A file named in a project is relative to the project's folder; a backslash
// in it separates directories.
std::string UnitPath(const std::string &ProjectFile, std::string Name) {
  std::replace(Name.begin(), Name.end(), '\\', '/');
  if (!Name.empty() && Name[0] == '/') return Name;
  const std::size_t Sep = ProjectFile.find_last_of('/');
  return Sep == std::string::npos ? Name : ProjectFile.substr(0, Sep + 1) + Name;
}

// The files that the project's uses clause names after "in".
std::vector<std::string> UsedFiles(TRunState &State, const std::string &ProjectFile) {
  std::vector<std::string> Files;
  State.Scanner.Open(ProjectFile);
  Advance(State);
  while (!State.AtEnd && State.Token.Kind != Keyword("uses")) Advance(State);
  bool AfterIn = false;
  while (!State.AtEnd && State.Token.Kind != TTokenKind::tkSemicolon) {
    const TToken &T = State.Token;
    if (AfterIn && T.Kind == TTokenKind::tkString && T.Text.size() >= 2 && T.Text[0] == '\'')
      Files.push_back(UnitPath(ProjectFile, T.Text.substr(1, T.Text.size() - 2)));
    AfterIn = T.Kind == Keyword("in");
    Advance(State);
  }
  State.Scanner.Close();
  return Files;
}

void CountTokens(TScanner &Scanner, const std::string &File) {
  std::array<long, grCount> Counts{};
  TToken Token;
  Scanner.Open(File);
  int Code;
  long Bytes = 0;
  while ((Code = Scanner.NextToken(Token)) == scToken) {
    ++Counts[GroupOf(Token.Kind)];
    Bytes += static_cast<long>(Token.Text.size());
  }
  Scanner.Close();
  std::printf("%s: %ld bytes", File.c_str(), Bytes);
  for (int G = 0; G < grCount; ++G) std::printf(", %ld %s", Counts[G], GroupNames[G]);
  if (Code != scEnd) std::printf(" (stopped early, code %d)", Code);
  std::printf("\n");
}

} // namespace

int main(int argc, char **argv) {
  std::string Project;
  for (int i = 1; i < argc; ++i) {
    const std::string Arg = argv[i];
    if (Arg == "-o" && i + 1 < argc)
      ++i; // the build folder: nothing is written yet
    else if (Arg.empty() || Arg[0] == '-' || !Project.empty()) {
      std::fprintf(stderr, "usage: codeweft PROJECT.dpr [-o BUILD_DIR]\n");
      return 2;
    } else
      Project = Arg;
  }
  if (Project.empty()) {
    std::fprintf(stderr, "usage: codeweft PROJECT.dpr [-o BUILD_DIR]\n");
    return 2;
  }
  try {
    TRunState State;
    State.ProjectFile = ChangeExt(Project, "dpr");
    const std::vector<std::string> Units = UsedFiles(State, State.ProjectFile);
    CountTokens(State.Scanner, State.ProjectFile);
    for (const std::string &U : Units) CountTokens(State.Scanner, U);
  } catch (const std::exception &E) {
    std::fprintf(stderr, "codeweft: %s\n", E.what());
    return 1;
  }
  return 0;
}
