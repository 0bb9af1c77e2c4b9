// The correction pass that finishes every conversion to Simplified Chinese GBK, and its two tables.
#pragma once

#include <cstddef>

inline constexpr std::size_t kCharFixupCount = 145;
inline constexpr std::size_t kWordFixupCount = 45;

// Parallel arrays, each closed by an all-zero entry; entry i of the targets replaces entry i of the sources.
struct CharFixupTable {
  char sources[kCharFixupCount + 1][2];
  char targets[kCharFixupCount + 1][2];
};
struct WordFixupTable {
  char sources[kWordFixupCount + 1][4];
  char targets[kWordFixupCount + 1][4];
};

extern const CharFixupTable kCharFixups;
extern const WordFixupTable kWordFixups;

// Corrects a NUL-terminated GBK text in place; its byte length stays the same.
void ApplyFixups(char* text);
