// Dialogs: the modal loop, the initial list data and the data exchange.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "test_resource.h"

namespace {

constexpr UINT WM_TEST_STEP = WM_APP + 20;  // runs the test's next step inside the modal loop
constexpr UINT WM_TEST_END = WM_APP + 21;   // ends the dialog with the wParam

// Records what PreTranslateMessage sees of the test messages (WM_KEYDOWN of 'Q' and F1).
std::vector<std::string> g_preTranslated;

bool IsWatched(const MSG* pMsg) {
  return pMsg->message == WM_KEYDOWN && (pMsg->wParam == 'Q' || pMsg->wParam == VK_F1);
}

class CWatchingEdit : public CWnd {
 public:
  int nPreSubclass = 0;
  bool bEatQ = false;

 protected:
  void PreSubclassWindow() override { ++nPreSubclass; }
  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (IsWatched(pMsg)) g_preTranslated.push_back("edit");
    return bEatQ && pMsg->wParam == 'Q';
  }
};

class CTestDlg : public CDialog {
 public:
  explicit CTestDlg(CWnd* pParent = nullptr) : CDialog(IDD_FW_TEST, pParent) {}

  std::string m_strText;
  int m_nIndex = 0;
  CWatchingEdit m_wndEdit;
  std::vector<int> comboCountAtLoad;  // the combo box's item count at each exchange towards the controls
  std::function<void(CTestDlg&)> onInit;
  std::vector<std::function<void(CTestDlg&)>> steps;
  bool bThrowInPreTranslate = false;
  int nThrowClicks = 0;

  HWND Item(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
  // Posts the next step behind whatever is queued now.
  void PostStep() { PostMessage(WM_TEST_STEP); }

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    if (!pDX->m_bSaveAndValidate)
      comboCountAtLoad.push_back(int(::SendMessageA(Item(IDC_FW_COMBO), CB_GETCOUNT, 0, 0)));
    DDX_Control(pDX, IDC_FW_EDIT, m_wndEdit);
    DDX_CBIndex(pDX, IDC_FW_COMBO, m_nIndex);
    DDX_Text(pDX, IDC_FW_EDIT, m_strText);
  }
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    if (onInit) onInit(*this);
    return TRUE;
  }
  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (IsWatched(pMsg)) g_preTranslated.push_back("dialog");
    if (bThrowInPreTranslate && IsWatched(pMsg))
      AfxThrowFileException(CFileException::hardIO, ERROR_CRC, "D:\\disc.cue");
    return FALSE;
  }
  LRESULT OnStep(WPARAM, LPARAM) {
    if (!steps.empty()) {
      auto step = steps.front();
      steps.erase(steps.begin());
      step(*this);
    }
    return 0;
  }
  LRESULT OnEnd(WPARAM wParam, LPARAM) {
    EndDialog(int(wParam));
    return 0;
  }
  void OnThrow() {
    ++nThrowClicks;
    AfxThrowFileException(CFileException::sharingViolation, ERROR_SHARING_VIOLATION, "C:\\音乐\\a.cue");
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestDlg, CDialog)
  ON_MESSAGE(WM_TEST_STEP, OnStep)
  ON_MESSAGE(WM_TEST_END, OnEnd)
  ON_BN_CLICKED(IDC_FW_THROW, OnThrow)
END_MESSAGE_MAP()

void PostKey(HWND hWnd, WPARAM vk) { ::PostMessageA(hWnd, WM_KEYDOWN, vk, 1); }

void SetShift(bool down) {
  BYTE keys[256];
  ::GetKeyboardState(keys);
  keys[VK_SHIFT] = down ? 0x80 : 0;
  ::SetKeyboardState(keys);
}

// Another top-level window to own the modal dialogs.
class OwnerWindow {
 public:
  OwnerWindow() {
    m_hWnd = ::CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200, nullptr, nullptr,
                               ::GetModuleHandleA(nullptr), nullptr);
    m_wnd.Attach(m_hWnd);
  }
  ~OwnerWindow() { m_wnd.DestroyWindow(); }
  CWnd* operator&() { return &m_wnd; }
  HWND m_hWnd;

 private:
  CWnd m_wnd;
};

}  // namespace

TEST(ModalLoop, PreTranslateMessageSeesEachMessageFromTheTargetUpToTheDialogBeforeDialogNavigation) {
  g_preTranslated.clear();
  CTestDlg dlg;
  dlg.onInit = [](CTestDlg& d) {
    PostKey(d.Item(IDC_FW_EDIT), 'Q');
    d.PostMessage(WM_TEST_END, 77);
  };
  EXPECT_EQ(77, dlg.DoModal());
  EXPECT_EQ((std::vector<std::string>{"edit", "dialog"}), g_preTranslated);
  EXPECT_EQ(nullptr, dlg.m_hWnd);
}

TEST(ModalLoop, AControlThatTakesAMessageInPreTranslateMessageEndsItsWay) {
  g_preTranslated.clear();
  CTestDlg dlg;
  dlg.m_wndEdit.bEatQ = true;
  dlg.onInit = [](CTestDlg& d) {
    PostKey(d.Item(IDC_FW_EDIT), 'Q');
    d.PostMessage(WM_TEST_END, 5);
  };
  EXPECT_EQ(5, dlg.DoModal());
  EXPECT_EQ(std::vector<std::string>{"edit"}, g_preTranslated);
}

TEST(ModalLoop, EscapeAndTheCloseBoxEndTheDialogWithCancel) {
  CTestDlg escaped;
  escaped.onInit = [](CTestDlg& d) { PostKey(d.Item(IDC_FW_EDIT), VK_ESCAPE); };
  EXPECT_EQ(IDCANCEL, escaped.DoModal());

  CTestDlg closed;
  closed.onInit = [](CTestDlg& d) { d.PostMessage(WM_CLOSE); };
  EXPECT_EQ(IDCANCEL, closed.DoModal());
}

TEST(ModalLoop, TheOwnerIsDisabledWhileTheDialogRunsAndEnabledAfterwards) {
  OwnerWindow owner;
  CTestDlg dlg(&owner);
  bool bOwnerEnabledInside = true;
  HWND hOwnerInside = nullptr;
  dlg.onInit = [&](CTestDlg& d) {
    bOwnerEnabledInside = ::IsWindowEnabled(owner.m_hWnd);
    hOwnerInside = ::GetWindow(d.m_hWnd, GW_OWNER);
    d.PostMessage(WM_TEST_END, IDOK);
  };
  EXPECT_EQ(IDOK, dlg.DoModal());
  EXPECT_FALSE(bOwnerEnabledInside);
  EXPECT_EQ(owner.m_hWnd, hOwnerInside);
  EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));

  // Without a parent, the main window owns the dialog.
  AfxGetApp()->m_pMainWnd = &owner;
  CTestDlg orphan;
  orphan.onInit = [&](CTestDlg& d) {
    bOwnerEnabledInside = ::IsWindowEnabled(owner.m_hWnd);
    hOwnerInside = ::GetWindow(d.m_hWnd, GW_OWNER);
    d.EndDialog(IDCANCEL);
  };
  EXPECT_EQ(IDCANCEL, orphan.DoModal());
  AfxGetApp()->m_pMainWnd = nullptr;
  EXPECT_FALSE(bOwnerEnabledInside);
  EXPECT_EQ(owner.m_hWnd, hOwnerInside);
  EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
}

TEST(ModalLoop, F1WithoutShiftCtrlOrAltSendsTheHelpCommandThroughTheMainWindowToTheApplication) {
  CTestDlg dlg;
  AfxGetApp()->m_pMainWnd = &dlg;
  g_nHelpCommands = 0;
  int nAfterF1 = -1;
  int nAfterShiftF1 = -1;
  dlg.onInit = [](CTestDlg& d) {
    PostKey(d.Item(IDC_FW_EDIT), VK_F1);
    d.PostStep();
  };
  dlg.steps.push_back([&](CTestDlg& d) {
    nAfterF1 = g_nHelpCommands;
    SetShift(true);
    PostKey(d.Item(IDC_FW_EDIT), VK_F1);
    d.PostStep();
  });
  dlg.steps.push_back([&](CTestDlg& d) {
    SetShift(false);
    nAfterShiftF1 = g_nHelpCommands;
    d.EndDialog(IDOK);
  });
  EXPECT_EQ(IDOK, dlg.DoModal());
  AfxGetApp()->m_pMainWnd = nullptr;
  EXPECT_EQ(1, nAfterF1);
  EXPECT_EQ(1, nAfterShiftF1);
}

TEST(ModalLoop, WithoutAHelpFileTheHelpHandlerShowsNothing) {
  const int nWindowsBefore = [] {
    int n = 0;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(), [](HWND, LPARAM p) { return ++*reinterpret_cast<int*>(p), TRUE; },
        reinterpret_cast<LPARAM>(&n));
    return n;
  }();
  ASSERT_FALSE(::PathFileExistsA(AfxGetApp()->m_pszHelpFilePath));
  AfxGetApp()->OnHelp();
  PumpMessages();
  int nWindowsAfter = 0;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(), [](HWND, LPARAM p) { return ++*reinterpret_cast<int*>(p), TRUE; },
      reinterpret_cast<LPARAM>(&nWindowsAfter));
  EXPECT_EQ(nWindowsBefore, nWindowsAfter);
}

TEST(ModalLoop, AnExceptionInAHandlerOrInPreTranslateMessageShowsOneBoxAndTheDialogGoesOn) {
  MessageBoxRecorder recorder;
  CTestDlg dlg;
  bool bAliveAfterHandler = false;
  size_t nBoxesAfterHandler = 0;
  dlg.onInit = [](CTestDlg& d) {
    d.PostMessage(WM_COMMAND, MAKEWPARAM(IDC_FW_THROW, BN_CLICKED), reinterpret_cast<LPARAM>(d.Item(IDC_FW_THROW)));
    d.PostStep();
  };
  dlg.steps.push_back([&](CTestDlg& d) {
    bAliveAfterHandler = ::IsWindowVisible(d.m_hWnd);
    nBoxesAfterHandler = recorder.boxes.size();
    d.bThrowInPreTranslate = true;
    PostKey(d.Item(IDC_FW_EDIT), 'Q');
    d.PostStep();
  });
  dlg.steps.push_back([](CTestDlg& d) { d.EndDialog(9); });

  EXPECT_EQ(9, dlg.DoModal());
  EXPECT_TRUE(bAliveAfterHandler);
  EXPECT_EQ(1u, nBoxesAfterHandler);
  EXPECT_EQ(1, dlg.nThrowClicks);
  ASSERT_EQ(2u, recorder.boxes.size());
  EXPECT_EQ("文件“C:\\音乐\\a.cue”正被其他程序使用（共享冲突）。", recorder.boxes[0].text);
  EXPECT_EQ("访问文件“D:\\disc.cue”时发生硬件错误。", recorder.boxes[1].text);
}

TEST(InitialData, TheListsGetTheTemplatesItemsBeforeTheFirstExchange) {
  CTestDlg dlg;
  ASSERT_TRUE(dlg.Create(IDD_FW_TEST));
  ASSERT_FALSE(dlg.comboCountAtLoad.empty());
  EXPECT_EQ(2, dlg.comboCountAtLoad.front());

  CComboBox* pCombo = static_cast<CComboBox*>(dlg.GetDlgItem(IDC_FW_COMBO));
  std::string item;
  pCombo->GetLBText(0, item);
  EXPECT_EQ("（请选择）", item);
  pCombo->GetLBText(1, item);
  EXPECT_EQ("two", item);
  // The first exchange selected item 0.
  EXPECT_EQ(0, pCombo->GetCurSel());

  EXPECT_EQ(1, ::SendMessageA(dlg.Item(IDC_FW_LIST), LB_GETCOUNT, 0, 0));
  // The record that is not list data was skipped.
  std::string text;
  dlg.GetDlgItem(IDC_FW_EDIT)->GetWindowText(text);
  EXPECT_EQ("", text);
}

TEST(DataExchange, TowardsTheControlsAndBack) {
  CTestDlg dlg;
  dlg.m_strText = "初始";
  ASSERT_TRUE(dlg.Create(IDD_FW_TEST));
  HWND hEdit = dlg.Item(IDC_FW_EDIT);
  HWND hCombo = dlg.Item(IDC_FW_COMBO);

  // Towards the controls, as the dialog initialised.
  char buffer[64] = {};
  ::GetWindowTextA(hEdit, buffer, sizeof buffer);
  EXPECT_STREQ("初始", buffer);
  EXPECT_EQ(0, ::SendMessageA(hCombo, CB_GETCURSEL, 0, 0));

  // From the controls.
  ::SetWindowTextA(hEdit, "乱码 text");
  ::SendMessageA(hCombo, CB_SETCURSEL, 1, 0);
  dlg.UpdateData(TRUE);
  EXPECT_EQ("乱码 text", dlg.m_strText);
  EXPECT_EQ(1, dlg.m_nIndex);

  ::SendMessageA(hCombo, CB_SETCURSEL, WPARAM(-1), 0);
  dlg.UpdateData(TRUE);
  EXPECT_EQ(-1, dlg.m_nIndex);

  // Towards the controls again.
  dlg.m_strText = "";
  dlg.m_nIndex = 1;
  dlg.UpdateData(FALSE);
  EXPECT_EQ(0, ::GetWindowTextLengthA(hEdit));
  EXPECT_EQ(1, ::SendMessageA(hCombo, CB_GETCURSEL, 0, 0));

  // The control was attached by the first exchange only.
  EXPECT_EQ(hEdit, dlg.m_wndEdit.m_hWnd);
  EXPECT_EQ(1, dlg.m_wndEdit.nPreSubclass);
}

TEST(DataExchange, OnOKTakesTheControlsFirst) {
  CTestDlg dlg;
  dlg.onInit = [](CTestDlg& d) {
    ::SetWindowTextA(d.Item(IDC_FW_EDIT), "typed");
    d.PostMessage(WM_COMMAND, IDOK);
  };
  EXPECT_EQ(IDOK, dlg.DoModal());
  EXPECT_EQ("typed", dlg.m_strText);
}
