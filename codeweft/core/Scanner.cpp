#include "codeweft/core/Scanner.h"

#include "codeweft/core/Errors.h"
#include "codeweft/core/Keywords.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

namespace codeweft {

namespace {

constexpr std::size_t BufferSize = 64 * 1024;
// Beyond the data: a 0 sentinel, and room for the 16-byte keyword probe.
constexpr std::size_t BufferPadding = 16;

enum : unsigned char {
  ccLetter = 1,
  ccDigit = 2,
  ccHex = 4,
  ccSpace = 8,
  ccLineEnd = 16,    // CR, LF, and NUL (the sentinel, perhaps)
  ccStringStop = 32, // what ends the plain characters of a quoted string: "'", CR, LF, NUL
};

struct TCharClasses {
  unsigned char Of[256] = {};
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
  }
};
constexpr TCharClasses Classes;

constexpr bool Is(unsigned char C, unsigned char Class) { return (Classes.Of[C] & Class) != 0; }

// The kinds of the characters that form a token on their own.
constexpr TTokenKind SingleKind(unsigned char C) {
  switch (C) {
  case ')': return TTokenKind::tkRParen;
  case ',': return TTokenKind::tkComma;
  case ';': return TTokenKind::tkSemicolon;
  case '=': return TTokenKind::tkEqual;
  case '+': return TTokenKind::tkPlus;
  case '-': return TTokenKind::tkMinus;
  case '*': return TTokenKind::tkStar;
  case '^': return TTokenKind::tkCaret;
  case '@': return TTokenKind::tkAt;
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
constexpr TSingleKinds SingleKinds;

// The end of a run that goes on at Q - blanks; letters, digits and "_"; the
// rest of a line. Sixteen bytes are classified at a time, so the run's length
// costs no branch per byte. The sentinel ends every run before the padding.
#if defined(__SSE2__)
inline __m128i Load16(const unsigned char *Q) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i *>(Q));
}
// Bytes of V (as unsigned) in [Lo, Lo + N).
inline __m128i InRange(__m128i V, char Lo, char N) {
  const __m128i Shifted = _mm_add_epi8(V, _mm_set1_epi8(static_cast<char>(-128 - Lo)));
  return _mm_cmplt_epi8(Shifted, _mm_set1_epi8(static_cast<char>(-128 + N)));
}
inline unsigned SpaceMask(const unsigned char *Q) {
  const __m128i V = Load16(Q);
  const __m128i S = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(V, _mm_set1_epi8(' ')),
                                               _mm_cmpeq_epi8(V, _mm_set1_epi8('\t'))),
                                  _mm_or_si128(_mm_cmpeq_epi8(V, _mm_set1_epi8('\r')),
                                               _mm_cmpeq_epi8(V, _mm_set1_epi8('\n'))));
  return static_cast<unsigned>(_mm_movemask_epi8(S));
}
inline unsigned WordMask(const unsigned char *Q) {
  const __m128i V = Load16(Q);
  const __m128i Letter = InRange(_mm_or_si128(V, _mm_set1_epi8(0x20)), 'a', 26);
  const __m128i Digit = InRange(V, '0', 10);
  const __m128i Under = _mm_cmpeq_epi8(V, _mm_set1_epi8('_'));
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(Letter, Digit), Under)));
}
// Bytes other than CR, LF and NUL: the rest of a line.
inline unsigned LineMask(const unsigned char *Q) {
  const __m128i V = Load16(Q);
  const __m128i Stop = _mm_or_si128(_mm_cmpeq_epi8(V, _mm_setzero_si128()),
                                    _mm_or_si128(_mm_cmpeq_epi8(V, _mm_set1_epi8('\r')),
                                                 _mm_cmpeq_epi8(V, _mm_set1_epi8('\n'))));
  return ~static_cast<unsigned>(_mm_movemask_epi8(Stop)) & 0xFFFFu;
}
// Bytes other than C and NUL: the inside of a comment up to its closing
// character. A NUL (the sentinel, perhaps) ends the search too, so that it
// needs no bound and no library call.
template <char C> inline unsigned NotCharMask(const unsigned char *Q) {
  const __m128i V = Load16(Q);
  const __m128i Stop = _mm_or_si128(_mm_cmpeq_epi8(V, _mm_setzero_si128()),
                                    _mm_cmpeq_epi8(V, _mm_set1_epi8(C)));
  return ~static_cast<unsigned>(_mm_movemask_epi8(Stop)) & 0xFFFFu;
}
template <unsigned (*Mask)(const unsigned char *)>
inline const unsigned char *RunEnd(const unsigned char *Q) {
  for (;;) {
    const unsigned M = ~Mask(Q) & 0xFFFFu;
    if (M != 0) return Q + __builtin_ctz(M);
    Q += 16;
  }
}
inline const unsigned char *SpaceEnd(const unsigned char *Q) { return RunEnd<SpaceMask>(Q); }
inline const unsigned char *WordEnd(const unsigned char *Q) { return RunEnd<WordMask>(Q); }
inline const unsigned char *LineEnd(const unsigned char *Q) { return RunEnd<LineMask>(Q); }
template <char C> inline const unsigned char *CharOrNul(const unsigned char *Q) {
  return RunEnd<NotCharMask<C>>(Q);
}
#else
inline const unsigned char *SpaceEnd(const unsigned char *Q) {
  while (Is(*Q, ccSpace)) ++Q;
  return Q;
}
inline const unsigned char *WordEnd(const unsigned char *Q) {
  while (Is(*Q, ccLetter | ccDigit)) ++Q;
  return Q;
}
inline const unsigned char *LineEnd(const unsigned char *Q) {
  while (!Is(*Q, ccLineEnd)) ++Q;
  return Q;
}
template <char C> inline const unsigned char *CharOrNul(const unsigned char *Q) {
  while (*Q != 0 && *Q != static_cast<unsigned char>(C)) ++Q;
  return Q;
}
#endif

// What a token that starts with a character is, as far as its first
// character tells.
enum TStart : unsigned char {
  stBad = 0, stSpace, stLetter, stDigit, stDollar, stSingle, stColon, stLess, stGreater,
  stPeriod, stLParen, stBrace, stSlash, stQuote,
};

struct TStarts {
  TStart Of[256] = {};
  constexpr TStarts() {
    for (int c = 0; c < 256; ++c) {
      const auto C = static_cast<unsigned char>(c);
      Of[c] = Is(C, ccSpace)    ? stSpace
              : Is(C, ccLetter) ? stLetter
              : Is(C, ccDigit)  ? stDigit
              : SingleKind(C) != TTokenKind::tkEnd ? stSingle
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
  }
};
constexpr TStarts Starts;

} // namespace

// One byte beyond the data holds a 0 sentinel, which no run of letters,
// digits or blanks accepts: the run loops need no bounds check.
TScanner::TScanner() : FBuf(new unsigned char[BufferSize + BufferPadding]()) {
  FPos = FLim = FFastLim = FBuf.get();
}

TScanner::~TScanner() { Close(); }

void TScanner::Open(const std::string &FileName) {
  Close();
  const int Fd = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (Fd < 0) throw EFOpenError(FileErrorMessage("open", FileName, errno));
  struct stat St;
  if (::fstat(Fd, &St) == 0 && S_ISDIR(St.st_mode)) {
    ::close(Fd);
    throw EFOpenError(FileErrorMessage("open", FileName, EISDIR));
  }
  FFd = Fd;
  FFileName = FileName;
  FPos = FLim = FBuf.get();
  FAtEnd = false;
  FPendingRange = false;
  FDone = 0;
  FFailedText.clear();
  // A byte-order mark is not source text. Its three bytes may come in more
  // than one read from a pipe, so gather them before deciding.
  while (FLim - FPos < 3) {
    const ssize_t N = ::read(FFd, const_cast<unsigned char *>(FLim), BufferSize - (FLim - FPos));
    if (N < 0 && errno == EINTR) continue;
    if (N < 0) throw EInOutError(FileErrorMessage("read", FFileName, errno));
    if (N == 0) break;
    FLim += N;
  }
  *const_cast<unsigned char *>(FLim) = 0;
  if (FLim - FPos >= 3 && FPos[0] == 0xEF && FPos[1] == 0xBB && FPos[2] == 0xBF) FPos += 3;
  FFastLim = FLim;
}

void TScanner::Close() {
  if (FFd >= 0) ::close(FFd);
  ReleaseCheckedText();
  FFd = -1;
  FPos = FLim = FFastLim = FBuf.get();
  FBuf[0] = 0;
  FAtEnd = true;
  FPendingRange = false;
}

int TScanner::StopChar() const {
  return (FDone == scBadChar && FPos < FLim) ? *FPos : -1;
}

bool TScanner::TakeRest(std::string &Text) {
  if (FDone == scToken || FDone == scEnd) return false;
  if (!FFailedText.empty()) {
    Text.append(FFailedText);
    FFailedText.clear();
    return true;
  }
  if (FPos >= FLim && Fill() < 0) return false;
  Text.append(reinterpret_cast<const char *>(FPos), FLim - FPos);
  FPos = FLim;
  return true;
}

// Refills the buffer once the current one is used up: the current character,
// or -1 at the end of the input.
int TScanner::Fill() {
  if (FAtEnd || FFd < 0) {
    FAtEnd = true;
    return -1;
  }
  ssize_t N;
  do {
    N = ::read(FFd, FBuf.get(), BufferSize);
  } while (N < 0 && errno == EINTR);
  if (N < 0) throw EInOutError(FileErrorMessage("read", FFileName, errno));
  FPos = FBuf.get();
  FLim = FPos + N;
  FBuf[N] = 0;
  if (N == 0) {
    FAtEnd = true;
    return -1;
  }
  return *FPos;
}

// Takes characters while Keep accepts them, a buffer-full at a time.
template <class Pred> void TScanner::TakeWhile(std::string &Text, Pred Keep) {
  for (;;) {
    const unsigned char *P = FPos;
    while (P < FLim && Keep(*P)) ++P;
    Text.append(reinterpret_cast<const char *>(FPos), P - FPos);
    FPos = P;
    if (P < FLim || Fill() < 0) return;
  }
}

// Delivers a token whose text is the N bytes at P.
[[gnu::always_inline]] inline void TScanner::Deliver(TToken &Token, TTokenKind Kind,
                                                     const unsigned char *P, std::size_t N) {
  Token.Kind = Kind;
#if defined(__SANITIZE_ADDRESS__)
  // Two halves taken in turn: the previous token's bytes are poisoned, so a
  // view of them kept past this call is reported.
  if (N > FCheckedHalf) {
    ReleaseCheckedText();
    FCheckedHalf = N * 2 + 64;
    FCheckedText.reset(new char[2 * FCheckedHalf]);
    ASAN_POISON_MEMORY_REGION(FCheckedText.get(), 2 * FCheckedHalf);
  }
  ASAN_POISON_MEMORY_REGION(FCheckedLast.data(), FCheckedLast.size());
  FCheckedTurn ^= 1;
  char *Half = FCheckedText.get() + FCheckedTurn * FCheckedHalf;
  ASAN_UNPOISON_MEMORY_REGION(Half, N);
  if (N != 0) std::memcpy(Half, P, N);
  FCheckedLast = std::string_view(Half, N);
  Token.Text = FCheckedLast;
#else
  Token.Text = std::string_view(reinterpret_cast<const char *>(P), N);
#endif
}

void TScanner::ReleaseCheckedText() {
#if defined(__SANITIZE_ADDRESS__)
  if (FCheckedText) ASAN_UNPOISON_MEMORY_REGION(FCheckedText.get(), 2 * FCheckedHalf);
  FCheckedText.reset();
  FCheckedHalf = 0;
  FCheckedLast = {};
#endif
}

int TScanner::Finish(TToken &Token, int Code) {
  if (FDone == 0 && Code != scEnd) FFailedText.swap(FText);
  FDone = Code;
  Token.Kind = TTokenKind::tkEnd;
  Token.Text = {};
  ReleaseCheckedText();
  return Code;
}

int TScanner::NextToken(TToken &Token) {
  const unsigned char *const P = FPos, *const Lim = FFastLim;
  if (P >= Lim) return NextTokenGeneral(Token);
  const unsigned char *Q = P + 1;
  TTokenKind K;
  switch (Starts.Of[*P]) {
  case stSpace:
    Q = SpaceEnd(Q);
    K = TTokenKind::tkWhitespace;
    break;
  case stLetter:
    Q = WordEnd(Q);
    K = PaddedWordKind(P, static_cast<std::size_t>(Q - P));
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
  case stSingle:
    K = SingleKinds.Of[*P];
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
  case stBad:
    return NextTokenGeneral(Token);
  default:
    __builtin_unreachable(); // the table holds no other value
  }
  if (Q >= Lim) return NextTokenGeneral(Token);
  Deliver(Token, K, P, static_cast<std::size_t>(Q - P));
  FPos = Q;
  return scToken;
}

// The general way reads on into the next buffer-full when a token reaches the
// end of this one; afterwards the fast way is open again unless the scan has
// stopped or a range is pending.
// Its text is gathered in FText.
int TScanner::NextTokenGeneral(TToken &Token) {
  FText.clear();
  const int Code = ScanGeneral(Token);
  FFastLim = (FDone == 0 && !FPendingRange) ? FLim : FBuf.get();
  if (Code == scToken)
    Deliver(Token, Token.Kind, reinterpret_cast<const unsigned char *>(FText.data()), FText.size());
  return Code;
}

int TScanner::ScanGeneral(TToken &Token) {
  if (FDone != 0) return Finish(Token, FDone);
  if (FPendingRange) {
    FPendingRange = false;
    Token.Kind = TTokenKind::tkRange;
    FText = "..";
    return scToken;
  }
  int C = Peek();
  if (C >= 0 && Is(static_cast<unsigned char>(C), ccSpace)) {
    TakeWhile(FText, [](unsigned char X) { return Is(X, ccSpace); });
    Token.Kind = TTokenKind::tkWhitespace;
    return scToken;
  }
  if (C < 0) return Finish(Token, scEnd);

  if (Is(static_cast<unsigned char>(C), ccLetter)) {
    TakeWhile(FText, [](unsigned char X) { return Is(X, ccLetter | ccDigit); });
    Token.Kind = WordKind(FText);
    return scToken;
  }
  if (Is(static_cast<unsigned char>(C), ccDigit)) return ScanNumber(Token);

  switch (C) {
  case '$':
    Take(FText);
    TakeWhile(FText, [](unsigned char X) { return Is(X, ccHex); });
    Token.Kind = TTokenKind::tkInteger;
    return scToken;
  case '\'':
  case '#':
    return ScanString(Token);
  case '(':
    Take(FText);
    if (Peek() == '*') return ScanParenComment(Token);
    Token.Kind = TTokenKind::tkLParen;
    return scToken;
  case '{':
    return ScanBraceComment(Token);
  case '/':
    Take(FText);
    if (Peek() == '/') {
      ScanLineComment(Token);
      return scToken;
    }
    Token.Kind = tkSlash;
    return scToken;
  case ':':
    Take(FText);
    Token.Kind = TTokenKind::tkColon;
    if (Peek() == '=') {
      Take(FText);
      Token.Kind = TTokenKind::tkAssign;
    }
    return scToken;
  case '<':
    Take(FText);
    Token.Kind = TTokenKind::tkLess;
    if (Peek() == '=') {
      Take(FText);
      Token.Kind = TTokenKind::tkLessEqual;
    } else if (Peek() == '>') {
      Take(FText);
      Token.Kind = TTokenKind::tkNotEqual;
    }
    return scToken;
  case '>':
    Take(FText);
    Token.Kind = TTokenKind::tkGreater;
    if (Peek() == '=') {
      Take(FText);
      Token.Kind = TTokenKind::tkGreaterEqual;
    }
    return scToken;
  case '.':
    Take(FText);
    Token.Kind = TTokenKind::tkPeriod;
    if (Peek() == '.') {
      Take(FText);
      Token.Kind = TTokenKind::tkRange;
    }
    return scToken;
  default: {
    const TTokenKind K = SingleKind(static_cast<unsigned char>(C));
    if (K == TTokenKind::tkEnd) return Finish(Token, scBadChar); // not consumed
    Take(FText);
    Token.Kind = K;
    return scToken;
  }
  }
}

// Digits, then a fraction, an exponent, or ".." left for the next call.
int TScanner::ScanNumber(TToken &Token) {
  auto Digit = [](unsigned char X) { return Is(X, ccDigit); };
  TakeWhile(FText, Digit);
  int C = Peek();
  if (C == '.') {
    ++FPos; // the point is kept out of the text until we know it is no range
    if (Peek() == '.') {
      ++FPos;
      FPendingRange = true;
      Token.Kind = TTokenKind::tkInteger;
      return scToken;
    }
    FText.push_back('.');
    TakeWhile(FText, Digit);
    C = Peek();
    if (C != 'E' && C != 'e') {
      Token.Kind = TTokenKind::tkReal;
      return scToken;
    }
  }
  if (C == 'E' || C == 'e') {
    Take(FText);
    C = Peek();
    if (C == '+' || C == '-') Take(FText);
    if (Peek() >= 0) Take(FText); // the exponent's first character, whatever it is
    TakeWhile(FText, Digit);
    Token.Kind = TTokenKind::tkReal;
    return scToken;
  }
  Token.Kind = TTokenKind::tkInteger;
  return scToken;
}

// A run of quoted strings and character codes: 'It''s', #13#10, 'a'#9'b'.
int TScanner::ScanString(TToken &Token) {
  for (;;) {
    if (Peek() == '#') {
      TakeWhile(FText, [](unsigned char X) { return X == '#' || Is(X, ccDigit); });
      if (Peek() != '\'') break;
    }
    Take(FText); // the opening quote
    for (;;) {
      TakeWhile(FText, [](unsigned char X) { return X != '\'' && X != 13 && X != 10; });
      const int C = Peek();
      if (C != '\'') return Finish(Token, scOpenString); // line end or input end
      Take(FText);
      if (Peek() != '\'') break;
      Take(FText); // a doubled quote stands for one quote
    }
    if (Peek() != '#') break;
  }
  Token.Kind = TTokenKind::tkString;
  return scToken;
}

// "(*" ... "*)"; the "(" is already taken and "*" is current.
int TScanner::ScanParenComment(TToken &Token) {
  Take(FText);
  for (;;) {
    TakeWhile(FText, [](unsigned char X) { return X != '*'; });
    if (Peek() < 0) return Finish(Token, scOpenComment);
    TakeWhile(FText, [](unsigned char X) { return X == '*'; });
    const int C = Peek();
    if (C < 0) return Finish(Token, scOpenComment);
    if (C == ')') {
      Take(FText);
      Token.Kind = TTokenKind::tkComment;
      return scToken;
    }
  }
}

// "{" ... "}"; a directive when "$" follows the brace.
int TScanner::ScanBraceComment(TToken &Token) {
  Take(FText);
  Token.Kind = Peek() == '$' ? TTokenKind::tkDirective : TTokenKind::tkComment;
  TakeWhile(FText, [](unsigned char X) { return X != '}'; });
  if (Peek() < 0) return Finish(Token, scOpenComment);
  Take(FText);
  return scToken;
}

// "//" to the end of the line, line end included (CR LF, or LF alone). A
// comment on the last line without a line end ends with the input.
void TScanner::ScanLineComment(TToken &Token) {
  TakeWhile(FText, [](unsigned char X) { return X != 13 && X != 10; });
  const int C = Peek();
  if (C >= 0) {
    Take(FText);
    if (C == 13 && Peek() == 10) Take(FText);
  }
  Token.Kind = TTokenKind::tkComment;
}

} // namespace codeweft
