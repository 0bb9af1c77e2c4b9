// Drives the real lumaret.exe from outside, as a user would: command lines, the choice list, the save button,
// the message boxes, and the file on disk afterwards. Arguments: lumaret.exe and the samples folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "LumaretProcess.h"
#include "MainWindow.h"
#include "MessageBoxView.h"
#include "Polling.h"
#include "ScratchDir.h"
#include "bytes.h"
#include "conversions.h"
#include "western.h"

namespace {

std::string g_exe;
std::string g_samples;

const char* const kBig5Sample = "big5-traditional-chinese.cue";
const char* const kShiftJisSample = "shift-jis-japanese.cue";
const char* const kWesternSample = "windows-1252-french.cue";

// The file-name box of the system's file chooser: a combo box in the Explorer style, an edit box before it.
constexpr int kIdChooserNameCombo = 1148;
constexpr int kIdChooserNameEdit = 1152;

// Failure messages show GBK texts readably on the developer's UTF-8 terminal.
std::string Utf8(const std::string& gbk) {
  const int units = MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
  std::wstring wide(units, L'\0');
  MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), wide.data(), units);
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  std::string utf8(bytes, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, utf8.data(), bytes, nullptr, nullptr);
  return utf8;
}

std::wstring Wide(const std::string& ansi) {
  std::wstring wide(ansi.size(), L'\0');
  wide.resize(MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(),
                                  static_cast<int>(wide.size())));
  return wide;
}

std::string Convert(ConversionRoutine routine, const std::string& input) {
  std::string output(OutputRoom(routine, input.size()), '\0');
  routine(input.c_str(), output.data());
  CutAtFirstNul(output);
  return output;
}

// Wine's rich-edit box keeps its text in UTF-16, so bytes that form no GBK character show there as '?', while
// the program still saves the bytes it loaded unchanged. This is the text such a box gives back.
std::string AsShown(const std::string& bytes) {
  const int units = MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(units, L'\0');
  MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), units);
  std::string shown(2 * static_cast<size_t>(units), '\0');
  shown.resize(
      WideCharToMultiByte(936, 0, wide.data(), units, shown.data(), static_cast<int>(shown.size()), nullptr, nullptr));
  return shown;
}

std::string Sample(const char* name) { return ReadFileBytes(g_samples + "\\" + name); }

int IndexOfData(const CMainWindow& window, LRESULT data) {
  const std::vector<LRESULT> all = window.ChoiceData();
  for (size_t i = 0; i < all.size(); ++i)
    if (all[i] == data) return static_cast<int>(i);
  return -1;
}

class LumaretE2e : public testing::Test {
 protected:
  // Starts the tool and waits for its main dialog; the test fails at once when it does not show.
  CMainWindow Start(const std::string& arguments) {
    m_run = std::make_unique<CLumaretProcess>(g_exe, arguments);
    EXPECT_TRUE(m_run->Started()) << "cannot start " << g_exe;
    const HWND main = m_run->WaitForMainWindow(kWaitMs);
    EXPECT_NE(main, nullptr) << "no window titled Lumaret";
    return CMainWindow(main);
  }

  // Waits until the file is loaded: the path label shows it, and the handler has returned. The label shows a
  // command-line path before the posted load has run, and a sent message overtakes posted ones, so the posted
  // messages are drained as well.
  static void WaitForLoad(const CMainWindow& window, const std::string& path) {
    ASSERT_TRUE(WaitFor([&] { return window.PathText() == path; }))
        << "path label shows \"" << Utf8(window.PathText()) << "\", expected \"" << Utf8(path) << "\"";
    ASSERT_TRUE(window.DrainPosted());
  }

  // Waits for the next message box and checks its text, buttons and icon; returns it.
  HWND ExpectBox(const std::string& text, const std::vector<int>& buttons) {
    const HWND box = m_run->WaitForMessageBox(kWaitMs);
    EXPECT_NE(box, nullptr) << "no message box; expected \"" << Utf8(text) << "\"";
    if (!box) return nullptr;
    const CMessageBoxView view(box);
    EXPECT_EQ(Utf8(view.Text()), Utf8(text));
    EXPECT_EQ(view.Buttons(), buttons);
    EXPECT_TRUE(view.HasIcon()) << "every box of the tool carries the exclamation icon";
    return box;
  }

  // Answers a box and checks that the handler then ends without another box.
  void AnswerLast(HWND box, int id) {
    ASSERT_TRUE(CMessageBoxView(box).Answer(id));
    ASSERT_TRUE(CMainWindow(m_run->MainWindow()).Sync());
    const HWND next = m_run->FindMessageBox();
    EXPECT_EQ(next, nullptr) << "unexpected message box \"" << Utf8(next ? CMessageBoxView(next).Text() : "") << "\"";
  }

  void SaveAnsweringYes(const CMainWindow& window, const std::string& result) {
    window.PressSave();
    const HWND question = ExpectBox("你确信你想以当前效果保存此文件吗？", {IDYES, IDNO});
    ASSERT_NE(question, nullptr);
    ASSERT_TRUE(CMessageBoxView(question).Answer(IDYES));
    const HWND outcome = ExpectBox(result, {IDOK});
    ASSERT_NE(outcome, nullptr);
    AnswerLast(outcome, IDOK);
  }

  void CloseWithEscape(const CMainWindow& window) {
    window.PressEscape();
    EXPECT_TRUE(m_run->WaitForExit(kWaitMs)) << "Escape left the window open";
    EXPECT_EQ(m_run->FindMessageBox(), nullptr);
  }

  CScratchDir m_dir;
  std::unique_ptr<CLumaretProcess> m_run;
};

// The typical road: a Big5 sheet from the command line, converted, saved, answered No and Yes, restored.
TEST_F(LumaretE2e, Big5SheetConvertedAndSaved) {
  const std::string original = Sample(kBig5Sample);
  ASSERT_FALSE(original.empty()) << "missing sample " << kBig5Sample;
  const std::string path = m_dir.Write("album.cue", original);
  const std::string big5 = Convert(Big5ToGbkSimplified, original);
  const std::string western = Convert(WesternToAscii, original);

  const CMainWindow window = Start(path);
  ASSERT_NE(m_run->MainWindow(), nullptr);
  WaitForLoad(window, path);
  EXPECT_EQ(Utf8(window.BoxText()), Utf8(big5)) << "the guess converts the file as it loads";
  EXPECT_EQ(window.Selection(), 1);
  EXPECT_EQ(Utf8(ControlText(window.Control(kIdNote))), Utf8("已识别：Big5繁体中文"));
  EXPECT_EQ(m_run->FindMessageBox(), nullptr);

  // Both conversions pass their probes under Wine: eight items, no hint, the box over the hint's place.
  const std::vector<std::string> choices = window.Choices();
  ASSERT_EQ(choices.size(), 8u);
  EXPECT_EQ(Utf8(choices[0]), Utf8("（请选择）"));
  EXPECT_EQ(Utf8(choices[1]), Utf8("Big5繁体中文"));
  EXPECT_EQ(Utf8(choices[2]), Utf8("特殊西欧字符"));
  EXPECT_EQ(Utf8(choices[3]), Utf8("日文（Shift-JIS）"));
  EXPECT_EQ(choices[4], "UTF-8");
  EXPECT_EQ(choices[5], "UTF-16");
  EXPECT_EQ(Utf8(choices[6]), Utf8("俄文（Windows-1251）"));
  EXPECT_EQ(Utf8(choices[7]), Utf8("俄文（KOI8-R）"));
  EXPECT_EQ(window.ChoiceData(), (std::vector<LRESULT>{0, 1, 2, 3, 4, 5, 6, 7}));
  EXPECT_FALSE(IsWindowVisible(window.Control(kIdHint)));
  EXPECT_FALSE(IsWindowVisible(window.Control(kIdLoadCommand))) << "the load command's button shows";

  ASSERT_TRUE(window.Choose(1));
  const std::string shown = window.BoxText();
  EXPECT_EQ(Utf8(shown), Utf8(big5));
  EXPECT_NE(shown.find("TITLE \"东风与梦的记忆\""), std::string::npos) << Utf8(shown);
  EXPECT_NE(shown.find("TITLE \"爱在黄昏时\""), std::string::npos) << Utf8(shown);

  // Conversions never stack: each starts from the bytes as loaded.
  ASSERT_TRUE(window.Choose(2));
  EXPECT_EQ(window.BoxText(), western);
  ASSERT_TRUE(window.Choose(1));
  EXPECT_EQ(window.BoxText(), big5);
  ASSERT_TRUE(window.Choose(0));
  EXPECT_EQ(window.BoxText(), AsShown(original));
  ASSERT_TRUE(window.Choose(1));

  window.PressSave();
  const HWND question = ExpectBox("你确信你想以当前效果保存此文件吗？", {IDYES, IDNO});
  ASSERT_NE(question, nullptr);
  AnswerLast(question, IDNO);
  EXPECT_EQ(ReadFileBytes(path), original) << "answering No wrote the file";

  SaveAnsweringYes(window, "文件保存成功。");
  EXPECT_EQ(Utf8(ReadFileBytes(path)), Utf8(big5));
  EXPECT_EQ(window.BoxText(), big5);

  // After a save the conversions still start from the bytes loaded, not from the file as saved.
  ASSERT_TRUE(window.Choose(0));
  EXPECT_EQ(window.BoxText(), AsShown(original));
  SaveAnsweringYes(window, "文件保存成功。");
  EXPECT_EQ(ReadFileBytes(path), original) << "item 0 saved back differs from the bytes loaded";

  CloseWithEscape(window);
}

// The audio file beside a Big5 sheet keeps its traditional name, so the saved FILE line must name it so, while
// every other line is simplified.
TEST_F(LumaretE2e, Big5SheetSavedStillNamesItsAudioFile) {
  const std::string original = Sample(kBig5Sample);
  const std::string path = m_dir.Write("我的 音乐\\album.cue", original);
  const std::wstring folder = Wide(m_dir.PathOf("我的 音乐\\"));
  const std::wstring audio = folder + L"林曉雯 - 東風與夢的記憶.wav";
  const HANDLE file = CreateFileW(audio.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);

  const CMainWindow window = Start("\"" + path + "\"");
  ASSERT_NE(m_run->MainWindow(), nullptr);
  WaitForLoad(window, path);
  ASSERT_TRUE(window.Choose(IndexOfData(window, 1)));
  SaveAnsweringYes(window, "文件保存成功。");

  const std::string saved = ReadFileBytes(path);
  const std::size_t name = saved.find("FILE \"");
  ASSERT_NE(name, std::string::npos) << Utf8(saved);
  const std::string named = saved.substr(name + 6, saved.find('"', name + 6) - name - 6);
  EXPECT_EQ(Utf8(named), Utf8("林曉雯 - 東風與夢的記憶.wav"));
  EXPECT_NE(GetFileAttributesW((folder + Wide(named)).c_str()), INVALID_FILE_ATTRIBUTES);
  // Outside the name the text is the Big5 conversion's, byte for byte.
  const std::string converted = Convert(Big5ToGbkSimplified, original);
  const std::size_t simplified = converted.find("FILE \"") + 6;
  EXPECT_EQ(saved.substr(0, name + 6), converted.substr(0, simplified));
  EXPECT_EQ(saved.substr(name + 6 + named.size()), converted.substr(converted.find('"', simplified)));
  EXPECT_NE(saved.find("TITLE \"东风与梦的记忆\""), std::string::npos) << Utf8(saved);
}

// A sheet that another program holds open cannot be written: message 5, and the file stays as it was.
TEST_F(LumaretE2e, SheetHeldOpenElsewhereIsLeftUntouched) {
  const std::string original = Sample(kBig5Sample);
  const std::string path = m_dir.Write("held.cue", original);

  const CMainWindow window = Start(path);
  ASSERT_NE(m_run->MainWindow(), nullptr);
  WaitForLoad(window, path);
  ASSERT_TRUE(window.Choose(1));
  const HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  SaveAnsweringYes(window, "文件保存失败。请检查文件是否是只读的。");
  CloseHandle(held);
  EXPECT_EQ(ReadFileBytes(path), original);
}

TEST_F(LumaretE2e, ReadOnlySheetIsLeftUntouched) {
  const std::string original = Sample(kBig5Sample);
  const std::string path = m_dir.Write("readonly.cue", original);
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));

  const CMainWindow window = Start(path);
  ASSERT_NE(m_run->MainWindow(), nullptr);
  WaitForLoad(window, path);
  EXPECT_EQ(window.BoxText(), Convert(Big5ToGbkSimplified, original));
  SaveAnsweringYes(window, "文件保存失败。请检查文件是否是只读的。");
  EXPECT_EQ(ReadFileBytes(path), original);
  EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY);
}

// A relative path names the file in the folder the program started in; the path label shows it in full.
TEST_F(LumaretE2e, RelativePathLoadedAsAFullPath) {
  const std::string path = m_dir.Write("relative.cue", "TITLE \"Relative\"\r\n");
  char before[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, before);
  ASSERT_TRUE(SetCurrentDirectoryA(m_dir.PathOf("").c_str()));
  const CMainWindow window = Start("relative.cue");
  SetCurrentDirectoryA(before);
  ASSERT_NE(m_run->MainWindow(), nullptr);
  WaitForLoad(window, path);
  EXPECT_EQ(window.BoxText(), "TITLE \"Relative\"\r\n");
}

// Only the first of two paths is loaded; here a Shift-JIS sheet, recognised and converted as Japanese.
TEST_F(LumaretE2e, FirstOfTwoPathsLoadedAndShiftJisConverted) {
  const std::string japanese = Sample(kShiftJisSample);
  const std::string first = m_dir.Write("japanese.cue", japanese);
  const std::string second = m_dir.Write("french.cue", Sample(kWesternSample));

  const CMainWindow window = Start(first + " " + second);
  ASSERT_NE(m_run->MainWindow(), nullptr);
  WaitForLoad(window, first);
  const int item = IndexOfData(window, 3);
  ASSERT_GT(item, 0) << "no Shift-JIS item";
  EXPECT_EQ(window.Selection(), item);
  EXPECT_EQ(Utf8(ControlText(window.Control(kIdNote))), Utf8("已识别：日文（Shift-JIS）"));
  const std::string shown = window.BoxText();
  EXPECT_EQ(Utf8(shown), Utf8(Convert(ShiftJisToGbk, japanese)));
  EXPECT_NE(shown.find("TITLE \"夏の終わりのソナタ\""), std::string::npos) << Utf8(shown);
  EXPECT_NE(shown.find("PERFORMER \"水野彩花、森田健一\""), std::string::npos) << Utf8(shown);
}

// A quoted path with spaces and Chinese folder and file names; here a Western European sheet, transliterated.
TEST_F(LumaretE2e, QuotedPathWithSpacesLoadedAndWesternConverted) {
  const std::string french = Sample(kWesternSample);
  const std::string path = m_dir.Write("我的 音乐\\Cafe des Etoiles 专辑.cue", french);
  ASSERT_EQ(ReadFileBytes(path), french) << "cannot write " << Utf8(path);

  const CMainWindow window = Start("\"" + path + "\"");
  ASSERT_NE(m_run->MainWindow(), nullptr);
  WaitForLoad(window, path);
  EXPECT_EQ(window.Selection(), IndexOfData(window, 2)) << "recognised as Western European";
  const std::string shown = window.BoxText();
  EXPECT_EQ(shown, Convert(WesternToAscii, french));
  EXPECT_NE(shown.find("REM COMMENT \"(C) 2011 Editions Lumiere - Enregistre a Lyon\""), std::string::npos) << shown;
  EXPECT_NE(shown.find("TITLE \"La \"derniere\" valse\""), std::string::npos) << shown;
  EXPECT_NE(shown.find("TITLE \"L'ete a Saint-Malo\""), std::string::npos) << shown;
  SaveAnsweringYes(window, "文件保存成功。");
  EXPECT_EQ(ReadFileBytes(path), shown);

  // Bytes the box cannot show still go back to the file as they were loaded.
  ASSERT_TRUE(window.Choose(0));
  SaveAnsweringYes(window, "文件保存成功。");
  EXPECT_EQ(ReadFileBytes(path), french);
}

// The open button: the chosen file loads at once, converted with the item already selected; Cancel keeps it.
TEST_F(LumaretE2e, OpenButtonLoadsTheChosenFileWithTheSelectedConversion) {
  const std::string french = Sample(kWesternSample);
  const std::string path = m_dir.Write("chosen.cue", french);

  const CMainWindow window = Start("");
  ASSERT_NE(m_run->MainWindow(), nullptr);
  ASSERT_TRUE(window.DrainPosted());
  ASSERT_TRUE(window.Choose(IndexOfData(window, 2)));
  EXPECT_EQ(window.BoxText(), "");

  window.PressOpen();
  HWND chooser = m_run->WaitForDialog("选择文件", kWaitMs);
  ASSERT_NE(chooser, nullptr) << "no file chooser titled 选择文件";
  HWND name = GetDlgItem(chooser, kIdChooserNameCombo);
  if (!name) name = GetDlgItem(chooser, kIdChooserNameEdit);
  ASSERT_NE(name, nullptr);
  DWORD_PTR result = 0;
  SendMessageTimeoutA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), SMTO_NORMAL, kWaitMs, &result);
  PostMessageA(GetDlgItem(chooser, IDOK), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(chooser); }));
  WaitForLoad(window, path);
  const std::string converted = Convert(WesternToAscii, french);
  EXPECT_EQ(window.BoxText(), converted);

  window.PressOpen();
  chooser = m_run->WaitForDialog("选择文件", kWaitMs);
  ASSERT_NE(chooser, nullptr);
  PostMessageA(GetDlgItem(chooser, IDCANCEL), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(chooser); }));
  ASSERT_TRUE(window.Sync());
  EXPECT_EQ(m_run->FindMessageBox(), nullptr);
  EXPECT_EQ(window.PathText(), path);
  EXPECT_EQ(window.BoxText(), converted);
}

// A path that names no file: an empty box and no message; what the user types there is saved as a new file.
TEST_F(LumaretE2e, MissingPathGivesEmptyBoxAndTypedTextCreatesTheFile) {
  const std::string path = m_dir.PathOf("new.cue");

  const CMainWindow window = Start(path);
  ASSERT_NE(m_run->MainWindow(), nullptr);
  WaitForLoad(window, path);
  EXPECT_EQ(window.BoxText(), "");
  EXPECT_EQ(m_run->FindMessageBox(), nullptr);

  window.PressSave();
  const HWND empty = ExpectBox("文件内容为空，无法保存。", {IDOK});
  ASSERT_NE(empty, nullptr);
  AnswerLast(empty, IDOK);
  EXPECT_FALSE(FileExists(path));

  window.Type("TITLE \"New Album\"");
  EXPECT_EQ(window.BoxText(), "TITLE \"New Album\"");
  SaveAnsweringYes(window, "文件保存成功。");
  ASSERT_TRUE(FileExists(path));
  EXPECT_EQ(ReadFileBytes(path), "TITLE \"New Album\"");
}

// A text another program sets in the box (automation, dictation) is what the box shows, so it is what Save writes.
TEST_F(LumaretE2e, TextSetByAnotherProgramIsSaved) {
  const std::string original = Sample(kWesternSample);
  const std::string path = m_dir.Write("dictated.cue", original);

  const CMainWindow window = Start(path);
  ASSERT_NE(m_run->MainWindow(), nullptr);
  WaitForLoad(window, path);
  const std::string dictated = "TITLE \"Dictated\"\r\n";
  DWORD_PTR result = 0;
  ASSERT_TRUE(SendMessageTimeoutA(window.Control(kIdText), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(dictated.c_str()),
                                  SMTO_NORMAL, kWaitMs, &result));
  ASSERT_EQ(window.BoxText(), dictated);
  SaveAnsweringYes(window, "文件保存成功。");
  EXPECT_EQ(ReadFileBytes(path), dictated);
}

TEST_F(LumaretE2e, NoArgumentStartsEmpty) {
  const CMainWindow window = Start("");
  ASSERT_NE(m_run->MainWindow(), nullptr);
  ASSERT_TRUE(window.DrainPosted());
  EXPECT_EQ(window.PathText(), "");
  EXPECT_EQ(window.BoxText(), "");
  EXPECT_EQ(window.Selection(), 0);

  window.PressSave();
  const HWND box = ExpectBox("请先选择需要转码的cue文件。", {IDOK});
  ASSERT_NE(box, nullptr);
  AnswerLast(box, IDOK);
  CloseWithEscape(window);
}

// The print switch suppresses the file: the dialog opens with nothing loaded.
TEST_F(LumaretE2e, PrintSwitchLoadsNothing) {
  const std::string path = m_dir.Write("album.cue", Sample(kBig5Sample));

  const CMainWindow window = Start("/p " + path);
  ASSERT_NE(m_run->MainWindow(), nullptr);
  ASSERT_TRUE(window.DrainPosted());
  EXPECT_EQ(window.PathText(), "");
  EXPECT_EQ(window.BoxText(), "");
  EXPECT_EQ(m_run->FindMessageBox(), nullptr);
}

// ---- The guess on load, the save targets, the NUL question and UTF-16

std::string Encoded(UINT codePage, const std::wstring& text) {
  std::string bytes(4 * text.size() + 4, '\0');
  bytes.resize(WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                                   static_cast<int>(bytes.size()), nullptr, nullptr));
  return bytes;
}

std::wstring Decoded(UINT codePage, const std::string& bytes) {
  std::wstring text(bytes.size(), L'\0');
  text.resize(MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                                  static_cast<int>(text.size())));
  return text;
}

std::string Utf16Le(const std::wstring& text) {
  std::string bytes = "\xFF\xFE";
  for (wchar_t c : text) bytes += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  return bytes;
}

struct GuessRow {
  const char* what;
  std::string bytes;
  LRESULT item;
  const char* note;
  std::string shows;
};

TEST_F(LumaretE2e, EachSheetShowsAsGuessedWithItsItemAndVerdict) {
  const std::string utf8 = Sample("utf8\\shift-jis-japanese.cue");
  // Кино, Звезда по имени Солнце; 王菲, 红豆
  const std::wstring russian =
      L"PERFORMER \"\x041A\x0438\x043D\x043E\"\r\nTITLE \"\x0417\x0432\x0435\x0437\x0434\x0430 \x043F\x043E "
      L"\x0438\x043C\x0435\x043D\x0438 \x0421\x043E\x043B\x043D\x0446\x0435\"\r\n  TRACK 01 AUDIO\r\n";
  const std::wstring chinese = L"PERFORMER \"\x738B\x83F2\"\r\nTITLE \"\x7EA2\x8C46\"\r\n";
  const GuessRow rows[] = {
      {"utf-8", utf8, 4, "已识别：UTF-8", Encoded(936, Decoded(CP_UTF8, utf8))},
      {"windows-1251", Encoded(1251, russian), 6, "已识别：俄文（Windows-1251）", Encoded(936, russian)},
      {"ascii", "TITLE \"Hello\"\r\n", 0, "已是可读文本", "TITLE \"Hello\"\r\n"},
      {"utf-16le", Utf16Le(chinese), 5, "已识别：UTF-16", Encoded(936, chinese)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string path = m_dir.Write("guessed.cue", row.bytes);
    const CMainWindow window = Start(path);
    ASSERT_NE(m_run->MainWindow(), nullptr);
    WaitForLoad(window, path);
    EXPECT_EQ(window.ChoiceData()[window.Selection()], row.item);
    EXPECT_EQ(Utf8(ControlText(window.Control(kIdNote))), Utf8(row.note));
    EXPECT_EQ(Utf8(window.BoxText()), Utf8(row.shows));
    SaveAnsweringYes(window, "文件保存成功。");
    EXPECT_EQ(Utf8(ReadFileBytes(path)), Utf8(row.shows)) << "saved as GBK";
    CloseWithEscape(window);
  }
}

TEST_F(LumaretE2e, EachSaveTargetWritesTheBoxsText) {
  const std::string original = Sample(kBig5Sample);
  const std::string gbk = Convert(Big5ToGbkSimplified, original);
  const std::string utf8 = Encoded(CP_UTF8, Decoded(936, gbk));
  const std::string path = m_dir.Write("targets.cue", original);
  const CMainWindow window = Start(path);
  ASSERT_NE(m_run->MainWindow(), nullptr);
  WaitForLoad(window, path);
  const HWND targets = window.Control(kIdTarget);
  ASSERT_EQ(SendMessageA(targets, CB_GETCURSEL, 0, 0), 0) << "GBK at start";
  const std::pair<int, std::string> rows[] = {{1, "\xEF\xBB\xBF" + utf8}, {2, utf8}, {0, gbk}};
  for (const auto& [target, bytes] : rows) {
    SendMessageA(targets, CB_SETCURSEL, target, 0);
    SaveAnsweringYes(window, "文件保存成功。");
    EXPECT_TRUE(ReadFileBytes(path) == bytes) << "target " << target;
  }
}

TEST_F(LumaretE2e, NoToTheNulQuestionLeavesTheFileAsItWas) {
  const std::string bytes("TITLE \"x\"\r\n\0REM after\r\n", 23);
  const std::string path = m_dir.Write("zero-byte.cue", bytes);
  const CMainWindow window = Start(path);
  ASSERT_NE(m_run->MainWindow(), nullptr);
  WaitForLoad(window, path);
  EXPECT_EQ(window.BoxText(), "TITLE \"x\"\r\n");
  window.PressSave();
  const HWND question = ExpectBox("你确信你想以当前效果保存此文件吗？", {IDYES, IDNO});
  ASSERT_NE(question, nullptr);
  ASSERT_TRUE(CMessageBoxView(question).Answer(IDYES));
  const HWND nul = ExpectBox(
      "文件的第 12 个字节是 NUL，保存将只写入它之前的文本，其后的 12 个字节会丢失。\r\n仍要保存吗？", {IDYES, IDNO});
  ASSERT_NE(nul, nullptr);
  // Wine answers DM_GETDEFID with IDOK whatever the default is; the default button carries the style.
  EXPECT_EQ(GetWindowLongA(GetDlgItem(nul, IDNO), GWL_STYLE) & BS_DEFPUSHBUTTON, BS_DEFPUSHBUTTON);
  AnswerLast(nul, IDNO);
  EXPECT_TRUE(ReadFileBytes(path) == bytes);
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc < 3) {
    fprintf(stderr, "usage: e2e_tests lumaret.exe samples-folder\n");
    return 2;
  }
  g_exe = DosPath(argv[1]);
  g_samples = DosPath(argv[2]);
  return RUN_ALL_TESTS();
}
