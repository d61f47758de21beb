#include "codeweft/core/FileNames.h"


namespace codeweft {

namespace {

// Start of the file-name part: just past the last backslash or slash.
std::size_t NameStart(std::string_view Path) {
  const std::size_t Sep = Path.find_last_of("\\/");
  return Sep == std::string_view::npos ? 0 : Sep + 1;
}

} // namespace

std::string_view WithoutExt(std::string_view Path) {
  const std::size_t Start = NameStart(Path);
  const std::size_t Dot = Path.rfind('.');
  if (Dot == std::string_view::npos || Dot < Start) return Path;
  return Path.substr(0, Dot);
}

std::string ChangeExt(std::string_view FileName, std::string_view Ext) {
  if (FileName.empty()) return {};
  if (FileName.front() == '"')
    FileName = FileName.size() >= 2 ? FileName.substr(1, FileName.size() - 2) : std::string_view{};
  if (FileName.empty()) return {};
  std::string Result(WithoutExt(FileName));
  if (!Ext.empty()) {
    Result += '.';
    Result += Ext;
  }
  return Result;
}

std::string ExtractFileName(std::string_view Path) {
  return std::string(Path.substr(NameStart(Path)));
}

std::string UnitNameFromFile(std::string_view FileName) {
  return std::string(WithoutExt(ExtractFileName(FileName)));
}

} // namespace codeweft
