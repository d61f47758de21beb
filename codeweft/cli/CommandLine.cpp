#include "codeweft/cli/CommandLine.h"

#include <optional>

namespace codeweft {

namespace {

const char *const Usage =
    "usage: codeweft [OPTION]... PROJECT.dpr -o BUILD_DIR\n"
    "Writes the project and the units its uses clause names with \"in\" as HTML pages\n"
    "and RTF topics, with a help project, a contents file, index.html and content.html.\n"
    "\n"
    "  PROJECT.dpr            the project file: a .dpr or .lpr file is read as given,\n"
    "                         a name without extension means its .dpr file\n"
    "  -o, --output=BUILD_DIR where the files are written (created when missing)\n"
    "      --hcrtf=PATH       the help compiler to start on the help project\n"
    "      --defines=TEXT     conditional symbols, separated by \";\"\n"
    "  -k, --keep-going       skip a unit whose file cannot be read, with a warning,\n"
    "                         instead of ending the run\n"
    "      --symbols          print the symbol table as a table on stdout\n"
    "  -q, --quiet            print no status, progress or source warnings;\n"
    "                         errors and the help compiler's failure still show\n"
    "  -h, --help             print this help and exit\n"
    "      --version          print the version and exit\n"
    "  --                     what follows is the project file, even if it begins with -\n"
    "\n"
    "Relative paths are taken from the current directory; the path of index.html is\n"
    "printed on stdout when the run completes.\n"
    "\n"
    "Exit status:\n"
    "  0  the run completed\n"
    "  1  the run failed: a file could not be read or written, or another run is\n"
    "     writing to the same build folder (the message says which)\n"
    "  2  the command line was wrong\n";

// The options that take a value, by every name they have.
enum class TValueOption { voOutput, voHcrtf, voDefines };

std::optional<TValueOption> ValueOptionOf(const std::string &name) {
  if (name == "-o" || name == "--output") return TValueOption::voOutput;
  if (name == "--hcrtf") return TValueOption::voHcrtf;
  if (name == "--defines") return TValueOption::voDefines;
  return std::nullopt;
}

TCommandLine Failed(std::string error) {
  TCommandLine result;
  result.Action = TCliAction::caError;
  result.Error = std::move(error);
  return result;
}

}  // namespace

const char *UsageText() { return Usage; }

TCommandLine ParseCommandLine(const std::vector<std::string> &args) {
  TCommandLine line;
  bool haveBuildDir = false;
  bool optionsEnded = false;

  const auto setValue = [&](TValueOption option, const std::string &value) {
    switch (option) {
      case TValueOption::voOutput:
        line.Inputs.BuildDir = value;
        haveBuildDir = true;
        break;
      case TValueOption::voHcrtf:
        line.Inputs.HcrtfPath = value;
        break;
      case TValueOption::voDefines:
        line.Inputs.Defines = value;
        break;
    }
  };

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string &arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      if (!line.Inputs.ProjectFile.empty()) return Failed("only one project file, not also " + arg);
      if (arg.empty()) return Failed("the project file name is empty");
      line.Inputs.ProjectFile = arg;
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }

    if (arg[1] == '-') {
      // A long option, its value after "=" or in the next argument.
      const std::size_t equals = arg.find('=');
      const std::string name = arg.substr(0, equals);
      if (const auto option = ValueOptionOf(name)) {
        if (equals != std::string::npos) {
          setValue(*option, arg.substr(equals + 1));
        } else if (i + 1 < args.size()) {
          setValue(*option, args[++i]);
        } else {
          return Failed("option " + name + " needs a value");
        }
        continue;
      }
      bool *flag = name == "--symbols"      ? &line.Symbols
                   : name == "--quiet"      ? &line.Quiet
                   : name == "--keep-going" ? &line.Inputs.KeepGoing
                                            : nullptr;
      const bool help = name == "--help", version = name == "--version";
      if (!flag && !help && !version) return Failed("unknown option " + name);
      if (equals != std::string::npos) return Failed("option " + name + " takes no value");
      if (help || version) {
        line.Action = help ? TCliAction::caHelp : TCliAction::caVersion;
        return line;
      }
      *flag = true;
      continue;
    }

    // Short options, grouped ("-qk"); "-o" takes the rest of the group or
    // the next argument as its value.
    for (std::size_t j = 1; j < arg.size(); ++j) {
      const char c = arg[j];
      if (c == 'o') {
        if (j + 1 < arg.size()) {
          setValue(TValueOption::voOutput, arg.substr(j + 1));
        } else if (i + 1 < args.size()) {
          setValue(TValueOption::voOutput, args[++i]);
        } else {
          return Failed("option -o needs a value");
        }
        break;
      }
      if (c == 'q') {
        line.Quiet = true;
      } else if (c == 'k') {
        line.Inputs.KeepGoing = true;
      } else if (c == 'h') {
        line.Action = TCliAction::caHelp;
        return line;
      } else {
        return Failed(std::string("unknown option -") + c);
      }
    }
  }

  if (line.Inputs.ProjectFile.empty()) return Failed("no project file given");
  if (!haveBuildDir || line.Inputs.BuildDir.empty())
    return Failed("no build location given (-o BUILD_DIR)");
  return line;
}

}  // namespace codeweft
