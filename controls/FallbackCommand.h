// The command line that opens a URL with the program the registry names for HTML files, used when the shell
// cannot open the URL itself.
#pragma once

#include <cstddef>

// Size of the command buffer, terminator included.
inline constexpr std::size_t kFallbackCommandSize = 520;

// Writes into out (size bytes) the registry's open command cut at its "%1" placeholder (at the opening quote
// when the placeholder is quoted, so whatever followed it is dropped) or, without a placeholder, the whole
// command; then a blank and the URL. A result that does not fit is refused: out becomes empty and the answer
// is false, because a shortened command line would run something else than the registry says.
bool BuildFallbackCommand(const char* command, const char* url, char* out, std::size_t size);
