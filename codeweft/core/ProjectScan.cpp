#include "codeweft/core/ProjectScan.h"

#include <unistd.h>

#include <filesystem>
#include <functional>

#include "codeweft/core/Errors.h"
#include "codeweft/core/FileNames.h"
#include "codeweft/core/lex/Keywords.h"
#include "codeweft/core/lex/TokenStream.h"
#include "codeweft/core/output/OutputGuard.h"
#include "codeweft/core/symbols/SymbolPass.h"

namespace codeweft {

namespace {

bool Is(const TRunState &S, TTokenKind Kind) {
  return S.Token.Kind == Kind;
}

// The file an "in" entry names. A name that is not found as written (one
// without extension, say) is tried with ".pas", then with ".pp"; when none
// exists it stays as written, and opening it later says so.
std::string UnitFileOf(std::string_view Given) {
  std::error_code E;
  const auto Exists = [&E](const std::string &Name) {
    return std::filesystem::is_regular_file(LocateSourceFile(Name), E);
  };
  std::string Name(Given);
  if (Name.empty() || Exists(Name)) return Name;
  for (const char *Ext : {".pas", ".pp"})
    if (Exists(Name + Ext)) return Name + Ext;
  return Name;
}

// Why the unit file FileName cannot be read ("" when it can), in the words
// the symbol pass would use when it failed to open it.
std::string UnreadableReason(const std::string &FileName) {
  try {
    TScanner Probe;
    Probe.Open(LocateSourceFile(FileName));
  } catch (const EFOpenError &E) {
    return E.what();
  }
  return {};
}

// Counts the lines of the project file while it is scanned, so that each
// unit entry knows the line it stands on; the hook in place goes on running.
class TLineCounter {
public:
  explicit TLineCounter(TRunState &S) : FState(S), FOuter(S.TokenHook) {
    S.ProjectLine = 1;
    S.TokenHook = [this] {
      // Lines of include files are not the project file's.
      const std::string_view T = FState.Includes.empty() ? FState.Token.Text : std::string_view();
      for (std::size_t I = 0; I < T.size(); ++I)
        if (T[I] == '\n' || (T[I] == '\r' && (I + 1 == T.size() || T[I + 1] != '\n')))
          ++FState.ProjectLine;
      if (FOuter) FOuter();
    };
  }
  ~TLineCounter() { FState.TokenHook = FOuter; }
  TLineCounter(const TLineCounter &) = delete;
  TLineCounter &operator=(const TLineCounter &) = delete;

private:
  TRunState &FState;
  std::function<void()> FOuter;
};

// Gives Unit a page of its own. A page name already taken (the frames, the
// contents, the symbol index, the project, a unit of the same file name in
// another folder) gets a suffix, and a warning names the clash.
void ClaimUnitPage(TRunState &S, TURElm &Unit) {
  Unit.Page = S.Pages.Claim(Unit.Name);
  const std::string Wanted = PageName(Unit.Name);
  if (Unit.Page != Wanted)
    WarnAt(S, S.ProjectFile, Unit.ProjectLine,
           "the page name of unit " + Unit.Name + " (" + Unit.FileName +
               ") is taken; its pages are " + Unit.Page + ".html and " + Unit.Page + ".rtf");
}

} // namespace

int ProjectUnitList(TRunState &S, bool KeepGoing) {
  int Result = 0;
  while (Is(S, TTokenKind::tkIdentifier)) {
    std::string Written(S.Token.Text);
    QueueToken(S, Written, {}, {}, TTokenStyle::tsIdent);
    const int NamePos = static_cast<int>(S.PendingTokens.size()) - 1;
    Advance(S);
    // A dotted name ("Shared.CommonFunc") is one name. Written as one run it
    // stays one entry, so the whole name becomes the link; with blanks or
    // comments between its parts each part is queued plain.
    bool OneRun = true;
    std::string FullName = Written;
    while (Is(S, TTokenKind::tkPeriod)) {
      const std::string Dot(S.Token.Text);
      const std::size_t DotPos = S.PendingTokens.size();
      OneRun = OneRun && static_cast<int>(DotPos) == NamePos + 1;
      Advance(S);
      // The dot goes ahead of any trivia the hook queued after it.
      if (!Is(S, TTokenKind::tkIdentifier)) {
        InsertToken(S, DotPos, Dot, {}, {}, TTokenStyle::tsSymbol);
        QueueCurrent(S);
        return 2;
      }
      FullName += Dot;
      FullName += S.Token.Text;
      OneRun = OneRun && S.PendingTokens.size() == DotPos;
      if (OneRun) {
        Written = FullName;
        S.PendingTokens[NamePos].Text = Written;
      } else {
        InsertToken(S, DotPos, Dot, {}, {}, TTokenStyle::tsSymbol);
        QueueToken(S, S.Token.Text, {}, {}, TTokenStyle::tsIdent);
      }
      Advance(S);
    }
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
      const std::string File = UnitFileOf(Quoted.substr(1, Quoted.size() - 2));
      const std::string Reason = KeepGoing ? UnreadableReason(File) : std::string();
      // A skipped unit's name stays plain text: no page is written for it.
      if (!Reason.empty())
        WarnAt(S, S.ProjectFile, S.ProjectLine, "unit " + FullName + " skipped: " + Reason);
      else
        S.Symbols.AddUnit(File);
      if (Reason.empty() && !S.Symbols.Units.empty()) {
        TURElm &Unit = S.Symbols.Units.back();
        Unit.ProjectLine = S.ProjectLine;
        Unit.EntryName = FullName;
        ClaimUnitPage(S, Unit);
      }
      if (Reason.empty() && !S.Symbols.Units.empty() && OneRun) {
        const TURElm &Unit = S.Symbols.Units.back();
        MakeLink(S, NamePos, PageLink(Unit.Page), Written, "unit_" + Unit.Name,
                 TTokenStyle::tsLink);
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

bool ProjectUses(TRunState &S, bool KeepGoing) {
  BeginDeferral(S);
  Advance(S);
  if (ProjectUnitList(S, KeepGoing) != 1 || !Is(S, TTokenKind::tkSemicolon)) return false;
  Advance(S);
  return true;
}

int ScanProject(TRunState &S, TListingSink &Sink, const std::string &ProjectFile,
                const std::string &DefinesText, TRunReporter &Reporter, bool KeepGoing) {
  namespace fs = std::filesystem;
  Reporter.ReportStatus("Scanning Project File ...");

  // Unit files are named relative to the project's folder.
  std::error_code E;
  const fs::path Project = fs::absolute(LocateSourceFile(ProjectFile), E);
  if (!E && Project.has_parent_path()) {
    [[maybe_unused]] const int Ignored = ::chdir(Project.parent_path().c_str());
  }

  TDefines Defines;
  FillDefines(Defines, DefinesText);
  S.Conditionals.SetInitial(Defines);
  S.Warned.clear();
  S.IncludeFiles.clear();
  S.Deferring = false;
  S.PendingTokens.clear();

  // The project file is opened before any output is created: a project that
  // cannot be read leaves no files behind.
  const std::string Source = E ? ProjectFile : Project.string();
  S.Phase = TPhase::phProject;
  OpenSource(S, Source);

  const std::string Name = ExtractFileName(ProjectFile);
  S.Pages.Clear();
  ReserveRunPages(S.Pages);
  S.ProjectPage = S.Pages.Claim(ChangeExt(Name, ""));
  if (S.ProjectPage != PageName(ChangeExt(Name, "")))
    WarnAt(S, ProjectFile, 1,
           "the page name of project " + Name + " is taken; its pages are " + S.ProjectPage +
               ".html and " + S.ProjectPage + ".rtf");
  Sink.Page = S.ProjectPage + ".html";
  Sink.Files.OpenListing(S.BuildDir + S.ProjectPage + ".html", S.BuildDir + S.ProjectPage + ".rtf",
                         ChangeExt(Name, ""), SourceCharsetOf(Source));

  S.AtEnd = false;
  TLineCounter Lines(S);
  Advance(S);
  while (!S.AtEnd) {
    if (Is(S, Keyword("uses")))
      ProjectUses(S, KeepGoing);
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
