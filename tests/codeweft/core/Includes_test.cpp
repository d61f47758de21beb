// Include files: how a directive names its file, how the token stream follows
// it, and what a whole run makes of it (symbols, pages, anchors and links).
#include "codeweft/core/lex/Includes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "LinkCheck.h"
#include "TestFiles.h"
#include "codeweft/core/Run.h"
#include "codeweft/core/lex/TokenStream.h"

namespace codeweft {
namespace {

namespace fs = std::filesystem;

TEST(IncludeNameTest, TheFileADirectiveNames) {
  struct TCase {
    const char *Name, *Argument, *Expected;
  } Cases[] = {
      {"I", "defs.inc", "defs.inc"},
      {"i", "defs", "defs"},
      {"INCLUDE", "sub\\a.inc ", "sub\\a.inc"},
      {"Include", "'my file.inc'", "my file.inc"},
      {"I", "%DATE%", ""},
      {"I", "%FPCTARGET%", ""},
      {"I", "", ""},
      {"I", "+", ""},
      {"I+", "", ""},
      {"IFDEF", "x.inc", ""},
      {"INCLUDEPATH", "x", ""},
  };
  for (const TCase &C : Cases)
    EXPECT_EQ(IncludeName(C.Name, C.Argument), C.Expected) << C.Name << " " << C.Argument;
}

TEST(FindIncludeFileTest, RelativeToTheIncludingFileWithExtensionsTried) {
  test::TTempDir Dir;
  fs::create_directories(Dir.Path() / "src" / "Inc");
  const std::string Unit = Dir.Write("src/U.pas", "");
  Dir.Write("src/Inc/Defs.inc", "");
  Dir.Write("src/plain", "");
  Dir.Write("src/plain.inc", "");
  Dir.Write("src/body.pp", "");
  const std::string Src = (Dir.Path() / "src").string() + "/";
  EXPECT_EQ(FindIncludeFile(Unit, "inc\\defs"), Src + "Inc/Defs.inc");
  EXPECT_EQ(FindIncludeFile(Unit, "Inc/Defs.inc"), Src + "Inc/Defs.inc");
  EXPECT_EQ(FindIncludeFile(Unit, "plain"), Src + "plain");  // as given first
  EXPECT_EQ(FindIncludeFile(Unit, "body"), Src + "body.pp");
  EXPECT_EQ(FindIncludeFile(Unit, Src + "plain.inc"), Src + "plain.inc");
  EXPECT_EQ(FindIncludeFile(Unit, "missing"), "");
  EXPECT_EQ(FindIncludeFile(Unit, "Inc"), "");  // a folder is no include file
}

TEST(LineAtOffsetTest, LineEndsOfEveryKind) {
  test::TTempDir Dir;
  const std::string F = Dir.Write("f.pas",
                                  "\xEF\xBB\xBF"
                                  "a\r\nb\nc\rd");
  EXPECT_EQ(LineAtOffset(F, 0), 1);
  EXPECT_EQ(LineAtOffset(F, 3), 2);  // past CR LF
  EXPECT_EQ(LineAtOffset(F, 5), 3);
  EXPECT_EQ(LineAtOffset(F, 7), 4);
  EXPECT_EQ(LineAtOffset(F, 100), 4);
  EXPECT_EQ(LineAtOffset(Dir.Dir() + "none", 3), 0);
}

// The token stream over a unit that includes files of a scratch folder.
struct IncludeStreamTest : ::testing::Test {
  struct TWarnings : TRunReporter {
    void ReportStatus(const std::string &) override {}
    void ReportProgress(int, int) override {}
    void ReportWarning(const std::string &) override {}
    void ReportError(const std::string &) override {}
    void ReportSourceWarning(const std::string &File, int Line, const std::string &M) override {
      Log += fs::path(File).filename().string() + ":" + std::to_string(Line) + ": " + M + "\n";
    }
    std::string Log;
  } Warnings;
  test::TTempDir Dir;
  TRunState S;
  std::string Outer;   // what the hook saw of the unit itself
  std::string Events;  // include files entered and left

  IncludeStreamTest() {
    S.Reporter = &Warnings;
    S.Source.TokenHook = [this] {
      if (S.Source.Includes.empty()) Outer += S.Source.Token.Text;
    };
    S.Source.IncludeHook = [this](bool Entering) {
      Events += (Entering ? "+" : "-") +
                fs::path(S.Source.Includes.back().Scanner->FileName()).filename().string() + " ";
    };
  }

  std::string Significant(const std::string &Unit) {
    OpenSource(S, Dir.Write("U.pas", Unit));
    std::string Out;
    for (Advance(S); !S.Source.AtEnd; Advance(S))
      Out.append(Out.empty() ? "" : " ").append(S.Source.Token.Text);
    EXPECT_TRUE(S.Source.Includes.empty());
    return Out;
  }
};

TEST_F(IncludeStreamTest, IncludedTokensComeAtTheDirectiveAndTheUnitStaysWhole) {
  fs::create_directories(Dir.Path() / "inc");
  Dir.Write("inc/a.inc", "x {$I b} y");
  Dir.Write("inc/b.inc", "{$DEFINE FROMB} z");
  const std::string Unit = "a {$I inc\\a.inc} b {$IFDEF FROMB} c {$ENDIF}";
  EXPECT_EQ(Significant(Unit), "a x z y b c");
  EXPECT_EQ(Outer, Unit);
  EXPECT_EQ(Events, "+a.inc +b.inc -b.inc -a.inc ");
  EXPECT_EQ(Warnings.Log, "");
}

TEST_F(IncludeStreamTest, TheParenStarFormIncludesToo) {
  Dir.Write("p.inc", "x (*$INCLUDE q.inc*) y");
  Dir.Write("q.inc", "z");
  const std::string Unit = "a (*$I p.inc*) b";
  EXPECT_EQ(Significant(Unit), "a x z y b");
  EXPECT_EQ(Outer, Unit);
  EXPECT_EQ(Events, "+p.inc +q.inc -q.inc -p.inc ");
}

TEST_F(IncludeStreamTest, IncludesInSwitchedOffRegionsAndBuiltInsAreNotFollowed) {
  Dir.Write("a.inc", "x");
  EXPECT_EQ(Significant("{$IFDEF NONE}{$I a.inc}{$I missing}{$ENDIF} {$I %DATE%} {$I+} b"), "b");
  EXPECT_EQ(Events, "");
  EXPECT_EQ(Warnings.Log, "");
}

TEST_F(IncludeStreamTest, AMissingOrEndlesslyNestedIncludeIsAWarning) {
  Dir.Write("self.inc", "s {$I self.inc}");
  EXPECT_EQ(Significant("a\r\n{$I nothere} b {$INCLUDE self}"),
            "a b s s s s s s s s s s s s s s s s");
  EXPECT_EQ(Warnings.Log,
            "U.pas:2: include file \"nothere\" not found\n"
            "self.inc:1: include file \"self.inc\" not read: include files nested "
            "more than 16 deep\n");
}

TEST_F(IncludeStreamTest, AScanningErrorInAnIncludeEndsOnlyTheInclude) {
  Dir.Write("bad.inc", "p 'open");
  EXPECT_EQ(Significant("a {$I bad} b"), "a p b");
  EXPECT_EQ(Outer, "a {$I bad} b");
}

// A whole run over a project whose unit keeps declarations and routine
// bodies in include files.
struct IncludeRunTest : ::testing::Test {
  struct TReporter : TRunReporter {
    void ReportStatus(const std::string &) override {}
    void ReportProgress(int, int) override {}
    void ReportWarning(const std::string &) override {}
    void ReportError(const std::string &M) override { Log += "error " + M + "\n"; }
    void ReportSourceWarning(const std::string &File, int Line, const std::string &M) override {
      Log += fs::path(File).filename().string() + ":" + std::to_string(Line) + ": " + M + "\n";
    }
    std::string Log;
  } Reporter;
  test::TTempDir Src, Out;
  std::set<std::string> Symbols;

  void RunProject() {
    TRunState S;
    codeweft::Run(S, {(Src.Path() / "P.dpr").string(), Out.Dir(), "", ""}, Reporter,
                  [this](const TSymbolTable &T, int) {
                    for (const TURElm &U : T.Units)
                      for (const TRefElm &R : U.Idents) Symbols.insert(U.Name + "." + R.Name);
                  });
  }
  std::string Page(const std::string &Name) { return test::ReadBytes(Out.Dir() + Name); }
};

TEST_F(IncludeRunTest, IncludedRoutinesAreDeclaredListedOnTheirOwnPageAndLinked) {
  fs::create_directories(Src.Path() / "a");
  fs::create_directories(Src.Path() / "b");
  Src.Write("P.dpr", "program P;\r\nuses U in 'U.pas', V in 'V.pas';\r\nbegin\r\nend.\r\n");
  const std::string U =
      "unit U;\r\ninterface\r\n{$I decl.inc}\r\nprocedure Own;\r\n"
      "implementation\r\n{$I a\\same.inc}\r\n{$I b/same.inc}\r\n"
      "procedure Own;\r\nbegin\r\n  Shared;\r\nend;\r\n{$I gone.inc}\r\nend.\r\n";
  Src.Write("U.pas", U);
  Src.Write("decl.inc", "procedure Shared;\r\nfunction Other: Integer;\r\n");
  const std::string SameA = "procedure Shared;\r\nbegin\r\n  Own;\r\nend;\r\n";
  Src.Write("a/same.inc", SameA);
  Src.Write("b/same.inc", "function Other: Integer;\r\nbegin\r\n  Result := 0;\r\nend;\r\n");
  Src.Write("V.pas",
            "unit V;\r\ninterface\r\nuses U;\r\nimplementation\r\n"
            "procedure Call;\r\nbegin\r\n  Shared; Other;\r\nend;\r\nend.\r\n");
  RunProject();
  EXPECT_EQ(Reporter.Log, "U.pas:12: include file \"gone.inc\" not found\n");
  // Declarations of the include file enter the symbol table.
  EXPECT_EQ(Symbols.count("U.Shared"), 1u);
  EXPECT_EQ(Symbols.count("U.Other"), 1u);
  // The unit's page is the unit's text; each include file with routine
  // bodies has a page of its own with its text, named after it; the one with
  // declarations only has none.
  EXPECT_EQ(test::ListingSource(Page("U.html")), U);
  EXPECT_EQ(test::ListingSource(Page("same.inc.html")), SameA);
  ASSERT_TRUE(fs::exists(Out.Dir() + "same.inc~2.html"));
  ASSERT_TRUE(fs::exists(Out.Dir() + "same.inc~2.rtf"));
  EXPECT_FALSE(fs::exists(Out.Dir() + "decl.inc.html"));
  // The directive links to the page; calls and declarations reach the
  // routines' anchors there.
  EXPECT_NE(Page("U.html").find("<A HREF = \"same.inc.html\">{$I a\\same.inc}</A>"),
            std::string::npos);
  EXPECT_NE(Page("U.html").find("same.inc.html#u_shared"), std::string::npos);
  EXPECT_NE(Page("V.html").find("same.inc.html#u_shared"), std::string::npos);
  EXPECT_NE(Page("V.html").find("same.inc~2.html#u_other"), std::string::npos);
  EXPECT_NE(Page("same.inc.html").find("<A NAME = \"u_shared\">"), std::string::npos);
  EXPECT_NE(Page("same.inc.html").find("#u_own"), std::string::npos);
  EXPECT_EQ(test::BrokenLinks(Out.Dir()), std::vector<std::string>());
}

// An include file read twice (by two units, or twice by one) is written
// once, as the first reading saw it; links to routines of a later reading
// stay plain rather than lead nowhere.
TEST_F(IncludeRunTest, AnIncludeFileReadTwiceIsWrittenOnce) {
  Src.Write("P.dpr",
            "program P;\r\nuses A in 'A.pas', B in 'B.pas', C in 'C.pas';\r\n"
            "begin\r\nend.\r\n");
  Src.Write("body.inc", "procedure R;\r\nbegin\r\nend;\r\n");
  Src.Write("twice.inc",
            "{$IFDEF ONE}procedure T1;{$ELSE}procedure T2;{$ENDIF}\r\nbegin\r\nend;\r\n");
  Src.Write("C.pas",
            "unit C;\r\ninterface\r\nprocedure T1;\r\nprocedure T2;\r\nimplementation\r\n"
            "{$DEFINE ONE}{$I twice.inc}{$UNDEF ONE}{$I twice.inc}\r\nend.\r\n");
  for (const char *Name : {"A", "B"})
    Src.Write(std::string(Name) + ".pas", std::string("unit ") + Name +
                                              ";\r\ninterface\r\nprocedure R;\r\nimplementation\r\n"
                                              "{$I body.inc}\r\nend.\r\n");
  RunProject();
  EXPECT_EQ(Reporter.Log, "");
  EXPECT_EQ(test::ListingSource(Page("body.inc.html")), "procedure R;\r\nbegin\r\nend;\r\n");
  EXPECT_NE(Page("A.html").find("body.inc.html#a_r"), std::string::npos);
  EXPECT_EQ(Page("B.html").find("#b_r"), std::string::npos);
  EXPECT_NE(Page("B.html").find("<A HREF = \"body.inc.html\">"), std::string::npos);
  EXPECT_NE(Page("C.html").find("twice.inc.html#c_t1"), std::string::npos);
  EXPECT_EQ(Page("C.html").find("#c_t2"), std::string::npos);
  EXPECT_EQ(test::BrokenLinks(Out.Dir()), std::vector<std::string>());
}

}  // namespace
}  // namespace codeweft
