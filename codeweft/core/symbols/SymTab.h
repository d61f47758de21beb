// The symbol table of one run: the project's units with the identifiers and
// classes their interface parts declare, and the flat reference list that
// resolves bare identifiers while one unit is written.
//
// Names compare case-insensitively as whole names (Text.h). Lists stay in
// insertion order while the symbol pass fills them (adding is an append) and
// are sorted once by SortAll; from then on lookups are binary searches.
// No list rejects duplicates.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "codeweft/core/Phase.h"
#include "codeweft/core/Text.h"

namespace codeweft {

enum class TRefKind : std::uint8_t {
  rkVariable = 0,
  rkConstant = 1,
  rkClass = 2,
  rkFunction = 3,
  rkProcedure = 4,
  rkType = 5,
  rkLabel = 6,
  rkConstructor = 7,
  rkDestructor = 8,
  rkRecord = 9,
};

// One identifier of a unit, or one method of a class. A routine also carries
// which overload of its name it is (1 for the first, Overloads.h) and how many
// arguments a call of it passes: MinArgs to MaxArgs, fewer than its
// parameters when defaults are left out.
struct TRefElm {
  std::string Name;
  TRefKind Kind = TRefKind::rkVariable;
  int Overload = 1;
  int MinArgs = 0;
  int MaxArgs = 0;
};

// One class declared in a unit's interface.
struct TCRElm {
  std::string Name;
  std::vector<TRefElm> Members;
};

// One unit of the project.
struct TURElm {
  std::string Name;     // file name without directory and extension, case as written
  std::string FileName; // as written in the project file, with ".pas" or ".pp" if found so
  std::string EntryName; // the unit's name in the project entry, dots included
  int ProjectLine = 0;   // line of that entry in the project file
  std::string Page;      // file name of its pages without extension; empty: PageName(Name)
  std::vector<TRefElm> Idents;
  std::vector<TCRElm> Classes;
  // The overload numbers of the implementation headings, by key, where they
  // are not 1, 2, 3... in source order (TOverloadNumbering).
  std::vector<std::pair<std::string, std::vector<int>>> ImplementationNumbers;
};

// The file name (without extension) of the unit's HTML page and RTF topic.
std::string UnitPage(const TURElm &unit);

// One entry of the flat reference list.
struct TFlatRef {
  std::string Name;
  std::string UnitName;
  TRefKind Kind = TRefKind::rkVariable;
  int Overload = 1;  // as in TRefElm
  int MinArgs = 0;
  int MaxArgs = 0;
};

// Sets Text to the display name of Kind ("Variable", "Class/Object", ...).
// Only the low seven bits count; for a value above 9 Text is left as it was.
void KindName(std::uint8_t kind, std::string &text);
inline void KindName(TRefKind kind, std::string &text) {
  KindName(static_cast<std::uint8_t>(kind), text);
}

// Index of the first entry named Name, scanning from the front; -1 if none.
template <class T> int FindFirst(const std::vector<T> &list, std::string_view name) {
  for (std::size_t i = 0; i < list.size(); ++i)
    if (SameText(list[i].Name, name)) return static_cast<int>(i);
  return -1;
}

// Binary search of a name-sorted list: probe the middle of [low, high]; a
// name that sorts before Name moves low past the probe, a name after it moves
// high below it, and the first equal probe is the hit. -1 if none.
template <class T> int FindSorted(const std::vector<T> &list, std::string_view name) {
  int low = 0, high = static_cast<int>(list.size()) - 1;
  while (low <= high) {
    const int mid = low + (high - low) / 2;
    const int c = CompareText(list[mid].Name, name);
    if (c < 0)
      low = mid + 1;
    else if (c == 0)
      return mid;
    else
      high = mid - 1;
  }
  return -1;
}

// Units and FlatRefs with the operations the passes use. Recording operations
// act only in the phase that owns them and do nothing otherwise, so the same
// grammar rules can run in every pass. The table reads the run's Phase and
// CurrentUnit through the references given to its constructor.
class TSymbolTable {
public:
  TSymbolTable(const TPhase &phase, const std::string &currentUnit)
      : FPhase(phase), FCurrentUnit(currentUnit) {}
  TSymbolTable(const TSymbolTable &) = delete;
  TSymbolTable &operator=(const TSymbolTable &) = delete;

  std::vector<TURElm> Units;
  std::vector<TFlatRef> FlatRefs;

  // Run start and run end: an empty table, and nothing left of the last run.
  void CreateSymbols();
  void FreeSymbols();

  // phProject only: appends a unit named after FileName (UnitNameFromFile).
  void AddUnit(std::string_view fileName);
  // Removes entry Index of Units; an index out of range does nothing.
  void DeleteUnit(int index);

  // phSymbols only; the unit (and class) is the first of that name, found
  // from the front. A unit or class that is not there records nothing.
  void AddIdent(std::string_view unitName, std::string_view name, TRefKind kind);
  void AddClass(std::string_view unitName, std::string_view className);
  void AddMember(std::string_view unitName, std::string_view className, std::string_view name,
                 TRefKind kind);
  // Kind of the identifier appended last to currentUnit's Idents.
  void SetLastKind(TRefKind kind);
  // The routine recorded last (by AddIdent or AddMember) is overload number
  // of its name, called with MinArgs to MaxArgs arguments.
  void SetLastRoutine(int number, int minArgs, int maxArgs);

  // Sorts Units, every unit's Idents and Classes, and every class's Members.
  void SortAll();
  // Sorts Units alone, as SortAll does.
  void SortUnits();

  // Binary search in the sorted Units; -1 if not found.
  int UnitIndex(std::string_view name) const;
  // Index in the unit's Idents, -1 if unit or name is missing. In phSymbols
  // both lists are scanned from the front, in other phases binary-searched.
  int IdentIndex(std::string_view unitName, std::string_view name) const;
  // The page of the unit named UnitName (binary search), or PageName of the
  // name when there is no such unit.
  std::string PageOf(std::string_view unitName) const;
  // Kind of the identifier (binary search); rkVariable (0) when not found.
  TRefKind IdentKind(std::string_view unitName, std::string_view name) const;

  // phInterface and phImplementation only. BuildFlatRefs starts a new list;
  // AddFlatRefs appends the top-level identifiers of the given units in order
  // and sorts the list. Indexes outside Units are passed over.
  void BuildFlatRefs(const std::vector<int> &unitIndexes);
  void AddFlatRefs(const std::vector<int> &unitIndexes);
  void FreeFlatRefs();
  // The overload number of the next routine heading of key (Overloads.h) in
  // the listing of the unit BuildFlatRefs started with: in phInterface the
  // headings of each key are counted, in phImplementation they take the
  // numbers the symbol pass gave that unit's implementation headings.
  int ListedHeadingNumber(const std::string &key);
  // Binary search in FlatRefs; -1 if not found.
  int FlatRefIndex(std::string_view name) const { return FindSorted(FlatRefs, name); }

private:
  bool Building() const { return FPhase == TPhase::phSymbols; }
  bool Writing() const {
    return FPhase == TPhase::phInterface || FPhase == TPhase::phImplementation;
  }
  TURElm *BuildingUnit(std::string_view unitName);
  // The first unit of that name (without regard to case), -1 if none: found
  // through an index of Units, built again whenever the list has changed, so
  // that finding every unit once costs time in proportion to their number.
  int FirstUnit(std::string_view name) const;

  const TPhase &FPhase;
  const std::string &FCurrentUnit;
  struct TFoundUnit {
    const TURElm *Data = nullptr;
    std::size_t Size = 0;
    std::string Name;
    int Index = -1;
  } FFound; // the last unit BuildingUnit looked up
  struct TFoundClass {
    const TCRElm *Data = nullptr;  // the unit's class list, and its size, when found
    std::size_t Size = 0;
    std::string Name;
    int Index = -1;
  } FFoundClass; // the last class AddMember looked up
  struct TUnitIndex {
    const TURElm *Data = nullptr;
    std::size_t Size = 0;
    std::unordered_map<std::string, int> First; // lower-case name -> first index
  };
  mutable TUnitIndex FUnitIndex;
  struct TLastRoutine {
    std::size_t Size = 0;  // the size of Units when it was recorded
    int Unit = -1, Class = -1, Index = -1;
  } FLastRoutine;
  int FListedUnit = -1;  // the unit of BuildFlatRefs
  // The headings of each key listed so far: declarations, implementations.
  std::unordered_map<std::string, int> FHeadings[2];
};

} // namespace codeweft
