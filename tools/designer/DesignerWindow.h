// The designer's main window: the file commands (new, open, save, save as, preview, undo),
// the palette with one page per registered palette page and a button per component (its
// palette bitmap, its class name as hint), and a status line. It owns the form designer
// and the object inspector; the form being designed is a window of its own.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/controls/Buttons.h"
#include "framework/controls/Forms.h"
#include "framework/controls/StdCtrls.h"
#include "tools/designer/FormDesigner.h"
#include "tools/designer/Inspector.h"

namespace tessapack::designer {

class TDesignerWindow : public framework::TForm {
  FW_CLASS(TDesignerWindow, framework::TForm)
 public:
  explicit TDesignerWindow(framework::TComponent* owner);
  ~TDesignerWindow() override;

  TFormDesigner& Designer() const { return *FDesigner; }
  TInspector& Inspector() const { return *FInspector; }
  // Shows the three windows (this one, the inspector, the form being designed).
  void ShowAll();

  // The palette: its pages in the order first registered, the current page, its buttons.
  const std::vector<std::string>& Pages() const { return FPages; }
  void ShowPage(const std::string& page);
  const std::string& Page() const { return FPage; }
  // The button of a component class on the current page (nullptr when not there).
  framework::TSpeedButton* PaletteButton(const std::string& className) const;
  framework::TSpeedButton* PageButton(const std::string& page) const;
  // Builds the palette again from what is registered (after loading a package).
  void RebuildPalette();

  void NewFile();
  bool OpenFile(const std::string& fileName);
  bool SaveFile(const std::string& fileName);
  void Save();
  void SaveAs();
  void Open();
  // Shows the form as it runs: read from its text, not designed.
  void Preview();
  framework::TCustomForm* PreviewForm() const { return FPreview; }
  void Report(const std::string& text);
  const std::string& StatusText() const { return FStatus->Caption(); }
  framework::TButton* CommandButton(const std::string& caption) const;

 private:
  void DesignerChanged();
  void ShowDesignedForm();
  void PlaceButtonClicked(framework::TSpeedButton* button);

  TFormDesigner* FDesigner;
  TInspector* FInspector;
  framework::TCustomForm* FPreview = nullptr;
  framework::TCustomForm* FShownForm = nullptr;
  std::vector<framework::TButton*> FCommands;
  std::vector<std::string> FPages;
  std::string FPage;
  std::vector<framework::TSpeedButton*> FPageButtons;
  std::vector<framework::TSpeedButton*> FPaletteButtons;
  framework::TSpeedButton* FPointer = nullptr;
  framework::TLabel* FStatus;
};

// The bitmap a palette button shows for a class: the resource named after the class in
// upper case (from any module), else a drawn stand-in of the same size.
void PaletteBitmap(const framework::TMetaClass& cls, framework::TBitmap& bitmap);

}  // namespace tessapack::designer
