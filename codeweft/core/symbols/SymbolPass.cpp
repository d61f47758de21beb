#include "codeweft/core/symbols/SymbolPass.h"

#include <filesystem>
#include <functional>

#include "codeweft/core/Errors.h"
#include "codeweft/core/FileNames.h"
#include "codeweft/core/lex/TokenStream.h"
#include "codeweft/core/parse/Parser.h"

namespace codeweft {

TInterfaceOutcome ParseUnitInterface(TRunState &State, int Index) {
  TInterfaceOutcome Outcome;
  const TURElm &Unit = State.Symbols.Units.at(static_cast<std::size_t>(Index));
  State.CurrentUnit = Unit.Name;
  State.Phase = TPhase::phSymbols;
  State.Parser->Restart();
  try {
    OpenSource(State, LocateSourceFile(Unit.FileName));
  } catch (const EFOpenError &E) {
    // The project entry that named the file is what the user has to mend.
    if (Unit.ProjectLine <= 0) throw;
    throw EFOpenError("Unit " + (Unit.EntryName.empty() ? Unit.Name : Unit.EntryName) + " (" +
                      ExtractFileName(State.ProjectFile) + " line " +
                      std::to_string(Unit.ProjectLine) + "): " + E.what());
  }
  State.AtEnd = false;
  // Lines are counted from the text of every token read, blanks and
  // comments included, so a stop can be reported by line. Any hook already
  // installed (a test's) still runs.
  struct THookGuard {
    TRunState &S;
    std::function<void()> Saved;
    ~THookGuard() { S.TokenHook = std::move(Saved); }
  } Guard{State, State.TokenHook};
  int Line = 1, TokenLine = 1;
  State.TokenHook = [&State, &Line, &TokenLine, &Guard] {
    TokenLine = Line;
    for (const char C : State.Token.Text) Line += C == '\n';
    if (Guard.Saved) Guard.Saved();
  };
  TParser &Parser = *State.Parser;
  Parser.CurrentLine = [&TokenLine] { return TokenLine; };
  struct TLineGuard {
    TParser &P;
    ~TLineGuard() { P.CurrentLine = nullptr; }
  } LineGuard{Parser};
  Advance(State);
  while (!State.AtEnd && State.Token.Kind != Keyword("implementation")) {
    if (State.Token.Kind != Keyword("interface")) {
      Advance(State);
      continue;
    }
    const int Result = State.Parser->InterfaceSection();
    // No class body carries over from a parse that stopped inside one.
    State.Parser->Restart();
    if (!Outcome.HasInterface) {
      Outcome.HasInterface = true;
      Outcome.Result = Result;
      Outcome.StopKind = State.Token.Kind;
      Outcome.StopText = State.Token.Text;
      Outcome.StopLine = TokenLine;
      // The parse goes on past what it does not know; the first such place
      // is the stop reported.
      if (Parser.Stop().Stopped) {
        Outcome.StopKind = Parser.Stop().Kind;
        Outcome.StopText = Parser.Stop().Text;
        Outcome.StopLine = Parser.Stop().Line;
        continue;
      }
      // An interface that ends the unit ("end." with the implementation in
      // an include file) ended where it should; the recovering parse has
      // read its "end" already.
      if (Result == prOk && State.Token.Kind == TTokenKind::tkPeriod) {
        Outcome.StopKind = TTokenKind::tkEnd;
        Outcome.StopText.clear();
      } else if (Result == prOk && State.Token.Kind == Keyword("end")) {
        Advance(State);
        if (State.Token.Kind == TTokenKind::tkPeriod) {
          Outcome.StopKind = TTokenKind::tkEnd;
          Outcome.StopText.clear();
        }
      }
    }
  }
  State.Scanner.Close();
  return Outcome;
}

void BuildSymbolTable(TRunState &State, const TSymbolPassEvents &Events) {
  State.StatusText = "Building Symbol Table ...";
  if (Events.Status) Events.Status(State.StatusText);
  const int Count = static_cast<int>(State.Symbols.Units.size());
  if (Events.Progress) Events.Progress(Count, 0);
  for (int I = 0; I < Count; ++I) {
    const TInterfaceOutcome Outcome = ParseUnitInterface(State, I);
    if (Outcome.Stopped()) {
      const TURElm &Unit = State.Symbols.Units[static_cast<std::size_t>(I)];
      WarnAt(State, LocateSourceFile(Unit.FileName), Outcome.StopLine,
             "interface declaration not understood at '" + Outcome.StopText +
                 "'; skipped to the next declaration, which may leave names unrecorded");
    }
    if (Events.Progress) Events.Progress(Count, I + 1);
  }
  State.Symbols.SortAll();
}

} // namespace codeweft
