// The checks every conversion routine must pass on any input, whatever its encoding.
#pragma once

#include "fuzz_checks.h"

struct ConversionContract {
  void (*routine)(const char* input, char* output);
  std::size_t (*limit)(std::size_t inputLength);  // the output buffer the caller supplies, terminator included
  bool keepsLength;          // a script mapping changes double-byte characters into double-byte characters only
  bool yieldsWellFormedGbk;  // the text comes out of a GBK encoder, so no lead byte stands alone
};

inline int FuzzConversion(const std::uint8_t* data, std::size_t size, const ConversionContract& contract) {
  ExactText input = MakeExactText(data, size);
  std::size_t room = contract.limit(input.length);
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
