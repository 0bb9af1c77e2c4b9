// glibc iconv(3) between two named encodings: the benchmark's baseline, and how it encodes its generated texts.
#pragma once

#include <iconv.h>

#include <cstddef>
#include <string>
#include <string_view>

class IconvConverter {
 public:
  IconvConverter(const char* to, const char* from);
  ~IconvConverter();
  IconvConverter(const IconvConverter&) = delete;
  IconvConverter& operator=(const IconvConverter&) = delete;

  // Converts the whole input into the output; returns the bytes written. Throws when the input holds a byte
  // sequence the source encoding rejects or a character the target lacks, or when the output is too small.
  std::size_t Convert(std::string_view input, char* output, std::size_t room);
  std::string Convert(std::string_view input);

 private:
  iconv_t m_cd;
  std::string m_name;
};
