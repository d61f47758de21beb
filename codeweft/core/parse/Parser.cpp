// Units, sections, routine headings and constant expressions.
#include "codeweft/core/parse/Parser.h"

#include "codeweft/core/parse/ParserHelpers.h"

namespace codeweft {

using namespace parse;
using K = TTokenKind;

// UnitHeading = "unit" ident .
int TParser::UnitHeading() {
  if (!Accept(FState, Keyword("unit"))) return prNone;
  std::string Name;
  if (!TakeIdent(FState, Name)) return prError;
  FState.CurrentUnit = LowerCase(Name);
  return prOk;
}

// InterfaceSection = "interface" [UsesClause] DeclSections .
int TParser::InterfaceSection() {
  if (!Accept(FState, Keyword("interface"))) return prNone;
  if (UsesClause() == prError) return prError;
  return DeclSections() == prOk ? prOk : prError;
}

// UsesClause = "uses" UnitList ";" .
int TParser::UsesClause() {
  if (!Is(FState, Keyword("uses"))) return prNone;
  int R;
  if (Listing(FState)) {
    BeginDeferral(FState);
    Next(FState);
    R = LinkedUnitList();
    FState.Deferring = false;
  } else {
    Next(FState);
    R = IdentList();
  }
  if (R != prOk) return prError;
  return Accept(FState, K::tkSemicolon) ? prOk : prError;
}

// DeclSections = { LabelSection | ConstSection | TypeSection | VarSection
//                | RoutineDecl | ResourceStringSection | ExportsSection } .
int TParser::DeclSections() {
  static int (TParser::*const Sections[])() = {
      &TParser::LabelSection,  &TParser::ConstSection, &TParser::TypeSection,
      &TParser::VarSection,    &TParser::RoutineDecl,  &TParser::ResourceStringSection,
      &TParser::ExportsSection};
  for (;;) {
    int R = prNone;
    for (auto Section : Sections)
      if ((R = (this->*Section)()) != prNone) break;
    if (R == prNone) return prOk;
    if (R == prError) return prError;
  }
}

// LabelSection = "label" ident { "," ident } ";" .
int TParser::LabelSection() {
  if (!Accept(FState, Keyword("label"))) return prNone;
  do {
    std::string Name;
    if (!TakeIdent(FState, Name)) return prError;
    FState.Symbols.AddIdent(FState.CurrentUnit, Name, TRefKind::rkLabel);
  } while (Accept(FState, K::tkComma));
  return Accept(FState, K::tkSemicolon) ? prOk : prError;
}

// ConstSection = "const" ConstDecl { ConstDecl } .
int TParser::ConstSection() {
  if (!Accept(FState, Keyword("const"))) return prNone;
  int R = ConstDecl();
  if (R != prOk) return prError;
  while ((R = ConstDecl()) == prOk) {
  }
  return R == prError ? prError : prOk;
}

// ConstDecl = ident ( ":" TypeDef "=" TypedConstValue | "=" ConstExpr ) ";" .
int TParser::ConstDecl() {
  std::string Name;
  if (!TakeIdent(FState, Name)) return prNone;
  FState.Symbols.AddIdent(FState.CurrentUnit, Name, TRefKind::rkConstant);
  if (Accept(FState, K::tkColon)) {
    if (TypeDef() != prOk) return prError;
    if (!Accept(FState, K::tkEqual)) return prError;
    if (TypedConstValue() != prOk) return prError;
  } else if (Accept(FState, K::tkEqual)) {
    if (ConstExpr() != prOk) return prError;
  } else {
    return prError;
  }
  // Whatever follows the value is taken for its ";".
  Next(FState);
  return prOk;
}

// TypedConstValue = ConstExpr
//                 | "(" TypedConstValue { "," TypedConstValue } ")"
//                 | "(" ident ":" TypedConstValue { ";" ident ":" TypedConstValue } ")"
//                 | ident | "nil" .
// ConstExpr claims every "(", identifier and "nil" first, so a parenthesised
// list of values is read as a parenthesised expression and fails at its ",".
int TParser::TypedConstValue() {
  TNesting Level(FNesting);
  if (Level.Deep()) return prError;
  const int R = ConstExpr();
  if (R != prNone) return R;
  if (Accept(FState, K::tkLParen)) {
    if (IsIdent(FState)) {
      std::string Field;
      do {
        if (!TakeIdent(FState, Field) || !Accept(FState, K::tkColon)) return prError;
        if (TypedConstValue() != prOk) return prError;
      } while (Accept(FState, K::tkSemicolon));
    } else {
      do {
        if (TypedConstValue() != prOk) return prError;
      } while (Accept(FState, K::tkComma));
    }
    return Accept(FState, K::tkRParen) ? prOk : prError;
  }
  if (Accept(FState, K::tkIdentifier) || Accept(FState, Keyword("nil"))) return prOk;
  return prNone;
}

// ResourceStringSection = "resourcestring" ResourceStringDecl { ResourceStringDecl } .
// ResourceStringDecl = ident "=" ConstExpr ";" .
int TParser::ResourceStringSection() {
  if (!Accept(FState, Keyword("resourcestring"))) return prNone;
  int Count = 0;
  std::string Name;
  while (TakeIdent(FState, Name)) {
    FState.Symbols.AddIdent(FState.CurrentUnit, Name, TRefKind::rkConstant);
    if (!Accept(FState, K::tkEqual) || ConstExpr() != prOk) return prError;
    if (!Accept(FState, K::tkSemicolon)) return prError;
    ++Count;
  }
  return Count > 0 ? prOk : prError;
}

// ExportsSection = "exports" { any token but ";" } ";" .
int TParser::ExportsSection() {
  if (!Accept(FState, Keyword("exports"))) return prNone;
  while (!FState.AtEnd && !Is(FState, K::tkSemicolon)) Next(FState);
  return Accept(FState, K::tkSemicolon) ? prOk : prError;
}

// TypeSection = "type" { TypeDecl } .
int TParser::TypeSection() {
  if (!Accept(FState, Keyword("type"))) return prNone;
  while (IsIdent(FState))
    if (TypeDecl() != prOk) return prError;
  return prOk;
}

// TypeDecl = ident "=" TypeDef [";"] .
int TParser::TypeDecl() {
  std::string Name;
  if (!TakeIdent(FState, Name)) return prNone;
  FLastTypeName = Name;
  FState.Symbols.AddIdent(FState.CurrentUnit, Name, TRefKind::rkType);
  if (!Accept(FState, K::tkEqual)) return prError;
  if (TypeDef() != prOk) return prError;
  Accept(FState, K::tkSemicolon);
  return prOk;
}

// VarSection = "var" VarDecl { VarDecl } .
int TParser::VarSection() {
  if (!Accept(FState, Keyword("var"))) return prNone;
  int R = VarDecl();
  if (R != prOk) return prError;
  while ((R = VarDecl()) == prOk) {
  }
  return R == prError ? prError : prOk;
}

// VarDecl = ident { "," ident } ":" TypeDef [ "=" TypedConstValue ] ";" .
int TParser::VarDecl() {
  if (!IsIdent(FState)) return prNone;
  do {
    std::string Name;
    if (!TakeIdent(FState, Name)) return prError;
    FState.Symbols.AddIdent(FState.CurrentUnit, Name, TRefKind::rkVariable);
  } while (Accept(FState, K::tkComma));
  if (!Accept(FState, K::tkColon) || TypeDef() != prOk) return prError;
  if (Accept(FState, K::tkEqual) && TypedConstValue() != prOk) return prError;
  return Accept(FState, K::tkSemicolon) ? prOk : prError;
}

// RoutineDecl = ( ProcedureHeading | FunctionHeading ) ";" [ Convention ";" ] .
int TParser::RoutineDecl() {
  int R = ProcedureHeading();
  if (R == prNone) R = FunctionHeading();
  if (R != prOk) return R;
  if (!Accept(FState, K::tkSemicolon)) return prError;
  if (IsConvention(FState)) {
    Next(FState);
    if (!Accept(FState, K::tkSemicolon)) return prError;
  }
  return prOk;
}

// The part the four headings share: Keyword ident [ "." ident ], the symbol
// recorded, and in the listing phases the name replaced by its anchor or link.
// ByFirst: constructors and destructors record their first identifier as a
// member of CurrentClass; procedures and functions record the last one, as a
// member when inside a class body and as a unit identifier otherwise.
int TParser::RoutineName(TTokenKind Word, TRefKind Kind, bool ByFirst) {
  if (!Is(FState, Word)) return prNone;
  const bool Decorate = Listing(FState);
  if (Decorate) BeginDeferral(FState);
  Next(FState);
  if (!IsIdent(FState)) {
    if (Decorate) QueueCurrent(FState);
    return prError;
  }
  // The name's tokens stay with this rule; blanks and comments read past
  // them are queued by the hook and must stay behind the name.
  const std::size_t NamePos = FState.PendingTokens.size();
  const std::string First(FState.Token.Text);
  Next(FState);
  std::string Class, Name = First;
  if (Is(FState, K::tkPeriod)) {
    const std::size_t DotPos = FState.PendingTokens.size();
    const std::string Dot(FState.Token.Text);
    Next(FState);
    if (!IsIdent(FState)) {
      if (Decorate) { // give back what was read, in place
        InsertToken(FState, DotPos, Dot, {}, {}, TTokenStyle::tsSymbol);
        InsertToken(FState, NamePos, First, {}, {}, TTokenStyle::tsIdent);
        QueueCurrent(FState);
      }
      return prError;
    }
    Class = First;
    Name = FState.Token.Text;
    Next(FState);
  }
  if (ByFirst)
    FState.Symbols.AddMember(FState.CurrentUnit, FCurrentClass, First, Kind);
  else if (FCurrentClass.empty())
    FState.Symbols.AddIdent(FState.CurrentUnit, Name, Kind);
  else
    FState.Symbols.AddMember(FState.CurrentUnit, FCurrentClass, Name, Kind);
  if (Decorate) {
    PlaceRoutineName(NamePos, Class, Name);
    QueueCurrent(FState);
  }
  return prOk;
}

// Keyword ident [ "." ident ] [FormalParams]
int TParser::RoutineHeading(TTokenKind Word, TRefKind Kind, bool ByFirst) {
  const int R = RoutineName(Word, Kind, ByFirst);
  if (R != prOk) return R;
  return FormalParams() == prError ? prError : prOk;
}

// ProcedureHeading = "procedure" ident [ "." ident ] [FormalParams] .
int TParser::ProcedureHeading() {
  return RoutineHeading(Keyword("procedure"), TRefKind::rkProcedure, false);
}

// FunctionHeading = "function" ident [ "." ident ] [FormalParams] ":" ( ident | "string" ) .
int TParser::FunctionHeading() {
  const int R = RoutineHeading(Keyword("function"), TRefKind::rkFunction, false);
  if (R != prOk) return R;
  if (!Accept(FState, K::tkColon)) return prError;
  return Accept(FState, K::tkIdentifier) || Accept(FState, Keyword("string")) ? prOk : prError;
}

// ConstructorHeading = "constructor" ident [ "." ident ] [FormalParams] .
int TParser::ConstructorHeading() {
  return RoutineHeading(Keyword("constructor"), TRefKind::rkConstructor, true);
}

// DestructorHeading = "destructor" ident [ "." ident ] [FormalParams] .
int TParser::DestructorHeading() {
  return RoutineHeading(Keyword("destructor"), TRefKind::rkDestructor, true);
}

// FormalParams = "(" ParamGroup { ";" ParamGroup } ")" .
int TParser::FormalParams() {
  if (!Accept(FState, K::tkLParen)) return prNone;
  do {
    if (ParamGroup() != prOk) return prError;
  } while (Accept(FState, K::tkSemicolon));
  return Accept(FState, K::tkRParen) ? prOk : prError;
}

// ParamGroup = [ "const" | "var" | "out" ] IdentList [ ":" [ "array" "of" ] TypeDef ] .
int TParser::ParamGroup() {
  const bool Modifier = Accept(FState, Keyword("const")) || Accept(FState, Keyword("var")) ||
                        Accept(FState, Keyword("out"));
  // Without a modifier the group simply does not apply; after one it is an error.
  const int Fail = Modifier ? prError : prNone;
  const int R = IdentList();
  if (R == prError) return prError;
  if (R == prNone) return Fail;
  if (!Accept(FState, K::tkColon)) return prOk;
  if (Accept(FState, Keyword("array")) && !Accept(FState, Keyword("of"))) return Fail;
  return TypeDef() == prOk ? prOk : Fail;
}

// IdentList = ident { "," ident } .
int TParser::IdentList() {
  if (!Accept(FState, K::tkIdentifier)) return prNone;
  while (Accept(FState, K::tkComma))
    if (!Accept(FState, K::tkIdentifier)) return prError;
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

}  // namespace

// SetElement = ConstExpr [ ".." ConstExpr ] .
int TParser::SetElement() {
  const int R = ConstExpr();
  if (R != prOk) return R;
  if (Accept(FState, K::tkRange) && ConstExpr() != prOk) return prError;
  return prOk;
}

// ConstExpr = SimpleExpr [ Relation SimpleExpr ] .
int TParser::ConstExpr() {
  const int R = SimpleExpr();
  if (R != prOk) return R;
  if (!IsRelation(FState)) return prOk;
  Next(FState);
  return SimpleExpr() == prOk ? prOk : prError;
}

// SimpleExpr = Term { AddOp Term } .
int TParser::SimpleExpr() {
  const int R = Term();
  if (R != prOk) return R;
  while (IsAddOp(FState)) {
    Next(FState);
    if (Term() != prOk) return prError;
  }
  return prOk;
}

// Term = Factor { MulOp Factor } .
int TParser::Term() {
  const int R = Factor();
  if (R != prOk) return R;
  while (IsMulOp(FState)) {
    Next(FState);
    if (Factor() != prOk) return prError;
  }
  return prOk;
}

// Factor = "(" ConstExpr ")" | "not" Factor | "+" Factor | "-" Factor | Designator
//        | integer | real | string | "nil" | SetConstructor | "@" ident .
int TParser::Factor() {
  TNesting Level(FNesting);
  if (Level.Deep()) return prError;
  if (Accept(FState, K::tkLParen)) {
    if (ConstExpr() != prOk) return prError;
    return Accept(FState, K::tkRParen) ? prOk : prError;
  }
  if (Accept(FState, Keyword("not")) || Accept(FState, K::tkPlus) || Accept(FState, K::tkMinus))
    return Factor() == prOk ? prOk : prError;
  int R = Designator();
  if (R != prNone) return R;
  if (Accept(FState, K::tkInteger) || Accept(FState, K::tkReal) || Accept(FState, K::tkString) ||
      Accept(FState, Keyword("nil")))
    return prOk;
  R = SetConstructor();
  if (R != prNone) return R;
  // The identifier after "@" is tested, not read: it stays current.
  if (Accept(FState, K::tkAt)) return IsIdent(FState) ? prOk : prError;
  return prNone;
}

// Designator = ident [ "^" | "[" ConstExpr { "," ConstExpr } "]" | "." ident ] .
int TParser::Designator() {
  if (!Accept(FState, K::tkIdentifier)) return prNone;
  if (Accept(FState, K::tkCaret)) return prOk;
  if (Accept(FState, K::tkLBracket)) {
    do {
      if (ConstExpr() != prOk) return prError;
    } while (Accept(FState, K::tkComma));
    return Accept(FState, K::tkRBracket) ? prOk : prError;
  }
  if (Accept(FState, K::tkPeriod)) return Accept(FState, K::tkIdentifier) ? prOk : prError;
  return prOk;
}

// SetConstructor = "[" [ SetElement { "," SetElement } ] "]" .
int TParser::SetConstructor() {
  if (!Accept(FState, K::tkLBracket)) return prNone;
  if (Accept(FState, K::tkRBracket)) return prOk;
  do {
    if (SetElement() != prOk) return prError;
  } while (Accept(FState, K::tkComma));
  return Accept(FState, K::tkRBracket) ? prOk : prError;
}

} // namespace codeweft
