// Runs the symbol pass over each unit file named on standard input (one path
// a line) and prints, per file, a tab-separated line: the path, the number of
// routine headings recorded (unit routines and class members), whether the
// interface parse stopped early (0 or 1), and the token it stopped at with
// its line ("12: end").
#include "codeweft/core/RunState.h"
#include "codeweft/core/symbols/SymbolPass.h"

#include <cstdio>
#include <exception>
#include <iostream>
#include <string>

using namespace codeweft;

namespace {

bool IsRoutineKind(TRefKind Kind) {
  return Kind == TRefKind::rkFunction || Kind == TRefKind::rkProcedure ||
         Kind == TRefKind::rkConstructor || Kind == TRefKind::rkDestructor;
}

// A stop token shown on one line: blanks and line breaks become spaces.
std::string OneLine(std::string Text) {
  for (char &C : Text)
    if (C == '\t' || C == '\r' || C == '\n') C = ' ';
  return Text.substr(0, 40);
}

} // namespace

int main() {
  std::string Path;
  while (std::getline(std::cin, Path)) {
    if (Path.empty()) continue;
    TRunState S;
    S.Symbols.CreateSymbols();
    S.Phase = TPhase::phProject;
    S.Symbols.AddUnit(Path);
    int Recorded = 0;
    bool Stopped = false;
    std::string Stop;
    try {
      const TInterfaceOutcome Outcome = ParseUnitInterface(S, 0);
      const TURElm &Unit = S.Symbols.Units.at(0);
      for (const TRefElm &R : Unit.Idents) Recorded += IsRoutineKind(R.Kind);
      for (const TCRElm &C : Unit.Classes)
        for (const TRefElm &R : C.Members) Recorded += IsRoutineKind(R.Kind);
      Stopped = Outcome.Stopped();
      Stop = Stopped ? std::to_string(Outcome.StopLine) + ": " + OneLine(Outcome.StopText) : "";
    } catch (const std::exception &E) {
      Stopped = true;
      Stop = std::string("exception: ") + OneLine(E.what());
    }
    std::printf("%s\t%d\t%d\t%s\n", Path.c_str(), Recorded, Stopped ? 1 : 0, Stop.c_str());
  }
  return 0;
}
