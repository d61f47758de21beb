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

bool IsRoutineStart(const TRunState &S) {
  return Is(S, Keyword("procedure")) || Is(S, Keyword("function")) || IsWord(S, "operator") ||
         Is(S, Keyword("property"));
}

// Where a member of a class, record, object or interface body can start.
bool IsMemberStart(const TRunState &S) {
  const int Kind = Ord(S.Token.Kind);
  return IsRoutineStart(S) || Is(S, Keyword("constructor")) || Is(S, Keyword("destructor")) ||
         Is(S, Keyword("class")) || Is(S, Keyword("end")) || IsWord(S, "strict") ||
         (Kind >= Ord(Keyword("public")) && Kind <= Ord(Keyword("automated")));
}

// Where a declaration of the interface can start, at unit level.
bool IsSectionStart(const TRunState &S) {
  return IsRoutineStart(S) || Is(S, Keyword("type")) || Is(S, Keyword("var")) ||
         Is(S, Keyword("threadvar")) || Is(S, Keyword("const")) ||
         Is(S, Keyword("resourcestring")) || Is(S, Keyword("label")) || Is(S, Keyword("exports"));
}

}  // namespace

bool TParser::Recovering() const { return FState.Phase == TPhase::phSymbols; }

void TParser::NoteStop(TTokenKind Kind, std::string_view Text, int Line) {
  if (FStop.Stopped) return;
  FStop = {true, Kind, std::string(Text), Line};
}

// Notes the stop at the current token and reads on to the next declaration
// start: of a body (InMembers) or of the unit. False, with nothing more to
// resume, at "implementation" or the end of the input, and outside phSymbols.
bool TParser::Recover(bool InMembers) {
  if (!Recovering()) return false;
  NoteStop(FState.Token.Kind, FState.Token.Text, CurrentLine ? CurrentLine() : 0);
  // Resuming where the last recovery resumed would fail there again.
  bool AfterSemicolon = false;
  if (FState.TokensRead == FResumedAt && !FState.AtEnd) Next(FState);
  for (;;) {
    if (FState.AtEnd || Is(FState, Keyword("implementation"))) return false;
    const bool Start = InMembers ? IsMemberStart(FState) : IsSectionStart(FState);
    if (Start || (!InMembers && AfterSemicolon && FSectionItem && IsIdent(FState))) {
      if (!InMembers && !IsIdent(FState)) FSectionItem = nullptr;
      FResumedAt = FState.TokensRead;
      return true;
    }
    AfterSemicolon = Is(FState, K::tkSemicolon);
    Next(FState);
  }
}

// The items of the section a recovery resumed in, while they parse.
int TParser::ResumeSection() {
  if (!FSectionItem || !IsIdent(FState)) return prOk;
  int R;
  while ((R = (this->*FSectionItem)()) == prOk) {
  }
  return R == prError ? prError : prOk;
}

// InterfaceSection = "interface" [UsesClause] DeclSections .
int TParser::InterfaceSection() {
  if (!Accept(FState, Keyword("interface"))) return prNone;
  FStop = {};
  FSectionItem = nullptr;
  FResumedAt = ~std::uint64_t{0};
  if (UsesClause() == prError && !Recover(false)) return prError;
  for (;;) {
    int R = ResumeSection();
    if (R == prOk) R = DeclSections();
    if (!Recovering()) return R == prOk ? prOk : prError;
    if (R == prOk) {
      if (FState.AtEnd || Is(FState, Keyword("implementation"))) break;
      if (Is(FState, Keyword("end"))) {
        // "end." closes a unit whose implementation lies elsewhere; any
        // other "end" here closes a body whose start was not understood.
        const int Line = CurrentLine ? CurrentLine() : 0;
        Next(FState);
        if (Is(FState, K::tkPeriod)) break;
        NoteStop(Keyword("end"), "end", Line);
        continue;
      }
    }
    if (!Recover(false)) break;
  }
  return FStop.Stopped ? prError : prOk;
}

}  // namespace codeweft
