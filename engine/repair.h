// The repair of a whole text for one cause, as the dialog saves it (GBK, code page 936) or as UTF-8 (65001),
// and what that repair loses. Shared by every front end so that their bytes are the same.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "encodings.h"

inline constexpr unsigned kRepairGbk = 936;
inline constexpr unsigned kRepairUtf8 = 65001;

// `text`: the bytes up to the first NUL (null counts as empty). For 936 the result is exactly the output of the
// dialog's routine for the cause (Big5ToGbkSimplified, ShiftJisToGbk, WesternToAscii, Utf8ToGbk). For 65001 it
// is the same text as UTF-8, without a byte-order mark, except that a character GBK cannot hold is kept
// instead of becoming '?'. Causes without a routine (ascii, gbk, unknown) give the text unchanged.
std::string RepairText(const char* text, Cause cause, unsigned targetCodePage);
// The same over a file's whole bytes: a UTF-16 cause reads them all, every other cause the bytes up to the
// first NUL.
std::string RepairText(std::string_view bytes, Cause cause, unsigned targetCodePage);

// The characters a repair turns into a default character: byte sequences the cause's code page does not define
// (for Windows-1252 also its five unassigned bytes, which the transliteration would make control characters),
// and, for 936, characters GBK cannot hold. `firstLine` is the 1-based line of the first, 0 when none.
struct Losses {
  std::size_t count = 0;
  std::size_t firstLine = 0;
};
Losses FindLosses(const char* text, Cause cause, unsigned targetCodePage);
Losses FindLosses(std::string_view bytes, Cause cause, unsigned targetCodePage);
