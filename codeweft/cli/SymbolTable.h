// The symbol table on the command line: the grid rows as a table whose
// columns are as wide as their longest cell.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "codeweft/core/symbols/Grid.h"

namespace codeweft {

// The header row and every data row, columns separated by two blanks,
// without blanks at a line's end; every line ends in "\n".
std::string SymbolTableText(const std::vector<TGridRow> &rows);

void PrintSymbolTable(std::FILE *out, const std::vector<TGridRow> &rows);

} // namespace codeweft
