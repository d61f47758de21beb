// The project scan: which units the uses clause yields, how the project's
// listing links them, and how unit files are found on this platform.
#include "codeweft/core/ProjectScan.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "codeweft/core/FileNames.h"
#include "codeweft/core/symbols/SymbolPass.h"
#include "tests/codeweft/core/LinkCheck.h"
#include "tests/codeweft/core/TempDir.h"

namespace codeweft {
namespace {

namespace fs = std::filesystem;
using test::ListingSource;
using test::ReadBytes;
using test::TTempDir;

class TNullReporter : public TRunReporter {
public:
  void ReportStatus(const std::string &) override {}
  void ReportProgress(int, int) override {}
  void ReportWarning(const std::string &) override {}
  void ReportError(const std::string &) override {}
  void ReportSourceWarning(const std::string &File, int Line, const std::string &Message) override {
    SourceWarnings.push_back(fs::path(File).filename().string() + ":" + std::to_string(Line) +
                             ": " + Message);
  }
  std::vector<std::string> SourceWarnings;
};

class ProjectScanTest : public ::testing::Test {
protected:
  // Scans Source as the project file P.dpr; the listing goes to Out.
  void Scan(const std::string &Source, const std::string &Defines = "", bool KeepGoing = false) {
    const std::string Project = Src.Write("P.dpr", Source);
    const fs::path Cwd = fs::current_path();
    State.Paths.BuildDir = Out.Dir();
    State.Paths.ProjectFile = Project;
    State.Symbols.CreateSymbols();
    TListingSink Sink;
    TTokenHookGuard Hook(State, Sink);
    State.Reporter = &Reporter;
    ScanProject(State, Sink, Project, Defines, Reporter, KeepGoing);
    State.Reporter = nullptr;
    Folder = fs::current_path();
    fs::current_path(Cwd);
    Html = test::WithoutLineAnchors(ReadBytes(Out.Dir() + "P.html"));
    EXPECT_EQ(ListingSource(Html), Source);
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> N;
    for (const TURElm &U : State.Symbols.Units) N.push_back(U.Name + ":" + U.FileName);
    return N;
  }

  TTempDir Src, Out;
  TRunState State;
  TNullReporter Reporter;
  std::string Html;
  fs::path Folder;
};

TEST_F(ProjectScanTest, OnlyEntriesWithInBecomeUnitsAndLinks) {
  Scan("program P;\r\n\r\nuses\r\n  Forms,\r\n  Main in 'Main.pas' {Form1},\r\n"
       "  Tools in 'lib\\Tools.pas';\r\n\r\nbegin\r\nend.\r\n");
  EXPECT_EQ(Names(), (std::vector<std::string>{"Main:Main.pas", "Tools:lib\\Tools.pas"}));
  EXPECT_NE(Html.find("  Forms,\r\n  <A HREF = \"Main.html\">Main</A> <B><FONT COLOR=\"#FFFFFF\">"
                      "in</FONT></B> <FONT COLOR=\"#C0C0C0\">'Main.pas'</FONT> "
                      "<I><FONT COLOR=\"#7F7F7F\">{Form1}</FONT></I>,"),
            std::string::npos);
  EXPECT_NE(Html.find("<A HREF = \"Tools.html\">Tools</A>"), std::string::npos);
  const std::string Rtf = ReadBytes(Out.Dir() + "P.rtf");
  EXPECT_NE(Rtf.find("{\\uldb Main}{\\v*unit_Main}\r\n \r\n\\b\\cf16 in\\b0\\cf12\r\n"),
            std::string::npos);
  // Unit files are named relative to the project's folder.
  EXPECT_EQ(Folder, Src.Path());
}

// With KeepGoing, an entry whose file cannot be read (missing, or a folder)
// is left out with a warning at its line, and its name is not linked; the
// entries around it are kept and linked as usual.
TEST_F(ProjectScanTest, KeepGoingSkipsUnreadableUnitsWithAWarning) {
  Src.Write("A.pas", "unit A;\r\nend.\r\n");
  fs::create_directory(Src.Path() / "Dir.pas");
  const std::string Source = "program P;\r\nuses A in 'A.pas',\r\n  My.Gone in 'gone\\My.Gone.pas',"
                             "\r\n  Dir in 'Dir.pas', B in 'b';\r\nbegin\r\nend.\r\n";
  Scan(Source, "", true);
  EXPECT_EQ(Names(), (std::vector<std::string>{"A:A.pas"}));
  EXPECT_EQ(Reporter.SourceWarnings,
            (std::vector<std::string>{
                "P.dpr:3: unit My.Gone skipped: Cannot open file \"gone/My.Gone.pas\": No such "
                "file or directory",
                "P.dpr:4: unit Dir skipped: Cannot open file \"Dir.pas\": Is a directory",
                "P.dpr:4: unit B skipped: Cannot open file \"b\": No such file or directory"}));
  EXPECT_NE(Html.find("<A HREF = \"A.html\">A</A>"), std::string::npos);
  for (const char *Skipped : {"My.Gone.html", "Dir.html", "B.html"})
    EXPECT_EQ(Html.find(Skipped), std::string::npos) << Skipped;

  // Without it the entries stay in the list, for the symbol pass to fail on.
  Reporter.SourceWarnings.clear();
  Scan(Source);
  EXPECT_EQ(Names().size(), 4u);
  EXPECT_TRUE(Reporter.SourceWarnings.empty());
}

TEST_F(ProjectScanTest, EveryUnitIsKeptHoweverManyThereAre) {
  Scan("program P;\r\nuses A in 'A.pas', B in 'B.pas', C in 'C.pas';\r\nbegin\r\nend.\r\n");
  EXPECT_EQ(Names(), (std::vector<std::string>{"A:A.pas", "B:B.pas", "C:C.pas"}));
}

TEST_F(ProjectScanTest, TheLinkGoesToThePageThatIsWritten) {
  // The page is named after the file, so Foo links to Bar.html.
  Scan("program P;\r\nuses Foo in 'Bar.pas';\r\nbegin\r\nend.\r\n");
  EXPECT_EQ(Names(), (std::vector<std::string>{"Bar:Bar.pas"}));
  EXPECT_NE(Html.find("<A HREF = \"Bar.html\">Foo</A>"), std::string::npos);
}

TEST_F(ProjectScanTest, ABrokenClauseKeepsWhatItFoundAndTheScanGoesOn) {
  Scan("program P;\r\nuses A in 'A.pas', B in 42, C in 'C.pas';\r\n"
       "uses D in 'D.pas', ;\r\nuses E in 'E.pas'\r\nbegin\r\nend.\r\n");
  // B's "in" has no file name; the scan restarts after it and meets no
  // "uses" until the second clause, which breaks after a comma; the third
  // lacks its ";" but has added E already.
  EXPECT_EQ(Names(), (std::vector<std::string>{"A:A.pas", "D:D.pas", "E:E.pas"}));
}

TEST_F(ProjectScanTest, DottedUnitNamesAreWholeNamesAndLinks) {
  Scan(
      "program P;\r\nuses\r\n  Shared.CommonFunc in '..\\Shared.CommonFunc.pas',\r\n"
      "  Vcl.Forms,\r\n  App.Main.View in 'App.Main.View.pas' {Form1},\r\n"
      "  Spaced . {c} Name in 'Spaced.Name.pas', Last in 'Last.pas';\r\nbegin\r\nend.\r\n");
  EXPECT_EQ(Names(), (std::vector<std::string>{"Shared.CommonFunc:..\\Shared.CommonFunc.pas",
                                               "App.Main.View:App.Main.View.pas",
                                               "Spaced.Name:Spaced.Name.pas", "Last:Last.pas"}));
  std::vector<std::string> Entries;
  for (const TURElm &U : State.Symbols.Units)
    Entries.push_back(U.EntryName + "@" + std::to_string(U.ProjectLine));
  EXPECT_EQ(Entries, (std::vector<std::string>{"Shared.CommonFunc@3", "App.Main.View@5",
                                               "Spaced.Name@6", "Last@6"}));
  EXPECT_NE(Html.find("  <A HREF = \"Shared.CommonFunc.html\">Shared.CommonFunc</A> <B>"),
            std::string::npos);
  EXPECT_NE(Html.find("  Vcl.Forms,\r\n  <A HREF = \"App.Main.View.html\">App.Main.View</A>"),
            std::string::npos);
  // A name broken by blanks or a comment stays plain text; the unit still counts.
  EXPECT_EQ(Html.find("Spaced.Name.html"), std::string::npos);
  EXPECT_NE(Html.find("<A HREF = \"Last.html\">Last</A>"), std::string::npos);
  const std::string Rtf = ReadBytes(Out.Dir() + "P.rtf");
  EXPECT_NE(Rtf.find("{\\uldb Shared.CommonFunc}{\\v*unit_Shared.CommonFunc}"), std::string::npos);
}

TEST_F(ProjectScanTest, ALargeProjectOfDottedNamesLosesNoUnit) {
  std::string Source = "program P;\r\nuses\r\n";
  std::vector<std::string> Expected;
  for (int I = 0; I < 125; ++I) {
    const std::string Name = "Area" + std::to_string(I % 7) + ".Unit" + std::to_string(I);
    Source += "  " + Name + " in '..\\" + Name + ".pas'" + (I < 124 ? ",\r\n" : ";\r\n");
    Expected.push_back(Name + ":..\\" + Name + ".pas");
  }
  Scan(Source + "begin\r\nend.\r\n");
  EXPECT_EQ(Names(), Expected);
}

TEST_F(ProjectScanTest, ABrokenDottedNameEndsTheClause) {
  Scan("program P;\r\nuses A in 'A.pas', B. in 'B.pas', C in 'C.pas';\r\nbegin\r\nend.\r\n");
  EXPECT_EQ(Names(), (std::vector<std::string>{"A:A.pas"}));
}

TEST_F(ProjectScanTest, AnInPathWithoutExtensionTriesPasThenPp) {
  struct TCase {
    std::vector<std::string> Files;  // present in the project's folder
    std::string Entry;               // the file the "in" entry names
    std::string Expected;            // the unit's name and file
  };
  const std::vector<TCase> Cases = {
      {{"Tools.pas"}, "Tools", "Tools:Tools.pas"},
      {{"Tools.pp"}, "Tools", "Tools:Tools.pp"},
      {{"Tools.pp", "Tools.pas"}, "Tools", "Tools:Tools.pas"},
      {{"lib/Tools.PP"}, "lib\\Tools", "Tools:lib\\Tools.pp"},
      {{"Sh.Common.pp"}, "Sh.Common", "Sh.Common:Sh.Common.pp"},
      {{"Tools.pas"}, "Tools.pas", "Tools:Tools.pas"},
      {{"Tools"}, "Tools", "Tools:Tools"},    // a file without extension that exists is used
      {{"lib/Tools.pas"}, "lib", "lib:lib"},  // a folder is no unit file
      {{}, "Gone", "Gone:Gone"},              // nothing found: as written, opening it fails later
  };
  for (const TCase &C : Cases) {
    for (const auto &Old : fs::directory_iterator(Src.Path())) fs::remove_all(Old.path());
    for (const std::string &F : C.Files) {
      fs::create_directories((Src.Path() / F).parent_path());
      Src.Write(F, "unit X;");
    }
    Scan("program P;\r\nuses U in '" + C.Entry + "';\r\nbegin\r\nend.\r\n");
    EXPECT_EQ(Names(), std::vector<std::string>{C.Expected}) << C.Entry;
    State.Symbols.CreateSymbols();
  }
}

TEST(ProjectFileOfTest, DprAndLprAreUsedAsGiven) {
  const std::vector<std::pair<std::string, std::string>> Cases = {
      {"Demo.dpr", "Demo.dpr"},
      {"Demo.lpr", "Demo.lpr"},
      {"lib/Demo.LPR", "lib/Demo.LPR"},
      {"Demo.DPR", "Demo.DPR"},
      {"Demo", "Demo.dpr"},
      {"Demo.pas", "Demo.dpr"},
      {"\"Demo.lpr\"", "Demo.lpr"},
      {"my.app/Demo", "my.app/Demo.dpr"},
      {"", ""},
  };
  for (const auto &[Given, Expected] : Cases) EXPECT_EQ(ProjectFileOf(Given), Expected) << Given;
}

TEST_F(ProjectScanTest, DefinesAreSplitAtSemicolonsOnly) {
  Scan("program P;\r\nbegin\r\nend.\r\n", ";FOO; BAR;;");
  EXPECT_EQ(State.Source.Conditionals.Initial().Names(), (std::vector<std::string>{"FOO", " BAR"}));
  Scan("program P;\r\nbegin\r\nend.\r\n", "");
  EXPECT_TRUE(State.Source.Conditionals.Initial().Names().empty());
}

TEST_F(ProjectScanTest, HostileTextInTheProjectNeverBecomesMarkup) {
  Scan("program P;\r\nuses X in 'a\"><script>.pas';\r\n// </PRE><b>\r\nbegin\r\nend.\r\n");
  EXPECT_EQ(Html.find("<script>"), std::string::npos);
  EXPECT_EQ(Html.find("</PRE><b>"), std::string::npos);
}

TEST(LocateSourceFileTest, BackslashesSeparateAndCaseIsMatchedPerComponent) {
  TTempDir Dir;
  fs::create_directories(Dir.Path() / "Lib" / "Sub");
  Dir.Write("Lib/Sub/Tools.pas", "unit Tools;");
  const fs::path Cwd = fs::current_path();
  fs::current_path(Dir.Path());
  EXPECT_EQ(LocateSourceFile("Lib\\Sub\\Tools.pas"), "Lib/Sub/Tools.pas");
  EXPECT_EQ(LocateSourceFile("LIB\\sub\\TOOLS.PAS"), "Lib/Sub/Tools.pas");
  EXPECT_EQ(LocateSourceFile("lib\\Missing.pas"), "lib/Missing.pas");
  EXPECT_EQ(LocateSourceFile((Dir.Path() / "lib/sub/tools.pas").string()),
            (Dir.Path() / "Lib/Sub/Tools.pas").string());
  fs::current_path(Cwd);
}

} // namespace
} // namespace codeweft
