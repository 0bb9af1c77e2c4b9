#include "repair.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "conversions.h"
#include "fixups.h"
#include "text_services.h"
#include "wide_text.h"
#include "western.h"

namespace TS = TextServices;

namespace {

struct Routine {
  Cause cause;
  void (*convert)(const char* input, char* output);
  unsigned codePage;     // the cause's own code page
  char16_t defaultUnit;  // what that code page decodes an undefined sequence to
};
constexpr Routine kRoutines[] = {
    {Cause::kBig5, Big5ToGbkSimplified, TS::kCodePageBig5, u'?'},
    {Cause::kShiftJis, ShiftJisToGbk, TS::kCodePageShiftJis, u'\x30FB'},
    {Cause::kWestern, WesternToAscii, TS::kCodePageWestern, u'?'},
    {Cause::kUtf8, Utf8ToGbk, TS::kCodePageUtf8, u'\xFFFD'},
};

const Routine* RoutineFor(Cause cause) {
  const auto* found =
      std::find_if(std::begin(kRoutines), std::end(kRoutines), [cause](const Routine& r) { return r.cause == cause; });
  return found == std::end(kRoutines) ? nullptr : found;
}

// Windows-1252 leaves these five bytes unassigned.
bool IsUndefinedWestern(unsigned char b) { return b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D; }

bool IsShiftJisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

bool IsSurrogate(char16_t u) { return u >= 0xD800 && u < 0xE000; }

// Whether GBK holds a UTF-16 unit: whether encoding it gives anything but the default character. Surrogates
// (characters beyond the first plane) it never holds. Built once, so that a check is a lookup.
bool GbkHolds(char16_t unit) {
  static const std::vector<bool> holds = [] {
    std::vector<bool> table(0x10000);
    for (unsigned u = 0; u < 0x10000; ++u) {
      const char16_t wide = static_cast<char16_t>(u);
      char bytes[4] = {};
      const int n = IsSurrogate(wide) ? 0 : TS::WideCharToMultiByte(TS::kCodePageGbk, 0, &wide, 1, bytes, 4);
      table[u] = u == '?' || (n > 0 && !(n == 1 && bytes[0] == '?'));
    }
    return table;
  }();
  return holds[unit];
}

// The GBK text of units GBK holds, after the cause's own steps on GBK (the script mapping and corrections for
// Big5), back as UTF-16.
std::u16string RepairHeld(std::u16string_view run, Cause cause) {
  std::string gbk = Narrow(TS::kCodePageGbk, run);
  if (cause == Cause::kBig5 && !gbk.empty()) {
    std::string mapped(gbk.size(), '\0');
    const int length = static_cast<int>(gbk.size());
    if (TS::LCMapStringA(TS::kLocaleChinesePrc, TS::kMapSimplifiedChinese, gbk.data(), length, mapped.data(), length) ==
        length) {
      gbk = std::move(mapped);
    }
    ApplyFixups(gbk.data());
  }
  return Widen(TS::kCodePageGbk, gbk);
}

std::string RepairToUtf8(const char* text, std::size_t length, const Routine& routine) {
  if (routine.cause == Cause::kWestern) {
    // The transliteration gives plain ASCII, which is UTF-8 already.
    std::vector<char> out(3 * length + 1);
    WesternToAscii(text, out.data());
    return out.data();
  }
  std::u16string wide = Widen(routine.codePage, std::string_view(text, length));
  std::size_t start = 0;
  if (routine.cause == Cause::kUtf8 && !wide.empty() && wide[0] == u'\xFEFF') start = 1;
  std::u16string repaired;
  repaired.reserve(wide.size());
  for (std::size_t i = start; i < wide.size();) {
    std::size_t end = i;
    while (end < wide.size() && GbkHolds(wide[end])) ++end;
    if (end > i) {
      repaired += RepairHeld(std::u16string_view(wide).substr(i, end - i), routine.cause);
      i = end;
    } else {
      repaired += wide[i++];
    }
  }
  return Narrow(TS::kCodePageUtf8, repaired);
}

// How often the code page's default unit stands for a real character of the line rather than an undefined
// sequence: '?' itself (Big5), 81 45 (Shift-JIS, U+30FB), EF BF BD (UTF-8, U+FFFD). The double-byte code pages
// are walked as Windows decodes them: a lead byte takes the next byte with it, whatever it is.
std::size_t RealDefaults(std::string_view line, const Routine& routine) {
  std::size_t count = 0;
  if (routine.cause == Cause::kUtf8) {
    for (std::size_t at = line.find("\xEF\xBF\xBD"); at != std::string_view::npos;
         at = line.find("\xEF\xBF\xBD", at + 3)) {
      ++count;
    }
    return count;
  }
  const bool big5 = routine.cause == Cause::kBig5;
  for (std::size_t i = 0; i < line.size();) {
    const auto b = static_cast<unsigned char>(line[i]);
    const bool lead = big5 ? b >= 0x81 && b <= 0xFE : IsShiftJisLead(b);
    if (lead && i + 1 < line.size()) {
      count += !big5 && b == 0x81 && line[i + 1] == '\x45';
      i += 2;
    } else {
      count += big5 && b == '?';
      ++i;
    }
  }
  return count;
}

std::size_t LineLosses(std::string_view line, bool firstLine, const Routine& routine, unsigned targetCodePage) {
  if (routine.cause == Cause::kWestern) {
    return static_cast<std::size_t>(std::count_if(
        line.begin(), line.end(), [](char c) { return IsUndefinedWestern(static_cast<unsigned char>(c)); }));
  }
  if (std::all_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) return 0;
  const std::u16string wide = Widen(routine.codePage, line);
  const std::size_t real = RealDefaults(line, routine);
  const auto defaults = static_cast<std::size_t>(std::count(wide.begin(), wide.end(), routine.defaultUnit));
  std::size_t losses = defaults > real ? defaults - real : 0;
  if (targetCodePage != kRepairGbk) return losses;
  if (!GbkHolds(routine.defaultUnit)) losses += std::min(real, defaults);
  for (std::size_t i = 0; i < wide.size(); ++i) {
    const char16_t u = wide[i];
    if (u < 0x80 || u == routine.defaultUnit || GbkHolds(u)) continue;
    // The byte-order mark the UTF-8 routine drops is no loss.
    if (u == u'\xFEFF' && i == 0 && firstLine && routine.cause == Cause::kUtf8) continue;
    ++losses;
    // A pair of surrogates is one character.
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] < 0xE000) ++i;
  }
  return losses;
}

}  // namespace

std::string RepairText(const char* text, Cause cause, unsigned targetCodePage) {
  const std::size_t length = text == nullptr ? 0 : std::strlen(text);
  const Routine* routine = RoutineFor(cause);
  if (length == 0) return {};
  if (routine == nullptr) return text;
  if (targetCodePage == kRepairUtf8) return RepairToUtf8(text, length, *routine);
  std::vector<char> out(OutputRoom(routine->convert, length));
  routine->convert(text, out.data());
  return out.data();
}

Losses FindLosses(const char* text, Cause cause, unsigned targetCodePage) {
  Losses losses;
  const Routine* routine = RoutineFor(cause);
  if (text == nullptr || routine == nullptr) return losses;
  const std::string_view all(text);
  std::size_t lineNumber = 1;
  for (std::size_t start = 0; start < all.size(); ++lineNumber) {
    const std::size_t end = std::min(all.find('\n', start), all.size());
    const std::size_t found = LineLosses(all.substr(start, end - start), lineNumber == 1, *routine, targetCodePage);
    if (found > 0 && losses.count == 0) losses.firstLine = lineNumber;
    losses.count += found;
    start = end + 1;
  }
  return losses;
}

std::string RepairText(std::string_view bytes, Cause cause, unsigned targetCodePage) {
  return RepairText(std::string(bytes.substr(0, bytes.find('\0'))).c_str(), cause, targetCodePage);
}

Losses FindLosses(std::string_view bytes, Cause cause, unsigned targetCodePage) {
  return FindLosses(std::string(bytes.substr(0, bytes.find('\0'))).c_str(), cause, targetCodePage);
}
