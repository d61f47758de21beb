#include "codeweft/core/symbols/SymbolPass.h"

#include <filesystem>

#include "codeweft/core/Errors.h"
#include "codeweft/core/FileNames.h"
#include "codeweft/core/parse/Parser.h"
#include "codeweft/core/lex/TokenStream.h"

namespace codeweft {

TInterfaceOutcome ParseUnitInterface(TRunState &State, int Index) {
  TInterfaceOutcome Outcome;
  const TURElm &Unit = State.Symbols.Units.at(static_cast<std::size_t>(Index));
  State.CurrentUnit = Unit.Name;
  State.Phase = TPhase::phSymbols;
  State.CurrentClass.clear();
  State.Nesting = 0;
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
  Advance(State);
  while (!State.AtEnd && State.Token.Kind != Keyword("implementation")) {
    if (State.Token.Kind != Keyword("interface")) {
      Advance(State);
      continue;
    }
    const int Result = InterfaceSection(State);
    State.CurrentClass.clear();
    if (!Outcome.HasInterface) {
      Outcome.HasInterface = true;
      Outcome.Result = Result;
      Outcome.StopKind = State.Token.Kind;
      Outcome.StopText = State.Token.Text;
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
    ParseUnitInterface(State, I);
    if (Events.Progress) Events.Progress(Count, I + 1);
  }
  State.Symbols.SortAll();
}

} // namespace codeweft
