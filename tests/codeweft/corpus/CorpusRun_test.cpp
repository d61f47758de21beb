// Whole runs over projects that name every unit file of the installed Free
// Pascal sources with "in" clauses: the RTL, and the rest of the tree
// (packages, compiler, utilities, tests...). Files that share a unit name
// (system.pp of every target, fpmake.pp of every package) would share a page,
// so they go to separate projects: project k holds the k-th file of every
// name. For every unit, the HTML page read as text gives back the source
// exactly, and every link of every page reaches an existing page and anchor.
#include <gtest/gtest.h>
#include <iconv.h>
#include <sys/resource.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "codeweft/core/Run.h"
#include "tests/codeweft/core/LinkCheck.h"
#include "tests/codeweft/core/TempDir.h"
#include "tests/codeweft/corpus/Corpus.h"

namespace codeweft {
namespace {

namespace fs = std::filesystem;

class TQuietReporter : public TRunReporter {
public:
  void ReportStatus(const std::string &) override {}
  void ReportProgress(int, int) override {}
  void ReportWarning(const std::string &M) override { Warnings += M; }
  void ReportError(const std::string &M) override { Errors += M; }
  std::string Warnings, Errors;
};

// The unit files under Folder, grouped so that names are distinct in a
// group; a folder named Skip directly under Folder is left out.
std::vector<std::vector<std::string>> UnitGroups(const fs::path &Folder,
                                                 const std::string &Skip = "") {
  std::map<std::string, std::vector<std::string>> ByName;
  for (auto It = fs::recursive_directory_iterator(Folder); It != fs::end(It); ++It) {
    if (It.depth() == 0 && It->is_directory() && It->path().filename() == Skip) {
      It.disable_recursion_pending();
      continue;
    }
    if (!It->is_regular_file())
      continue;
    const std::string Ext = It->path().extension().string();
    if (Ext != ".pp" && Ext != ".pas")
      continue;
    ByName[LowerCase(It->path().stem().string())].push_back(It->path().string());
  }
  std::vector<std::vector<std::string>> Groups;
  for (auto &[Name, Files] : ByName) {
    std::sort(Files.begin(), Files.end());
    for (std::size_t I = 0; I < Files.size(); ++I) {
      if (Groups.size() <= I)
        Groups.emplace_back();
      Groups[I].push_back(Files[I]);
    }
  }
  return Groups;
}

// The name an entry is written under: any file stem made an identifier
// ("16bitColorBmp", "fpc-res", "type" are not). The unit's list name, and
// so its page, come from the file name all the same.
std::string EntryName(const fs::path &File) {
  std::string Name = "u_" + File.stem().string();
  for (char &C : Name)
    if (!std::isalnum(static_cast<unsigned char>(C)) && C != '_') C = '_';
  return Name;
}

std::string ProjectText(const std::vector<std::string> &Files) {
  std::string Text = "program Corpus;\r\n\r\nuses\r\n";
  for (std::size_t I = 0; I < Files.size(); ++I)
    Text += "  " + EntryName(Files[I]) + " in '" + Files[I] + "'" +
            (I + 1 < Files.size() ? ",\r\n" : ";\r\n");
  return Text + "\r\nbegin\r\nend.\r\n";
}

// The source as the listing gives it back: a UTF-8 byte-order mark is not
// source text and is skipped by the scanner.
std::string SourceText(const std::string &Path) {
  std::string S = test::ReadBytes(Path);
  if (S.compare(0, 3, "\xEF\xBB\xBF") == 0)
    S.erase(0, 3);
  return S;
}

bool IsUtf8(const std::string &S) {
  iconv_t Cd = ::iconv_open("UTF-8", "UTF-8");
  std::string Copy = S, Out(S.size() + 4, '\0');
  char *In = Copy.data(), *To = Out.data();
  std::size_t InLeft = Copy.size(), OutLeft = Out.size();
  const bool Ok = ::iconv(Cd, &In, &InLeft, &To, &OutLeft) != static_cast<std::size_t>(-1);
  ::iconv_close(Cd);
  return Ok;
}

// The text a page shows for a source: UTF-8 as it is, anything else read as
// Windows-1252 (by the C library's converter); control bytes other than tab,
// form feed and line breaks as their symbols (U+2400 on).
std::string ShownText(const std::string &Source) {
  std::string Text;
  if (IsUtf8(Source)) {
    Text = Source;
  } else {
    iconv_t Cd = ::iconv_open("UTF-8", "CP1252");
    for (const char C : Source) {
      char In[1] = {C}, Buf[8];
      char *InP = In, *OutP = Buf;
      std::size_t InLeft = 1, OutLeft = sizeof Buf;
      if (::iconv(Cd, &InP, &InLeft, &OutP, &OutLeft) == static_cast<std::size_t>(-1))
        Text += "\xEF\xBF\xBD";
      else
        Text.append(Buf, OutP);
    }
    ::iconv_close(Cd);
  }
  std::string Out;
  for (const char C : Text) {
    const unsigned char B = static_cast<unsigned char>(C);
    if ((B < 0x20 && C != '\t' && C != '\f' && C != '\r' && C != '\n') || B == 0x7F) {
      const unsigned Code = B == 0x7F ? 0x2421 : 0x2400 + B;
      Out += static_cast<char>(0xE0 | (Code >> 12));
      Out += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
      Out += static_cast<char>(0x80 | (Code & 0x3F));
    } else {
      Out += C;
    }
  }
  return Out;
}

// Every page of Dir parsed by an HTML5 parser (html5lib, installed by
// scripts/setup): its errors, one a line; empty when there are none.
std::string HtmlParseErrors(const std::string &Dir) {
  test::TTempDir LogDir;
  const std::string Log = LogDir.Dir() + "errors.txt";
  const std::string Command =
      "/usr/bin/python3 '" CW_SOURCE_DIR "/scripts/check-html' '" + Dir + "' >'" + Log + "' 2>&1";
  const int Status = std::system(Command.c_str());
  const std::string Errors = test::ReadBytes(Log);
  return Status == 0 ? std::string() : Errors.empty() ? "check-html failed" : Errors;
}

struct TCorpusFigures {
  std::size_t Units = 0, Links = 0, Symbols = 0;
};

// Runs every group as a project of its own and checks each unit's page
// against its source and every link of the output; the first group's pages
// also go through the HTML5 parser when CheckHtml is set.
TCorpusFigures RunGroups(const std::vector<std::vector<std::string>> &Groups, bool CheckHtml) {
  TCorpusFigures Figures;
  for (std::size_t G = 0; G < Groups.size(); ++G) {
    test::TTempDir Src, Out;
    Src.Write("Corpus.dpr", ProjectText(Groups[G]));
    TQuietReporter Reporter;
    TRunState State;
    const TRunResult R =
        codeweft::Run(State, {(Src.Path() / "Corpus.dpr").string(), Out.Dir(), "", ""}, Reporter);
    EXPECT_TRUE(Reporter.Errors.empty()) << "group " << G << ": " << Reporter.Errors;
    Figures.Symbols += static_cast<std::size_t>(R.SymbolsScanned);
    // A unit's page is named after it unless the name was taken.
    std::map<std::string, std::string> PageOf;
    for (const TURElm &U : State.Symbols.Units)
      PageOf[U.FileName] = U.Page.empty() ? PageName(U.Name) : U.Page;
    for (const std::string &File : Groups[G]) {
      const auto Found = PageOf.find(File);
      const std::string Page =
          Out.Dir() + (Found != PageOf.end() ? Found->second : fs::path(File).stem().string()) +
          ".html";
      EXPECT_TRUE(fs::exists(Page)) << File;
      if (!fs::exists(Page)) continue;
      EXPECT_EQ(test::ListingSource(test::ReadBytes(Page)), ShownText(SourceText(File))) << File;
      ++Figures.Units;
    }
    std::size_t Checked = 0;
    const std::vector<std::string> Broken = test::BrokenLinks(Out.Dir(), &Checked);
    EXPECT_TRUE(Broken.empty()) << "group " << G << ": " << Broken.size() << " broken, first "
                                << Broken.front();
    Figures.Links += Checked;
    // Every page is well-formed HTML5 (the first group: the parser is slow).
    if (G == 0 && CheckHtml) {
      const std::string Errors = HtmlParseErrors(Out.Dir());
      EXPECT_TRUE(Errors.empty()) << Errors.substr(0, 2000);
    }
  }
  return Figures;
}

TEST(CorpusRun, EveryRtlUnitComesBackWholeAndEveryLinkResolves) {
  const fs::path Root = test::CorpusRoot();
  if (Root.empty() || !fs::is_directory(Root / "rtl")) GTEST_SKIP() << "no Free Pascal sources";
  const auto Groups = UnitGroups(Root / "rtl");
  ASSERT_GT(Groups.size(), 1u);
  const TCorpusFigures F = RunGroups(Groups, true);
  RecordProperty("units", static_cast<int>(F.Units));
  RecordProperty("links", static_cast<int>(F.Links));
  std::printf("corpus run: %zu units, %zu symbols, %zu links checked\n", F.Units, F.Symbols,
              F.Links);
  EXPECT_GT(F.Links, 3000u);
}

// The rest of the tree: every unit file outside the RTL, which the test
// above covers.
TEST(CorpusRun, EveryOtherUnitOfTheTreeComesBackWholeAndEveryLinkResolves) {
  const fs::path Root = test::CorpusRoot();
  if (Root.empty() || !fs::is_directory(Root / "packages"))
    GTEST_SKIP() << "no Free Pascal sources";
  const auto Groups = UnitGroups(Root, "rtl");
  ASSERT_GT(Groups.size(), 1u);
  const TCorpusFigures F = RunGroups(Groups, false);
  RecordProperty("units", static_cast<int>(F.Units));
  RecordProperty("links", static_cast<int>(F.Links));
  std::printf("corpus run outside the RTL: %zu groups, %zu units, %zu symbols, %zu links checked\n",
              Groups.size(), F.Units, F.Symbols, F.Links);
  EXPECT_GT(F.Units, 3000u);
}

// Every file of a folder by name, with its bytes.
std::map<std::string, std::string> FolderFiles(const fs::path &Dir) {
  std::map<std::string, std::string> Files;
  for (const auto &E : fs::directory_iterator(Dir))
    Files[E.path().filename()] = test::ReadBytes(E.path().string());
  return Files;
}

// The first RTL project listed many times: every run writes the same files,
// byte for byte, as the first.
TEST(CorpusRun, TheRtlProjectGivesTheSameFilesEveryRun) {
  const fs::path Root = test::CorpusRoot();
  if (Root.empty() || !fs::is_directory(Root / "rtl"))
    GTEST_SKIP() << "no Free Pascal sources";
  test::TTempDir Src;
  Src.Write("Corpus.dpr", ProjectText(UnitGroups(Root / "rtl").front()));
  std::map<std::string, std::string> First;
  constexpr int Runs = 50;
  for (int Round = 0; Round < Runs; ++Round) {
    test::TTempDir Out;
    TQuietReporter Reporter;
    TRunState State;
    codeweft::Run(State, {(Src.Path() / "Corpus.dpr").string(), Out.Dir(), "", ""}, Reporter);
    ASSERT_TRUE(Reporter.Errors.empty()) << Reporter.Errors;
    std::map<std::string, std::string> Files = FolderFiles(Out.Path());
    if (Round == 0) {
      ASSERT_GT(Files.size(), 400u);
      First = std::move(Files);
      continue;
    }
    ASSERT_EQ(Files.size(), First.size()) << "run " << Round;
    for (const auto &[Name, Bytes] : First)
      ASSERT_TRUE(Files[Name] == Bytes) << Name << " differs in run " << Round;
  }
}

} // namespace
} // namespace codeweft
