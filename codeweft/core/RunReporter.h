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
  virtual void ReportStatus(const std::string &Text) = 0;
  // Done steps out of Total; a Total of 0 or less shows as 0 %.
  virtual void ReportProgress(int Total, int Done) = 0;
  // Progress of a pass over the units: Done of Total units are finished and
  // NextUnit is the one being worked on now ("" when all are done). By
  // default it is shown as plain progress.
  virtual void ReportUnitProgress(int Total, int Done, const std::string &NextUnit) {
    (void)NextUnit;
    ReportProgress(Total, Done);
  }
  // Something the user must know while the run goes on (e.g. the help
  // compiler could not be started). Returns when the user has seen it.
  virtual void ReportWarning(const std::string &Message) = 0;
  // The error that ended the run (a file that could not be read or created).
  virtual void ReportError(const std::string &Message) = 0;
  // Something about one place of the sources that the run went on past (a
  // declaration part that could not be read to its end, a missing include
  // file). It does not stop the run; a front end shows it without waiting.
  virtual void ReportSourceWarning(const std::string &File, int Line, const std::string &Message) {
    (void)File, (void)Line, (void)Message;
  }
};

// Progress in percent as the progress bar shows it.
inline int ProgressPercent(int Total, int Done) { return Total <= 0 ? 0 : Done * 100 / Total; }

} // namespace codeweft
