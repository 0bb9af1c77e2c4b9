// The code-page conversions, their output bounds, and the two support probes.
//
// The rules a caller keeps:
// - A conversion reads its input up to the first NUL; a null input counts as empty, and an empty one gives an
//   empty output without touching any system service.
// - The output buffer is the caller's and must hold OutputRoom(routine, n) bytes, n being the input's length:
//   the routine writes at most that many, its terminator included, and never reports a length. Ask
//   OutputRoom rather than writing a bound out: each routine's bound is stated once, in kOutputBounds.
// - A routine cannot fail. A byte sequence its source code page does not define, or a character GBK lacks,
//   becomes the code page's default character; the routines differ only in what they do when a system service
//   itself fails (see each definition).
#pragma once

#include <cstddef>

#include "western.h"

void Big5ToGbkSimplified(const char* input, char* output);
void GbkToSimplified(const char* input, char* output);
void GbkToBig5Traditional(const char* input, char* output);
void GbkToTraditional(const char* input, char* output);
void ShiftJisToGbk(const char* input, char* output);
// UTF-8 (a leading byte-order mark dropped) to GBK, no script mapping; bytes that form no UTF-8 character and
// characters GBK lacks give GBK's default character '?'.
void Utf8ToGbk(const char* input, char* output);

using ConversionRoutine = void (*)(const char* input, char* output);

// The routines that convert through a table of their code page's pairs, in the same pass telling whether every
// character had a GBK form of its own (true) or one may have become a default character (false): the same bytes
// as Big5ToGbkSimplified and ShiftJisToGbk, and no pass of their own to count losses where nothing is lost.
bool Big5ToGbkSimplifiedChecked(const char* input, char* output);
bool ShiftJisToGbkChecked(const char* input, char* output);
using CheckedRoutine = bool (*)(const char* input, char* output);

// Each routine's room: perByte * n + extra bytes, terminator included. Decoding gives at most one UTF-16 unit a
// byte and GBK at most two bytes a unit; the mappings keep the length; GbkToTraditional writes its terminator
// after the room it gives the mapping; a GBK character is never longer than its UTF-8 form; and the Western
// transliteration spells a byte in at most four ("(TM)").
struct OutputBound {
  ConversionRoutine routine;
  std::size_t perByte;
  std::size_t extra;
};
inline constexpr OutputBound kOutputBounds[] = {
    {Big5ToGbkSimplified, 2, 1}, {ShiftJisToGbk, 2, 1}, {GbkToBig5Traditional, 2, 1}, {GbkToSimplified, 1, 1},
    {GbkToTraditional, 1, 2},    {Utf8ToGbk, 1, 1},     {WesternToAscii, 4, 1},
};

// The room `routine` needs for an input of n bytes. A routine missing from the table gets the largest room
// of all, which no routine exceeds; a test holds every routine to its own row.
constexpr std::size_t OutputRoom(ConversionRoutine routine, std::size_t n) {
  std::size_t perByte = 0, extra = 0;
  for (const OutputBound& bound : kOutputBounds) {
    if (bound.routine == routine) return bound.perByte * n + bound.extra;
    perByte = bound.perByte > perByte ? bound.perByte : perByte;
    extra = bound.extra > extra ? bound.extra : extra;
  }
  return perByte * n + extra;
}

// 1 when the system performs the conversion correctly on fixed sample words, else 0.
int ProbeBig5Support();
int ProbeShiftJisSupport();
