#include "codeweft/core/lex/Includes.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "codeweft/core/FileNames.h"
#include "codeweft/core/Text.h"

namespace codeweft {

std::string IncludeName(std::string_view Name, std::string_view Argument) {
  if (!SameText(Name, "I") && !SameText(Name, "INCLUDE")) return {};
  while (!Argument.empty() && (Argument.front() == ' ' || Argument.front() == '\t'))
    Argument.remove_prefix(1);
  while (!Argument.empty() && (Argument.back() == ' ' || Argument.back() == '\t' ||
                               Argument.back() == '\r' || Argument.back() == '\n'))
    Argument.remove_suffix(1);
  if (Argument.size() >= 2 && Argument.front() == '\'' && Argument.back() == '\'')
    Argument = Argument.substr(1, Argument.size() - 2);
  if (Argument.empty() || Argument.front() == '%') return {};
  if (Argument == "+" || Argument == "-") return {};
  return std::string(Argument);
}

std::string FindIncludeFile(std::string_view Including, std::string_view Name) {
  namespace fs = std::filesystem;
  std::string Given(Name);
  for (char &C : Given)
    if (C == '\\') C = '/';
  std::string Base;
  if (!Given.empty() && Given.front() != '/') {
    const std::size_t Sep = Including.find_last_of('/');
    if (Sep != std::string_view::npos) Base = std::string(Including.substr(0, Sep + 1));
  }
  std::error_code E;
  for (const char *Ext : {"", ".inc", ".pas", ".pp"}) {
    const std::string Path = LocateSourceFile(Base + Given + Ext);
    if (fs::is_regular_file(Path, E)) return Path;
  }
  return {};
}

int LineAtOffset(const std::string &File, std::uint64_t Offset) {
  std::ifstream In(File, std::ios::binary);
  if (!In) return 0;
  char Bom[3] = {};
  In.read(Bom, 3);
  if (!(In.gcount() == 3 && Bom[0] == '\xEF' && Bom[1] == '\xBB' && Bom[2] == '\xBF')) {
    In.clear();
    In.seekg(0);
  }
  int Line = 1;
  char Prev = 0;
  std::string Buffer(std::size_t{1} << 16, '\0');
  while (Offset > 0 && In) {
    In.read(Buffer.data(),
            static_cast<std::streamsize>(std::min<std::uint64_t>(Offset, Buffer.size())));
    const std::size_t Got = static_cast<std::size_t>(In.gcount());
    if (Got == 0) break;
    for (std::size_t I = 0; I < Got; ++I) {
      const char C = Buffer[I];
      if (C == '\n' ? Prev != '\r' : C == '\r') ++Line;
      Prev = C;
    }
    Offset -= Got;
  }
  return Line;
}

}  // namespace codeweft
