// The first phase of a run: the project file is read, written as its own
// listing, and its uses clause yields the project's units.
//
// A unit belongs to the project only through an entry of the form
//   Name in 'file'
// in a uses clause of the project file, where Name may be dotted
// (Shared.CommonFunc); the entry's file is relative to the project's folder
// (a backslash separates folders), and one not found as written is tried with
// ".pas", then ".pp". Every such entry is kept, with its line in the project.
#pragma once

#include <string>

#include "codeweft/core/output/ListingPass.h"
#include "codeweft/core/RunReporter.h"
#include "codeweft/core/RunState.h"

namespace codeweft {

// The phase. Makes the project's folder the current directory, fills the
// conditional symbols from definesText (split at ";"), writes the project's
// listing to BuildDir + the project's name with ".html" and ".rtf", and adds
// one unit to Units for every "in" entry of its uses clauses. Reports
// "Scanning Project File ..." and, at the end, progress 1 of 1. Returns 0;
// a project file that cannot be read and an output file that cannot be
// created are exceptions. With keepGoing, an entry whose file cannot be read
// is left out of Units with a source warning (project file and line) and its
// name stays plain in the listing; without, opening it ends the run later.
int ScanProject(TRunState &state, TListingSink &sink, const std::string &projectFile,
                const std::string &definesText, TRunReporter &reporter, bool keepGoing = false);

// ProjectUses = "uses" ProjectUnitList ";" .
// Current token: "uses". True when the clause was read whole; on failure the
// scan goes on from the current token, and the units added so far stay.
bool ProjectUses(TRunState &state, bool keepGoing = false);

// ProjectUnitList = Entry { "," Entry } .
// Entry = ident { "." ident } [ "in" string ] .
// Entered with Deferring set. Each entry with "in" adds its file to Units and
// turns the name into a link to that unit's page ("Name.html", the list name,
// so the link reaches the file that is written) and help topic; others stay
// plain, as does one skipped under keepGoing (see ScanProject). Returns 0
// without any name, 1 for a proper list, 2 when a file name is missing after
// "in", a name after a comma or a dot.
int ProjectUnitList(TRunState &state, bool keepGoing = false);

} // namespace codeweft
