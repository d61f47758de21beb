// The token grammar of Object Pascal, written once: FormToken reads the token
// that starts at P in a buffer whose data ends at Lim, where a 0 sentinel
// lies (and 16 bytes of padding after it). It changes nothing; the scanner
// calls it on the fast way (token well inside the buffer) and on the general
// way (near the buffer's end, after a refill), and the two agree because they
// are the same code.
//
// A form may look up to FormLookahead bytes past the end of its token to
// decide where the token ends; a result whose end lies closer than that to
// Lim may change when more data follows, so the scanner trusts it only at the
// end of the input. One form looks back, up to CaretLookback bytes before the
// token but not before Floor: the scanner keeps FormLookbehind bytes before
// the current one when it refills its buffer, so that a Floor less than that
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

// A formed token: its end and kind. Two ends lie beyond Lim and mean that no
// token was formed: ShortEnd, the token runs on to Lim (more data may finish
// it; at the end of the input it stays open), and OpenEnd, the token can never
// be finished (a quoted string that reaches its line end). Kind then tells
// what was open: tkString, or tkComment/tkDirective.
struct TFormed {
  const unsigned char *End;
  TTokenKind Kind;
};
inline const unsigned char *ShortEnd(const unsigned char *Lim) { return Lim + 1; }
inline const unsigned char *OpenEnd(const unsigned char *Lim) { return Lim + 2; }

// --- UTF-8 letters -----------------------------------------------------------

// Code points taken for letters in names: everything from U+00C0 except the
// two Latin-1 operators, the blocks of punctuation, symbols, arrows, boxes and
// dingbats, the ideographic punctuation, private use, the byte-order mark,
// specials and the emoji planes' symbols. A coarse rule, but it keeps every
// letter of every script and rejects what source code holds by mistake
// (no-break spaces, typographic quotes, dashes).
constexpr bool IsLetterCodePoint(unsigned Cp) {
  if (Cp < 0xC0 || Cp == 0xD7 || Cp == 0xF7) return false;
  if (Cp >= 0x2000 && Cp < 0x2C00) return false;
  if (Cp >= 0x3000 && Cp < 0x3005) return false;
  if (Cp >= 0xE000 && Cp < 0xF900) return false;
  if (Cp == 0xFEFF || (Cp >= 0xFFF0 && Cp < 0x10000)) return false;
  if (Cp >= 0x1F000 && Cp < 0x1FC00) return false;
  return true;
}

// Length of the well-formed UTF-8 sequence at Q if it encodes a letter, else
// 0. Reads no byte after the first that fails, so a sentinel stops it.
inline unsigned Utf8LetterLength(const unsigned char *Q) {
  const unsigned C0 = Q[0];
  auto Cont = [](unsigned char C) { return (C & 0xC0) == 0x80; };
  unsigned Cp, N;
  if (C0 < 0xC2) return 0;
  if (C0 < 0xE0) {
    if (!Cont(Q[1])) return 0;
    Cp = (C0 & 0x1Fu) << 6 | (Q[1] & 0x3Fu);
    N = 2;
  } else if (C0 < 0xF0) {
    if (!Cont(Q[1]) || !Cont(Q[2])) return 0;
    Cp = (C0 & 0x0Fu) << 12 | (Q[1] & 0x3Fu) << 6 | (Q[2] & 0x3Fu);
    if (Cp < 0x800 || (Cp >= 0xD800 && Cp < 0xE000)) return 0;
    N = 3;
  } else if (C0 < 0xF5) {
    if (!Cont(Q[1]) || !Cont(Q[2]) || !Cont(Q[3])) return 0;
    Cp = (C0 & 0x07u) << 18 | (Q[1] & 0x3Fu) << 12 | (Q[2] & 0x3Fu) << 6 | (Q[3] & 0x3Fu);
    if (Cp < 0x10000 || Cp > 0x10FFFF) return 0;
    N = 4;
  } else {
    return 0;
  }
  return IsLetterCodePoint(Cp) ? N : 0;
}

// The end of a name's tail from Q: ASCII letters, digits and "_", and UTF-8
// letters.
inline const unsigned char *NameEnd(const unsigned char *Q) {
  for (;;) {
    Q = WordEnd(Q);
    if (*Q < 0x80) return Q;
    const unsigned N = Utf8LetterLength(Q);
    if (N == 0) return Q;
    Q += N;
  }
}

// A byte that would continue a name: then "^" and a letter are no control
// character (^Integer is a pointer type).
constexpr bool IsNameByte(unsigned char C) { return C >= 0x80 || Is(C, ccLetter | ccDigit); }

// --- the caret -----------------------------------------------------------------

// "^" and a letter (or one of @[\]^_) stand for a control character (^M is
// #13) where no operand comes before it to dereference, and the byte after
// the letter cannot continue a name (^Integer is a pointer type). What comes
// before is read back from the source: blanks are passed over; a name that
// is no keyword, ")", "]", "^" and ":" (a pointer type follows) leave the
// caret a caret, as do a comment, the input's start, and nothing but blanks
// within the look-back; a keyword (case C of ^A), an operator or punctuation
// make it a control character.
inline bool IsControlCharStart(const unsigned char *P, const unsigned char *Floor) {
  if (!Is(P[1], ccControlLetter) || IsNameByte(P[2])) return false;
  // Stop is Floor only where Floor is the input's start (see FormLookbehind).
  const unsigned char *const Stop =
      P - Floor > std::ptrdiff_t(CaretLookback) ? P - CaretLookback : Floor;
  const unsigned char *Q = P;
  while (Q > Stop && Is(Q[-1], ccSpace)) --Q;
  if (Q == Stop) return false;
  const unsigned char C = Q[-1];
  if (IsNameByte(C)) {
    const unsigned char *const End = Q;
    while (Q > Stop && IsNameByte(Q[-1])) --Q;
    if (Q == Stop && Stop != Floor) return false;  // longer than any keyword
    if (Q > Stop && Q[-1] == '&') return false;    // an escaped name
    if (Is(*Q, ccDigit)) return false;
    return IsKeyword(WordKind(
        std::string_view(reinterpret_cast<const char *>(Q), static_cast<std::size_t>(End - Q))));
  }
  switch (C) {
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
inline const unsigned char *RunOf(const unsigned char *Q) {
  while (Is(*Q, Class)) ++Q;
  return Q;
}

// Decimal digits with "_" separators; then a fraction, an exponent, or a
// ".." that is left for the next token (1..10 is 1, .., 10).
inline TFormed FormDecimal(const unsigned char *P, const unsigned char *Lim) {
  const unsigned char *Q = RunOf<ccDecimal>(P + 1);
  TTokenKind K = TTokenKind::tkInteger;
  if (*Q == '.') {
    if (Q[1] == '.') return {Q, K};
    Q = RunOf<ccDecimal>(Q + 1);
    K = TTokenKind::tkReal;
  }
  if (*Q == 'e' || *Q == 'E') {
    ++Q;
    if (*Q == '+' || *Q == '-') ++Q;
    if (*Q != 0 || Q < Lim) ++Q;  // the exponent's first character, whatever it is
    Q = RunOf<ccDecimal>(Q);
    K = TTokenKind::tkReal;
  }
  return {Q, K};
}

// --- strings -----------------------------------------------------------------

// Inside a run of string parts, "^" and a letter are a control character
// where the byte after it cannot continue a name.
inline bool IsControlChar(const unsigned char *Q) {
  return Is(Q[1], ccControlLetter) && !IsNameByte(Q[2]);
}

// A multi-line string: N quotes (N odd, at least 3), blanks, a line end; the
// lines that follow; a line whose first non-blank bytes are the same N quotes.
// Returns the end after the closing quotes, P when the opening is no such
// string, or ShortEnd when the data ends first.
inline const unsigned char *MultiLineStringEnd(const unsigned char *P, const unsigned char *Lim) {
  const unsigned char *Q = P;
  while (*Q == '\'') ++Q;
  const auto N = Q - P;
  if (N < 3 || N % 2 == 0) return P;
  while (*Q == ' ' || *Q == '\t') ++Q;
  if (*Q == 0 && Q >= Lim) return ShortEnd(Lim);
  if (*Q != 13 && *Q != 10) return P;
  for (;;) {
    // At a line end: step over it, then look for the closing quotes.
    Q += (*Q == 13 && Q[1] == 10) ? 2 : 1;
    while (*Q == ' ' || *Q == '\t') ++Q;
    const unsigned char *R = Q;
    while (*R == '\'') ++R;
    if (R - Q == N) return R;
    Q = LineEnd(R);
    while (*Q == 0 && Q < Lim) Q = LineEnd(Q + 1);  // a NUL in the text
    if (*Q == 0) return ShortEnd(Lim);
  }
}

// A run of quoted strings, character codes and control characters, joined
// without blanks: 'It''s', #13#10, 'a'#9'b', #$0D, #%1101, #&15, 'x'^M^J, and
// multi-line strings.
inline TFormed FormString(const unsigned char *P, const unsigned char *Lim) {
  constexpr TTokenKind K = TTokenKind::tkString;
  const unsigned char *Q = P;
  for (;;) {
    if (*Q == '\'') {
      if (Q[1] == '\'' && Q[2] == '\'') {
        const unsigned char *E = MultiLineStringEnd(Q, Lim);
        if (E > Lim) return {E, K};
        if (E != Q) {
          Q = E;
          continue;
        }
      }
      ++Q;
      for (;;) {
        while (!Is(*Q, ccStringStop)) ++Q;
        if (*Q == '\'') {
          if (Q[1] != '\'') break;
          Q += 2;  // a doubled quote stands for one quote
        } else if (*Q == 0 && Q < Lim) {
          ++Q;  // a NUL in the text
        } else {
          return {*Q == 0 ? ShortEnd(Lim) : OpenEnd(Lim), K};  // the line or the data ended
        }
      }
      ++Q;
    } else if (*Q == '#') {
      ++Q;
      if (*Q == '$')
        Q = RunOf<ccHexSep>(Q + 1);
      else if (*Q == '%')
        Q = RunOf<ccBinary>(Q + 1);
      else if (*Q == '&')
        Q = RunOf<ccOctal>(Q + 1);
      else
        Q = RunOf<ccDecimal>(Q);
    } else if (*Q == '^' && (Q == P || IsControlChar(Q))) {
      Q += 2;  // at the run's start the caller has decided
    } else {
      return {Q, K};
    }
  }
}

// --- comments ----------------------------------------------------------------

// "{" ... "}", a directive when "$" follows the brace. A NUL inside is text.
inline TFormed FormBraceComment(const unsigned char *P, const unsigned char *Lim) {
  const TTokenKind K = P[1] == '$' ? TTokenKind::tkDirective : TTokenKind::tkComment;
  const unsigned char *Q = CharOrNul<'}'>(P + 1);
  while (*Q == 0 && Q < Lim) Q = CharOrNul<'}'>(Q + 1);
  if (*Q == 0) return {ShortEnd(Lim), K};
  return {Q + 1, K};
}

// The same where comments nest (the modes that allow it): a "{" inside opens
// one more level, and only the "}" of the outermost one closes.
inline TFormed FormNestedBraceComment(const unsigned char *P, const unsigned char *Lim) {
  const unsigned char *Q = P + 1;
  for (int Depth = 1;; ++Q) {
    while (*Q != '{' && *Q != '}' && *Q != 0) ++Q;
    if (*Q == '{')
      ++Depth;
    else if (*Q == '}') {
      if (--Depth == 0) return {Q + 1, TTokenKind::tkComment};
    } else if (Q >= Lim) {
      return {ShortEnd(Lim), TTokenKind::tkComment};
    }
  }
}

// "(*" ... "*)": a run of stars and then ")" closes; the opening star is not
// one of them. A directive when "$" follows the star (FormToken).
inline TFormed FormParenComment(const unsigned char *P, const unsigned char *Lim) {
  const unsigned char *Q = P + 2;
  for (;;) {
    Q = CharOrNul<'*'>(Q);
    if (*Q == 0) {
      if (Q >= Lim) return {ShortEnd(Lim), TTokenKind::tkComment};
      ++Q;  // a NUL in the text
      continue;
    }
    while (*Q == '*') ++Q;
    if (*Q == ')') return {Q + 1, TTokenKind::tkComment};
  }
}

// "//" to the end of the line, the line end included (CR LF, LF or CR); on
// the last line without one, to the end of the input.
inline TFormed FormLineComment(const unsigned char *P, const unsigned char *Lim) {
  const unsigned char *Q = LineEnd(P + 2);
  while (*Q == 0 && Q < Lim) Q = LineEnd(Q + 1);
  if (*Q != 0) Q += (*Q == 13 && Q[1] == 10) ? 2 : 1;
  return {Q, TTokenKind::tkComment};
}

// The same where comments nest: "(*" inside opens one more level.
inline TFormed FormNestedParenComment(const unsigned char *P, const unsigned char *Lim) {
  const unsigned char *Q = P + 2;
  for (int Depth = 1;;) {
    while (*Q != '(' && *Q != '*' && *Q != 0) ++Q;
    if (*Q == 0) {
      if (Q >= Lim) return {ShortEnd(Lim), TTokenKind::tkComment};
      ++Q;
    } else if (*Q == '(') {
      Q += Q[1] == '*' ? 2 : 1;
      Depth += Q[-1] == '*';
    } else {
      while (*Q == '*') ++Q;
      if (*Q == ')') {
        ++Q;
        if (--Depth == 0) return {Q, TTokenKind::tkComment};
      }
    }
  }
}

// Whether a directive switches nested comments on or off: {$MODE OBJFPC} and
// {$MODE FPC} nest, the other modes do not; {$MODESWITCH NESTEDCOMMENTS} with
// "+", "-" or nothing. Returns -1 for any other directive, else 0 or 1.
int NestingOfDirective(std::string_view Text);

// --- the token ---------------------------------------------------------------

// Forms the token at P (Floor <= P < Lim). Nested: whether comments nest.
// Fast: a directive is not formed but reported short, so that it goes the
// general way, where the scanner notes the modes it sets.
template <bool Fast>
[[gnu::always_inline]] inline TFormed FormToken(const unsigned char *P, const unsigned char *Lim,
                                                const unsigned char *Floor, bool Nested) {
  using K = TTokenKind;
  const unsigned char C = *P;
  const unsigned char *Q = P + 1;
  // The commonest starts are told apart by plain branches, which the
  // processor predicts from the tokens before; the rest by a table.
  if (C == ' ') {
    // Most blanks are one space: deciding that by a predicted branch keeps
    // the next token from waiting on the run search.
    if (Is(*Q, ccSpace)) Q = SpaceEnd(Q + 1);
    return {Q, K::tkWhitespace};
  }
  if (Is(C, ccLetter)) {
    Q = WordEnd(Q);
    if (*Q >= 0x80) [[unlikely]] {
      const unsigned char *R = NameEnd(Q);
      if (R != Q) return {R, K::tkIdentifier};  // UTF-8 letters: no keyword has them
    }
    return {Q, PaddedWordKind(P, static_cast<std::size_t>(Q - P))};
  }
  if (SingleKinds.Of[C] != K::tkEnd) return {Q, SingleKinds.Of[C]};
  // One of two kinds by the character that follows.
  const auto Pair = [&](unsigned char Next, K Two, K One) -> TFormed {
    return *Q == Next ? TFormed{Q + 1, Two} : TFormed{Q, One};
  };
  switch (Starts.Of[C]) {
    case stSpace:
      return {SpaceEnd(Q), K::tkWhitespace};
    case stDigit:
      return FormDecimal(P, Lim);
    case stDollar:
      return {RunOf<ccHexSep>(Q), K::tkInteger};  // a lone "$" too
    case stPercent:
      if (Is(*Q, ccBinary) && *Q != '_') return {RunOf<ccBinary>(Q), K::tkInteger};
      return {Q, K::tkUnknown};
    case stAmp:
      // &17 is octal; &begin a name that is no keyword.
      if (Is(*Q, ccOctal) && *Q != '_') return {RunOf<ccOctal>(Q), K::tkInteger};
      if (Is(*Q, ccLetter)) return {NameEnd(Q), K::tkIdentifier};
      if (const unsigned N = Utf8LetterLength(Q)) return {NameEnd(Q + N), K::tkIdentifier};
      return {Q, K::tkUnknown};
    case stHigh:
      if (const unsigned N = Utf8LetterLength(P)) return {NameEnd(P + N), K::tkIdentifier};
      return {Q, K::tkUnknown};
    case stQuote:
      return FormString(P, Lim);
    case stCaret:
      if (IsControlCharStart(P, Floor)) return FormString(P, Lim);
      return {Q, K::tkCaret};
    case stColon:
      return Pair('=', K::tkAssign, K::tkColon);
    case stLess:
      if (*Q == '>') return {Q + 1, K::tkNotEqual};
      return Pair('=', K::tkLessEqual, K::tkLess);
    case stGreater:
      if (*Q == '<') return {Q + 1, K::tkSymmetricDiff};
      return Pair('=', K::tkGreaterEqual, K::tkGreater);
    case stPeriod:
      if (*Q == ')') return {Q + 1, K::tkRBracket};  // ".)" stands for "]"
      // "...", the variable arguments of a MacPas routine, is one token, so
      // that "...)" is not read as ".." and ".)".
      if (*Q == '.' && Q[1] == '.') return {Q + 2, K::tkRange};
      return Pair('.', K::tkRange, K::tkPeriod);
    case stLParen:
      if (*Q == '*' && Q[1] == '$') {  // "(*$ ... *)" is a directive, as "{$ ... }" is
        if (Fast) return {ShortEnd(Lim), K::tkDirective};
        return {FormParenComment(P, Lim).End, K::tkDirective};  // ends at its first "*)"
      }
      if (*Q == '*') return Nested ? FormNestedParenComment(P, Lim) : FormParenComment(P, Lim);
      return Pair('.', K::tkLBracket, K::tkLParen);  // "(." stands for "["
    case stBrace:
      if (*Q == '$') {
        if (Fast) return {ShortEnd(Lim), K::tkDirective};
        return FormBraceComment(P, Lim);  // a directive ends at its first "}" in every mode
      }
      if (Nested) [[unlikely]]
        return FormNestedBraceComment(P, Lim);
      return FormBraceComment(P, Lim);
    case stSlash:
      if (*Q == '/') return FormLineComment(P, Lim);
      return Pair('=', K::tkSlashAssign, tkSlash);
    case stPlus:
      return Pair('=', K::tkPlusAssign, K::tkPlus);
    case stMinus:
      return Pair('=', K::tkMinusAssign, K::tkMinus);
    case stStar:
      if (*Q == '*') return {Q + 1, K::tkPower};
      return Pair('=', K::tkStarAssign, K::tkStar);
    case stAt:
      return Pair('@', K::tkAtAt, K::tkAt);
    default:
      return {Q, K::tkUnknown};  // a byte that starts no token: alone
  }
}

}  // namespace codeweft::scanchars
