// TTriPane: a panel divided into a header pane along the top, a client pane that fills the
// rest, and a menu pane that lives along one edge (AlignMenu). At run time the menu pane is
// hidden; it pops open (optionally sliding out) when the mouse moves slowly towards its
// edge, and closes when the mouse moves back over the client or header pane. A thin stripe
// marks the edge. At design time the menu pane is always visible, clicking a pane makes it
// the active pane (edited through the six Pane properties), and a control dropped on the
// tri-pane itself is moved into the active pane.
//
// The three panes are TMPPane objects owned by the tri-pane and stored as its children
// (Tag 1 header, 2 client, 3 menu); loading a form replaces the panes the constructor made.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/classes/Filer.h"
#include "framework/classes/List.h"
#include "framework/controls/ExtCtrls.h"

namespace tessapack {

// The edge on which the menu pane lives.
enum TMenuAlignment { mnTop, mnBottom, mnLeft, mnRight };
// The outer frame of the tri-pane window.
enum TBevels { exNone, exThickRaised, exThickSunk, exThinSunk, exSimpleBorder };

using TTriPanePopEvent = framework::TEvent<framework::TObject*, bool>;
// 256 positions along the menu edge, counted from an entry's Offset.
using TExclusionCoordinates = framework::TByteSet;

// One exclusion entry: position p along the menu edge is excluded when
// 0 <= p - Offset <= 255 and p - Offset is a member of Coordinates.
class TExclusionWrapper : public framework::TObject {
  FW_CLASS(TExclusionWrapper, framework::TObject)
 public:
  TExclusionWrapper(int32_t offset, const TExclusionCoordinates& coordinates)
      : Coordinates(coordinates), Offset(offset) {}
  bool Excludes(int position) const;

  TExclusionCoordinates Coordinates;
  int32_t Offset = 0;
};

class TTriPane;

// The control alignment of a menu edge: mnTop -> alTop, mnBottom -> alBottom, and so on.
framework::TAlign MenuAlign(TMenuAlignment value);
void HookMouseMove(framework::TControl* Control, const framework::TMouseMoveEvent& Handler);

// The class of the three panes. Its published properties keep their lowercase initials,
// which are the names stored in forms.
class TMPPane : public framework::TCustomPanel {
  FW_CLASS(TMPPane, framework::TCustomPanel)
 public:
  explicit TMPPane(framework::TComponent* owner);

  void Paint() override;
  void ReadState(framework::TReader& reader) override;

  bool Active = false;  // the tri-pane's active pane (outlined at design time)
};

class TTriPane : public framework::TCustomPanel {
  FW_CLASS(TTriPane, framework::TCustomPanel)
 public:
  explicit TTriPane(framework::TComponent* owner);
  ~TTriPane() override;

  // Opening and closing the menu pane (TriPaneTracking.cpp).
  virtual void RollOpen(bool Open, bool Vertical);
  virtual void Exclude(int Offset, const TExclusionCoordinates& Coordinates);
  virtual void IncludeAll();
  virtual void PopClose();
  virtual void PopOpen();

  void SetActivePane(TMPPane* Pane);
  void SetMouseEvents(bool Value);
  void TrackforOpen(framework::TObject* Sender, framework::TShiftState Shift, int X, int Y);
  void TrackforClose(framework::TObject* Sender, framework::TShiftState Shift, int X, int Y);

  // The panes and the stripe.
  TMPPane* HeaderPane() const { return FHeaderPane; }
  TMPPane* ClientPane() const { return FClientPane; }
  TMPPane* MenuPane() const { return FMenuPane; }
  TMPPane* ActivePane() const { return FActivePane; }
  framework::TPanel* Stripe() const { return FStripe; }
  bool Popped() const { return FPopped; }
  bool StripePlaced() const { return FStripePlaced; }
  int LastPos() const { return FLastPos; }
  int ExclusionCount() const { return static_cast<int>(FExclusions.size()); }
  const TExclusionWrapper& Exclusions(int index) const;  // EListError outside range
  framework::TMouseMoveEvent OuterTrack() const { return FOuterTrack; }

  // Published properties.
  framework::TAlign GetAlignment() const { return FAlign; }
  void SetAlignment(framework::TAlign Value);
  using framework::TCustomPanel::SetAlignment;
  void SetAlign(framework::TAlign value) override { SetAlignment(value); }
  TMenuAlignment AlignMenu() const { return FAlignMenu; }
  void FSetAlign(TMenuAlignment Value);
  TBevels BevelingEx() const { return FBevelingEx; }
  void SetBorderStyle(TBevels Value);
  using framework::TCustomPanel::SetBorderStyle;
  bool GrabBorder() const { return FGrabBorder; }
  void SetGrab(bool Value);
  int HeaderPaneHeight() const { return FHeaderPaneHeight; }
  void FChangeButVisible(int Value);
  framework::TPanelBevel PaneBevelInner() const { return FPaneBevelInner; }
  void SetPBInner(framework::TPanelBevel Value);
  framework::TPanelBevel PaneBevelOuter() const { return FPaneBevelOuter; }
  void SetPBOuter(framework::TPanelBevel Value);
  int PaneBevelWidth() const { return FPaneBevelWidth; }
  void SetPBWidth(int Value);
  framework::TBorderStyle PaneBorderStyle() const { return FPaneBorderStyle; }
  void SetPBoStyle(framework::TBorderStyle Value);
  int PaneBorderWidth() const { return FPaneBorderWidth; }
  void SetPBoWidth(int Value);
  framework::TColor PaneColor() const { return FPaneColor; }
  void SetPColor(framework::TColor Value);
  int PopOpenSize() const { return FPopOpenSize; }
  void ChangePopSize(int Value);
  framework::TColor StripeColor() const { return FStripeColor; }
  void SetStripeColor(framework::TColor Value);
  int StripeWidth() const { return FStripeWidth; }
  void SetStripeWidth(int Value);

  // Plain fields published as properties.
  bool ContinuousAlign = false;
  bool MouseTrigger = true;
  int Proximity = 10;
  float SlideIncrement = -1.0f;
  TTriPanePopEvent OnPopped;
  TTriPanePopEvent OnPopping;
  // OnResize is the control's own, fired from the size message.

  void SetName(const std::string& Value) override;
  void ReadState(framework::TReader& reader) override;
  void WriteState(framework::TWriter& writer) override;
  void GetChildren(const framework::TGetChildProc& proc, framework::TComponent* root) override;
  framework::TComponent* GetChildOwner() override { return this; }
  void Notification(framework::TComponent* component, framework::TOperation operation) override;
  void Dispatch(framework::TMessage& message) override;

 protected:
  friend class TMPPane;
  friend void HookMouseMove(framework::TControl*, const framework::TMouseMoveEvent&);
  void CreateParams(framework::TCreateParams& params) override;
  void Resize() override;
  void WMSize(framework::TMessage& m) override;
  void WMEraseBkgnd(framework::TMessage& m) override;
  void WMParentNotify(framework::TMessage& m) override;
  void CMControlListChange(framework::TMessage& m) override;
  void WMUser(framework::TMessage& m);
  void ValidateRename(framework::TComponent* component, const std::string& curName,
                      const std::string& newName) override;

 private:
  void FSetStripe();
  // Makes pane the header, client or menu pane in place of the one in slot (loading).
  void ReplacePane(TMPPane*& slot, TMPPane* pane);
  void LoadPaneMirrors(TMPPane* pane);
  // Sets the menu pane's size across its edge (height for top/bottom, width otherwise).
  void SetMenuSize(int size, bool vertical);
  bool Excluded(int position) const;
  // The menu lies along the top or bottom edge (its size is its height).
  bool IsVertical() const { return FAlignMenu == mnTop || FAlignMenu == mnBottom; }

  TMPPane* FClientPane = nullptr;
  TMPPane* FMenuPane = nullptr;
  TMPPane* FHeaderPane = nullptr;
  TMenuAlignment FAlignMenu = mnRight;
  framework::TAlign FAlign = framework::alNone;
  TBevels FBevelingEx = exNone;
  int FHeaderPaneHeight = 10;
  int FStripeWidth = 3;
  bool FPopped = false;
  bool FGrabBorder = false;
  bool FStripePlaced = false;
  framework::TPanelBevel FPaneBevelInner = framework::bvNone;
  framework::TPanelBevel FPaneBevelOuter = framework::bvNone;
  int FPaneBevelWidth = 0;
  int FPaneBorderWidth = 0;
  int FPopOpenSize = 55;
  int FLastPos = 0;
  framework::TBorderStyle FPaneBorderStyle = framework::bsNone;
  bool FBordered = false;
  framework::TColor FPaneColor = framework::clBtnFace;
  framework::TColor FStripeColor = framework::clSilver;
  TMPPane* FActivePane = nullptr;
  framework::TPanel* FStripe = nullptr;
  std::vector<std::unique_ptr<TExclusionWrapper>> FExclusions;
  framework::TMouseMoveEvent FOuterTrack;
  std::vector<framework::TControl*> FMoving;  // controls the WM_USER handler is moving
};

// The controls whose mouse-move handler a tri-pane has installed, shared by every tri-pane
// of the process. A control leaves the list when it is destroyed.
framework::TList<framework::TComponent>& HookedControls();

// Installs Handler (a tracking handler or none) as the mouse-move handler of Control and
// of the controls inside it, never replacing a handler that the application assigned.
// Nothing is hooked at design time; a nested tri-pane gets Handler as its outer tracker.
void HookMouseMove(framework::TControl* Control, const framework::TMouseMoveEvent& Handler);

namespace TriPane {
// Puts TTriPane on the palette page "Tessaline".
void Register();
}  // namespace TriPane

}  // namespace tessapack

FW_DECLARE_ENUM(tessapack::TMenuAlignment)
FW_DECLARE_ENUM(tessapack::TBevels)
