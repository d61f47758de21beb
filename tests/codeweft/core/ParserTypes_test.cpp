// Type definitions, records, classes, method directives and properties.
#include "ParserFixture.h"

namespace codeweft {
namespace {

using test::ParserTest;

TEST_F(ParserTest, EnumerationValuesAreConstantsAndTheTypeStaysAType) {
  Pass("type TColor = (Red, Green, Blue);");
  EXPECT_EQ(Idents(), "TColor:Type Red:Constant Green:Constant Blue:Constant");
}

TEST_F(ParserTest, RecordAndClassDeclarationsChangeTheTypeKind) {
  const auto O = Pass("type TPoint = record X, Y: Integer; end;\r\n"
                      "TShape = class(TObject) procedure Draw; function Area: Double; end;\r\n"
                      "var Origin: TPoint;");
  EXPECT_EQ(Idents(), "TPoint:Record TShape:Class/Object Origin:Variable");
  EXPECT_EQ(Members("TShape"), "Draw:Procedure Area:Function");
  EXPECT_FALSE(O.Stopped());
}

TEST_F(ParserTest, AFullClassBodyIsReadToItsEndAndParsingContinues) {
  const auto O = Pass("type\r\n"
                      "  TFoo = class(TComponent)\r\n"
                      "  private\r\n"
                      "    FName: string;\r\n"
                      "    FCount, FSize: Integer;\r\n"
                      "  public\r\n"
                      "    constructor Create(AOwner: TComponent); override;\r\n"
                      "    destructor Destroy; override;\r\n"
                      "    procedure Paint; virtual; abstract;\r\n"
                      "    procedure WMSize(var Msg: TMessage); message WM_SIZE;\r\n"
                      "    class function Make: TFoo; stdcall;\r\n"
                      "    property Name: TCaption read FName write FName;\r\n"
                      "    property Items[Index: Integer]: TFoo read GetItem; default;\r\n"
                      "  published\r\n"
                      "    property Count: Integer read FCount write FCount stored IsStored;\r\n"
                      "    property Size: Integer index 2 read GetSize nodefault;\r\n"
                      "  end;\r\n"
                      "var After: Integer;");
  EXPECT_EQ(Idents(), "TFoo:Class/Object After:Variable");
  EXPECT_EQ(Members("TFoo"), "Create:Constructor Destroy:Destructor Paint:Procedure "
                             "WMSize:Procedure Make:Function");
  EXPECT_FALSE(O.Stopped()) << O.StopText;
  EXPECT_TRUE(S.Parser->CurrentClass().empty());
}

TEST_F(ParserTest, OnlyAnArrayMayBePacked) {
  EXPECT_EQ(Pass("type TBuf = packed array[0..15] of Byte; var V: TBuf;").Result, prOk);
  EXPECT_EQ(Idents(), "TBuf:Type V:Variable");
  const auto O = Pass("type TRec = packed record A: Byte; end; var V: TRec;");
  EXPECT_EQ(O.Result, prError);
  EXPECT_EQ(O.StopText, "record");
}

TEST_F(ParserTest, ForwardClassIsAcceptedAndDeclaredAgainLater) {
  const auto O = Pass("type TNode = class;\r\nTList = class Head: TNode; end;\r\n"
                      "TNode = class procedure Visit; end;\r\nvar V: TNode;");
  EXPECT_EQ(Idents(), "TNode:Class/Object TList:Class/Object TNode:Class/Object V:Variable");
  EXPECT_EQ(S.Symbols.Units[0].Classes.size(), 3u);
  EXPECT_FALSE(O.Stopped());
}

TEST_F(ParserTest, AClassReferenceTypeFailsOnItsTypeName) {
  const auto O = Pass("type TFooClass = class of TFoo;\r\nvar V: Integer;");
  // "of" is read as the class's end; TFoo is then taken for a new type name.
  EXPECT_EQ(Idents(), "TFooClass:Class/Object TFoo:Type");
  EXPECT_EQ(O.Result, prError);
  EXPECT_EQ(O.StopText, ";");
}

TEST_F(ParserTest, PropertyQuirks) {
  // A default value after read and write: "default" is read as the ";", the
  // class ends at the value and the rest of the interface is not recorded.
  Pass("type TA = class property P: Integer read F write F default 0; end;\r\n"
       "var V: Integer;");
  EXPECT_EQ(Idents(), "TA:Class/Object");
  // A property redeclared by name alone fails.
  const auto O = Pass("type TB = class(TA) published property P; end; var V: Integer;");
  EXPECT_EQ(O.Result, prError);
  EXPECT_EQ(O.StopText, ";");
  // "stored" with an identifier value is fine; so is "default" alone.
  Pass("type TC = class property P: Integer stored IsStored;\r\n"
       "property Q: Integer read FQ; default; end;\r\nvar V: Integer;");
  EXPECT_EQ(Idents(), "TC:Class/Object V:Variable");
  // A property type must be an identifier.
  EXPECT_EQ(Pass("type TD = class property P: string read F; end;").Result, prError);
}

TEST_F(ParserTest, RecordShapes) {
  struct {
    const char *Body;
    int Result;
  } Cases[] = {
      {"type R = record end;", prError},                       // no fields
      {"type R = record case Integer of 0: (A: Byte); end;", prError}, // tag without name
      {"type R = record case Tag: Integer of 0: (A: Byte); 1: (B, C: Word); end;", prOk},
      {"type R = record X: Integer; case K: Byte of 0, 1: (A: Byte; case J: Byte of 2: (D: Byte)) end;",
       prOk},
      {"type R = record A: Byte; case K: Byte of 0: () end;", prError}, // empty variant
      {"type R = record A: Byte end;", prOk},                   // no ";" before "end"
      {"type R = record A: Byte; B: record C: Byte; end; end;", prOk},
      {"type R = record A: Byte;", prError},                    // no "end"
  };
  for (const auto &C : Cases) {
    const auto O = Pass(C.Body);
    EXPECT_EQ(O.Result, C.Result) << C.Body;
    if (C.Result == prOk) {
      EXPECT_FALSE(O.Stopped()) << C.Body << " stopped at " << O.StopText;
    }
  }
}

TEST_F(ParserTest, ARecordWrittenAsAVariableTypeMakesTheVariableARecord) {
  Pass("var P: record X: Integer; end;");
  EXPECT_EQ(Idents(), "P:Record");
}

TEST_F(ParserTest, ProceduralAndOtherTypes) {
  struct {
    const char *Type;
    int Result;
  } Cases[] = {
      {"procedure(Sender: TObject) of object", prOk},
      {"function: string", prOk},
      {"function(A: Integer): Boolean cdecl", prOk},
      {"procedure of Integer", prError},
      {"function(A: Integer)", prError},
      {"set of (Alpha, Beta)", prOk},
      {"set of 0..31", prOk},
      {"set of Char", prOk},
      {"file of Byte", prOk},
      {"file", prOk},
      {"^TNode", prOk},
      {"^", prError},
      {"string[255]", prOk},
      {"string[N]", prError},
      {"array of array[Boolean, 1..2] of Byte", prOk},
      {"array[0..2 of Byte", prError},
      {"-1..1", prOk},
      {"Low..High", prOk}, // the identifier alone; ".." is left
      {"object end", prNone},
      {"interface end", prNone},
  };
  for (const auto &C : Cases) {
    EXPECT_EQ(Apply(&TParser::TypeDef, C.Type), C.Result) << C.Type;
  }
  EXPECT_EQ(Apply(&TParser::TypeDef, "Low..High"), prOk);
  EXPECT_EQ(Current(), "..");
}

TEST_F(ParserTest, ObjectInterfaceAndDispinterfaceTypesAreNotRecognised) {
  for (const char *Kind : {"object", "interface", "dispinterface"}) {
    const auto O = Pass(std::string("type T = ") + Kind + " procedure M; end; var V: Integer;");
    EXPECT_EQ(O.Result, prError) << Kind;
  }
}

TEST_F(ParserTest, MethodDirectivesInTheirOrderOnly) {
  EXPECT_EQ(Apply(&TParser::MethodDirectives, "override; stdcall; abstract; end"), prOk);
  EXPECT_EQ(Current(), "end");
  EXPECT_EQ(Apply(&TParser::MethodDirectives, "abstract; virtual; end"), prOk);
  EXPECT_EQ(Current(), "virtual"); // out of order: left current
  EXPECT_EQ(Apply(&TParser::MethodDirectives, "virtual end"), prError);
  EXPECT_EQ(Apply(&TParser::MethodDirectives, "message ; end"), prError);
  EXPECT_EQ(Apply(&TParser::MethodDirectives, "end"), prNone);
}

TEST_F(ParserTest, ClassMembersAfterASetTypedFieldStayMembers) {
  Pass("type TFoo = class FFlags: set of Byte; FNext: ^TFoo; procedure M; end;\r\n"
       "procedure Outside;");
  EXPECT_EQ(Idents(), "TFoo:Class/Object Outside:Procedure");
  EXPECT_EQ(Members("TFoo"), "M:Procedure");
}

TEST_F(ParserTest, ASecondFieldAfterAMethodEndsTheClassBody) {
  // The body's loop reads members once more after the first list ends, so
  // FA is still read; at FB the class ends and the rest is not recorded.
  Pass("type TFoo = class procedure M; FA: Integer; procedure N; FB: Integer;\r\n"
       "procedure O; end;\r\nvar V: Integer;");
  EXPECT_EQ(Members("TFoo"), "M:Procedure N:Procedure");
  EXPECT_EQ(Idents(), "TFoo:Class/Object");
}

TEST_F(ParserTest, ClassMethodHeadingsAllowOnlyProceduresAndFunctions) {
  EXPECT_EQ(Pass("type T = class class constructor Create; end;").Result, prError);
  EXPECT_EQ(Pass("type T = class(A, B) end;").Result, prError); // one ancestor only
}

} // namespace
} // namespace codeweft
