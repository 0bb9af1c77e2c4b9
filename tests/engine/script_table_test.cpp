// The committed Traditional/Simplified table must be exactly what its generator makes from the installed ICU.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "script_table_generator.h"

TEST(ScriptTable, CommittedSourceMatchesTheGenerator) {
  std::ifstream committed(LUMARET_SCRIPT_TABLE, std::ios::binary);
  ASSERT_TRUE(committed) << LUMARET_SCRIPT_TABLE;
  std::ostringstream text;
  text << committed.rdbuf();
  const std::string generated = GenerateScriptTable();
  ASSERT_FALSE(generated.empty());
  EXPECT_TRUE(text.str() == generated) << "regenerate with the command in the first lines of " << LUMARET_SCRIPT_TABLE;
}
