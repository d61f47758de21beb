// The listing pass on two threads against the same pass on one: the same
// files byte for byte, the same reports, the same error and the same files
// left behind when a unit fails, and the same state afterwards.
#include "codeweft/core/ParallelListing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <thread>

#include "codeweft/core/ProjectScan.h"
#include "codeweft/core/Run.h"
#include "codeweft/core/SymbolPass.h"
#include "tests/codeweft/core/TempDir.h"

namespace codeweft {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TTempDir;

// Records every report as one line; OnListing runs when the listings start
// (progress 0 after "Generating RTF and HTML ...").
class TLogReporter : public TRunReporter {
public:
  void ReportStatus(const std::string &Text) override {
    Log += "status " + Text + "\n";
    FListing = Text == "Generating RTF and HTML ...";
  }
  void ReportProgress(int Total, int Done) override {
    Log += "progress " + std::to_string(Done) + "/" + std::to_string(Total) + "\n";
    if (FListing && Done == 0 && OnListing)
      OnListing();
  }
  void ReportWarning(const std::string &Message) override { Log += "warning " + Message + "\n"; }
  void ReportError(const std::string &Message) override { Log += "error " + Message + "\n"; }
  std::string Log;
  std::function<void()> OnListing;

private:
  bool FListing = false;
};

// Every file of a folder by name, with its bytes.
std::map<std::string, std::string> FolderFiles(const fs::path &Dir) {
  std::map<std::string, std::string> Files;
  for (const auto &E : fs::directory_iterator(Dir))
    if (E.is_regular_file())
      Files[E.path().filename()] = ReadBytes(E.path().string());
  return Files;
}

// What a run leaves: its files, its reports and its error, with the output
// folder's name (which differs from run to run) written as "OUT/".
struct TOutcome {
  TTempDir Out;
  std::string Log, Error;
  std::map<std::string, std::string> Files;
};

// One whole run of ProjectFile in Folder with Threads listing threads, into a
// fresh folder; Prepare may change that folder or the reporter first.
std::unique_ptr<TOutcome>
RunProject(const fs::path &Folder, const std::string &ProjectFile, int Threads,
           TRunState *Given = nullptr,
           const std::function<void(TOutcome &, TLogReporter &)> &Prepare = {}) {
  auto Result = std::make_unique<TOutcome>();
  TRunState Own;
  TRunState &State = Given ? *Given : Own;
  State.ListingThreads = Threads;
  TLogReporter Reporter;
  if (Prepare)
    Prepare(*Result, Reporter);
  const fs::path Before = fs::current_path();
  fs::current_path(Folder);
  try {
    codeweft::Run(State, {ProjectFile, Result->Out.Dir(), "", "BASE"}, Reporter);
  } catch (const std::exception &E) {
    Result->Error = E.what();
  }
  fs::current_path(Before);
  const auto Plain = [Dir = Result->Out.Dir()](std::string Text) {
    for (std::size_t P; (P = Text.find(Dir)) != std::string::npos;)
      Text.replace(P, Dir.size(), "OUT/");
    return Text;
  };
  Result->Error = Plain(Result->Error);
  Result->Log = Plain(Reporter.Log);
  Result->Files = FolderFiles(Result->Out.Path());
  return Result;
}

// The same files, bytes, reports and error with one thread and with two.
void ExpectSameOutcome(const TOutcome &One, const TOutcome &Two) {
  EXPECT_EQ(Two.Error, One.Error);
  EXPECT_EQ(Two.Log, One.Log);
  std::vector<std::string> NamesOne, NamesTwo;
  for (const auto &[Name, Bytes] : One.Files)
    NamesOne.push_back(Name);
  for (const auto &[Name, Bytes] : Two.Files)
    NamesTwo.push_back(Name);
  EXPECT_EQ(NamesTwo, NamesOne);
  for (const auto &[Name, Bytes] : One.Files) {
    const auto It = Two.Files.find(Name);
    EXPECT_TRUE(It != Two.Files.end() && It->second == Bytes) << Name;
  }
}

// A unit with Routines routines, each calling the one before and a routine of
// the unit Calls (if given): enough work that listings overlap.
std::string FillerUnit(const std::string &Name, int Routines, const std::string &Calls = "") {
  std::string Interface, Implementation;
  for (int I = 0; I < Routines; ++I) {
    const std::string R = Name + "R" + std::to_string(I);
    Interface += "procedure " + R + "(X: Integer);\r\n";
    Implementation += "procedure " + R + "(X: Integer);\r\nbegin\r\n  { call } ";
    if (I > 0)
      Implementation += Name + "R" + std::to_string(I - 1) + "(X + 1);";
    if (!Calls.empty())
      Implementation += " " + Calls + "R0(X);";
    Implementation += "\r\nend;\r\n\r\n";
  }
  return "unit " + Name + ";\r\ninterface\r\n" + (Calls.empty() ? "" : "uses " + Calls + ";\r\n") +
         Interface + "implementation\r\n" + Implementation + "end.\r\n";
}

// A project folder: units in list order (names sort as given) and the
// project file naming them.
class TProject {
public:
  void Add(const std::string &Name, const std::string &Source) {
    Src.Write(Name + ".pas", Source);
    Units.push_back(Name);
  }
  void AddFillers(const std::string &Prefix, int Count, int Routines) {
    for (int I = 0; I < Count; ++I)
      Add(Prefix + std::to_string(I), FillerUnit(Prefix + std::to_string(I), Routines));
  }
  void WriteProject() {
    std::string Uses;
    for (const std::string &U : Units)
      Uses += (Uses.empty() ? "" : ",\r\n  ") + U + " in '" + U + ".pas'";
    Src.Write("P.dpr", "program P;\r\nuses\r\n  " + Uses + ";\r\nbegin\r\nend.\r\n");
  }
  std::unique_ptr<TOutcome>
  RunWith(int Threads, TRunState *Given = nullptr,
          const std::function<void(TOutcome &, TLogReporter &)> &Prepare = {}) const {
    return RunProject(Src.Path(), "P.dpr", Threads, Given, Prepare);
  }

  TTempDir Src;
  std::vector<std::string> Units;
};

// Conditionals that cross units: A defines a symbol at its end that B tests;
// B ends inside a region switched off, so C starts skipping; D undefines the
// symbol again and E tests it. Fillers around them give the threads work.
void AddConditionalUnits(TProject &P) {
  P.Add("A", "unit A;\r\ninterface\r\nprocedure PA;\r\nimplementation\r\n"
             "procedure PA;\r\nbegin\r\nend;\r\n{$DEFINE FROMA}\r\nend.\r\n");
  P.Add("B", "unit B;\r\ninterface\r\nuses A;\r\n{$IFDEF FROMA}\r\nprocedure InB;\r\n"
             "{$ELSE}\r\nprocedure NotInB;\r\n{$ENDIF}\r\nimplementation\r\n"
             "procedure InB;\r\nbegin\r\n  PA;\r\nend;\r\nprocedure NotInB;\r\nbegin\r\nend;\r\n"
             "end.\r\n{$IFDEF NEVER}\r\n");
  P.Add("C", "unit C;\r\ninterface\r\nuses B;\r\nprocedure Hidden;\r\n{$ENDIF}\r\n"
             "procedure PC;\r\nimplementation\r\nprocedure Hidden;\r\nbegin\r\nend;\r\n"
             "procedure PC;\r\nbegin\r\n  InB;\r\nend;\r\nend.\r\n");
  P.Add("D", "unit D;\r\ninterface\r\n{$UNDEF FROMA}{$DEFINE FROMD}\r\nprocedure PD;\r\n"
             "implementation\r\nprocedure PD;\r\nbegin\r\nend;\r\nend.\r\n");
  P.Add("E", "unit E;\r\ninterface\r\n{$IFNDEF FROMA}\r\nprocedure NoA;\r\n{$ENDIF}\r\n"
             "{$IFDEF BASE}\r\nprocedure WithBase;\r\n{$ENDIF}\r\nimplementation\r\n"
             "procedure NoA;\r\nbegin\r\nend;\r\nprocedure WithBase;\r\nbegin\r\nend;\r\nend.\r\n");
}

TEST(ParallelListingTest, TwoThreadsWriteTheFilesAndReportsOfOne) {
  TProject P;
  AddConditionalUnits(P);
  for (int I = 0; I < 8; ++I)
    P.Add("F" + std::to_string(I), FillerUnit("F" + std::to_string(I), 150, "A"));
  P.WriteProject();
  const auto One = P.RunWith(1);
  ASSERT_EQ(One->Error, "");
  // The conditionals did cross units in the sequential run.
  EXPECT_NE(One->Files["B.html"].find("#b_inb"), std::string::npos);
  EXPECT_NE(One->Files["C.html"].find("#c_pc"), std::string::npos);
  EXPECT_EQ(One->Files["C.html"].find("#c_hidden"), std::string::npos);
  EXPECT_NE(One->Files["E.html"].find("#e_noa"), std::string::npos);
  EXPECT_NE(One->Files["E.html"].find("#e_withbase"), std::string::npos);
  for (int Round = 0; Round < 3; ++Round)
    ExpectSameOutcome(*One, *P.RunWith(2));
}

TEST(ParallelListingTest, TheBundledExampleIsWrittenTheSame) {
  const fs::path Examples = fs::path(CW_SOURCE_DIR) / "examples";
  const auto One = RunProject(Examples, "Demo.dpr", 1);
  EXPECT_EQ(One->Files.size(), 12u);
  ExpectSameOutcome(*One, *RunProject(Examples, "Demo.dpr", 2));
}

// The symbol pass and the anchor pass would stop at a missing file first:
// M's source is there for them and gone once the listings start.
TEST(ParallelListingTest, ASourceMissingInTheMiddleFailsAsWithOneThread) {
  TProject P;
  P.AddFillers("G", 4, 80);
  P.Add("M", FillerUnit("M", 80));
  P.AddFillers("N", 4, 80);
  P.WriteProject();
  const auto RemovingM = [&P](TOutcome &, TLogReporter &Reporter) {
    P.Src.Write("M.pas", FillerUnit("M", 80));
    Reporter.OnListing = [&P] { fs::remove(P.Src.Path() / "M.pas"); };
  };
  const auto One = P.RunWith(1, nullptr, RemovingM);
  EXPECT_EQ(One->Error, "Cannot open file \"M.pas\": No such file or directory");
  // M's files were created before its source was opened; no later unit's.
  EXPECT_EQ(One->Files.count("M.rtf"), 1u);
  EXPECT_EQ(One->Files.count("N0.html"), 0u);
  for (int Round = 0; Round < 3; ++Round)
    ExpectSameOutcome(*One, *P.RunWith(2, nullptr, RemovingM));
}

TEST(ParallelListingTest, AnOutputFileThatCannotBeCreatedInTheMiddleFailsAsWithOneThread) {
  TProject P;
  P.AddFillers("G", 4, 80);
  P.Add("M", FillerUnit("M", 80));
  P.AddFillers("N", 4, 80);
  P.WriteProject();
  const auto BlockingM = [](TOutcome &Outcome, TLogReporter &) {
    fs::create_directory(Outcome.Out.Path() / "M.rtf");
  };
  const auto One = P.RunWith(1, nullptr, BlockingM);
  EXPECT_EQ(One->Error, "Cannot create file \"OUT/M.rtf\": Is a directory");
  // M.html was created before the failure and keeps its header.
  EXPECT_EQ(One->Files.count("M.html"), 1u);
  EXPECT_EQ(One->Files.count("N0.html"), 0u);
  for (int Round = 0; Round < 3; ++Round)
    ExpectSameOutcome(*One, *P.RunWith(2, nullptr, BlockingM));
}

// A class type outside a type declaration is named after the last type
// declared, here in the unit before: a unit listed ahead cannot know it.
TEST(ParallelListingTest, ATypeNameFromAnEarlierUnitIsTheSequentialOne) {
  TProject P;
  P.Add("K1", "unit K1;\r\ninterface\r\ntype\r\n  TKay = Integer;\r\nimplementation\r\nend.\r\n");
  P.Add("K2", "unit K2;\r\ninterface\r\nvar\r\n  V: class\r\n    procedure N;\r\n  end;\r\n"
              "implementation\r\nprocedure TKay.N;\r\nbegin\r\nend;\r\nend.\r\n");
  P.AddFillers("L", 4, 40);
  P.WriteProject();
  const auto One = P.RunWith(1);
  ASSERT_NE(One->Files["K2.html"].find("<A HREF = \"#k2_tkay_n\">N</A>"), std::string::npos);
  for (int Round = 0; Round < 3; ++Round)
    ExpectSameOutcome(*One, *P.RunWith(2));
}

// A source too large to list ahead, and one whose listing outgrows the
// memory a listing ahead may keep, are written in their turn, the same.
TEST(ParallelListingTest, LargeUnitsAreWrittenTheSame) {
  TProject P;
  P.Add("A", FillerUnit("A", 40));
  std::string Big = FillerUnit("B", 1);
  while (Big.size() <= MaxAheadSource)
    Big += "{ " + std::string(1000, 'x') + " }\r\n";
  P.Add("B", Big);
  P.Add("C", FillerUnit("C", 40));
  // Each "&" becomes five bytes in HTML: over the limit from a source under it.
  P.Add("D", "unit D;\r\n{ " + std::string(MaxKeptDocument / 4, '&') + " }\r\nend.\r\n");
  P.AddFillers("E", 2, 40);
  P.WriteProject();
  const auto One = P.RunWith(1);
  ASSERT_GT(One->Files["D.html"].size(), MaxKeptDocument);
  ExpectSameOutcome(*One, *P.RunWith(2));
}

TEST(ParallelListingTest, TheStateAfterTheRunIsTheSequentialOne) {
  TProject P;
  AddConditionalUnits(P);
  // The last unit leaves a symbol defined, skipping on and a type name.
  P.Add("Z", "unit Z;\r\ninterface\r\ntype TZed = Integer;\r\nimplementation\r\n"
             "{$DEFINE LAST}{$IFDEF NEVER}\r\nend.\r\n");
  P.WriteProject();
  TRunState One, Two;
  P.RunWith(1, &One);
  P.RunWith(2, &Two);
  EXPECT_EQ(Two.Defines.Names(), One.Defines.Names());
  EXPECT_TRUE(One.Skipping);
  EXPECT_EQ(Two.Skipping, One.Skipping);
  EXPECT_EQ(One.LastTypeName, "TZed");
  EXPECT_EQ(Two.LastTypeName, One.LastTypeName);
  EXPECT_EQ(Two.CurrentUnit, One.CurrentUnit);
  EXPECT_FALSE(Two.TokenHook);
}

// The run up to the listings, as Run does it, with the current directory at
// the project's folder while the object lives.
class TPreparedRun {
public:
  TPreparedRun(const TProject &P, const std::string &OutDir)
      : FBefore(fs::current_path()), Hook(State, Sink) {
    fs::current_path(P.Src.Path());
    State.Symbols.CreateSymbols();
    State.BuildDir = OutDir;
    ScanProject(State, Sink, "P.dpr", "BASE", Reporter);
    TSuspendedHook NoHook(State);
    BuildSymbolTable(State, {});
  }
  ~TPreparedRun() { fs::current_path(FBefore); }

private:
  fs::path FBefore;

public:
  TRunState State;
  TListingSink Sink;
  TTokenHookGuard Hook;
  TLogReporter Reporter;
};

TEST(ParallelListingTest, CollectAnchorsRecordsTheConditionalsEachUnitStartsFrom) {
  TProject P;
  AddConditionalUnits(P);
  P.WriteProject();
  TTempDir Out;
  TPreparedRun R(P, Out.Dir());
  std::vector<TConditionals> Starts;
  CollectAnchors(R.State, R.Sink, &Starts);
  const std::size_t Count = R.State.Symbols.Units.size();
  ASSERT_EQ(Starts.size(), Count + 1);
  for (std::size_t I = 0; I < Count; ++I) {
    EXPECT_TRUE(SameConditionals(Starts[I], SaveConditionals(R.State))) << I;
    WriteUnitListing(R.State, R.Sink, static_cast<int>(I));
  }
  EXPECT_TRUE(SameConditionals(Starts[Count], SaveConditionals(R.State)));
  // B leaves skipping on; A's FROMA reaches D, whose UNDEF removes it for E.
  const auto Has = [](const TConditionals &C, const std::string &Name) {
    return std::find(C.Defines->begin(), C.Defines->end(), Name) != C.Defines->end();
  };
  EXPECT_FALSE(Starts[1].Skipping);
  EXPECT_TRUE(Starts[2].Skipping);
  EXPECT_FALSE(Has(Starts[0], "FROMA"));
  EXPECT_TRUE(Has(Starts[3], "FROMA"));
  EXPECT_FALSE(Has(Starts[4], "FROMA"));
  // A unit that changes nothing shares the list of the one before.
  EXPECT_EQ(Starts[2].Defines, Starts[3].Defines);
}

// Past the recorded lists, units are listed only in their turn, the same.
TEST(ParallelListingTest, UnitsWithoutARecordedStartAreListedInTheirTurn) {
  TProject P;
  AddConditionalUnits(P);
  P.AddFillers("F", 6, 100);
  P.WriteProject();
  std::map<std::string, std::string> Files[2];
  for (const bool Parallel : {false, true}) {
    TTempDir Out;
    TPreparedRun R(P, Out.Dir());
    std::vector<TConditionals> Starts;
    // Room for the first list ("BASE") only: A's FROMA makes the next longer.
    CollectAnchors(R.State, R.Sink, &Starts, 2);
    ASSERT_TRUE(Starts[0].Defines);
    EXPECT_FALSE(Starts[1].Defines);
    EXPECT_FALSE(Starts.back().Defines);
    if (Parallel) {
      EXPECT_LE(WriteListingsInParallel(R.State, R.Sink, Starts, R.Reporter).Ahead, 1);
    } else {
      for (int I = 0; I < static_cast<int>(R.State.Symbols.Units.size()); ++I)
        WriteUnitListing(R.State, R.Sink, I);
    }
    Files[Parallel] = FolderFiles(Out.Path());
  }
  EXPECT_EQ(Files[0].size(), 2u + 11 * 2);
  EXPECT_TRUE(Files[0] == Files[1]);
}

TEST(ParallelListingTest, UnitsAreListedAheadAndProgressComesInOrder) {
  TProject P;
  P.AddFillers("H", 12, 150);
  P.WriteProject();
  // Whether the worker gets to list ahead depends on scheduling; over a few
  // tries it must, or the second thread does nothing.
  TParallelCounts Counts;
  for (int Try = 0; Try < 10 && Counts.Ahead == 0; ++Try) {
    TTempDir Out;
    TPreparedRun R(P, Out.Dir());
    std::vector<TConditionals> Starts;
    CollectAnchors(R.State, R.Sink, &Starts);
    R.Reporter.Log.clear();
    Counts = WriteListingsInParallel(R.State, R.Sink, Starts, R.Reporter);
    std::string Expected;
    for (int I = 1; I <= 12; ++I)
      Expected += "progress " + std::to_string(I) + "/12\n";
    EXPECT_EQ(R.Reporter.Log, Expected);
    EXPECT_EQ(Counts.Again, 0);
  }
  EXPECT_GT(Counts.Ahead, 0);
}

TEST(ParallelListingTest, TheRunChoosesASecondThreadOnlyWhereItPays) {
  EXPECT_FALSE(ListsInParallel(1, 100, 10));
  EXPECT_FALSE(ListsInParallel(0, 2, 10));
  EXPECT_FALSE(ListsInParallel(2, 0, 10));
  EXPECT_TRUE(ListsInParallel(2, 2, 10));
  EXPECT_EQ(ListsInParallel(0, 100, 10), std::thread::hardware_concurrency() > 1);
  // A table too large to copy for a second lister keeps one thread, unless
  // two are asked for.
  EXPECT_FALSE(ListsInParallel(0, 100, MaxParallelSymbols + 1));
  EXPECT_TRUE(ListsInParallel(2, 100, MaxParallelSymbols + 1));
}

} // namespace
} // namespace codeweft
