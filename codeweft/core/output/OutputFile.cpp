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

int RegisterTemp(const std::string &path) {
  if (path.size() >= PATH_MAX)
    return -1;
  for (std::size_t i = 0; i < TempSlots.size(); ++i) {
    bool free = false;
    if (!TempSlots[i].Claimed.compare_exchange_strong(free, true))
      continue;
    std::memcpy(TempSlots[i].Path, path.c_str(), path.size() + 1);
    TempSlots[i].InUse.store(true);
    return static_cast<int>(i);
  }
  return -1;
}

void UnregisterTemp(int slot) {
  if (slot < 0)
    return;
  TempSlots[static_cast<std::size_t>(slot)].InUse.store(false);
  TempSlots[static_cast<std::size_t>(slot)].Claimed.store(false);
}

// Holds SIGINT, SIGTERM and SIGHUP back while it lives; one that arrived is
// delivered when it ends.
class TTerminationSignalsHeld {
public:
  TTerminationSignalsHeld() {
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
      sigaddset(&signals, signal);
    ::pthread_sigmask(SIG_BLOCK, &signals, &FPrevious);
  }
  ~TTerminationSignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &FPrevious, nullptr); }
  TTerminationSignalsHeld(const TTerminationSignalsHeld &) = delete;
  TTerminationSignalsHeld &operator=(const TTerminationSignalsHeld &) = delete;

private:
  sigset_t FPrevious;
};

extern "C" void RemoveTempsAndDie(int signal) {
  RemoveTemporaryOutputs();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

// Folder part of Path, with its separator ("" for a bare name).
std::string FolderOf(const std::string &path) {
  const std::size_t sep = path.rfind('/');
  return sep == std::string::npos ? std::string() : path.substr(0, sep + 1);
}

} // namespace

void RemoveTemporaryOutputs() noexcept {
  for (TTempSlot &slot : TempSlots)
    if (slot.InUse.load())
      ::unlink(slot.Path);
}

void RemoveTemporaryOutputsOnSignals() {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction action {};
    action.sa_handler = RemoveTempsAndDie;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
  }
}

std::string SystemReason(int error) {
  return std::strerror(error);
}

mode_t CurrentUmask() {
  // Read once: umask can only be read by setting it.
  static const mode_t mask = [] {
    const mode_t m = ::umask(022);
    ::umask(m);
    return m;
  }();
  return mask;
}

TOutputFile::~TOutputFile() {
  Abandon();
}

void TOutputFile::Create(const std::string &path) {
  Abandon();
  // Written under a fresh name beside the file and renamed over it once
  // complete: the file is always either the previous one or the new one,
  // and a symbolic link planted at Path is replaced, never followed.
  std::string temp = FolderOf(path) + ".cw-tmp-XXXXXX";
  // A signal between creating the file and registering it would leave the
  // file behind: such a signal waits until the handler can find the file.
  const TTerminationSignalsHeld held;
  const int handle = ::mkostemp(temp.data(), O_CLOEXEC);
  if (handle < 0)
    throw EFCreateError("Cannot create file \"" + path + "\": " + SystemReason(errno));
  ::fchmod(handle, 0666 & ~CurrentUmask());
  FHandle = handle;
  FOpen = true;
  FPath = path;
  FTempPath = std::move(temp);
  FTempSlot = RegisterTemp(FTempPath);
  FBuffer.clear();
  FBuffer.reserve(BufferSize);
}

void TOutputFile::Flush() {
  Send(FBuffer);
  FBuffer.clear();
}

void TOutputFile::Send(std::string_view bytes) {
  const char *data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t done = ::write(FHandle, data, left);
    if (done < 0) {
      if (errno == EINTR)
        continue;
      FailWrite(errno);
    }
    data += done;
    left -= static_cast<std::size_t>(done);
  }
}

void TOutputFile::FailWrite(int error) {
  const std::string message = "Cannot write file \"" + FPath + "\": " + SystemReason(error);
  FBuffer.clear();
  Abandon();
  throw EFWriteError(message);
}

void TOutputFile::Close() {
  if (FHandle < 0)
    return;
  Flush();
  if (::close(FHandle) != 0 && errno != EINTR) {
    const int error = errno;
    FHandle = -1;
    FailWrite(error);
  }
  FHandle = -1;
  if (::rename(FTempPath.c_str(), FPath.c_str()) != 0) {
    const int error = errno;
    const std::string message = "Cannot create file \"" + FPath + "\": " + SystemReason(error);
    Abandon();
    throw EFCreateError(message);
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
