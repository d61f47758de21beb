// The symbol table as the rows of the result grid, computed here so that the
// window and the command line show the same thing.
#pragma once

#include "codeweft/core/symbols/SymTab.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace codeweft {

// One row: "Unit/Location", "Class", "Identifier", "Type"; a row fills only
// the columns that belong to it and leaves the others empty.
using TGridRow = std::array<std::string, 4>;

inline constexpr std::array<std::string_view, 4> GridHeader = {"Unit/Location", "Class",
                                                                "Identifier", "Type"};

// The data rows (header not included), in the table's order: for each unit a
// row "Name:FileName", a row per identifier (name, kind), then per class a
// row with its name followed by a row per member (name, kind). The number of
// rows is the count shown beside "symbols scanned".
std::vector<TGridRow> GridRows(const TSymbolTable &symbols);

} // namespace codeweft
