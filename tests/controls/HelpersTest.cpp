// The window-free pieces of the controls: the fallback command, the error texts, fitting a rectangle to its
// text and the info icon's tool-tip text.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "controls/AboutTip.h"
#include "controls/FallbackCommand.h"
#include "controls/FitRect.h"
#include "controls/OpenErrorText.h"

namespace {

constexpr char kSentinel = '\xCC';
constexpr std::size_t kSlack = 16;

struct CommandRow {
  const char* command;
  const char* url;
  const char* expected;
};

// Registry command lines and the command that runs.
constexpr CommandRow kCommandRows[] = {
    // No placeholder: the URL is appended after a blank.
    {"C:\\Web\\browse.exe", "https://lumaret.example.org/", "C:\\Web\\browse.exe https://lumaret.example.org/"},
    // Quoted placeholder: cut at its opening quote, the tail is dropped.
    {"\"C:\\Web\\browse.exe\" -nohome \"%1\" -tail", "mailto:a@example.org",
     "\"C:\\Web\\browse.exe\" -nohome  mailto:a@example.org"},
    // Bare placeholder: cut where it starts.
    {"C:\\Web\\browse.exe -url %1,tail", "x:y", "C:\\Web\\browse.exe -url  x:y"},
    // Both: the quoted one decides, even when a bare one comes first.
    {"b.exe %1 \"%1\"", "u", "b.exe %1  u"},
    // Double-byte characters in the program's path pass unchanged.
    {"\"C:\\\xB3\xCC\xD0\xF2\\b.exe\" \"%1\"", "u", "\"C:\\\xB3\xCC\xD0\xF2\\b.exe\"  u"},
};

TEST(FallbackCommand, PlaceholderCases) {
  for (const CommandRow& row : kCommandRows) {
    char out[kFallbackCommandSize + kSlack];
    std::memset(out, kSentinel, sizeof out);
    ASSERT_TRUE(BuildFallbackCommand(row.command, row.url, out, kFallbackCommandSize)) << row.command;
    EXPECT_STREQ(row.expected, out) << row.command;
    for (std::size_t i = std::strlen(out) + 1; i < sizeof out; ++i)
      ASSERT_EQ(kSentinel, out[i]) << row.command << " byte " << i;
  }
}

TEST(FallbackCommand, LongestThatFitsAndOneMoreRefused) {
  const std::string command = "\"b.exe\" \"%1\"";
  const std::size_t kept = std::strlen("\"b.exe\" ");
  const std::string fits(kFallbackCommandSize - kept - 2, 'u');
  const std::string tooLong = fits + 'u';

  char out[kFallbackCommandSize + kSlack];
  std::memset(out, kSentinel, sizeof out);
  ASSERT_TRUE(BuildFallbackCommand(command.c_str(), fits.c_str(), out, kFallbackCommandSize));
  EXPECT_EQ(kFallbackCommandSize - 1, std::strlen(out));
  EXPECT_EQ("\"b.exe\"  " + fits, std::string(out));
  for (std::size_t i = kFallbackCommandSize; i < sizeof out; ++i) ASSERT_EQ(kSentinel, out[i]) << i;

  std::memset(out, kSentinel, sizeof out);
  EXPECT_FALSE(BuildFallbackCommand(command.c_str(), tooLong.c_str(), out, kFallbackCommandSize));
  EXPECT_EQ('\0', out[0]);
  for (std::size_t i = 1; i < sizeof out; ++i) ASSERT_EQ(kSentinel, out[i]) << i;

  const std::string longCommand(kFallbackCommandSize, 'c');
  EXPECT_FALSE(BuildFallbackCommand(longCommand.c_str(), "u", out, kFallbackCommandSize));
}

// The texts are the user's only clue, so they are compared whole.
TEST(OpenErrorText, KnownAndUnknownCodes) {
  EXPECT_EQ("Unable to open hyperlink:\n\nThe operating system is out\nof memory or resources.", OpenErrorMessage(0));
  EXPECT_EQ("Unable to open hyperlink:\n\nA sharing violation occurred. ", OpenErrorMessage(26));
  EXPECT_EQ("Unable to open hyperlink:\n\nThere is no application associated\nwith the given filename extension.",
            OpenErrorMessage(31));
  EXPECT_EQ("Unable to open hyperlink:\n\nUnknown Error (1) occurred.", OpenErrorMessage(1));
  EXPECT_EQ("Unable to open hyperlink:\n\nUnknown Error (-2147483648) occurred.", OpenErrorMessage(INT_MIN));
  EXPECT_EQ("Unable to open hyperlink:\n\nUnknown Error (33) occurred.", OpenErrorMessage(33));
}

struct FitRow {
  const char* what;
  RECT rect;
  SIZE extent;
  DWORD style;
  RECT expected;
};

// A 100 by 30 control at (10, 20) and a 40 by 12 text, unless the row says otherwise.
constexpr FitRow kFitRows[] = {
    {"left keeps the left edge", {10, 20, 110, 50}, {40, 12}, SS_LEFT, {10, 20, 50, 32}},
    {"centre keeps the centre", {10, 20, 110, 50}, {40, 12}, SS_CENTER, {40, 20, 80, 32}},
    {"right keeps the right edge", {10, 20, 110, 50}, {40, 12}, SS_RIGHT, {70, 20, 110, 32}},
    {"centre image keeps the vertical centre", {10, 20, 110, 50}, {40, 12}, SS_CENTERIMAGE, {10, 29, 50, 41}},
    {"centre and centre image", {10, 20, 110, 50}, {40, 12}, SS_CENTER | SS_CENTERIMAGE, {40, 29, 80, 41}},
    // An odd difference: the half is truncated, the extra pixel stays on the far side.
    {"odd centre", {10, 20, 111, 51}, {40, 12}, SS_CENTER | SS_CENTERIMAGE, {40, 29, 81, 42}},
    // A text wider than the control grows it; -51 / 2 truncates toward zero to -25.
    {"wider text", {10, 20, 110, 50}, {151, 12}, SS_CENTER, {-15, 20, 135, 32}},
    {"taller text", {10, 20, 110, 50}, {40, 41}, SS_CENTERIMAGE, {10, 15, 50, 55}},
};

TEST(FitRect, EachAlignment) {
  for (const FitRow& row : kFitRows) {
    const RECT got = FitRectToText(row.rect, row.extent, row.style);
    EXPECT_EQ(row.expected.left, got.left) << row.what;
    EXPECT_EQ(row.expected.top, got.top) << row.what;
    EXPECT_EQ(row.expected.right, got.right) << row.what;
    EXPECT_EQ(row.expected.bottom, got.bottom) << row.what;
  }
}

constexpr char kAbout[] = "\xB9\xD8\xD3\xDA";

TEST(AboutTip, TitleFollowsDirectly) {
  EXPECT_EQ(std::string(kAbout) + "Lumaret", AboutTipText("Lumaret"));
  EXPECT_EQ(kAbout, AboutTipText(""));
}

TEST(AboutTip, LongTitleCutTo79Bytes) {
  const std::string title79(79, 'T');
  EXPECT_EQ(kAbout + title79, AboutTipText(title79));
  EXPECT_EQ(kAbout + title79, AboutTipText(title79 + "UVW"));
  // A double-byte character that would end at byte 80 is left out whole.
  const std::string head78(78, 'T');
  EXPECT_EQ(kAbout + head78, AboutTipText(head78 + "\xD6\xD0\xCE\xC4"));
  const std::string head77(77, 'T');
  EXPECT_EQ(kAbout + head77 + "\xD6\xD0", AboutTipText(head77 + "\xD6\xD0\xCE\xC4"));
}

}  // namespace
