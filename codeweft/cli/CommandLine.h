// The command line of codeweft: what its arguments ask for, read the way
// Unix tools read theirs (options anywhere, "--opt=value" and "-oDIR",
// grouped short flags such as "-qk", "--" before names that begin with "-").
#pragma once

#include <string>
#include <vector>

#include "codeweft/core/Run.h"

namespace codeweft {

// Exit statuses of the program, as --help lists them.
inline constexpr int ExitDone = 0;        // the run completed
inline constexpr int ExitRunFailed = 1;   // a file could not be read or written; nothing was lost
inline constexpr int ExitUsage = 2;       // the command line was wrong

enum class TCliAction { caRun, caHelp, caVersion, caError };

struct TCommandLine {
  TCliAction Action = TCliAction::caRun;
  std::string Error; // caError: what is wrong, one line without the program's name
  TRunInputs Inputs;
  bool Symbols = false; // print the symbol table on stdout
  bool Quiet = false;   // no status, progress or source warnings on stderr
};

// Reads the arguments that follow the program's name. --help and --version
// win over everything after them, so "codeweft --help --bogus" still helps.
TCommandLine ParseCommandLine(const std::vector<std::string> &args);

// The text of --help: the synopsis, every option and the exit statuses.
const char *UsageText();

} // namespace codeweft
