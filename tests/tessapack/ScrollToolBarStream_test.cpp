// Storing a toolbar and reading it back: the placements travel as "CompNames" triples and
// find their controls by name once the posted load step runs; the text written again is
// the text read.
#include "ScrollToolBarFixture.h"
#include "framework/classes/Filer.h"
#include "framework/controls/Forms.h"

namespace tessapack::test {
namespace {

using namespace framework;

using ScrollToolBarStream = ScrollToolBarFixture;

// Three panels with their own pads and justifications, one more panel on the form.
const char *const kStored = R"(object Form1: TForm
  Left = 0
  Top = 0
  Width = 640
  Height = 480
  Caption = 'Form1'
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Visible = True
  object ToolBar1: TScrollToolBar
    Left = 0
    Top = 0
    Width = 300
    Height = 30
    BevelOuter = bvNone
    BorderWidth = 1
    CircularScroll = True
    Pad = pdTopLeft
    CompNames = (
      'P1'
      0
      0
      'P2'
      4
      1
      'P3'
      2
      2)
    object P1: TPanel
      Left = 3
      Top = 1
      Width = 99
      Height = 28
      TabOrder = 0
    end
    object P2: TPanel
      Left = 102
      Top = 1
      Width = 99
      Height = 24
      TabOrder = 1
    end
    object P3: TPanel
      Left = 201
      Top = 3
      Width = 99
      Height = 26
      TabOrder = 2
    end
  end
end
)";

std::unique_ptr<TForm> Load(const std::string &text) {
  auto form = std::make_unique<TForm>(nullptr);
  ReadComponentFromText(text, form.get());
  Application().ProcessMessages();
  return form;
}

TEST_F(ScrollToolBarStream, ARoundTripGivesTheSameTextAndPlacements) {
  auto form = Load(kStored);
  auto *bar = dynamic_cast<TScrollToolBar *>(form->FindComponent("ToolBar1"));
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(bar->LoadDone());
  ASSERT_EQ(bar->ComponentsInfo()->Count(), 3);
  const TSBComp *p2 = (*bar->ComponentsInfo())[1];
  EXPECT_EQ(p2->Control, form->FindComponent("P2"));
  EXPECT_EQ(p2->CompPad, 4);
  EXPECT_EQ(p2->Justify, scTopLeft);
  EXPECT_EQ((*bar->ComponentsInfo())[2]->Justify, scBottomRight);
  auto *p2c = static_cast<TControl *>(form->FindComponent("P2"));
  EXPECT_EQ(p2c->Top(), 1);
  EXPECT_EQ(p2c->Height(), 24); // 30 - 2 * 1 - 4, from the border
  const std::string written = WriteComponentToText(*form);
  EXPECT_EQ(written, kStored);
  // And once more from what was written.
  auto again = Load(written);
  EXPECT_EQ(WriteComponentToText(*again), kStored);
}

TEST_F(ScrollToolBarStream, BadEntriesAreSkippedLinkedOnceAndDroppedOnSave) {
  std::string text = kStored;
  // A name that matches no control, P1 twice, and a justification out of range.
  text.replace(
      text.find("'P1'\n      0\n      0"), 20,
      "'Gone'\n      7\n      1\n      'P1'\n      0\n      0\n      'P1'\n      9\n      2");
  text.replace(text.find("      2\n      2)"), 16, "      2\n      7)");
  auto form = Load(text);
  auto *bar = dynamic_cast<TScrollToolBar *>(form->FindComponent("ToolBar1"));
  ASSERT_NE(bar, nullptr);
  int linked = 0;
  for (const TSBComp *e : *bar->ComponentsInfo()) {
    if (e->Control && e->Control->Name() == "P1") {
      ++linked;
      EXPECT_EQ(e->CompPad, 0) << "the first entry of the name wins";
    }
  }
  EXPECT_EQ(linked, 1);
  EXPECT_EQ((*bar->ComponentsInfo())[2]->Justify, scCenter) << "7 reads as centred";
  const std::string written = WriteComponentToText(*form);
  EXPECT_EQ(written.find("'Gone'"), std::string::npos);
  EXPECT_EQ(written.find("'P1'"), written.rfind("'P1'")) << "P1 is written once";
  // The unlinked entries sort last and the layout passes them by.
  EXPECT_EQ((*bar->ComponentsInfo())[0]->Control, form->FindComponent("P1"));
  EXPECT_EQ((*bar->ComponentsInfo())[3]->Control, nullptr);
}

TEST_F(ScrollToolBarStream, UntilTheLoadStepRunsResizeDoesNotLayOut) {
  auto form = std::make_unique<TForm>(nullptr);
  ReadComponentFromText(kStored, form.get());
  auto *bar = dynamic_cast<TScrollToolBar *>(form->FindComponent("ToolBar1"));
  ASSERT_NE(bar, nullptr);
  EXPECT_FALSE(bar->LoadDone());
  EXPECT_EQ((*bar->ComponentsInfo())[0]->Control, nullptr);
  Application().ProcessMessages();
  EXPECT_TRUE(bar->LoadDone());
  EXPECT_NE((*bar->ComponentsInfo())[0]->Control, nullptr);
}

// Inside an embedded form the timer runs the load step once the owner has loaded.
class TEmbedded : public TActiveForm {
  FW_CLASS(TEmbedded, TActiveForm)
public:
  explicit TEmbedded(TComponent *owner) : TActiveForm(owner) {}
};
FW_DEFINE_CLASS(TEmbedded)

TEST_F(ScrollToolBarStream, AnEmbeddedFormUsesTheLoadTimer) {
  RegisterClass(TEmbedded::StaticClass());
  std::string text = kStored;
  text.erase(0, text.find("  object ToolBar1"));
  text = "object Form1: TEmbedded\n" + text;
  std::unique_ptr<TEmbedded> form(new TEmbedded(nullptr));
  ReadComponentFromText(text, form.get());
  auto *bar = dynamic_cast<TScrollToolBar *>(form->FindComponent("ToolBar1"));
  ASSERT_NE(bar, nullptr);
  ASSERT_NE(bar->LoadTimer(), nullptr);
  EXPECT_EQ(bar->LoadTimer()->Interval(), 100u);
  form->SetComponentState(csLoading, true);
  bar->OnTimer(nullptr);
  EXPECT_FALSE(bar->LoadDone()) << "the owner is still loading";
  EXPECT_TRUE(bar->LoadTimer()->Enabled());
  form->SetComponentState(csLoading, false);
  bar->OnTimer(nullptr);
  EXPECT_TRUE(bar->LoadDone());
  EXPECT_FALSE(bar->LoadTimer()->Enabled());
  EXPECT_NE((*bar->ComponentsInfo())[0]->Control, nullptr);
  UnRegisterClass(TEmbedded::StaticClass());
}

} // namespace
} // namespace tessapack::test
