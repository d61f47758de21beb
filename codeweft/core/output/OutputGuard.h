// What keeps a run's writes to its own files: a lock that keeps two runs out
// of one build folder, and a check that no output of the run is one of its
// inputs.
#pragma once

#include <string>

#include "codeweft/core/RunState.h"

namespace codeweft {

// Holds the lock file ".codeweft.lock" of buildDir for its lifetime. A second
// run into the same folder fails after two seconds with EFCreateError naming
// the folder and the lock file. A folder that does not exist is not locked: nothing can
// be written into it either, and the first file's error says so.
class TBuildLock {
public:
  explicit TBuildLock(const std::string &buildDir);
  ~TBuildLock();
  TBuildLock(const TBuildLock &) = delete;
  TBuildLock &operator=(const TBuildLock &) = delete;

private:
  int FHandle = -1;
};

// Throws EFCreateError when a file the run writes (the listings of the
// project and its units, the help project and the frames) is one of its
// inputs (projectPath or a unit's file), compared by device and inode so
// that links and other names of one file are caught too. The message names
// both files.
void CheckOutputsAreNotInputs(const TRunState &state, const std::string &projectPath);

} // namespace codeweft
