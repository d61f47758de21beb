// The symbol index page: every unit, class and identifier of the symbol
// table with its kind, linked to its declaration (a line of the unit's page)
// and, for routines, to its implementation, with the places that call it.
// A search box filters the list as one types (a script of the page itself,
// so that it works from a file as well as from a server).
#pragma once

#include <functional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "codeweft/core/symbols/SymTab.h"

namespace codeweft {

// A place that calls a routine: a line of a unit's page.
struct TCallSite {
  std::string Page;  // the page, with ".html"
  std::string Unit;
  int Line = 0;
};

// One line of the index.
struct TIndexRow {
  std::string Name;  // "DoIt", "TForm1", "TForm1.Button1Click"
  std::string Kind;  // "Unit", "Procedure", "Class/Object", ...
  std::string Unit;
  std::string Page;    // the unit's page, with ".html"
  int DeclLine = 0;    // 0: the declaration was not found on the page
  std::string Anchor;  // the implementation's anchor on Page; empty if none
};

// What the listing pass gathers for the index while it writes the pages.
struct TIndexData {
  std::vector<TIndexRow> Rows;
  // The routine anchors placed, in order: page (with ".html"), unit, anchor.
  std::vector<std::pair<std::string, std::pair<std::string, std::string>>> Anchors;
  // The call sites of each routine, by CallersId of its page and anchor.
  std::unordered_map<std::string, std::vector<TCallSite>> Callers;
  void Clear() {
    Rows.clear();
    Anchors.clear();
    Callers.clear();
  }
};

// The rows of Unit (written to Page): the unit, then its identifiers, classes
// and their members. Names is the log of identifiers written in the unit's
// interface part, with their lines: an identifier is declared on the line of
// its first appearance there, a member on the first after its class.
// HasAnchor tells whether Page carries an anchor of that name.
void AddIndexRows(TIndexData &Data, const TURElm &Unit, const std::string &Page,
                  const std::vector<std::pair<std::string, int>> &Names,
                  const std::function<bool(const std::string &)> &HasAnchor);

// The page's text (UTF-8); ProjectName is shown in its title.
std::string SymbolIndexText(const TIndexData &Data, const std::string &ProjectName);

}  // namespace codeweft
