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

bool Is(const TRunState &s, TTokenKind kind) {
  return s.Source.Token.Kind == kind;
}

// The file an "in" entry names. A name that is not found as written (one
// without extension, say) is tried with ".pas", then with ".pp"; when none
// exists it stays as written, and opening it later says so.
std::string UnitFileOf(std::string_view given) {
  std::error_code e;
  const auto exists = [&e](const std::string &name) {
    return std::filesystem::is_regular_file(LocateSourceFile(name), e);
  };
  std::string name(given);
  if (name.empty() || exists(name)) return name;
  for (const char *ext : {".pas", ".pp"})
    if (exists(name + ext)) return name + ext;
  return name;
}

// Why the unit file FileName cannot be read ("" when it can), in the words
// the symbol pass would use when it failed to open it.
std::string UnreadableReason(const std::string &fileName) {
  try {
    TScanner probe;
    probe.Open(LocateSourceFile(fileName));
  } catch (const EFOpenError &e) {
    return e.what();
  }
  return {};
}

// Counts the lines of the project file while it is scanned, so that each
// unit entry knows the line it stands on; the hook in place goes on running.
class TLineCounter {
public:
  explicit TLineCounter(TRunState &s) : FState(s), FOuter(s.Source.TokenHook) {
    s.ProjectLine = 1;
    s.Source.TokenHook = [this] {
      // Lines of include files are not the project file's.
      const std::string_view t =
          FState.Source.Includes.empty() ? FState.Source.Token.Text : std::string_view();
      for (std::size_t i = 0; i < t.size(); ++i)
        if (t[i] == '\n' || (t[i] == '\r' && (i + 1 == t.size() || t[i + 1] != '\n')))
          ++FState.ProjectLine;
      if (FOuter) FOuter();
    };
  }
  ~TLineCounter() { FState.Source.TokenHook = FOuter; }
  TLineCounter(const TLineCounter &) = delete;
  TLineCounter &operator=(const TLineCounter &) = delete;

private:
  TRunState &FState;
  std::function<void()> FOuter;
};

// Gives unit a page of its own. A page name already taken (the frames, the
// contents, the symbol index, the project, a unit of the same file name in
// another folder) gets a suffix, and a warning names the clash.
void ClaimUnitPage(TRunState &s, TURElm &unit) {
  unit.Page = s.Paths.Pages.Claim(unit.Name);
  const std::string wanted = PageName(unit.Name);
  if (unit.Page != wanted)
    WarnAt(s, s.Paths.ProjectFile, unit.ProjectLine,
           "the page name of unit " + unit.Name + " (" + unit.FileName +
               ") is taken; its pages are " + unit.Page + ".html and " + unit.Page + ".rtf");
}

} // namespace

int ProjectUnitList(TRunState &s, bool keepGoing) {
  int result = 0;
  while (Is(s, TTokenKind::tkIdentifier)) {
    std::string written(s.Source.Token.Text);
    QueueToken(s, written, {}, {}, TTokenStyle::tsIdent);
    const int namePos = static_cast<int>(s.Source.PendingTokens.size()) - 1;
    Advance(s);
    // A dotted name ("Shared.CommonFunc") is one name. Written as one run it
    // stays one entry, so the whole name becomes the link; with blanks or
    // comments between its parts each part is queued plain.
    bool oneRun = true;
    std::string fullName = written;
    while (Is(s, TTokenKind::tkPeriod)) {
      const std::string dot(s.Source.Token.Text);
      const std::size_t dotPos = s.Source.PendingTokens.size();
      oneRun = oneRun && static_cast<int>(dotPos) == namePos + 1;
      Advance(s);
      // The dot goes ahead of any trivia the hook queued after it.
      if (!Is(s, TTokenKind::tkIdentifier)) {
        InsertToken(s, dotPos, dot, {}, {}, TTokenStyle::tsSymbol);
        QueueCurrent(s);
        return 2;
      }
      fullName += dot;
      fullName += s.Source.Token.Text;
      oneRun = oneRun && s.Source.PendingTokens.size() == dotPos;
      if (oneRun) {
        written = fullName;
        s.Source.PendingTokens[namePos].Text = written;
      } else {
        InsertToken(s, dotPos, dot, {}, {}, TTokenStyle::tsSymbol);
        QueueToken(s, s.Source.Token.Text, {}, {}, TTokenStyle::tsIdent);
      }
      Advance(s);
    }
    if (Is(s, Keyword("in"))) {
      // Still deferring: the link is made once the file, and so the unit's
      // list name, is known.
      QueueToken(s, s.Source.Token.Text, {}, {}, StyleOf(s.Source.Token.Kind));
      Advance(s);
      if (!Is(s, TTokenKind::tkString) || s.Source.Token.Text.size() < 2) {
        QueueCurrent(s);
        return 2;
      }
      const std::string_view quoted = s.Source.Token.Text;
      const std::string file = UnitFileOf(quoted.substr(1, quoted.size() - 2));
      const std::string reason = keepGoing ? UnreadableReason(file) : std::string();
      // A skipped unit's name stays plain text: no page is written for it.
      if (!reason.empty())
        WarnAt(s, s.Paths.ProjectFile, s.ProjectLine, "unit " + fullName + " skipped: " + reason);
      else
        s.Symbols.AddUnit(file);
      if (reason.empty() && !s.Symbols.Units.empty()) {
        TURElm &unit = s.Symbols.Units.back();
        unit.ProjectLine = s.ProjectLine;
        unit.EntryName = fullName;
        ClaimUnitPage(s, unit);
      }
      if (reason.empty() && !s.Symbols.Units.empty() && oneRun) {
        const TURElm &unit = s.Symbols.Units.back();
        MakeLink(s, namePos, PageLink(unit.Page), written, "unit_" + unit.Name,
                 TTokenStyle::tsLink);
      }
      QueueCurrent(s);
      Advance(s);
    } else {
      QueueCurrent(s);
    }
    if (!Is(s, TTokenKind::tkComma))
      return 1;
    BeginDeferral(s);
    Advance(s);
    result = 2;
  }
  QueueCurrent(s);
  return result;
}

bool ProjectUses(TRunState &s, bool keepGoing) {
  BeginDeferral(s);
  Advance(s);
  if (ProjectUnitList(s, keepGoing) != 1 || !Is(s, TTokenKind::tkSemicolon)) return false;
  Advance(s);
  return true;
}

int ScanProject(TRunState &s, TListingSink &sink, const std::string &projectFile,
                const std::string &definesText, TRunReporter &reporter, bool keepGoing) {
  namespace fs = std::filesystem;
  reporter.ReportStatus("Scanning Project File ...");

  // Unit files are named relative to the project's folder.
  std::error_code e;
  const fs::path project = fs::absolute(LocateSourceFile(projectFile), e);
  if (!e && project.has_parent_path()) {
    [[maybe_unused]] const int ignored = ::chdir(project.parent_path().c_str());
  }

  TDefines defines;
  FillDefines(defines, definesText);
  s.Source.Conditionals.SetInitial(defines);
  s.Warned.clear();
  s.Source.IncludeFiles.clear();
  s.Source.Deferring = false;
  s.Source.PendingTokens.clear();

  // The project file is opened before any output is created: a project that
  // cannot be read leaves no files behind.
  const std::string source = e ? projectFile : project.string();
  s.Phase = TPhase::phProject;
  OpenSource(s, source);

  const std::string name = ExtractFileName(projectFile);
  s.Paths.Pages.Clear();
  ReserveRunPages(s.Paths.Pages);
  s.Paths.ProjectPage = s.Paths.Pages.Claim(ChangeExt(name, ""));
  if (s.Paths.ProjectPage != PageName(ChangeExt(name, "")))
    WarnAt(s, projectFile, 1,
           "the page name of project " + name + " is taken; its pages are " + s.Paths.ProjectPage +
               ".html and " + s.Paths.ProjectPage + ".rtf");
  sink.Page = s.Paths.ProjectPage + ".html";
  sink.Files.OpenListing(s.Paths.BuildDir + s.Paths.ProjectPage + ".html",
                         s.Paths.BuildDir + s.Paths.ProjectPage + ".rtf", ChangeExt(name, ""),
                         SourceCharsetOf(source));

  s.Source.AtEnd = false;
  TLineCounter lines(s);
  Advance(s);
  while (!s.Source.AtEnd) {
    if (Is(s, Keyword("uses")))
      ProjectUses(s, keepGoing);
    else
      Advance(s);
  }
  FinishListedFile(s, sink);
  // Every output name is known now, and nothing has replaced a file yet.
  CheckOutputsAreNotInputs(s, e ? projectFile : project.string());
  sink.Files.CloseListing();
  reporter.ReportProgress(1, 1);
  return 0;
}

} // namespace codeweft
