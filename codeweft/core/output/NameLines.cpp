#include "codeweft/core/output/NameLines.h"

#include <cstring>

namespace codeweft {

std::uint64_t NameKey(std::string_view name) {
  // Eight bytes at a time: the letters A..Z of each word are folded to
  // lower case, then the word is mixed in.
  constexpr std::uint64_t low7 = 0x7F7F7F7F7F7F7F7Full, high = 0x8080808080808080ull;
  std::uint64_t hash = 0x9E3779B97F4A7C15ull ^ name.size();
  const auto mix = [&hash](std::uint64_t word) {
    const std::uint64_t seven = word & low7;
    // High bit of a byte set when it is >= 'A' and not > 'Z' (and below 0x80).
    const std::uint64_t upper =
        (seven + 0x3F3F3F3F3F3F3F3Full) & ~(seven + 0x2525252525252525ull) & ~word & high;
    hash = (hash ^ (word | upper >> 2)) * 0xFF51AFD7ED558CCDull;
    hash ^= hash >> 29;
  };
  const char *p = name.data();
  const std::size_t n = name.size();
  const auto load = [p](std::size_t at, std::size_t bytes) {
    std::uint64_t word = 0;
    std::memcpy(&word, p + at, bytes);
    return word;
  };
  if (n >= 8) {
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) mix(load(i, 8));
    if (i < n) mix(load(n - 8, 8));  // the last eight bytes, overlapping
  } else if (n >= 4) {
    mix(load(0, 4) | load(n - 4, 4) << 32);
  } else if (n > 0) {
    mix(load(0, 1) | load(n / 2, 1) << 8 | load(n - 1, 1) << 16);
  }
  return hash | 1;
}

void TNameLines::Clear(std::size_t expected) {
  // Sized for the names to come, so that clearing costs what they cost.
  std::size_t size = 16;
  while (size < 2 * expected) size *= 2;
  FSlots.assign(size, TSlot{});
  FUsed = 0;
  FLines.clear();
}

const TNameLines::TSlot *TNameLines::Find(std::uint64_t key) const {
  if (FSlots.empty()) return nullptr;
  const std::size_t mask = FSlots.size() - 1;
  for (std::size_t i = (key >> 32) & mask;; i = (i + 1) & mask) {
    if (FSlots[i].Key == key) return &FSlots[i];
    if (FSlots[i].Key == 0) return nullptr;
  }
}

void TNameLines::Grow() {
  std::vector<TSlot> old(FSlots.empty() ? 16 : FSlots.size() * 2);
  old.swap(FSlots);
  const std::size_t mask = FSlots.size() - 1;
  for (const TSlot &slot : old)
    if (slot.Key != 0) {
      std::size_t i = (slot.Key >> 32) & mask;
      while (FSlots[i].Key != 0) i = (i + 1) & mask;
      FSlots[i] = slot;
    }
}

void TNameLines::Want(std::string_view name) {
  const std::uint64_t key = NameKey(name);
  if (Find(key)) return;
  if (2 * (FUsed + 1) > FSlots.size()) Grow();  // at most half full: short probes
  const std::size_t mask = FSlots.size() - 1;
  std::size_t i = (key >> 32) & mask;
  while (FSlots[i].Key != 0) i = (i + 1) & mask;
  FSlots[i].Key = key;
  ++FUsed;
}

void TNameLines::Saw(std::string_view name, int line) {
  TSlot *slot = const_cast<TSlot *>(Find(NameKey(name)));
  if (!slot) return;
  const int at = static_cast<int>(FLines.size());
  if (slot->Last >= 0 && FLines[static_cast<std::size_t>(slot->Last)].Line == line) return;
  FLines.push_back({line, -1});
  if (slot->Last >= 0)
    FLines[static_cast<std::size_t>(slot->Last)].Next = at;
  else
    slot->First = at;
  slot->Last = at;
}

int TNameLines::FirstLine(std::string_view name, int from, int nth) const {
  const TSlot *slot = Find(NameKey(name));
  for (int at = slot ? slot->First : -1; at >= 0; at = FLines[static_cast<std::size_t>(at)].Next)
    if (FLines[static_cast<std::size_t>(at)].Line >= from && --nth <= 0)
      return FLines[static_cast<std::size_t>(at)].Line;
  return 0;
}

}  // namespace codeweft
