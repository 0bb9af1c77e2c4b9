// The main dialog in process: its choices, its document (load, transcode, save, drop) and its layout.
#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "app/Texts.h"
#include "res/resource.h"

using namespace apptest;

namespace {

// 管理 in Big5 and the same word in GBK; "Caf" + é in Windows-1252.
const std::string kBig5Word = "\xBA\xDE\xB2\x7A";
const std::string kGbkWord = "\xB9\xDC\xC0\xED";
const std::string kCafe = "Caf\xE9";

// What the box gives back for these bytes: it keeps its text as UTF-16, so bytes that form no GBK character
// come back as '?'.
std::string AsShown(const std::string& bytes) {
  const int units = ::MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  ::MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), units);
  std::string shown(2 * wide.size(), '\0');
  shown.resize(static_cast<std::size_t>(::WideCharToMultiByte(936, 0, wide.data(), units, shown.data(),
                                                              static_cast<int>(shown.size()), nullptr, nullptr)));
  return shown;
}

CRect ChildRect(HWND dialog, int id) {
  CRect rc;
  ::GetWindowRect(::GetDlgItem(dialog, id), &rc);
  ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

}  // namespace

// ---- The choices offered after the probes

struct ProbeRow {
  int big5, shiftJis;
  std::vector<std::pair<std::string, DWORD_PTR>> items;
  std::string hint;  // empty: the hint label is hidden
};

TEST(Choices, FollowTheProbes) {
  const char *none = "（请选择）", *big5 = "Big5繁体中文", *western = "特殊西欧字符", *shiftJis = "日文（Shift-JIS）",
             *utf8 = "UTF-8", *utf16 = "UTF-16", *cp1251 = "俄文（Windows-1251）", *koi8r = "俄文（KOI8-R）";
  const std::string start = Texts::kHintStart, end = Texts::kHintEnd;
  const ProbeRow rows[] = {
      {1, 1, {{none, 0}, {big5, 1}, {western, 2}, {shiftJis, 3}, {utf8, 4}, {utf16, 5}, {cp1251, 6}, {koi8r, 7}}, ""},
      {0,
       1,
       {{none, 0}, {western, 2}, {shiftJis, 3}, {utf8, 4}, {utf16, 5}, {cp1251, 6}, {koi8r, 7}},
       start + big5 + end},
      {1,
       0,
       {{none, 0}, {big5, 1}, {western, 2}, {utf8, 4}, {utf16, 5}, {cp1251, 6}, {koi8r, 7}},
       start + shiftJis + end},
      {0,
       0,
       {{none, 0}, {western, 2}, {utf8, 4}, {utf16, 5}, {cp1251, 6}, {koi8r, 7}},
       start + big5 + "、" + shiftJis + end},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "big5 " << row.big5 << ", shift-jis " << row.shiftJis);
    ScriptedProbes probes(row.big5, row.shiftJis);
    DialogUnderTest ui;
    HWND hwnd = ui.dlg.GetSafeHwnd();
    EXPECT_EQ(ui.Items(), row.items);
    EXPECT_EQ(::SendMessageA(ui.Item(IDC_CHOICE), CB_GETCURSEL, 0, 0), 0);
    const CRect hint = ChildRect(hwnd, IDC_HINT), text = ChildRect(hwnd, IDC_TEXT);
    if (row.hint.empty()) {
      EXPECT_FALSE(::IsWindowVisible(ui.Item(IDC_HINT)));
      EXPECT_EQ(text.top, hint.top);
    } else {
      EXPECT_TRUE(::IsWindowVisible(ui.Item(IDC_HINT)));
      EXPECT_GT(text.top, hint.bottom - 1);
      char shown[256] = {};
      ::GetWindowTextA(ui.Item(IDC_HINT), shown, sizeof shown);
      EXPECT_EQ(shown, row.hint);
    }
  }
}

TEST(Choices, TheShiftJisItemCarriesItsValueWhereverItStands) {
  ScratchDir dir;
  ScriptedProbes probes(0, 1);
  DialogUnderTest ui(dir.Write("sjis.cue", "\x90\xA2\x8A\x45"));
  ui.Select(2);
  EXPECT_EQ(ui.BoxText(), "\xCA\xC0\xBD\xE7");
}

TEST(Look, NoteAndHintAreRedAndTheTextFontIsLarger) {
  ScriptedProbes probes(0, 0);
  DialogUnderTest ui;
  HWND hwnd = ui.dlg.GetSafeHwnd();
  HDC dc = ::CreateCompatibleDC(nullptr);
  for (int id : {IDC_NOTE, IDC_HINT, IDC_PATH}) {
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::SendMessageA(hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(ui.Item(id)));
    EXPECT_EQ(::GetTextColor(dc), id == IDC_PATH ? RGB(0, 0, 0) : RGB(255, 0, 0)) << id;
  }
  ::DeleteDC(dc);

  // The box tells its font only as a character format, in twips.
  LOGFONTA dialogFont{};
  ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(hwnd, WM_GETFONT, 0, 0)), sizeof dialogFont, &dialogFont);
  ASSERT_EQ(dialogFont.lfHeight, -12);
  CHARFORMATA format{};
  format.cbSize = sizeof format;
  ::SendMessageA(ui.Item(IDC_TEXT), EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  HDC screen = ::GetDC(nullptr);
  EXPECT_EQ(format.yHeight, MulDiv(16, 1440, ::GetDeviceCaps(screen, LOGPIXELSY)));
  ::ReleaseDC(nullptr, screen);
  EXPECT_STREQ(format.szFaceName, dialogFont.lfFaceName);
}

// ---- Loading and transcoding

TEST(Transcode, AlwaysStartsAgainFromTheBytesAsLoaded) {
  ScratchDir dir;
  ScriptedProbes probes(1, 1);
  const std::string loaded = "TITLE \"" + kBig5Word + "\"\r\nPERFORMER \"" + kCafe + "\"\r\n";
  DialogUnderTest ui(dir.Write("album.cue", loaded));
  EXPECT_EQ(ui.dlg.m_doc.Loaded(), loaded);

  ui.Select(1);
  const std::string big5 = ui.BoxText();
  EXPECT_EQ(big5.substr(0, 11), "TITLE \"" + kGbkWord);
  ui.Select(2);
  EXPECT_EQ(ui.BoxText(), "TITLE \"0P2z\"\r\nPERFORMER \"Cafe\"\r\n");
  ui.Select(1);
  EXPECT_EQ(ui.BoxText(), big5);
  ui.Select(0);
  EXPECT_EQ(ui.dlg.m_doc.m_shown, loaded);
}

TEST(Transcode, SavingTheUnchangedBoxWritesBytesTheBoxCannotShow) {
  ScratchDir dir;
  ScriptedProbes probes(1, 1);
  MessageBoxRecorder boxes;
  // é followed by a quote is no GBK character; the box shows a '?' for it.
  const std::string loaded = "PERFORMER \"" + kCafe + "\"\r\n";
  const std::string path = dir.Write("western.cue", loaded);
  DialogUnderTest ui(path);
  ui.Select(2);
  ui.Select(0);
  boxes.answers = {IDYES, IDOK};
  ui.ClickSave();
  EXPECT_EQ(ReadFileBytes(path), loaded);
}

TEST(Transcode, EditsAreLostOnTranscodeAndKeptOnSave) {
  ScratchDir dir;
  ScriptedProbes probes(1, 1);
  MessageBoxRecorder boxes;
  const std::string path = dir.Write("edit.cue", kBig5Word);
  DialogUnderTest ui(path);
  ui.TypeInBox("typed by hand");
  ui.Select(1);
  EXPECT_EQ(ui.BoxText(), kGbkWord);

  ui.TypeInBox("typed by hand\r\n");
  boxes.answers = {IDYES, IDOK};
  ui.ClickSave();
  EXPECT_EQ(ReadFileBytes(path), "typed by hand\r\n");
  // Saving changes nothing of the document: the next transcode starts from the bytes loaded before.
  ui.Select(0);
  EXPECT_EQ(ui.BoxText(), kBig5Word);
}

TEST(Load, StopsAtTheFirstNulAndSavesOnlyWhatWasShown) {
  ScratchDir dir;
  ScriptedProbes probes(1, 1);
  MessageBoxRecorder boxes;
  const std::string bytes("0123456789\0tail", 15);
  const std::string path = dir.Write("eleventh.cue", bytes);
  DialogUnderTest ui(path);
  EXPECT_EQ(ui.dlg.m_doc.Loaded(), bytes);
  EXPECT_EQ(ui.BoxText(), "0123456789");
  // The second question: No, the default, writes nothing; Yes writes the text before the NUL.
  boxes.answers = {IDYES, IDNO};
  ui.ClickSave();
  EXPECT_EQ(ReadFileBytes(path), bytes);
  boxes.answers = {IDYES, IDYES, IDOK};
  ui.ClickSave();
  EXPECT_EQ(ReadFileBytes(path), "0123456789");
  ASSERT_EQ(boxes.boxes.size(), 5u);
  for (std::size_t i : {1u, 3u}) {
    EXPECT_EQ(boxes.boxes[i].text,
              "文件的第 11 个字节是 NUL，保存将只写入它之前的文本，其后的 5 个字节会丢失。\r\n仍要保存吗？");
    EXPECT_EQ(boxes.boxes[i].type, UINT{MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2});
  }
}

TEST(Load, ConvertsTheNextFileAsGuessedAndShowsItsFirstLine) {
  ScratchDir dir;
  ScriptedProbes probes(1, 1);
  std::string many;
  for (int i = 0; i < 300; ++i) many += "REM line " + std::to_string(i) + " " + kCafe + "\r\n";
  DialogUnderTest ui(dir.Write("first.cue", "REM first\r\n" + many));
  ui.Select(2);
  ::SendMessageA(ui.Item(IDC_TEXT), EM_LINESCROLL, 0, 50);
  ASSERT_GT(::SendMessageA(ui.Item(IDC_TEXT), EM_GETFIRSTVISIBLELINE, 0, 0), 0);

  ui.dlg.m_doc.m_path = dir.Write("second.cue", many);
  ui.dlg.LoadFile();
  EXPECT_EQ(ui.BoxText().substr(0, 16), "REM line 0 Cafe\r");
  EXPECT_EQ(::SendMessageA(ui.Item(IDC_TEXT), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

namespace {

// Closes the dialog if the file's text never arrives.
void CALLBACK GiveUp(HWND, UINT, UINT_PTR, DWORD) {
  if (HWND dialog = ::FindWindowA(nullptr, "Lumaret")) ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace

TEST(Load, ACommandLineFileArrivesOnceTheDialogShowsItsChoices) {
  ScratchDir dir;
  ScriptedProbes probes(1, 1);
  CTranscodeDlg dlg;
  dlg.m_doc.m_path = dir.Write("album.cue", "TITLE \"" + kBig5Word + "\"\r\n");
  bool arrived = false, visible = false;
  LRESULT items = 0;
  SentMessageHook hook([&](const CWPSTRUCT& sent) {
    if (arrived || sent.message != WM_SETTEXT || ::GetDlgCtrlID(sent.hwnd) != IDC_TEXT) return;
    if (*reinterpret_cast<const char*>(sent.lParam) == '\0') return;
    HWND dialog = ::GetParent(sent.hwnd);
    arrived = true;
    visible = ::IsWindowVisible(dialog) != FALSE;
    items = ::SendMessageA(::GetDlgItem(dialog, IDC_CHOICE), CB_GETCOUNT, 0, 0);
    ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 10000, GiveUp);
  dlg.DoModal();
  ::KillTimer(nullptr, timer);
  ASSERT_TRUE(arrived);
  EXPECT_TRUE(visible);
  EXPECT_EQ(items, 8);
}

TEST(Load, AMissingFileGivesAnEmptyBoxAndTypedTextCreatesIt) {
  ScratchDir dir;
  ScriptedProbes probes(1, 1);
  MessageBoxRecorder boxes;
  const std::string path = dir.Path("not-there.cue");
  DialogUnderTest ui(path);
  EXPECT_EQ(ui.BoxText(), "");
  EXPECT_TRUE(boxes.boxes.empty());
  char label[MAX_PATH] = {};
  ::GetWindowTextA(ui.Item(IDC_PATH), label, sizeof label);
  EXPECT_EQ(label, path);

  ui.TypeInBox("FILE \"new.wav\" WAVE\r\n");
  boxes.answers = {IDYES, IDOK};
  ui.ClickSave();
  EXPECT_EQ(ReadFileBytes(path), "FILE \"new.wav\" WAVE\r\n");
}

// ---- The box keeps a file's bytes exactly

TEST(TextBox, KeepsEveryLineEndAndTextThatLooksLikeRichText) {
  ScratchDir dir;
  ScriptedProbes probes(1, 1);
  MessageBoxRecorder boxes;
  const std::string texts[] = {
      "a\r\nb\r\n",
      "a\nb\n",
      "a\rb\r",
      "a\r\r\nb\n\r",
      "{\\rtf1\\ansi {\\b bold}}\r\n",
      "{{\\rtf1 x}",
      "{\\urtf1 x}",
      "\xB9\xDC\xC0\xED\r\n\x81\x40\xFE\xFE\x80 tail",
  };
  for (const auto& text : texts) {
    const std::string path = dir.Write("exact.cue", text);
    DialogUnderTest ui(path);
    EXPECT_EQ(ui.BoxText(), text);
    boxes.answers = {IDYES, IDOK};
    ui.ClickSave();
    EXPECT_EQ(ReadFileBytes(path), text);
  }
}

TEST(TextBox, ALargeFileComesBackByteForByte) {
  ScratchDir dir;
  ScriptedProbes probes(1, 1);
  MessageBoxRecorder boxes;
  std::string big;
  for (int track = 0; big.size() < 8u * 1024 * 1024; ++track)
    big += "  TRACK " + std::to_string(track) + " AUDIO\r\n    TITLE \"" + kGbkWord + kGbkWord + " " + kCafe +
           "\"\r\n    INDEX 01 00:00:00\n";
  const std::string path = dir.Write("big.cue", big);
  DialogUnderTest ui(path);
  boxes.answers = {IDYES, IDOK};
  ui.ClickSave();
  EXPECT_TRUE(ReadFileBytes(path) == big);

  // Edited and edited back, the box is read whole: it gives back what it showed, so the bytes it cannot show
  // still go back as loaded.
  HWND box = ui.Item(IDC_TEXT);
  CHARRANGE end{-1, -1};
  ::SendMessageA(box, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
  ::SendMessageA(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("x"));
  ::SendMessageA(box, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&end));
  CHARRANGE typed{end.cpMin - 1, end.cpMin};
  ::SendMessageA(box, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&typed));
  ::SendMessageA(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(""));
  boxes.answers = {IDYES, IDOK};
  ui.ClickSave();
  EXPECT_TRUE(ReadFileBytes(path) == big);

  // Really edited, the whole box is saved, as it shows the text.
  ::SendMessageA(box, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
  ::SendMessageA(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("REM end\r\n"));
  boxes.answers = {IDYES, IDOK};
  ui.ClickSave();
  EXPECT_TRUE(ReadFileBytes(path) == AsShown(big) + "REM end\r\n");
}

// ---- Saving

TEST(Save, AsksFirstAndSaysHowItWent) {
  ScratchDir dir;
  ScriptedProbes probes(1, 1);
  MessageBoxRecorder boxes;
  {
    DialogUnderTest ui;
    ui.ClickSave();
    ui.TypeInBox("text without a file");
    ui.ClickSave();
  }
  const std::string path = dir.Write("save.cue", "");
  {
    DialogUnderTest ui(path);
    ui.ClickSave();  // nothing to save
    ui.TypeInBox("first");
    boxes.answers = {IDNO};
    ui.ClickSave();
    EXPECT_EQ(ReadFileBytes(path), "");
    boxes.answers = {IDYES, IDOK};
    ui.ClickSave();
    EXPECT_EQ(ReadFileBytes(path), "first");
  }
  const UINT ok = MB_OK | MB_ICONEXCLAMATION, yesNo = MB_YESNO | MB_ICONEXCLAMATION;
  const std::vector<std::pair<std::string, UINT>> expected = {
      {Texts::kSaveNoPath, ok},     {Texts::kSaveNoPath, ok},     {Texts::kSaveEmpty, ok},
      {Texts::kSaveConfirm, yesNo}, {Texts::kSaveConfirm, yesNo}, {Texts::kSaveDone, ok},
  };
  ASSERT_EQ(boxes.boxes.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(boxes.boxes[i].text, expected[i].first) << i;
    EXPECT_EQ(boxes.boxes[i].type, expected[i].second) << i;
  }
}

TEST(Save, LeavesAReadOnlyFileAsItWas) {
  ScratchDir dir;
  ScriptedProbes probes(1, 1);
  MessageBoxRecorder boxes;
  const std::string path = dir.Write("locked.cue", kBig5Word);
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
  DialogUnderTest ui(path);
  ui.Select(1);
  boxes.answers = {IDYES, IDOK};
  ui.ClickSave();
  ASSERT_EQ(boxes.boxes.size(), 2u);
  EXPECT_EQ(boxes.boxes[1].text, Texts::kSaveFailed);
  EXPECT_EQ(ReadFileBytes(path), kBig5Word);
}

// ---- Dropping files

TEST(Drop, LoadsTheFirstItemThatIsNotAFolder) {
  ScratchDir dir;
  ScriptedProbes probes(1, 1);
  const std::string folder = dir.Path("folder");
  ::CreateDirectoryA(folder.c_str(), nullptr);
  const std::string first = dir.Write("first.cue", "first"), second = dir.Write("second.cue", "second");

  DialogUnderTest ui;
  ::SendMessageA(ui.dlg.GetSafeHwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({folder, first})), 0);
  EXPECT_EQ(ui.dlg.m_doc.m_path, first);
  EXPECT_EQ(ui.BoxText(), "first");

  ::SendMessageA(ui.dlg.GetSafeHwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({second, first})), 0);
  EXPECT_EQ(ui.BoxText(), "second");

  ::SendMessageA(ui.dlg.GetSafeHwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({folder, folder})), 0);
  EXPECT_EQ(ui.dlg.m_doc.m_path, second);
  EXPECT_EQ(ui.BoxText(), "second");
}

TEST(Drop, ANameLongerThanMaxPathIsNeverCutIntoAnotherPath) {
  ScratchDir dir;
  ScriptedProbes probes(1, 1);
  std::string shortName = dir.Path("");
  shortName += std::string(MAX_PATH - 1 - shortName.size(), 'a');
  ASSERT_EQ(shortName.size(), std::size_t{MAX_PATH - 1});
  const std::string longName = shortName + std::string(40, 'b');
  HANDLE h = ::CreateFileA(shortName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  ::WriteFile(h, "cut", 3, &written, nullptr);
  ::CloseHandle(h);

  DialogUnderTest ui;
  ::SendMessageA(ui.dlg.GetSafeHwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({longName})), 0);
  EXPECT_EQ(ui.dlg.m_doc.m_path, longName);
  EXPECT_NE(ui.BoxText(), "cut");
  ::DeleteFileA(shortName.c_str());
}

// ---- Size and keys

TEST(Layout, TheTextBoxTakesTheSizeThePathAndNoteTheWidthAndTheRestMoves) {
  ScriptedProbes probes(1, 1);
  DialogUnderTest ui;
  HWND hwnd = ui.dlg.GetSafeHwnd();
  // id, how much of the width change its left edge and its width take, whether it takes the height change
  const struct {
    int id, move, grow, tall;
  } rows[] = {
      {IDC_FILE_GROUP, 0, 1, 0},  {IDC_PATH, 0, 1, 0},   {IDC_OPEN, 1, 0, 0}, {IDC_INFO, 1, 0, 0},
      {IDC_CAUSE_GROUP, 0, 1, 0}, {IDC_CHOICE, 0, 0, 0}, {IDC_NOTE, 0, 1, 0}, {IDC_SAVE_GROUP, 1, 0, 0},
      {IDC_TARGET, 1, 0, 0},      {IDC_SAVE, 1, 0, 0},   {IDC_TEXT, 0, 1, 1},
  };
  std::vector<CRect> before;
  for (const auto& row : rows) before.push_back(ChildRect(hwnd, row.id));
  CRect window;
  ::GetWindowRect(hwnd, &window);

  ::SetWindowPos(hwnd, nullptr, 0, 0, window.Width() + 100, window.Height() + 50, SWP_NOMOVE | SWP_NOZORDER);
  CRect grown;
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    CRect want = before[i];
    want.OffsetRect(100 * rows[i].move, 0);
    want.right += 100 * rows[i].grow;
    want.bottom += 50 * rows[i].tall;
    EXPECT_EQ(ChildRect(hwnd, rows[i].id), want) << rows[i].id;
    if (rows[i].id == IDC_TEXT) grown = want;
  }

  ::ShowWindow(hwnd, SW_MINIMIZE);
  ::ShowWindow(hwnd, SW_RESTORE);
  EXPECT_EQ(ChildRect(hwnd, IDC_TEXT), grown);

  // Smaller than at first is refused.
  MINMAXINFO mmi{};
  ::SendMessageA(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  EXPECT_EQ(mmi.ptMinTrackSize.x, window.Width());
  EXPECT_EQ(mmi.ptMinTrackSize.y, window.Height());
}

TEST(Layout, TheLongestVerdictFitsAtTheFirstSize) {
  ScriptedProbes probes(1, 1);
  DialogUnderTest ui;
  HDC dc = ::GetDC(ui.dlg.GetSafeHwnd());
  ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(ui.Item(IDC_NOTE), WM_GETFONT, 0, 0)));
  auto width = [dc](const std::string& text) {
    SIZE size{};
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
  };
  EXPECT_LE(width("可能是：俄文（Windows-1251）、日文（Shift-JIS）"),
            ChildRect(ui.dlg.GetSafeHwnd(), IDC_NOTE).Width());
  ::ReleaseDC(ui.dlg.GetSafeHwnd(), dc);
}

namespace {

// Presses Enter, then Escape, in the running modal dialog, and notes whether Enter left it open.
bool g_openAfterEnter = false;
void CALLBACK PressKeys(HWND, UINT, UINT_PTR id, DWORD) {
  static int step = 0;
  HWND dialog = ::FindWindowA(nullptr, "Lumaret");
  if (dialog == nullptr) return;
  HWND focus = ::GetDlgItem(dialog, IDC_OPEN);
  if (step == 0) {
    ::PostMessageA(focus, WM_KEYDOWN, VK_RETURN, 0);
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  } else if (step == 1) {
    g_openAfterEnter = ::IsWindow(dialog) && ::IsWindowVisible(dialog);
    ::PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 0);
  } else {
    ::KillTimer(nullptr, id);
  }
  ++step;
}

}  // namespace

TEST(Keys, EnterKeepsTheDialogOpenAndEscapeClosesIt) {
  ScriptedProbes probes(1, 1);
  CTranscodeDlg dlg;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 300, PressKeys);
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  ::KillTimer(nullptr, timer);
  EXPECT_TRUE(g_openAfterEnter);
}

TEST(TextBox, KeepsItsPlaceFontLimitAndTabOrderWhenItsTextIsReplaced) {
  ScratchDir dir;
  ScriptedProbes probes(1, 1);
  DialogUnderTest ui(dir.Write("album.cue", kBig5Word + "\r\n"));
  HWND hwnd = ui.dlg.GetSafeHwnd();
  auto describe = [&] {
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    ::SendMessageA(ui.Item(IDC_TEXT), EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    return testing::Message() << ChildRect(hwnd, IDC_TEXT).left << "," << ChildRect(hwnd, IDC_TEXT).top << ","
                              << ChildRect(hwnd, IDC_TEXT).Width() << "," << ChildRect(hwnd, IDC_TEXT).Height()
                              << " style " << ::GetWindowLongA(ui.Item(IDC_TEXT), GWL_STYLE) << " ex "
                              << ::GetWindowLongA(ui.Item(IDC_TEXT), GWL_EXSTYLE) << " font " << format.szFaceName
                              << " " << format.yHeight << " limit "
                              << ::SendMessageA(ui.Item(IDC_TEXT), EM_GETLIMITTEXT, 0, 0) << " after "
                              << ::GetDlgCtrlID(::GetWindow(ui.Item(IDC_TEXT), GW_HWNDPREV)) << " before "
                              << ::GetDlgCtrlID(::GetWindow(ui.Item(IDC_TEXT), GW_HWNDNEXT));
  };
  const std::string before = describe().GetString();
  ui.Select(1);
  EXPECT_EQ(ui.BoxText(), kGbkWord + "\r\n");
  EXPECT_EQ(describe().GetString(), before);
  EXPECT_GT(::SendMessageA(ui.Item(IDC_TEXT), EM_GETLIMITTEXT, 0, 0), 0x10000);
}

// Back to a text it showed before, or to the one it shows, the dialog shows that box again instead of filling
// another: at the start of the text, with nothing to undo, where the box stands now. A box the user edited is not shown
// for the text it was filled with.
TEST(TextBox, GoingBackShowsTheBoxThatShowedTheTextBefore) {
  ScratchDir dir;
  ScriptedProbes probes(1, 1);
  std::string loaded, simplified;
  for (int line = 0; line < 200; ++line) {
    loaded += "TITLE \"" + kBig5Word + "\"\r\n";
    simplified += "TITLE \"" + kGbkWord + "\"\r\n";
  }
  DialogUnderTest ui(dir.Write("album.cue", loaded));  // recognised as Big5 and shown converted
  HWND hwnd = ui.dlg.GetSafeHwnd();
  const HWND converted = ui.Item(IDC_TEXT);
  ASSERT_EQ(ui.BoxText(), simplified);
  ::SendMessageA(converted, EM_LINESCROLL, 0, 50);
  ui.Select(1);  // the cause it was recognised as: the box keeps its text
  EXPECT_EQ(ui.Item(IDC_TEXT), converted);
  EXPECT_EQ(::SendMessageA(converted, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  ::SendMessageA(converted, EM_LINESCROLL, 0, 50);
  ui.Select(0);
  const HWND asLoaded = ui.Item(IDC_TEXT);
  EXPECT_NE(asLoaded, converted);
  CRect window;
  ::GetWindowRect(hwnd, &window);
  ::SetWindowPos(hwnd, nullptr, 0, 0, window.Width() + 40, window.Height() + 30, SWP_NOMOVE | SWP_NOZORDER);
  const CRect place = ChildRect(hwnd, IDC_TEXT);

  ui.Select(1);
  EXPECT_EQ(ui.Item(IDC_TEXT), converted);
  EXPECT_EQ(ui.BoxText(), simplified);
  EXPECT_EQ(ChildRect(hwnd, IDC_TEXT), place);
  EXPECT_TRUE(::IsWindowVisible(converted));
  EXPECT_FALSE(::IsWindowVisible(asLoaded));
  EXPECT_EQ(::SendMessageA(converted, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  CHARRANGE caret{-1, -1};
  ::SendMessageA(converted, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&caret));
  EXPECT_EQ(caret.cpMin, 0);
  EXPECT_EQ(caret.cpMax, 0);

  ui.TypeInBox("edited");
  ui.Select(0);
  EXPECT_EQ(ui.Item(IDC_TEXT), asLoaded);
  ui.Select(1);
  EXPECT_NE(ui.Item(IDC_TEXT), converted);
  EXPECT_EQ(ui.BoxText(), simplified);
  EXPECT_FALSE(::SendMessageA(ui.Item(IDC_TEXT), EM_CANUNDO, 0, 0));
}
