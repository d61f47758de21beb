#include "codeweft/cli/CliReporter.h"

#include <algorithm>

namespace codeweft {

namespace {
constexpr int BarWidth = 30;
}

std::string TCliReporter::Bar(int total, int done) {
  int percent = ProgressPercent(total, done);
  if (percent < 0) percent = 0;
  if (percent > 100) percent = 100;
  const int filled = percent * BarWidth / 100;
  std::string b = "[";
  b.append(static_cast<std::size_t>(filled), '#');
  b.append(static_cast<std::size_t>(BarWidth - filled), '.');
  char tail[8];
  std::snprintf(tail, sizeof tail, "] %3d%%", percent);
  return b + tail;
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

void TCliReporter::ReportProgress(int total, int done) { Draw(Bar(total, done)); }

void TCliReporter::ReportUnitProgress(int total, int done, const std::string &nextUnit) {
  Draw(UnitLine(total, done, nextUnit, FColumns));
}

void TCliReporter::EraseBar() {
  if (!FBarShown) return;
  std::fputs("\r\033[K", FOut);
  FBarShown = false;
}

void TCliReporter::Line(const std::string &text) {
  EraseBar();
  std::fprintf(FOut, "%s\n", text.c_str());
  std::fflush(FOut);
}

void TCliReporter::ReportWarning(const std::string &message) {
  std::string text = "codeweft: warning: ";
  for (const char c : message) {
    text += c;
    if (c == '\n') text += "  ";
  }
  Line(text);
}

void TCliReporter::ReportSourceWarning(const std::string &file, int line,
                                       const std::string &message) {
  Status(file + ":" + std::to_string(line) + ": warning: " + message);
}

void TCliReporter::ReportError(const std::string &message) { Line("codeweft: " + message); }

} // namespace codeweft
