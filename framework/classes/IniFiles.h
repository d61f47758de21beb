// TIniFile: sections of name=value pairs in a text file, read when opened and written
// (through a temporary file, then renamed) by UpdateFile. Values with line breaks or
// surrounding blanks are stored quoted with escapes.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "framework/base/StrUtils.h"

namespace framework {

class TIniFile {
 public:
  explicit TIniFile(std::string fileName);
  const std::string& FileName() const { return FFileName; }
  std::string ReadString(const std::string& section, const std::string& ident, const std::string& def) const;
  void WriteString(const std::string& section, const std::string& ident, const std::string& value);
  int64_t ReadInteger(const std::string& section, const std::string& ident, int64_t def) const;
  void WriteInteger(const std::string& section, const std::string& ident, int64_t value);
  bool ValueExists(const std::string& section, const std::string& ident) const;
  void EraseSection(const std::string& section);
  // Writes the file; raises EFCreateError naming it when it cannot be written.
  void UpdateFile();

 private:
  using TSection = std::vector<std::pair<std::string, std::string>>;
  std::string FFileName;
  std::vector<std::pair<std::string, TSection>> FSections;
  TSection* Find(const std::string& section);
  const TSection* Find(const std::string& section) const;
};

// The folder for configuration files: $XDG_CONFIG_HOME, else ~/.config.
std::string ConfigDirectory();

}  // namespace framework
