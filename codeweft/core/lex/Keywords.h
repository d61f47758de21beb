// The keyword table of Object Pascal as the scanner knows it. Entry i (from 0)
// has the token kind 31 + i; kinds 97..101 are the visibility words, which the
// listings write without keyword markup.
#pragma once

#include "codeweft/core/lex/Token.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace codeweft {

inline constexpr int KeywordBase = 31;

inline constexpr std::array<std::string_view, 71> KeywordTable = {
    "and",         "array",      "as",        "asm",            "begin",
    "case",        "class",      "const",     "constructor",    "destructor",
    "dispinterface", "div",      "do",        "downto",         "else",
    "end",         "except",     "exports",   "file",           "finalization",
    "finally",     "for",        "function",  "goto",           "if",
    "implementation", "in",      "inherited", "initialization", "inline",
    "interface",   "is",         "label",     "library",        "mod",
    "nil",         "not",        "object",    "of",             "or",
    "out",         "packed",     "procedure", "program",        "property",
    "raise",       "record",     "repeat",    "resourcestring", "set",
    "shl",         "shr",        "string",    "stringresource", "then",
    "threadvar",   "to",         "try",       "type",           "unit",
    "until",       "uses",       "var",       "while",          "with",
    "xor",         "public",     "published", "protected",      "private",
    "automated"};

// Kind of a keyword, checked at compile time: Keyword("uses") is kind 92.
// A word that is not in the table does not compile.
consteval TTokenKind Keyword(std::string_view word) {
  for (std::size_t i = 0; i < KeywordTable.size(); ++i)
    if (KeywordTable[i] == word) return static_cast<TTokenKind>(KeywordBase + i);
  throw "not a keyword";
}

// The single character "/" has the kind of the word "div".
inline constexpr TTokenKind tkSlash = Keyword("div");

// Kind of a word, in any case: its keyword kind, or tkIdentifier when it is
// not in the table.
TTokenKind WordKind(std::string_view word);

// A perfect hash of the keyword table, for the scanner's one-probe lookup. A
// word is keyed by its first eight bytes with the case bit set (letters become
// lower case; "_" and digits then match no keyword letter) and by its length;
// no two keywords share a slot, so one comparison decides. Every slot holds a
// word: an empty one has length 0, which no scanned word has.
struct TKeywordSlot {
  std::uint64_t Lo = 0, Hi = 0; // the word's bytes 0..7 and 8..15, zero-padded
  std::uint8_t Len = 0;
  TTokenKind Kind = TTokenKind::tkIdentifier;
};

inline constexpr std::size_t MaxKeywordLength = 14;

constexpr unsigned KeywordSlotOf(std::uint64_t lo, std::size_t len) {
  return static_cast<unsigned>(((lo ^ len) * 0xb9608c13a26bf2dfull) >> 56);
}

// Bytes I.. of word as a little-endian number of at most eight bytes.
constexpr std::uint64_t KeywordBytes(std::string_view word, std::size_t i) {
  std::uint64_t v = 0;
  for (std::size_t k = 0; k < 8 && i + k < word.size(); ++k)
    v |= static_cast<std::uint64_t>(static_cast<unsigned char>(word[i + k])) << (8 * k);
  return v;
}

inline constexpr std::array<TKeywordSlot, 256> KeywordSlots = [] {
  std::array<TKeywordSlot, 256> s{};
  for (std::size_t i = 0; i < KeywordTable.size(); ++i) {
    const std::string_view w = KeywordTable[i];
    TKeywordSlot &slot = s[KeywordSlotOf(KeywordBytes(w, 0), w.size())];
    if (slot.Len != 0 || w.size() > MaxKeywordLength) throw "keyword hash collision";
    slot = {KeywordBytes(w, 0), KeywordBytes(w, 8), static_cast<std::uint8_t>(w.size()),
            static_cast<TTokenKind>(KeywordBase + i)};
  }
  return s;
}();

// For a word of N bytes (N up to 16): the masks that keep its bytes 0..7 and
// 8..15 of two little-endian eight-byte loads.
struct TWordMasks {
  std::uint64_t Lo[17] = {}, Hi[17] = {};
  constexpr TWordMasks() {
    for (unsigned n = 0; n <= 16; ++n) {
      Lo[n] = n >= 8 ? ~0ull : (1ull << (8 * n)) - 1;
      Hi[n] = n <= 8 ? 0ull : n >= 16 ? ~0ull : (1ull << (8 * (n - 8))) - 1;
    }
  }
};
inline constexpr TWordMasks WordMasks;

// Kind of the word of Len (>= 1) bytes at P, where 16 bytes from P may be
// read whatever lies beyond the word. Without a branch, so that a mix of
// keywords and identifiers costs no mispredictions.
inline TTokenKind PaddedWordKind(const unsigned char *p, std::size_t len) {
  static_assert(std::endian::native == std::endian::little);
  constexpr std::uint64_t caseBits = 0x2020202020202020ull;
  std::uint64_t lo, hi;
  std::memcpy(&lo, p, 8);
  std::memcpy(&hi, p + 8, 8);
  const std::size_t n = len < 16 ? len : 16;
  lo = (lo | caseBits) & WordMasks.Lo[n];
  hi = (hi | caseBits) & WordMasks.Hi[n];
  const TKeywordSlot &slot = KeywordSlots[KeywordSlotOf(lo, len)];
  const std::uint64_t diff = (slot.Lo ^ lo) | (slot.Hi ^ hi) | (slot.Len ^ len);
  const unsigned miss = static_cast<unsigned>(diff != 0);
  // The slot's kind, or 0, which is tkIdentifier.
  static_assert(Ord(TTokenKind::tkIdentifier) == 0);
  return static_cast<TTokenKind>(static_cast<unsigned>(slot.Kind) & (miss - 1u));
}

// For every first character, a bit (1 << length) for each keyword length that
// starts with it: lets the scanner pass over most identifiers without a lookup.
inline constexpr std::array<std::uint16_t, 256> KeywordLengths = [] {
  std::array<std::uint16_t, 256> l{};
  for (const std::string_view w : KeywordTable) {
    const auto first = static_cast<unsigned char>(w[0]);
    l[first] |= static_cast<std::uint16_t>(1u << w.size());
    l[first - 'a' + 'A'] |= static_cast<std::uint16_t>(1u << w.size());
  }
  return l;
}();
constexpr bool MayBeKeyword(std::string_view word) {
  return word.size() < 16 &&
         (KeywordLengths[static_cast<unsigned char>(word[0])] >> word.size() & 1u) != 0;
}

constexpr bool IsKeyword(TTokenKind kind) {
  return Ord(kind) >= KeywordBase && Ord(kind) < KeywordBase + int(KeywordTable.size());
}

// Comments, directives and whitespace: the tokens the grammar never sees.
constexpr bool IsTrivia(TTokenKind kind) {
  return kind == TTokenKind::tkComment || kind == TTokenKind::tkDirective ||
         kind == TTokenKind::tkWhitespace;
}

} // namespace codeweft
