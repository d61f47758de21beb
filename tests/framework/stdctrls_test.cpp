// Standard controls the main window and the placement dialog use, dialogs and the
// form-state store.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "TestSupport.h"
#include "framework/classes/IniFiles.h"
#include "framework/controls/ComCtrls.h"
#include "framework/controls/Dialogs.h"
#include "framework/controls/FormStorage.h"
#include "framework/controls/Grids.h"
#include "framework/controls/StdCtrls.h"
#include "framework/controls/ToolEdits.h"
#include "framework/widgetset/headless/HeadlessInput.h"

using namespace framework;

namespace fwtest {
namespace {

using StdCtrlsTest = FrameworkTest;

TEST(StripHotkey, ResolvesAcceleratorMarkersAndLiteralAmpersands) {
  const std::pair<const char*, const char*> cases[] = {
      {"&File", "File"},
      {"Save &As", "Save As"},
      {"R&&D", "R&D"},
      {"&&&x", "&x"},
      {"end&", "end"},
      {"", ""},
      {"caf\xc3\xa9 &\xc3\xa9t\xc3\xa9", "caf\xc3\xa9 \xc3\xa9t\xc3\xa9"},
  };
  for (const auto& [caption, shown] : cases) EXPECT_EQ(StripHotkey(caption), shown) << caption;
}

TEST_F(StdCtrlsTest, SpeedButtonShowsItsCaptionWithoutAcceleratorMarkers) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 100);
  auto* b = new TSpeedButton(&form);
  b->SetName("B");
  b->SetBounds(0, 0, 120, 22);
  b->SetCaption("R&&D &Menu");
  b->SetParent(&form);
  form.Show();
  WS().ClearPaintLog();
  form.Repaint();
  std::vector<std::string> texts;
  for (const TPaintOp& op : WS().PaintOpsOf("B"))
    if (op.Op == "TextOut") texts.push_back(op.Text);
  EXPECT_EQ(texts, std::vector<std::string>{"R&D Menu"});
}

TEST_F(StdCtrlsTest, RightJustifiedAutoSizeLabelKeepsItsRightEdge) {
  TForm form(nullptr);
  auto* l = new TLabel(&form);
  l->SetParent(&form);
  l->SetAlignment(taRightJustify);
  l->SetBounds(13, 116, 80, 13);  // right edge at 93
  l->SetCaption("7");
  EXPECT_EQ(l->Left() + l->Width(), 93);
  EXPECT_EQ(l->Width(), 6);
  l->SetCaption("1234");
  EXPECT_EQ(l->Left() + l->Width(), 93);
  EXPECT_EQ(l->Width(), 24);
}

TEST_F(StdCtrlsTest, EditFiresOnChangeForEveryTextChangeButNotWhileLoading) {
  std::unique_ptr<TComponent> f(ReadComponentFromText(
      "object F: TForm\n  object E: TEdit\n    Text = 'loaded'\n  end\nend\n"));
  auto* e = dynamic_cast<TEdit*>(f->FindComponent("E"));
  int changes = 0;
  e->OnChange = TNotifyEvent([&](TObject*) { ++changes; });
  EXPECT_EQ(e->Text(), "loaded");
  e->SetText("C:\\out");
  e->SetText("C:\\out");  // unchanged: no event
  e->SetText("");
  EXPECT_EQ(changes, 2);
}

TEST_F(StdCtrlsTest, RadioGroupItemsIndexAndClicks) {
  TForm form(nullptr);
  auto* g = new TRadioGroup(&form);
  g->SetParent(&form);
  g->SetBounds(8, 84, 129, 81);
  g->Items()->SetDelimitedText("Centered|Left|Right", '|');
  int clicks = 0;
  g->OnClick = TNotifyEvent([&](TObject*) { ++clicks; });
  g->SetItemIndex(5);
  EXPECT_EQ(g->ItemIndex(), 2);  // clamped
  form.Show();
  TRect r = g->ItemRect(1);
  headless::MouseDown(*g, r.Left + 3, r.Top + 3);
  EXPECT_EQ(g->ItemIndex(), 1);
  EXPECT_EQ(clicks, 2);
  g->Items()->SetString(1, "Top");
  EXPECT_EQ(g->Items()->Strings(1), "Top");
}

TEST_F(StdCtrlsTest, ProgressAndStatusBars) {
  TForm form(nullptr);
  auto* pg = new TProgressBar(&form);
  pg->SetPosition(150);
  EXPECT_EQ(pg->Position(), 100);
  pg->SetPosition(-3);
  EXPECT_EQ(pg->Position(), 0);
  pg->SetStep(1);
  pg->StepIt();
  EXPECT_EQ(pg->Position(), 1);
  auto* sb = new TStatusBar(&form);
  sb->SetName("SB");
  sb->SetParent(&form);
  EXPECT_EQ(sb->Align(), alBottom);
  sb->SetSimplePanel(true);
  sb->AddPanel()->SetWidth(50);
  sb->SetSimpleText("Time Taken: 00:00:01");
  form.Show();
  Application().ProcessMessages();
  bool shown = false;
  for (const auto& op : WS().PaintOpsOf("SB")) shown = shown || op.Text == "Time Taken: 00:00:01";
  EXPECT_TRUE(shown);
}

TEST_F(StdCtrlsTest, GridHeadersColoursWidthsAndReadOnlyColumns) {
  TForm form(nullptr);
  form.SetName("F");
  auto* g = new TStringGrid(&form);
  g->SetName("ngSymtab");
  g->SetParent(&form);
  g->SetColCount(4);
  g->SetRowCount(20);
  g->SetFixedCols(0);
  g->SetHeaders("Unit/Location|Class|Identifier|Type");
  g->SetFixedColor(RGB(255, 255, 225));
  g->SetAlternateColor(RGB(192, 220, 192));
  const int widths[] = {146, 132, 121, 116};
  for (int c = 0; c < 4; ++c) g->SetColWidth(c, widths[c]);
  g->SetColReadOnly(2, true);
  EXPECT_EQ(g->Cells(2, 0), "Identifier");
  EXPECT_EQ(g->CellColor(1, 0), RGB(255, 255, 225));
  EXPECT_EQ(g->CellColor(1, 1), clWindow);
  EXPECT_EQ(g->CellColor(1, 2), RGB(192, 220, 192));
  EXPECT_TRUE(g->ColReadOnly(2));
  EXPECT_THROW(g->Cells(4, 0), EListError);
  std::string text = WriteComponentToText(form);
  EXPECT_NE(text.find("ColWidths = (\n      146\n      132\n      121\n      116)"), std::string::npos);
  std::unique_ptr<TComponent> copy(ReadComponentFromText(text));
  auto* g2 = dynamic_cast<TStringGrid*>(copy->FindComponent("ngSymtab"));
  EXPECT_EQ(g2->ColWidths(3), 116);
  EXPECT_EQ(g2->Headers(), "Unit/Location|Class|Identifier|Type");
}

TEST_F(StdCtrlsTest, DialogsAreAnsweredFromTheScript) {
  EXPECT_EQ(MessageDlg("Sure?", mtConfirmation, {mbYes, mbNo}), mrYes);  // first button
  WS().PushMessageAnswer(mrNo);
  EXPECT_EQ(MessageDlg("Sure?", mtConfirmation, {mbYes, mbNo}), mrNo);
  EXPECT_EQ(WS().DialogLog().size(), 2u);

  TForm form(nullptr);
  auto* fe = new TFilenameEdit(&form);
  fe->Filter = "Delphi Project (*.dpr)|*.dpr";
  fe->DialogOptions = {ofHideReadOnly, ofPathMustExist, ofFileMustExist};
  std::string changed;
  fe->OnChange = TNotifyEvent([&](TObject*) { changed = fe->Text(); });
  WS().PushFileAnswer("/tmp/Demo.dpr");
  fe->Button()->Click();
  EXPECT_EQ(changed, "/tmp/Demo.dpr");
  EXPECT_EQ(WS().LastFileRequest().Filter, "Delphi Project (*.dpr)|*.dpr");
  EXPECT_TRUE(WS().LastFileRequest().MustExist);
  fe->Button()->Click();  // cancelled: nothing changes
  EXPECT_EQ(fe->Text(), "/tmp/Demo.dpr");

  auto* de = new TDirectoryEdit(&form);
  de->OnBeforeDialog = TExecOpenDialogEvent([](TObject*, std::string& name, bool&) { name = "/start/here"; });
  WS().PushDirectoryAnswer("/chosen");
  de->Button()->Click();
  EXPECT_EQ(WS().LastDirectoryRequest().Directory, "/start/here");
  EXPECT_EQ(de->Text(), "/chosen");
  de->SetAcceptFiles(true);
  de->DropFiles({"/dropped", "/other"});
  EXPECT_EQ(de->Text(), "/dropped");
}

TEST_F(StdCtrlsTest, ShowModalRunsUntilAButtonSetsTheResult) {
  TForm dialog(nullptr);
  dialog.SetPosition(poScreenCenter);
  dialog.SetBounds(0, 0, 449, 388);
  auto* ok = new TButton(&dialog);
  ok->SetParent(&dialog);
  ok->SetModalResult(mrOk);
  WS().SetModalScript([&](TCustomForm& f) {
    EXPECT_EQ(&f, &dialog);
    EXPECT_TRUE(f.Visible());
    headless::Click(*ok, 5, 5);
  });
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_FALSE(dialog.Visible());
  EXPECT_EQ(dialog.Left(), (1024 - 449) / 2);
  EXPECT_EQ(dialog.Top(), (768 - 388) / 2);
  WS().SetModalScript(nullptr);
  EXPECT_EQ(dialog.ShowModal(), mrCancel);  // nothing answered: cancelled, not hung
}

TEST_F(StdCtrlsTest, FormStorageKeepsTextsBetweenRuns) {
  std::string dir = ::testing::TempDir() + "fw_storage_test";
  std::filesystem::remove_all(dir);
  std::string ini = dir + "/sub/app.ini";
  auto makeForm = [&](TForm*& form, TEdit*& edit) {
    form = new TForm(nullptr);
    form->SetName("Form1");
    edit = new TEdit(form);
    edit->SetName("edtDefines");
    edit->SetParent(form);
    auto* store = new TFormStorage(form);
    store->IniFileName = ini;
    store->Options = {};
    store->StoredProps()->Add("edtDefines.Text");
    store->StoredProps()->Add("Missing.Text");
  };
  TForm* form;
  TEdit* edit;
  makeForm(form, edit);
  form->Show();
  edit->SetText("DEBUG;\"WIN32\"\nx");
  form->Close();
  delete form;
  std::string seen;
  makeForm(form, edit);
  edit->OnChange = TNotifyEvent([&](TObject*) { seen = edit->Text(); });
  form->Show();  // restores, and the change handler runs
  EXPECT_EQ(edit->Text(), "DEBUG;\"WIN32\"\nx");
  EXPECT_EQ(seen, edit->Text());
  delete form;
  TIniFile file(ini);
  EXPECT_EQ(file.ReadString("TForm", "edtDefines.Text", ""), "DEBUG;\"WIN32\"\nx");
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace fwtest
