#include "codeweft/core/output/HelpProject.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "codeweft/core/FileNames.h"
#include "codeweft/core/output/ListingWriter.h"
#include "codeweft/core/output/OutputFile.h"

namespace codeweft {

namespace {

void AddLine(std::string &text, std::string_view line) {
  text += line;
  text += "\r\n";
}

std::string ContentLink(std::string_view page, std::string_view caption) {
  return "<A HREF = \"" + FileHref(page) + "\" TARGET = \"main\">" + HtmlPageText(caption) + "</A>";
}

std::string FrameLine(std::string_view page, std::string_view name, std::string_view title) {
  return "  <frame src=\"" + FileHref(page) +
         "\" marginwidth=\"10\" marginheight=\"10\" scrolling=\"auto\" frameborder=\"yes\" "
         "name=\"" +
         std::string(name) + "\" title=\"" + HtmlEscape(title) + "\">";
}

constexpr const char *PageMeta =
    "<META CHARSET=\"UTF-8\"><META NAME=\"viewport\" "
    "CONTENT=\"width=device-width, initial-scale=1\">";

std::string ProjectPageOf(const std::string &projectFile, const std::string &projectPage) {
  return projectPage.empty() ? HelpNamesOf(projectFile).ProjectPage : projectPage + ".html";
}

} // namespace

THelpNames HelpNamesOf(const std::string &projectFile) {
  THelpNames names;
  names.ProjectName = ExtractFileName(projectFile);
  names.HelpProject = ChangeExt(names.ProjectName, "hpj");
  names.HelpFile = ChangeExt(names.HelpProject, "hlp");
  names.ContentsFile = ChangeExt(names.HelpProject, "cnt");
  names.ProjectPage = ChangeExt(names.HelpProject, "html");
  return names;
}

std::string HelpProjectText(const std::string &projectFile, const TUnitPages &units) {
  const THelpNames names = HelpNamesOf(projectFile);
  std::string text;
  AddLine(text, "; cette fichier est cre\xE8 par quib");
  AddLine(text, "");
  AddLine(text, "[OPTIONS]");
  AddLine(text, "LCID=0x409");
  AddLine(text, ("HLP=.\\" + names.HelpFile));
  AddLine(text, ("CNT=.\\" + names.ContentsFile));
  AddLine(text, "");
  AddLine(text, "[WINDOWS]");
  AddLine(text, "main=\"\", , 0,(0,0,128),(192,192,192),  ;");
  AddLine(text, "");
  AddLine(text, "[FILES]");
  for (const TUnitPage &unit : units) AddLine(text, unit.Page + ".rtf");
  return text;
}

std::string ContentsFileText(const std::string &projectFile, const TUnitPages &units) {
  const THelpNames names = HelpNamesOf(projectFile);
  std::string text;
  AddLine(text, ":Base " + names.HelpFile);
  AddLine(text, ":Title Project " + projectFile);
  AddLine(text, "1 Units");
  for (const TUnitPage &unit : units) AddLine(text, "2 " + unit.Name + "=Unit_" + unit.Name);
  return text;
}

std::string IndexHtmlText(const std::string &projectFile, const std::string &projectPage) {
  const THelpNames names = HelpNamesOf(projectFile);
  std::string text;
  AddLine(text, "<!DOCTYPE html>");
  AddLine(text, std::string("<HTML><HEAD>") + PageMeta +
                    "<TITLE>Project: " + HtmlPageText(names.ProjectName) + "</TITLE></HEAD>");
  AddLine(text, "<frameset  cols=\"15%,*\">");
  AddLine(text, FrameLine("content.html", "content", "Contents"));
  AddLine(text, FrameLine(ProjectPageOf(projectFile, projectPage), "main", "Listing"));
  AddLine(text, "<noframes><BODY><A HREF=\"content.html\">Contents</A></BODY></noframes>");
  AddLine(text, "</frameset>");
  AddLine(text, "</HTML>");
  return text;
}

std::string ContentHtmlText(const std::string &projectFile, const TUnitPages &units,
                            const std::string &projectPage) {
  const THelpNames names = HelpNamesOf(projectFile);
  std::string text;
  AddLine(text, "<!DOCTYPE html>");
  AddLine(text, std::string("<HTML><HEAD>") + PageMeta + "<TITLE>Contents</TITLE></HEAD>");
  AddLine(text, "<BODY BGCOLOR=\"#00007F\" VLINK=\"#FFFF00\" LINK=\"#FFFF00\">"
                "<FONT COLOR=\"#FFFF00\">");
  AddLine(text, "<H3>Project</H3>");
  AddLine(text,
          ContentLink(ProjectPageOf(projectFile, projectPage), names.ProjectName) + "<BR><BR>");
  AddLine(text, "<H3>Units</H3>");
  for (const TUnitPage &unit : units)
    AddLine(text, ContentLink(unit.Page + ".html", unit.Name + ".pas") + "<BR>");
  AddLine(text,
          "<BR>" + ContentLink(std::string(SymbolIndexPage) + ".html", "Symbol index") + "<BR>");
  AddLine(text, "</FONT></BODY></HTML>");
  return text;
}

void WriteBuildFile(const std::string &buildDir, const std::string &name, const std::string &text) {
  TOutputFile file;
  file.Create(buildDir + name);
  file.Write(text);
  file.Close();
}

int StartHelpCompiler(const std::string &hcrtfPath, const std::string &helpProjectPath) {
  // Everything the children need is prepared here: after fork only
  // async-signal-safe calls are made.
  std::string program = hcrtfPath, flag = "-x", project = helpProjectPath;
  char *argv[] = {program.data(), flag.data(), project.data(), nullptr};

  const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
  if (null < 0)
    return errno;
  // The exec failure of the grandchild comes back through this pipe; a
  // successful exec closes it (close-on-exec) and the parent reads nothing.
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) {
    const int error = errno;
    ::close(null);
    return error;
  }

  // Double fork: the middle child exits at once and is reaped here, so the
  // help compiler is adopted by init and never becomes our zombie.
  const pid_t middle = ::fork();
  if (middle < 0) {
    const int error = errno;
    ::close(null);
    ::close(report[0]);
    ::close(report[1]);
    return error;
  }
  if (middle == 0) {
    const pid_t worker = ::fork();
    if (worker == 0) {
      ::setsid();
      ::dup2(null, 0);
      ::dup2(null, 1);
      ::dup2(null, 2);
      ::execvp(argv[0], argv);
      const int error = errno;
      [[maybe_unused]] ssize_t ignored = ::write(report[1], &error, sizeof error);
      ::_exit(127);
    }
    if (worker < 0) {
      const int error = errno;
      [[maybe_unused]] ssize_t ignored = ::write(report[1], &error, sizeof error);
    }
    ::_exit(0);
  }

  ::close(null);
  ::close(report[1]);
  int status = 0;
  while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
  }
  int error = 0;
  ssize_t got;
  while ((got = ::read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
  }
  ::close(report[0]);
  return got == static_cast<ssize_t>(sizeof error) ? error : 0;
}

int WriteHelpProject(const std::string &projectFile, const std::string &buildDir,
                     const std::string &hcrtfPath, const TUnitPages &unitNames,
                     TRunReporter &reporter, const std::string &projectPage) {
  const THelpNames names = HelpNamesOf(projectFile);
  reporter.ReportStatus("Creating Help Project and HTML Frame ...");
  reporter.ReportProgress(4, 0);
  WriteBuildFile(buildDir, names.HelpProject, HelpProjectText(projectFile, unitNames));
  reporter.ReportProgress(4, 1);
  WriteBuildFile(buildDir, names.ContentsFile, ContentsFileText(projectFile, unitNames));
  if (!hcrtfPath.empty())
    if (const int error = StartHelpCompiler(hcrtfPath, buildDir + names.HelpProject))
      reporter.ReportWarning(std::string(HelpCompilerWarning) + "\nCannot start \"" + hcrtfPath +
                             "\": " + std::strerror(error));
  reporter.ReportProgress(4, 2);
  WriteBuildFile(buildDir, "index.html", IndexHtmlText(projectFile, projectPage));
  reporter.ReportProgress(4, 3);
  WriteBuildFile(buildDir, "content.html", ContentHtmlText(projectFile, unitNames, projectPage));
  reporter.ReportProgress(4, 4);
  reporter.ReportProgress(4, 0);
  return 0;
}

std::string FormatElapsed(std::int64_t milliseconds) {
  if (milliseconds < 0)
    milliseconds = 0;
  const std::int64_t seconds = milliseconds / 1000;
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(seconds / 3600 % 24),
                static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
  return text;
}

} // namespace codeweft
