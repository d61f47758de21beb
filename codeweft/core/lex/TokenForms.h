// The token grammar of Object Pascal, written once: FormToken reads the token
// that starts at P in a buffer whose data ends at lim, where a 0 sentinel
// lies (and 16 bytes of padding after it). It changes nothing; the scanner
// calls it on the fast way (token well inside the buffer) and on the general
// way (near the buffer's end, after a refill), and the two agree because they
// are the same code.
//
// A form may look up to FormLookahead bytes past the end of its token to
// decide where the token ends; a result whose end lies closer than that to
// Lim may change when more data follows, so the scanner trusts it only at the
// end of the input. One form looks back, up to CaretLookback bytes before the
// token but not before floor: the scanner keeps FormLookbehind bytes before
// the current one when it refills its buffer, so that a floor less than that
// far back is the start of the input.
#pragma once

#include "codeweft/core/lex/Keywords.h"
#include "codeweft/core/lex/ScannerChars.h"
#include "codeweft/core/lex/Token.h"

namespace codeweft::scanchars {

inline constexpr std::size_t FormLookahead = 4;
inline constexpr std::size_t FormLookbehind = 64;
inline constexpr std::size_t CaretLookback = 48;
static_assert(CaretLookback < FormLookbehind);

// A formed token: its end and kind. Two ends lie beyond lim and mean that no
// token was formed: ShortEnd, the token runs on to lim (more data may finish
// it; at the end of the input it stays open), and OpenEnd, the token can never
// be finished (a quoted string that reaches its line end). Kind then tells
// what was open: tkString, or tkComment/tkDirective.
struct TFormed {
  const unsigned char *End;
  TTokenKind Kind;
};
inline const unsigned char *ShortEnd(const unsigned char *lim) { return lim + 1; }
inline const unsigned char *OpenEnd(const unsigned char *lim) { return lim + 2; }

// --- UTF-8 letters -----------------------------------------------------------

// Code points taken for letters in names: everything from U+00C0 except the
// two Latin-1 operators, the blocks of punctuation, symbols, arrows, boxes and
// dingbats, the ideographic punctuation, private use, the byte-order mark,
// specials and the emoji planes' symbols. A coarse rule, but it keeps every
// letter of every script and rejects what source code holds by mistake
// (no-break spaces, typographic quotes, dashes).
constexpr bool IsLetterCodePoint(unsigned cp) {
  if (cp < 0xC0 || cp == 0xD7 || cp == 0xF7) return false;
  if (cp >= 0x2000 && cp < 0x2C00) return false;
  if (cp >= 0x3000 && cp < 0x3005) return false;
  if (cp >= 0xE000 && cp < 0xF900) return false;
  if (cp == 0xFEFF || (cp >= 0xFFF0 && cp < 0x10000)) return false;
  if (cp >= 0x1F000 && cp < 0x1FC00) return false;
  return true;
}

// Length of the well-formed UTF-8 sequence at Q if it encodes a letter, else
// 0. Reads no byte after the first that fails, so a sentinel stops it.
inline unsigned Utf8LetterLength(const unsigned char *q) {
  const unsigned c0 = q[0];
  auto cont = [](unsigned char c) { return (c & 0xC0) == 0x80; };
  unsigned cp, n;
  if (c0 < 0xC2) return 0;
  if (c0 < 0xE0) {
    if (!cont(q[1])) return 0;
    cp = (c0 & 0x1Fu) << 6 | (q[1] & 0x3Fu);
    n = 2;
  } else if (c0 < 0xF0) {
    if (!cont(q[1]) || !cont(q[2])) return 0;
    cp = (c0 & 0x0Fu) << 12 | (q[1] & 0x3Fu) << 6 | (q[2] & 0x3Fu);
    if (cp < 0x800 || (cp >= 0xD800 && cp < 0xE000)) return 0;
    n = 3;
  } else if (c0 < 0xF5) {
    if (!cont(q[1]) || !cont(q[2]) || !cont(q[3])) return 0;
    cp = (c0 & 0x07u) << 18 | (q[1] & 0x3Fu) << 12 | (q[2] & 0x3Fu) << 6 | (q[3] & 0x3Fu);
    if (cp < 0x10000 || cp > 0x10FFFF) return 0;
    n = 4;
  } else {
    return 0;
  }
  return IsLetterCodePoint(cp) ? n : 0;
}

// The end of a name's tail from Q: ASCII letters, digits and "_", and UTF-8
// letters.
inline const unsigned char *NameEnd(const unsigned char *q) {
  for (;;) {
    q = WordEnd(q);
    if (*q < 0x80) return q;
    const unsigned n = Utf8LetterLength(q);
    if (n == 0) return q;
    q += n;
  }
}

// A byte that would continue a name: then "^" and a letter are no control
// character (^Integer is a pointer type).
constexpr bool IsNameByte(unsigned char c) { return c >= 0x80 || Is(c, ccLetter | ccDigit); }

// --- the caret -----------------------------------------------------------------

// "^" and a letter (or one of @[\]^_) stand for a control character (^M is
// #13) where no operand comes before it to dereference, and the byte after
// the letter cannot continue a name (^Integer is a pointer type). What comes
// before is read back from the source: blanks are passed over; a name that
// is no keyword, ")", "]", "^" and ":" (a pointer type follows) leave the
// caret a caret, as do a comment, the input's start, and nothing but blanks
// within the look-back; a keyword (case C of ^A), an operator or punctuation
// make it a control character.
inline bool IsControlCharStart(const unsigned char *p, const unsigned char *floor) {
  if (!Is(p[1], ccControlLetter) || IsNameByte(p[2])) return false;
  // Stop is floor only where floor is the input's start (see FormLookbehind).
  const unsigned char *const stop =
      p - floor > std::ptrdiff_t(CaretLookback) ? p - CaretLookback : floor;
  const unsigned char *q = p;
  while (q > stop && Is(q[-1], ccSpace)) --q;
  if (q == stop) return false;
  const unsigned char c = q[-1];
  if (IsNameByte(c)) {
    const unsigned char *const end = q;
    while (q > stop && IsNameByte(q[-1])) --q;
    if (q == stop && stop != floor) return false;  // longer than any keyword
    if (q > stop && q[-1] == '&') return false;    // an escaped name
    if (Is(*q, ccDigit)) return false;
    return IsKeyword(WordKind(
        std::string_view(reinterpret_cast<const char *>(q), static_cast<std::size_t>(end - q))));
  }
  switch (c) {
    case ')':
    case ']':
    case '^':
    case ':':
    case '}':
      return false;
    default:
      return true;
  }
}

// --- numbers -----------------------------------------------------------------

template <unsigned Class>
inline const unsigned char *RunOf(const unsigned char *q) {
  while (Is(*q, Class)) ++q;
  return q;
}

// Decimal digits with "_" separators; then a fraction, an exponent, or a
// ".." that is left for the next token (1..10 is 1, .., 10).
inline TFormed FormDecimal(const unsigned char *p, const unsigned char *lim) {
  const unsigned char *q = RunOf<ccDecimal>(p + 1);
  TTokenKind k = TTokenKind::tkInteger;
  if (*q == '.') {
    if (q[1] == '.') return {q, k};
    q = RunOf<ccDecimal>(q + 1);
    k = TTokenKind::tkReal;
  }
  if (*q == 'e' || *q == 'E') {
    ++q;
    if (*q == '+' || *q == '-') ++q;
    if (*q != 0 || q < lim) ++q;  // the exponent's first character, whatever it is
    q = RunOf<ccDecimal>(q);
    k = TTokenKind::tkReal;
  }
  return {q, k};
}

// --- strings -----------------------------------------------------------------

// Inside a run of string parts, "^" and a letter are a control character
// where the byte after it cannot continue a name.
inline bool IsControlChar(const unsigned char *q) {
  return Is(q[1], ccControlLetter) && !IsNameByte(q[2]);
}

// A multi-line string: N quotes (N odd, at least 3), blanks, a line end; the
// lines that follow; a line whose first non-blank bytes are the same N quotes.
// Returns the end after the closing quotes, P when the opening is no such
// string, or ShortEnd when the data ends first.
inline const unsigned char *MultiLineStringEnd(const unsigned char *p, const unsigned char *lim) {
  const unsigned char *q = p;
  while (*q == '\'') ++q;
  const auto n = q - p;
  if (n < 3 || n % 2 == 0) return p;
  while (*q == ' ' || *q == '\t') ++q;
  if (*q == 0 && q >= lim) return ShortEnd(lim);
  if (*q != 13 && *q != 10) return p;
  for (;;) {
    // At a line end: step over it, then look for the closing quotes.
    q += (*q == 13 && q[1] == 10) ? 2 : 1;
    while (*q == ' ' || *q == '\t') ++q;
    const unsigned char *r = q;
    while (*r == '\'') ++r;
    if (r - q == n) return r;
    q = LineEnd(r);
    while (*q == 0 && q < lim) q = LineEnd(q + 1);  // a NUL in the text
    if (*q == 0) return ShortEnd(lim);
  }
}

// A run of quoted strings, character codes and control characters, joined
// without blanks: 'It''s', #13#10, 'a'#9'b', #$0D, #%1101, #&15, 'x'^M^J, and
// multi-line strings.
inline TFormed FormString(const unsigned char *p, const unsigned char *lim) {
  constexpr TTokenKind k = TTokenKind::tkString;
  const unsigned char *q = p;
  for (;;) {
    if (*q == '\'') {
      if (q[1] == '\'' && q[2] == '\'') {
        const unsigned char *e = MultiLineStringEnd(q, lim);
        if (e > lim) return {e, k};
        if (e != q) {
          q = e;
          continue;
        }
      }
      ++q;
      for (;;) {
        while (!Is(*q, ccStringStop)) ++q;
        if (*q == '\'') {
          if (q[1] != '\'') break;
          q += 2;  // a doubled quote stands for one quote
        } else if (*q == 0 && q < lim) {
          ++q;  // a NUL in the text
        } else {
          return {*q == 0 ? ShortEnd(lim) : OpenEnd(lim), k};  // the line or the data ended
        }
      }
      ++q;
    } else if (*q == '#') {
      ++q;
      if (*q == '$')
        q = RunOf<ccHexSep>(q + 1);
      else if (*q == '%')
        q = RunOf<ccBinary>(q + 1);
      else if (*q == '&')
        q = RunOf<ccOctal>(q + 1);
      else
        q = RunOf<ccDecimal>(q);
    } else if (*q == '^' && (q == p || IsControlChar(q))) {
      q += 2;  // at the run's start the caller has decided
    } else {
      return {q, k};
    }
  }
}

// --- comments ----------------------------------------------------------------

// "{" ... "}", a directive when "$" follows the brace. A NUL inside is text.
inline TFormed FormBraceComment(const unsigned char *p, const unsigned char *lim) {
  const TTokenKind k = p[1] == '$' ? TTokenKind::tkDirective : TTokenKind::tkComment;
  const unsigned char *q = CharOrNul<'}'>(p + 1);
  while (*q == 0 && q < lim) q = CharOrNul<'}'>(q + 1);
  if (*q == 0) return {ShortEnd(lim), k};
  return {q + 1, k};
}

// The same where comments nest (the modes that allow it): a "{" inside opens
// one more level, and only the "}" of the outermost one closes.
inline TFormed FormNestedBraceComment(const unsigned char *p, const unsigned char *lim) {
  const unsigned char *q = p + 1;
  for (int depth = 1;; ++q) {
    while (*q != '{' && *q != '}' && *q != 0) ++q;
    if (*q == '{')
      ++depth;
    else if (*q == '}') {
      if (--depth == 0) return {q + 1, TTokenKind::tkComment};
    } else if (q >= lim) {
      return {ShortEnd(lim), TTokenKind::tkComment};
    }
  }
}

// "(*" ... "*)": a run of stars and then ")" closes; the opening star is not
// one of them. A directive when "$" follows the star (FormToken).
inline TFormed FormParenComment(const unsigned char *p, const unsigned char *lim) {
  const unsigned char *q = p + 2;
  for (;;) {
    q = CharOrNul<'*'>(q);
    if (*q == 0) {
      if (q >= lim) return {ShortEnd(lim), TTokenKind::tkComment};
      ++q;  // a NUL in the text
      continue;
    }
    while (*q == '*') ++q;
    if (*q == ')') return {q + 1, TTokenKind::tkComment};
  }
}

// "//" to the end of the line, the line end included (CR LF, LF or CR); on
// the last line without one, to the end of the input.
inline TFormed FormLineComment(const unsigned char *p, const unsigned char *lim) {
  const unsigned char *q = LineEnd(p + 2);
  while (*q == 0 && q < lim) q = LineEnd(q + 1);
  if (*q != 0) q += (*q == 13 && q[1] == 10) ? 2 : 1;
  return {q, TTokenKind::tkComment};
}

// The same where comments nest: "(*" inside opens one more level.
inline TFormed FormNestedParenComment(const unsigned char *p, const unsigned char *lim) {
  const unsigned char *q = p + 2;
  for (int depth = 1;;) {
    while (*q != '(' && *q != '*' && *q != 0) ++q;
    if (*q == 0) {
      if (q >= lim) return {ShortEnd(lim), TTokenKind::tkComment};
      ++q;
    } else if (*q == '(') {
      q += q[1] == '*' ? 2 : 1;
      depth += q[-1] == '*';
    } else {
      while (*q == '*') ++q;
      if (*q == ')') {
        ++q;
        if (--depth == 0) return {q, TTokenKind::tkComment};
      }
    }
  }
}

// Whether a directive switches nested comments on or off: {$MODE OBJFPC} and
// {$MODE FPC} nest, the other modes do not; {$MODESWITCH NESTEDCOMMENTS} with
// "+", "-" or nothing. Returns -1 for any other directive, else 0 or 1.
int NestingOfDirective(std::string_view text);

// --- the token ---------------------------------------------------------------

// Forms the token at P (floor <= P < lim). nested: whether comments nest.
// Fast: a directive is not formed but reported short, so that it goes the
// general way, where the scanner notes the modes it sets.
template <bool Fast>
[[gnu::always_inline]] inline TFormed FormToken(const unsigned char *p, const unsigned char *lim,
                                                const unsigned char *floor, bool nested) {
  using K = TTokenKind;
  const unsigned char c = *p;
  const unsigned char *q = p + 1;
  // The commonest starts are told apart by plain branches, which the
  // processor predicts from the tokens before; the rest by a table.
  if (c == ' ') {
    // Most blanks are one space: deciding that by a predicted branch keeps
    // the next token from waiting on the run search.
    if (Is(*q, ccSpace)) q = SpaceEnd(q + 1);
    return {q, K::tkWhitespace};
  }
  if (Is(c, ccLetter)) {
    q = WordEnd(q);
    if (*q >= 0x80) [[unlikely]] {
      const unsigned char *r = NameEnd(q);
      if (r != q) return {r, K::tkIdentifier};  // UTF-8 letters: no keyword has them
    }
    return {q, PaddedWordKind(p, static_cast<std::size_t>(q - p))};
  }
  if (SingleKinds.Of[c] != K::tkEnd) return {q, SingleKinds.Of[c]};
  // One of two kinds by the character that follows.
  const auto pair = [&](unsigned char next, K two, K one) -> TFormed {
    return *q == next ? TFormed{q + 1, two} : TFormed{q, one};
  };
  switch (Starts.Of[c]) {
    case stSpace:
      return {SpaceEnd(q), K::tkWhitespace};
    case stDigit:
      return FormDecimal(p, lim);
    case stDollar:
      return {RunOf<ccHexSep>(q), K::tkInteger};  // a lone "$" too
    case stPercent:
      if (Is(*q, ccBinary) && *q != '_') return {RunOf<ccBinary>(q), K::tkInteger};
      return {q, K::tkUnknown};
    case stAmp:
      // &17 is octal; &begin a name that is no keyword.
      if (Is(*q, ccOctal) && *q != '_') return {RunOf<ccOctal>(q), K::tkInteger};
      if (Is(*q, ccLetter)) return {NameEnd(q), K::tkIdentifier};
      if (const unsigned n = Utf8LetterLength(q)) return {NameEnd(q + n), K::tkIdentifier};
      return {q, K::tkUnknown};
    case stHigh:
      if (const unsigned n = Utf8LetterLength(p)) return {NameEnd(p + n), K::tkIdentifier};
      return {q, K::tkUnknown};
    case stQuote:
      return FormString(p, lim);
    case stCaret:
      if (IsControlCharStart(p, floor)) return FormString(p, lim);
      return {q, K::tkCaret};
    case stColon:
      return pair('=', K::tkAssign, K::tkColon);
    case stLess:
      if (*q == '>') return {q + 1, K::tkNotEqual};
      return pair('=', K::tkLessEqual, K::tkLess);
    case stGreater:
      if (*q == '<') return {q + 1, K::tkSymmetricDiff};
      return pair('=', K::tkGreaterEqual, K::tkGreater);
    case stPeriod:
      if (*q == ')') return {q + 1, K::tkRBracket};  // ".)" stands for "]"
      // "...", the variable arguments of a MacPas routine, is one token, so
      // that "...)" is not read as ".." and ".)".
      if (*q == '.' && q[1] == '.') return {q + 2, K::tkRange};
      return pair('.', K::tkRange, K::tkPeriod);
    case stLParen:
      if (*q == '*' && q[1] == '$') {  // "(*$ ... *)" is a directive, as "{$ ... }" is
        if (Fast) return {ShortEnd(lim), K::tkDirective};
        return {FormParenComment(p, lim).End, K::tkDirective};  // ends at its first "*)"
      }
      if (*q == '*') return nested ? FormNestedParenComment(p, lim) : FormParenComment(p, lim);
      return pair('.', K::tkLBracket, K::tkLParen);  // "(." stands for "["
    case stBrace:
      if (*q == '$') {
        if (Fast) return {ShortEnd(lim), K::tkDirective};
        return FormBraceComment(p, lim);  // a directive ends at its first "}" in every mode
      }
      if (nested) [[unlikely]]
        return FormNestedBraceComment(p, lim);
      return FormBraceComment(p, lim);
    case stSlash:
      if (*q == '/') return FormLineComment(p, lim);
      return pair('=', K::tkSlashAssign, tkSlash);
    case stPlus:
      return pair('=', K::tkPlusAssign, K::tkPlus);
    case stMinus:
      return pair('=', K::tkMinusAssign, K::tkMinus);
    case stStar:
      if (*q == '*') return {q + 1, K::tkPower};
      return pair('=', K::tkStarAssign, K::tkStar);
    case stAt:
      return pair('@', K::tkAtAt, K::tkAt);
    default:
      return {q, K::tkUnknown};  // a byte that starts no token: alone
  }
}

}  // namespace codeweft::scanchars
