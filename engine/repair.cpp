#include "repair.h"

#include "memory_hints.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <future>
#include <memory>
#include <string_view>
#include <system_error>
#include <vector>

#include "conversions.h"
#include "fixups.h"
#include "gbk_tables.h"
#include "text_services.h"
#include "wide_text.h"
#include "western.h"

namespace TS = TextServices;

namespace {

constexpr char16_t kReplacement = u'\xFFFD';

bool IsSurrogate(char16_t u) { return u >= 0xD800 && u < 0xE000; }
bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u < 0xDC00; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u < 0xE000; }
bool IsUtf16(const Encoding& e) { return IsUtf16(e.cause); }

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

// Whether GBK holds a unit as it is. GBK's best fit writes some characters it lacks as others ('É' as 'é',
// '¦' as '|'); the window's routines keep that, but the other sources refuse it as the loss it is.
bool GbkHoldsExactly(char16_t unit) {
  static const std::vector<bool> holds = [] {
    std::vector<bool> table(0x10000);
    for (unsigned u = 0; u < 0x10000; ++u) {
      const char16_t wide = static_cast<char16_t>(u);
      table[u] = u == '?' || (GbkHolds(wide) && Widen(TS::kCodePageGbk, Narrow(TS::kCodePageGbk, {&wide, 1})) ==
                                                    std::u16string_view(&wide, 1));
    }
    return table;
  }();
  return holds[unit];
}

// What each cause's undefined single bytes decode to, so that the units of a decoded text tell them.
const std::u16string& UndefinedUnits(const Encoding& e) {
  static const std::array<std::u16string, kCauseCount> units = [] {
    std::array<std::u16string, kCauseCount> all;
    for (const Encoding& each : kEncodings) {
      if (each.layout == Layout::kSingleByte || each.layout == Layout::kDoubleByte) {
        all[static_cast<std::size_t>(each.cause)] = Widen(each.codePage, each.undefinedBytes);
      }
    }
    return all;
  }();
  return units[static_cast<std::size_t>(e.cause)];
}

bool IsUndefinedUnit(const Encoding& e, char16_t u) { return UndefinedUnits(e).find(u) != std::u16string::npos; }

// A UTF-16 text without its byte-order mark.
std::string_view AfterMark(std::string_view bytes, const Encoding& e) {
  return bytes.substr(bytes.starts_with(e.byteOrderMark) ? e.byteOrderMark.size() : 0);
}

std::u16string Utf16Units(std::string_view bytes, const Encoding& e, std::size_t& oddAt) {
  return WidenUtf16(AfterMark(bytes, e), e.layout == Layout::kUtf16Be, &oddAt);
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

// The window's routines in UTF-8: what GBK holds as the routine makes it, the rest kept.
std::string RoutineToUtf8(const char* text, std::size_t length, const Encoding& e) {
  if (e.cause == Cause::kWestern) {
    // The transliteration gives plain ASCII, which is UTF-8 already.
    std::vector<char> out(OutputRoom(WesternToAscii, length));
    WesternToAscii(text, out.data());
    return out.data();
  }
  std::u16string wide = Widen(e.codePage, std::string_view(text, length));
  const std::size_t start = !e.byteOrderMark.empty() && wide.starts_with(u'\xFEFF') ? 1 : 0;
  std::u16string repaired;
  repaired.reserve(wide.size());
  for (std::size_t i = start; i < wide.size();) {
    std::size_t end = i;
    while (end < wide.size() && GbkHolds(wide[end])) ++end;
    if (end > i) {
      repaired += RepairHeld(std::u16string_view(wide).substr(i, end - i), e.cause);
      i = end;
    } else {
      repaired += wide[i++];
    }
  }
  return Narrow(TS::kCodePageUtf8, repaired);
}

// The other sources in the target: their characters as they are. An undefined byte and a surrogate without
// its partner become U+FFFD, which GBK writes '?'; so does, in GBK, each character GBK does not hold exactly
// (a pair of surrogates one), so that a lossy conversion has a '?' for each loss counted.
std::string DecodedTo(std::u16string_view wide, const Encoding& e, unsigned targetCodePage) {
  const bool gbk = targetCodePage == kRepairGbk;
  std::u16string text;
  text.reserve(wide.size());
  for (std::size_t i = 0; i < wide.size(); ++i) {
    const char16_t u = wide[i];
    if (IsHighSurrogate(u) && i + 1 < wide.size() && IsLowSurrogate(wide[i + 1])) {
      if (gbk) {
        text += kReplacement;
      } else {
        text += wide.substr(i, 2);
      }
      ++i;
    } else if (IsSurrogate(u) || IsUndefinedUnit(e, u) || (gbk && u >= 0x80 && !GbkHoldsExactly(u))) {
      text += kReplacement;
    } else {
      text += u;
    }
  }
  return Narrow(targetCodePage, text);
}

// How often the code page's default unit stands for a real character of the line rather than an undefined
// sequence: '?' itself (Big5), 81 45 (Shift-JIS, U+30FB), EF BF BD (UTF-8, U+FFFD). The double-byte code pages
// are walked as Windows decodes them: a lead byte takes the next byte with it, whatever it is.
std::size_t RealDefaults(std::string_view line, const Encoding& e) {
  std::size_t count = 0;
  const std::string_view spelling = e.defaultSpelling;
  if (e.layout == Layout::kUtf8) {
    for (std::size_t at = line.find(spelling); at != std::string_view::npos; at = line.find(spelling, at + 3)) {
      ++count;
    }
    return count;
  }
  for (std::size_t i = 0; i < line.size();) {
    const auto b = static_cast<unsigned char>(line[i]);
    const std::size_t length = (e.leads[0].Holds(b) || e.leads[1].Holds(b)) && i + 1 < line.size() ? 2 : 1;
    count += line.substr(i, length) == spelling;
    i += length;
  }
  return count;
}

// Characters GBK cannot hold, a pair of surrogates counting once; undefined sequences and the BOM a conversion
// drops are counted elsewhere or not at all.
std::size_t Unheld(std::u16string_view wide, const Encoding& e, bool exactly, bool skipMark) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < wide.size(); ++i) {
    const char16_t u = wide[i];
    if (u < 0x80 || u == e.defaultUnit || IsUndefinedUnit(e, u) || (exactly ? GbkHoldsExactly(u) : GbkHolds(u))) {
      continue;
    }
    if (u == u'\xFEFF' && i == 0 && skipMark) continue;
    ++count;
    if (IsHighSurrogate(u) && i + 1 < wide.size() && IsLowSurrogate(wide[i + 1])) ++i;
  }
  return count;
}

std::size_t LineLosses(std::string_view line, bool firstLine, const Encoding& e, unsigned targetCodePage) {
  const auto undefinedByte = [&e](char c) { return e.undefinedBytes.find(c) != std::string_view::npos; };
  if (e.cause == Cause::kWestern)
    return static_cast<std::size_t>(std::count_if(line.begin(), line.end(), undefinedByte));
  if (std::all_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) return 0;
  // Most lines of a Big5 or Shift-JIS sheet are whole characters each GBK holds: a lookup a pair tells.
  if (e.toGbk != nullptr && DoubleByteLosesNothing(e.codePage, line)) return 0;
  const std::u16string wide = Widen(e.codePage, line);
  std::size_t losses = 0;
  if (e.layout == Layout::kSingleByte) {
    losses = static_cast<std::size_t>(std::count_if(line.begin(), line.end(), undefinedByte));
  } else {
    const std::size_t real = RealDefaults(line, e);
    const auto defaults = static_cast<std::size_t>(std::count(wide.begin(), wide.end(), e.defaultUnit));
    losses = defaults > real ? defaults - real : 0;
    if (targetCodePage == kRepairGbk && !GbkHolds(e.defaultUnit)) losses += std::min(real, defaults);
    losses += static_cast<std::size_t>(std::count_if(
        wide.begin(), wide.end(), [&e](char16_t u) { return u != e.defaultUnit && IsUndefinedUnit(e, u); }));
  }
  if (targetCodePage != kRepairGbk) return losses;
  return losses + Unheld(wide, e, e.toGbk == nullptr, firstLine && !e.byteOrderMark.empty());
}

// UTF-16: lone surrogates and an odd last byte, and for GBK what it cannot hold exactly, by lines of U+000A.
Losses Utf16Losses(std::string_view bytes, const Encoding& e, unsigned targetCodePage) {
  std::size_t oddAt;
  const std::u16string units = Utf16Units(bytes, e, oddAt);
  const bool gbk = targetCodePage == kRepairGbk;
  Losses losses;
  std::size_t lineNumber = 1;
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char16_t u = units[i];
    bool lost;
    if (u == u'\n') {
      ++lineNumber;
      continue;
    } else if (IsHighSurrogate(u) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
      lost = gbk;
      ++i;
    } else {
      lost = i == oddAt || IsSurrogate(u) || (gbk && u >= 0x80 && !GbkHoldsExactly(u));
    }
    if (lost && losses.count++ == 0) losses.firstLine = lineNumber;
  }
  return losses;
}

std::string_view BeforeNul(std::string_view bytes) { return bytes.substr(0, bytes.find('\0')); }

// Where the stretch of whole lines that starts at `begin` ends: after the first line feed past kStretch bytes,
// and never before a UTF-8 byte-order mark, which the routine drops only where the text opens.
constexpr std::size_t kStretch = 256 * 1024;

std::size_t StretchEnd(std::string_view text, std::size_t begin, std::size_t length = kStretch) {
  constexpr std::string_view kMark = EncodingOf(Cause::kUtf8).byteOrderMark;
  std::size_t end = begin + length;
  while (end < text.size()) {
    end = std::min(text.find('\n', end), text.size() - 1) + 1;
    if (!text.substr(end).starts_with(kMark)) return end;
  }
  return text.size();
}

// A record's routine to GBK, and its checked form where it has one.
struct Routine {
  ConversionRoutine convert;
  CheckedRoutine checked;
};

// One thread's scratch for the routine: the copy that closes a stretch, and the routine's output.
class StretchConverter {
 public:
  // Appends the routine's output for text[begin, end), a stretch at a time; `end` is where a stretch may end.
  // The stretch that ends where the text does is read in place, up to the text's NUL; the others are copied to
  // close them. Clears `lostNothing` unless the checked routine tells that each stretch lost nothing.
  void Append(std::string_view text, std::size_t begin, std::size_t end, Routine routine, std::string& result,
              bool& lostNothing) {
    while (begin < end) {
      const std::size_t stop = std::min(StretchEnd(text, begin), end);
      const char* input = text.data() + begin;
      if (stop < text.size()) {
        if (m_stretch.capacity() < stop - begin) {
          m_stretch.reserve(stop - begin);
          PreferLargePages(m_stretch);
        }
        m_stretch.assign(text, begin, stop - begin);
        input = m_stretch.c_str();
      }
      if (OutputRoom(routine.convert, stop - begin) > m_room) {
        m_room = OutputRoom(routine.convert, stop - begin);
        // Left unset, since the routine writes what it gives; mapped at once, since the stretches that follow
        // reuse it whole.
        m_out = std::make_unique_for_overwrite<char[]>(m_room);
        MapAtOnce(m_out.get(), m_room);
      }
      if (routine.checked != nullptr) {
        lostNothing = routine.checked(input, m_out.get()) && lostNothing;
      } else {
        routine.convert(input, m_out.get());
        lostNothing = false;
      }
      result += m_out.get();
      begin = stop;
    }
  }

 private:
  std::string m_stretch;
  std::unique_ptr<char[]> m_out;
  std::size_t m_room = 0;
};

// A text at least this long converts on two threads, a round at a time: each thread takes the next kShare bytes
// (to a line's end), and the second thread's output is appended after this one's. The scratch stays a round's.
constexpr std::size_t kTwoThreads = 4 * kStretch;
constexpr std::size_t kShare = 2 * kStretch;

// `text` ends before a NUL byte. A routine never reads across a line feed: no code page starts a character with
// one (in a double-byte page it can only end a pair), and the corrections replace characters and words within a
// line. So a long text goes through it a stretch of lines at a time, its output appended to the result: the
// scratch stays small and the result is the only copy of the text.
std::string ByStretches(std::string_view text, Routine routine, bool& lostNothing) {
  std::string result, theirs;
  result.reserve(text.size());
  PreferLargePages(result);
  StretchConverter mine, other;
  bool theirsLostNothing = true;
  const bool two = text.size() >= kTwoThreads;
  // The scratch is mapped at once: in a virtual machine, faulting pages in one at a time costs more than the
  // routine's work on them.
  if (two) {
    theirs.reserve(2 * kShare);
    PreferLargePages(theirs);
  }
  for (std::size_t begin = 0; begin < text.size();) {
    const std::size_t middle = two ? StretchEnd(text, begin, kShare) : text.size();
    const std::size_t end = StretchEnd(text, middle, kShare);
    std::future<void> beside;
    if (middle < end) {
      try {
        beside = std::async(std::launch::async, [&] {
          theirs.clear();
          other.Append(text, middle, end, routine, theirs, theirsLostNothing);
        });
      } catch (const std::system_error&) {
        // No thread to be had: this one converts the round whole.
      }
    }
    mine.Append(text, begin, beside.valid() ? middle : end, routine, result, lostNothing);
    if (beside.valid()) {
      beside.get();
      result += theirs;
    }
    begin = end;
  }
  lostNothing = lostNothing && theirsLostNothing;
  return result;
}

std::string RepairTerminated(std::string_view text, const Encoding& e, unsigned targetCodePage, bool& lostNothing) {
  lostNothing = false;
  if (text.empty() || !IsSource(e.cause)) return std::string(text);
  if (e.toGbk != nullptr) {
    if (targetCodePage == kRepairUtf8) return RoutineToUtf8(text.data(), text.size(), e);
    lostNothing = true;
    return ByStretches(text, {e.toGbk, e.toGbkChecked}, lostNothing);
  }
  return DecodedTo(Widen(e.codePage, text), e, targetCodePage);
}

}  // namespace

std::string RepairText(std::string_view bytes, Cause cause, unsigned targetCodePage) {
  const Encoding& e = EncodingOf(cause);
  if (IsUtf16(e)) {
    std::size_t oddAt;
    return DecodedTo(Utf16Units(bytes, e, oddAt), e, targetCodePage);
  }
  const std::string text(BeforeNul(bytes));
  bool lostNothing;
  return RepairTerminated(text, e, targetCodePage, lostNothing);
}

std::string RepairText(const std::string& bytes, Cause cause, unsigned targetCodePage) {
  bool lostNothing;
  return RepairText(bytes, cause, targetCodePage, lostNothing);
}

std::string RepairText(const std::string& bytes, Cause cause, unsigned targetCodePage, bool& lostNothing) {
  const Encoding& e = EncodingOf(cause);
  lostNothing = false;
  if (IsUtf16(e)) return RepairText(std::string_view(bytes), cause, targetCodePage);
  return RepairTerminated(BeforeNul(bytes), e, targetCodePage, lostNothing);
}

bool RepairTellsLosses(Cause cause, unsigned targetCodePage) {
  return targetCodePage == kRepairGbk && EncodingOf(cause).toGbkChecked != nullptr;
}

Losses FindLosses(std::string_view bytes, Cause cause, unsigned targetCodePage) {
  const Encoding& e = EncodingOf(cause);
  if (IsUtf16(e)) return Utf16Losses(bytes, e, targetCodePage);
  Losses losses;
  if (!IsSource(cause)) return losses;
  const std::string_view all = BeforeNul(bytes);
  // Most Big5 and Shift-JIS texts are whole characters each GBK holds: a lookup a pair over the whole text tells,
  // with no walk by lines (a pair never takes a line feed, so each line would tell the same).
  if (e.toGbk != nullptr && DoubleByteLosesNothing(e.codePage, all)) return losses;
  std::size_t lineNumber = 1;
  for (std::size_t start = 0; start < all.size(); ++lineNumber) {
    const std::size_t end = std::min(all.find('\n', start), all.size());
    const std::size_t found = LineLosses(all.substr(start, end - start), lineNumber == 1, e, targetCodePage);
    if (found > 0 && losses.count == 0) losses.firstLine = lineNumber;
    losses.count += found;
    start = end + 1;
  }
  return losses;
}

std::string RepairText(const char* text, Cause cause, unsigned targetCodePage) {
  return RepairText(std::string_view(text == nullptr ? "" : text), cause, targetCodePage);
}

Losses FindLosses(const char* text, Cause cause, unsigned targetCodePage) {
  return FindLosses(std::string_view(text == nullptr ? "" : text), cause, targetCodePage);
}

bool HoldsNul(std::string_view bytes, Cause cause) {
  const Encoding& e = EncodingOf(cause);
  if (!IsUtf16(e)) return bytes.find('\0') != std::string_view::npos;
  const std::string_view text = AfterMark(bytes, e);
  for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
    if (text[i] == '\0' && text[i + 1] == '\0') return true;
  }
  return false;
}
