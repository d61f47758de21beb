#include "codeweft/core/RunState.h"

#include "codeweft/core/parse/Parser.h"

namespace codeweft {

namespace {

// Whether the symbol table holds Name: a unit, or an identifier or class of a
// unit's interface part. The lists may still be unsorted (symbol pass).
bool InSymbolTable(const TSymbolTable &Symbols, std::string_view Name) {
  for (const TURElm &U : Symbols.Units)
    if (SameText(U.Name, Name) || FindFirst(U.Idents, Name) >= 0 || FindFirst(U.Classes, Name) >= 0)
      return true;
  return false;
}

}  // namespace

TRunState::TRunState() : Parser(std::make_unique<TParser>(*this)) {
  Conditionals.Declared = [this](std::string_view Name) { return DeclaredSoFar(*this, Name); };
}

TRunState::~TRunState() = default;

bool DeclaredSoFar(TRunState &State, std::string_view Name) {
  // The same directive of the same unit, whichever pass reads it.
  const std::string &File =
      State.Includes.empty() ? State.Scanner.FileName() : State.Includes.back().Scanner->FileName();
  std::string Key = State.Scanner.FileName();
  Key.append("\n").append(File).append("\n").append(std::to_string(State.TokenOffset));
  Key.append("\n").append(LowerCase(Name));
  if (State.Phase != TPhase::phSymbols) {
    const auto Known = State.DeclaredAnswers.find(Key);
    if (Known != State.DeclaredAnswers.end()) return Known->second;
  }
  const bool Found = InSymbolTable(State.Symbols, Name);
  if (State.Phase == TPhase::phSymbols) State.DeclaredAnswers[Key] = Found;
  return Found;
}

}  // namespace codeweft
