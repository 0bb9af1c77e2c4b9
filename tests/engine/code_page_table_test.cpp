// The native code pages' tables, read as texts hold their pairs and units: threads that meet the same unread pairs
// and units at once get what one thread gets afterwards.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "code_page_table.h"

namespace {

// Every unit's bytes, the blocks of 256 units taken in an order that starts at `firstBlock`.
std::vector<std::string> EncodeEveryUnit(const CodePageTable& table, unsigned firstBlock) {
  std::vector<std::string> bytes(0x10000);
  for (unsigned k = 0; k < 0x100; ++k) {
    const unsigned block = (firstBlock + k * 0x61) & 0xFF;  // an odd step visits every block
    for (unsigned u = block << 8; u < (block + 1) << 8; ++u) {
      const char16_t unit = static_cast<char16_t>(u);
      char out[4];
      const int n = table.Encode(&unit, 1, out, sizeof out);
      bytes[u].assign(out, static_cast<std::size_t>(n > 0 ? n : 0));
    }
  }
  return bytes;
}

// Every pair's units, the lead bytes taken in an order that starts at `firstLead`.
std::vector<std::u16string> DecodeEveryPair(const CodePageTable& table, unsigned firstLead) {
  std::vector<std::u16string> units(0x10000);
  for (unsigned k = 0; k < 0x100; ++k) {
    const unsigned lead = (firstLead + k * 0x61) & 0xFF;
    for (unsigned trail = 0; trail < 0x100; ++trail) {
      const unsigned char pair[] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
      char16_t out[2];
      const int n = table.Decode(pair, 2, out, 2);
      units[lead << 8 | trail].assign(out, static_cast<std::size_t>(n > 0 ? n : 0));
    }
  }
  return units;
}

// Four threads that each read the whole table in the same order, so that they meet each unbuilt row or block at
// once, against one thread afterwards.
template <typename Read>
bool ThreadsGetWhatOneThreadGets(const CodePageTable& table, Read read) {
  std::vector<decltype(read(table, 0u))> seen(4);
  std::vector<std::thread> threads;
  for (unsigned t = 0; t < seen.size(); ++t) threads.emplace_back([&, t] { seen[t] = read(table, 0); });
  for (std::thread& thread : threads) thread.join();
  bool same = true;
  for (const auto& result : seen) same = same && result == read(table, 0);
  return same;
}

// In a process of its own, where nothing is read yet.
TEST(CodePageTableDeathTest, ThreadsMeetingTheSameUnreadPairsAndUnitsGetWhatOneThreadGets) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        bool same = true;
        for (const unsigned codePage : {932u, 20932u})
          same = ThreadsGetWhatOneThreadGets(*CodePageTable::For(codePage), DecodeEveryPair) && same;
        for (const unsigned codePage : {936u, 950u})
          same = ThreadsGetWhatOneThreadGets(*CodePageTable::For(codePage), EncodeEveryUnit) && same;
        std::exit(same ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
