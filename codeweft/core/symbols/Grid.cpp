#include "codeweft/core/symbols/Grid.h"

namespace codeweft {

namespace {

TGridRow NameRow(const TRefElm &Ref) {
  TGridRow Row;
  Row[2] = Ref.Name;
  KindName(Ref.Kind, Row[3]);
  return Row;
}

} // namespace

std::vector<TGridRow> GridRows(const TSymbolTable &Symbols) {
  std::vector<TGridRow> Rows;
  for (const TURElm &Unit : Symbols.Units) {
    Rows.emplace_back()[0] = Unit.Name + ":" + Unit.FileName;
    for (const TRefElm &Ident : Unit.Idents) Rows.push_back(NameRow(Ident));
    for (const TCRElm &Class : Unit.Classes) {
      Rows.emplace_back()[1] = Class.Name;
      for (const TRefElm &Member : Class.Members) Rows.push_back(NameRow(Member));
    }
  }
  return Rows;
}

} // namespace codeweft
