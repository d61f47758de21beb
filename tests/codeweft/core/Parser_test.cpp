// Units, sections, routine headings and constant expressions, through the
// symbol pass of small units and through single rules.
#include "ParserFixture.h"

namespace codeweft {
namespace {

using test::ParserTest;

// ---- Routine declarations ----------------------------------------------------

TEST_F(ParserTest, ProcedureWithTwoParamGroupsAndConventionIsRecordedAndParsingGoesOn) {
  const auto O = Pass("procedure Draw(const A, B: Integer; var C); stdcall;\r\n"
                      "var Count: Integer;");
  EXPECT_EQ(Idents(), "Draw:Procedure Count:Variable");
  EXPECT_EQ(O.Result, prOk);
  EXPECT_FALSE(O.Stopped());
  EXPECT_EQ(O.StopText, "implementation");
}

TEST_F(ParserTest, FunctionResultMayBeStringButMustBeThere) {
  const auto O = Pass("function Name(X: Integer): string; function Broken; var V: Integer;");
  // V, after the error, is recorded once the parse has resumed at "var".
  EXPECT_EQ(Idents(), "Name:Function Broken:Function V:Variable");
  EXPECT_EQ(O.Result, prError);
  EXPECT_EQ(O.StopText, ";");
}

TEST_F(ParserTest, FormsBeyondTheClassicRulesNoLongerEndTheInterfaceParse) {
  const char *Bodies[] = {
      "procedure P(); var V: Integer;",                // empty parentheses
      "procedure P(X: Integer = 0); var V: Integer;",  // default value
      "procedure P; overload; var V: Integer;",        // other directive
      "procedure P; external 'x'; var V: Integer;",
      "threadvar T: Integer; var V: Integer;",
      "label 10; var V: Integer;",  // numeric label
      "const C: array[0..1] of Integer = (1, 2); var V: Integer;",
      "const C = A.B.C; var V: Integer;",  // two suffixes
  };
  for (const char *Body : Bodies) {
    const auto O = Pass(Body);
    EXPECT_EQ(O.Result, prOk) << Body;
    EXPECT_FALSE(O.Stopped()) << Body << " stopped at " << O.StopText;
    EXPECT_NE(Idents().find("V:Variable"), std::string::npos) << Body << " -> " << Idents();
  }
}

TEST_F(ParserTest, AFunctionCallInAConstantIsPartOfItsValue) {
  Pass("const C = Ord(1); D = 2; var V: Integer;");
  EXPECT_EQ(Idents(), "C:Constant D:Constant V:Variable");
}

TEST_F(ParserTest, AMissingNameOrQualifierFailsTheHeading) {
  EXPECT_EQ(Apply(&TParser::ProcedureHeading, "procedure ;"), prError);
  EXPECT_EQ(Apply(&TParser::ProcedureHeading, "procedure T. ;"), prError);
  EXPECT_EQ(Current(), ";");
  EXPECT_EQ(Apply(&TParser::ProcedureHeading, "function F;"), prNone);
  EXPECT_EQ(Current(), "function");
}

TEST_F(ParserTest, ParamGroupsNeedANameAndAcceptOpenArrays) {
  EXPECT_EQ(Apply(&TParser::FormalParams, "(var A: array of Integer; out B; C, D: string) ;"),
            prOk);
  EXPECT_EQ(Current(), ";");
  EXPECT_EQ(Apply(&TParser::ParamGroup, "var ;"), prError);  // a modifier needs names
  EXPECT_EQ(Apply(&TParser::ParamGroup, ";"), prNone);
  EXPECT_EQ(Apply(&TParser::FormalParams, "(const A: array Integer)"), prError);
  EXPECT_EQ(Apply(&TParser::FormalParams, "(A: Integer"), prError);
}

// ---- Sections ------------------------------------------------------------------

TEST_F(ParserTest, ConstantsPlainAndTypedAreRecorded) {
  Pass("const Max = 10 * 2; Title: string = 'x' + #13#10; Mask = [1, 3..5];");
  EXPECT_EQ(Idents(), "Max:Constant Title:Constant Mask:Constant");
}

TEST_F(ParserTest, VarNamesAreRecordedAsTheyAreRead) {
  Pass("var X, Y: Integer = 5; P: ^Byte; S: string[20];");
  EXPECT_EQ(Idents(), "X:Variable Y:Variable P:Variable S:Variable");
  // A failing declaration keeps the names read before the error.
  Pass("var A, B C: Integer;");
  EXPECT_EQ(Idents(), "A:Variable B:Variable");
}

TEST_F(ParserTest, LabelsAndSectionsInAnyOrder) {
  const auto O = Pass("label Done, Again; type TIndex = 0..9; var I: TIndex;\r\n"
                      "const C = 1; procedure P;");
  EXPECT_EQ(Idents(), "Done:Label Again:Label TIndex:Type I:Variable C:Constant P:Procedure");
  EXPECT_FALSE(O.Stopped());
}

TEST_F(ParserTest, ResourceStringsAreConstantsAndExportsAreSkipped) {
  Pass("resourcestring SHello = 'Hello'; SBye = 'Bye' + '!';\r\n"
       "exports Foo, Bar name 'bar';\r\nvar V: Integer;");
  EXPECT_EQ(Idents(), "SHello:Constant SBye:Constant V:Variable");
}

TEST_F(ParserTest, BrokenResourceStringAndExportsSectionsEndTheParseWithoutHanging) {
  EXPECT_EQ(Pass("resourcestring var V: Integer;").Result, prError);
  EXPECT_EQ(Pass("resourcestring S = ;").Result, prError);
  EXPECT_EQ(Pass("exports Foo").Result, prError); // no ";" before the end of the file
  EXPECT_EQ(Idents(), "");
}

TEST_F(ParserTest, UsesClauseIsReadButRecordsNothing) {
  EXPECT_EQ(Pass("uses SysUtils, Classes; var V: Integer;").Result, prOk);
  EXPECT_EQ(Idents(), "V:Variable");
  EXPECT_EQ(Pass("uses SysUtils, ; var V: Integer;").Result, prError);
  EXPECT_EQ(Idents(), "V:Variable");
}

TEST_F(ParserTest, NothingAfterImplementationAndNothingWithoutInterface) {
  S.Symbols.CreateSymbols();
  AddUnit("Demo", "unit Demo; var V: Integer; implementation procedure P; begin end; end.");
  EXPECT_FALSE(ParseUnitInterface(S, 0).HasInterface);
  EXPECT_EQ(Idents(), "");
  Pass("procedure P;\r\nimplementation\r\nprocedure Q;");
  EXPECT_EQ(Idents(), "P:Procedure");
}

TEST_F(ParserTest, ALaterInterfaceKeywordAfterAStopIsReadAsAnInterfaceType) {
  // The parse resumes at "type" rather than restarting at "interface".
  const auto O = Pass("asm end;\r\ntype IFoo = interface procedure Later; end;");
  EXPECT_EQ(O.StopText, "asm");
  EXPECT_EQ(Idents(), "IFoo:Class/Object");
  EXPECT_EQ(Members("IFoo"), "Later:Procedure");
}

// ---- Unit heading ----------------------------------------------------------------

TEST_F(ParserTest, UnitHeadingSetsTheCurrentUnitInLowerCase) {
  EXPECT_EQ(Apply(&TParser::UnitHeading, "unit MyTools;"), prOk);
  EXPECT_EQ(S.CurrentUnit, "mytools");
  EXPECT_EQ(Current(), ";");
  EXPECT_EQ(Apply(&TParser::UnitHeading, "unit 'x';"), prError);
}

// ---- Constant expressions --------------------------------------------------------

TEST_F(ParserTest, ExpressionsStopAtTheFirstTokenThatContinuesNothing) {
  struct {
    const char *Source;
    int Result;
    const char *After;
  } Cases[] = {
      {"1 + 2 * (3 - X) div 4 ;", prOk, ";"},
      {"not A and (B or C) = True ;", prOk, ";"},
      {"- + - 1.5e3 ;", prOk, ";"},
      {"P^ ;", prOk, ";"},
      {"A[1, 2] ;", prOk, ";"},
      {"Rec.Field ;", prOk, ";"},
      {"A.B.C ;", prOk, ";"},
      {"F(1, G()) + SizeOf(string) ;", prOk, ";"},
      {"F(1 ;", prError, ";"},
      {"@Proc ;", prOk, ";"},
      {"@Rec.Field^ ;", prOk, ";"},
      {"@ 1", prError, "1"},
      {"[] ;", prOk, ";"},
      {"['a'..'z', '_'] ;", prOk, ";"},
      {"nil ;", prOk, ";"},
      {"(1 ;", prError, ";"},
      {"1 + ;", prError, ";"},
      {"1 < ;", prError, ";"},
      {"A. ;", prError, ";"},
      {"; 1", prNone, ";"},
      {"string", prNone, "string"},
  };
  for (const auto &C : Cases) {
    EXPECT_EQ(Apply(&TParser::ConstExpr, C.Source), C.Result) << C.Source;
    EXPECT_EQ(Current(), C.After) << C.Source;
  }
}

TEST_F(ParserTest, DeepNestingIsASyntaxErrorNotACrash) {
  const int Depth = 100000;
  EXPECT_EQ(Apply(&TParser::ConstExpr, std::string(Depth, '(') + "1" + std::string(Depth, ')')),
            prError);
  EXPECT_EQ(S.Parser->Nesting(), 0);
  std::string Minus;
  for (int I = 0; I < Depth; ++I) Minus += "- ";
  EXPECT_EQ(Apply(&TParser::ConstExpr, Minus + "1"), prError);
  std::string Arrays;
  for (int I = 0; I < Depth; ++I) Arrays += "array of ";
  EXPECT_EQ(Apply(&TParser::TypeDef, Arrays + "Integer"), prError);
  // Within the bound, nesting is fine.
  EXPECT_EQ(Apply(&TParser::ConstExpr, std::string(50, '(') + "1" + std::string(50, ')')), prOk);
}

} // namespace
} // namespace codeweft
