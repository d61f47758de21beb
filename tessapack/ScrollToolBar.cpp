#include "tessapack/ScrollToolBar.h"

#include <algorithm>
#include <limits>
#include <unordered_map>

#include "framework/controls/Forms.h"
#include "framework/design/DesignIntf.h"
#include "framework/graphics/Bitmap.h"
#include "tessapack/Package.h"

FW_DEFINE_ENUM(tessapack::TScrollOrientation, "TScrollOrientation", "scHoriz", "scVert")
FW_DEFINE_ENUM(tessapack::TScrollPad, "TScrollPad", "pdTopLeft", "pdBottomRight")
FW_DEFINE_ENUM(tessapack::TScrollCompJustify, "TScrollCompJustify", "scCenter", "scTopLeft",
               "scBottomRight")

namespace tessapack {

using namespace framework;

// ---- placement entries ------------------------------------------------------------------------

FW_DEFINE_CLASS(TSBComp)
FW_DEFINE_CLASS(TScrollComponentPlacement)

TScrollComponentPlacement::~TScrollComponentPlacement() {
  FreeAll();
}

TSBComp *TScrollComponentPlacement::Find(const TControl *control) const {
  if (!control)
    return nullptr;
  for (TSBComp *entry : *this)
    if (entry && entry->Control == control)
      return entry;
  return nullptr;
}

void TScrollComponentPlacement::Free(int index) {
  TSBComp *entry = Items(index);
  Delete(index);
  delete entry;
}

void TScrollComponentPlacement::FreeAll() {
  for (TSBComp *entry : *this)
    delete entry;
  Clear();
}

// ---- the toolbar
// ---------------------------------------------------------------------------------

FW_DEFINE_CLASS(TScrollToolBar, [](TClassDef<TScrollToolBar> &d) {
  d.Property("Align", &TScrollToolBar::Align, &TScrollToolBar::SetAlign).Default(alNone);
  d.Property("BevelInner", &TScrollToolBar::BevelInner, &TScrollToolBar::SetBevelInner)
      .Default(bvNone);
  d.Property("BevelOuter", &TScrollToolBar::BevelOuter, &TScrollToolBar::SetBevelOuter)
      .Default(bvRaised);
  d.Property("BevelWidth", &TScrollToolBar::BevelWidth, &TScrollToolBar::SetBevelWidth).Default(1);
  d.Property("BorderStyle", &TScrollToolBar::BorderStyle, [](TScrollToolBar &p, TBorderStyle v) {
     p.SetBorderStyle(v);
   }).Default(bsNone);
  d.Property("BorderWidth", &TScrollToolBar::BorderWidth, &TScrollToolBar::SetBorderWidth)
      .NoDefault();
  d.Property("CircularScroll", &TScrollToolBar::CircularScroll, &TScrollToolBar::SetCircularScroll)
      .Default(false);
  d.Property("Color", &TScrollToolBar::Color, [](TScrollToolBar &p, TColor v) { p.SetColor(v); })
      .Default(clBtnFace)
      .StoredIf([](const TScrollToolBar &p) { return !p.ParentColor(); });
  d.Property("CompCount", &TScrollToolBar::CompCount);
  d.Property("ComponentsInfo", &TScrollToolBar::ComponentsInfo);
  d.Property("Font", &TScrollToolBar::FontPtr, &TScrollToolBar::SetFont)
      .StoredIf([](const TScrollToolBar &p) { return !p.ParentFont(); });
  d.Property("MaxCompSize", &TScrollToolBar::MaxCompSize, &TScrollToolBar::SetMaxCompSize)
      .Default(200);
  d.Property("MinCompSize", &TScrollToolBar::MinCompSize, &TScrollToolBar::SetMinCompSize)
      .Default(10);
  d.Event("OnClick", &TControl::OnClick);
  d.Event("OnMouseDown", &TControl::OnMouseDown);
  d.Event("OnMouseMove", &TControl::OnMouseMove);
  d.Event("OnMouseUp", &TControl::OnMouseUp);
  d.Event("OnResize", &TControl::OnResize);
  d.Property("Orientation", &TScrollToolBar::Orientation, &TScrollToolBar::SetOrientation)
      .Default(scHoriz);
  d.Property("Parentcolor", &TScrollToolBar::ParentColor, &TScrollToolBar::SetParentColor)
      .Default(false);
  d.Property("Parentfont", &TScrollToolBar::ParentFont, &TScrollToolBar::SetParentFont)
      .Default(true);
  d.Property("Pad", &TScrollToolBar::Pad, &TScrollToolBar::SetPad).Default(pdBottomRight);
  d.Property("Spacing", &TScrollToolBar::Spacing, &TScrollToolBar::SetSpacing).Default(0);
  d.Property("Visible", &TScrollToolBar::Visible, &TScrollToolBar::SetVisible).Default(true);
})

TScrollToolBar::TScrollToolBar(TComponent *owner)
    : TCustomPanel(owner), FComponentsInfo(std::make_unique<TScrollComponentPlacement>()) {
  if (!GetClass("TScrollToolBar"))
    RegisterClass(TScrollToolBar::StaticClass());
  SetBevelInner(bvNone);
  SetBevelOuter(bvNone);
  SetCaption(IsDesigning() ? "Drop controls on the toolbar" : "");
  FUpArrow = MakeArrow(alTop, "SCROLLUP");
  FDownArrow = MakeArrow(alBottom, "SCROLLDOWN");
  FLeftArrow = MakeArrow(alLeft, "SCROLLLEFT");
  FRightArrow = MakeArrow(alRight, "SCROLLRIGHT");
}

TScrollToolBar::~TScrollToolBar() {
  Destroying();
  *FAlive = false;
  EmptyRolodex();
}

TSpeedButton *TScrollToolBar::MakeArrow(TAlign align, const char *) {
  auto *arrow = new TSpeedButton(this);
  arrow->SetVisible(false);
  arrow->SetFlat(true);
  if (align == alTop || align == alBottom)
    arrow->SetHeight(kArrowSize);
  else
    arrow->SetWidth(kArrowSize);
  arrow->SetAlign(align);
  arrow->OnClick = (align == alTop || align == alLeft) ? TNotifyEvent(this, &TScrollToolBar::UpLf)
                                                       : TNotifyEvent(this, &TScrollToolBar::DnRt);
  return arrow;
}

bool TScrollToolBar::IsArrow(const TControl *control) const {
  return control && (control == FUpArrow || control == FDownArrow || control == FLeftArrow ||
                     control == FRightArrow);
}

TSpeedButton *TScrollToolBar::LeadArrow() const {
  return FOrientation == scHoriz ? FLeftArrow : FUpArrow;
}

TSpeedButton *TScrollToolBar::TrailArrow() const {
  return FOrientation == scHoriz ? FRightArrow : FDownArrow;
}

int TScrollToolBar::StripLength() const {
  return FOrientation == scHoriz ? Width() : Height();
}
int TScrollToolBar::CrossExtent() const {
  return FOrientation == scHoriz ? Height() : Width();
}

int TScrollToolBar::TrueCount() const {
  int n = 0;
  for (int i = 0; i < ControlCount(); ++i)
    if (!IsArrow(Controls(i)))
      ++n;
  return n;
}

// ---- the ring
// -------------------------------------------------------------------------------------

void TScrollToolBar::EmptyRolodex() {
  FRing.clear();
  FStart = FHead = FLast = nullptr;
}

void TScrollToolBar::BuildRolodex() {
  EmptyRolodex();
  for (int i = 0; i < ControlCount(); ++i) {
    TControl *control = Controls(i);
    if (IsArrow(control))
      continue;
    auto entry = std::make_unique<TRingEntry>();
    entry->Control = control;
    FRing.push_back(std::move(entry));
  }
  if (FRing.empty())
    return;
  const size_t n = FRing.size();
  for (size_t i = 0; i < n; ++i) {
    FRing[i]->Next = FRing[(i + 1) % n].get();
    FRing[i]->Prev = FRing[(i + n - 1) % n].get();
  }
  FHead = FStart = FRing.front().get();
  FLast = FRing.back().get();
}

void TScrollToolBar::Unlink(const TComponent *control) {
  auto it = std::ranges::find_if(FRing, [&](const auto &e) { return e->Control == control; });
  if (it == FRing.end())
    return;
  TRingEntry *entry = it->get();
  if (FRing.size() == 1) {
    EmptyRolodex();
    return;
  }
  entry->Prev->Next = entry->Next;
  entry->Next->Prev = entry->Prev;
  if (FStart == entry)
    FStart = entry->Next;
  if (FHead == entry)
    FHead = entry->Next;
  if (FLast == entry)
    FLast = entry->Prev;
  FRing.erase(it);
}

void TScrollToolBar::Rebuild() {
  BuildRolodex();
  Reposition();
}

// ---- layout
// ----------------------------------------------------------------------------------------

int TScrollToolBar::GetVisible() const {
  const int64_t n = TrueCount();
  const int64_t length = StripLength() - FLeadSize - FTrailSize;
  if (length >= n * MinSlot() + n * FSpacing)
    return static_cast<int>(n);
  const int64_t fit = (length - n * FSpacing) / MinSlot();
  return static_cast<int>(std::clamp<int64_t>(fit, 0, n));
}

void TScrollToolBar::Reposition() {
  if (!FHead)
    BuildRolodex();
  if (!FHead) {
    // Nothing to scroll: no arrows, no reserve.
    ArrowsOut();
    return;
  }
  if (!IsDesigning())
    SetCaption("");
  const int reserve = IsDesigning() ? 10 : 0;
  const bool horiz = FOrientation == scHoriz;

  for (const auto &e : FRing)
    e->Control->SetBounds(e->Control->Left(), e->Control->Top(), 0, 0);

  // A strip that holds more slots than there are controls shows each control once.
  const int shown = std::min(GetVisible(), RingCount());
  if (shown <= 0)
    return;
  if (FPrevShown < shown && FStart != FHead)
    for (int i = 0; i < shown - FPrevShown && FStart != FHead; ++i)
      FStart = FStart->Prev;

  if (FStart == FHead && !FCircularScroll) {
    LeadArrow()->SetVisible(false);
    if (FArrowsOn)
      FLeadSize = 0;
  } else if (FStart != FHead && FArrowsOn) {
    FLeadSize = kArrowReserve;
  }
  FPrevShown = shown;

  // Position and size across the strip, by entry.
  struct TCross {
    int Pos = 0;
    int Size = 0;
  };
  std::unordered_map<const TControl *, TCross> cross;
  const int extent = CrossExtent();
  for (const TSBComp *entry : *FComponentsInfo) {
    if (!entry || !entry->Control || cross.contains(entry->Control))
      continue;
    TCross c;
    switch (entry->Justify) {
    case scTopLeft:
      c = {0, extent - 2 * FBorderWidth - entry->CompPad};
      break;
    case scBottomRight:
      c = {entry->CompPad, extent - 2 * FBorderWidth - entry->CompPad};
      break;
    default:
      c = {entry->CompPad, extent - 2 * (entry->CompPad + FBorderWidth)};
      break;
    }
    c.Size = std::max(c.Size, 0);
    cross[entry->Control] = c;
  }

  if (!FCircularScroll) {
    TRingEntry *walk = FStart;
    for (int i = 0; i < shown; ++i) {
      walk = walk->Next;
      if (walk == FHead)
        break;
    }
    if (walk == FHead) {
      TrailArrow()->SetVisible(false);
      FTrailSize = 0;
    } else {
      FTrailSize = kArrowReserve;
    }
  }

  const int length = StripLength();
  int size =
      (length - reserve - 2 * FBorderWidth - FLeadSize - FTrailSize - shown * FSpacing) / shown;
  size = std::clamp(size, 0, std::max(FMaxCompSize, 0));
  int offset = 0;
  if (FPad == pdTopLeft && TrueCount() <= shown)
    offset = length - shown * (size + FSpacing) + FSpacing - 2 * FBorderWidth;

  TRingEntry *walk = FStart;
  for (int k = 0; k < shown; ++k) {
    TControl *control = walk->Control;
    const int along = k * (size + FSpacing) + offset + 1 + FLeadSize + FBorderWidth;
    auto it = cross.find(control);
    if (it != cross.end()) {
      const int across = it->second.Pos + FBorderWidth;
      if (horiz)
        control->SetBounds(along, across, size, it->second.Size);
      else
        control->SetBounds(across, along, it->second.Size, size);
    }
    walk = walk->Next;
    if (!FCircularScroll && walk == FHead)
      break;
  }
}

void TScrollToolBar::ArrowsIn() {
  if (FArrowsOn)
    return;
  RegisterPackageBitmaps();
  for (TSpeedButton *arrow : {LeadArrow(), TrailArrow()}) {
    arrow->SetParent(this);
    TBitmap glyph;
    const char *name = arrow == FUpArrow     ? "SCROLLUP"
                       : arrow == FDownArrow ? "SCROLLDOWN"
                       : arrow == FLeftArrow ? "SCROLLLEFT"
                                             : "SCROLLRIGHT";
    try {
      glyph.LoadFromResourceName(name, kResourceModule);
      arrow->SetGlyph(&glyph);
    } catch (const std::exception &) {
      // An arrow without its glyph still scrolls.
    }
  }
  FLeadSize = FTrailSize = kArrowReserve;
  FArrowsOn = true;
}

// Takes both pairs away: after an orientation change the parented pair may be the other one.
void TScrollToolBar::ArrowsOut() {
  for (TSpeedButton *arrow : {FUpArrow, FDownArrow, FLeftArrow, FRightArrow}) {
    if (!arrow)
      continue;
    if (arrow->Parent())
      arrow->SetParent(nullptr);
    arrow->SetGlyph(nullptr);
    arrow->SetVisible(false);
  }
  FLeadSize = FTrailSize = 0;
  FArrowsOn = false;
}

void TScrollToolBar::Resize() {
  TCustomPanel::Resize();
  if (TrueCount() == 0 || IsDestroying())
    return;
  if (IsDesigning()) {
    Reposition();
    return;
  }
  const int64_t n = TrueCount();
  if (StripLength() - FLeadSize - FTrailSize - 2 * FBorderWidth < n * MinSlot() + n * FSpacing) {
    ArrowsIn();
  } else if (FArrowsOn) {
    ArrowsOut();
  }
  if (FArrowsOn) {
    LeadArrow()->SetVisible(FCircularScroll || FStart != FHead);
    TrailArrow()->SetVisible(FCircularScroll || FStart != FLast);
  }
  if (FLoadDone)
    Reposition();
}

// ---- scrolling
// --------------------------------------------------------------------------------------

void TScrollToolBar::Scroll(TScrollDirection Direction) {
  if (Direction == scUp || Direction == scLeft)
    UpLf(this);
  else
    DnRt(this);
}

void TScrollToolBar::DnRt(TObject *) {
  if (!FStart || IsDestroying())
    return;
  FStart = FStart->Next;
  LeadArrow()->SetVisible(true);
  FLeadSize = kArrowReserve;
  Reposition();
}

void TScrollToolBar::UpLf(TObject *) {
  if (!FStart || IsDestroying())
    return;
  FStart = FStart->Prev;
  if (FStart == FHead && !FCircularScroll) {
    LeadArrow()->SetVisible(false);
    FLeadSize = 0;
  } else {
    FLeadSize = kArrowReserve;
  }
  TrailArrow()->SetVisible(true);
  Reposition();
}

void TScrollToolBar::SetStart(TControl *control) {
  if (!FStart || FStart->Control == control)
    return;
  for (TRingEntry *e = FStart->Next; e != FStart; e = e->Next)
    if (e->Control == control) {
      FStart = e;
      Reposition();
      return;
    }
}

void TScrollToolBar::ForceRepaint() {
  Repaint();
  for (int i = 0; i < ControlCount(); ++i)
    Controls(i)->Repaint();
}

// ---- properties
// ----------------------------------------------------------------------------------

void TScrollToolBar::SetBorderWidth(int Value) {
  FBorderWidth = Value;
  if (!IsLoading())
    Reposition();
}

void TScrollToolBar::SetMinCompSize(int Value) {
  FMinCompSize = Value;
  if (!IsLoading())
    Resize();
}

void TScrollToolBar::SetMaxCompSize(int Value) {
  FMaxCompSize = Value;
  if (!IsLoading())
    Resize();
}

// The arrow pair of the old orientation goes; the next resize parents the new one if needed.
void TScrollToolBar::SetOrientation(TScrollOrientation Value) {
  if (Value == FOrientation)
    return;
  FOrientation = Value;
  if (IsLoading())
    return;
  ArrowsOut();
  FPrevShown = -1;
  Resize();
  Reposition();
}

void TScrollToolBar::SetPad(TScrollPad Value) {
  FPad = Value;
  if (!IsLoading())
    Reposition();
}

// ---- keeping the placements in step with the controls
// -----------------------------------------------

// The toolbar sizes its controls: one that sizes itself (a label) would come back with its
// text's size when scrolled out.
void TScrollToolBar::TakeSizing(TControl *control) {
  const TPropInfo *autoSize = GetPropInfo(*control, "AutoSize");
  if (autoSize && autoSize->Type == &BooleanTypeInfo() && autoSize->SetOrd)
    SetOrdProp(*control, "AutoSize", 0);
}

int TScrollToolBar::CompareIndex(const TSBComp *a, const TSBComp *b) const {
  const int ia = a && a->Control ? IndexOfControl(a->Control) : -1;
  const int ib = b && b->Control ? IndexOfControl(b->Control) : -1;
  return ia < ib ? -1 : (ia > ib ? 1 : 0);
}

void TScrollToolBar::Synchronize() {
  std::unordered_map<const TControl *, int> position;
  for (int i = 0; i < ControlCount(); ++i)
    position.emplace(Controls(i), i);
  auto key = [&](const TSBComp *e) {
    if (!e || !e->Control)
      return std::numeric_limits<int>::max();
    auto it = position.find(e->Control);
    return it == position.end() ? std::numeric_limits<int>::max() : it->second;
  };
  std::vector<TSBComp *> entries(FComponentsInfo->begin(), FComponentsInfo->end());
  std::ranges::stable_sort(entries, {}, key);
  for (int i = 0; i < static_cast<int>(entries.size()); ++i)
    FComponentsInfo->SetItem(i, entries[i]);
}

// The entry list and the ring follow the child list at once; the posted message lays out
// once the framework has finished.
void TScrollToolBar::CMControlListChange(TMessage &m) {
  TCustomPanel::CMControlListChange(m);
  if (IsLoading() || IsDestroying())
    return;
  auto *control = dynamic_cast<TControl *>(m.Obj);
  if (!control || IsArrow(control))
    return;
  if (m.LParam == 1) {
    TakeSizing(control);
    if (!FComponentsInfo->Find(control)) {
      auto *entry = new TSBComp;
      entry->Control = control;
      entry->CompName = control->Name();
      FComponentsInfo->Add(entry);
    }
    EmptyRolodex(); // the next layout builds it with the new control
  } else {
    for (int i = 0; i < FComponentsInfo->Count(); ++i)
      if ((*FComponentsInfo)[i]->Control == control) {
        FComponentsInfo->Free(i);
        break;
      }
    Unlink(control);
    if (!FHead)
      ArrowsOut();
  }
  PostMessage(this, WM_USER, 0, m.LParam == 1 ? snInserted : snRemoved, control);
}

void TScrollToolBar::Dispatch(TMessage &message) {
  if (message.Msg == WM_USER) {
    WMUser(message);
    return;
  }
  TCustomPanel::Dispatch(message);
}

void TScrollToolBar::WMUser(TMessage &m) {
  if (IsDestroying())
    return;
  const int code = static_cast<int>(m.LParam);
  TControl *control = m.ObjFreed ? nullptr : dynamic_cast<TControl *>(m.Obj);
  if (code == snInserted && (!control || control->Parent() != this)) {
    // Gone again before the message came: forget it (by identity only when freed).
    for (int i = 0; i < FComponentsInfo->Count(); ++i)
      if ((*FComponentsInfo)[i]->Control == static_cast<const void *>(m.Obj)) {
        FComponentsInfo->Free(i);
        break;
      }
    Unlink(m.Obj);
    return;
  }
  if (code == snInserted) {
    if (FOrientation == scHoriz)
      control->SetTop(0);
    else
      control->SetLeft(0);
  }
  if (code == snLoaded) {
    // Each child takes the first unlinked entry of its name.
    for (int i = 0; i < ControlCount(); ++i) {
      TControl *child = Controls(i);
      if (IsArrow(child) || child->Name().empty() || FComponentsInfo->Find(child))
        continue;
      for (TSBComp *entry : *FComponentsInfo)
        if (!entry->Control && entry->CompName == child->Name()) {
          entry->Control = child;
          break;
        }
    }
    FLoadDone = true;
  }
  Synchronize();
  if (code != snPlacementChanged)
    BuildRolodex();
  SetCaption("");
  // In a burst of insertions the last message lays out for all: the earlier ones skip the
  // resize while another is queued and the layout once a later one has run.
  const bool more = PeekMessage(this, WM_USER, WM_USER, PM_NOREMOVE).has_value();
  if (!more)
    Resize();
  const uint64_t serial = ++FHandled;
  std::shared_ptr<bool> alive = FAlive;
  Application().ProcessMessages();
  if (!*alive || IsDestroying())
    return;
  if (FHandled != serial)
    return;
  if (more)
    Resize();
  if (!PeekMessage(this, WM_USER, WM_USER, PM_NOREMOVE)) {
    Perform(WM_SETREDRAW, 1);
    Repaint();
  }
  Reposition();
}

// ---- streaming
// --------------------------------------------------------------------------------------

void TScrollToolBar::DefineProperties(TFiler &filer) {
  TCustomPanel::DefineProperties(filer);
  filer.DefineProperty(
      "CompNames", [this](TReader &r) { ReadProc(r); }, [this](TWriter &w) { WriteProc(w); }, true);
}

// Entries whose control is gone are not written: they could link to nothing.
void TScrollToolBar::WriteProc(TWriter &writer) {
  writer.WriteListBegin();
  for (const TSBComp *entry : *FComponentsInfo) {
    if (!entry || !entry->Control)
      continue;
    writer.WriteString(entry->Control->Name());
    writer.WriteInteger(entry->CompPad);
    writer.WriteInteger(entry->Justify);
  }
  writer.WriteListEnd();
}

void TScrollToolBar::ReadProc(TReader &reader) {
  reader.ReadListBegin();
  while (!reader.EndOfList()) {
    auto entry = std::make_unique<TSBComp>();
    entry->CompName = reader.ReadString();
    const int64_t pad = reader.ReadInteger();
    entry->CompPad = static_cast<int>(
        std::clamp<int64_t>(pad, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    const int64_t justify = reader.ReadInteger();
    // An unknown justification reads as centred.
    entry->Justify = justify >= 0 && justify <= scBottomRight
                         ? static_cast<TScrollCompJustify>(justify)
                         : scCenter;
    FComponentsInfo->Add(entry.release());
  }
  reader.ReadListEnd();
}

void TScrollToolBar::ReadState(TReader &reader) {
  FLoadDone = false;
  TCustomPanel::ReadState(reader);
  PostMessage(this, WM_USER, 0, snLoaded);
  if (dynamic_cast<TActiveForm *>(Owner()) && !FLoadTimer) {
    FLoadTimer = new TTimer(this);
    FLoadTimer->SetInterval(100);
    FLoadTimer->SetOnTimer(TNotifyEvent(this, &TScrollToolBar::OnTimer));
    FLoadTimer->SetEnabled(true);
  }
}

// Inside an embedded form the posted load step may never arrive: the timer runs it once
// the owner has finished loading.
void TScrollToolBar::OnTimer(TObject *) {
  if (IsDestroying() || (Owner() && Owner()->IsLoading()))
    return;
  FLoadTimer->SetEnabled(false);
  if (FLoadDone)
    return;
  TMessage m{WM_USER, 0, snLoaded};
  WMUser(m);
}

} // namespace tessapack
