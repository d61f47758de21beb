#include "codeweft/core/symbols/Overloads.h"

#include <algorithm>

#include "codeweft/core/lex/Keywords.h"

namespace codeweft {

namespace {

using K = TTokenKind;

bool Opens(K kind) { return kind == K::tkLParen || kind == K::tkLBracket; }
bool Closes(K kind) { return kind == K::tkRParen || kind == K::tkRBracket; }

// One parameter group, "[const] A, B: type [= Default]", its tokens in
// [first, last).
void ReadGroup(const std::vector<TParamToken> &tokens, std::size_t first, std::size_t last,
               TParamList &list) {
  // Attributes before and after the modifier are no part of the type.
  const auto skipAttributes = [&] {
    while (first < last && tokens[first].Kind == K::tkLBracket) {
      int depth = 0;
      do {
        depth += Opens(tokens[first].Kind) ? 1 : Closes(tokens[first].Kind) ? -1 : 0;
        ++first;
      } while (first < last && depth > 0);
    }
  };
  skipAttributes();
  std::string modifier;
  if (first < last &&
      (tokens[first].Kind == Keyword("const") || tokens[first].Kind == Keyword("var") ||
       tokens[first].Kind == Keyword("out") || tokens[first].Text == "constref")) {
    // "out" may also be a parameter's name: it is the modifier only when a
    // name follows.
    if (first + 1 < last && tokens[first + 1].Kind != K::tkComma &&
        tokens[first + 1].Kind != K::tkColon)
      modifier = tokens[first++].Text;
  }
  skipAttributes();
  int names = 0;
  while (first < last && tokens[first].Kind != K::tkColon && tokens[first].Kind != K::tkEqual) {
    if (tokens[first].Kind != K::tkComma) ++names;
    ++first;
  }
  std::string type = modifier;
  if (first < last && tokens[first].Kind == K::tkColon) {
    ++first;
    int depth = 0;
    for (; first < last; ++first) {
      if (depth == 0 && tokens[first].Kind == K::tkEqual) break;
      depth += Opens(tokens[first].Kind) ? 1 : Closes(tokens[first].Kind) ? -1 : 0;
      type += (type.empty() ? "" : " ") + tokens[first].Text;
    }
  }
  const bool defaulted = first < last && tokens[first].Kind == K::tkEqual;
  for (int n = 0; n < names; ++n) list.Types.push_back(type);
  list.Max += names;
  if (!defaulted) list.Min += names;
}

}  // namespace

TParamList ReadParamList(const std::vector<TParamToken> &t) {
  TParamList list;
  if (t.size() < 2 || t.front().Kind != K::tkLParen) return list;
  // The groups are separated by the semicolons of the outermost level.
  std::size_t start = 1;
  int depth = 0;
  for (std::size_t i = 1; i < t.size(); ++i) {
    const bool end = depth == 0 && t[i].Kind == K::tkRParen;
    if (end || (depth == 0 && t[i].Kind == K::tkSemicolon)) {
      ReadGroup(t, start, i, list);
      start = i + 1;
      if (end) break;
      continue;
    }
    depth += Opens(t[i].Kind) ? 1 : Closes(t[i].Kind) ? -1 : 0;
  }
  return list;
}

std::string OverloadSuffix(int number) {
  return number <= 1 ? std::string() : "." + std::to_string(number);
}

int OverloadForArguments(const std::vector<std::pair<int, int>> &ranges, int arguments) {
  int found = 0;
  for (std::size_t i = 0; i < ranges.size(); ++i) {
    if (arguments < ranges[i].first || arguments > ranges[i].second) continue;
    if (found) return 1;  // more than one fits
    found = static_cast<int>(i) + 1;
  }
  return found ? found : 1;
}

TOverloadNumbering::TKey &TOverloadNumbering::Find(std::string_view key) {
  const auto it = FIndex.find(std::string(key));
  if (it != FIndex.end()) return FKeys[it->second];
  FIndex.emplace(std::string(key), FKeys.size());
  FKeys.push_back({std::string(key), {}, {}});
  return FKeys.back();
}

int TOverloadNumbering::Declare(std::string_view key, TParamList params) {
  TKey &entry = Find(key);
  entry.Declared.push_back(std::move(params));
  return static_cast<int>(entry.Declared.size());
}

void TOverloadNumbering::Implement(std::string_view key, TParamList params) {
  Find(key).Implemented.push_back(std::move(params));
}

std::vector<std::pair<std::string, std::vector<int>>> TOverloadNumbering::ImplementationNumbers()
    const {
  std::vector<std::pair<std::string, std::vector<int>>> result;
  for (const TKey &entry : FKeys) {
    const std::size_t declared = entry.Declared.size();
    std::vector<bool> taken(declared, false);
    std::vector<int> numbers(entry.Implemented.size(), 0);
    // First the headings whose parameter types are a declaration's.
    for (std::size_t j = 0; j < numbers.size(); ++j)
      for (std::size_t i = 0; i < declared; ++i)
        if (!taken[i] && entry.Declared[i].Types == entry.Implemented[j].Types) {
          taken[i] = true;
          numbers[j] = static_cast<int>(i) + 1;
          break;
        }
    // Then the rest in order: the declarations left, then new numbers.
    std::size_t next = 0;
    int extra = static_cast<int>(declared);
    for (int &number : numbers) {
      if (number) continue;
      while (next < declared && taken[next]) ++next;
      if (next < declared) {
        taken[next] = true;
        number = static_cast<int>(next) + 1;
      } else {
        number = ++extra;
      }
    }
    bool plain = true;
    for (std::size_t j = 0; j < numbers.size(); ++j) plain = plain && numbers[j] == int(j) + 1;
    if (!plain) result.emplace_back(entry.Key, std::move(numbers));
  }
  std::sort(result.begin(), result.end());
  return result;
}

int TOverloadNumbering::NumberOf(
    const std::vector<std::pair<std::string, std::vector<int>>> &numbers, std::string_view key,
    int index) {
  const auto it = std::lower_bound(numbers.begin(), numbers.end(), key,
                                   [](const std::pair<std::string, std::vector<int>> &e,
                                      std::string_view k) { return e.first < k; });
  if (it == numbers.end() || it->first != key || index >= static_cast<int>(it->second.size()))
    return index + 1;
  return it->second[static_cast<std::size_t>(index)];
}

}  // namespace codeweft
