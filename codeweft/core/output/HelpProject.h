// The last phase of a run: the help project and its contents file for the
// help compiler, the start of the help compiler, and the HTML frameset
// (index.html) with its contents page (content.html).
//
// Every file here is a list of lines, each ending in CR LF, the last included.
// The two pages are HTML5 documents in UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "codeweft/core/FileNames.h"
#include "codeweft/core/RunReporter.h"

namespace codeweft {

// The names derived from the project file (C:\src\Demo.dpr or /src/Demo.dpr):
// P = Demo.dpr, help project Demo.hpj, help file Demo.hlp, contents Demo.cnt,
// project page Demo.html.
struct THelpNames {
  std::string ProjectName;
  std::string HelpProject;
  std::string HelpFile;
  std::string ContentsFile;
  std::string ProjectPage;
};
THelpNames HelpNamesOf(const std::string &projectFile);

// A unit of the list and the name (without extension) its pages are written
// under; made from a bare name, the page is PageName of it.
struct TUnitPage {
  TUnitPage(std::string unitName) : Name(std::move(unitName)), Page(PageName(Name)) {}
  TUnitPage(const char *unitName) : TUnitPage(std::string(unitName)) {}
  TUnitPage(std::string unitName, std::string unitPage)
      : Name(std::move(unitName)), Page(std::move(unitPage)) {}
  std::string Name;
  std::string Page;
};
using TUnitPages = std::vector<TUnitPage>;

// The file texts; units in the unit list's sorted order. ProjectPage is the
// project's page name without extension (empty: from the project's name).
std::string HelpProjectText(const std::string &projectFile, const TUnitPages &units);
std::string ContentsFileText(const std::string &projectFile, const TUnitPages &units);
// The frame set: the contents on the left, the project's page on the right,
// each frame titled, and for a browser without frames a link to the contents.
std::string IndexHtmlText(const std::string &projectFile, const std::string &projectPage = {});
// The contents: the project, its units and the symbol index.
std::string ContentHtmlText(const std::string &projectFile, const TUnitPages &units,
                            const std::string &projectPage = {});

// Creates buildDir + Name anew and writes text into it as bytes.
// Throws EFCreateError / EFWriteError naming the file.
void WriteBuildFile(const std::string &buildDir, const std::string &name, const std::string &text);

// The warning shown when the help compiler cannot be started.
inline constexpr const char *HelpCompilerWarning =
    "Failed to compile Help Project\nPlease Compile manually";

// Starts hcrtfPath with the arguments "-x" and helpProjectPath, detached: its
// standard streams go to /dev/null, it gets a session of its own, the run does
// not wait for it and no zombie is left behind. Returns 0 when the program was
// started, else the system error number of the failure (e.g. ENOENT).
int StartHelpCompiler(const std::string &hcrtfPath, const std::string &helpProjectPath);

// The phase: writes the help project and contents file into buildDir (which
// ends in the platform separator), starts the help compiler unless hcrtfPath
// is empty (a start failure is reported as HelpCompilerWarning, followed by a
// line naming the program and the system's reason, and the phase goes on), then writes index.html and content.html. Reports the status
// "Creating Help Project and HTML Frame ..." and progress 0..4 of 4, then 0.
// Returns 0; file errors are exceptions.
int WriteHelpProject(const std::string &projectFile, const std::string &buildDir,
                     const std::string &hcrtfPath, const TUnitPages &units, TRunReporter &reporter,
                     const std::string &projectPage = {});

// Elapsed milliseconds as "hh:nn:ss"; a day or more shows only the hours
// beyond whole days (25 h -> 01:00:00). Negative values count as 0.
std::string FormatElapsed(std::int64_t milliseconds);

} // namespace codeweft
