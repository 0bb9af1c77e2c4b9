// Conversions to GBK in one pass over the text: per source code page, a table that gives each character its
// GBK bytes directly. Each part of a table (the characters of one lead byte, or 256 UTF-16 units) is built once,
// when a text first needs it, from the text services themselves (the code page's decoder, GBK's encoder and the
// script mapping), so that each tree keeps its own system's answers.
#pragma once

#include <string_view>

enum class GbkTable {
  kBig5Simplified,  // Big5 to GBK with the Traditional-to-Simplified mapping (no corrections)
  kShiftJis,        // Shift-JIS to GBK
};

// The GBK form of the NUL-terminated input and its terminator, at most 2n + 1 bytes: what decoding the input
// with the code page's service, encoding that to GBK (and mapping it) gives. False, with the output untouched,
// where the services cannot convert the code page. `lostNothing`, where given, is cleared unless every character
// has a GBK form of its own, as DoubleByteLosesNothing tells of the same input.
bool DoubleByteToGbk(GbkTable table, const char* input, char* output, bool* lostNothing = nullptr);

// UTF-8 to GBK, at most n + 1 bytes, for a text of well-formed sequences only. False at the first byte that
// starts no well-formed sequence (or where the services cannot convert): the output then holds nothing useful,
// and the caller converts through the services, whose decoder alone says what each ill-formed stretch gives.
bool WellFormedUtf8ToGbk(const char* input, char* output);

// True when every byte above 7F of `text` (Big5, 950, or Shift-JIS, 932) begins a pair that the code page
// decodes to one character other than its default one, which GBK writes in two bytes: so that a repair to GBK or
// UTF-8 loses nothing. False where unsure (a single byte above 7F, a first byte at the end, another code page):
// the caller then counts the losses through the services.
bool DoubleByteLosesNothing(unsigned codePage, std::string_view text);
