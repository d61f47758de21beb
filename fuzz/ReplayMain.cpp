// Feeds every file of the folders (or the files) given to the fuzz target
// linked with it, one at a time: the inputs that once failed stay tested in
// the normal build, without libFuzzer.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *Data, std::size_t Size);

int main(int argc, char **argv) {
  namespace fs = std::filesystem;
  std::vector<fs::path> Inputs;
  for (int I = 1; I < argc; ++I) {
    if (fs::is_directory(argv[I])) {
      for (const auto &E : fs::directory_iterator(argv[I]))
        if (E.is_regular_file())
          Inputs.push_back(E.path());
    } else {
      Inputs.emplace_back(argv[I]);
    }
  }
  std::sort(Inputs.begin(), Inputs.end());
  for (const fs::path &P : Inputs) {
    const std::string Bytes = fuzzsupport::ReadFile(P.string());
    std::fprintf(stderr, "%s\n", P.c_str());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(Bytes.data()), Bytes.size());
  }
  std::printf("%zu inputs replayed\n", Inputs.size());
  return Inputs.empty() ? 1 : 0;
}
