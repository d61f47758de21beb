// File-name helpers shared by the phases that name their output files.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

namespace codeweft {

// Replaces the extension of the file-name part of fileName (the text after its
// last dot) with ext, or appends "." + ext when it has none; with an empty ext
// the extension is removed. A name that begins with a double quote loses its
// first and last characters first. An empty name stays empty.
//   Demo.dpr, "html" -> Demo.html    Demo, "dpr" -> Demo.dpr
//   lib\Tools.pp, "" -> lib\Tools    C:\tools\hcrtf, "exe" -> C:\tools\hcrtf.exe
std::string ChangeExt(std::string_view fileName, std::string_view ext);

// The project file a name given by the user stands for: a ".dpr" or ".lpr"
// file (any case) as given, any other name with its extension made ".dpr".
//   Demo.lpr -> Demo.lpr    Demo -> Demo.dpr    Demo.pas -> Demo.dpr
std::string ProjectFileOf(std::string_view fileName);

// The file name part of a path: what follows the last "/" or "\" (a backslash
// in a name read from a project is a directory separator on this platform).
std::string ExtractFileName(std::string_view path);

// Path without the extension of its file-name part (the text from its last dot).
std::string_view WithoutExt(std::string_view path);

// The file name (without extension) of a unit's pages: the unit name, or,
// where "name.html" would exceed the file-name limit (255 bytes), its first
// bytes followed by "~" and a hash of the whole name, so that two long names
// still give two pages.
std::string PageName(std::string_view unitName);

// The page names (file names without extension) of one run's HTML pages and
// RTF topics. Each name is claimed once: a name already taken, compared
// without regard to case (so that the pages stay apart on any file system),
// gets the suffix "~2", "~3", ... The pages the run names itself (the frame
// set, the contents, the symbol index) are reserved first.
class TPageNames {
 public:
  void Clear() { FTaken.clear(); }
  void Reserve(std::string_view name);
  // PageName(wanted), or the first free suffixed form of it.
  std::string Claim(std::string_view wanted);
  bool Taken(std::string_view name) const;

 private:
  std::unordered_set<std::string> FTaken;  // lower case
};

// The page names every run writes under: "index", "content" and the symbol
// index, "symbol-index".
inline constexpr const char *SymbolIndexPage = "symbol-index";
void ReserveRunPages(TPageNames &pages);

// A page name as the file part of a link: "%", "#", "?", blanks and control
// bytes percent-encoded, so that a "#" in a name is never read as the start
// of a fragment. UrlUnescaped reverses it.
std::string UrlEscaped(std::string_view name);
std::string UrlUnescaped(std::string_view url);
// The link to the page page (name without extension): UrlEscaped(page.html).
inline std::string PageLink(std::string_view page) {
  return UrlEscaped(std::string(page) + ".html");
}

// The unit name that a file name gives: its file-name part without directory
// (backslash and slash both separate) and without extension. lib\Tools.pas -> Tools.
std::string UnitNameFromFile(std::string_view fileName);

// The file to open for a unit's file name as written in a project file: a
// backslash separates directories, and when the path does not exist exactly,
// each component is matched without regard to case. Returns the name with
// separators converted when nothing matches (so the open fails naming it).
std::string LocateSourceFile(std::string_view fileName);

} // namespace codeweft
