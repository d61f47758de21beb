// How the command line shows a run: status texts and messages as lines on
// stderr, and a progress bar on the same stream when it is a terminal.
#pragma once

#include <cstdio>
#include <string>

#include "codeweft/core/RunReporter.h"

namespace codeweft {

class TCliReporter : public TRunReporter {
public:
  // Terminal: draw the progress bar (redrawn in place with a carriage return).
  TCliReporter(std::FILE *Out, bool Terminal) : FOut(Out), FTerminal(Terminal) {}
  ~TCliReporter() override { EraseBar(); }

  void ReportStatus(const std::string &Text) override { Line(Text); }
  void ReportProgress(int Total, int Done) override;
  // "codeweft: warning: " before the first line of Message, the rest indented.
  void ReportWarning(const std::string &Message) override;
  // "codeweft: " followed by the message.
  void ReportError(const std::string &Message) override;
  // "File:Line: warning: Message", as compilers write them.
  void ReportSourceWarning(const std::string &File, int Line, const std::string &Message) override;

  // One line of text; a progress bar on screen is erased first.
  void Line(const std::string &Text);

  // The bar as drawn for Done of Total: "[#####...............]  25%".
  static std::string Bar(int Total, int Done);

private:
  void EraseBar();

  std::FILE *FOut;
  bool FTerminal;
  bool FBarShown = false;
};

} // namespace codeweft
