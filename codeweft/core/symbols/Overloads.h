// Overloaded routines: each overload of a name gets an anchor of its own.
//
// The first routine of a name keeps the plain anchor ("unit_Name"); the
// second and later ones add a period and their number ("unit_Name.2"). An
// identifier never holds a period and never starts with a digit, so such an
// anchor cannot be another routine's, and letters, digits, "_" and "." are
// all a help topic and an HTML id may hold.
//
// Declarations are numbered in the order the interface part declares them.
// An implementation heading takes the number of the declaration with the same
// parameter list (names and default values aside); the headings that match
// none take the numbers left over in order, and then new numbers after the
// last declaration (routines the interface does not declare, forward
// declarations, nested routines of one name).
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "codeweft/core/lex/Token.h"

namespace codeweft {

// A significant token of a parameter list, its text in lower case.
struct TParamToken {
  TTokenKind Kind = TTokenKind::tkEnd;
  std::string Text;
};

// What a parameter list says about the calls that fit it: how many arguments
// they pass (fewer than Max when defaults are left out), and the list's types
// for matching a declaration with its implementation.
struct TParamList {
  int Min = 0;
  int Max = 0;
  // One entry per parameter: the modifier and the type's tokens, "var integer".
  std::vector<std::string> Types;
  bool operator==(const TParamList &other) const = default;
};

// Reads a parameter list from its tokens, "(" to ")" inclusive; no tokens
// (a heading without a list) is the empty list.
TParamList ReadParamList(const std::vector<TParamToken> &tokens);

// "" for the first overload (number 1 or less), ".N" from the second on.
std::string OverloadSuffix(int number);

// The overloads a call fits: ranges[i] is the Min and Max of overload i + 1.
// The number of the one overload whose range holds arguments, or 1 when none
// or several do.
int OverloadForArguments(const std::vector<std::pair<int, int>> &ranges, int arguments);

// The routine headings of one unit, by key (the anchor name without the unit
// part, in lower case: "name" or "class_name"), gathered by the symbol pass.
class TOverloadNumbering {
 public:
  // A declaration of the interface part; returns its number.
  int Declare(std::string_view key, TParamList params);
  // A heading of the implementation part, in source order.
  void Implement(std::string_view key, TParamList params);
  // The numbers of the implementation headings of every key, in the order of
  // Implement; only keys whose numbers are not simply 1, 2, 3... are listed,
  // sorted by key.
  std::vector<std::pair<std::string, std::vector<int>>> ImplementationNumbers() const;
  // The number of the index-th implementation heading (0 first) of Key, as
  // ImplementationNumbers gives it.
  static int NumberOf(const std::vector<std::pair<std::string, std::vector<int>>> &numbers,
                      std::string_view key, int index);
  void Clear() {
    FKeys.clear();
    // A fresh map: clear() would zero every bucket that one large unit grew.
    std::unordered_map<std::string, std::size_t>().swap(FIndex);
  }

 private:
  struct TKey {
    std::string Key;
    std::vector<TParamList> Declared;
    std::vector<TParamList> Implemented;
  };
  TKey &Find(std::string_view key);
  std::vector<TKey> FKeys;  // in the order first met
  std::unordered_map<std::string, std::size_t> FIndex;
};

}  // namespace codeweft
