// How the command line shows a run: status texts and messages as lines on
// stderr, and a progress line on the same stream when it is a terminal: a bar
// and, while the units are read and written, the unit's count and name.
#pragma once

#include <cstdio>
#include <string>

#include "codeweft/core/RunReporter.h"

namespace codeweft {

class TCliReporter : public TRunReporter {
public:
  // terminal: draw the progress bar (redrawn in place with a carriage return).
  // columns: the terminal's width; a progress line is cut to fit it.
  // quiet: status texts, progress and source warnings are not shown.
  TCliReporter(std::FILE *out, bool terminal, int columns = 80, bool quiet = false)
      : FOut(out), FTerminal(terminal), FColumns(columns), FQuiet(quiet) {}
  ~TCliReporter() override { EraseBar(); }

  void ReportStatus(const std::string &text) override { Status(text); }
  void ReportProgress(int total, int done) override;
  // The bar followed by "unit 3/8: Tools" (the unit being worked on).
  void ReportUnitProgress(int total, int done, const std::string &nextUnit) override;
  // "codeweft: warning: " before the first line of message, the rest indented.
  void ReportWarning(const std::string &message) override;
  // "codeweft: " followed by the message.
  void ReportError(const std::string &message) override;
  // "File:Line: warning: message", as compilers write them.
  void ReportSourceWarning(const std::string &file, int line, const std::string &message) override;

  // One line of text; a progress bar on screen is erased first.
  void Line(const std::string &text);
  // A line that --quiet silences.
  void Status(const std::string &text) {
    if (!FQuiet) Line(text);
  }

  // The bar as drawn for done of total: "[#####...............]  25%".
  static std::string Bar(int total, int done);
  // The whole progress line of a unit pass, at most columns - 1 characters
  // (a long name is cut, its end kept, after "..."):
  //   "[#######.......................]  25%  unit 2/8: Tools"
  static std::string UnitLine(int total, int done, const std::string &nextUnit, int columns);

private:
  void EraseBar();

  void Draw(const std::string &text);

  std::FILE *FOut;
  bool FTerminal;
  int FColumns;
  bool FQuiet;
  bool FBarShown = false;
};

} // namespace codeweft
