// Built against the two lowest layers alone (framework_base and framework_classes): that it
// links at all shows they need nothing above them. It exercises what a non-visual program
// would use of them: ownership, notifications, the class registry and streaming.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/base/Rtti.h"
#include "framework/classes/Filer.h"

using namespace framework;

namespace {

class TSetting : public TComponent {
  FW_CLASS(TSetting, TComponent)
 public:
  using TComponent::TComponent;
  const std::string& Value() const { return FValue; }
  void SetValue(const std::string& v) { FValue = v; }
  void GetChildren(const TGetChildProc& proc, TComponent*) override {
    for (int i = 0; i < ComponentCount(); ++i) proc(Components(i));
  }
  TComponent* GetChildOwner() override { return this; }

 private:
  std::string FValue;
};

}  // namespace

FW_DEFINE_CLASS(TSetting, [](TClassDef<TSetting>& d) {
  d.Property("Value", &TSetting::Value, &TSetting::SetValue);
})

TEST(ClassesOnly, ComponentsStreamAndComeBackWithoutAnyHigherLayer) {
  RegisterClass(TSetting::StaticClass());
  TSetting root(nullptr);
  root.SetName("Settings");
  auto* child = new TSetting(&root);
  child->SetName("Colour");
  child->SetValue("blue");
  const std::string text = WriteComponentToText(root);
  EXPECT_EQ(text,
            "object Settings: TSetting\n"
            "  object Colour: TSetting\n"
            "    Value = 'blue'\n"
            "  end\n"
            "end\n");
  std::unique_ptr<TComponent> copy(ReadComponentFromText(text));
  ASSERT_EQ(copy->ComponentCount(), 1);
  EXPECT_EQ(static_cast<TSetting*>(copy->Components(0))->Value(), "blue");
  delete copy->Components(0);
  EXPECT_EQ(copy->ComponentCount(), 0);
}
