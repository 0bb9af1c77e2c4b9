// Facts about bytes that the engine's scans, its callers and its tests share, each stated once here.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

// GBK (code page 936): a lead byte opens a two-byte character, whose second byte is a trail byte.
constexpr bool IsGbkLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
constexpr bool IsGbkTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }
constexpr bool IsGbkPair(unsigned char lead, unsigned char trail) {
  return IsGbkLeadByte(lead) && IsGbkTrailByte(trail);
}

// The top bits of the eight bytes at p, the first byte's in the lowest byte: 0 when all eight are ASCII. The
// scans take runs of ASCII eight bytes a step this way; p must have eight readable bytes.
inline std::uint64_t HighBitsOfEight(const unsigned char* p) {
  std::uint64_t chunk;
  std::memcpy(&chunk, p, sizeof chunk);
  return chunk & 0x8080808080808080u;
}
inline bool IsEightAscii(const unsigned char* p) { return HighBitsOfEight(p) == 0; }

// A text as a load keeps it: the bytes before the first NUL.
inline void CutAtFirstNul(std::string& text) { text.resize(std::strlen(text.c_str())); }
