// Form streaming: round trips, defaults, setters on read, events, nested properties and
// the errors of bad input.
#include <random>

#include "TestSupport.h"
#include "framework/controls/ComCtrls.h"
#include "framework/controls/StdCtrls.h"

using namespace framework;

namespace fwtest {
namespace {

using StreamingTest = FrameworkTest;

// A form with nested containers, a custom list property, a nested font, a collection, a
// string list and an event bound to the form.
TTestForm* BuildForm() {
  auto* form = new TTestForm(nullptr);
  form->SetName("Form1");
  form->SetCaption("It's a test");
  form->SetBounds(322, 187, 546, 433);
  form->Font().SetName("MS Sans Serif");
  auto* outer = new TPanel(form);
  outer->SetName("Panel1");
  outer->SetParent(form);
  outer->SetAlign(alTop);
  outer->SetHeight(137);
  outer->SetBevelOuter(bvNone);
  auto* inner = new TPanel(form);
  inner->SetName("Panel2");
  inner->SetParent(outer);
  inner->SetAlign(alLeft);
  inner->SetWidth(120);
  auto* w = new TTestWidget(form);
  w->SetName("Widget1");
  w->SetParent(inner);
  w->SetCount(5);
  w->SetMode(tmC);
  w->SetFlags({tfOne, tfThree});
  w->SetLabel("line1\nline2 'quoted'");
  w->SetTint(RGB(255, 255, 225));
  w->SetArmed(true);
  w->Entries = {{"Button1", 5}, {"", 0}, {"Edit#1", -3}};
  w->Font().SetStyle({fsBold});
  w->OnPing = TNotifyEvent(form, &TTestForm::WidgetPing);
  auto* button = new TButton(form);
  button->SetName("Button1");
  button->SetParent(outer);
  button->SetCaption("Process");
  button->OnClick = TNotifyEvent(form, &TTestForm::Button1Click);
  auto* status = new TStatusBar(form);
  status->SetName("SB");
  status->SetParent(form);
  status->SetSimplePanel(true);
  status->AddPanel()->SetWidth(50);
  auto* group = new TRadioGroup(form);
  group->SetName("RadioGroup1");
  group->SetParent(form);
  group->Items()->SetDelimitedText("Centered|Left|Right", '|');
  group->SetItemIndex(0);
  return form;
}

TEST_F(StreamingTest, FormWithNestedContainersAndCustomListRoundTripsToAnEqualTree) {
  std::unique_ptr<TTestForm> form(BuildForm());
  std::string text = WriteComponentToText(*form);
  std::unique_ptr<TComponent> copy(ReadComponentFromText(text));
  auto* f2 = dynamic_cast<TTestForm*>(copy.get());
  ASSERT_NE(f2, nullptr);
  EXPECT_EQ(WriteComponentToText(*f2), text);
  // The tree came back: parents, published fields, custom values and events.
  auto* w = dynamic_cast<TTestWidget*>(f2->FindComponent("Widget1"));
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->Parent()->Name(), "Panel2");
  EXPECT_EQ(w->Parent()->Parent(), f2->Panel1);
  EXPECT_EQ(f2->Button1->Parent(), f2->Panel1);
  EXPECT_EQ(w->Entries, (std::vector<std::pair<std::string, int>>{{"Button1", 5}, {"", 0}, {"Edit#1", -3}}));
  EXPECT_EQ(w->Label(), "line1\nline2 'quoted'");
  EXPECT_TRUE(w->Font().Style().Contains(fsBold));
  EXPECT_EQ(w->LoadedCalls, 1);
  EXPECT_FALSE(w->IsLoading());
  w->OnPing(w);
  f2->Button1->Click();
  EXPECT_EQ(f2->Pings, 1);
  EXPECT_EQ(f2->Clicks, 1);
  auto* group = dynamic_cast<TRadioGroup*>(f2->FindComponent("RadioGroup1"));
  EXPECT_EQ(group->Items()->DelimitedText('|'), "Centered|Left|Right");
  EXPECT_EQ(group->ItemIndex(), 0);
  // Alignment ran after loading: the top panel spans the client width.
  EXPECT_EQ(f2->Panel1->Width(), f2->ClientWidth());
}

TEST_F(StreamingTest, TextFormatAndDefaultsNotWritten) {
  TComponent root(nullptr);
  auto* w = new TTestWidget(&root);
  w->SetName("W");
  w->SetBounds(1, 2, 30, 40);
  std::string text = WriteComponentToText(*w);
  // Left/Top/Width/Height, Ratio and Armed have no default: always written. Count, Mode,
  // Tint, Flags keep their defaults and are left out; the empty list is not written. The
  // caption followed the name (csSetCaption) and differs from its empty default.
  EXPECT_EQ(text,
            "object W: TTestWidget\n"
            "  Left = 1\n"
            "  Top = 2\n"
            "  Width = 30\n"
            "  Height = 40\n"
            "  Ratio = -1.0\n"
            "  Armed = False\n"
            "  Caption = 'W'\n"
            "end\n");
  w->SetCount(4);
  w->SetTint(clBtnFace);
  w->Entries = {{"A", 1}};
  text = WriteComponentToText(*w);
  EXPECT_NE(text.find("  Count = 4\n"), std::string::npos);
  EXPECT_NE(text.find("  Tint = clBtnFace\n"), std::string::npos);
  EXPECT_NE(text.find("  Entries = (\n    'A'\n    1)\n"), std::string::npos);
}

TEST_F(StreamingTest, ReadingRunsSettersAndAcceptsCaseAndContinuedStrings) {
  std::unique_ptr<TComponent> c(ReadComponentFromText(
      "object W: TTestWidget\n"
      "  count = 11\n"
      "  MODE = tma\n"
      "  Label = 'ab' +\n"
      "    'cd'#13#10'e'\n"
      "  Ratio = 2\n"
      "  Tint = $00E1FFFF\n"
      "end\n"));
  auto* w = dynamic_cast<TTestWidget*>(c.get());
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->Count(), 11);
  EXPECT_EQ(w->SetterCalls, 1);
  EXPECT_EQ(w->Mode(), tmA);
  EXPECT_EQ(w->Label(), "abcd\r\ne");
  EXPECT_DOUBLE_EQ(w->Ratio(), 2.0);
  EXPECT_EQ(w->Tint(), RGB(255, 255, 225));
}

TEST_F(StreamingTest, ChildrenAreCreatedWithTheOwnerTheirParentNames) {
  // A container that owns its stored children (as the pane containers do).
  struct TOwningPanel : TCustomPanel {
    using TCustomPanel::TCustomPanel;
    TComponent* GetChildOwner() override { return this; }
    void GetChildren(const TGetChildProc& proc, TComponent*) override {
      for (int i = 0; i < ControlCount(); ++i) proc(Controls(i));
    }
  };
  TForm form(nullptr);
  form.SetName("F");
  auto* p = new TOwningPanel(&form);
  p->SetName("P");
  p->SetParent(&form);
  auto* pane = new TPanel(p);
  pane->SetName("Pane");
  pane->SetParent(p);
  auto* inPane = new TLabel(&form);
  inPane->SetName("Lbl");
  inPane->SetParent(pane);
  std::string text = WriteComponentToText(form);
  EXPECT_NE(text.find("    object Pane: TPanel\n"), std::string::npos);
  EXPECT_NE(text.find("      object Lbl: TLabel\n"), std::string::npos);
}

struct TBadCase {
  const char* Text;
  const char* Message;
};

TEST_F(StreamingTest, BadInputNamesTheLineAndWhatWasExpected) {
  const TBadCase cases[] = {
      {"object W: TTestWidget\n  Count = 'x'\nend\n",
       "Line 2: Error reading W.Count: Integer value expected but string 'x' found"},
      {"object W: TTestWidget\n  Bogus = 1\nend\n",
       "Line 2: Error reading W.Bogus: Property Bogus does not exist"},
      {"object W: TTestWidget\n  object X: TNoSuchClass\n  end\nend\n", "Line 2: Class TNoSuchClass not found"},
      {"object W: TTestWidget\n  Count 5\nend\n", "Line 2: '=' expected but number 5 found"},
      {"object W: TTestWidget\n  Count = 5\n", "Line 3: 'end' expected but end of file found"},
      {"object W: TTestWidget\n  Mode = tmQ\nend\n",
       "Line 2: Error reading W.Mode: Invalid property value tmQ for type TTestMode"},
      {"object W: TTestWidget\n  Entries = ('a' 'b')\nend\n",
       "Line 2: Error reading W.Entries: Integer value expected but string 'b' found"},
      {"object W: TTestWidget\n  Label = 'open\nend\n", "Line 2: Unterminated string"},
      {"object W: TTestWidget\n  Count = 99999999999\nend\n",
       "Line 2: Error reading W.Count: Value 99999999999 is out of range"},
      {"object W: TTestWidget\n  OnPing = NoSuchMethod\nend\n",
       "Line 2: Error reading W.OnPing: Method NoSuchMethod not found in class TTestWidget"},
      {"thing W: TTestWidget\nend\n", "Line 1: 'object' expected but 'thing' found"},
      {"object W: TTestWidget\nend\nextra\n", "Line 3: end of file expected but 'extra' found"},
  };
  for (const auto& c : cases) {
    try {
      std::unique_ptr<TComponent> r(ReadComponentFromText(c.Text));
      ADD_FAILURE() << "no error for: " << c.Text;
    } catch (const EReadError& e) {
      EXPECT_EQ(std::string(e.what()), c.Message);
    }
  }
}

TEST_F(StreamingTest, AFailedReadIntoAnExistingRootLeavesItUsable) {
  TTestForm form(nullptr);
  EXPECT_THROW(form.LoadFromText("object Form1: TTestForm\n"
                                 "  object Panel1: TPanel\n"
                                 "    Width = 'wide'\n"
                                 "  end\n"
                                 "end\n"),
               EReadError);
  EXPECT_EQ(form.Panel1, nullptr);  // the half-read panel was freed and its field cleared
  EXPECT_FALSE(form.IsLoading());
  EXPECT_EQ(form.ComponentCount(), 0);
}

// Random damage to a valid form text must give a clean error or a tree, never a crash.
TEST_F(StreamingTest, DamagedTextsNeverCrash) {
  std::unique_ptr<TTestForm> form(BuildForm());
  const std::string text = WriteComponentToText(*form);
  std::mt19937 rng(7);
  const char junk[] = "'#=()[]<>.,+-$0123456789 \nobject end item AZaz_";
  int errors = 0;
  for (int i = 0; i < 400; ++i) {
    std::string t = text;
    int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits && !t.empty(); ++e) {
      size_t at = rng() % t.size();
      switch (rng() % 3) {
        case 0: t.erase(at, 1 + rng() % 8); break;
        case 1: t.insert(at, 1, junk[rng() % (sizeof junk - 1)]); break;
        default: t[at] = junk[rng() % (sizeof junk - 1)];
      }
    }
    try {
      std::unique_ptr<TComponent> r(ReadComponentFromText(t));
    } catch (const EReadError&) {
      ++errors;
    }
  }
  EXPECT_GT(errors, 100);
}

}  // namespace
}  // namespace fwtest
