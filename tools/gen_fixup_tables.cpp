// Writes engine/fixups.h from engine/fixups.txt: gen_fixup_tables SOURCE [HEADER]; without HEADER, to stdout.
#include <fstream>
#include <iostream>
#include <sstream>

#include "fixup_table_generator.h"
#include "generated_output.h"

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
  return WriteGenerated(text, argc < 3 ? nullptr : argv[2]);
}
