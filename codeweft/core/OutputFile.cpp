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
  FPath = Path;
  FBuffer.clear();
  FBuffer.reserve(BufferSize);
}

void TOutputFile::Flush() {
  const char *Data = FBuffer.data();
  std::size_t Left = FBuffer.size();
  while (Left > 0) {
    const ssize_t Done = ::write(FHandle, Data, Left);
    if (Done < 0) {
      if (errno == EINTR) continue;
      FailWrite(errno);
    }
    Data += Done;
    Left -= static_cast<std::size_t>(Done);
  }
  FBuffer.clear();
}

void TOutputFile::FailWrite(int Error) {
  const std::string Message = "Cannot write file \"" + FPath + "\": " + SystemReason(Error);
  FBuffer.clear();
  Abandon();
  throw EFWriteError(Message);
}

void TOutputFile::Close() {
  if (FHandle < 0) return;
  Flush();
  const int Handle = FHandle;
  FHandle = -1;
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
  FBuffer.clear();
}

} // namespace codeweft
