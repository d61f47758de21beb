// Error recovery of the interface parse in the symbol pass.
//
// A construct the rules do not know (a macro standing for a calling
// convention, a declaration cut in two by a conditional branch, a dialect's
// own form) used to end the interface parse, and every declaration after it
// went unrecorded. In phSymbols the parse now notes the first such place,
// which the pass reports, and resumes at the next place where a declaration
// can start: a routine heading, a property, a visibility section or the
// "end" of the body being read, or a section keyword at unit level. After a
// ";" an identifier resumes the const, type or var section it stood in.
//
// Recovery never reads past "implementation" or the end of the file, and
// every resumption reads at least one token more than the one before, so it
// cannot loop.
#include "codeweft/core/parse/Parser.h"
#include "codeweft/core/parse/ParserHelpers.h"

namespace codeweft {

using namespace parse;
using K = TTokenKind;

namespace {

bool IsRoutineStart(const TRunState &s) {
  return Is(s, Keyword("procedure")) || Is(s, Keyword("function")) || IsWord(s, "operator") ||
         Is(s, Keyword("property"));
}

// Where a member of a class, record, object or interface body can start.
bool IsMemberStart(const TRunState &s) {
  const int kind = Ord(s.Source.Token.Kind);
  return IsRoutineStart(s) || Is(s, Keyword("constructor")) || Is(s, Keyword("destructor")) ||
         Is(s, Keyword("class")) || Is(s, Keyword("end")) || IsWord(s, "strict") ||
         (kind >= Ord(Keyword("public")) && kind <= Ord(Keyword("automated")));
}

// Where a declaration of the interface can start, at unit level.
bool IsSectionStart(const TRunState &s) {
  return IsRoutineStart(s) || Is(s, Keyword("type")) || Is(s, Keyword("var")) ||
         Is(s, Keyword("threadvar")) || Is(s, Keyword("const")) ||
         Is(s, Keyword("resourcestring")) || Is(s, Keyword("label")) || Is(s, Keyword("exports"));
}

}  // namespace

bool TParser::Recovering() const { return FState.Phase == TPhase::phSymbols; }

void TParser::NoteStop(TTokenKind kind, std::string_view text, int line) {
  if (FStop.Stopped) return;
  FStop = {true, kind, std::string(text), line};
}

// Notes the stop at the current token and reads on to the next declaration
// start: of a body (inMembers) or of the unit. False, with nothing more to
// resume, at "implementation" or the end of the input, and outside phSymbols.
bool TParser::Recover(bool inMembers) {
  if (!Recovering()) return false;
  NoteStop(FState.Source.Token.Kind, FState.Source.Token.Text, CurrentLine ? CurrentLine() : 0);
  // Resuming where the last recovery resumed would fail there again.
  bool afterSemicolon = false;
  if (FState.Source.TokensRead == FResumedAt && !FState.Source.AtEnd) Next(FState);
  for (;;) {
    if (FState.Source.AtEnd || Is(FState, Keyword("implementation"))) return false;
    const bool start = inMembers ? IsMemberStart(FState) : IsSectionStart(FState);
    if (start || (!inMembers && afterSemicolon && FSectionItem && IsIdent(FState))) {
      if (!inMembers && !IsIdent(FState)) FSectionItem = nullptr;
      FResumedAt = FState.Source.TokensRead;
      return true;
    }
    afterSemicolon = Is(FState, K::tkSemicolon);
    Next(FState);
  }
}

// The items of the section a recovery resumed in, while they parse.
int TParser::ResumeSection() {
  if (!FSectionItem || !IsIdent(FState)) return prOk;
  int r;
  while ((r = (this->*FSectionItem)()) == prOk) {
  }
  return r == prError ? prError : prOk;
}

// InterfaceSection = "interface" [UsesClause] DeclSections .
int TParser::InterfaceSection() {
  if (!Accept(FState, Keyword("interface"))) return prNone;
  FStop = {};
  FSectionItem = nullptr;
  FResumedAt = ~std::uint64_t{0};
  if (UsesClause() == prError && !Recover(false)) return prError;
  for (;;) {
    int r = ResumeSection();
    if (r == prOk) r = DeclSections();
    if (!Recovering()) return r == prOk ? prOk : prError;
    if (r == prOk) {
      if (FState.Source.AtEnd || Is(FState, Keyword("implementation"))) break;
      if (Is(FState, Keyword("end"))) {
        // "end." closes a unit whose implementation lies elsewhere; any
        // other "end" here closes a body whose start was not understood.
        const int line = CurrentLine ? CurrentLine() : 0;
        Next(FState);
        if (Is(FState, K::tkPeriod)) break;
        NoteStop(Keyword("end"), "end", line);
        continue;
      }
    }
    if (!Recover(false)) break;
  }
  return FStop.Stopped ? prError : prOk;
}

}  // namespace codeweft
