// CLinkLabel on the test dialog: text and URL, fitting, font, colours by state, clicks through the opening
// seam, cursor and tool tip; OpenUrl's registry fallback against an HTML association the test writes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "TestSupport.h"
#include "controls/LinkLabel.h"
#include "test_resource.h"

namespace {

constexpr COLORREF kLinkColour = RGB(0, 0, 238);
constexpr COLORREF kVisitedColour = RGB(85, 26, 139);

// Stands in for OpenUrl: records what a click asked for and answers the preset result.
struct OpenRecorder {
  static int Open(const char* url, int show) {
    urls.push_back(url);
    shows.push_back(show);
    return result;
  }
  static inline std::vector<std::string> urls;
  static inline std::vector<int> shows;
  static inline int result = 42;
};

class LinkLabelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OpenRecorder::urls.clear();
    OpenRecorder::shows.clear();
    OpenRecorder::result = 42;
    m_previousOpen = CLinkLabel::s_pfnOpenUrl;
    CLinkLabel::s_pfnOpenUrl = &OpenRecorder::Open;
  }
  void TearDown() override {
    CLinkLabel::s_pfnOpenUrl = m_previousOpen;
    ::ReleaseCapture();
  }
  void Click(HWND label) {
    ::SendMessageA(m_dlg->m_hWnd, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(label), STN_CLICKED),
                   reinterpret_cast<LPARAM>(label));
  }
  COLORREF Colour(HWND label) { return AskColour(m_dlg->m_hWnd, label).text; }

  TestDialog m_dlg;
  CLinkLabel::OpenUrlFunction m_previousOpen = nullptr;
};

std::string WindowText(HWND hWnd) {
  char text[256] = {};
  ::GetWindowTextA(hWnd, text, sizeof text);
  return text;
}

SIZE TextExtent(HWND hWnd) {
  const std::string text = WindowText(hWnd);
  const HDC dc = ::GetDC(hWnd);
  const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(hWnd, WM_GETFONT, 0, 0)));
  SIZE extent{};
  ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  ::SelectObject(dc, old);
  ::ReleaseDC(hWnd, dc);
  return extent;
}

TEST_F(LinkLabelTest, TextWithoutUrlOpensItsText) {
  CLinkLabel link;
  ASSERT_TRUE(link.SubclassDlgItem(IDC_TEXT_LINK, &*m_dlg));
  EXPECT_EQ("lumaret-nowhere:self", link.GetUrl());
  EXPECT_TRUE(link.GetStyle() & SS_NOTIFY);

  // A real click: the static reports it only because the label added SS_NOTIFY.
  ::SendMessageA(link.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  ::SendMessageA(link.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  ASSERT_EQ(1u, OpenRecorder::urls.size());
  EXPECT_EQ("lumaret-nowhere:self", OpenRecorder::urls[0]);
  EXPECT_EQ(SW_SHOW, OpenRecorder::shows[0]);
}

TEST_F(LinkLabelTest, UrlWithoutTextShowsTheUrl) {
  CLinkLabel link;
  link.SetUrl("https://lumaret.example.org/");
  ASSERT_TRUE(link.SubclassDlgItem(IDC_EMPTY_LINK, &*m_dlg));
  EXPECT_EQ("https://lumaret.example.org/", WindowText(link.m_hWnd));
  EXPECT_EQ("https://lumaret.example.org/", ToolTipText(link.m_hWnd, 1));
}

TEST_F(LinkLabelTest, SetUrlKeepsTheTextAndRefitsAndRetips) {
  CLinkLabel link;
  ASSERT_TRUE(link.SubclassDlgItem(IDC_LEFT_LINK, &*m_dlg));
  EXPECT_EQ("left link", ToolTipText(link.m_hWnd, 1));
  link.SetUrl("mailto:lumaret@example.org");
  EXPECT_EQ("left link", WindowText(link.m_hWnd));
  EXPECT_EQ("mailto:lumaret@example.org", ToolTipText(link.m_hWnd, 1));
  Click(link.m_hWnd);
  ASSERT_EQ(1u, OpenRecorder::urls.size());
  EXPECT_EQ("mailto:lumaret@example.org", OpenRecorder::urls[0]);
}

TEST_F(LinkLabelTest, FitsEachAlignmentToItsText) {
  const int ids[] = {IDC_LEFT_LINK, IDC_CENTRE_LINK, IDC_RIGHT_LINK, IDC_CENTREIMAGE_LINK};
  RECT before[4];
  for (int i = 0; i < 4; ++i) before[i] = m_dlg.ItemRect(ids[i]);
  CLinkLabel links[4];
  RECT after[4];
  SIZE extent[4];
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(links[i].SubclassDlgItem(ids[i], &*m_dlg));
    after[i] = m_dlg.ItemRect(ids[i]);
    extent[i] = TextExtent(links[i].m_hWnd);
    EXPECT_EQ(extent[i].cx, after[i].right - after[i].left) << ids[i];
    // SS_CENTERIMAGE keeps the centre: it takes half the spare height off each side, rounded down, so
    // an odd spare leaves one pixel more than the text.
    const LONG height = before[i].bottom - before[i].top;
    const LONG expectedHeight =
        ids[i] == IDC_CENTREIMAGE_LINK ? height - 2 * ((height - extent[i].cy) / 2) : extent[i].cy;
    EXPECT_EQ(expectedHeight, after[i].bottom - after[i].top) << ids[i];
    EXPECT_LT(extent[i].cx, before[i].right - before[i].left) << "the text should be narrower than " << ids[i];
  }
  EXPECT_EQ(before[0].left, after[0].left);
  EXPECT_EQ(before[0].top, after[0].top);
  EXPECT_LE(std::abs((before[1].left + before[1].right) - (after[1].left + after[1].right)), 1);
  EXPECT_EQ(before[1].top, after[1].top);
  EXPECT_EQ(before[2].right, after[2].right);
  EXPECT_EQ(before[3].left, after[3].left);
  EXPECT_LE(std::abs((before[3].top + before[3].bottom) - (after[3].top + after[3].bottom)), 1);
  EXPECT_NE(before[3].top, after[3].top);
}

TEST_F(LinkLabelTest, UnderlinedCopyOfTheControlsFont) {
  CLinkLabel link;
  ASSERT_TRUE(link.SubclassDlgItem(IDC_LEFT_LINK, &*m_dlg));
  LOGFONTA dialogFont{}, linkFont{};
  ::GetObjectA(reinterpret_cast<HFONT>(m_dlg->SendMessage(WM_GETFONT)), sizeof dialogFont, &dialogFont);
  ::GetObjectA(reinterpret_cast<HFONT>(link.SendMessage(WM_GETFONT)), sizeof linkFont, &linkFont);
  EXPECT_EQ(1, linkFont.lfUnderline);
  EXPECT_EQ(dialogFont.lfHeight, linkFont.lfHeight);
  EXPECT_STREQ(dialogFont.lfFaceName, linkFont.lfFaceName);
}

TEST_F(LinkLabelTest, ControlWithoutFontGetsUnderlinedSystemFont) {
  const HWND plain = ::CreateWindowExA(0, "STATIC", "plain", WS_CHILD | WS_VISIBLE, 5, 5, 200, 40, m_dlg->m_hWnd,
                                       reinterpret_cast<HMENU>(3000), nullptr, nullptr);
  ASSERT_TRUE(plain);
  ASSERT_EQ(0, ::SendMessageA(plain, WM_GETFONT, 0, 0));
  CLinkLabel link;
  ASSERT_TRUE(link.SubclassWindow(plain));
  LOGFONTA systemFont{}, linkFont{};
  ::GetObjectA(::GetStockObject(SYSTEM_FONT), sizeof systemFont, &systemFont);
  ::GetObjectA(reinterpret_cast<HFONT>(link.SendMessage(WM_GETFONT)), sizeof linkFont, &linkFont);
  EXPECT_EQ(1, linkFont.lfUnderline);
  EXPECT_EQ(systemFont.lfHeight, linkFont.lfHeight);
  EXPECT_STREQ(systemFont.lfFaceName, linkFont.lfFaceName);
}

TEST_F(LinkLabelTest, ColourFollowsHoverAndVisitedState) {
  CLinkLabel link;
  ASSERT_TRUE(link.SubclassDlgItem(IDC_LEFT_LINK, &*m_dlg));
  const HWND h = link.m_hWnd;

  const ColourAnswer plain = AskColour(m_dlg->m_hWnd, h);
  EXPECT_EQ(kLinkColour, plain.text);
  EXPECT_EQ(TRANSPARENT, plain.bkMode);
  EXPECT_EQ(::GetStockObject(NULL_BRUSH), plain.brush);

  // The first move inside takes the capture and the hover colour; the first one outside gives both up.
  SendMouseMove(h, 3, 3);
  EXPECT_EQ(h, ::GetCapture());
  EXPECT_EQ(::GetSysColor(COLOR_HIGHLIGHT), Colour(h));
  SendMouseMove(h, 4, 4);
  EXPECT_EQ(h, ::GetCapture());
  SendMouseMove(h, -3, 200);
  EXPECT_NE(h, ::GetCapture());
  EXPECT_EQ(kLinkColour, Colour(h));

  Click(h);
  EXPECT_EQ(kVisitedColour, Colour(h));
  SendMouseMove(h, 3, 3);
  EXPECT_EQ(::GetSysColor(COLOR_HIGHLIGHT), Colour(h)) << "hovering wins over visited";
  SendMouseMove(h, -3, 200);
  EXPECT_EQ(kVisitedColour, Colour(h));
}

TEST_F(LinkLabelTest, FailedClickClearsVisitedAndReportsTheCode) {
  CLinkLabel link;
  ASSERT_TRUE(link.SubclassDlgItem(IDC_LEFT_LINK, &*m_dlg));
  MessageBoxRecorder boxes;

  Click(link.m_hWnd);
  EXPECT_EQ(kVisitedColour, Colour(link.m_hWnd));
  EXPECT_TRUE(boxes.boxes.empty());

  OpenRecorder::result = 26;
  Click(link.m_hWnd);
  EXPECT_EQ(kLinkColour, Colour(link.m_hWnd));
  ASSERT_EQ(1u, boxes.boxes.size());
  EXPECT_EQ("Unable to open hyperlink:\n\nA sharing violation occurred. ", boxes.boxes[0].text);
  EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION | MB_OK), boxes.boxes[0].type);

  // Results are compared signed: a negative one is a failure too.
  OpenRecorder::result = 42;
  Click(link.m_hWnd);
  OpenRecorder::result = -1;
  Click(link.m_hWnd);
  EXPECT_EQ(kLinkColour, Colour(link.m_hWnd));
  ASSERT_EQ(2u, boxes.boxes.size());
  EXPECT_EQ("Unable to open hyperlink:\n\nUnknown Error (-1) occurred.", boxes.boxes[1].text);
}

TEST_F(LinkLabelTest, HandCursorWithHotSpotOnTheFingerTip) {
  CLinkLabel link;
  ASSERT_TRUE(link.SubclassDlgItem(IDC_LEFT_LINK, &*m_dlg));
  const HCURSOR arrow = ::LoadCursorA(nullptr, IDC_ARROW);
  ::SetCursor(arrow);
  EXPECT_TRUE(::SendMessageA(link.m_hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(link.m_hWnd),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  const HCURSOR hand = ::GetCursor();
  ASSERT_NE(arrow, hand);
  ICONINFO info{};
  ASSERT_TRUE(::GetIconInfo(hand, &info));
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(6u, info.xHotspot);
  EXPECT_EQ(0u, info.yHotspot);
  BITMAP mask{};
  ::GetObjectA(info.hbmMask, sizeof mask, &mask);
  EXPECT_EQ(32, mask.bmWidth);
  EXPECT_EQ(64, mask.bmHeight) << "a monochrome cursor keeps both masks in one bitmap";
  ::DeleteObject(info.hbmMask);
  if (info.hbmColor) ::DeleteObject(info.hbmColor);
  ::SetCursor(arrow);
}

// OpenUrl with a URL the shell has no handler for, so that it falls back on the HTML association the test
// writes. Wine's HKEY_CLASSES_ROOT does not read through the current user's classes, so the keys go into
// HKEY_CLASSES_ROOT itself (the test prefix's); the previous association is put back afterwards.
class HtmlAssociation {
 public:
  HtmlAssociation(const std::string& fileType, const char* command) {
    m_hadType = CLinkLabel::ReadDefaultValue(HKEY_CLASSES_ROOT, ".htm", m_previousType) == ERROR_SUCCESS;
    SetDefault(".htm", fileType);
    if (command) SetDefault(kOwnType + std::string("\\shell\\open\\command"), command);
  }
  ~HtmlAssociation() {
    ::RegDeleteTreeA(HKEY_CLASSES_ROOT, kOwnType);
    if (m_hadType)
      SetDefault(".htm", m_previousType);
    else
      ::RegDeleteTreeA(HKEY_CLASSES_ROOT, ".htm");
  }
  static constexpr char kOwnType[] = "LumaretTest.htm";

 private:
  static void SetDefault(const std::string& key, const std::string& value) {
    ASSERT_EQ(ERROR_SUCCESS,
              ::RegSetValueA(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, value.c_str(), static_cast<DWORD>(value.size())));
  }
  bool m_hadType;
  std::string m_previousType;
};

constexpr char kNowhereUrl[] = "lumaret-nowhere:page";
constexpr int kShellNoAssociation = SE_ERR_NOASSOC;

std::string ThisProgram() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, sizeof path);
  return path;
}

std::string WaitForFile(const std::string& path) {
  for (int i = 0; i < 200; ++i) {
    std::ifstream in(path, std::ios::binary);
    if (in) {
      std::ostringstream text;
      text << in.rdbuf();
      return text.str();
    }
    ::Sleep(50);
  }
  return "(no file)";
}

TEST(OpenUrlFallback, RunsTheRegisteredCommandWithTheUrl) {
  char temp[MAX_PATH] = {};
  ::GetTempPathA(sizeof temp, temp);
  const std::string record = std::string(temp) + "lumaret-fallback-" + std::to_string(::GetCurrentProcessId());
  ::DeleteFileA(record.c_str());
  const std::string program = '"' + ThisProgram() + "\" --record " + record;
  const std::string command = program + " \"%1\" --dropped";
  HtmlAssociation association(HtmlAssociation::kOwnType, command.c_str());

  EXPECT_GT(CLinkLabel::OpenUrl(kNowhereUrl, SW_SHOW), 32);
  const std::string seen = WaitForFile(record);
  ::DeleteFileA(record.c_str());
  EXPECT_EQ(program + "  " + kNowhereUrl, seen);
}

TEST(OpenUrlFallback, ReportsTheLastStepThatRan) {
  {
    // The shell fails and so does the registered program: WinExec's code.
    HtmlAssociation association(HtmlAssociation::kOwnType, "C:\\nowhere\\nothing.exe %1");
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, CLinkLabel::OpenUrl(kNowhereUrl, SW_SHOW));
  }
  {
    // No command for the file type: the shell's code.
    HtmlAssociation association("LumaretMissing.htm", nullptr);
    EXPECT_EQ(kShellNoAssociation, CLinkLabel::OpenUrl(kNowhereUrl, SW_SHOW));
  }
  {
    // A file type name longer than the 260-byte value buffer is refused.
    HtmlAssociation association(std::string(300, 'T'), nullptr);
    EXPECT_EQ(kShellNoAssociation, CLinkLabel::OpenUrl(kNowhereUrl, SW_SHOW));
  }
  {
    // A command line that would not fit its 520 bytes is not run shortened.
    const std::string command = std::string("C:\\nowhere\\nothing.exe ") + std::string(250, 'a') + " %1";
    HtmlAssociation association(HtmlAssociation::kOwnType, command.c_str());
    EXPECT_EQ(kShellNoAssociation,
              CLinkLabel::OpenUrl((std::string(kNowhereUrl) + std::string(300, 'u')).c_str(), SW_SHOW));
  }
}

TEST(OpenUrlFallback, ReadDefaultValueLimits) {
  std::string value = "unchanged";
  EXPECT_NE(ERROR_SUCCESS, CLinkLabel::ReadDefaultValue(HKEY_CLASSES_ROOT, "LumaretNoSuchKey", value));
  EXPECT_EQ("unchanged", value);
  {
    HtmlAssociation association(std::string(259, 'T'), nullptr);
    EXPECT_EQ(ERROR_SUCCESS, CLinkLabel::ReadDefaultValue(HKEY_CLASSES_ROOT, ".htm", value));
    EXPECT_EQ(std::string(259, 'T'), value);
  }
  {
    HtmlAssociation association(std::string(260, 'T'), nullptr);
    EXPECT_NE(ERROR_SUCCESS, CLinkLabel::ReadDefaultValue(HKEY_CLASSES_ROOT, ".htm", value));
  }
}

}  // namespace
