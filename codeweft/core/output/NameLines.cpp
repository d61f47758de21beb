#include "codeweft/core/output/NameLines.h"

#include <cstring>

namespace codeweft {

std::uint64_t NameKey(std::string_view Name) {
  // Eight bytes at a time: the letters A..Z of each word are folded to
  // lower case, then the word is mixed in.
  constexpr std::uint64_t Low7 = 0x7F7F7F7F7F7F7F7Full, High = 0x8080808080808080ull;
  std::uint64_t Hash = 0x9E3779B97F4A7C15ull ^ Name.size();
  const auto Mix = [&Hash](std::uint64_t Word) {
    const std::uint64_t Seven = Word & Low7;
    // High bit of a byte set when it is >= 'A' and not > 'Z' (and below 0x80).
    const std::uint64_t Upper =
        (Seven + 0x3F3F3F3F3F3F3F3Full) & ~(Seven + 0x2525252525252525ull) & ~Word & High;
    Hash = (Hash ^ (Word | Upper >> 2)) * 0xFF51AFD7ED558CCDull;
    Hash ^= Hash >> 29;
  };
  const char *P = Name.data();
  const std::size_t N = Name.size();
  const auto Load = [P](std::size_t At, std::size_t Bytes) {
    std::uint64_t Word = 0;
    std::memcpy(&Word, P + At, Bytes);
    return Word;
  };
  if (N >= 8) {
    std::size_t I = 0;
    for (; I + 8 <= N; I += 8) Mix(Load(I, 8));
    if (I < N) Mix(Load(N - 8, 8));  // the last eight bytes, overlapping
  } else if (N >= 4) {
    Mix(Load(0, 4) | Load(N - 4, 4) << 32);
  } else if (N > 0) {
    Mix(Load(0, 1) | Load(N / 2, 1) << 8 | Load(N - 1, 1) << 16);
  }
  return Hash | 1;
}

void TNameLines::Clear(std::size_t Expected) {
  // Sized for the names to come, so that clearing costs what they cost.
  std::size_t Size = 16;
  while (Size < 2 * Expected) Size *= 2;
  FSlots.assign(Size, TSlot{});
  FUsed = 0;
  FLines.clear();
}

const TNameLines::TSlot *TNameLines::Find(std::uint64_t Key) const {
  if (FSlots.empty()) return nullptr;
  const std::size_t Mask = FSlots.size() - 1;
  for (std::size_t I = (Key >> 32) & Mask;; I = (I + 1) & Mask) {
    if (FSlots[I].Key == Key) return &FSlots[I];
    if (FSlots[I].Key == 0) return nullptr;
  }
}

void TNameLines::Grow() {
  std::vector<TSlot> Old(FSlots.empty() ? 16 : FSlots.size() * 2);
  Old.swap(FSlots);
  const std::size_t Mask = FSlots.size() - 1;
  for (const TSlot &Slot : Old)
    if (Slot.Key != 0) {
      std::size_t I = (Slot.Key >> 32) & Mask;
      while (FSlots[I].Key != 0) I = (I + 1) & Mask;
      FSlots[I] = Slot;
    }
}

void TNameLines::Want(std::string_view Name) {
  const std::uint64_t Key = NameKey(Name);
  if (Find(Key)) return;
  if (2 * (FUsed + 1) > FSlots.size()) Grow();  // at most half full: short probes
  const std::size_t Mask = FSlots.size() - 1;
  std::size_t I = (Key >> 32) & Mask;
  while (FSlots[I].Key != 0) I = (I + 1) & Mask;
  FSlots[I].Key = Key;
  ++FUsed;
}

void TNameLines::Saw(std::string_view Name, int Line) {
  TSlot *Slot = const_cast<TSlot *>(Find(NameKey(Name)));
  if (!Slot) return;
  const int At = static_cast<int>(FLines.size());
  if (Slot->Last >= 0 && FLines[static_cast<std::size_t>(Slot->Last)].Line == Line) return;
  FLines.push_back({Line, -1});
  if (Slot->Last >= 0)
    FLines[static_cast<std::size_t>(Slot->Last)].Next = At;
  else
    Slot->First = At;
  Slot->Last = At;
}

int TNameLines::FirstLine(std::string_view Name, int From, int Nth) const {
  const TSlot *Slot = Find(NameKey(Name));
  for (int At = Slot ? Slot->First : -1; At >= 0; At = FLines[static_cast<std::size_t>(At)].Next)
    if (FLines[static_cast<std::size_t>(At)].Line >= From && --Nth <= 0)
      return FLines[static_cast<std::size_t>(At)].Line;
  return 0;
}

}  // namespace codeweft
