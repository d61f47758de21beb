#include "codeweft/core/symbols/Overloads.h"

#include <algorithm>

#include "codeweft/core/lex/Keywords.h"

namespace codeweft {

namespace {

using K = TTokenKind;

bool Opens(K Kind) { return Kind == K::tkLParen || Kind == K::tkLBracket; }
bool Closes(K Kind) { return Kind == K::tkRParen || Kind == K::tkRBracket; }

// One parameter group, "[const] A, B: Type [= Default]", its tokens in
// [First, Last).
void ReadGroup(const std::vector<TParamToken> &T, std::size_t First, std::size_t Last,
               TParamList &List) {
  // Attributes before and after the modifier are no part of the type.
  const auto SkipAttributes = [&] {
    while (First < Last && T[First].Kind == K::tkLBracket) {
      int Depth = 0;
      do {
        Depth += Opens(T[First].Kind) ? 1 : Closes(T[First].Kind) ? -1 : 0;
        ++First;
      } while (First < Last && Depth > 0);
    }
  };
  SkipAttributes();
  std::string Modifier;
  if (First < Last && (T[First].Kind == Keyword("const") || T[First].Kind == Keyword("var") ||
                       T[First].Kind == Keyword("out") || T[First].Text == "constref")) {
    // "out" may also be a parameter's name: it is the modifier only when a
    // name follows.
    if (First + 1 < Last && T[First + 1].Kind != K::tkComma && T[First + 1].Kind != K::tkColon)
      Modifier = T[First++].Text;
  }
  SkipAttributes();
  int Names = 0;
  while (First < Last && T[First].Kind != K::tkColon && T[First].Kind != K::tkEqual) {
    if (T[First].Kind != K::tkComma) ++Names;
    ++First;
  }
  std::string Type = Modifier;
  if (First < Last && T[First].Kind == K::tkColon) {
    ++First;
    int Depth = 0;
    for (; First < Last; ++First) {
      if (Depth == 0 && T[First].Kind == K::tkEqual) break;
      Depth += Opens(T[First].Kind) ? 1 : Closes(T[First].Kind) ? -1 : 0;
      Type += (Type.empty() ? "" : " ") + T[First].Text;
    }
  }
  const bool Defaulted = First < Last && T[First].Kind == K::tkEqual;
  for (int N = 0; N < Names; ++N) List.Types.push_back(Type);
  List.Max += Names;
  if (!Defaulted) List.Min += Names;
}

}  // namespace

TParamList ReadParamList(const std::vector<TParamToken> &T) {
  TParamList List;
  if (T.size() < 2 || T.front().Kind != K::tkLParen) return List;
  // The groups are separated by the semicolons of the outermost level.
  std::size_t Start = 1;
  int Depth = 0;
  for (std::size_t I = 1; I < T.size(); ++I) {
    const bool End = Depth == 0 && T[I].Kind == K::tkRParen;
    if (End || (Depth == 0 && T[I].Kind == K::tkSemicolon)) {
      ReadGroup(T, Start, I, List);
      Start = I + 1;
      if (End) break;
      continue;
    }
    Depth += Opens(T[I].Kind) ? 1 : Closes(T[I].Kind) ? -1 : 0;
  }
  return List;
}

std::string OverloadSuffix(int Number) {
  return Number <= 1 ? std::string() : "." + std::to_string(Number);
}

int OverloadForArguments(const std::vector<std::pair<int, int>> &Ranges, int Arguments) {
  int Found = 0;
  for (std::size_t I = 0; I < Ranges.size(); ++I) {
    if (Arguments < Ranges[I].first || Arguments > Ranges[I].second) continue;
    if (Found) return 1;  // more than one fits
    Found = static_cast<int>(I) + 1;
  }
  return Found ? Found : 1;
}

TOverloadNumbering::TKey &TOverloadNumbering::Find(std::string_view Key) {
  const auto It = FIndex.find(std::string(Key));
  if (It != FIndex.end()) return FKeys[It->second];
  FIndex.emplace(std::string(Key), FKeys.size());
  FKeys.push_back({std::string(Key), {}, {}});
  return FKeys.back();
}

int TOverloadNumbering::Declare(std::string_view Key, TParamList Params) {
  TKey &Entry = Find(Key);
  Entry.Declared.push_back(std::move(Params));
  return static_cast<int>(Entry.Declared.size());
}

void TOverloadNumbering::Implement(std::string_view Key, TParamList Params) {
  Find(Key).Implemented.push_back(std::move(Params));
}

std::vector<std::pair<std::string, std::vector<int>>> TOverloadNumbering::ImplementationNumbers()
    const {
  std::vector<std::pair<std::string, std::vector<int>>> Result;
  for (const TKey &Entry : FKeys) {
    const std::size_t Declared = Entry.Declared.size();
    std::vector<bool> Taken(Declared, false);
    std::vector<int> Numbers(Entry.Implemented.size(), 0);
    // First the headings whose parameter types are a declaration's.
    for (std::size_t J = 0; J < Numbers.size(); ++J)
      for (std::size_t I = 0; I < Declared; ++I)
        if (!Taken[I] && Entry.Declared[I].Types == Entry.Implemented[J].Types) {
          Taken[I] = true;
          Numbers[J] = static_cast<int>(I) + 1;
          break;
        }
    // Then the rest in order: the declarations left, then new numbers.
    std::size_t Next = 0;
    int Extra = static_cast<int>(Declared);
    for (int &Number : Numbers) {
      if (Number) continue;
      while (Next < Declared && Taken[Next]) ++Next;
      if (Next < Declared) {
        Taken[Next] = true;
        Number = static_cast<int>(Next) + 1;
      } else {
        Number = ++Extra;
      }
    }
    bool Plain = true;
    for (std::size_t J = 0; J < Numbers.size(); ++J) Plain = Plain && Numbers[J] == int(J) + 1;
    if (!Plain) Result.emplace_back(Entry.Key, std::move(Numbers));
  }
  std::sort(Result.begin(), Result.end());
  return Result;
}

int TOverloadNumbering::NumberOf(
    const std::vector<std::pair<std::string, std::vector<int>>> &Numbers, std::string_view Key,
    int Index) {
  const auto It = std::lower_bound(Numbers.begin(), Numbers.end(), Key,
                                   [](const std::pair<std::string, std::vector<int>> &E,
                                      std::string_view K) { return E.first < K; });
  if (It == Numbers.end() || It->first != Key || Index >= static_cast<int>(It->second.size()))
    return Index + 1;
  return It->second[static_cast<std::size_t>(Index)];
}

}  // namespace codeweft
