#include "codeweft/core/ProjectScan.h"

#include <filesystem>
#include <unistd.h>

#include "codeweft/core/FileNames.h"
#include "codeweft/core/Keywords.h"
#include "codeweft/core/OutputGuard.h"
#include "codeweft/core/SymbolPass.h"
#include "codeweft/core/TokenStream.h"

namespace codeweft {

namespace {

bool Is(const TRunState &S, TTokenKind Kind) {
  return S.Token.Kind == Kind;
}

} // namespace

int ProjectUnitList(TRunState &S) {
  int Result = 0;
  while (Is(S, TTokenKind::tkIdentifier)) {
    const std::string Written(S.Token.Text);
    QueueToken(S, Written, {}, {}, TTokenStyle::tsIdent);
    const int NamePos = static_cast<int>(S.PendingTokens.size()) - 1;
    Advance(S);
    if (Is(S, Keyword("in"))) {
      // Still deferring: the link is made once the file, and so the unit's
      // list name, is known.
      QueueToken(S, S.Token.Text, {}, {}, StyleOf(S.Token.Kind));
      Advance(S);
      if (!Is(S, TTokenKind::tkString) || S.Token.Text.size() < 2) {
        QueueCurrent(S);
        return 2;
      }
      const std::string_view Quoted = S.Token.Text;
      S.Symbols.AddUnit(Quoted.substr(1, Quoted.size() - 2));
      if (!S.Symbols.Units.empty()) {
        const std::string &Name = S.Symbols.Units.back().Name;
        MakeLink(S, NamePos, PageName(Name) + ".html", Written, "unit_" + Name, TTokenStyle::tsLink);
      }
      QueueCurrent(S);
      Advance(S);
    } else {
      QueueCurrent(S);
    }
    if (!Is(S, TTokenKind::tkComma))
      return 1;
    BeginDeferral(S);
    Advance(S);
    Result = 2;
  }
  QueueCurrent(S);
  return Result;
}

bool ProjectUses(TRunState &S) {
  BeginDeferral(S);
  Advance(S);
  if (ProjectUnitList(S) != 1 || !Is(S, TTokenKind::tkSemicolon))
    return false;
  Advance(S);
  return true;
}

int ScanProject(TRunState &S, TListingSink &Sink, const std::string &ProjectFile,
                const std::string &DefinesText, TRunReporter &Reporter) {
  namespace fs = std::filesystem;
  Reporter.ReportStatus("Scanning Project File ...");

  // Unit files are named relative to the project's folder.
  std::error_code E;
  const fs::path Project = fs::absolute(LocateSourceFile(ProjectFile), E);
  if (!E && Project.has_parent_path()) {
    [[maybe_unused]] const int Ignored = ::chdir(Project.parent_path().c_str());
  }

  FillDefines(S.Defines, DefinesText);
  S.Deferring = false;
  S.PendingTokens.clear();

  const std::string Name = ExtractFileName(ProjectFile);
  Sink.Files.OpenListing(S.BuildDir + ChangeExt(Name, "html"), S.BuildDir + ChangeExt(Name, "rtf"),
                         ChangeExt(Name, ""));

  S.Phase = TPhase::phProject;
  S.Scanner.Open(E ? ProjectFile : Project.string());
  S.AtEnd = false;
  Advance(S);
  while (!S.AtEnd) {
    if (Is(S, Keyword("uses")))
      ProjectUses(S);
    else
      Advance(S);
  }
  FinishListedFile(S, Sink);
  // Every output name is known now, and nothing has replaced a file yet.
  CheckOutputsAreNotInputs(S, E ? ProjectFile : Project.string());
  Sink.Files.CloseListing();
  Reporter.ReportProgress(1, 1);
  return 0;
}

} // namespace codeweft
