// Object Pascal words and symbol names compare without regard to case, as whole
// names. Letters are folded as ASCII; every other byte compares by its value, so
// sorting and binary search always agree.
#pragma once

#include <string>
#include <string_view>

namespace codeweft {

constexpr unsigned char LowerChar(unsigned char C) {
  return (C >= 'A' && C <= 'Z') ? static_cast<unsigned char>(C + ('a' - 'A')) : C;
}

// <0, 0 or >0 as A sorts before, equal to or after B, ignoring case.
int CompareText(std::string_view A, std::string_view B);

inline bool SameText(std::string_view A, std::string_view B) {
  return A.size() == B.size() && CompareText(A, B) == 0;
}

std::string LowerCase(std::string_view S);

} // namespace codeweft
