#include "codeweft/cli/SymbolTable.h"

#include <algorithm>

namespace codeweft {

std::string SymbolTableText(const std::vector<TGridRow> &Rows) {
  std::array<std::size_t, 4> Width{};
  for (std::size_t C = 0; C < 4; ++C) Width[C] = GridHeader[C].size();
  for (const TGridRow &Row : Rows)
    for (std::size_t C = 0; C < 4; ++C) Width[C] = std::max(Width[C], Row[C].size());

  std::string Text;
  auto AddRow = [&](auto Cell) {
    std::string Line;
    for (std::size_t C = 0; C < 4; ++C) {
      const std::string_view S = Cell(C);
      Line += S;
      if (C < 3) Line.append(Width[C] - S.size() + 2, ' ');
    }
    while (!Line.empty() && Line.back() == ' ') Line.pop_back();
    Text += Line;
    Text += '\n';
  };
  AddRow([](std::size_t C) { return GridHeader[C]; });
  for (const TGridRow &Row : Rows)
    AddRow([&Row](std::size_t C) { return std::string_view(Row[C]); });
  return Text;
}

void PrintSymbolTable(std::FILE *Out, const std::vector<TGridRow> &Rows) {
  const std::string Text = SymbolTableText(Rows);
  std::fwrite(Text.data(), 1, Text.size(), Out);
}

} // namespace codeweft
