// lumaret-cli end to end: a tree of sheets made for each test, the real program run over it, every byte checked.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "Beside.h"
#include "CliProcess.h"
#include "SheetTree.h"
#include "conversions.h"
#include "cue_sheet.h"
#include "text_services.h"
#include "western.h"

namespace {

// Sheets as each cause writes them (CRLF, as on Windows).
// Big5: 周華健, 最後圓舞曲, 讓我歡喜讓我憂, 花心; its FILE line names a file that exists with the traditional name.
constexpr char kBig5Album[] =
    "REM GENRE Pop\r\nPERFORMER \x22\xA9P\xB5\xD8\xB0\xB7\x22\r\nTITLE "
    "\x22\xB3\xCC\xAB\xE1\xB6\xEA\xBBR\xA6\xB1\x22\r\n"
    "FILE \x22\xA9P\xB5\xD8\xB0\xB7 - \xB3\xCC\xAB\xE1\xB6\xEA\xBBR\xA6\xB1.ape\x22 WAVE\r\n  TRACK 01 AUDIO\r\n"
    "    TITLE \x22\xC5\xFD\xA7\xDA\xC5w\xB3\xDF\xC5\xFD\xA7\xDA\xBC~\x22\r\n    INDEX 01 00:00:00\r\n"
    "  TRACK 02 AUDIO\r\n    TITLE \x22\xAA\xE1\xA4\xDF\x22\r\n    INDEX 01 04:12:33\r\n";
constexpr char8_t kBig5AudioName[] = u8"周華健 - 最後圓舞曲.ape";
// The FILE line as the GBK sheet must spell it: the traditional name that is on disk.
constexpr char kBig5FileLineGbk[] =
    "FILE \x22\xD6\xDC\xC8"
    "A\xBD\xA1 - \xD7\xEE\xE1\xE1\x88"
    "A\xCE\xE8\xC7\xFA.ape\x22 WAVE";
// Big5: 張學友, 吻別, 我與你; its audio file is missing.
constexpr char kBig5Spaces[] =
    "PERFORMER \x22\xB1i\xBE\xC7\xA4\xCD\x22\r\nTITLE \x22\xA7k\xA7O\x22\r\nFILE \x22\xA7k\xA7O.flac\x22 WAVE\r\n"
    "  TRACK 01 AUDIO\r\n    TITLE \x22\xA7\xDA\xBBP\xA7"
    "A\x22\r\n    INDEX 01 00:00:00\r\n";
// Big5 with 愛相隨‧愛相隨: GBK has no U+2027 (‧), so the GBK repair loses it; UTF-8 keeps it.
constexpr char kBig5Lossy[] =
    "PERFORMER \x22\xA9P\xB5\xD8\xB0\xB7\x22\r\nTITLE \x22\xB7R\xAC\xDB\xC0H\xA1"
    "E\xB7R\xAC\xDB\xC0H\x22\r\n"
    "FILE \x22track.wav\x22 WAVE\r\n  TRACK 01 AUDIO\r\n    TITLE \x22\xAA"
    "B\xA4\xCD\x22\r\n";
constexpr char8_t kBig5LossyUtf8[] =
    u8"PERFORMER \"周华健\"\r\nTITLE \"爱相随‧爱相随\"\r\nFILE \"track.wav\" WAVE\r\n  TRACK 01 AUDIO\r\n"
    u8"    TITLE \"朋友\"\r\n";
// Shift-JIS: いきものがかり, ありがとう, 気まぐれロマンティック; さくら.wav and さくら 2.wav are missing.
constexpr char kShiftJis[] =
    "PERFORMER \x22\x82\xA2\x82\xAB\x82\xE0\x82\xCC\x82\xAA\x82\xA9\x82\xE8\x22\r\n"
    "TITLE \x22\x82\xA0\x82\xE8\x82\xAA\x82\xC6\x82\xA4\x22\r\nFILE \x22\x82\xB3\x82\xAD\x82\xE7.wav\x22 WAVE\r\n"
    "  TRACK 01 AUDIO\r\n    TITLE \x22\x8B"
    "C\x82\xDC\x82\xAE\x82\xEA\x83\x8D\x83}\x83\x93\x83"
    "e\x83"
    "B\x83"
    "b\x83N\x22\r\n"
    "    INDEX 01 00:00:00\r\nFILE \x22\x82\xB3\x82\xAD\x82\xE7 2.wav\x22 WAVE\r\n";
// Windows-1252: Beyoncé, Déjà Vu – Live in Zürich.
constexpr char kWestern[] =
    "PERFORMER \x22"
    "Beyonc\xE9\x22\r\nTITLE \x22"
    "D\xE9j\xE0 Vu \x96 Live in Z\xFCrich\x22\r\nFILE \x22track.wav\x22 WAVE\r\n";
// UTF-8 with the byte-order mark: 王菲, 我们的歌, 红豆; track01.flac exists.
constexpr char kUtf8[] =
    "\xEF\xBB\xBFPERFORMER \x22\xE7\x8E\x8B\xE8\x8F\xB2\x22\r\nTITLE "
    "\x22\xE6\x88\x91\xE4\xBB\xAC\xE7\x9A\x84\xE6\xAD\x8C\x22\r\n"
    "FILE \x22track01.flac\x22 WAVE\r\n  TRACK 01 AUDIO\r\n    TITLE \x22\xE7\xBA\xA2\xE8\xB1\x86\x22\r\n";
// Already GBK: 王菲, 我们的歌.
constexpr char kGbk[] =
    "PERFORMER \x22\xCD\xF5\xB7\xC6\x22\r\nTITLE \x22\xCE\xD2\xC3\xC7\xB5\xC4\xB8\xE8\x22\r\nFILE \x22track01.flac\x22 "
    "WAVE\r\n";
constexpr char kAscii[] = "PERFORMER \x22The Band\x22\r\nTITLE \x22Live\x22\r\nFILE \x22live.wav\x22 WAVE\r\n";
// A wave file's start under a sheet's name.
const std::string kBinary("RIFF\x24\x08\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x02\x00", 24);

std::string Text(const char8_t* utf8) { return reinterpret_cast<const char*>(utf8); }

// Names outside GBK (Hangul), with spaces.
const std::string kHangulSheet = Text(u8"노래 모음/앨범 하나.cue");

std::string Dialog(ConversionRoutine routine, const std::string& text) {
  std::vector<char> out(OutputRoom(routine, text.size()));
  routine(text.c_str(), out.data());
  return out.data();
}

std::string Utf8Of(std::u16string_view name) {
  std::string out(name.size() * 3 + 1, '\0');
  out.resize(static_cast<std::size_t>(TextServices::WideCharToMultiByte(TextServices::kCodePageUtf8, 0, name.data(),
                                                                        static_cast<int>(name.size()), out.data(),
                                                                        static_cast<int>(out.size()))));
  return out;
}

std::string GbkToUtf8(const std::string& gbk) {
  std::u16string wide(gbk.size() + 1, u'\0');
  wide.resize(static_cast<std::size_t>(TextServices::MultiByteToWideChar(TextServices::kCodePageGbk, 0, gbk.data(),
                                                                         static_cast<int>(gbk.size()), wide.data(),
                                                                         static_cast<int>(wide.size()))));
  return Utf8Of(wide);
}

// What the dialog saves for a sheet at `name` of the tree: the routine, then the FILE rule for a .cue file.
std::string DialogSave(const SheetTree& tree, const std::string& name, Cause cause, const std::string& source) {
  std::string converted = cause == Cause::kBig5       ? Dialog(Big5ToGbkSimplified, source)
                          : cause == Cause::kShiftJis ? Dialog(ShiftJisToGbk, source)
                          : cause == Cause::kWestern  ? Dialog(WesternToAscii, source)
                                                      : Dialog(Utf8ToGbk, source);
  if (name.size() < 4 || name.substr(name.size() - 4) != ".cue") return converted;
  const std::string folder = name.find('/') == std::string::npos ? "" : name.substr(0, name.rfind('/') + 1);
  return KeepFileNames(source, converted, cause,
                       [&](std::u16string_view file) { return tree.Exists(folder + Utf8Of(file)); });
}

struct Line {
  std::string action, cause, reason;
};

// Output lines by the path relative to the tree, with '/'; warnings by "path:line".
struct Report {
  std::map<std::string, Line> files;
  std::vector<std::string> warnings;
  std::string summary;
};

Report Parse(const SheetTree& tree, const std::string& out) {
  Report report;
  auto relative = [&](std::string path) {
    if (path.rfind(tree.Root(), 0) == 0) path = path.substr(tree.Root().size() + 1);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
  };
  for (const std::vector<std::string>& fields : CliResult::Fields(out)) {
    const std::string line = fields.size() == 1 ? fields[0] : "";
    if (fields.size() == 3 && fields[0] == "warning") {
      report.warnings.push_back(relative(fields[1]));
      EXPECT_EQ(fields[2], "FILE names no file in the folder");
    } else if (fields.size() == 4) {
      report.files[relative(fields[2])] = {fields[0], fields[1], fields[3]};
    } else {
      report.summary = line;
    }
  }
  return report;
}

// The tree every conversion test starts from: one sheet of each kind, the audio files some of them name, and
// files that must stay as they are.
struct SheetKind {
  std::string name;
  std::string bytes;
};
std::vector<SheetKind> TreeSheets() {
  return {
      {"big5/album.cue", kBig5Album},
      {Text(kBig5AudioName).insert(0, "big5/"), ""},
      {"big5/name with spaces.cue", kBig5Spaces},
      {"big5/name with spaces.cue.bak", "an older backup"},
      {"big5/lossy.cue", kBig5Lossy},
      {"big5/read only.cue", kBig5Spaces},
      {"big5/notes.log", kBig5Spaces},
      {"japanese/SAKURA.CUE", kShiftJis},
      {"western/beyonce.TXT", kWestern},
      {"utf8/wang fei.cue", kUtf8},
      {"utf8/track01.flac", ""},
      {"readable/gbk.cue", kGbk},
      {"readable/ascii.cue", kAscii},
      {"readable/empty.cue", ""},
      {"readable/binary.cue", kBinary},
      {kHangulSheet, kShiftJis},
  };
}

void MakeTree(const SheetTree& tree) {
  for (const SheetKind& sheet : TreeSheets()) {
    tree.Write(sheet.name, sheet.bytes);
    tree.Age(sheet.name);
  }
  tree.SetReadOnly("big5/read only.cue");
}

struct Snapshot {
  std::map<std::string, std::string> bytes;
  std::map<std::string, std::int64_t> times;
};
Snapshot Take(const SheetTree& tree) {
  Snapshot s;
  for (const std::string& name : tree.Files()) {
    s.bytes[name] = tree.Read(name);
    s.times[name] = tree.ModifiedTime(name);
  }
  return s;
}

// The sheets a run over the whole tree converts, and their causes.
const std::map<std::string, std::string> kConverted = {
    {"big5/album.cue", "big5"},         {"big5/name with spaces.cue", "big5"}, {"japanese/SAKURA.CUE", "shift-jis"},
    {"western/beyonce.TXT", "western"}, {"utf8/wang fei.cue", "utf-8"},        {kHangulSheet, "shift-jis"},
};

void ExpectLines(const Report& report, const std::string& converted) {
  for (const auto& [name, cause] : kConverted) {
    ASSERT_TRUE(report.files.count(name)) << name;
    EXPECT_EQ(report.files.at(name).action, converted) << name;
    EXPECT_EQ(report.files.at(name).cause, cause) << name;
  }
  const std::map<std::string, std::pair<std::string, std::string>> others = {
      {"readable/gbk.cue", {"skipped", "gbk"}},     {"readable/ascii.cue", {"skipped", "ascii"}},
      {"readable/empty.cue", {"skipped", "ascii"}}, {"readable/binary.cue", {"refused", "unknown"}},
      {"big5/lossy.cue", {"refused", "big5"}},      {"big5/read only.cue", {"failed", "big5"}},
  };
  for (const auto& [name, expected] : others) {
    ASSERT_TRUE(report.files.count(name)) << name;
    EXPECT_EQ(report.files.at(name).action, expected.first) << name << ": " << report.files.at(name).reason;
    EXPECT_EQ(report.files.at(name).cause, expected.second) << name;
  }
  EXPECT_EQ(report.files.size(), kConverted.size() + others.size()) << "notes.log, audio and backups are no sheets";
  EXPECT_EQ(report.files.at("readable/gbk.cue").reason, "already readable");
  EXPECT_EQ(report.files.at("readable/empty.cue").reason, "empty file");
  EXPECT_NE(report.files.at("readable/binary.cue").reason.find("NUL byte at offset 6"), std::string::npos);
  // ‧ on line 2 is the one character GBK cannot hold.
  EXPECT_NE(
      report.files.at("big5/lossy.cue").reason.find("1 character would become a default character (first on line 2)"),
      std::string::npos)
      << report.files.at("big5/lossy.cue").reason;
  EXPECT_NE(report.files.at("big5/read only.cue").reason.find("read-only"), std::string::npos);
  // Only sheets whose audio file is missing after the repair, also in a dry run.
  const std::vector<std::string> warnings = {"big5/name with spaces.cue:3", "japanese/SAKURA.CUE:3",
                                             "japanese/SAKURA.CUE:7", kHangulSheet + ":3", kHangulSheet + ":7"};
  EXPECT_EQ(std::multiset<std::string>(report.warnings.begin(), report.warnings.end()),
            std::multiset<std::string>(warnings.begin(), warnings.end()));
}

TEST(Convert, DryRunNamesEveryActionAndChangesNothing) {
  SheetTree tree;
  MakeTree(tree);
  const Snapshot before = Take(tree);
  const CliResult run = CliProcess::Run({"convert", "--dry-run", "--recursive", tree.Root()});
  EXPECT_EQ(run.status, 1) << run.err;
  const Report report = Parse(tree, run.out);
  ExpectLines(report, "would-convert");
  EXPECT_EQ(report.summary, "6 would-convert, 3 skipped, 2 refused, 1 failed");
  const Snapshot after = Take(tree);
  EXPECT_EQ(after.bytes, before.bytes);
  EXPECT_EQ(after.times, before.times);
}

TEST(Convert, WritesWhatTheDialogSavesAndKeepsEachOriginal) {
  SheetTree tree;
  MakeTree(tree);
  const Snapshot before = Take(tree);
  const CliResult run =
      CliProcess::Run({"convert", "--recursive", tree.PathOf("big5"), tree.PathOf("japanese"), tree.PathOf("western"),
                       tree.PathOf("utf8"), tree.PathOf("readable"), tree.PathOf(kHangulSheet)});
  EXPECT_EQ(run.status, 1) << run.err;
  const Report report = Parse(tree, run.out);
  ExpectLines(report, "converted");
  EXPECT_EQ(report.summary, "6 converted, 3 skipped, 2 refused, 1 failed");

  const std::map<std::string, Cause> causes = {
      {"big5/album.cue", Cause::kBig5},          {"big5/name with spaces.cue", Cause::kBig5},
      {"japanese/SAKURA.CUE", Cause::kShiftJis}, {"western/beyonce.TXT", Cause::kWestern},
      {"utf8/wang fei.cue", Cause::kUtf8},       {kHangulSheet, Cause::kShiftJis},
  };
  std::set<std::string> expectedFiles;
  for (const auto& [name, bytes] : before.bytes) expectedFiles.insert(name);
  for (const auto& [name, cause] : causes) {
    const std::string& source = before.bytes.at(name);
    EXPECT_EQ(tree.Read(name), DialogSave(tree, name, cause, source)) << name;
    const std::string backup = name + (name == "big5/name with spaces.cue" ? ".bak.1" : ".bak");
    EXPECT_EQ(tree.Read(backup), source) << backup;
    EXPECT_EQ(tree.ModifiedTime(backup), before.times.at(name)) << "a backup keeps the original's time";
    EXPECT_NE(tree.ModifiedTime(name), before.times.at(name)) << name;
    EXPECT_EQ(report.files.at(name).reason, "backup " + tree.PathOf(backup)) << name;
    expectedFiles.insert(backup);
  }
  // The FILE line keeps naming the traditional file on disk; the rest of the sheet is simplified.
  const std::string album = tree.Read("big5/album.cue");
  EXPECT_NE(album.find(kBig5FileLineGbk), std::string::npos);
  EXPECT_NE(album.find("TITLE \x22\xD7\xEE\xBA\xF3\xD4\xB2\xCE\xE8\xC7\xFA\x22"), std::string::npos);  // 最后圆舞曲
  EXPECT_EQ(tree.Read("western/beyonce.TXT"),
            "PERFORMER \x22"
            "Beyonce\x22\r\nTITLE \x22"
            "Deja Vu - Live in Zurich\x22\r\nFILE \x22track.wav\x22 WAVE\r\n");

  const std::vector<std::string> files = tree.Files();
  EXPECT_EQ(std::set<std::string>(files.begin(), files.end()), expectedFiles) << "no temporary file is left";
  for (const auto& [name, bytes] : before.bytes) {
    if (causes.count(name)) continue;
    EXPECT_EQ(tree.Read(name), bytes) << name;
    EXPECT_EQ(tree.ModifiedTime(name), before.times.at(name)) << name;
  }
}

TEST(Convert, Utf8TargetsKeepWhatGbkCannotHold) {
  SheetTree tree;
  tree.Write("a/album.cue", kBig5Album);
  tree.Write("a/" + Text(kBig5AudioName), "");
  tree.Write("a/lossy.cue", kBig5Lossy);
  tree.Write("b/album.cue", kBig5Album);
  tree.Write("b/" + Text(kBig5AudioName), "");
  tree.Write("b/wang fei.cue", kUtf8);
  const CliResult plain = CliProcess::Run({"convert", "--to", "utf-8", "--no-backup", "--recursive", tree.PathOf("a")});
  EXPECT_EQ(plain.status, 0) << plain.out << plain.err;
  EXPECT_EQ(Parse(tree, plain.out).summary, "2 converted, 0 skipped, 0 refused, 0 failed");
  const CliResult marked =
      CliProcess::Run({"convert", "--to=utf-8-bom", "--no-backup", "--recursive", tree.PathOf("b")});
  EXPECT_EQ(marked.status, 0) << marked.out << marked.err;

  // The same text as the GBK repair, in UTF-8, with the FILE name as on disk.
  std::string album = GbkToUtf8(DialogSave(tree, "a/album.cue", Cause::kBig5, kBig5Album));
  const std::string gbkName = std::string(kBig5FileLineGbk).substr(6, std::string(kBig5FileLineGbk).size() - 12);
  album.replace(album.find(GbkToUtf8(gbkName)), GbkToUtf8(gbkName).size(), Text(kBig5AudioName));
  EXPECT_EQ(GbkToUtf8(gbkName), Text(kBig5AudioName));
  EXPECT_EQ(tree.Read("a/album.cue"), album);
  EXPECT_EQ(tree.Read("a/lossy.cue"), Text(kBig5LossyUtf8));
  EXPECT_EQ(tree.Read("b/album.cue"), "\xEF\xBB\xBF" + album);
  EXPECT_EQ(tree.Read("b/wang fei.cue"), kUtf8) << "a UTF-8 sheet with its mark is unchanged";
  EXPECT_EQ(Parse(tree, marked.out).files["b/wang fei.cue"].action, "skipped");
  EXPECT_FALSE(tree.Exists("a/album.cue.bak"));
}

TEST(Convert, LossyFromAndKeepTime) {
  SheetTree tree;
  tree.Write("lossy.cue", kBig5Lossy);
  tree.Write("text then data.txt", std::string(kBig5Spaces) + std::string("\0\x01\x02", 3) + kBig5Album);
  tree.Write("ascii.txt", kAscii);
  for (const std::string name : {"lossy.cue", "text then data.txt", "ascii.txt"}) tree.Age(name);
  const std::int64_t lossyTime = tree.ModifiedTime("lossy.cue");
  const CliResult run =
      CliProcess::Run({"convert", "--from", "big5", "--lossy", "--keep-time", "--recursive", tree.Root()});
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  const Report report = Parse(tree, run.out);
  EXPECT_EQ(report.summary, "2 converted, 1 skipped, 0 refused, 0 failed");
  EXPECT_EQ(report.files.at("ascii.txt").reason, "unchanged (the conversion gives the same bytes)");
  EXPECT_EQ(tree.Read("lossy.cue"), Dialog(Big5ToGbkSimplified, kBig5Lossy));
  EXPECT_NE(tree.Read("lossy.cue").find("\xB0\xAE\xCF\xE0\xCB\xE6?\xB0\xAE"), std::string::npos) << "爱相随?爱";
  // As the dialog loads it: the text up to the NUL.
  EXPECT_EQ(tree.Read("text then data.txt"), Dialog(Big5ToGbkSimplified, kBig5Spaces));
  EXPECT_EQ(tree.ModifiedTime("lossy.cue"), lossyTime);
  EXPECT_EQ(tree.Read("lossy.cue.bak"), kBig5Lossy);
}

// A sheet of many FILE lines looks their names up beside its replacement: the one missing file is warned of, at
// its line, whether the text gains a byte-order mark or not and in a dry run.
TEST(Convert, WarningsOfManyFileLines) {
  SheetTree tree;
  std::string text;
  for (int album = 0; album < 70; ++album) text += kBig5Album;
  text += kBig5Spaces;
  tree.Write(Text(kBig5AudioName), "");
  for (const std::vector<std::string>& options :
       {std::vector<std::string>{"--dry-run"}, {"--to=utf-8-bom"}, {"--to=gbk"}}) {
    tree.Write("many.cue", text);
    std::vector<std::string> arguments{"convert", "--from", "big5", "--no-backup", tree.PathOf("many.cue")};
    arguments.insert(arguments.begin() + 1, options.begin(), options.end());
    const CliResult run = CliProcess::Run(arguments);
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(Parse(tree, run.out).warnings, std::vector<std::string>{"many.cue:703"}) << options[0];
  }
}

// A text of a megabyte and more converts while its losses are counted: a loss near its end still refuses it, with
// no warning for its FILE line; --lossy converts it, the warning written once.
TEST(Convert, LongTextsAsShortOnes) {
  SheetTree tree;
  constexpr char kLine[] = "    TITLE \x22\xB3\xCC\xAB\xE1\xB6\xEA\xBBR\xA6\xB1\x22\r\n";
  std::string text;
  std::size_t lines = 0;
  for (; text.size() < (1u << 20); ++lines) text += kLine;
  text += kBig5Lossy;
  tree.Write("long.cue", text);
  const CliResult refused = CliProcess::Run({"convert", "--from", "big5", "--no-backup", tree.PathOf("long.cue")});
  EXPECT_EQ(refused.status, 1) << refused.out << refused.err;
  EXPECT_NE(refused.out.find("(first on line " + std::to_string(lines + 2) + ")"), std::string::npos) << refused.out;
  EXPECT_EQ(refused.out.find("warning"), std::string::npos) << refused.out;
  EXPECT_EQ(tree.Read("long.cue"), text);
  const CliResult lossy = CliProcess::Run({"convert", "--from", "big5", "--lossy", tree.PathOf("long.cue")});
  EXPECT_EQ(lossy.status, 0) << lossy.out << lossy.err;
  EXPECT_EQ(Parse(tree, lossy.out).summary, "1 converted, 0 skipped, 0 refused, 0 failed");
  EXPECT_NE(lossy.out.find(std::to_string(lines + 3) + "\tFILE names"), std::string::npos) << lossy.out;
  EXPECT_EQ(lossy.out.find("warning"), lossy.out.rfind("warning"));
  EXPECT_EQ(tree.Read("long.cue"), Dialog(Big5ToGbkSimplified, text));
  // A long file's guess builds its models while the file is read.
  const CliResult guess = CliProcess::Run({"guess", tree.PathOf("long.cue.bak")});
  EXPECT_EQ(guess.out.substr(0, guess.out.find('\t')), "big5") << guess.out << guess.err;
}

// A large sheet is read and written a piece of 128 KB at a time: sizes about a piece's bounds, a pair of bytes
// across each, and the backup (the original written anew) and the result whole.
TEST(Convert, SheetsAsLargeAsAPieceOrTwo) {
  constexpr std::size_t kPiece = 128 * 1024;
  constexpr char kLine[] = "    TITLE \x22\xB3\xCC\xAB\xE1\xB6\xEA\xBBR\xA6\xB1\x22\r\n";
  for (const std::size_t size : {kPiece - 1, kPiece, kPiece + 1, 3 * kPiece + 5}) {
    SheetTree tree;
    std::string text;
    while (text.size() + sizeof kLine - 1 + 8 <= size) text += kLine;
    text += "REM " + std::string(size - text.size() - 6, 'x') + "\r\n";
    ASSERT_EQ(text.size(), size);
    tree.Write("large.cue", text);
    const CliResult run = CliProcess::Run({"convert", "--from", "big5", tree.PathOf("large.cue")});
    EXPECT_EQ(run.status, 0) << size << run.out << run.err;
    EXPECT_EQ(tree.Read("large.cue.bak"), text) << size;
    EXPECT_EQ(tree.Read("large.cue"), Dialog(Big5ToGbkSimplified, text)) << size;
  }
}

// Кино, Группа крови in Windows-1251, and in GBK, which holds the Russian alphabet; its audio file exists.
constexpr char kRussian[] =
    "PERFORMER \x22\xCA\xE8\xED\xEE\x22\r\nTITLE \x22\xC3\xF0\xF3\xEF\xEF\xE0 \xEA\xF0\xEE\xE2\xE8\x22\r\n"
    "FILE \x22\xCA\xE8\xED\xEE - \xC3\xF0\xF3\xEF\xEF\xE0 \xEA\xF0\xEE\xE2\xE8.flac\x22 WAVE\r\n";
constexpr char kRussianGbk[] =
    "PERFORMER \x22\xA7\xAC\xA7\xDA\xA7\xDF\xA7\xE0\x22\r\nTITLE \x22\xA7\xA4\xA7\xE2\xA7\xE5\xA7\xE1\xA7\xE1\xA7"
    "\xD1 \xA7\xDC\xA7\xE2\xA7\xE0\xA7\xD3\xA7\xDA\x22\r\nFILE \x22\xA7\xAC\xA7\xDA\xA7\xDF\xA7\xE0 - \xA7\xA4\xA7"
    "\xE2\xA7\xE5\xA7\xE1\xA7\xE1\xA7\xD1 \xA7\xDC\xA7\xE2\xA7\xE0\xA7\xD3\xA7\xDA.flac\x22 WAVE\r\n";
// Океан Ельзи, Місто весни: Ukrainian і is not in GBK.
constexpr char kUkrainian[] =
    "PERFORMER \x22\xCE\xEA\xE5\xE0\xED \xC5\xEB\xFC\xE7\xE8\x22\r\nTITLE \x22\xCC\xB3\xF1\xF2\xEE "
    "\xE2\xE5\xF1\xED\xE8\x22\r\n";
constexpr char8_t kUkrainianUtf8[] = u8"PERFORMER \"Океан Ельзи\"\r\nTITLE \"Місто весни\"\r\n";
// 아이유, 좋은 날 in EUC-KR.
constexpr char kKorean[] = "PERFORMER \x22\xBE\xC6\xC0\xCC\xC0\xAF\x22\r\nTITLE \x22\xC1\xC1\xC0\xBA \xB3\xAF\x22\r\n";

constexpr char8_t kKoreanUtf8[] = u8"PERFORMER \"아이유\"\r\nTITLE \"좋은 날\"\r\n";

std::string Utf16Le(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (const char16_t u : text) {
    bytes += static_cast<char>(u & 0xFF);
    bytes += static_cast<char>(u >> 8);
  }
  return bytes;
}

TEST(Convert, OtherSourcesByName) {
  SheetTree tree;
  tree.Write("ru/kino.cue", kRussian);
  tree.Write("ru/" + Text(u8"Кино - Группа крови.flac"), "");
  tree.Write("ua/okean.cue", kUkrainian);
  tree.Write("ko/iu.cue", kKorean);
  tree.Write("zh/utf16.cue", Utf16Le(u"TITLE \"周华健\"\r\nFILE \"a.wav\" WAVE\r\n"));
  tree.Write("zh/a.wav", "");
  auto convert = [&](const std::string& from, const std::string& to, const std::string& name) {
    const CliResult run = CliProcess::Run({"convert", "--from", from, "--to", to, "--no-backup", tree.PathOf(name)});
    const Report report = Parse(tree, run.out);
    EXPECT_TRUE(report.warnings.empty()) << name;
    // Once under Wine a run left no line for the UTF-16 sheet: what the run said, should it happen again.
    EXPECT_EQ(report.files.count(name), 1u) << name << " exit " << run.status << "\n" << run.out << run.err;
    return report.files.count(name) ? report.files.at(name) : Line{};
  };
  EXPECT_EQ(convert("windows-1251", "gbk", "ru/kino.cue").action, "converted");
  EXPECT_EQ(tree.Read("ru/kino.cue"), kRussianGbk) << "the FILE line names the file as it is";

  const Line refused = convert("windows-1251", "gbk", "ua/okean.cue");
  EXPECT_EQ(refused.action, "refused");
  EXPECT_NE(refused.reason.find("1 character would become a default character (first on line 2); --to utf-8"),
            std::string::npos)
      << refused.reason;
  EXPECT_EQ(tree.Read("ua/okean.cue"), kUkrainian);
  EXPECT_EQ(convert("windows-1251", "utf-8", "ua/okean.cue").action, "converted");
  EXPECT_EQ(tree.Read("ua/okean.cue"), Text(kUkrainianUtf8));

  EXPECT_EQ(convert("utf-16le", "gbk", "zh/utf16.cue").action, "converted");
  EXPECT_EQ(tree.Read("zh/utf16.cue"),
            "TITLE \x22\xD6\xDC\xBB\xAA\xBD\xA1\x22\r\nFILE \x22"
            "a.wav\x22 WAVE\r\n");

  EXPECT_NE(convert("euc-kr", "gbk", "ko/iu.cue").reason.find("6 characters"), std::string::npos);
  EXPECT_EQ(convert("euc-kr", "utf-8", "ko/iu.cue").action, "converted");
  EXPECT_EQ(tree.Read("ko/iu.cue"), Text(kKoreanUtf8));
}

// فيروز, نسم علينا الهوى in Windows-1256, a code page no cause names.
constexpr char kArabic[] =
    "PERFORMER \x22\xDD\xED\xD1\xE6\xD2\x22\r\nTITLE \x22\xE4\xD3\xE3 \xDA\xE1\xED\xE4\xC7 "
    "\xC7\xE1\xE5\xE6\xEC\x22\r\n";

TEST(Convert, OtherSourcesAsGuessed) {
  SheetTree tree;
  tree.Write("ru.cue", kRussian);
  tree.Write("ua.cue", kUkrainian);
  tree.Write("ko.cue", kKorean);
  tree.Write("utf16.cue", Utf16Le(u"TITLE \"\u5468\u534E\u5065\"\r\n"));
  tree.Write("ar.cue", kArabic);
  const Report report = Parse(tree, CliProcess::Run({"convert", "--dry-run", "--recursive", tree.Root()}).out);
  const std::pair<const char*, const char*> expected[] = {{"ru.cue", "would-convert windows-1251"},
                                                          {"ua.cue", "refused windows-1251"},
                                                          {"ko.cue", "refused euc-kr"},
                                                          {"utf16.cue", "would-convert utf-16le"},
                                                          {"ar.cue", "skipped unknown"}};
  for (const auto& [name, outcome] : expected) {
    ASSERT_EQ(report.files.count(name), 1u) << name;
    EXPECT_EQ(report.files.at(name).action + " " + report.files.at(name).cause, outcome) << name;
  }
}

TEST(Convert, Utf16WithoutTheRightNameIsBinaryData) {
  SheetTree tree;
  tree.Write("utf16.cue", Utf16Le(u"TITLE \"x\"\r\n"));
  const CliResult run = CliProcess::Run({"convert", "--from", "big5", tree.PathOf("utf16.cue")});
  EXPECT_EQ(Parse(tree, run.out).files.at("utf16.cue").action, "refused");
  EXPECT_EQ(tree.Read("utf16.cue"), Utf16Le(u"TITLE \"x\"\r\n"));
}

TEST(Convert, LockedMissingAndReadOnlyFilesFailAndTheRunGoesOn) {
  SheetTree tree;
  tree.Write("locked.cue", kBig5Album);
  tree.Write("dir/read-only folder.cue", kBig5Album);
  tree.Write("fine.cue", kBig5Spaces);
  const std::string missing = tree.PathOf("gone.cue");
#ifndef _WIN32
  // A folder without its owner's write bit: refused also when root runs the tool.
  tree.SetReadOnly("dir");
#endif
  CliResult run;
  {
    const auto lock = tree.Hold("locked.cue");
    run = CliProcess::Run({"convert", tree.PathOf("locked.cue"), missing, tree.PathOf("dir/read-only folder.cue"),
                           tree.PathOf("fine.cue")});
  }
  EXPECT_EQ(run.status, 1);
  const Report report = Parse(tree, run.out);
  EXPECT_EQ(report.files.at("locked.cue").action, "failed");
  EXPECT_EQ(report.files.at("gone.cue").action, "failed");
  EXPECT_EQ(report.files.at("fine.cue").action, "converted");
  EXPECT_EQ(tree.Read("locked.cue"), kBig5Album);
  EXPECT_FALSE(tree.Exists("locked.cue.bak"));
#ifdef _WIN32
  EXPECT_EQ(report.summary, "2 converted, 0 skipped, 0 refused, 2 failed");
#else
  EXPECT_EQ(report.files.at("dir/read-only folder.cue").action, "failed");
  EXPECT_EQ(report.files.at("dir/read-only folder.cue").reason, "read-only folder (the owner has no write permission)");
  EXPECT_EQ(tree.Read("dir/read-only folder.cue"), kBig5Album);
  EXPECT_EQ(report.files.at("locked.cue").reason, "locked by another program");
  EXPECT_EQ(report.summary, "1 converted, 0 skipped, 0 refused, 3 failed");
#endif
}

// Work kept on the main thread runs when its result is asked for and never otherwise; work beside it on a thread.
TEST(Beside, WorkRunsWhereAndWhenItShould) {
  int runs = 0;
  {
    auto dropped = Beside(false, [&runs] { return ++runs; });
  }
  EXPECT_EQ(runs, 0);
  auto asked = Beside(false, [&runs] { return ++runs; });
  EXPECT_EQ(runs, 0);
  EXPECT_EQ(asked.get(), 1);
  auto threaded = Beside(true, [] { return std::this_thread::get_id(); });
  EXPECT_NE(threaded.get(), std::this_thread::get_id());
}

TEST(Guess, NamesTheCauseOfEachFile) {
  SheetTree tree;
  MakeTree(tree);
  const CliResult run = CliProcess::Run({"guess", "--recursive", tree.Root()});
  EXPECT_EQ(run.status, 0) << run.err;
  std::map<std::string, std::string> causes;
  const std::regex line("([a-z0-9-]+)\t([01]\\.[0-9][0-9])\t(.*)");
  std::size_t start = 0;
  while (start < run.out.size()) {
    const std::size_t end = run.out.find('\n', start);
    std::smatch m;
    const std::string text = run.out.substr(start, end - start);
    ASSERT_TRUE(std::regex_match(text, m, line)) << text;
    std::string path = m[3].str().substr(tree.Root().size() + 1);
    std::replace(path.begin(), path.end(), '\\', '/');
    causes[path] = m[1];
    start = end + 1;
  }
  const std::map<std::string, std::string> expected = {
      {"big5/album.cue", "big5"},      {"big5/name with spaces.cue", "big5"}, {"big5/lossy.cue", "big5"},
      {"big5/read only.cue", "big5"},  {"japanese/SAKURA.CUE", "shift-jis"},  {"western/beyonce.TXT", "western"},
      {"utf8/wang fei.cue", "utf-8"},  {"readable/gbk.cue", "gbk"},           {"readable/ascii.cue", "ascii"},
      {"readable/empty.cue", "ascii"}, {"readable/binary.cue", "unknown"},    {kHangulSheet, "shift-jis"},
  };
  EXPECT_EQ(causes, expected);
}

TEST(Usage, WrongArgumentsNameTheArgumentAndExitWith2) {
  SheetTree tree;
  tree.Write("a/album.cue", kBig5Album);
  const std::vector<std::pair<std::vector<std::string>, std::string>> rows = {
      {{}, "no command"},
      {{"repair", "x.cue"}, "'repair'"},
      {{"convert", "--frm", "big5", "x.cue"}, "'--frm'"},
      {{"convert", "--from", "gbk", "x.cue"}, "'--from gbk'"},
      {{"convert", "--to"}, "'--to' needs a value"},
      {{"guess", "--dry-run", "x.cue"}, "'--dry-run'"},
      {{"convert", "--lossy"}, "no PATH"},
      {{"convert", tree.PathOf("a")}, "is a folder; add --recursive"},
  };
  for (const auto& [args, message] : rows) {
    const CliResult run = CliProcess::Run(args);
    EXPECT_EQ(run.status, 2) << message;
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
  }
  EXPECT_EQ(tree.Read("a/album.cue"), kBig5Album);

  const CliResult help = CliProcess::Run({"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* word : {"guess", "convert", "--to utf-8-bom", "foobar2000", "fre:ac", "byte-order mark", "fail",
                           " windows-1251 ", " koi8-r ", " euc-kr ", " euc-jp ", " utf-16le ", " utf-16be\n"})
    EXPECT_NE(help.out.find(word), std::string::npos) << word;
  const CliResult version = CliProcess::Run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("lumaret-cli ", 0), 0u);
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: cli_tests PATH-OF-lumaret-cli\n");
    return 2;
  }
  CliProcess::SetProgram(argv[1]);
  return RUN_ALL_TESTS();
}
