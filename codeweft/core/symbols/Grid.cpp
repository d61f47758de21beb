#include "codeweft/core/symbols/Grid.h"

namespace codeweft {

namespace {

TGridRow NameRow(const TRefElm &ref) {
  TGridRow row;
  row[2] = ref.Name;
  KindName(ref.Kind, row[3]);
  return row;
}

} // namespace

std::vector<TGridRow> GridRows(const TSymbolTable &symbols) {
  std::vector<TGridRow> rows;
  for (const TURElm &unit : symbols.Units) {
    rows.emplace_back()[0] = unit.Name + ":" + unit.FileName;
    for (const TRefElm &ident : unit.Idents) rows.push_back(NameRow(ident));
    for (const TCRElm &cls : unit.Classes) {
      rows.emplace_back()[1] = cls.Name;
      for (const TRefElm &member : cls.Members) rows.push_back(NameRow(member));
    }
  }
  return rows;
}

} // namespace codeweft
