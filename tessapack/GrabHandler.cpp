#include "tessapack/GrabHandler.h"

#include <algorithm>
#include <set>

#include "framework/base/Rtti.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Forms.h"
#include "tessapack/Package.h"

FW_DEFINE_ENUM(tessapack::TGrabHandlerState, "TGrabHandlerState", "ghOff", "ghOn")

namespace tessapack {

using namespace framework;

namespace {

constexpr const char* kNoNames = "###";

bool InheritsFromRegistered(const TComponent& component, const char* className) {
  const TMetaClass* cls = GetClass(className);
  return cls && component.InheritsFrom(*cls);
}

bool HasBorderWidth(const TComponent& component) {
  return GetPropInfo(component, "BORDERWIDTH") != nullptr;
}

}  // namespace

bool IsGrabBorderContainer(const TComponent& component) {
  return InheritsFromRegistered(component, "TTriPane") ||
         InheritsFromRegistered(component, "TMultiPane");
}

bool IsBorderWidthContainer(const TComponent& component) {
  return InheritsFromRegistered(component, "TScrollToolBar") ||
         dynamic_cast<const TCustomPanel*>(&component) != nullptr;
}

FW_DEFINE_CLASS(TGrabHandler, [](TClassDef<TGrabHandler>& d) {
  d.Property("AllGrabHandles", &TGrabHandler::AllGrabHandles, &TGrabHandler::SetGrabs).NoDefault();
  d.FieldProperty("DisableOnRun", &TGrabHandler::DisableOnRun).Default(true);
  d.Property("GrabWidth", &TGrabHandler::GrabWidth, &TGrabHandler::SetWidth).Default(2);
})

TGrabHandler::TGrabHandler(TComponent* owner) : TComponent(owner) {
  if (!dynamic_cast<TCustomForm*>(owner))
    throw EInvalidOwner("This component may only be owned by a TCustomForm");
  // The toolbar's border width is edited as a plain integer.
  if (const TMetaClass* toolbar = GetClass("TScrollToolBar")) {
    static std::set<const TMetaClass*> registered;
    if (registered.insert(toolbar).second)
      RegisterPropertyEditor<TIntegerProperty>(IntegerTypeInfo(), toolbar, "BORDERWIDTH");
  }
}

TGrabHandler::~TGrabHandler() {
  Destroying();
  Forget();
}

void TGrabHandler::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (FGrabbed) std::erase(*FGrabbed, component);
  if (component == FTimer) FTimer = nullptr;
}

void TGrabHandler::Remember(TComponent* component) {
  FGrabbed->push_back(component);
  FreeNotification(component);
}

void TGrabHandler::Forget() {
  if (!FGrabbed) return;
  for (TComponent* c : *FGrabbed) RemoveFreeNotification(c);
  FGrabbed->clear();
}

// ---- switching
// ------------------------------------------------------------------------------------

void TGrabHandler::SetGrabs(TGrabHandlerState Value) {
  if (!IsDesigning()) return;
  if (Value == FAllGrabHandles && !IsLoading()) return;
  FAllGrabHandles = Value;
  if (IsLoading()) return;
  if (Value == ghOn) {
    Forget();
    FGrabbed.emplace();
    FUnresolved.clear();
  }
  TComponent* owner = Owner();
  for (int i = 0; owner && i < owner->ComponentCount(); ++i) {
    TComponent* c = owner->Components(i);
    if (IsGrabBorderContainer(*c)) {
      if (GetPropInfo(*c, "GRABBORDER")) SetOrdProp(*c, "GRABBORDER", Value == ghOn ? 1 : 0);
      continue;
    }
    if (!IsBorderWidthContainer(*c) || !HasBorderWidth(*c)) continue;
    if (Value == ghOn) {
      // A container that has a border of its own is left alone.
      if (GetOrdProp(*c, "BORDERWIDTH") != 0) continue;
      SetOrdProp(*c, "BORDERWIDTH", FGrabWidth);
      Remember(c);
    } else if (FGrabbed && std::ranges::find(*FGrabbed, c) != FGrabbed->end() &&
               GetOrdProp(*c, "BORDERWIDTH") == FGrabWidth) {
      // A border changed since it was widened is the user's now.
      SetOrdProp(*c, "BORDERWIDTH", 0);
    }
  }
  FAllGrabHandles = Value;
}

void TGrabHandler::SetWidth(int Value) {
  if (Value < 0) return;
  FGrabWidth = Value;
  if (IsLoading() || !IsDesigning() || FAllGrabHandles != ghOn || !FGrabbed) return;
  for (TComponent* c : std::vector<TComponent*>(*FGrabbed))
    if (IsBorderWidthContainer(*c) && HasBorderWidth(*c)) SetOrdProp(*c, "BORDERWIDTH", Value);
}

// ---- streaming
// ------------------------------------------------------------------------------------

void TGrabHandler::DefineProperties(TFiler& filer) {
  TComponent::DefineProperties(filer);
  filer.DefineProperty(
      "CompNames", [this](TReader& r) { ReadProc(r); }, [this](TWriter& w) { WriteProc(w); }, true);
}

void TGrabHandler::WriteProc(TWriter& writer) {
  writer.WriteListBegin();
  bool written = false;
  if (FAllGrabHandles == ghOn) {
    if (FGrabbed)
      for (TComponent* c : *FGrabbed)
        if (!c->Name().empty()) {
          writer.WriteString(c->Name());
          written = true;
        }
    for (const std::string& name : FUnresolved) {
      writer.WriteString(name);
      written = true;
    }
  }
  if (!written) writer.WriteString(kNoNames);
  writer.WriteListEnd();
}

// The names are only kept here: they are resolved once the whole form is in (Loaded).
void TGrabHandler::ReadProc(TReader& reader) {
  std::vector<std::string> names;
  reader.ReadListBegin();
  while (!reader.EndOfList()) names.push_back(reader.ReadString());
  reader.ReadListEnd();
  if (IsDestroying()) return;
  FHaveNames = !names.empty() && names.front() != kNoNames;
  FNames = std::move(names);
}

void TGrabHandler::ReadState(TReader& reader) {
  TComponent::ReadState(reader);
  if (IsDesigning() || !DisableOnRun || FTimer) return;
  FTimer = new TTimer(this);
  FTimer->SetInterval(50);
  FTimer->SetOnTimer(TNotifyEvent(this, &TGrabHandler::Timer));
  FTimer->SetEnabled(true);
}

void TGrabHandler::Loaded() {
  TComponent::Loaded();
  if (!IsDesigning()) {
    if (FTimer) Cleanup(false);
    return;
  }
  // Rebuild the memory of which borders to take away when the handles go off.
  if (!FHaveNames || !FNames || FAllGrabHandles != ghOn) return;
  Forget();
  FGrabbed.emplace();
  FUnresolved.clear();
  TComponent* owner = Owner();
  for (const std::string& name : *FNames) {
    bool found = false;
    for (int i = 0; owner && i < owner->ComponentCount(); ++i)
      if (TComponent* c = owner->Components(i); c->Name() == name) {
        Remember(c);
        found = true;
      }
    if (!found) FUnresolved.push_back(name);
  }
}

// ---- run time
// -------------------------------------------------------------------------------------

void TGrabHandler::Timer(TObject*) { Cleanup(true); }

// Takes the stored borders away once the owner has loaded; a border the form or the
// application changed to another width is left alone.
void TGrabHandler::Cleanup(bool fromTimer) {
  TComponent* owner = Owner();
  if (owner && owner->IsLoading()) return;  // the timer comes back
  if (FTimer) FTimer->SetEnabled(false);
  if (FHaveNames && FNames)
    for (const std::string& name : *FNames)
      for (int i = 0; owner && i < owner->ComponentCount(); ++i) {
        TComponent* c = owner->Components(i);
        if (c->Name() != name || !IsBorderWidthContainer(*c) || !HasBorderWidth(*c)) continue;
        if (GetOrdProp(*c, "BORDERWIDTH") == FGrabWidth) SetOrdProp(*c, "BORDERWIDTH", 0);
      }
  FNames.reset();
  // A timer cannot be freed inside its own event: that one stays, stopped, until the
  // handler goes.
  if (FTimer && !fromTimer) delete FTimer;
  FTimer = nullptr;
}

// ---- the component editor
// -------------------------------------------------------------------------

void TGrabHandlerEditor::Edit() {
  auto* handler = dynamic_cast<TGrabHandler*>(Component());
  if (!handler) return;
  handler->SetGrabs(handler->AllGrabHandles() == ghOn ? ghOff : ghOn);
  if (Designer()) Designer()->Modified();
}

namespace GrabHandler {
void Register() {
  RegisterPackageBitmaps();
  RegisterComponents("Tessaline", {&TGrabHandler::StaticClass()});
  static const bool editor =
      (RegisterComponentEditor<TGrabHandlerEditor>(TGrabHandler::StaticClass()), true);
  (void)editor;
}
}  // namespace GrabHandler

}  // namespace tessapack
