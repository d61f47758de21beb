// A host that knows nothing of the package's classes loads the shared library, calls its
// one entry, and then finds the tri-pane on the palette page "Tessaline", creates it by
// class name and reads and writes a form that holds one.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cctype>

#include "framework/base/Rtti.h"
#include "framework/classes/Filer.h"
#include "framework/controls/Forms.h"
#include "framework/controls/StdRegister.h"
#include "framework/design/DesignIntf.h"
#include "framework/graphics/Bitmap.h"

namespace tessapack::test {
namespace {

using namespace framework;

TEST(PackageHost, LoadedPackageRegistersIntoTheHostsFramework) {
  RegisterStandardClasses();
  ASSERT_EQ(GetClass("TTriPane"), nullptr) << "this host links no package code";
  EXPECT_TRUE(PaletteClasses("Tessaline").empty());

  // The library stays loaded: the registered classes point into it.
  void* lib = dlopen(CW_BINARY_DIR "/tessapack/libtessapack.so", RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr) << dlerror();
  auto entry = reinterpret_cast<void (*)()>(dlsym(lib, "TessapackRegister"));
  ASSERT_NE(entry, nullptr) << dlerror();
  entry();
  entry();  // a second call adds nothing

  auto classes = PaletteClasses("Tessaline");
  ASSERT_EQ(classes.size(), 5u);
  EXPECT_EQ(classes[0]->ClassName(), "TTriPane");
  EXPECT_EQ(classes[1]->ClassName(), "TMultiPane");
  EXPECT_EQ(classes[2]->ClassName(), "TScrollToolBar");
  EXPECT_EQ(classes[3]->ClassName(), "TGrabHandler");
  EXPECT_EQ(classes[4]->ClassName(), "TMenuBar");
  EXPECT_EQ(GetClass("TTriPane"), classes[0]);
  // Each has its palette bitmap in the package's resources, and an editor where it has one.
  for (const TMetaClass* c : classes) {
    TBitmap bitmap;
    std::string name = c->ClassName();
    for (char& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    bitmap.LoadFromResourceName(name, "Tessapack");
    EXPECT_EQ(bitmap.Width(), 24) << name;
    EXPECT_EQ(bitmap.Height(), 24) << name;
  }

  TForm form(nullptr);
  form.SetName("Form1");
  form.SetBounds(0, 0, 400, 300);
  TComponent* tri = classes[0]->Create(&form);
  tri->SetName("TriPane1");
  auto* control = dynamic_cast<TControl*>(tri);
  ASSERT_NE(control, nullptr) << "the package's classes derive from the host's TControl";
  control->SetParent(&form);
  EXPECT_EQ(tri->ComponentCount(), 4) << "three panes and the stripe";
  EXPECT_NE(GetClass("TMPPane"), nullptr) << "the panes' class is known for reading";
  SetEnumProp(*tri, "AlignMenu", "mnLeft");
  SetOrdProp(*tri, "PopOpenSize", 70);
  const std::string text = WriteComponentToText(form);
  EXPECT_NE(text.find("object TriPane1: TTriPane"), std::string::npos) << text;
  EXPECT_NE(text.find(": TMPPane"), std::string::npos) << text;

  TForm copy(nullptr);
  ReadComponentFromText(text, &copy);
  TComponent* loaded = copy.FindComponent("TriPane1");
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(&loaded->ClassType(), classes[0]);
  EXPECT_EQ(loaded->ComponentCount(), 4) << "the stored panes replaced the constructor's";
  EXPECT_EQ(GetEnumProp(*loaded, "AlignMenu"), "mnLeft");
  EXPECT_EQ(GetOrdProp(*loaded, "PopOpenSize"), 70);
  EXPECT_EQ(WriteComponentToText(copy), text);

  // The multi-pane and the grab handler come by class name with their editors.
  TComponent* mp = classes[1]->Create(&form);
  mp->SetName("MultiPane1");
  dynamic_cast<TControl*>(mp)->SetParent(&form);
  EXPECT_EQ(GetOrdProp(*mp, "Count"), 1);
  EXPECT_EQ(GetComponentEditor(mp, nullptr)->GetVerb(0), "New Pane");
  TComponent* bar = classes[2]->Create(&form);
  bar->SetName("ToolBar1");
  dynamic_cast<TControl*>(bar)->SetParent(&form);
  EXPECT_EQ(GetComponentEditor(bar, nullptr)->GetVerb(1), "Realign");
  EXPECT_EQ(GetEnumProp(*bar, "Orientation"), "scHoriz");
  TComponent* grab = classes[3]->Create(&form);
  SetEnumProp(*grab, "AllGrabHandles", "ghOn");
  EXPECT_EQ(GetEnumProp(*grab, "AllGrabHandles"), "ghOff") << "run time: never switched on";
  EXPECT_THROW(classes[3]->Create(nullptr), EInvalidOwner);
  // The menu bar's editor adds buttons, which the bar stores as its children.
  TComponent* menu = classes[4]->Create(&form);
  menu->SetName("MenuBar1");
  dynamic_cast<TControl*>(menu)->SetParent(&form);
  auto menuEditor = GetComponentEditor(menu, nullptr);
  EXPECT_EQ(menuEditor->GetVerb(0), "New Button");
  menuEditor->ExecuteVerb(0);
  EXPECT_EQ(GetOrdProp(*menu, "ButtonCount"), 1);
  EXPECT_NE(WriteComponentToText(form).find(": TMenuButton"), std::string::npos);
}

}  // namespace
}  // namespace tessapack::test
