// Writes the Traditional/Simplified table source (engine/script_table.cpp) to the file named, or to stdout.
#include <cstdio>
#include <fstream>
#include <iostream>

#include "script_table_generator.h"

int main(int argc, char** argv) {
  const std::string text = GenerateScriptTable();
  if (text.empty()) {
    std::cerr << "ICU lacks windows-936-2000 or the Hant-Hans/Hans-Hant transliterators\n";
    return 1;
  }
  if (argc < 2) {
    std::cout << text;
    return std::cout ? 0 : 1;
  }
  std::ofstream out(argv[1], std::ios::binary);
  out << text;
  return out ? 0 : 1;
}
