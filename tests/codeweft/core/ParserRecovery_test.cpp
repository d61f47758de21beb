// The symbol pass goes on past what the declaration rules do not know: the
// first such place is the stop reported, and the parse resumes at the next
// declaration start of the body or section it stood in.
#include "ParserFixture.h"

namespace codeweft {
namespace {

using test::ParserTest;

struct TRecoveryCase {
  const char *Construct;
  const char *Body;
  const char *Stop;  // the token of the first stop
  const char *Idents;
  const char *Class = nullptr;  // whose members to check, if any
  const char *Members = nullptr;
};

TEST_F(ParserTest, TheParseResumesAtTheNextDeclarationAfterAStop) {
  const TRecoveryCase Cases[] = {
      {"a macro standing for a calling convention",
       "procedure P; MYCALL;\r\nfunction F: Integer; MYCALL;\r\nprocedure Q;", "MYCALL",
       "P:Procedure F:Function Q:Procedure"},
      {"a parameter list not understood", "procedure P(x: Ptr @@);\r\nprocedure Q;", "@@",
       "P:Procedure Q:Procedure"},
      {"a heading cut by a conditional branch",
       "{$IFDEF NONE} procedure X( {$ENDIF} a: Integer);\r\nprocedure Q;", "a", "Q:Procedure"},
      {"a member of a class body, the rest of the body kept",
       "type TA = class\r\n procedure A;\r\n function B(x: Ptr @@): Integer;\r\n"
       " procedure C;\r\n end;\r\nprocedure U;",
       "@@", "TA:Class/Object U:Procedure", "TA", "A:Procedure B:Function C:Procedure"},
      {"a field not understood, resumed at a visibility section",
       "type TA = class\r\n private F: Integer; G H;\r\n public procedure P;\r\n end;", "H",
       "TA:Class/Object", "TA", "P:Procedure"},
      {"a nested record's member, the outer body kept",
       "type TA = class\r\n R: record X: @@; end;\r\n procedure P;\r\n end;", "@@",
       "TA:Class/Object", "TA", "P:Procedure"},
      {"a type resumed at the next type of its section",
       "type TA = @@;\r\n TB = class procedure N; end;\r\nvar V: Integer;", "@@",
       "TA:Type TB:Class/Object V:Variable", "TB", "N:Procedure"},
      {"a variable resumed at the next one", "var A: Integer = ;\r\n B: Integer;", ";",
       "A:Variable B:Variable"},
      {"an end whose body was not understood",
       "procedure P;\r\n@@ procedure M; end;\r\nprocedure Q;", "@@",
       "P:Procedure M:Procedure Q:Procedure"},
  };
  for (const TRecoveryCase &C : Cases) {
    const auto O = Pass(C.Body);
    EXPECT_TRUE(O.Stopped()) << C.Construct;
    EXPECT_EQ(O.Result, prError) << C.Construct;
    EXPECT_EQ(O.StopText, C.Stop) << C.Construct;
    EXPECT_EQ(Idents(), C.Idents) << C.Construct;
    if (C.Class) {
      EXPECT_EQ(Members(C.Class), C.Members) << C.Construct;
    }
  }
}

TEST_F(ParserTest, RecoveryNeverReadsIntoTheImplementation) {
  S.Symbols.CreateSymbols();
  AddUnit("Demo",
          "unit Demo;\r\ninterface\r\nprocedure P;\r\n@@\r\nimplementation\r\n"
          "procedure Hidden;\r\nbegin end;\r\nend.\r\n");
  const auto O = ParseUnitInterface(S, 0);
  EXPECT_EQ(O.StopText, "@@");
  EXPECT_EQ(O.StopLine, 4);
  EXPECT_EQ(Idents(), "P:Procedure");
}

TEST_F(ParserTest, AStopAtTheLastTokenOfTheInterfaceEndsTheParse) {
  // Nothing after the stop to resume at: the parse ends at the end of input.
  const auto O = Pass("type TA = class procedure A; @@");
  EXPECT_EQ(O.StopText, "@@");
  S.Symbols.CreateSymbols();
  AddUnit("Open", "unit Open;\r\ninterface\r\nprocedure P; @@ ;");
  const auto Open = ParseUnitInterface(S, 0);
  EXPECT_EQ(Open.StopText, "@@");
  EXPECT_EQ(Idents(), "P:Procedure");
}

struct TSourceWarnings : TRunReporter {
  std::vector<std::string> Lines;
  void ReportStatus(const std::string &) override {}
  void ReportProgress(int, int) override {}
  void ReportWarning(const std::string &) override {}
  void ReportError(const std::string &) override {}
  void ReportSourceWarning(const std::string &, int Line, const std::string &Text) override {
    Lines.push_back(std::to_string(Line) + ": " + Text);
  }
};

TEST_F(ParserTest, SeveralStopsInOneUnitAreOneWarningAtTheFirst) {
  TSourceWarnings Log;
  S.Reporter = &Log;
  S.Symbols.CreateSymbols();
  AddUnit("Demo", test::DemoUnit("procedure P; MYCALL;\r\nprocedure Q(x: Ptr @@);\r\n"
                                 "procedure R;"));
  BuildSymbolTable(S, {});
  S.Reporter = nullptr;
  ASSERT_EQ(Log.Lines.size(), 1u);
  EXPECT_EQ(Log.Lines[0].rfind("3: ", 0), 0u) << Log.Lines[0];
  EXPECT_NE(Log.Lines[0].find("'MYCALL'"), std::string::npos) << Log.Lines[0];
  EXPECT_EQ(Idents(), "P:Procedure Q:Procedure R:Procedure");
}

TEST_F(ParserTest, TheListingPassesStillStopWhereTheRulesDo) {
  // Recovery belongs to the symbol pass: in a listing phase the rule returns
  // where it stopped, and the listing's own loop reads on from there.
  Apply(&TParser::UnitHeading, "interface var V: Integer = ; procedure Q;");
  S.Phase = TPhase::phInterface;
  EXPECT_EQ(S.Parser->InterfaceSection(), prError);
  EXPECT_EQ(Current(), ";");
  S.Source.Deferring = false;
}

}  // namespace
}  // namespace codeweft
