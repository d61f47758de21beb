// Storing a form with a menu bar and reading it back: buttons and their panels in slot
// order, the full captions, the panels' controls; stored slots and Tags that contradict
// each other are mended on loading without losing a panel.
#include "MenuBarFixture.h"
#include "framework/base/Random.h"
#include "framework/classes/Filer.h"
#include "framework/controls/StdCtrls.h"

namespace tessapack::test {
namespace {

using namespace framework;

class MenuBarStream : public MenuBarFixture {
 protected:
  // Three buttons at design time, the second shown, each panel with a label, a long
  // caption on the first and colours on the second.
  std::string Stored() {
    Make(3, 120, 300, true);
    Bar->GetButton(0)->SetCaption("A caption far too long for the bar");
    Bar->GetButton(1)->SetColor(clTeal);
    Bar->GetPanel(1)->SetColor(clYellow);
    for (int i = 0; i < 3; ++i) {
      auto* label = new TLabel(Form.get());
      label->SetName("Label" + std::to_string(i));
      label->SetCaption("on panel " + std::to_string(i));
      label->SetParent(Bar->GetPanel(i));
    }
    Bar->GetButton(1)->Click();
    return WriteComponentToText(*Form);
  }
  // Reads the text into a fresh designed form and returns its bar.
  TMenuBar* Load(const std::string& text, bool designing = true) {
    Copy = std::make_unique<TForm>(nullptr);
    if (designing) CopyDesigner = std::make_unique<TTestDesigner>(Copy.get());
    ReadComponentFromText(text, Copy.get());
    return dynamic_cast<TMenuBar*>(Copy->FindComponent("MenuBar1"));
  }
  void TearDown() override {
    if (CopyDesigner) Copy->SetDesigner(nullptr);
    Copy.reset();
    CopyDesigner.reset();
    MenuBarFixture::TearDown();
  }
  static std::string Replace(std::string text, const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
  }
  // The label on each panel, in slot order ("-" for a panel without one).
  static std::vector<std::string> Labels(TMenuBar* bar) {
    std::vector<std::string> labels;
    for (int i = 0; i < bar->GetCount(); ++i) {
      TMBPanel* p = bar->GetPanel(i);
      labels.push_back(p && p->ControlCount() > 0 ? p->Controls(0)->Name() : "-");
    }
    return labels;
  }

  std::unique_ptr<TForm> Copy;
  std::unique_ptr<TTestDesigner> CopyDesigner;
};

TEST_F(MenuBarStream, AStoredBarReloadsToIdenticalText) {
  SetRandomTestSeed(7);
  const std::string text = Stored();
  EXPECT_NE(text.find("Caption = 'A caption far too long for the bar'"), std::string::npos)
      << "the full caption is stored, not the fitted one";
  EXPECT_EQ(text.find("ButtonCaption"), std::string::npos) << "design views are not stored";
  const size_t button1 = text.find("object MenuBar1__buttons___1___2___");
  const size_t panel1 = text.find("object MenuBar1__panels___1___2___");
  ASSERT_NE(button1, std::string::npos) << text;
  EXPECT_LT(button1, panel1) << "a button is written before its panel";

  TMenuBar* bar = Load(text);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->GetCount(), 3);
  EXPECT_EQ(Labels(bar), (std::vector<std::string>{"Label0", "Label1", "Label2"}));
  EXPECT_EQ(bar->GetActiveIndex(), 1);
  EXPECT_EQ(bar->GetButton(0)->FullCaption(), "A caption far too long for the bar");
  EXPECT_EQ(bar->GetButton(1)->Color(), clTeal);
  EXPECT_EQ(bar->GetPanel(1)->Color(), clYellow);
  SetRandomTestSeed(7);
  bar->SetName("MenuBar1");  // the same suffix as the original
  SetRandomTestSeed(7);
  Bar->SetName("MenuBar1");
  EXPECT_EQ(WriteComponentToText(*Copy), WriteComponentToText(*Form));
  SetRandomTestSeed(std::nullopt);
}

TEST_F(MenuBarStream, ALoadedBarRunsAndItsNamesAreFresh) {
  const std::string text = Stored();
  TMenuBar* bar = Load(text, false);
  ASSERT_NE(bar, nullptr);
  Copy->Show();
  EXPECT_EQ(bar->GetButton(0)->Caption(), "A caption far too ") << "fitted after loading";
  bar->GetButton(0)->Click();
  EXPECT_EQ(bar->GetActiveIndex(), 0);
  bar->GetButton(2)->Click();
  EXPECT_EQ(bar->GetActiveIndex(), 2);
  const std::string name = bar->GetButton(0)->Name();
  bar->SetName("Side");
  EXPECT_EQ(bar->GetButton(0)->Name().rfind("Side__buttons___0___2___", 0), 0u);
  const std::string suffix = bar->GetButton(0)->Name().substr(bar->GetButton(0)->Name().rfind('_'));
  EXPECT_EQ(bar->GetPanel(2)->Name().substr(bar->GetPanel(2)->Name().rfind('_')), suffix)
      << "one suffix for all";
  EXPECT_NE(name, bar->GetButton(0)->Name());
}

// A file whose slots and Tags contradict each other (edited by hand, or merged) loads
// with every button and panel: slots packed, duplicates placed after, panels kept.
TEST_F(MenuBarStream, ContradictoryStoredSlotsAndTagsAreMendedWithoutLoss) {
  const std::string text = Stored();
  struct Case {
    const char* what;
    std::string text;
    int count;
    std::vector<std::string> labels;
  };
  std::string dupIndex = Replace(text, "Index = 2", "Index = 0");
  std::string gapIndex = Replace(text, "Index = 1", "Index = 40");
  std::string badIndex = Replace(text, "Index = 1", "Index = -3");
  std::string dupTag = Replace(text, "Tag = 3", "Tag = 1");
  std::string badTag = Replace(text, "Tag = 2", "Tag = 99");
  const Case cases[] = {
      {"two buttons claim slot 0", dupIndex, 3, {"Label0", "Label1", "Label2"}},
      {"a gap in the slots", gapIndex, 3, {"Label0", "Label2", "Label1"}},
      {"a negative slot", badIndex, 3, {"Label0", "Label2", "Label1"}},
      {"two panels claim button 0", dupTag, 3, {"Label0", "Label1", "Label2"}},
      {"a Tag beyond the buttons", badTag, 3, {"Label0", "Label1", "Label2"}},
  };
  for (const Case& c : cases) {
    TMenuBar* bar = Load(c.text);
    ASSERT_NE(bar, nullptr) << c.what;
    ASSERT_EQ(bar->GetCount(), c.count) << c.what;
    int labels = 0;
    for (int i = 0; i < bar->GetCount(); ++i) {
      EXPECT_EQ(bar->GetButton(i)->Index(), i) << c.what;
      ASSERT_NE(bar->GetPanel(i), nullptr) << c.what;
      EXPECT_EQ(bar->GetPanel(i)->Tag(), i + 1) << c.what;
      labels += bar->GetPanel(i)->ControlCount();
    }
    EXPECT_EQ(labels, 3) << c.what << ": no panel freed";
    if (c.what != std::string("two buttons claim slot 0") &&
        c.what != std::string("two panels claim button 0"))
      EXPECT_EQ(Labels(bar), c.labels) << c.what;
    int onTop = 0;
    for (int i = 0; i < bar->GetCount(); ++i) onTop += bar->GetButton(i)->OnTop();
    EXPECT_EQ(onTop, 1) << c.what << ": one shown panel";
  }
}

TEST_F(MenuBarStream, StoredStacksThatAreNoLeadingRunAreNormalised) {
  std::string text = Stored();  // stacks 110: button 1 shown
  text = Replace(text, "Index = 1\n      OnTop = True\n      SlideAble = True\n      Up = True",
                 "Index = 1\n      OnTop = True\n      SlideAble = True\n      Up = False");
  text = Replace(text, "Index = 2\n      OnTop = False\n      SlideAble = True\n      Up = False",
                 "Index = 2\n      OnTop = False\n      SlideAble = True\n      Up = True");
  TMenuBar* bar = Load(text, false);
  ASSERT_NE(bar, nullptr);
  Copy->Show();
  std::string stacks;
  for (int i = 0; i < 3; ++i) stacks += bar->GetButton(i)->Up() ? '1' : '0';
  EXPECT_EQ(stacks, "100") << "no up button after a down one";
  EXPECT_EQ(bar->GetActiveIndex(), 0);
  bar->GetButton(2)->Click();  // would never end on the stored flags
  EXPECT_LE(bar->Buttons().LastPasses(), 300);
  EXPECT_EQ(bar->GetActiveIndex(), 2);
}

}  // namespace
}  // namespace tessapack::test
