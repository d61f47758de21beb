#include "codeweft/core/Run.h"

#include <chrono>
#include <exception>
#include <filesystem>
#include <unistd.h>

#include "codeweft/core/FileNames.h"
#include "codeweft/core/HelpProject.h"
#include "codeweft/core/ListingPass.h"
#include "codeweft/core/ProjectScan.h"
#include "codeweft/core/SymbolPass.h"

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
    if (!FDir.empty()) std::filesystem::current_path(FDir, E);
  }
  TCurrentDirGuard(const TCurrentDirGuard &) = delete;
  TCurrentDirGuard &operator=(const TCurrentDirGuard &) = delete;

private:
  std::filesystem::path FDir;
};

std::string WithSeparator(const std::string &Dir) {
  std::string D = Dir;
  for (char &C : D)
    if (C == '\\') C = '/';
  if (D.empty()) D = ".";
  std::error_code E;
  const std::filesystem::path Abs = std::filesystem::absolute(D, E);
  if (!E) D = Abs.lexically_normal().string();
  if (D.back() != '/') D += '/';
  return D;
}

} // namespace

std::vector<std::string> UnitNames(const TSymbolTable &Symbols) {
  std::vector<std::string> Names;
  Names.reserve(Symbols.Units.size());
  for (const TURElm &U : Symbols.Units) Names.push_back(U.Name);
  return Names;
}

TRunResult Run(TRunState &S, const TRunInputs &Inputs, TRunReporter &Reporter,
               const std::function<void(const TRunResult &)> &ShowSymbols) {
  const auto Start = std::chrono::steady_clock::now();
  TRunResult Result;
  TCurrentDirGuard KeepDir;
  TListingSink Sink;
  TTokenHookGuard Hook(S, Sink);
  try {
    S.Symbols.CreateSymbols();
    S.BuildDir = WithSeparator(Inputs.BuildDir);
    // An executable here has no extension to force; the path is used as given.
    S.HcrtfPath = Inputs.HcrtfPath;
    S.ProjectFile = ChangeExt(Inputs.ProjectFile, "dpr");

    ScanProject(S, Sink, S.ProjectFile, Inputs.Defines, Reporter);

    TSymbolPassEvents Events;
    Events.Status = [&Reporter](const std::string &Text) { Reporter.ReportStatus(Text); };
    Events.Progress = [&Reporter](int Total, int Done) { Reporter.ReportProgress(Total, Done); };
    {
      TSuspendedHook NoHook(S); // nothing is written in this phase
      BuildSymbolTable(S, Events);
    }

    GenerateListings(S, Sink, Reporter);
    WriteHelpProject(S.ProjectFile, S.BuildDir, S.HcrtfPath, UnitNames(S.Symbols), Reporter);

    Result.Rows = GridRows(S.Symbols);
    Result.SymbolsScanned = static_cast<int>(Result.Rows.size());
    if (ShowSymbols) ShowSymbols(Result);
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
