// Storing a form with a tri-pane and reading it back: the panes are the tri-pane's
// children with their roles in Tag, and they replace the panes the constructor made.
#include "TriPaneFixture.h"
#include "framework/classes/Filer.h"

#include <limits>

namespace tessapack::test {
namespace {

using namespace framework;

class TriPaneStream : public TriPaneFixture {
 protected:
  // A tri-pane with a control in each pane and a few properties off their defaults.
  void Fill() {
    Tri->FSetAlign(mnLeft);
    Tri->ChangePopSize(70);
    Tri->SetStripeColor(clRed);
    Tri->SlideIncrement = 2.5f;
    auto* b = new TButton(Form.get());
    b->SetName("Button1");
    b->SetParent(Tri->HeaderPane());
    auto* e = new TEdit(Form.get());
    e->SetName("Edit1");
    e->SetParent(Tri->ClientPane());
    auto* l = new TLabel(Form.get());
    l->SetName("Label1");
    l->SetCaption("Menu");
    l->SetParent(Tri->MenuPane());
  }
  TTriPane* Load(TForm& form, const std::string& text) {
    ReadComponentFromText(text, &form);
    return dynamic_cast<TTriPane*>(form.FindComponent("TriPane1"));
  }
};

// A stored size at the ends of the integer range is held to what a control can measure, on
// every edge, so reading and opening the menu do no arithmetic that overflows.
TEST_F(TriPaneStream, ExtremePopOpenSizesAreHeldWithinControlCoordinates) {
  for (TMenuAlignment edge : {mnLeft, mnRight, mnTop, mnBottom}) {
    for (int size : {std::numeric_limits<int>::max(), std::numeric_limits<int>::min()}) {
      Make(edge);
      Tri->ChangePopSize(size);
      const std::string text = WriteComponentToText(*Form);
      TForm form(nullptr);
      TTriPane* read = Load(form, text);
      ASSERT_NE(read, nullptr);
      EXPECT_EQ(read->PopOpenSize(), size > 0 ? MaxControlCoord : -MaxControlCoord);
      read->PopOpen();
    }
  }
}

TEST_F(TriPaneStream, StoredFormHoldsThePanesWithTheirRoles) {
  Make(mnRight, true);
  Fill();
  const std::string text = WriteComponentToText(*Form);
  const std::string n = Tri->ClientPane()->Name().substr(std::string("TriPane1__client__").size());
  // Header, client, menu in this order, each with its Tag; the stripe is never stored.
  size_t h = text.find("object TriPane1__header__" + n + ": TMPPane");
  size_t c = text.find("object TriPane1__client__" + n + ": TMPPane");
  size_t m = text.find("object TriPane1__menu__" + n + ": TMPPane");
  ASSERT_NE(h, std::string::npos) << text;
  ASSERT_NE(c, std::string::npos);
  ASSERT_NE(m, std::string::npos);
  EXPECT_LT(h, c);
  EXPECT_LT(c, m);
  EXPECT_NE(text.find("Tag = 1", h), std::string::npos);
  EXPECT_LT(text.find("Tag = 2", h), m);
  EXPECT_NE(text.find("Tag = 3", m), std::string::npos);
  for (const char* name : {"align = alTop", "align = alClient", "align = alLeft", "bevelOuter = bvNone"})
    EXPECT_NE(text.find(name), std::string::npos) << name;
  EXPECT_EQ(text.find("Align = alTop"), std::string::npos) << "property names keep their case";
  EXPECT_EQ(text.find(": TPanel"), std::string::npos) << text;
  EXPECT_LT(text.find("object Button1: TButton"), c);
  EXPECT_LT(text.find("object Edit1: TEdit"), m);
  EXPECT_GT(text.find("object Label1: TLabel"), m);
}

TEST_F(TriPaneStream, LoadingReplacesTheConstructorsPanesAndRoundTrips) {
  Make(mnRight, true);
  Fill();
  const std::string text = WriteComponentToText(*Form);

  TForm copy(nullptr);
  TTestDesigner designer(&copy);
  TTriPane* t = Load(copy, text);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->ComponentCount(), 4) << "three panes and the stripe";
  EXPECT_EQ(t->HeaderPane()->Name(), Tri->HeaderPane()->Name());
  EXPECT_EQ(t->ClientPane()->Name(), Tri->ClientPane()->Name());
  EXPECT_EQ(t->MenuPane()->Name(), Tri->MenuPane()->Name());
  EXPECT_EQ(t->ActivePane(), t->ClientPane());
  EXPECT_TRUE(t->ClientPane()->Active);
  EXPECT_EQ(copy.FindComponent("Button1")->Owner(), &copy);
  EXPECT_EQ(dynamic_cast<TControl*>(copy.FindComponent("Button1"))->Parent(), t->HeaderPane());
  EXPECT_EQ(dynamic_cast<TControl*>(copy.FindComponent("Edit1"))->Parent(), t->ClientPane());
  EXPECT_EQ(dynamic_cast<TControl*>(copy.FindComponent("Label1"))->Parent(), t->MenuPane());
  EXPECT_EQ(t->AlignMenu(), mnLeft);
  EXPECT_EQ(t->PopOpenSize(), 70);
  EXPECT_FLOAT_EQ(t->SlideIncrement, 2.5f);
  // The stripe lies inside the menu pane again.
  EXPECT_EQ(BoundsOf(t->MenuPane()), Bounds(0, 10, 70, 190));
  EXPECT_EQ(BoundsOf(t->Stripe()), Bounds(70, 10, 3, 190));
  EXPECT_EQ(WriteComponentToText(copy), text);
  copy.SetDesigner(nullptr);
}

// With a fixed seed the loaded tri-pane draws the suffix that the stored panes carry.
TEST_F(TriPaneStream, StoredPanesMayBearTheNamesTheConstructorDrew) {
  SetRandomTestSeed(99);
  Make();
  Fill();
  const std::string text = WriteComponentToText(*Form);
  TForm copy(nullptr);
  TTriPane* t = Load(copy, text);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->ComponentCount(), 4);
  EXPECT_EQ(t->ClientPane()->Name(), Tri->ClientPane()->Name());
  EXPECT_EQ(WriteComponentToText(copy), text);
}

TEST_F(TriPaneStream, LoadedAtRunTimeTheMenuIsHiddenAndTheControlsAreHooked) {
  Make(mnRight, true);
  auto* e = new TEdit(Form.get());
  e->SetName("Edit1");
  e->SetParent(Tri->ClientPane());
  e->SetBounds(200, 50, 40, 20);
  const std::string text = WriteComponentToText(*Form);

  TForm copy(nullptr);
  copy.SetBounds(0, 0, 400, 300);
  TTriPane* t = Load(copy, text);
  ASSERT_NE(t, nullptr);
  copy.Show();
  EXPECT_FALSE(t->MenuPane()->Visible());
  EXPECT_EQ(t->LastPos(), 300 - 55);
  auto* edit = dynamic_cast<TEdit*>(copy.FindComponent("Edit1"));
  EXPECT_EQ(edit->OnMouseMove, TMouseMoveEvent(t, &TTriPane::TrackforOpen));
  EXPECT_NE(HookedControls().IndexOf(edit), -1);
  EXPECT_NE(HookedControls().IndexOf(t->ClientPane()), -1);
  EXPECT_EQ(t->HeaderPane()->OnMouseMove, TMouseMoveEvent(t, &TTriPane::TrackforClose));

  // The edit reaches into the band (client width 297, proximity 10) slowly.
  headless::MouseMove(*edit, 35, 5);  // 235
  headless::MouseMove(*edit, 39, 5);  // 239: outside the band
  EXPECT_FALSE(t->Popped());
  t->Proximity = 70;
  headless::MouseMove(*edit, 39, 6);  // sideways: not towards the edge
  EXPECT_FALSE(t->Popped());
  headless::MouseMove(*edit, 38 + 5, 6);
  EXPECT_TRUE(t->Popped());
  EXPECT_EQ(edit->OnMouseMove, TMouseMoveEvent(t, &TTriPane::TrackforClose));
  headless::MouseMove(*edit, 10, 6);
  EXPECT_FALSE(t->Popped());

  // Destroyed controls leave the shared list.
  TComponent* gone = edit;
  delete edit;
  EXPECT_EQ(HookedControls().IndexOf(gone), -1);
}

TEST_F(TriPaneStream, ReadingBadTextFailsCleanly) {
  Make();
  std::string text = WriteComponentToText(*Form);
  text.replace(text.find("TMPPane"), 7, "TNoSuch");
  TForm copy(nullptr);
  EXPECT_THROW(ReadComponentFromText(text, &copy), EReadError);
}

}  // namespace
}  // namespace tessapack::test
