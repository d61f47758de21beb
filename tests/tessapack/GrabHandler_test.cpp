// The grab handler with a tri-pane, a multi-pane and plain panels: switching the borders
// on and off at design time, before and after the form is stored and reopened; the names
// it stores; and the clean-up when the form is loaded at run time.
#include "tessapack/GrabHandler.h"

#include <gtest/gtest.h>

#include <memory>

#include "framework/base/Random.h"
#include "framework/base/Rtti.h"
#include "framework/classes/Filer.h"
#include "framework/controls/Buttons.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/StdCtrls.h"
#include "framework/controls/StdRegister.h"
#include "tests/fakes/TestDesigner.h"
#include "tests/fakes/TestClock.h"
#include "tessapack/MultiPane.h"
#include "tessapack/Package.h"
#include "tessapack/ScrollToolBar.h"
#include "tessapack/TriPane.h"

namespace tessapack::test {
namespace {

using namespace framework;

class GrabHandlerTest : public ::testing::Test {
protected:
  void SetUp() override {
    RegisterStandardClasses();
    tessapack::Register();
    SetRandomTestSeed(11);
    Application().Reset();
    SetClock(&Clock);
  }
  void TearDown() override {
    for (auto &[form, designer] : Forms)
      if (designer)
        form->SetDesigner(nullptr);
    Forms.clear();
    SetClock(nullptr);
    SetRandomTestSeed(std::nullopt);
    Application().Reset();
  }

  TForm *NewForm(bool designing) {
    Forms.emplace_back(std::make_unique<TForm>(nullptr), nullptr);
    TForm *form = Forms.back().first.get();
    if (designing)
      Forms.back().second = std::make_unique<TTestDesigner>(form);
    return form;
  }
  TTestDesigner *DesignerOf(TForm *form) {
    for (auto &[f, d] : Forms)
      if (f.get() == form)
        return d.get();
    return nullptr;
  }
  template <class T> T *Add(TForm *form, const char *name, int border = 0) {
    auto *c = new T(form);
    c->SetName(name);
    c->SetParent(form);
    c->SetBorderWidth(border);
    return c;
  }
  // The handler comes first, so that a stored form names the containers after it.
  TForm *Build() {
    TForm *form = NewForm(true);
    form->SetName("Form1");
    form->SetBounds(0, 0, 500, 400);
    Handler = new TGrabHandler(form);
    Handler->SetName("GrabHandler1");
    Add<TTriPane>(form, "TriPane1");
    Add<TTriPane>(form, "TriPane2", 3);
    Add<TMultiPane>(form, "MultiPane1");
    Add<TPanel>(form, "Panel1");
    Add<TPanel>(form, "Panel2", 4);
    auto *button = new TButton(form); // no border to widen
    button->SetName("Button1");
    button->SetParent(form);
    form->Show();
    return form;
  }
  static int Border(TForm *form, const char *name) {
    return static_cast<int>(GetOrdProp(*form->FindComponent(name), "BorderWidth"));
  }
  static std::vector<std::string> GrabbedNames(const TGrabHandler *h) {
    std::vector<std::string> out;
    if (h->Grabbed())
      for (TComponent *c : *h->Grabbed())
        out.push_back(c->Name());
    return out;
  }
  TForm *Reopen(const std::string &text, bool designing) {
    TForm *form = NewForm(designing);
    ReadComponentFromText(text, form);
    Handler = dynamic_cast<TGrabHandler *>(form->FindComponent("GrabHandler1"));
    return form;
  }

  TTestClock Clock;
  std::vector<std::pair<std::unique_ptr<TForm>, std::unique_ptr<TTestDesigner>>> Forms;
  TGrabHandler *Handler = nullptr;
};

struct TBorders {
  const char *name;
  int on, off;
};
// Containers of the built form: their border with the handles on and off again.
const TBorders kBorders[] = {
    {"TriPane1", 2, 0},   // grab border
    {"TriPane2", 3, 3},   // a border of its own
    {"MultiPane1", 2, 0}, // grab border
    {"Panel1", 2, 0},     // GrabWidth, remembered
    {"Panel2", 4, 4},     // a border of its own, not remembered
};

TEST_F(GrabHandlerTest, OnlyAFormMayOwnIt) {
  TComponent module(nullptr);
  try {
    new TGrabHandler(&module);
    FAIL();
  } catch (const EInvalidOwner &e) {
    EXPECT_STREQ(e.what(), "This component may only be owned by a TCustomForm");
  }
  EXPECT_EQ(module.ComponentCount(), 0);
  EXPECT_THROW(TGrabHandler(nullptr), EInvalidOwner);
}

TEST_F(GrabHandlerTest, SwitchingOnAndOffAtDesignTime) {
  TForm *form = Build();
  Handler->SetGrabs(ghOn);
  for (const TBorders &b : kBorders)
    EXPECT_EQ(Border(form, b.name), b.on) << b.name;
  EXPECT_EQ(GetOrdProp(*form->FindComponent("TriPane1"), "GrabBorder"), 1);
  EXPECT_EQ(GetOrdProp(*form->FindComponent("TriPane2"), "GrabBorder"), 0);
  EXPECT_EQ(GetOrdProp(*form->FindComponent("MultiPane1"), "GrabBorder"), 1);
  EXPECT_EQ(GrabbedNames(Handler), std::vector<std::string>{"Panel1"});
  EXPECT_EQ(Handler->AllGrabHandles(), ghOn);

  Handler->SetWidth(5);
  EXPECT_EQ(Border(form, "Panel1"), 5);
  Handler->SetWidth(-1);
  EXPECT_EQ(Handler->GrabWidth(), 5) << "a negative width is ignored";
  EXPECT_EQ(Border(form, "TriPane1"), 2) << "the grab border is the container's own";

  Handler->SetGrabs(ghOff);
  for (const TBorders &b : kBorders)
    EXPECT_EQ(Border(form, b.name), b.off) << b.name;
  EXPECT_EQ(GetOrdProp(*form->FindComponent("TriPane1"), "GrabBorder"), 0);
}

TEST_F(GrabHandlerTest, SettingTheStateItHasDoesNothingAndTheEditorToggles) {
  TForm *form = Build();
  Handler->SetGrabs(ghOn);
  auto *panel1 = dynamic_cast<TPanel *>(form->FindComponent("Panel1"));
  panel1->SetBorderWidth(0); // the user's change
  Handler->SetGrabs(ghOn);
  EXPECT_EQ(panel1->BorderWidth(), 0);
  EXPECT_EQ(GrabbedNames(Handler), std::vector<std::string>{"Panel1"});

  // A border the user changed since it was widened stays when the handles go off.
  panel1->SetBorderWidth(6);
  TTestDesigner *designer = DesignerOf(form);
  auto editor = GetComponentEditor(Handler, designer);
  EXPECT_EQ(editor->GetVerbCount(), 0);
  editor->Edit(); // double-click
  EXPECT_EQ(Handler->AllGrabHandles(), ghOff);
  EXPECT_EQ(panel1->BorderWidth(), 6);
  EXPECT_EQ(Border(form, "TriPane1"), 0);
  editor->Edit();
  EXPECT_EQ(Handler->AllGrabHandles(), ghOn);
  EXPECT_EQ(Border(form, "TriPane1"), 2);
  EXPECT_GE(designer->ModifiedCount, 2);
}

TEST_F(GrabHandlerTest, TheStoredNamesFollowTheState) {
  TForm *form = Build();
  auto compNames = [&] {
    std::string text = WriteComponentToText(*form);
    size_t at = text.find("CompNames = (");
    EXPECT_NE(at, std::string::npos) << text;
    return text.substr(at, text.find(')', at) - at + 1);
  };
  EXPECT_EQ(compNames(), "CompNames = (\n      '###')");
  Handler->SetGrabs(ghOn);
  EXPECT_EQ(compNames(), "CompNames = (\n      'Panel1')");
  Handler->SetGrabs(ghOff);
  EXPECT_EQ(compNames(), "CompNames = (\n      '###')");
}

// The handler is read before the containers it names: the names are resolved when the
// form has loaded, so switching off after reopening takes the borders away.
TEST_F(GrabHandlerTest, SwitchingOffAfterReopeningTakesTheBordersAway) {
  Build();
  Handler->SetGrabs(ghOn);
  const std::string text = WriteComponentToText(*Forms[0].first);
  ASSERT_LT(text.find("GrabHandler1"), text.find("Panel1")) << text;

  TForm *form = Reopen(text, true);
  ASSERT_NE(Handler, nullptr);
  EXPECT_EQ(Handler->AllGrabHandles(), ghOn);
  EXPECT_EQ(GrabbedNames(Handler), std::vector<std::string>{"Panel1"});
  for (const TBorders &b : kBorders)
    EXPECT_EQ(Border(form, b.name), b.on) << b.name;
  EXPECT_EQ(WriteComponentToText(*form), text);

  Handler->SetGrabs(ghOff);
  for (const TBorders &b : kBorders)
    EXPECT_EQ(Border(form, b.name), b.off) << b.name;
  Handler->SetGrabs(ghOn);
  for (const TBorders &b : kBorders)
    EXPECT_EQ(Border(form, b.name), b.on) << b.name;
}

TEST_F(GrabHandlerTest, NamesThatMatchNothingAreWrittenBackAsRead) {
  Build();
  Handler->SetGrabs(ghOn);
  std::string text = WriteComponentToText(*Forms[0].first);
  text.replace(text.find("'Panel1'"), 8, "'Ghost'\n      'Panel1'");
  TForm *form = Reopen(text, true);
  EXPECT_EQ(GrabbedNames(Handler), std::vector<std::string>{"Panel1"});
  const std::string again = WriteComponentToText(*form);
  EXPECT_NE(again.find("CompNames = (\n      'Panel1'\n      'Ghost')"), std::string::npos)
      << again;
  Handler->SetGrabs(ghOff);
  EXPECT_EQ(WriteComponentToText(*form).find("Ghost"), std::string::npos);
}

TEST_F(GrabHandlerTest, AFreedContainerIsForgotten) {
  TForm *form = Build();
  Add<TPanel>(form, "Panel3");
  Handler->SetGrabs(ghOn);
  EXPECT_EQ(GrabbedNames(Handler), (std::vector<std::string>{"Panel1", "Panel3"}));
  delete form->FindComponent("Panel1");
  EXPECT_EQ(GrabbedNames(Handler), std::vector<std::string>{"Panel3"});
  EXPECT_NE(WriteComponentToText(*form).find("CompNames = (\n      'Panel3')"), std::string::npos);
  Handler->SetGrabs(ghOff);
  EXPECT_EQ(Border(form, "Panel3"), 0);
}

// Loaded at run time, the handler takes away the borders it stored once the form is in;
// a border that the form changed is left alone.
TEST_F(GrabHandlerTest, AtRunTimeTheStoredBordersGoWhenTheFormHasLoaded) {
  TForm *designed = Build();
  Add<TPanel>(designed, "Panel3");
  Handler->SetGrabs(ghOn);
  std::string text = WriteComponentToText(*designed);
  ASSERT_NE(text.find("CompNames = (\n      'Panel1'\n      'Panel3')"), std::string::npos) << text;
  const size_t p3 = text.find("object Panel3");
  text.replace(text.find("BorderWidth = 2", p3), 15, "BorderWidth = 7");

  TForm *form = Reopen(text, false);
  EXPECT_EQ(Border(form, "Panel1"), 0);
  EXPECT_EQ(Border(form, "Panel3"), 7);
  EXPECT_EQ(Border(form, "Panel2"), 4);
  EXPECT_EQ(Border(form, "TriPane1"), 0);
  EXPECT_EQ(GetOrdProp(*form->FindComponent("TriPane1"), "GrabBorder"), 0);
  EXPECT_EQ(Handler->AllGrabHandles(), ghOff);
  EXPECT_EQ(Handler->CleanupTimer(), nullptr);
  EXPECT_FALSE(Handler->Names().has_value());
  Handler->SetGrabs(ghOn);
  EXPECT_EQ(Handler->AllGrabHandles(), ghOff) << "never switched on at run time";
  EXPECT_EQ(Border(form, "Panel1"), 0);

  // With DisableOnRun off the borders stay.
  text.replace(text.find("AllGrabHandles"), 0, "DisableOnRun = False\n    ");
  form = Reopen(text, false);
  EXPECT_EQ(Border(form, "Panel1"), 2);
  EXPECT_EQ(Handler->CleanupTimer(), nullptr);
}

TEST_F(GrabHandlerTest, AnEmptyOrSwitchedOffListTouchesNothingAtRunTime) {
  for (const char *names : {"()", "(\n      '###')", "(\n      '###'\n      'Panel1')"}) {
    SCOPED_TRACE(names);
    const std::string text =
        "object Form1: TForm\n  object GrabHandler1: TGrabHandler\n    AllGrabHandles = ghOn\n"
        "    CompNames = " +
        std::string(names) + "\n  end\n  object Panel1: TPanel\n    BorderWidth = 2\n  end\nend\n";
    TForm *form = Reopen(text, false);
    EXPECT_FALSE(Handler->HaveNames());
    EXPECT_EQ(Border(form, "Panel1"), 2);
  }
}

// The scrolling toolbar: its own BorderWidth (reached by name) is widened and lays its
// controls out inside the border; the panel frame underneath stays as it was.
TEST_F(GrabHandlerTest, TheToolbarGetsAGrabBorderThatItsLayoutFollows) {
  TForm *form = Build();
  auto *bar = new TScrollToolBar(form);
  bar->SetName("ToolBar1");
  bar->SetParent(form);
  bar->SetBounds(0, 300, 200, 30);
  auto *inner = new TButton(form);
  inner->SetName("Inner1");
  inner->SetParent(bar);
  Application().ProcessMessages();
  ASSERT_EQ(inner->Top(), 0);

  auto *other = new TGrabHandler(form); // registers the toolbar's border editor
  auto editor = CreatePropertyEditor(nullptr, bar, *GetPropInfo(*bar, "BorderWidth"));
  EXPECT_NE(dynamic_cast<TIntegerProperty *>(editor.get()), nullptr);
  delete other;
  Handler->SetGrabs(ghOn);
  EXPECT_EQ(bar->BorderWidth(), 2);
  EXPECT_EQ(bar->TCustomPanel::BorderWidth(), 0);
  EXPECT_EQ(inner->Top(), 2);
  EXPECT_EQ(inner->Height(), 26);
  EXPECT_EQ(GrabbedNames(Handler), (std::vector<std::string>{"Panel1", "ToolBar1"}));
  Handler->SetWidth(3);
  EXPECT_EQ(bar->BorderWidth(), 3);
  EXPECT_EQ(inner->Top(), 3);
  // Stored and reopened at run time: the clean-up takes the toolbar's border away.
  const std::string text = WriteComponentToText(*form);
  EXPECT_NE(text.find("'ToolBar1'"), std::string::npos);
  Handler->SetGrabs(ghOff);
  EXPECT_EQ(bar->BorderWidth(), 0);
  EXPECT_EQ(inner->Top(), 0);

  TForm *run = Reopen(text, false);
  auto *runBar = dynamic_cast<TScrollToolBar *>(run->FindComponent("ToolBar1"));
  ASSERT_NE(runBar, nullptr);
  Clock.Advance(60);
  Application().ProcessMessages();
  EXPECT_EQ(runBar->BorderWidth(), 0);
  auto *runInner = dynamic_cast<TControl *>(run->FindComponent("Inner1"));
  ASSERT_NE(runInner, nullptr);
  EXPECT_EQ(runInner->Top(), 0);
  EXPECT_EQ(runInner->Height(), 30);
}

// A form that is still loading when the handler has loaded leaves the clean-up to the
// 50 ms timer.
TEST_F(GrabHandlerTest, TheTimerCleansUpOnceTheOwnerHasLoaded) {
  TForm *form = NewForm(false);
  auto *panel = Add<TPanel>(form, "Panel1", 2);
  form->SetComponentState(csLoading, true);
  ReadComponentFromText(
      "object GrabHandler1: TGrabHandler\n  CompNames = (\n      'Panel1')\nend\n", nullptr, form);
  Handler = dynamic_cast<TGrabHandler *>(form->FindComponent("GrabHandler1"));
  ASSERT_NE(Handler, nullptr);
  ASSERT_NE(Handler->CleanupTimer(), nullptr);
  EXPECT_EQ(Handler->CleanupTimer()->Interval(), 50u);
  Clock.Advance(60);
  Application().ProcessMessages();
  EXPECT_EQ(panel->BorderWidth(), 2) << "the owner is still loading";
  EXPECT_NE(Handler->CleanupTimer(), nullptr);
  form->SetComponentState(csLoading, false);
  Clock.Advance(60);
  Application().ProcessMessages();
  EXPECT_EQ(panel->BorderWidth(), 0);
  EXPECT_EQ(Handler->CleanupTimer(), nullptr);
  EXPECT_FALSE(Handler->Names().has_value());
  Clock.Advance(60);
  Application().ProcessMessages(); // the timer does not fire again
  panel->SetBorderWidth(2);
  Clock.Advance(60);
  Application().ProcessMessages();
  EXPECT_EQ(panel->BorderWidth(), 2);
}

} // namespace
} // namespace tessapack::test
