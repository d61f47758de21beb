// The object inspector on the headless widgetset: its rows follow the selection, and each
// kind of property is edited through its editor (text, integer, enumeration, set, colour,
// component reference, event names), with errors shown and the old value kept.
#include "tools/designer/Inspector.h"

#include "framework/controls/Buttons.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/StdCtrls.h"
#include "tests/tools/designer/DesignerFixture.h"

namespace tessapack::designer::test {
namespace {

using namespace framework;

class InspectorTest : public DesignerTest {
 protected:
  void SetUp() override {
    DesignerTest::SetUp();
    Inspector = new TInspector(nullptr, Designer.get());
    Designer->OnChange = [this] { Inspector->DesignerChanged(); };
  }
  void TearDown() override {
    Designer->OnChange = nullptr;
    delete Inspector;
    DesignerTest::TearDown();
  }
  // Types a value into a row and confirms it with Enter, as a user does.
  void Type(const std::string& row, const std::string& text) {
    TInspector::TRow* r = Inspector->ShowRow(row);
    ASSERT_NE(r, nullptr) << row;
    r->Value->SetText(text);
    r->Value->SetFocus();
    headless::PressKey(VK_RETURN);
  }
  std::string Shown(const std::string& row) {
    TInspector::TRow* r = Inspector->FindRow(row);
    return r ? r->Value->Text() : "(no row " + row + ")";
  }
  // Chooses a value from a row's list by its caption.
  void Choose(const std::string& row, const std::string& value) {
    TInspector::TRow* r = Inspector->ShowRow(row);
    ASSERT_NE(r, nullptr) << row;
    ASSERT_NE(r->Button, nullptr) << row << " has no list";
    r->Button->Click();
    TMenuItem* item = Inspector->ValueMenu()->Items().Find(value);
    ASSERT_NE(item, nullptr) << value;
    item->Click();
  }
  TInspector* Inspector = nullptr;
};

struct TTypedCase {
  const char* Row;
  const char* Typed;
  const char* Expected;  // as the inspector shows it afterwards
};

TEST_F(InspectorTest, TypedValuesGoThroughTheEditors) {
  auto* button = dynamic_cast<TButton*>(Place("TButton", *Form(), 10, 10));
  ASSERT_EQ(Shown("Name"), "Button1");
  const TTypedCase cases[] = {
      {"Caption", "Press me", "Press me"}, {"Left", "33", "33"},
      {"Width", " 120 ", "120"},           {"Font.Name", "Courier", "Courier"},
      {"Font.Color", "clRed", "clRed"},    {"Font.Color", "$00112233", "$00112233"},
      {"Name", "GoButton", "GoButton"},
  };
  for (const TTypedCase& c : cases) {
    SCOPED_TRACE(c.Row + std::string(" = ") + c.Typed);
    Type(c.Row, c.Typed);
    EXPECT_EQ(Shown(c.Row), c.Expected);
    EXPECT_EQ(Inspector->Status()->Caption(), "");
  }
  EXPECT_EQ(button->Caption(), "Press me");
  EXPECT_EQ(button->Left(), 33);
  EXPECT_EQ(button->Width(), 120);
  EXPECT_EQ(Designer->UniqueName(TButton::StaticClass()), "Button1") << "renamed";
  EXPECT_EQ(Designer->Grips()[2]->Left() + 3, 33 + 120) << "the grips follow";
}

TEST_F(InspectorTest, BadValuesAreRefusedWithTheReasonAndTheOldValueStays) {
  Place("TButton", *Form(), 10, 10);
  Place("TLabel", *Form(), 10, 60);
  const TTypedCase cases[] = {
      {"Left", "ten", "10"},          {"Name", "Button1", "Label1"},  // taken
      {"Name", "1abc", "Label1"},     {"Color", "clNoSuchColour", "clBtnFace"},
      {"FocusControl", "Nobody", ""},
  };
  for (const TTypedCase& c : cases) {
    SCOPED_TRACE(c.Row + std::string(" = ") + c.Typed);
    std::string before = Shown(c.Row);
    Type(c.Row, c.Typed);
    EXPECT_EQ(Shown(c.Row), before);
    EXPECT_NE(Inspector->Status()->Caption().find(c.Row), std::string::npos)
        << Inspector->Status()->Caption();
  }
}

TEST_F(InspectorTest, ValueListsForEnumerationsSetsColoursAndReferences) {
  auto* edit = dynamic_cast<TEdit*>(Place("TEdit", *Form(), 10, 10));
  auto* label = dynamic_cast<TLabel*>(Place("TLabel", *Form(), 10, 60));
  Choose("Align", "alTop");
  EXPECT_EQ(label->Align(), alTop);
  Choose("Visible", "False");
  EXPECT_FALSE(label->Visible());
  Choose("Color", "clYellow");
  EXPECT_EQ(Shown("Color"), "clYellow");
  // A reference lists the form's components that fit; choosing one sets it.
  TInspector::TRow* focus = Inspector->ShowRow("FocusControl");
  ASSERT_NE(focus, nullptr);
  focus->Button->Click();
  TMenuItem& list = Inspector->ValueMenu()->Items();
  EXPECT_NE(list.Find("Edit1"), nullptr);
  EXPECT_EQ(list.Find("Label1"), nullptr) << "no label is a windowed control";
  Choose("FocusControl", "Edit1");
  EXPECT_EQ(label->FocusControl(), edit);
  Choose("FocusControl", "(none)");
  EXPECT_EQ(label->FocusControl(), nullptr);
  // A set: each element switched on and off from the list.
  Designer->SelectComponent(Form());
  ASSERT_NE(Inspector->FindRow("Font.Style"), nullptr);
  Choose("Font.Style", "fsBold");
  EXPECT_EQ(Shown("Font.Style"), "[fsBold]");
  Choose("Font.Style", "fsItalic");
  Choose("Font.Style", "fsBold");
  EXPECT_EQ(Shown("Font.Style"), "[fsItalic]");
  Inspector->ShowRow("Font.Style")->Button->Click();
  EXPECT_TRUE(Inspector->ValueMenu()->Items().Find("fsItalic")->Checked());
  EXPECT_FALSE(Inspector->ValueMenu()->Items().Find("fsBold")->Checked());
}

TEST_F(InspectorTest, EventsAreHandlerNamesKeptAndWrittenBack) {
  Place("TButton", *Form(), 10, 10);
  Inspector->ShowEvents(true);
  ASSERT_NE(Inspector->FindRow("OnClick"), nullptr);
  EXPECT_EQ(Inspector->FindRow("Caption"), nullptr) << "properties are on the other page";
  Type("OnClick", "GoClick");
  EXPECT_EQ(Shown("OnClick"), "GoClick");
  EXPECT_NE(Designer->SaveToText().find("OnClick = GoClick"), std::string::npos);
  Type("OnClick", "not a name");
  EXPECT_EQ(Shown("OnClick"), "GoClick");
  Type("OnClick", "");
  EXPECT_EQ(Designer->SaveToText().find("OnClick"), std::string::npos) << "cleared";
  // Undo gives the name back.
  ASSERT_TRUE(Designer->Undo());
  EXPECT_EQ(Shown("OnClick"), "GoClick");
}

// An application's form class as a package registers it: handlers of two event types.
class TAppForm : public TForm {
  FW_CLASS(TAppForm, TForm)
 public:
  using TForm::TForm;
  void Button1Click(TObject*) {}
  void Button1KeyPress(TObject*, char&) {}
  void ButtonsClick(TObject*) {}
};
FW_DEFINE_CLASS(TAppForm, [](TClassDef<TAppForm>& d) {
  d.Method("Button1Click", &TAppForm::Button1Click);
  d.Method("Button1KeyPress", &TAppForm::Button1KeyPress);
  d.Method("ButtonsClick", &TAppForm::ButtonsClick);
})

TEST_F(InspectorTest, EventRowsListTheRegisteredFormClassMethodsThatFit) {
  RegisterClass(TAppForm::StaticClass());
  Designer->LoadFromText("object AppForm: TAppForm\n  Width = 300\n  Height = 200\nend\n");
  Place("TButton", *Designer->Form(), 10, 10);
  Inspector->ShowEvents(true);
  auto doubleClick = [&](const std::string& name) {
    TInspector::TRow* row = Inspector->ShowRow(name);
    ASSERT_NE(row, nullptr) << name;
    DeliverMouse(row->Value->Handle(), WM_LBUTTONDBLCLK, {ssLeft}, 3, 3);
    DeliverMouse(row->Value->Handle(), WM_LBUTTONUP, {}, 3, 3);
  };
  // The list holds the methods of the event's type, in published order.
  TInspector::TRow* onClick = Inspector->ShowRow("OnClick");
  ASSERT_NE(onClick->Button, nullptr);
  onClick->Button->Click();
  std::vector<std::string> offered;
  for (int i = 0; i < Inspector->ValueMenu()->Items().Count(); ++i)
    offered.push_back(Inspector->ValueMenu()->Items().Items(i)->Caption());
  EXPECT_EQ(offered, (std::vector<std::string>{"(none)", "Button1Click", "ButtonsClick"}));
  EXPECT_EQ(Inspector->FindRow("OnKeyDown")->Button, nullptr) << "no method fits";
  // A double-click on an empty event proposes Button1Click, which the class publishes.
  doubleClick("OnClick");
  EXPECT_EQ(Shown("OnClick"), "Button1Click");
  doubleClick("OnKeyPress");
  EXPECT_EQ(Shown("OnKeyPress"), "Button1KeyPress");
  // No Button1KeyDown: nothing is proposed; a typed name is taken on a double-click.
  doubleClick("OnKeyDown");
  EXPECT_EQ(Shown("OnKeyDown"), "");
  EXPECT_NE(Inspector->Status()->Caption().find("Button1KeyDown"), std::string::npos);
  Inspector->FindRow("OnKeyDown")->Value->SetText("KeysLater");
  doubleClick("OnKeyDown");
  EXPECT_EQ(Shown("OnKeyDown"), "KeysLater");
  // A method of another type is refused.
  Type("OnKeyPress", "ButtonsClick");
  EXPECT_EQ(Shown("OnKeyPress"), "Button1KeyPress");
  Choose("OnClick", "ButtonsClick");
  const std::string text = Designer->SaveToText();
  for (const char* line : {"object AppForm: TAppForm", "OnClick = ButtonsClick",
                           "OnKeyPress = Button1KeyPress", "OnKeyDown = KeysLater"})
    EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
  UnRegisterClass(TAppForm::StaticClass());
}

TEST_F(InspectorTest, RowsFollowTheSelectionAndDeletion) {
  TComponent* button = Place("TButton", *Form(), 10, 10);
  EXPECT_NE(Inspector->FindRow("Default"), nullptr);
  // Of several selected components the first is shown.
  Place("TEdit", *Form(), 10, 60);
  Designer->SelectComponent(button);
  Designer->ToggleSelection(Form()->FindComponent("Edit1"));
  EXPECT_EQ(Shown("Name"), "Button1");
  Type("Caption", "Both?");
  EXPECT_EQ(GetStrProp(*button, "Caption"), "Both?");
  EXPECT_EQ(GetStrProp(*Form()->FindComponent("Edit1"), "Text"), "Edit1") << "only the first";
  Designer->SelectComponent(button);
  Place("TPanel", *Form(), 100, 10);
  EXPECT_EQ(Inspector->FindRow("Default"), nullptr);
  EXPECT_NE(Inspector->FindRow("BevelOuter"), nullptr);
  Designer->DeleteSelection();
  EXPECT_EQ(Shown("Name"), "Form1");
  EXPECT_EQ(Inspector->ShowRow("NoSuchProperty"), nullptr);
}

}  // namespace
}  // namespace tessapack::designer::test
