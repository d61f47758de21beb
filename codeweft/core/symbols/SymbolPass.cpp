#include "codeweft/core/symbols/SymbolPass.h"

#include <filesystem>
#include <functional>

#include "codeweft/core/Errors.h"
#include "codeweft/core/FileNames.h"
#include "codeweft/core/lex/TokenStream.h"
#include "codeweft/core/parse/Parser.h"

namespace codeweft {

namespace {

bool IsRoutineWord(TTokenKind K) {
  return K == Keyword("procedure") || K == Keyword("function") || K == Keyword("constructor") ||
         K == Keyword("destructor");
}

// A routine heading of the implementation part, as the listing will anchor it.
struct THeading {
  std::string Key;   // the anchor name without the unit part, lower case
  std::string Base;  // the anchor name without the overload suffix
  std::string IncludeFile;
  bool FirstReading = true;
};

// Reads the rest of the unit after its interface part: every routine heading
// of the implementation part, read as the listing's heading rules read it (the
// routine word, a name, and "." and a name), with its parameter list. The
// unit heading's name, in UnitPart, starts the anchor names.
void ReadImplementation(TRunState &S, std::string &UnitPart, const std::vector<bool> &First,
                        std::vector<THeading> &Headings) {
  bool InImplementation = false;
  while (!S.AtEnd) {
    const TTokenKind Kind = S.Token.Kind;
    if (Kind == Keyword("unit")) {
      Advance(S);
      if (S.Token.Kind == TTokenKind::tkIdentifier) UnitPart = S.Token.Text;
      continue;
    }
    if (Kind == Keyword("implementation")) {
      InImplementation = true;
    } else if (InImplementation && IsRoutineWord(Kind)) {
      Advance(S);
      if (S.Token.Kind != TTokenKind::tkIdentifier) continue;
      std::string Key(S.Token.Text);
      Advance(S);
      if (S.Token.Kind == TTokenKind::tkPeriod) {
        Advance(S);
        if (S.Token.Kind != TTokenKind::tkIdentifier) continue;
        Key.append("_").append(S.Token.Text);
        Advance(S);
      }
      THeading H;
      H.Base = UnitPart + "_" + Key;
      H.Key = LowerCase(Key);
      if (!S.Includes.empty()) {
        H.IncludeFile = S.Includes.back().Scanner->FileName();
        H.FirstReading = !First.empty() && First.back();
      }
      // The parameter list, "(" to the ")" that closes it.
      S.ParamTokens.clear();
      if (S.Token.Kind == TTokenKind::tkLParen) {
        S.RecordingParams = true;
        S.ParamTokens.push_back({S.Token.Kind, "("});
        int Depth = 0;
        do {
          if (S.Token.Kind == TTokenKind::tkLParen) ++Depth;
          if (S.Token.Kind == TTokenKind::tkRParen) --Depth;
          Advance(S);
        } while (Depth > 0 && !S.AtEnd);
        S.RecordingParams = false;
        S.ParamTokens.pop_back();  // the token after the list
      }
      S.Overloads.Implement(H.Key, ReadParamList(S.ParamTokens));
      Headings.push_back(std::move(H));
      continue;
    }
    Advance(S);
  }
}

}  // namespace

TInterfaceOutcome ParseUnitInterface(TRunState &State, int Index, const TSymbolPassEvents &Events) {
  TInterfaceOutcome Outcome;
  TURElm &Unit = State.Symbols.Units.at(static_cast<std::size_t>(Index));
  State.CurrentUnit = Unit.Name;
  State.Phase = TPhase::phSymbols;
  State.Parser->Restart();
  State.Overloads.Clear();
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
  // comments included, so a stop can be reported by line (only the first
  // interface parse's stop is). Significant tokens are recorded while a
  // parameter list is read. Any hook already installed (a test's) still runs.
  struct THookGuard {
    TRunState &S;
    std::function<void()> Saved;
    std::function<void(bool)> SavedInclude;
    ~THookGuard() {
      S.TokenHook = std::move(Saved);
      S.IncludeHook = std::move(SavedInclude);
      S.RecordingParams = false;
    }
  } Guard{State, State.TokenHook, State.IncludeHook};
  int Line = 1, TokenLine = 1;
  bool CountLines = true;
  State.TokenHook = [&State, &Line, &TokenLine, &CountLines, &Guard] {
    if (CountLines) {
      TokenLine = Line;
      for (const char C : State.Token.Text) Line += C == '\n';
    }
    if (State.RecordingParams && !IsTrivia(State.Token.Kind) && !State.Conditionals.Skipping())
      State.ParamTokens.push_back({State.Token.Kind, LowerCase(State.Token.Text)});
    if (Guard.Saved) Guard.Saved();
  };
  // Whether each open include file is read for the first time in the run:
  // only that reading is written on the include file's page.
  std::vector<bool> First;
  State.IncludeHook = [&State, &First, &Guard](bool Entering) {
    if (Entering)
      First.push_back(State.IncludesRead.insert(State.Includes.back().Scanner->FileName()).second);
    else if (!First.empty())
      First.pop_back();
    if (Guard.SavedInclude) Guard.SavedInclude(Entering);
  };
  std::string UnitPart = Unit.Name;
  TParser &Parser = *State.Parser;
  Parser.CurrentLine = [&TokenLine] { return TokenLine; };
  struct TLineGuard {
    TParser &P;
    ~TLineGuard() { P.CurrentLine = nullptr; }
  } LineGuard{Parser};
  Advance(State);
  while (!State.AtEnd && State.Token.Kind != Keyword("implementation")) {
    if (State.Token.Kind == Keyword("unit")) {
      Advance(State);
      if (State.Token.Kind == TTokenKind::tkIdentifier) UnitPart = State.Token.Text;
      continue;
    }
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
      CountLines = false;
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
  std::vector<THeading> Headings;
  ReadImplementation(State, UnitPart, First, Headings);
  State.Scanner.Close();

  Unit.ImplementationNumbers = State.Overloads.ImplementationNumbers();
  State.Overloads.Clear();
  if (Events.Anchors) {
    std::unordered_map<std::string, int> Seen;  // headings of each key so far
    std::vector<TAnchorPlace> Anchors;
    Anchors.reserve(Headings.size());
    for (THeading &H : Headings) {
      const int Number =
          TOverloadNumbering::NumberOf(Unit.ImplementationNumbers, H.Key, Seen[H.Key]++);
      Anchors.push_back(
          {H.Base + OverloadSuffix(Number), std::move(H.IncludeFile), H.FirstReading});
    }
    Events.Anchors(Unit, Anchors);
  }
  return Outcome;
}

void BuildSymbolTable(TRunState &State, const TSymbolPassEvents &Events) {
  State.StatusText = "Building Symbol Table ...";
  if (Events.Status) Events.Status(State.StatusText);
  State.Symbols.SortUnits();
  State.IncludesRead.clear();
  State.DeclaredAnswers.clear();
  const int Count = static_cast<int>(State.Symbols.Units.size());
  if (Events.Progress) Events.Progress(Count, 0);
  for (int I = 0; I < Count; ++I) {
    const TInterfaceOutcome Outcome = ParseUnitInterface(State, I, Events);
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

}  // namespace codeweft
