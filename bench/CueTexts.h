// The benchmark's inputs: CUE sheets of many albums, generated deterministically from word lists, with the
// ASCII commands and CRLF line ends of real sheets and double-byte (or accented) titles and names.
#pragma once

#include <cstddef>
#include <string>

struct CueTexts {
  std::string big5;             // Traditional Chinese albums, Big5
  std::string traditionalUtf8;  // the same albums, UTF-8
  std::string traditionalGbk;   // the same albums, GBK
  std::string shiftJis;         // Japanese albums, Shift-JIS
  std::string western;          // Western European albums, Windows-1252

  // Each of big5, shiftJis and western as close to `size` bytes as whole albums allow.
  static CueTexts Generate(std::size_t size);
};
