// The tests need the rich-edit class that the program loads at start.
#include <gtest/gtest.h>

#include "app/TranscodeApp.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (!LoadSystemRichEdit()) return 1;
  return RUN_ALL_TESTS();
}
