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
  // Terminal: draw the progress bar (redrawn in place with a carriage return).
  // Columns: the terminal's width; a progress line is cut to fit it.
  // Quiet: status texts, progress and source warnings are not shown.
  TCliReporter(std::FILE *Out, bool Terminal, int Columns = 80, bool Quiet = false)
      : FOut(Out), FTerminal(Terminal), FColumns(Columns), FQuiet(Quiet) {}
  ~TCliReporter() override { EraseBar(); }

  void ReportStatus(const std::string &Text) override { Status(Text); }
  void ReportProgress(int Total, int Done) override;
  // The bar followed by "unit 3/8: Tools" (the unit being worked on).
  void ReportUnitProgress(int Total, int Done, const std::string &NextUnit) override;
  // "codeweft: warning: " before the first line of Message, the rest indented.
  void ReportWarning(const std::string &Message) override;
  // "codeweft: " followed by the message.
  void ReportError(const std::string &Message) override;
  // "File:Line: warning: Message", as compilers write them.
  void ReportSourceWarning(const std::string &File, int Line, const std::string &Message) override;

  // One line of text; a progress bar on screen is erased first.
  void Line(const std::string &Text);
  // A line that --quiet silences.
  void Status(const std::string &Text) {
    if (!FQuiet) Line(Text);
  }

  // The bar as drawn for Done of Total: "[#####...............]  25%".
  static std::string Bar(int Total, int Done);
  // The whole progress line of a unit pass, at most Columns - 1 characters
  // (a long name is cut, its end kept, after "..."):
  //   "[#######.......................]  25%  unit 2/8: Tools"
  static std::string UnitLine(int Total, int Done, const std::string &NextUnit, int Columns);

private:
  void EraseBar();

  void Draw(const std::string &Text);

  std::FILE *FOut;
  bool FTerminal;
  int FColumns;
  bool FQuiet;
  bool FBarShown = false;
};

} // namespace codeweft
