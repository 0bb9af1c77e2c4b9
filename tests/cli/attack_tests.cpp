// lumaret-cli against what users and attackers put in its way: files that change under it, interruptions,
// special files, links out of the tree, names that would forge lines, outputs that cannot be written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CliProcess.h"
#include "SheetTree.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <fstream>

#include "SheetFile.h"
#endif

namespace {

// Big5: 周華健, 最後圓舞曲; converted, it reads as GBK.
constexpr char kBig5[] =
    "PERFORMER \x22\xA9P\xB5\xD8\xB0\xB7\x22\r\nTITLE \x22\xB3\xCC\xAB\xE1\xB6\xEA\xBBR\xA6\xB1\x22\r\n";

TEST(Attack, ASecondConversionOfTextThatReadsRightIsRefused) {
  SheetTree tree;
  tree.Write("album.cue", kBig5);
  ASSERT_EQ(CliProcess::Run({"convert", "--from", "big5", tree.PathOf("album.cue")}).status, 0);
  const std::string once = tree.Read("album.cue");
  const CliResult again = CliProcess::Run({"convert", "--from", "big5", "--no-backup", tree.PathOf("album.cue")});
  EXPECT_EQ(again.status, 1);
  EXPECT_NE(again.out.find("refused\tbig5\t"), std::string::npos) << again.out;
  EXPECT_NE(again.out.find("already reads as gbk"), std::string::npos) << again.out;
  EXPECT_EQ(tree.Read("album.cue"), once);
}

#ifdef _WIN32

TEST(Attack, DevicesAreNoSheets) {
  SheetTree tree;
  // Under Wine, as on Windows, nul.<anything> names the null device.
  const CliResult run = CliProcess::Run({"convert", tree.PathOf("nul.cue")});
  EXPECT_NE(run.out.find("skipped\tunknown\t"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("not a regular file"), std::string::npos) << run.out;
}

TEST(Attack, FoldersBeyondMaxPath) {
  SheetTree tree;
  std::string folder;
  for (int i = 0; i < 6; ++i) folder += std::string(60, static_cast<char>('a' + i)) + "/";
  std::wstring wide = L"\\\\?\\" + SheetTree::Wide(tree.Root());
  for (std::size_t from = 0, slash; (slash = folder.find('/', from)) != std::string::npos; from = slash + 1) {
    wide += L"\\" + SheetTree::Wide(folder.substr(from, slash - from));
    ASSERT_TRUE(CreateDirectoryW(wide.c_str(), nullptr));
  }
  const HANDLE file = CreateFileW((wide + L"\\album.cue").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, kBig5, sizeof kBig5 - 1, &written, nullptr);
  CloseHandle(file);
  const CliResult run = CliProcess::Run({"convert", "--recursive", tree.Root()});
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_NE(run.out.find("converted\tbig5\t"), std::string::npos) << run.out;
  EXPECT_EQ(GetFileAttributesW((wide + L"\\album.cue.bak").c_str()) != INVALID_FILE_ATTRIBUTES, true);
}

#else

TEST(Attack, AnEditWhileConvertingIsKept) {
  SheetTree tree;
  struct Edit {
    const char* what;
    void (*edit)(const SheetTree& tree);
  };
  const Edit edits[] = {
      {"a line appended", [](const SheetTree& t) { std::ofstream(t.PathOf("a.cue"), std::ios::app) << "REM x\r\n"; }},
      {"saved over by an editor",
       [](const SheetTree& t) {
         t.Write("new.cue", "REM new\r\n");
         rename(t.PathOf("new.cue").c_str(), t.PathOf("a.cue").c_str());
       }},
      {"deleted", [](const SheetTree& t) { unlink(t.PathOf("a.cue").c_str()); }},
  };
  for (const Edit& e : edits) {
    tree.Write("a.cue", kBig5);
    SheetFile file(tree.PathOf("a.cue"));
    std::string reason;
    ASSERT_EQ(file.Load(reason), SheetFile::Loaded::kYes) << reason;
    e.edit(tree);
    const std::string edited = tree.Read("a.cue");
    NativePath backup;
    EXPECT_FALSE(file.Replace("converted", true, false, backup, reason)) << e.what;
    EXPECT_EQ(reason, kChangedReason) << e.what;
    EXPECT_EQ(tree.Read("a.cue"), edited) << e.what;
    EXPECT_EQ(tree.Files().size(), edited == "<missing>" ? 0u : 1u) << e.what << ": no backup, no temporary file";
    unlink(tree.PathOf("a.cue").c_str());
  }
}

TEST(Attack, SpecialFilesLinksOutOfTheTreeAndHugeFilesAreLeftUnread) {
  SheetTree tree;
  tree.Write("outside/notes.md", kBig5);
  tree.Write("music/album.cue", kBig5);
  ASSERT_EQ(mkfifo(tree.PathOf("music/pipe.cue").c_str(), 0644), 0);
  ASSERT_EQ(symlink("../outside/notes.md", tree.PathOf("music/evil.cue").c_str()), 0);
  ASSERT_EQ(symlink("pipe.cue", tree.PathOf("music/to-pipe.cue").c_str()), 0);
  tree.Write("music/huge.txt", "x");
  ASSERT_EQ(truncate(tree.PathOf("music/huge.txt").c_str(), kLargestSheet + 1), 0);  // sparse: no disk taken

  const CliResult run = CliProcess::Run({"convert", "--recursive", tree.PathOf("music")});
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  const std::string prefix = tree.PathOf("music/");
  EXPECT_NE(run.out.find("skipped\tunknown\t" + prefix + "evil.cue\tsymbolic link"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("skipped\tunknown\t" + prefix + "to-pipe.cue\tsymbolic link"), std::string::npos);
  EXPECT_NE(run.out.find("skipped\tunknown\t" + prefix + "pipe.cue\tnot a regular file"), std::string::npos);
  EXPECT_NE(run.out.find("skipped\tunknown\t" + prefix + "huge.txt\ttoo large"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("converted\tbig5\t" + prefix + "album.cue"), std::string::npos);
  EXPECT_EQ(tree.Read("outside/notes.md"), kBig5);
  EXPECT_FALSE(tree.Exists("outside/notes.md.bak"));

  // Named on the command line, a FIFO is passed over at once, and a link's target is what is converted.
  const CliResult named = CliProcess::Run({"guess", tree.PathOf("music/pipe.cue")});
  EXPECT_NE(named.err.find("not a regular file (a FIFO)"), std::string::npos) << named.err;
  EXPECT_EQ(CliProcess::Run({"convert", tree.PathOf("music/evil.cue")}).status, 0);
  EXPECT_NE(tree.Read("outside/notes.md"), kBig5);
  EXPECT_TRUE(tree.Exists("outside/notes.md.bak"));
}

TEST(Attack, EveryNameStaysOneFieldOfOneLine) {
  SheetTree tree;
  const std::string newline = "a\nconverted\tbig5\tforged.cue", invalid = "\xFF\xFE name.cue";
  const std::string longest = std::string(251, 'n') + ".cue";  // 255 bytes: the longest name Linux allows
  for (const std::string& name : {newline, invalid, longest}) tree.Write(name, kBig5);
  const CliResult run = CliProcess::Run({"convert", "--no-backup", "--recursive", tree.Root()});
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  const auto lines = CliResult::Fields(run.out);
  ASSERT_EQ(lines.size(), 4u) << run.out;
  for (std::size_t i = 0; i < 3; ++i) {
    ASSERT_EQ(lines[i].size(), 4u) << run.out;
    EXPECT_EQ(lines[i][0], "converted");
  }
  const std::string root = tree.Root() + "/";
  EXPECT_EQ(lines[0][2], "\"" + root + "a\\nconverted\\tbig5\\tforged.cue\"");
  EXPECT_EQ(lines[1][2], root + longest);
  EXPECT_EQ(lines[2][2], "\"" + root + "\\377\\376 name.cue\"");
  EXPECT_EQ(tree.Files().size(), 3u) << "no temporary file is left";
}

TEST(Attack, AStopFinishesTheFileInHandAndSaysWhatWasDone) {
  for (const int signal : {SIGINT, SIGTERM}) {
    SheetTree tree;
    constexpr int kSheets = 3000;
    // Appended, not "s" + a temporary: GCC 12 warns of an overlapping copy (-Wrestrict) where there is none.
    for (int i = 0; i < kSheets; ++i) tree.Write(std::string("s").append(std::to_string(10000 + i)) + ".cue", kBig5);
    const CliResult run = CliProcess::Run({"convert", "--recursive", tree.Root()}, {"", 0, signal, 150});
    ASSERT_EQ(run.status, 130) << "the run was over before the signal: " << run.err;
    const auto lines = CliResult::Fields(run.out);
    ASSERT_FALSE(lines.empty());
    const std::string summary = lines.back()[0];
    const std::size_t converted = std::stoul(summary);
    EXPECT_EQ(lines.size(), converted + 1) << summary;
    EXPECT_NE(run.err.find("files were not looked at"), std::string::npos) << run.err;
    std::size_t backups = 0;
    for (const std::string& name : tree.Files()) {
      ASSERT_EQ(name.rfind(".lumaret", 0), std::string::npos) << "temporary file left: " << name;
      if (name.find(".bak") == std::string::npos) continue;
      ++backups;
      EXPECT_EQ(tree.Read(name), kBig5) << name;
    }
    EXPECT_EQ(backups, converted);
  }
}

TEST(Attack, AnOutputThatCannotBeWrittenEndsTheRunWithStatus2) {
  SheetTree tree;
  tree.Write("album.cue", kBig5);
  const CliResult run = CliProcess::Run({"convert", "--dry-run", tree.PathOf("album.cue")}, {"/dev/full"});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("cannot write the output: No space left on device"), std::string::npos) << run.err;
}

TEST(Attack, AFileTheUserMayNotWriteStaysItsOwnersWithItsAttributes) {
  SheetTree tree;
  tree.Write("music/album.cue", kBig5);
  tree.Write("music/tagged.cue", kBig5);
  const std::string tagged = tree.PathOf("music/tagged.cue");
  if (setxattr(tagged.c_str(), "user.origin", "cd", 2, 0) != 0) GTEST_SKIP() << "no extended attributes here";
  ASSERT_EQ(CliProcess::Run({"convert", tagged}).status, 0);
  char value[8] = {};
  EXPECT_EQ(getxattr(tagged.c_str(), "user.origin", value, sizeof value), 2);
  EXPECT_STREQ(value, "cd");

  if (geteuid() != 0) GTEST_SKIP() << "needs root to run the tool as another user";
  // The folder is everyone's to write, the sheet only root's.
  chmod(tree.Root().c_str(), 0755);
  chmod(tree.PathOf("music").c_str(), 0777);
  const CliResult run = CliProcess::Run({"convert", tree.PathOf("music/album.cue")}, {"", 65534});
  EXPECT_EQ(run.status, 1) << run.out << run.err;
  EXPECT_NE(run.out.find("failed\tbig5\t" + tree.PathOf("music/album.cue") + "\tPermission denied"), std::string::npos)
      << run.out;
  struct stat st;
  ASSERT_EQ(stat(tree.PathOf("music/album.cue").c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 0u);
  EXPECT_EQ(tree.Read("music/album.cue"), kBig5);
}

#endif

}  // namespace
