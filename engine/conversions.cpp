#include "conversions.h"

#include <cstring>
#include <memory>

#include "encodings.h"
#include "fixups.h"
#include "gbk_tables.h"
#include "text_services.h"

namespace TS = TextServices;

namespace {

constexpr char kBig5Sample[] = "\xBA\xDE\xB2\x7A";         // 管理 in Big5
constexpr char kBig5SampleGbk[] = "\xB9\xDC\xC0\xED";      // 管理
constexpr char kTraditionalSample[] = "\xB0\xD9\x91\xF0";  // 百戰
constexpr char kSimplifiedSample[] = "\xB0\xD9\xD5\xBD";   // 百战
constexpr char kShiftJisSample[] = "\x90\xA2\x8A\x45";     // 世界 in Shift-JIS
constexpr char kShiftJisSampleGbk[] = "\xCA\xC0\xBD\xE7";  // 世界

bool IsEmpty(const char* input) { return input == nullptr || *input == '\0'; }

// The NUL-terminated input as UTF-16 with its terminator, or null when the code page cannot convert it.
// UTF-8's decoder takes the terminator into the U+FFFD of a sequence that the end cuts short, so the text is
// closed once more behind the units written.
std::unique_ptr<char16_t[]> Decode(unsigned codePage, const char* input) {
  const int units = TS::MultiByteToWideChar(codePage, 0, input, -1, nullptr, 0);
  if (units == 0) return nullptr;
  auto wide = std::make_unique_for_overwrite<char16_t[]>(static_cast<std::size_t>(units) + 1);
  if (TS::MultiByteToWideChar(codePage, 0, input, -1, wide.get(), units) == 0) return nullptr;
  wide[units] = u'\0';
  return wide;
}

// The GBK size of a NUL-terminated UTF-16 text, terminator included; 0 when it cannot be converted.
int GbkSize(const char16_t* wide) { return TS::WideCharToMultiByte(TS::kCodePageGbk, 0, wide, -1, nullptr, 0); }

bool Matches(const char* result, const char* expected) { return TS::lstrcmpA(result, expected) == 0; }

}  // namespace

// One pass through a table of the simplified GBK form of every Big5 character, which gives what decoding to
// UTF-16, encoding GBK and mapping to simplified characters give, with no scratch text; then the corrections.
void Big5ToGbkSimplified(const char* input, char* output) { Big5ToGbkSimplifiedChecked(input, output); }

bool Big5ToGbkSimplifiedChecked(const char* input, char* output) {
  *output = '\0';
  if (IsEmpty(input)) return true;
  bool lostNothing = true;
  if (!DoubleByteToGbk(GbkTable::kBig5Simplified, input, output, &lostNothing)) return false;
  ApplyFixups(output);
  return lostNothing;
}

void GbkToSimplified(const char* input, char* output) {
  if (IsEmpty(input)) {
    *output = '\0';
    return;
  }
  const int room = TS::lstrlenA(input) + 1;
  if (TS::LCMapStringA(TS::kLocaleChinesePrc, TS::kMapSimplifiedChinese, input, -1, output, room) != 0) {
    ApplyFixups(output);
  } else {
    TS::lstrcpyA(output, input);
  }
}

void GbkToBig5Traditional(const char* input, char* output) {
  if (IsEmpty(input)) {
    *output = '\0';
    return;
  }
  const int n = TS::lstrlenA(input);
  const int size = TS::LCMapStringA(TS::kLocaleChinesePrcSort, TS::kMapTraditionalChinese, input, n, nullptr, 0);
  const auto scratch = std::make_unique_for_overwrite<char[]>(static_cast<std::size_t>(size) + 1);
  const int traditional = size == 0 ? 0
                                    : TS::LCMapStringA(TS::kLocaleChinesePrcSort, TS::kMapTraditionalChinese, input, n,
                                                       scratch.get(), size + 1);
  scratch[traditional] = '\0';
  if (traditional != 0) {
    const auto wide = std::make_unique_for_overwrite<char16_t[]>(static_cast<std::size_t>(traditional) + 1);
    const int units =
        TS::MultiByteToWideChar(TS::kCodePageGbk, 0, scratch.get(), traditional, wide.get(), traditional + 1);
    // The Big5 form goes back over the traditional text and must leave room for its terminator there.
    const int big5 =
        units == 0 ? 0 : TS::WideCharToMultiByte(TS::kCodePageBig5, 0, wide.get(), units, scratch.get(), traditional);
    scratch[big5] = '\0';
  }
  TS::lstrcpyA(output, scratch.get());
}

void GbkToTraditional(const char* input, char* output) {
  if (IsEmpty(input)) {
    *output = '\0';
    return;
  }
  const int n = TS::lstrlenA(input);
  const int written = TS::LCMapStringA(TS::kLocaleChinesePrcSort, TS::kMapTraditionalChinese, input, n, output, n + 1);
  output[written] = '\0';
}

void ShiftJisToGbk(const char* input, char* output) { ShiftJisToGbkChecked(input, output); }

bool ShiftJisToGbkChecked(const char* input, char* output) {
  *output = '\0';
  if (IsEmpty(input)) return true;
  bool lostNothing = true;
  return DoubleByteToGbk(GbkTable::kShiftJis, input, output, &lostNothing) && lostNothing;
}

// The output never outgrows its n + 1 bytes. The decoder gives one unit per sequence of up to three bytes, two
// for a four-byte one, and one U+FFFD for every ill-formed stretch of at least one byte; GBK then writes one
// byte for an ASCII unit (from one byte), at most two for any other unit (from two bytes or more), one '?' for
// U+FFFD and for each unit of a surrogate pair (four bytes give "??"). So no byte of the source yields more
// than one byte of GBK, and the terminator follows (a U+FFFD that took it in covers a byte before it too).
void Utf8ToGbk(const char* input, char* output) {
  *output = '\0';
  if (IsEmpty(input)) return;
  const std::string_view mark = EncodingOf(Cause::kUtf8).byteOrderMark;
  if (std::strncmp(input, mark.data(), mark.size()) == 0) input += mark.size();
  if (*input == '\0' || WellFormedUtf8ToGbk(input, output)) return;
  *output = '\0';
  const auto wide = Decode(TS::kCodePageUtf8, input);
  if (!wide) return;
  const int size = GbkSize(wide.get());
  if (size == 0 || TS::WideCharToMultiByte(TS::kCodePageGbk, 0, wide.get(), -1, output, size) == 0) *output = '\0';
}

int ProbeBig5Support() {
  if (!TS::IsValidCodePage(TS::kCodePageGbk) || !TS::IsValidCodePage(TS::kCodePageBig5)) return 0;
  char result[16];
  Big5ToGbkSimplified(kBig5Sample, result);
  if (!Matches(result, kBig5SampleGbk)) return 0;
  GbkToBig5Traditional(kBig5SampleGbk, result);
  if (!Matches(result, kBig5Sample)) return 0;
  GbkToSimplified(kTraditionalSample, result);
  if (!Matches(result, kSimplifiedSample)) return 0;
  GbkToTraditional(kSimplifiedSample, result);
  return Matches(result, kTraditionalSample) ? 1 : 0;
}

int ProbeShiftJisSupport() {
  if (!TS::IsValidCodePage(TS::kCodePageShiftJis)) return 0;
  char result[16];
  ShiftJisToGbk(kShiftJisSample, result);
  return Matches(result, kShiftJisSampleGbk) ? 1 : 0;
}
