#include "framework/controls/FormStorage.h"

#include "framework/classes/IniFiles.h"

FW_DEFINE_ENUM(framework::TPlacementOption, "TPlacementOption", "fpState", "fpPosition")

namespace framework {

FW_DEFINE_CLASS(TFormStorage, [](TClassDef<TFormStorage>& d) {
  d.FieldProperty("Active", &TFormStorage::Active).Default(true);
  d.FieldProperty("IniFileName", &TFormStorage::IniFileName);
  d.FieldProperty("IniSection", &TFormStorage::IniSection);
  d.FieldProperty("Options", &TFormStorage::Options).Default(TPlacementOptions{fpState, fpPosition});
  d.Property("StoredProps", &TFormStorage::StoredProps, &TFormStorage::SetStoredProps);
})

TFormStorage::TFormStorage(TComponent* owner) : TComponent(owner), FStoredProps(new TStringList) {
  if (auto* f = dynamic_cast<TCustomForm*>(owner)) f->AddHook(this);
}

TFormStorage::~TFormStorage() {
  Destroying();
  if (auto* f = dynamic_cast<TCustomForm*>(Owner()); f && !f->IsDestroying()) f->RemoveHook(this);
  delete FStoredProps;
}

void TFormStorage::SetStoredProps(TStrings* value) {
  if (value) FStoredProps->Assign(*value);
}

std::string TFormStorage::EffectiveFileName() const {
  if (!IniFileName.empty()) return IniFileName;
  std::string app = Application().Title().empty() ? "framework" : Application().Title();
  return ConfigDirectory() + "/" + app + "/" + app + ".ini";
}

std::string TFormStorage::EffectiveSection() const {
  if (!IniSection.empty()) return IniSection;
  return Owner() ? Owner()->ClassName() : std::string("FormStorage");
}

// "Component.Property" of the owner (or "Property" of the owner itself).
static bool Resolve(TComponent* owner, const std::string& path, TComponent*& target, std::string& prop) {
  size_t dot = path.rfind('.');
  if (dot == std::string::npos) {
    target = owner;
    prop = path;
  } else {
    target = owner->FindComponent(path.substr(0, dot));
    prop = path.substr(dot + 1);
  }
  return target && IsPublishedProp(*target, prop);
}

void TFormStorage::RestoreFormPlacement() {
  if (!Active || !Owner() || IsDesigning()) return;
  TIniFile ini(EffectiveFileName());
  std::string section = EffectiveSection();
  if (auto* f = dynamic_cast<TCustomForm*>(Owner()); f && Options.Contains(fpPosition) &&
                                                     ini.ValueExists(section, "Left")) {
    f->SetBounds(static_cast<int>(ini.ReadInteger(section, "Left", f->Left())),
                 static_cast<int>(ini.ReadInteger(section, "Top", f->Top())),
                 static_cast<int>(ini.ReadInteger(section, "Width", f->Width())),
                 static_cast<int>(ini.ReadInteger(section, "Height", f->Height())));
  }
  for (int i = 0; i < FStoredProps->Count(); ++i) {
    const std::string& path = FStoredProps->Strings(i);
    TComponent* target;
    std::string prop;
    if (!Resolve(Owner(), path, target, prop) || !ini.ValueExists(section, path)) continue;
    try {
      SetPropText(*target, prop, ini.ReadString(section, path, ""));
    } catch (const EPropertyError&) {
      // A stored value that no longer fits the property is left out.
    }
  }
}

void TFormStorage::SaveFormPlacement() {
  if (!Active || !Owner() || IsDesigning()) return;
  TIniFile ini(EffectiveFileName());
  std::string section = EffectiveSection();
  if (auto* f = dynamic_cast<TCustomForm*>(Owner()); f && Options.Contains(fpPosition)) {
    ini.WriteInteger(section, "Left", f->Left());
    ini.WriteInteger(section, "Top", f->Top());
    ini.WriteInteger(section, "Width", f->Width());
    ini.WriteInteger(section, "Height", f->Height());
  }
  for (int i = 0; i < FStoredProps->Count(); ++i) {
    const std::string& path = FStoredProps->Strings(i);
    TComponent* target;
    std::string prop;
    if (!Resolve(Owner(), path, target, prop)) continue;
    try {
      ini.WriteString(section, path, GetPropText(*target, prop));
    } catch (const EPropertyError&) {
    }
  }
  ini.UpdateFile();
}

void TFormStorage::FormShowing() { RestoreFormPlacement(); }
void TFormStorage::FormClosing() { SaveFormPlacement(); }

}  // namespace framework
