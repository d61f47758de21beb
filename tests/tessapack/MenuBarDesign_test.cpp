// The menu bar in the designer: selecting buttons, the Button* views of the selected one,
// controls dropped on the bar, and the component editor's verbs.
#include "MenuBarFixture.h"
#include "framework/base/Random.h"
#include "framework/controls/StdCtrls.h"
#include "framework/design/DesignIntf.h"
#include "framework/widgetset/headless/HeadlessInput.h"
#include "framework/widgetset/headless/HeadlessWidgetSet.h"

namespace tessapack::test {
namespace {

using namespace framework;

using MenuBarDesign = MenuBarFixture;

TEST_F(MenuBarDesign, TheEditorOffersNewButtonOnlyUntilAButtonIsSelected) {
  Make(0, 120, 300, true);
  auto editor = GetComponentEditor(Bar, Designer.get());
  ASSERT_EQ(editor->GetVerbCount(), 1);
  EXPECT_EQ(editor->GetVerb(0), "New Button");
  editor->ExecuteVerb(0);
  editor->ExecuteVerb(0);
  EXPECT_EQ(Bar->GetCount(), 2);
  ASSERT_EQ(editor->GetVerbCount(), 6);
  std::vector<std::string> verbs;
  for (int i = 0; i < 6; ++i) verbs.push_back(editor->GetVerb(i));
  EXPECT_EQ(verbs, (std::vector<std::string>{"New Button", "Delete Button", "-", "Simulate Click",
                                             "-", "Inherit Properties"}));
}

TEST_F(MenuBarDesign, VerbsActOnTheSelectedButtonAndTellTheDesigner) {
  Make(3, 120, 300, true);
  auto editor = GetComponentEditor(Bar, Designer.get());
  Bar->SetActiveButton(Bar->GetButton(0));
  Bar->GetButton(0)->SetColor(clRed);

  Designer->ModifiedCount = 0;
  editor->ExecuteVerb(3);  // Simulate Click: the motion and both events
  EXPECT_EQ(Stacks(), "100");
  EXPECT_EQ(Events, (std::vector<std::string>{"button:0", "bar:0"}));
  EXPECT_GE(Designer->ModifiedCount, 1);

  Designer->ModifiedCount = 0;
  editor->ExecuteVerb(5);  // Inherit Properties
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Bar->GetButton(i)->Color(), clRed) << i;
  EXPECT_GE(Designer->ModifiedCount, 1);

  Designer->ModifiedCount = 0;
  TMenuButton* selected = Bar->SelectedButton();
  editor->ExecuteVerb(1);  // Delete Button
  EXPECT_EQ(Bar->GetCount(), 2);
  EXPECT_EQ(Bar->Buttons().IndexOf(selected), -1);
  EXPECT_EQ(Bar->SelectedButton(), nullptr) << "the deleted button is no longer selected";
  EXPECT_EQ(editor->GetVerbCount(), 1);
  EXPECT_GE(Designer->ModifiedCount, 1);
}

TEST_F(MenuBarDesign, ButtonPropertiesViewTheSelectedButtonOnlyAtDesignTime) {
  for (bool designing : {false, true}) {
    Make(3, 120, 300, designing);
    Bar->SetActiveButton(nullptr);
    EXPECT_EQ(GetStrProp(*Bar, "ButtonCaption"), designing ? "none selected" : "");
    Bar->SetActiveButton(Bar->GetButton(1));
    SetStrProp(*Bar, "ButtonCaption", "Mail");
    SetOrdProp(*Bar, "ButtonColor", clAqua);
    SetOrdProp(*Bar, "PanelColor", clLime);
    SetOrdProp(*Bar, "ButtonSlideable", 0);
    TMenuButton* b = Bar->GetButton(1);
    EXPECT_EQ(b->FullCaption(), designing ? "Mail" : "B1");
    EXPECT_EQ(b->Color(), designing ? clAqua : clBtnFace);
    EXPECT_EQ(Bar->GetPanel(1)->Color() == clLime, designing);
    EXPECT_EQ(b->SlideAble(), !designing);
    EXPECT_EQ(GetOrdProp(*Bar, "ButtonSlot"), designing ? 1 : 0);
    SetOrdProp(*Bar, "ButtonSlot", 0);  // moves it at design time
    EXPECT_EQ(Bar->GetButton(0) == b, designing);
  }
}

TEST_F(MenuBarDesign, ClickingAButtonInTheDesignerSelectsItWithoutMovingTheStacks) {
  Make(3, 120, 300, true);
  const std::vector<int> tops = Tops();
  TMenuButton* b = Bar->GetButton(0);
  headless::Click(*b, 10, 5);
  Application().ProcessMessages();
  EXPECT_EQ(Bar->SelectedButton(), b);
  EXPECT_TRUE(b->Marked());
  EXPECT_FALSE(Bar->GetButton(2)->Marked()) << "one marked button";
  EXPECT_EQ(Tops(), tops);
  EXPECT_TRUE(Events.empty());
  // The marked button draws a dash-dot frame.
  Headless()->ClearPaintLog();
  Bar->Repaint();
  bool dashed = false;
  for (const TPaintOp& op : Headless()->PaintOpsOf(b->Name()))
    dashed = dashed || (op.Op == "Polyline" && op.Pen.Style == psDashDot && op.Points.size() == 5);
  EXPECT_TRUE(dashed);
}

TEST_F(MenuBarDesign, AControlDroppedOnTheBarLandsOnTheShownPanel) {
  Make(3, 120, 300, true);
  SetRandomTestSeed(3);
  auto* label = new TLabel(Form.get());
  label->SetName("Dropped");
  label->SetBounds(5, 5, 40, 13);
  label->SetParent(Bar);
  EXPECT_EQ(label->Parent(), Bar) << "moved once the designer has finished";
  Application().ProcessMessages();
  TMBPanel* panel = Bar->GetPanel(2);
  EXPECT_EQ(label->Parent(), panel);
  EXPECT_GE(label->Left(), 0);
  EXPECT_LE(label->Left() + label->Width(), panel->Width());
  EXPECT_LE(label->Top() + label->Height(), panel->Height());
  ASSERT_FALSE(Designer->Selected.empty());
  EXPECT_EQ(Designer->Selected.back(), label);
  SetRandomTestSeed(std::nullopt);

  // A control freed before the message arrives, or a bar freed, is left alone.
  auto* gone = new TLabel(Form.get());
  gone->SetParent(Bar);
  delete gone;
  auto* late = new TLabel(Form.get());
  late->SetParent(Bar);
  delete Bar;  // frees the label on it too
  Bar = nullptr;
  Application().ProcessMessages();  // the pending messages name freed components only
  EXPECT_EQ(Form->FindComponent("Dropped"), nullptr);
}

}  // namespace
}  // namespace tessapack::test
