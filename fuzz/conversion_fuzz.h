// The checks every conversion routine must pass on any input, whatever its encoding.
#pragma once

#include "conversions.h"
#include "fuzz_checks.h"

// The output buffer is exactly OutputRoom(routine, n) bytes, so that AddressSanitizer catches a byte more.
struct ConversionContract {
  void (*routine)(const char* input, char* output);
  bool keepsLength;          // a script mapping changes double-byte characters into double-byte characters only
  bool yieldsWellFormedGbk;  // the text comes out of a GBK encoder, so no lead byte stands alone
};

inline int FuzzConversion(const std::uint8_t* data, std::size_t size, const ConversionContract& contract) {
  ExactText input = MakeExactText(data, size);
  std::size_t room = OutputRoom(contract.routine, input.length);
  auto output = MakeFilledBuffer(room);

  contract.routine(input.bytes.get(), output.get());

  FUZZ_CHECK(std::memcmp(input.bytes.get(), data, input.length) == 0 && input.bytes[input.length] == '\0');
  const void* terminator = std::memchr(output.get(), 0, room);
  FUZZ_CHECK(terminator != nullptr);
  std::size_t length = static_cast<const char*>(terminator) - output.get();
  if (IsAscii(input.bytes.get(), input.length)) {
    FUZZ_CHECK(length == input.length && std::memcmp(output.get(), input.bytes.get(), length) == 0);
  }
  if (contract.keepsLength) FUZZ_CHECK(length == input.length);
  if (contract.yieldsWellFormedGbk) FUZZ_CHECK(IsWellFormedGbk(output.get(), length));
  return 0;
}
