// How a run tells its front end what it is doing. The window shows status and
// progress in its status bar and progress bar and a warning in a message box;
// the command line writes lines and a progress bar to stderr.
#pragma once

#include <string>

namespace codeweft {

class TRunReporter {
public:
  virtual ~TRunReporter() = default;
  // The status text of the phase that starts ("Building Symbol Table ...").
  virtual void ReportStatus(const std::string &text) = 0;
  // Done steps out of total; a total of 0 or less shows as 0 %.
  virtual void ReportProgress(int total, int done) = 0;
  // Progress of a pass over the units: done of total units are finished and
  // NextUnit is the one being worked on now ("" when all are done). By
  // default it is shown as plain progress.
  virtual void ReportUnitProgress(int total, int done, const std::string &nextUnit) {
    (void)nextUnit;
    ReportProgress(total, done);
  }
  // Something the user must know while the run goes on (e.g. the help
  // compiler could not be started). Returns when the user has seen it.
  virtual void ReportWarning(const std::string &message) = 0;
  // The error that ended the run (a file that could not be read or created).
  virtual void ReportError(const std::string &message) = 0;
  // Something about one place of the sources that the run went on past (a
  // declaration part that could not be read to its end, a missing include
  // file). It does not stop the run; a front end shows it without waiting.
  virtual void ReportSourceWarning(const std::string &file, int line, const std::string &message) {
    (void)file, (void)line, (void)message;
  }
};

// Progress in percent as the progress bar shows it.
inline int ProgressPercent(int total, int done) { return total <= 0 ? 0 : done * 100 / total; }

} // namespace codeweft
