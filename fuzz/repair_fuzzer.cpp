// RepairText and FindLosses on arbitrary bytes, NULs included; the first byte picks the source cause, in the
// order of kEncodings. For a cause with the window's routine the GBK repair is that routine's output byte for
// byte; a text that loses nothing repairs to the same text in UTF-8, which is always well-formed; the first line
// with a loss lies within the text; a repair that tells it lost nothing is one FindLosses finds no loss in.
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "conversions.h"
#include "encodings.h"
#include "fuzz_checks.h"
#include "repair.h"
#include "text_services.h"
#include "western.h"
#include "wide_text.h"

namespace {

constexpr std::size_t SourceCount() {
  std::size_t n = 0;
  for (const Encoding& e : kEncodings) n += IsSource(e.cause);
  return n;
}

Cause NthSource(std::size_t n) {
  for (const Encoding& e : kEncodings) {
    if (IsSource(e.cause) && n-- == 0) return e.cause;
  }
  return Cause::kUnknown;
}

bool IsWellFormedUtf8(const std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    const std::size_t n = b < 0x80                ? 1
                          : b >= 0xC2 && b < 0xE0 ? 2
                          : b >= 0xE0 && b < 0xF0 ? 3
                          : b >= 0xF0 && b < 0xF5 ? 4
                                                  : 0;
    if (n == 0 || i + n > text.size()) return false;
    for (std::size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += n;
  }
  return true;
}

std::string GbkToUtf8(const std::string& gbk) {
  return Narrow(TextServices::kCodePageUtf8, Widen(TextServices::kCodePageGbk, gbk));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const Cause cause = NthSource(data[0] % SourceCount());
  const Encoding& encoding = EncodingOf(cause);
  // The whole bytes in a block of their exact size, so that a read past them shows.
  const std::size_t length = size - 1;
  const auto whole = std::make_unique<char[]>(length + 1);
  std::memcpy(whole.get(), data + 1, length);
  const std::string_view bytes(whole.get(), length);
  const ExactText input = MakeExactText(data + 1, length);

  const std::string gbk = RepairText(bytes, cause, kRepairGbk);
  if (encoding.toGbk != nullptr) {
    std::vector<char> dialog(OutputRoom(encoding.toGbk, input.length));
    encoding.toGbk(input.bytes.get(), dialog.data());
    FUZZ_CHECK(gbk == dialog.data());
    FUZZ_CHECK(gbk == RepairText(input.bytes.get(), cause, kRepairGbk));
  }
  bool lostNothing;
  FUZZ_CHECK(RepairText(std::string(bytes), cause, kRepairGbk, lostNothing) == gbk);
  if (lostNothing) FUZZ_CHECK(FindLosses(bytes, cause, kRepairGbk).count == 0);

  const std::string utf8 = RepairText(bytes, cause, kRepairUtf8);
  FUZZ_CHECK(IsWellFormedUtf8(utf8));

  // UTF-16 counts lines by its own line feeds, as far as its first NUL character; the others up to the first NUL.
  std::size_t lines = 1;
  if (IsUtf16(cause)) {
    for (const char16_t u : WidenUtf16(bytes, encoding.layout == Layout::kUtf16Be)) lines += u == u'\n';
  } else {
    for (std::size_t i = 0; i < input.length; ++i) lines += input.bytes[i] == '\n';
  }
  for (const unsigned target : {kRepairGbk, kRepairUtf8}) {
    const Losses losses = FindLosses(bytes, cause, target);
    FUZZ_CHECK((losses.count == 0) == (losses.firstLine == 0));
    FUZZ_CHECK(losses.firstLine <= lines);
    if (target == kRepairGbk && losses.count == 0) FUZZ_CHECK(utf8 == GbkToUtf8(gbk));
  }
  // What GBK cannot hold is no loss in UTF-8, so UTF-8 never loses more.
  FUZZ_CHECK(FindLosses(bytes, cause, kRepairUtf8).count <= FindLosses(bytes, cause, kRepairGbk).count);
  return 0;
}
