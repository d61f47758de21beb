// The symbol-table pass over a unit list, its reports, and the grid rows.
#include "codeweft/core/Errors.h"
#include "codeweft/core/symbols/Grid.h"

#include "ParserFixture.h"

#include <filesystem>

namespace codeweft {
namespace {

struct SymbolPassTest : test::ParserTest {
  std::vector<std::string> Events;
  TSymbolPassEvents Recorder() {
    return {[this](const std::string &T) { Events.push_back(T); },
            [this](int Total, int Done) {
              Events.push_back(std::to_string(Done) + "/" + std::to_string(Total));
            }};
  }
};

TEST_F(SymbolPassTest, SevenRowsForAProcedureAVariableAndAClassWithTwoMethods) {
  AddUnit("Demo", test::DemoUnit("procedure Run;\r\nvar Count: Integer;\r\n"
                                 "type TShape = class procedure Draw; function Area: Double; end;"));
  BuildSymbolTable(S, Recorder());
  const auto Rows = GridRows(S.Symbols);
  ASSERT_EQ(Rows.size(), 7u);
  const std::string Path = S.Symbols.Units[0].FileName;
  const std::vector<TGridRow> Expected = {
      {"Demo:" + Path, "", "", ""},      {"", "", "Count", "Variable"},
      {"", "", "Run", "Procedure"},      {"", "", "TShape", "Class/Object"},
      {"", "TShape", "", ""},            {"", "", "Area", "Function"},
      {"", "", "Draw", "Procedure"}};
  EXPECT_EQ(Rows, Expected);
}

TEST_F(SymbolPassTest, ReportsStatusAndOneProgressStepPerUnitThenSorts) {
  AddUnit("Zeta", "unit Zeta; interface var b, A: Integer; implementation end.");
  AddUnit("alpha", "unit alpha; interface implementation end.");
  BuildSymbolTable(S, Recorder());
  EXPECT_EQ(Events, (std::vector<std::string>{"Building Symbol Table ...", "0/2", "1/2", "2/2"}));
  EXPECT_EQ(S.StatusText, "Building Symbol Table ...");
  EXPECT_EQ(S.Phase, TPhase::phSymbols);
  ASSERT_EQ(S.Symbols.Units.size(), 2u);
  EXPECT_EQ(S.Symbols.Units[0].Name, "alpha");
  EXPECT_EQ(test::Listed(S.Symbols.Units[1].Idents), "A:Variable b:Variable");
}

TEST_F(SymbolPassTest, AnEmptyUnitListGivesNoRows) {
  BuildSymbolTable(S, Recorder());
  EXPECT_EQ(Events, (std::vector<std::string>{"Building Symbol Table ...", "0/0"}));
  EXPECT_TRUE(GridRows(S.Symbols).empty());
}

TEST_F(SymbolPassTest, ReportsAreOptional) {
  AddUnit("Demo", test::DemoUnit("var V: Integer;"));
  BuildSymbolTable(S, {});
  EXPECT_EQ(GridRows(S.Symbols).size(), 2u);
}

TEST_F(SymbolPassTest, AMissingUnitFileEndsThePassNamingTheFile) {
  S.Phase = TPhase::phProject;
  S.Symbols.AddUnit((Dir.Path() / "Gone.pas").string());
  try {
    BuildSymbolTable(S, {});
    FAIL() << "no error";
  } catch (const EFOpenError &E) {
    EXPECT_NE(std::string(E.what()).find("Gone.pas"), std::string::npos) << E.what();
  }
}

TEST_F(SymbolPassTest, UnitsOfTheSameNameShareTheFirstEntry) {
  // Symbols are recorded under the current unit's name, which finds the
  // first unit of that name.
  std::filesystem::create_directory(Dir.Path() / "b");
  AddUnit("Same", "unit Same; interface var A: Integer; implementation end.");
  S.Symbols.AddUnit(Dir.Write("b/Same.pas", "unit Same; interface var B: Integer; implementation end."));
  BuildSymbolTable(S, {});
  EXPECT_EQ(test::Listed(S.Symbols.Units[0].Idents) + "|" + test::Listed(S.Symbols.Units[1].Idents),
            "A:Variable B:Variable|");
}

TEST_F(SymbolPassTest, SourceFilesAreFoundWithBackslashesAndAnyCase) {
  std::filesystem::create_directory(Dir.Path() / "Lib");
  const std::string Real = Dir.Write("Lib/Tools.pas", "x");
  const std::string Root = Dir.Path().string();
  EXPECT_EQ(LocateSourceFile(Real), Real);
  EXPECT_EQ(LocateSourceFile(Root + "\\lib\\TOOLS.PAS"), Real);
  EXPECT_EQ(LocateSourceFile(Root + "/LIB/tools.pas"), Real);
  EXPECT_EQ(LocateSourceFile(Root + "\\lib\\Other.pas"), Root + "/lib/Other.pas");
}

} // namespace
} // namespace codeweft

namespace codeweft {
namespace {

// Source warnings of the symbol pass, as "file:line: text".
struct TWarningLog : TRunReporter {
  std::vector<std::string> Lines;
  void ReportStatus(const std::string &) override {}
  void ReportProgress(int, int) override {}
  void ReportWarning(const std::string &) override {}
  void ReportError(const std::string &) override {}
  void ReportSourceWarning(const std::string &File, int Line, const std::string &Text) override {
    Lines.push_back(File + ":" + std::to_string(Line) + ": " + Text);
  }
};

TEST_F(SymbolPassTest, AnInterfaceThatStopsEarlyIsOneSourceWarningNamingLineAndToken) {
  TWarningLog Log;
  S.Reporter = &Log;
  S.Symbols.CreateSymbols();
  AddUnit("Clean",
          "unit Clean;\r\ninterface\r\nprocedure P; overload;\r\nimplementation\r\nend.\r\n");
  AddUnit("Broken",
          "unit Broken;\r\ninterface\r\nprocedure P;\r\n{ a comment\r\n spanning lines }\r\n"
          "var V: Integer begin;\r\nprocedure Q;\r\nimplementation\r\nend.\r\n");
  BuildSymbolTable(S, {});
  S.Reporter = nullptr;
  ASSERT_EQ(Log.Lines.size(), 1u);
  EXPECT_EQ(Log.Lines[0].rfind(S.Symbols.Units[0].FileName + ":6: ", 0), 0u) << Log.Lines[0];
  EXPECT_NE(Log.Lines[0].find("'begin'"), std::string::npos) << Log.Lines[0];
}

}  // namespace
}  // namespace codeweft

namespace codeweft {
namespace {

// Declared() in {$IF}: what the symbol pass has recorded so far (units before
// this one in list order, this unit's interface up to the directive) and the
// names every compiler declares first; the listing switches the same code on
// and off as the symbol pass did, though the whole table is known by then.
TEST_F(SymbolPassTest, DeclaredKnowsWhatWasReadSoFarAndTheListingAgrees) {
  AddUnit("Base",
          "unit Base; interface type TBase = class end; procedure Help;\r\n"
          "implementation procedure Help; begin end; end.");
  AddUnit(
      "User",
      "unit User;\r\ninterface\r\n"
      "{$IF Declared(TBase) and Declared(Help) and Declared(Base)} procedure FromBase; {$IFEND}\r\n"
      "{$IF Declared(Integer) and not Declared(Nowhere)} procedure Basic; {$IFEND}\r\n"
      "{$IF Declared(Later)} procedure TooEarly; {$IFEND}\r\n"
      "procedure Later;\r\n"
      "{$IF Declared(Later)} procedure AfterIt; {$IFEND}\r\n"
      "implementation\r\n"
      "{$IF Declared(Later)} procedure TooEarly; begin end; {$IFEND}\r\n"
      "procedure Later; begin end;\r\nend.\r\n");
  BuildSymbolTable(S, {});
  EXPECT_EQ(test::Listed(S.Symbols.Units[1].Idents),
            "AfterIt:Procedure Basic:Procedure FromBase:Procedure Later:Procedure");
  test::TListingDriver D(S);
  D.Run(1);
  EXPECT_NE(D.Markup.find("[AfterIt>#user_AfterIt"), std::string::npos) << D.Markup;
  EXPECT_EQ(D.Markup.find("[TooEarly>"), std::string::npos) << D.Markup;
  // The implementation part sees the whole interface.
  EXPECT_NE(D.Markup.find("<user_TooEarly>TooEarly"), std::string::npos) << D.Markup;
}

}  // namespace
}  // namespace codeweft
