// Writes engine/fixups.h from engine/fixups.txt: gen_fixup_tables SOURCE [HEADER]; without HEADER, to stdout.
#include <fstream>
#include <iostream>
#include <sstream>

#include "fixup_table_generator.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: gen_fixup_tables engine/fixups.txt [engine/fixups.h]\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::ostringstream source;
  source << in.rdbuf();
  std::string error;
  const std::string text = GenerateFixupHeader(source.str(), error);
  if (text.empty()) {
    std::cerr << argv[1] << ": " << error << '\n';
    return 1;
  }
  if (argc < 3) {
    std::cout << text;
    return std::cout ? 0 : 1;
  }
  std::ofstream out(argv[2], std::ios::binary);
  out << text;
  return out ? 0 : 1;
}
