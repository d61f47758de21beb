#include "codeweft/core/Scanner.h"

#include "codeweft/core/Errors.h"
#include "codeweft/core/Keywords.h"
#include "codeweft/core/Text.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace codeweft {

namespace {

constexpr std::size_t BufferSize = 64 * 1024;

enum : unsigned char { ccLetter = 1, ccDigit = 2, ccHex = 4, ccSpace = 8 };

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

} // namespace

// One byte beyond the data holds a 0 sentinel, which no run of letters,
// digits or blanks accepts: the run loops need no bounds check.
TScanner::TScanner() : FBuf(new unsigned char[BufferSize + 1]) { FBuf[0] = 0; }

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
}

void TScanner::Close() {
  if (FFd >= 0) ::close(FFd);
  FFd = -1;
  FPos = FLim = FBuf.get();
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

int TScanner::Finish(TToken &Token, int Code) {
  if (FDone == 0 && Code != scEnd) FFailedText.swap(Token.Text);
  FDone = Code;
  Token.Kind = TTokenKind::tkEnd;
  Token.Text.clear();
  return Code;
}

// The common tokens that lie wholly inside the buffer are formed here with
// one copy each; everything else, and every token that reaches the end of the
// buffer, goes the general way.
int TScanner::NextToken(TToken &Token) {
  if (FDone == 0 && !FPendingRange && FPos < FLim) {
    const unsigned char *P = FPos, *Q = P + 1;
    const unsigned char C = *P;
    TTokenKind K = TTokenKind::tkEnd;
    if (Is(C, ccSpace)) {
      while (Is(*Q, ccSpace)) ++Q;
      K = TTokenKind::tkWhitespace;
    } else if (Is(C, ccLetter)) {
      while (Is(*Q, ccLetter | ccDigit)) ++Q;
      K = TTokenKind::tkIdentifier;
    } else if (Is(C, ccDigit)) {
      while (Is(*Q, ccDigit)) ++Q;
      if (*Q != '.' && *Q != 'e' && *Q != 'E') K = TTokenKind::tkInteger;
    } else if (Q < FLim) {
      K = SingleKind(C);
      const unsigned char D = *Q;
      if (C == ':') {
        K = D == '=' ? TTokenKind::tkAssign : TTokenKind::tkColon;
      } else if (C == '<') {
        K = D == '=' ? TTokenKind::tkLessEqual : D == '>' ? TTokenKind::tkNotEqual : TTokenKind::tkLess;
      } else if (C == '>') {
        K = D == '=' ? TTokenKind::tkGreaterEqual : TTokenKind::tkGreater;
      } else if (C == '.') {
        K = D == '.' ? TTokenKind::tkRange : TTokenKind::tkPeriod;
      } else if (C == '(' && D != '*') {
        K = TTokenKind::tkLParen;
      } else if (C == '/' && D != '/') {
        K = tkSlash;
      }
      if (K == TTokenKind::tkAssign || K == TTokenKind::tkLessEqual ||
          K == TTokenKind::tkNotEqual || K == TTokenKind::tkGreaterEqual ||
          K == TTokenKind::tkRange)
        ++Q;
    }
    if (K != TTokenKind::tkEnd && Q < FLim) {
      Token.Text.clear();
      Token.Text.append(reinterpret_cast<const char *>(P), Q - P);
      FPos = Q;
      Token.Kind = (K == TTokenKind::tkIdentifier && MayBeKeyword(Token.Text)) ? WordKind(Token.Text) : K;
      return scToken;
    }
  }
  return NextTokenGeneral(Token);
}

int TScanner::NextTokenGeneral(TToken &Token) {
  Token.Text.clear();
  if (FDone != 0) return Finish(Token, FDone);
  if (FPendingRange) {
    FPendingRange = false;
    Token.Kind = TTokenKind::tkRange;
    Token.Text = "..";
    return scToken;
  }
  int C = Peek();
  if (C >= 0 && Is(static_cast<unsigned char>(C), ccSpace)) {
    TakeWhile(Token.Text, [](unsigned char X) { return Is(X, ccSpace); });
    Token.Kind = TTokenKind::tkWhitespace;
    return scToken;
  }
  if (C < 0) return Finish(Token, scEnd);

  if (Is(static_cast<unsigned char>(C), ccLetter)) {
    TakeWhile(Token.Text, [](unsigned char X) { return Is(X, ccLetter | ccDigit); });
    Token.Kind = WordKind(Token.Text);
    return scToken;
  }
  if (Is(static_cast<unsigned char>(C), ccDigit)) return ScanNumber(Token);

  switch (C) {
  case '$':
    Take(Token.Text);
    TakeWhile(Token.Text, [](unsigned char X) { return Is(X, ccHex); });
    Token.Kind = TTokenKind::tkInteger;
    return scToken;
  case '\'':
  case '#':
    return ScanString(Token);
  case '(':
    Take(Token.Text);
    if (Peek() == '*') return ScanParenComment(Token);
    Token.Kind = TTokenKind::tkLParen;
    return scToken;
  case '{':
    return ScanBraceComment(Token);
  case '/':
    Take(Token.Text);
    if (Peek() == '/') {
      ScanLineComment(Token);
      return scToken;
    }
    Token.Kind = tkSlash;
    return scToken;
  case ':':
    Take(Token.Text);
    Token.Kind = TTokenKind::tkColon;
    if (Peek() == '=') {
      Take(Token.Text);
      Token.Kind = TTokenKind::tkAssign;
    }
    return scToken;
  case '<':
    Take(Token.Text);
    Token.Kind = TTokenKind::tkLess;
    if (Peek() == '=') {
      Take(Token.Text);
      Token.Kind = TTokenKind::tkLessEqual;
    } else if (Peek() == '>') {
      Take(Token.Text);
      Token.Kind = TTokenKind::tkNotEqual;
    }
    return scToken;
  case '>':
    Take(Token.Text);
    Token.Kind = TTokenKind::tkGreater;
    if (Peek() == '=') {
      Take(Token.Text);
      Token.Kind = TTokenKind::tkGreaterEqual;
    }
    return scToken;
  case '.':
    Take(Token.Text);
    Token.Kind = TTokenKind::tkPeriod;
    if (Peek() == '.') {
      Take(Token.Text);
      Token.Kind = TTokenKind::tkRange;
    }
    return scToken;
  default: {
    const TTokenKind K = SingleKind(static_cast<unsigned char>(C));
    if (K == TTokenKind::tkEnd) return Finish(Token, scBadChar); // not consumed
    Take(Token.Text);
    Token.Kind = K;
    return scToken;
  }
  }
}

// Digits, then a fraction, an exponent, or ".." left for the next call.
int TScanner::ScanNumber(TToken &Token) {
  auto Digit = [](unsigned char X) { return Is(X, ccDigit); };
  TakeWhile(Token.Text, Digit);
  int C = Peek();
  if (C == '.') {
    ++FPos; // the point is kept out of the text until we know it is no range
    if (Peek() == '.') {
      ++FPos;
      FPendingRange = true;
      Token.Kind = TTokenKind::tkInteger;
      return scToken;
    }
    Token.Text.push_back('.');
    TakeWhile(Token.Text, Digit);
    C = Peek();
    if (C != 'E' && C != 'e') {
      Token.Kind = TTokenKind::tkReal;
      return scToken;
    }
  }
  if (C == 'E' || C == 'e') {
    Take(Token.Text);
    C = Peek();
    if (C == '+' || C == '-') Take(Token.Text);
    if (Peek() >= 0) Take(Token.Text); // the exponent's first character, whatever it is
    TakeWhile(Token.Text, Digit);
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
      TakeWhile(Token.Text, [](unsigned char X) { return X == '#' || Is(X, ccDigit); });
      if (Peek() != '\'') break;
    }
    Take(Token.Text); // the opening quote
    for (;;) {
      TakeWhile(Token.Text, [](unsigned char X) { return X != '\'' && X != 13 && X != 10; });
      const int C = Peek();
      if (C != '\'') return Finish(Token, scOpenString); // line end or input end
      Take(Token.Text);
      if (Peek() != '\'') break;
      Take(Token.Text); // a doubled quote stands for one quote
    }
    if (Peek() != '#') break;
  }
  Token.Kind = TTokenKind::tkString;
  return scToken;
}

// "(*" ... "*)"; the "(" is already taken and "*" is current.
int TScanner::ScanParenComment(TToken &Token) {
  Take(Token.Text);
  for (;;) {
    TakeWhile(Token.Text, [](unsigned char X) { return X != '*'; });
    if (Peek() < 0) return Finish(Token, scOpenComment);
    TakeWhile(Token.Text, [](unsigned char X) { return X == '*'; });
    const int C = Peek();
    if (C < 0) return Finish(Token, scOpenComment);
    if (C == ')') {
      Take(Token.Text);
      Token.Kind = TTokenKind::tkComment;
      return scToken;
    }
  }
}

// "{" ... "}"; a directive when "$" follows the brace.
int TScanner::ScanBraceComment(TToken &Token) {
  Take(Token.Text);
  Token.Kind = Peek() == '$' ? TTokenKind::tkDirective : TTokenKind::tkComment;
  TakeWhile(Token.Text, [](unsigned char X) { return X != '}'; });
  if (Peek() < 0) return Finish(Token, scOpenComment);
  Take(Token.Text);
  return scToken;
}

// "//" to the end of the line, line end included (CR LF, or LF alone). A
// comment on the last line without a line end ends with the input.
void TScanner::ScanLineComment(TToken &Token) {
  TakeWhile(Token.Text, [](unsigned char X) { return X != 13 && X != 10; });
  const int C = Peek();
  if (C >= 0) {
    Take(Token.Text);
    if (C == 13 && Peek() == 10) Take(Token.Text);
  }
  Token.Kind = TTokenKind::tkComment;
}

} // namespace codeweft
