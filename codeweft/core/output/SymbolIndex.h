// The symbol index page: every unit, class and identifier of the symbol
// table with its kind, linked to its declaration (a line of the unit's page)
// and, for routines, to its implementation, with the places that call it.
// A search box filters the list as one types (a script of the page itself,
// so that it works from a file as well as from a server).
//
// The listing pass gathers only what the symbol table does not hold (lines,
// anchors placed, call sites), in compact form; the page is written once all
// units are listed, row by row straight into its file, so that neither the
// rows nor the page are ever held whole in memory.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "codeweft/core/output/ListingWriter.h"
#include "codeweft/core/symbols/SymTab.h"

namespace codeweft {

// A place that calls a routine: a line of a page, in a unit.
struct TCallSite {
  int Page = 0;  // in TIndexData::Pages
  int Unit = 0;  // in the symbol table's Units
  int Line = 0;
};

// What the listing pass gathers for the index while it writes the pages.
struct TIndexData {
  // The pages named by rows, anchors and call sites (with ".html"), once each.
  std::vector<std::string> Pages;
  int PageId(const std::string &page);

  // The rows of one listed unit: its identifiers, classes and their members
  // in the order of the symbol table, each with its declaration line (0: not
  // found on the page).
  struct TUnitRows {
    int Unit = 0;  // in the symbol table's Units
    int Page = 0;
    std::vector<int> Lines;
  };
  std::vector<TUnitRows> Units;

  // The routine anchors placed, in order.
  struct TAnchor {
    int Page = 0;
    int Unit = 0;
    std::string Name;
  };
  std::vector<TAnchor> Anchors;

  // The call sites of each routine, by CallersKey of its page and anchor.
  std::unordered_map<std::uint64_t, std::vector<TCallSite>> Callers;

  void Clear() {
    Pages.clear();
    FPageIds.clear();
    FLastPage = -1;
    Units.clear();
    Anchors.clear();
    Callers.clear();
  }

 private:
  std::unordered_map<std::string, int> FPageIds;
  int FLastPage = -1;  // the page asked for last: most calls ask for it again
};

// Clears names and has it look out for the names of Unit's identifiers,
// classes and members, before the unit's listing.
void WantIndexNames(TNameLines &names, const TURElm &unit);

// Records the rows of unit unitIndex of symbols (written to Page): its
// identifiers, classes and their members. Names holds the lines of the
// interface part each name appears on: an identifier is declared on the
// first, a member on the first after its class. A routine's row links to its
// implementation when the listing placed its anchor on Page.
void AddIndexRows(TIndexData &data, const TSymbolTable &symbols, int unitIndex,
                  const std::string &page, const TNameLines &names);

// Writes the page to the file path (UTF-8); projectName is shown in its
// title. Symbols is the table the rows were recorded from. Throws
// EFCreateError or EFWriteError naming the file.
void WriteSymbolIndex(const std::string &path, const TIndexData &data, const TSymbolTable &symbols,
                      const std::string &projectName);

}  // namespace codeweft
