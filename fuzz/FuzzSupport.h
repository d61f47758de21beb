// Shared by the fuzz targets: a scratch folder per process, files written
// into it, and a check that stops the process on a broken promise (so that
// libFuzzer, or the replay driver, reports the input).
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <unistd.h>

namespace fuzzsupport {

// A folder under the system's temporary folder, made once per process and
// removed when it exits.
inline const std::filesystem::path &ScratchDir() {
  static const std::filesystem::path Dir = [] {
    std::string Pattern = (std::filesystem::temp_directory_path() / "cw-fuzz-XXXXXX").string();
    if (!::mkdtemp(Pattern.data()))
      std::abort();
    std::atexit([] {
      std::error_code Ignored;
      std::filesystem::remove_all(ScratchDir(), Ignored);
    });
    return std::filesystem::path(Pattern);
  }();
  return Dir;
}

inline std::string WriteFile(const std::string &Name, std::string_view Bytes) {
  const std::string Path = (ScratchDir() / Name).string();
  std::ofstream(Path, std::ios::binary | std::ios::trunc)
      .write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
  return Path;
}

inline std::string ReadFile(const std::string &Path) {
  std::ifstream In(Path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

// Ends the process with Message when Condition is false.
inline void Require(bool Condition, const char *Message) {
  if (Condition)
    return;
  std::fprintf(stderr, "fuzz check failed: %s\n", Message);
  std::abort();
}

} // namespace fuzzsupport
