// File-name helpers shared by the phases that name their output files.
#pragma once

#include <string>
#include <string_view>

namespace codeweft {

// Replaces a three-letter extension: a name that starts with a double quote
// loses its first and last character; a non-empty Ext replaces the last three
// characters, an empty Ext drops the last four. No check is made that there
// is an extension (C:\tools\hcrtf with "exe" gives C:\tools\hcexe); a name
// shorter than what is removed becomes empty instead of failing.
std::string ChangeExt(std::string_view FileName, std::string_view Ext);

// The file name part of a path: what follows the last "/" or "\" (a backslash
// in a name read from a project is a directory separator on this platform).
std::string ExtractFileName(std::string_view Path);

} // namespace codeweft
