// A file written in the build location: written under a temporary name in its
// folder, filled through a buffer, and renamed into place when closed. Failures are exceptions
// whose message names the file and the system's reason, so a run can end with one clear line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

#include "codeweft/core/Errors.h"

namespace codeweft {

// One output file, written as bytes exactly as given (no newline translation).
// The destructor closes a file that is still open without reporting anything,
// so a run that ends in an exception leaves no descriptor behind.
class TOutputFile {
public:
  TOutputFile() = default;
  TOutputFile(const TOutputFile &) = delete;
  TOutputFile &operator=(const TOutputFile &) = delete;
  ~TOutputFile();

  // Starts Path anew: the bytes go to a temporary file in Path's folder, which
  // Close renames to Path (replacing a file or symbolic link of that name
  // without following it). A file still open is abandoned first. Throws
  // EFCreateError: Cannot create file "Path": reason
  void Create(const std::string &path);

  void Write(std::string_view bytes) {
    if (FBuffer.size() + bytes.size() > BufferSize)
      Flush();
    FBuffer.append(bytes);
  }
  // Direct access for formatters that append in place: append to Buffer(),
  // then call Commit(), which writes the buffer out once it is full.
  std::string &Buffer() { return FBuffer; }
  void Commit() {
    if (FBuffer.size() >= BufferSize)
      Flush();
  }

  // Writes what is buffered, closes the file and renames it into place;
  // throws EFWriteError (or EFCreateError when the rename fails).
  void Close();
  // Closes and removes the unfinished file, reporting nothing: the file of
  // that name stays as it was before.
  void Abandon() noexcept;

  bool IsOpen() const { return FOpen; }
  const std::string &Path() const { return FPath; }

private:
  static constexpr std::size_t BufferSize = 1 << 18;
  void Flush();
  void Send(std::string_view bytes);
  [[noreturn]] void FailWrite(int error);

  int FHandle = -1;
  bool FOpen = false;
  std::string FPath;
  std::string FTempPath; // the unfinished file, while open
  int FTempSlot = -1;
  std::string FBuffer;
};

// Message text of the system error number error ("Permission denied").
std::string SystemReason(int error);

// The process's file-creation mask.
mode_t CurrentUmask();

// Removes the temporary files of the outputs being written (async-signal-safe).
void RemoveTemporaryOutputs() noexcept;
// Installs handlers for SIGINT, SIGTERM and SIGHUP that remove the temporary
// files and then end the process as the signal would have: an interrupted
// run leaves every output either as it was or complete.
void RemoveTemporaryOutputsOnSignals();

} // namespace codeweft
