// The character classes and the run finders of the scanner's fast way. They
// live in a header so that TScanner::NextToken can be expanded where tokens
// are taken: the position then stays in a register from token to token.
#pragma once

#include "codeweft/core/lex/Token.h"

#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace codeweft::scanchars {

inline constexpr std::size_t BufferSize = 64 * 1024;
// Beyond the data: a 0 sentinel, and room for the 16-byte keyword probe.
inline constexpr std::size_t BufferPadding = 16;

enum : unsigned short {
  ccLetter = 1,
  ccDigit = 2,
  ccHex = 4,
  ccSpace = 8,
  ccLineEnd = 16,     // CR, LF, and NUL (the sentinel, perhaps)
  ccStringStop = 32,  // what ends the plain characters of a quoted string: "'", CR, LF, NUL
  // Digits of numbers, with "_" as a separator (1_000, $FF_FF, %1010_0101, &7_7).
  ccDecimal = 64,
  ccHexSep = 128,
  ccOctal = 256,
  ccBinary = 512,
  // What "^" turns into a control character: @, A-Z, [, \, ], ^, _ and a-z.
  ccControlLetter = 1024,
};

struct TCharClasses {
  unsigned short Of[256] = {};
  constexpr TCharClasses() {
    for (int c = 'A'; c <= 'Z'; ++c) Of[c] |= ccLetter;
    for (int c = 'a'; c <= 'z'; ++c) Of[c] |= ccLetter;
    Of[static_cast<unsigned char>('_')] |= ccLetter;
    for (int c = '0'; c <= '9'; ++c) Of[c] |= ccDigit | ccHex;
    for (int c = 'A'; c <= 'F'; ++c) Of[c] |= ccHex;
    for (int c = 'a'; c <= 'f'; ++c) Of[c] |= ccHex;
    for (int c : {9, 10, 13, 32}) Of[c] |= ccSpace;
    for (int c : {0, 10, 13}) Of[c] |= ccLineEnd | ccStringStop;
    Of[static_cast<unsigned char>('\'')] |= ccStringStop;
    for (int c = 0; c < 256; ++c) {
      if (Of[c] & ccDigit) Of[c] |= ccDecimal;
      if (Of[c] & ccHex) Of[c] |= ccHexSep;
    }
    for (int c = '0'; c <= '7'; ++c) Of[c] |= ccOctal;
    for (int c = '0'; c <= '1'; ++c) Of[c] |= ccBinary;
    Of[static_cast<unsigned char>('_')] |= ccDecimal | ccHexSep | ccOctal | ccBinary;
    for (int c = 0x40; c <= 0x5F; ++c) Of[c] |= ccControlLetter;
    for (int c = 'a'; c <= 'z'; ++c) Of[c] |= ccControlLetter;
  }
};
inline constexpr TCharClasses Classes;

constexpr bool Is(unsigned char c, unsigned charClass) { return (Classes.Of[c] & charClass) != 0; }

// The kinds of the characters that form a token on their own, whatever
// follows them.
constexpr TTokenKind SingleKind(unsigned char c) {
  switch (c) {
  case ')': return TTokenKind::tkRParen;
  case ',': return TTokenKind::tkComma;
  case ';': return TTokenKind::tkSemicolon;
  case '=':
    return TTokenKind::tkEqual;
  case '[': return TTokenKind::tkLBracket;
  case ']': return TTokenKind::tkRBracket;
  default: return TTokenKind::tkEnd;
  }
}

struct TSingleKinds {
  TTokenKind Of[256] = {};
  constexpr TSingleKinds() {
    for (int c = 0; c < 256; ++c) Of[c] = SingleKind(static_cast<unsigned char>(c));
  }
};
inline constexpr TSingleKinds SingleKinds;

// The end of a run that goes on at Q - blanks; letters, digits and "_"; the
// rest of a line. Sixteen bytes are classified at a time, so the run's length
// costs no branch per byte. The sentinel ends every run before the padding.
#if defined(__SSE2__)
inline __m128i Load16(const unsigned char *q) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i *>(q));
}
// Bytes of V (as unsigned) in [lo, lo + N).
inline __m128i InRange(__m128i v, char lo, char n) {
  const __m128i shifted = _mm_add_epi8(v, _mm_set1_epi8(static_cast<char>(-128 - lo)));
  return _mm_cmplt_epi8(shifted, _mm_set1_epi8(static_cast<char>(-128 + n)));
}
inline unsigned SpaceMask(const unsigned char *q) {
  const __m128i v = Load16(q);
  const __m128i s = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(' ')),
                                               _mm_cmpeq_epi8(v, _mm_set1_epi8('\t'))),
                                  _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\r')),
                                               _mm_cmpeq_epi8(v, _mm_set1_epi8('\n'))));
  return static_cast<unsigned>(_mm_movemask_epi8(s));
}
inline unsigned WordMask(const unsigned char *q) {
  const __m128i v = Load16(q);
  const __m128i letter = InRange(_mm_or_si128(v, _mm_set1_epi8(0x20)), 'a', 26);
  const __m128i digit = InRange(v, '0', 10);
  const __m128i under = _mm_cmpeq_epi8(v, _mm_set1_epi8('_'));
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(letter, digit), under)));
}
// Bytes other than CR, LF and NUL: the rest of a line.
inline unsigned LineMask(const unsigned char *q) {
  const __m128i v = Load16(q);
  const __m128i stop = _mm_or_si128(_mm_cmpeq_epi8(v, _mm_setzero_si128()),
                                    _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\r')),
                                                 _mm_cmpeq_epi8(v, _mm_set1_epi8('\n'))));
  return ~static_cast<unsigned>(_mm_movemask_epi8(stop)) & 0xFFFFu;
}
// Bytes other than C and NUL: the inside of a comment up to its closing
// character. A NUL (the sentinel, perhaps) ends the search too, so that it
// needs no bound and no library call.
template <char C> inline unsigned NotCharMask(const unsigned char *q) {
  const __m128i v = Load16(q);
  const __m128i stop = _mm_or_si128(_mm_cmpeq_epi8(v, _mm_setzero_si128()),
                                    _mm_cmpeq_epi8(v, _mm_set1_epi8(C)));
  return ~static_cast<unsigned>(_mm_movemask_epi8(stop)) & 0xFFFFu;
}
template <unsigned (*Mask)(const unsigned char *)>
inline const unsigned char *RunEnd(const unsigned char *q) {
  for (;;) {
    const unsigned m = ~Mask(q) & 0xFFFFu;
    if (m != 0) return q + __builtin_ctz(m);
    q += 16;
  }
}
inline const unsigned char *SpaceEnd(const unsigned char *q) { return RunEnd<SpaceMask>(q); }
inline const unsigned char *WordEnd(const unsigned char *q) { return RunEnd<WordMask>(q); }
inline const unsigned char *LineEnd(const unsigned char *q) { return RunEnd<LineMask>(q); }
template <char C> inline const unsigned char *CharOrNul(const unsigned char *q) {
  return RunEnd<NotCharMask<C>>(q);
}
#else
inline const unsigned char *SpaceEnd(const unsigned char *q) {
  while (Is(*q, ccSpace)) ++q;
  return q;
}
inline const unsigned char *WordEnd(const unsigned char *q) {
  while (Is(*q, ccLetter | ccDigit)) ++q;
  return q;
}
inline const unsigned char *LineEnd(const unsigned char *q) {
  while (!Is(*q, ccLineEnd)) ++q;
  return q;
}
template <char C> inline const unsigned char *CharOrNul(const unsigned char *q) {
  while (*q != 0 && *q != static_cast<unsigned char>(C)) ++q;
  return q;
}
#endif

// What a token that starts with a character is, as far as its first
// character tells.
enum TStart : unsigned char {
  stBad = 0,
  stSpace,
  stLetter,
  stDigit,
  stDollar,
  stSingle,
  stColon,
  stLess,
  stGreater,
  stPeriod,
  stLParen,
  stBrace,
  stSlash,
  stQuote,
  stPlus,
  stMinus,
  stStar,
  stCaret,
  stAt,
  stAmp,
  stPercent,
  stHigh,
};

struct TStarts {
  TStart Of[256] = {};
  constexpr TStarts() {
    for (int c = 0; c < 256; ++c) {
      const auto ch = static_cast<unsigned char>(c);
      Of[c] = Is(ch, ccSpace)    ? stSpace
              : Is(ch, ccLetter) ? stLetter
              : Is(ch, ccDigit)  ? stDigit
              : SingleKind(ch) != TTokenKind::tkEnd ? stSingle
                                                   : stBad;
    }
    Of['$'] = stDollar;
    Of[':'] = stColon;
    Of['<'] = stLess;
    Of['>'] = stGreater;
    Of['.'] = stPeriod;
    Of['('] = stLParen;
    Of['{'] = stBrace;
    Of['/'] = stSlash;
    Of['\''] = stQuote;
    Of['#'] = stQuote;
    Of['+'] = stPlus;
    Of['-'] = stMinus;
    Of['*'] = stStar;
    Of['^'] = stCaret;
    Of['@'] = stAt;
    Of['&'] = stAmp;
    Of['%'] = stPercent;
    // Lead bytes of UTF-8 sequences of two to four bytes: perhaps a letter.
    for (int c = 0xC2; c <= 0xF4; ++c) Of[c] = stHigh;
  }
};
inline constexpr TStarts Starts;

} // namespace codeweft::scanchars
