#include "codeweft/core/FileNames.h"

#include "codeweft/core/Text.h"

#include <filesystem>

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

namespace codeweft {

std::string ResolveSourcePath(std::string_view Name) {
  namespace fs = std::filesystem;
  std::string Path(Name);
  for (char &C : Path)
    if (C == '\\') C = '/';
  std::error_code E;
  if (Path.empty() || fs::exists(Path, E)) return Path;

  // Walk the components from the root (or the current folder), keeping the
  // ones that exist and looking up the others without regard to case.
  std::string Found = Path[0] == '/' ? "/" : "";
  std::size_t Start = Path[0] == '/' ? 1 : 0;
  while (Start <= Path.size()) {
    std::size_t End = Path.find('/', Start);
    if (End == std::string::npos) End = Path.size();
    const std::string Part = Path.substr(Start, End - Start);
    Start = End + 1;
    if (Part.empty()) continue;
    const std::string Folder = Found.empty() ? "." : Found;
    std::string Next = Part;
    if (Part != "." && Part != ".." && !fs::exists(Folder + "/" + Part, E)) {
      std::string Match;
      for (fs::directory_iterator It(Folder, E), EndIt; !E && It != EndIt; It.increment(E)) {
        const std::string Entry = It->path().filename().string();
        if (SameText(Entry, Part) && (Match.empty() || Entry < Match)) Match = Entry;
      }
      if (Match.empty()) return Path;
      Next = Match;
    }
    if (!Found.empty() && Found.back() != '/') Found += '/';
    Found += Next;
  }
  return Found;
}

} // namespace codeweft
