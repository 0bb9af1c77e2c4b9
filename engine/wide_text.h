// Whole texts between a code page and UTF-16 through the text services, sized by their own queries.
#pragma once

#include <string>
#include <string_view>

// The bytes as UTF-16; empty when the code page cannot convert them (or for a text of 2 GB or more).
std::u16string Widen(unsigned codePage, std::string_view bytes);
// The units in the code page, where a character it lacks becomes its default character; empty on failure.
std::string Narrow(unsigned codePage, std::u16string_view wide);
// UTF-16 bytes as units, up to the first NUL character. An odd last byte gives U+FFFD, at *oddAt (npos when
// there is none).
std::u16string WidenUtf16(std::string_view bytes, bool bigEndian, std::size_t* oddAt = nullptr);
