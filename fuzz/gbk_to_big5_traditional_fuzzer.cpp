// GbkToBig5Traditional on arbitrary bytes: output within 2n+1 bytes, ASCII unchanged.
#include "conversion_fuzz.h"
#include "conversions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return FuzzConversion(data, size, {GbkToBig5Traditional, false, false});
}
