// The guess on every load, and the GBK save of what it shows, through the real dialog. The sheets are written at test
// time in each code page by the system's own conversion, from the characters below.
#include <gtest/gtest.h>

#include <string>

#include "AppTestSupport.h"
#include "res/resource.h"

using namespace apptest;

namespace {

std::string Encoded(UINT codePage, const std::wstring& text) {
  std::string bytes(4 * text.size() + 4, '\0');
  bytes.resize(
      static_cast<std::size_t>(::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                                     bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr)));
  return bytes;
}

std::string Utf16(const std::wstring& text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (wchar_t c : text) {
    const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

std::wstring Sheet(const std::wstring& performer, const std::wstring& title) {
  return L"PERFORMER \"" + performer + L"\"\r\nTITLE \"" + title + L"\"\r\nFILE \"" + title +
         L".wav\" WAVE\r\n  TRACK 01 AUDIO\r\n    TITLE \"" + title + L"\"\r\n    INDEX 01 00:00:00\r\n";
}

std::string Note(const DialogUnderTest& ui) {
  char note[256] = {};
  ::GetWindowTextA(ui.Item(IDC_NOTE), note, sizeof note);
  return note;
}

bool NoteIsRed(const DialogUnderTest& ui) {
  HDC dc = ::CreateCompatibleDC(nullptr);
  ::SetTextColor(dc, RGB(0, 0, 0));
  ::SendMessageA(ui.dlg.GetSafeHwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(ui.Item(IDC_NOTE)));
  const bool red = ::GetTextColor(dc) == RGB(255, 0, 0);
  ::DeleteDC(dc);
  return red;
}

DWORD_PTR SelectedData(const DialogUnderTest& ui, int id) {
  const LRESULT index = ::SendMessageA(ui.Item(id), CB_GETCURSEL, 0, 0);
  return static_cast<DWORD_PTR>(::SendMessageA(ui.Item(id), CB_GETITEMDATA, index, 0));
}

struct VerdictRow {
  const char* what;
  std::string bytes;
  DWORD_PTR item;
  std::string note;
  bool red;
  std::wstring shows;  // the box's text; empty: the bytes as loaded
};

}  // namespace

TEST(Guess, EveryLoadShowsItsVerdictAndTheGuessedItemsConversion) {
  const std::wstring big5 = Sheet(L"林曉雯", L"東風與夢的記憶"), japanese = Sheet(L"水野彩花", L"夏の終わりのソナタ"),
                     russian = Sheet(L"Кино", L"Звезда по имени Солнце"), chinese = Sheet(L"王菲", L"红豆与传奇");
  const VerdictRow rows[] = {
      {"big5", Encoded(950, big5), 1, "已识别：Big5繁体中文", false, Sheet(L"林晓雯", L"东风与梦的记忆")},
      {"shift-jis", Encoded(932, japanese), 3, "已识别：日文（Shift-JIS）", false, japanese},
      {"utf-8", Encoded(CP_UTF8, chinese), 4, "已识别：UTF-8", false, chinese},
      {"windows-1251", Encoded(1251, russian), 6, "已识别：俄文（Windows-1251）", false, russian},
      {"ascii", "TITLE \"Hello\"\r\n", 0, "已是可读文本", false, L""},
      {"gbk", Encoded(936, chinese), 0, "已是可读文本", false, L""},
      {"not sure", "TITLE \"\xE9\xE9\"\r\n", 0, "可能是：俄文（KOI8-R）、特殊西欧字符", true, L""},
      {"binary", std::string("\x01\x02\x03\x04\x05\x06\xFF\xFE\x80\x81", 10), 0, "请逐一尝试", true, L""},
      {"utf-16le", Utf16(chinese, false), 5, "已识别：UTF-16", false, chinese},
      {"utf-16be", Utf16(chinese, true), 5, "已识别：UTF-16", false, chinese},
  };
  ScratchDir dir;
  ScriptedProbes probes(1, 1);
  MessageBoxRecorder boxes;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string path = dir.Write("sheet.txt", row.bytes);
    DialogUnderTest ui(path);
    EXPECT_EQ(SelectedData(ui, IDC_CHOICE), row.item);
    EXPECT_EQ(Note(ui), row.note);
    EXPECT_EQ(NoteIsRed(ui), row.red);
    const std::string shown = ui.BoxText();
    if (!row.shows.empty()) {
      EXPECT_EQ(shown, Encoded(936, row.shows));
    }
    // Exactly what the user's own pick of the item shows.
    ui.Select(static_cast<int>(::SendMessageA(ui.Item(IDC_CHOICE), CB_GETCURSEL, 0, 0)));
    EXPECT_EQ(ui.BoxText(), shown);
    // Saved as GBK: the box's bytes, with no question about a NUL (UTF-16 is made of them).
    boxes.boxes.clear();
    boxes.answers = {IDYES, IDOK};
    ui.ClickSave();
    EXPECT_EQ(boxes.boxes.size(), 2u);
    if (!row.shows.empty()) {
      EXPECT_EQ(ReadFileBytes(path), Encoded(936, row.shows));
    }
  }
}
