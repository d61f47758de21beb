#include "codeweft/core/Text.h"

#include "codeweft/core/Errors.h"

#include <cstring>

namespace codeweft {

int CompareText(std::string_view A, std::string_view B) {
  const std::size_t N = A.size() < B.size() ? A.size() : B.size();
  for (std::size_t i = 0; i < N; ++i) {
    if (A[i] == B[i]) continue;
    const unsigned char X = LowerChar(static_cast<unsigned char>(A[i]));
    const unsigned char Y = LowerChar(static_cast<unsigned char>(B[i]));
    if (X != Y) return X < Y ? -1 : 1;
  }
  if (A.size() == B.size()) return 0;
  return A.size() < B.size() ? -1 : 1;
}

std::string LowerCase(std::string_view S) {
  std::string R(S);
  for (char &C : R) C = static_cast<char>(LowerChar(static_cast<unsigned char>(C)));
  return R;
}

std::string FileErrorMessage(const char *Verb, const std::string &FileName, int ErrNo) {
  return std::string("Cannot ") + Verb + " file \"" + FileName + "\": " + std::strerror(ErrNo);
}

} // namespace codeweft
