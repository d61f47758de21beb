#include "codeweft/core/symbols/SymTab.h"

#include <algorithm>

#include "codeweft/core/RunState.h"
#include "codeweft/core/symbols/Overloads.h"

namespace codeweft {

namespace {

const char *const KindNames[] = {"Variable", "Constant",    "Class/Object", "Function",
                                 "Procedure", "Type",       "Label",        "Constructor",
                                 "Destructor", "Record"};

template <class T> void SortByName(std::vector<T> &List) {
  std::stable_sort(List.begin(), List.end(),
                   [](const T &A, const T &B) { return CompareText(A.Name, B.Name) < 0; });
}

} // namespace

void KindName(std::uint8_t Kind, std::string &Text) {
  const unsigned K = Kind & 0x7Fu;
  if (K < std::size(KindNames)) Text = KindNames[K];
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

void TSymbolTable::AddUnit(std::string_view FileName) {
  if (FPhase != TPhase::phProject) return;
  TURElm U;
  U.Name = UnitNameFromFile(FileName);
  U.FileName = std::string(FileName);
  Units.push_back(std::move(U));
  FUnitIndex.Data = nullptr;
}

void TSymbolTable::DeleteUnit(int Index) {
  if (Index >= 0 && Index < static_cast<int>(Units.size())) Units.erase(Units.begin() + Index);
}

TURElm *TSymbolTable::BuildingUnit(std::string_view UnitName) {
  if (!Building()) return nullptr;
  // The symbol pass records into one unit at a time: remember where it was,
  // as long as the list itself has not changed.
  if (FFound.Data == Units.data() && FFound.Size == Units.size() && FFound.Name == UnitName)
    return FFound.Index < 0 ? nullptr : &Units[FFound.Index];
  FFound = {Units.data(), Units.size(), std::string(UnitName), FirstUnit(UnitName)};
  return FFound.Index < 0 ? nullptr : &Units[FFound.Index];
}

int TSymbolTable::FirstUnit(std::string_view Name) const {
  if (FUnitIndex.Data != Units.data() || FUnitIndex.Size != Units.size()) {
    FUnitIndex.First.clear();
    FUnitIndex.First.reserve(Units.size());
    for (std::size_t I = 0; I < Units.size(); ++I)
      FUnitIndex.First.try_emplace(LowerCase(Units[I].Name), static_cast<int>(I));
    FUnitIndex.Data = Units.data();
    FUnitIndex.Size = Units.size();
  }
  const auto It = FUnitIndex.First.find(LowerCase(Name));
  return It == FUnitIndex.First.end() ? -1 : It->second;
}

namespace {

bool IsRoutineKind(TRefKind Kind) {
  return Kind == TRefKind::rkFunction || Kind == TRefKind::rkProcedure ||
         Kind == TRefKind::rkConstructor || Kind == TRefKind::rkDestructor;
}

}  // namespace

void TSymbolTable::AddIdent(std::string_view UnitName, std::string_view Name, TRefKind Kind) {
  TURElm *U = BuildingUnit(UnitName);
  if (!U) return;
  U->Idents.push_back({std::string(Name), Kind});
  if (IsRoutineKind(Kind))
    FLastRoutine = {Units.size(), FFound.Index, -1, static_cast<int>(U->Idents.size()) - 1};
}

void TSymbolTable::AddClass(std::string_view UnitName, std::string_view ClassName) {
  if (TURElm *U = BuildingUnit(UnitName)) U->Classes.push_back({std::string(ClassName), {}});
}

void TSymbolTable::AddMember(std::string_view UnitName, std::string_view ClassName,
                             std::string_view Name, TRefKind Kind) {
  TURElm *U = BuildingUnit(UnitName);
  if (!U) return;
  const int c = FindFirst(U->Classes, ClassName);
  if (c < 0) return;
  std::vector<TRefElm> &Members = U->Classes[c].Members;
  Members.push_back({std::string(Name), Kind});
  if (IsRoutineKind(Kind))
    FLastRoutine = {Units.size(), FFound.Index, c, static_cast<int>(Members.size()) - 1};
}

void TSymbolTable::SetLastRoutine(int Number, int MinArgs, int MaxArgs) {
  const TLastRoutine L = FLastRoutine;
  FLastRoutine = {};  // a heading sets its own routine only
  if (!Building() || L.Unit < 0 || L.Size != Units.size() || L.Unit >= int(Units.size())) return;
  TURElm &U = Units[static_cast<std::size_t>(L.Unit)];
  std::vector<TRefElm> *List = &U.Idents;
  if (L.Class >= 0) {
    if (L.Class >= static_cast<int>(U.Classes.size())) return;
    List = &U.Classes[static_cast<std::size_t>(L.Class)].Members;
  }
  if (L.Index < 0 || L.Index >= static_cast<int>(List->size())) return;
  TRefElm &R = (*List)[static_cast<std::size_t>(L.Index)];
  R.Overload = Number;
  R.MinArgs = MinArgs;
  R.MaxArgs = MaxArgs;
}

int TSymbolTable::ListedHeadingNumber(const std::string &Key) {
  const bool Implementation = FPhase == TPhase::phImplementation;
  const int Index = FHeadings[Implementation][Key]++;
  if (!Implementation || FListedUnit < 0 || FListedUnit >= static_cast<int>(Units.size()))
    return Index + 1;
  return TOverloadNumbering::NumberOf(
      Units[static_cast<std::size_t>(FListedUnit)].ImplementationNumbers, Key, Index);
}

void TSymbolTable::SetLastKind(TRefKind Kind) {
  TURElm *U = BuildingUnit(FCurrentUnit);
  if (U && !U->Idents.empty()) U->Idents.back().Kind = Kind;
}

void TSymbolTable::SortUnits() {
  SortByName(Units);
  FUnitIndex.Data = nullptr;
}

void TSymbolTable::SortAll() {
  SortByName(Units);
  FUnitIndex.Data = nullptr; // same list, new order
  for (TURElm &U : Units) {
    SortByName(U.Idents);
    SortByName(U.Classes);
    for (TCRElm &C : U.Classes) SortByName(C.Members);
  }
}

int TSymbolTable::UnitIndex(std::string_view Name) const { return FindSorted(Units, Name); }

std::string UnitPage(const TURElm &Unit) {
  return Unit.Page.empty() ? PageName(Unit.Name) : Unit.Page;
}

std::string TSymbolTable::PageOf(std::string_view UnitName) const {
  const int U = UnitIndex(UnitName);
  return U < 0 ? PageName(UnitName) : UnitPage(Units[static_cast<std::size_t>(U)]);
}

int TSymbolTable::IdentIndex(std::string_view UnitName, std::string_view Name) const {
  if (Building()) {
    const int u = FirstUnit(UnitName);
    return u < 0 ? -1 : FindFirst(Units[u].Idents, Name);
  }
  const int u = FindSorted(Units, UnitName);
  return u < 0 ? -1 : FindSorted(Units[u].Idents, Name);
}

TRefKind TSymbolTable::IdentKind(std::string_view UnitName, std::string_view Name) const {
  const int u = FindSorted(Units, UnitName);
  if (u < 0) return TRefKind::rkVariable;
  const int i = FindSorted(Units[u].Idents, Name);
  return i < 0 ? TRefKind::rkVariable : Units[u].Idents[i].Kind;
}

void TSymbolTable::BuildFlatRefs(const std::vector<int> &UnitIndexes) {
  if (!Writing()) return;
  FlatRefs.clear();
  FListedUnit = UnitIndexes.empty() ? -1 : UnitIndexes.front();
  FHeadings[0].clear();
  FHeadings[1].clear();
  AddFlatRefs(UnitIndexes);
}

void TSymbolTable::AddFlatRefs(const std::vector<int> &UnitIndexes) {
  if (!Writing()) return;
  // The list is sorted, and so is each unit's batch once SortAll has run:
  // merging batch after batch gives the order a stable sort of everything
  // would, in linear time per batch.
  const auto Less = [](const TFlatRef &A, const TFlatRef &B) {
    return CompareText(A.Name, B.Name) < 0;
  };
  for (const int u : UnitIndexes) {
    if (u < 0 || u >= static_cast<int>(Units.size())) continue;
    const std::size_t Old = FlatRefs.size();
    for (const TRefElm &R : Units[u].Idents)
      FlatRefs.push_back({R.Name, Units[u].Name, R.Kind, R.Overload, R.MinArgs, R.MaxArgs});
    const auto Mid = FlatRefs.begin() + static_cast<std::ptrdiff_t>(Old);
    if (!std::is_sorted(Mid, FlatRefs.end(), Less)) std::stable_sort(Mid, FlatRefs.end(), Less);
    std::inplace_merge(FlatRefs.begin(), Mid, FlatRefs.end(), Less);
  }
}

void TSymbolTable::FreeFlatRefs() { std::vector<TFlatRef>().swap(FlatRefs); }

} // namespace codeweft
