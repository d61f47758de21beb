// The package's registration linked statically: the palette page and the class registry.
#include <gtest/gtest.h>

#include <algorithm>

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

}  // namespace
}  // namespace tessapack::test
