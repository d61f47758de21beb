// A run gives the same files, byte for byte, and the same reports every
// time: the listings of a project are made one unit after the other, each
// from the conditionals and type name the unit before it leaves.
#include "codeweft/core/Run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>

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
    // The time taken differs from run to run on a slow machine; its form does not.
    const bool Time = Text.starts_with("Time Taken: ") && Text.size() == 20;
    Log += "status " + (Time ? std::string("Time Taken: hh:nn:ss") : Text) + "\n";
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

// One whole run of ProjectFile in Folder into a fresh folder; Prepare may
// change that folder or the reporter first.
std::unique_ptr<TOutcome>
RunProject(const fs::path &Folder, const std::string &ProjectFile, TRunState *Given = nullptr,
           const std::function<void(TOutcome &, TLogReporter &)> &Prepare = {}) {
  auto Result = std::make_unique<TOutcome>();
  TRunState Own;
  TRunState &State = Given ? *Given : Own;
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

// The same files, bytes, reports and error in two runs.
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
// the unit Calls (if given).
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
  RunOnce(TRunState *Given = nullptr,
          const std::function<void(TOutcome &, TLogReporter &)> &Prepare = {}) const {
    return RunProject(Src.Path(), "P.dpr", Given, Prepare);
  }

  TTempDir Src;
  std::vector<std::string> Units;
};

// Conditionals that would cross units if they were carried over: A defines
// a symbol at its end that B tests; B ends inside a region switched off,
// before C; D undefines the symbol and E tests it. Every unit starts from the
// run's symbols (BASE) with no region open, so none of them reaches the next.
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

// Runs the project Runs times and expects every run to give the first one's
// outcome; returns that first outcome.
std::unique_ptr<TOutcome> ExpectSameEveryRun(const TProject &P, int Runs) {
  auto First = P.RunOnce();
  EXPECT_EQ(First->Error, "");
  for (int Round = 1; Round < Runs && !::testing::Test::HasFailure(); ++Round)
    ExpectSameOutcome(*First, *P.RunOnce());
  return First;
}

TEST(ListingDeterminism, ConditionalsStayInTheirUnitTheSameWayEveryRun) {
  TProject P;
  AddConditionalUnits(P);
  for (int I = 0; I < 4; ++I)
    P.Add("F" + std::to_string(I), FillerUnit("F" + std::to_string(I), 60, "A"));
  P.WriteProject();
  const auto One = ExpectSameEveryRun(P, 10);
  EXPECT_EQ(One->Files["B.html"].find("#b_inb"), std::string::npos);
  EXPECT_NE(One->Files["B.html"].find("#b_notinb"), std::string::npos);
  EXPECT_NE(One->Files["C.html"].find("#c_pc"), std::string::npos);
  EXPECT_NE(One->Files["C.html"].find("#c_hidden"), std::string::npos);
  EXPECT_NE(One->Files["E.html"].find("#e_noa"), std::string::npos);
  EXPECT_NE(One->Files["E.html"].find("#e_withbase"), std::string::npos);
}

// A unit whose first token is a directive, between units large enough that
// listings could overlap: its RTF topic once gained an empty line in some runs.
TEST(ListingDeterminism, AUnitThatStartsWithADirectiveIsTheSameEveryRun) {
  TProject P;
  P.AddFillers("F", 3, 60);
  P.Add("D", "{$MODE OBJFPC}\r\nunit D;\r\ninterface\r\nprocedure PD;\r\nimplementation\r\n"
             "procedure PD;\r\nbegin\r\n  F0R1(1);\r\nend;\r\nend.\r\n");
  P.AddFillers("G", 3, 60);
  P.WriteProject();
  ExpectSameEveryRun(P, 200);
}

// Directives the listing does not evaluate ({$ELSEC}, {$ENDC}) around routine
// headings: the links to those routines were present in most runs only.
TEST(ListingDeterminism, LinksAroundUnknownConditionalDirectivesAreTheSameEveryRun) {
  TProject P;
  P.AddFillers("F", 3, 60);
  P.Add("E", "unit E;\r\ninterface\r\n{$IFDEF X}\r\nprocedure A1;\r\n{$ELSEC}\r\n"
             "procedure A2;\r\n{$ENDC}\r\nprocedure PE;\r\nimplementation\r\n"
             "procedure PE;\r\nbegin\r\n  A1; A2;\r\nend;\r\nprocedure A1;\r\nbegin\r\nend;\r\n"
             "procedure A2;\r\nbegin\r\nend;\r\nend.\r\n");
  P.AddFillers("G", 3, 60);
  P.WriteProject();
  ExpectSameEveryRun(P, 200);
}

TEST(ListingDeterminism, TheBundledExampleIsTheSameEveryRun) {
  const fs::path Examples = fs::path(CW_SOURCE_DIR) / "examples";
  const auto One = RunProject(Examples, "Demo.dpr");
  EXPECT_EQ(One->Files.size(), 14u);  // with the lock file and the symbol index
  for (int Round = 0; Round < 5; ++Round)
    ExpectSameOutcome(*One, *RunProject(Examples, "Demo.dpr"));
}

// The files created before a failure are kept, no later unit's exists.
TEST(ListingDeterminism, ASourceMissingInTheMiddleStopsAtThatUnit) {
  TProject P;
  P.AddFillers("G", 4, 20);
  P.Add("M", FillerUnit("M", 20));
  P.AddFillers("N", 4, 20);
  P.WriteProject();
  const auto RemovingM = [&P](TOutcome &, TLogReporter &Reporter) {
    P.Src.Write("M.pas", FillerUnit("M", 20));
    Reporter.OnListing = [&P] { fs::remove(P.Src.Path() / "M.pas"); };
  };
  const auto One = P.RunOnce(nullptr, RemovingM);
  EXPECT_EQ(One->Error, "Cannot open file \"M.pas\": No such file or directory");
  EXPECT_EQ(One->Files.count("G3.html"), 1u);
  EXPECT_EQ(One->Files.count("N0.html"), 0u);
}

// A class type outside a type declaration is named after the last type
// declared, here in the unit before.
TEST(ListingDeterminism, ATypeNameFromAnEarlierUnitNamesTheClass) {
  TProject P;
  P.Add("K1", "unit K1;\r\ninterface\r\ntype\r\n  TKay = Integer;\r\nimplementation\r\nend.\r\n");
  P.Add("K2", "unit K2;\r\ninterface\r\nvar\r\n  V: class\r\n    procedure N;\r\n  end;\r\n"
              "implementation\r\nprocedure TKay.N;\r\nbegin\r\nend;\r\nend.\r\n");
  P.WriteProject();
  const auto One = ExpectSameEveryRun(P, 3);
  EXPECT_NE(One->Files["K2.html"].find("<A HREF = \"#k2_tkay_n\">N</A>"), std::string::npos);
}

} // namespace
} // namespace codeweft
