// The INI reader over arbitrary bytes: what it writes back reads as the same
// sections and values, so writing it again gives the same file.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include "framework/classes/IniFiles.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *Data, std::size_t Size) {
  const std::string Path =
      fuzzsupport::WriteFile("in.ini", std::string(reinterpret_cast<const char *>(Data), Size));
  try {
    framework::TIniFile(Path).UpdateFile();
  } catch (const std::exception &) {
    return 0;
  }
  const std::string Once = fuzzsupport::ReadFile(Path);
  framework::TIniFile(Path).UpdateFile();
  fuzzsupport::Require(fuzzsupport::ReadFile(Path) == Once, "an INI file written back changes");
  return 0;
}
