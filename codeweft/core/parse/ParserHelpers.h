// The few operations through which the grammar rules look at and consume
// tokens, shared by Parser.cpp, ParserTypes.cpp and Links.cpp. No rule reads
// a token any other way.
#pragma once

#include <string>
#include <string_view>

#include "codeweft/core/RunState.h"
#include "codeweft/core/Text.h"
#include "codeweft/core/lex/Keywords.h"
#include "codeweft/core/lex/TokenStream.h"
#include "codeweft/core/parse/Parser.h"

namespace codeweft::parse {

inline bool Is(const TRunState &s, TTokenKind kind) { return s.Source.Token.Kind == kind; }
inline bool IsIdent(const TRunState &s) { return s.Source.Token.Kind == TTokenKind::tkIdentifier; }
// An identifier whose text is word (lower case), compared without regard to case.
inline bool IsWord(const TRunState &s, std::string_view word) {
  return IsIdent(s) && SameText(s.Source.Token.Text, word);
}

inline void Next(TRunState &s) { Advance(s); }

// Reads past the current token if it has the given kind.
inline bool Accept(TRunState &s, TTokenKind kind) {
  if (!Is(s, kind)) return false;
  Advance(s);
  return true;
}

// Reads past the current token if it is the identifier word.
inline bool AcceptWord(TRunState &s, std::string_view word) {
  if (!IsWord(s, word)) return false;
  Advance(s);
  return true;
}

// Reads past an identifier, handing its text to name.
inline bool TakeIdent(TRunState &s, std::string &name) {
  if (!IsIdent(s)) return false;
  name = s.Source.Token.Text;
  Advance(s);
  return true;
}

// True in the passes that write listings: the rules defer and decorate there.
inline bool Listing(const TRunState &s) {
  return s.Phase == TPhase::phInterface || s.Phase == TPhase::phImplementation;
}

// The calling conventions a routine declaration may name.
inline bool IsConvention(const TRunState &s) {
  return IsWord(s, "register") || IsWord(s, "cdecl") || IsWord(s, "pascal") ||
         IsWord(s, "stdcall") || IsWord(s, "safecall");
}

// Counts one level of nesting for the rules that recurse; Deep() once the
// input nests beyond MaxNesting, and the rule then gives a syntax error.
class TNesting {
public:
 explicit TNesting(int &depth) : FDepth(depth) { ++FDepth; }
 ~TNesting() { --FDepth; }
 TNesting(const TNesting &) = delete;
 TNesting &operator=(const TNesting &) = delete;
 bool Deep() const { return FDepth > MaxNesting; }

private:
 int &FDepth;
};

} // namespace codeweft::parse
