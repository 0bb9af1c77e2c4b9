// Windows-1252 to plain ASCII, byte by byte.
#pragma once

// Its output needs OutputRoom(WesternToAscii, n) bytes (conversions.h), n being the input's length; a null
// input counts as empty.
void WesternToAscii(const char* input, char* output);
