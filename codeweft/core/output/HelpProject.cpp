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

void AddLine(std::string &Text, std::string_view Line) {
  Text += Line;
  Text += "\r\n";
}

std::string ContentLink(std::string_view Page, std::string_view Caption) {
  return "<A HREF = \"" + FileHref(Page) + "\" TARGET = \"main\">" + HtmlPageText(Caption) + "</A>";
}

std::string FrameLine(std::string_view Page, std::string_view Name, std::string_view Title) {
  return "  <frame src=\"" + FileHref(Page) +
         "\" marginwidth=\"10\" marginheight=\"10\" scrolling=\"auto\" frameborder=\"yes\" "
         "name=\"" +
         std::string(Name) + "\" title=\"" + HtmlEscape(Title) + "\">";
}

constexpr const char *PageMeta =
    "<META CHARSET=\"UTF-8\"><META NAME=\"viewport\" "
    "CONTENT=\"width=device-width, initial-scale=1\">";

std::string ProjectPageOf(const std::string &ProjectFile, const std::string &ProjectPage) {
  return ProjectPage.empty() ? HelpNamesOf(ProjectFile).ProjectPage : ProjectPage + ".html";
}

} // namespace

THelpNames HelpNamesOf(const std::string &ProjectFile) {
  THelpNames Names;
  Names.ProjectName = ExtractFileName(ProjectFile);
  Names.HelpProject = ChangeExt(Names.ProjectName, "hpj");
  Names.HelpFile = ChangeExt(Names.HelpProject, "hlp");
  Names.ContentsFile = ChangeExt(Names.HelpProject, "cnt");
  Names.ProjectPage = ChangeExt(Names.HelpProject, "html");
  return Names;
}

std::string HelpProjectText(const std::string &ProjectFile, const TUnitPages &Units) {
  const THelpNames Names = HelpNamesOf(ProjectFile);
  std::string Text;
  AddLine(Text, "; cette fichier est cre\xE8 par quib");
  AddLine(Text, "");
  AddLine(Text, "[OPTIONS]");
  AddLine(Text, "LCID=0x409");
  AddLine(Text, ("HLP=.\\" + Names.HelpFile));
  AddLine(Text, ("CNT=.\\" + Names.ContentsFile));
  AddLine(Text, "");
  AddLine(Text, "[WINDOWS]");
  AddLine(Text, "main=\"\", , 0,(0,0,128),(192,192,192),  ;");
  AddLine(Text, "");
  AddLine(Text, "[FILES]");
  for (const TUnitPage &Unit : Units) AddLine(Text, Unit.Page + ".rtf");
  return Text;
}

std::string ContentsFileText(const std::string &ProjectFile, const TUnitPages &Units) {
  const THelpNames Names = HelpNamesOf(ProjectFile);
  std::string Text;
  AddLine(Text, ":Base " + Names.HelpFile);
  AddLine(Text, ":Title Project " + ProjectFile);
  AddLine(Text, "1 Units");
  for (const TUnitPage &Unit : Units) AddLine(Text, "2 " + Unit.Name + "=Unit_" + Unit.Name);
  return Text;
}

std::string IndexHtmlText(const std::string &ProjectFile, const std::string &ProjectPage) {
  const THelpNames Names = HelpNamesOf(ProjectFile);
  std::string Text;
  AddLine(Text, "<!DOCTYPE html>");
  AddLine(Text, std::string("<HTML><HEAD>") + PageMeta +
                    "<TITLE>Project: " + HtmlPageText(Names.ProjectName) + "</TITLE></HEAD>");
  AddLine(Text, "<frameset  cols=\"15%,*\">");
  AddLine(Text, FrameLine("content.html", "content", "Contents"));
  AddLine(Text, FrameLine(ProjectPageOf(ProjectFile, ProjectPage), "main", "Listing"));
  AddLine(Text, "<noframes><BODY><A HREF=\"content.html\">Contents</A></BODY></noframes>");
  AddLine(Text, "</frameset>");
  AddLine(Text, "</HTML>");
  return Text;
}

std::string ContentHtmlText(const std::string &ProjectFile, const TUnitPages &Units,
                            const std::string &ProjectPage) {
  const THelpNames Names = HelpNamesOf(ProjectFile);
  std::string Text;
  AddLine(Text, "<!DOCTYPE html>");
  AddLine(Text, std::string("<HTML><HEAD>") + PageMeta + "<TITLE>Contents</TITLE></HEAD>");
  AddLine(Text, "<BODY BGCOLOR=\"#00007F\" VLINK=\"#FFFF00\" LINK=\"#FFFF00\">"
                "<FONT COLOR=\"#FFFF00\">");
  AddLine(Text, "<H3>Project</H3>");
  AddLine(Text,
          ContentLink(ProjectPageOf(ProjectFile, ProjectPage), Names.ProjectName) + "<BR><BR>");
  AddLine(Text, "<H3>Units</H3>");
  for (const TUnitPage &Unit : Units)
    AddLine(Text, ContentLink(Unit.Page + ".html", Unit.Name + ".pas") + "<BR>");
  AddLine(Text,
          "<BR>" + ContentLink(std::string(SymbolIndexPage) + ".html", "Symbol index") + "<BR>");
  AddLine(Text, "</FONT></BODY></HTML>");
  return Text;
}

void WriteBuildFile(const std::string &BuildDir, const std::string &Name, const std::string &Text) {
  TOutputFile File;
  File.Create(BuildDir + Name);
  File.Write(Text);
  File.Close();
}

int StartHelpCompiler(const std::string &HcrtfPath, const std::string &HelpProjectPath) {
  // Everything the children need is prepared here: after fork only
  // async-signal-safe calls are made.
  std::string Program = HcrtfPath, Flag = "-x", Project = HelpProjectPath;
  char *Argv[] = {Program.data(), Flag.data(), Project.data(), nullptr};

  const int Null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
  if (Null < 0)
    return errno;
  // The exec failure of the grandchild comes back through this pipe; a
  // successful exec closes it (close-on-exec) and the parent reads nothing.
  int Report[2];
  if (::pipe2(Report, O_CLOEXEC) != 0) {
    const int Error = errno;
    ::close(Null);
    return Error;
  }

  // Double fork: the middle child exits at once and is reaped here, so the
  // help compiler is adopted by init and never becomes our zombie.
  const pid_t Middle = ::fork();
  if (Middle < 0) {
    const int Error = errno;
    ::close(Null);
    ::close(Report[0]);
    ::close(Report[1]);
    return Error;
  }
  if (Middle == 0) {
    const pid_t Worker = ::fork();
    if (Worker == 0) {
      ::setsid();
      ::dup2(Null, 0);
      ::dup2(Null, 1);
      ::dup2(Null, 2);
      ::execvp(Argv[0], Argv);
      const int Error = errno;
      [[maybe_unused]] ssize_t Ignored = ::write(Report[1], &Error, sizeof Error);
      ::_exit(127);
    }
    if (Worker < 0) {
      const int Error = errno;
      [[maybe_unused]] ssize_t Ignored = ::write(Report[1], &Error, sizeof Error);
    }
    ::_exit(0);
  }

  ::close(Null);
  ::close(Report[1]);
  int Status = 0;
  while (::waitpid(Middle, &Status, 0) < 0 && errno == EINTR) {
  }
  int Error = 0;
  ssize_t Got;
  while ((Got = ::read(Report[0], &Error, sizeof Error)) < 0 && errno == EINTR) {
  }
  ::close(Report[0]);
  return Got == static_cast<ssize_t>(sizeof Error) ? Error : 0;
}

int WriteHelpProject(const std::string &ProjectFile, const std::string &BuildDir,
                     const std::string &HcrtfPath, const TUnitPages &UnitNames,
                     TRunReporter &Reporter, const std::string &ProjectPage) {
  const THelpNames Names = HelpNamesOf(ProjectFile);
  Reporter.ReportStatus("Creating Help Project and HTML Frame ...");
  Reporter.ReportProgress(4, 0);
  WriteBuildFile(BuildDir, Names.HelpProject, HelpProjectText(ProjectFile, UnitNames));
  Reporter.ReportProgress(4, 1);
  WriteBuildFile(BuildDir, Names.ContentsFile, ContentsFileText(ProjectFile, UnitNames));
  if (!HcrtfPath.empty())
    if (const int Error = StartHelpCompiler(HcrtfPath, BuildDir + Names.HelpProject))
      Reporter.ReportWarning(std::string(HelpCompilerWarning) + "\nCannot start \"" + HcrtfPath +
                             "\": " + std::strerror(Error));
  Reporter.ReportProgress(4, 2);
  WriteBuildFile(BuildDir, "index.html", IndexHtmlText(ProjectFile, ProjectPage));
  Reporter.ReportProgress(4, 3);
  WriteBuildFile(BuildDir, "content.html", ContentHtmlText(ProjectFile, UnitNames, ProjectPage));
  Reporter.ReportProgress(4, 4);
  Reporter.ReportProgress(4, 0);
  return 0;
}

std::string FormatElapsed(std::int64_t Milliseconds) {
  if (Milliseconds < 0)
    Milliseconds = 0;
  const std::int64_t Seconds = Milliseconds / 1000;
  char Text[16];
  std::snprintf(Text, sizeof Text, "%02d:%02d:%02d", static_cast<int>(Seconds / 3600 % 24),
                static_cast<int>(Seconds / 60 % 60), static_cast<int>(Seconds % 60));
  return Text;
}

} // namespace codeweft
