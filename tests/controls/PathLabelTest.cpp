// CPathLabel on a path display like the main dialog's: what it paints, compared pixel by pixel with one
// DrawTextEx of the expected format on the erased background.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "controls/PathLabel.h"
#include "test_resource.h"

namespace {

constexpr UINT kDialogFormat = DT_NOPREFIX | DT_VCENTER;
const std::string kLongPath =
    "C:\\Music\\A Rather Long Artist Name\\An Even Longer Album Title (Deluxe Edition)\\Disc 1\\album.cue";

class PathLabelTest : public ::testing::Test {
 protected:
  PathLabelTest() : m_label(kDialogFormat, FALSE) {}
  void SetUp() override {
    ASSERT_TRUE(m_label.SubclassDlgItem(IDC_TEST_PATH, &*m_dlg));
    m_label.m_bPathEllipsis = TRUE;
  }
  std::vector<DWORD> Show(const std::string& text) {
    m_label.SetWindowText(text.c_str());
    m_label.UpdateWindow();
    return CaptureClient(m_label.m_hWnd);
  }
  std::vector<DWORD> Expected(const std::string& text, UINT ellipsis) {
    return RenderLabel(m_label.m_hWnd, text, kDialogFormat | ellipsis);
  }

  TestDialog m_dlg;
  CPathLabel m_label;
};

TEST_F(PathLabelTest, LongPathLosesItsMiddleAndKeepsTheFileName) {
  const std::string shown = ShortenedText(m_label.m_hWnd, kLongPath, kDialogFormat | DT_PATH_ELLIPSIS);
  ASSERT_NE(kLongPath, shown) << "the path should be too long for the label";
  EXPECT_EQ(0u, shown.find("C:\\")) << shown;
  EXPECT_NE(std::string::npos, shown.find("...\\album.cue")) << shown;

  const std::vector<DWORD> painted = Show(kLongPath);
  EXPECT_EQ(Expected(kLongPath, DT_PATH_ELLIPSIS), painted);
  EXPECT_NE(Expected(kLongPath, DT_END_ELLIPSIS), painted);
}

TEST_F(PathLabelTest, ShortPathShowsWhole) {
  const std::string path = "C:\\Music\\album.cue";
  EXPECT_EQ(path, ShortenedText(m_label.m_hWnd, path, kDialogFormat | DT_PATH_ELLIPSIS));
  EXPECT_EQ(Expected(path, DT_PATH_ELLIPSIS), Show(path));
}

TEST_F(PathLabelTest, EndEllipsisWhenTheFlagIsCleared) {
  m_label.m_bPathEllipsis = FALSE;
  const std::vector<DWORD> painted = Show(kLongPath);
  EXPECT_EQ(Expected(kLongPath, DT_END_ELLIPSIS), painted);
  EXPECT_NE(Expected(kLongPath, DT_PATH_ELLIPSIS), painted);
}

TEST_F(PathLabelTest, AmpersandIsDrawnAsAnAmpersand) {
  const std::string path = "C:\\Rock&Roll\\Tom & Jerry.cue";
  const std::vector<DWORD> painted = Show(path);
  EXPECT_EQ(Expected(path, DT_PATH_ELLIPSIS), painted);
  EXPECT_NE(RenderLabel(m_label.m_hWnd, path, DT_VCENTER | DT_PATH_ELLIPSIS), painted)
      << "with prefix processing the ampersands would vanish";
}

TEST_F(PathLabelTest, NewTextErasesTheOldAndEmptyLeavesTheBackground) {
  Show(kLongPath);
  const std::string path = "D:\\a.cue";
  EXPECT_EQ(Expected(path, DT_PATH_ELLIPSIS), Show(path));

  const std::vector<DWORD> empty = Show("");
  ASSERT_FALSE(empty.empty());
  const DWORD face = empty[0];
  const COLORREF system = ::GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(RGB(GetBValue(system), GetGValue(system), GetRValue(system)), face & 0xFFFFFF);
  for (DWORD pixel : empty) ASSERT_EQ(face, pixel);
}

}  // namespace
