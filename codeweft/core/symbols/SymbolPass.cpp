#include "codeweft/core/symbols/SymbolPass.h"

#include <filesystem>
#include <functional>

#include "codeweft/core/Errors.h"
#include "codeweft/core/FileNames.h"
#include "codeweft/core/lex/TokenStream.h"
#include "codeweft/core/parse/Parser.h"

namespace codeweft {

namespace {

bool IsRoutineWord(TTokenKind k) {
  return k == Keyword("procedure") || k == Keyword("function") || k == Keyword("constructor") ||
         k == Keyword("destructor");
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
// unit heading's name, in unitPart, starts the anchor names.
void ReadImplementation(TRunState &s, std::string &unitPart, const std::vector<bool> &first,
                        std::vector<THeading> &headings) {
  bool inImplementation = false;
  while (!s.Source.AtEnd) {
    const TTokenKind kind = s.Source.Token.Kind;
    if (kind == Keyword("unit")) {
      Advance(s);
      if (s.Source.Token.Kind == TTokenKind::tkIdentifier) unitPart = s.Source.Token.Text;
      continue;
    }
    if (kind == Keyword("implementation")) {
      inImplementation = true;
    } else if (inImplementation && IsRoutineWord(kind)) {
      Advance(s);
      if (s.Source.Token.Kind != TTokenKind::tkIdentifier) continue;
      std::string key(s.Source.Token.Text);
      Advance(s);
      if (s.Source.Token.Kind == TTokenKind::tkPeriod) {
        Advance(s);
        if (s.Source.Token.Kind != TTokenKind::tkIdentifier) continue;
        key.append("_").append(s.Source.Token.Text);
        Advance(s);
      }
      THeading h;
      h.Base = unitPart + "_" + key;
      h.Key = LowerCase(key);
      if (!s.Source.Includes.empty()) {
        h.IncludeFile = s.Source.Includes.back().Scanner->FileName();
        h.FirstReading = !first.empty() && first.back();
      }
      // The parameter list, "(" to the ")" that closes it.
      s.ParamTokens.clear();
      if (s.Source.Token.Kind == TTokenKind::tkLParen) {
        s.RecordingParams = true;
        s.ParamTokens.push_back({s.Source.Token.Kind, "("});
        int depth = 0;
        do {
          if (s.Source.Token.Kind == TTokenKind::tkLParen) ++depth;
          if (s.Source.Token.Kind == TTokenKind::tkRParen) --depth;
          Advance(s);
        } while (depth > 0 && !s.Source.AtEnd);
        s.RecordingParams = false;
        s.ParamTokens.pop_back();  // the token after the list
      }
      s.Overloads.Implement(h.Key, ReadParamList(s.ParamTokens));
      headings.push_back(std::move(h));
      continue;
    }
    Advance(s);
  }
}

}  // namespace

TInterfaceOutcome ParseUnitInterface(TRunState &state, int index, const TSymbolPassEvents &events) {
  TInterfaceOutcome outcome;
  TURElm &unit = state.Symbols.Units.at(static_cast<std::size_t>(index));
  state.CurrentUnit = unit.Name;
  state.Phase = TPhase::phSymbols;
  state.Parser->Restart();
  state.Overloads.Clear();
  try {
    OpenSource(state, LocateSourceFile(unit.FileName));
  } catch (const EFOpenError &e) {
    // The project entry that named the file is what the user has to mend.
    if (unit.ProjectLine <= 0) throw;
    throw EFOpenError("Unit " + (unit.EntryName.empty() ? unit.Name : unit.EntryName) + " (" +
                      ExtractFileName(state.Paths.ProjectFile) + " line " +
                      std::to_string(unit.ProjectLine) + "): " + e.what());
  }
  state.Source.AtEnd = false;
  // Lines are counted from the text of every token read, blanks and
  // comments included, so a stop can be reported by line (only the first
  // interface parse's stop is). Significant tokens are recorded while a
  // parameter list is read. Any hook already installed (a test's) still runs.
  struct THookGuard {
    TRunState &S;
    std::function<void()> Saved;
    std::function<void(bool)> SavedInclude;
    ~THookGuard() {
      S.Source.TokenHook = std::move(Saved);
      S.Source.IncludeHook = std::move(SavedInclude);
      S.RecordingParams = false;
    }
  } guard{state, state.Source.TokenHook, state.Source.IncludeHook};
  int line = 1, tokenLine = 1;
  bool countLines = true;
  state.Source.TokenHook = [&state, &line, &tokenLine, &countLines, &guard] {
    if (countLines) {
      tokenLine = line;
      for (const char c : state.Source.Token.Text) line += c == '\n';
    }
    if (state.RecordingParams && !IsTrivia(state.Source.Token.Kind) &&
        !state.Source.Conditionals.Skipping())
      state.ParamTokens.push_back({state.Source.Token.Kind, LowerCase(state.Source.Token.Text)});
    if (guard.Saved) guard.Saved();
  };
  // Whether each open include file is read for the first time in the run:
  // only that reading is written on the include file's page.
  std::vector<bool> first;
  state.Source.IncludeHook = [&state, &first, &guard](bool entering) {
    if (entering)
      first.push_back(
          state.IncludesRead.insert(state.Source.Includes.back().Scanner->FileName()).second);
    else if (!first.empty())
      first.pop_back();
    if (guard.SavedInclude) guard.SavedInclude(entering);
  };
  std::string unitPart = unit.Name;
  TParser &parser = *state.Parser;
  parser.CurrentLine = [&tokenLine] { return tokenLine; };
  struct TLineGuard {
    TParser &P;
    ~TLineGuard() { P.CurrentLine = nullptr; }
  } lineGuard{parser};
  Advance(state);
  while (!state.Source.AtEnd && state.Source.Token.Kind != Keyword("implementation")) {
    if (state.Source.Token.Kind == Keyword("unit")) {
      Advance(state);
      if (state.Source.Token.Kind == TTokenKind::tkIdentifier) unitPart = state.Source.Token.Text;
      continue;
    }
    if (state.Source.Token.Kind != Keyword("interface")) {
      Advance(state);
      continue;
    }
    const int result = state.Parser->InterfaceSection();
    // No class body carries over from a parse that stopped inside one.
    state.Parser->Restart();
    if (!outcome.HasInterface) {
      outcome.HasInterface = true;
      outcome.Result = result;
      outcome.StopKind = state.Source.Token.Kind;
      outcome.StopText = state.Source.Token.Text;
      outcome.StopLine = tokenLine;
      countLines = false;
      // The parse goes on past what it does not know; the first such place
      // is the stop reported.
      if (parser.Stop().Stopped) {
        outcome.StopKind = parser.Stop().Kind;
        outcome.StopText = parser.Stop().Text;
        outcome.StopLine = parser.Stop().Line;
        continue;
      }
      // An interface that ends the unit ("end." with the implementation in
      // an include file) ended where it should; the recovering parse has
      // read its "end" already.
      if (result == prOk && state.Source.Token.Kind == TTokenKind::tkPeriod) {
        outcome.StopKind = TTokenKind::tkEnd;
        outcome.StopText.clear();
      } else if (result == prOk && state.Source.Token.Kind == Keyword("end")) {
        Advance(state);
        if (state.Source.Token.Kind == TTokenKind::tkPeriod) {
          outcome.StopKind = TTokenKind::tkEnd;
          outcome.StopText.clear();
        }
      }
    }
  }
  std::vector<THeading> headings;
  ReadImplementation(state, unitPart, first, headings);
  state.Source.Scanner.Close();

  unit.ImplementationNumbers = state.Overloads.ImplementationNumbers();
  state.Overloads.Clear();
  if (events.Anchors) {
    std::unordered_map<std::string, int> seen;  // headings of each key so far
    std::vector<TAnchorPlace> anchors;
    anchors.reserve(headings.size());
    for (THeading &h : headings) {
      const int number =
          TOverloadNumbering::NumberOf(unit.ImplementationNumbers, h.Key, seen[h.Key]++);
      anchors.push_back(
          {h.Base + OverloadSuffix(number), std::move(h.IncludeFile), h.FirstReading});
    }
    events.Anchors(unit, anchors);
  }
  return outcome;
}

void BuildSymbolTable(TRunState &state, const TSymbolPassEvents &events) {
  state.StatusText = "Building Symbol Table ...";
  if (events.Status) events.Status(state.StatusText);
  state.Symbols.SortUnits();
  state.IncludesRead.clear();
  state.DeclaredAnswers.clear();
  const int count = static_cast<int>(state.Symbols.Units.size());
  if (events.Progress) events.Progress(count, 0);
  for (int i = 0; i < count; ++i) {
    const TInterfaceOutcome outcome = ParseUnitInterface(state, i, events);
    if (outcome.Stopped()) {
      const TURElm &unit = state.Symbols.Units[static_cast<std::size_t>(i)];
      WarnAt(state, LocateSourceFile(unit.FileName), outcome.StopLine,
             "interface declaration not understood at '" + outcome.StopText +
                 "'; skipped to the next declaration, which may leave names unrecorded");
    }
    if (events.Progress) events.Progress(count, i + 1);
  }
  state.Symbols.SortAll();
}

}  // namespace codeweft
