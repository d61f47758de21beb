#include "codeweft/core/Run.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <filesystem>
#include <optional>
#include <unistd.h>

#include "codeweft/core/FileNames.h"
#include "codeweft/core/output/HelpProject.h"
#include "codeweft/core/output/ListingPass.h"
#include "codeweft/core/output/OutputGuard.h"
#include "codeweft/core/ProjectScan.h"
#include "codeweft/core/symbols/SymbolPass.h"

namespace codeweft {

namespace {

// Puts the current directory back when the run ends, however it ends, so
// that a run leaves no trace in the process that started it.
class TCurrentDirGuard {
public:
  TCurrentDirGuard() {
    std::error_code E;
    FDir = std::filesystem::current_path(E);
  }
  ~TCurrentDirGuard() {
    std::error_code E;
    if (!FDir.empty())
      std::filesystem::current_path(FDir, E);
  }
  TCurrentDirGuard(const TCurrentDirGuard &) = delete;
  TCurrentDirGuard &operator=(const TCurrentDirGuard &) = delete;

private:
  std::filesystem::path FDir;
};

// The build location as an absolute folder name ending in "/".
std::string WithSeparator(const std::string &Dir) {
  std::string Given = Dir.empty() ? std::string(".") : Dir;
  std::replace(Given.begin(), Given.end(), '\\', '/');
  std::error_code E;
  const std::filesystem::path Abs = std::filesystem::absolute(Given, E);
  std::string Result = E ? Given : Abs.lexically_normal().native();
  if (Result.empty() || Result.back() != '/')
    Result.push_back('/');
  return Result;
}

// The help compiler as the run starts it. A path that names a folder, or a
// file in the current directory, is made absolute here, before the run moves
// to the project's folder; a bare program name is left to the PATH search.
std::string HelpCompilerPath(const std::string &Given) {
  if (Given.empty()) return Given;
  std::string Path = Given;
  std::replace(Path.begin(), Path.end(), '\\', '/');
  std::error_code E;
  const bool Named = Path.find('/') != std::string::npos;
  if (!Named && !std::filesystem::exists(Path, E)) return Path;
  const std::filesystem::path Abs = std::filesystem::absolute(Path, E);
  return E ? Path : Abs.lexically_normal().string();
}

// Passes every report on to Inner, and turns the progress of a pass over the
// units into unit progress: the passes report Done of Total after each unit,
// in the order of the unit list.
class TUnitProgress : public TRunReporter {
 public:
  TUnitProgress(TRunReporter &Inner, const TSymbolTable &Symbols)
      : FInner(Inner), FSymbols(Symbols) {}
  void ReportStatus(const std::string &Text) override { FInner.ReportStatus(Text); }
  void ReportProgress(int Total, int Done) override {
    const bool Known =
        Done >= 0 && Done < Total && static_cast<std::size_t>(Total) == FSymbols.Units.size();
    FInner.ReportUnitProgress(Total, Done,
                              Known ? FSymbols.Units[static_cast<std::size_t>(Done)].Name : "");
  }
  void ReportWarning(const std::string &Message) override { FInner.ReportWarning(Message); }
  void ReportError(const std::string &Message) override { FInner.ReportError(Message); }
  void ReportSourceWarning(const std::string &File, int Line, const std::string &Message) override {
    FInner.ReportSourceWarning(File, Line, Message);
  }

 private:
  TRunReporter &FInner;
  const TSymbolTable &FSymbols;
};

} // namespace

int GridRowCount(const TSymbolTable &Symbols) {
  std::size_t Count = 0;
  for (const TURElm &U : Symbols.Units) {
    Count += 1 + U.Idents.size() + U.Classes.size();
    for (const TCRElm &C : U.Classes)
      Count += C.Members.size();
  }
  return static_cast<int>(Count);
}

std::vector<std::string> UnitNames(const TSymbolTable &Symbols) {
  std::vector<std::string> Names;
  Names.reserve(Symbols.Units.size());
  for (const TURElm &U : Symbols.Units)
    Names.push_back(U.Name);
  return Names;
}

TRunResult Run(TRunState &S, const TRunInputs &Inputs, TRunReporter &Reporter,
               const TShowSymbols &ShowSymbols) {
  const auto Start = std::chrono::steady_clock::now();
  TRunResult Result;
  TCurrentDirGuard KeepDir;
  TListingSink Sink;
  TTokenHookGuard Hook(S, Sink);
  std::optional<TBuildLock> Lock;
  S.Reporter = &Reporter;
  struct TReporterReset {
    TRunState &S;
    ~TReporterReset() { S.Reporter = nullptr; }
  } ResetReporter{S};
  try {
    S.Symbols.CreateSymbols();
    S.BuildDir = WithSeparator(Inputs.BuildDir);
    // A project that cannot be read ends the run before anything is written
    // (the lock file included).
    S.Scanner.Open(LocateSourceFile(ProjectFileOf(Inputs.ProjectFile)));
    S.Scanner.Close();
    Lock.emplace(S.BuildDir);
    // An executable here has no extension to force.
    S.HcrtfPath = HelpCompilerPath(Inputs.HcrtfPath);
    // ".dpr" and ".lpr" files are used as given; a name without an extension
    // means the ".dpr" file.
    S.ProjectFile = ProjectFileOf(Inputs.ProjectFile);

    ScanProject(S, Sink, S.ProjectFile, Inputs.Defines, Reporter, Inputs.KeepGoing);

    TUnitProgress UnitReporter(Reporter, S.Symbols);
    TSymbolPassEvents Events;
    Events.Status = [&Reporter](const std::string &Text) { Reporter.ReportStatus(Text); };
    Events.Progress = [&UnitReporter](int Total, int Done) {
      UnitReporter.ReportProgress(Total, Done);
    };
    {
      TSuspendedHook NoHook(S); // nothing is written in this phase
      BuildSymbolTable(S, CollectingAnchors(S, Sink, Events));
    }

    GenerateListings(S, Sink, UnitReporter);
    TUnitPages Pages;
    for (const TURElm &U : S.Symbols.Units) Pages.emplace_back(U.Name, UnitPage(U));
    WriteHelpProject(S.ProjectFile, S.BuildDir, S.HcrtfPath, Pages, Reporter, S.ProjectPage);
    WriteSymbolIndex(S.BuildDir + SymbolIndexPage + ".html", Sink.Index, S.Symbols,
                     ExtractFileName(S.ProjectFile));
    Sink.Index.Clear();

    Result.SymbolsScanned = GridRowCount(S.Symbols);
    if (ShowSymbols)
      ShowSymbols(S.Symbols, Result.SymbolsScanned);
    S.Symbols.FreeSymbols();
  } catch (const std::exception &E) {
    Sink.Files.Close();
    S.Scanner.Close();
    S.Deferring = false;
    S.PendingTokens.clear();
    S.Symbols.FreeSymbols();
    Reporter.ReportError(E.what());
    throw;
  }

  Result.ElapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::steady_clock::now() - Start)
                         .count();
  Result.TimeTaken = FormatElapsed(Result.ElapsedMs);
  S.StatusText = "Time Taken: " + Result.TimeTaken;
  Reporter.ReportStatus(S.StatusText);
  return Result;
}

} // namespace codeweft
