// RepairText and FindLosses on arbitrary bytes; the first byte picks the cause and the target. GBK repair is the
// dialog's routine byte for byte; a text that loses nothing repairs to the same text in UTF-8, which is always
// well-formed; the first line with a loss lies within the text.
#include <string>
#include <vector>

#include "conversions.h"
#include "fuzz_checks.h"
#include "repair.h"
#include "text_services.h"
#include "western.h"
#include "wide_text.h"

namespace {

struct Routine {
  Cause cause;
  void (*convert)(const char*, char*);
};
constexpr Routine kRoutines[] = {{Cause::kBig5, Big5ToGbkSimplified},
                                 {Cause::kShiftJis, ShiftJisToGbk},
                                 {Cause::kWestern, WesternToAscii},
                                 {Cause::kUtf8, Utf8ToGbk}};

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
  const Routine& routine = kRoutines[data[0] % 4];
  const ExactText input = MakeExactText(data + 1, size - 1);
  const char* text = input.bytes.get();

  std::vector<char> dialog(OutputRoom(routine.convert, input.length));
  routine.convert(text, dialog.data());
  const std::string gbk = RepairText(text, routine.cause, kRepairGbk);
  FUZZ_CHECK(gbk == dialog.data());

  const std::string utf8 = RepairText(text, routine.cause, kRepairUtf8);
  FUZZ_CHECK(IsWellFormedUtf8(utf8));

  std::size_t lines = 1;
  for (std::size_t i = 0; i < input.length; ++i) lines += text[i] == '\n';
  for (const unsigned target : {kRepairGbk, kRepairUtf8}) {
    const Losses losses = FindLosses(text, routine.cause, target);
    FUZZ_CHECK((losses.count == 0) == (losses.firstLine == 0));
    FUZZ_CHECK(losses.firstLine <= lines);
    if (target == kRepairGbk && losses.count == 0) FUZZ_CHECK(utf8 == GbkToUtf8(gbk));
  }
  // What GBK cannot hold is no loss in UTF-8, so UTF-8 never loses more.
  FUZZ_CHECK(FindLosses(text, routine.cause, kRepairUtf8).count <= FindLosses(text, routine.cause, kRepairGbk).count);
  return 0;
}
