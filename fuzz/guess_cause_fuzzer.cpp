// GuessCause on any text in a block of exactly its length + 1 bytes, and on the whole input, NUL bytes and all,
// as a view of a block of exactly its size, so that a scan reading past either end shows as an AddressSanitizer
// report; and the promises of its result: every cause once, scores in [0, 1] that add up to one, best first,
// evidence that never counts more than the text holds; and that a cause MeetsUndefinedEarly finds met is not the
// sure answer.
#include <cmath>
#include <cstring>
#include <memory>
#include <string_view>

#include "fuzz_checks.h"
#include "guess.h"

namespace {

void CheckGuess(const Guess& guess, std::size_t length) {
  FUZZ_CHECK(guess.ranked.size() == kCauseCount);
  bool seen[kCauseCount] = {};
  double sum = 0;
  for (std::size_t i = 0; i < guess.ranked.size(); ++i) {
    const Candidate& c = guess.ranked[i];
    const auto index = static_cast<std::size_t>(c.cause);
    FUZZ_CHECK(index < kCauseCount && !seen[index]);
    seen[index] = true;
    FUZZ_CHECK(c.score >= 0 && c.score <= 1 && std::isfinite(c.plausibility));
    FUZZ_CHECK(i == 0 || guess.ranked[i - 1].score >= c.score);
    FUZZ_CHECK(c.undefined <= length && c.unmappable <= length);
    sum += c.score;
  }
  FUZZ_CHECK(std::fabs(sum - 1) < 1e-9);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ExactText text = MakeExactText(data, size);
  CheckGuess(GuessCause(text.bytes.get()), text.length);

  const auto whole = std::make_unique<char[]>(size);
  if (size > 0) std::memcpy(whole.get(), data, size);
  const std::string_view bytes(whole.get(), size);
  const Guess guess = GuessCause(bytes);
  CheckGuess(guess, size);
  // What the convert command skips the guess for: a cause that meets an undefined sequence early is never sure.
  for (const Cause cause : {Cause::kGbk, Cause::kUtf8, Cause::kBig5, Cause::kShiftJis, Cause::kEucKr, Cause::kEucJp}) {
    if (MeetsUndefinedEarly(bytes, cause)) FUZZ_CHECK(!(guess.confident && guess.ranked[0].cause == cause));
  }
  return 0;
}
