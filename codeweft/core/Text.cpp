#include "codeweft/core/Text.h"

#include "codeweft/core/Errors.h"

#include <cstring>

namespace codeweft {

int CompareText(std::string_view a, std::string_view b) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (a[i] == b[i]) continue;
    const unsigned char x = LowerChar(static_cast<unsigned char>(a[i]));
    const unsigned char y = LowerChar(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::string LowerCase(std::string_view s) {
  std::string r(s);
  for (char &c : r) c = static_cast<char>(LowerChar(static_cast<unsigned char>(c)));
  return r;
}

std::string FileErrorMessage(const char *verb, const std::string &fileName, int errNo) {
  return std::string("Cannot ") + verb + " file \"" + fileName + "\": " + std::strerror(errNo);
}

} // namespace codeweft
