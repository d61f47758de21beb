#include "codeweft/core/lex/Keywords.h"

namespace codeweft {

TTokenKind WordKind(std::string_view Word) {
  if (Word.empty() || Word.size() > MaxKeywordLength) return TTokenKind::tkIdentifier;
  // Setting the case bit makes a letter lower case and no other byte a
  // letter, so any bytes may come in.
  unsigned char Padded[16] = {};
  std::memcpy(Padded, Word.data(), Word.size());
  return PaddedWordKind(Padded, Word.size());
}

} // namespace codeweft
