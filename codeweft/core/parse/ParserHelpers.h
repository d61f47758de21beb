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

inline bool Is(const TRunState &S, TTokenKind Kind) { return S.Token.Kind == Kind; }
inline bool IsIdent(const TRunState &S) { return S.Token.Kind == TTokenKind::tkIdentifier; }
// An identifier whose text is Word (lower case), compared without regard to case.
inline bool IsWord(const TRunState &S, std::string_view Word) {
  return IsIdent(S) && SameText(S.Token.Text, Word);
}

inline void Next(TRunState &S) { Advance(S); }

// Reads past the current token if it has the given kind.
inline bool Accept(TRunState &S, TTokenKind Kind) {
  if (!Is(S, Kind)) return false;
  Advance(S);
  return true;
}

// Reads past the current token if it is the identifier Word.
inline bool AcceptWord(TRunState &S, std::string_view Word) {
  if (!IsWord(S, Word)) return false;
  Advance(S);
  return true;
}

// Reads past an identifier, handing its text to Name.
inline bool TakeIdent(TRunState &S, std::string &Name) {
  if (!IsIdent(S)) return false;
  Name = S.Token.Text;
  Advance(S);
  return true;
}

// True in the passes that write listings: the rules defer and decorate there.
inline bool Listing(const TRunState &S) {
  return S.Phase == TPhase::phInterface || S.Phase == TPhase::phImplementation;
}

// The calling conventions a routine declaration may name.
inline bool IsConvention(const TRunState &S) {
  return IsWord(S, "register") || IsWord(S, "cdecl") || IsWord(S, "pascal") ||
         IsWord(S, "stdcall") || IsWord(S, "safecall");
}

// Counts one level of nesting for the rules that recurse; Deep() once the
// input nests beyond MaxNesting, and the rule then gives a syntax error.
class TNesting {
public:
 explicit TNesting(int &Depth) : FDepth(Depth) { ++FDepth; }
 ~TNesting() { --FDepth; }
 TNesting(const TNesting &) = delete;
 TNesting &operator=(const TNesting &) = delete;
 bool Deep() const { return FDepth > MaxNesting; }

private:
 int &FDepth;
};

} // namespace codeweft::parse
