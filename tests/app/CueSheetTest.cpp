// The dialog's part of the FILE-line rule (only for .cue files, existence through the wide-character file
// functions, names relative to the sheet's folder) and the UTF-8 choice.
#include <gtest/gtest.h>

#include <string>

#include "AppTestSupport.h"
#include "app/SheetFolder.h"
#include "app/Texts.h"
#include "engine/conversions.h"
#include "res/resource.h"

using namespace apptest;

namespace {

// 周華健 in Big5, and in GBK with its traditional and its simplified characters.
const std::string kZhouBig5 = "\xA9\x50\xB5\xD8\xB0\xB7";
const std::string kZhouTraditional = "\xD6\xDC\xC8\x41\xBD\xA1";
const std::string kZhouSimplified = "\xD6\xDC\xBB\xAA\xBD\xA1";

std::string SheetNaming(const std::string& name) {
  return "PERFORMER \"" + kZhouBig5 + "\"\r\nFILE \"" + name + "\" WAVE\r\n  TRACK 01 AUDIO\r\n";
}

// An empty file made through the wide-character functions, so that any name can be given.
void TouchWide(const std::wstring& path) {
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ::CloseHandle(file);
}

std::wstring Wide(const std::string& ansi) {
  std::wstring wide(ansi.size(), L'\0');
  wide.resize(::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(),
                                    static_cast<int>(wide.size())));
  return wide;
}

int IndexOfData(const DialogUnderTest& ui, DWORD_PTR data) {
  const auto items = ui.Items();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i].second == data) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

TEST(CueSheet, TheTraditionalNameOfAnExistingAudioFileStays) {
  ScratchDir dir;
  ScriptedProbes probes(1, 1);
  TouchWide(Wide(dir.Path("")) + L"周華健.ape");
  const std::string loaded = SheetNaming(kZhouBig5 + ".ape");
  DialogUnderTest ui(dir.Write("album.CUE", loaded));
  ui.Select(IndexOfData(ui, 1));
  EXPECT_EQ(ui.BoxText(), "PERFORMER \"" + kZhouSimplified + "\"\r\nFILE \"" + kZhouTraditional +
                              ".ape\" WAVE\r\n  TRACK 01 AUDIO\r\n");
}

TEST(CueSheet, AnythingButACueFileIsConvertedWhole) {
  ScratchDir dir;
  ScriptedProbes probes(1, 1);
  TouchWide(Wide(dir.Path("")) + L"周華健.ape");
  const std::string loaded = SheetNaming(kZhouBig5 + ".ape");
  for (const char* name : {"album.txt", "album.cue.txt", "album"}) {
    DialogUnderTest ui(dir.Write(name, loaded));
    ui.Select(IndexOfData(ui, 1));
    EXPECT_EQ(ui.BoxText(), "PERFORMER \"" + kZhouSimplified + "\"\r\nFILE \"" + kZhouSimplified +
                                ".ape\" WAVE\r\n  TRACK 01 AUDIO\r\n")
        << name;
  }
}

TEST(CueSheet, NamesWithAFolderOrAbsoluteAndNoFileAtAll) {
  ScratchDir dir;
  ScriptedProbes probes(1, 1);
  ::CreateDirectoryA(dir.Path("CD1").c_str(), nullptr);
  TouchWide(Wide(dir.Path("CD1\\")) + L"周華健.ape");
  const std::string absolute = dir.Path("CD1\\");
  const std::string loaded = "FILE \"CD1\\" + kZhouBig5 + ".ape\" WAVE\r\nFILE \"" + absolute + kZhouBig5 +
                             ".ape\" WAVE\r\nFILE \"" + kZhouBig5 + ".flac\" WAVE\r\n";
  DialogUnderTest ui(dir.Write("album.cue", loaded));
  ui.Select(IndexOfData(ui, 1));
  EXPECT_EQ(ui.BoxText(), "FILE \"CD1\\" + kZhouTraditional + ".ape\" WAVE\r\nFILE \"" + absolute + kZhouTraditional +
                              ".ape\" WAVE\r\nFILE \"" + kZhouSimplified + ".flac\" WAVE\r\n");
}

TEST(CueSheet, TheFolderFindsNamesTheAnsiCodePageCannotHold) {
  ScratchDir dir;
  TouchWide(Wide(dir.Path("")) + L"\xAC00 \xFF71.wav");  // 가 ｱ.wav
  ::CreateDirectoryA(dir.Path("folder").c_str(), nullptr);
  const CSheetFolder folder(dir.Path("album.cue"));
  EXPECT_TRUE(folder.Holds(u"\xAC00 \xFF71.wav"));
  EXPECT_FALSE(folder.Holds(u"\xAC00.wav"));
  EXPECT_FALSE(folder.Holds(u"folder"));
  EXPECT_FALSE(folder.Holds(u""));
}

TEST(Utf8Choice, AlwaysThereBeforeTheNewItemsWithItsValue) {
  for (const int big5 : {0, 1}) {
    for (const int shiftJis : {0, 1}) {
      ScriptedProbes probes(big5, shiftJis);
      DialogUnderTest ui;
      const auto items = ui.Items();
      ASSERT_GE(items.size(), 4u);
      EXPECT_EQ(items[items.size() - 4], std::make_pair(std::string("UTF-8"), DWORD_PTR{4}))
          << "big5 " << big5 << ", shift-jis " << shiftJis;
    }
  }
}

TEST(Utf8Choice, ConvertsASheetWithOrWithoutItsByteOrderMark) {
  ScratchDir dir;
  ScriptedProbes probes(0, 0);
  // 周華健 in UTF-8: no script mapping, so it stays traditional
  const std::string sheet = "TITLE \"\xE5\x91\xA8\xE8\x8F\xAF\xE5\x81\xA5\"\r\n";
  for (const std::string& loaded : {sheet, "\xEF\xBB\xBF" + sheet}) {
    DialogUnderTest ui(dir.Write("utf8.cue", loaded));
    ui.Select(IndexOfData(ui, 4));
    EXPECT_EQ(ui.BoxText(), "TITLE \"" + kZhouTraditional + "\"\r\n");
    ui.Select(0);
    EXPECT_EQ(ui.dlg.m_doc.m_shown, loaded);
  }
}
