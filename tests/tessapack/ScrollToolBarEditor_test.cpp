// The placement dialog, the property editor of ComponentsInfo and the toolbar's component
// editor, at design time with the test designer: previews stand for the controls, a click
// on one selects that control's entry, and every change moves the control on the form.
#include "ScrollToolBarFixture.h"
#include "framework/widgetset/headless/HeadlessInput.h"
#include "framework/widgetset/headless/HeadlessWidgetSet.h"
#include "tessapack/ScrollToolBarEf.h"

namespace tessapack::test {
namespace {

using namespace framework;

class ScrollToolBarEditor : public ScrollToolBarFixture {
protected:
  void TearDown() override {
    delete Dialog;
    Dialog = nullptr;
    Headless()->SetModalScript(nullptr);
    Application().OnException = nullptr;
    ScrollToolBarFixture::TearDown();
  }
  // The dialog for the toolbar, shown (modeless) so that it takes clicks and keys.
  TScrollEdit *Open() {
    Dialog = MakeScrollEdit(Bar);
    Dialog->Show();
    Application().ProcessMessages();
    return Dialog;
  }
  // A left click in the middle of preview k.
  static void ClickPreview(TScrollEdit *d, int k) {
    TControl *p = d->Previews().at(k);
    headless::Click(*p, p->Width() / 2, p->Height() / 2);
  }

  TScrollEdit *Dialog = nullptr;
};

TEST_F(ScrollToolBarEditor, AVerticalToolbarGivesStackedPreviewsThatSelectTheirControl) {
  Make(4, 40, 200, true, scVert);
  Panel(3)->SetCaption("third");
  Panel(3)->SetColor(clRed);
  TScrollEdit *d = Open();
  EXPECT_EQ(d->Caption(), "Edit Component Location Properties");
  ASSERT_EQ(d->Previews().size(), 4u);
  const int quarter = d->Panel1->Height() / 4;
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(d->Previews()[k]->Top(), quarter * k);
    EXPECT_EQ(d->Previews()[k]->Height(), quarter);
    EXPECT_EQ(d->Previews()[k]->ClassType().ClassName(), "TPanel");
  }
  EXPECT_EQ(d->Previews()[2]->Caption(), "third");
  EXPECT_EQ(d->Previews()[2]->Color(), clRed);
  EXPECT_EQ(d->RadioGroup1->Items()->Strings(1), "Left");
  EXPECT_FALSE(d->Edit1->Enabled());

  ClickPreview(d, 2);
  EXPECT_EQ(d->SelectedIndex, 2);
  EXPECT_EQ(d->Label1->Caption(), "Name: P3");
  EXPECT_TRUE(d->Edit1->Enabled());
  EXPECT_TRUE(d->RadioGroup1->Enabled());
  EXPECT_EQ(d->Edit1->Color(), clWhite);
  EXPECT_EQ(d->Edit1->Text(), "0");
  EXPECT_GT(d->Label1->Width(), d->Label2->Width()) << "labels follow their text";
}

TEST_F(ScrollToolBarEditor, EveryChangeMovesTheControlOnTheFormAtOnce) {
  Make(3, 300, 30, true);
  TScrollEdit *d = Open();
  EXPECT_EQ(d->RadioGroup1->Items()->Strings(1), "Top");
  EXPECT_EQ(d->RadioGroup1->Items()->Strings(2), "Bottom");
  ASSERT_EQ(d->Previews().size(), 3u);
  EXPECT_EQ(d->Previews()[1]->Left(), d->Panel1->Width() / 3);
  ClickPreview(d, 1);
  ASSERT_EQ(d->Label1->Caption(), "Name: P2");
  ASSERT_EQ(Panel(2)->Top(), 0);

  d->Edit1->SetFocus();
  d->Edit1->SetText("5");
  EXPECT_TRUE(headless::PressKey(VK_RETURN)); // the invisible default button
  Application().ProcessMessages();
  EXPECT_EQ(Bar->ComponentsInfo()->Find(Panel(2))->CompPad, 5);
  EXPECT_EQ(Panel(2)->Top(), 5);
  EXPECT_EQ(Panel(2)->Height(), 20);
  EXPECT_TRUE(d->Visible()) << "Enter keeps the dialog open";

  d->RadioGroup1->SetItemIndex(2); // "Bottom"
  Application().ProcessMessages();
  EXPECT_EQ(Bar->ComponentsInfo()->Find(Panel(2))->Justify, scBottomRight);
  EXPECT_EQ(Panel(2)->Height(), 25);

  // Another preview commits the pad typed for the first.
  d->Edit1->SetText("7");
  ClickPreview(d, 0);
  Application().ProcessMessages();
  EXPECT_EQ(Bar->ComponentsInfo()->Find(Panel(2))->CompPad, 7);
  EXPECT_EQ(d->Label1->Caption(), "Name: P1");
  d->Edit1->SetText("2");
  headless::Click(*d->ok, 5, 5);
  Application().ProcessMessages();
  EXPECT_EQ(Panel(1)->Top(), 2);
  EXPECT_FALSE(d->Visible());
}

TEST_F(ScrollToolBarEditor, APadThatIsNoNumberIsReportedAndKeepsTheEntry) {
  Make(2, 300, 30, true);
  std::vector<std::string> reports;
  Application().OnException = [&](const std::exception &e) { reports.push_back(e.what()); };
  TScrollEdit *d = Open();
  ClickPreview(d, 0);
  d->Edit1->SetText("4x");
  d->Button1Click(nullptr);
  EXPECT_EQ(reports.size(), 1u);
  EXPECT_EQ(Bar->ComponentsInfo()->Find(Panel(1))->CompPad, 0);
  d->okClick(nullptr);
  EXPECT_TRUE(d->Visible()) << "OK with a bad pad keeps the dialog open";
  d->Edit1->SetText("");
  d->okClick(nullptr);
  EXPECT_FALSE(d->Visible());
}

TEST_F(ScrollToolBarEditor, WithNothingSelectedClicksAndEnterDoNothingAndEscapeCloses) {
  Make(0, 300, 30, true);
  TScrollEdit *d = Open();
  EXPECT_TRUE(d->Previews().empty());
  headless::Click(*d->Panel1, 10, 10);
  EXPECT_EQ(d->SelectedIndex, -1);
  EXPECT_EQ(d->Label1->Caption(), "None selected");
  d->FocusControl(nullptr); // Enter goes to the default button
  headless::PressKey(VK_RETURN);
  EXPECT_EQ(d->SelectedIndex, -1);
  EXPECT_TRUE(d->Visible());
  EXPECT_TRUE(Application().Queue().Empty());
  headless::PressKey(VK_ESCAPE);
  EXPECT_FALSE(d->Visible());
}

// Preview k shows control k; its entry is the control's wherever it lies in the list, and
// a control without one gets a default entry.
TEST_F(ScrollToolBarEditor, APreviewMapsToTheEntryOfTheControlItShows) {
  Make(3, 300, 30, true);
  Bar->ComponentsInfo()->Exchange(0, 2);
  Bar->ComponentsInfo()->Free(1); // P2's entry
  Bar->ComponentsInfo()->Find(Panel(3))->CompPad = 3;
  TScrollEdit *d = Open();
  ClickPreview(d, 2);
  EXPECT_EQ(d->Label1->Caption(), "Name: P3");
  EXPECT_EQ(d->Edit1->Text(), "3");
  ClickPreview(d, 1);
  EXPECT_EQ(d->Label1->Caption(), "Name: P2");
  ASSERT_NE(Bar->ComponentsInfo()->Find(Panel(2)), nullptr);
  EXPECT_EQ(d->SelectedEntry(), Bar->ComponentsInfo()->Find(Panel(2)));
  EXPECT_EQ(Bar->ComponentsInfo()->Count(), 3);
  EXPECT_EQ(d->SelectedEntry()->CompName, "P2");
  // A click below the last preview still means the last; outside the strip, nothing.
  const TPoint origin = d->Panel1->ClientToParent({0, 0}, d);
  EXPECT_EQ(d->PreviewAt({origin.X + d->Panel1->Width() - 1, origin.Y + 5}), 2);
  EXPECT_EQ(d->PreviewAt({origin.X - 1, origin.Y + 5}), -1);
}

TEST_F(ScrollToolBarEditor, TheDialogIsCentredOnTheDesignersWindow) {
  Make(1, 300, 30, true);
  Form->SetBounds(100, 50, 640, 480);
  TScrollEdit *d = Open();
  EXPECT_EQ(d->Left(), 100 + (640 - d->Width()) / 2);
  EXPECT_EQ(d->Top(), 50 + (480 - d->Height()) / 2);
  EXPECT_EQ(d->Font().Name(), TFont().Name()) << "the framework's own font";
}

TEST_F(ScrollToolBarEditor, ThePropertyEditorShowsTheListAndRunsTheDialog) {
  Make(2, 300, 30, true);
  auto editors = Designer->GetPropertyEditors(Bar);
  TPropertyEditor *info = nullptr;
  for (auto &e : editors)
    if (e->GetName() == "ComponentsInfo")
      info = e.get();
  ASSERT_NE(dynamic_cast<TScrollTBProperty *>(info), nullptr);
  EXPECT_EQ(info->GetValue(), "(TScrollComponentPlacement)");
  EXPECT_TRUE(info->GetAttributes().Contains(paDialog));

  int runs = 0;
  Headless()->SetModalScript([&](TCustomForm &form) {
    ++runs;
    auto &d = dynamic_cast<TScrollEdit &>(form);
    ClickPreview(&d, 1);
    d.Edit1->SetText("6");
    d.okClick(nullptr);
  });
  const int modified = Designer->ModifiedCount;
  info->Edit();
  Application().ProcessMessages();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(Designer->ModifiedCount, modified + 1);
  EXPECT_EQ(Panel(2)->Top(), 6);
}

TEST_F(ScrollToolBarEditor, TheVerbsRunTheDialogAndRealign) {
  Make(2, 300, 30, true);
  auto editor = GetComponentEditor(Bar, Designer.get());
  ASSERT_NE(dynamic_cast<TScrollToolBarEditor *>(editor.get()), nullptr);
  ASSERT_EQ(editor->GetVerbCount(), 2);
  EXPECT_EQ(editor->GetVerb(0), "Components Info");
  EXPECT_EQ(editor->GetVerb(1), "Realign");

  std::string title;
  Headless()->SetModalScript([&](TCustomForm &form) {
    title = form.Caption();
    form.SetModalResult(mrOk);
  });
  editor->ExecuteVerb(0);
  EXPECT_EQ(title, "Edit Component Location Properties");

  Panel(1)->SetBounds(0, 0, 5, 5);
  editor->ExecuteVerb(1);
  EXPECT_EQ(Panel(1)->Width(), 145); // (300 - 10) div 2
}

} // namespace
} // namespace tessapack::test
