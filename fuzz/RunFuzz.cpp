// The whole run over a project of one unit whose source is the input: no
// crash, no hang, and the unit's page is written unless the run reports an
// error.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <string>

#include "codeweft/core/Run.h"
#include "fuzz/FuzzSupport.h"

namespace {

class TQuietReporter : public codeweft::TRunReporter {
public:
  void ReportStatus(const std::string &) override {}
  void ReportProgress(int, int) override {}
  void ReportWarning(const std::string &) override {}
  void ReportError(const std::string &) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *Data, std::size_t Size) {
  namespace fs = std::filesystem;
  const fs::path &Dir = fuzzsupport::ScratchDir();
  fuzzsupport::WriteFile("U.pas", std::string(reinterpret_cast<const char *>(Data), Size));
  const std::string Project =
      fuzzsupport::WriteFile("P.dpr", "program P;\r\nuses\r\n  U in 'U.pas';\r\nbegin\r\nend.\r\n");
  const fs::path Out = Dir / "out";
  std::error_code Ignored;
  fs::remove_all(Out, Ignored);
  fs::create_directory(Out);
  TQuietReporter Reporter;
  codeweft::TRunState State;
  try {
    codeweft::Run(State, {Project, Out.string(), "", ""}, Reporter);
  } catch (const std::exception &) {
    return 0; // reported as an error: a file could not be read or written
  }
  fuzzsupport::Require(fs::exists(Out / "U.html") && fs::exists(Out / "U.rtf"),
                       "the unit's listing is missing");
  return 0;
}
