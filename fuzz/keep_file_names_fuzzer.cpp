// KeepFileNames on arbitrary sheets, with a folder that answers by a hash of the name: the result is the
// converted text outside its FILE names, each name it changed names a file, and the folder is never asked about
// an empty name or one holding U+0000. The first byte picks the cause; its top bit pairs the sheet with an
// arbitrary converted text (the bytes after the first NUL, read as UTF-8) instead of the cause's own routine.
#include <string>
#include <string_view>
#include <vector>

#include "conversions.h"
#include "cue_sheet.h"
#include "fuzz_checks.h"
#include "text_services.h"
#include "western.h"
#include "wide_text.h"

namespace {

bool Exists(std::u16string_view name) {
  FUZZ_CHECK(!name.empty() && name.find(u'\0') == std::u16string_view::npos);
  std::uint32_t hash = 2166136261u;
  for (const char16_t unit : name) hash = (hash ^ unit) * 16777619u;
  return hash % 3 == 0;
}

std::string Convert(ConversionRoutine routine, const std::string& source) {
  std::vector<char> output(OutputRoom(routine, source.size()));
  routine(source.c_str(), output.data());
  return output.data();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const Cause causes[] = {Cause::kBig5, Cause::kShiftJis, Cause::kWestern, Cause::kUtf8, Cause::kGbk};
  const Cause cause = causes[(data[0] & 0x7F) % std::size(causes)];
  const bool arbitrary = (data[0] & 0x80) != 0;
  const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string source(rest.substr(0, rest.find('\0')));

  std::string converted;
  unsigned target = TextServices::kCodePageGbk;
  if (arbitrary) {
    converted = rest.size() > source.size() ? std::string(rest.substr(source.size() + 1)) : std::string();
    target = TextServices::kCodePageUtf8;
  } else if (cause == Cause::kBig5) {
    converted = Convert(Big5ToGbkSimplified, source);
  } else if (cause == Cause::kShiftJis) {
    converted = Convert(ShiftJisToGbk, source);
  } else if (cause == Cause::kWestern) {
    converted = Convert(WesternToAscii, source);
  } else if (cause == Cause::kUtf8) {
    converted = Convert(Utf8ToGbk, source);
  } else {
    converted = source;
  }

  std::vector<FileLine> kept;
  const std::string result = KeepFileNames(source, converted, cause, Exists, target, &kept);

  const std::vector<FileLine> before = FindFileLines(converted);
  const std::vector<FileLine> after = FindFileLines(result);
  FUZZ_CHECK(before.size() == after.size() && kept.size() == after.size());
  for (std::size_t i = 0; i < after.size(); ++i) {
    FUZZ_CHECK(kept[i].line == after[i].line && kept[i].offset == after[i].offset && kept[i].length == after[i].length);
  }
  std::size_t from = 0, to = 0;
  for (std::size_t i = 0; i < before.size(); ++i) {
    FUZZ_CHECK(before[i].line == after[i].line);
    FUZZ_CHECK(std::string_view(converted).substr(from, before[i].offset - from) ==
               std::string_view(result).substr(to, after[i].offset - to));
    const std::string_view was = std::string_view(converted).substr(before[i].offset, before[i].length);
    const std::string_view is = std::string_view(result).substr(after[i].offset, after[i].length);
    if (was != is) FUZZ_CHECK(Exists(Widen(target, is)));
    from = before[i].offset + before[i].length;
    to = after[i].offset + after[i].length;
  }
  FUZZ_CHECK(std::string_view(converted).substr(from) == std::string_view(result).substr(to));
  return 0;
}
