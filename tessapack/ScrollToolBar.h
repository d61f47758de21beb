// TScrollToolBar: a horizontal or vertical strip on which the application drops controls.
// The controls stand in equal slots along the strip, each fitted across it by its own
// placement entry (pad and justification). When the strip is too short for all of them it
// shows as many as fit, adds two arrow buttons and scrolls by one control per click,
// optionally wrapping around (CircularScroll).
//
// The controls live in a ring in the order of the toolbar's child list; Start is the first
// one shown. The placement entries (ComponentsInfo) are kept in child-list order and stored
// in the form as the custom property "CompNames": a list of (name, pad, justification)
// triples that link the entries back to their controls by name after loading.
//
// Work that must wait until the framework has finished changing the child list (a control
// inserted or removed, the form loaded) is posted to the toolbar as WM_USER with the
// control and a code (TScrollNotify).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/classes/Filer.h"
#include "framework/classes/List.h"
#include "framework/classes/Persistent.h"
#include "framework/controls/Buttons.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/messages/Timer.h"

namespace tessapack {

enum TScrollOrientation { scHoriz, scVert };
enum TScrollPad { pdTopLeft, pdBottomRight };
enum TScrollCompJustify : uint8_t { scCenter, scTopLeft, scBottomRight };
enum TScrollDirection { scUp, scDown, scLeft, scRight };

// The codes of the toolbar's WM_USER message (its LParam).
enum TScrollNotify { snRemoved = 0, snInserted = 1, snLoaded = 2, snPlacementChanged = 3 };

// The placement of one control across the strip.
class TSBComp : public framework::TPersistent {
  FW_CLASS(TSBComp, framework::TPersistent)
public:
  framework::TControl *Control = nullptr;
  TScrollCompJustify Justify = scCenter;
  std::string CompName; // the control's name as last seen
  int CompPad = 0;      // inset across the strip in pixels
};

// The placement entries of a toolbar; the list owns them.
class TScrollComponentPlacement : public framework::TPersistent, public framework::TList<TSBComp> {
  FW_CLASS(TScrollComponentPlacement, framework::TPersistent)
public:
  TScrollComponentPlacement() = default;
  TScrollComponentPlacement(const TScrollComponentPlacement &) = delete;
  TScrollComponentPlacement &operator=(const TScrollComponentPlacement &) = delete;
  ~TScrollComponentPlacement() override;
  // The first entry of the control (nullptr: none).
  TSBComp *Find(const framework::TControl *control) const;
  // Frees the entry at index.
  void Free(int index);
  // Frees every entry.
  void FreeAll();
};

class TScrollToolBar : public framework::TCustomPanel {
  FW_CLASS(TScrollToolBar, framework::TCustomPanel)
public:
  // Pixels reserved beside the shown controls for an arrow.
  static constexpr int kArrowReserve = 12;
  static constexpr int kArrowSize = 11;

  struct TRingEntry {
    framework::TControl *Control = nullptr;
    TRingEntry *Next = nullptr;
    TRingEntry *Prev = nullptr;
  };

  explicit TScrollToolBar(framework::TComponent *owner);
  ~TScrollToolBar() override;

  // The ring.
  void BuildRolodex();
  void EmptyRolodex();
  void Rebuild();
  // The layout of the controls in the ring.
  void Reposition();
  virtual void Scroll(TScrollDirection Direction);
  // Makes the control the first one shown (nothing when it is not in the ring).
  virtual void SetStart(framework::TControl *control);
  // Scroll back and forward by one control: the arrows' click handlers.
  void UpLf(framework::TObject *Sender);
  void DnRt(framework::TObject *Sender);
  // Orders ComponentsInfo like the child list (entries without a control last).
  void Synchronize();
  int CompareIndex(const TSBComp *a, const TSBComp *b) const;
  // The number of controls (children other than the arrows).
  int TrueCount() const;
  // How many controls can be shown.
  int GetVisible() const;
  void ForceRepaint();

  // Published properties.
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int Value);
  int MinCompSize() const { return FMinCompSize; }
  void SetMinCompSize(int Value);
  int MaxCompSize() const { return FMaxCompSize; }
  void SetMaxCompSize(int Value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int Value) { FSpacing = Value; }
  bool CircularScroll() const { return FCircularScroll; }
  void SetCircularScroll(bool Value) { FCircularScroll = Value; }
  TScrollOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TScrollOrientation Value);
  TScrollPad Pad() const { return FPad; }
  void SetPad(TScrollPad Value);
  int CompCount() const { return TrueCount(); }
  TScrollComponentPlacement *ComponentsInfo() const { return FComponentsInfo.get(); }

  // State, for the placement editor, the tests and the benchmarks.
  int LeadSize() const { return FLeadSize; }
  int TrailSize() const { return FTrailSize; }
  bool ArrowsOn() const { return FArrowsOn; }
  bool LoadDone() const { return FLoadDone; }
  framework::TControl *StartControl() const { return FStart ? FStart->Control : nullptr; }
  int RingCount() const { return static_cast<int>(FRing.size()); }
  framework::TSpeedButton *UpArrow() const { return FUpArrow; }
  framework::TSpeedButton *DownArrow() const { return FDownArrow; }
  framework::TSpeedButton *LeftArrow() const { return FLeftArrow; }
  framework::TSpeedButton *RightArrow() const { return FRightArrow; }
  framework::TTimer *LoadTimer() const { return FLoadTimer; }
  bool IsArrow(const framework::TControl *control) const;

  void DefineProperties(framework::TFiler &filer) override;
  void ReadState(framework::TReader &reader) override;
  void Dispatch(framework::TMessage &message) override;
  void OnTimer(framework::TObject *Sender);

protected:
  void Resize() override;
  void CMControlListChange(framework::TMessage &m) override;
  void WMUser(framework::TMessage &m);
  void ReadProc(framework::TReader &reader);
  void WriteProc(framework::TWriter &writer);

private:
  // The strip length and the extent across it.
  int StripLength() const;
  int CrossExtent() const;
  // The smallest slot size that the sums use (MinCompSize below 1 counts as 1).
  int MinSlot() const { return FMinCompSize < 1 ? 1 : FMinCompSize; }
  framework::TSpeedButton *LeadArrow() const;
  framework::TSpeedButton *TrailArrow() const;
  framework::TSpeedButton *MakeArrow(framework::TAlign align, const char *glyph);
  // Parents the arrow pair of the orientation and loads their glyphs, or takes them away.
  void ArrowsIn();
  void ArrowsOut();
  // Takes the control's entry out of the ring, keeping Start, Head and Last on the ring.
  void Unlink(const framework::TComponent *control);
  static void TakeSizing(framework::TControl *control);

  int FBorderWidth = 0;
  int FMinCompSize = 10;
  int FMaxCompSize = 200;
  int FLeadSize = 0;
  int FTrailSize = 0;
  int FPrevShown = -1;
  int FSpacing = 0;
  bool FArrowsOn = false;
  bool FCircularScroll = false;
  // True unless the form reader ran and its posted load step has not been handled yet.
  bool FLoadDone = true;
  TScrollOrientation FOrientation = scHoriz;
  TScrollPad FPad = pdBottomRight;
  std::vector<std::unique_ptr<TRingEntry>> FRing;
  TRingEntry *FStart = nullptr;
  TRingEntry *FHead = nullptr;
  TRingEntry *FLast = nullptr;
  std::unique_ptr<TScrollComponentPlacement> FComponentsInfo;
  framework::TTimer *FLoadTimer = nullptr;
  framework::TSpeedButton *FUpArrow = nullptr;
  framework::TSpeedButton *FDownArrow = nullptr;
  framework::TSpeedButton *FLeftArrow = nullptr;
  framework::TSpeedButton *FRightArrow = nullptr;
  // False once the toolbar is freed: the WM_USER handler pumps messages that may free it.
  uint64_t FHandled = 0; // WM_USER messages handled, to see a nested handler
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

namespace ScrollToolBar {
// Puts TScrollToolBar on the palette page "Tessaline" with its editors.
void Register();
} // namespace ScrollToolBar

} // namespace tessapack

FW_DECLARE_ENUM(tessapack::TScrollOrientation)
FW_DECLARE_ENUM(tessapack::TScrollPad)
FW_DECLARE_ENUM(tessapack::TScrollCompJustify)
