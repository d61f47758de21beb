#include "codeweft/core/output/OutputFile.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

namespace codeweft {

namespace {

// The temporary files being written, for a signal handler to remove: a slot
// is claimed before its name is copied in and marked in use only after.
struct TTempSlot {
  std::atomic<bool> Claimed{false};
  std::atomic<bool> InUse{false};
  char Path[PATH_MAX] = {};
};
std::array<TTempSlot, 16> TempSlots;

int RegisterTemp(const std::string &Path) {
  if (Path.size() >= PATH_MAX)
    return -1;
  for (std::size_t I = 0; I < TempSlots.size(); ++I) {
    bool Free = false;
    if (!TempSlots[I].Claimed.compare_exchange_strong(Free, true))
      continue;
    std::memcpy(TempSlots[I].Path, Path.c_str(), Path.size() + 1);
    TempSlots[I].InUse.store(true);
    return static_cast<int>(I);
  }
  return -1;
}

void UnregisterTemp(int Slot) {
  if (Slot < 0)
    return;
  TempSlots[static_cast<std::size_t>(Slot)].InUse.store(false);
  TempSlots[static_cast<std::size_t>(Slot)].Claimed.store(false);
}

// Holds SIGINT, SIGTERM and SIGHUP back while it lives; one that arrived is
// delivered when it ends.
class TTerminationSignalsHeld {
public:
  TTerminationSignalsHeld() {
    sigset_t Signals;
    sigemptyset(&Signals);
    for (const int Signal : {SIGINT, SIGTERM, SIGHUP})
      sigaddset(&Signals, Signal);
    ::pthread_sigmask(SIG_BLOCK, &Signals, &FPrevious);
  }
  ~TTerminationSignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &FPrevious, nullptr); }
  TTerminationSignalsHeld(const TTerminationSignalsHeld &) = delete;
  TTerminationSignalsHeld &operator=(const TTerminationSignalsHeld &) = delete;

private:
  sigset_t FPrevious;
};

extern "C" void RemoveTempsAndDie(int Signal) {
  RemoveTemporaryOutputs();
  std::signal(Signal, SIG_DFL);
  std::raise(Signal);
}

// Folder part of Path, with its separator ("" for a bare name).
std::string FolderOf(const std::string &Path) {
  const std::size_t Sep = Path.rfind('/');
  return Sep == std::string::npos ? std::string() : Path.substr(0, Sep + 1);
}

} // namespace

void RemoveTemporaryOutputs() noexcept {
  for (TTempSlot &Slot : TempSlots)
    if (Slot.InUse.load())
      ::unlink(Slot.Path);
}

void RemoveTemporaryOutputsOnSignals() {
  for (const int Signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction Action {};
    Action.sa_handler = RemoveTempsAndDie;
    sigemptyset(&Action.sa_mask);
    ::sigaction(Signal, &Action, nullptr);
  }
}

std::string SystemReason(int Error) {
  return std::strerror(Error);
}

mode_t CurrentUmask() {
  // Read once: umask can only be read by setting it.
  static const mode_t Mask = [] {
    const mode_t M = ::umask(022);
    ::umask(M);
    return M;
  }();
  return Mask;
}

TOutputFile::~TOutputFile() {
  Abandon();
}

void TOutputFile::Create(const std::string &Path) {
  Abandon();
  // Written under a fresh name beside the file and renamed over it once
  // complete: the file is always either the previous one or the new one,
  // and a symbolic link planted at Path is replaced, never followed.
  std::string Temp = FolderOf(Path) + ".cw-tmp-XXXXXX";
  // A signal between creating the file and registering it would leave the
  // file behind: such a signal waits until the handler can find the file.
  const TTerminationSignalsHeld Held;
  const int Handle = ::mkostemp(Temp.data(), O_CLOEXEC);
  if (Handle < 0)
    throw EFCreateError("Cannot create file \"" + Path + "\": " + SystemReason(errno));
  ::fchmod(Handle, 0666 & ~CurrentUmask());
  FHandle = Handle;
  FOpen = true;
  FPath = Path;
  FTempPath = std::move(Temp);
  FTempSlot = RegisterTemp(FTempPath);
  FBuffer.clear();
  FBuffer.reserve(BufferSize);
}

void TOutputFile::Flush() {
  Send(FBuffer);
  FBuffer.clear();
}

void TOutputFile::Send(std::string_view Bytes) {
  const char *Data = Bytes.data();
  std::size_t Left = Bytes.size();
  while (Left > 0) {
    const ssize_t Done = ::write(FHandle, Data, Left);
    if (Done < 0) {
      if (errno == EINTR)
        continue;
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
  if (FHandle < 0)
    return;
  Flush();
  if (::close(FHandle) != 0 && errno != EINTR) {
    const int Error = errno;
    FHandle = -1;
    FailWrite(Error);
  }
  FHandle = -1;
  if (::rename(FTempPath.c_str(), FPath.c_str()) != 0) {
    const int Error = errno;
    const std::string Message = "Cannot create file \"" + FPath + "\": " + SystemReason(Error);
    Abandon();
    throw EFCreateError(Message);
  }
  UnregisterTemp(FTempSlot);
  FTempSlot = -1;
  FTempPath.clear();
  FOpen = false;
}

void TOutputFile::Abandon() noexcept {
  // The unfinished file goes; the previous file of that name stays as it was.
  if (FHandle >= 0)
    ::close(FHandle);
  if (!FTempPath.empty())
    ::unlink(FTempPath.c_str());
  UnregisterTemp(FTempSlot);
  FTempSlot = -1;
  FTempPath.clear();
  FHandle = -1;
  FOpen = false;
  FBuffer.clear();
}

} // namespace codeweft
