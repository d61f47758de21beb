// The codeweft command line: its reports, its table, its exit status, and the
// program run as a user runs it.
#include "codeweft/cli/CliReporter.h"
#include "codeweft/cli/SymbolTable.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/codeweft/core/LinkCheck.h"
#include "tests/codeweft/core/TempDir.h"

namespace codeweft {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TTempDir;

struct TOutcome {
  int Status = -1;
  std::string Out, Err;
};

// Runs the program with Args (a shell-quoted string), stdout and stderr to files.
TOutcome RunProgram(const std::string &Args) {
  TTempDir Tmp;
  const std::string Out = Tmp.Dir() + "out", Err = Tmp.Dir() + "err";
  const std::string Command = std::string(CW_CLI_PROGRAM) + " " + Args + " >" + Out + " 2>" + Err;
  const int Raw = std::system(Command.c_str());
  TOutcome R;
  R.Status = WIFEXITED(Raw) ? WEXITSTATUS(Raw) : -1;
  R.Out = ReadBytes(Out);
  R.Err = ReadBytes(Err);
  return R;
}

std::string Examples() {
  return std::string(CW_SOURCE_DIR) + "/examples";
}

TEST(CliProgram, RunsTheExampleAndPrintsWhereIndexIs) {
  TTempDir Tmp;
  const std::string Build = Tmp.Dir() + "new/build";
  const TOutcome R = RunProgram(Examples() + "/Demo.dpr -o " + Build);
  ASSERT_EQ(R.Status, 0) << R.Err;
  EXPECT_EQ(R.Out, fs::canonical(Build).string() + "/index.html\n");
  EXPECT_EQ(R.Err.substr(0, R.Err.rfind("Time Taken: ")),
            "No help compiler given (--hcrtf): the help project is written, not compiled\n"
            "Scanning Project File ...\n"
            "Building Symbol Table ...\n"
            "Generating RTF and HTML ...\n"
            "Creating Help Project and HTML Frame ...\n"
            "Symbols scanned: 38\n");
  EXPECT_EQ(R.Err.substr(R.Err.rfind("Time Taken: ")), "Time Taken: 00:00:00\n");
  EXPECT_TRUE(test::BrokenLinks(Build).empty());
  EXPECT_TRUE(fs::exists(Build + "/Tools.rtf"));
}

TEST(CliProgram, SymbolsPrintsTheGridAsATable) {
  TTempDir Tmp;
  const TOutcome R = RunProgram(Examples() + "/Demo.dpr -o " + Tmp.Dir() + " --symbols");
  ASSERT_EQ(R.Status, 0) << R.Err;
  EXPECT_EQ(R.Out.substr(0, R.Out.find('\n') + 1),
            "Unit/Location          Class       Identifier  Type\n");
  EXPECT_NE(R.Out.find("\nTools:lib\\Tools.pas\n"), std::string::npos);
  EXPECT_NE(R.Out.find("\n                       TDrawing\n"), std::string::npos);
  EXPECT_NE(R.Out.find("\n                                   Clamp       Function\n"),
            std::string::npos);
}

TEST(CliProgram, DefinesReachTheConditionalRegions) {
  TTempDir Tmp;
  Tmp.Write("P.dpr", "program P;\r\nuses U in 'U.pas';\r\nbegin\r\nend.\r\n");
  Tmp.Write("U.pas", "unit U;\r\ninterface\r\n{$IFDEF TRACE}\r\nprocedure Traced;\r\n"
                     "{$ENDIF}\r\nimplementation\r\nend.\r\n");
  TOutcome R =
      RunProgram(Tmp.Dir() + "P.dpr -o " + Tmp.Dir() + "out --symbols --defines 'A;TRACE'");
  ASSERT_EQ(R.Status, 0) << R.Err;
  EXPECT_NE(R.Out.find("Traced"), std::string::npos);
  R = RunProgram(Tmp.Dir() + "P.dpr -o " + Tmp.Dir() + "out --symbols --defines 'A; TRACE'");
  EXPECT_EQ(R.Out.find("Traced"), std::string::npos);
}

TEST(CliProgram, AnLprProjectIsReadAsGiven) {
  TTempDir Tmp;
  Tmp.Write("P.lpr", "program P;\r\nuses App.Core in 'App.Core';\r\nbegin\r\nend.\r\n");
  Tmp.Write("App.Core.pp", "unit App.Core;\r\ninterface\r\nprocedure Go;\r\n"
                           "implementation\r\nend.\r\n");
  const TOutcome R = RunProgram(Tmp.Dir() + "P.lpr -o " + Tmp.Dir() + "out --symbols");
  ASSERT_EQ(R.Status, 0) << R.Err;
  EXPECT_NE(R.Out.find("\nApp.Core:App.Core.pp\n"), std::string::npos) << R.Out;
  EXPECT_TRUE(fs::exists(Tmp.Dir() + "out/App.Core.html"));
  EXPECT_TRUE(fs::exists(Tmp.Dir() + "out/P.html"));
}

TEST(CliProgram, AFileErrorNamesTheFileAndEndsWithStatusOne) {
  TTempDir Tmp;
  TOutcome R = RunProgram(Tmp.Dir() + "Nope.dpr -o " + Tmp.Dir() + "out");
  EXPECT_EQ(R.Status, 1);
  EXPECT_EQ(R.Err.substr(R.Err.find("codeweft: ")), "codeweft: Cannot open file \"" + Tmp.Dir() +
                                                        "Nope.dpr\": No such file or directory\n");
  EXPECT_EQ(R.Out, "");

  Tmp.Write("P.dpr", "program P;\r\nuses A in 'lib\\A.pas';\r\nbegin\r\nend.\r\n");
  R = RunProgram(Tmp.Dir() + "P.dpr -o " + Tmp.Dir() + "out");
  EXPECT_EQ(R.Status, 1);
  // The error is the last thing said.
  EXPECT_EQ(R.Err.substr(R.Err.find("Building")),
            "Building Symbol Table ...\n"
            "codeweft: Unit A (P.dpr line 2): Cannot open file \"lib/A.pas\": No such file or "
            "directory\n");
  EXPECT_FALSE(fs::exists(Tmp.Dir() + "out/index.html"));
}

// Every file of a folder by name, with its bytes.
std::map<std::string, std::string> FolderFiles(const fs::path &Dir) {
  std::map<std::string, std::string> Files;
  for (const auto &E : fs::directory_iterator(Dir))
    Files[E.path().filename()] = ReadBytes(E.path());
  return Files;
}

// Waits (at most a minute) until some file of Dir is the complete run's file
// instead of the previous one.
void WaitUntilAFileIsReplaced(const fs::path &Dir, const std::map<std::string, std::string> &Previous,
                              const std::map<std::string, std::string> &Complete) {
  for (int Waited = 0; Waited < 60000; Waited += 5) {
    for (const auto &[Name, Bytes] : Complete) {
      std::error_code Error;
      if (!fs::exists(Dir / Name, Error)) continue;
      const std::string Now = ReadBytes(Dir / Name);
      if (Now == Bytes && (!Previous.count(Name) || Previous.at(Name) != Bytes)) return;
    }
    ::usleep(5000);
  }
}

// A run stopped by SIGTERM or SIGINT at different moments leaves every file
// either as the previous run wrote it or as a complete run writes it, and no
// temporary file.
TEST(CliProgram, AnInterruptedRunLeavesEveryFileWholeAndNoTemporaryFile) {
  TTempDir Src, Out, Ref;
  std::string Uses;
  const auto WriteUnits = [&](const std::string &Mark) {
    Uses.clear();
    for (int U = 0; U < 6; ++U) {
      const std::string Name = "U" + std::to_string(U);
      std::string Body = "unit " + Name + ";\r\ninterface\r\nimplementation\r\n";
      for (int I = 0; I < 20000; ++I)
        Body += "{ " + Mark + " } X := Y; // comment\r\n";
      Src.Write(Name + ".pas", Body + "end.\r\n");
      Uses += (Uses.empty() ? "" : ", ") + Name + " in '" + Name + ".pas'";
    }
    Src.Write("P.dpr", "program P;\r\nuses " + Uses + ";\r\nbegin\r\nend.\r\n");
  };
  WriteUnits("old");
  ASSERT_EQ(RunProgram(Src.Dir() + "P.dpr -o " + Out.Dir()).Status, 0);
  const auto Previous = FolderFiles(Out.Path());
  WriteUnits("new");
  ASSERT_EQ(RunProgram(Src.Dir() + "P.dpr -o " + Ref.Dir()).Status, 0);
  const auto Complete = FolderFiles(Ref.Path());
  int Changed = 0;
  for (const int Signal : {SIGTERM, SIGINT}) {
    // -1: stop the run as soon as it has replaced a file, however slow the machine.
    for (const int DelayMs : {10, 100, 250, 400, 600, 1000, -1}) {
      const pid_t Child = ::fork();
      ASSERT_GE(Child, 0);
      if (Child == 0) {
        ::freopen("/dev/null", "w", stdout);
        ::freopen("/dev/null", "w", stderr);
        ::execl(CW_CLI_PROGRAM, CW_CLI_PROGRAM, (Src.Dir() + "P.dpr").c_str(), "-o",
                Out.Dir().c_str(), static_cast<char *>(nullptr));
        ::_exit(127);
      }
      if (DelayMs >= 0)
        ::usleep(static_cast<useconds_t>(DelayMs * 1000));
      else
        WaitUntilAFileIsReplaced(Out.Path(), Previous, Complete);
      ::kill(Child, Signal);
      int Status = 0;
      ::waitpid(Child, &Status, 0);
      for (const auto &[Name, Bytes] : FolderFiles(Out.Path())) {
        EXPECT_EQ(Name.find(".cw-tmp-"), std::string::npos) << Name << " left behind";
        if (Name.find(".cw-tmp-") != std::string::npos)
          continue;
        const bool Old = Previous.count(Name) && Previous.at(Name) == Bytes;
        const bool New = Complete.count(Name) && Complete.at(Name) == Bytes;
        EXPECT_TRUE(Old || New) << Name << " is neither the previous nor the new file";
        Changed += New && !Old;
      }
    }
  }
  EXPECT_GT(Changed, 0) << "no run got far enough to replace a file";
}

// A backslash in the build location separates folders, as in the run.
TEST(CliProgram, ABackslashInTheBuildLocationSeparatesFolders) {
  TTempDir Tmp;
  const TOutcome R = RunProgram(Examples() + "/Demo.dpr -o '" + Tmp.Dir() + "out\\sub'");
  EXPECT_EQ(R.Status, 0) << R.Err;
  EXPECT_TRUE(fs::exists(Tmp.Dir() + "out/sub/index.html"));
  EXPECT_FALSE(fs::exists(Tmp.Dir() + "out\\sub"));
}

TEST(CliProgram, AHelpCompilerThatCannotStartIsAWarning) {
  TTempDir Tmp;
  const TOutcome R =
      RunProgram(Examples() + "/Demo.dpr -o " + Tmp.Dir() + " --hcrtf /no/such/hcrtf");
  EXPECT_EQ(R.Status, 0);
  EXPECT_NE(R.Err.find("codeweft: warning: Failed to compile Help Project\n"
                       "  Please Compile manually\n"),
            std::string::npos);
  EXPECT_TRUE(fs::exists(Tmp.Dir() + "index.html"));
}

TEST(CliProgram, AWrongCommandLineShowsTheUsage) {
  for (const char *Args :
       {"", "Demo.dpr", "-o x", "Demo.dpr -o", "Demo.dpr -o x --bogus", "A.dpr B.dpr -o x"}) {
    const TOutcome R = RunProgram(Args);
    EXPECT_EQ(R.Status, 2) << Args;
    EXPECT_NE(R.Err.find("usage: codeweft PROJECT.dpr -o BUILD_DIR"), std::string::npos) << Args;
  }
}

TEST(CliReporterTest, ABarOnATerminalIsErasedBeforeEachLine) {
  std::FILE *F = std::tmpfile();
  {
    TCliReporter R(F, true);
    R.ReportProgress(4, 1);
    R.ReportStatus("Next ...");
    R.ReportProgress(0, 0);
  }
  std::rewind(F);
  char Buf[512] = {};
  const std::size_t N = std::fread(Buf, 1, sizeof Buf, F);
  std::fclose(F);
  EXPECT_EQ(std::string(Buf, N), "\r[#######.......................]  25%\r\033[KNext ...\n"
                                 "\r[..............................]   0%\r\033[K");
}

TEST(CliReporterTest, WithoutATerminalOnlyLinesAreWritten) {
  std::FILE *F = std::tmpfile();
  {
    TCliReporter R(F, false);
    R.ReportProgress(2, 1);
    R.ReportStatus("A");
    R.ReportWarning("one\ntwo");
    R.ReportSourceWarning("U.pas", 12, "declarations end early at \"<\"");
    R.ReportError("Cannot open file \"x\": No such file or directory");
  }
  std::rewind(F);
  char Buf[512] = {};
  const std::size_t N = std::fread(Buf, 1, sizeof Buf, F);
  std::fclose(F);
  EXPECT_EQ(std::string(Buf, N), "A\ncodeweft: warning: one\n  two\n"
                                 "U.pas:12: warning: declarations end early at \"<\"\n"
                                 "codeweft: Cannot open file \"x\": No such file or directory\n");
}

TEST(SymbolTableTextTest, ColumnsAreAsWideAsTheirLongestCell) {
  const std::vector<TGridRow> Rows = {{"Main:Main.pas", "", "", ""},
                                      {"", "", "Go", "Procedure"},
                                      {"", "TForm1", "", ""},
                                      {"", "", "Button1Click", "Procedure"}};
  EXPECT_EQ(SymbolTableText(Rows), "Unit/Location  Class   Identifier    Type\n"
                                   "Main:Main.pas\n"
                                   "                       Go            Procedure\n"
                                   "               TForm1\n"
                                   "                       Button1Click  Procedure\n");
  EXPECT_EQ(SymbolTableText({}), "Unit/Location  Class  Identifier  Type\n");
}

} // namespace
} // namespace codeweft
