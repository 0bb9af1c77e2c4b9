// The main dialog's template as the resource compiler left it: styles, places and ids decide what the user
// sees, so they are checked word for word.
#include <gtest/gtest.h>

#include <cstring>
#include <cwctype>
#include <string>
#include <vector>

#include "framework/Afx.h"
#include "res/resource.h"

namespace {

struct Item {
  DWORD exStyle, style;
  short x, y, cx, cy;
  DWORD id;
  std::wstring className;  // upper case; the predefined classes may be stored as ordinals
};

class TemplateReader {
 public:
  explicit TemplateReader(const BYTE* p) : m_p(p) {}
  template <class T>
  T Take() {
    T value;
    std::memcpy(&value, m_p, sizeof value);
    m_p += sizeof value;
    return value;
  }
  std::wstring TakeNameOrOrdinal() {
    const WORD first = Take<WORD>();
    if (first == 0xFFFF) return L"#" + std::to_wstring(Take<WORD>());
    std::wstring text;
    for (WORD c = first; c != 0; c = Take<WORD>()) text += static_cast<wchar_t>(c);
    return text;
  }
  void AlignTo(const BYTE* base, std::size_t n) { m_p = base + (m_p - base + n - 1) / n * n; }

 private:
  const BYTE* m_p;
};

}  // namespace

TEST(Template, MainDialogIsAsDrawn) {
  HRSRC hRes = ::FindResourceA(nullptr, MAKEINTRESOURCEA(IDD_LUMARET_DIALOG), MAKEINTRESOURCEA(5));
  ASSERT_NE(hRes, nullptr);
  const auto* base = static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, hRes)));
  TemplateReader in(base);
  EXPECT_EQ(in.Take<WORD>(), 1);  // an extended template
  EXPECT_EQ(in.Take<WORD>(), 0xFFFF);
  in.Take<DWORD>();
  EXPECT_EQ(in.Take<DWORD>(), 0x00040010u);
  EXPECT_EQ(in.Take<DWORD>(), 0x90CF0040u);
  const WORD count = in.Take<WORD>();
  EXPECT_EQ((std::vector<short>{in.Take<short>(), in.Take<short>(), in.Take<short>(), in.Take<short>()}),
            (std::vector<short>{0, 0, 463, 295}));
  EXPECT_EQ(in.TakeNameOrOrdinal(), L"");
  EXPECT_EQ(in.TakeNameOrOrdinal(), L"");
  EXPECT_EQ(in.TakeNameOrOrdinal(), L"Lumaret");
  EXPECT_EQ(in.Take<WORD>(), 9);
  EXPECT_EQ(in.Take<WORD>(), 0);
  EXPECT_EQ(in.Take<BYTE>(), 0);
  EXPECT_EQ(in.Take<BYTE>(), 1);
  EXPECT_EQ(in.TakeNameOrOrdinal(), L"\x5B8B\x4F53");  // 宋体

  const Item expected[] = {
      {0, 0x50000007, 7, 7, 424, 31, IDC_FILE_GROUP, L"BUTTON"},
      {0, 0x50000007, 7, 42, 338, 31, IDC_CAUSE_GROUP, L"BUTTON"},
      {0, 0x50000007, 349, 42, 107, 31, IDC_SAVE_GROUP, L"BUTTON"},
      {0x00020000, 0x5002010C, 13, 22, 387, 10, IDC_PATH, L"STATIC"},
      {0, 0x50010040, 405, 16, 19, 16, IDC_OPEN, L"BUTTON"},
      {0, 0x50210003, 13, 55, 112, 120, IDC_CHOICE, L"COMBOBOX"},
      {0, 0x50020000, 129, 57, 212, 8, IDC_NOTE, L"STATIC"},
      {0, 0x50210003, 355, 55, 74, 60, IDC_TARGET, L"COMBOBOX"},
      {0, 0x50010040, 433, 54, 19, 16, IDC_SAVE, L"BUTTON"},
      {0, 0x50000103, 435, 13, 20, 20, IDC_INFO, L"STATIC"},
      {0, 0x50020000, 7, 77, 449, 8, IDC_HINT, L"STATIC"},
      {0x00020000, 0x50211004, 7, 87, 449, 201, IDC_TEXT, L"RICHEDIT"},
      {0, 0x48000000, 436, 7, 20, 14, ID_LOAD_COMMAND, L"BUTTON"},
  };

  ASSERT_EQ(count, std::size(expected));
  for (const Item& want : expected) {
    SCOPED_TRACE(testing::Message() << "control " << static_cast<int>(want.id));
    in.AlignTo(base, 4);
    in.Take<DWORD>();
    EXPECT_EQ(in.Take<DWORD>(), want.exStyle);
    EXPECT_EQ(in.Take<DWORD>(), want.style);
    EXPECT_EQ(in.Take<short>(), want.x);
    EXPECT_EQ(in.Take<short>(), want.y);
    EXPECT_EQ(in.Take<short>(), want.cx);
    EXPECT_EQ(in.Take<short>(), want.cy);
    EXPECT_EQ(in.Take<DWORD>(), want.id);
    std::wstring className = in.TakeNameOrOrdinal();
    for (auto& c : className) c = static_cast<wchar_t>(towupper(c));
    if (className == L"#128") className = L"BUTTON";
    if (className == L"#130") className = L"STATIC";
    if (className == L"#133") className = L"COMBOBOX";
    EXPECT_EQ(className, want.className);
    in.TakeNameOrOrdinal();
    const WORD extra = in.Take<WORD>();
    for (WORD i = 0; i < extra; ++i) in.Take<BYTE>();
  }
}
