#include "codeweft/core/RunState.h"

namespace codeweft {

namespace {

// Start of the file-name part: just past the last backslash or slash.
std::size_t NameStart(std::string_view Path) {
  const std::size_t Sep = Path.find_last_of("\\/");
  return Sep == std::string_view::npos ? 0 : Sep + 1;
}

// Path without the extension of its file-name part (the text from its last dot).
std::string_view WithoutExt(std::string_view Path) {
  const std::size_t Start = NameStart(Path);
  const std::size_t Dot = Path.rfind('.');
  if (Dot == std::string_view::npos || Dot < Start) return Path;
  return Path.substr(0, Dot);
}

} // namespace

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

std::string UnitNameFromFile(std::string_view FileName) {
  return std::string(WithoutExt(FileName.substr(NameStart(FileName))));
}

} // namespace codeweft
