#include "codeweft/cli/SymbolTable.h"

#include <algorithm>

namespace codeweft {

std::string SymbolTableText(const std::vector<TGridRow> &rows) {
  std::array<std::size_t, 4> width{};
  for (std::size_t c = 0; c < 4; ++c) width[c] = GridHeader[c].size();
  for (const TGridRow &row : rows)
    for (std::size_t c = 0; c < 4; ++c) width[c] = std::max(width[c], row[c].size());

  std::string text;
  auto addRow = [&](auto cell) {
    std::string line;
    for (std::size_t c = 0; c < 4; ++c) {
      const std::string_view s = cell(c);
      line += s;
      if (c < 3) line.append(width[c] - s.size() + 2, ' ');
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    text += line;
    text += '\n';
  };
  addRow([](std::size_t c) { return GridHeader[c]; });
  for (const TGridRow &row : rows)
    addRow([&row](std::size_t c) { return std::string_view(row[c]); });
  return text;
}

void PrintSymbolTable(std::FILE *out, const std::vector<TGridRow> &rows) {
  const std::string text = SymbolTableText(rows);
  std::fwrite(text.data(), 1, text.size(), out);
}

} // namespace codeweft
