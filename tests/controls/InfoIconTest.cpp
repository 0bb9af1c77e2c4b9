// CInfoIcon and CAboutDlg: the tip, the cursor, hover capture, and a click that shows the About box, which a
// timer inspects and closes. Also the About box's template as it was compiled.
#include <gtest/gtest.h>

#include <cstring>

#include "TestSupport.h"
#include "controls/AboutDlg.h"
#include "controls/InfoIcon.h"
#include "res/resource.h"
#include "test_resource.h"

namespace {

constexpr char kAbout[] = "\xB9\xD8\xD3\xDA";

class InfoIconTest : public ::testing::Test {
 protected:
  void SetUp() override { AfxGetApp()->m_pMainWnd = &*m_dlg; }
  void TearDown() override {
    AfxGetApp()->m_pMainWnd = nullptr;
    ::ReleaseCapture();
  }
  TestDialog m_dlg;
};

TEST_F(InfoIconTest, TipIsAboutAndTheMainWindowsTitle) {
  CInfoIcon icon;
  ASSERT_TRUE(icon.SubclassDlgItem(IDC_TEST_INFO, &*m_dlg));
  EXPECT_EQ(std::string(kAbout) + "Lumaret", ToolTipText(icon.m_hWnd, 1));
}

TEST_F(InfoIconTest, LongTitleIsCutTo79Bytes) {
  const std::string title(100, 'T');
  m_dlg->SetWindowText(title.c_str());
  CInfoIcon icon;
  ASSERT_TRUE(icon.SubclassDlgItem(IDC_TEST_INFO, &*m_dlg));
  EXPECT_EQ(kAbout + title.substr(0, 79), ToolTipText(icon.m_hWnd, 1));
}

TEST_F(InfoIconTest, HandCursorAndCaptureWhileOver) {
  CInfoIcon icon;
  ASSERT_TRUE(icon.SubclassDlgItem(IDC_TEST_INFO, &*m_dlg));
  EXPECT_TRUE(icon.GetStyle() & SS_NOTIFY);
  const HCURSOR arrow = ::LoadCursorA(nullptr, IDC_ARROW);
  ::SetCursor(arrow);
  EXPECT_TRUE(::SendMessageA(icon.m_hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(icon.m_hWnd),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  EXPECT_EQ(::LoadCursorA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_LINK_HAND)), ::GetCursor());
  ::SetCursor(arrow);

  SendMouseMove(icon.m_hWnd, 2, 2);
  EXPECT_EQ(icon.m_hWnd, ::GetCapture());
  SendMouseMove(icon.m_hWnd, 3, 3);
  EXPECT_EQ(icon.m_hWnd, ::GetCapture());
  SendMouseMove(icon.m_hWnd, 200, -4);
  EXPECT_NE(icon.m_hWnd, ::GetCapture());
}

// What the timer saw of the About box while it was up.
struct AboutSeen {
  HWND owner = nullptr;
  bool found = false;
  bool ownerDisabled = false;
  bool okFocused = false;
  std::string caption;
  std::string emailUrl, homepageUrl;
  std::string emailText, homepageText;
  std::string emailTip, homepageTip;
  SIZE emailSize{}, homepageSize{};
};
AboutSeen* g_seen = nullptr;

HWND FindAboutBox() {
  HWND found = nullptr;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND hWnd, LPARAM lParam) -> BOOL {
        if (::IsWindowVisible(hWnd) && ::GetDlgItem(hWnd, IDC_EMAIL) && ::GetDlgItem(hWnd, IDC_HOMEPAGE)) {
          *reinterpret_cast<HWND*>(lParam) = hWnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

std::string TextOf(HWND hWnd) {
  char text[256] = {};
  ::GetWindowTextA(hWnd, text, sizeof text);
  return text;
}

std::string UrlOf(HWND hWnd) {
  auto* link = dynamic_cast<CLinkLabel*>(CWnd::FromHandlePermanent(hWnd));
  return link ? link->GetUrl() : "(no link label)";
}

SIZE SizeOf(HWND hWnd) {
  RECT rect;
  ::GetWindowRect(hWnd, &rect);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

void CALLBACK InspectAboutBox(HWND hWnd, UINT, UINT_PTR id, DWORD) {
  const HWND about = FindAboutBox();
  if (!about) return;
  ::KillTimer(hWnd, id);
  AboutSeen& seen = *g_seen;
  seen.found = true;
  seen.ownerDisabled = !::IsWindowEnabled(seen.owner);
  seen.okFocused = ::GetFocus() == ::GetDlgItem(about, IDOK);
  seen.caption = TextOf(about);
  const HWND email = ::GetDlgItem(about, IDC_EMAIL);
  const HWND homepage = ::GetDlgItem(about, IDC_HOMEPAGE);
  seen.emailUrl = UrlOf(email);
  seen.homepageUrl = UrlOf(homepage);
  seen.emailText = TextOf(email);
  seen.homepageText = TextOf(homepage);
  seen.emailTip = ToolTipText(email, 1);
  seen.homepageTip = ToolTipText(homepage, 1);
  seen.emailSize = SizeOf(email);
  seen.homepageSize = SizeOf(homepage);
  ::PostMessageA(about, WM_COMMAND, IDOK, 0);
}

TEST_F(InfoIconTest, ClickShowsTheAboutBoxWithItsLinks) {
  CInfoIcon icon;
  ASSERT_TRUE(icon.SubclassDlgItem(IDC_TEST_INFO, &*m_dlg));
  SendMouseMove(icon.m_hWnd, 2, 2);
  ASSERT_EQ(icon.m_hWnd, ::GetCapture());

  AboutSeen seen;
  seen.owner = m_dlg->m_hWnd;
  g_seen = &seen;
  ::SetTimer(m_dlg->m_hWnd, 77, 50, &InspectAboutBox);
  ::SendMessageA(m_dlg->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_TEST_INFO, STN_CLICKED),
                 reinterpret_cast<LPARAM>(icon.m_hWnd));
  g_seen = nullptr;

  ASSERT_TRUE(seen.found);
  EXPECT_FALSE(FindAboutBox()) << "the box is closed when the click returns";
  EXPECT_NE(icon.m_hWnd, ::GetCapture()) << "the click gives up the capture";
  EXPECT_TRUE(::IsWindowEnabled(m_dlg->m_hWnd));
  EXPECT_TRUE(seen.ownerDisabled);
  EXPECT_TRUE(seen.okFocused);
  EXPECT_EQ("\xB9\xD8\xD3\xDA Lumaret", seen.caption);
  EXPECT_EQ("mailto:lumaret@example.org", seen.emailUrl);
  EXPECT_EQ("https://lumaret.example.org/", seen.homepageUrl);
  EXPECT_EQ("lumaret@example.org", seen.emailText);
  EXPECT_EQ("Lumaret \xD6\xF7\xD2\xB3", seen.homepageText);
  EXPECT_EQ(seen.emailUrl, seen.emailTip);
  EXPECT_EQ(seen.homepageUrl, seen.homepageTip);
  EXPECT_GT(seen.emailSize.cx, 0);
  EXPECT_GT(seen.homepageSize.cx, 0);

  // The links destroyed their own cursors; the icon's shared one still works.
  ::SendMessageA(icon.m_hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(icon.m_hWnd), MAKELPARAM(HTCLIENT, 0));
  ICONINFO info{};
  EXPECT_TRUE(::GetIconInfo(::GetCursor(), &info));
  ::DeleteObject(info.hbmMask);
}

// The About box's template as compiled: the style values, rectangles and ids are the layout's contract.
struct TemplateItem {
  WORD id;
  WORD classAtom;
  DWORD style;
  short x, y, cx, cy;
  const wchar_t* text;  // null: any text (the notice), or the program icon on an SS_ICON static
};

constexpr WORD kButton = 0x0080;
constexpr WORD kStatic = 0x0082;

constexpr TemplateItem kAboutItems[] = {
    {0xFFFF, kStatic, 0x50000003, 7, 58, 20, 20, nullptr},
    {0xFFFF, kStatic, 0x50020001, 3, 6, 209, 8, L"Lumaret Version 1.06"},
    {IDOK, kButton, 0x50030001, 172, 14, 32, 14, L"OK"},
    {0xFFFF, kStatic, 0x50020002, 45, 21, 24, 8, L"作者:"},
    {IDC_EMAIL, kStatic, 0x50020000, 71, 30, 114, 8, L"lumaret@example.org"},
    {IDC_AUTHOR, kStatic, 0x50020000, 71, 21, 21, 8, L"LMR"},
    {0xFFFF, kStatic, 0x50020002, 47, 30, 22, 8, L"电邮:"},
    {0xFFFF, kStatic, 0x50020002, 47, 40, 22, 8, L"主页:"},
    {IDC_HOMEPAGE, kStatic, 0x50020000, 71, 40, 112, 8, L"Lumaret 主页"},
    {0xFFFF, kStatic, 0x50020000, 33, 59, 176, 18, nullptr},
};

// Reads a template's sz_Or_Ord field: an ordinal (0xFFFF, value) or a NUL-terminated UTF-16 string.
const WORD* ReadField(const WORD* p, std::wstring* text, WORD* ordinal) {
  if (*p == 0xFFFF) {
    if (ordinal) *ordinal = p[1];
    return p + 2;
  }
  std::wstring s;
  while (*p) s += static_cast<wchar_t>(*p++);
  if (text) *text = s;
  return p + 1;
}

TEST(AboutTemplate, MatchesTheLayout) {
  const HRSRC resource = ::FindResourceA(nullptr, MAKEINTRESOURCEA(IDD_ABOUTBOX), MAKEINTRESOURCEA(5));
  ASSERT_TRUE(resource);
  const auto* dialog = static_cast<const DLGTEMPLATE*>(::LockResource(::LoadResource(nullptr, resource)));
  EXPECT_EQ(0x80C800C0u, dialog->style);
  EXPECT_EQ(0u, dialog->dwExtendedStyle);
  EXPECT_EQ(214, dialog->cx);
  EXPECT_EQ(82, dialog->cy);
  ASSERT_EQ(std::size(kAboutItems), dialog->cdit);

  const WORD* p = reinterpret_cast<const WORD*>(dialog + 1);
  std::wstring caption, face;
  p = ReadField(p, nullptr, nullptr);
  p = ReadField(p, nullptr, nullptr);
  p = ReadField(p, &caption, nullptr);
  EXPECT_EQ(L"关于 Lumaret", caption);
  EXPECT_EQ(9, *p++);
  p = ReadField(p, &face, nullptr);
  EXPECT_EQ(L"宋体", face);

  for (const TemplateItem& want : kAboutItems) {
    p = reinterpret_cast<const WORD*>((reinterpret_cast<UINT_PTR>(p) + 3) & ~UINT_PTR(3));
    const auto* item = reinterpret_cast<const DLGITEMTEMPLATE*>(p);
    EXPECT_EQ(want.style, item->style) << want.id;
    EXPECT_EQ(want.x, item->x) << want.id;
    EXPECT_EQ(want.y, item->y) << want.id;
    EXPECT_EQ(want.cx, item->cx) << want.id;
    EXPECT_EQ(want.cy, item->cy) << want.id;
    EXPECT_EQ(want.id, item->id);
    p = reinterpret_cast<const WORD*>(item + 1);
    WORD classAtom = 0, iconId = 0;
    std::wstring text;
    p = ReadField(p, nullptr, &classAtom);
    p = ReadField(p, &text, &iconId);
    EXPECT_EQ(want.classAtom, classAtom) << want.id;
    if ((want.style & SS_TYPEMASK) == SS_ICON)
      EXPECT_EQ(IDR_MAINFRAME, iconId);
    else if (want.text)
      EXPECT_EQ(want.text, text) << want.id;
    else
      EXPECT_FALSE(text.empty());
    p += 1 + *p / sizeof(WORD);
  }
}

}  // namespace
