// Which pass of a run is in progress. The parser, the symbol table and the
// listing writer all test it.
#pragma once

#include <cstdint>

namespace codeweft {

enum class TPhase : std::uint8_t {
  phProject = 0,        // the project file is being scanned
  phSymbols = 1,        // a unit's interface is parsed into the symbol table; nothing is written
  phInterface = 2,      // a unit is being written, before its word "implementation"
  phImplementation = 3, // a unit is being written, after its word "implementation"
};

} // namespace codeweft
