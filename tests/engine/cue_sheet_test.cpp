// The FILE-line rule on real-looking sheets, after the cause's own routine, in both trees.
#include <gtest/gtest.h>

#include <cctype>
#include <initializer_list>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "bounded.h"
#include "bytes.h"
#include "conversions.h"
#include "cue_sheet.h"
#include "western.h"

namespace {

// Names in each spelling, as their bytes
const std::string kZhouBig5 = "\xA9\x50\xB5\xD8\xB0\xB7";                          // 周華健 in Big5
const std::string kZhouTraditional = "\xD6\xDC\xC8\x41\xBD\xA1";                   // 周華健 in GBK
const std::string kZhouSimplified = "\xD6\xDC\xBB\xAA\xBD\xA1";                    // 周华健
const std::string kWaltzBig5 = "\xB3\xCC\xAB\xE1\xB6\xEA\xBB\x52\xA6\xB1";         // 最後圓舞曲 in Big5
const std::string kWaltzTraditional = "\xD7\xEE\xE1\xE1\x88\x41\xCE\xE8\xC7\xFA";  // 最後圓舞曲 in GBK
const std::string kWaltzSimplified = "\xD7\xEE\xBA\xF3\xD4\xB2\xCE\xE8\xC7\xFA";   // 最后圆舞曲
const std::string kXuBig5 = "\xB3\x5C\xAC\xFC\xC0\x52";  // 許美靜 in Big5: 許 has the trail byte 5C, a backslash
const std::string kXuTraditional = "\xD4\x53\xC3\xC0\xEC\x6F";
const std::string kXuSimplified = "\xD0\xED\xC3\xC0\xBE\xB2";  // 许美静

const std::u16string kAlbumFile = u"周華健 - 最後圓舞曲.ape";

std::string Sheet(std::initializer_list<std::string> lines, const char* lineEnd = "\r\n") {
  std::string text;
  for (const std::string& line : lines) text += line + lineEnd;
  return text;
}

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

std::string Convert(Cause cause, const std::string& source) {
  switch (cause) {
    case Cause::kBig5:
      return RunBounded(Big5ToGbkSimplified, source.c_str(), OutputRoom(Big5ToGbkSimplified, source.size()));
    case Cause::kShiftJis:
      return RunBounded(ShiftJisToGbk, source.c_str(), OutputRoom(ShiftJisToGbk, source.size()));
    case Cause::kWestern:
      return RunBounded(WesternToAscii, source.c_str(), OutputRoom(WesternToAscii, source.size()));
    case Cause::kUtf8:
      return RunBounded(Utf8ToGbk, source.c_str(), OutputRoom(Utf8ToGbk, source.size()));
    default:
      return source;
  }
}

// The folder: the names that exist, and every name the rule asked about.
struct Folder {
  std::set<std::u16string> files;
  std::set<std::u16string> asked;
  NameExists Exists() {
    return [this](std::u16string_view name) {
      asked.emplace(name);
      return files.count(std::u16string(name)) != 0;
    };
  }
};

struct SheetRow {
  const char* what;
  Cause cause;
  std::string source;
  std::u16string file;  // the one file in the folder; empty for none
  std::string expected;
};

const SheetRow kSheetRows[] = {
    {"Big5, the traditional name exists: kept, every other line simplified", Cause::kBig5,
     Sheet({"PERFORMER " + Quoted(kZhouBig5), "TITLE " + Quoted(kWaltzBig5),
            "FILE " + Quoted(kZhouBig5 + " - " + kWaltzBig5 + ".ape") + " WAVE", "  TRACK 01 AUDIO",
            "    TITLE " + Quoted(kWaltzBig5), "    INDEX 01 00:00:00"}),
     kAlbumFile,
     Sheet({"PERFORMER " + Quoted(kZhouSimplified), "TITLE " + Quoted(kWaltzSimplified),
            "FILE " + Quoted(kZhouTraditional + " - " + kWaltzTraditional + ".ape") + " WAVE", "  TRACK 01 AUDIO",
            "    TITLE " + Quoted(kWaltzSimplified), "    INDEX 01 00:00:00"})},
    {"Big5, no audio file: as converted", Cause::kBig5,
     Sheet({"TITLE " + Quoted(kWaltzBig5), "FILE " + Quoted(kZhouBig5 + " - " + kWaltzBig5 + ".ape") + " WAVE"}), u"",
     Sheet({"TITLE " + Quoted(kWaltzSimplified),
            "FILE " + Quoted(kZhouSimplified + " - " + kWaltzSimplified + ".ape") + " WAVE"})},
    {"Big5, LF line ends, lower-case keyword after spaces and tabs", Cause::kBig5,
     Sheet({"TITLE " + Quoted(kWaltzBig5), " \tfile " + Quoted(kZhouBig5 + " - " + kWaltzBig5 + ".ape") + " WAVE"},
           "\n"),
     kAlbumFile,
     Sheet({"TITLE " + Quoted(kWaltzSimplified),
            " \tfile " + Quoted(kZhouTraditional + " - " + kWaltzTraditional + ".ape") + " WAVE"},
           "\n")},
    {"Big5, the converted name exists: kept as converted", Cause::kBig5,
     Sheet({"FILE " + Quoted(kZhouBig5 + ".ape") + " WAVE"}), u"周华健.ape",
     Sheet({"FILE " + Quoted(kZhouSimplified + ".ape") + " WAVE"})},
    {"Big5, a name with a folder, and a trail byte that is a backslash", Cause::kBig5,
     Sheet({"FILE " + Quoted("CD1\\" + kXuBig5 + ".flac") + " WAVE"}), u"CD1\\許美靜.flac",
     Sheet({"FILE " + Quoted("CD1\\" + kXuTraditional + ".flac") + " WAVE"})},
    {"Big5, unquoted name up to the last blank before the type", Cause::kBig5,
     Sheet({"FILE " + kZhouBig5 + " " + kWaltzBig5 + ".ape  WAVE  "}), u"周華健 最後圓舞曲.ape",
     Sheet({"FILE " + kZhouTraditional + " " + kWaltzTraditional + ".ape  WAVE  "})},
    {"Big5, two FILE lines: only the one whose traditional name exists changes", Cause::kBig5,
     Sheet({"FILE " + Quoted(kXuBig5 + ".wav") + " WAVE", "  TRACK 01 AUDIO",
            "FILE " + Quoted(kZhouBig5 + " - " + kWaltzBig5 + ".ape") + " WAVE", "  TRACK 02 AUDIO"}),
     kAlbumFile,
     Sheet({"FILE " + Quoted(kXuSimplified + ".wav") + " WAVE", "  TRACK 01 AUDIO",
            "FILE " + Quoted(kZhouTraditional + " - " + kWaltzTraditional + ".ape") + " WAVE", "  TRACK 02 AUDIO"})},
    {"Big5, a line end taken into a character: the lines no longer correspond, nothing changes", Cause::kBig5,
     Sheet({"TITLE \"\xA4", "FILE " + Quoted(kZhouBig5 + " - " + kWaltzBig5 + ".ape") + " WAVE"}, "\n"), kAlbumFile,
     "TITLE \"?FILE " + Quoted(kZhouSimplified + " - " + kWaltzSimplified + ".ape") + " WAVE\n"},
    {"Western, an accented name GBK holds", Cause::kWestern,
     Sheet({"TITLE \"Caf\xE9\"", "FILE \"Beyonc\xE9 - Live.flac\" WAVE"}), u"Beyoncé - Live.flac",
     Sheet({"TITLE \"Cafe\"", "FILE \"Beyonc\xA8\xA6 - Live.flac\" WAVE"})},
    {"Western, a name that grows in GBK moves the FILE line after it", Cause::kWestern,
     Sheet({"FILE \"Beyonc\xE9 - Live.flac\" WAVE", "FILE \"Caf\xE9.wav\" WAVE"}), u"Beyoncé - Live.flac",
     Sheet({"FILE \"Beyonc\xA8\xA6 - Live.flac\" WAVE", "FILE \"Cafe.wav\" WAVE"})},
    {"Western, a name GBK cannot hold: as converted", Cause::kWestern, Sheet({"FILE \"Bj\xF6rk.wav\" WAVE"}),
     u"Björk.wav", Sheet({"FILE \"Bjork.wav\" WAVE"})},
    {"Western, typographic quotes make the lines differ outside the name: as converted", Cause::kWestern,
     Sheet({"FILE \"a\x94"
            "b.wav\" WAVE"}),
     u"a\x201D"
     "b.wav",
     Sheet({"FILE \"a\"b.wav\" WAVE"})},
    {"Shift-JIS, half-width katakana that GBK lacks: as converted", Cause::kShiftJis,
     Sheet({"FILE \"\xB1\xD9\xCA\xDE\xD1.wav\" WAVE"}), u"ｱﾙﾊﾞﾑ.wav", Sheet({"FILE \"?????.wav\" WAVE"})},
    {"UTF-8 with its byte-order mark, FILE on the first line", Cause::kUtf8,
     "\xEF\xBB\xBF" + Sheet({"FILE \"\xE5\x91\xA8\xE8\x8F\xAF\xE5\x81\xA5.ape\" WAVE"}), u"周華健.ape",
     Sheet({"FILE " + Quoted(kZhouTraditional + ".ape") + " WAVE"})},
    {"UTF-8 with its byte-order mark: the sheet's first line is the name's line in both", Cause::kUtf8,
     "\xEF\xBB\xBF" + Sheet({"FILE \"Bj\xC3\xB6rk \xE6\x9D\xB1\xE4\xBA\xAC.wav\" WAVE"}), u"Björk 東京.wav",
     Sheet({"FILE \"Bj?rk \x96\x7C\xBE\xA9.wav\" WAVE"})},
    {"UTF-8, a character GBK lacks: the file is found, its name cannot be written", Cause::kUtf8,
     Sheet({"FILE \"\xEA\xB0\x80.wav\" WAVE"}), u"가.wav", Sheet({"FILE \"?.wav\" WAVE"})},
};

TEST(KeepFileNames, SheetRows) {
  for (const SheetRow& row : kSheetRows) {
    Folder folder;
    if (!row.file.empty()) folder.files.insert(row.file);
    const std::string converted = Convert(row.cause, row.source);
    std::vector<FileLine> lines;
    const std::string kept = KeepFileNames(row.source, converted, row.cause, folder.Exists(), 936, &lines);
    EXPECT_EQ(Hex(kept), Hex(row.expected)) << row.what;
    EXPECT_EQ(folder.asked.count(u""), 0u) << row.what;
    // The lines it gives are those of the text it gives, replaced names and the names after them included.
    const std::vector<FileLine> found = FindFileLines(kept);
    ASSERT_EQ(lines.size(), found.size()) << row.what;
    for (std::size_t i = 0; i < found.size(); ++i) {
      EXPECT_EQ(std::tie(lines[i].line, lines[i].offset, lines[i].length),
                std::tie(found[i].line, found[i].offset, found[i].length))
          << row.what;
    }
  }
}

TEST(KeepFileNames, ToUtf8) {
  // lumaret-cli --to utf-8: a Big5 sheet converted to simplified UTF-8
  const std::string source = Sheet({"TITLE " + Quoted(kWaltzBig5), "FILE " + Quoted(kZhouBig5 + ".ape") + " WAVE"});
  const std::string converted = Sheet({"TITLE \"\xE6\x9C\x80\xE5\x90\x8E\xE5\x9C\x86\xE8\x88\x9E\xE6\x9B\xB2\"",
                                       "FILE \"\xE5\x91\xA8\xE5\x8D\x8E\xE5\x81\xA5.ape\" WAVE"});
  Folder folder;
  folder.files.insert(u"周華健.ape");
  EXPECT_EQ(Hex(KeepFileNames(source, converted, Cause::kBig5, folder.Exists(), 65001)),
            Hex(Sheet({"TITLE \"\xE6\x9C\x80\xE5\x90\x8E\xE5\x9C\x86\xE8\x88\x9E\xE6\x9B\xB2\"",
                       "FILE \"\xE5\x91\xA8\xE8\x8F\xAF\xE5\x81\xA5.ape\" WAVE"})));
  EXPECT_EQ(folder.asked, (std::set<std::u16string>{u"周华健.ape", u"周華健.ape"}));
}

TEST(KeepFileNames, Utf8SourceWithByteOrderMark) {
  // A routine that drops the mark and maps the script: the FILE lines still correspond
  const std::string source =
      "\xEF\xBB\xBF"
      "FILE \"\xE5\x91\xA8\xE8\x8F\xAF\xE5\x81\xA5.ape\" WAVE\n";
  Folder folder;
  folder.files.insert(u"周華健.ape");
  EXPECT_EQ(
      Hex(KeepFileNames(source, "FILE " + Quoted(kZhouSimplified + ".ape") + " WAVE\n", Cause::kUtf8, folder.Exists())),
      Hex("FILE " + Quoted(kZhouTraditional + ".ape") + " WAVE\n"));
}

TEST(KeepFileNames, Utf16SourceIsReadAsItsCharacters) {
  // FILE "周華健.ape" WAVE in UTF-16LE with its mark; the converted name (simplified) names no file
  std::string source("\xFF\xFE", 2);
  for (const char16_t u : std::u16string(u"REM x\r\nFILE \"周華健.ape\" WAVE\r\n")) {
    source += static_cast<char>(u & 0xFF);
    source += static_cast<char>(u >> 8);
  }
  Folder folder;
  folder.files.insert(u"周華健.ape");
  const std::string converted = "REM x\r\nFILE " + Quoted(kZhouSimplified + ".ape") + " WAVE\r\n";
  EXPECT_EQ(Hex(KeepFileNames(source, converted, Cause::kUtf16Le, folder.Exists())),
            Hex("REM x\r\nFILE " + Quoted(kZhouTraditional + ".ape") + " WAVE\r\n"));
  // Read in the other order its bytes are other characters, and no FILE line
  EXPECT_EQ(KeepFileNames(source, converted, Cause::kUtf16Be, folder.Exists()), converted);
}

TEST(KeepFileNames, OtherSourcesSpellTheNameInTheirCodePage) {
  // FILE "Ёлка.wav" in KOI8-R, converted with the name changed: the KOI8-R spelling names the file
  Folder folder;
  folder.files.insert(u"Ёлка.wav");
  EXPECT_EQ(Hex(KeepFileNames("FILE \"\xB3\xCC\xCB\xC1.wav\" WAVE\n", "FILE \"x.wav\" WAVE\n", Cause::kKoi8R,
                              folder.Exists())),
            Hex("FILE \"\xA7\xA7\xA7\xDD\xA7\xDC\xA7\xD1.wav\" WAVE\n"));
}

TEST(KeepFileNames, CausesWithoutASourceSpellingChangeNothing) {
  Folder folder;
  folder.files.insert(u"a.wav");
  for (const Cause cause : {Cause::kAscii, Cause::kGbk, Cause::kUnknown}) {
    EXPECT_EQ(KeepFileNames("FILE \"a.wav\" WAVE\r\n", "FILE \"b.wav\" WAVE\r\n", cause, folder.Exists()),
              "FILE \"b.wav\" WAVE\r\n");
  }
  EXPECT_TRUE(folder.asked.empty());
}

struct FindRow {
  const char* text;
  std::vector<FileLine> found;
};

bool operator==(const FileLine& a, const FileLine& b) {
  return a.line == b.line && a.offset == b.offset && a.length == b.length;
}

const FindRow kFindRows[] = {
    {"FILE \"a b.wav\" WAVE", {{1, 6, 7}}},
    {"REM x\r\n\tFiLe \"\" WAVE\r\n", {{2, 14, 0}}},
    {"REM\rFILE a b.wav  WAVE\r\n", {{2, 9, 7}}},  // a lone CR ends a line too
    {"FILE a.wav", {{1, 5, 5}}},                   // no type: the whole word
    {"\n\nFILE  \"x\"\nFILE \"y\"", {{3, 9, 1}, {4, 18, 1}}},
    {"\xEF\xBB\xBF"
     "FILE \"a.wav\" WAVE",
     {{1, 9, 5}}},  // a leading byte-order mark is no part of a word
    // Not FILE lines
    {"FILENAME \"a.wav\" WAVE\nREM FILE \"a.wav\"\nFILE\nFILE   \nFILE \"a.wav WAVE\n", {}},
    {"A\xEF\xBB\xBF"
     "FILE \"a.wav\" WAVE",
     {}},
    {"", {}},
};

// Each row also behind a line of 5 to 40 bytes, so that its keyword and breaks fall at every place of a
// sixteen-byte step (a byte-order mark opens the text only where the row stands alone).
TEST(FindFileLines, Rows) {
  for (const FindRow& row : kFindRows) {
    for (std::size_t pad = 0; pad <= 36; ++pad) {
      const bool alone = pad == 0;
      if (!alone && std::string_view(row.text).starts_with("\xEF\xBB\xBF")) continue;
      const std::string before = alone ? "" : "REM " + std::string(pad - 1, 'x') + "\n";
      const std::vector<FileLine> found = FindFileLines(before + row.text);
      EXPECT_EQ(found.size(), row.found.size()) << Hex(row.text) << " behind " << pad;
      for (std::size_t i = 0; i < std::min(found.size(), row.found.size()); ++i) {
        const FileLine expected{row.found[i].line + !alone, row.found[i].offset + before.size(), row.found[i].length};
        EXPECT_TRUE(found[i] == expected) << Hex(row.text) << " behind " << pad << ": line " << found[i].line
                                          << ", offset " << found[i].offset << ", length " << found[i].length;
      }
    }
  }
}

TEST(IsCueSheetName, EndsInCueInAnyCase) {
  for (const char* path : {"a.cue", "C:\\Music\\Album.CUE", "x.Cue", ".cue"}) EXPECT_TRUE(IsCueSheetName(path)) << path;
  for (const char* path : {"a.txt", "a.cue.txt", "acue", "a.cu", "", "a.cue "}) {
    EXPECT_FALSE(IsCueSheetName(path)) << path;
  }
}

// The line-break scan, sixteen or eight bytes a step, against a plain one: a CR or an LF at every place of texts of up
// to 40 bytes, among bytes a bit or two away from them, NUL and their high-bit twins, from every start.
TEST(LineBreakFrom, FindsTheFirstBreakFromEveryStart) {
  constexpr char kNear[] = {'\x0B', '\x0C', '\x0E', '\x0F', '\x09', '\x8A', '\x8D', '\0', '\x2A'};
  for (const char brk : {'\r', '\n'}) {
    for (std::size_t size = 0; size <= 40; ++size) {
      for (std::size_t at = 0; at <= size; ++at) {
        std::string text(size, ' ');
        for (std::size_t i = 0; i < size; ++i) text[i] = kNear[(i + at) % sizeof kNear];
        if (at < size) text[at] = brk;
        if (at + 3 < size) text[at + 3] = static_cast<char>('\r' + '\n' - brk);  // a later break of the other kind
        for (std::size_t from = 0; from <= size; ++from) {
          std::size_t first = from;
          while (first < size && text[first] != '\r' && text[first] != '\n') ++first;
          EXPECT_EQ(LineBreakFrom(text.data(), size, from), first)
              << "size " << size << " break " << at << " from " << from;
        }
      }
    }
  }
}

// The line-break counts and skips, and the keyword scan, against plain walks: texts of CR, LF, their near
// neighbours and the keyword's letters in both cases, from every start that is not inside a CRLF. The counts
// between every two places on texts of up to 63 bytes; the skips and the scan also on texts of up to 191, whose
// steps of sixty-four bytes have breaks at every place.
TEST(LineBreaksIn, CountsAndSkipsAsAWalkDoes) {
  constexpr char kBytes[] = {'\r', '\n', '\r', 'x', '\x8D', 'F', 'i', 'L', 'e', 'f', 'I', 'l', 'E', '\x8A', '\0'};
  std::uint32_t seed = 12;
  const auto check = [](const std::string& bytes, bool counts) {
    const std::size_t size = bytes.size();
    const char* s = bytes.data();
    std::vector<std::size_t> starts;  // where each line after the first begins
    for (std::size_t i = 0; i < size; ++i) {
      if (s[i] == '\n' || (s[i] == '\r' && (i + 1 == size || s[i + 1] != '\n'))) starts.push_back(i + 1);
    }
    const auto inside = [&](std::size_t at) { return at > 0 && at < size && s[at - 1] == '\r' && s[at] == '\n'; };
    for (std::size_t from = 0; from <= size; ++from) {
      std::size_t keyword = from;
      const auto lower = [&](std::size_t i) { return std::tolower(static_cast<unsigned char>(s[i])); };
      while (keyword + 4 <= size && !(lower(keyword) == 'f' && lower(keyword + 1) == 'i' && lower(keyword + 2) == 'l' &&
                                      lower(keyword + 3) == 'e')) {
        ++keyword;
      }
      EXPECT_EQ(FileKeywordFrom(s, size, from), keyword + 4 <= size ? keyword : size) << Hex(bytes) << " " << from;
      if (inside(from)) continue;
      std::vector<std::size_t> after;
      for (const std::size_t start : starts) {
        if (start > from) after.push_back(start);
      }
      for (std::size_t to = from; counts && to <= size; ++to) {
        if (inside(to)) continue;
        std::size_t breaks = 0;
        for (const std::size_t start : after) breaks += start <= to;
        EXPECT_EQ(LineBreaksIn(s, size, from, to), breaks) << Hex(bytes) << " " << from << "-" << to;
      }
      for (std::size_t count = 0; count <= after.size() + 1; ++count) {
        const std::size_t expected = count == 0 ? from : count <= after.size() ? after[count - 1] : std::string::npos;
        EXPECT_EQ(LineStartAfter(s, size, from, count), expected) << Hex(bytes) << " " << from << " " << count;
      }
    }
  };
  for (int text = 0; text < 3300; ++text) {
    seed = seed * 1664525u + 1013904223u;
    const bool longer = text >= 3000;
    std::string bytes((seed >> 26) + (longer ? 128 : 0), ' ');
    for (char& b : bytes) {
      seed = seed * 1664525u + 1013904223u;
      b = kBytes[(seed >> 16) % sizeof kBytes];
    }
    check(bytes, !longer);
  }
}

}  // namespace
