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

// A buffer of capacity data bytes and the padding after them, zeroed: the
// sentinel and the bytes the 16-byte loads read beyond it.
std::unique_ptr<unsigned char[]> NewBuffer(std::size_t capacity) {
  return std::unique_ptr<unsigned char[]>(new unsigned char[capacity + BufferPadding]());
}

}  // namespace

TScanner::TScanner() : FBuf(NewBuffer(BufferSize)), FCapacity(BufferSize) {
  FPos = FLim = FFastLim = FFloor = FBuf.get();
}

TScanner::~TScanner() { Close(); }

void TScanner::Open(const std::string &fileName) {
  Close();
  // Without blocking: a FIFO would wait here for a writer before it could be
  // refused.
  const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) throw EFOpenError(FileErrorMessage("open", fileName, errno));
  // Only a regular file is source: a device or FIFO could give input without
  // end or block the run, and a folder has no text.
  struct stat info {};
  const bool stated = ::fstat(fd, &info) == 0;
  if (!stated || !S_ISREG(info.st_mode)) {
    const int err = stated ? (S_ISDIR(info.st_mode) ? EISDIR : 0) : errno;
    ::close(fd);
    throw EFOpenError(err ? FileErrorMessage("open", fileName, err)
                          : "Cannot open file \"" + fileName + "\": not a regular file");
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  FFd = fd;
  FFileName = fileName;
  // A buffer grown for a long token of the last file is given back.
  if (FCapacity != BufferSize) {
    FBuf = NewBuffer(BufferSize);
    FCapacity = BufferSize;
  }
  FPos = FLim = FFloor = FBuf.get();
  FAtEnd = false;
  const std::string ext = std::filesystem::path(fileName).extension().string();
  FNestedComments = SameText(ext, ".pp") || SameText(ext, ".lpr");
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
  const std::size_t behind = std::min<std::size_t>(FormLookbehind, FPos - FFloor);
  const unsigned char *const from = FPos - behind;
  const std::size_t kept = static_cast<std::size_t>(FLim - from);
  if (kept > FCapacity / 2) {
    // A token longer than half the buffer: double it, so that reading such a
    // token again from its start costs no more than reading it once.
    std::unique_ptr<unsigned char[]> bigger = NewBuffer(FCapacity * 2);
    std::memcpy(bigger.get(), from, kept);
    FBuf = std::move(bigger);
    FCapacity *= 2;
  } else if (from != FBuf.get()) {
    std::memmove(FBuf.get(), from, kept);
  }
  // Once the input's start has left the buffer, the floor is the buffer's
  // start: the look-behind before the current byte lies above it.
  FFloor = FBuf.get();
  FPos = FBuf.get() + behind;
  FLim = FBuf.get() + kept;
  ssize_t n;
  do {
    n = ::read(FFd, FBuf.get() + kept, FCapacity - kept);
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    FBuf[kept] = 0;
    throw EInOutError(FileErrorMessage("read", FFileName, errno));
  }
  FLim += n;
  FBuf[kept + static_cast<std::size_t>(n)] = 0;
  if (n == 0) FAtEnd = true;
  return n != 0;
}

bool TScanner::TakeRest(std::string &text) {
  if (FDone == scToken || FDone == scEnd) return false;
  if (FPos >= FLim && !Refill()) return false;
  text.append(reinterpret_cast<const char *>(FPos), static_cast<std::size_t>(FLim - FPos));
  FPos = FLim;
  return true;
}

#if defined(__SANITIZE_ADDRESS__)
// Two halves taken in turn: the previous token's bytes are poisoned, so a
// view of them kept past this call is reported.
void TScanner::DeliverChecked(TToken &token, const unsigned char *p, std::size_t n) {
  if (n > FCheckedHalf) {
    ReleaseCheckedText();
    FCheckedHalf = n * 2 + 64;
    FCheckedText.reset(new char[2 * FCheckedHalf]);
    ASAN_POISON_MEMORY_REGION(FCheckedText.get(), 2 * FCheckedHalf);
  }
  ASAN_POISON_MEMORY_REGION(FCheckedLast.data(), FCheckedLast.size());
  FCheckedTurn ^= 1;
  char *half = FCheckedText.get() + FCheckedTurn * FCheckedHalf;
  ASAN_UNPOISON_MEMORY_REGION(half, n);
  if (n != 0) std::memcpy(half, p, n);
  FCheckedLast = std::string_view(half, n);
  token.Text = FCheckedLast;
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

void TScanner::NoteDirective(const unsigned char *p, const unsigned char *end) {
  const int nesting = NestingOfDirective(
      std::string_view(reinterpret_cast<const char *>(p), static_cast<std::size_t>(end - p)));
  if (nesting >= 0) FNestedComments = nesting != 0;
}

int scanchars::NestingOfDirective(std::string_view text) {
  // "{$" (or "(*$") NAME blanks WORD: letters only; a sign may end WORD.
  auto word = [&](std::size_t &i) {
    const std::size_t from = i;
    while (i < text.size() && Is(static_cast<unsigned char>(text[i]), ccLetter)) ++i;
    return text.substr(from, i - from);
  };
  std::size_t i = text.substr(0, 2) == "(*" ? 3 : 2;
  const std::string_view name = word(i);
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  const std::string_view arg = word(i);
  if (SameText(name, "mode")) return SameText(arg, "objfpc") || SameText(arg, "fpc") ? 1 : 0;
  if (SameText(name, "modeswitch") && SameText(arg, "nestedcomments"))
    return i < text.size() && text[i] == '-' ? 0 : 1;
  return -1;
}

int TScanner::Finish(TToken &token, int code) {
  FDone = code;
  FFastLim = FBuf.get();
  token.Kind = TTokenKind::tkEnd;
  token.Text = {};
  ReleaseCheckedText();
  return code;
}

// The general way forms the token with the same grammar as the fast way;
// where its end is not yet certain it reads more and forms it again. A token
// left open stops the scan with its first byte still unread, for TakeRest.
int TScanner::NextTokenGeneral(TToken &token) {
  if (FDone != 0) return Finish(token, FDone);
  for (;;) {
    if (FPos >= FLim && !Refill()) return Finish(token, scEnd);
    const TFormed f = FormToken<false>(FPos, FLim, FFloor, FNestedComments);
    const bool open = f.End == OpenEnd(FLim) || (f.End == ShortEnd(FLim) && FAtEnd);
    if (open) return Finish(token, f.Kind == TTokenKind::tkString ? scOpenString : scOpenComment);
    if (f.End <= FLim && (FAtEnd || f.End + FormLookahead <= FLim)) {
      Deliver(token, f.Kind, FPos, static_cast<std::size_t>(f.End - FPos));
      if (f.Kind == TTokenKind::tkDirective) NoteDirective(FPos, f.End);
      FPos = f.End;
      SetFastLimit();
      return scToken;
    }
    Refill();
  }
}

} // namespace codeweft
