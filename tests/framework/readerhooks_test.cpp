// The reader serving a designer: a stand-in for a root class that is not compiled in,
// unknown properties and event methods kept and written back, and the designing state.
#include "TestSupport.h"
#include "framework/base/Exceptions.h"

using namespace framework;

namespace fwtest {
namespace {

// Remembers whether it was designed when its property was set.
class TDesignProbe : public TComponent {
  FW_CLASS(TDesignProbe, TComponent)
 public:
  using TComponent::TComponent;
  int Value() const { return FValue; }
  void SetValue(int v) {
    FValue = v;
    DesigningWhenSet = IsDesigning();
  }
  bool DesigningWhenSet = false;

 private:
  int FValue = 0;
};

}  // namespace
}  // namespace fwtest

FW_DEFINE_CLASS(fwtest::TDesignProbe, [](TClassDef<fwtest::TDesignProbe>& d) {
  d.Property("Value", &fwtest::TDesignProbe::Value, &fwtest::TDesignProbe::SetValue).Default(0);
})

namespace fwtest {
namespace {

// A form of an application whose classes the designer does not have: the form's own class,
// its handler methods, a property of a later version of TButton, and a gauge class.
const char* const kForeignForm =
    "object MainForm: TMainForm\n"
    "  Left = 0\n"
    "  Top = 0\n"
    "  Width = 320\n"
    "  Height = 240\n"
    "  Caption = 'Main'\n"
    "  Font.Color = clWindowText\n"
    "  Font.Height = -11\n"
    "  Font.Name = 'MS Sans Serif'\n"
    "  Flavour = 'sweet'\n"
    "  object Probe: TDesignProbe\n"
    "    Value = 7\n"
    "  end\n"
    "  object Go: TButton\n"
    "    Left = 0\n"
    "    Top = 0\n"
    "    Width = 75\n"
    "    Height = 25\n"
    "    Caption = 'Go'\n"
    "    OnClick = GoClick\n"
    "    Font.Shade = [fsDeep, fsDark]\n"
    "    Margins.Inner.Left = 4\n"
    "    Steps = (\n"
    "      'one'\n"
    "      2)\n"
    "  end\n"
    "  object Meter: TFancyGauge\n"
    "    Left = 0\n"
    "    Top = 0\n"
    "    Width = 185\n"
    "    Height = 41\n"
    "    Caption = 'Level'\n"
    "  end\n"
    "end\n";

class ReaderHooksTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    RegisterClass(TDesignProbe::StaticClass());
    Hooks.FindComponentClass = [this](const std::string& cls) -> const TMetaClass* {
      Log.push_back("class " + cls);
      if (cls == "TMainForm") return &TForm::StaticClass();
      if (cls == "TFancyGauge") return &TPanel::StaticClass();
      return nullptr;
    };
    Hooks.PropertyNotFound = [this](TComponent& c, const std::string& name) {
      Log.push_back("property " + c.Name() + "." + name);
      return true;
    };
    Hooks.MethodNotFound = [this](TComponent& c, const std::string& event,
                                  const std::string& method) {
      Log.push_back("method " + c.Name() + "." + event + " = " + method);
      return true;
    };
    Hooks.Designing = true;
  }
  TReaderHooks Hooks;
  std::vector<std::string> Log;
};

TEST_F(ReaderHooksTest, AFormOfUnknownClassesLoadsForDesignAndIsWrittenBackAsItWas) {
  std::unique_ptr<TComponent> form(ReadComponentFromText(kForeignForm, nullptr, nullptr, &Hooks));
  EXPECT_EQ(Log, (std::vector<std::string>{"class TMainForm", "property MainForm.Flavour",
                                           "method Go.OnClick = GoClick", "property Go.Font.Shade",
                                           "property Go.Margins.Inner.Left", "property Go.Steps",
                                           "class TFancyGauge"}));
  ASSERT_TRUE(dynamic_cast<TForm*>(form.get()));
  EXPECT_EQ(form->ClassName(), "TForm");
  EXPECT_EQ(form->StreamedClassName(), "TMainForm");
  auto* go = dynamic_cast<TButton*>(form->FindComponent("Go"));
  ASSERT_NE(go, nullptr);
  EXPECT_FALSE(go->OnClick);  // the handler is not there to call
  EXPECT_EQ(go->Caption(), "Go");
  auto* meter = dynamic_cast<TPanel*>(form->FindComponent("Meter"));
  ASSERT_NE(meter, nullptr);
  EXPECT_EQ(meter->Parent(), form.get());
  EXPECT_EQ(meter->Caption(), "Level");

  // Everything read is being designed, already while its properties were set.
  EXPECT_TRUE(form->IsDesigning());
  for (int i = 0; i < form->ComponentCount(); ++i)
    EXPECT_TRUE(form->Components(i)->IsDesigning()) << form->Components(i)->Name();
  auto* probe = static_cast<TDesignProbe*>(form->FindComponent("Probe"));
  EXPECT_TRUE(probe->DesigningWhenSet);
  EXPECT_FALSE(form->IsLoading());

  EXPECT_EQ(WriteComponentToText(*form), kForeignForm);
}

TEST_F(ReaderHooksTest, WithoutHooksOrWhenAHookDeclinesTheInputIsAnErrorNamingTheLine) {
  struct TCase {
    const char* Name;
    std::function<void(TReaderHooks&)> Change;
    std::string Error;
  };
  const std::vector<TCase> cases = {
      {"no hooks", [](TReaderHooks& h) { h = TReaderHooks{}; },
       "Line 1: Class TMainForm not found"},
      {"class declined",
       [](TReaderHooks& h) {
         h.FindComponentClass = [](const std::string& cls) -> const TMetaClass* {
           return cls == "TMainForm" ? &TForm::StaticClass() : nullptr;
         };
       },
       "Line 27: Class TFancyGauge not found"},
      {"property declined",
       [](TReaderHooks& h) {
         h.PropertyNotFound = [](TComponent&, const std::string&) { return false; };
       },
       "Line 10: Error reading MainForm.Flavour: Property Flavour does not exist"},
      {"method declined",
       [](TReaderHooks& h) {
         h.MethodNotFound = [](TComponent&, const std::string&, const std::string&) {
           return false;
         };
       },
       "Line 20: Error reading Go.OnClick: Method GoClick not found in class TForm"},
  };
  for (const TCase& c : cases) {
    TReaderHooks hooks = Hooks;
    c.Change(hooks);
    try {
      delete ReadComponentFromText(kForeignForm, nullptr, nullptr, &hooks);
      ADD_FAILURE() << c.Name << ": no error";
    } catch (const EReadError& e) {
      EXPECT_EQ(std::string(e.what()), c.Error) << c.Name;
    }
  }
}

TEST_F(ReaderHooksTest, ReadingIntoAnExistingRootForDesignMarksItAndWhatItReads) {
  TForm form(nullptr);
  ReadComponentFromText(
      "object Form1: TForm\n"
      "  object Probe: TDesignProbe\n"
      "    Value = 3\n"
      "  end\n"
      "end\n",
      &form, nullptr, &Hooks);
  EXPECT_TRUE(form.IsDesigning());
  auto* probe = static_cast<TDesignProbe*>(form.FindComponent("Probe"));
  ASSERT_NE(probe, nullptr);
  EXPECT_TRUE(probe->DesigningWhenSet);

  // Without the designing state nothing is marked.
  TForm plain(nullptr);
  ReadComponentFromText(
      "object Form2: TForm\n  object Probe: TDesignProbe\n    Value = 3\n  end\nend\n", &plain);
  EXPECT_FALSE(plain.IsDesigning());
  EXPECT_FALSE(static_cast<TDesignProbe*>(plain.FindComponent("Probe"))->DesigningWhenSet);
}

}  // namespace
}  // namespace fwtest
