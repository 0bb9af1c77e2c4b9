// GbkToSimplified on arbitrary bytes: output within n+1 bytes and of the input's length, ASCII unchanged.
#include "conversion_fuzz.h"
#include "conversions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return FuzzConversion(data, size, {GbkToSimplified, true, false});
}
