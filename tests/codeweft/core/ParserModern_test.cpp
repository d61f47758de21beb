// Declarations beyond the classic rules: what today's compilers accept in an
// interface part is read to its end, and each declaration is recorded with
// its kind. Each case is a snippet, what it records, and the members of one
// class or record.
#include "ParserFixture.h"

namespace codeweft {
namespace {

using test::ParserTest;

struct TModernCase {
  const char *Construct;
  const char *Body;
  const char *Idents;
  const char *Class = nullptr;  // whose members to check, if any
  const char *Members = nullptr;
};

void ExpectRecorded(ParserTest &T, const TModernCase &C) {
  // A declaration after the snippet proves the parse went past it.
  const auto O = T.Pass(std::string(C.Body) + "\r\nvar After: Integer;");
  EXPECT_FALSE(O.Stopped()) << C.Construct << ": stopped at " << O.StopText;
  const std::string Before = *C.Idents ? std::string(C.Idents) + " " : "";
  EXPECT_EQ(T.Idents(), Before + "After:Variable") << C.Construct;
  if (C.Class) {
    EXPECT_EQ(T.Members(C.Class), C.Members) << C.Construct;
  }
}

TEST_F(ParserTest, RoutineHeadingsWithDefaultsAndDirectives) {
  const TModernCase Cases[] = {
      {"default values", "procedure P(A: Integer = 1; const S: string = 'x'; P: Pointer = nil);",
       "P:Procedure"},
      {"empty parentheses", "function F(): Boolean;", "F:Function"},
      {"overloads, both recorded",
       "procedure P(A: Integer); overload;\r\nprocedure P(A, B: Integer); overload; inline;",
       "P:Procedure P:Procedure"},
      {"hints with strings",
       "procedure P; deprecated 'use Q'; platform;\r\nprocedure Q; experimental; library;",
       "P:Procedure Q:Procedure"},
      {"external with name and index",
       "function F(A: PChar): Integer; cdecl; external 'libc' name 'f';\r\n"
       "procedure G; stdcall; external Lib index 3; procedure H; varargs; external Lib delayed;",
       "F:Function G:Procedure H:Procedure"},
      {"assembler, forward, register and the rest",
       "procedure A; assembler; register; procedure B; forward; procedure C; safecall;"
       "procedure D; pascal; noreturn;",
       "A:Procedure B:Procedure C:Procedure D:Procedure"},
      {"bracketed directives", "procedure P; [public, alias: 'FPC_P']; procedure Q;",
       "P:Procedure Q:Procedure"},
      {"open arrays, array of const, constref, untyped and attributed parameters",
       "procedure P(const A: array of Integer; Args: array of const; constref R: TRec; var U;"
       " [ref] const V: TRec);",
       "P:Procedure"},
      {"calls and qualified names in result types and defaults",
       "function F(A: Integer = Ord('A') + SizeOf(Pointer)): System.Types.TPoint;", "F:Function"},
      {"generic routines", "generic function Max<T>(A, B: T): T;\r\nfunction Min<T>(A, B: T): T;",
       "Max:Function Min:Function"},
      {"operators of a unit",
       "operator + (const A, B: TVec) R: TVec;\r\noperator := (A: Integer) R: TVec;", ""},
      {"MacPas univ parameters and variable arguments",
       "procedure P(x: univ Ptr; var y: univ LongInt);\r\n"
       "function F(var d: AEDesc; src: CStringPtr; ...): OSStatus; external name '_F';",
       "P:Procedure F:Function"},
  };
  for (const TModernCase &C : Cases) ExpectRecorded(*this, C);
}

TEST_F(ParserTest, ClassesHelpersAndInterfaces) {
  const TModernCase Cases[] = {
      {"strict visibility, class var, class property, nested types",
       "type TFoo = class(TInterfacedObject, IFoo)\r\n"
       "  strict private class var FCount: Integer;\r\n"
       "  strict protected type TInner = record X: Integer; end;\r\n"
       "  const Limit = 10;\r\n"
       "  public\r\n"
       "    class constructor Create; class destructor Destroy;\r\n"
       "    class function Make: TFoo; static;\r\n"
       "    procedure Run; virtual; abstract; procedure Stop; reintroduce; overload;\r\n"
       "    class property Count: Integer read FCount;\r\n"
       "    property Items[I: Integer]: Integer read Get write Put; default;\r\n"
       "  end;",
       "TFoo:Class/Object TInner:Record Limit:Constant", "TFoo",
       "Create:Constructor Destroy:Destructor Make:Function Run:Procedure Stop:Procedure"},
      {"sealed and abstract classes", "type TA = class abstract end; TB = class sealed(TA) end;",
       "TA:Class/Object TB:Class/Object"},
      {"class helpers", "type THelper = class helper for TObject function Name: string; end;",
       "THelper:Class/Object", "THelper", "Name:Function"},
      {"record helpers and type helpers",
       "type TIntHelper = record helper for Integer function Text: string; end;\r\n"
       "TStrHelper = type helper for string function Len: Integer; end;",
       "TIntHelper:Record TStrHelper:Record", "TStrHelper", "Len:Function"},
      {"interfaces with GUIDs and forward interfaces",
       "type IBar = interface;\r\n"
       "IFoo = interface(IInterface) ['{00000000-0000-0000-0000-000000000001}']\r\n"
       "  function GetBar: IBar; stdcall; property Bar: IBar read GetBar; end;\r\n"
       "IDisp = dispinterface ['{00000000-0000-0000-0000-000000000002}']\r\n"
       "  procedure Go; dispid 201; end;",
       "IBar:Class/Object IFoo:Class/Object IDisp:Class/Object", "IFoo", "GetBar:Function"},
      {"method resolution clauses",
       "type TFoo = class(TObject, IFoo) procedure IFoo.Run = DoRun; procedure DoRun; end;",
       "TFoo:Class/Object", "TFoo", "Run:Procedure DoRun:Procedure"},
      {"message handlers", "type TFoo = class procedure WMPaint(var M); message WM_PAINT; end;",
       "TFoo:Class/Object", "TFoo", "WMPaint:Procedure"},
      {"old-style objects", "type TOld = object(TBase) X: Integer; procedure Run; virtual; end;",
       "TOld:Class/Object", "TOld", "Run:Procedure"},
      {"Objective-Pascal classes, forward, external and named",
       "type NSView = objcclass external;\r\n"
       "NSButton = objcclass external name 'NSButton' (NSView, NSCoding)\r\n"
       "  function initWithFrame(r: NSRect): id; message 'initWithFrame:';\r\n"
       "end;\r\n"
       "NSViewCat = objccategory external (NSView) procedure display; message 'display'; end;",
       "NSView:Class/Object NSButton:Class/Object NSViewCat:Class/Object", "NSButton",
       "initWithFrame:Function"},
      {"attributes on types and members",
       "type [Serializable] [Table('t')] TFoo = class [Column] FName: string;"
       " [Test] procedure Run; end;",
       "TFoo:Class/Object", "TFoo", "Run:Procedure"},
  };
  for (const TModernCase &C : Cases) ExpectRecorded(*this, C);
}

TEST_F(ParserTest, GenericsRecordsAndOtherTypes) {
  const TModernCase Cases[] = {
      {"generic classes with constraints",
       "type TList<T: class, constructor> = class procedure Add(const Item: T); end;\r\n"
       "TPair<K; V: record> = record Key: K; Value: V; end;",
       "TList:Class/Object TPair:Record", "TList", "Add:Procedure"},
      {"generic and specialize",
       "type generic TStack<T> = class procedure Push(X: T); end;\r\n"
       "TIntStack = specialize TStack<Integer>; TMap = TDictionary<string, TList<Integer>>;",
       "TStack:Class/Object TIntStack:Type TMap:Type", "TStack", "Push:Procedure"},
      {"records with methods, operators and properties",
       "type TVec = record X, Y: Double;\r\n"
       "  constructor Create(AX, AY: Double);\r\n"
       "  class operator Add(const A, B: TVec): TVec;\r\n"
       "  function Length: Double; property Len: Double read Length; end;",
       "TVec:Record", "TVec", "Create:Constructor Add:Function Length:Function"},
      {"packed and variant records",
       "type TR = packed record case Integer of 0: (A: Byte); 1: (B: Word; C: Byte); end;",
       "TR:Record"},
      {"enumerations with values", "type TE = (eA = 1, eB = 4, eC);",
       "TE:Type eA:Constant eB:Constant eC:Constant"},
      {"reference to and procedural types with conventions",
       "type TProc = reference to procedure(A: Integer);\r\n"
       "TCb = procedure(P: Pointer); cdecl; TMeth = function: Integer of object; stdcall;",
       "TProc:Type TCb:Type TMeth:Type"},
      {"class references", "type TFooClass = class of TFoo;", "TFooClass:Type"},
      {"subranges from calls and qualified names",
       "type TIdx = Low(Integer)..High(Integer); TSet = set of TEnum.A..TEnum.B;",
       "TIdx:Type TSet:Type"},
      {"absolute variables, hints and typed constants",
       "var A: Integer; B: Byte absolute A; C: Integer deprecated;\r\n"
       "const D: array[0..1] of TPoint = ((X: 1; Y: 2), (X: 3; Y: 4)); E = 1 platform;",
       "A:Variable B:Variable C:Variable D:Constant E:Constant"},
      {"threadvars and strong type aliases", "threadvar T: Integer; type TAge = type Integer;",
       "T:Variable TAge:Type"},
      {"a procedural field with its convention",
       "type TIface = record Dispatch: procedure(P: Pointer); cdecl; Size: Integer; end;",
       "TIface:Record"},
  };
  for (const TModernCase &C : Cases) ExpectRecorded(*this, C);
}

TEST_F(ParserTest, DottedUnitNamesInTheUsesClause) {
  S.Symbols.CreateSymbols();
  AddUnit("Demo",
          "unit Demo;\r\ninterface\r\nuses System.SysUtils, Shared.CommonFunc in "
          "'..\\Shared.CommonFunc.pas', Classes;\r\nprocedure P;\r\nimplementation\r\nend.\r\n");
  const auto O = ParseUnitInterface(S, 0);
  EXPECT_FALSE(O.Stopped()) << O.StopText;
  EXPECT_EQ(Idents(), "P:Procedure");
}

TEST_F(ParserTest, WhatIsStillNotUnderstoodIsAStopAtItsLineAndTheParseGoesOn) {
  const auto O =
      Pass("procedure P;\r\nvar V: Integer;\r\n\r\n  V2: Integer begin ;\r\nprocedure Q;");
  EXPECT_TRUE(O.Stopped());
  EXPECT_EQ(O.StopText, "begin");
  EXPECT_EQ(O.StopLine, 6);  // the unit heading and "interface" come first
  EXPECT_EQ(Idents(), "P:Procedure V:Variable V2:Variable Q:Procedure");
}

TEST_F(ParserTest, AnInterfaceThatEndsTheUnitIsNotAStop) {
  S.Symbols.CreateSymbols();
  AddUnit("Demo", "unit Demo;\r\ninterface\r\nprocedure P;\r\n{$I body.inc}\r\nend.\r\n");
  const auto O = ParseUnitInterface(S, 0);
  EXPECT_FALSE(O.Stopped()) << O.StopText;
  EXPECT_EQ(Idents(), "P:Procedure");
}

}  // namespace
}  // namespace codeweft
