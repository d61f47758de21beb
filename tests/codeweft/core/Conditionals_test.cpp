// Conditional compilation: the symbol set, {$IF} expressions, and regions as
// the token stream applies them (nesting, branches, per-file reset, warnings).
#include "codeweft/core/lex/Conditionals.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestFiles.h"
#include "codeweft/core/Run.h"
#include "codeweft/core/lex/TokenStream.h"

namespace codeweft {
namespace {

TEST(DefinesTest, NamesCompareWholeIgnoringCaseAndOneRemovalUndefines) {
  TDefines D;
  D.Define("DEBUG");
  D.Define("debug");  // the same name: defined once
  EXPECT_TRUE(D.IsDefined("Debug"));
  EXPECT_FALSE(D.IsDefined(" DEBUG"));
  EXPECT_FALSE(D.IsDefined("DEBU"));
  EXPECT_EQ(D.Count(), 1u);
  D.Undefine("Debug");
  EXPECT_FALSE(D.IsDefined("DEBUG"));
  D.Undefine("NEVER");  // nothing happens
  D.Define("B", "2");
  D.Define("A");
  D.Define("b", "3");  // a new value, the first place
  EXPECT_EQ(D.Names(), (std::vector<std::string>{"B", "A"}));
  ASSERT_NE(D.ValueOf("B"), nullptr);
  EXPECT_EQ(*D.ValueOf("B"), "3");
  EXPECT_EQ(D.ValueOf("C"), nullptr);
  D.ClearDefines();
  EXPECT_TRUE(D.Names().empty());
}

TEST(DefinesTest, FillDefinesSplitsAtSemicolonsOnlyAndTakesValues) {
  TDefines D;
  D.Define("OLD");
  FillDefines(D, "DEBUG; TRACE;;X Y;LEVEL=3;=5;EMPTY=");
  EXPECT_EQ(D.Names(), (std::vector<std::string>{"DEBUG", " TRACE", "X Y", "LEVEL", "EMPTY"}));
  EXPECT_FALSE(D.IsDefined("TRACE"));
  EXPECT_EQ(*D.ValueOf("level"), "3");
  EXPECT_EQ(*D.ValueOf("EMPTY"), "");
  FillDefines(D, "");
  EXPECT_TRUE(D.Names().empty());
}

// Many symbols: every lookup still finds its own name and no other.
TEST(DefinesTest, ManySymbolsStayDistinct) {
  TDefines D;
  for (int I = 0; I < 5000; ++I) D.Define("Sym" + std::to_string(I));
  for (int I = 0; I < 5000; I += 7) D.Undefine("SYM" + std::to_string(I));
  for (int I = 0; I < 5000; ++I) ASSERT_EQ(D.IsDefined("sym" + std::to_string(I)), I % 7 != 0) << I;
}

TEST(EvaluateConditionTest, ValuesOfExpressions) {
  TDefines D;
  FillDefines(D, "FPC;UNICODE;LEVEL=3;NAME=LEVEL+1;TEXT=abc;SELF=SELF");
  struct TCase {
    const char *Expression;
    bool Ok, Value;
  } Cases[] = {
      {"Defined(FPC)", true, true},
      {"defined(fpc)", true, true},
      {"DEFINED( NONE )", true, false},
      {"not Defined(NONE)", true, true},
      {"Defined(FPC) and Defined(UNICODE)", true, true},
      {"Defined(FPC) and not Defined(UNICODE)", true, false},
      {"Defined(NONE) or Defined(UNICODE)", true, true},
      {"Defined(FPC) xor Defined(UNICODE)", true, false},
      // Without a run, only the names every compiler declares first.
      {"Declared(TObject)", true, true},
      {"declared(nativeint) and Declared(UnicodeString)", true, true},
      {"Declared(TMyForm)", true, false},
      {"Declared(FPC)", true, false},  // a define is not a declaration
      {"CompilerVersion >= 20", true, true},
      {"CompilerVersion < 20.5", true, false},
      {"RTLVersion >= 23.0", true, true},
      {"FPC_FULLVERSION >= 30000", true, true},
      {"FPC_FULLVERSION > 990000", true, false},
      {"(FPC_VERSION = 3) and (FPC_RELEASE >= 0)", true, true},
      {"LEVEL = 3", true, true},
      {"LEVEL <> 3", true, false},
      {"LEVEL * 2 + 1 = 7", true, true},
      {"LEVEL - 1 <= 1", true, false},
      {"10 div 3 = 3", true, true},
      {"10 mod 3 = 1", true, true},
      {"1 shl 4 = 16", true, true},
      {"$FF = 255", true, true},
      {"-LEVEL < 0", true, true},
      {"NAME = 4", true, true},  // a value may name another symbol
      {"True", true, true},
      {"False or (1 > 2)", true, false},
      {"3", true, true},
      {"0", true, false},
      // Not evaluated: false, with a reason.
      {"UNKNOWN > 1", false, false},
      {"TEXT = 1", false, false},
      {"SizeOf(Pointer) = 8", false, false},
      {"Defined()", false, false},
      {"Defined(FPC", false, false},
      {"(1 = 1", false, false},
      {"1 = 1 )", false, false},
      {"1 div 0", false, false},
      {"", false, false},
      {"SELF", false, false},  // a value that names itself ends
      {"((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((1))))))))))))))))))))"
       "))))))))))))))))))))))))))))))))))))))))))))))))",
       false, false},
  };
  for (const TCase &C : Cases) {
    const TEvaluation E = EvaluateCondition(C.Expression, D);
    EXPECT_EQ(E.Ok, C.Ok) << C.Expression << ": " << E.Error;
    EXPECT_EQ(E.Value, C.Value) << C.Expression;
    EXPECT_EQ(E.Error.empty(), C.Ok) << C.Expression;
  }
}

TEST(EvaluateConditionTest, ACommandLineValueOverridesACompilerConstant) {
  TDefines D;
  FillDefines(D, "CompilerVersion=15");
  EXPECT_FALSE(EvaluateCondition("CompilerVersion >= 20", D).Value);
  EXPECT_TRUE(EvaluateCondition("Defined(CompilerVersion)", D).Value);
  FillDefines(D, "");
  EXPECT_FALSE(EvaluateCondition("Defined(CompilerVersion)", D).Value);
}

// Sources read through the token stream: the significant tokens that remain.
struct RegionsTest : ::testing::Test {
  struct TWarnings : TRunReporter {
    void ReportStatus(const std::string &) override {}
    void ReportProgress(int, int) override {}
    void ReportWarning(const std::string &) override {}
    void ReportError(const std::string &) override {}
    void ReportSourceWarning(const std::string &File, int Line, const std::string &M) override {
      Log += std::filesystem::path(File).filename().string() + ":" + std::to_string(Line) + ": " +
             M + "\n";
    }
    std::string Log;
  } Warnings;
  test::TTempDir Dir;
  TRunState S;
  int Files = 0;

  RegionsTest() { S.Reporter = &Warnings; }

  std::string Significant(const std::string &Source, const std::string &Defines = "DEBUG;V=2") {
    TDefines D;
    FillDefines(D, Defines);
    S.Source.Conditionals.SetInitial(D);
    OpenSource(S, Dir.Write("r" + std::to_string(++Files) + ".pas", Source));
    std::string Out;
    for (Advance(S); !S.Source.AtEnd; Advance(S))
      Out.append(Out.empty() ? "" : " ").append(S.Source.Token.Text);
    S.Source.Scanner.Close();
    return Out;
  }
};

TEST_F(RegionsTest, RegionsNestAndBranchesSwitchWithinTheirOwnRegion) {
  struct TCase {
    const char *Source, *Expected;
  } Cases[] = {
      // An inner ENDIF closes only the inner region.
      {"{$IFDEF NONE} a {$IFDEF DEBUG} b {$ENDIF} c {$ENDIF} d", "d"},
      {"{$IFDEF DEBUG} a {$IFDEF NONE} b {$ENDIF} c {$ENDIF} d", "a c d"},
      // An ELSE inside a switched-off region does not switch the source on.
      {"{$IFDEF NONE} a {$IFDEF X} b {$ELSE} c {$ENDIF} d {$ELSE} e {$ENDIF} f", "e f"},
      {"{$IFNDEF DEBUG} a {$ELSE} b {$IFNDEF NONE} c {$ENDIF} {$ENDIF} d", "b c d"},
      // IF / ELSEIF / ELSE: the first true branch only.
      {"{$IF V = 1} a {$ELSEIF V = 2} b {$ELSEIF V > 1} c {$ELSE} d {$IFEND} e", "b e"},
      {"{$IF V = 1} a {$ELSEIF V = 5} b {$ELSE} c {$ENDIF} e", "c e"},
      {"{$IF Defined(DEBUG) and (V >= 2)} a {$ELSE} b {$IFEND} c", "a c"},
      // A region of the last branch taken: nothing of it inside a skipped one.
      {"{$IFDEF NONE} {$IF V = 2} a {$ELSEIF True} b {$IFEND} {$ENDIF} c", "c"},
      // IFOPT counts as false.
      {"{$IFOPT R+} a {$ELSE} b {$ENDIF} c", "b c"},
      // Directive names in any case; unknown directives change nothing.
      {"{$ifdef debug} a {$else} b {$endif} {$ELSEC} c {$ENDC} d", "a c d"},
      // An ENDIF, ELSE or ELSEIF without a region is passed over.
      {"{$ENDIF} a {$ELSE} b {$ELSEIF False} c", "a b c"},
      // "(*$ ... *)" works as "{$ ... }" does, and the two mix.
      {"(*$IFDEF NONE*) a (*$ELSE*) b (*$ENDIF*) c", "b c"},
      {"(*$DEFINE MINE*) {$IFDEF MINE} a (*$IF V = 2*) b {$IFEND} (*$ENDIF*) c", "a b c"},
  };
  for (const TCase &C : Cases) EXPECT_EQ(Significant(C.Source), C.Expected) << C.Source;
  EXPECT_EQ(Warnings.Log, "");
}

TEST_F(RegionsTest, DefinesActOnlyWhereTheSourceIsSwitchedOn) {
  struct TCase {
    const char *Source, *Expected;
  } Cases[] = {
      {"{$IFDEF NONE} {$DEFINE LATE} {$ENDIF} {$IFDEF LATE} y {$ENDIF} z", "z"},
      {"{$IFDEF NONE} {$UNDEF DEBUG} {$ENDIF} {$IFDEF DEBUG} y {$ENDIF}", "y"},
      {"{$DEFINE X}{$DEFINE x}{$UNDEF X}{$IFDEF X} a {$ENDIF} b", "b"},
      {"{$UNDEF NEVER} z", "z"},
      {"{$DEFINE N := 7} {$IF N = 7} seven {$IFEND}", "seven"},
      {"{$UNDEF DEBUG} {$IFDEF DEBUG} a {$ELSE} b {$ENDIF}", "b"},
  };
  for (const TCase &C : Cases) EXPECT_EQ(Significant(C.Source), C.Expected) << C.Source;
}

TEST_F(RegionsTest, EveryFileStartsWithTheRunsSymbolsAndNoOpenRegion) {
  EXPECT_EQ(Significant("a {$IFDEF NONE} b {$DEFINE MINE} {$UNDEF DEBUG}"), "a");
  EXPECT_TRUE(S.Source.Conditionals.Skipping());
  EXPECT_EQ(Significant("c {$ENDIF} d"), "c d");
  EXPECT_EQ(Significant("{$DEFINE MINE}{$UNDEF DEBUG}"), "");
  EXPECT_EQ(Significant("{$IFDEF MINE} m {$ENDIF} {$IFDEF DEBUG} g {$ENDIF}"), "g");
}

TEST_F(RegionsTest, AnExpressionThatCannotBeEvaluatedIsFalseWithAWarning) {
  EXPECT_EQ(Significant("a\r\n\r\n  {$IF SizeOf(Pointer) = 8} b {$ELSE} c {$IFEND}\n"
                        "{$IFDEF NONE}{$IF Nonsense}{$ENDIF}{$ENDIF} d"),
            "a c d");
  // Only the expression that was looked at; with the line it stands on.
  EXPECT_EQ(Warnings.Log,
            "r1.pas:3: {$IF} not evaluated (unknown function \"SizeOf\"): counts as "
            "false\n");
  Significant("x\r{$ELSEIF}");
  EXPECT_EQ(Warnings.Log.find("r2.pas"), std::string::npos);  // no region: not looked at
  Significant("x\r{$IF 1}{$ELSEIF}{$ENDIF}{$IF 0}{$ELSEIF Q}{$ENDIF}");
  EXPECT_NE(Warnings.Log.find("r3.pas:2: {$ELSEIF} not evaluated (unknown name \"Q\")"),
            std::string::npos);
}

// A whole run: values from the defines text reach every unit, and a warning
// about one place is given once although the passes read it three times.
TEST_F(RegionsTest, ARunTakesValuesFromTheDefinesTextAndWarnsOncePerPlace) {
  test::TTempDir Out;
  Dir.Write("P.dpr", "program P;\r\nuses U in 'U.pas', W in 'W.pas';\r\nbegin\r\nend.\r\n");
  for (const char *Name : {"U", "W"})
    Dir.Write(std::string(Name) + ".pas",
              std::string("unit ") + Name +
                  ";\r\ninterface\r\n{$IF LEVEL > 2}\r\nprocedure High;\r\n{$IFEND}\r\n"
                  "{$IF Odd(LEVEL)}\r\nprocedure Odd;\r\n{$IFEND}\r\nimplementation\r\nend.\r\n");
  int Symbols = 0;
  codeweft::Run(S, {(Dir.Path() / "P.dpr").string(), Out.Dir(), "", "LEVEL=3"}, Warnings,
                [&Symbols](const TSymbolTable &T, int) {
                  for (const TURElm &U : T.Units) Symbols += static_cast<int>(U.Idents.size());
                });
  EXPECT_EQ(Symbols, 2);  // High in each unit
  EXPECT_EQ(Warnings.Log,
            "U.pas:6: {$IF} not evaluated (unknown function \"Odd\"): counts as false\n"
            "W.pas:6: {$IF} not evaluated (unknown function \"Odd\"): counts as false\n");
}

}  // namespace
}  // namespace codeweft
