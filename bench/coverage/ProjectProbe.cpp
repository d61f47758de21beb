// Runs the project scan over each project file named on standard input (one
// path a line) and prints, per project, a tab-separated line: the path, the
// number of units the scan added, and each added unit as "entry=1" when its
// file exists or "entry=0" when it does not, separated by "|". The listing
// files the scan writes go to a scratch folder that is removed again.
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>

#include "codeweft/core/ProjectScan.h"
#include "codeweft/core/RunState.h"
#include "codeweft/core/output/ListingPass.h"

using namespace codeweft;
namespace fs = std::filesystem;

namespace {

class TQuiet : public TRunReporter {
 public:
  void ReportStatus(const std::string &) override {}
  void ReportProgress(int, int) override {}
  void ReportWarning(const std::string &) override {}
  void ReportError(const std::string &) override {}
};

}  // namespace

int main() {
  const fs::path Home = fs::current_path();
  char Template[] = "/tmp/cw-project-probe-XXXXXX";
  if (!::mkdtemp(Template)) return 1;
  const std::string Scratch = std::string(Template) + "/";
  std::string Path;
  while (std::getline(std::cin, Path)) {
    if (Path.empty()) continue;
    std::string Units;
    int Count = 0;
    try {
      TRunState S;
      TQuiet Reporter;
      S.Reporter = &Reporter;
      S.Symbols.CreateSymbols();
      S.Paths.BuildDir = Scratch;
      S.Paths.ProjectFile = Path;
      TListingSink Sink;
      ScanProject(S, Sink, Path, "", Reporter, false);
      for (const TURElm &U : S.Symbols.Units) {
        std::error_code E;
        const bool Exists = fs::is_regular_file(LocateSourceFile(U.FileName), E);
        Units += (Count++ ? "|" : "") + (U.EntryName.empty() ? U.Name : U.EntryName) + "=" +
                 (Exists ? "1" : "0");
      }
      S.Reporter = nullptr;
    } catch (const std::exception &E) {
      Units = std::string("exception: ") + E.what();
    }
    fs::current_path(Home);
    std::printf("%s\t%d\t%s\n", Path.c_str(), Count, Units.c_str());
  }
  std::error_code E;
  fs::remove_all(Template, E);
  return 0;
}
