#include "codeweft/cli/CliReporter.h"

#include <algorithm>

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

std::string TCliReporter::UnitLine(int total, int done, const std::string &nextUnit, int columns) {
  std::string line = Bar(total, done);
  if (total <= 0) return line;
  const int current = nextUnit.empty() ? done : done + 1;
  line += "  unit " + std::to_string(current) + "/" + std::to_string(total);
  const std::size_t width = static_cast<std::size_t>(std::max(columns - 1, 1));
  if (!nextUnit.empty()) {
    const std::string head = line + ": ";
    if (head.size() + nextUnit.size() <= width)
      line = head + nextUnit;
    else if (head.size() + 4 <= width)
      line = head + "..." + nextUnit.substr(nextUnit.size() - (width - head.size() - 3));
  }
  line.resize(std::min(line.size(), width));
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

void TCliReporter::Draw(const std::string &text) {
  if (!FTerminal || FQuiet) return;
  // "\033[K" clears what a longer line before left on the right.
  std::fprintf(FOut, "\r%s\033[K", text.c_str());
  std::fflush(FOut);
  FBarShown = true;
}

void TCliReporter::ReportProgress(int Total, int Done) { Draw(Bar(Total, Done)); }

void TCliReporter::ReportUnitProgress(int Total, int Done, const std::string &NextUnit) {
  Draw(UnitLine(Total, Done, NextUnit, FColumns));
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
  Status(File + ":" + std::to_string(Line) + ": warning: " + Message);
}

void TCliReporter::ReportError(const std::string &Message) { Line("codeweft: " + Message); }

} // namespace codeweft
