#include "codeweft/core/OutputFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace codeweft {

std::string SystemReason(int Error) { return std::strerror(Error); }

TOutputFile::~TOutputFile() { Abandon(); }

void TOutputFile::Create(const std::string &Path) {
  Abandon();
  const int Handle = ::open(Path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (Handle < 0)
    throw EFCreateError("Cannot create file \"" + Path + "\": " + SystemReason(errno));
  FHandle = Handle;
  FOpen = true;
  FPath = Path;
  FBuffer.clear();
  FBuffer.reserve(BufferSize);
}

void TOutputFile::Keep(const std::string &Path, std::size_t Limit) {
  Abandon();
  FKeeping = true;
  FOpen = true;
  FKeptLimit = Limit;
  FPath = Path;
  FBuffer.reserve(KeptPieceSize);
}

std::vector<std::string> TOutputFile::TakeKept() {
  std::vector<std::string> Kept = std::move(FKept);
  FKept.clear();
  FKeptSize = 0;
  return Kept;
}

void TOutputFile::WriteThrough(std::string_view Bytes) {
  if (FKeeping) {
    Write(Bytes);
    return;
  }
  Flush();
  Send(Bytes);
}

void TOutputFile::Flush() {
  if (FKeeping) {
    if (FBuffer.empty()) return;
    FKeptSize += FBuffer.size();
    if (FKeptSize > FKeptLimit) {
      Abandon();
      throw EKeptTooLarge("Kept output of \"" + FPath + "\" is too large");
    }
    FKept.push_back(std::move(FBuffer));
    // The buffer is flushed once it is full, so the token that fills it
    // usually runs past it: room for that saves growing (copying) it.
    FBuffer = std::string();
    FBuffer.reserve(KeptPieceSize);
    return;
  }
  Send(FBuffer);
  FBuffer.clear();
}

void TOutputFile::Send(std::string_view Bytes) {
  const char *Data = Bytes.data();
  std::size_t Left = Bytes.size();
  while (Left > 0) {
    const ssize_t Done = ::write(FHandle, Data, Left);
    if (Done < 0) {
      if (errno == EINTR) continue;
      FailWrite(errno);
    }
    Data += Done;
    Left -= static_cast<std::size_t>(Done);
  }
}

void TOutputFile::FailWrite(int Error) {
  const std::string Message = "Cannot write file \"" + FPath + "\": " + SystemReason(Error);
  FBuffer.clear();
  Abandon();
  throw EFWriteError(Message);
}

void TOutputFile::Close() {
  if (FKeeping) {
    Flush();
    FKeeping = false;
    FOpen = false;
    return;
  }
  if (FHandle < 0) return;
  Flush();
  const int Handle = FHandle;
  FHandle = -1;
  FOpen = false;
  if (::close(Handle) != 0 && errno != EINTR)
    throw EFWriteError("Cannot write file \"" + FPath + "\": " + SystemReason(errno));
}

void TOutputFile::Abandon() noexcept {
  if (FHandle >= 0) {
    // Keep what was written before the failure; a second failure is ignored.
    std::size_t Done = 0;
    while (Done < FBuffer.size()) {
      const ssize_t N = ::write(FHandle, FBuffer.data() + Done, FBuffer.size() - Done);
      if (N < 0 && errno == EINTR) continue;
      if (N <= 0) break;
      Done += static_cast<std::size_t>(N);
    }
    ::close(FHandle);
  }
  FHandle = -1;
  FOpen = false;
  FBuffer.clear();
  FKeeping = false;
  FKept.clear();
  FKeptSize = 0;
}

} // namespace codeweft
