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

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "codeweft/core/RunState.h"

namespace codeweft {

inline constexpr int prNone = 0;
inline constexpr int prOk = 1;
inline constexpr int prError = 2;

inline constexpr int MaxNesting = 200;

// Where an interface parse first met what its rules do not know.
struct TParseStop {
  bool Stopped = false;
  TTokenKind Kind = TTokenKind::tkEnd;  // the token current there
  std::string Text;
  int Line = 0;  // from TParser::CurrentLine, 0 without it
};

// The grammar rules, as methods of a parser bound to one run state. The
// parser also holds the state the rules share while they read one file: the
// class whose body is being read, the last type name, and the nesting depth.
// The run state owns one parser for the whole run.
class TParser {
 public:
  explicit TParser(TRunState &state) : FState(state) {}
  TParser(const TParser &) = delete;
  TParser &operator=(const TParser &) = delete;

  // The class whose body is being read; empty outside one.
  const std::string &CurrentClass() const { return FCurrentClass; }
  // Depth of the recursive rules, bounded against deep input.
  int Nesting() const { return FNesting; }
  // Forgets the class body being read and the nesting depth, as at the start
  // of a file or of an interface part; the last type name stays.
  void Restart() {
    FCurrentClass.clear();
    FNesting = 0;
  }

  // In phSymbols an interface parse does not end at the first construct its
  // rules do not know: it notes that place (Stop) and goes on at the next
  // declaration start (Recovery.cpp). The other passes stop there as before.
  const TParseStop &Stop() const { return FStop; }
  // The line of the current token, for Stop; set by the pass that reports it.
  std::function<int()> CurrentLine;

  // ---- Units and sections ---------------------------------------------------

  // UnitHeading = "unit" ident { "." ident } .   The ";" is left for the caller.
  // Sets CurrentUnit to the identifier in lower case.
  int UnitHeading();

  // InterfaceSection = "interface" [UsesClause] DeclSections .
  // In phSymbols, after a syntax error or a token no section takes, the parse
  // is resumed at the next declaration start until "implementation"; the
  // result is then prError when anything was skipped.
  int InterfaceSection();

  // UsesClause = "uses" UnitList ";" .
  // In phInterface and phImplementation the list is read by LinkedUnitList,
  // which links the project's units; otherwise by IdentList.
  int UsesClause();

  // DeclSections = { LabelSection | ConstSection | TypeSection | VarSection
  //                | RoutineDecl | ResourceStringSection | ExportsSection } .
  int DeclSections();

  // LabelSection = "label" ident { "," ident } ";" .
  int LabelSection();

  // ConstSection = "const" ConstDecl { ConstDecl } .
  int ConstSection();

  // ConstDecl = ident ( ":" TypeDef "=" TypedConstValue | "=" ConstExpr ) ";" .
  // The token after the value is read past whatever it is.
  int ConstDecl();

  // TypedConstValue = ConstExpr
  //                 | "(" TypedConstValue { "," TypedConstValue } ")"
  //                 | "(" ident ":" TypedConstValue { ";" ident ":" TypedConstValue } ")"
  //                 | ident | "nil" .
  int TypedConstValue();

  // ResourceStringSection = "resourcestring" ResourceStringDecl { ResourceStringDecl } .
  // ResourceStringDecl = ident "=" ConstExpr ";" .   Each name is a constant.
  int ResourceStringSection();

  // ExportsSection = "exports" { any token but ";" } ";" .
  int ExportsSection();

  // TypeSection = "type" { TypeDecl } .
  int TypeSection();

  // TypeDecl = ident "=" TypeDef [";"] .
  int TypeDecl();

  // VarSection = "var" VarDecl { VarDecl } .
  int VarSection();

  // VarDecl = ident { "," ident } ":" TypeDef [ "=" TypedConstValue ] ";" .
  int VarDecl();

  // RoutineDecl = ( ProcedureHeading | FunctionHeading ) ";" [ Convention ";" ] .
  int RoutineDecl();

  // ProcedureHeading = "procedure" ident [ "." ident ] [FormalParams] .
  int ProcedureHeading();

  // FunctionHeading = "function" ident [ "." ident ] [FormalParams] ":" ( ident | "string" ) .
  int FunctionHeading();

  // ConstructorHeading = "constructor" ident [ "." ident ] [FormalParams] .
  int ConstructorHeading();

  // DestructorHeading = "destructor" ident [ "." ident ] [FormalParams] .
  int DestructorHeading();

  // FormalParams = "(" ParamGroup { ";" ParamGroup } ")" .
  int FormalParams();

  // ParamGroup = [ "const" | "var" | "out" ] IdentList [ ":" [ "array" "of" ] TypeDef ] .
  int ParamGroup();

  // IdentList = ident { "," ident } .
  int IdentList();

  // ---- Constant expressions (recognised, never evaluated) --------------------

  // ConstExpr = SimpleExpr [ Relation SimpleExpr ] .
  int ConstExpr();
  // SimpleExpr = Term { AddOp Term } .
  int SimpleExpr();
  // Term = Factor { MulOp Factor } .
  int Term();
  // Factor = "(" ConstExpr ")" | "not" Factor | "+" Factor | "-" Factor | Designator
  //        | integer | real | string | "nil" | SetConstructor | "@" ident .
  int Factor();
  // Designator = ident [ "^" | "[" ConstExpr { "," ConstExpr } "]" | "." ident ] .
  int Designator();
  // SetConstructor = "[" [ SetElement { "," SetElement } ] "]" .
  int SetConstructor();

  // ---- Types (ParserTypes.cpp) ------------------------------------------------

  // TypeDef = ident | EnumType | SubrangeType | StringType | StructuredType
  //         | PointerType | ProcType .
  int TypeDef();
  // EnumType = "(" ident { "," ident } ")" .
  int EnumType();
  // SubrangeType = ConstExpr ".." ConstExpr .
  int SubrangeType();
  // StringType = "string" [ "[" integer "]" ] .
  int StringType();
  // StructuredType = [ "packed" ] ( ArrayType | RecordType | ClassType | SetType | FileType ) .
  int StructuredType();
  // ArrayType = "array" [ "[" IndexType { "," IndexType } "]" ] "of" TypeDef .
  int ArrayType();
  // RecordType = "record" FieldList "end" .
  int RecordType();
  // FieldList = [FixedPart] [";"] [VariantPart] .
  int FieldList();
  // SetType = "set" "of" ( EnumType | ident | SubrangeType ) .
  int SetType();
  // FileType = "file" [ "of" TypeDef ] .
  int FileType();
  // PointerType = "^" ident .
  int PointerType();
  // ProcType = ( "procedure" [FormalParams]
  //            | "function" [FormalParams] ":" ( ident | "string" ) )
  //            [ "of" "object" ] [Convention] .
  int ProcType();
  // ClassType = "class" [ "(" ident ")" ] ClassMembers { Visibility ClassMembers } "end" .
  int ClassType();
  // ClassMembers = { FieldDecl } { MethodDecl | PropertyDecl } .
  int ClassMembers();
  // MethodDecl = [ "class" ] ( ProcedureHeading | FunctionHeading
  //            | ConstructorHeading | DestructorHeading ) ";" MethodDirectives .
  int MethodDecl();
  // MethodDirectives = [ ( "virtual" | "dynamic" | "override" ) ";" ]
  //                    [ "message" ConstExpr ";" ] [ Convention ";" ] [ "abstract" ";" ] .
  int MethodDirectives();
  // PropertyDecl = "property" AnyToken PropertyInterface PropertySpecifiers [";"] .
  int PropertyDecl();

  // ---- Links (Links.cpp) -----------------------------------------------------

  // IdentifierChain = ident { "." ident } .
  // In the listing phases, with Deferring set, a routine of the project named
  // by the chain becomes a link to its implementation, and a unit qualifier a
  // link to the unit's page.
  int IdentifierChain();

  // LinkedUnitList = ident { "," ident } .
  // Listing phases only, with Deferring set: every project unit named becomes a
  // link to its page, and their identifiers are added to FlatRefs.
  int LinkedUnitList();

 private:
  // Helpers of the rules (Parser.cpp, ParserTypes.cpp, Links.cpp).
  int RoutineName(TTokenKind word, TRefKind kind, bool byFirst);
  int UnitList();
  int OtherDecl();
  int OperatorHeading();
  int TypeName();
  int InterfaceType();
  int RecordTypeBody();
  int Members(bool inRecord);
  int RoutineTail();
  bool IsDirective() const;
  void Hints();
  void ProcTypeConventions();
  bool SkipBalanced();
  int SkipValue();
  bool SkipTypeArgs(bool &tookEqual);
  int RoutineHeading(TTokenKind word, TRefKind kind, bool byFirst);
  int SetElement();
  int OrdinalType();
  int FieldDecl();
  int FixedPart(bool &endedWithSemicolon);
  int Variant();
  int VariantPart();
  int PropertyInterface();
  int PropertySpecifiers();
  int MethodHeading();
  int ReadChain();
  // Error recovery (Recovery.cpp).
  bool Recovering() const;
  void NoteStop(TTokenKind kind, std::string_view text, int line);
  bool Recover(bool inMembers);
  int ResumeSection();
  void PlaceRoutineName(std::size_t pos, const std::string &className, const std::string &name,
                        std::size_t dotPos, std::size_t lastPos);

  // The overload key of the routine heading read last (Overloads.h).
  std::string FRoutineKey;
  TRunState &FState;
  std::string FCurrentClass;  // the class whose body is being read; empty outside one
  std::string FLastTypeName;  // the identifier of the most recent type declaration
  int FNesting = 0;           // depth of the recursive rules
  bool FHasClassEntry = false;  // the body being read has its class entry
  bool FProcType = false;       // the type just read was procedural
  int FFieldTypes = 0;          // depth of field types being read
  TParseStop FStop;             // the first stop of the interface being read
  // The item rule of the last const, type or var section, with which a
  // recovered parse goes on at an identifier; null when none applies.
  int (TParser::*FSectionItem)() = nullptr;
  std::uint64_t FResumedAt = ~std::uint64_t{0};  // TokensRead where recovery last resumed
};

} // namespace codeweft
