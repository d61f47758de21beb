#include "codeweft/core/RunState.h"

#include "codeweft/core/parse/Parser.h"

namespace codeweft {

namespace {

// Whether the symbol table holds Name: a unit, or an identifier or class of a
// unit's interface part. The lists may still be unsorted (symbol pass).
bool InSymbolTable(const TSymbolTable &symbols, std::string_view name) {
  for (const TURElm &u : symbols.Units)
    if (SameText(u.Name, name) || FindFirst(u.Idents, name) >= 0 || FindFirst(u.Classes, name) >= 0)
      return true;
  return false;
}

}  // namespace

TRunState::TRunState() : Parser(std::make_unique<TParser>(*this)) {
  Source.Conditionals.Declared = [this](std::string_view name) {
    return DeclaredSoFar(*this, name);
  };
}

TRunState::~TRunState() = default;

bool DeclaredSoFar(TRunState &state, std::string_view name) {
  // The same directive of the same unit, whichever pass reads it.
  const std::string &file = state.Source.Includes.empty()
                                ? state.Source.Scanner.FileName()
                                : state.Source.Includes.back().Scanner->FileName();
  std::string key = state.Source.Scanner.FileName();
  key.append("\n").append(file).append("\n").append(std::to_string(state.Source.TokenOffset));
  key.append("\n").append(LowerCase(name));
  if (state.Phase != TPhase::phSymbols) {
    const auto known = state.DeclaredAnswers.find(key);
    if (known != state.DeclaredAnswers.end()) return known->second;
  }
  const bool found = InSymbolTable(state.Symbols, name);
  if (state.Phase == TPhase::phSymbols) state.DeclaredAnswers[key] = found;
  return found;
}

}  // namespace codeweft
