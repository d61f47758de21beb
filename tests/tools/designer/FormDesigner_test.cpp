// The form designer on the headless widgetset: placing with unique names into the
// container under the pointer, selection with grips, moving and resizing by mouse and
// keys, deleting, undo, the context menu of component editors, and the text form format
// with what the designer does not know kept.
#include <filesystem>
#include <fstream>

#include "framework/classes/Filer.h"
#include "framework/controls/Buttons.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/StdCtrls.h"
#include "tests/tools/designer/DesignerFixture.h"
#include "tools/designer/Packages.h"

namespace tessapack::designer::test {
namespace {

using namespace framework;

TEST_F(DesignerTest, PlacingGivesUniqueNamesAndTheContainerUnderThePointer) {
  auto* b1 = dynamic_cast<TButton*>(Place("TButton", *Form(), 20, 30));
  ASSERT_NE(b1, nullptr);
  EXPECT_EQ(b1->Name(), "Button1");
  EXPECT_EQ(b1->Owner(), Form());
  EXPECT_EQ(b1->Parent(), Form());
  EXPECT_EQ(b1->Left(), 20);
  EXPECT_EQ(b1->Top(), 30);
  EXPECT_TRUE(b1->IsDesigning());
  EXPECT_EQ(Designer->PlaceClass(), nullptr) << "one click places one component";

  auto* panel = dynamic_cast<TPanel*>(Place("TPanel", *Form(), 150, 20));
  ASSERT_NE(panel, nullptr);
  panel->SetBounds(150, 20, 200, 150);
  // A second button goes into the panel under the pointer, named after the first.
  auto* b2 = dynamic_cast<TButton*>(Place("TButton", *panel, 10, 12));
  ASSERT_NE(b2, nullptr);
  EXPECT_EQ(b2->Name(), "Button2");
  EXPECT_EQ(b2->Parent(), panel);
  EXPECT_EQ(b2->Owner(), Form()) << "the form owns every placed component";
  EXPECT_EQ(b2->Left(), 10);
  // A click on a control that takes no children places beside it, in its container.
  auto* b3 = dynamic_cast<TButton*>(Place("TButton", *b2, 5, 5));
  ASSERT_NE(b3, nullptr);
  EXPECT_EQ(b3->Parent(), panel);
  EXPECT_EQ(b3->Left(), b2->Left() + 5);
  // A name that a renamed component took is skipped.
  b1->SetName("Button4");
  EXPECT_EQ(Designer->UniqueName(TButton::StaticClass()), "Button1");
  EXPECT_EQ(Designer->UniqueName(TPanel::StaticClass()), "Panel2");
  EXPECT_TRUE(Designer->IsModified());

  // Dragging while placing gives the size.
  Designer->SetPlaceClass(&TPanel::StaticClass());
  Drag(*Form(), 10, 200, 90, 40);
  auto* sized = dynamic_cast<TPanel*>(Designer->Selection());
  ASSERT_NE(sized, nullptr);
  EXPECT_EQ(sized->BoundsRect(), Bounds(10, 200, 90, 40));
}

TEST_F(DesignerTest, NonVisualComponentsAreOwnedAndSelected) {
  TComponent* timer = Place("TTimer", *Form(), 40, 40);
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(timer->Name(), "Timer1");
  EXPECT_EQ(timer->Owner(), Form());
  EXPECT_NE(Designer->SaveToText().find("object Timer1: TTimer"), std::string::npos);
  for (TGrip* g : Designer->Grips()) EXPECT_FALSE(g->Visible()) << "no grips without bounds";
}

// A component that is no control shows as an icon at its design position, stored as Left
// and Top; the icon selects, moves (mouse and keys), deletes and comes back with undo.
TEST_F(DesignerTest, NonVisualComponentsShowAsIconsThatMoveAndDelete) {
  auto* panel = dynamic_cast<TPanel*>(Place("TPanel", *Form(), 100, 100));
  ASSERT_NE(panel, nullptr);
  // Placed on the panel, the timer's icon still lies on the form, where the click was.
  TComponent* timer = Place("TTimer", *panel, 10, 20);
  TComponentIcon* icon = Designer->IconOf(timer);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->Parent(), Form());
  EXPECT_EQ(icon->BoundsRect(), Bounds(110, 120, 28, 28));
  auto indexOf = [&](TControl* c) {
    for (int i = 0; i < Form()->ControlCount(); ++i)
      if (Form()->Controls(i) == c) return i;
    return -1;
  };
  EXPECT_GT(indexOf(icon), indexOf(panel)) << "above the controls";
  EXPECT_EQ(Designer->IconOf(panel), nullptr);

  Designer->SelectComponent(Form());
  Drag(*icon, 5, 5, 30, -20);
  EXPECT_EQ(Designer->Selection(), timer);
  EXPECT_EQ(icon->BoundsRect(), Bounds(140, 100, 28, 28));
  EXPECT_TRUE(Key(VK_RIGHT));
  EXPECT_EQ(timer->DesignLeft(), 141);
  Drag(*icon, 5, 5, -500, -500);
  EXPECT_EQ(icon->BoundsRect(), Bounds(0, 0, 28, 28)) << "held inside the form";
  Drag(*icon, 5, 5, 141, 100);
  const std::string text = Designer->SaveToText();
  EXPECT_NE(text.find("object Timer1: TTimer\n    Left = 141\n    Top = 100\n"), std::string::npos)
      << text;
  EXPECT_EQ(text.find("TComponentIcon"), std::string::npos);
  // The grips and icons take no place in the form's tab order.
  EXPECT_NE(text.find("    TabOrder = 0\n"), std::string::npos) << text;

  EXPECT_TRUE(Key(VK_DELETE));
  EXPECT_EQ(Form()->FindComponent("Timer1"), nullptr);
  EXPECT_EQ(Designer->IconOf(timer), nullptr);
  for (int i = 0; i < Form()->ControlCount(); ++i)
    EXPECT_NE(Form()->Controls(i)->ClassName(), "TComponentIcon");
  ASSERT_TRUE(Designer->Undo());
  TComponent* back = Form()->FindComponent("Timer1");
  ASSERT_NE(back, nullptr);
  ASSERT_NE(Designer->IconOf(back), nullptr);
  EXPECT_EQ(Designer->IconOf(back)->BoundsRect(), Bounds(141, 100, 28, 28));
  EXPECT_EQ(Designer->SaveToText(), text);
}

// Shift+click gathers a selection that moves, aligns and deletes as one; the first selected
// stays the one the inspector shows.
TEST_F(DesignerTest, ShiftClickSelectsSeveralThatMoveAlignAndDeleteTogether) {
  auto shiftClick = [](TControl& c) {
    headless::MouseDown(c, 2, 2, mbLeft, {ssShift});
    headless::MouseUp(c, 2, 2, mbLeft, {ssShift});
  };
  auto formLeft = [this](TControl* c) {
    return Form()->ScreenToClient(c->ClientToScreen({0, 0})).X;
  };
  auto* b1 = dynamic_cast<TControl*>(Place("TButton", *Form(), 10, 10));
  auto* b2 = dynamic_cast<TControl*>(Place("TButton", *Form(), 40, 60));
  auto* panel = dynamic_cast<TPanel*>(Place("TPanel", *Form(), 200, 100));
  auto* inner = dynamic_cast<TControl*>(Place("TButton", *panel, 30, 5));
  TComponent* timer = Place("TTimer", *Form(), 300, 250);
  ASSERT_TRUE(b1 && b2 && panel && inner && timer);

  headless::Click(*b1, 2, 2);
  shiftClick(*b2);
  shiftClick(*inner);
  EXPECT_EQ(Designer->SelectionList(), (std::vector<TComponent*>{b1, b2, inner}));
  EXPECT_EQ(Designer->Selection(), b1);
  for (TGrip* g : Designer->Grips()) EXPECT_FALSE(g->Visible()) << "marks instead of grips";
  EXPECT_EQ(Designer->Marks().size(), 12u);

  EXPECT_TRUE(Key(VK_RIGHT));
  EXPECT_EQ(b1->Left(), 11);
  EXPECT_EQ(b2->Left(), 41);
  EXPECT_EQ(inner->Left(), 31);
  Designer->AlignSelection(TFormDesigner::aeLefts);
  EXPECT_EQ(b2->Left(), 11);
  EXPECT_EQ(formLeft(inner), formLeft(b1)) << "lined up on the form, across containers";
  EXPECT_EQ(b1->Top(), 10) << "the first selected stays";

  shiftClick(*b2);  // out again
  EXPECT_EQ(Designer->SelectionList(), (std::vector<TComponent*>{b1, inner}));
  const int innerLeft = inner->Left();
  Drag(*b1, 2, 2, 10, 20);  // a press on a selected control keeps the selection
  EXPECT_EQ(b1->Left(), 21);
  EXPECT_EQ(b1->Top(), 30);
  EXPECT_EQ(inner->Left(), innerLeft + 10);
  EXPECT_EQ(inner->Top(), 25);
  EXPECT_EQ(b2->Left(), 11);

  shiftClick(*Designer->IconOf(timer));
  EXPECT_EQ(Designer->SelectionList().size(), 3u);
  const std::string before = Designer->SaveToText();
  EXPECT_TRUE(Key(VK_DELETE));
  for (const char* gone : {"Button1", "Button3", "Timer1"})
    EXPECT_EQ(Form()->FindComponent(gone), nullptr) << gone;
  EXPECT_NE(Form()->FindComponent("Button2"), nullptr);
  EXPECT_NE(Form()->FindComponent("Panel1"), nullptr);
  EXPECT_EQ(Designer->Selection(), Form());
  EXPECT_TRUE(Designer->Marks().empty());
  ASSERT_TRUE(Designer->Undo());
  EXPECT_EQ(Designer->SaveToText(), before);
  // A plain click selects one again.
  headless::Click(*dynamic_cast<TControl*>(Form()->FindComponent("Button2")), 2, 2);
  EXPECT_EQ(Designer->SelectionList().size(), 1u);
  // A container deleted with a selected child of its own takes the child with it.
  headless::Click(*dynamic_cast<TControl*>(Form()->FindComponent("Panel1")), 2, 2);
  shiftClick(*dynamic_cast<TControl*>(Form()->FindComponent("Button3")));
  EXPECT_EQ(Designer->SelectionList().size(), 2u);
  EXPECT_TRUE(Key(VK_DELETE));
  EXPECT_EQ(Form()->FindComponent("Panel1"), nullptr);
  EXPECT_EQ(Form()->FindComponent("Button3"), nullptr);
  EXPECT_EQ(Designer->Selection(), Form());
}

TEST_F(DesignerTest, GripsSurroundTheSelectionAndResizeIt) {
  auto* panel = dynamic_cast<TPanel*>(Place("TPanel", *Form(), 40, 40));
  panel->SetBounds(40, 40, 200, 120);
  auto* button = dynamic_cast<TButton*>(Place("TButton", *panel, 20, 10));
  button->SetBounds(20, 10, 80, 30);
  Designer->UpdateGrips();
  const auto& grips = Designer->Grips();
  ASSERT_EQ(grips.size(), 8u);
  // In form coordinates the button lies at (60, 50)-(140, 80); grips are centred on its
  // corners and edge middles, above every designed control.
  const TPoint centres[8] = {{60, 50},  {100, 50}, {140, 50}, {140, 65},
                             {140, 80}, {100, 80}, {60, 80},  {60, 65}};
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(grips[i]->Visible());
    EXPECT_EQ(grips[i]->Parent(), Form());
    EXPECT_EQ(grips[i]->Left() + grips[i]->Width() / 2, centres[i].X);
    EXPECT_EQ(grips[i]->Top() + grips[i]->Height() / 2, centres[i].Y);
    EXPECT_EQ(Form()->IndexOfControl(grips[i]) >= Form()->IndexOfControl(panel), true);
  }
  // The bottom-right grip dragged by (15, 5), the left one by (-10, 0).
  Drag(*grips[4], 3, 3, 15, 5);
  EXPECT_EQ(button->BoundsRect(), Bounds(20, 10, 95, 35));
  Drag(*grips[7], 3, 3, -10, 0);
  EXPECT_EQ(button->BoundsRect(), Bounds(10, 10, 105, 35));
  EXPECT_EQ(grips[0]->Left() + grips[0]->Width() / 2, 50) << "the grips follow";
  // Not in the text: the grips are no part of the form.
  EXPECT_EQ(Designer->SaveToText().find("TGrip"), std::string::npos);
  // Two undo steps give the size from before the drags.
  ASSERT_TRUE(Designer->Undo());
  ASSERT_TRUE(Designer->Undo());
  auto* again = dynamic_cast<TButton*>(Form()->FindComponent("Button1"));
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->BoundsRect(), Bounds(20, 10, 80, 30));
  EXPECT_EQ(Designer->Selection(), again) << "the selection keeps its name";
}

TEST_F(DesignerTest, MouseSelectsAndMoves) {
  auto* edit = dynamic_cast<TEdit*>(Place("TEdit", *Form(), 30, 30));
  Place("TLabel", *Form(), 200, 30);
  EXPECT_EQ(Designer->Selection()->Name(), "Label1");
  // A small wobble selects without moving; a drag moves by the pointer's way.
  Drag(*edit, 5, 5, 1, 1);
  EXPECT_EQ(Designer->Selection(), edit);
  EXPECT_EQ(edit->Left(), 30);
  Drag(*edit, 5, 5, 25, -10);
  EXPECT_EQ(edit->Left(), 55);
  EXPECT_EQ(edit->Top(), 20);
  // A click on the form selects it; it has no grips.
  headless::Click(*Form(), 300, 200);
  EXPECT_EQ(Designer->Selection(), Form());
  for (TGrip* g : Designer->Grips()) EXPECT_FALSE(g->Visible());
}

struct TKeyCase {
  uint16_t Key;
  TShiftState Shift;
  TRect Expected;
};

TEST_F(DesignerTest, KeysMoveResizeAndDelete) {
  const TKeyCase cases[] = {
      {VK_RIGHT, {}, Bounds(41, 40, 75, 25)},       {VK_LEFT, {}, Bounds(39, 40, 75, 25)},
      {VK_DOWN, {}, Bounds(40, 41, 75, 25)},        {VK_UP, {}, Bounds(40, 39, 75, 25)},
      {VK_RIGHT, {ssCtrl}, Bounds(48, 40, 75, 25)}, {VK_RIGHT, {ssShift}, Bounds(40, 40, 76, 25)},
      {VK_DOWN, {ssShift}, Bounds(40, 40, 75, 26)}, {VK_LEFT, {ssShift}, Bounds(40, 40, 74, 25)},
  };
  auto* button = dynamic_cast<TButton*>(Place("TButton", *Form(), 40, 40));
  for (const TKeyCase& c : cases) {
    SCOPED_TRACE(c.Key);
    button->SetBounds(40, 40, 75, 25);
    EXPECT_TRUE(Key(c.Key, c.Shift));
    EXPECT_EQ(button->BoundsRect(), c.Expected);
  }
  EXPECT_TRUE(Key(VK_ESCAPE));
  EXPECT_EQ(Designer->Selection(), Form()) << "Escape climbs to the parent";
  Key(VK_DELETE);
  EXPECT_EQ(Form()->FindComponent("Button1"), button) << "the form is never deleted";
  Designer->SelectComponent(button);
  Key(VK_DELETE);
  EXPECT_EQ(Form()->FindComponent("Button1"), nullptr);
  EXPECT_EQ(Designer->Selection(), Form());
  ASSERT_TRUE(Designer->Undo());
  EXPECT_NE(Form()->FindComponent("Button1"), nullptr) << "undo brings it back";
}

TEST_F(DesignerTest, DeletingAContainerTakesItsChildrenAndTheSelectionWithIt) {
  auto* group = Place("TGroupBox", *Form(), 10, 10);
  auto* inner = dynamic_cast<TControl*>(Place("TButton", *dynamic_cast<TControl*>(group), 10, 20));
  ASSERT_EQ(inner->Parent(), group);
  Designer->SelectComponent(group);
  Designer->DeleteSelection();
  EXPECT_EQ(Form()->FindComponent("GroupBox1"), nullptr);
  EXPECT_EQ(Form()->FindComponent("Button1"), nullptr);
  EXPECT_EQ(Designer->Selection(), Form());
}

// An editor whose verbs change the component and select through the designer.
class TGroupEditor : public TComponentEditor {
 public:
  using TComponentEditor::TComponentEditor;
  int GetVerbCount() override { return 2; }
  std::string GetVerb(int i) override { return i == 0 ? "Add Button" : "Rename"; }
  void ExecuteVerb(int i) override {
    auto* group = dynamic_cast<TGroupBox*>(Component());
    if (i == 0) {
      auto* b = new TButton(group->Owner());
      b->SetName("Added" + std::to_string(group->ControlCount()));
      b->SetParent(group);
      Designer()->SelectComponent(b);
    } else {
      group->SetCaption("Renamed");
    }
    Designer()->Modified();
  }
};

TEST_F(DesignerTest, ContextMenuRunsEditorVerbsAndDoubleClickTheDefaultEdit) {
  RegisterComponentEditor<TGroupEditor>(TGroupBox::StaticClass());
  auto* group = dynamic_cast<TGroupBox*>(Place("TGroupBox", *Form(), 10, 10));
  Designer->LoadFromText(Designer->SaveToText());  // modified state from a clean start
  group = dynamic_cast<TGroupBox*>(Form()->FindComponent("GroupBox1"));
  ASSERT_NE(group, nullptr);
  EXPECT_FALSE(Designer->IsModified());
  headless::MouseDown(*group, 30, 30, mbRight);
  headless::MouseUp(*group, 30, 30, mbRight);
  TMenuItem& items = Designer->ContextMenu()->Items();
  ASSERT_EQ(items.Count(), 4);
  EXPECT_EQ(items.Items(0)->Caption(), "Add Button");
  EXPECT_EQ(items.Items(1)->Caption(), "Rename");
  EXPECT_TRUE(items.Items(2)->IsLine());
  EXPECT_EQ(items.Items(3)->Caption(), "Delete");
  items.Items(0)->Click();
  TComponent* added = Form()->FindComponent("Added0");
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(Designer->Selection(), added) << "the editor selected through the designer";
  EXPECT_TRUE(Designer->IsModified());
  // A double-click runs the first verb.
  Designer->SelectComponent(group);
  TMessage dbl{WM_LBUTTONDBLCLK, 0, MakeLong(5, 5), 0, nullptr};
  group->Perform(dbl.Msg, dbl.WParam, dbl.LParam);
  EXPECT_EQ(Designer->Selection()->Name(), "Added1") << "the second button of the verb";
}

TEST_F(DesignerTest, DoubleClickWithoutVerbsNamesTheMainEventsHandler) {
  auto* button = Place("TButton", *Form(), 10, 10);
  Designer->EditSelection();
  EXPECT_NE(Designer->SaveToText().find("OnClick = Button1Click"), std::string::npos)
      << Designer->SaveToText();
  Designer->EditSelection();  // a named handler stays
  std::string text = Designer->SaveToText();
  EXPECT_EQ(text.find("OnClick"), text.rfind("OnClick"));
  (void)button;
}

TEST_F(DesignerTest, TextFormatKeepsWhatTheDesignerDoesNotKnow) {
  const std::string text =
      "object MainForm: TMainForm\n"
      "  Left = 100\n"
      "  Top = 80\n"
      "  Width = 400\n"
      "  Height = 300\n"
      "  Caption = 'Main'\n"
      "  OnCreate = FormCreate\n"
      "  object Button1: TButton\n"
      "    Left = 8\n"
      "    Top = 8\n"
      "    Width = 75\n"
      "    Height = 25\n"
      "    Caption = 'Go'\n"
      "    OnClick = Button1Click\n"
      "    FutureFlag = True\n"
      "  end\n"
      "  object Gauge1: TFancyGauge\n"
      "    Left = 8\n"
      "    Top = 40\n"
      "    Width = 100\n"
      "    Height = 20\n"
      "    Needle = 3\n"
      "  end\n"
      "end\n";
  Designer->LoadFromText(text);
  EXPECT_EQ(Form()->Name(), "MainForm");
  EXPECT_EQ(Form()->StreamedClassName(), "TMainForm");
  ASSERT_NE(Form()->FindComponent("Gauge1"), nullptr);
  EXPECT_TRUE(Form()->FindComponent("Gauge1")->IsDesigning());
  const std::string saved = Designer->SaveToText();
  for (const char* kept :
       {"object MainForm: TMainForm", "OnCreate = FormCreate", "OnClick = Button1Click",
        "FutureFlag = True", "object Gauge1: TFancyGauge", "Needle = 3", "Caption = 'Go'"})
    EXPECT_NE(saved.find(kept), std::string::npos) << kept << "\n" << saved;
  // Reading what was written gives the same text again.
  Designer->LoadFromText(saved);
  EXPECT_EQ(Designer->SaveToText(), saved);
}

TEST_F(DesignerTest, TheDesignersShowingOfTheFormIsNotStored) {
  Place("TButton", *Form(), 10, 10);
  ASSERT_TRUE(Form()->Visible());
  EXPECT_EQ(Designer->SaveToText().find("Visible"), std::string::npos);
  // A form stored visible stays so; a child's Visible is its own.
  Designer->LoadFromText(
      "object F: TForm\n  Visible = True\n  object P: TPanel\n    Visible = False\n  end\nend\n");
  Form()->Show();
  const std::string text = Designer->SaveToText();
  EXPECT_NE(text.find("\n  Visible = True\n"), std::string::npos) << text;
  EXPECT_NE(text.find("    Visible = False\n"), std::string::npos) << text;
}

TEST_F(DesignerTest, BadInputKeepsTheFormAndNamesTheProblem) {
  Place("TButton", *Form(), 10, 10);
  const std::string before = Designer->SaveToText();
  const char* bad[] = {"object Form1: TForm\n  Left = \n", "garbage", "",
                       "object Timer1: TTimer\nend\n"};
  for (const char* text : bad) {
    SCOPED_TRACE(text);
    EXPECT_THROW(Designer->LoadFromText(text), EReadError);
    EXPECT_EQ(Designer->SaveToText(), before);
  }
  const std::string missing = testing::TempDir() + "/no-such-dir/x.form";
  try {
    Designer->LoadFromFile(missing);
    ADD_FAILURE() << "no error";
  } catch (const EFOpenError& e) {
    EXPECT_NE(std::string(e.what()).find(missing), std::string::npos);
  }
  EXPECT_THROW(Designer->SaveToFile(missing), EFCreateError);
  EXPECT_EQ(Designer->SaveToText(), before);
}

TEST_F(DesignerTest, SaveAndOpenAFile) {
  Place("TLabel", *Form(), 12, 14);
  const std::string file = testing::TempDir() + "/designer-save.form";
  Designer->SaveToFile(file);
  EXPECT_FALSE(Designer->IsModified());
  EXPECT_EQ(Designer->FileName(), file);
  const std::string text = Designer->SaveToText();
  Designer->NewForm();
  EXPECT_EQ(Form()->FindComponent("Label1"), nullptr);
  Designer->LoadFromFile(file);
  EXPECT_NE(Form()->FindComponent("Label1"), nullptr);
  EXPECT_EQ(Designer->SaveToText(), text);
  std::filesystem::remove(file);
}

TEST(DesignerPackages, EntryNamesAndLoadFailures) {
  const std::pair<const char*, const char*> names[] = {
      {"libtessapack.so", "TessapackRegister"},
      {"/opt/x/libtessapack.so.1.0.0", "TessapackRegister"},
      {"libwidgets.so", "WidgetsRegister"},
      {"plain.so", "PlainRegister"}};
  for (const auto& [file, entry] : names) EXPECT_EQ(PackageEntryName(file), entry) << file;
  EXPECT_EQ(LoadPackage("/no/such/libthing.so"), "Package /no/such/libthing.so: no such file");
  // A file that is no library: a message naming it, nothing registered.
  const std::string fake = testing::TempDir() + "/libfake.so";
  std::ofstream(fake) << "not a library";
  std::string error = LoadPackage(fake);
  EXPECT_NE(error.find("libfake.so cannot be loaded"), std::string::npos) << error;
  auto errors = LoadPackagesFrom(testing::TempDir());
  EXPECT_FALSE(errors.empty());
  std::filesystem::remove(fake);
  EXPECT_EQ(LoadPackagesFrom("/no/such/folder").size(), 1u);
}

}  // namespace
}  // namespace tessapack::designer::test
