// Helpers shared by the fuzz targets. Inputs and outputs live in heap blocks of exactly the size a routine may
// use, so AddressSanitizer reports any access past them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "bytes.h"

// A failed check aborts, which libFuzzer records as a crash with the input that caused it.
#define FUZZ_CHECK(condition) ((condition) ? (void)0 : FuzzCheckFailed(#condition, __FILE__, __LINE__))

[[noreturn]] inline void FuzzCheckFailed(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
  std::abort();
}

// A fuzz input up to its first NUL, as a NUL-terminated text in a block of exactly length + 1 bytes.
struct ExactText {
  std::unique_ptr<char[]> bytes;
  std::size_t length;
};

inline ExactText MakeExactText(const std::uint8_t* data, std::size_t size) {
  const void* nul = std::memchr(data, 0, size);
  std::size_t length = nul ? static_cast<const std::uint8_t*>(nul) - data : size;
  ExactText text{std::make_unique<char[]>(length + 1), length};
  std::memcpy(text.bytes.get(), data, length);
  text.bytes[length] = '\0';
  return text;
}

// A block of exactly `size` bytes, filled with a non-zero byte so that a missing terminator shows.
inline std::unique_ptr<char[]> MakeFilledBuffer(std::size_t size) {
  auto buffer = std::make_unique<char[]>(size);
  std::memset(buffer.get(), 0xA5, size);
  return buffer;
}

inline bool IsAscii(const char* text, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (static_cast<unsigned char>(text[i]) >= 0x80) return false;
  }
  return true;
}

// Well-formed GBK: every lead byte is followed by a trail byte.
inline bool IsWellFormedGbk(const char* text, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (!IsGbkLeadByte(static_cast<unsigned char>(text[i]))) continue;
    if (i + 1 >= length || !IsGbkTrailByte(static_cast<unsigned char>(text[i + 1]))) return false;
    ++i;
  }
  return true;
}
