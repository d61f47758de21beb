// The package's registration: the palette page, the class registry, the shared library.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "framework/design/DesignIntf.h"
#include "tessapack/Package.h"
#include "tessapack/TriPane.h"

namespace tessapack::test {
namespace {

TEST(Package, RegisterPutsTheControlsOnTheTessalinePage) {
  tessapack::Register();
  auto classes = framework::PaletteClasses("Tessaline");
  EXPECT_NE(std::find(classes.begin(), classes.end(), &TTriPane::StaticClass()), classes.end());
  EXPECT_EQ(framework::GetClass("TTriPane"), &TTriPane::StaticClass());
  tessapack::Register();  // again: no second entry
  EXPECT_EQ(framework::PaletteClasses("Tessaline").size(), classes.size());
}

TEST(Package, SharedLibraryExportsItsEntry) {
  void* lib = dlopen(CW_BINARY_DIR "/tessapack/libtessapack.so", RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr) << dlerror();
  auto entry = reinterpret_cast<void (*)()>(dlsym(lib, "TessapackRegister"));
  ASSERT_NE(entry, nullptr) << dlerror();
  entry();
  dlclose(lib);
}

}  // namespace
}  // namespace tessapack::test
