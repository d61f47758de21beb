#include "codeweft/core/output/OutputGuard.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "codeweft/core/Errors.h"
#include "codeweft/core/FileNames.h"
#include "codeweft/core/output/HelpProject.h"
#include "codeweft/core/symbols/SymbolPass.h"

namespace codeweft {

TBuildLock::TBuildLock(const std::string &BuildDir) {
  const std::string Path = BuildDir + ".codeweft.lock";
  FHandle = ::open(Path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (FHandle < 0) {
    if (errno == ENOENT)
      return;
    throw EFCreateError(FileErrorMessage("create", Path, errno));
  }
  // A child process of the previous run (the help compiler between its fork
  // and exec) may hold the lock for a moment: wait a little before giving up.
  bool Locked = false;
  for (int Try = 0; Try < 40 && !(Locked = ::flock(FHandle, LOCK_EX | LOCK_NB) == 0); ++Try)
    ::usleep(50000);
  if (!Locked) {
    ::close(FHandle);
    FHandle = -1;
    throw EFCreateError("Another run is writing into \"" + BuildDir + "\" (it holds \"" + Path +
                        "\"); try again when it has finished");
  }
}

TBuildLock::~TBuildLock() {
  if (FHandle >= 0)
    ::close(FHandle);
}

void CheckOutputsAreNotInputs(const TRunState &S, const std::string &ProjectPath) {
  struct TInput {
    std::string Path;
    dev_t Dev;
    ino_t Ino;
  };
  std::vector<TInput> Inputs;
  const auto AddInput = [&Inputs](const std::string &Path) {
    struct stat Info {};
    if (::stat(Path.c_str(), &Info) == 0)
      Inputs.push_back({Path, Info.st_dev, Info.st_ino});
  };
  AddInput(ProjectPath);
  for (const TURElm &U : S.Symbols.Units)
    AddInput(LocateSourceFile(U.FileName));
  if (Inputs.empty())
    return;

  const std::string Name = ExtractFileName(S.ProjectFile);
  const std::string ProjectPage = S.ProjectPage.empty() ? ChangeExt(Name, "") : S.ProjectPage;
  const THelpNames Help = HelpNamesOf(S.ProjectFile);
  std::vector<std::string> Outputs = {ProjectPage + ".html",
                                      ProjectPage + ".rtf",
                                      Help.HelpProject,
                                      Help.ContentsFile,
                                      "index.html",
                                      "content.html",
                                      std::string(SymbolIndexPage) + ".html"};
  for (const TURElm &U : S.Symbols.Units) {
    Outputs.push_back(UnitPage(U) + ".html");
    Outputs.push_back(UnitPage(U) + ".rtf");
  }
  for (const std::string &Output : Outputs) {
    const std::string Path = S.BuildDir + Output;
    struct stat Info {};
    if (::stat(Path.c_str(), &Info) != 0)
      continue;
    for (const TInput &In : Inputs)
      if (In.Dev == Info.st_dev && In.Ino == Info.st_ino)
        throw EFCreateError("Cannot write file \"" + Path + "\": it is the input file \"" +
                            In.Path + "\", which is never overwritten");
  }
}

} // namespace codeweft
