// TMultiPane: a panel holding a stack of client-aligned pages (TSinglePane) of which one,
// the top pane, is in front: a notebook without tabs. The application, or the designer
// through TMultiPaneEditor, chooses the top pane by index.
//
// At run time only the front pane and the resident panes (Resource) keep native windows;
// the others give theirs up, so that a stack of many panes costs few window resources.
// This holds however the multi-pane comes to be shown: first shown, hidden and shown
// again, re-parented, or its window re-created.
//
// The front pane is established lazily: TopPaneIndex set before the multi-pane has
// painted (after creation, loading or hiding) is a wish that the first paint fulfils (or,
// where its panes cover it so that it gets no paint of its own, being shown).
// Panes are owned by the multi-pane and stored as its children, numbered 1, 2, ... in Tag;
// a new multi-pane starts with one placeholder pane (Tag 9999) that loading discards.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/classes/Filer.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/design/DesignIntf.h"

namespace tessapack {

// A set of pane indices.
using TPanes = framework::TByteSet;

class TMultiPane;

// One page of a multi-pane.
class TSinglePane : public framework::TCustomPanel {
  FW_CLASS(TSinglePane, framework::TCustomPanel)
 public:
  explicit TSinglePane(framework::TComponent* owner);
  ~TSinglePane() override;

  // The position in the parent multi-pane's stack (-1 when not in one); setting it moves
  // the pane there.
  int GetIndex() const;
  void SetIndex(int Value);
  // Brings the pane to the front of its multi-pane.
  void MoveToTop();

  void ReadState(framework::TReader& reader) override;

 private:
  TMultiPane* Stack() const;
};

class TMultiPane : public framework::TCustomPanel {
  FW_CLASS(TMultiPane, framework::TCustomPanel)
 public:
  // The most panes a multi-pane holds: positions are stored in 8 bits.
  static constexpr int kMaxPanes = 255;
  // The Tag of the placeholder pane that a new multi-pane makes for itself.
  static constexpr int kPlaceholderTag = 9999;

  explicit TMultiPane(framework::TComponent* owner);
  ~TMultiPane() override;

  // Appends a pane (taking it out of any other multi-pane first; a pane already listed is
  // left alone) and gives it the multi-pane's mouse handlers. A 256th pane is refused
  // with EInvalidOperation.
  virtual void Add(TSinglePane* Pane);
  // Frees the pane at Index (EListError outside the stack).
  virtual void Delete(int Index);
  // Takes the pane out of the stack without freeing it (nothing while destroying).
  virtual void Remove(TSinglePane* Pane);
  // Creates a pane owned by the multi-pane and adds it.
  TSinglePane* AddPane();
  // Moves the pane at CurIndex to NewIndex; the front pane stays in front.
  void Move(int CurIndex, int NewIndex);

  int GetCount() const { return static_cast<int>(FPanes.size()); }
  int IndexOf(const TSinglePane* pane) const;
  TSinglePane* GetPane(int Index) const;  // EListError outside the stack
  // The front pane's index: the shown one once painted, the wished one before.
  int GetTop() const { return FPainted ? FTop : FPendingTop; }
  void SetTop(int Value);
  TSinglePane* GetTopPane() const;  // nullptr when the index names no pane
  void SetTopPane(TSinglePane* Pane);
  // PaneIndex: at design time, moves the front pane to another position.
  void SetIndex(int Value);
  framework::TColor GetPaneColor() const;
  void SetPaneColor(framework::TColor Value);
  const TPanes& Resource() const { return FResource; }
  void SetResource(const TPanes& Value);
  bool IsResident(int index) const { return index >= 0 && index <= 255 && FResource.test(index); }
  bool GrabBorder() const { return FGrabBorder; }
  void SetGrab(bool Value);
  bool Painted() const { return FPainted; }
  void SetMouseDown(const framework::TMouseEvent& Value);
  void SetMouseMove(const framework::TMouseMoveEvent& Value);
  void SetMouseUp(const framework::TMouseEvent& Value);

  void SetName(const std::string& Value) override;
  void ReadState(framework::TReader& reader) override;
  void WriteState(framework::TWriter& writer) override;
  void GetChildren(const framework::TGetChildProc& proc, framework::TComponent* root) override;
  framework::TComponent* GetChildOwner() override { return this; }
  void Notification(framework::TComponent* component, framework::TOperation operation) override;
  void Dispatch(framework::TMessage& message) override;
  void Paint() override;
  void Invalidate() override;

 protected:
  friend class TSinglePane;
  friend class TMultiPaneEditor;
  bool ChildNeedsWindow(const framework::TWinControl* child) const override;
  void VisibleChanged() override;
  void CMControlListChange(framework::TMessage& m) override;
  void WMUser(framework::TMessage& m);
  void ValidateRename(framework::TComponent* component, const std::string& curName,
                      const std::string& newName) override;

 private:
  // A stored pane takes its place in the stack by its Tag (TSinglePane::ReadState).
  void PaneRead(TSinglePane* pane);
  // Keeps the front and wished indices on their panes after the pane at index left.
  void PaneRemoved(int index);
  // At run time, gives windows to the front and resident panes and takes the others'.
  void ApplyWindowRule();
  // Brings the wished pane to the front, once after creation, loading or hiding.
  void EstablishFront();
  void GiveHandlers(TSinglePane* pane) const;
  void Modified() const;

  std::vector<TSinglePane*> FPanes;
  std::vector<TSinglePane*> FAppended;  // read panes whose Tag gave them no position
  int FTop = -1;
  int FPendingTop = 0;
  bool FGrabBorder = false;
  bool FPainted = false;
  bool FFrontPosted = false;  // a message to establish the front pane is on its way
  TPanes FResource;
  framework::TMouseMoveEvent FMouseMove;
  framework::TMouseEvent FMouseDown;
  framework::TMouseEvent FMouseUp;
  std::vector<framework::TControl*> FMoving;  // controls the WM_USER handler is moving
  // False once the multi-pane is freed: the WM_USER handler pumps messages that may free it.
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// The component editor: "New Pane", "Delete Pane <front index>", then "Pane <i>" for
// every pane, which brings it to the front.
class TMultiPaneEditor : public framework::TDefaultEditor {
 public:
  using TDefaultEditor::TDefaultEditor;
  int GetVerbCount() override;
  std::string GetVerb(int Index) override;
  void ExecuteVerb(int Index) override;
};

namespace MultiPane {
// Puts TMultiPane on the palette page "Tessaline" with its component editor.
void Register();
}  // namespace MultiPane

}  // namespace tessapack
