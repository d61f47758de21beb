// The object inspector: a window that lists the selected component's published properties
// (or its events) with their values, one row each, through the property editors the
// design layer chooses. A value is typed and confirmed with Enter, or chosen from the
// row's list (enumerations, booleans, colours, references to components, the elements of
// a set switched on and off); a row with a dialog opens it from its "..." button. Nested
// objects (Font) show their own properties as "Font.Name". An event row lists the methods
// of the form's class that fit the event, when that class is registered (a package may
// register an application's form classes); other names may still be typed.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/controls/Buttons.h"
#include "framework/controls/Forms.h"
#include "framework/controls/Menus.h"
#include "framework/controls/StdCtrls.h"
#include "framework/design/DesignIntf.h"

namespace tessapack::designer {

class TFormDesigner;

class TInspector : public framework::TForm {
  FW_CLASS(TInspector, framework::TForm)
 public:
  TInspector(framework::TComponent* owner, TFormDesigner* designer = nullptr);
  ~TInspector() override;

  // Follows the designer: rebuilt for another selection, values refreshed otherwise.
  void DesignerChanged();
  void ShowEvents(bool events);

  // Rows, for the window's own use and for tests.
  struct TRow {
    std::string Name;  // "Caption", "Font.Name"
    std::unique_ptr<framework::TPropertyEditor> Editor;
    framework::TLabel* Label = nullptr;
    framework::TEdit* Value = nullptr;
    framework::TSpeedButton* Button = nullptr;  // the list or dialog of the row, if any
  };
  int RowCount() const { return static_cast<int>(FRows.size()); }
  TRow* FindRow(const std::string& name);
  // Makes the row visible (scrolling the list) and returns it; nullptr when none.
  TRow* ShowRow(const std::string& name);
  // Sets a row's value as if typed and confirmed; false (with the reason shown) on error.
  bool Commit(TRow& row, const std::string& text);
  // The list of the row's values, as its button shows it.
  framework::TPopupMenu* ValueMenu() const { return FValueMenu; }
  framework::TLabel* Status() const { return FStatus; }
  // A double-click on an event row: an empty event gets the conventional handler
  // (Button1Click) when the form class publishes one of that name that fits; a name typed
  // in the row is confirmed as it stands.
  void ProposeHandler(TRow& row);
  // "Button1Click" for Button1's OnClick; "FormCreate" for the form's OnCreate.
  std::string ConventionalHandler(const std::string& eventName) const;

 private:
  void Rebuild();
  void Layout();
  void RefreshValues();
  void AddRows(framework::TPersistent* instance, const std::string& prefix, int depth);
  void ShowValues(TRow& row);
  void ShowComponents();
  void Report(const std::string& text);

  TFormDesigner* FDesigner;
  framework::TComponent* FShown = nullptr;  // the component the rows were built for
  framework::TCustomForm* FShownForm = nullptr;
  bool FEvents = false;
  int FFirst = 0;
  std::vector<std::unique_ptr<TRow>> FRows;
  framework::TButton* FSelector;
  framework::TSpeedButton* FPropertiesTab;
  framework::TSpeedButton* FEventsTab;
  framework::TSpeedButton* FScrollUp;
  framework::TSpeedButton* FScrollDown;
  framework::TLabel* FStatus;
  framework::TPopupMenu* FValueMenu;
  framework::TPopupMenu* FComponentMenu;
};

}  // namespace tessapack::designer
