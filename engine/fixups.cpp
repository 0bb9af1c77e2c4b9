#include "fixups.h"
#include "bytes.h"

#include <cstdint>
#include <cstring>

#include "text_services.h"

namespace {

// A direct lookup over all 64K double-byte codes that yields exactly what the linear search in table order
// would: the first char entry with that source, and the word entries that begin with that character, in
// table order (a word can only match an entry whose first character is the one at the position).
struct FixupIndex {
  FixupIndex();

  bool lead[256];
  // Per code (lead byte << 8 | trail byte): low byte 1 + first char entry, high byte 1 + word group; 0 none.
  std::uint16_t slot[65536];
  // Word entries ordered by group, table order kept inside each group; group g is [groupBegin[g], [g + 1]).
  std::uint8_t wordOrder[kWordFixupCount];
  std::uint8_t groupBegin[kWordFixupCount + 1];
};

unsigned Code(const char* bytes) {
  return static_cast<unsigned char>(bytes[0]) << 8 | static_cast<unsigned char>(bytes[1]);
}

// Built in place: the index is too large for a stack.
FixupIndex::FixupIndex() : lead{}, slot{}, wordOrder{}, groupBegin{} {
  for (unsigned b = 0; b < 256; ++b) lead[b] = TextServices::IsDBCSLeadByte(static_cast<unsigned char>(b));
  // From the last entry back, so that the first of two copies is the one left.
  for (std::size_t i = kCharFixupCount; i-- > 0;) {
    std::uint16_t& entry = slot[Code(kCharFixups.sources[i])];
    entry = static_cast<std::uint16_t>((entry & 0xFF00) | (i + 1));
  }
  std::size_t placed = 0, groups = 0;
  bool done[kWordFixupCount] = {};
  for (std::size_t i = 0; i < kWordFixupCount; ++i) {
    if (done[i]) continue;
    const unsigned first = Code(kWordFixups.sources[i]);
    groupBegin[groups] = static_cast<std::uint8_t>(placed);
    for (std::size_t j = i; j < kWordFixupCount; ++j) {
      if (Code(kWordFixups.sources[j]) != first) continue;
      done[j] = true;
      wordOrder[placed++] = static_cast<std::uint8_t>(j);
    }
    slot[first] = static_cast<std::uint16_t>((slot[first] & 0xFF) | (++groups << 8));
  }
  groupBegin[groups] = static_cast<std::uint8_t>(placed);
}

const FixupIndex& Index() {
  static const FixupIndex index;
  return index;
}

}  // namespace

void ApplyFixups(char* text) {
  const FixupIndex& index = Index();
  auto* p = reinterpret_cast<unsigned char*>(text);
  unsigned char* const end = p + std::strlen(text);
  while (p < end) {
    // Lead bytes of every double-byte ANSI code page lie above 0x7F, so a run of such bytes holds no window.
    if (end - p >= 8 && IsEightAscii(p)) {
      p += 8;
      continue;
    }
    if (!index.lead[*p]) {
      ++p;
      continue;
    }
    if (p + 1 == end) return;
    unsigned slot = index.slot[p[0] << 8 | p[1]];
    if (slot != 0) {
      if (const unsigned entry = slot & 0xFF) {
        std::memcpy(p, kCharFixups.targets[entry - 1], 2);
        slot = index.slot[Code(kCharFixups.targets[entry - 1])];
      }
      // p[2] is not the terminator, so p[3] is at most the terminator and still inside the text.
      if (const unsigned group = slot >> 8; group != 0 && p + 2 < end) {
        const unsigned next = p[2] << 8 | p[3];
        for (unsigned k = index.groupBegin[group - 1]; k < index.groupBegin[group]; ++k) {
          const std::size_t entry = index.wordOrder[k];
          if (Code(kWordFixups.sources[entry] + 2) == next) {
            std::memcpy(p, kWordFixups.targets[entry], 4);
            break;
          }
        }
      }
    }
    p += 2;
  }
}
