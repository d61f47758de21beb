#include "codeweft/core/FileNames.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "codeweft/core/Text.h"

namespace codeweft {

namespace {

// Start of the file-name part: just past the last backslash or slash.
std::size_t NameStart(std::string_view path) {
  const std::size_t sep = path.find_last_of("\\/");
  return sep == std::string_view::npos ? 0 : sep + 1;
}

} // namespace

std::string_view WithoutExt(std::string_view path) {
  const std::size_t start = NameStart(path);
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || dot < start) return path;
  return path.substr(0, dot);
}

std::string ChangeExt(std::string_view fileName, std::string_view ext) {
  if (fileName.empty()) return {};
  if (fileName.front() == '"')
    fileName = fileName.size() >= 2 ? fileName.substr(1, fileName.size() - 2) : std::string_view{};
  if (fileName.empty()) return {};
  std::string result(WithoutExt(fileName));
  if (!ext.empty()) {
    result += '.';
    result += ext;
  }
  return result;
}

std::string ProjectFileOf(std::string_view fileName) {
  const std::string_view ext =
      fileName.substr(std::min(fileName.size(), WithoutExt(fileName).size() + 1));
  // A quoted name loses its quotes in ChangeExt; the extension then lies before the last one.
  const std::string_view bare =
      !ext.empty() && ext.back() == '"' ? ext.substr(0, ext.size() - 1) : ext;
  if (SameText(bare, "dpr") || SameText(bare, "lpr")) return ChangeExt(fileName, bare);
  return ChangeExt(fileName, "dpr");
}

std::string ExtractFileName(std::string_view path) {
  return std::string(path.substr(NameStart(path)));
}

std::string PageName(std::string_view unitName) {
  constexpr std::size_t maxName = 255 - 5; // room for ".html"
  if (unitName.size() <= maxName) return std::string(unitName);
  std::uint64_t hash = 14695981039346656037ull; // FNV-1a
  for (const unsigned char c : unitName) hash = (hash ^ c) * 1099511628211ull;
  char suffix[18];
  std::snprintf(suffix, sizeof suffix, "~%016llx", static_cast<unsigned long long>(hash));
  return std::string(unitName.substr(0, maxName - 17)) + suffix;
}

std::string UrlEscaped(std::string_view name) {
  std::string url;
  for (const char c : name) {
    const unsigned char b = static_cast<unsigned char>(c);
    if (c == '%' || c == '#' || c == '?' || b <= 0x20 || b == 0x7F) {
      char code[4];
      std::snprintf(code, sizeof code, "%%%02X", b);
      url += code;
    } else {
      url += c;
    }
  }
  return url;
}

std::string UrlUnescaped(std::string_view url) {
  const auto digit = [](char c) {
    return c >= '0' && c <= '9'   ? c - '0'
           : c >= 'A' && c <= 'F' ? c - 'A' + 10
           : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                  : -1;
  };
  std::string name;
  for (std::size_t i = 0; i < url.size(); ++i) {
    if (url[i] == '%' && i + 2 < url.size() + 0 && digit(url[i + 1]) >= 0 &&
        digit(url[i + 2]) >= 0) {
      name += static_cast<char>(digit(url[i + 1]) * 16 + digit(url[i + 2]));
      i += 2;
    } else {
      name += url[i];
    }
  }
  return name;
}

void TPageNames::Reserve(std::string_view name) { FTaken.insert(LowerCase(name)); }

bool TPageNames::Taken(std::string_view name) const { return FTaken.count(LowerCase(name)) != 0; }

std::string TPageNames::Claim(std::string_view wanted) {
  std::string page = PageName(wanted);
  for (int n = 2; Taken(page); ++n) page = PageName(std::string(wanted) + "~" + std::to_string(n));
  Reserve(page);
  return page;
}

void ReserveRunPages(TPageNames &pages) {
  for (const char *name : {"index", "content", SymbolIndexPage}) pages.Reserve(name);
}

std::string UnitNameFromFile(std::string_view fileName) {
  return std::string(WithoutExt(ExtractFileName(fileName)));
}

std::string LocateSourceFile(std::string_view fileName) {
  namespace fs = std::filesystem;
  std::string path(fileName);
  for (char &c : path)
    if (c == '\\') c = '/';
  std::error_code e;
  if (path.empty() || fs::exists(path, e)) return path;
  // Walk the components, matching each one without regard to case.
  const fs::path given(path);
  fs::path found = given.root_path();
  for (const fs::path &part : given.relative_path()) {
    const fs::path exact = found / part;
    if (fs::exists(exact.empty() ? fs::path(".") : exact, e)) {
      found = exact;
      continue;
    }
    const fs::path dir = found.empty() ? fs::path(".") : found;
    bool matched = false;
    for (auto it = fs::directory_iterator(dir, e); !e && it != fs::directory_iterator();
         it.increment(e)) {
      const std::string name = it->path().filename().string();
      if (SameText(name, part.string())) {
        found /= name;
        matched = true;
        break;
      }
    }
    if (!matched) return path;
  }
  return found.string();
}

} // namespace codeweft
