// The lines on which a listing writes the names it looks out for: the
// symbol index finds a declaration as the first line its name appears on in
// the unit's interface part.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace codeweft {

// A key for a name without regard to case (a 64-bit hash of its bytes with
// A..Z folded to a..z); never 0.
std::uint64_t NameKey(std::string_view name);

// A table of wanted names, each with the lines it was seen on, in order.
// Every identifier an interface part writes is offered to Saw; only the
// unit's own symbols are wanted, so most offers are one look into the table
// and nothing is stored for them.
class TNameLines {
 public:
  // Forgets every name and line; about expected names will be wanted.
  void Clear(std::size_t expected = 0);
  // Looks out for name from now on.
  void Want(std::string_view name);
  // Records Line for name if it is wanted.
  void Saw(std::string_view name, int line);
  // The first line recorded for name at or after from, or the nth such line
  // (overload N of a routine is declared on it); 0 if none.
  int FirstLine(std::string_view name, int from = 0, int nth = 1) const;

 private:
  struct TSlot {
    std::uint64_t Key = 0;  // 0: empty
    int First = -1;         // in FLines; -1 while no line is recorded
    int Last = -1;
  };
  struct TLine {
    int Line;
    int Next;  // the name's next line in FLines; -1 at the end
  };
  const TSlot *Find(std::uint64_t key) const;
  void Grow();

  std::vector<TSlot> FSlots;  // open addressing; the size a power of two
  std::size_t FUsed = 0;
  std::vector<TLine> FLines;
};

}  // namespace codeweft
