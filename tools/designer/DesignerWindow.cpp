#include "tools/designer/DesignerWindow.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "framework/base/StrUtils.h"
#include "framework/classes/Filer.h"
#include "framework/controls/Dialogs.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/design/DesignIntf.h"
#include "framework/graphics/Bitmap.h"
#include "framework/graphics/Resources.h"

namespace tessapack::designer {

using namespace framework;

namespace {
constexpr int kCommandTop = 4;
constexpr int kPageTop = 36;
constexpr int kPaletteTop = 64;
constexpr int kPaletteButton = 30;
const char* const kFilter = "Form files (*.form)|*.form|All files|*";
}  // namespace

void PaletteBitmap(const TMetaClass& cls, TBitmap& bitmap) {
  std::string name = cls.ClassName();
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (FindResource(name)) {
    try {
      bitmap.LoadFromResourceName(name);
      return;
    } catch (const std::exception&) {
      // not a bitmap this program reads: drawn below
    }
  }
  // A framed tile in a colour of the class's own, so that neighbours differ.
  size_t hash = std::hash<std::string>()(cls.ClassName());
  TColor fill = RGB(120 + hash % 120, 120 + (hash >> 8) % 120, 120 + (hash >> 16) % 120);
  bitmap.SetSize(24, 24);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x) {
      bool frame = x == 2 || y == 2 || x == 21 || y == 21;
      bool inside = x > 2 && y > 2 && x < 21 && y < 21;
      bitmap.SetPixel(x, y, frame ? clBlack : inside ? fill : clBtnFace);
    }
}

FW_DEFINE_CLASS(TDesignerWindow)

TDesignerWindow::TDesignerWindow(TComponent* owner) : TForm(owner) {
  SetName("DesignerWindow");
  SetBounds(10, 10, 900, 150);
  FDesigner = new TFormDesigner();
  FInspector = new TInspector(this, FDesigner);
  const char* commands[] = {"New", "Open...", "Save", "Save As...", "Preview", "Undo"};
  int x = 4;
  for (const char* caption : commands) {
    auto* button = new TButton(this);
    button->SetParent(this);
    button->SetBounds(x, kCommandTop, 84, 26);
    button->SetCaption(caption);
    x += 88;
    FCommands.push_back(button);
  }
  FCommands[0]->OnClick = TNotifyEvent([this](TObject*) { NewFile(); });
  FCommands[1]->OnClick = TNotifyEvent([this](TObject*) { Open(); });
  FCommands[2]->OnClick = TNotifyEvent([this](TObject*) { Save(); });
  FCommands[3]->OnClick = TNotifyEvent([this](TObject*) { SaveAs(); });
  FCommands[4]->OnClick = TNotifyEvent([this](TObject*) { Preview(); });
  FCommands[5]->OnClick = TNotifyEvent([this](TObject*) {
    try {
      if (!FDesigner->Undo()) Report("Nothing to undo");
    } catch (const std::exception& e) {
      Report(std::string("Undo failed: ") + e.what());
    }
  });
  FStatus = new TLabel(this);
  FStatus->SetParent(this);
  FStatus->SetAutoSize(false);
  FStatus->SetAlign(alBottom);
  FStatus->SetHeight(20);
  FDesigner->OnChange = [this] { DesignerChanged(); };
  FDesigner->NewForm();
  RebuildPalette();
}

TDesignerWindow::~TDesignerWindow() {
  delete FPreview;
  FPreview = nullptr;
  FDesigner->OnChange = nullptr;
  // The inspector's editors point into the designed form: it goes first.
  delete FInspector;
  FInspector = nullptr;
  delete FDesigner;
}

void TDesignerWindow::ShowAll() {
  Show();
  FInspector->Show();
  ShowDesignedForm();
}

void TDesignerWindow::ShowDesignedForm() {
  // The designed form is a window of its own, shown with the designer's windows.
  TCustomForm* form = FDesigner->Form();
  if (!form || form == FShownForm || !Visible()) return;
  form->Show();
  FShownForm = form;
}

void TDesignerWindow::DesignerChanged() {
  std::string file = FDesigner->FileName().empty()
                         ? std::string("(new form)")
                         : std::filesystem::path(FDesigner->FileName()).filename().string();
  SetCaption("Tessa Designer - " + file + (FDesigner->IsModified() ? " (modified)" : ""));
  if (FPointer && !FDesigner->PlaceClass()) {
    FPointer->SetDown(true);
  }
  if (FInspector) FInspector->DesignerChanged();
  ShowDesignedForm();
}

void TDesignerWindow::Report(const std::string& text) { FStatus->SetCaption(text); }

TButton* TDesignerWindow::CommandButton(const std::string& caption) const {
  for (TButton* b : FCommands)
    if (SameText(b->Caption(), caption)) return b;
  return nullptr;
}

// ---- palette ---------------------------------------------------------------------------------

void TDesignerWindow::RebuildPalette() {
  FPages.clear();
  for (const TPaletteEntry& e : PaletteEntries())
    if (std::none_of(FPages.begin(), FPages.end(),
                     [&](const std::string& p) { return SameText(p, e.Page); }))
      FPages.push_back(e.Page);
  for (TSpeedButton* b : FPageButtons) delete b;
  FPageButtons.clear();
  int x = 4;
  for (const std::string& page : FPages) {
    auto* button = new TSpeedButton(this);
    button->SetParent(this);
    button->SetCaption(page);
    button->SetBounds(x, kPageTop, 96, 24);
    button->SetGroupIndex(1);
    button->OnClick = TNotifyEvent([this, page](TObject*) { ShowPage(page); });
    x += 98;
    FPageButtons.push_back(button);
  }
  std::string page = FPage;
  if (std::none_of(FPages.begin(), FPages.end(),
                   [&](const std::string& p) { return SameText(p, page); }))
    page = FPages.empty() ? std::string() : FPages.front();
  ShowPage(page);
}

void TDesignerWindow::ShowPage(const std::string& page) {
  FPage = page;
  for (TSpeedButton* b : FPageButtons) b->SetDown(SameText(b->Caption(), page));
  for (TSpeedButton* b : FPaletteButtons) delete b;
  FPaletteButtons.clear();
  delete FPointer;
  FPointer = new TSpeedButton(this);
  FPointer->SetParent(this);
  FPointer->SetCaption("Select");
  FPointer->SetHint("Select and move components");
  FPointer->SetShowHint(true);
  FPointer->SetBounds(4, kPaletteTop, 56, kPaletteButton);
  FPointer->SetGroupIndex(2);
  FPointer->SetDown(true);
  FPointer->OnClick = TNotifyEvent([this](TObject*) { FDesigner->SetPlaceClass(nullptr); });
  FDesigner->SetPlaceClass(nullptr);
  int x = 64;
  for (const TMetaClass* cls : PaletteClasses(page)) {
    auto* button = new TSpeedButton(this);
    button->SetParent(this);
    TBitmap bitmap;
    PaletteBitmap(*cls, bitmap);
    button->SetGlyph(&bitmap);
    button->SetHint(cls->ClassName());
    button->SetShowHint(true);
    button->SetBounds(x, kPaletteTop, kPaletteButton, kPaletteButton);
    button->SetGroupIndex(2);
    button->SetTag(static_cast<int>(FPaletteButtons.size()));
    button->OnClick = TNotifyEvent([this, button](TObject*) { PlaceButtonClicked(button); });
    x += kPaletteButton + 2;
    FPaletteButtons.push_back(button);
  }
}

void TDesignerWindow::PlaceButtonClicked(TSpeedButton* button) {
  const TMetaClass* cls = GetClass(button->Hint());
  FDesigner->SetPlaceClass(cls);
  if (cls) Report("Click on the form to place a " + cls->ClassName());
}

TSpeedButton* TDesignerWindow::PaletteButton(const std::string& className) const {
  for (TSpeedButton* b : FPaletteButtons)
    if (SameText(b->Hint(), className)) return b;
  return nullptr;
}

TSpeedButton* TDesignerWindow::PageButton(const std::string& page) const {
  for (TSpeedButton* b : FPageButtons)
    if (SameText(b->Caption(), page)) return b;
  return nullptr;
}

// ---- files -----------------------------------------------------------------------------------

void TDesignerWindow::NewFile() {
  FShownForm = nullptr;
  FDesigner->NewForm();
  Report("New form");
}

bool TDesignerWindow::OpenFile(const std::string& fileName) {
  try {
    FShownForm = nullptr;
    FDesigner->LoadFromFile(fileName);
    Report("Opened " + fileName);
    return true;
  } catch (const std::exception& e) {
    Report(e.what());
    return false;
  }
}

bool TDesignerWindow::SaveFile(const std::string& fileName) {
  try {
    FDesigner->SaveToFile(fileName);
    Report("Saved " + fileName);
    return true;
  } catch (const std::exception& e) {
    Report(e.what());
    return false;
  }
}

void TDesignerWindow::Open() {
  TOpenDialog dialog(nullptr);
  dialog.Title = "Open form";
  dialog.Filter = kFilter;
  dialog.Options.Include(ofFileMustExist);
  if (dialog.Execute()) OpenFile(dialog.FileName);
}

void TDesignerWindow::Save() {
  if (FDesigner->FileName().empty())
    SaveAs();
  else
    SaveFile(FDesigner->FileName());
}

void TDesignerWindow::SaveAs() {
  TOpenDialog dialog(nullptr);
  dialog.Title = "Save form as";
  dialog.Filter = kFilter;
  dialog.DefaultExt = "form";
  dialog.FileName = FDesigner->FileName();
  if (dialog.Execute()) SaveFile(dialog.FileName);
}

void TDesignerWindow::Preview() {
  delete FPreview;
  FPreview = nullptr;
  try {
    std::string text = FDesigner->SaveToText();
    TReaderHooks hooks;  // handlers of a form class compiled elsewhere are not needed to run
    hooks.MethodNotFound = [](TComponent&, const std::string&, const std::string&) { return true; };
    hooks.PropertyNotFound = [](TComponent&, const std::string&) { return true; };
    const std::string root = FDesigner->Form()->StreamedClassName();
    hooks.FindComponentClass = [root](const std::string& cls) -> const TMetaClass* {
      return SameText(cls, root) ? &TForm::StaticClass() : &TPanel::StaticClass();
    };
    TComponent* c = ReadComponentFromText(text, nullptr, nullptr, &hooks);
    FPreview = dynamic_cast<TCustomForm*>(c);
    if (!FPreview) {
      delete c;
      return;
    }
    FPreview->SetLeft(FPreview->Left() + 40);
    FPreview->SetTop(FPreview->Top() + 40);
    FPreview->SetCaption(FPreview->Caption() + " (preview)");
    FPreview->Show();
    Report("Preview of the form as it runs");
  } catch (const std::exception& e) {
    Report(std::string("Preview failed: ") + e.what());
  }
}

}  // namespace tessapack::designer
