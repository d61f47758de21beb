// Type definitions: enumerations, subranges, strings, arrays, records with
// variant parts, sets, files, pointers, procedural types and class bodies
// with their fields, methods, method directives and properties.
#include "codeweft/core/parse/Parser.h"

#include "codeweft/core/parse/ParserHelpers.h"

namespace codeweft {

using namespace parse;
using K = TTokenKind;

namespace {

// IndexType = EnumType | ident | SubrangeType .   (also the base of a set)
int OrdinalType(TRunState &S) {
  if (Accept(S, K::tkIdentifier)) return prOk;
  const int R = EnumType(S);
  if (R != prNone) return R;
  return SubrangeType(S);
}

// Visibility = "public" | "published" | "protected" | "private" | "automated" .
bool AcceptVisibility(TRunState &S) {
  const int Kind = Ord(S.Token.Kind);
  if (Kind < Ord(Keyword("public")) || Kind > Ord(Keyword("automated"))) return false;
  Next(S);
  return true;
}

// FieldDecl = IdentList ":" TypeDef ";" .
int FieldDecl(TRunState &S) {
  const int R = IdentList(S);
  if (R != prOk) return R;
  if (!Accept(S, K::tkColon) || TypeDef(S) != prOk) return prError;
  return Accept(S, K::tkSemicolon) ? prOk : prError;
}

// FixedPart = IdentList ":" TypeDef { ";" IdentList ":" TypeDef } .
// EndedWithSemicolon tells whether the last ";" read was not followed by fields.
int FixedPart(TRunState &S, bool &EndedWithSemicolon) {
  EndedWithSemicolon = false;
  int R = IdentList(S);
  if (R != prOk) return R;
  for (;;) {
    if (!Accept(S, K::tkColon) || TypeDef(S) != prOk) return prError;
    if (!Accept(S, K::tkSemicolon)) return prOk;
    R = IdentList(S);
    if (R == prError) return prError;
    if (R == prNone) {
      EndedWithSemicolon = true;
      return prOk;
    }
  }
}

// Variant = ConstExpr { "," ConstExpr } ":" "(" FieldList ")" .
int Variant(TRunState &S) {
  int R = ConstExpr(S);
  if (R != prOk) return R;
  while (Accept(S, K::tkComma))
    if (ConstExpr(S) != prOk) return prError;
  if (!Accept(S, K::tkColon) || !Accept(S, K::tkLParen)) return prError;
  if (FieldList(S) == prError) return prError;
  return Accept(S, K::tkRParen) ? prOk : prError;
}

// VariantPart = "case" [ ident ":" ] ident "of" Variant { ";" Variant } .
// An identifier right after "case" is always the tag's name, so a tag
// written as a type alone is an error.
int VariantPart(TRunState &S) {
  if (!Accept(S, Keyword("case"))) return prNone;
  if (!Accept(S, K::tkIdentifier) || !Accept(S, K::tkColon)) return prError;
  if (!Accept(S, K::tkIdentifier) || !Accept(S, Keyword("of"))) return prError;
  if (Variant(S) != prOk) return prError;
  while (Accept(S, K::tkSemicolon)) {
    const int R = Variant(S);
    if (R == prNone) break; // the ";" after the last variant
    if (R == prError) return prError;
  }
  return prOk;
}

// PropertyInterface = [ "[" ParamGroup { ";" ParamGroup } "]" ] ":" ident
//                     [ "index" ConstExpr ] .
int PropertyInterface(TRunState &S) {
  if (Accept(S, K::tkLBracket)) {
    do {
      if (ParamGroup(S) != prOk) return prError;
    } while (Accept(S, K::tkSemicolon));
    if (!Accept(S, K::tkRBracket)) return prError;
  }
  // A property redeclared by name alone has no ":" and fails here.
  if (!Accept(S, K::tkColon) || !Accept(S, K::tkIdentifier)) return prError;
  if (AcceptWord(S, "index") && ConstExpr(S) != prOk) return prError;
  return prOk;
}

// PropertySpecifiers = [ "read" AnyToken ] [ "write" AnyToken ] [ AnyToken ]
//                      [ "stored" ConstExpr ] [ "default" [ConstExpr] | ident ] .
// A fixed sequence: the token after read and write specifiers is taken for
// the ";" (so a "default" there is read as the ";" and its value is left).
int PropertySpecifiers(TRunState &S) {
  bool Took = false;
  for (std::string_view Word : {"read", "write"})
    if (AcceptWord(S, Word)) {
      Next(S);
      Took = true;
    }
  if (Took) Next(S);
  if (IsWord(S, "stored")) {
    if (ConstExpr(S) == prError) return prError;
    Took = true;
  }
  if (IsIdent(S)) {
    Took = true;
    if (AcceptWord(S, "default")) {
      if (!Is(S, K::tkSemicolon) && ConstExpr(S) != prOk) return prError;
    } else {
      Next(S);
    }
  }
  return Took ? prOk : prNone;
}

// MethodHeading = [ "class" ] ( ProcedureHeading | FunctionHeading
//                 | ConstructorHeading | DestructorHeading ) .
int MethodHeading(TRunState &S) {
  if (Accept(S, Keyword("class"))) {
    int R = ProcedureHeading(S);
    if (R == prNone) R = FunctionHeading(S);
    return R == prOk ? prOk : prError;
  }
  int R = ProcedureHeading(S);
  if (R == prNone) R = FunctionHeading(S);
  if (R == prNone) R = ConstructorHeading(S);
  if (R == prNone) R = DestructorHeading(S);
  return R;
}

} // namespace

// TypeDef = ident | EnumType | SubrangeType | StringType | StructuredType
//         | PointerType | ProcType .
// An identifier is always a type name, so a subrange that starts with one is
// read as the identifier alone.
int TypeDef(TRunState &S) {
  TNesting Level(S);
  if (Level.Deep()) return prError;
  if (Accept(S, K::tkIdentifier)) return prOk;
  for (auto Alternative : {EnumType, SubrangeType, StringType, StructuredType, PointerType,
                           ProcType}) {
    const int R = Alternative(S);
    if (R != prNone) return R;
  }
  return prNone;
}

// EnumType = "(" ident { "," ident } ")" .   Each value is a constant.
int EnumType(TRunState &S) {
  if (!Accept(S, K::tkLParen)) return prNone;
  do {
    std::string Value;
    if (!TakeIdent(S, Value)) return prError;
    S.Symbols.AddIdent(S.CurrentUnit, Value, TRefKind::rkConstant);
  } while (Accept(S, K::tkComma));
  return Accept(S, K::tkRParen) ? prOk : prError;
}

// SubrangeType = ConstExpr ".." ConstExpr .
// A first expression that does not give prOk makes the rule not apply, even
// after it read tokens; the next alternative starts where it stopped.
int SubrangeType(TRunState &S) {
  if (ConstExpr(S) != prOk) return prNone;
  if (!Accept(S, K::tkRange)) return prError;
  return ConstExpr(S) == prOk ? prOk : prError;
}

// StringType = "string" [ "[" integer "]" ] .
int StringType(TRunState &S) {
  if (!Accept(S, Keyword("string"))) return prNone;
  if (!Accept(S, K::tkLBracket)) return prOk;
  if (!Accept(S, K::tkInteger)) return prError;
  return Accept(S, K::tkRBracket) ? prOk : prError;
}

// StructuredType = [ "packed" ] ( ArrayType | RecordType | ClassType | SetType | FileType ) .
// Only an array may be packed.
int StructuredType(TRunState &S) {
  if (Accept(S, Keyword("packed"))) {
    const int R = ArrayType(S);
    return R == prNone ? prError : R;
  }
  int R = ArrayType(S);
  if (R == prNone) R = RecordType(S);
  // CurrentClass is set only around a class body: a field typed as a set,
  // file, pointer or procedure inside a class must not clear the enclosing
  // class, or the methods after it would be taken for unit routines.
  if (R == prNone && Is(S, Keyword("class"))) {
    std::string Outer = std::move(S.CurrentClass); // empty outside a class body
    S.CurrentClass = S.LastTypeName;
    R = ClassType(S);
    S.CurrentClass = std::move(Outer);
  }
  if (R == prNone) R = SetType(S);
  if (R == prNone) R = FileType(S);
  return R;
}

// ArrayType = "array" [ "[" IndexType { "," IndexType } "]" ] "of" TypeDef .
int ArrayType(TRunState &S) {
  if (!Accept(S, Keyword("array"))) return prNone;
  if (Accept(S, K::tkLBracket)) {
    do {
      if (OrdinalType(S) != prOk) return prError;
    } while (Accept(S, K::tkComma));
    if (!Accept(S, K::tkRBracket)) return prError;
  }
  if (!Accept(S, Keyword("of"))) return prError;
  return TypeDef(S) == prOk ? prOk : prError;
}

// RecordType = "record" FieldList "end" .
int RecordType(TRunState &S) {
  if (!Is(S, Keyword("record"))) return prNone;
  S.Symbols.SetLastKind(TRefKind::rkRecord);
  Next(S);
  if (FieldList(S) == prError) return prError;
  return Accept(S, Keyword("end")) ? prOk : prError;
}

// FieldList = [FixedPart] [";"] [VariantPart] .
// prError when a part fails or neither is there (an empty record); prOk after
// a variant part or a fixed part; prNone when the fixed part ended with ";"
// and no variant part followed.
int FieldList(TRunState &S) {
  TNesting Level(S);
  if (Level.Deep()) return prError;
  bool EndedWithSemicolon = false;
  const int Fixed = FixedPart(S, EndedWithSemicolon);
  if (Fixed == prError) return prError;
  if (Accept(S, K::tkSemicolon)) EndedWithSemicolon = true;
  const int Variants = VariantPart(S);
  if (Variants == prError) return prError;
  if (Variants == prOk) {
    Accept(S, K::tkSemicolon);
    return prOk;
  }
  if (Fixed == prNone) return prError;
  return EndedWithSemicolon ? prNone : prOk;
}

// SetType = "set" "of" ( EnumType | ident | SubrangeType ) .
int SetType(TRunState &S) {
  if (!Accept(S, Keyword("set"))) return prNone;
  if (!Accept(S, Keyword("of"))) return prError;
  return OrdinalType(S) == prOk ? prOk : prError;
}

// FileType = "file" [ "of" TypeDef ] .
int FileType(TRunState &S) {
  if (!Accept(S, Keyword("file"))) return prNone;
  if (Accept(S, Keyword("of")) && TypeDef(S) != prOk) return prError;
  return prOk;
}

// PointerType = "^" ident .
int PointerType(TRunState &S) {
  if (!Accept(S, K::tkCaret)) return prNone;
  return Accept(S, K::tkIdentifier) ? prOk : prError;
}

// ProcType = ( "procedure" [FormalParams]
//            | "function" [FormalParams] ":" ( ident | "string" ) )
//            [ "of" "object" ] [Convention] .
int ProcType(TRunState &S) {
  const bool IsFunction = Is(S, Keyword("function"));
  if (!IsFunction && !Is(S, Keyword("procedure"))) return prNone;
  Next(S);
  if (FormalParams(S) == prError) return prError;
  if (IsFunction) {
    if (!Accept(S, K::tkColon)) return prError;
    if (!Accept(S, K::tkIdentifier) && !Accept(S, Keyword("string"))) return prError;
  }
  if (Accept(S, Keyword("of")) && !Accept(S, Keyword("object"))) return prError;
  if (IsConvention(S)) Next(S);
  return prOk;
}

// ClassType = "class" [ "(" ident ")" ] ClassMembers { Visibility ClassMembers } "end" .
// Runs with CurrentClass holding the name of the type being declared. The
// token that ends the body is read past as its "end" whatever it is, so a
// forward declaration "class;" ends at its ";".
int ClassType(TRunState &S) {
  if (!Is(S, Keyword("class"))) return prNone;
  S.Symbols.SetLastKind(TRefKind::rkClass);
  Next(S);
  S.Symbols.AddClass(S.CurrentUnit, S.CurrentClass);
  if (Accept(S, K::tkLParen)) {
    if (!Accept(S, K::tkIdentifier) || !Accept(S, K::tkRParen)) return prError;
  }
  if (ClassMembers(S) == prError) return prError;
  while (!Is(S, Keyword("end"))) {
    const bool Section = AcceptVisibility(S);
    if (ClassMembers(S) == prError) return prError;
    if (!Section) break;
  }
  Next(S);
  return prOk;
}

// ClassMembers = { FieldDecl } { MethodDecl | PropertyDecl } .
// A field after a method or property ends the list.
int ClassMembers(TRunState &S) {
  int R;
  while ((R = FieldDecl(S)) == prOk) {
  }
  if (R == prError) return prError;
  for (;;) {
    R = MethodDecl(S);
    if (R == prNone) R = PropertyDecl(S);
    if (R == prNone) return prOk;
    if (R == prError) return prError;
  }
}

// MethodDecl = MethodHeading ";" MethodDirectives .
int MethodDecl(TRunState &S) {
  const int R = MethodHeading(S);
  if (R != prOk) return R;
  if (!Accept(S, K::tkSemicolon)) return prError;
  return MethodDirectives(S) == prError ? prError : prOk;
}

// MethodDirectives = [ ( "virtual" | "dynamic" | "override" ) ";" ]
//                    [ "message" ConstExpr ";" ] [ Convention ";" ] [ "abstract" ";" ] .
// Each step looks at the token current at that moment; a directive out of
// this order, or any other, is left current and ends the member list.
int MethodDirectives(TRunState &S) {
  if (!IsIdent(S)) return prNone;
  if (AcceptWord(S, "virtual") || AcceptWord(S, "dynamic") || AcceptWord(S, "override")) {
    if (!Accept(S, K::tkSemicolon)) return prError;
  }
  if (AcceptWord(S, "message")) {
    if (ConstExpr(S) != prOk || !Accept(S, K::tkSemicolon)) return prError;
  }
  if (IsConvention(S)) {
    Next(S);
    if (!Accept(S, K::tkSemicolon)) return prError;
  }
  if (AcceptWord(S, "abstract")) {
    if (!Accept(S, K::tkSemicolon)) return prError;
  }
  return prOk;
}

// PropertyDecl = "property" AnyToken PropertyInterface PropertySpecifiers [";"] .
int PropertyDecl(TRunState &S) {
  if (!Accept(S, Keyword("property"))) return prNone;
  Next(S); // the name, whatever token it is
  if (PropertyInterface(S) != prOk) return prError;
  if (PropertySpecifiers(S) != prOk) return prError;
  Accept(S, K::tkSemicolon);
  return prOk;
}

} // namespace codeweft
