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

bool IsRoutine(TRefKind kind) {
  return kind == TRefKind::rkFunction || kind == TRefKind::rkProcedure;
}

// Turns queued entry index into a link to the page of unit UnitIndex, shown
// and topic-named as written.
void LinkUnit(TRunState &s, int index, int unitIndex, const std::string &written) {
  MakeLink(s, index, PageLink(UnitPage(s.Symbols.Units[unitIndex])), written, "unit_" + written,
           TTokenStyle::tsLink);
}

// Turns queued entry index into a link to routine Name of unit unit, whose
// listing is the page page.
void LinkRoutine(TRunState &s, int index, const std::string &page, const std::string &unit,
                 const std::string &name, const std::string &caption) {
  MakeLink(s, index, PageLink(s.Symbols.PageOf(page)) + "#" + unit + "_" + name, caption,
           unit + "_" + name, TTokenStyle::tsLink);
}

int LastQueued(const TRunState &s) { return static_cast<int>(s.Source.PendingTokens.size()) - 1; }

// The file the current token comes from.
const std::string &CurrentFile(const TRunState &s) {
  return s.Source.Includes.empty() ? s.Source.Scanner.FileName()
                                   : s.Source.Includes.back().Scanner->FileName();
}

// The bytes of file after any UTF-8 byte-order mark (token offsets start
// there), followed by the 0 and the padding that FormToken reads up to; kept
// in the run state until another file is needed.
const std::string *AheadText(TRunState &s, const std::string &file) {
  if (s.AheadFile != file) {
    s.AheadFile.clear();
    std::ifstream in(file, std::ios::binary);
    if (!in) return nullptr;
    s.AheadText.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (s.AheadText.compare(0, 3, "\xEF\xBB\xBF") == 0) s.AheadText.erase(0, 3);
    s.AheadText.append(17, '\0');
    s.AheadFile = file;
  }
  return &s.AheadText;
}

// The number of arguments of the call whose "(" is the current token,
// counted ahead in the source without reading the token stream: the commas
// outside any inner parentheses or brackets, plus one; 0 for "()". -1 when
// the list does not close within a bounded look-ahead. Conditional
// directives inside the list are not followed.
int CallArguments(TRunState &s) {
  if (!Is(s, K::tkLParen)) return 0;
  const std::string *text = AheadText(s, CurrentFile(s));
  if (!text || s.Source.TokenOffset >= text->size() - 17) return -1;
  const auto *base = reinterpret_cast<const unsigned char *>(text->data());
  const unsigned char *const lim = base + (text->size() - 17);
  const std::string &file = CurrentFile(s);
  const std::size_t dot = file.find_last_of('.');
  const bool nested = dot != std::string::npos &&
                      (SameText(file.substr(dot), ".pp") || SameText(file.substr(dot), ".lpr"));
  const unsigned char *p = base + s.Source.TokenOffset;
  int depth = 0, commas = 0;
  bool any = false;
  for (int turn = 0; turn < 4096 && p < lim; ++turn) {
    const scanchars::TFormed f = scanchars::FormToken<false>(p, lim, base, nested);
    if (f.End > lim || f.End <= p) return -1;
    p = f.End;
    const K kind = f.Kind;
    if (IsTrivia(kind)) continue;
    if (kind == K::tkRParen || kind == K::tkRBracket) {
      if (--depth == 0) return any ? commas + 1 : 0;
    } else if (depth > 0) {
      any = true;
      if (kind == K::tkComma && depth == 1) ++commas;
    }
    if (kind == K::tkLParen || kind == K::tkLBracket) ++depth;
    if (depth <= 0) return -1;
  }
  return -1;
}

// The overload number of routine entry found of list for the call at the
// current token: among the entries of list around found with the same name
// and of the same unit (SameUnit), the one whose argument range holds the
// call's arguments when exactly one does, else the first.
template <class T, class SameUnit>
int OverloadOfCall(TRunState &s, const std::vector<T> &list, int found, SameUnit &&same) {
  std::size_t first = static_cast<std::size_t>(found), last = first + 1;
  while (first > 0 && SameText(list[first - 1].Name, list[found].Name)) --first;
  while (last < list.size() && SameText(list[last].Name, list[found].Name)) ++last;
  std::vector<std::pair<int, int>> ranges;  // by overload number
  for (std::size_t i = first; i < last; ++i) {
    const T &r = list[i];
    if (!IsRoutine(r.Kind) || !same(r) || r.Overload < 1) continue;
    if (ranges.size() < static_cast<std::size_t>(r.Overload)) ranges.resize(r.Overload, {1, 0});
    ranges[r.Overload - 1] = {r.MinArgs, r.MaxArgs};
  }
  if (ranges.size() < 2) return list[found].Overload;
  return OverloadForArguments(ranges, CallArguments(s));
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
// is placed in its pieces, each where it stood: the class at pos, the "." at
// DotPos and the name at lastPos (queue positions before any insertion), so
// that the listing keeps the source's text.
void TParser::PlaceRoutineName(std::size_t pos, const std::string &className,
                               const std::string &name, std::size_t dotPos, std::size_t lastPos) {
  const std::string shown = className.empty() ? name : className + "." + name;
  const bool inPieces = !className.empty() && (dotPos != pos || lastPos != dotPos);
  if (FState.Phase == TPhase::phImplementation) {
    const std::string key = className.empty() ? name : className + "_" + name;
    const std::string anchor = FState.CurrentUnit + "_" + key +
                               OverloadSuffix(FState.Symbols.ListedHeadingNumber(LowerCase(key)));
    InsertToken(FState, pos, {}, {}, anchor, TTokenStyle::tsAnchor);
    if (!inPieces) {
      InsertToken(FState, pos + 1, shown, {}, {}, TTokenStyle::tsIdent);
      return;
    }
    InsertToken(FState, pos + 1, className, {}, {}, TTokenStyle::tsIdent);
    InsertToken(FState, dotPos + 2, ".", {}, {}, TTokenStyle::tsSymbol);
    InsertToken(FState, lastPos + 3, name, {}, {}, TTokenStyle::tsIdent);
  } else if (FState.Phase == TPhase::phInterface) {
    const std::string key = FCurrentClass.empty() ? name : FCurrentClass + "_" + name;
    const std::string anchor = FState.CurrentUnit + "_" + key +
                               OverloadSuffix(FState.Symbols.ListedHeadingNumber(LowerCase(key)));
    if (!inPieces) {
      // A qualified name keeps its qualifier in the caption, so no text is lost.
      InsertToken(FState, pos, "#" + anchor, shown, anchor, TTokenStyle::tsLink);
      return;
    }
    InsertToken(FState, pos, className, {}, {}, TTokenStyle::tsIdent);
    InsertToken(FState, dotPos + 1, ".", {}, {}, TTokenStyle::tsSymbol);
    InsertToken(FState, lastPos + 2, "#" + anchor, name, anchor, TTokenStyle::tsLink);
  }
}

// IdentifierChain = ident { "." ident } .
int TParser::IdentifierChain() {
  if (!Listing(FState) || !FState.Source.Deferring) return ReadChain();
  if (!IsIdent(FState)) return prNone;

  // Only the leading identifiers can become links: a unit's name, dotted
  // or not, and the routine after it. Their queue positions are kept, and
  // their names are read back from the queue.
  constexpr int kept = 8;
  int positions[kept] = {-1, -1, -1, -1, -1, -1, -1, -1};
  int count = 0;
  auto queueIdent = [&] {
    QueueToken(FState, FState.Source.Token.Text, {}, {}, TTokenStyle::tsIdent);
    if (count < kept) positions[count] = LastQueued(FState);
    ++count;
    Next(FState);
  };
  queueIdent();
  while (Is(FState, K::tkPeriod)) {
    QueueToken(FState, FState.Source.Token.Text, {}, {}, StyleOf(FState.Source.Token.Kind));
    Next(FState);
    if (!IsIdent(FState)) {
      QueueCurrent(FState);
      return prError;
    }
    queueIdent();
  }

  // A call of an overloaded routine links to the overload that its number
  // of arguments picks (the current token is the one after the chain).
  if (count == 1) {
    const std::vector<TFlatRef> &refs = FState.Symbols.FlatRefs;
    const int ref = FState.Symbols.FlatRefIndex(FState.Source.PendingTokens[positions[0]].Text);
    if (ref >= 0 && IsRoutine(refs[ref].Kind)) {
      const TFlatRef &f = refs[ref];
      const int number = OverloadOfCall(
          FState, refs, ref, [&f](const TFlatRef &r) { return r.UnitName == f.UnitName; });
      const std::string written = FState.Source.PendingTokens[positions[0]].Text;
      LinkRoutine(FState, positions[0], f.UnitName, f.UnitName, f.Name + OverloadSuffix(number),
                  written);
    }
  } else {
    // The unit is the longest run of leading names that names one, a dotted
    // name ("Shared.CommonFunc") only when written without blanks or
    // comments between its parts; at least one name follows it.
    int unit = -1, parts = 0;
    std::string joined, first;
    for (int k = 1; k < std::min(count, kept); ++k) {
      if (k > 1 && positions[k - 1] != positions[k - 2] + 2) break;
      if (k > 1) joined += ".";
      joined += FState.Source.PendingTokens[positions[k - 1]].Text;
      const int found = FState.Symbols.UnitIndex(joined);
      if (found >= 0) {
        unit = found;
        parts = k;
        first = joined;
      }
    }
    if (unit >= 0) {
      int routinePos = positions[parts];
      if (parts > 1) {  // the dotted name becomes one entry, and the link's text
        auto &queue = FState.Source.PendingTokens;
        const int last = positions[parts - 1];
        queue[positions[0]].Text = first;
        queue.erase(queue.begin() + positions[0] + 1, queue.begin() + last + 1);
        routinePos -= last - positions[0];
      }
      const std::string second = FState.Source.PendingTokens[routinePos].Text;
      LinkUnit(FState, positions[0], unit, first);
      const std::vector<TRefElm> &idents = FState.Symbols.Units[unit].Idents;
      const int ident = FindSorted(idents, second);
      if (ident >= 0 && IsRoutine(idents[ident].Kind)) {
        // The arguments after a longer chain are not the routine's.
        const int number =
            count == parts + 1
                ? OverloadOfCall(FState, idents, ident, [](const TRefElm &) { return true; })
                : 1;
        LinkRoutine(FState, routinePos, FState.Symbols.Units[unit].Name, first,
                    second + OverloadSuffix(number), second);
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
  std::vector<int> found;
  int result = prNone;
  for (;;) {
    if (!IsIdent(FState)) {
      QueueCurrent(FState);
      return result;
    }
    const std::size_t namePos = FState.Source.PendingTokens.size();
    std::string name(FState.Source.Token.Text);
    QueueToken(FState, name, {}, {}, StyleOf(FState.Source.Token.Kind));
    Next(FState);
    std::size_t mine = 1;  // tokens of the name queued here
    bool oneRun = true;
    while (Is(FState, K::tkPeriod)) {
      oneRun = oneRun && FState.Source.PendingTokens.size() == namePos + mine;
      QueueToken(FState, FState.Source.Token.Text, {}, {}, TTokenStyle::tsSymbol);
      ++mine;
      Next(FState);
      if (!IsIdent(FState)) {
        QueueCurrent(FState);
        return prError;
      }
      oneRun = oneRun && FState.Source.PendingTokens.size() == namePos + mine;
      name += ".";
      name += FState.Source.Token.Text;
      QueueToken(FState, FState.Source.Token.Text, {}, {}, TTokenStyle::tsIdent);
      ++mine;
      Next(FState);
    }
    if (mine > 1 && oneRun) {
      auto &queue = FState.Source.PendingTokens;
      queue[namePos].Text = name;
      queue.erase(queue.begin() + static_cast<std::ptrdiff_t>(namePos + 1),
                  queue.begin() + static_cast<std::ptrdiff_t>(namePos + mine));
    }
    const int unit = oneRun ? FState.Symbols.UnitIndex(name) : -1;
    if (unit >= 0) {
      found.push_back(unit);
      LinkUnit(FState, static_cast<int>(namePos), unit, name);
    }
    QueueCurrent(FState);
    if (!Is(FState, K::tkComma)) break;
    BeginDeferral(FState);
    Next(FState);
    result = prError;
  }
  FState.Symbols.AddFlatRefs(found);
  return prOk;
}

} // namespace codeweft
