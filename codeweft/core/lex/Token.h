// Tokens of Object Pascal source and the styles in which the listings write them.
// Kinds keep fixed ordinals: ranges of them are tested, and a keyword's kind is
// 31 plus its place in the keyword table.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace codeweft {

enum class TTokenKind : std::uint8_t {
  tkIdentifier = 0,
  tkInteger = 1,
  tkReal = 2,
  tkString = 4,
  tkComment = 5,
  tkDirective = 6,
  tkLParen = 7,
  tkRParen = 8,
  tkColon = 9,
  tkComma = 10,
  tkSemicolon = 11,
  tkPeriod = 12,
  tkEqual = 13,
  tkNotEqual = 14,
  tkLess = 15,
  tkLessEqual = 16,
  tkGreater = 17,
  tkGreaterEqual = 18,
  tkPlus = 19,
  tkMinus = 20,
  tkStar = 21,
  tkAssign = 25,
  tkCaret = 26,
  tkAt = 27,
  tkRange = 28,
  tkLBracket = 29,
  tkRBracket = 30,
  // 31..101: keywords, 31 + index in KeywordTable (Keywords.h); "/" has 42.
  tkWhitespace = 102,
  tkEnd = 103,
  // Forms beyond the classic grammar, numbered on so that the ranges above stay.
  tkUnknown = 104,        // a byte that starts no token, alone
  tkPower = 105,          // "**"
  tkPlusAssign = 106,     // "+="
  tkMinusAssign = 107,    // "-="
  tkStarAssign = 108,     // "*="
  tkSlashAssign = 109,    // "/="
  tkSymmetricDiff = 110,  // "><"
  tkAtAt = 111,           // "@@"
};

// Ordinal of a kind, for the range tests the grammar and the writer make.
constexpr int Ord(TTokenKind k) { return static_cast<int>(k); }

// A token as the scanner delivers it. Text is a view of the scanner's own
// storage and stays valid only until the scanner reads the next token (or is
// opened, closed or destroyed): whatever must outlive that makes a copy.
struct TToken {
  TTokenKind Kind = TTokenKind::tkEnd;
  std::string_view Text;
};

// The ten output styles of the listings.
enum class TTokenStyle : std::uint8_t {
  tsKeyword = 0,
  tsComment = 1,
  tsSpace = 2,
  tsString = 3,
  tsSymbol = 4,
  tsIdent = 5,
  tsNumber = 6,
  tsAnchor = 7,
  tsLink = 8,
  tsRaw = 9,
};

// Style of a token of the given kind.
constexpr TTokenStyle StyleOf(TTokenKind kind) {
  const int k = Ord(kind);
  if (k == 0) return TTokenStyle::tsIdent;
  if (k == 1 || k == 2) return TTokenStyle::tsNumber;
  if (k == 4) return TTokenStyle::tsString;
  if (k == 5 || k == 6) return TTokenStyle::tsComment;
  if (k >= 7 && k <= 30) return TTokenStyle::tsSymbol;
  if (k >= 31 && k <= 96) return TTokenStyle::tsKeyword;
  if (k == 102) return TTokenStyle::tsSpace;
  if (k >= 105 && k <= 111) return TTokenStyle::tsSymbol;
  return TTokenStyle::tsRaw;
}

// A token handed by a grammar rule to the listing writer: plain, an anchor
// (Topic is its name) or a link (Text is the HTML target, Topic the help topic).
struct TDelayedToken {
  std::string Text;
  std::string Caption;
  std::string Topic;
  TTokenStyle Style = TTokenStyle::tsRaw;
};

} // namespace codeweft
