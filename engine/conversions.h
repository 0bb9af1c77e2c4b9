// The code-page conversions and the two support probes.
// A conversion reads a NUL-terminated input (null counts as empty) and leaves a NUL-terminated text in the
// caller's buffer, sized by n, the input's length: 2n+1 for Big5ToGbkSimplified, ShiftJisToGbk and
// GbkToBig5Traditional, n+1 for GbkToSimplified and Utf8ToGbk, n+2 for GbkToTraditional.
#pragma once

void Big5ToGbkSimplified(const char* input, char* output);
void GbkToSimplified(const char* input, char* output);
void GbkToBig5Traditional(const char* input, char* output);
void GbkToTraditional(const char* input, char* output);
void ShiftJisToGbk(const char* input, char* output);
// UTF-8 (a leading byte-order mark dropped) to GBK, no script mapping; bytes that form no UTF-8 character and
// characters GBK lacks give GBK's default character '?'.
void Utf8ToGbk(const char* input, char* output);

// 1 when the system performs the conversion correctly on fixed sample words, else 0.
int ProbeBig5Support();
int ProbeShiftJisSupport();
