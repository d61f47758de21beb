#include "codeweft/core/output/HelpProject.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <thread>

#include "codeweft/core/FileNames.h"
#include "codeweft/core/output/OutputFile.h"
#include "tests/codeweft/core/TempDir.h"

namespace codeweft {
namespace {

using test::Golden;
using test::ReadBytes;
using test::TTempDir;

// Records every report as one line, in order.
class TRecordingReporter : public TRunReporter {
public:
  void ReportStatus(const std::string &Text) override { Log += "status " + Text + "\n"; }
  void ReportProgress(int Total, int Done) override {
    Log += "progress " + std::to_string(Done) + "/" + std::to_string(Total) + "\n";
  }
  void ReportWarning(const std::string &Message) override { Log += "warning " + Message + "\n"; }
  void ReportError(const std::string &Message) override { Log += "error " + Message + "\n"; }
  std::string Log;
};

const TUnitPages DemoUnits = {"Main", "Tools"};
const char *const DemoProject = "C:\\src\\Demo.dpr";

TEST(FileNamesTest, ExtractFileNameSplitsAtEitherSeparator) {
  EXPECT_EQ(ExtractFileName("C:\\src\\Demo.dpr"), "Demo.dpr");
  EXPECT_EQ(ExtractFileName("/home/me/src/Demo.dpr"), "Demo.dpr");
  EXPECT_EQ(ExtractFileName("lib\\Tools.pas"), "Tools.pas");
  EXPECT_EQ(ExtractFileName("Demo.dpr"), "Demo.dpr");
  EXPECT_EQ(ExtractFileName("dir/"), "");
}

TEST(HelpProjectTest, NamesDerivedFromTheProjectFile) {
  const THelpNames N = HelpNamesOf(DemoProject);
  EXPECT_EQ(N.ProjectName, "Demo.dpr");
  EXPECT_EQ(N.HelpProject, "Demo.hpj");
  EXPECT_EQ(N.HelpFile, "Demo.hlp");
  EXPECT_EQ(N.ContentsFile, "Demo.cnt");
  EXPECT_EQ(N.ProjectPage, "Demo.html");
}

TEST(HelpProjectTest, DemoProjectMatchesGoldenFilesAndReportsInOrder) {
  TTempDir Out;
  TRecordingReporter Reporter;
  EXPECT_EQ(WriteHelpProject(DemoProject, Out.Dir(), "", DemoUnits, Reporter), 0);
  EXPECT_EQ(ReadBytes(Out.Dir() + "Demo.hpj"), Golden("helpproject/Demo.hpj"));
  EXPECT_EQ(ReadBytes(Out.Dir() + "Demo.cnt"), Golden("helpproject/Demo.cnt"));
  EXPECT_EQ(ReadBytes(Out.Dir() + "index.html"), Golden("helpproject/index.html"));
  EXPECT_EQ(ReadBytes(Out.Dir() + "content.html"), Golden("helpproject/content.html"));
  EXPECT_EQ(Reporter.Log, "status Creating Help Project and HTML Frame ...\n"
                          "progress 0/4\nprogress 1/4\nprogress 2/4\nprogress 3/4\n"
                          "progress 4/4\nprogress 0/4\n");
}

TEST(HelpProjectTest, ProjectWithoutUnitsEndsAtTheHeadings) {
  EXPECT_TRUE(HelpProjectText(DemoProject, {}).ends_with("\r\n[FILES]\r\n"));
  EXPECT_EQ(ContentsFileText(DemoProject, {}),
            ":Base Demo.hlp\r\n:Title Project C:\\src\\Demo.dpr\r\n1 Units\r\n");
  EXPECT_NE(ContentHtmlText(DemoProject, {}).find("\r\n<H3>Units</H3>\r\n<BR><A HREF"),
            std::string::npos);
}

TEST(HelpProjectTest, HostileFileNamesAreEscapedInThePages) {
  const std::string Project = "/src/a<b>&\"c%#?.dpr";
  const std::string Index = IndexHtmlText(Project);
  EXPECT_NE(Index.find("<TITLE>Project: a&lt;b&gt;&amp;&quot;c%#?.dpr</TITLE></HEAD>\r\n"),
            std::string::npos);
  EXPECT_NE(Index.find("  <frame src=\"a&lt;b&gt;&amp;&quot;c%25%23%3F.html\" "),
            std::string::npos);
  const std::string Content = ContentHtmlText(Project, {"x<script>", "q\"&"});
  EXPECT_NE(Content.find("\r\n<A HREF = \"a&lt;b&gt;&amp;&quot;c%25%23%3F.html\" TARGET = "
                         "\"main\">a&lt;b&gt;&amp;&quot;c%#?.dpr</A><BR><BR>\r\n"),
            std::string::npos);
  EXPECT_NE(Content.find("\r\n<A HREF = \"x&lt;script&gt;.html\" TARGET = \"main\">"
                         "x&lt;script&gt;.pas</A><BR>\r\n"),
            std::string::npos);
  EXPECT_NE(Content.find("\r\n<A HREF = \"q&quot;&amp;.html\" TARGET = \"main\">"
                         "q&quot;&amp;.pas</A><BR>\r\n"),
            std::string::npos);
}

TEST(HelpProjectTest, FileThatCannotBeCreatedEndsThePhase) {
  TTempDir Out;
  TRecordingReporter Reporter;
  const std::string Missing = Out.Dir() + "missing/";
  try {
    WriteHelpProject(DemoProject, Missing, "", DemoUnits, Reporter);
    FAIL() << "no exception";
  } catch (const EFCreateError &E) {
    EXPECT_EQ(std::string(E.what()),
              "Cannot create file \"" + Missing + "Demo.hpj\": No such file or directory");
  }
  EXPECT_EQ(Reporter.Log, "status Creating Help Project and HTML Frame ...\nprogress 0/4\n");
}

// No child of this process is left, running or as a zombie.
bool NoChildLeft() { return ::waitpid(-1, nullptr, WNOHANG) < 0 && errno == ECHILD; }

TEST(HelpCompilerTest, StartedWithFlagAndHelpProjectWithoutWaiting) {
  TTempDir Dir;
  const std::string Script = Dir.Dir() + "fake-hcrtf";
  const std::string Args = Dir.Dir() + "args.txt";
  {
    std::ofstream Out(Script);
    Out << "#!/bin/sh\nsleep 2\nprintf '%s|' \"$@\" > \"" << Args << ".tmp\"\nmv \"" << Args
        << ".tmp\" \"" << Args << "\"\n";
  }
  ::chmod(Script.c_str(), 0755);
  const auto Start = std::chrono::steady_clock::now();
  EXPECT_EQ(StartHelpCompiler(Script, Dir.Dir() + "Demo.hpj"), 0);
  // The start returns before the program has finished its work (with room for a slow,
  // loaded machine).
  EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::milliseconds(1500));
  EXPECT_TRUE(NoChildLeft());
  std::string Seen;
  for (int I = 0; I < 600 && Seen.empty(); ++I) {
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
    std::ifstream In(Args);
    std::getline(In, Seen);
  }
  EXPECT_EQ(Seen, "-x|" + Dir.Dir() + "Demo.hpj|");
}

TEST(HelpCompilerTest, StartFailureIsOneWarningAndThePhaseGoesOn) {
  TTempDir Out;
  EXPECT_EQ(StartHelpCompiler(Out.Dir() + "no-such-hcrtf.exe", "x.hpj"), ENOENT);
  EXPECT_TRUE(NoChildLeft());

  TRecordingReporter Reporter;
  WriteHelpProject(DemoProject, Out.Dir(), Out.Dir() + "no-such-hcrtf.exe", DemoUnits, Reporter);
  EXPECT_EQ(Reporter.Log, "status Creating Help Project and HTML Frame ...\n"
                          "progress 0/4\nprogress 1/4\n"
                          "warning Failed to compile Help Project\nPlease Compile manually\n"
                          "Cannot start \"" + Out.Dir() + "no-such-hcrtf.exe\": No such file or "
                          "directory\n"
                          "progress 2/4\nprogress 3/4\nprogress 4/4\nprogress 0/4\n");
  EXPECT_EQ(ReadBytes(Out.Dir() + "content.html"), Golden("helpproject/content.html"));
  EXPECT_TRUE(NoChildLeft());
}

TEST(FormatElapsedTest, HoursMinutesSecondsWithinADay) {
  EXPECT_EQ(FormatElapsed(75000), "00:01:15");
  EXPECT_EQ(FormatElapsed(75999), "00:01:15");
  EXPECT_EQ(FormatElapsed(0), "00:00:00");
  EXPECT_EQ(FormatElapsed(((23 * 60 + 59) * 60 + 59) * 1000LL), "23:59:59");
  EXPECT_EQ(FormatElapsed(86400000LL + 3661000), "01:01:01");
  EXPECT_EQ(FormatElapsed(-5), "00:00:00");
}

} // namespace
} // namespace codeweft
