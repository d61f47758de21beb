// Whole runs over hostile or unlucky inputs and build folders: what is not a
// regular file is refused, the sources and everything outside the build
// folder stay untouched, and names taken from the project cannot escape.
#include "codeweft/core/Run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "codeweft/core/Errors.h"
#include "tests/codeweft/core/TempDir.h"

namespace codeweft {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TTempDir;

class TErrorReporter : public TRunReporter {
public:
  void ReportStatus(const std::string &) override {}
  void ReportProgress(int, int) override {}
  void ReportWarning(const std::string &) override {}
  void ReportError(const std::string &Message) override { Errors += Message + "\n"; }
  std::string Errors;
};

// Runs Project (a name in Folder) into BuildDir with the current directory at
// Folder; returns the error message, empty when the run succeeded.
std::string RunProject(const fs::path &Folder, const std::string &Project,
                       const std::string &BuildDir) {
  const fs::path Before = fs::current_path();
  fs::current_path(Folder);
  TErrorReporter Reporter;
  TRunState State;
  std::string Error;
  try {
    Run(State, {Project, BuildDir, "", ""}, Reporter);
  } catch (const std::exception &E) {
    Error = E.what();
  }
  fs::current_path(Before);
  return Error;
}

std::string ProjectUsing(const std::string &Unit, const std::string &File) {
  return "program P;\r\nuses\r\n  " + Unit + " in '" + File + "';\r\nbegin\r\nend.\r\n";
}

const std::string SmallUnit = "unit A;\r\ninterface\r\nimplementation\r\nend.\r\n";

TEST(RunSafety, AUnitThatIsNotARegularFileEndsTheRunNamingIt) {
  TTempDir Src, Out;
  const std::string Fifo = (Src.Path() / "F.pas").string();
  ASSERT_EQ(::mkfifo(Fifo.c_str(), 0600), 0);
  fs::create_directory(Src.Path() / "D.pas");
  for (const auto &[File, Reason] :
       {std::pair<std::string, std::string>{"/dev/zero", "not a regular file"},
        {"F.pas", "not a regular file"},
        {"D.pas", "Is a directory"}}) {
    Src.Write("P.dpr", ProjectUsing("U", File));
    EXPECT_EQ(RunProject(Src.Path(), "P.dpr", Out.Dir()),
              "Cannot open file \"" + File + "\": " + Reason);
  }
  // The project itself.
  ASSERT_EQ(::mkfifo((Src.Path() / "Q.dpr").c_str(), 0600), 0);
  EXPECT_NE(RunProject(Src.Path(), "Q.dpr", Out.Dir()).find("Q.dpr\": not a regular file"),
            std::string::npos);
}

} // namespace
} // namespace codeweft
