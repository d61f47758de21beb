// Type definitions: enumerations, subranges, strings, arrays, records with
// variant parts, sets, files, pointers, procedural types and class bodies
// with their fields, methods, method directives and properties.
#include "codeweft/core/parse/Parser.h"

#include "codeweft/core/parse/ParserHelpers.h"

namespace codeweft {

using namespace parse;
using K = TTokenKind;

// IndexType = EnumType | ident | SubrangeType .   (also the base of a set)
int TParser::OrdinalType() {
  if (Accept(FState, K::tkIdentifier)) return prOk;
  const int R = EnumType();
  if (R != prNone) return R;
  return SubrangeType();
}

namespace {

// Visibility = "public" | "published" | "protected" | "private" | "automated" .
bool AcceptVisibility(TRunState &S) {
  const int Kind = Ord(S.Token.Kind);
  if (Kind < Ord(Keyword("public")) || Kind > Ord(Keyword("automated"))) return false;
  Next(S);
  return true;
}

}  // namespace

// FieldDecl = IdentList ":" TypeDef ";" .
int TParser::FieldDecl() {
  const int R = IdentList();
  if (R != prOk) return R;
  if (!Accept(FState, K::tkColon) || TypeDef() != prOk) return prError;
  return Accept(FState, K::tkSemicolon) ? prOk : prError;
}

// FixedPart = IdentList ":" TypeDef { ";" IdentList ":" TypeDef } .
// EndedWithSemicolon tells whether the last ";" read was not followed by fields.
int TParser::FixedPart(bool &EndedWithSemicolon) {
  EndedWithSemicolon = false;
  int R = IdentList();
  if (R != prOk) return R;
  for (;;) {
    if (!Accept(FState, K::tkColon) || TypeDef() != prOk) return prError;
    if (!Accept(FState, K::tkSemicolon)) return prOk;
    R = IdentList();
    if (R == prError) return prError;
    if (R == prNone) {
      EndedWithSemicolon = true;
      return prOk;
    }
  }
}

// Variant = ConstExpr { "," ConstExpr } ":" "(" FieldList ")" .
int TParser::Variant() {
  int R = ConstExpr();
  if (R != prOk) return R;
  while (Accept(FState, K::tkComma))
    if (ConstExpr() != prOk) return prError;
  if (!Accept(FState, K::tkColon) || !Accept(FState, K::tkLParen)) return prError;
  if (FieldList() == prError) return prError;
  return Accept(FState, K::tkRParen) ? prOk : prError;
}

// VariantPart = "case" [ ident ":" ] ident "of" Variant { ";" Variant } .
// An identifier right after "case" is always the tag's name, so a tag
// written as a type alone is an error.
int TParser::VariantPart() {
  if (!Accept(FState, Keyword("case"))) return prNone;
  if (!Accept(FState, K::tkIdentifier) || !Accept(FState, K::tkColon)) return prError;
  if (!Accept(FState, K::tkIdentifier) || !Accept(FState, Keyword("of"))) return prError;
  if (Variant() != prOk) return prError;
  while (Accept(FState, K::tkSemicolon)) {
    const int R = Variant();
    if (R == prNone) break; // the ";" after the last variant
    if (R == prError) return prError;
  }
  return prOk;
}

// PropertyInterface = [ "[" ParamGroup { ";" ParamGroup } "]" ] ":" ident
//                     [ "index" ConstExpr ] .
int TParser::PropertyInterface() {
  if (Accept(FState, K::tkLBracket)) {
    do {
      if (ParamGroup() != prOk) return prError;
    } while (Accept(FState, K::tkSemicolon));
    if (!Accept(FState, K::tkRBracket)) return prError;
  }
  // A property redeclared by name alone has no ":" and fails here.
  if (!Accept(FState, K::tkColon) || !Accept(FState, K::tkIdentifier)) return prError;
  if (AcceptWord(FState, "index") && ConstExpr() != prOk) return prError;
  return prOk;
}

// PropertySpecifiers = [ "read" AnyToken ] [ "write" AnyToken ] [ AnyToken ]
//                      [ "stored" ConstExpr ] [ "default" [ConstExpr] | ident ] .
// A fixed sequence: the token after read and write specifiers is taken for
// the ";" (so a "default" there is read as the ";" and its value is left).
int TParser::PropertySpecifiers() {
  bool Took = false;
  for (std::string_view Word : {"read", "write"})
    if (AcceptWord(FState, Word)) {
      Next(FState);
      Took = true;
    }
  if (Took) Next(FState);
  if (IsWord(FState, "stored")) {
    if (ConstExpr() == prError) return prError;
    Took = true;
  }
  if (IsIdent(FState)) {
    Took = true;
    if (AcceptWord(FState, "default")) {
      if (!Is(FState, K::tkSemicolon) && ConstExpr() != prOk) return prError;
    } else {
      Next(FState);
    }
  }
  return Took ? prOk : prNone;
}

// MethodHeading = [ "class" ] ( ProcedureHeading | FunctionHeading
//                 | ConstructorHeading | DestructorHeading ) .
int TParser::MethodHeading() {
  if (Accept(FState, Keyword("class"))) {
    int R = ProcedureHeading();
    if (R == prNone) R = FunctionHeading();
    return R == prOk ? prOk : prError;
  }
  int R = ProcedureHeading();
  if (R == prNone) R = FunctionHeading();
  if (R == prNone) R = ConstructorHeading();
  if (R == prNone) R = DestructorHeading();
  return R;
}

// TypeDef = ident | EnumType | SubrangeType | StringType | StructuredType
//         | PointerType | ProcType .
// An identifier is always a type name, so a subrange that starts with one is
// read as the identifier alone.
int TParser::TypeDef() {
  TNesting Level(FNesting);
  if (Level.Deep()) return prError;
  if (Accept(FState, K::tkIdentifier)) return prOk;
  for (auto Alternative : {&TParser::EnumType, &TParser::SubrangeType, &TParser::StringType,
                           &TParser::StructuredType, &TParser::PointerType, &TParser::ProcType}) {
    const int R = (this->*Alternative)();
    if (R != prNone) return R;
  }
  return prNone;
}

// EnumType = "(" ident { "," ident } ")" .   Each value is a constant.
int TParser::EnumType() {
  if (!Accept(FState, K::tkLParen)) return prNone;
  do {
    std::string Value;
    if (!TakeIdent(FState, Value)) return prError;
    FState.Symbols.AddIdent(FState.CurrentUnit, Value, TRefKind::rkConstant);
  } while (Accept(FState, K::tkComma));
  return Accept(FState, K::tkRParen) ? prOk : prError;
}

// SubrangeType = ConstExpr ".." ConstExpr .
// A first expression that does not give prOk makes the rule not apply, even
// after it read tokens; the next alternative starts where it stopped.
int TParser::SubrangeType() {
  if (ConstExpr() != prOk) return prNone;
  if (!Accept(FState, K::tkRange)) return prError;
  return ConstExpr() == prOk ? prOk : prError;
}

// StringType = "string" [ "[" integer "]" ] .
int TParser::StringType() {
  if (!Accept(FState, Keyword("string"))) return prNone;
  if (!Accept(FState, K::tkLBracket)) return prOk;
  if (!Accept(FState, K::tkInteger)) return prError;
  return Accept(FState, K::tkRBracket) ? prOk : prError;
}

// StructuredType = [ "packed" ] ( ArrayType | RecordType | ClassType | SetType | FileType ) .
// Only an array may be packed.
int TParser::StructuredType() {
  if (Accept(FState, Keyword("packed"))) {
    const int R = ArrayType();
    return R == prNone ? prError : R;
  }
  int R = ArrayType();
  if (R == prNone) R = RecordType();
  // CurrentClass is set only around a class body: a field typed as a set,
  // file, pointer or procedure inside a class must not clear the enclosing
  // class, or the methods after it would be taken for unit routines.
  if (R == prNone && Is(FState, Keyword("class"))) {
    std::string Outer = std::move(FCurrentClass);  // empty outside a class body
    FCurrentClass = FLastTypeName;
    R = ClassType();
    FCurrentClass = std::move(Outer);
  }
  if (R == prNone) R = SetType();
  if (R == prNone) R = FileType();
  return R;
}

// ArrayType = "array" [ "[" IndexType { "," IndexType } "]" ] "of" TypeDef .
int TParser::ArrayType() {
  if (!Accept(FState, Keyword("array"))) return prNone;
  if (Accept(FState, K::tkLBracket)) {
    do {
      if (OrdinalType() != prOk) return prError;
    } while (Accept(FState, K::tkComma));
    if (!Accept(FState, K::tkRBracket)) return prError;
  }
  if (!Accept(FState, Keyword("of"))) return prError;
  return TypeDef() == prOk ? prOk : prError;
}

// RecordType = "record" FieldList "end" .
int TParser::RecordType() {
  if (!Is(FState, Keyword("record"))) return prNone;
  FState.Symbols.SetLastKind(TRefKind::rkRecord);
  Next(FState);
  if (FieldList() == prError) return prError;
  return Accept(FState, Keyword("end")) ? prOk : prError;
}

// FieldList = [FixedPart] [";"] [VariantPart] .
// prError when a part fails or neither is there (an empty record); prOk after
// a variant part or a fixed part; prNone when the fixed part ended with ";"
// and no variant part followed.
int TParser::FieldList() {
  TNesting Level(FNesting);
  if (Level.Deep()) return prError;
  bool EndedWithSemicolon = false;
  const int Fixed = FixedPart(EndedWithSemicolon);
  if (Fixed == prError) return prError;
  if (Accept(FState, K::tkSemicolon)) EndedWithSemicolon = true;
  const int Variants = VariantPart();
  if (Variants == prError) return prError;
  if (Variants == prOk) {
    Accept(FState, K::tkSemicolon);
    return prOk;
  }
  if (Fixed == prNone) return prError;
  return EndedWithSemicolon ? prNone : prOk;
}

// SetType = "set" "of" ( EnumType | ident | SubrangeType ) .
int TParser::SetType() {
  if (!Accept(FState, Keyword("set"))) return prNone;
  if (!Accept(FState, Keyword("of"))) return prError;
  return OrdinalType() == prOk ? prOk : prError;
}

// FileType = "file" [ "of" TypeDef ] .
int TParser::FileType() {
  if (!Accept(FState, Keyword("file"))) return prNone;
  if (Accept(FState, Keyword("of")) && TypeDef() != prOk) return prError;
  return prOk;
}

// PointerType = "^" ident .
int TParser::PointerType() {
  if (!Accept(FState, K::tkCaret)) return prNone;
  return Accept(FState, K::tkIdentifier) ? prOk : prError;
}

// ProcType = ( "procedure" [FormalParams]
//            | "function" [FormalParams] ":" ( ident | "string" ) )
//            [ "of" "object" ] [Convention] .
int TParser::ProcType() {
  const bool IsFunction = Is(FState, Keyword("function"));
  if (!IsFunction && !Is(FState, Keyword("procedure"))) return prNone;
  Next(FState);
  if (FormalParams() == prError) return prError;
  if (IsFunction) {
    if (!Accept(FState, K::tkColon)) return prError;
    if (!Accept(FState, K::tkIdentifier) && !Accept(FState, Keyword("string"))) return prError;
  }
  if (Accept(FState, Keyword("of")) && !Accept(FState, Keyword("object"))) return prError;
  if (IsConvention(FState)) Next(FState);
  return prOk;
}

// ClassType = "class" [ "(" ident ")" ] ClassMembers { Visibility ClassMembers } "end" .
// Runs with CurrentClass holding the name of the type being declared. The
// token that ends the body is read past as its "end" whatever it is, so a
// forward declaration "class;" ends at its ";".
int TParser::ClassType() {
  if (!Is(FState, Keyword("class"))) return prNone;
  FState.Symbols.SetLastKind(TRefKind::rkClass);
  Next(FState);
  FState.Symbols.AddClass(FState.CurrentUnit, FCurrentClass);
  if (Accept(FState, K::tkLParen)) {
    if (!Accept(FState, K::tkIdentifier) || !Accept(FState, K::tkRParen)) return prError;
  }
  if (ClassMembers() == prError) return prError;
  while (!Is(FState, Keyword("end"))) {
    const bool Section = AcceptVisibility(FState);
    if (ClassMembers() == prError) return prError;
    if (!Section) break;
  }
  Next(FState);
  return prOk;
}

// ClassMembers = { FieldDecl } { MethodDecl | PropertyDecl } .
// A field after a method or property ends the list.
int TParser::ClassMembers() {
  int R;
  while ((R = FieldDecl()) == prOk) {
  }
  if (R == prError) return prError;
  for (;;) {
    R = MethodDecl();
    if (R == prNone) R = PropertyDecl();
    if (R == prNone) return prOk;
    if (R == prError) return prError;
  }
}

// MethodDecl = MethodHeading ";" MethodDirectives .
int TParser::MethodDecl() {
  const int R = MethodHeading();
  if (R != prOk) return R;
  if (!Accept(FState, K::tkSemicolon)) return prError;
  return MethodDirectives() == prError ? prError : prOk;
}

// MethodDirectives = [ ( "virtual" | "dynamic" | "override" ) ";" ]
//                    [ "message" ConstExpr ";" ] [ Convention ";" ] [ "abstract" ";" ] .
// Each step looks at the token current at that moment; a directive out of
// this order, or any other, is left current and ends the member list.
int TParser::MethodDirectives() {
  if (!IsIdent(FState)) return prNone;
  if (AcceptWord(FState, "virtual") || AcceptWord(FState, "dynamic") ||
      AcceptWord(FState, "override")) {
    if (!Accept(FState, K::tkSemicolon)) return prError;
  }
  if (AcceptWord(FState, "message")) {
    if (ConstExpr() != prOk || !Accept(FState, K::tkSemicolon)) return prError;
  }
  if (IsConvention(FState)) {
    Next(FState);
    if (!Accept(FState, K::tkSemicolon)) return prError;
  }
  if (AcceptWord(FState, "abstract")) {
    if (!Accept(FState, K::tkSemicolon)) return prError;
  }
  return prOk;
}

// PropertyDecl = "property" AnyToken PropertyInterface PropertySpecifiers [";"] .
int TParser::PropertyDecl() {
  if (!Accept(FState, Keyword("property"))) return prNone;
  Next(FState);  // the name, whatever token it is
  if (PropertyInterface() != prOk) return prError;
  if (PropertySpecifiers() != prOk) return prError;
  Accept(FState, K::tkSemicolon);
  return prOk;
}

} // namespace codeweft
