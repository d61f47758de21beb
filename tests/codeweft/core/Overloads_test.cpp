// Overloaded routines: an anchor for each overload, declarations and
// implementations linked to each other, calls linked by their number of
// arguments, and the symbol index listing each overload.
#include "codeweft/core/symbols/Overloads.h"

#include <filesystem>

#include "LinkCheck.h"
#include "ParserFixture.h"
#include "codeweft/core/Run.h"
#include "codeweft/core/output/SymbolIndex.h"

namespace codeweft {
namespace {

struct OverloadsTest : test::ParserTest {
  test::TListingDriver Listing(const std::string &Name) {
    BuildSymbolTable(S, {});
    test::TListingDriver D(S);
    D.Run(S.Symbols.UnitIndex(Name));
    return D;
  }
  // "Name#Overload(Min..Max)" of every routine of the unit's Idents.
  std::string Routines(const std::vector<TRefElm> &Refs) const {
    std::string Out;
    for (const TRefElm &R : Refs)
      if (R.Kind == TRefKind::rkProcedure || R.Kind == TRefKind::rkFunction ||
          R.Kind == TRefKind::rkConstructor)
        Out += (Out.empty() ? "" : " ") + R.Name + "#" + std::to_string(R.Overload) + "(" +
               std::to_string(R.MinArgs) + ".." + std::to_string(R.MaxArgs) + ")";
    return Out;
  }
};

// Overloads of one name in the order declared, each with the argument counts
// its calls may have; defaults widen the range, attributes, modifiers,
// open arrays and nested brackets of a type count for nothing.
TEST_F(OverloadsTest, DeclarationsAreNumberedWithTheirArgumentRanges) {
  const struct {
    const char *Declarations;
    const char *Expected;
  } Cases[] = {
      {"procedure P; overload;\r\nprocedure P(A: Integer); overload;", "P#1(0..0) P#2(1..1)"},
      {"procedure P(A, B: Integer; const S: string); overload;\r\n"
       "procedure P(var X; out Y: Byte); overload;",
       "P#1(3..3) P#2(2..2)"},
      {"function F(A: Integer; B: Integer = 1; C: string = 'x,y'): Integer; overload;\r\n"
       "function F(const A: array of const): Integer; overload;",
       "F#1(1..3) F#2(1..1)"},
      {"procedure P([Ref] const A: TArray<Integer>; B: TDictionary<string, Integer>); overload;\r\n"
       "procedure P(const M: array of Byte; S: TSet = [a, b]); overload;",
       "P#1(2..2) P#2(1..2)"},
      {"procedure Alone(A: Integer);", "Alone#1(1..1)"},
  };
  for (const auto &Case : Cases) {
    Pass(Case.Declarations);
    EXPECT_EQ(Routines(S.Symbols.Units.at(0).Idents), Case.Expected) << Case.Declarations;
  }
}

TEST(OverloadNumberingTest, ImplementationsTakeTheNumberOfTheirParameterList) {
  const auto List = [](std::vector<std::string> Types) {
    TParamList L;
    L.Types = std::move(Types);
    L.Min = L.Max = static_cast<int>(L.Types.size());
    return L;
  };
  TOverloadNumbering N;
  N.Declare("p", List({"integer"}));
  N.Declare("p", List({"string"}));
  N.Declare("p", List({}));
  N.Declare("q", List({"integer"}));
  // Matched by list: string, integer. Then by order: "real" takes the one
  // declaration left (3), and two more headings (a forward declaration and
  // its body) get new numbers.
  N.Implement("p", List({"string"}));
  N.Implement("p", List({"integer"}));
  N.Implement("p", List({"real"}));
  N.Implement("p", List({"real"}));
  N.Implement("p", List({"real"}));
  N.Implement("q", List({"integer"}));  // 1, as in source order: not listed
  N.Implement("r", List({}));
  N.Implement("r", List({}));  // 1, 2: not listed
  const auto Numbers = N.ImplementationNumbers();
  ASSERT_EQ(Numbers.size(), 1u);
  EXPECT_EQ(Numbers[0].first, "p");
  EXPECT_EQ(Numbers[0].second, (std::vector<int>{2, 1, 3, 4, 5}));
  EXPECT_EQ(TOverloadNumbering::NumberOf(Numbers, "p", 1), 1);
  EXPECT_EQ(TOverloadNumbering::NumberOf(Numbers, "r", 1), 2);
  EXPECT_EQ(TOverloadNumbering::NumberOf(Numbers, "p", 9), 10);  // a heading not seen before
}

const std::string Tools =
    "unit Tools;\r\ninterface\r\n"
    "procedure Show; overload;\r\n"
    "procedure Show(N: Integer); overload;\r\n"
    "procedure Show(const S: string; Width: Integer; Fill: Char = ' '); overload;\r\n"
    "function Sum(A, B: Integer): Integer; overload;\r\n"
    "function Sum(A, B, C: Integer; D: Integer = 0): Integer; overload;\r\n"
    "function Sum(const A: array of Integer; Start: Integer = 0): Integer; overload;\r\n"
    "implementation\r\n"
    "procedure Show(const S: string; Width: Integer; Fill: Char); begin end;\r\n"
    "procedure Show; begin end;\r\n"
    "procedure Show(N: Integer); begin end;\r\n"
    "function Sum(A, B: Integer): Integer; begin end;\r\n"
    "function Sum(A, B, C, D: Integer): Integer; begin end;\r\n"
    "function Sum(const A: array of Integer; Start: Integer): Integer; begin end;\r\n"
    "end.\r\n";

TEST_F(OverloadsTest, DeclarationsAndImplementationsOfEachOverloadLinkToEachOther) {
  AddUnit("Tools", Tools);
  const auto D = Listing("Tools");
  EXPECT_EQ(D.Text, Tools);
  for (const char *Expected :
       {"procedure [Show>#tools_Show|tools_Show]; overload;",
        "procedure [Show>#tools_Show.2|tools_Show.2](N: Integer); overload;",
        "procedure [Show>#tools_Show.3|tools_Show.3](const S",
        // The implementations come in another order; each finds its own.
        "procedure <tools_Show.3>Show(const S: string; Width", "procedure <tools_Show>Show; begin",
        "procedure <tools_Show.2>Show(N: Integer); begin", "function <tools_Sum>Sum("})
    EXPECT_NE(D.Markup.find(Expected), std::string::npos) << Expected << "\n" << D.Markup;
}

// Calls from another unit: the overload whose range holds the number of
// arguments when only one does, else the first; arguments are counted at the
// call's own level, whatever their parentheses, brackets, strings and
// comments hold.
TEST_F(OverloadsTest, CallsLinkToTheOverloadTheirArgumentsPick) {
  AddUnit("Tools", Tools);
  const struct {
    const char *Call;
    const char *Target;
  } Cases[] = {
      {"Show;", "Tools.html#Tools_Show|"},
      {"Show();", "Tools.html#Tools_Show|"},
      {"Show(1);", "Tools.html#Tools_Show.2|"},
      {"Show('a', 2);", "Tools.html#Tools_Show.3|"},
      {"Show('a', 2, '*');", "Tools.html#Tools_Show.3|"},
      {"Show(Sum(1, 2), {, ,} 3);", "Tools.html#Tools_Show.3|"},
      {"Show(Format('%d,%d', [1, 2]));", "Tools.html#Tools_Show.2|"},
      {"Show(A[1, 2] (* , *) );", "Tools.html#Tools_Show.2|"},
      {"Show(1, 2, 3, 4);", "Tools.html#Tools_Show|"},  // none fits
      {"Show (\r\n  'x',\r\n  1);", "Tools.html#Tools_Show.3|"},
      {"Tools.Show(1, 2);", "Tools.html#Tools_Show.3|"},
      {"X := Sum(1, 2);", "Tools.html#Tools_Sum|"},  // 1 and 3 fit: the first
      {"X := Sum(1, 2, 3);", "Tools.html#Tools_Sum.2|"},
      {"X := Sum([1, 2, 3]);", "Tools.html#Tools_Sum.3|"},
  };
  for (const auto &Case : Cases) {
    S.Symbols.CreateSymbols();
    AddUnit("Tools", Tools);
    AddUnit("Main",
            "unit Main;\r\ninterface\r\nuses Tools;\r\nimplementation\r\n"
            "procedure Run;\r\nbegin\r\n  " +
                std::string(Case.Call) + "\r\nend;\r\nend.\r\n");
    const auto D = Listing("Main");
    const std::string Markup = D.Markup;
    const std::size_t At = Markup.find(Case.Call[0] == 'X' ? "[Sum>" : "[Show>");
    ASSERT_NE(At, std::string::npos) << Case.Call << "\n" << Markup;
    const std::size_t Target = Markup.find('>', At) + 1;
    EXPECT_EQ(Markup.substr(Target, Markup.find('|', At) + 1 - Target), Case.Target) << Case.Call;
  }
}

const std::string Shapes =
    "unit Shapes;\r\ninterface\r\ntype\r\n  TShape = class\r\n"
    "    procedure Move(DX, DY: Integer); overload;\r\n"
    "    procedure Move(const P: TPoint); overload;\r\n"
    "    constructor Create; overload;\r\n"
    "    constructor Create(Size: Integer); overload;\r\n"
    "  end;\r\n"
    "implementation\r\n"
    "procedure TShape.Move(const P: TPoint); begin end;\r\n"
    "procedure TShape.Move(DX, DY: Integer); begin end;\r\n"
    "constructor TShape.Create(Size: Integer); begin end;\r\n"
    "constructor TShape.Create; begin end;\r\n"
    "end.\r\n";

TEST_F(OverloadsTest, OverloadedMethodsGetAnAnchorEach) {
  AddUnit("Shapes", Shapes);
  const auto D = Listing("Shapes");
  EXPECT_EQ(D.Text, Shapes);
  for (const char *Expected :
       {"procedure [Move>#shapes_TShape_Move|shapes_TShape_Move](DX",
        "procedure [Move>#shapes_TShape_Move.2|shapes_TShape_Move.2](const P",
        "constructor [Create>#shapes_TShape_Create.2|shapes_TShape_Create.2](Size",
        "procedure <shapes_TShape_Move.2>TShape.Move(const P",
        "procedure <shapes_TShape_Move>TShape.Move(DX",
        "constructor <shapes_TShape_Create>TShape.Create;"})
    EXPECT_NE(D.Markup.find(Expected), std::string::npos) << Expected << "\n" << D.Markup;
}

// A whole run: each overload keeps its own anchor on the page, every link
// resolves, the index links each overload, and each unit file is opened
// twice (symbols, listing), the project once.
TEST(OverloadRunTest, EachUnitIsReadTwiceAndEveryOverloadLinkResolves) {
  test::TTempDir Src, Out;
  Src.Write("P.dpr",
            "program P;\r\nuses Tools in 'Tools.pas', Shapes in 'Shapes.pas',\r\n"
            "  Main in 'Main.pas';\r\nbegin\r\n  Show(1);\r\nend.\r\n");
  Src.Write("Tools.pas", Tools);
  Src.Write("Shapes.pas", Shapes);
  // Forward declarations and nested routines of one name are anchored apart.
  Src.Write("Main.pas",
            "unit Main;\r\ninterface\r\nuses Tools;\r\nimplementation\r\n"
            "procedure Later; forward;\r\n"
            "procedure A; procedure Inner; begin end; begin Inner; Later end;\r\n"
            "procedure B; procedure Inner; begin end; begin Show('x', 1) end;\r\n"
            "procedure Later; begin Show end;\r\nend.\r\n");
  struct TQuiet : TRunReporter {
    void ReportStatus(const std::string &) override {}
    void ReportProgress(int, int) override {}
    void ReportWarning(const std::string &) override {}
    void ReportError(const std::string &) override {}
  } Reporter;
  TRunState State;
  const auto Before = std::filesystem::current_path();
  std::filesystem::current_path(Src.Path());
  codeweft::Run(State, {"P.dpr", Out.Dir(), "", ""}, Reporter);
  std::filesystem::current_path(Before);
  EXPECT_EQ(State.Source.SourcesOpened, 1u + 2u * 3u);

  const std::vector<std::string> Broken = test::BrokenLinks(Out.Dir());
  EXPECT_TRUE(Broken.empty()) << Broken.front();
  const std::string Main = test::ReadBytes(Out.Dir() + "Main.html");
  for (const char *Anchor : {"main_later\"", "main_later.2\"", "main_inner\"", "main_inner.2\""})
    EXPECT_NE(Main.find(std::string("<A NAME = \"") + Anchor), std::string::npos) << Anchor;
  EXPECT_NE(Main.find("<A HREF = \"Tools.html#tools_show.3\">Show</A>("), std::string::npos)
      << Main;
  const std::string Index = test::ReadBytes(Out.Dir() + "symbol-index.html");
  for (const char *Href : {"Tools.html#tools_show\"", "Tools.html#tools_show.2\"",
                           "Tools.html#tools_show.3\"", "Shapes.html#shapes_tshape_move.2\""})
    EXPECT_NE(Index.find(Href), std::string::npos) << Href;
}

}  // namespace
}  // namespace codeweft
