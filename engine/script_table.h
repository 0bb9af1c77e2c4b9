// The Traditional/Simplified pairs behind TextServices::LCMapStringA, generated from ICU into script_table.cpp.
#pragma once

#include <cstddef>
#include <cstdint>

// Double-byte GBK characters as lead byte << 8 | trail byte.
struct ScriptPair {
  std::uint16_t from;
  std::uint16_t to;
};

// Sorted by source; every source and target is a double-byte GBK character, no source maps to itself.
extern const ScriptPair kToSimplified[];
extern const std::size_t kToSimplifiedCount;
extern const ScriptPair kToTraditional[];
extern const std::size_t kToTraditionalCount;
