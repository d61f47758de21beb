// Identifier links and routine anchors in the listings.
//
// Targets are built with the names as the rules meet them; the listing writer
// folds anchor names and "#" fragments to lower case when it writes HTML, so
// a heading's anchor and the links to it meet whatever case either used. The
// page part of a link to another unit is the unit's name in the unit list,
// which is the name its listing files are written under.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

#include "codeweft/core/lex/TokenForms.h"
#include "codeweft/core/parse/Parser.h"
#include "codeweft/core/parse/ParserHelpers.h"
#include "codeweft/core/symbols/Overloads.h"

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

// The file the current token comes from.
const std::string &CurrentFile(const TRunState &S) {
  return S.Includes.empty() ? S.Scanner.FileName() : S.Includes.back().Scanner->FileName();
}

// The bytes of File after any UTF-8 byte-order mark (token offsets start
// there), followed by the 0 and the padding that FormToken reads up to; kept
// in the run state until another file is needed.
const std::string *AheadText(TRunState &S, const std::string &File) {
  if (S.AheadFile != File) {
    S.AheadFile.clear();
    std::ifstream In(File, std::ios::binary);
    if (!In) return nullptr;
    S.AheadText.assign(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
    if (S.AheadText.compare(0, 3, "\xEF\xBB\xBF") == 0) S.AheadText.erase(0, 3);
    S.AheadText.append(17, '\0');
    S.AheadFile = File;
  }
  return &S.AheadText;
}

// The number of arguments of the call whose "(" is the current token,
// counted ahead in the source without reading the token stream: the commas
// outside any inner parentheses or brackets, plus one; 0 for "()". -1 when
// the list does not close within a bounded look-ahead. Conditional
// directives inside the list are not followed.
int CallArguments(TRunState &S) {
  if (!Is(S, K::tkLParen)) return 0;
  const std::string *Text = AheadText(S, CurrentFile(S));
  if (!Text || S.TokenOffset >= Text->size() - 17) return -1;
  const auto *Base = reinterpret_cast<const unsigned char *>(Text->data());
  const unsigned char *const Lim = Base + (Text->size() - 17);
  const std::string &File = CurrentFile(S);
  const std::size_t Dot = File.find_last_of('.');
  const bool Nested = Dot != std::string::npos &&
                      (SameText(File.substr(Dot), ".pp") || SameText(File.substr(Dot), ".lpr"));
  const unsigned char *P = Base + S.TokenOffset;
  int Depth = 0, Commas = 0;
  bool Any = false;
  for (int Turn = 0; Turn < 4096 && P < Lim; ++Turn) {
    const scanchars::TFormed F = scanchars::FormToken<false>(P, Lim, Base, Nested);
    if (F.End > Lim || F.End <= P) return -1;
    P = F.End;
    const K Kind = F.Kind;
    if (IsTrivia(Kind)) continue;
    if (Kind == K::tkRParen || Kind == K::tkRBracket) {
      if (--Depth == 0) return Any ? Commas + 1 : 0;
    } else if (Depth > 0) {
      Any = true;
      if (Kind == K::tkComma && Depth == 1) ++Commas;
    }
    if (Kind == K::tkLParen || Kind == K::tkLBracket) ++Depth;
    if (Depth <= 0) return -1;
  }
  return -1;
}

// The overload number of routine entry Found of List for the call at the
// current token: among the entries of List around Found with the same name
// and of the same unit (SameUnit), the one whose argument range holds the
// call's arguments when exactly one does, else the first.
template <class T, class SameUnit>
int OverloadOfCall(TRunState &S, const std::vector<T> &List, int Found, SameUnit &&Same) {
  std::size_t First = static_cast<std::size_t>(Found), Last = First + 1;
  while (First > 0 && SameText(List[First - 1].Name, List[Found].Name)) --First;
  while (Last < List.size() && SameText(List[Last].Name, List[Found].Name)) ++Last;
  std::vector<std::pair<int, int>> Ranges;  // by overload number
  for (std::size_t I = First; I < Last; ++I) {
    const T &R = List[I];
    if (!IsRoutine(R.Kind) || !Same(R) || R.Overload < 1) continue;
    if (Ranges.size() < static_cast<std::size_t>(R.Overload)) Ranges.resize(R.Overload, {1, 0});
    Ranges[R.Overload - 1] = {R.MinArgs, R.MaxArgs};
  }
  if (Ranges.size() < 2) return List[Found].Overload;
  return OverloadForArguments(Ranges, CallArguments(S));
}

}  // namespace

// The chain without links: ident { "." ident }.
int TParser::ReadChain() {
  if (!Accept(FState, K::tkIdentifier)) return prNone;
  while (Accept(FState, K::tkPeriod))
    if (!Accept(FState, K::tkIdentifier)) return prError;
  return prOk;
}

// In phImplementation the name becomes an anchor followed by the name as one
// plain token ("TForm1.Button1Click"); in phInterface a link down to that
// anchor, named after the class whose body is being read, if any.
// A qualified name with blanks or comments inside ("TForm1. { c } Click")
// is placed in its pieces, each where it stood: the class at Pos, the "." at
// DotPos and the name at LastPos (queue positions before any insertion), so
// that the listing keeps the source's text.
void TParser::PlaceRoutineName(std::size_t Pos, const std::string &Class, const std::string &Name,
                               std::size_t DotPos, std::size_t LastPos) {
  const std::string Shown = Class.empty() ? Name : Class + "." + Name;
  const bool InPieces = !Class.empty() && (DotPos != Pos || LastPos != DotPos);
  if (FState.Phase == TPhase::phImplementation) {
    const std::string Key = Class.empty() ? Name : Class + "_" + Name;
    const std::string Anchor = FState.CurrentUnit + "_" + Key +
                               OverloadSuffix(FState.Symbols.ListedHeadingNumber(LowerCase(Key)));
    InsertToken(FState, Pos, {}, {}, Anchor, TTokenStyle::tsAnchor);
    if (!InPieces) {
      InsertToken(FState, Pos + 1, Shown, {}, {}, TTokenStyle::tsIdent);
      return;
    }
    InsertToken(FState, Pos + 1, Class, {}, {}, TTokenStyle::tsIdent);
    InsertToken(FState, DotPos + 2, ".", {}, {}, TTokenStyle::tsSymbol);
    InsertToken(FState, LastPos + 3, Name, {}, {}, TTokenStyle::tsIdent);
  } else if (FState.Phase == TPhase::phInterface) {
    const std::string Key = FCurrentClass.empty() ? Name : FCurrentClass + "_" + Name;
    const std::string Anchor = FState.CurrentUnit + "_" + Key +
                               OverloadSuffix(FState.Symbols.ListedHeadingNumber(LowerCase(Key)));
    if (!InPieces) {
      // A qualified name keeps its qualifier in the caption, so no text is lost.
      InsertToken(FState, Pos, "#" + Anchor, Shown, Anchor, TTokenStyle::tsLink);
      return;
    }
    InsertToken(FState, Pos, Class, {}, {}, TTokenStyle::tsIdent);
    InsertToken(FState, DotPos + 1, ".", {}, {}, TTokenStyle::tsSymbol);
    InsertToken(FState, LastPos + 2, "#" + Anchor, Name, Anchor, TTokenStyle::tsLink);
  }
}

// IdentifierChain = ident { "." ident } .
int TParser::IdentifierChain() {
  if (!Listing(FState) || !FState.Deferring) return ReadChain();
  if (!IsIdent(FState)) return prNone;

  // Only the leading identifiers can become links: a unit's name, dotted
  // or not, and the routine after it. Their queue positions are kept, and
  // their names are read back from the queue.
  constexpr int Kept = 8;
  int Positions[Kept] = {-1, -1, -1, -1, -1, -1, -1, -1};
  int Count = 0;
  auto QueueIdent = [&] {
    QueueToken(FState, FState.Token.Text, {}, {}, TTokenStyle::tsIdent);
    if (Count < Kept) Positions[Count] = LastQueued(FState);
    ++Count;
    Next(FState);
  };
  QueueIdent();
  while (Is(FState, K::tkPeriod)) {
    QueueToken(FState, FState.Token.Text, {}, {}, StyleOf(FState.Token.Kind));
    Next(FState);
    if (!IsIdent(FState)) {
      QueueCurrent(FState);
      return prError;
    }
    QueueIdent();
  }

  // A call of an overloaded routine links to the overload that its number
  // of arguments picks (the current token is the one after the chain).
  if (Count == 1) {
    const std::vector<TFlatRef> &Refs = FState.Symbols.FlatRefs;
    const int Ref = FState.Symbols.FlatRefIndex(FState.PendingTokens[Positions[0]].Text);
    if (Ref >= 0 && IsRoutine(Refs[Ref].Kind)) {
      const TFlatRef &F = Refs[Ref];
      const int Number = OverloadOfCall(
          FState, Refs, Ref, [&F](const TFlatRef &R) { return R.UnitName == F.UnitName; });
      const std::string Written = FState.PendingTokens[Positions[0]].Text;
      LinkRoutine(FState, Positions[0], F.UnitName, F.UnitName, F.Name + OverloadSuffix(Number),
                  Written);
    }
  } else {
    // The unit is the longest run of leading names that names one, a dotted
    // name ("Shared.CommonFunc") only when written without blanks or
    // comments between its parts; at least one name follows it.
    int Unit = -1, Parts = 0;
    std::string Joined, First;
    for (int K = 1; K < std::min(Count, Kept); ++K) {
      if (K > 1 && Positions[K - 1] != Positions[K - 2] + 2) break;
      if (K > 1) Joined += ".";
      Joined += FState.PendingTokens[Positions[K - 1]].Text;
      const int Found = FState.Symbols.UnitIndex(Joined);
      if (Found >= 0) {
        Unit = Found;
        Parts = K;
        First = Joined;
      }
    }
    if (Unit >= 0) {
      int RoutinePos = Positions[Parts];
      if (Parts > 1) {  // the dotted name becomes one entry, and the link's text
        auto &Queue = FState.PendingTokens;
        const int Last = Positions[Parts - 1];
        Queue[Positions[0]].Text = First;
        Queue.erase(Queue.begin() + Positions[0] + 1, Queue.begin() + Last + 1);
        RoutinePos -= Last - Positions[0];
      }
      const std::string Second = FState.PendingTokens[RoutinePos].Text;
      LinkUnit(FState, Positions[0], Unit, First);
      const std::vector<TRefElm> &Idents = FState.Symbols.Units[Unit].Idents;
      const int Ident = FindSorted(Idents, Second);
      if (Ident >= 0 && IsRoutine(Idents[Ident].Kind)) {
        // The arguments after a longer chain are not the routine's.
        const int Number =
            Count == Parts + 1
                ? OverloadOfCall(FState, Idents, Ident, [](const TRefElm &) { return true; })
                : 1;
        LinkRoutine(FState, RoutinePos, FState.Symbols.Units[Unit].Name, First,
                    Second + OverloadSuffix(Number), Second);
      }
    }
  }
  QueueCurrent(FState);
  return prOk;
}

// LinkedUnitList = UnitName { "," UnitName } .   UnitName = ident { "." ident } .
// Entered with Deferring set; every name is queued, with the token after it,
// before the next is read, and the units found are added to FlatRefs at the
// end. A dotted name ("System.SysUtils") written as one run is one entry and
// links whole; with blanks or comments between its parts it stays plain.
int TParser::LinkedUnitList() {
  std::vector<int> Found;
  int Result = prNone;
  for (;;) {
    if (!IsIdent(FState)) {
      QueueCurrent(FState);
      return Result;
    }
    const std::size_t NamePos = FState.PendingTokens.size();
    std::string Name(FState.Token.Text);
    QueueToken(FState, Name, {}, {}, StyleOf(FState.Token.Kind));
    Next(FState);
    std::size_t Mine = 1;  // tokens of the name queued here
    bool OneRun = true;
    while (Is(FState, K::tkPeriod)) {
      OneRun = OneRun && FState.PendingTokens.size() == NamePos + Mine;
      QueueToken(FState, FState.Token.Text, {}, {}, TTokenStyle::tsSymbol);
      ++Mine;
      Next(FState);
      if (!IsIdent(FState)) {
        QueueCurrent(FState);
        return prError;
      }
      OneRun = OneRun && FState.PendingTokens.size() == NamePos + Mine;
      Name += ".";
      Name += FState.Token.Text;
      QueueToken(FState, FState.Token.Text, {}, {}, TTokenStyle::tsIdent);
      ++Mine;
      Next(FState);
    }
    if (Mine > 1 && OneRun) {
      auto &Queue = FState.PendingTokens;
      Queue[NamePos].Text = Name;
      Queue.erase(Queue.begin() + static_cast<std::ptrdiff_t>(NamePos + 1),
                  Queue.begin() + static_cast<std::ptrdiff_t>(NamePos + Mine));
    }
    const int Unit = OneRun ? FState.Symbols.UnitIndex(Name) : -1;
    if (Unit >= 0) {
      Found.push_back(Unit);
      LinkUnit(FState, static_cast<int>(NamePos), Unit, Name);
    }
    QueueCurrent(FState);
    if (!Is(FState, K::tkComma)) break;
    BeginDeferral(FState);
    Next(FState);
    Result = prError;
  }
  FState.Symbols.AddFlatRefs(Found);
  return prOk;
}

} // namespace codeweft
