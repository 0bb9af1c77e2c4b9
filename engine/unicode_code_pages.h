// Code pages 65001 (UTF-8) and 1252 (Windows Western) for the native build, computed rather than looked up,
// with the results Wine 8's MultiByteToWideChar and WideCharToMultiByte give (flags 0).
#pragma once

#include <cstddef>

namespace UnicodeCodePages {

// Each returns the units or bytes written, or needed when room is 0; 0 when the output does not fit.
// UTF-8: a byte that starts no well-formed sequence, or a sequence cut short by a byte that cannot continue
// it, gives U+FFFD for the bytes read so far; a sequence that its lead byte says runs past the end of the
// source gives one U+FFFD for all the bytes left. As in Wine, a room that ends between the two units of the
// source's last character is no failure: the result counts the first unit only.
int DecodeUtf8(const unsigned char* src, std::size_t length, char16_t* dst, int room);
// A surrogate without its partner becomes U+FFFD (EF BF BD).
int EncodeUtf8(const char16_t* src, std::size_t length, char* dst, int room);
// Every byte is one unit; 81, 8D, 8F, 90 and 9D, which 1252 leaves undefined, become U+0081 and so on.
int DecodeWestern(const unsigned char* src, std::size_t length, char16_t* dst, int room);

}  // namespace UnicodeCodePages
