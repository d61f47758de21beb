// Opening and closing the tri-pane's menu pane at run time: the mouse-move hooks, the
// tracking rule, exclusions, pop open/close with their events, and the roll-open loop.
#include <algorithm>
#include <cmath>

#include "framework/messages/DestroyGuard.h"
#include "tessapack/TriPane.h"

namespace tessapack {

using namespace framework;

namespace {

// The shared list lives as long as the program; it forgets every component destroyed.
class THookedControls {
 public:
  THookedControls() {
    detail::AddComponentDestroyedHook(this, [this](TComponent* c) {
      if (FList.IndexOf(c) >= 0) FList.Remove(c);
    });
  }
  ~THookedControls() { detail::RemoveComponentDestroyedHook(this); }
  TList<TComponent> FList;
};

// A handler that one of the tri-panes installed (its own tracking handlers), as opposed to
// one that the application assigned.
bool IsTrackingHandler(const TMouseMoveEvent& handler) {
  auto* owner = dynamic_cast<TTriPane*>(handler.Data());
  if (!owner) return false;
  return handler == TMouseMoveEvent(owner, &TTriPane::TrackforOpen) ||
         handler == TMouseMoveEvent(owner, &TTriPane::TrackforClose);
}

bool IsRichEdit(const TControl& control) {
  for (const TMetaClass* c = &control.ClassType(); c; c = c->ClassParent())
    if (SameText(c->ClassName(), "TRichEdit")) return true;
  return false;
}

}  // namespace

TList<TComponent>& HookedControls() {
  static THookedControls list;
  return list.FList;
}

void HookMouseMove(TControl* Control, const TMouseMoveEvent& Handler) {
  if (!Control || Control->IsDesigning()) return;
  if (auto* nested = dynamic_cast<TTriPane*>(Control)) {
    nested->FOuterTrack = Handler;
    return;
  }
  TList<TComponent>& hooked = HookedControls();
  if (!Control->OnMouseMove.Assigned()) {
    if (hooked.IndexOf(Control) < 0) hooked.Add(Control);
    Control->OnMouseMove = Handler;
  } else if (hooked.IndexOf(Control) >= 0) {
    Control->OnMouseMove = Handler;
  } else if (IsTrackingHandler(Control->OnMouseMove)) {
    // The constructor gave the pane its handler directly; it is ours to replace.
    hooked.Add(Control);
    Control->OnMouseMove = Handler;
  }
  if (auto* w = dynamic_cast<TWinControl*>(Control))
    for (int i = 0; i < w->ControlCount(); ++i) HookMouseMove(w->Controls(i), Handler);
}

// ---- exclusions ------------------------------------------------------------------------------------

void TTriPane::Exclude(int Offset, const TExclusionCoordinates& Coordinates) {
  FExclusions.push_back(std::make_unique<TExclusionWrapper>(Offset, Coordinates));
}

void TTriPane::IncludeAll() { FExclusions.clear(); }

bool TTriPane::Excluded(int position) const {
  return std::any_of(FExclusions.begin(), FExclusions.end(),
                     [position](const auto& e) { return e->Excludes(position); });
}

// ---- hooks ---------------------------------------------------------------------------------------

void TTriPane::SetMouseEvents(bool Value) {
  TMouseMoveEvent open(this, &TTriPane::TrackforOpen), close(this, &TTriPane::TrackforClose);
  if (!Value) {
    HookMouseMove(FClientPane, nullptr);
    HookMouseMove(FHeaderPane, nullptr);
  } else if (FPopped) {
    HookMouseMove(FClientPane, close);
    HookMouseMove(FHeaderPane, close);
  } else {
    HookMouseMove(FClientPane, open);
    HookMouseMove(FHeaderPane, FAlignMenu == mnTop ? open : close);
  }
}

// ---- tracking ------------------------------------------------------------------------------------

// While closed: opens the menu when the pointer, inside the trigger band, moves towards the
// menu edge by less than 10 pixels. X and Y are relative to Sender.
void TTriPane::TrackforOpen(TObject* Sender, TShiftState Shift, int X, int Y) {
  auto* sender = dynamic_cast<TControl*>(Sender);
  if (!sender) return;
  // Into the tri-pane's client coordinates, through the pane (or stripe) under the pointer.
  int x = X + sender->Left(), y = Y + sender->Top();
  for (TControl* c = sender; c != FClientPane && c != FHeaderPane && c != FStripe;) {
    c = c->Parent();
    if (!c) return;  // not inside this tri-pane
    x += c->Left();
    y += c->Top();
  }
  if (sender == FClientPane) {
    y -= FAlignMenu == mnTop ? FStripeWidth : FHeaderPaneHeight;
    if (FAlignMenu == mnLeft) x -= FStripeWidth;
  }
  const int forwardX = x, forwardY = y;
  if (IsRichEdit(*sender) && (FAlignMenu == mnRight || FAlignMenu == mnBottom)) {
    x += 5;
    y += 5;
  }
  bool excluded = Excluded(IsVertical() ? x : y);
  if (MouseTrigger && !excluded && FClientPane) {
    const int p = IsVertical() ? y : x;
    bool open = false;
    switch (FAlignMenu) {
      case mnTop:
      case mnLeft:
        open = p < Proximity && p < FLastPos && FLastPos - p < 10;
        break;
      case mnBottom:
        open = p > FClientPane->Height() - Proximity && p >= FLastPos && p - FLastPos < 10;
        break;
      case mnRight:
        open = p > FClientPane->Width() - Proximity && p > FLastPos && p - FLastPos < 10;
        break;
    }
    if (open) {
      TDestroyGuard guard(this);
      PopOpen();  // OnPopping and OnPopped may free the tri-pane
      if (!guard.Alive()) return;
    }
    FLastPos = p;
  }
  if (FOuterTrack) FOuterTrack(this, Shift, forwardX, forwardY);
}

// While open: any move over the client or header pane closes the menu.
void TTriPane::TrackforClose(TObject*, TShiftState Shift, int X, int Y) {
  if (!MouseTrigger) return;
  if (FPopped) {
    TDestroyGuard guard(this);
    PopClose();
    if (!guard.Alive()) return;
  }
  if (FOuterTrack) FOuterTrack(this, Shift, X, Y);
}

// ---- pop open and close ----------------------------------------------------------------------------

// OnPopping may free the tri-pane: the menu then neither moves nor reports it popped.
void TTriPane::PopOpen() {
  TDestroyGuard guard(this);
  OnPopping(this, true);
  if (!guard.Alive()) return;
  switch (FAlignMenu) {
    case mnTop:
      if (FHeaderPane) FHeaderPane->Hide();
      if (FMenuPane) FMenuPane->SetTop(0);
      RollOpen(true, true);
      break;
    case mnBottom:
      RollOpen(true, true);
      break;
    case mnLeft:
    case mnRight:
      RollOpen(true, false);
      break;
  }
  TMouseMoveEvent close(this, &TTriPane::TrackforClose);
  HookMouseMove(FClientPane, close);
  HookMouseMove(FHeaderPane, close);
  if (FStripe) FStripe->OnMouseMove = close;
  FPopped = true;
  OnPopped(this, true);
}

void TTriPane::PopClose() {
  TDestroyGuard guard(this);
  OnPopping(this, false);
  if (!guard.Alive()) return;
  switch (FAlignMenu) {
    case mnTop:
      if (FClientPane) FClientPane->SetAlign(alClient);
      if (FHeaderPane) FHeaderPane->Show();
      RollOpen(false, true);
      break;
    case mnBottom:
      RollOpen(false, true);
      break;
    case mnLeft:
    case mnRight:
      RollOpen(false, false);
      break;
  }
  TMouseMoveEvent open(this, &TTriPane::TrackforOpen);
  HookMouseMove(FClientPane, open);
  if (FAlignMenu == mnTop) HookMouseMove(FHeaderPane, open);
  if (FStripe) FStripe->OnMouseMove = open;
  FPopped = false;
  OnPopped(this, false);
}

// ---- roll open ---------------------------------------------------------------------------------------

void TTriPane::SetMenuSize(int size, bool vertical) {
  if (!FMenuPane) return;
  if (vertical)
    FMenuPane->SetHeight(size);
  else
    FMenuPane->SetWidth(size);
}

// Shows or hides the menu pane, sliding it by SlideIncrement pixels a step when that is
// positive. The slide is a plain loop of resize and synchronous repaint, without timers.
void TTriPane::RollOpen(bool Open, bool Vertical) {
  if (!FMenuPane || !FClientPane) return;
  if (Open && !ContinuousAlign) FClientPane->SetAlign(alNone);
  if (Open && !FStripePlaced && FAlignMenu != mnTop) {
    // Put the stripe behind the menu pane in the control order so that it aligns on the
    // menu's inner side; the menu is shown briefly, with redrawing suspended.
    SetMenuSize(5, FAlignMenu == mnBottom);
    Perform(WM_SETREDRAW, 0);
    FMenuPane->Show();
    if (FStripe) {
      FStripe->SetParent(FClientPane);
      FStripe->SetParent(this);
      if (FMenuPane->Align() == alLeft) FStripe->SetLeft(FMenuPane->Left() + FMenuPane->Width());
    }
    Perform(WM_SETREDRAW, 1);
    Invalidate();
    FMenuPane->Hide();
    SetMenuSize(FPopOpenSize, FAlignMenu == mnBottom);
  }
  FStripePlaced = true;

  if (SlideIncrement > 0) {
    double step, current;
    if (Open) {
      step = SlideIncrement;
      current = 5.0;
      SetMenuSize(5, Vertical);
      FMenuPane->Show();
    } else {
      step = -2.0 * SlideIncrement;  // closing runs twice as fast
      current = Vertical ? FMenuPane->Height() : FMenuPane->Width();
    }
    const double limit = FPopOpenSize - static_cast<double>(SlideIncrement);
    int size;
    bool moved;
    do {
      // A step too small to change the size any more (or a size at the clamp) ends the
      // slide instead of repeating it for ever.
      const double next = std::clamp(current + step, -1.0e9, 1.0e9);
      moved = next != current;
      current = next;
      size = static_cast<int>(std::nearbyint(current));
      SetMenuSize(size, Vertical);
      FMenuPane->Repaint();
      FClientPane->Repaint();
      if (FStripe) FStripe->Repaint();
    } while (moved && size < limit && FMenuPane->Height() > 5 && FMenuPane->Width() > 5);
    FClientPane->Repaint();
    if (FStripe) FStripe->Repaint();
    if (!Open) {
      if (FStripe) {
        FStripe->SetParent(this);
        FStripe->SetAlign(MenuAlign(FAlignMenu));
      }
      FMenuPane->Hide();
    }
    SetMenuSize(FPopOpenSize, Vertical);
  } else if (Open) {
    FMenuPane->Show();
  } else {
    FMenuPane->Hide();
  }
  if (!Open && !ContinuousAlign) FClientPane->SetAlign(alClient);
}

}  // namespace tessapack
