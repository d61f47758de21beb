// Scratch folders and whole-file reads for the core's output tests.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace codeweft::test {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class TTempDir {
public:
  TTempDir() {
    std::string Pattern = (std::filesystem::temp_directory_path() / "codeweft-XXXXXX").string();
    if (!::mkdtemp(Pattern.data())) throw std::runtime_error("mkdtemp failed");
    FPath = Pattern;
  }
  ~TTempDir() {
    std::error_code Ignored;
    std::filesystem::remove_all(FPath, Ignored);
  }
  // The folder with a trailing separator, as the build location is given.
  std::string Dir() const { return FPath.string() + "/"; }
  // Writes Bytes to the file Name in this folder and returns its path.
  std::string Write(const std::string &Name, const std::string &Bytes) const {
    const std::string P = (FPath / Name).string();
    std::ofstream(P, std::ios::binary) << Bytes;
    return P;
  }
  const std::filesystem::path &Path() const { return FPath; }

private:
  std::filesystem::path FPath;
};

inline std::string ReadBytes(const std::string &Path) {
  std::ifstream In(Path, std::ios::binary);
  if (!In) throw std::runtime_error("cannot read " + Path);
  return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

// A file of the golden data under tests/data/codeweft/.
inline std::string Golden(const std::string &Name) {
  return ReadBytes(std::string(CW_SOURCE_DIR) + "/tests/data/codeweft/" + Name);
}

} // namespace codeweft::test
