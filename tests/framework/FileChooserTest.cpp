// The file chooser, driven through the real system dialog, and its path validation.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "TestSupport.h"
#include "app/SingleFileSel.h"

#include <dlgs.h>

namespace {

constexpr DWORD kOpenFlags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
constexpr const char* kFilter =
    "Supported Files(*.cue;*.txt)|*.cue;*.txt|Text Files(*.txt)|*.txt|Cue Files(*.cue)|*.cue|All Files(*.*)|*.*||";

HWND FindFileDialog() {
  HWND hFound = nullptr;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND hWnd, LPARAM lParam) {
        char cls[16] = {};
        ::GetClassNameA(hWnd, cls, sizeof cls);
        if (std::string(cls) != "#32770" || !::IsWindowVisible(hWnd) || ::GetDlgItem(hWnd, IDOK) == nullptr ||
            (::GetDlgItem(hWnd, edt1) == nullptr && ::GetDlgItem(hWnd, cmb13) == nullptr))
          return TRUE;
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&hFound));
  return hFound;
}

// Runs `act` once on the system file dialog, from a timer, as soon as the dialog is on the screen.
class DialogDriver {
 public:
  explicit DialogDriver(std::function<void(HWND)> act) {
    s_act = std::move(act);
    m_timer = ::SetTimer(nullptr, 0, 100, Tick);
  }
  ~DialogDriver() {
    ::KillTimer(nullptr, m_timer);
    s_act = nullptr;
  }

 private:
  UINT_PTR m_timer;
  static inline std::function<void(HWND)> s_act;

  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    HWND hDlg = FindFileDialog();
    if (hDlg == nullptr || !s_act) return;
    auto act = std::move(s_act);
    s_act = nullptr;
    act(hDlg);
  }
};

void TypeFileName(HWND hDlg, const std::string& name) {
  HWND hName = ::GetDlgItem(hDlg, cmb13);
  if (hName == nullptr || !::IsWindowVisible(hName)) hName = ::GetDlgItem(hDlg, edt1);
  ::SetWindowTextA(hName, name.c_str());
}

void Press(HWND hDlg, int nID) {
  ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, nID)));
}

// A visible top-level window to be the chooser's parent, as the main dialog is.
class Owner {
 public:
  Owner() {
    HWND hWnd = ::CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 200, 150, 500, 400, nullptr, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
    m_wnd.Attach(hWnd);
  }
  ~Owner() { m_wnd.DestroyWindow(); }
  CWnd* Wnd() { return &m_wnd; }
  HWND Handle() const { return m_wnd.m_hWnd; }

 private:
  CWnd m_wnd;
};

// What the chooser looked like while the system dialog was up.
struct Inside {
  bool bOwnerEnabled = true;
  HWND hAttached = nullptr;
  HWND hAttachedParent = nullptr;
  CRect rcDialog;
};

Inside LookInside(HWND hDlg, const CFileDialog& chooser, HWND hOwner) {
  Inside inside;
  inside.bOwnerEnabled = ::IsWindowEnabled(hOwner);
  inside.hAttached = chooser.m_hWnd;
  inside.hAttachedParent = ::GetParent(chooser.m_hWnd);
  ::GetWindowRect(hDlg, &inside.rcDialog);
  return inside;
}

}  // namespace

TEST(FileChooser, CancelGivesTwoAndNoMessage) {
  MessageBoxRecorder recorder;
  Owner owner;
  CSingleFileSel chooser(TRUE, nullptr, nullptr, kOpenFlags, kFilter, owner.Wnd());
  chooser.m_ofn.lpstrTitle = "选择文件";
  Inside inside;
  char title[64] = {};
  DialogDriver driver([&](HWND hDlg) {
    inside = LookInside(hDlg, chooser, owner.Handle());
    ::GetWindowTextA(hDlg, title, sizeof title);
    Press(hDlg, IDCANCEL);
  });

  EXPECT_EQ(IDCANCEL, chooser.DoModal());
  EXPECT_TRUE(recorder.boxes.empty());
  EXPECT_STREQ("选择文件", title);

  // The owner was disabled while the dialog ran, and is enabled again.
  EXPECT_FALSE(inside.bOwnerEnabled);
  EXPECT_TRUE(::IsWindowEnabled(owner.Handle()));
  // The object was attached to the dialog's child window, and is let go.
  ASSERT_NE(nullptr, inside.hAttached);
  EXPECT_NE(nullptr, inside.hAttachedParent);
  EXPECT_EQ(nullptr, chooser.m_hWnd);
  // The dialog was centred on its visible owner (unless the work area pushed it).
  CRect rcOwner;
  ::GetWindowRect(owner.Handle(), &rcOwner);
  EXPECT_NEAR(rcOwner.CenterPoint().x, inside.rcDialog.CenterPoint().x, 1);
  EXPECT_NEAR(rcOwner.CenterPoint().y, inside.rcDialog.CenterPoint().y, 1);
}

TEST(FileChooser, AChosenFileGivesOneAndItsFullPath) {
  MessageBoxRecorder recorder;
  ScratchFile file("专辑.cue", "FILE");
  Owner owner;
  CSingleFileSel chooser(TRUE, nullptr, nullptr, kOpenFlags, kFilter, owner.Wnd());
  DialogDriver driver([&](HWND hDlg) {
    TypeFileName(hDlg, file.Path());
    Press(hDlg, IDOK);
  });

  EXPECT_EQ(IDOK, chooser.DoModal());
  EXPECT_TRUE(recorder.boxes.empty());
  EXPECT_EQ(0, ::lstrcmpiA(file.Path().c_str(), chooser.GetPathName().c_str())) << chooser.GetPathName();
  EXPECT_STREQ("专辑.cue", chooser.m_szFileTitle);
  // What the system wrote came back into the framework's block, which kept its older size.
  EXPECT_EQ(offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR), chooser.m_ofn.lStructSize);
  EXPECT_STREQ("专辑.cue", chooser.m_ofn.lpstrFile + chooser.m_ofn.nFileOffset);
  EXPECT_TRUE(chooser.m_ofn.Flags & OFN_EXPLORER);
  EXPECT_TRUE(chooser.m_ofn.Flags & OFN_NOCHANGEDIR);
  EXPECT_TRUE(::IsWindowEnabled(owner.Handle()));
}

TEST(FileChooser, AFileThatIsGoneWhenTheDialogReturnsGivesTheMissingFileMessageAndTwo) {
  MessageBoxRecorder recorder;
  ScratchFile file("present.cue");
  const std::string missing = file.Folder() + "\\gone.cue";
  Owner owner;
  // Without OFN_FILEMUSTEXIST the system dialog lets the name through, as when a file goes meanwhile.
  CSingleFileSel chooser(TRUE, nullptr, nullptr, OFN_HIDEREADONLY, kFilter, owner.Wnd());
  DialogDriver driver([&](HWND hDlg) {
    TypeFileName(hDlg, missing);
    Press(hDlg, IDOK);
  });

  EXPECT_EQ(IDCANCEL, chooser.DoModal());
  ASSERT_EQ(1u, recorder.boxes.size());
  EXPECT_EQ("指定的文件不存在或文件名异常。", recorder.boxes[0].text);
  EXPECT_EQ(UINT(MB_OK | MB_ICONEXCLAMATION), recorder.boxes[0].type);
}

TEST(FileChooser, AFileNameOutsideTheCodePageComesBackWithAQuestionMarkAndIsRefused) {
  MessageBoxRecorder recorder;
  ScratchFile file("other.cue");
  // U+0E01, a Thai letter, has no GBK form.
  std::wstring folder(file.Folder().begin(), file.Folder().end());
  const std::wstring name = folder + L"\\\u0e01.cue";
  HANDLE hFile = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, hFile);
  ::CloseHandle(hFile);

  for (const BOOL bOpen : {TRUE, FALSE}) {
    recorder.boxes.clear();
    Owner owner;
    CSingleFileSel chooser(bOpen, nullptr, nullptr, bOpen ? kOpenFlags : OFN_HIDEREADONLY, kFilter, owner.Wnd());
    DialogDriver driver([&](HWND hDlg) {
      HWND hName = ::GetDlgItem(hDlg, cmb13);
      if (hName == nullptr || !::IsWindowVisible(hName)) hName = ::GetDlgItem(hDlg, edt1);
      ::SetWindowTextW(hName, name.c_str());
      Press(hDlg, IDOK);
    });
    EXPECT_EQ(IDCANCEL, chooser.DoModal());
    ASSERT_EQ(1u, recorder.boxes.size());
    EXPECT_EQ("路径含无效字符（?）：\r\n" + file.Folder() + "\\?.cue", recorder.boxes[0].text);
  }
  ::DeleteFileW(name.c_str());
}

TEST(FileChooser, TheBlockHandedToTheSystemIsTheExtendedOne) {
  // The system dialog's hook gets the block it runs on with WM_INITDIALOG.
  class CProbe : public CSingleFileSel {
   public:
    using CSingleFileSel::CSingleFileSel;
    DWORD nSizeSeen = 0;
    BOOL bWin2000() const { return m_bWin2000; }

   protected:
    BOOL OnInitDialog() override {
      const MSG* pMsg = AfxGetCurrentMessage();
      if (pMsg->message == WM_INITDIALOG) nSizeSeen = reinterpret_cast<const OPENFILENAMEA*>(pMsg->lParam)->lStructSize;
      return CSingleFileSel::OnInitDialog();
    }
  };
  Owner owner;
  CProbe chooser(TRUE, nullptr, nullptr, kOpenFlags, kFilter, owner.Wnd());
  ASSERT_TRUE(chooser.bWin2000());
  DialogDriver driver([](HWND hDlg) { Press(hDlg, IDCANCEL); });
  EXPECT_EQ(IDCANCEL, chooser.DoModal());
  EXPECT_EQ(sizeof(OPENFILENAMEA), chooser.nSizeSeen);
}

TEST(FileChooser, OnOlderSystemsTheFileListIsTwiceAsTallAndTheDialogGrowsWithIt) {
  class COlder : public CSingleFileSel {
   public:
    COlder(CWnd* pParent) : CSingleFileSel(TRUE, nullptr, nullptr, kOpenFlags, kFilter, pParent) { m_bWin2000 = FALSE; }
    CRect rcListBefore, rcListAfter, rcDlgBefore, rcDlgAfter, rcOkBefore, rcOkAfter;

   protected:
    void OnInitDone() override {
      CWnd* pDlg = GetParent();
      Measure(pDlg, rcListBefore, rcOkBefore, rcDlgBefore);
      CSingleFileSel::OnInitDone();
      Measure(pDlg, rcListAfter, rcOkAfter, rcDlgAfter);
    }
    static void Measure(CWnd* pDlg, CRect& rcList, CRect& rcOk, CRect& rcDlg) {
      pDlg->GetDlgItem(lst1)->GetWindowRect(&rcList);
      pDlg->ScreenToClient(&rcList);
      pDlg->GetDlgItem(IDOK)->GetWindowRect(&rcOk);
      pDlg->ScreenToClient(&rcOk);
      pDlg->GetWindowRect(&rcDlg);
    }
  };
  Owner owner;
  COlder chooser(owner.Wnd());
  DialogDriver driver([](HWND hDlg) { Press(hDlg, IDCANCEL); });
  EXPECT_EQ(IDCANCEL, chooser.DoModal());

  const int d = chooser.rcListBefore.Height();
  ASSERT_GT(d, 0);
  EXPECT_EQ(chooser.rcDlgBefore.Height() + d, chooser.rcDlgAfter.Height());
  EXPECT_EQ(chooser.rcListBefore.TopLeft(), chooser.rcListAfter.TopLeft());
  EXPECT_EQ(2 * d, chooser.rcListAfter.Height());
  EXPECT_EQ(chooser.rcOkBefore.top + d, chooser.rcOkAfter.top);
  EXPECT_EQ(chooser.rcOkBefore.left, chooser.rcOkAfter.left);
}

TEST(PathValidation, QuestionMarksMissingFilesAndFolders) {
  ScratchFile file("在.cue", "x");
  const std::string missing = file.Folder() + "\\missing.cue";
  const std::string questioned = file.Folder() + "\\?.cue";
  struct Row {
    std::string path;
    BOOL bOpen;
    BOOL bValid;
    std::string message;  // empty: no box
  };
  const Row rows[] = {
      // usable paths
      {file.Path(), TRUE, TRUE, ""},
      {file.Folder(), TRUE, TRUE, ""},
      {missing, FALSE, TRUE, ""},
      // a '?' (a character the code page could not hold), in either mode: the path on the second line
      {questioned, TRUE, FALSE, "路径含无效字符（?）：\r\n" + questioned},
      {questioned, FALSE, FALSE, "路径含无效字符（?）：\r\n" + questioned},
      // nothing there, in open mode
      {missing, TRUE, FALSE, "指定的文件不存在或文件名异常。"},
  };
  for (const Row& row : rows) {
    MessageBoxRecorder recorder;
    EXPECT_EQ(row.bValid, IsValidPath(row.path.c_str(), row.bOpen)) << row.path;
    if (row.message.empty()) {
      EXPECT_TRUE(recorder.boxes.empty()) << row.path;
    } else {
      ASSERT_EQ(1u, recorder.boxes.size()) << row.path;
      EXPECT_EQ(row.message, recorder.boxes[0].text);
      EXPECT_EQ(UINT(MB_OK | MB_ICONEXCLAMATION), recorder.boxes[0].type);
    }
  }
}

TEST(PathValidation, TheVersionTestAnswersYesOnThisSystemEveryTime) {
  EXPECT_TRUE(IsWin2000OrLater());
  EXPECT_TRUE(IsWin2000OrLater());
}
