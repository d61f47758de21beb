#include "tessapack/Package.h"

#include "tessapack/TriPane.h"

namespace tessapack {

void Register() {
  // One line per unit; each puts its classes on the palette page "Tessaline".
  TriPane::Register();
}

}  // namespace tessapack

extern "C" void TessapackRegister() { tessapack::Register(); }
