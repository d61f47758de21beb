// Design-time services: palette, editors and their registries, the designer.
#include "TestSupport.h"
#include "framework/design/DesignIntf.h"
#include "tests/fakes/TestDesigner.h"
#include "framework/widgetset/headless/HeadlessInput.h"

using namespace framework;

namespace fwtest {
namespace {

using DesignTest = FrameworkTest;

class TWidgetEditor : public TDefaultEditor {
 public:
  using TDefaultEditor::TDefaultEditor;
  int GetVerbCount() override { return 2; }
  std::string GetVerb(int i) override { return i == 0 ? "New Thing" : "Count Up"; }
  void ExecuteVerb(int i) override {
    if (auto* w = dynamic_cast<TTestWidget*>(Component()); w && i == 1) {
      w->SetCount(w->Count() + 1);
      Designer()->Modified();
    }
  }
};

class TLabelProperty : public TPropertyEditor {
 public:
  using TPropertyEditor::TPropertyEditor;
  TPropertyAttributes GetAttributes() override { return {paDialog, paRevertable}; }
  std::string GetValue() override { return "(custom)"; }
  void Edit() override {
    SetValue("edited");
  }
};

TEST_F(DesignTest, PaletteAndEditorRegistries) {
  RegisterComponents("Tessaline", {&TTestWidget::StaticClass()});
  auto classes = PaletteClasses("tessaline");
  ASSERT_EQ(classes.size(), 1u);
  EXPECT_EQ(classes[0], &TTestWidget::StaticClass());
  EXPECT_EQ(GetClass("TTestWidget"), &TTestWidget::StaticClass());

  TTestForm form(nullptr);
  TTestDesigner designer(&form);
  auto* w = new TTestWidget(&form);
  w->SetName("W");
  EXPECT_TRUE(w->IsDesigning());  // inserted into a designed form
  // Without a registration: the default editor, no verbs.
  auto plain = GetComponentEditor(w, &designer);
  EXPECT_EQ(plain->GetVerbCount(), 0);
  RegisterComponentEditor<TWidgetEditor>(TTestWidget::StaticClass());
  auto editor = GetComponentEditor(w, &designer);
  ASSERT_EQ(editor->GetVerbCount(), 2);
  EXPECT_EQ(editor->GetVerb(1), "Count Up");
  editor->ExecuteVerb(1);
  EXPECT_EQ(w->Count(), 4);
  EXPECT_EQ(designer.ModifiedCount, 1);
  // The default editor's double-click shows the main event handler: the widget publishes
  // no OnCreate, OnChange or OnClick, so its first event.
  editor->Edit();
  EXPECT_EQ(designer.ShownMethods, (std::vector<std::string>{"W.OnPing"}));
  form.SetDesigner(nullptr);
}

TEST_F(DesignTest, PropertyEditorsByTypeClassAndName) {
  TTestForm form(nullptr);
  TTestDesigner designer(&form);
  auto* w = new TTestWidget(&form);
  w->SetName("W");
  RegisterPropertyEditor<TLabelProperty>(TypeOf<std::string>(), &TTestWidget::StaticClass(), "label");
  auto editors = designer.GetPropertyEditors(w);
  TPropertyEditor* label = nullptr;
  TPropertyEditor* count = nullptr;
  TPropertyEditor* font = nullptr;
  TPropertyEditor* caption = nullptr;
  for (auto& e : editors) {
    if (e->GetName() == "Label") label = e.get();
    if (e->GetName() == "Count") count = e.get();
    if (e->GetName() == "Font") font = e.get();
    if (e->GetName() == "Caption") caption = e.get();
  }
  ASSERT_TRUE(label && count && font && caption);
  EXPECT_EQ(label->GetValue(), "(custom)");
  EXPECT_TRUE(label->GetAttributes().Contains(paDialog));
  label->Edit();
  EXPECT_EQ(w->Label(), "edited");
  EXPECT_EQ(designer.ModifiedCount, 1);
  EXPECT_EQ(caption->GetValue(), "W");  // another string property keeps the plain editor
  count->SetValue("12");
  EXPECT_EQ(w->Count(), 12);
  EXPECT_EQ(count->GetComponent(), w);
  EXPECT_EQ(font->GetValue(), "(TFont)");
  EXPECT_THROW(count->SetValue("many"), EPropertyError);
  form.SetDesigner(nullptr);
}

// An event's values are the form class's methods of the event's type. A form read into a
// stand-in keeps its stored class: the methods come from that class when it is registered,
// and a chosen name is kept for the writer (the stand-in has no such method to bind).
TEST_F(DesignTest, EventsOfferTheFormClassMethodsThatFitTheirType) {
  struct TCase {
    bool StandIn;
    const char* Typed;
    bool Bound;  // false: kept as a name
  };
  for (const TCase& c : {TCase{false, "Button1Click", true}, TCase{true, "Button1Click", false},
                         TCase{false, "NotWrittenYet", false}}) {
    SCOPED_TRACE(std::string(c.StandIn ? "stand-in, " : "real class, ") + c.Typed);
    std::unique_ptr<TForm> form(c.StandIn ? new TForm(nullptr) : new TTestForm(nullptr));
    if (c.StandIn) form->KeepStreamData().ClassName = "TTestForm";
    EXPECT_EQ(&FormClassOf(*form), &TTestForm::StaticClass());
    auto* panel = new TPanel(form.get());
    panel->SetName("Panel1");
    panel->SetParent(form.get());
    TMethodProperty onClick(nullptr, panel, GetPropInfo(*panel, "OnClick"));
    TMethodProperty onMouseDown(nullptr, panel, GetPropInfo(*panel, "OnMouseDown"));
    EXPECT_EQ(onClick.GetValues(),
              (std::vector<std::string>{"Button1Click", "FormCreate", "WidgetPing"}));
    EXPECT_TRUE(onClick.GetAttributes().Contains(paValueList));
    EXPECT_TRUE(onMouseDown.GetValues().empty());
    EXPECT_FALSE(onMouseDown.GetAttributes().Contains(paValueList));

    onClick.SetValue(c.Typed);
    EXPECT_EQ(onClick.GetValue(), c.Typed);
    EXPECT_EQ(panel->OnClick.Assigned(), c.Bound);
    EXPECT_NE(WriteComponentToText(*form).find(std::string("OnClick = ") + c.Typed),
              std::string::npos);
    // A published method of another type is refused, and the event keeps its value.
    EXPECT_THROW(onMouseDown.SetValue("FormCreate"), EPropertyError);
    EXPECT_EQ(onMouseDown.GetValue(), "");
  }
  // Without a registered stored class the root's own class counts.
  TForm plain(nullptr);
  plain.KeepStreamData().ClassName = "TNotRegistered";
  EXPECT_EQ(&FormClassOf(plain), &TForm::StaticClass());
}

// A control that wants the mouse at design time answers the hit test with 1.
class THitPanel : public TCustomPanel {
 public:
  using TCustomPanel::TCustomPanel;
  bool Wants = false;
  int Downs = 0;
  std::vector<TPoint> ParentNotes;
  void CMDesignHitTest(TMessage& m) override { m.Result = Wants ? 1 : 0; }
  void WMParentNotify(TMessage& m) override {
    ParentNotes.push_back({GetXParam(m.LParam), GetYParam(m.LParam)});
  }

 protected:
  void MouseDown(TMouseButton b, TShiftState s, int x, int y) override {
    ++Downs;
    TCustomPanel::MouseDown(b, s, x, y);
  }
};

TEST_F(DesignTest, DesignerTakesTheMouseUnlessTheControlAsksForIt) {
  TTestForm form(nullptr);
  TTestDesigner designer(&form);
  auto* host = new THitPanel(&form);
  host->SetName("Host");
  host->SetParent(&form);
  host->SetBounds(0, 0, 100, 100);
  auto* child = new THitPanel(&form);
  child->SetName("Child");
  child->SetParent(host);
  child->SetBounds(20, 30, 40, 40);
  form.Show();
  headless::MouseDown(*child, 1, 2);
  EXPECT_EQ(child->Downs, 0);  // the designer kept it and selected the control
  ASSERT_EQ(designer.Selected.size(), 1u);
  EXPECT_EQ(designer.Selected[0], child);
  EXPECT_EQ(host->ParentNotes, (std::vector<TPoint>{{21, 32}}));  // parents still hear of it
  child->Wants = true;
  headless::MouseDown(*child, 1, 2);
  EXPECT_EQ(child->Downs, 1);
  form.SetDesigner(nullptr);
}

}  // namespace
}  // namespace fwtest
