#include "codeweft/cli/CliReporter.h"

namespace codeweft {

namespace {
constexpr int BarWidth = 30;
}

std::string TCliReporter::Bar(int Total, int Done) {
  int Percent = ProgressPercent(Total, Done);
  if (Percent < 0) Percent = 0;
  if (Percent > 100) Percent = 100;
  const int Filled = Percent * BarWidth / 100;
  std::string B = "[";
  B.append(static_cast<std::size_t>(Filled), '#');
  B.append(static_cast<std::size_t>(BarWidth - Filled), '.');
  char Tail[8];
  std::snprintf(Tail, sizeof Tail, "] %3d%%", Percent);
  return B + Tail;
}

void TCliReporter::ReportProgress(int Total, int Done) {
  if (!FTerminal) return;
  std::fprintf(FOut, "\r%s", Bar(Total, Done).c_str());
  std::fflush(FOut);
  FBarShown = true;
}

void TCliReporter::EraseBar() {
  if (!FBarShown) return;
  std::fputs("\r\033[K", FOut);
  FBarShown = false;
}

void TCliReporter::Line(const std::string &Text) {
  EraseBar();
  std::fprintf(FOut, "%s\n", Text.c_str());
  std::fflush(FOut);
}

void TCliReporter::ReportWarning(const std::string &Message) {
  std::string Text = "codeweft: warning: ";
  for (const char C : Message) {
    Text += C;
    if (C == '\n') Text += "  ";
  }
  Line(Text);
}

void TCliReporter::ReportSourceWarning(const std::string &File, int Line,
                                       const std::string &Message) {
  this->Line(File + ":" + std::to_string(Line) + ": warning: " + Message);
}

void TCliReporter::ReportError(const std::string &Message) { Line("codeweft: " + Message); }

} // namespace codeweft
