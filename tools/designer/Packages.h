// Component packages loaded at run time: a shared library built like libtessapack.so, whose
// registration entry "<Name>Register" (for lib<name>.so) puts its components on the
// palette of this program's framework. The library stays loaded for the program's life.
#pragma once

#include <string>
#include <vector>

namespace tessapack::designer {

// The entry a package library exports: "libtessapack.so" -> "TessapackRegister".
std::string PackageEntryName(const std::string& fileName);
// Loads one package and calls its entry. Returns an empty string, or a message naming the
// file and what failed (no crash, nothing registered, on any bad file).
std::string LoadPackage(const std::string& fileName);
// Loads every lib*.so in a folder (sorted by name); the messages of those that failed.
std::vector<std::string> LoadPackagesFrom(const std::string& folder);

}  // namespace tessapack::designer
