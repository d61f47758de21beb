// Whole runs over hostile or unlucky inputs and build folders: what is not a
// regular file is refused, the sources and everything outside the build
// folder stay untouched, and names taken from the project cannot escape.
#include "codeweft/core/Run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "codeweft/core/Errors.h"
#include "codeweft/core/output/OutputGuard.h"
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
              "Unit U (P.dpr line 3): Cannot open file \"" + File + "\": " + Reason);
  }
  // The project itself.
  ASSERT_EQ(::mkfifo((Src.Path() / "Q.dpr").c_str(), 0600), 0);
  EXPECT_NE(RunProject(Src.Path(), "Q.dpr", Out.Dir()).find("Q.dpr\": not a regular file"),
            std::string::npos);
}

// With the build folder equal to the source folder, a unit whose file has an
// output's name would be replaced by its own listing.
TEST(RunSafety, AnOutputThatIsAnInputEndsTheRunBeforeAnythingIsWritten) {
  TTempDir Src;
  const std::string Notes = "unit Notes;\r\ninterface\r\nimplementation\r\nend.\r\n";
  Src.Write("Notes.html", Notes);
  Src.Write("P.dpr", ProjectUsing("Notes", "Notes.html"));
  EXPECT_EQ(RunProject(Src.Path(), "P.dpr", Src.Dir()),
            "Cannot write file \"" + Src.Dir() +
                "Notes.html\": it is the input file \"Notes.html\", "
                "which is never overwritten");
  EXPECT_EQ(ReadBytes(Src.Dir() + "Notes.html"), Notes);
  EXPECT_FALSE(fs::exists(Src.Path() / "P.html"));
  // Another name of the same file (a hard link in the build folder) is caught too.
  TTempDir Out;
  Src.Write("A.pas", SmallUnit);
  Src.Write("P.dpr", ProjectUsing("A", "A.pas"));
  fs::create_hard_link(Src.Path() / "A.pas", Out.Path() / "A.rtf");
  EXPECT_NE(RunProject(Src.Path(), "P.dpr", Out.Dir()).find("it is the input file \"A.pas\""),
            std::string::npos);
  EXPECT_EQ(ReadBytes(Src.Dir() + "A.pas"), SmallUnit);
}

TEST(RunSafety, ASecondRunIntoTheSameFolderFailsWhileTheFirstHoldsIt) {
  TTempDir Src, Out;
  Src.Write("A.pas", SmallUnit);
  Src.Write("P.dpr", ProjectUsing("A", "A.pas"));
  {
    const TBuildLock First(Out.Dir());
    EXPECT_EQ(RunProject(Src.Path(), "P.dpr", Out.Dir()),
              "Another run is writing into \"" + Out.Dir() + "\" (it holds \"" + Out.Dir() +
                  ".codeweft.lock\"); try again when it has finished");
    EXPECT_FALSE(fs::exists(Out.Path() / "P.html"));
  }
  EXPECT_EQ(RunProject(Src.Path(), "P.dpr", Out.Dir()), "");
  EXPECT_TRUE(fs::exists(Out.Path() / "A.html"));
}

// A unit file named like a URL: its links stay relative file names.
TEST(RunSafety, AUnitFileNamedLikeAURLIsLinkedAsAFile) {
  TTempDir Src, Out;
  const std::string Name = "JavaScript:alert(1)";
  Src.Write(Name + ".pas", "unit U;\r\ninterface\r\nimplementation\r\nend.\r\n");
  Src.Write("P.dpr", ProjectUsing("U", Name + ".pas"));
  ASSERT_EQ(RunProject(Src.Path(), "P.dpr", Out.Dir()), "");
  for (const std::string Page : {"content.html", "P.html"}) {
    const std::string Html = ReadBytes(Out.Dir() + Page);
    EXPECT_NE(Html.find("HREF = \"./" + Name + ".html\""), std::string::npos) << Page;
    EXPECT_EQ(Html.find("HREF = \"" + Name), std::string::npos) << Page;
  }
}

// Unit file names of up to 255 bytes give page names within the limit too,
// still one page per unit, and the links lead to them.
TEST(RunSafety, LongUnitFileNamesGiveShortenedDistinctPages) {
  TTempDir Src, Out;
  const std::string A = std::string(249, 'a') + "x", B = std::string(249, 'a') + "y";
  for (const std::string &Name : {A, B})
    Src.Write(Name + ".pas", "unit " + Name + ";\r\ninterface\r\nimplementation\r\nend.\r\n");
  Src.Write("P.dpr", "program P;\r\nuses\r\n  " + A + " in '" + A + ".pas',\r\n  " + B + " in '" +
                         B + ".pas';\r\nbegin\r\nend.\r\n");
  ASSERT_EQ(RunProject(Src.Path(), "P.dpr", Out.Dir()), "");
  int Pages = 0;
  for (const auto &E : fs::directory_iterator(Out.Path())) {
    const std::string Name = E.path().filename();
    EXPECT_LE(Name.size(), 255u);
    if (Name.starts_with("aaaa") && Name.ends_with(".html")) {
      ++Pages;
      EXPECT_NE(ReadBytes(Out.Dir() + "content.html").find("\"" + Name + "\""), std::string::npos);
      EXPECT_NE(ReadBytes(Out.Dir() + "P.html").find("\"" + Name + "\""), std::string::npos);
    }
  }
  EXPECT_EQ(Pages, 2);
}

} // namespace
} // namespace codeweft
