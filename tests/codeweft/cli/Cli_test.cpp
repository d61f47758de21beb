// The codeweft command line: its reports, its table, its exit status, and the
// program run as a user runs it.
#include "codeweft/cli/CliReporter.h"
#include "codeweft/cli/CommandLine.h"
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

// Each case: the arguments (after the project's own), the exit status, and
// the first lines of stdout and stderr.
TEST(CliProgram, ExitStatusAndFirstLineForEachKindOfCommandLine) {
  TTempDir Tmp;
  const std::string Demo = Examples() + "/Demo.dpr";
  const std::string Out = Tmp.Dir() + "out";
  struct TCase {
    std::string Args;
    int Status;
    std::string OutLine, ErrLine;
  };
  const std::string Hint = "Try 'codeweft --help' for more information.";
  const std::vector<TCase> Cases = {
      {"", 2, "", "codeweft: no project file given"},
      {"Demo.dpr", 2, "", "codeweft: no build location given (-o BUILD_DIR)"},
      {"-o x", 2, "", "codeweft: no project file given"},
      {"Demo.dpr -o", 2, "", "codeweft: option -o needs a value"},
      {"Demo.dpr -o x --bogus", 2, "", "codeweft: unknown option --bogus"},
      {"Demo.dpr -o x -z", 2, "", "codeweft: unknown option -z"},
      {"A.dpr B.dpr -o x", 2, "", "codeweft: only one project file, not also B.dpr"},
      {"Demo.dpr -o x --symbols=yes", 2, "", "codeweft: option --symbols takes no value"},
      {"--help --bogus", 0, "usage: codeweft [OPTION]... PROJECT.dpr -o BUILD_DIR", ""},
      {"-h", 0, "usage: codeweft [OPTION]... PROJECT.dpr -o BUILD_DIR", ""},
      {"--version", 0, "codeweft " CW_VERSION, ""},
      {Demo + " --output=" + Out + " -q", 0, Out + "/index.html", ""},
      {"-qo" + Out + " -- " + Demo, 0, Out + "/index.html", ""},
      {Demo + " -o " + Out + " --quiet --hcrtf=/no/such/hc", 0, Out + "/index.html",
       "codeweft: warning: Failed to compile Help Project"},
      {Tmp.Dir() + "Nope.dpr -qo " + Out, 1, "",
       "codeweft: Cannot open file \"" + Tmp.Dir() + "Nope.dpr\": No such file or directory"},
  };
  const auto FirstLine = [](const std::string &Text) { return Text.substr(0, Text.find('\n')); };
  for (const TCase &C : Cases) {
    const TOutcome R = RunProgram(C.Args);
    EXPECT_EQ(R.Status, C.Status) << C.Args << "\n" << R.Err;
    EXPECT_EQ(FirstLine(R.Out), C.OutLine) << C.Args;
    EXPECT_EQ(FirstLine(R.Err), C.ErrLine) << C.Args;
    // A wrong command line is one line and the hint, not the whole usage.
    if (C.Status == 2)
      EXPECT_EQ(R.Err, C.ErrLine + "\n" + Hint + "\n") << C.Args;
  }
  // --help lists the exit statuses.
  const TOutcome Help = RunProgram("--help");
  EXPECT_NE(Help.Out.find("Exit status:\n  0  the run completed\n  1  the run failed"),
            std::string::npos);
  EXPECT_NE(Help.Out.find("  2  the command line was wrong\n"), std::string::npos);
}

TEST(CliProgram, KeepGoingSkipsAMissingUnitWithAWarningAndLeavesItsNamePlain) {
  TTempDir Tmp;
  Tmp.Write("P.dpr", "program P;\r\nuses A in 'A.pas',\r\n  Gone in 'lib\\Gone.pas';\r\n"
                     "begin\r\nend.\r\n");
  Tmp.Write("A.pas", "unit A;\r\ninterface\r\nuses Gone;\r\nprocedure X;\r\n"
                     "implementation\r\nprocedure X; begin Gone.Y; end;\r\nend.\r\n");
  const std::string Args = Tmp.Dir() + "P.dpr -o " + Tmp.Dir() + "out";
  TOutcome R = RunProgram(Args);
  EXPECT_EQ(R.Status, 1);
  EXPECT_NE(R.Err.find("codeweft: Unit Gone (P.dpr line 3): Cannot open file"), std::string::npos)
      << R.Err;

  R = RunProgram(Args + " --keep-going");
  ASSERT_EQ(R.Status, 0) << R.Err;
  EXPECT_NE(R.Err.find("\n" + Tmp.Dir() + "P.dpr:3: warning: unit Gone skipped: Cannot open file "
                       "\"lib/Gone.pas\": No such file or directory\nBuilding Symbol Table"),
            std::string::npos)
      << R.Err;
  EXPECT_TRUE(test::BrokenLinks(Tmp.Dir() + "out").empty());
  for (const char *Page : {"P.html", "A.html", "content.html"})
    EXPECT_EQ(ReadBytes(Tmp.Dir() + "out/" + Page).find("Gone.html"), std::string::npos) << Page;
  EXPECT_FALSE(fs::exists(Tmp.Dir() + "out/Gone.html"));
  EXPECT_TRUE(fs::exists(Tmp.Dir() + "out/A.html"));

  // --quiet silences the warning with the status lines.
  R = RunProgram(Args + " -kq");
  EXPECT_EQ(R.Status, 0);
  EXPECT_EQ(R.Err, "");
}

// A relative help compiler path is taken from the current directory, not
// from the project's folder the run moves to; a failed start names the path.
TEST(CliProgram, ARelativeHelpCompilerIsFoundFromTheCurrentDirectory) {
  TTempDir Work, Src;
  Src.Write("P.dpr", "program P;\r\nbegin\r\nend.\r\n");
  const std::string Seen = Work.Dir() + "seen";
  fs::create_directory(Work.Path() / "tools");
  Work.Write("tools/hc", "#!/bin/sh\necho \"$1 $2\" > " + Seen + "\n");
  fs::permissions(Work.Dir() + "tools/hc", fs::perms::owner_all);
  const std::string Cd = "cd " + Work.Dir() + " && " + CW_CLI_PROGRAM;
  const std::string Run = Src.Dir() + "P.dpr -qo out --hcrtf ";
  ASSERT_EQ(std::system((Cd + " " + Run + "tools/hc >/dev/null 2>&1").c_str()), 0);
  std::string Line;
  for (int I = 0; I < 200 && Line.empty(); ++I) {
    ::usleep(25000);
    if (fs::exists(Seen)) Line = ReadBytes(Seen);
  }
  EXPECT_EQ(Line, "-x " + Work.Dir() + "out/P.hpj\n");

  const std::string Err = Work.Dir() + "err";
  ASSERT_EQ(std::system((Cd + " " + Run + "tools/missing 2>" + Err + " >/dev/null").c_str()), 0);
  EXPECT_EQ(ReadBytes(Err), "codeweft: warning: Failed to compile Help Project\n"
                            "  Please Compile manually\n"
                            "  Cannot start \"" + Work.Dir() + "tools/missing\": No such file or "
                            "directory\n");
}

TEST(CommandLineTest, OptionsAndTheirValuesInEveryForm) {
  struct TCase {
    std::vector<std::string> Args;
    std::string Project, BuildDir, Hcrtf, Defines;
    bool Symbols, Quiet, KeepGoing;
  };
  const std::vector<TCase> Cases = {
      {{"P.dpr", "-o", "out"}, "P.dpr", "out", "", "", false, false, false},
      {{"-oout", "P.dpr"}, "P.dpr", "out", "", "", false, false, false},
      {{"--output=out", "P.dpr", "--hcrtf=hc", "--defines=A;B"}, "P.dpr", "out", "hc", "A;B",
       false, false, false},
      {{"--output", "out", "--defines", "", "P.dpr"}, "P.dpr", "out", "", "", false, false, false},
      {{"--defines=X=1", "-o", "o", "P"}, "P", "o", "", "X=1", false, false, false},
      {{"-qk", "-o", "o", "P", "--symbols"}, "P", "o", "", "", true, true, true},
      {{"--quiet", "--keep-going", "-o", "o", "P"}, "P", "o", "", "", false, true, true},
      {{"-kqo", "o", "P"}, "P", "o", "", "", false, true, true},
      {{"-o", "o", "--", "-P.dpr"}, "-P.dpr", "o", "", "", false, false, false},
      {{"-o", "o", "-"}, "-", "o", "", "", false, false, false},
      {{"-o", "a", "-o", "b", "P"}, "P", "b", "", "", false, false, false},
  };
  for (const TCase &C : Cases) {
    const TCommandLine L = ParseCommandLine(C.Args);
    ASSERT_EQ(L.Action, TCliAction::caRun) << C.Args[0] << ": " << L.Error;
    EXPECT_EQ(L.Inputs.ProjectFile, C.Project);
    EXPECT_EQ(L.Inputs.BuildDir, C.BuildDir);
    EXPECT_EQ(L.Inputs.HcrtfPath, C.Hcrtf);
    EXPECT_EQ(L.Inputs.Defines, C.Defines);
    EXPECT_EQ(L.Symbols, C.Symbols);
    EXPECT_EQ(L.Quiet, C.Quiet);
    EXPECT_EQ(L.Inputs.KeepGoing, C.KeepGoing);
  }
  // An option after "--" is a name; "--" twice makes the second one a name too.
  EXPECT_EQ(ParseCommandLine({"-o", "o", "--", "--", "P"}).Error,
            "only one project file, not also P");
  EXPECT_EQ(ParseCommandLine({"-o", "o", "P", "--hcrtf"}).Error, "option --hcrtf needs a value");
  EXPECT_EQ(ParseCommandLine({"-o", "o", "P", "--version=2"}).Error,
            "option --version takes no value");
  EXPECT_EQ(ParseCommandLine({"--output=", "P"}).Error, "no build location given (-o BUILD_DIR)");
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
  EXPECT_EQ(std::string(Buf, N), "\r[#######.......................]  25%\033[K\r\033[KNext ...\n"
                                 "\r[..............................]   0%\033[K\r\033[K");
}

TEST(CliReporterTest, AUnitProgressLineNamesTheUnitAndFitsTheTerminal) {
  struct TCase {
    int Total, Done;
    std::string Unit;
    int Columns;
    std::string Line;
  };
  const std::string Quarter = "[#######.......................]  25%";
  const std::vector<TCase> Cases = {
      {8, 2, "Tools", 80, Quarter + "  unit 3/8: Tools"},
      {8, 8, "", 80, "[##############################] 100%  unit 8/8"},
      {0, 0, "", 80, "[..............................]   0%"},
      // A long name keeps its end; the line stays one column short of the width.
      {4, 1, "Shared.Very.Long.Unit.Name", 62, Quarter + "  unit 2/4: ...Unit.Name"},
      {4, 1, "Tools", 40, Quarter},
      {4, 1, "Tools", 20, Quarter.substr(0, 19)},
  };
  for (const TCase &C : Cases)
    EXPECT_EQ(TCliReporter::UnitLine(C.Total, C.Done, C.Unit, C.Columns), C.Line) << C.Unit;

  // Quiet: only the warning that is not about a source, and the error, show.
  std::FILE *F = std::tmpfile();
  {
    TCliReporter R(F, true, 80, true);
    R.ReportStatus("A");
    R.ReportUnitProgress(2, 1, "U");
    R.ReportSourceWarning("U.pas", 3, "w");
    R.ReportWarning("hc");
    R.ReportError("e");
  }
  std::rewind(F);
  char Buf[256] = {};
  const std::size_t N = std::fread(Buf, 1, sizeof Buf, F);
  std::fclose(F);
  EXPECT_EQ(std::string(Buf, N), "codeweft: warning: hc\ncodeweft: e\n");
}

TEST(CliReporterTest, WithoutATerminalOnlyLinesAreWritten) {
  std::FILE *F = std::tmpfile();
  {
    TCliReporter R(F, false);
    R.ReportProgress(2, 1);
    R.ReportStatus("A");
    R.ReportUnitProgress(2, 1, "U");
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
