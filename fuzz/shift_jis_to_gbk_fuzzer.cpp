// ShiftJisToGbk on arbitrary bytes: output within 2n+1 bytes, well-formed GBK, ASCII unchanged.
#include "conversion_fuzz.h"
#include "conversions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return FuzzConversion(data, size, {ShiftJisToGbk, false, true});
}
