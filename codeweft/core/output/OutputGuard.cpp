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

TBuildLock::TBuildLock(const std::string &buildDir) {
  const std::string path = buildDir + ".codeweft.lock";
  FHandle = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (FHandle < 0) {
    if (errno == ENOENT)
      return;
    throw EFCreateError(FileErrorMessage("create", path, errno));
  }
  // A child process of the previous run (the help compiler between its fork
  // and exec) may hold the lock for a moment: wait a little before giving up.
  bool locked = false;
  for (int attempt = 0; attempt < 40 && !(locked = ::flock(FHandle, LOCK_EX | LOCK_NB) == 0);
       ++attempt)
    ::usleep(50000);
  if (!locked) {
    ::close(FHandle);
    FHandle = -1;
    throw EFCreateError("Another run is writing into \"" + buildDir + "\" (it holds \"" + path +
                        "\"); try again when it has finished");
  }
}

TBuildLock::~TBuildLock() {
  if (FHandle >= 0)
    ::close(FHandle);
}

void CheckOutputsAreNotInputs(const TRunState &s, const std::string &projectPath) {
  struct TInput {
    std::string Path;
    dev_t Dev;
    ino_t Ino;
  };
  std::vector<TInput> inputs;
  const auto addInput = [&inputs](const std::string &path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0)
      inputs.push_back({path, info.st_dev, info.st_ino});
  };
  addInput(projectPath);
  for (const TURElm &u : s.Symbols.Units)
    addInput(LocateSourceFile(u.FileName));
  if (inputs.empty())
    return;

  const std::string name = ExtractFileName(s.Paths.ProjectFile);
  const std::string projectPage =
      s.Paths.ProjectPage.empty() ? ChangeExt(name, "") : s.Paths.ProjectPage;
  const THelpNames help = HelpNamesOf(s.Paths.ProjectFile);
  std::vector<std::string> outputs = {projectPage + ".html",
                                      projectPage + ".rtf",
                                      help.HelpProject,
                                      help.ContentsFile,
                                      "index.html",
                                      "content.html",
                                      std::string(SymbolIndexPage) + ".html"};
  for (const TURElm &u : s.Symbols.Units) {
    outputs.push_back(UnitPage(u) + ".html");
    outputs.push_back(UnitPage(u) + ".rtf");
  }
  for (const std::string &output : outputs) {
    const std::string path = s.Paths.BuildDir + output;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
      continue;
    for (const TInput &in : inputs)
      if (in.Dev == info.st_dev && in.Ino == info.st_ino)
        throw EFCreateError("Cannot write file \"" + path + "\": it is the input file \"" +
                            in.Path + "\", which is never overwritten");
  }
}

} // namespace codeweft
