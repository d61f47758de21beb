#include "codeweft/core/lex/Includes.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "codeweft/core/FileNames.h"
#include "codeweft/core/Text.h"

namespace codeweft {

std::string IncludeName(std::string_view name, std::string_view argument) {
  if (!SameText(name, "I") && !SameText(name, "INCLUDE")) return {};
  while (!argument.empty() && (argument.front() == ' ' || argument.front() == '\t'))
    argument.remove_prefix(1);
  while (!argument.empty() && (argument.back() == ' ' || argument.back() == '\t' ||
                               argument.back() == '\r' || argument.back() == '\n'))
    argument.remove_suffix(1);
  if (argument.size() >= 2 && argument.front() == '\'' && argument.back() == '\'')
    argument = argument.substr(1, argument.size() - 2);
  if (argument.empty() || argument.front() == '%') return {};
  if (argument == "+" || argument == "-") return {};
  return std::string(argument);
}

std::string FindIncludeFile(std::string_view including, std::string_view name) {
  namespace fs = std::filesystem;
  std::string given(name);
  for (char &c : given)
    if (c == '\\') c = '/';
  std::string base;
  if (!given.empty() && given.front() != '/') {
    const std::size_t sep = including.find_last_of('/');
    if (sep != std::string_view::npos) base = std::string(including.substr(0, sep + 1));
  }
  std::error_code e;
  for (const char *ext : {"", ".inc", ".pas", ".pp"}) {
    const std::string path = LocateSourceFile(base + given + ext);
    if (fs::is_regular_file(path, e)) return path;
  }
  return {};
}

int LineAtOffset(const std::string &file, std::uint64_t offset) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return 0;
  char bom[3] = {};
  in.read(bom, 3);
  if (!(in.gcount() == 3 && bom[0] == '\xEF' && bom[1] == '\xBB' && bom[2] == '\xBF')) {
    in.clear();
    in.seekg(0);
  }
  int line = 1;
  char prev = 0;
  std::string buffer(std::size_t{1} << 16, '\0');
  while (offset > 0 && in) {
    in.read(buffer.data(),
            static_cast<std::streamsize>(std::min<std::uint64_t>(offset, buffer.size())));
    const std::size_t got = static_cast<std::size_t>(in.gcount());
    if (got == 0) break;
    for (std::size_t i = 0; i < got; ++i) {
      const char c = buffer[i];
      if (c == '\n' ? prev != '\r' : c == '\r') ++line;
      prev = c;
    }
    offset -= got;
  }
  return line;
}

}  // namespace codeweft
