// Identifier links and routine anchors in the listings.
//
// Targets are built with the names as the rules meet them; the listing writer
// folds anchor names and "#" fragments to lower case when it writes HTML, so
// a heading's anchor and the links to it meet whatever case either used. The
// page part of a link to another unit is the unit's name in the unit list,
// which is the name its listing files are written under.
#include "codeweft/core/parse/Parser.h"

#include "codeweft/core/parse/ParserHelpers.h"

#include <vector>

namespace codeweft {

using namespace parse;
using K = TTokenKind;

namespace {

bool IsRoutine(TRefKind Kind) {
  return Kind == TRefKind::rkFunction || Kind == TRefKind::rkProcedure;
}

// Turns queued entry Index into a link to the page of unit UnitIndex, shown
// and topic-named as written.
void LinkUnit(TRunState &S, int Index, int UnitIndex, const std::string &Written) {
  MakeLink(S, Index, PageLink(UnitPage(S.Symbols.Units[UnitIndex])), Written, "unit_" + Written,
           TTokenStyle::tsLink);
}

// Turns queued entry Index into a link to routine Name of unit Unit, whose
// listing is the page Page.
void LinkRoutine(TRunState &S, int Index, const std::string &Page, const std::string &Unit,
                 const std::string &Name, const std::string &Caption) {
  MakeLink(S, Index, PageLink(S.Symbols.PageOf(Page)) + "#" + Unit + "_" + Name, Caption,
           Unit + "_" + Name, TTokenStyle::tsLink);
}

int LastQueued(const TRunState &S) { return static_cast<int>(S.PendingTokens.size()) - 1; }

// The chain without links: ident { "." ident }.
int ReadChain(TRunState &S) {
  if (!Accept(S, K::tkIdentifier)) return prNone;
  while (Accept(S, K::tkPeriod))
    if (!Accept(S, K::tkIdentifier)) return prError;
  return prOk;
}

} // namespace

namespace parse {

// In phImplementation the name becomes an anchor followed by the name as one
// plain token ("TForm1.Button1Click"); in phInterface a link down to that
// anchor, named after the class whose body is being read, if any.
void PlaceRoutineName(TRunState &S, std::size_t Pos, const std::string &Class,
                      const std::string &Name) {
  const std::string Shown = Class.empty() ? Name : Class + "." + Name;
  if (S.Phase == TPhase::phImplementation) {
    const std::string Anchor =
        S.CurrentUnit + "_" + (Class.empty() ? Name : Class + "_" + Name);
    InsertToken(S, Pos, {}, {}, Anchor, TTokenStyle::tsAnchor);
    InsertToken(S, Pos + 1, Shown, {}, {}, TTokenStyle::tsIdent);
  } else if (S.Phase == TPhase::phInterface) {
    const std::string Anchor =
        S.CurrentUnit + "_" + (S.CurrentClass.empty() ? Name : S.CurrentClass + "_" + Name);
    // A qualified name keeps its qualifier in the caption, so no text is lost.
    InsertToken(S, Pos, "#" + Anchor, Shown, Anchor, TTokenStyle::tsLink);
  }
}

} // namespace parse

// IdentifierChain = ident { "." ident } .
int IdentifierChain(TRunState &S) {
  if (!Listing(S) || !S.Deferring) return ReadChain(S);
  if (!IsIdent(S)) return prNone;

  // Only the first two identifiers can become links: their queue positions
  // are kept, and their names are read back from the queue.
  int Positions[2] = {-1, -1};
  int Count = 0;
  auto QueueIdent = [&] {
    QueueToken(S, S.Token.Text, {}, {}, TTokenStyle::tsIdent);
    if (Count < 2) Positions[Count] = LastQueued(S);
    ++Count;
    Next(S);
  };
  QueueIdent();
  while (Is(S, K::tkPeriod)) {
    QueueToken(S, S.Token.Text, {}, {}, StyleOf(S.Token.Kind));
    Next(S);
    if (!IsIdent(S)) {
      QueueCurrent(S);
      return prError;
    }
    QueueIdent();
  }

  if (Count == 1) {
    const int Ref = S.Symbols.FlatRefIndex(S.PendingTokens[Positions[0]].Text);
    if (Ref >= 0 && IsRoutine(S.Symbols.FlatRefs[Ref].Kind)) {
      const TFlatRef &F = S.Symbols.FlatRefs[Ref];
      const std::string Written = S.PendingTokens[Positions[0]].Text;
      LinkRoutine(S, Positions[0], F.UnitName, F.UnitName, F.Name, Written);
    }
  } else {
    const int Unit = S.Symbols.UnitIndex(S.PendingTokens[Positions[0]].Text);
    if (Unit >= 0) {
      const std::string First = S.PendingTokens[Positions[0]].Text;
      const std::string Second = S.PendingTokens[Positions[1]].Text;
      LinkUnit(S, Positions[0], Unit, First);
      if (IsRoutine(S.Symbols.IdentKind(First, Second)))
        LinkRoutine(S, Positions[1], S.Symbols.Units[Unit].Name, First, Second, Second);
    }
  }
  QueueCurrent(S);
  return prOk;
}

// LinkedUnitList = ident { "," ident } .
// Entered with Deferring set; every name is queued and written before the
// next is read, and the units found are added to FlatRefs at the end.
int LinkedUnitList(TRunState &S) {
  std::vector<int> Found;
  int Result = prNone;
  for (;;) {
    if (!IsIdent(S)) {
      QueueCurrent(S);
      return Result;
    }
    QueueToken(S, S.Token.Text, {}, {}, StyleOf(S.Token.Kind));
    const int Unit = S.Symbols.UnitIndex(S.Token.Text);
    if (Unit >= 0) {
      Found.push_back(Unit);
      LinkUnit(S, LastQueued(S), Unit, std::string(S.Token.Text));
    }
    S.Deferring = false;
    Next(S);
    if (!Is(S, K::tkComma)) break;
    BeginDeferral(S);
    Next(S);
    Result = prError;
  }
  S.Symbols.AddFlatRefs(Found);
  return prOk;
}

} // namespace codeweft
