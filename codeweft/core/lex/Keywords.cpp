#include "codeweft/core/lex/Keywords.h"

namespace codeweft {

TTokenKind WordKind(std::string_view word) {
  if (word.empty() || word.size() > MaxKeywordLength) return TTokenKind::tkIdentifier;
  // Setting the case bit makes a letter lower case and no other byte a
  // letter, so any bytes may come in.
  unsigned char padded[16] = {};
  std::memcpy(padded, word.data(), word.size());
  return PaddedWordKind(padded, word.size());
}

} // namespace codeweft
