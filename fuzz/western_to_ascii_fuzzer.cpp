// WesternToAscii on arbitrary bytes: the output is the concatenation of each byte's own transliteration (the
// map has no context), every byte of it below 0x80, a byte from 0x80 on spelled in one to four printable
// characters (never a control byte), closed by exactly one terminator within its output room.
#include <string>

#include "conversions.h"
#include "fuzz_checks.h"

namespace {

std::string Transliterate(unsigned char byte) {
  const char input[2] = {static_cast<char>(byte), '\0'};
  const std::size_t room = OutputRoom(WesternToAscii, 1);
  auto output = MakeFilledBuffer(room);
  WesternToAscii(input, output.get());
  const void* terminator = std::memchr(output.get(), 0, room);
  FUZZ_CHECK(terminator != nullptr);
  std::string result(output.get(), static_cast<const char*>(terminator) - output.get());
  FUZZ_CHECK(IsAscii(result.data(), result.size()));
  FUZZ_CHECK(!result.empty() && result.size() < room);
  if (byte < 0x80) {
    FUZZ_CHECK(result.size() == 1 && result[0] == static_cast<char>(byte));
  } else {
    for (const char c : result) FUZZ_CHECK(c >= 0x20 && c < 0x7F);
  }
  return result;
}

struct ByteMap {
  std::string of[256];
  ByteMap() {
    for (unsigned byte = 1; byte < 256; ++byte) of[byte] = Transliterate(static_cast<unsigned char>(byte));
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const ByteMap map;
  ExactText input = MakeExactText(data, size);
  std::size_t room = OutputRoom(WesternToAscii, input.length);
  auto output = MakeFilledBuffer(room);

  WesternToAscii(input.bytes.get(), output.get());

  std::string expected;
  for (std::size_t i = 0; i < input.length; ++i) expected += map.of[static_cast<unsigned char>(input.bytes[i])];
  FUZZ_CHECK(expected.size() < room);
  FUZZ_CHECK(std::memcmp(output.get(), expected.data(), expected.size()) == 0);
  FUZZ_CHECK(output[expected.size()] == '\0');
  return 0;
}
