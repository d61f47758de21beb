// Support for the parser tests: unit texts run through the symbol pass, rule
// calls on small token sequences, and a listing driver that renders what the
// link rules queue.
#pragma once

#include "codeweft/core/lex/Keywords.h"
#include "codeweft/core/output/ListingPass.h"
#include "codeweft/core/parse/Parser.h"
#include "codeweft/core/symbols/SymbolPass.h"
#include "codeweft/core/lex/TokenStream.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace codeweft::test {

// A unit named Demo whose interface part is Body.
inline std::string DemoUnit(const std::string &Body) {
  return "unit Demo;\r\ninterface\r\n" + Body + "\r\nimplementation\r\nend.\r\n";
}

// "Name:Kind" of every entry, in list order, separated by blanks.
inline std::string Listed(const std::vector<TRefElm> &Refs) {
  std::string Out;
  for (const TRefElm &R : Refs) {
    std::string Kind;
    KindName(R.Kind, Kind);
    Out += (Out.empty() ? "" : " ") + R.Name + ":" + Kind;
  }
  return Out;
}

// A listing driver in the shape of the listing pass: the hook writes every
// token as soon as nothing is deferred, the queue first; the loop hands
// identifiers, headings, uses clauses and the unit heading to their rules.
// Text is the listing's plain text (link captions, no anchors), which must
// give the source back; Markup shows links as [Caption>Target|Topic] and
// anchors as <Topic>. Tokens of include files are read but not written: they
// are not the unit's text.
struct TListingDriver {
  TRunState &S;
  std::string Text, Markup;
  int Links = 0, Anchors = 0;
  int InInclude = 0;  // include files open

  explicit TListingDriver(TRunState &State) : S(State) {
    S.Source.TokenHook = [this] { Hook(); };
    S.Source.IncludeHook = [this](bool Entering) {
      Flush();  // what is queued was read before the move
      InInclude += Entering ? 1 : -1;
    };
  }
  ~TListingDriver() {
    S.Source.TokenHook = nullptr;
    S.Source.IncludeHook = nullptr;
  }

  void Emit(const TDelayedToken &T) {
    if (InInclude > 0) return;
    if (T.Style == TTokenStyle::tsLink) {
      ++Links;
      Text += T.Caption;
      Markup += "[" + T.Caption + ">" + T.Text + "|" + T.Topic + "]";
    } else if (T.Style == TTokenStyle::tsAnchor) {
      ++Anchors;
      Markup += "<" + T.Topic + ">";
    } else {
      Text += T.Text;
      Markup += T.Text;
    }
  }
  void Flush() {
    for (const TDelayedToken &T : S.Source.PendingTokens) Emit(T);
    S.Source.PendingTokens.clear();
  }
  void Hook() {
    if (S.Phase == TPhase::phSymbols) return;
    if (S.Source.Deferring) {
      if (IsTrivia(S.Source.Token.Kind) || S.Source.Conditionals.Skipping())
        QueueToken(S, S.Source.Token.Text, {}, {}, StyleOf(S.Source.Token.Kind));
      return;
    }
    Flush();
    Emit({std::string(S.Source.Token.Text), {}, {}, StyleOf(S.Source.Token.Kind)});
  }

  // The listing of unit Index of the (sorted) table.
  void Run(int Index) {
    InInclude = 0;
    S.Phase = TPhase::phInterface;
    S.CurrentUnit = S.Symbols.Units[Index].Name;
    S.Source.Deferring = false;
    S.Source.PendingTokens.clear();
    S.Symbols.BuildFlatRefs({S.Symbols.UnitIndex(S.CurrentUnit)});
    OpenSource(S, LocateSourceFile(S.Symbols.Units[Index].FileName));
    S.Source.AtEnd = false;
    Advance(S);
    ListTokens(S);
    S.Source.Deferring = false;
    Flush();
    S.Source.Scanner.Close();
    S.Symbols.FreeFlatRefs();
  }
};

// Parser tests: files in a temporary folder, a run state with a unit list.
struct ParserTest : ::testing::Test {
  TTempDir Dir;
  TRunState S;

  // Adds a unit file Name.pas holding Source to the unit list.
  void AddUnit(const std::string &Name, const std::string &Source) {
    S.Phase = TPhase::phProject;
    S.Symbols.AddUnit(Dir.Write(Name + ".pas", Source));
  }

  // The symbol pass over the one unit Demo whose interface is Body.
  TInterfaceOutcome Pass(const std::string &Body) {
    S.Symbols.CreateSymbols();
    AddUnit("Demo", DemoUnit(Body));
    return ParseUnitInterface(S, 0);
  }
  std::string Idents() const { return Listed(S.Symbols.Units.at(0).Idents); }
  std::string Members(const std::string &Class) const {
    for (const TCRElm &C : S.Symbols.Units.at(0).Classes)
      if (C.Name == Class) return Listed(C.Members);
    return "(no class " + Class + ")";
  }

  // Rule tests: Source is read from its first token in phSymbols, with the
  // unit Demo current; Rule is applied once.
  int Apply(int (TParser::*Rule)(), const std::string &Source) {
    S.Symbols.CreateSymbols();
    AddUnit("Demo", "");
    S.Phase = TPhase::phSymbols;
    S.CurrentUnit = "Demo";
    S.Source.Scanner.Open(Dir.Write("rule.pas", Source));
    S.Source.AtEnd = false;
    Advance(S);
    S.Parser->Restart();
    return ((*S.Parser).*Rule)();
  }
  // The current token's text, "<end>" at the end.
  std::string Current() const {
    return S.Source.AtEnd ? "<end>" : std::string(S.Source.Token.Text);
  }
};

} // namespace codeweft::test
