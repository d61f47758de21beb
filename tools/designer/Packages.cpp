#include "tools/designer/Packages.h"

#include <dlfcn.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>

namespace tessapack::designer {

std::string PackageEntryName(const std::string& fileName) {
  std::string base = std::filesystem::path(fileName).filename().string();
  if (base.rfind("lib", 0) == 0) base.erase(0, 3);
  // "tessapack.so", "tessapack.so.1.0.0": the name ends at the first dot.
  base = base.substr(0, base.find('.'));
  if (base.empty()) return "";
  base[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(base[0])));
  return base + "Register";
}

std::string LoadPackage(const std::string& fileName) {
  // A library already loaded is registered once: the entry is called again only when the
  // same path is asked for again, which registration tolerates.
  static std::set<std::string> loaded;
  std::error_code ec;
  std::string path = std::filesystem::absolute(fileName, ec).string();
  if (ec || !std::filesystem::is_regular_file(path, ec))
    return "Package " + fileName + ": no such file";
  if (loaded.count(path)) return "";
  std::string entryName = PackageEntryName(path);
  if (entryName.empty()) return "Package " + fileName + ": not a package library name";
  void* lib = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!lib) {
    const char* error = dlerror();
    return "Package " + fileName + " cannot be loaded: " + (error ? error : "unknown error");
  }
  auto entry = reinterpret_cast<void (*)()>(dlsym(lib, entryName.c_str()));
  if (!entry) {
    dlclose(lib);
    return "Package " + fileName + " has no entry " + entryName;
  }
  try {
    entry();
  } catch (const std::exception& e) {
    return "Package " + fileName + " failed to register: " + e.what();
  }
  loaded.insert(path);
  return "";
}

std::vector<std::string> LoadPackagesFrom(const std::string& folder) {
  std::vector<std::string> errors;
  std::error_code ec;
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    std::string name = entry.path().filename().string();
    if (name.rfind("lib", 0) == 0 && name.size() > 6 && name.substr(name.size() - 3) == ".so")
      files.push_back(entry.path().string());
  }
  if (ec) errors.push_back("Package folder " + folder + ": " + ec.message());
  std::sort(files.begin(), files.end());
  for (const std::string& file : files)
    if (std::string error = LoadPackage(file); !error.empty()) errors.push_back(error);
  return errors;
}

}  // namespace tessapack::designer
