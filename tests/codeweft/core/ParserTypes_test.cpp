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

TEST_F(ParserTest, AFieldOfItsOwnRecordOrObjectTypeLeavesTheKindOfItsClass) {
  Pass(
      "type TShape = class\r\n Pos: record X, Y: Integer; end;\r\n"
      " Owner: object A: Byte; end;\r\n procedure Draw;\r\n end;\r\n"
      "TRec = record Inner: record B: Byte; end; end;");
  EXPECT_EQ(Idents(), "TShape:Class/Object TRec:Record");
  EXPECT_EQ(Members("TShape"), "Draw:Procedure");
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

TEST_F(ParserTest, PackedArraysAndRecordsAreBothAccepted) {
  EXPECT_EQ(Pass("type TBuf = packed array[0..15] of Byte; var V: TBuf;").Result, prOk);
  EXPECT_EQ(Idents(), "TBuf:Type V:Variable");
  const auto O = Pass("type TRec = packed record A: Byte; end; var V: TRec;");
  EXPECT_EQ(O.Result, prOk);
  EXPECT_EQ(Idents(), "TRec:Record V:Variable");
}

TEST_F(ParserTest, ForwardClassIsAcceptedAndDeclaredAgainLater) {
  const auto O = Pass("type TNode = class;\r\nTList = class Head: TNode; end;\r\n"
                      "TNode = class procedure Visit; end;\r\nvar V: TNode;");
  EXPECT_EQ(Idents(), "TNode:Class/Object TList:Class/Object TNode:Class/Object V:Variable");
  EXPECT_EQ(S.Symbols.Units[0].Classes.size(), 3u);
  EXPECT_FALSE(O.Stopped());
}

TEST_F(ParserTest, AClassReferenceTypeStaysATypeWithoutAClassEntry) {
  const auto O = Pass("type TFooClass = class of TFoo;\r\nvar V: Integer;");
  EXPECT_EQ(Idents(), "TFooClass:Type V:Variable");
  EXPECT_TRUE(S.Symbols.Units[0].Classes.empty());
  EXPECT_EQ(O.Result, prOk);
}

TEST_F(ParserTest, PropertiesAreReadToTheirSemicolonWhateverTheirSpecifiers) {
  Pass("type TA = class property P: Integer read F write F default 0; end;\r\n"
       "var V: Integer;");
  EXPECT_EQ(Idents(), "TA:Class/Object V:Variable");
  // Redeclared by name alone, to publish it.
  const auto O = Pass("type TB = class(TA) published property P; end; var V: Integer;");
  EXPECT_EQ(O.Result, prOk);
  EXPECT_EQ(Idents(), "TB:Class/Object V:Variable");
  // "stored" with an identifier value is fine; so is "default" alone.
  Pass("type TC = class property P: Integer stored IsStored;\r\n"
       "property Q: Integer read FQ; default; end;\r\nvar V: Integer;");
  EXPECT_EQ(Idents(), "TC:Class/Object V:Variable");
  // Any type, and an interface delegated with "implements".
  EXPECT_EQ(Pass("type TD = class property P: string read F; property I: IFoo read FI "
                 "implements IFoo; class property C: Integer read FC; end;")
                .Result,
            prOk);
}

TEST_F(ParserTest, RecordShapes) {
  struct {
    const char *Body;
    int Result;
  } Cases[] = {
      {"type R = record end;", prOk},                                // no fields
      {"type R = record case Integer of 0: (A: Byte); end;", prOk},  // tag without name
      {"type R = record case Tag: Integer of 0: (A: Byte); 1: (B, C: Word); end;", prOk},
      {"type R = record X: Integer; case K: Byte of 0, 1: (A: Byte; case J: Byte of 2: (D: Byte)) "
       "end;",
       prOk},
      {"type R = record A: Byte; case K: Byte of 0: () end;", prOk},  // empty variant
      {"type R = record A: Byte end;", prOk},                         // no ";" before "end"
      {"type R = record A: Byte; B: record C: Byte; end; end;", prOk},
      {"type R = record A: Byte;", prError},  // no "end"
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
      {"string[N]", prOk},
      {"string[", prError},
      {"array of array[Boolean, 1..2] of Byte", prOk},
      {"array[0..2 of Byte", prError},
      {"-1..1", prOk},
      {"Low..High", prOk},
      {"Low(Byte)..High(Byte)", prOk},
      {"Low..", prError},
      {"object end", prOk},
      {"interface end", prOk},
      {"reference to procedure(A: Integer)", prOk},
      {"reference to Integer", prError},
  };
  for (const auto &C : Cases) {
    EXPECT_EQ(Apply(&TParser::TypeDef, C.Type), C.Result) << C.Type;
  }
  EXPECT_EQ(Apply(&TParser::TypeDef, "Low..High;"), prOk);
  EXPECT_EQ(Current(), ";");
}

TEST_F(ParserTest, ObjectInterfaceAndDispinterfaceTypesRecordTheirMethods) {
  for (const char *Kind : {"object", "interface", "dispinterface"}) {
    const auto O = Pass(std::string("type T = ") + Kind + " procedure M; end; var V: Integer;");
    EXPECT_EQ(O.Result, prOk) << Kind;
    EXPECT_EQ(Idents(), "T:Class/Object V:Variable") << Kind;
    EXPECT_EQ(Members("T"), "M:Procedure") << Kind;
  }
}

TEST_F(ParserTest, MethodDirectivesInAnyOrder) {
  EXPECT_EQ(Apply(&TParser::MethodDirectives, "override; stdcall; abstract; end"), prOk);
  EXPECT_EQ(Current(), "end");
  EXPECT_EQ(Apply(&TParser::MethodDirectives, "abstract; virtual; end"), prOk);
  EXPECT_EQ(Current(), "end");
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

TEST_F(ParserTest, FieldsAndMethodsMayAlternateInAClassBody) {
  Pass("type TFoo = class procedure M; FA: Integer; procedure N; FB: Integer;\r\n"
       "procedure O; end;\r\nvar V: Integer;");
  EXPECT_EQ(Members("TFoo"), "M:Procedure N:Procedure O:Procedure");
  EXPECT_EQ(Idents(), "TFoo:Class/Object V:Variable");
}

TEST_F(ParserTest, ClassConstructorsAndSeveralAncestors) {
  EXPECT_EQ(Pass("type T = class class constructor Create; end;").Result, prOk);
  EXPECT_EQ(Members("T"), "Create:Constructor");
  EXPECT_EQ(Pass("type T = class(A, B) end;").Result, prOk);  // a class and an interface
  EXPECT_EQ(Pass("type T = class(A, ) end;").Result, prError);
}

} // namespace
} // namespace codeweft
