#include "framework/base/Object.h"

#include <algorithm>

#include "framework/base/Events.h"
#include "framework/base/Exceptions.h"
#include "framework/base/Rtti.h"

namespace framework {

int TTypeInfo::EnumValue(std::string_view name) const {
  for (size_t i = 0; i < EnumNames.size(); ++i)
    if (SameText(EnumNames[i], name)) return static_cast<int>(i);
  return -1;
}

std::string TTypeInfo::EnumName(int64_t value) const {
  if (value >= 0 && value < static_cast<int64_t>(EnumNames.size())) return EnumNames[value];
  return std::to_string(value);
}

TMetaClass::TMetaClass(std::string name, const TMetaClass* parent)
    : FName(std::move(name)), FParent(parent) {
  if (FParent) {
    FAllProps = FParent->FAllProps;
    FAllMethods = FParent->FAllMethods;
  }
}

bool TMetaClass::InheritsFrom(const TMetaClass& other) const {
  for (const TMetaClass* c = this; c; c = c->FParent)
    if (c == &other) return true;
  return false;
}

TComponent* TMetaClass::Create(TComponent* owner) const {
  if (!FCreate) throw EInvalidOperation("Cannot create an instance of class " + FName);
  return FCreate(owner);
}

TPropInfo& TMetaClass::AddProperty(std::string name) {
  FOwnProps.push_back(std::make_unique<TPropInfo>());
  FOwnProps.back()->Name = std::move(name);
  return *FOwnProps.back();
}

void TMetaClass::HideProperty(std::string_view name) { FHidden.emplace_back(name); }

TMethodInfo& TMetaClass::AddMethod(std::string name) {
  FMethods.push_back(std::make_unique<TMethodInfo>());
  FMethods.back()->Name = std::move(name);
  return *FMethods.back();
}

TFieldInfo& TMetaClass::AddField(std::string name) {
  FFields.push_back(std::make_unique<TFieldInfo>());
  FFields.back()->Name = std::move(name);
  return *FFields.back();
}

void TMetaClass::Seal() {
  FAllProps = FParent ? FParent->FAllProps : std::vector<const TPropInfo*>{};
  for (const auto& p : FOwnProps) {
    auto same = std::find_if(FAllProps.begin(), FAllProps.end(),
                             [&](const TPropInfo* q) { return SameText(q->Name, p->Name); });
    if (same != FAllProps.end())
      *same = p.get();
    else
      FAllProps.push_back(p.get());
  }
  for (const std::string& h : FHidden)
    std::erase_if(FAllProps, [&](const TPropInfo* q) { return SameText(q->Name, h); });
  FAllMethods = FParent ? FParent->FAllMethods : std::vector<const TMethodInfo*>{};
  for (const auto& m : FMethods) {
    auto same = std::find_if(FAllMethods.begin(), FAllMethods.end(),
                             [&](const TMethodInfo* q) { return SameText(q->Name, m->Name); });
    if (same != FAllMethods.end())
      *same = m.get();
    else
      FAllMethods.push_back(m.get());
  }
}

const TPropInfo* TMetaClass::FindProperty(std::string_view name) const {
  for (const TPropInfo* p : FAllProps)
    if (SameText(p->Name, name)) return p;
  return nullptr;
}

const TMethodInfo* TMetaClass::FindMethod(std::string_view name) const {
  for (const TMetaClass* c = this; c; c = c->FParent)
    for (const auto& m : c->FMethods)
      if (SameText(m->Name, name)) return m.get();
  return nullptr;
}

std::string TMetaClass::MethodName(const std::any& code) const {
  for (const TMetaClass* c = this; c; c = c->FParent)
    for (const auto& m : c->FMethods)
      if (m->SameCode(code)) return m->Name;
  return "";
}

const TFieldInfo* TMetaClass::FindField(std::string_view name) const {
  for (const TMetaClass* c = this; c; c = c->FParent)
    for (const auto& f : c->FFields)
      if (SameText(f->Name, name)) return f.get();
  return nullptr;
}

const TMetaClass& TObject::StaticClass() {
  static TMetaClass meta("TObject", nullptr);
  return meta;
}

std::string PublishedMethodName(const TObject& obj, const std::any& code) {
  return obj.ClassType().MethodName(code);
}

// ---- class registry --------------------------------------------------------------------

namespace {
std::map<std::string, const TMetaClass*, TTextLess>& Registry() {
  static std::map<std::string, const TMetaClass*, TTextLess> registry;
  return registry;
}
}  // namespace

void RegisterClass(const TMetaClass& cls) { Registry()[cls.ClassName()] = &cls; }

void RegisterClasses(std::initializer_list<const TMetaClass*> classes) {
  for (const TMetaClass* c : classes) RegisterClass(*c);
}

void UnRegisterClass(const TMetaClass& cls) {
  auto it = Registry().find(cls.ClassName());
  if (it != Registry().end() && it->second == &cls) Registry().erase(it);
}

const TMetaClass* GetClass(std::string_view name) {
  auto it = Registry().find(name);
  return it == Registry().end() ? nullptr : it->second;
}

const TMetaClass& FindClass(std::string_view name) {
  const TMetaClass* c = GetClass(name);
  if (!c) throw EClassNotFound("Class " + std::string(name) + " not found");
  return *c;
}

}  // namespace framework
