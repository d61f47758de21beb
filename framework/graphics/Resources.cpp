#include "framework/graphics/Resources.h"

#include <memory>
#include <vector>

#include "framework/base/StrUtils.h"

namespace framework {

namespace {
std::vector<std::unique_ptr<TResource>>& Table() {
  static std::vector<std::unique_ptr<TResource>> table;
  return table;
}
}  // namespace

void RegisterResource(std::string_view module, std::string_view name, const unsigned char* data,
                      size_t size) {
  for (auto& r : Table())
    if (SameText(r->Module, module) && SameText(r->Name, name)) {
      r->Data = data;
      r->Size = size;
      return;
    }
  Table().push_back(std::make_unique<TResource>(
      TResource{std::string(module), UpperCase(name), data, size}));
}

const TResource* FindResource(std::string_view name, std::string_view module) {
  for (auto& r : Table())
    if (SameText(r->Name, name) && (module.empty() || SameText(r->Module, module))) return r.get();
  return nullptr;
}

}  // namespace framework
