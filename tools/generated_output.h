// Where a generator puts what it made: the file named, or standard output without one.
#pragma once

#include <fstream>
#include <iostream>
#include <string>

inline int WriteGenerated(const std::string& text, const char* path) {
  if (path == nullptr) {
    std::cout << text;
    return std::cout ? 0 : 1;
  }
  std::ofstream out(path, std::ios::binary);
  out << text;
  return out ? 0 : 1;
}
