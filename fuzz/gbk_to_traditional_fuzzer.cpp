// GbkToTraditional on arbitrary bytes: output within n+2 bytes and of the input's length, ASCII unchanged.
#include "conversion_fuzz.h"
#include "conversions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return FuzzConversion(data, size, {GbkToTraditional, true, false});
}
