// The keyword table of Object Pascal as the scanner knows it. Entry i (from 0)
// has the token kind 31 + i; kinds 97..101 are the visibility words, which the
// listings write without keyword markup.
#pragma once

#include "codeweft/core/Token.h"

#include <array>
#include <cstdint>
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
consteval TTokenKind Keyword(std::string_view Word) {
  for (std::size_t i = 0; i < KeywordTable.size(); ++i)
    if (KeywordTable[i] == Word) return static_cast<TTokenKind>(KeywordBase + i);
  throw "not a keyword";
}

// The single character "/" has the kind of the word "div".
inline constexpr TTokenKind tkSlash = Keyword("div");

// Kind of a word, in any case: its keyword kind, or tkIdentifier when it is
// not in the table.
TTokenKind WordKind(std::string_view Word);

// For every first character, a bit (1 << length) for each keyword length that
// starts with it: lets the scanner pass over most identifiers without a lookup.
inline constexpr std::array<std::uint16_t, 256> KeywordLengths = [] {
  std::array<std::uint16_t, 256> L{};
  for (const std::string_view W : KeywordTable) {
    const auto First = static_cast<unsigned char>(W[0]);
    L[First] |= static_cast<std::uint16_t>(1u << W.size());
    L[First - 'a' + 'A'] |= static_cast<std::uint16_t>(1u << W.size());
  }
  return L;
}();
constexpr bool MayBeKeyword(std::string_view Word) {
  return Word.size() < 16 &&
         (KeywordLengths[static_cast<unsigned char>(Word[0])] >> Word.size() & 1u) != 0;
}

constexpr bool IsKeyword(TTokenKind Kind) {
  return Ord(Kind) >= KeywordBase && Ord(Kind) < KeywordBase + int(KeywordTable.size());
}

// Comments, directives and whitespace: the tokens the grammar never sees.
constexpr bool IsTrivia(TTokenKind Kind) {
  return Kind == TTokenKind::tkComment || Kind == TTokenKind::tkDirective ||
         Kind == TTokenKind::tkWhitespace;
}

} // namespace codeweft
