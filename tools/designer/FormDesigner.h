// The designer of one form: it owns the form being designed (read from and written to the
// text form format), places components chosen on the palette, keeps the selection with its
// sizing grips, moves, resizes and deletes by mouse and keys, runs component editors from a
// context menu and on double-click, and keeps snapshots of the form for undo. It is the
// form's IDesigner, so components and their editors reach it through the form.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/classes/Component.h"
#include "framework/controls/Forms.h"
#include "framework/controls/Menus.h"
#include "framework/design/DesignIntf.h"
#include "framework/graphics/Bitmap.h"

namespace tessapack::designer {

class TGrip;
class TComponentIcon;

class TFormDesigner : public framework::TComponent, public framework::IDesigner {
 public:
  TFormDesigner();
  ~TFormDesigner() override;

  // The form being designed (never nullptr once NewForm or a load succeeded).
  framework::TCustomForm* Form() const { return FForm; }
  // A blank form "Form1"; forgets the file name and the undo steps.
  void NewForm();
  // Replaces the form by the one in text. Classes the program does not know stand in as a
  // plain form (the root) or a panel (a child) and are written back with their names;
  // properties and event handlers it does not know are kept and written back too. On bad
  // text the current form stays and EReadError tells where the text is wrong.
  void LoadFromText(std::string_view text);
  std::string SaveToText();
  // Files: a failure raises EFOpenError / EFCreateError naming the file.
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName);
  const std::string& FileName() const { return FFileName; }
  bool IsModified() const { return FModified; }

  // The palette entry to place with the next click on the form (nullptr: select instead).
  void SetPlaceClass(const framework::TMetaClass* cls) { FPlaceClass = cls; }
  const framework::TMetaClass* PlaceClass() const { return FPlaceClass; }
  // Creates a component of cls owned by the form with a fresh name; a control goes into
  // container at bounds (an empty size keeps the class's own). Selects it.
  framework::TComponent* PlaceComponent(const framework::TMetaClass& cls,
                                        framework::TWinControl* container,
                                        const framework::TRect& bounds);
  // "Button1", "Button2", ...: the first name no component of the form has.
  std::string UniqueName(const framework::TMetaClass& cls) const;

  // The selection: the component selected first (the one the inspector shows), and all the
  // selected components in the order they were selected. Shift+click adds a component or
  // takes it out; moving, resizing, aligning and deleting act on all of them.
  framework::TComponent* Selection() const { return FSelection; }
  const std::vector<framework::TComponent*>& SelectionList() const { return FSelected; }
  bool IsSelected(const framework::TComponent* component) const;
  // Adds a component to the selection, or takes it out when it is in it (the form is only
  // ever selected alone).
  void ToggleSelection(framework::TComponent* component);
  void DeleteSelection();
  // Moves or resizes the selected controls (not the form) by a number of pixels.
  void MoveSelection(int dx, int dy);
  void ResizeSelection(int dw, int dh);
  // Lines the selected controls up with the first selected one, on the form's surface.
  enum TAlignEdge { aeLefts, aeTops, aeRights, aeBottoms };
  void AlignSelection(TAlignEdge edge);
  // The corner marks of a selection of more than one control (four per control).
  const std::vector<framework::TWinControl*>& Marks() const { return FMarks; }
  // The selected control's bounds changed from outside: the grips follow.
  void UpdateGrips();
  const std::vector<TGrip*>& Grips() const { return FGrips; }
  // Components that are no controls (a timer, a grab handler) show on the form as their
  // palette bitmap at their stored design position; the icon of one of them, or nullptr.
  TComponentIcon* IconOf(const framework::TComponent* component) const;
  // Moves a component that is no control to a point of the form (held inside the form).
  void MoveIcon(framework::TComponent* component, int left, int top);

  // Saves the form's state as an undo step; call before a change.
  void Checkpoint();
  bool CanUndo() const { return !FUndo.empty(); }
  // Goes back to the last step; the selection keeps its name where it still exists.
  bool Undo();

  // The context menu for the selection: the verbs of its component editor, then "Delete".
  // It is shown at a screen point; choosing a verb runs it.
  void ShowContextMenu(framework::TPoint screenPoint);
  framework::TPopupMenu* ContextMenu() const { return FMenu; }
  // Runs a verb of the selection's component editor (as the context menu does).
  void ExecuteVerb(int index);
  // The default edit of the selection's editor (as a double-click does).
  void EditSelection();

  // Told after every change of the form, the selection or the modified state.
  std::function<void()> OnChange;

  // IDesigner
  void Modified() override;
  void SelectComponent(framework::TComponent* component) override;
  bool IsDesignMsg(framework::TControl* sender, framework::TMessage& message) override;
  // C++ handlers cannot be written here: the event gets the conventional handler name
  // (Button1Click) when it has none, which the application's form class is to publish.
  void ShowMethod(framework::TComponent* component, const std::string& eventName) override;

  // Called by a grip while it is dragged: resizes the selection from that grip's side.
  void GripDragged(int grip, const framework::TRect& original, int dx, int dy);
  void GripReleased(bool moved);

 protected:
  void Notification(framework::TComponent* component, framework::TOperation operation) override;

 private:
  void SetForm(framework::TCustomForm* form);
  // Gives each component of the form that is no control its icon, drops the icons of
  // components that are gone, and puts the icons at their places above the controls.
  void SyncIcons();
  void UpdateMarks();
  framework::TCustomForm* ReadForm(std::string_view text);
  void Changed();
  // The component a click on a control selects: the control itself, or the nearest parent
  // that the form owns (the form when none).
  framework::TComponent* Selectable(framework::TControl* control) const;
  // The container a component placed at a control goes into.
  framework::TWinControl* ContainerOf(framework::TControl* control) const;
  bool HandleKey(int key, framework::TShiftState shift);
  framework::TRect FormRect(const framework::TControl& control) const;

  framework::TCustomForm* FForm = nullptr;
  framework::TComponent* FSelection = nullptr;
  std::vector<framework::TComponent*> FSelected;
  const framework::TMetaClass* FPlaceClass = nullptr;
  std::string FFileName;
  bool FModified = false;
  // The form's Visible as stored: the designer shows the form, which the text must not
  // record, and a form stored visible stays so.
  bool FStoredVisible = false;
  std::vector<std::string> FUndo;
  std::vector<TGrip*> FGrips;
  std::vector<TComponentIcon*> FIcons;
  std::vector<framework::TWinControl*> FMarks;
  framework::TPopupMenu* FMenu = nullptr;
  std::unique_ptr<framework::TComponentEditor> FMenuEditor;

  // A press on the form: moving the selection, or sizing a component just placed.
  struct TDrag {
    bool Active = false;
    bool Sizing = false;
    bool Moved = false;
    framework::TControl* Control = nullptr;
    framework::TPoint Start;  // on the screen
    framework::TRect Original;
    // The other selected controls moved with it, and where they were.
    std::vector<std::pair<framework::TControl*, framework::TRect>> Others;
  };
  // The selected controls other than the form.
  std::vector<framework::TControl*> SelectedControls() const;
  TDrag FDrag;
};

// A sizing grip of the selection: a small window on the form above every designed control.
// Grips 0..7 run clockwise from the top-left corner.
class TGrip : public framework::TCustomControl {
  FW_CLASS(TGrip, framework::TCustomControl)
 public:
  TGrip(TFormDesigner& designer, int index);
  int Index() const { return FIndex; }
  void Paint() override;

 protected:
  void MouseDown(framework::TMouseButton button, framework::TShiftState shift, int x,
                 int y) override;
  void MouseMove(framework::TShiftState shift, int x, int y) override;
  void MouseUp(framework::TMouseButton button, framework::TShiftState shift, int x, int y) override;

 private:
  TFormDesigner* FDesigner;
  int FIndex;
  bool FDragging = false;
  bool FMoved = false;
  framework::TPoint FStart;
  framework::TRect FOriginal;
};

// The icon of a component that is no control: a small window on the form above the
// controls, with the component's palette bitmap, framed in the selection colour when the
// component is selected. A press selects the component, a drag moves it, the right button
// opens the context menu and a double-click runs the default edit.
class TComponentIcon : public framework::TCustomControl {
  FW_CLASS(TComponentIcon, framework::TCustomControl)
 public:
  static constexpr int kSize = 28;
  TComponentIcon(TFormDesigner& designer, framework::TComponent& component);
  framework::TComponent* Component() const { return FComponent; }
  void Paint() override;

 protected:
  void MouseDown(framework::TMouseButton button, framework::TShiftState shift, int x,
                 int y) override;
  void MouseMove(framework::TShiftState shift, int x, int y) override;
  void MouseUp(framework::TMouseButton button, framework::TShiftState shift, int x, int y) override;
  void DblClick() override;

 private:
  TFormDesigner* FDesigner;
  framework::TComponent* FComponent;
  std::unique_ptr<framework::TBitmap> FBitmap;
  bool FDragging = false;
  bool FMoved = false;
  framework::TPoint FStart;  // on the screen
  framework::TPoint FOriginal;
};

}  // namespace tessapack::designer
