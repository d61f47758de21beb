// TMenuBar: a vertical bar of full-width buttons (TMenuButton), each owning a panel
// (TMBPanel) on which the application places its controls. The buttons stand in two
// stacks: an upper stack (a leading run of slots, Up set) under the top of the bar and a
// lower stack at its bottom. The panel of the last button of the upper stack fills the gap
// between them. Clicking a button slides the stacks so that its panel becomes the shown one.
//
// Geometry, for a button in slot i of n: UpTop = i * ButtonHeight + Cushion, DownTop =
// bar height - (n - i) * ButtonHeight - Cushion; the shown panel lies 2 pixels below its
// button and ends 2 pixels above the next button of the lower stack.
//
// When the bar is too short for panels (n * ButtonHeight + 16 > height) it switches to a
// compact mode at run time: only buttons, from Top 9 on, scrolled by two small arrows
// through a ring of entries, one per button, that wraps round.
//
// A motion (a click) is a synchronous loop of passes; each pass moves every travelling
// button by 5 pixels per travelling button. On a shown bar with animation on it is paced to
// about kMotionMs and repainted once per frame; the events fire after it.
//
// Buttons and panels are owned by the bar and stored as its children, each button followed
// by its panel; a panel's Tag holds its button's slot plus one, which loading relies on.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/classes/Filer.h"
#include "framework/controls/Buttons.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/ImgList.h"
#include "framework/design/DesignIntf.h"

namespace tessapack {

// A set of slot numbers.
using TPanes = framework::TByteSet;

enum TUDAlign { udLeft, udCenter, udRight };

class TMenuBar;
class TMenuButton;
class TMBPanel;

// Fired after a button click, with the bar as sender and the button's slot.
using TMenuBarClickEvent = framework::TEvent<framework::TObject*, int>;

// The bar's buttons in slot order, with the stack motions over them.
class TMenuButtonGp {
 public:
  explicit TMenuButtonGp(TMenuBar* bar) : FBar(bar) {}

  int Count() const { return static_cast<int>(FItems.size()); }
  TMenuButton* Items(int index) const { return FItems[index]; }
  int IndexOf(const TMenuButton* button) const;
  std::vector<TMenuButton*>& List() { return FItems; }
  const std::vector<TMenuButton*>& List() const { return FItems; }

  // Recomputes UpTop and DownTop of every button and the shown panel's bounds.
  void Recalculate();
  // Moves every upper-stack button below slot a to the lower stack and shows a's panel.
  void Drop(int a);
  // Moves every lower-stack button in slots 1..a to the upper stack and shows a's panel.
  void Rise(int a);
  // Puts the button of slot from into slot to and lays every button out up.
  void Move(int from, int to);
  // Lays every button out in the upper stack (slot, panel Tag, bounds) and shows the last
  // button's panel.
  void LayOutUp();

  // The passes of the last motion (for tests and the benchmark).
  int LastPasses() const { return FLastPasses; }
  TMenuBar* Bar() const { return FBar; }

 private:
  void HideAll();
  TMenuBar* FBar;
  std::vector<TMenuButton*> FItems;
  int FLastPasses = 0;
};

// The panel of one button. It has the button's owner; a button without an owner frees its
// panel itself. A panel freed on its own leaves its button without one.
class TMBPanel : public framework::TCustomPanel {
  FW_CLASS(TMBPanel, framework::TCustomPanel)
 public:
  explicit TMBPanel(framework::TComponent* owner);
  ~TMBPanel() override;
  void ReadState(framework::TReader& reader) override;
  // Read from a form (not the one a button made for itself).
  bool Stored() const { return FStored; }
  // The button whose panel this is (nullptr: none).
  TMenuButton* Button() const { return FButton; }

 private:
  friend class TMenuButton;
  friend class TMenuBar;
  bool FStored = false;
  TMenuButton* FButton = nullptr;
};

class TMenuButton : public framework::TSpeedButton {
  FW_CLASS(TMenuButton, framework::TSpeedButton)
 public:
  explicit TMenuButton(framework::TComponent* owner);
  ~TMenuButton() override;

  TMBPanel* Panel() const { return FPanel; }
  TMenuButtonGp* Group() const { return FGroup; }
  void SetGroup(TMenuButtonGp* Value) { FGroup = Value; }

  // The caption as set, before it was fitted to the button's width.
  const std::string& FullCaption() const { return FFullCaption; }
  void SetFullCaption(const std::string& Value);
  // The caption stored in a form: the full one.
  const std::string& StoredCaption() const { return FFullCaption; }
  // The hint is the full caption of a cut one (given by the fitting, not stored).
  bool HintFromCut() const { return FHintFromCut; }

  bool Marked() const { return FMarked; }
  void SetMarked(bool Value) { FMarked = Value; }
  bool Up() const { return FUp; }
  void SetUp(bool Value);
  bool OnTop() const { return FOnTop; }
  void SetOnTop(bool Value) { FOnTop = Value; }
  bool SlideAble() const { return FSlideAble; }
  void SetSlideAble(bool Value) { FSlideAble = Value; }
  int Index() const { return FIndex; }
  void SetSlot(int Value);
  int UpTop = 0;
  int DownTop = 0;

  void ShowPanel();
  void HidePanel();
  // Single-button motion (not used by the bar).
  void Drop();
  void Rise();

  void Click() override;
  void Paint() override;
  void ReadState(framework::TReader& reader) override;

 protected:
  friend class TMenuBar;
  friend class TMenuButtonGp;
  friend class TMBPanel;
  void TextChanged() override;
  void CMDesignHitTest(framework::TMessage& m) override;
  TMenuBar* Bar() const;
  // Fits the full caption to the button's width (whole characters; the accelerator kept).
  void FitCaption();
  // Sets the shown caption without taking it as the full one.
  void SetShownCaption(const std::string& text);
  // Makes panel (nullptr: none) this button's panel; the old one is left to its owner.
  void TakePanel(TMBPanel* panel);

 private:
  std::string FFullCaption;
  bool FMarked = false;
  bool FUp = true;
  bool FOnTop = false;
  bool FSlideAble = true;
  bool FFitting = false;      // the caption is being set by fitting
  bool FHintFromCut = false;  // the hint shows the full caption of a cut one
  int FIndex = 0;
  TMenuButtonGp* FGroup = nullptr;
  TMBPanel* FPanel = nullptr;
};

// One of the two compact-mode arrows: a flat speed button that draws its arrow as a vector
// triangle in the button-text colour (greyed when disabled).
class TMBArrow : public framework::TSpeedButton {
  FW_CLASS(TMBArrow, framework::TSpeedButton)
 public:
  TMBArrow(framework::TComponent* owner, bool pointsUp);
  explicit TMBArrow(framework::TComponent* owner) : TMBArrow(owner, true) {}
  bool PointsUp() const { return FPointsUp; }
  void Paint() override;

 private:
  bool FPointsUp;
};

class TMenuBar : public framework::TCustomPanel {
  FW_CLASS(TMenuBar, framework::TCustomPanel)
 public:
  // A motion on a shown bar takes about this long; it never waits beyond kMaxMotionMs.
  static constexpr int kMotionMs = 150;
  static constexpr int kMaxMotionMs = 250;
  static constexpr int kFrameMs = 16;
  // The most buttons a bar holds: slots are kept in a set of 0..255.
  static constexpr int kMaxButtons = 256;
  // The event code of the parent-notify message a button posts when pressed at design time.
  static constexpr int kSelectButtonCode = 9999;

  struct TRingEntry {
    TMenuButton* Button = nullptr;
    TRingEntry* Next = nullptr;
    TRingEntry* Prev = nullptr;
    bool Shown = false;
  };

  explicit TMenuBar(framework::TComponent* owner);
  ~TMenuBar() override;

  // Buttons.
  TMenuButton* CreateButton();
  void DeleteButton(int slot);
  void Delete(TMenuButton* button);
  TMenuButton* GetButton(int slot) const;  // EListError outside 0..count-1
  TMBPanel* GetPanel(int slot) const;      // likewise
  int GetCount() const { return FButtons->Count(); }
  TMenuButtonGp& Buttons() const { return *FButtons; }

  // The button whose panel is shown (nullptr: none) and its slot (-1: none).
  TMenuButton* GetActiveButton() const;
  int GetActiveIndex() const;
  // Brings the panel of the slot up without firing events (nothing outside the slots).
  void SetActiveIndex(int slot);
  // Marks the button as the designer's selected one.
  virtual void SetActiveButton(TMenuButton* button);
  TMenuButton* SelectedButton() const { return FSelectedButton; }
  // The slot of the first button of the lower stack; the last slot when all are up.
  int TopButton() const;
  void SetTopButton(TMenuButton* button);
  void UpdateSnappedWidth();
  const TPanes& ResidentPanels() const { return FResidentPanels; }
  void SetResource(const TPanes& Value);
  bool IsResident(int slot) const {
    return slot >= 0 && slot < kMaxButtons && FResidentPanels.test(slot);
  }
  void SetInherit(bool Value);
  // The compact-mode arrows' click handlers: scroll the shown buttons by one.
  void Up(framework::TObject* Sender);
  void Down(framework::TObject* Sender);

  // Published properties.
  int ButtonHeight() const { return FButtonHeight; }
  void SetButtonHeight(int Value);
  int ButtonWidth() const { return FButtonWidth; }
  void SetWidth(int Value);
  int Cushion() const { return FCushion; }
  void SetCushion(int Value);
  int Gap() const { return FGap; }
  void SetGap(int Value);
  bool SnapToWidth() const { return FSnapToWidth; }
  void SetSnap(bool Value);
  bool CaptionsEnabled() const { return FCaptionsEnabled; }
  void SetCaptionsEnabled(bool Value);
  TUDAlign UpDownAlign() const { return FUpDownAlign; }
  void SetUpDownAlign(TUDAlign Value);
  framework::TImageList* ButtonUpImages() const { return FButtonUpImages; }
  void SetButtonUpImages(framework::TImageList* Value);
  void SetBorderStyle(framework::TBorderStyle Value) override;
  void SetMouseMove(const framework::TMouseMoveEvent& Value);
  TMenuBarClickEvent OnClick;

  // Design-time views of the selected button.
  std::string GetButtonCaption() const;
  void SetButtonCaption(const std::string& Value);
  framework::TColor GetButtonColor() const;
  void SetButtonColor(framework::TColor Value);
  framework::TColor GetPanelColor() const;
  void SetPanelColor(framework::TColor Value);
  bool GetButtonSlideable() const;
  void SetButtonSlideable(bool Value);
  int GetButtonSlot() const;
  void SetSlot(int Value);

  // Compact mode.
  bool Compact() const { return FCompact; }
  int ShownRows() const { return FShownRows; }
  int RingSize() const { return FRingSize; }
  TRingEntry* RingFirst() const { return FRingFirst; }
  TRingEntry* RingLastShown() const { return FRingLastShown; }
  TMBArrow* UpArrow() const { return FUpArrow; }
  TMBArrow* DownArrow() const { return FDownArrow; }
  // Captions kept while CaptionsEnabled is off (nullptr: none kept yet).
  const std::vector<std::string>* SavedCaptions() const { return FSavedCaptions.get(); }

  void SetName(const std::string& Value) override;
  void ReadState(framework::TReader& reader) override;
  void Loaded() override;
  void GetChildren(const framework::TGetChildProc& proc, framework::TComponent* root) override;
  framework::TComponent* GetChildOwner() override { return this; }
  void Notification(framework::TComponent* component, framework::TOperation operation) override;
  void Dispatch(framework::TMessage& message) override;
  void Paint() override;

 protected:
  friend class TMenuButton;
  friend class TMenuButtonGp;
  friend class TMBPanel;
  friend class TMenuBarEditor;
  void Resize() override;
  bool ChildNeedsWindow(const framework::TWinControl* child) const override;
  void CMControlListChange(framework::TMessage& m) override;
  void WMParentNotify(framework::TMessage& m) override;
  void WMUser(framework::TMessage& m);
  // Called after each painted frame of a paced motion (pass of passes).
  virtual void MotionFrame(int /*pass*/, int /*passes*/) {}

 private:
  // Pacing of one motion of the given number of passes.
  void MotionBegin(int passes);
  void MotionPass(int pass);
  bool Paced() const;
  // Applies the ButtonHeight rule: tops recomputed, bounds set by the Up flags.
  void Relay();
  // Layout after a size change (the Resize steps) and the switch between modes.
  void Layout();
  void EnterCompact();
  void LeaveCompact();
  void BuildRing();
  void FreeRing();
  void MarkRing();
  // After a create, delete or move in compact mode: a fresh ring over the current buttons.
  void RingChanged();
  // Makes the Up flags a leading run (slot 0 always up), places the buttons by them and
  // shows the panel of the last up button.
  void Normalize();
  // A stored button or panel takes its place by its slot or Tag (ReadState).
  void ButtonRead(TMenuButton* button);
  void PanelRead(TMBPanel* panel);
  void FinishLoading();
  TMenuButton* AppendButton();
  void Modified() const;

  std::unique_ptr<TMenuButtonGp> FButtons;
  std::unique_ptr<std::vector<std::string>> FSavedCaptions;
  framework::TImageList* FButtonUpImages = nullptr;
  TMenuButton* FSelectedButton = nullptr;
  int FButtonHeight = 22;
  int FShownRows = 0;
  int FRingSize = 0;
  int FButtonWidth = 0;
  int FCushion = 4;
  int FGap = 2;
  bool FCompact = false;
  bool FSnapToWidth = true;
  bool FCaptionsEnabled = true;
  TUDAlign FUpDownAlign = udLeft;
  TPanes FResidentPanels;
  framework::TMouseMoveEvent FMouseMove;
  std::vector<std::unique_ptr<TRingEntry>> FRing;
  TRingEntry* FRingFirst = nullptr;
  TRingEntry* FRingLastShown = nullptr;
  TMBArrow* FUpArrow = nullptr;
  TMBArrow* FDownArrow = nullptr;
  // Loading: buttons by stored slot, and those whose slot was taken or out of range.
  std::vector<TMenuButton*> FLoadSlots;
  std::vector<TMenuButton*> FStrayButtons;
  std::vector<TMBPanel*> FStrayPanels;
  // Pacing of the running motion.
  uint64_t FMotionStart = 0;
  uint64_t FLastFrame = 0;
  int FMotionPasses = 0;
  std::vector<framework::TControl*> FMoving;  // controls the WM_USER handler is moving
  // False once the bar is freed: the WM_USER handler pumps messages that may free it.
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// The component editor: "New Button", "Delete Button", "Simulate Click", "Inherit
// Properties" (the last three only with a selected button).
class TMenuBarEditor : public framework::TDefaultEditor {
 public:
  using TDefaultEditor::TDefaultEditor;
  int GetVerbCount() override;
  std::string GetVerb(int Index) override;
  void ExecuteVerb(int Index) override;
};

// Fits a caption to a width: the longest prefix of whole UTF-8 characters whose shown text
// (accelerator markers resolved) is narrower than limit; a cut that leaves out the
// accelerator gives the marker and its character instead. "&&" stays a pair.
std::string FitMenuCaption(const std::string& full, int limit,
                           const std::function<int(const std::string&)>& textWidth);

namespace MenuBar {
// Puts TMenuBar on the palette page "Tessaline" with its component editor.
void Register();
}  // namespace MenuBar

}  // namespace tessapack

FW_DECLARE_ENUM(tessapack::TUDAlign)
