// The repair of a whole text for one cause, as the dialog saves it (GBK, code page 936) or as UTF-8 (65001),
// and what that repair loses. Shared by every front end so that their bytes are the same.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "encodings.h"

inline constexpr unsigned kRepairGbk = 936;
inline constexpr unsigned kRepairUtf8 = 65001;

// `bytes`: a file's whole bytes. A UTF-16 cause reads them up to the first NUL character (00 00 at an even
// offset), every other cause up to the first NUL byte. For a cause with the window's routine (big5, shift-jis,
// western, utf-8) the result in 936 is exactly that routine's output; in 65001 it is the same text as UTF-8,
// except that a character GBK cannot hold is kept instead of becoming '?'. Every other source is decoded as
// Windows decodes it and written in the target as it is: a byte its code page leaves undefined, a surrogate
// without its partner and a last odd byte of UTF-16 become U+FFFD ('?' in GBK), as does in GBK a character GBK
// lacks; the byte-order mark is dropped. Causes that convert nothing (ascii, gbk, unknown) give the text
// unchanged.
std::string RepairText(std::string_view bytes, Cause cause, unsigned targetCodePage);
// The same, reading the text where it is rather than a copy of it.
std::string RepairText(const std::string& bytes, Cause cause, unsigned targetCodePage);
// The same, telling in `lostNothing` whether the conversion itself showed that it lost nothing, which it does for
// a cause whose record has a checked routine converting to 936: then FindLosses would find none. False where it
// cannot tell; FindLosses counts then.
std::string RepairText(const std::string& bytes, Cause cause, unsigned targetCodePage, bool& lostNothing);
// Whether that repair can tell so, for the cause and target.
bool RepairTellsLosses(Cause cause, unsigned targetCodePage);
// The bytes up to the first NUL; null counts as empty.
std::string RepairText(const char* text, Cause cause, unsigned targetCodePage);

// The characters a repair turns into a default character: byte sequences the cause's code page does not define
// (the record's undefined bytes among them), and, for 936, characters GBK cannot hold (for the sources without
// the window's routine also those GBK's best fit would write as another character, such as 'É' as 'é').
// `firstLine` is the 1-based line of the first, 0 when none.
struct Losses {
  std::size_t count = 0;
  std::size_t firstLine = 0;
};
Losses FindLosses(std::string_view bytes, Cause cause, unsigned targetCodePage);
Losses FindLosses(const char* text, Cause cause, unsigned targetCodePage);

// Whether the text holds a NUL character as the cause reads it: a NUL byte, or for UTF-16 a 00 00 unit.
bool HoldsNul(std::string_view bytes, Cause cause);
