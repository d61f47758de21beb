#include "codeweft/core/FileNames.h"

namespace codeweft {

std::string ChangeExt(std::string_view FileName, std::string_view Ext) {
  if (FileName.empty()) return {};
  if (FileName.front() == '"')
    FileName = FileName.size() >= 2 ? FileName.substr(1, FileName.size() - 2) : std::string_view{};
  const std::size_t Cut = Ext.empty() ? 4 : 3;
  const std::size_t Keep = FileName.size() > Cut ? FileName.size() - Cut : 0;
  std::string Result(FileName.substr(0, Keep));
  Result += Ext;
  return Result;
}

std::string ExtractFileName(std::string_view Path) {
  const std::size_t Slash = Path.find_last_of("/\\");
  return std::string(Slash == std::string_view::npos ? Path : Path.substr(Slash + 1));
}

} // namespace codeweft
