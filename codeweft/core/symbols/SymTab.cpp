#include "codeweft/core/symbols/SymTab.h"

#include <algorithm>

#include "codeweft/core/RunState.h"
#include "codeweft/core/symbols/Overloads.h"

namespace codeweft {

namespace {

const char *const KindNames[] = {"Variable", "Constant",    "Class/Object", "Function",
                                 "Procedure", "Type",       "Label",        "Constructor",
                                 "Destructor", "Record"};

template <class T> void SortByName(std::vector<T> &list) {
  std::stable_sort(list.begin(), list.end(),
                   [](const T &a, const T &b) { return CompareText(a.Name, b.Name) < 0; });
}

} // namespace

void KindName(std::uint8_t kind, std::string &text) {
  const unsigned k = kind & 0x7Fu;
  if (k < std::size(KindNames)) text = KindNames[k];
}

void TSymbolTable::CreateSymbols() {
  Units.clear();
  FUnitIndex.Data = nullptr;
  FlatRefs.clear();
}

void TSymbolTable::FreeSymbols() {
  std::vector<TURElm>().swap(Units);
  FUnitIndex = {};
  std::vector<TFlatRef>().swap(FlatRefs);
}

void TSymbolTable::AddUnit(std::string_view fileName) {
  if (FPhase != TPhase::phProject) return;
  TURElm u;
  u.Name = UnitNameFromFile(fileName);
  u.FileName = std::string(fileName);
  Units.push_back(std::move(u));
  FUnitIndex.Data = nullptr;
}

void TSymbolTable::DeleteUnit(int index) {
  if (index >= 0 && index < static_cast<int>(Units.size())) Units.erase(Units.begin() + index);
}

TURElm *TSymbolTable::BuildingUnit(std::string_view unitName) {
  if (!Building()) return nullptr;
  // The symbol pass records into one unit at a time: remember where it was,
  // as long as the list itself has not changed.
  if (FFound.Data == Units.data() && FFound.Size == Units.size() && FFound.Name == unitName)
    return FFound.Index < 0 ? nullptr : &Units[FFound.Index];
  FFoundClass = {};
  FFound = {Units.data(), Units.size(), std::string(unitName), FirstUnit(unitName)};
  return FFound.Index < 0 ? nullptr : &Units[FFound.Index];
}

int TSymbolTable::FirstUnit(std::string_view name) const {
  if (FUnitIndex.Data != Units.data() || FUnitIndex.Size != Units.size()) {
    FUnitIndex.First.clear();
    FUnitIndex.First.reserve(Units.size());
    for (std::size_t i = 0; i < Units.size(); ++i)
      FUnitIndex.First.try_emplace(LowerCase(Units[i].Name), static_cast<int>(i));
    FUnitIndex.Data = Units.data();
    FUnitIndex.Size = Units.size();
  }
  const auto it = FUnitIndex.First.find(LowerCase(name));
  return it == FUnitIndex.First.end() ? -1 : it->second;
}

namespace {

bool IsRoutineKind(TRefKind kind) {
  return kind == TRefKind::rkFunction || kind == TRefKind::rkProcedure ||
         kind == TRefKind::rkConstructor || kind == TRefKind::rkDestructor;
}

}  // namespace

void TSymbolTable::AddIdent(std::string_view unitName, std::string_view name, TRefKind kind) {
  TURElm *u = BuildingUnit(unitName);
  if (!u) return;
  u->Idents.push_back({std::string(name), kind});
  if (IsRoutineKind(kind))
    FLastRoutine = {Units.size(), FFound.Index, -1, static_cast<int>(u->Idents.size()) - 1};
}

void TSymbolTable::AddClass(std::string_view unitName, std::string_view className) {
  if (TURElm *u = BuildingUnit(unitName)) u->Classes.push_back({std::string(className), {}});
}

void TSymbolTable::AddMember(std::string_view unitName, std::string_view className,
                             std::string_view name, TRefKind kind) {
  TURElm *u = BuildingUnit(unitName);
  if (!u) return;
  // The members of a class come one after another: the class found for the
  // last member is found again without a search, as long as no class has
  // been added since (a unit may hold thousands of classes).
  if (FFoundClass.Data != u->Classes.data() || FFoundClass.Size != u->Classes.size() ||
      FFoundClass.Name != className)
    FFoundClass = {u->Classes.data(), u->Classes.size(), std::string(className),
                   FindFirst(u->Classes, className)};
  const int c = FFoundClass.Index;
  if (c < 0) return;
  std::vector<TRefElm> &members = u->Classes[c].Members;
  members.push_back({std::string(name), kind});
  if (IsRoutineKind(kind))
    FLastRoutine = {Units.size(), FFound.Index, c, static_cast<int>(members.size()) - 1};
}

void TSymbolTable::SetLastRoutine(int number, int minArgs, int maxArgs) {
  const TLastRoutine l = FLastRoutine;
  FLastRoutine = {};  // a heading sets its own routine only
  if (!Building() || l.Unit < 0 || l.Size != Units.size() || l.Unit >= int(Units.size())) return;
  TURElm &u = Units[static_cast<std::size_t>(l.Unit)];
  std::vector<TRefElm> *list = &u.Idents;
  if (l.Class >= 0) {
    if (l.Class >= static_cast<int>(u.Classes.size())) return;
    list = &u.Classes[static_cast<std::size_t>(l.Class)].Members;
  }
  if (l.Index < 0 || l.Index >= static_cast<int>(list->size())) return;
  TRefElm &r = (*list)[static_cast<std::size_t>(l.Index)];
  r.Overload = number;
  r.MinArgs = minArgs;
  r.MaxArgs = maxArgs;
}

int TSymbolTable::ListedHeadingNumber(const std::string &key) {
  const bool implementation = FPhase == TPhase::phImplementation;
  const int index = FHeadings[implementation][key]++;
  if (!implementation || FListedUnit < 0 || FListedUnit >= static_cast<int>(Units.size()))
    return index + 1;
  return TOverloadNumbering::NumberOf(
      Units[static_cast<std::size_t>(FListedUnit)].ImplementationNumbers, key, index);
}

void TSymbolTable::SetLastKind(TRefKind kind) {
  TURElm *u = BuildingUnit(FCurrentUnit);
  if (u && !u->Idents.empty()) u->Idents.back().Kind = kind;
}

void TSymbolTable::SortUnits() {
  SortByName(Units);
  FUnitIndex.Data = nullptr;
}

void TSymbolTable::SortAll() {
  SortByName(Units);
  FUnitIndex.Data = nullptr; // same list, new order
  for (TURElm &u : Units) {
    SortByName(u.Idents);
    SortByName(u.Classes);
    for (TCRElm &c : u.Classes) SortByName(c.Members);
  }
}

int TSymbolTable::UnitIndex(std::string_view name) const { return FindSorted(Units, name); }

std::string UnitPage(const TURElm &unit) {
  return unit.Page.empty() ? PageName(unit.Name) : unit.Page;
}

std::string TSymbolTable::PageOf(std::string_view unitName) const {
  const int u = UnitIndex(unitName);
  return u < 0 ? PageName(unitName) : UnitPage(Units[static_cast<std::size_t>(u)]);
}

int TSymbolTable::IdentIndex(std::string_view unitName, std::string_view name) const {
  if (Building()) {
    const int u = FirstUnit(unitName);
    return u < 0 ? -1 : FindFirst(Units[u].Idents, name);
  }
  const int u = FindSorted(Units, unitName);
  return u < 0 ? -1 : FindSorted(Units[u].Idents, name);
}

TRefKind TSymbolTable::IdentKind(std::string_view unitName, std::string_view name) const {
  const int u = FindSorted(Units, unitName);
  if (u < 0) return TRefKind::rkVariable;
  const int i = FindSorted(Units[u].Idents, name);
  return i < 0 ? TRefKind::rkVariable : Units[u].Idents[i].Kind;
}

void TSymbolTable::BuildFlatRefs(const std::vector<int> &unitIndexes) {
  if (!Writing()) return;
  FlatRefs.clear();
  FListedUnit = unitIndexes.empty() ? -1 : unitIndexes.front();
  FHeadings[0].clear();
  FHeadings[1].clear();
  AddFlatRefs(unitIndexes);
}

void TSymbolTable::AddFlatRefs(const std::vector<int> &unitIndexes) {
  if (!Writing()) return;
  // The list is sorted, and so is each unit's batch once SortAll has run:
  // merging batch after batch gives the order a stable sort of everything
  // would, in linear time per batch.
  const auto less = [](const TFlatRef &a, const TFlatRef &b) {
    return CompareText(a.Name, b.Name) < 0;
  };
  for (const int u : unitIndexes) {
    if (u < 0 || u >= static_cast<int>(Units.size())) continue;
    const std::size_t old = FlatRefs.size();
    for (const TRefElm &r : Units[u].Idents)
      FlatRefs.push_back({r.Name, Units[u].Name, r.Kind, r.Overload, r.MinArgs, r.MaxArgs});
    const auto mid = FlatRefs.begin() + static_cast<std::ptrdiff_t>(old);
    if (!std::is_sorted(mid, FlatRefs.end(), less)) std::stable_sort(mid, FlatRefs.end(), less);
    std::inplace_merge(FlatRefs.begin(), mid, FlatRefs.end(), less);
  }
}

void TSymbolTable::FreeFlatRefs() { std::vector<TFlatRef>().swap(FlatRefs); }

} // namespace codeweft
