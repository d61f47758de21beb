#include "codeweft/core/FileNames.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "codeweft/core/Text.h"

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

std::string ProjectFileOf(std::string_view FileName) {
  const std::string_view Ext =
      FileName.substr(std::min(FileName.size(), WithoutExt(FileName).size() + 1));
  // A quoted name loses its quotes in ChangeExt; the extension then lies before the last one.
  const std::string_view Bare =
      !Ext.empty() && Ext.back() == '"' ? Ext.substr(0, Ext.size() - 1) : Ext;
  if (SameText(Bare, "dpr") || SameText(Bare, "lpr")) return ChangeExt(FileName, Bare);
  return ChangeExt(FileName, "dpr");
}

std::string ExtractFileName(std::string_view Path) {
  return std::string(Path.substr(NameStart(Path)));
}

std::string PageName(std::string_view UnitName) {
  constexpr std::size_t MaxName = 255 - 5; // room for ".html"
  if (UnitName.size() <= MaxName) return std::string(UnitName);
  std::uint64_t Hash = 14695981039346656037ull; // FNV-1a
  for (const unsigned char C : UnitName) Hash = (Hash ^ C) * 1099511628211ull;
  char Suffix[18];
  std::snprintf(Suffix, sizeof Suffix, "~%016llx", static_cast<unsigned long long>(Hash));
  return std::string(UnitName.substr(0, MaxName - 17)) + Suffix;
}

std::string UrlEscaped(std::string_view Name) {
  std::string Url;
  for (const char C : Name) {
    const unsigned char B = static_cast<unsigned char>(C);
    if (C == '%' || C == '#' || C == '?' || B <= 0x20 || B == 0x7F) {
      char Code[4];
      std::snprintf(Code, sizeof Code, "%%%02X", B);
      Url += Code;
    } else {
      Url += C;
    }
  }
  return Url;
}

std::string UrlUnescaped(std::string_view Url) {
  const auto Digit = [](char C) {
    return C >= '0' && C <= '9'   ? C - '0'
           : C >= 'A' && C <= 'F' ? C - 'A' + 10
           : C >= 'a' && C <= 'f' ? C - 'a' + 10
                                  : -1;
  };
  std::string Name;
  for (std::size_t I = 0; I < Url.size(); ++I) {
    if (Url[I] == '%' && I + 2 < Url.size() + 0 && Digit(Url[I + 1]) >= 0 &&
        Digit(Url[I + 2]) >= 0) {
      Name += static_cast<char>(Digit(Url[I + 1]) * 16 + Digit(Url[I + 2]));
      I += 2;
    } else {
      Name += Url[I];
    }
  }
  return Name;
}

void TPageNames::Reserve(std::string_view Name) { FTaken.insert(LowerCase(Name)); }

bool TPageNames::Taken(std::string_view Name) const { return FTaken.count(LowerCase(Name)) != 0; }

std::string TPageNames::Claim(std::string_view Wanted) {
  std::string Page = PageName(Wanted);
  for (int N = 2; Taken(Page); ++N) Page = PageName(std::string(Wanted) + "~" + std::to_string(N));
  Reserve(Page);
  return Page;
}

void ReserveRunPages(TPageNames &Pages) {
  for (const char *Name : {"index", "content", SymbolIndexPage}) Pages.Reserve(Name);
}

std::string UnitNameFromFile(std::string_view FileName) {
  return std::string(WithoutExt(ExtractFileName(FileName)));
}

std::string LocateSourceFile(std::string_view FileName) {
  namespace fs = std::filesystem;
  std::string Path(FileName);
  for (char &C : Path)
    if (C == '\\') C = '/';
  std::error_code E;
  if (Path.empty() || fs::exists(Path, E)) return Path;
  // Walk the components, matching each one without regard to case.
  const fs::path Given(Path);
  fs::path Found = Given.root_path();
  for (const fs::path &Part : Given.relative_path()) {
    const fs::path Exact = Found / Part;
    if (fs::exists(Exact.empty() ? fs::path(".") : Exact, E)) {
      Found = Exact;
      continue;
    }
    const fs::path Dir = Found.empty() ? fs::path(".") : Found;
    bool Matched = false;
    for (auto It = fs::directory_iterator(Dir, E); !E && It != fs::directory_iterator();
         It.increment(E)) {
      const std::string Name = It->path().filename().string();
      if (SameText(Name, Part.string())) {
        Found /= Name;
        Matched = true;
        break;
      }
    }
    if (!Matched) return Path;
  }
  return Found.string();
}

} // namespace codeweft
