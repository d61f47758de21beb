// The form reader over arbitrary text: bad input raises an exception; a form
// that reads is written, read again and written again, and both texts agree.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <string_view>

#include "framework/classes/Filer.h"
#include "framework/controls/StdRegister.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *Data, std::size_t Size) {
  static const bool Registered = (framework::RegisterStandardClasses(), true);
  (void)Registered;
  const std::string_view Text(reinterpret_cast<const char *>(Data), Size);
  std::unique_ptr<framework::TComponent> First;
  try {
    First.reset(framework::ReadComponentFromText(Text));
  } catch (const std::exception &) {
    return 0;
  }
  if (!First)
    return 0;
  const std::string Written = framework::WriteComponentToText(*First);
  First.reset();
  std::unique_ptr<framework::TComponent> Second;
  try {
    Second.reset(framework::ReadComponentFromText(Written));
  } catch (const std::exception &E) {
    std::fprintf(stderr, "%s\n--- written:\n%s\n", E.what(), Written.c_str());
    fuzzsupport::Require(false, "a written form does not read back");
  }
  fuzzsupport::Require(Second != nullptr, "a written form reads as nothing");
  fuzzsupport::Require(framework::WriteComponentToText(*Second) == Written,
                       "a form read back is written differently");
  return 0;
}
