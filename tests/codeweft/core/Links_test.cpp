// Links and anchors in the listings: routine headings, identifier chains and
// uses clauses, seen through a listing driver shaped like the listing pass.
#include "ParserFixture.h"

namespace codeweft {
namespace {

struct LinksTest : test::ParserTest {
  // Builds the symbol table of the units added so far, then renders the
  // listing of the unit named Name.
  test::TListingDriver Listing(const std::string &Name) {
    BuildSymbolTable(S, {});
    test::TListingDriver D(S);
    D.Run(S.Symbols.UnitIndex(Name));
    return D;
  }
};

const std::string Tools = "unit Tools;\r\ninterface\r\n"
                          "procedure DoIt(N: Integer);\r\nfunction Twice(N: Integer): Integer;\r\n"
                          "var Counter: Integer;\r\ntype TKind = (kA, kB);\r\n"
                          "implementation\r\n"
                          "procedure DoIt(N: Integer); begin end;\r\n"
                          "function Twice(N: Integer): Integer; begin Result := 2 * N end;\r\n"
                          "end.\r\n";

TEST_F(LinksTest, InterfaceHeadingLinksDownToTheAnchorOfItsImplementation) {
  AddUnit("Tools", Tools);
  const auto D = Listing("Tools");
  EXPECT_EQ(D.Text, Tools); // every token once, in order
  EXPECT_NE(D.Markup.find("procedure [DoIt>#tools_DoIt|tools_DoIt](N: Integer);"),
            std::string::npos)
      << D.Markup;
  EXPECT_NE(D.Markup.find("procedure <tools_DoIt>DoIt(N: Integer); begin"), std::string::npos)
      << D.Markup;
  EXPECT_NE(D.Markup.find("function <tools_Twice>Twice("), std::string::npos);
}

TEST_F(LinksTest, MethodLinksAndQualifiedImplementationHeadings) {
  const std::string Main = "unit Main;\r\ninterface\r\ntype TForm1 = class\r\n"
                           "  procedure Button1Click(Sender: TObject);\r\n"
                           "  constructor Create;\r\nend;\r\n"
                           "implementation\r\n"
                           "procedure TForm1.Button1Click(Sender: TObject); begin end;\r\n"
                           "constructor TForm1 . Create; begin end;\r\nend.\r\n";
  AddUnit("Main", Main);
  const auto D = Listing("Main");
  EXPECT_EQ(D.Text, Main);
  EXPECT_NE(D.Markup.find("procedure [Button1Click>#main_TForm1_Button1Click|"
                          "main_TForm1_Button1Click](Sender"),
            std::string::npos)
      << D.Markup;
  EXPECT_NE(D.Markup.find("procedure <main_TForm1_Button1Click>TForm1.Button1Click(Sender"),
            std::string::npos)
      << D.Markup;
  // Blanks inside a qualified name stay where they stand, around its pieces.
  EXPECT_NE(D.Markup.find("constructor <main_TForm1_Create>TForm1 . Create;"), std::string::npos)
      << D.Markup;
}

TEST_F(LinksTest, CommentsAndLineBreaksInsideQualifiedHeadingsStayInPlace) {
  const std::string Main =
      "unit Main;\r\ninterface\r\ntype TForm1 = class\r\n"
      "  procedure A; procedure B; procedure C;\r\nend;\r\n"
      "implementation\r\n"
      "procedure TForm1. {c} A; begin end;\r\n"
      "procedure TForm1\r\n  .B; begin end;\r\n"
      "procedure TForm1.\r\n  (* next line *) C; begin end;\r\nend.\r\n";
  AddUnit("Main", Main);
  const auto D = Listing("Main");
  EXPECT_EQ(D.Text, Main);
  for (const char *Heading : {"<main_TForm1_A>TForm1. {c} A;", "<main_TForm1_B>TForm1\r\n  .B;",
                              "<main_TForm1_C>TForm1.\r\n  (* next line *) C;"})
    EXPECT_NE(D.Markup.find(Heading), std::string::npos) << Heading << "\n" << D.Markup;
  EXPECT_EQ(D.Anchors, 3);
}

TEST_F(LinksTest, CallsOfUsedRoutinesLinkAndOtherNamesStayPlain) {
  AddUnit("Tools", Tools);
  const std::string Main = "unit Main;\r\ninterface\r\nuses Tools, SysUtils;\r\n"
                           "implementation\r\n"
                           "procedure Run;\r\nbegin\r\n"
                           "  DoIt(Counter); Tools.Twice(1); Tools.Counter := 0;\r\n"
                           "  Obj.DoIt; Tools.Twice.X; kA;\r\nend;\r\nend.\r\n";
  AddUnit("Main", Main);
  const auto D = Listing("Main");
  EXPECT_EQ(D.Text, Main);
  const std::string ToolsLink = "[Tools>Tools.html|unit_Tools]";
  EXPECT_NE(D.Markup.find("uses " + ToolsLink + ", SysUtils;"), std::string::npos)
      << D.Markup;
  EXPECT_NE(D.Markup.find("  [DoIt>Tools.html#Tools_DoIt|Tools_DoIt](Counter); "),
            std::string::npos)
      << D.Markup;
  EXPECT_NE(D.Markup.find(ToolsLink + ".[Twice>Tools.html#Tools_Twice|Tools_Twice](1); "),
            std::string::npos)
      << D.Markup;
  EXPECT_NE(D.Markup.find(ToolsLink + ".Counter := 0;"), std::string::npos) << D.Markup;
  EXPECT_NE(D.Markup.find("  Obj.DoIt; "), std::string::npos) << D.Markup;
  EXPECT_NE(D.Markup.find(ToolsLink + ".[Twice>Tools.html#Tools_Twice|Tools_Twice].X; kA;"),
            std::string::npos)
      << D.Markup;
}

TEST_F(LinksTest, UnitLinksUseTheListNameAsPageAndTheWrittenNameAsTopic) {
  AddUnit("Tools", Tools);
  const std::string Main = "unit Main;\r\ninterface\r\nuses TOOLS;\r\n"
                           "implementation\r\nprocedure Run; begin tools.twice(1) end;\r\nend.\r\n";
  AddUnit("Main", Main);
  const auto D = Listing("Main");
  EXPECT_NE(D.Markup.find("uses [TOOLS>Tools.html|unit_TOOLS];"), std::string::npos)
      << D.Markup;
  EXPECT_NE(D.Markup.find("[tools>Tools.html|unit_tools].[twice>Tools.html#tools_twice|"
                          "tools_twice](1)"),
            std::string::npos)
      << D.Markup;
}

TEST_F(LinksTest, DottedUnitNamesLinkLikePlainOnes) {
  const std::string Shared =
      "unit Shared.CommonFunc;\r\ninterface\r\nprocedure DoIt;\r\n"
      "implementation\r\nprocedure DoIt; begin end;\r\nend.\r\n";
  AddUnit("Shared.CommonFunc", Shared);
  struct TCase {
    const char *Source;  // the implementation of unit Main
    const char *Markup;  // found in its listing
  } Cases[] = {
      {"uses Shared.CommonFunc, System.SysUtils;",
       "uses [Shared.CommonFunc>Shared.CommonFunc.html|unit_Shared.CommonFunc], "
       "System.SysUtils;"},
      {"uses Shared.CommonFunc; procedure R; begin Shared.CommonFunc.DoIt end;",
       "begin [Shared.CommonFunc>Shared.CommonFunc.html|unit_Shared.CommonFunc]."
       "[DoIt>Shared.CommonFunc.html#Shared.CommonFunc_DoIt|Shared.CommonFunc_DoIt] end"},
      {"uses Shared.CommonFunc; procedure R; begin DoIt end;",
       "begin [DoIt>Shared.CommonFunc.html#Shared.CommonFunc_DoIt|Shared.CommonFunc_DoIt] end"},
      // With a blank or a comment inside, the name is not linked, and no text is lost.
      {"uses Shared. CommonFunc, Shared{c}.CommonFunc;",
       "uses Shared. CommonFunc, Shared{c}.CommonFunc;"},
      {"procedure R; begin Shared . CommonFunc.DoIt end;", "begin Shared . CommonFunc.DoIt end"},
  };
  int N = 0;
  for (const TCase &C : Cases) {
    const std::string Main = "unit Main" + std::to_string(++N) +
                             ";\r\ninterface\r\nimplementation\r\n" + C.Source + "\r\nend.\r\n";
    AddUnit("Main" + std::to_string(N), Main);
    const auto D = Listing("Main" + std::to_string(N));
    EXPECT_EQ(D.Text, Main);
    EXPECT_NE(D.Markup.find(C.Markup), std::string::npos) << D.Markup;
  }
  // The dotted unit's own anchors carry its whole name.
  const auto D = Listing("Shared.CommonFunc");
  EXPECT_NE(D.Markup.find("procedure <shared.commonfunc_DoIt>DoIt;"), std::string::npos)
      << D.Markup;
}

TEST_F(LinksTest, BrokenChainsAndHeadingsLoseNoText) {
  const std::string Main = "unit Main;\r\ninterface\r\nimplementation\r\n"
                           "procedure TFoo. (X); begin A. ; B . {c} end;\r\n"
                           "procedure ; uses ,;\r\nend.\r\n";
  AddUnit("Main", Main);
  const auto D = Listing("Main");
  EXPECT_EQ(D.Text, Main);
  EXPECT_EQ(D.Markup.find('<'), std::string::npos) << D.Markup; // no anchor
}

TEST_F(LinksTest, ASecondUnitsUsesClauseAddsItsRoutinesOnlyFromThere) {
  AddUnit("Tools", Tools);
  const std::string Main = "unit Main;\r\ninterface\r\nimplementation\r\n"
                           "procedure A; begin DoIt end;\r\nuses Tools;\r\n"
                           "procedure B; begin DoIt end;\r\nend.\r\n";
  AddUnit("Main", Main);
  const auto D = Listing("Main");
  EXPECT_NE(D.Markup.find("begin DoIt end;\r\nuses"), std::string::npos) << D.Markup;
  EXPECT_NE(D.Markup.find("begin [DoIt>"), std::string::npos) << D.Markup;
}

TEST_F(LinksTest, OutsideTheListingPhasesChainsAreOnlyRead) {
  EXPECT_EQ(Apply(&TParser::IdentifierChain, "A.B.C ;"), prOk);
  EXPECT_EQ(Current(), ";");
  EXPECT_EQ(Apply(&TParser::IdentifierChain, "A. ;"), prError);
  EXPECT_EQ(Apply(&TParser::IdentifierChain, "; A"), prNone);
  EXPECT_TRUE(S.Source.PendingTokens.empty());
}

} // namespace
} // namespace codeweft
