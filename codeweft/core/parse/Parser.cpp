// Units, sections, routine headings and constant expressions.
#include "codeweft/core/parse/Parser.h"

#include "codeweft/core/parse/ParserHelpers.h"

namespace codeweft {

using namespace parse;
using K = TTokenKind;

namespace parse {
bool TNesting::Deep() const { return FState.Nesting > MaxNesting; }
} // namespace parse

// UnitHeading = "unit" ident .
int UnitHeading(TRunState &S) {
  if (!Accept(S, Keyword("unit"))) return prNone;
  std::string Name;
  if (!TakeIdent(S, Name)) return prError;
  S.CurrentUnit = LowerCase(Name);
  return prOk;
}

// InterfaceSection = "interface" [UsesClause] DeclSections .
int InterfaceSection(TRunState &S) {
  if (!Accept(S, Keyword("interface"))) return prNone;
  if (UsesClause(S) == prError) return prError;
  return DeclSections(S) == prOk ? prOk : prError;
}

// UsesClause = "uses" UnitList ";" .
int UsesClause(TRunState &S) {
  if (!Is(S, Keyword("uses"))) return prNone;
  int R;
  if (Listing(S)) {
    BeginDeferral(S);
    Next(S);
    R = LinkedUnitList(S);
    S.Deferring = false;
  } else {
    Next(S);
    R = IdentList(S);
  }
  if (R != prOk) return prError;
  return Accept(S, K::tkSemicolon) ? prOk : prError;
}

// DeclSections = { LabelSection | ConstSection | TypeSection | VarSection
//                | RoutineDecl | ResourceStringSection | ExportsSection } .
int DeclSections(TRunState &S) {
  static int (*const Sections[])(TRunState &) = {
      LabelSection, ConstSection,          TypeSection,   VarSection,
      RoutineDecl,  ResourceStringSection, ExportsSection};
  for (;;) {
    int R = prNone;
    for (auto Section : Sections)
      if ((R = Section(S)) != prNone) break;
    if (R == prNone) return prOk;
    if (R == prError) return prError;
  }
}

// LabelSection = "label" ident { "," ident } ";" .
int LabelSection(TRunState &S) {
  if (!Accept(S, Keyword("label"))) return prNone;
  do {
    std::string Name;
    if (!TakeIdent(S, Name)) return prError;
    S.Symbols.AddIdent(S.CurrentUnit, Name, TRefKind::rkLabel);
  } while (Accept(S, K::tkComma));
  return Accept(S, K::tkSemicolon) ? prOk : prError;
}

// ConstSection = "const" ConstDecl { ConstDecl } .
int ConstSection(TRunState &S) {
  if (!Accept(S, Keyword("const"))) return prNone;
  int R = ConstDecl(S);
  if (R != prOk) return prError;
  while ((R = ConstDecl(S)) == prOk) {
  }
  return R == prError ? prError : prOk;
}

// ConstDecl = ident ( ":" TypeDef "=" TypedConstValue | "=" ConstExpr ) ";" .
int ConstDecl(TRunState &S) {
  std::string Name;
  if (!TakeIdent(S, Name)) return prNone;
  S.Symbols.AddIdent(S.CurrentUnit, Name, TRefKind::rkConstant);
  if (Accept(S, K::tkColon)) {
    if (TypeDef(S) != prOk) return prError;
    if (!Accept(S, K::tkEqual)) return prError;
    if (TypedConstValue(S) != prOk) return prError;
  } else if (Accept(S, K::tkEqual)) {
    if (ConstExpr(S) != prOk) return prError;
  } else {
    return prError;
  }
  // Whatever follows the value is taken for its ";".
  Next(S);
  return prOk;
}

// TypedConstValue = ConstExpr
//                 | "(" TypedConstValue { "," TypedConstValue } ")"
//                 | "(" ident ":" TypedConstValue { ";" ident ":" TypedConstValue } ")"
//                 | ident | "nil" .
// ConstExpr claims every "(", identifier and "nil" first, so a parenthesised
// list of values is read as a parenthesised expression and fails at its ",".
int TypedConstValue(TRunState &S) {
  TNesting Level(S);
  if (Level.Deep()) return prError;
  const int R = ConstExpr(S);
  if (R != prNone) return R;
  if (Accept(S, K::tkLParen)) {
    if (IsIdent(S)) {
      std::string Field;
      do {
        if (!TakeIdent(S, Field) || !Accept(S, K::tkColon)) return prError;
        if (TypedConstValue(S) != prOk) return prError;
      } while (Accept(S, K::tkSemicolon));
    } else {
      do {
        if (TypedConstValue(S) != prOk) return prError;
      } while (Accept(S, K::tkComma));
    }
    return Accept(S, K::tkRParen) ? prOk : prError;
  }
  if (Accept(S, K::tkIdentifier) || Accept(S, Keyword("nil"))) return prOk;
  return prNone;
}

// ResourceStringSection = "resourcestring" ResourceStringDecl { ResourceStringDecl } .
// ResourceStringDecl = ident "=" ConstExpr ";" .
int ResourceStringSection(TRunState &S) {
  if (!Accept(S, Keyword("resourcestring"))) return prNone;
  int Count = 0;
  std::string Name;
  while (TakeIdent(S, Name)) {
    S.Symbols.AddIdent(S.CurrentUnit, Name, TRefKind::rkConstant);
    if (!Accept(S, K::tkEqual) || ConstExpr(S) != prOk) return prError;
    if (!Accept(S, K::tkSemicolon)) return prError;
    ++Count;
  }
  return Count > 0 ? prOk : prError;
}

// ExportsSection = "exports" { any token but ";" } ";" .
int ExportsSection(TRunState &S) {
  if (!Accept(S, Keyword("exports"))) return prNone;
  while (!S.AtEnd && !Is(S, K::tkSemicolon)) Next(S);
  return Accept(S, K::tkSemicolon) ? prOk : prError;
}

// TypeSection = "type" { TypeDecl } .
int TypeSection(TRunState &S) {
  if (!Accept(S, Keyword("type"))) return prNone;
  while (IsIdent(S))
    if (TypeDecl(S) != prOk) return prError;
  return prOk;
}

// TypeDecl = ident "=" TypeDef [";"] .
int TypeDecl(TRunState &S) {
  std::string Name;
  if (!TakeIdent(S, Name)) return prNone;
  S.LastTypeName = Name;
  S.Symbols.AddIdent(S.CurrentUnit, Name, TRefKind::rkType);
  if (!Accept(S, K::tkEqual)) return prError;
  if (TypeDef(S) != prOk) return prError;
  Accept(S, K::tkSemicolon);
  return prOk;
}

// VarSection = "var" VarDecl { VarDecl } .
int VarSection(TRunState &S) {
  if (!Accept(S, Keyword("var"))) return prNone;
  int R = VarDecl(S);
  if (R != prOk) return prError;
  while ((R = VarDecl(S)) == prOk) {
  }
  return R == prError ? prError : prOk;
}

// VarDecl = ident { "," ident } ":" TypeDef [ "=" TypedConstValue ] ";" .
int VarDecl(TRunState &S) {
  if (!IsIdent(S)) return prNone;
  do {
    std::string Name;
    if (!TakeIdent(S, Name)) return prError;
    S.Symbols.AddIdent(S.CurrentUnit, Name, TRefKind::rkVariable);
  } while (Accept(S, K::tkComma));
  if (!Accept(S, K::tkColon) || TypeDef(S) != prOk) return prError;
  if (Accept(S, K::tkEqual) && TypedConstValue(S) != prOk) return prError;
  return Accept(S, K::tkSemicolon) ? prOk : prError;
}

// RoutineDecl = ( ProcedureHeading | FunctionHeading ) ";" [ Convention ";" ] .
int RoutineDecl(TRunState &S) {
  int R = ProcedureHeading(S);
  if (R == prNone) R = FunctionHeading(S);
  if (R != prOk) return R;
  if (!Accept(S, K::tkSemicolon)) return prError;
  if (IsConvention(S)) {
    Next(S);
    if (!Accept(S, K::tkSemicolon)) return prError;
  }
  return prOk;
}

namespace {

// The part the four headings share: Keyword ident [ "." ident ], the symbol
// recorded, and in the listing phases the name replaced by its anchor or link.
// ByFirst: constructors and destructors record their first identifier as a
// member of CurrentClass; procedures and functions record the last one, as a
// member when inside a class body and as a unit identifier otherwise.
int RoutineName(TRunState &S, TTokenKind Word, TRefKind Kind, bool ByFirst) {
  if (!Is(S, Word)) return prNone;
  const bool Decorate = Listing(S);
  if (Decorate) BeginDeferral(S);
  Next(S);
  if (!IsIdent(S)) {
    if (Decorate) QueueCurrent(S);
    return prError;
  }
  // The name's tokens stay with this rule; blanks and comments read past
  // them are queued by the hook and must stay behind the name.
  const std::size_t NamePos = S.PendingTokens.size();
  const std::string First(S.Token.Text);
  Next(S);
  std::string Class, Name = First;
  if (Is(S, K::tkPeriod)) {
    const std::size_t DotPos = S.PendingTokens.size();
    const std::string Dot(S.Token.Text);
    Next(S);
    if (!IsIdent(S)) {
      if (Decorate) { // give back what was read, in place
        InsertToken(S, DotPos, Dot, {}, {}, TTokenStyle::tsSymbol);
        InsertToken(S, NamePos, First, {}, {}, TTokenStyle::tsIdent);
        QueueCurrent(S);
      }
      return prError;
    }
    Class = First;
    Name = S.Token.Text;
    Next(S);
  }
  if (ByFirst)
    S.Symbols.AddMember(S.CurrentUnit, S.CurrentClass, First, Kind);
  else if (S.CurrentClass.empty())
    S.Symbols.AddIdent(S.CurrentUnit, Name, Kind);
  else
    S.Symbols.AddMember(S.CurrentUnit, S.CurrentClass, Name, Kind);
  if (Decorate) {
    PlaceRoutineName(S, NamePos, Class, Name);
    QueueCurrent(S);
  }
  return prOk;
}

// Keyword ident [ "." ident ] [FormalParams]
int RoutineHeading(TRunState &S, TTokenKind Word, TRefKind Kind, bool ByFirst) {
  const int R = RoutineName(S, Word, Kind, ByFirst);
  if (R != prOk) return R;
  return FormalParams(S) == prError ? prError : prOk;
}

} // namespace

// ProcedureHeading = "procedure" ident [ "." ident ] [FormalParams] .
int ProcedureHeading(TRunState &S) {
  return RoutineHeading(S, Keyword("procedure"), TRefKind::rkProcedure, false);
}

// FunctionHeading = "function" ident [ "." ident ] [FormalParams] ":" ( ident | "string" ) .
int FunctionHeading(TRunState &S) {
  const int R = RoutineHeading(S, Keyword("function"), TRefKind::rkFunction, false);
  if (R != prOk) return R;
  if (!Accept(S, K::tkColon)) return prError;
  return Accept(S, K::tkIdentifier) || Accept(S, Keyword("string")) ? prOk : prError;
}

// ConstructorHeading = "constructor" ident [ "." ident ] [FormalParams] .
int ConstructorHeading(TRunState &S) {
  return RoutineHeading(S, Keyword("constructor"), TRefKind::rkConstructor, true);
}

// DestructorHeading = "destructor" ident [ "." ident ] [FormalParams] .
int DestructorHeading(TRunState &S) {
  return RoutineHeading(S, Keyword("destructor"), TRefKind::rkDestructor, true);
}

// FormalParams = "(" ParamGroup { ";" ParamGroup } ")" .
int FormalParams(TRunState &S) {
  if (!Accept(S, K::tkLParen)) return prNone;
  do {
    if (ParamGroup(S) != prOk) return prError;
  } while (Accept(S, K::tkSemicolon));
  return Accept(S, K::tkRParen) ? prOk : prError;
}

// ParamGroup = [ "const" | "var" | "out" ] IdentList [ ":" [ "array" "of" ] TypeDef ] .
int ParamGroup(TRunState &S) {
  const bool Modifier =
      Accept(S, Keyword("const")) || Accept(S, Keyword("var")) || Accept(S, Keyword("out"));
  // Without a modifier the group simply does not apply; after one it is an error.
  const int Fail = Modifier ? prError : prNone;
  const int R = IdentList(S);
  if (R == prError) return prError;
  if (R == prNone) return Fail;
  if (!Accept(S, K::tkColon)) return prOk;
  if (Accept(S, Keyword("array")) && !Accept(S, Keyword("of"))) return Fail;
  return TypeDef(S) == prOk ? prOk : Fail;
}

// IdentList = ident { "," ident } .
int IdentList(TRunState &S) {
  if (!Accept(S, K::tkIdentifier)) return prNone;
  while (Accept(S, K::tkComma))
    if (!Accept(S, K::tkIdentifier)) return prError;
  return prOk;
}

// ---- Constant expressions ---------------------------------------------------

namespace {

bool IsRelation(const TRunState &S) {
  const K Kind = S.Token.Kind;
  return Kind == K::tkEqual || Kind == K::tkNotEqual || Kind == K::tkLess ||
         Kind == K::tkLessEqual || Kind == K::tkGreater || Kind == K::tkGreaterEqual ||
         Kind == Keyword("in") || Kind == Keyword("is");
}

bool IsAddOp(const TRunState &S) {
  const K Kind = S.Token.Kind;
  return Kind == K::tkPlus || Kind == K::tkMinus || Kind == Keyword("or") ||
         Kind == Keyword("xor");
}

// "/" has the kind of "div".
bool IsMulOp(const TRunState &S) {
  const K Kind = S.Token.Kind;
  return Kind == K::tkStar || Kind == Keyword("div") || Kind == Keyword("mod") ||
         Kind == Keyword("and") || Kind == Keyword("as") || Kind == Keyword("shl") ||
         Kind == Keyword("shr");
}

// SetElement = ConstExpr [ ".." ConstExpr ] .
int SetElement(TRunState &S) {
  const int R = ConstExpr(S);
  if (R != prOk) return R;
  if (Accept(S, K::tkRange) && ConstExpr(S) != prOk) return prError;
  return prOk;
}

} // namespace

// ConstExpr = SimpleExpr [ Relation SimpleExpr ] .
int ConstExpr(TRunState &S) {
  const int R = SimpleExpr(S);
  if (R != prOk) return R;
  if (!IsRelation(S)) return prOk;
  Next(S);
  return SimpleExpr(S) == prOk ? prOk : prError;
}

// SimpleExpr = Term { AddOp Term } .
int SimpleExpr(TRunState &S) {
  const int R = Term(S);
  if (R != prOk) return R;
  while (IsAddOp(S)) {
    Next(S);
    if (Term(S) != prOk) return prError;
  }
  return prOk;
}

// Term = Factor { MulOp Factor } .
int Term(TRunState &S) {
  const int R = Factor(S);
  if (R != prOk) return R;
  while (IsMulOp(S)) {
    Next(S);
    if (Factor(S) != prOk) return prError;
  }
  return prOk;
}

// Factor = "(" ConstExpr ")" | "not" Factor | "+" Factor | "-" Factor | Designator
//        | integer | real | string | "nil" | SetConstructor | "@" ident .
int Factor(TRunState &S) {
  TNesting Level(S);
  if (Level.Deep()) return prError;
  if (Accept(S, K::tkLParen)) {
    if (ConstExpr(S) != prOk) return prError;
    return Accept(S, K::tkRParen) ? prOk : prError;
  }
  if (Accept(S, Keyword("not")) || Accept(S, K::tkPlus) || Accept(S, K::tkMinus))
    return Factor(S) == prOk ? prOk : prError;
  int R = Designator(S);
  if (R != prNone) return R;
  if (Accept(S, K::tkInteger) || Accept(S, K::tkReal) || Accept(S, K::tkString) ||
      Accept(S, Keyword("nil")))
    return prOk;
  R = SetConstructor(S);
  if (R != prNone) return R;
  // The identifier after "@" is tested, not read: it stays current.
  if (Accept(S, K::tkAt)) return IsIdent(S) ? prOk : prError;
  return prNone;
}

// Designator = ident [ "^" | "[" ConstExpr { "," ConstExpr } "]" | "." ident ] .
int Designator(TRunState &S) {
  if (!Accept(S, K::tkIdentifier)) return prNone;
  if (Accept(S, K::tkCaret)) return prOk;
  if (Accept(S, K::tkLBracket)) {
    do {
      if (ConstExpr(S) != prOk) return prError;
    } while (Accept(S, K::tkComma));
    return Accept(S, K::tkRBracket) ? prOk : prError;
  }
  if (Accept(S, K::tkPeriod)) return Accept(S, K::tkIdentifier) ? prOk : prError;
  return prOk;
}

// SetConstructor = "[" [ SetElement { "," SetElement } ] "]" .
int SetConstructor(TRunState &S) {
  if (!Accept(S, K::tkLBracket)) return prNone;
  if (Accept(S, K::tkRBracket)) return prOk;
  do {
    if (SetElement(S) != prOk) return prError;
  } while (Accept(S, K::tkComma));
  return Accept(S, K::tkRBracket) ? prOk : prError;
}

} // namespace codeweft
