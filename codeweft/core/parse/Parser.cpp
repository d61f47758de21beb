// Units, sections, routine headings and constant expressions.
#include "codeweft/core/parse/Parser.h"

#include "codeweft/core/parse/ParserHelpers.h"

namespace codeweft {

using namespace parse;
using K = TTokenKind;

// UnitHeading = "unit" ident { "." ident } .
// A dotted name ("unit Shared.CommonFunc;") is the unit's whole name.
int TParser::UnitHeading() {
  if (!Accept(FState, Keyword("unit"))) return prNone;
  std::string name, part;
  if (!TakeIdent(FState, name)) return prError;
  while (Accept(FState, K::tkPeriod)) {
    if (!TakeIdent(FState, part)) return prError;
    name += "." + part;
  }
  FState.CurrentUnit = LowerCase(name);
  return prOk;
}

// InterfaceSection is in Recovery.cpp.

// UsesClause = "uses" UnitList ";" .
int TParser::UsesClause() {
  if (!Is(FState, Keyword("uses"))) return prNone;
  int r;
  if (Listing(FState)) {
    BeginDeferral(FState);
    Next(FState);
    r = LinkedUnitList();
    FState.Source.Deferring = false;
  } else {
    Next(FState);
    r = UnitList();
  }
  if (r != prOk) return prError;
  return Accept(FState, K::tkSemicolon) ? prOk : prError;
}

// UnitList = UnitName [ "in" string ] { "," UnitName [ "in" string ] } .
// UnitName = ident { "." ident } .
int TParser::UnitList() {
  if (!IsIdent(FState)) return prNone;
  do {
    if (!Accept(FState, K::tkIdentifier)) return prError;
    while (Accept(FState, K::tkPeriod))
      if (!Accept(FState, K::tkIdentifier)) return prError;
    if (Accept(FState, Keyword("in")) && !Accept(FState, K::tkString)) return prError;
  } while (Accept(FState, K::tkComma));
  return prOk;
}

// DeclSections = { LabelSection | ConstSection | TypeSection | VarSection
//                | RoutineDecl | ResourceStringSection | ExportsSection | OtherDecl } .
int TParser::DeclSections() {
  static int (TParser::*const sections[])() = {
      &TParser::LabelSection,   &TParser::ConstSection, &TParser::TypeSection,
      &TParser::VarSection,     &TParser::RoutineDecl,  &TParser::ResourceStringSection,
      &TParser::ExportsSection, &TParser::OtherDecl};
  for (;;) {
    int r = prNone;
    for (auto section : sections)
      if ((r = (this->*section)()) != prNone) break;
    if (r == prNone) return prOk;
    if (r == prError) return prError;
  }
}

// OtherDecl = Attributes | "property" ... ";" | OperatorDecl
//           | "generic" RoutineDecl .
// Attributes are read and dropped; a unit-level property is read to its ";".
int TParser::OtherDecl() {
  if (Is(FState, K::tkLBracket)) return SkipBalanced() ? prOk : prError;
  if (Accept(FState, Keyword("property"))) {
    if (SkipValue() != prOk) return prError;
    return Accept(FState, K::tkSemicolon) ? prOk : prError;
  }
  if (IsWord(FState, "operator")) {
    if (OperatorHeading() != prOk) return prError;
    return RoutineTail();
  }
  if (AcceptWord(FState, "generic")) return RoutineDecl() == prOk ? prOk : prError;
  return prNone;
}

// LabelSection = "label" ( ident | integer ) { "," ( ident | integer ) } ";" .
int TParser::LabelSection() {
  if (!Accept(FState, Keyword("label"))) return prNone;
  do {
    std::string name;
    if (Accept(FState, K::tkInteger)) continue;
    if (!TakeIdent(FState, name)) return prError;
    FState.Symbols.AddIdent(FState.CurrentUnit, name, TRefKind::rkLabel);
  } while (Accept(FState, K::tkComma));
  return Accept(FState, K::tkSemicolon) ? prOk : prError;
}

// ConstSection = "const" ConstDecl { ConstDecl } .
int TParser::ConstSection() {
  if (!Accept(FState, Keyword("const"))) return prNone;
  FSectionItem = &TParser::ConstDecl;
  int r = ConstDecl();
  if (r != prOk) return prError;
  while ((r = ConstDecl()) == prOk) {
  }
  return r == prError ? prError : prOk;
}

// ConstDecl = ident ( ":" TypeDef "=" TypedConstValue | "=" ConstExpr ) ";" .
int TParser::ConstDecl() {
  std::string name;
  if (!TakeIdent(FState, name)) return prNone;
  FState.Symbols.AddIdent(FState.CurrentUnit, name, TRefKind::rkConstant);
  if (Accept(FState, K::tkColon)) {
    if (TypeDef() != prOk) return prError;
    if (!Accept(FState, K::tkEqual)) return prError;
    if (TypedConstValue() != prOk) return prError;
  } else if (Accept(FState, K::tkEqual)) {
    // What follows the expression (a call, an operator it does not know) is
    // read to the ";", not understood.
    if (SkipValue() != prOk) return prError;
  } else {
    return prError;
  }
  Hints();
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
  TNesting level(FNesting);
  if (level.Deep()) return prError;
  // Array and record values, and whatever an expression continues with, are
  // read to the ";" without being understood.
  if (Is(FState, K::tkLParen) || Is(FState, K::tkLBracket)) return SkipValue();
  // An expression is read as far as it is understood ("1 << 8" is not),
  // the rest like any value.
  const int r = ConstExpr();
  if (r != prNone) return SkipValue();
  if (Accept(FState, K::tkLParen)) {
    if (IsIdent(FState)) {
      std::string field;
      do {
        if (!TakeIdent(FState, field) || !Accept(FState, K::tkColon)) return prError;
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
  int count = 0;
  std::string name;
  while (TakeIdent(FState, name)) {
    FState.Symbols.AddIdent(FState.CurrentUnit, name, TRefKind::rkConstant);
    if (!Accept(FState, K::tkEqual) || ConstExpr() != prOk) return prError;
    if (SkipValue() != prOk || !Accept(FState, K::tkSemicolon)) return prError;
    ++count;
  }
  return count > 0 ? prOk : prError;
}

// ExportsSection = "exports" { any token but ";" } ";" .
int TParser::ExportsSection() {
  if (!Accept(FState, Keyword("exports"))) return prNone;
  while (!FState.Source.AtEnd && !Is(FState, K::tkSemicolon)) Next(FState);
  return Accept(FState, K::tkSemicolon) ? prOk : prError;
}

// TypeSection = "type" { TypeDecl } .
int TParser::TypeSection() {
  if (!Accept(FState, Keyword("type"))) return prNone;
  FSectionItem = &TParser::TypeDecl;
  while (IsIdent(FState) || Is(FState, K::tkLBracket))
    if (TypeDecl() != prOk) return prError;
  return prOk;
}

// TypeDecl = { Attributes } [ "generic" ] ident [ TypeParams ] "="
//            [ "type" ] ( "helper" HelperBody | TypeDef ) Hints [ ";" [ Conventions ] ] .
int TParser::TypeDecl() {
  while (Is(FState, K::tkLBracket))
    if (!SkipBalanced()) return prError;
  std::string name;
  if (!TakeIdent(FState, name)) return prNone;
  if (SameText(name, "generic") && IsIdent(FState)) TakeIdent(FState, name);
  FLastTypeName = name;
  FState.Symbols.AddIdent(FState.CurrentUnit, name, TRefKind::rkType);
  bool tookEqual = false;
  if (Is(FState, K::tkLess) && !SkipTypeArgs(tookEqual)) return prError;
  if (!tookEqual && !Accept(FState, K::tkEqual)) return prError;
  FProcType = false;
  if (Accept(FState, Keyword("type")) && IsWord(FState, "helper")) {
    // A type helper reads like a record helper: "helper for T ... end".
    FState.Symbols.SetLastKind(TRefKind::rkRecord);
    if (RecordTypeBody() != prOk) return prError;
  } else if (TypeDef() != prOk) {
    return prError;
  }
  Hints();
  if (Accept(FState, K::tkSemicolon)) ProcTypeConventions();
  return prOk;
}

// VarSection = "var" VarDecl { VarDecl } .
int TParser::VarSection() {
  if (!Accept(FState, Keyword("var")) && !Accept(FState, Keyword("threadvar"))) return prNone;
  FSectionItem = &TParser::VarDecl;
  int r = VarDecl();
  if (r != prOk) return prError;
  while ((r = VarDecl()) == prOk) {
  }
  return r == prError ? prError : prOk;
}

// VarDecl = ident { "," ident } ":" TypeDef Hints
//           [ "absolute" Value | "=" TypedConstValue ] Hints ";" { VarDirective ";" } .
int TParser::VarDecl() {
  if (!IsIdent(FState)) return prNone;
  do {
    std::string name;
    if (!TakeIdent(FState, name)) return prError;
    FState.Symbols.AddIdent(FState.CurrentUnit, name, TRefKind::rkVariable);
  } while (Accept(FState, K::tkComma));
  FProcType = false;
  if (!Accept(FState, K::tkColon) || TypeDef() != prOk) return prError;
  Hints();
  if (AcceptWord(FState, "absolute")) {
    if (SkipValue() != prOk) return prError;
  } else if (Accept(FState, K::tkEqual) && TypedConstValue() != prOk) {
    return prError;
  }
  Hints();
  AcceptWord(FState, "cvar");  // "V: cint cvar; external;"
  if (!Accept(FState, K::tkSemicolon)) return prError;
  ProcTypeConventions();
  // "cvar;" and "external ... ;" after a variable of a library.
  while (IsWord(FState, "cvar") || IsWord(FState, "external") || IsWord(FState, "export")) {
    Next(FState);
    if (SkipValue() != prOk || !Accept(FState, K::tkSemicolon)) return prError;
  }
  return prOk;
}

// RoutineDecl = ( ProcedureHeading | FunctionHeading ) RoutineTail .
int TParser::RoutineDecl() {
  int r = ProcedureHeading();
  if (r == prNone) r = FunctionHeading();
  if (r != prOk) return r;
  return RoutineTail();
}

// The part the four headings share: Keyword ident [ "." ident ], the symbol
// recorded, and in the listing phases the name replaced by its anchor or link.
// byFirst: constructors and destructors record their first identifier as a
// member of CurrentClass; procedures and functions record the last one, as a
// member when inside a class body and as a unit identifier otherwise.
int TParser::RoutineName(TTokenKind word, TRefKind kind, bool byFirst) {
  if (!Is(FState, word)) return prNone;
  const bool decorate = Listing(FState);
  if (decorate) BeginDeferral(FState);
  Next(FState);
  if (!IsIdent(FState)) {
    if (decorate) QueueCurrent(FState);
    return prError;
  }
  // The name's tokens stay with this rule; blanks and comments read past
  // them are queued by the hook, and the name's pieces are put back around
  // them where they stood.
  const std::size_t namePos = FState.Source.PendingTokens.size();
  const std::string first(FState.Source.Token.Text);
  Next(FState);
  std::string className, name = first;
  std::size_t dotPos = namePos, lastPos = namePos;
  if (Is(FState, K::tkPeriod)) {
    dotPos = FState.Source.PendingTokens.size();
    const std::string dot(FState.Source.Token.Text);
    Next(FState);
    if (!IsIdent(FState)) {
      if (decorate) { // give back what was read, in place
        InsertToken(FState, dotPos, dot, {}, {}, TTokenStyle::tsSymbol);
        InsertToken(FState, namePos, first, {}, {}, TTokenStyle::tsIdent);
        QueueCurrent(FState);
      }
      return prError;
    }
    className = first;
    name = FState.Source.Token.Text;
    lastPos = FState.Source.PendingTokens.size();
    Next(FState);
  }
  FRoutineKey = LowerCase(FCurrentClass.empty() ? name : FCurrentClass + "_" + name);
  if (byFirst)
    FState.Symbols.AddMember(FState.CurrentUnit, FCurrentClass, first, kind);
  else if (FCurrentClass.empty())
    FState.Symbols.AddIdent(FState.CurrentUnit, name, kind);
  else
    FState.Symbols.AddMember(FState.CurrentUnit, FCurrentClass, name, kind);
  if (decorate) {
    PlaceRoutineName(namePos, className, name, dotPos, lastPos);
    QueueCurrent(FState);
  }
  return prOk;
}

// Keyword ident [ "." ident ] [ TypeParams [ "." ident [ TypeParams ] ] ] [FormalParams]
// The type parameters of a generic routine follow its name; a generic
// class's method is written "TList<T>.Add" where it is implemented.
int TParser::RoutineHeading(TTokenKind word, TRefKind kind, bool byFirst) {
  const int r = RoutineName(word, kind, byFirst);
  if (r != prOk) return r;
  bool tookEqual = false;
  if (Is(FState, K::tkLess)) {
    if (!SkipTypeArgs(tookEqual) || tookEqual) return prError;
    if (Accept(FState, K::tkPeriod)) {
      if (!Accept(FState, K::tkIdentifier)) return prError;
      if (Is(FState, K::tkLess) && (!SkipTypeArgs(tookEqual) || tookEqual)) return prError;
    }
  }
  // In the symbol pass the parameter list is recorded as it is read (from
  // the current token to the one after the list) for the overload numbering.
  const bool record = FState.Phase == TPhase::phSymbols;
  if (record) {
    FState.ParamTokens.assign(1, {FState.Source.Token.Kind, LowerCase(FState.Source.Token.Text)});
    FState.RecordingParams = true;
  }
  const int params = FormalParams();
  if (record) {
    FState.RecordingParams = false;
    FState.ParamTokens.pop_back();
    const TParamList list = ReadParamList(FState.ParamTokens);
    const int number = FState.Overloads.Declare(FRoutineKey, list);
    FState.Symbols.SetLastRoutine(number, list.Min, list.Max);
  }
  return params == prError ? prError : prOk;
}

// OperatorHeading = "operator" ( ident | OperatorSymbol ) [FormalParams]
//                   [ ident ] [ ":" TypeDef ] .
// An operator named by an identifier ("Add", "Implicit") is recorded as a
// function; one named by a symbol has no name to record.
int TParser::OperatorHeading() {
  if (!AcceptWord(FState, "operator")) return prNone;
  std::string name;
  if (TakeIdent(FState, name)) {
    if (FCurrentClass.empty())
      FState.Symbols.AddIdent(FState.CurrentUnit, name, TRefKind::rkFunction);
    else
      FState.Symbols.AddMember(FState.CurrentUnit, FCurrentClass, name, TRefKind::rkFunction);
  } else {
    // One or two symbol tokens: "+", ":=", "**", "><".
    for (int i = 0; i < 2 && !Is(FState, K::tkLParen) && !FState.Source.AtEnd; ++i) Next(FState);
  }
  if (FormalParams() == prError) return prError;
  Accept(FState, K::tkIdentifier);  // the result's name
  if (Accept(FState, K::tkColon) && TypeDef() != prOk) return prError;
  return prOk;
}

// ProcedureHeading = "procedure" ident [ "." ident ] [FormalParams] .
int TParser::ProcedureHeading() {
  return RoutineHeading(Keyword("procedure"), TRefKind::rkProcedure, false);
}

// FunctionHeading = "function" ident [ "." ident ] [FormalParams] ":" ( ident | "string" ) .
int TParser::FunctionHeading() {
  const int r = RoutineHeading(Keyword("function"), TRefKind::rkFunction, false);
  if (r != prOk) return r;
  if (!Accept(FState, K::tkColon)) return prError;
  return TypeDef() == prOk ? prOk : prError;
}

// ConstructorHeading = "constructor" ident [ "." ident ] [FormalParams] .
int TParser::ConstructorHeading() {
  return RoutineHeading(Keyword("constructor"), TRefKind::rkConstructor, true);
}

// DestructorHeading = "destructor" ident [ "." ident ] [FormalParams] .
int TParser::DestructorHeading() {
  return RoutineHeading(Keyword("destructor"), TRefKind::rkDestructor, true);
}

// FormalParams = "(" [ ParamGroup { ";" ParamGroup } ] ")" .
int TParser::FormalParams() {
  if (!Accept(FState, K::tkLParen)) return prNone;
  if (Accept(FState, K::tkRParen)) return prOk;
  do {
    if (ParamGroup() != prOk) return prError;
  } while (Accept(FState, K::tkSemicolon));
  return Accept(FState, K::tkRParen) ? prOk : prError;
}

// ParamGroup = "..." | { Attributes } [ "const" | "var" | "out" | "constref" ] { Attributes }
//              IdentList [ ":" [ "univ" ] ( "array" "of" ( "const" | TypeDef ) | TypeDef ) ]
//              [ "=" Value ] .
int TParser::ParamGroup() {
  // "...": the variable arguments of a MacPas routine (one token).
  if (Is(FState, K::tkRange)) {
    const bool ellipsis = FState.Source.Token.Text == "...";
    Next(FState);
    return ellipsis ? prOk : prError;
  }
  while (Is(FState, K::tkLBracket))
    if (!SkipBalanced()) return prError;
  const bool modifier = Accept(FState, Keyword("const")) || Accept(FState, Keyword("var")) ||
                        Accept(FState, Keyword("out")) || AcceptWord(FState, "constref");
  while (Is(FState, K::tkLBracket))
    if (!SkipBalanced()) return prError;
  // Without a modifier the group simply does not apply; after one it is an error.
  const int fail = modifier ? prError : prNone;
  const int r = IdentList();
  if (r == prError) return prError;
  if (r == prNone) return fail;
  if (Accept(FState, K::tkColon)) {
    AcceptWord(FState, "univ");  // MacPas: any type of the same size is accepted
    if (Accept(FState, Keyword("array"))) {
      if (!Accept(FState, Keyword("of"))) return fail;
      if (!Accept(FState, Keyword("const")) && TypeDef() != prOk) return fail;
    } else if (TypeDef() != prOk) {
      return fail;
    }
  }
  // A register location of some targets: "A: LongInt location 'd0'".
  if (AcceptWord(FState, "location") && !Accept(FState, K::tkString)) return prError;
  // A default value: any tokens up to the ";" or ")" that ends the group.
  if (Accept(FState, K::tkEqual) && SkipValue() != prOk) return prError;
  return prOk;
}

// IdentList = ident { "," ident } .   "out" may name a parameter or field.
int TParser::IdentList() {
  if (!Accept(FState, K::tkIdentifier) && !Accept(FState, Keyword("out"))) return prNone;
  while (Accept(FState, K::tkComma))
    if (!Accept(FState, K::tkIdentifier) && !Accept(FState, Keyword("out"))) return prError;
  return prOk;
}

// ---- Constant expressions ---------------------------------------------------

namespace {

bool IsRelation(const TRunState &s) {
  const K kind = s.Source.Token.Kind;
  return kind == K::tkEqual || kind == K::tkNotEqual || kind == K::tkLess ||
         kind == K::tkLessEqual || kind == K::tkGreater || kind == K::tkGreaterEqual ||
         kind == Keyword("in") || kind == Keyword("is");
}

bool IsAddOp(const TRunState &s) {
  const K kind = s.Source.Token.Kind;
  return kind == K::tkPlus || kind == K::tkMinus || kind == Keyword("or") ||
         kind == Keyword("xor");
}

// "/" has the kind of "div".
bool IsMulOp(const TRunState &s) {
  const K kind = s.Source.Token.Kind;
  return kind == K::tkStar || kind == Keyword("div") || kind == Keyword("mod") ||
         kind == Keyword("and") || kind == Keyword("as") || kind == Keyword("shl") ||
         kind == Keyword("shr");
}

}  // namespace

// SetElement = ConstExpr [ ".." ConstExpr ] .
int TParser::SetElement() {
  const int r = ConstExpr();
  if (r != prOk) return r;
  if (Accept(FState, K::tkRange) && ConstExpr() != prOk) return prError;
  return prOk;
}

// ConstExpr = SimpleExpr [ Relation SimpleExpr ] .
int TParser::ConstExpr() {
  const int r = SimpleExpr();
  if (r != prOk) return r;
  if (!IsRelation(FState)) return prOk;
  Next(FState);
  return SimpleExpr() == prOk ? prOk : prError;
}

// SimpleExpr = Term { AddOp Term } .
int TParser::SimpleExpr() {
  const int r = Term();
  if (r != prOk) return r;
  while (IsAddOp(FState)) {
    Next(FState);
    if (Term() != prOk) return prError;
  }
  return prOk;
}

// Term = Factor { MulOp Factor } .
int TParser::Term() {
  const int r = Factor();
  if (r != prOk) return r;
  while (IsMulOp(FState)) {
    Next(FState);
    if (Factor() != prOk) return prError;
  }
  return prOk;
}

// Factor = "(" ConstExpr ")" | "not" Factor | "+" Factor | "-" Factor | Designator
//        | integer | real | string | "nil" | SetConstructor | "@" Designator .
int TParser::Factor() {
  TNesting level(FNesting);
  if (level.Deep()) return prError;
  if (Accept(FState, K::tkLParen)) {
    if (ConstExpr() != prOk) return prError;
    return Accept(FState, K::tkRParen) ? prOk : prError;
  }
  if (Accept(FState, Keyword("not")) || Accept(FState, K::tkPlus) || Accept(FState, K::tkMinus))
    return Factor() == prOk ? prOk : prError;
  int r = Designator();
  if (r != prNone) return r;
  if (Accept(FState, K::tkInteger) || Accept(FState, K::tkReal) || Accept(FState, K::tkString) ||
      Accept(FState, Keyword("nil")))
    return prOk;
  r = SetConstructor();
  if (r != prNone) return r;
  if (Accept(FState, K::tkAt)) return Designator() == prOk ? prOk : prError;
  return prNone;
}

// Designator = ident { "^" | "[" ConstExpr { "," ConstExpr } "]" | "." ident
//                    | "(" [ ConstExpr { "," ConstExpr } ] ")" } .
// Calls such as SizeOf(T) or Ord('A') are recognised like any other suffix.
int TParser::Designator() {
  if (!Accept(FState, K::tkIdentifier)) return prNone;
  for (;;) {
    if (Accept(FState, K::tkCaret)) continue;
    const bool bracket = Is(FState, K::tkLBracket);
    if (bracket || Is(FState, K::tkLParen)) {
      Next(FState);
      const K close = bracket ? K::tkRBracket : K::tkRParen;
      if (Accept(FState, close)) continue;
      do {
        int r = ConstExpr();
        if (r == prNone && !bracket && Is(FState, Keyword("string"))) {
          Next(FState);  // SizeOf(string)
          r = prOk;
        }
        if (r != prOk) return prError;
      } while (Accept(FState, K::tkComma));
      if (!Accept(FState, close)) return prError;
      continue;
    }
    if (Accept(FState, K::tkPeriod)) {
      if (!Accept(FState, K::tkIdentifier)) return prError;
      continue;
    }
    return prOk;
  }
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

// ---- Reading past what is not recorded -------------------------------------

namespace {

// Words that may follow a routine heading as directives. "public" is one
// only outside class bodies, where it opens a visibility section.
bool IsDirectiveWord(std::string_view word) {
  static constexpr std::string_view words[] = {"abstract",
                                               "alias",
                                               "assembler",
                                               "cdecl",
                                               "compilerproc",
                                               "cppdecl",
                                               "deprecated",
                                               "dispid",
                                               "dynamic",
                                               "enumerator",
                                               "experimental",
                                               "export",
                                               "extdecl",
                                               "external",
                                               "far",
                                               "far16",
                                               "final",
                                               "forward",
                                               "hardfloat",
                                               "internconst",
                                               "internproc",
                                               "interrupt",
                                               "iocheck",
                                               "local",
                                               "message",
                                               "ms_abi_cdecl",
                                               "ms_abi_default",
                                               "mwpascal",
                                               "near",
                                               "noreturn",
                                               "nostackframe",
                                               "oldfpccall",
                                               "overload",
                                               "override",
                                               "pascal",
                                               "platform",
                                               "register",
                                               "reintroduce",
                                               "rtlproc",
                                               "safecall",
                                               "saveregisters",
                                               "softfloat",
                                               "static",
                                               "stdcall",
                                               "syscall",
                                               "sysv_abi_cdecl",
                                               "sysv_abi_default",
                                               "unimplemented",
                                               "varargs",
                                               "vectorcall",
                                               "virtual",
                                               "weakexternal",
                                               "winapi"};
  for (std::string_view w : words)
    if (SameText(word, w)) return true;
  return false;
}

}  // namespace

bool TParser::IsDirective() const {
  if (IsIdent(FState)) return IsDirectiveWord(FState.Source.Token.Text);
  return Is(FState, Keyword("inline")) || Is(FState, Keyword("library")) ||
         (FCurrentClass.empty() && Is(FState, Keyword("public")));
}

// RoutineTail = { ";" | Directive | "[" ... "]" } , with at least one ";".
// Directive = word [ arguments up to the next ";" ]; "message" and "dispid"
// need a constant.
int TParser::RoutineTail() {
  bool semicolon = false;
  for (;;) {
    if (Accept(FState, K::tkSemicolon)) {
      semicolon = true;
      continue;
    }
    if (semicolon && Is(FState, K::tkLBracket)) {  // [public, alias: 'name']
      if (!SkipBalanced()) return prError;
      continue;
    }
    if (!IsDirective()) break;
    const bool needsConstant = IsWord(FState, "message") || IsWord(FState, "dispid");
    Next(FState);
    if (needsConstant && ConstExpr() != prOk) return prError;
    if (SkipValue() != prOk) return prError;
  }
  return semicolon ? prOk : prError;
}

// Hints = { "deprecated" [string] | "experimental" | "platform" | "library"
//         | "unimplemented" } .
void TParser::Hints() {
  for (;;) {
    if (AcceptWord(FState, "deprecated") || AcceptWord(FState, "experimental")) {
      Accept(FState, K::tkString);
    } else if (!AcceptWord(FState, "platform") && !AcceptWord(FState, "unimplemented") &&
               !Accept(FState, Keyword("library"))) {
      return;
    }
  }
}

// After the ";" of a declaration whose type is procedural: the calling
// conventions written as directives of their own ("; cdecl;").
void TParser::ProcTypeConventions() {
  if (!FProcType) return;
  FProcType = false;
  while (IsConvention(FState) || IsWord(FState, "varargs") || IsWord(FState, "extdecl")) {
    Next(FState);
    if (!Accept(FState, K::tkSemicolon)) return;
  }
}

// Reads past a bracketed group, "(" ... ")" or "[" ... "]", with what it
// nests; false when the input ends first.
bool TParser::SkipBalanced() {
  int depth = 0;
  do {
    if (FState.Source.AtEnd) return false;
    if (Is(FState, K::tkLParen) || Is(FState, K::tkLBracket))
      ++depth;
    else if (Is(FState, K::tkRParen) || Is(FState, K::tkRBracket))
      --depth;
    Next(FState);
  } while (depth > 0);
  return true;
}

// Value = { any token } up to a ";", "end", or a ")" or "]" that closes an
// outer group, at the outermost level; brackets inside are read whole. The
// stopping token stays current. prError when the input ends first.
int TParser::SkipValue() {
  for (;;) {
    if (FState.Source.AtEnd) return prError;
    if (Is(FState, K::tkSemicolon) || Is(FState, Keyword("end")) || Is(FState, K::tkRParen) ||
        Is(FState, K::tkRBracket))
      return prOk;
    if (Is(FState, K::tkLParen) || Is(FState, K::tkLBracket)) {
      if (!SkipBalanced()) return prError;
    } else {
      Next(FState);
    }
  }
}

// TypeArgs = "<" ... ">", nesting: the type parameters or arguments of a
// generic, with their constraints. A closing ">=" also stands for the "="
// of a declaration, which tookEqual then reports.
bool TParser::SkipTypeArgs(bool &tookEqual) {
  tookEqual = false;
  int depth = 0;
  do {
    if (FState.Source.AtEnd || Is(FState, K::tkRParen) || Is(FState, Keyword("end"))) return false;
    if (Is(FState, K::tkLess)) {
      ++depth;
    } else if (Is(FState, K::tkGreater)) {
      --depth;
    } else if (Is(FState, K::tkGreaterEqual)) {
      --depth;
      tookEqual = depth == 0;
    }
    Next(FState);
  } while (depth > 0);
  return true;
}

} // namespace codeweft
