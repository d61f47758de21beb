#include "codeweft/core/lex/Scanner.h"

#include "codeweft/core/Errors.h"
#include "codeweft/core/lex/Keywords.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

namespace codeweft {

using namespace scanchars;

// One byte beyond the data holds a 0 sentinel, which no run of letters,
// digits or blanks accepts: the run loops need no bounds check.
TScanner::TScanner() : FBuf(new unsigned char[BufferSize + BufferPadding]()) {
  FPos = FLim = FFastLim = FBuf.get();
}

TScanner::~TScanner() { Close(); }

void TScanner::Open(const std::string &FileName) {
  Close();
  // Without blocking: a FIFO would wait here for a writer before it could be
  // refused.
  const int Fd = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (Fd < 0) throw EFOpenError(FileErrorMessage("open", FileName, errno));
  // Only a regular file is source: a device or FIFO could give input without
  // end or block the run, and a folder has no text.
  struct stat Info {};
  const bool Stated = ::fstat(Fd, &Info) == 0;
  if (!Stated || !S_ISREG(Info.st_mode)) {
    const int Err = Stated ? (S_ISDIR(Info.st_mode) ? EISDIR : 0) : errno;
    ::close(Fd);
    throw EFOpenError(Err ? FileErrorMessage("open", FileName, Err)
                          : "Cannot open file \"" + FileName + "\": not a regular file");
  }
  ::fcntl(Fd, F_SETFL, ::fcntl(Fd, F_GETFL) & ~O_NONBLOCK);
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
    if (N < 0) {
      const int Err = errno;
      Close();
      throw EInOutError(FileErrorMessage("read", FileName, Err));
    }
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

#if defined(__SANITIZE_ADDRESS__)
// Two halves taken in turn: the previous token's bytes are poisoned, so a
// view of them kept past this call is reported.
void TScanner::DeliverChecked(TToken &Token, const unsigned char *P, std::size_t N) {
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
}
#endif

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
