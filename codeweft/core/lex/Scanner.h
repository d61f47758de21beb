// TScanner turns one Object Pascal source file into tokens without gaps:
// whitespace and comments are tokens too, and every token carries its exact
// source bytes, so joining the texts of all tokens gives the file back (up to
// the point of a scanning error).
//
// The scanner looks one character ahead and no further; an integer followed by
// ".." is returned alone and the ".." on the next call (the pending-range
// flag). The file is read through a buffer, so a character costs no system call.
// A UTF-8 byte-order mark at the very start of a file is skipped. Lines may end
// in CR LF or in LF alone.
#pragma once

#include "codeweft/core/lex/Keywords.h"
#include "codeweft/core/lex/ScannerChars.h"
#include "codeweft/core/lex/Token.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace codeweft {

// Result codes of NextToken. Any code but scToken ends the file; the token is
// then tkEnd with empty text, and asking again gives the same code.
inline constexpr int scToken = 0;        // a token was delivered
inline constexpr int scEnd = 1;          // end of input
inline constexpr int scBadChar = 3;      // a character no token starts with (not consumed)
inline constexpr int scOpenString = 5;   // a string literal reached its line end or the input end
inline constexpr int scOpenComment = 7;  // the input ended inside a "{" or "(*" comment

class TScanner {
public:
  TScanner();
  ~TScanner();
  TScanner(const TScanner &) = delete;
  TScanner &operator=(const TScanner &) = delete;

  // Opens FileName for reading (closing any file still open) and reads the
  // first character. Throws EFOpenError naming the file and the reason.
  void Open(const std::string &FileName);
  // Fills Token with the next token and returns one of the codes above. A
  // scanner that is not open reports scEnd. Throws EInOutError if reading fails.
  // The token's text is a view of the scanner's buffer, valid until the next
  // call (or Open, Close, destruction); no text is copied to deliver it.
  int NextToken(TToken &Token);
  void Close();

  bool IsOpen() const { return FFd >= 0; }
  const std::string &FileName() const { return FFileName; }
  // After scBadChar: the byte that stopped the scan; otherwise -1.
  int StopChar() const;
  // The non-zero code that ended the file, or scToken while it goes on.
  int LastCode() const { return FDone; }

  // After a scanning error (codes 3, 5, 7): hands back the source from the
  // error point on, a piece at a time: first what the failed token had taken,
  // then the unread rest of the file. Appends the next piece to Text and
  // returns false when nothing is left. Lets a listing keep every byte.
  bool TakeRest(std::string &Text);

private:
  int Peek() { return FPos < FLim ? *FPos : Fill(); }
  int Fill();
  void Take(std::string &Text) { Text.push_back(static_cast<char>(*FPos++)); }
  template <class Pred> void TakeWhile(std::string &Text, Pred Keep);
  void Deliver(TToken &Token, TTokenKind Kind, const unsigned char *P, std::size_t N) {
    Token.Kind = Kind;
#if defined(__SANITIZE_ADDRESS__)
    DeliverChecked(Token, P, N);
#else
    Token.Text = std::string_view(reinterpret_cast<const char *>(P), N);
#endif
  }
  void DeliverChecked(TToken &Token, const unsigned char *P, std::size_t N);
  int NextTokenGeneral(TToken &Token);
  int ScanGeneral(TToken &Token);
  int Finish(TToken &Token, int Code);
  int ScanNumber(TToken &Token);
  int ScanString(TToken &Token);
  int ScanParenComment(TToken &Token);
  int ScanBraceComment(TToken &Token);
  void ScanLineComment(TToken &Token);

  int FFd = -1;
  std::string FFileName;
  std::unique_ptr<unsigned char[]> FBuf;
  const unsigned char *FPos = nullptr; // the current character is *FPos
  const unsigned char *FLim = nullptr;
  // FLim while tokens may be formed on the fast way; the buffer's start (so
  // that no position is below it) once the scan stopped or a range is pending.
  const unsigned char *FFastLim = nullptr;
  bool FAtEnd = true;
  bool FPendingRange = false;
  int FDone = 0; // the non-zero code once one was returned
  std::string FFailedText; // what the token that failed had taken
  // The text of a token formed the general way, which may span refills.
  std::string FText;
  // Sanitizer builds only: token texts are copied here and poisoned at the
  // next call, so that a view kept too long is reported.
  void ReleaseCheckedText();
  std::unique_ptr<char[]> FCheckedText;
  std::size_t FCheckedHalf = 0;
  int FCheckedTurn = 0;
  std::string_view FCheckedLast;
};

// The fast way: a token that lies wholly inside the buffer, read by one look
// at its first character. Anything else - the buffer's end, a pending range,
// an error - goes the general way.
[[gnu::always_inline]] inline int TScanner::NextToken(TToken &Token) {
  using namespace scanchars;
  const unsigned char *const P = FPos, *const Lim = FFastLim;
  if (P >= Lim) return NextTokenGeneral(Token);
  const unsigned char *Q = P + 1;
  TTokenKind K;
  // The commonest starts are told apart by plain branches, which the
  // processor predicts from the tokens before; the rest by a table.
  const unsigned char C = *P;
  if (C == ' ') {
    // Most blanks are one space: deciding that by a predicted branch keeps
    // the next token from waiting on the run search.
    if (Is(*Q, ccSpace)) Q = SpaceEnd(Q + 1);
    K = TTokenKind::tkWhitespace;
  } else if (Is(C, ccLetter)) {
    Q = WordEnd(Q);
    K = PaddedWordKind(P, static_cast<std::size_t>(Q - P));
  } else if (SingleKinds.Of[C] != TTokenKind::tkEnd) {
    K = SingleKinds.Of[C];
  } else switch (Starts.Of[C]) {
  case stSpace:
    Q = SpaceEnd(Q);
    K = TTokenKind::tkWhitespace;
    break;
  case stDigit:
    while (Is(*Q, ccDigit)) ++Q;
    K = TTokenKind::tkInteger;
    if (*Q == '.') {
      if (Q[1] == '.') { // a point, not the sentinel: both lie inside the data
        // The digits alone; both points are consumed and ".." comes next.
        Deliver(Token, TTokenKind::tkInteger, P, static_cast<std::size_t>(Q - P));
        FPos = Q + 2;
        FPendingRange = true;
        FFastLim = FBuf.get();
        return scToken;
      }
      ++Q;
      while (Is(*Q, ccDigit)) ++Q;
      K = TTokenKind::tkReal;
    }
    if (*Q == 'e' || *Q == 'E') {
      ++Q;
      if (*Q == '+' || *Q == '-') ++Q;
      ++Q; // the exponent's first character, whatever it is
      while (Is(*Q, ccDigit)) ++Q;
      K = TTokenKind::tkReal;
    }
    break;
  case stDollar:
    while (Is(*Q, ccHex)) ++Q;
    K = TTokenKind::tkInteger;
    break;
  case stColon:
    K = TTokenKind::tkColon;
    if (*Q == '=') ++Q, K = TTokenKind::tkAssign;
    break;
  case stLess:
    K = TTokenKind::tkLess;
    if (*Q == '=') ++Q, K = TTokenKind::tkLessEqual;
    else if (*Q == '>') ++Q, K = TTokenKind::tkNotEqual;
    break;
  case stGreater:
    K = TTokenKind::tkGreater;
    if (*Q == '=') ++Q, K = TTokenKind::tkGreaterEqual;
    break;
  case stPeriod:
    K = TTokenKind::tkPeriod;
    if (*Q == '.') ++Q, K = TTokenKind::tkRange;
    break;
  case stLParen:
    K = TTokenKind::tkLParen;
    if (*Q == '*') {
      // A run of stars and then ")" closes; the opening star is not one of them.
      ++Q;
      for (;;) {
        Q = CharOrNul<'*'>(Q);
        if (*Q == 0) return NextTokenGeneral(Token); // the sentinel, or a NUL in the comment
        while (*Q == '*') ++Q;
        if (*Q == ')') break;
      }
      ++Q;
      K = TTokenKind::tkComment;
    }
    break;
  case stBrace:
    K = *Q == '$' ? TTokenKind::tkDirective : TTokenKind::tkComment;
    Q = CharOrNul<'}'>(Q);
    if (*Q == 0) return NextTokenGeneral(Token); // the sentinel, or a NUL in the comment
    ++Q;
    break;
  case stSlash:
    K = tkSlash;
    if (*Q == '/') {
      Q = LineEnd(Q);
      if (*Q == 0) return NextTokenGeneral(Token); // the sentinel, or a NUL in the comment
      if (*Q == 13 && Q[1] == 10) ++Q;
      ++Q;
      K = TTokenKind::tkComment;
    }
    break;
  case stQuote:
    // Quoted strings and character codes; a line end, a NUL (perhaps the
    // sentinel) and the errors are left to the general way.
    Q = P;
    for (;;) {
      while (*Q == '#' || Is(*Q, ccDigit)) ++Q;
      if (*Q != '\'') break;
      do {
        ++Q;
        while (!Is(*Q, ccStringStop)) ++Q;
        if (*Q != '\'') return NextTokenGeneral(Token);
        ++Q;
      } while (*Q == '\'');
      if (*Q != '#') break;
    }
    K = TTokenKind::tkString;
    break;
  default: // stBad; letters and single characters were taken above
    return NextTokenGeneral(Token);
  }
  if (Q >= Lim) return NextTokenGeneral(Token);
  Deliver(Token, K, P, static_cast<std::size_t>(Q - P));
  FPos = Q;
  return scToken;
}

} // namespace codeweft
