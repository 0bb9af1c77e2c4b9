// The committed correction tables must be exactly what their generator makes from engine/fixups.txt.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "fixup_table_generator.h"

namespace {

std::string ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

TEST(FixupTables, CommittedHeaderMatchesTheGenerator) {
  const std::string committed = ReadFile(LUMARET_FIXUP_HEADER);
  ASSERT_FALSE(committed.empty()) << LUMARET_FIXUP_HEADER;
  std::string error;
  const std::string generated = GenerateFixupHeader(ReadFile(LUMARET_FIXUP_SOURCE), error);
  ASSERT_FALSE(generated.empty()) << error;
  EXPECT_TRUE(committed == generated) << "regenerate with the command in the first lines of " << LUMARET_FIXUP_HEADER;
}

// A pair that GBK cannot hold, or a word of the wrong length, names its line rather than making a table.
TEST(FixupTables, MalformedSourceNamesTheLine) {
  std::string error;
  EXPECT_TRUE(GenerateFixupHeader("[characters]\n\xE5\xBE\x8C \xE5\x90\x8E\n[words]\n\xE5\xB9\xB2 x\n", error).empty());
  EXPECT_EQ(error.rfind("line 4", 0), 0u) << error;
  EXPECT_TRUE(GenerateFixupHeader("[characters]\n\xF0\x9F\x8E\xB5 \xE5\x90\x8E\n", error).empty());
  EXPECT_EQ(error.rfind("line 2", 0), 0u) << error;
}
