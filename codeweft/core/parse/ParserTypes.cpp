// Type definitions: enumerations, subranges, strings, arrays, records with
// variant parts, sets, files, pointers, procedural types and class bodies
// with their fields, methods, method directives and properties.
#include "codeweft/core/parse/Parser.h"

#include "codeweft/core/parse/ParserHelpers.h"

namespace codeweft {

using namespace parse;
using K = TTokenKind;

// IndexType = TypeDef .   (also the base of a set: an enumeration, a
// subrange or a type name)
int TParser::OrdinalType() {
  const int r = TypeDef();
  return r == prNone ? prError : r;
}

namespace {

// Visibility = "public" | "published" | "protected" | "private" | "automated" .
bool AcceptVisibility(TRunState &s) {
  const int kind = Ord(s.Source.Token.Kind);
  if (kind < Ord(Keyword("public")) || kind > Ord(Keyword("automated"))) return false;
  Next(s);
  return true;
}

// The class kinds of Objective-Pascal: recorded like classes.
bool IsObjcClassWord(const TRunState &s) {
  return IsWord(s, "objcclass") || IsWord(s, "objcprotocol") || IsWord(s, "objccategory");
}

bool IsRoutineKeyword(const TRunState &s) {
  return Is(s, Keyword("procedure")) || Is(s, Keyword("function")) ||
         Is(s, Keyword("constructor")) || Is(s, Keyword("destructor"));
}

}  // namespace

// FieldDecl = IdentList ":" TypeDef Hints [";"] .   The ";" may be left out
// before the "end" or ")" that closes the field list.
int TParser::FieldDecl() {
  const int r = IdentList();
  if (r != prOk) return r;
  FProcType = false;
  if (!Accept(FState, K::tkColon)) return prError;
  // A field's own record or object type leaves the kind of the type being
  // declared alone: a class with a record field stays a class.
  ++FFieldTypes;
  const int type = TypeDef();
  --FFieldTypes;
  if (type != prOk) return prError;
  Hints();
  if (Accept(FState, K::tkSemicolon)) {
    ProcTypeConventions();
    return prOk;
  }
  return Is(FState, Keyword("end")) || Is(FState, K::tkRParen) ? prOk : prError;
}

// Variant = ConstExpr { "," ConstExpr } ":" "(" { FieldDecl | VariantPart } ")" [";"] .
int TParser::Variant() {
  TNesting level(FNesting);
  if (level.Deep()) return prError;
  int r = ConstExpr();
  if (r != prOk) return r;
  while (Accept(FState, K::tkComma))
    if (ConstExpr() != prOk) return prError;
  if (!Accept(FState, K::tkColon) || !Accept(FState, K::tkLParen)) return prError;
  while (!Accept(FState, K::tkRParen)) {
    r = FieldDecl();
    if (r == prNone) r = VariantPart();
    if (r != prOk) return prError;
  }
  Accept(FState, K::tkSemicolon);
  return prOk;
}

// VariantPart = "case" [ ident ":" ] TypeName "of" Variant { Variant } .
int TParser::VariantPart() {
  if (!Accept(FState, Keyword("case"))) return prNone;
  if (!IsIdent(FState)) return prError;
  if (TypeName() != prOk) return prError;
  if (Accept(FState, K::tkColon) && TypeName() != prOk) return prError;
  if (!Accept(FState, Keyword("of"))) return prError;
  if (Variant() != prOk) return prError;
  for (;;) {
    const int r = Variant();
    if (r == prNone) return prOk;
    if (r == prError) return prError;
  }
}

// MethodHeading = ( ProcedureHeading | FunctionHeading | ConstructorHeading
//                 | DestructorHeading | OperatorHeading ) .
int TParser::MethodHeading() {
  int r = ProcedureHeading();
  if (r == prNone) r = FunctionHeading();
  if (r == prNone) r = ConstructorHeading();
  if (r == prNone) r = DestructorHeading();
  if (r == prNone) r = OperatorHeading();
  return r;
}

// TypeDef = TypeName [ SubrangeRest ] | "reference" "to" ProcType | EnumType
//         | SubrangeType | StringType | StructuredType | PointerType | ProcType
//         | InterfaceType .
// A type name may start a subrange ("Low(T)..High(T)", "A..B"): what follows
// the name decides.
int TParser::TypeDef() {
  TNesting level(FNesting);
  if (level.Deep()) return prError;
  if (IsIdent(FState)) {
    if (AcceptWord(FState, "reference")) {
      if (!Accept(FState, Keyword("to"))) return prError;
      return ProcType() == prOk ? prOk : prError;
    }
    if (IsWord(FState, "bitpacked") || IsObjcClassWord(FState)) return StructuredType();
    if (TypeName() != prOk) return prError;
    if (Is(FState, K::tkLParen) && !SkipBalanced()) return prError;
    if (Accept(FState, K::tkRange)) return ConstExpr() == prOk ? prOk : prError;
    return prOk;
  }
  for (auto alternative :
       {&TParser::EnumType, &TParser::SubrangeType, &TParser::StringType, &TParser::StructuredType,
        &TParser::PointerType, &TParser::ProcType, &TParser::InterfaceType}) {
    const int r = (this->*alternative)();
    if (r != prNone) return r;
  }
  return prNone;
}

// TypeName = [ "specialize" ] ident { "." ident } [ TypeArgs ] | "string" | "file" .
int TParser::TypeName() {
  if (Is(FState, Keyword("string")) || Is(FState, Keyword("file"))) {
    Next(FState);
    return prOk;
  }
  AcceptWord(FState, "specialize");
  if (!Accept(FState, K::tkIdentifier)) return prNone;
  while (Accept(FState, K::tkPeriod))
    if (!Accept(FState, K::tkIdentifier)) return prError;
  if (Is(FState, K::tkLess)) {
    bool tookEqual = false;
    if (!SkipTypeArgs(tookEqual) || tookEqual) return prError;
    // A type nested in a generic: "TDictionary<K, V>.TKeyEnumerator".
    while (Accept(FState, K::tkPeriod))
      if (!Accept(FState, K::tkIdentifier)) return prError;
  }
  return prOk;
}

// EnumType = "(" ident [ ( "=" | ":=" ) ConstExpr ] { "," ... } ")" .
// Each value is a constant.
int TParser::EnumType() {
  if (!Accept(FState, K::tkLParen)) return prNone;
  do {
    std::string value;
    if (!TakeIdent(FState, value)) return prError;
    FState.Symbols.AddIdent(FState.CurrentUnit, value, TRefKind::rkConstant);
    if ((Accept(FState, K::tkEqual) || Accept(FState, K::tkAssign)) && ConstExpr() != prOk)
      return prError;
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

// StringType = "string" [ "[" ConstExpr "]" ] .
int TParser::StringType() {
  if (!Accept(FState, Keyword("string"))) return prNone;
  if (!Accept(FState, K::tkLBracket)) return prOk;
  if (ConstExpr() != prOk) return prError;
  return Accept(FState, K::tkRBracket) ? prOk : prError;
}

// StructuredType = [ "packed" | "bitpacked" ]
//                  ( ArrayType | RecordType | ClassType | SetType | FileType ) .
int TParser::StructuredType() {
  if (Accept(FState, Keyword("packed")) || AcceptWord(FState, "bitpacked")) {
    const int r = StructuredType();
    return r == prNone ? prError : r;
  }
  int r = ArrayType();
  if (r == prNone) r = RecordType();
  // CurrentClass is set only around a class body: a field typed as a set,
  // file, pointer or procedure inside a class must not clear the enclosing
  // class, or the methods after it would be taken for unit routines.
  if (r == prNone &&
      (Is(FState, Keyword("class")) || Is(FState, Keyword("object")) || IsObjcClassWord(FState))) {
    std::string outer = std::move(FCurrentClass);  // empty outside a class body
    FCurrentClass = FLastTypeName;
    r = ClassType();
    FCurrentClass = std::move(outer);
  }
  if (r == prNone) r = SetType();
  if (r == prNone) r = FileType();
  return r;
}

// ArrayType = "array" [ "[" IndexType { "," IndexType } "]" ] "of" ( "const" | TypeDef ) .
int TParser::ArrayType() {
  if (!Accept(FState, Keyword("array"))) return prNone;
  if (Accept(FState, K::tkLBracket)) {
    do {
      if (OrdinalType() != prOk) return prError;
    } while (Accept(FState, K::tkComma));
    if (!Accept(FState, K::tkRBracket)) return prError;
  }
  if (!Accept(FState, Keyword("of"))) return prError;
  if (Accept(FState, Keyword("const"))) return prOk;
  return TypeDef() == prOk ? prOk : prError;
}

// RecordType = "record" [ "helper" "for" TypeName ] Members "end" .
// Fields, variant parts, visibility sections, methods, operators, properties
// and nested sections, read by the member rule that class bodies use; a
// record with methods gets a class entry for them.
int TParser::RecordType() {
  if (!Is(FState, Keyword("record"))) return prNone;
  if (FFieldTypes == 0) FState.Symbols.SetLastKind(TRefKind::rkRecord);
  Next(FState);
  return RecordTypeBody();
}

// The part of a record type after "record" (or of a type helper after
// "type"): [ "helper" [ "(" TypeName ")" ] "for" TypeName ] Members "end".
int TParser::RecordTypeBody() {
  std::string outer = std::move(FCurrentClass);
  FCurrentClass = FLastTypeName;
  const bool outerEntry = FHasClassEntry;
  FHasClassEntry = false;
  int r = prOk;
  if (AcceptWord(FState, "helper")) {
    FState.Symbols.AddClass(FState.CurrentUnit, FCurrentClass);
    FHasClassEntry = true;
    if (Accept(FState, K::tkLParen) && (TypeName() != prOk || !Accept(FState, K::tkRParen)))
      r = prError;
    else if (!Accept(FState, Keyword("for")) || TypeName() != prOk)
      r = prError;
  }
  if (r == prOk) r = Members(true);
  FCurrentClass = std::move(outer);
  FHasClassEntry = outerEntry;
  if (r != prOk) return prError;
  return Accept(FState, Keyword("end")) ? prOk : prError;
}

// SetType = "set" "of" IndexType .
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

// PointerType = "^" TypeName .
int TParser::PointerType() {
  if (!Accept(FState, K::tkCaret)) return prNone;
  return TypeName() == prOk ? prOk : prError;
}

// ProcType = ( "procedure" [FormalParams]
//            | "function" [FormalParams] ":" TypeDef )
//            [ "of" "object" | "is" "nested" ] [Convention] .
// A convention after the ";" that follows is read by the declaration.
int TParser::ProcType() {
  const bool isFunction = Is(FState, Keyword("function"));
  if (!isFunction && !Is(FState, Keyword("procedure"))) return prNone;
  Next(FState);
  if (FormalParams() == prError) return prError;
  if (isFunction) {
    if (!Accept(FState, K::tkColon)) return prError;
    if (TypeDef() != prOk) return prError;
  }
  if (Accept(FState, Keyword("of")) && !Accept(FState, Keyword("object"))) return prError;
  if (Accept(FState, Keyword("is")) && !AcceptWord(FState, "nested")) return prError;
  if (IsConvention(FState)) Next(FState);
  FProcType = true;
  return prOk;
}

// ClassType = ( "class" | "object" ) ( "of" TypeName | ";" |
//             [ "abstract" | "sealed" ] [ "helper" ] [ "(" TypeName { "," TypeName } ")" ]
//             [ "for" TypeName ] ( ";" | Members "end" ) ) .
// Runs with CurrentClass holding the name of the type being declared. A class
// reference type ("class of") keeps its kind; a forward declaration ends at
// its ";", which is left for the declaration.
int TParser::ClassType() {
  if (!Is(FState, Keyword("class")) && !Is(FState, Keyword("object")) && !IsObjcClassWord(FState))
    return prNone;
  Next(FState);
  if (Accept(FState, Keyword("of"))) return TypeName() == prOk ? prOk : prError;
  if (FFieldTypes == 0) FState.Symbols.SetLastKind(TRefKind::rkClass);
  FState.Symbols.AddClass(FState.CurrentUnit, FCurrentClass);
  while (AcceptWord(FState, "abstract") || AcceptWord(FState, "sealed") ||
         AcceptWord(FState, "helper")) {
  }
  // An Objective-Pascal class declared elsewhere: "external [name 'X']".
  if (AcceptWord(FState, "external") && AcceptWord(FState, "name") && !Accept(FState, K::tkString))
    return prError;
  if (Accept(FState, K::tkLParen)) {
    do {
      if (TypeName() != prOk) return prError;
    } while (Accept(FState, K::tkComma));
    if (!Accept(FState, K::tkRParen)) return prError;
  }
  if (Accept(FState, Keyword("for")) && TypeName() != prOk) return prError;
  if (Is(FState, K::tkSemicolon)) return prOk;
  const bool outerEntry = FHasClassEntry;
  FHasClassEntry = true;
  const int r = Members(false);
  FHasClassEntry = outerEntry;
  if (r != prOk) return prError;
  return Accept(FState, Keyword("end")) ? prOk : prError;
}

// InterfaceType = ( "interface" | "dispinterface" ) ( ";" |
//                 [ "(" TypeName ")" ] [ "[" GUID "]" ] Members "end" ) .
// Recorded like a class, its methods as members.
int TParser::InterfaceType() {
  if (!Is(FState, Keyword("interface")) && !Is(FState, Keyword("dispinterface"))) return prNone;
  Next(FState);
  FState.Symbols.SetLastKind(TRefKind::rkClass);
  if (Is(FState, K::tkSemicolon)) return prOk;
  std::string outer = std::move(FCurrentClass);
  FCurrentClass = FLastTypeName;
  FState.Symbols.AddClass(FState.CurrentUnit, FCurrentClass);
  const bool outerEntry = FHasClassEntry;
  FHasClassEntry = true;
  int r = prOk;
  if (Accept(FState, K::tkLParen)) {
    if (TypeName() != prOk || !Accept(FState, K::tkRParen)) r = prError;
  }
  if (r == prOk) r = Members(false);
  FCurrentClass = std::move(outer);
  FHasClassEntry = outerEntry;
  if (r != prOk) return prError;
  return Accept(FState, Keyword("end")) ? prOk : prError;
}

// Members = { Attributes | Visibility | "strict" Visibility | VariantPart
//           | [ "class" ] ( "var" | "threadvar" ) | "const" ConstDecl { ConstDecl }
//           | "type" TypeDecl { TypeDecl } | [ "class" ] MethodDecl
//           | [ "class" ] PropertyDecl | FieldDecl } .
// The body of a class, record, object or interface, up to its "end", which
// is left current. InRecord allows variant parts.
int TParser::Members(bool inRecord) {
  TNesting level(FNesting);
  if (level.Deep()) return prError;
  for (;;) {
    if (Is(FState, Keyword("end"))) return prOk;
    if (FState.Source.AtEnd) return prError;
    const std::uint64_t before = FState.Source.TokensRead;
    int r = prOk;
    if (Is(FState, K::tkLBracket)) {
      if (!SkipBalanced()) return prError;
      continue;
    }
    // A member the rules do not know is skipped in phSymbols (Recovery.cpp).
    const auto failed = [this] { return Recover(true) ? prOk : prError; };
    if (AcceptVisibility(FState) || AcceptWord(FState, "strict")) continue;
    if (inRecord && Is(FState, Keyword("case"))) {
      if (VariantPart() != prOk && failed() != prOk) return prError;
      continue;
    }
    const bool classWide = Accept(FState, Keyword("class"));
    if (Accept(FState, Keyword("var")) || Accept(FState, Keyword("threadvar"))) continue;
    if (!classWide && Accept(FState, Keyword("const"))) {
      while (!IsWord(FState, "strict") && (r = ConstDecl()) == prOk) {
      }
      if (r == prError && failed() != prOk) return prError;
      continue;
    }
    if (!classWide && Accept(FState, Keyword("type"))) {
      // A nested type is a type of the unit; the methods after it belong to
      // the enclosing body again.
      const std::string outer = FCurrentClass;
      while ((IsIdent(FState) && !IsWord(FState, "strict")) || Is(FState, K::tkLBracket)) {
        r = TypeDecl();
        FCurrentClass = outer;
        if (r != prOk) {
          if (failed() != prOk) return prError;
          break;
        }
      }
      continue;
    }
    if (IsRoutineKeyword(FState) || IsWord(FState, "operator")) {
      if (!FHasClassEntry) {
        FState.Symbols.AddClass(FState.CurrentUnit, FCurrentClass);
        FHasClassEntry = true;
      }
      if (MethodDecl() != prOk && failed() != prOk) return prError;
      continue;
    }
    if (Is(FState, Keyword("property"))) {
      if (PropertyDecl() != prOk && failed() != prOk) return prError;
      continue;
    }
    if ((FieldDecl() != prOk || FState.Source.TokensRead == before) && failed() != prOk)
      return prError;
  }
}

// MethodDecl = MethodHeading [ "=" ident ] RoutineTail .
// "= ident" maps an interface method to one of another name.
int TParser::MethodDecl() {
  const int r = MethodHeading();
  if (r != prOk) return r;
  if (Accept(FState, K::tkEqual) && !Accept(FState, K::tkIdentifier)) return prError;
  return RoutineTail();
}

// MethodDirectives = { ";" | Directive } , at least one ";" (RoutineTail).
int TParser::MethodDirectives() {
  if (!IsIdent(FState) && !Is(FState, K::tkSemicolon)) return prNone;
  return RoutineTail();
}

// PropertyDecl = "property" AnyToken { any token but ";" } ";"
//                { ( "default" | Hints ) ";" } .
// Nothing of a property is recorded: its interface and specifiers (read,
// write, stored, default, index, implements, dispid...) are read up to the
// ";" that ends it, and an array property may then be marked default.
int TParser::PropertyDecl() {
  if (!Accept(FState, Keyword("property"))) return prNone;
  Next(FState);  // the name, whatever token it is
  if (SkipValue() != prOk || !Accept(FState, K::tkSemicolon)) return prError;
  // "default;" marks an array property; hints may follow as well.
  for (;;) {
    const std::uint64_t before = FState.Source.TokensRead;
    AcceptWord(FState, "default");
    Hints();
    if (FState.Source.TokensRead == before) return prOk;
    if (!Accept(FState, K::tkSemicolon)) return prError;
  }
}

} // namespace codeweft
