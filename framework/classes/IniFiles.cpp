#include "framework/classes/IniFiles.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "framework/base/Exceptions.h"

namespace framework {

namespace {
std::string Escape(const std::string& v) {
  bool quote = !v.empty() && (v.front() == ' ' || v.back() == ' ' || v.front() == '"' ||
                              v.find_first_of("\r\n") != std::string::npos);
  if (!quote) return v;
  std::string s = "\"";
  for (char c : v) {
    if (c == '\\' || c == '"') s += '\\', s += c;
    else if (c == '\n') s += "\\n";
    else if (c == '\r') s += "\\r";
    else s += c;
  }
  return s + "\"";
}

std::string Unescape(const std::string& v) {
  if (v.size() < 2 || v.front() != '"' || v.back() != '"') return v;
  std::string s;
  for (size_t i = 1; i + 1 < v.size(); ++i) {
    if (v[i] == '\\' && i + 2 < v.size()) {
      char c = v[++i];
      s += c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    } else {
      s += v[i];
    }
  }
  return s;
}
}  // namespace

TIniFile::TIniFile(std::string fileName) : FFileName(std::move(fileName)) {
  std::ifstream in(FFileName, std::ios::binary);
  std::string line;
  TSection* current = nullptr;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string t = Trim(line);
    if (t.empty() || t[0] == ';') continue;
    if (t.front() == '[' && t.back() == ']') {
      std::string name = t.substr(1, t.size() - 2);
      current = Find(name);
      if (!current) {
        FSections.emplace_back(name, TSection{});
        current = &FSections.back().second;
      }
      continue;
    }
    size_t eq = line.find('=');
    if (!current || eq == std::string::npos) continue;
    current->emplace_back(Trim(line.substr(0, eq)), Unescape(line.substr(eq + 1)));
  }
}

TIniFile::TSection* TIniFile::Find(const std::string& section) {
  for (auto& [name, s] : FSections)
    if (SameText(name, section)) return &s;
  return nullptr;
}

const TIniFile::TSection* TIniFile::Find(const std::string& section) const {
  return const_cast<TIniFile*>(this)->Find(section);
}

std::string TIniFile::ReadString(const std::string& section, const std::string& ident, const std::string& def) const {
  if (const TSection* s = Find(section))
    for (const auto& [k, v] : *s)
      if (SameText(k, ident)) return v;
  return def;
}

bool TIniFile::ValueExists(const std::string& section, const std::string& ident) const {
  if (const TSection* s = Find(section))
    for (const auto& kv : *s)
      if (SameText(kv.first, ident)) return true;
  return false;
}

void TIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
  TSection* s = Find(section);
  if (!s) {
    FSections.emplace_back(section, TSection{});
    s = &FSections.back().second;
  }
  for (auto& [k, v] : *s)
    if (SameText(k, ident)) {
      v = value;
      return;
    }
  s->emplace_back(ident, value);
}

int64_t TIniFile::ReadInteger(const std::string& section, const std::string& ident, int64_t def) const {
  return StrToIntDef(ReadString(section, ident, ""), def);
}

void TIniFile::WriteInteger(const std::string& section, const std::string& ident, int64_t value) {
  WriteString(section, ident, std::to_string(value));
}

void TIniFile::EraseSection(const std::string& section) {
  std::erase_if(FSections, [&](const auto& s) { return SameText(s.first, section); });
}

void TIniFile::UpdateFile() {
  namespace fs = std::filesystem;
  std::ostringstream out;
  for (const auto& [name, s] : FSections) {
    out << '[' << name << "]\n";
    for (const auto& [k, v] : s) out << k << '=' << Escape(v) << '\n';
    out << '\n';
  }
  std::error_code ec;
  fs::path path(FFileName);
  if (path.has_parent_path()) fs::create_directories(path.parent_path(), ec);
  std::string temp = FFileName + ".tmp";
  {
    std::ofstream f(temp, std::ios::binary | std::ios::trunc);
    f << out.str();
    f.flush();
    if (!f) throw EFCreateError("Cannot create file \"" + FFileName + "\"");
  }
  fs::rename(temp, path, ec);
  if (ec) {
    fs::remove(temp, ec);
    throw EFCreateError("Cannot create file \"" + FFileName + "\"");
  }
}

std::string ConfigDirectory() {
  if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x) return x;
  if (const char* h = std::getenv("HOME"); h && *h) return std::string(h) + "/.config";
  return ".";
}

}  // namespace framework
