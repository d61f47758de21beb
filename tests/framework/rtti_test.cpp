// Class registry and published-property RTTI.
#include "TestSupport.h"

using namespace framework;

namespace fwtest {
namespace {

using RttiTest = FrameworkTest;

TEST_F(RttiTest, RegistryFindsByNameWithoutCaseAndCreatesThroughVirtualConstructor) {
  const TMetaClass* cls = GetClass("ttestwidget");
  ASSERT_NE(cls, nullptr);
  EXPECT_EQ(GetClass("TNoSuchThing"), nullptr);
  EXPECT_THROW(FindClass("TNoSuchThing"), EClassNotFound);
  TComponent owner(nullptr);
  TComponent* c = cls->Create(&owner);
  ASSERT_NE(dynamic_cast<TTestWidget*>(c), nullptr);  // the most derived constructor ran
  EXPECT_EQ(c->Owner(), &owner);
  EXPECT_EQ(c->ClassName(), "TTestWidget");
  EXPECT_TRUE(c->InheritsFrom(TCustomPanel::StaticClass()));
  EXPECT_FALSE(c->InheritsFrom(TButton::StaticClass()));
  EXPECT_THROW(TControl::StaticClass().ClassParent()->ClassParent()->Create(nullptr), EInvalidOperation);
}

TEST_F(RttiTest, PropertiesAreReadAndSetByNameAndSettersRun) {
  TTestWidget w(nullptr);
  SetOrdProp(w, "COUNT", 7);
  EXPECT_EQ(w.Count(), 7);
  EXPECT_EQ(w.SetterCalls, 1);
  EXPECT_EQ(GetOrdProp(w, "count"), 7);
  SetEnumProp(w, "mode", "tmC");
  EXPECT_EQ(w.Mode(), tmC);
  EXPECT_EQ(GetEnumProp(w, "Mode"), "tmC");
  SetSetProp(w, "Flags", "[tfOne, tfThree]");
  EXPECT_EQ(GetSetProp(w, "Flags"), "[tfOne, tfThree]");
  SetFloatProp(w, "Ratio", 2.5);
  EXPECT_DOUBLE_EQ(w.Ratio(), 2.5);
  SetStrProp(w, "Label", "hello");
  EXPECT_EQ(GetStrProp(w, "LABEL"), "hello");
  SetOrdProp(w, "Armed", 1);
  EXPECT_TRUE(w.Armed());
  SetPropText(w, "Tint", "clBtnFace");
  EXPECT_EQ(w.Tint(), clBtnFace);
  EXPECT_EQ(GetPropText(w, "Tint"), "clBtnFace");
  SetOrdProp(w, "Tag", 9);  // inherited from TComponent
  EXPECT_EQ(w.Tag(), 9);
  EXPECT_EQ(GetObjectProp(w, "Font"), &w.Font());
}

TEST_F(RttiTest, WrongNamesAndKindsAreReported) {
  TTestWidget w(nullptr);
  EXPECT_THROW(SetOrdProp(w, "Nothing", 1), EPropertyError);
  EXPECT_THROW(SetStrProp(w, "Count", "x"), EPropertyError);
  EXPECT_THROW(SetEnumProp(w, "Mode", "tmZ"), EPropertyError);
  EXPECT_THROW(SetSetProp(w, "Flags", "[tfNine]"), EPropertyError);
  EXPECT_THROW(SetPropText(w, "Count", "twelve"), EPropertyError);
  try {
    GetOrdProp(w, "GrabBorder");
  } catch (const EPropertyError& e) {
    EXPECT_STREQ(e.what(), "Property GrabBorder does not exist in class TTestWidget");
  }
  EXPECT_EQ(w.Count(), 3);
}

TEST_F(RttiTest, PublishedOrderKeepsInheritedFirstAndRedeclaredInPlace) {
  const auto& props = TTestWidget::StaticClass().Properties();
  std::vector<std::string> names;
  for (auto* p : props) names.push_back(p->Name);
  ASSERT_GE(names.size(), 10u);
  EXPECT_EQ(names[0], "Name");
  EXPECT_EQ(names[1], "Tag");
  EXPECT_EQ(names[2], "Left");
  EXPECT_EQ(names[9], "Align");
  EXPECT_EQ(names.back(), "OnPing");
}

TEST_F(RttiTest, EventsRememberPublishedMethodNames) {
  TTestForm form(nullptr);
  TNotifyEvent e(&form, &TTestForm::Button1Click);
  EXPECT_EQ(e.MethodName(), "Button1Click");
  EXPECT_EQ(e.Data(), &form);
  TNotifyEvent same(&form, &TTestForm::Button1Click);
  TNotifyEvent other(&form, &TTestForm::FormCreate);
  EXPECT_TRUE(e == same);
  EXPECT_FALSE(e == other);
  EXPECT_TRUE(TNotifyEvent() == TNotifyEvent(nullptr));
  e(nullptr);
  EXPECT_EQ(form.Clicks, 1);
}

// A form class of an application: it republishes one inherited handler and adds one of
// another event type.
class TTestFormChild : public TTestForm {
  FW_CLASS(TTestFormChild, TTestForm)
 public:
  using TTestForm::TTestForm;
  void FormCreate(TObject*) {}
  void PanelMouseDown(TObject*, TMouseButton, TShiftState, int, int) {}
};
FW_DEFINE_CLASS(TTestFormChild, [](TClassDef<TTestFormChild>& d) {
  d.Method("PanelMouseDown", &TTestFormChild::PanelMouseDown);
  d.Method("formcreate", &TTestFormChild::FormCreate);
})

TEST_F(RttiTest, PublishedMethodsListInheritedFirstWithTheEventTypeEachFits) {
  const TMetaClass& cls = TTestFormChild::StaticClass();
  std::vector<std::string> names;
  for (const TMethodInfo* m : cls.Methods()) names.push_back(m->Name);
  // The republished handler keeps its inherited place under its new spelling.
  EXPECT_EQ(names, (std::vector<std::string>{"Button1Click", "formcreate", "WidgetPing",
                                             "PanelMouseDown"}));
  EXPECT_EQ(cls.Methods()[1], cls.FindMethod("FormCreate"));
  EXPECT_EQ(TTestForm::StaticClass().Methods().size(), 3u);

  // A method fits the event properties of its own signature, and only those.
  TPanel panel(nullptr);
  const TTypeInfo* onClick = FindPropInfo(panel, "OnClick").Type;
  const TTypeInfo* onMouseDown = FindPropInfo(panel, "OnMouseDown").Type;
  EXPECT_NE(onClick, onMouseDown);
  EXPECT_EQ(cls.FindMethod("Button1Click")->Type, onClick);
  EXPECT_EQ(cls.FindMethod("PanelMouseDown")->Type, onMouseDown);
  EXPECT_EQ(onClick, &TypeOf<TNotifyEvent>());
  EXPECT_EQ(onClick->Kind, tkMethod);
  EXPECT_EQ(onClick->Name, "TEvent<TObject*>");
}

// Controls carry many events that are seldom assigned; an empty one must stay small, and
// a plain callable equals only copies of its own assignment.
TEST_F(RttiTest, EventsAreSmallAndPlainCallablesEqualOnlyTheirCopies) {
  static_assert(sizeof(TNotifyEvent) <= 2 * sizeof(void*));
  int calls = 0;
  TNotifyEvent a(TNotifyEvent::TFunc([&](TObject*) { ++calls; }));
  TNotifyEvent copy = a;
  TNotifyEvent b(TNotifyEvent::TFunc([&](TObject*) { ++calls; }));
  EXPECT_TRUE(a == copy);
  EXPECT_FALSE(a == b);
  EXPECT_FALSE(a == TNotifyEvent());
  EXPECT_FALSE(TNotifyEvent(TNotifyEvent::TFunc()).Assigned());
  copy(nullptr);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(a.MethodName(), "");
}

TEST_F(RttiTest, RandomIsUniformBelowTheBoundAndRepeatsWithTheTestSeed) {
  Randomize();
  std::vector<int> first;
  for (int i = 0; i < 50; ++i) first.push_back(Random(1000000000));
  Randomize();
  for (int i = 0; i < 50; ++i) EXPECT_EQ(Random(1000000000), first[i]);
  int counts[4] = {};
  for (int i = 0; i < 4000; ++i) {
    int r = Random(4);
    ASSERT_GE(r, 0);
    ASSERT_LT(r, 4);
    ++counts[r];
  }
  for (int c : counts) EXPECT_GT(c, 800);
  EXPECT_EQ(Random(0), 0);
}

}  // namespace
}  // namespace fwtest

namespace fwtest {
namespace {

TEST_F(RttiTest, TextValuesAreSetByNameWithoutRegardToCaseAndSettersRun) {
  TTestWidget w(nullptr);
  SetPropText(w, "cOUNT", " 12 ");
  EXPECT_EQ(w.Count(), 12);
  EXPECT_EQ(w.SetterCalls, 1);
  SetPropText(w, "armed", "TRUE");
  EXPECT_TRUE(w.Armed());
  SetPropText(w, "Mode", "TMA");
  EXPECT_EQ(GetPropText(w, "mode"), "tmA");
  SetPropText(w, "flags", "[ TFTWO ]");
  EXPECT_EQ(GetPropText(w, "Flags"), "[tfTwo]");
  SetPropText(w, "Flags", "[]");
  EXPECT_EQ(GetSetProp(w, "Flags"), "[]");
  SetPropText(w, "Ratio", "0.25");
  EXPECT_DOUBLE_EQ(GetFloatProp(w, "RATIO"), 0.25);
  SetPropText(w, "Cursor", "crhandpoint");
  EXPECT_EQ(w.Cursor(), crHandPoint);
  EXPECT_EQ(GetPropText(w, "Cursor"), "crHandPoint");
  SetPropText(w, "Tint", "$FF");
  EXPECT_EQ(w.Tint(), clRed);
  EXPECT_EQ(GetPropText(w, "Tint"), "clRed");
  EXPECT_THROW(SetPropText(w, "Ratio", "1.5x"), EPropertyError);
  EXPECT_THROW(SetPropText(w, "Armed", "maybe"), EPropertyError);
  EXPECT_THROW(SetPropText(w, "Font", "x"), EPropertyError);
  EXPECT_DOUBLE_EQ(w.Ratio(), 0.25);
}

TEST_F(RttiTest, AComponentPropertyIsSetByNameAndChecksTheClass) {
  TTestForm form(nullptr);
  auto* label = new TLabel(&form);
  auto* edit = new TEdit(&form);
  SetObjectProp(*label, "focuscontrol", edit);
  EXPECT_EQ(label->FocusControl(), edit);
  EXPECT_THROW(SetObjectProp(*label, "FocusControl", label), EPropertyError);  // not windowed
  EXPECT_EQ(label->FocusControl(), edit);
  SetObjectProp(*label, "FocusControl", nullptr);
  EXPECT_EQ(GetObjectProp(*label, "FocusControl"), nullptr);
}

TEST_F(RttiTest, ContainersAreReachedByClassNameAndPropertyNameAlone) {
  // How the grab handler finds a container: class registry by name, then RTTI by name.
  TComponent owner(nullptr);
  const TMetaClass* cls = GetClass("TTESTWIDGET");
  ASSERT_NE(cls, nullptr);
  TComponent* c = cls->Create(&owner);
  EXPECT_TRUE(IsPublishedProp(*c, "ARMED"));
  EXPECT_FALSE(IsPublishedProp(*c, "GRABBORDER"));
  SetOrdProp(*c, "ARMED", 1);
  EXPECT_EQ(GetOrdProp(*c, "Armed"), 1);
  EXPECT_EQ(GetPropInfo(*c, "armed")->Name, "Armed");
  EXPECT_TRUE(c->ClassType().InheritsFrom(TWinControl::StaticClass()));
  EXPECT_FALSE(TWinControl::StaticClass().InheritsFrom(c->ClassType()));
}

}  // namespace
}  // namespace fwtest
