// Named resources compiled into the library that owns them (bitmaps, form texts). A library
// embeds files with fw_add_resources() in CMake (framework/cmake/FrameworkResources.cmake),
// which generates a function <Module>RegisterResources() that registers each file under
// its base name in upper case ("scrollup.bmp" -> "SCROLLUP"); the library calls it once.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace framework {

struct TResource {
  std::string Module;
  std::string Name;
  const unsigned char* Data = nullptr;
  size_t Size = 0;
  std::string_view Text() const { return {reinterpret_cast<const char*>(Data), Size}; }
};

// Registers (or replaces) a resource; the data must outlive the program.
void RegisterResource(std::string_view module, std::string_view name, const unsigned char* data,
                      size_t size);
// Finds a resource by name (case-insensitive), in one module or, with none given, in any.
const TResource* FindResource(std::string_view name, std::string_view module = {});

}  // namespace framework
