// Windows-1252 to plain ASCII, byte by byte.
#pragma once

// output needs room for 3n+1 bytes, n being the input's length; null input counts as empty.
void WesternToAscii(const char* input, char* output);
