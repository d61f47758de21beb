// Form streaming: round trips, defaults, setters on read, events, nested properties and
// the errors of bad input.
#include <limits>
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

// A component that is no control keeps its place on the designed form as Left and Top;
// a control's Left and Top stay its bounds.
TEST_F(StreamingTest, ANonVisualComponentStoresItsDesignPositionAsLeftAndTop) {
  const std::string text =
      "object F: TForm\n"
      "  object Timer1: TTimer\n"
      "    Left = 24\n"
      "    Top = 300\n"
      "  end\n"
      "  object Timer2: TTimer\n"
      "  end\n"
      "  object P: TPanel\n"
      "    Left = 7\n"
      "    Top = 9\n"
      "    Width = 50\n"
      "    Height = 20\n"
      "  end\n"
      "end\n";
  std::unique_ptr<TComponent> form(ReadComponentFromText(text));
  TComponent* timer = form->FindComponent("Timer1");
  EXPECT_EQ(timer->DesignLeft(), 24);
  EXPECT_EQ(timer->DesignTop(), 300);
  EXPECT_EQ(form->FindComponent("Timer2")->DesignInfo(), 0u);
  auto* panel = dynamic_cast<TControl*>(form->FindComponent("P"));
  EXPECT_EQ(panel->Left(), 7);
  EXPECT_EQ(panel->DesignInfo(), 0u);
  const std::string written = WriteComponentToText(*form);
  EXPECT_NE(written.find("object Timer1: TTimer\n    Left = 24\n    Top = 300\n  end"),
            std::string::npos)
      << written;
  EXPECT_NE(written.find("object Timer2: TTimer\n  end"), std::string::npos) << "0 is not stored";
  // Positions are held to what 16 bits carry.
  timer->SetDesignPosition(-5, 70000);
  EXPECT_EQ(timer->DesignLeft(), 0);
  EXPECT_EQ(timer->DesignTop(), 0xFFFF);
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
      // Numbers a 64-bit integer cannot hold, and one it holds that the property cannot.
      {"object W: TTestWidget\n  Count = $FFFFFFFFFFFFFFFF\nend\n",
       "Line 2: Number out of range: $FFFFFFFFFFFFFFFF"},
      {"object W: TTestWidget\n\n  Count = -$8000000000000001\nend\n",
       "Line 3: Number out of range: -$8000000000000001"},
      {"object W: TTestWidget\n  Count = -$8000000000000000\nend\n",
       "Line 2: Error reading W.Count: Value -9223372036854775808 is out of range"},
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

// Positions and sizes at the int limits are clamped, so that no sum of them
// (right edges, nested offsets, alignment) overflows.
TEST_F(StreamingTest, BoundsAtTheIntLimitsAreClamped) {
  std::unique_ptr<TComponent> r(ReadComponentFromText(
      "object W: TTestWidget\n  Left = 2147483647\n  Top = -2147483648\n"
      "  Width = 2147483647\n  Height = 2147483647\n"
      "  object P: TPanel\n    Left = 2147483647\n    Align = alClient\n  end\nend\n"));
  auto* w = dynamic_cast<TControl*>(r.get());
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->Left(), MaxControlCoord);
  EXPECT_EQ(w->Top(), -MaxControlCoord);
  EXPECT_EQ(w->Width(), MaxControlCoord);
  EXPECT_EQ(w->BoundsRect().Right, 2 * MaxControlCoord);
  auto* p = dynamic_cast<TControl*>(r->FindComponent("P"));
  ASSERT_NE(p, nullptr);
  EXPECT_LE(p->Width(), MaxControlCoord);
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

namespace fwtest {
namespace {

std::unique_ptr<TComponent> Read(std::string_view text) {
  return std::unique_ptr<TComponent>(ReadComponentFromText(text));
}

std::string ReadError(std::string_view text) {
  try {
    Read(text);
  } catch (const EReadError& e) {
    return e.what();
  }
  return "no error";
}

// ---- values ----------------------------------------------------------------------------------

TEST_F(StreamingTest, StringsWithQuotesControlCharactersAndEightBitBytesRoundTrip) {
  const std::string values[] = {
      "",    "'",   "''",          "#",           "a#b",  "\t",     "x'",
      "'x'", "\r\n", std::string("a\0b", 3), "Gr\xC3\xB6\xC3\x9F" "e", "#13", "a + b",
      std::string(300, 'z') + "'" + std::string(5, '\n'),
  };
  for (const std::string& v : values) {
    TTestWidget w(nullptr);
    w.SetName("W");
    w.SetLabel(v);
    std::string text = WriteComponentToText(w);
    auto copy = Read(text);
    auto* r = dynamic_cast<TTestWidget*>(copy.get());
    ASSERT_NE(r, nullptr) << text;
    EXPECT_EQ(r->Label(), v) << text;
  }
}

TEST_F(StreamingTest, CustomListKeepsExtremeIntegersAndOrder) {
  TTestWidget w(nullptr);
  w.SetName("W");
  w.Entries = {{"min", std::numeric_limits<int>::min()}, {"max", std::numeric_limits<int>::max()},
               {"zero", 0}, {"min", -1}};
  auto copy = Read(WriteComponentToText(w));
  EXPECT_EQ(dynamic_cast<TTestWidget*>(copy.get())->Entries, w.Entries);
}

TEST_F(StreamingTest, IntegersAndColoursAreReadInHexAndSignedForms) {
  auto c = Read("object W: TTestWidget\n  Count = $1F\n  Tint = -$10\n  Left = -5\n  Top = +7\nend\n");
  auto* w = dynamic_cast<TTestWidget*>(c.get());
  EXPECT_EQ(w->Count(), 31);
  EXPECT_EQ(w->Tint(), static_cast<TColor>(-16));
  EXPECT_EQ(w->Left(), -5);
  EXPECT_EQ(w->Top(), 7);
}

// ---- trees -------------------------------------------------------------------------------------

TEST_F(StreamingTest, UnnamedChildrenRoundTripInTheirOrder) {
  TForm form(nullptr);
  form.SetName("F");
  for (int i = 0; i < 3; ++i) {
    auto* l = new TLabel(&form);
    l->SetParent(&form);
    l->SetCaption("L" + std::to_string(i));
  }
  std::string text = WriteComponentToText(form);
  auto copy = Read(text);
  auto* f2 = dynamic_cast<TForm*>(copy.get());
  ASSERT_EQ(f2->ControlCount(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(f2->Controls(i)->Caption(), "L" + std::to_string(i));
  EXPECT_EQ(WriteComponentToText(*f2), text);
}

TEST_F(StreamingTest, AReferenceToAComponentReadLaterIsResolvedAtTheEnd) {
  auto c = Read(
      "object F: TForm\n"
      "  object Label1: TLabel\n"
      "    FocusControl = Edit1\n"
      "  end\n"
      "  object Edit1: TEdit\n"
      "  end\n"
      "end\n");
  auto* label = dynamic_cast<TLabel*>(c->FindComponent("Label1"));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->FocusControl(), c->FindComponent("Edit1"));
  // And the reference is written back by name.
  EXPECT_NE(WriteComponentToText(*c).find("    FocusControl = Edit1\n"), std::string::npos);
}

TEST_F(StreamingTest, NestedFontIsStoredOnlyWhereItIsNotTheParents) {
  TForm form(nullptr);
  form.SetName("F");
  form.Font().SetName("Courier");
  auto* own = new TLabel(&form);
  own->SetName("Own");
  own->SetParent(&form);
  own->Font().SetName("Arial");
  own->Font().SetStyle({fsBold, fsItalic});
  own->Font().SetColor(clRed);
  own->Font().SetSize(12);
  auto* inherits = new TLabel(&form);
  inherits->SetName("Inherits");
  inherits->SetParent(&form);
  std::string text = WriteComponentToText(form);
  size_t at = text.find("object Inherits");
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(text.find("Font.", at), std::string::npos) << text;
  auto copy = Read(text);
  auto* own2 = dynamic_cast<TLabel*>(copy->FindComponent("Own"));
  auto* inh2 = dynamic_cast<TLabel*>(copy->FindComponent("Inherits"));
  EXPECT_EQ(own2->Font().Name(), "Arial");
  EXPECT_TRUE(own2->Font().Style().Contains(fsItalic));
  EXPECT_EQ(own2->Font().Color(), clRed);
  EXPECT_EQ(own2->Font().Size(), 12);
  EXPECT_FALSE(own2->ParentFont());
  EXPECT_EQ(inh2->Font().Name(), "Courier");
  EXPECT_TRUE(inh2->ParentFont());
  EXPECT_EQ(WriteComponentToText(*copy), text);
}

TEST_F(StreamingTest, LoadedRunsOnceForEveryComponentAfterTheWholeTreeIsIn) {
  auto c = Read(
      "object Form1: TTestForm\n"
      "  object A: TTestWidget\n"
      "    object B: TTestWidget\n"
      "      Count = 9\n"
      "    end\n"
      "  end\n"
      "end\n");
  auto* a = dynamic_cast<TTestWidget*>(c->FindComponent("A"));
  auto* b = dynamic_cast<TTestWidget*>(c->FindComponent("B"));
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->LoadedCalls, 1);
  EXPECT_EQ(b->LoadedCalls, 1);
  EXPECT_EQ(b->Parent(), a);
  EXPECT_EQ(b->Owner(), c.get());
  for (TComponent* x : {c.get(), static_cast<TComponent*>(a), static_cast<TComponent*>(b)}) {
    EXPECT_FALSE(x->IsLoading());
    EXPECT_FALSE(x->IsReading());
  }
}

// ---- bad input -----------------------------------------------------------------------------------

TEST_F(StreamingTest, MoreBadInputGivesACleanErrorWithTheLine) {
  const TBadCase cases[] = {
      {"object F: TForm\n  object P: TPanel\n  end\n  object p: TPanel\n  end\nend\n",
       "Line 4: A component named p already exists"},
      {"object F: TForm\n  object Label1: TLabel\n    FocusControl = Nope\n  end\nend\n",
       "Line 3: Error reading Label1.FocusControl: component Nope not found"},
      {"object Form1: TTestForm\n  OnClose = WidgetPing\nend\n",
       "Line 2: Error reading Form1.OnClose: Method WidgetPing does not fit the event OnClose"},
      {"object W: TTestWidget\n  Armed = 'yes'\nend\n",
       "Line 2: Error reading W.Armed: Boolean value expected but string 'yes' found"},
      {"object W: TTestWidget\n  Flags = [tfOne, tfNine]\nend\n",
       "Line 2: Error reading W.Flags: Invalid set element tfNine for Flags"},
      {"object W: TTestWidget\n  Font.Bogus = 1\nend\n",
       "Line 2: Error reading W.Font.Bogus: Property Bogus does not exist"},
      {"object W: TTestWidget\n  Count.X = 1\nend\n",
       "Line 2: Error reading W.Count: Property Count has no properties"},
      {"object W: TTestWidget\n  Label = 5\nend\n",
       "Line 2: Error reading W.Label: String value expected but number 5 found"},
      {"object W: TTestWidget\n  Entries = ('a' 1\nend\n",  // the line where the property starts
       "Line 2: Error reading W.Entries: String value expected but 'end' found"},
      {"object W: TTestWidget\n  Ratio = 1e999\nend\n", "Line 2: Invalid number 1e999"},
      {"object W: TTestWidget\n  Label = #99999999\nend\n", "Line 2: Invalid character code"},
      {"object 1W: TTestWidget\nend\n", "Line 1: component name expected but number 1 found"},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadError(c.Text), c.Message) << c.Text;
}

TEST_F(StreamingTest, ReadingIntoARootOfAnotherClassIsRefused) {
  TForm form(nullptr);
  EXPECT_EQ(
      [&] {
        try {
          form.LoadFromText("object Form1: TTestForm\nend\n");
        } catch (const EReadError& e) {
          return std::string(e.what());
        }
        return std::string("no error");
      }(),
      "Line 1: TForm expected but class TTestForm found");
  EXPECT_FALSE(form.IsLoading());
}

TEST_F(StreamingTest, AnErrorDeepInATreeFreesEverythingReadForIt) {
  // Run under the sanitizer build: nothing read before the error may leak or dangle.
  const std::string text =
      "object Form1: TTestForm\n"
      "  object Panel1: TPanel\n"
      "    object Widget1: TTestWidget\n"
      "      Entries = ('a' 1)\n"
      "      object Inner: TLabel\n"
      "        FocusControl = Edit1\n"
      "      end\n"
      "    end\n"
      "    object Edit1: TEdit\n"
      "    end\n"
      "  end\n"
      "end\n";
  ASSERT_EQ(ReadError(text), "no error");
  // A bad property as the first line of each object in turn, so that the error comes after
  // more and more of the tree was read.
  int damaged = 0;
  for (size_t at = text.find("object "); at != std::string::npos; at = text.find("object ", at + 1)) {
    std::string bad = text;
    bad.insert(bad.find('\n', at) + 1, "Bogus = 1\n");
    EXPECT_NE(ReadError(bad).find("Bogus does not exist"), std::string::npos) << bad;
    ++damaged;
  }
  EXPECT_EQ(damaged, 5);
  // A failed read into an existing form leaves it without the half-read components.
  TTestForm form(nullptr);
  EXPECT_THROW(form.LoadFromText("object Form1: TTestForm\n  object Panel1: TPanel\n"
                                 "    object L: TLabel\n      Caption = 1\n    end\n  end\nend\n"),
               EReadError);
  EXPECT_EQ(form.ComponentCount(), 0);
  EXPECT_EQ(form.ControlCount(), 0);
}

}  // namespace
}  // namespace fwtest
