// The declaration parser: a recursive-descent recogniser for the declaring
// parts of Object Pascal (unit heading, interface section, uses clause, label,
// const, type, var and resourcestring sections, routine headings, constant
// expressions, type definitions with records and classes), and the link rules
// that decorate identifiers and routine headings in the listings.
//
// Every rule reads the run's current token and returns one of:
//   prNone  (0) the rule does not apply; nothing was read
//   prOk    (1) recognised; the current token is the first one after it
//   prError (2) syntax error; the current token is where the rule gave up
// There is no backtracking: alternatives are tried in a fixed order and the
// first one that returns anything but prNone decides.
//
// The same rules run in every pass. Phase decides what they do besides
// recognising: in phSymbols they record the interface's declarations in the
// symbol table; in phInterface and phImplementation they steer the listing
// (deferral, anchors and links); the recording calls do nothing then.
//
// Every loop of the grammar reads at least one token per turn or stops, and
// stops at the end of input, where tkEnd is current and matches no rule.
// Nesting (parentheses, nested records and types) is bounded: input nested
// deeper than MaxNesting levels is a syntax error instead of a stack overflow.
#pragma once

#include "codeweft/core/RunState.h"

namespace codeweft {

inline constexpr int prNone = 0;
inline constexpr int prOk = 1;
inline constexpr int prError = 2;

inline constexpr int MaxNesting = 200;

// ---- Units and sections ---------------------------------------------------

// UnitHeading = "unit" ident .   The ";" is left for the caller.
// Sets CurrentUnit to the identifier in lower case.
int UnitHeading(TRunState &State);

// InterfaceSection = "interface" [UsesClause] DeclSections .
int InterfaceSection(TRunState &State);

// UsesClause = "uses" UnitList ";" .
// In phInterface and phImplementation the list is read by LinkedUnitList,
// which links the project's units; otherwise by IdentList.
int UsesClause(TRunState &State);

// DeclSections = { LabelSection | ConstSection | TypeSection | VarSection
//                | RoutineDecl | ResourceStringSection | ExportsSection } .
int DeclSections(TRunState &State);

// LabelSection = "label" ident { "," ident } ";" .
int LabelSection(TRunState &State);

// ConstSection = "const" ConstDecl { ConstDecl } .
int ConstSection(TRunState &State);

// ConstDecl = ident ( ":" TypeDef "=" TypedConstValue | "=" ConstExpr ) ";" .
// The token after the value is read past whatever it is.
int ConstDecl(TRunState &State);

// TypedConstValue = ConstExpr
//                 | "(" TypedConstValue { "," TypedConstValue } ")"
//                 | "(" ident ":" TypedConstValue { ";" ident ":" TypedConstValue } ")"
//                 | ident | "nil" .
int TypedConstValue(TRunState &State);

// ResourceStringSection = "resourcestring" ResourceStringDecl { ResourceStringDecl } .
// ResourceStringDecl = ident "=" ConstExpr ";" .   Each name is a constant.
int ResourceStringSection(TRunState &State);

// ExportsSection = "exports" { any token but ";" } ";" .
int ExportsSection(TRunState &State);

// TypeSection = "type" { TypeDecl } .
int TypeSection(TRunState &State);

// TypeDecl = ident "=" TypeDef [";"] .
int TypeDecl(TRunState &State);

// VarSection = "var" VarDecl { VarDecl } .
int VarSection(TRunState &State);

// VarDecl = ident { "," ident } ":" TypeDef [ "=" TypedConstValue ] ";" .
int VarDecl(TRunState &State);

// RoutineDecl = ( ProcedureHeading | FunctionHeading ) ";" [ Convention ";" ] .
int RoutineDecl(TRunState &State);

// ProcedureHeading = "procedure" ident [ "." ident ] [FormalParams] .
int ProcedureHeading(TRunState &State);

// FunctionHeading = "function" ident [ "." ident ] [FormalParams] ":" ( ident | "string" ) .
int FunctionHeading(TRunState &State);

// ConstructorHeading = "constructor" ident [ "." ident ] [FormalParams] .
int ConstructorHeading(TRunState &State);

// DestructorHeading = "destructor" ident [ "." ident ] [FormalParams] .
int DestructorHeading(TRunState &State);

// FormalParams = "(" ParamGroup { ";" ParamGroup } ")" .
int FormalParams(TRunState &State);

// ParamGroup = [ "const" | "var" | "out" ] IdentList [ ":" [ "array" "of" ] TypeDef ] .
int ParamGroup(TRunState &State);

// IdentList = ident { "," ident } .
int IdentList(TRunState &State);

// ---- Constant expressions (recognised, never evaluated) --------------------

// ConstExpr = SimpleExpr [ Relation SimpleExpr ] .
int ConstExpr(TRunState &State);
// SimpleExpr = Term { AddOp Term } .
int SimpleExpr(TRunState &State);
// Term = Factor { MulOp Factor } .
int Term(TRunState &State);
// Factor = "(" ConstExpr ")" | "not" Factor | "+" Factor | "-" Factor | Designator
//        | integer | real | string | "nil" | SetConstructor | "@" ident .
int Factor(TRunState &State);
// Designator = ident [ "^" | "[" ConstExpr { "," ConstExpr } "]" | "." ident ] .
int Designator(TRunState &State);
// SetConstructor = "[" [ SetElement { "," SetElement } ] "]" .
int SetConstructor(TRunState &State);

// ---- Types (ParserTypes.cpp) ------------------------------------------------

// TypeDef = ident | EnumType | SubrangeType | StringType | StructuredType
//         | PointerType | ProcType .
int TypeDef(TRunState &State);
// EnumType = "(" ident { "," ident } ")" .
int EnumType(TRunState &State);
// SubrangeType = ConstExpr ".." ConstExpr .
int SubrangeType(TRunState &State);
// StringType = "string" [ "[" integer "]" ] .
int StringType(TRunState &State);
// StructuredType = [ "packed" ] ( ArrayType | RecordType | ClassType | SetType | FileType ) .
int StructuredType(TRunState &State);
// ArrayType = "array" [ "[" IndexType { "," IndexType } "]" ] "of" TypeDef .
int ArrayType(TRunState &State);
// RecordType = "record" FieldList "end" .
int RecordType(TRunState &State);
// FieldList = [FixedPart] [";"] [VariantPart] .
int FieldList(TRunState &State);
// SetType = "set" "of" ( EnumType | ident | SubrangeType ) .
int SetType(TRunState &State);
// FileType = "file" [ "of" TypeDef ] .
int FileType(TRunState &State);
// PointerType = "^" ident .
int PointerType(TRunState &State);
// ProcType = ( "procedure" [FormalParams]
//            | "function" [FormalParams] ":" ( ident | "string" ) )
//            [ "of" "object" ] [Convention] .
int ProcType(TRunState &State);
// ClassType = "class" [ "(" ident ")" ] ClassMembers { Visibility ClassMembers } "end" .
int ClassType(TRunState &State);
// ClassMembers = { FieldDecl } { MethodDecl | PropertyDecl } .
int ClassMembers(TRunState &State);
// MethodDecl = [ "class" ] ( ProcedureHeading | FunctionHeading
//            | ConstructorHeading | DestructorHeading ) ";" MethodDirectives .
int MethodDecl(TRunState &State);
// MethodDirectives = [ ( "virtual" | "dynamic" | "override" ) ";" ]
//                    [ "message" ConstExpr ";" ] [ Convention ";" ] [ "abstract" ";" ] .
int MethodDirectives(TRunState &State);
// PropertyDecl = "property" AnyToken PropertyInterface PropertySpecifiers [";"] .
int PropertyDecl(TRunState &State);

// ---- Links (Links.cpp) -----------------------------------------------------

// IdentifierChain = ident { "." ident } .
// In the listing phases, with Deferring set, a routine of the project named
// by the chain becomes a link to its implementation, and a unit qualifier a
// link to the unit's page.
int IdentifierChain(TRunState &State);

// LinkedUnitList = ident { "," ident } .
// Listing phases only, with Deferring set: every project unit named becomes a
// link to its page, and their identifiers are added to FlatRefs.
int LinkedUnitList(TRunState &State);

} // namespace codeweft
