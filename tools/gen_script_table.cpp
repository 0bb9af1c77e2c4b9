// Writes the Traditional/Simplified table source (engine/script_table.cpp) to the file named, or to stdout.
#include <iostream>

#include "generated_output.h"
#include "script_table_generator.h"

int main(int argc, char** argv) {
  const std::string text = GenerateScriptTable();
  if (text.empty()) {
    std::cerr << "ICU lacks windows-936-2000 or the Hant-Hans/Hans-Hant transliterators\n";
    return 1;
  }
  return WriteGenerated(text, argc < 2 ? nullptr : argv[1]);
}
