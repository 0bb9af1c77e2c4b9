// Utf8ToGbk on arbitrary bytes: output within n+1 bytes (the heap block is exactly that, so AddressSanitizer
// catches a byte more), well-formed GBK, ASCII unchanged; a leading byte-order mark gives three bytes less room.
#include "conversion_fuzz.h"
#include "conversions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzConversion(data, size, {Utf8ToGbk, false, true});
  const ExactText input = MakeExactText(data, size);
  if (input.length >= 3 && std::memcmp(input.bytes.get(), "\xEF\xBB\xBF", 3) == 0) {
    const std::size_t room = input.length - 3 + 1;
    auto output = MakeFilledBuffer(room);
    Utf8ToGbk(input.bytes.get(), output.get());
    FUZZ_CHECK(std::memchr(output.get(), 0, room) != nullptr);
  }
  return 0;
}
