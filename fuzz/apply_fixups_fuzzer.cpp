// ApplyFixups against a plain linear walk over the two tables in table order, the behaviour any faster lookup
// must reproduce. The fuzz input is copied whole behind the text's terminator, so a write past it shows as a
// changed byte there, and an access past the block as an AddressSanitizer report.
#include <vector>

#include "fixups.h"
#include "fuzz_checks.h"

namespace {

// The oracle adds no coverage of its own: the fuzzer is to explore the engine's branches, not these.
#define LUMARET_NO_COVERAGE __attribute__((no_sanitize("coverage")))

template <std::size_t Size>
LUMARET_NO_COVERAGE bool Matches(const unsigned char* at, const char (&entry)[Size]) {
  for (std::size_t i = 0; i < Size; ++i) {
    if (at[i] != static_cast<unsigned char>(entry[i])) return false;
  }
  return true;
}

template <std::size_t Size, std::size_t Entries>
LUMARET_NO_COVERAGE void ReplaceFirstMatch(unsigned char* at, const char (&sources)[Entries][Size],
                                           const char (&targets)[Entries][Size]) {
  for (std::size_t entry = 0; entry + 1 < Entries; ++entry) {
    if (Matches(at, sources[entry])) {
      std::memcpy(at, targets[entry], Size);
      return;
    }
  }
}

LUMARET_NO_COVERAGE void LinearFixups(unsigned char* text) {
  for (std::size_t at = 0; text[at] != 0;) {
    if (!IsGbkLeadByte(text[at])) {
      ++at;
      continue;
    }
    if (text[at + 1] == 0) return;
    ReplaceFirstMatch(text + at, kCharFixups.sources, kCharFixups.targets);
    if (text[at + 2] != 0) ReplaceFirstMatch(text + at, kWordFixups.sources, kWordFixups.targets);
    at += 2;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto block = std::make_unique<char[]>(size + 1);
  std::memcpy(block.get(), data, size);
  block[size] = '\0';
  std::size_t length = std::strlen(block.get());
  std::vector<unsigned char> expected(block.get(), block.get() + size + 1);
  LinearFixups(expected.data());

  ApplyFixups(block.get());

  FUZZ_CHECK(std::strlen(block.get()) == length);
  FUZZ_CHECK(std::memcmp(block.get() + length, data + length, size - length) == 0);
  FUZZ_CHECK(std::memcmp(block.get(), expected.data(), size + 1) == 0);
  return 0;
}
