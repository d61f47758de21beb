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
    std::error_code e;
    FDir = std::filesystem::current_path(e);
  }
  ~TCurrentDirGuard() {
    std::error_code e;
    if (!FDir.empty())
      std::filesystem::current_path(FDir, e);
  }
  TCurrentDirGuard(const TCurrentDirGuard &) = delete;
  TCurrentDirGuard &operator=(const TCurrentDirGuard &) = delete;

private:
  std::filesystem::path FDir;
};

// The build location as an absolute folder name ending in "/".
std::string WithSeparator(const std::string &dir) {
  std::string given = dir.empty() ? std::string(".") : dir;
  std::replace(given.begin(), given.end(), '\\', '/');
  std::error_code e;
  const std::filesystem::path abs = std::filesystem::absolute(given, e);
  std::string result = e ? given : abs.lexically_normal().native();
  if (result.empty() || result.back() != '/')
    result.push_back('/');
  return result;
}

// The help compiler as the run starts it. A path that names a folder, or a
// file in the current directory, is made absolute here, before the run moves
// to the project's folder; a bare program name is left to the PATH search.
std::string HelpCompilerPath(const std::string &given) {
  if (given.empty()) return given;
  std::string path = given;
  std::replace(path.begin(), path.end(), '\\', '/');
  std::error_code e;
  const bool named = path.find('/') != std::string::npos;
  if (!named && !std::filesystem::exists(path, e)) return path;
  const std::filesystem::path abs = std::filesystem::absolute(path, e);
  return e ? path : abs.lexically_normal().string();
}

// Passes every report on to inner, and turns the progress of a pass over the
// units into unit progress: the passes report done of total after each unit,
// in the order of the unit list.
class TUnitProgress : public TRunReporter {
 public:
  TUnitProgress(TRunReporter &inner, const TSymbolTable &symbols)
      : FInner(inner), FSymbols(symbols) {}
  void ReportStatus(const std::string &text) override { FInner.ReportStatus(text); }
  void ReportProgress(int total, int done) override {
    const bool known =
        done >= 0 && done < total && static_cast<std::size_t>(total) == FSymbols.Units.size();
    FInner.ReportUnitProgress(total, done,
                              known ? FSymbols.Units[static_cast<std::size_t>(done)].Name : "");
  }
  void ReportWarning(const std::string &message) override { FInner.ReportWarning(message); }
  void ReportError(const std::string &message) override { FInner.ReportError(message); }
  void ReportSourceWarning(const std::string &file, int line, const std::string &message) override {
    FInner.ReportSourceWarning(file, line, message);
  }

 private:
  TRunReporter &FInner;
  const TSymbolTable &FSymbols;
};

} // namespace

int GridRowCount(const TSymbolTable &symbols) {
  std::size_t count = 0;
  for (const TURElm &u : symbols.Units) {
    count += 1 + u.Idents.size() + u.Classes.size();
    for (const TCRElm &c : u.Classes)
      count += c.Members.size();
  }
  return static_cast<int>(count);
}

std::vector<std::string> UnitNames(const TSymbolTable &symbols) {
  std::vector<std::string> names;
  names.reserve(symbols.Units.size());
  for (const TURElm &u : symbols.Units)
    names.push_back(u.Name);
  return names;
}

TRunResult Run(TRunState &s, const TRunInputs &inputs, TRunReporter &reporter,
               const TShowSymbols &showSymbols) {
  const auto start = std::chrono::steady_clock::now();
  TRunResult result;
  TCurrentDirGuard keepDir;
  TListingSink sink;
  TTokenHookGuard hook(s, sink);
  std::optional<TBuildLock> lock;
  s.Reporter = &reporter;
  struct TReporterReset {
    TRunState &S;
    ~TReporterReset() { S.Reporter = nullptr; }
  } resetReporter{s};
  try {
    s.Symbols.CreateSymbols();
    s.Paths.BuildDir = WithSeparator(inputs.BuildDir);
    // A project that cannot be read ends the run before anything is written
    // (the lock file included).
    s.Source.Scanner.Open(LocateSourceFile(ProjectFileOf(inputs.ProjectFile)));
    s.Source.Scanner.Close();
    lock.emplace(s.Paths.BuildDir);
    // An executable here has no extension to force.
    s.Paths.HcrtfPath = HelpCompilerPath(inputs.HcrtfPath);
    // ".dpr" and ".lpr" files are used as given; a name without an extension
    // means the ".dpr" file.
    s.Paths.ProjectFile = ProjectFileOf(inputs.ProjectFile);

    ScanProject(s, sink, s.Paths.ProjectFile, inputs.Defines, reporter, inputs.KeepGoing);

    TUnitProgress unitReporter(reporter, s.Symbols);
    TSymbolPassEvents events;
    events.Status = [&reporter](const std::string &text) { reporter.ReportStatus(text); };
    events.Progress = [&unitReporter](int total, int done) {
      unitReporter.ReportProgress(total, done);
    };
    {
      TSuspendedHook noHook(s); // nothing is written in this phase
      BuildSymbolTable(s, CollectingAnchors(s, sink, events));
    }

    GenerateListings(s, sink, unitReporter);
    TUnitPages pages;
    for (const TURElm &u : s.Symbols.Units) pages.emplace_back(u.Name, UnitPage(u));
    WriteHelpProject(s.Paths.ProjectFile, s.Paths.BuildDir, s.Paths.HcrtfPath, pages, reporter,
                     s.Paths.ProjectPage);
    WriteSymbolIndex(s.Paths.BuildDir + SymbolIndexPage + ".html", sink.Index, s.Symbols,
                     ExtractFileName(s.Paths.ProjectFile));
    sink.Index.Clear();

    result.SymbolsScanned = GridRowCount(s.Symbols);
    if (showSymbols)
      showSymbols(s.Symbols, result.SymbolsScanned);
    s.Symbols.FreeSymbols();
  } catch (const std::exception &e) {
    sink.Files.Close();
    s.Source.Scanner.Close();
    s.Source.Deferring = false;
    s.Source.PendingTokens.clear();
    s.Symbols.FreeSymbols();
    reporter.ReportError(e.what());
    throw;
  }

  result.ElapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::steady_clock::now() - start)
                         .count();
  result.TimeTaken = FormatElapsed(result.ElapsedMs);
  s.StatusText = "Time Taken: " + result.TimeTaken;
  reporter.ReportStatus(s.StatusText);
  return result;
}

} // namespace codeweft
