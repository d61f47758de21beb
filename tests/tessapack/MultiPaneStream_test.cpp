// Storing a form with a multi-pane and reading it back: the panes are numbered 1, 2, ... in
// Tag, take their places by it, replace the placeholder, get new names and the mouse
// handlers; the front pane is a wish until the first paint.
#include "MultiPaneFixture.h"
#include "framework/widgetset/headless/HeadlessInput.h"

namespace tessapack::test {

// A form with a published mouse handler, so that events are stored by name.
class TPanesForm : public framework::TForm {
  FW_CLASS(TPanesForm, framework::TForm)
 public:
  explicit TPanesForm(framework::TComponent* owner) : TForm(owner) {}
  void PanesMouseDown(framework::TObject* Sender, framework::TMouseButton, framework::TShiftState,
                      int, int) {
    Downs.push_back(static_cast<framework::TComponent*>(Sender));
  }
  std::vector<framework::TComponent*> Downs;
};

FW_DEFINE_CLASS(TPanesForm, [](framework::TClassDef<TPanesForm>& d) {
  d.Method("PanesMouseDown", &TPanesForm::PanesMouseDown);
})

namespace {

using namespace framework;

// Three panes with a control each, pane 1 in front, resident pane 0, the grab border on,
// a mouse handler: the form as stored (the random names come from seed 42).
const char* const kStored = R"(object Form1: TPanesForm
  Left = 0
  Top = 0
  Width = 400
  Height = 300
  Caption = 'Form1'
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Visible = True
  object MultiPane1: TMultiPane
    Left = 10
    Top = 10
    Width = 300
    Height = 200
    Color = clTeal
    GrabBorder = True
    OnMouseDown = PanesMouseDown
    TopPaneIndex = 1
    object MultiPane1__panes___0___2___NNN: TSinglePane
      Tag = 1
      Left = 1
      Top = 1
      Width = 298
      Height = 198
      BevelOuter = bvNone
      Color = clRed
      object Label1: TLabel
        Left = 4
        Top = 4
        Width = 30
        Height = 13
        Caption = 'First'
      end
    end
    object MultiPane1__panes___1___2___NNN: TSinglePane
      Tag = 2
      Left = 1
      Top = 1
      Width = 298
      Height = 198
      BevelOuter = bvNone
      object Edit1: TEdit
        Left = 8
        Top = 8
        Width = 121
        Height = 21
        TabOrder = 0
        Text = 'Second'
      end
    end
    object MultiPane1__panes___2___2___NNN: TSinglePane
      Tag = 3
      Left = 1
      Top = 1
      Width = 298
      Height = 198
      BevelOuter = bvNone
      object Button1: TButton
        Left = 12
        Top = 12
        Width = 75
        Height = 25
        Caption = 'Third'
        TabOrder = 0
      end
    end
  end
end
)";

class MultiPaneStream : public MultiPaneFixture {
 protected:
  void SetUp() override {
    MultiPaneFixture::SetUp();
    RegisterClass(TPanesForm::StaticClass());
    SetRandomTestSeed(42);
    Randomize();
    Suffix = std::to_string(Random(1000000000));
  }
  std::string Expected() const {
    std::string text = kStored;
    for (size_t at; (at = text.find("NNN")) != std::string::npos;) text.replace(at, 3, Suffix);
    return text;
  }
  // Builds the stored form at design time.
  void Build() {
    Form = std::make_unique<TPanesForm>(nullptr);
    Form->SetName("Form1");
    Form->SetBounds(0, 0, 400, 300);
    Designer = std::make_unique<TTestDesigner>(Form.get());
    Mp = new TMultiPane(Form.get());
    Mp->SetName("MultiPane1");
    Mp->SetParent(Form.get());
    Mp->SetBounds(10, 10, 300, 200);
    Mp->SetColor(clTeal);
    auto editor = GetComponentEditor(Mp, Designer.get());
    editor->ExecuteVerb(0);
    editor->ExecuteVerb(0);
    Mp->GetPane(0)->SetColor(clRed);
    Mp->SetMouseDown(
        TMouseEvent(static_cast<TPanesForm*>(Form.get()), &TPanesForm::PanesMouseDown));
    auto* label = new TLabel(Form.get());
    label->SetName("Label1");
    label->SetCaption("First");
    label->SetLeft(4);
    label->SetTop(4);
    label->SetParent(Mp->GetPane(0));
    auto* edit = new TEdit(Form.get());
    edit->SetName("Edit1");
    edit->SetText("Second");
    edit->SetBounds(8, 8, 121, 21);
    edit->SetParent(Mp->GetPane(1));
    auto* button = new TButton(Form.get());
    button->SetName("Button1");
    button->SetCaption("Third");
    button->SetBounds(12, 12, 75, 25);
    button->SetParent(Mp->GetPane(2));
    Form->Show();
    Paint();
    Mp->SetTop(1);
    Mp->SetResource(TPanes().set(0));
    Mp->SetGrab(true);
  }
  static TMultiPane* Load(TForm& form, const std::string& text) {
    ReadComponentFromText(text, &form);
    return dynamic_cast<TMultiPane*>(form.FindComponent("MultiPane1"));
  }

  std::string Suffix;
};

TEST_F(MultiPaneStream, AStoredFormWithThreePanesReloadsToIdenticalText) {
  Build();
  const std::string text = WriteComponentToText(*Form);
  EXPECT_EQ(text, Expected());
  EXPECT_EQ(Mp->BorderWidth(), 2) << "the grab border is back after writing";

  TPanesForm copy(nullptr);
  TTestDesigner designer(&copy);
  TMultiPane* loaded = Load(copy, text);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->GetCount(), 3) << "the placeholder is gone";
  EXPECT_EQ(loaded->ComponentCount(), 3);
  EXPECT_EQ(loaded->GetTop(), 1);
  EXPECT_EQ(loaded->BorderWidth(), 2) << "the grab border comes back at design time";
  EXPECT_EQ(loaded->GetPane(0)->Color(), clRed);
  EXPECT_EQ(dynamic_cast<TControl*>(copy.FindComponent("Edit1"))->Parent(), loaded->GetPane(1));
  EXPECT_EQ(copy.FindComponent("Edit1")->Owner(), &copy);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(loaded->GetPane(i)->OnMouseDown, loaded->OnMouseDown) << "pane " << i;
  EXPECT_EQ(WriteComponentToText(copy), text);
  copy.SetDesigner(nullptr);
}

TEST_F(MultiPaneStream, LoadedAtRunTimeTheWishedPaneComesToTheFrontAlone) {
  Build();
  const std::string text = WriteComponentToText(*Form);
  TPanesForm copy(nullptr);
  TMultiPane* loaded = Load(copy, text);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->BorderWidth(), 0) << "no grab border at run time";
  EXPECT_FALSE(loaded->GrabBorder());
  copy.Show();
  EXPECT_EQ(Windowed(loaded), std::set<int>{1}) << "shown: a window for the wished pane only";
  Paint();
  EXPECT_EQ(Front(loaded), loaded->GetPane(1));
  EXPECT_EQ(Windowed(loaded), std::set<int>{1});
  EXPECT_EQ(loaded->Caption(), "error");

  // Loaded panes keep their mouse handlers: a press on the front pane reaches the form.
  headless::MouseDown(*loaded->GetPane(1), 150, 150);
  ASSERT_EQ(copy.Downs.size(), 1u);
  EXPECT_EQ(copy.Downs[0], loaded->GetPane(1));
}

// Panes take their positions by Tag. A Tag outside 1..255, or one already taken, appends
// the pane; positions nobody filled close up; the panes are then renamed in their order.
TEST_F(MultiPaneStream, PanesTakeTheirPlacesByTag) {
  struct Case {
    std::vector<int> tags;           // in stored order
    std::vector<std::string> order;  // the captions of the controls, by position after loading
  };
  const Case cases[] = {
      {{1, 2, 3}, {"a", "b", "c"}},   {{3, 1, 2}, {"b", "c", "a"}}, {{2, 5}, {"a", "b"}},
      {{0, 1, 300}, {"b", "a", "c"}}, {{1, 1}, {"a", "b"}},         {{9999}, {"a"}},
  };
  for (const Case& c : cases) {
    std::string text = "object Form1: TForm\n  object MP: TMultiPane\n    TopPaneIndex = 0\n";
    for (size_t i = 0; i < c.tags.size(); ++i) {
      const std::string id(1, static_cast<char>('a' + i));
      text += "    object Pane_" + id + ": TSinglePane\n      Tag = " + std::to_string(c.tags[i]) +
              "\n      object Label_" + id + ": TLabel\n        Caption = '" + id +
              "'\n      end\n    end\n";
    }
    text += "  end\nend\n";
    SCOPED_TRACE(text);
    TForm form(nullptr);
    ReadComponentFromText(text, &form);
    auto* mp = dynamic_cast<TMultiPane*>(form.FindComponent("MP"));
    ASSERT_NE(mp, nullptr);
    ASSERT_EQ(mp->GetCount(), static_cast<int>(c.order.size()));
    const std::string last = std::to_string(c.order.size() - 1);
    for (int i = 0; i < mp->GetCount(); ++i) {
      TSinglePane* pane = mp->GetPane(i);
      ASSERT_EQ(pane->ControlCount(), 1) << "a loaded pane keeps its controls";
      EXPECT_EQ(pane->Controls(0)->Caption(), c.order[i]) << "position " << i;
      EXPECT_EQ(pane->Name().rfind("MP__panes___" + std::to_string(i) + "___" + last + "___", 0),
                0u)
          << pane->Name();
    }
    const std::string again = WriteComponentToText(form);
    EXPECT_NE(again.find("Tag = " + std::to_string(c.order.size())), std::string::npos) << again;
  }
}

TEST_F(MultiPaneStream, TheCountIsNotStoredAndBadTextFailsCleanly) {
  Make(3);
  const std::string text = WriteComponentToText(*Form);
  EXPECT_EQ(text.find("Count"), std::string::npos) << text;
  EXPECT_EQ(text.find(" PaneIndex"), std::string::npos);
  EXPECT_NE(text.find("TopPaneIndex = 0"), std::string::npos);
  std::string bad = text;
  bad.replace(bad.find("TSinglePane"), 11, "TNoSuchPane");
  TForm copy(nullptr);
  EXPECT_THROW(ReadComponentFromText(bad, &copy), EReadError);
  EXPECT_EQ(copy.ComponentCount(), 0);
}

}  // namespace
}  // namespace tessapack::test
