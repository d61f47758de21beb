#include "codeweft/core/Keywords.h"

#include "codeweft/core/Text.h"

#include <cstring>

namespace codeweft {

namespace {

// An open-addressed hash of the keyword table, built once. The lookup gives
// the same kind as comparing the word with every entry in order, since the
// table holds no word twice.
constexpr std::size_t MaxKeywordLength = 14;
constexpr unsigned SlotCount = 256;

unsigned Hash(std::string_view W) {
  return (static_cast<unsigned>(W.size()) * 7u + static_cast<unsigned char>(W[0]) * 31u +
          static_cast<unsigned char>(W[1]) * 3u + static_cast<unsigned char>(W.back())) %
         SlotCount;
}

struct TKeywordHash {
  signed char Slot[SlotCount];
  TKeywordHash() {
    std::memset(Slot, -1, sizeof Slot);
    for (std::size_t i = 0; i < KeywordTable.size(); ++i) {
      unsigned H = Hash(KeywordTable[i]);
      while (Slot[H] >= 0) H = (H + 1) % SlotCount;
      Slot[H] = static_cast<signed char>(i);
    }
  }
};

const TKeywordHash KeywordHash;

} // namespace

TTokenKind WordKind(std::string_view Word) {
  if (Word.size() < 2 || Word.size() > MaxKeywordLength || !MayBeKeyword(Word))
    return TTokenKind::tkIdentifier;
  char Lower[MaxKeywordLength];
  for (std::size_t i = 0; i < Word.size(); ++i)
    Lower[i] = static_cast<char>(LowerChar(static_cast<unsigned char>(Word[i])));
  const std::string_view LowerWord(Lower, Word.size());
  for (unsigned H = Hash(LowerWord); KeywordHash.Slot[H] >= 0; H = (H + 1) % SlotCount) {
    const int i = KeywordHash.Slot[H];
    if (KeywordTable[i] == LowerWord) return static_cast<TTokenKind>(KeywordBase + i);
  }
  return TTokenKind::tkIdentifier;
}

} // namespace codeweft
