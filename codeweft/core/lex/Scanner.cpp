#include "codeweft/core/lex/Scanner.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>

#include "codeweft/core/Errors.h"
#include "codeweft/core/Text.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

namespace codeweft {

using namespace scanchars;

namespace {

// A buffer of Capacity data bytes and the padding after them, zeroed: the
// sentinel and the bytes the 16-byte loads read beyond it.
std::unique_ptr<unsigned char[]> NewBuffer(std::size_t Capacity) {
  return std::unique_ptr<unsigned char[]>(new unsigned char[Capacity + BufferPadding]());
}

}  // namespace

TScanner::TScanner() : FBuf(NewBuffer(BufferSize)), FCapacity(BufferSize) {
  FPos = FLim = FFastLim = FFloor = FBuf.get();
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
  // A buffer grown for a long token of the last file is given back.
  if (FCapacity != BufferSize) {
    FBuf = NewBuffer(BufferSize);
    FCapacity = BufferSize;
  }
  FPos = FLim = FFloor = FBuf.get();
  FAtEnd = false;
  const std::string Ext = std::filesystem::path(FileName).extension().string();
  FNestedComments = SameText(Ext, ".pp") || SameText(Ext, ".lpr");
  FDone = 0;
  // A byte-order mark is not source text. Its three bytes may come in more
  // than one read from a pipe, so gather them before deciding.
  while (FLim - FPos < 3 && !FAtEnd) {
    try {
      Refill();
    } catch (...) {
      Close();
      throw;
    }
  }
  if (FLim - FPos >= 3 && FPos[0] == 0xEF && FPos[1] == 0xBB && FPos[2] == 0xBF) FPos += 3;
  FFloor = FPos;
  SetFastLimit();
}

void TScanner::Close() {
  if (FFd >= 0) ::close(FFd);
  ReleaseCheckedText();
  FFd = -1;
  FPos = FLim = FFastLim = FFloor = FBuf.get();
  FBuf[0] = 0;
  FAtEnd = true;
}

bool TScanner::Refill() {
  if (FAtEnd || FFd < 0) {
    FAtEnd = true;
    return false;
  }
  const std::size_t Behind = std::min<std::size_t>(FormLookbehind, FPos - FFloor);
  const unsigned char *const From = FPos - Behind;
  const std::size_t Kept = static_cast<std::size_t>(FLim - From);
  if (Kept > FCapacity / 2) {
    // A token longer than half the buffer: double it, so that reading such a
    // token again from its start costs no more than reading it once.
    std::unique_ptr<unsigned char[]> Bigger = NewBuffer(FCapacity * 2);
    std::memcpy(Bigger.get(), From, Kept);
    FBuf = std::move(Bigger);
    FCapacity *= 2;
  } else if (From != FBuf.get()) {
    std::memmove(FBuf.get(), From, Kept);
  }
  // Once the input's start has left the buffer, the floor is the buffer's
  // start: the look-behind before the current byte lies above it.
  FFloor = FBuf.get();
  FPos = FBuf.get() + Behind;
  FLim = FBuf.get() + Kept;
  ssize_t N;
  do {
    N = ::read(FFd, FBuf.get() + Kept, FCapacity - Kept);
  } while (N < 0 && errno == EINTR);
  if (N < 0) {
    FBuf[Kept] = 0;
    throw EInOutError(FileErrorMessage("read", FFileName, errno));
  }
  FLim += N;
  FBuf[Kept + static_cast<std::size_t>(N)] = 0;
  if (N == 0) FAtEnd = true;
  return N != 0;
}

bool TScanner::TakeRest(std::string &Text) {
  if (FDone == scToken || FDone == scEnd) return false;
  if (FPos >= FLim && !Refill()) return false;
  Text.append(reinterpret_cast<const char *>(FPos), static_cast<std::size_t>(FLim - FPos));
  FPos = FLim;
  return true;
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

void TScanner::NoteDirective(const unsigned char *P, const unsigned char *End) {
  const int Nesting = NestingOfDirective(
      std::string_view(reinterpret_cast<const char *>(P), static_cast<std::size_t>(End - P)));
  if (Nesting >= 0) FNestedComments = Nesting != 0;
}

int scanchars::NestingOfDirective(std::string_view Text) {
  // "{$" (or "(*$") NAME blanks WORD: letters only; a sign may end WORD.
  auto Word = [&](std::size_t &I) {
    const std::size_t From = I;
    while (I < Text.size() && Is(static_cast<unsigned char>(Text[I]), ccLetter)) ++I;
    return Text.substr(From, I - From);
  };
  std::size_t I = Text.substr(0, 2) == "(*" ? 3 : 2;
  const std::string_view Name = Word(I);
  while (I < Text.size() && (Text[I] == ' ' || Text[I] == '\t')) ++I;
  const std::string_view Arg = Word(I);
  if (SameText(Name, "mode")) return SameText(Arg, "objfpc") || SameText(Arg, "fpc") ? 1 : 0;
  if (SameText(Name, "modeswitch") && SameText(Arg, "nestedcomments"))
    return I < Text.size() && Text[I] == '-' ? 0 : 1;
  return -1;
}

int TScanner::Finish(TToken &Token, int Code) {
  FDone = Code;
  FFastLim = FBuf.get();
  Token.Kind = TTokenKind::tkEnd;
  Token.Text = {};
  ReleaseCheckedText();
  return Code;
}

// The general way forms the token with the same grammar as the fast way;
// where its end is not yet certain it reads more and forms it again. A token
// left open stops the scan with its first byte still unread, for TakeRest.
int TScanner::NextTokenGeneral(TToken &Token) {
  if (FDone != 0) return Finish(Token, FDone);
  for (;;) {
    if (FPos >= FLim && !Refill()) return Finish(Token, scEnd);
    const TFormed F = FormToken<false>(FPos, FLim, FFloor, FNestedComments);
    const bool Open = F.End == OpenEnd(FLim) || (F.End == ShortEnd(FLim) && FAtEnd);
    if (Open) return Finish(Token, F.Kind == TTokenKind::tkString ? scOpenString : scOpenComment);
    if (F.End <= FLim && (FAtEnd || F.End + FormLookahead <= FLim)) {
      Deliver(Token, F.Kind, FPos, static_cast<std::size_t>(F.End - FPos));
      if (F.Kind == TTokenKind::tkDirective) NoteDirective(FPos, F.End);
      FPos = F.End;
      SetFastLimit();
      return scToken;
    }
    Refill();
  }
}

} // namespace codeweft
