// Whole runs: the four phases in order over small projects, their files byte
// for byte, their reports, their links, and what a failing run leaves behind.
#include "codeweft/core/Run.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <filesystem>
#include <unistd.h>

#include "codeweft/core/Errors.h"
#include "tests/codeweft/core/LinkCheck.h"
#include "tests/codeweft/core/TempDir.h"

namespace codeweft {
namespace {

namespace fs = std::filesystem;
using test::BrokenLinks;
using test::ListingSource;
using test::ReadBytes;
using test::TTempDir;

const std::string DataDir = std::string(CW_SOURCE_DIR) + "/tests/data/codeweft/run/";

// Records every report as one line, in order.
class TLogReporter : public TRunReporter {
public:
  void ReportStatus(const std::string &Text) override { Log += "status " + Text + "\n"; }
  void ReportProgress(int Total, int Done) override {
    Log += "progress " + std::to_string(Done) + "/" + std::to_string(Total) + "\n";
  }
  void ReportWarning(const std::string &Message) override { Log += "warning " + Message + "\n"; }
  void ReportError(const std::string &Message) override { Log += "error " + Message + "\n"; }
  std::string Log;
};

// Runs with the current directory at Folder and a relative project name, so
// that the contents file's title does not depend on where the tests run.
TRunResult RunIn(const std::string &Folder, TRunInputs Inputs, TRunReporter &Reporter,
                 TRunState *State = nullptr, const TShowSymbols &ShowSymbols = {}) {
  const fs::path Before = fs::current_path();
  fs::current_path(Folder);
  TRunState Own;
  try {
    TRunResult R = Run(State ? *State : Own, Inputs, Reporter, ShowSymbols);
    fs::current_path(Before);
    return R;
  } catch (...) {
    fs::current_path(Before);
    throw;
  }
}

int OpenDescriptors() {
  int Count = 0;
  for ([[maybe_unused]] const auto &E : fs::directory_iterator("/proc/self/fd"))
    ++Count;
  return Count;
}

TEST(RunTest, DemoProjectMatchesGoldenFiles) {
  TTempDir Out;
  TLogReporter Reporter;
  std::vector<TGridRow> Rows;
  const TRunResult R = RunIn(DataDir + "Demo", {"Demo.dpr", Out.Dir(), "", ""}, Reporter, nullptr,
                             [&](const TSymbolTable &Symbols, int) { Rows = GridRows(Symbols); });
  std::set<std::string> Written;
  for (const auto &E : fs::directory_iterator(Out.Path()))
    Written.insert(E.path().filename());
  // The lock that keeps two runs apart stays (removing it would let a third
  // run lock a file a second run has opened).
  EXPECT_EQ(Written.erase(".codeweft.lock"), 1u);
  std::set<std::string> Expected;
  for (const auto &E : fs::directory_iterator(DataDir + "expected"))
    Expected.insert(E.path().filename());
  EXPECT_EQ(Written, Expected);
  for (const std::string &Name : Expected)
    EXPECT_EQ(ReadBytes(Out.Dir() + Name), ReadBytes(DataDir + "expected/" + Name)) << Name;
  // Main: unit row, Check, class row TForm1, Button1Click, TForm1 as a class
  // identifier; Tools: unit row, DoIt.
  EXPECT_EQ(R.SymbolsScanned, 7);
  ASSERT_EQ(Rows.size(), 7u);
  EXPECT_EQ(Rows[0][0], "Main:Main.pas");
  EXPECT_EQ(Rows[5][0], "Tools:lib\\Tools.pas");
  EXPECT_EQ(R.TimeTaken, "00:00:00");
}

TEST(RunTest, StatusAndProgressComeInTheirOrder) {
  TTempDir Out;
  TLogReporter Reporter;
  RunIn(DataDir + "Demo", {"Demo.dpr", Out.Dir(), "", ""}, Reporter);
  EXPECT_EQ(Reporter.Log, "status Scanning Project File ...\n"
                          "progress 1/1\n"
                          "status Building Symbol Table ...\n"
                          "progress 0/2\nprogress 1/2\nprogress 2/2\n"
                          "status Generating RTF and HTML ...\n"
                          "progress 0/2\nprogress 1/2\nprogress 2/2\n"
                          "status Creating Help Project and HTML Frame ...\n"
                          "progress 0/4\nprogress 1/4\nprogress 2/4\nprogress 3/4\nprogress 4/4\n"
                          "progress 0/4\n"
                          "status Time Taken: 00:00:00\n");
}

TEST(RunTest, AProjectWithoutUnitsWritesItsListingAndTheFrames) {
  TTempDir Src, Out;
  Src.Write("P.dpr", "program P;\r\nuses Forms;\r\nbegin\r\nend.\r\n");
  TLogReporter Reporter;
  const TRunResult R = RunIn(Src.Path(), {"P.dpr", Out.Dir(), "", ""}, Reporter);
  EXPECT_EQ(R.SymbolsScanned, 0);
  EXPECT_NE(Reporter.Log.find("status Building Symbol Table ...\nprogress 0/0\n"
                              "status Generating RTF and HTML ...\nprogress 0/0\n"),
            std::string::npos);
  EXPECT_TRUE(fs::exists(Out.Dir() + "P.html"));
  const std::string Content = ReadBytes(Out.Dir() + "content.html");
  EXPECT_NE(Content.find("<H3>Units</H3>\r\n<BR><A HREF = \"symbol-index.html\""),
            std::string::npos);
  EXPECT_TRUE(BrokenLinks(Out.Dir()).empty());
}

TEST(RunTest, BundledExampleHasNoBrokenLinkAndKeepsEverySource) {
  TTempDir Out;
  TLogReporter Reporter;
  const std::string Examples = std::string(CW_SOURCE_DIR) + "/examples";
  const TRunResult R = RunIn(Examples, {"Demo.dpr", Out.Dir(), "", "DEBUG"}, Reporter);
  EXPECT_GT(R.SymbolsScanned, 30);
  std::size_t Checked = 0;
  const std::vector<std::string> Broken = BrokenLinks(Out.Dir(), &Checked);
  EXPECT_TRUE(Broken.empty()) << Broken.front();
  EXPECT_GT(Checked, 40u);
  for (const auto &[Page, Source] : {std::pair{"Demo.html", "Demo.dpr"},
                                     {"Geometry.html", "Geometry.pas"},
                                     {"Shapes.html", "Shapes.pas"},
                                     {"Tools.html", "lib/Tools.pas"}})
    EXPECT_EQ(ListingSource(ReadBytes(Out.Dir() + Page)), ReadBytes(Examples + "/" + Source))
        << Page;
  // The cross-unit and the unit-qualified calls reach their anchors.
  const std::string Shapes = ReadBytes(Out.Dir() + "Shapes.html");
  EXPECT_NE(Shapes.find("<A HREF = \"Tools.html#tools_clamp\">Clamp</A>"), std::string::npos);
  EXPECT_NE(Shapes.find("<A HREF = \"Geometry.html\">Geometry</A>.<A HREF = "
                        "\"Geometry.html#geometry_describe\">Describe</A>"),
            std::string::npos);
}

TEST(RunTest, ALinkToARoutineWithoutImplementationIsWrittenPlain) {
  TTempDir Src, Out;
  Src.Write("P.dpr", "program P;\r\nuses U in 'U.pas';\r\nbegin\r\n  Gone;\r\nend.\r\n");
  Src.Write("U.pas", "unit U;\r\ninterface\r\ntype\r\n  TA = class\r\n"
                     "    procedure Abs1; virtual; abstract;\r\n    procedure Real1;\r\n  end;\r\n"
                     "procedure Gone;\r\nprocedure Here;\r\nimplementation\r\n"
                     "procedure TA.Real1;\r\nbegin\r\n  Gone;\r\n  Here;\r\nend;\r\n"
                     "procedure Here;\r\nbegin\r\nend;\r\nend.\r\n");
  TLogReporter Reporter;
  RunIn(Src.Path(), {"P.dpr", Out.Dir(), "", ""}, Reporter);
  const std::string Html = test::WithoutLineAnchors(ReadBytes(Out.Dir() + "U.html"));
  EXPECT_NE(Html.find("procedure</FONT></B> Abs1;"), std::string::npos);
  EXPECT_NE(Html.find("procedure</FONT></B> Gone;"), std::string::npos);
  EXPECT_NE(Html.find("<A HREF = \"#u_ta_real1\">Real1</A>"), std::string::npos);
  EXPECT_NE(Html.find("  Gone;\r\n  <A HREF = \"U.html#u_here\">Here</A>;"), std::string::npos);
  const std::vector<std::string> Broken = BrokenLinks(Out.Dir());
  EXPECT_TRUE(Broken.empty()) << Broken.front();
}

TEST(RunTest, AMissingUnitFileEndsTheRunClosingWhatWasOpen) {
  TTempDir Src, Out;
  Src.Write("P.dpr", "program P;\r\nuses A in 'A.pas', B in 'Missing.pas';\r\nbegin\r\nend.\r\n");
  Src.Write("A.pas", "unit A;\r\ninterface\r\nimplementation\r\nend.\r\n");
  const int Before = OpenDescriptors();
  const fs::path Cwd = fs::current_path();
  TLogReporter Reporter;
  TRunState State;
  EXPECT_THROW(RunIn(Src.Path(), {"P.dpr", Out.Dir(), "", ""}, Reporter, &State), EFOpenError);
  EXPECT_EQ(Reporter.Log.substr(Reporter.Log.rfind("status")),
            "status Building Symbol Table ...\nprogress 0/2\nprogress 1/2\n"
            "error Unit B (P.dpr line 2): Cannot open file \"Missing.pas\": No such file or "
            "directory\n");
  EXPECT_EQ(OpenDescriptors(), Before);
  EXPECT_EQ(fs::current_path(), Cwd);
  EXPECT_FALSE(fs::exists(Out.Dir() + "index.html"));
  EXPECT_FALSE(State.Source.TokenHook);
  // The same state runs again once the file is there.
  Src.Write("Missing.pas", "unit Missing;\r\ninterface\r\nimplementation\r\nend.\r\n");
  EXPECT_NO_THROW(RunIn(Src.Path(), {"P.dpr", Out.Dir(), "", ""}, Reporter, &State));
  EXPECT_TRUE(fs::exists(Out.Dir() + "Missing.html"));
}

TEST(RunTest, AnLprProjectWithDottedAndExtensionlessUnitsRunsAsGiven) {
  TTempDir Src, Out;
  Src.Write("P.lpr",
            "program P;\r\nuses\r\n  Shared.Common in 'Shared.Common',\r\n"
            "  Tools in 'lib\\Tools';\r\nbegin\r\n  Shout;\r\nend.\r\n");
  Src.Write("Shared.Common.pas",
            "unit Shared.Common;\r\ninterface\r\nprocedure Shout;\r\n"
            "implementation\r\nprocedure Shout;\r\nbegin\r\nend;\r\nend.\r\n");
  fs::create_directories(Src.Path() / "lib");
  Src.Write("lib/Tools.pp", "unit Tools;\r\ninterface\r\nimplementation\r\nend.\r\n");
  TLogReporter Reporter;
  RunIn(Src.Path(), {"P.lpr", Out.Dir(), "", ""}, Reporter);
  EXPECT_EQ(Reporter.Log.find("error"), std::string::npos) << Reporter.Log;
  EXPECT_FALSE(fs::exists(Src.Path() / "P.dpr"));
  for (const char *Page : {"P.html", "Shared.Common.html", "Tools.html", "index.html"})
    EXPECT_TRUE(fs::exists(Out.Dir() + Page)) << Page;
  const std::string Html = test::WithoutLineAnchors(ReadBytes(Out.Dir() + "P.html"));
  EXPECT_NE(Html.find("<A HREF = \"Shared.Common.html\">Shared.Common</A>"), std::string::npos);
  EXPECT_NE(Html.find("<A HREF = \"Tools.html\">Tools</A>"), std::string::npos);
  const std::vector<std::string> Broken = BrokenLinks(Out.Dir());
  EXPECT_TRUE(Broken.empty()) << Broken.front();
}

TEST(RunTest, AMissingUnitIsNamedWithItsProjectLine) {
  struct TCase {
    std::string Entry;     // the uses entry, on line 3 of P.lpr
    std::string Expected;  // the error reported
  };
  const std::vector<TCase> Cases = {
      {"Shared.Gone in '..\\Shared.Gone.pas'",
       "Unit Shared.Gone (P.lpr line 3): Cannot open file \"../Shared.Gone.pas\""},
      {"Gone in 'Gone'", "Unit Gone (P.lpr line 3): Cannot open file \"Gone\""},
      {"Gone in 'Gone.pp'", "Unit Gone (P.lpr line 3): Cannot open file \"Gone.pp\""},
  };
  for (const TCase &C : Cases) {
    TTempDir Src, Out;
    Src.Write("P.lpr",
              "program P;\r\nuses A in 'A.pas', {\r\n} " + C.Entry + ";\r\nbegin\r\nend.\r\n");
    Src.Write("A.pas", "unit A;\r\ninterface\r\nimplementation\r\nend.\r\n");
    TLogReporter Reporter;
    EXPECT_THROW(RunIn(Src.Path(), {"P.lpr", Out.Dir(), "", ""}, Reporter), EFOpenError);
    EXPECT_EQ(Reporter.Log.substr(Reporter.Log.rfind("error ")),
              "error " + C.Expected + ": No such file or directory\n");
  }
}

TEST(RunTest, AnOutputFileThatCannotBeCreatedEndsTheRun) {
  TTempDir Src;
  Src.Write("P.dpr", "program P;\r\nbegin\r\nend.\r\n");
  TLogReporter Reporter;
  const std::string Missing = Src.Dir() + "no/such/";
  EXPECT_THROW(RunIn(Src.Path(), {"P.dpr", Missing, "", ""}, Reporter), EFCreateError);
  EXPECT_NE(Reporter.Log.find("error Cannot create file \"" + Missing + "P.html\""),
            std::string::npos);
}

TEST(RunTest, AHelpCompilerThatCannotStartIsAWarningAndTheRunGoesOn) {
  TTempDir Out;
  TLogReporter Reporter;
  RunIn(DataDir + "Demo", {"Demo.dpr", Out.Dir(), "/no/such/hcrtf", ""}, Reporter);
  EXPECT_NE(Reporter.Log.find("progress 1/4\nwarning Failed to compile Help Project\n"
                              "Please Compile manually\nCannot start \"/no/such/hcrtf\": "
                              "No such file or directory\nprogress 2/4\n"),
            std::string::npos);
  EXPECT_TRUE(fs::exists(Out.Dir() + "content.html"));

  TLogReporter Quiet;
  RunIn(DataDir + "Demo", {"Demo.dpr", Out.Dir(), "/bin/true", ""}, Quiet);
  EXPECT_EQ(Quiet.Log.find("warning"), std::string::npos);
}

// The two passes over the units name the unit each works on: the symbol pass
// in the project's order, the listing pass in the sorted order.
TEST(RunTest, UnitProgressNamesTheUnitBeingWorkedOn) {
  class TUnitLog : public TLogReporter {
  public:
    void ReportUnitProgress(int Total, int Done, const std::string &NextUnit) override {
      Log += "unit " + std::to_string(Done) + "/" + std::to_string(Total) + " " + NextUnit + "\n";
    }
  };
  TTempDir Src, Out;
  Src.Write("P.dpr", "program P;\r\nuses Zed in 'Zed.pas', Alpha in 'Alpha.pas';\r\nbegin\r\nend.\r\n");
  Src.Write("Zed.pas", "unit Zed;\r\ninterface\r\nimplementation\r\nend.\r\n");
  Src.Write("Alpha.pas", "unit Alpha;\r\ninterface\r\nimplementation\r\nend.\r\n");
  TUnitLog Reporter;
  RunIn(Src.Path(), {"P.dpr", Out.Dir(), "", ""}, Reporter);
  const std::string &Log = Reporter.Log;
  // Both passes read the units in the order of the sorted list.
  EXPECT_NE(Log.find("status Building Symbol Table ...\nunit 0/2 Alpha\nunit 1/2 Zed\nunit 2/2 \n"
                     "status Generating RTF and HTML ...\nunit 0/2 Alpha\nunit 1/2 Zed\nunit 2/2 \n"
                     "status Creating Help Project and HTML Frame ...\nprogress 0/4\n"),
            std::string::npos)
      << Log;
  EXPECT_NE(Log.find("progress 1/1\n"), std::string::npos);
}

TEST(RunTest, DefinesTextDecidesTheConditionalRegions) {
  TTempDir Src, Out;
  Src.Write("P.dpr", "program P;\r\nuses U in 'U.pas';\r\nbegin\r\nend.\r\n");
  Src.Write("U.pas", "unit U;\r\ninterface\r\n{$IFDEF TRACE}\r\nprocedure Traced;\r\n{$ENDIF}\r\n"
                     "procedure Always;\r\nimplementation\r\nend.\r\n");
  TLogReporter Reporter;
  // " TRACE" (with its blank) is not TRACE.
  TRunResult R = RunIn(Src.Path(), {"P.dpr", Out.Dir(), "", "DEBUG; TRACE"}, Reporter);
  EXPECT_EQ(R.SymbolsScanned, 2);
  R = RunIn(Src.Path(), {"P.dpr", Out.Dir(), "", "DEBUG;TRACE"}, Reporter);
  EXPECT_EQ(R.SymbolsScanned, 3);
}

} // namespace
} // namespace codeweft
