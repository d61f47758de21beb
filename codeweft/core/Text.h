// Object Pascal words and symbol names compare without regard to case, as whole
// names. Letters are folded as ASCII; every other byte compares by its value, so
// sorting and binary search always agree.
#pragma once

#include <string>
#include <string_view>

namespace codeweft {

constexpr unsigned char LowerChar(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

// <0, 0 or >0 as A sorts before, equal to or after B, ignoring case.
int CompareText(std::string_view a, std::string_view b);

inline bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareText(a, b) == 0;
}

std::string LowerCase(std::string_view s);

} // namespace codeweft
