// The document stays what the user sees: a load that fails part-way, text that reaches the box from outside the
// dialog, the focus while the box is replaced, and names the program cannot hold.
#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "app/Texts.h"
#include "res/resource.h"

using namespace apptest;

namespace {

// é followed by a quote forms no GBK character: the box shows it as '?', yet an unchanged box saves it.
const std::string kUnshowable = "PERFORMER \"Caf\xE9\"\r\nTITLE \"x\"\r\n";
const std::string kInvalidCharsStart = "路径含无效字符（?）：\r\n";
const UINT kOk = MB_OK | MB_ICONEXCLAMATION;

void Drop(const DialogUnderTest& ui, const std::vector<std::string>& names) {
  ::SendMessageA(ui.dlg.GetSafeHwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(names)), 0);
}

std::string PathLabel(const DialogUnderTest& ui) {
  char label[1024] = {};
  ::GetWindowTextA(ui.Item(IDC_PATH), label, sizeof label);
  return label;
}

ULONGLONG FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (ULONGLONG{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

}  // namespace

// ---- A load that ends early

TEST(FailedLoad, LeavesTheNewPathWithoutTheEarlierFilesText) {
  ScratchDir dir;
  ScriptedProbes probes(1, 1);
  MessageBoxRecorder boxes;
  const std::string first = dir.Write("first.cue", "TITLE \"\xBA\xDE\xB2\x7A\"\r\n");
  // 4 GB without taking the room: the load opens it, then gives up on its size.
  const std::string huge = dir.Write("huge.cue", "REM huge\r\n");
  HANDLE h = ::CreateFileA(huge.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  LARGE_INTEGER end;
  end.QuadPart = 0x100000000LL;
  ASSERT_TRUE(::SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && ::SetEndOfFile(h));
  ::CloseHandle(h);

  DialogUnderTest ui;
  Drop(ui, {first});
  ASSERT_EQ(ui.dlg.m_doc.Loaded(), "TITLE \"\xBA\xDE\xB2\x7A\"\r\n");
  Drop(ui, {huge});
  ASSERT_EQ(boxes.boxes.size(), 1u) << "the framework reports the failed load";
  EXPECT_EQ(PathLabel(ui), huge);
  EXPECT_EQ(ui.dlg.m_doc.Loaded(), "");
  EXPECT_EQ(ui.BoxText(), "");

  ui.Select(1);
  EXPECT_EQ(ui.BoxText(), "");
  boxes.answers = {IDYES, IDOK};
  ui.ClickSave();
  ASSERT_EQ(boxes.boxes.size(), 2u);
  EXPECT_EQ(boxes.boxes[1].text, Texts::kSaveEmpty);
  EXPECT_EQ(FileSize(huge), 0x100000000ull) << "the earlier file's text was written over the new one";
}

// ---- Save writes the box's text, however it got there

struct BoxChange {
  const char* how;
  void (*change)(HWND box);
  const char* shows;  // what the box holds afterwards; null: unchanged
};

TEST(Save, WritesWhatTheBoxShowsHoweverTheTextGotThere) {
  const BoxChange changes[] = {
      {"nothing: the bytes the box cannot show go back as loaded", [](HWND) {}, nullptr},
      {"another program's WM_SETTEXT",
       [](HWND box) { ::SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("TITLE \"set from outside\"\r\n")); },
       "set from outside"},
      {"typing",
       [](HWND box) {
         ::SetFocus(box);
         for (char c : std::string("REM typed ")) ::SendMessageA(box, WM_CHAR, static_cast<unsigned char>(c), 1);
       },
       "REM typed "},
      {"pasting at the end",
       [](HWND box) {
         CHARRANGE end{-1, -1};
         ::SendMessageA(box, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
         ::SendMessageA(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("REM pasted\r\n"));
       },
       "REM pasted\r\n"},
  };
  ScratchDir dir;
  ScriptedProbes probes(1, 1);
  for (const auto& row : changes) {
    SCOPED_TRACE(row.how);
    MessageBoxRecorder boxes;
    const std::string path = dir.Write("shown.cue", kUnshowable);
    DialogUnderTest ui(path);
    ui.Select(0);  // the text as loaded, which the guess took for Western European
    row.change(ui.Item(IDC_TEXT));
    const std::string shown = ui.BoxText();
    boxes.answers = {IDYES, IDOK};
    ui.ClickSave();
    ASSERT_EQ(boxes.boxes.size(), 2u);
    if (row.shows == nullptr) {
      EXPECT_EQ(ReadFileBytes(path), kUnshowable);
    } else {
      EXPECT_NE(shown.find(row.shows), std::string::npos) << shown;
      EXPECT_EQ(ReadFileBytes(path), shown);
    }
  }
}

// ---- The focus while the box is replaced

TEST(Focus, GoesStraightToTheNewBoxWhichShowsItsTextFromTheStart) {
  ScratchDir dir;
  ScriptedProbes probes(1, 1);
  // 85 40 is a GBK character and no Shift-JIS one: the text as loaded and the Shift-JIS reading differ.
  std::string text = "{{\\rtf1 x}\r\nREM \x85\x40\r\n";
  for (int i = 0; i < 200; ++i) text += "REM line " + std::to_string(i) + "\r\n";
  DialogUnderTest ui(dir.Write("braces.cue", text));
  HWND hwnd = ui.dlg.GetSafeHwnd();
  ::SetActiveWindow(hwnd);
  ui.Select(2);
  HWND before = ui.Item(IDC_TEXT);
  ::SetFocus(before);
  ASSERT_EQ(::GetFocus(), before);
  ::SendMessageA(before, EM_LINESCROLL, 0, 50);

  std::vector<std::pair<HWND, UINT>> focusMessages;
  {
    SentMessageHook hook([&](const CWPSTRUCT& sent) {
      if (sent.message == WM_SETFOCUS || sent.message == WM_KILLFOCUS)
        focusMessages.emplace_back(sent.hwnd, sent.message);
    });
    ui.Select(0);
  }
  HWND after = ui.Item(IDC_TEXT);
  ASSERT_NE(after, before);
  EXPECT_EQ(ui.BoxText(), text);
  const std::vector<std::pair<HWND, UINT>> expected = {{before, WM_KILLFOCUS}, {after, WM_SETFOCUS}};
  EXPECT_EQ(focusMessages, expected);
  EXPECT_EQ(::GetFocus(), after);

  CHARRANGE selection{-2, -2};
  ::SendMessageA(after, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  EXPECT_EQ(selection.cpMin, 0);
  EXPECT_EQ(selection.cpMax, 0);
  EXPECT_EQ(::SendMessageA(after, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

TEST(Focus, ComesBackToTheNewBoxAfterADropFromAnotherWindow) {
  ScratchDir dir;
  ScriptedProbes probes(1, 1);
  const std::string file = dir.Write("dropped.cue", "TITLE \"dropped\"\r\n");
  DialogUnderTest ui(dir.Write("shown.cue", "TITLE \"shown before\"\r\n"));
  HWND hwnd = ui.dlg.GetSafeHwnd();
  ::SetActiveWindow(hwnd);
  ::SetFocus(ui.Item(IDC_TEXT));
  // The window the file is dragged from.
  HWND other = ::CreateWindowExA(0, "STATIC", "source", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                                 nullptr, nullptr);
  ::SetActiveWindow(other);
  ASSERT_EQ(::GetFocus(), other);
  Drop(ui, {file});
  ASSERT_EQ(ui.BoxText(), "TITLE \"dropped\"\r\n");

  std::vector<HWND> focused;
  {
    SentMessageHook hook([&](const CWPSTRUCT& sent) {
      if (sent.message == WM_SETFOCUS) focused.push_back(sent.hwnd);
    });
    ::SetActiveWindow(hwnd);
  }
  EXPECT_EQ(focused, std::vector<HWND>{ui.Item(IDC_TEXT)});
  EXPECT_EQ(::GetFocus(), ui.Item(IDC_TEXT));
  ::DestroyWindow(other);
}

// ---- Names the program cannot use as they arrive

TEST(RefusedName, ADroppedNameWithACharacterOutsideTheCodePageIsRefusedAsTheChooserRefusesIt) {
  ScratchDir dir;
  ScriptedProbes probes(1, 1);
  MessageBoxRecorder boxes;
  const std::string loaded = dir.Write("loaded.cue", "TITLE \"kept\"\r\n");
  const std::string folder = dir.Path("folder");
  ::CreateDirectoryA(folder.c_str(), nullptr);
  // What the shell hands an ANSI program for a name with a character GBK does not hold.
  const std::string unheld = dir.Path("Bj?rk.cue");

  DialogUnderTest ui(loaded);
  Drop(ui, {folder, unheld, loaded});
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, kInvalidCharsStart + unheld);
  EXPECT_EQ(boxes.boxes[0].type, kOk);
  EXPECT_EQ(ui.dlg.m_doc.m_path, loaded);
  EXPECT_EQ(PathLabel(ui), loaded);
  EXPECT_EQ(ui.BoxText(), "TITLE \"kept\"\r\n");
}

TEST(RefusedName, ACommandLinePathWithACharacterOutsideTheCodePageIsRefusedOnceTheDialogShows) {
  ScratchDir dir;
  ScriptedProbes probes(1, 1);
  MessageBoxRecorder boxes;
  const std::string unheld = dir.Path("Bj?rk.cue");
  DialogUnderTest ui(unheld);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, kInvalidCharsStart + unheld);
  EXPECT_EQ(ui.dlg.m_doc.m_path, "");
  EXPECT_EQ(PathLabel(ui), "");
  EXPECT_EQ(ui.BoxText(), "");
}

TEST(RefusedName, AFolderWhoseNameIsLongerThanMaxPathIsNotTakenForAFile) {
  ScratchDir dir;
  ScriptedProbes probes(1, 1);
  const std::string outer = dir.Path(std::string(200, 'd'));
  const std::string inner = outer + "\\" + std::string(100, 'e');
  ASSERT_GT(inner.size(), std::size_t{MAX_PATH});
  auto longForm = [](const std::string& path) {
    std::wstring wide = L"\\\\?\\";
    for (char c : path) wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return wide;
  };
  ASSERT_TRUE(::CreateDirectoryW(longForm(outer).c_str(), nullptr));
  ASSERT_TRUE(::CreateDirectoryW(longForm(inner).c_str(), nullptr));
  const std::string file = dir.Write("after.cue", "TITLE \"after the folder\"\r\n");

  DialogUnderTest ui;
  Drop(ui, {inner, file});
  EXPECT_EQ(ui.dlg.m_doc.m_path, file);
  EXPECT_EQ(ui.BoxText(), "TITLE \"after the folder\"\r\n");
  ::RemoveDirectoryW(longForm(inner).c_str());
  ::RemoveDirectoryW(longForm(outer).c_str());
}
