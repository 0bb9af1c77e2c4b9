// Message maps, subclassing and reflection.
#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "test_resource.h"

namespace {

// A window class of our own whose procedure answers WM_APP + 9 with 42 and counts what it sees, so that a
// test can tell what reached the procedure that subclassing replaced.
int g_nOriginalCalls = 0;

LRESULT CALLBACK OriginalProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  ++g_nOriginalCalls;
  if (message == WM_APP + 9) return 42;
  return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

HWND CreateOriginalWindow() {
  static const ATOM atom = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = OriginalProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "FrameworkTestOriginal";
    return ::RegisterClassA(&wc);
  }();
  return ::CreateWindowExA(0, MAKEINTATOM(atom), "", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                           ::GetModuleHandleA(nullptr), nullptr);
}

class CBaseWnd : public CWnd {
 public:
  std::vector<std::string> calls;
  HWND hWndAtPreSubclass = nullptr;
  bool bAttachedAtPreSubclass = false;
  bool bProcReplacedAtPreSubclass = false;
  int nPreSubclass = 0;

 protected:
  void PreSubclassWindow() override {
    ++nPreSubclass;
    hWndAtPreSubclass = m_hWnd;
    bAttachedAtPreSubclass = FromHandlePermanent(m_hWnd) == this;
    bProcReplacedAtPreSubclass = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC)) == &AfxWndProc;
    CWnd::PreSubclassWindow();
  }
  LRESULT OnFirst(WPARAM, LPARAM) {
    calls.push_back("base first");
    return 1;
  }
  LRESULT OnSecond(WPARAM, LPARAM) {
    calls.push_back("base second");
    return 2;
  }
  void OnDestroy() {
    calls.push_back("destroy");
    CWnd::OnDestroy();
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
  ON_MESSAGE(WM_APP + 1, OnFirst)
  ON_MESSAGE(WM_APP + 2, OnSecond)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd {
 protected:
  LRESULT OnSecond(WPARAM wParam, LPARAM) {
    calls.push_back("derived second");
    return LRESULT(wParam) * 10;
  }
  LRESULT OnThird(WPARAM, LPARAM) {
    calls.push_back("derived third");
    return Default();
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
  ON_MESSAGE(WM_APP + 2, OnSecond)
  ON_MESSAGE(WM_APP + 9, OnThird)
END_MESSAGE_MAP()

}  // namespace

TEST(MessageMap, DerivedEntriesComeFirstAndTheBaseMapAndThePreviousProcedureFollow) {
  HWND hWnd = CreateOriginalWindow();
  CDerivedWnd wnd;
  ASSERT_TRUE(wnd.SubclassWindow(hWnd));

  // Only in the base map.
  EXPECT_EQ(1, ::SendMessageA(hWnd, WM_APP + 1, 0, 0));
  // In both: the derived entry wins, and gets the message's parameters.
  EXPECT_EQ(70, ::SendMessageA(hWnd, WM_APP + 2, 7, 0));
  // The handler's Default() reaches the procedure subclassing replaced.
  g_nOriginalCalls = 0;
  EXPECT_EQ(42, ::SendMessageA(hWnd, WM_APP + 9, 0, 0));
  EXPECT_EQ(1, g_nOriginalCalls);
  // In no map: straight to the previous procedure.
  EXPECT_EQ(0, ::SendMessageA(hWnd, WM_APP + 5, 0, 0));
  EXPECT_EQ(2, g_nOriginalCalls);

  EXPECT_EQ((std::vector<std::string>{"base first", "derived second", "derived third"}), wnd.calls);
  ::DestroyWindow(hWnd);
}

TEST(Subclassing, PreSubclassWindowRunsWhileAttachingBeforeTheProcedureIsReplaced) {
  HWND hWnd = CreateOriginalWindow();
  CBaseWnd wnd;
  ASSERT_TRUE(wnd.SubclassWindow(hWnd));

  EXPECT_EQ(1, wnd.nPreSubclass);
  EXPECT_EQ(hWnd, wnd.hWndAtPreSubclass);
  EXPECT_TRUE(wnd.bAttachedAtPreSubclass);
  EXPECT_FALSE(wnd.bProcReplacedAtPreSubclass);
  EXPECT_EQ(&AfxWndProc, reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC)));
  EXPECT_EQ(&wnd, CWnd::FromHandlePermanent(hWnd));

  // A second object cannot take the same window.
  CBaseWnd other;
  EXPECT_FALSE(other.SubclassWindow(hWnd));
  EXPECT_EQ(0, other.nPreSubclass);
  ::DestroyWindow(hWnd);
}

TEST(Subclassing, DestroyingTheWindowLetsGoOfTheObject) {
  HWND hWnd = CreateOriginalWindow();
  CBaseWnd wnd;
  ASSERT_TRUE(wnd.SubclassWindow(hWnd));
  ::DestroyWindow(hWnd);

  EXPECT_EQ(nullptr, wnd.m_hWnd);
  EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
  EXPECT_EQ(std::vector<std::string>{"destroy"}, wnd.calls);
}

TEST(Subclassing, DestroyingTheObjectGivesTheWindowItsProcedureBack) {
  HWND hWnd = CreateOriginalWindow();
  {
    CBaseWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(hWnd));
  }
  EXPECT_EQ(&OriginalProc, reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC)));
  EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
  EXPECT_EQ(42, ::SendMessageA(hWnd, WM_APP + 9, 0, 0));
  ::DestroyWindow(hWnd);
}

TEST(Subclassing, FromHandleWrapsAWindowWithoutObject) {
  HWND hWnd = CreateOriginalWindow();
  CWnd* pTemp = CWnd::FromHandle(hWnd);
  ASSERT_NE(nullptr, pTemp);
  EXPECT_EQ(hWnd, pTemp->m_hWnd);
  EXPECT_EQ(pTemp, CWnd::FromHandle(hWnd));
  EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
  EXPECT_EQ(nullptr, CWnd::FromHandle(nullptr));

  // An object attached later is found first.
  CBaseWnd wnd;
  ASSERT_TRUE(wnd.SubclassWindow(hWnd));
  EXPECT_EQ(&wnd, CWnd::FromHandle(hWnd));
  ::DestroyWindow(hWnd);
}

namespace {

// A static with reflected entries; CtlColor answers its own brush unless told to pass.
class CReflectingStatic : public CStatic {
 public:
  int nClicks = 0;
  int nColourRequests = 0;
  bool bAnswerBrush = true;
  HBRUSH hBrush = ::CreateSolidBrush(RGB(1, 2, 3));
  ~CReflectingStatic() override { ::DeleteObject(hBrush); }

 protected:
  void OnClicked() { ++nClicks; }
  HBRUSH CtlColor(CDC*, UINT nCtlColor) {
    ++nColourRequests;
    EXPECT_EQ(UINT(CTLCOLOR_STATIC), nCtlColor);
    return bAnswerBrush ? hBrush : nullptr;
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectingStatic, CStatic)
  ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
  ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class CReflectDlg : public CDialog {
 public:
  CReflectDlg() : CDialog(IDD_FW_TEST) {}
  std::vector<int> parentClicks;
  std::vector<HWND> parentColourWindows;
  CReflectingStatic notify;

 protected:
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    notify.SubclassDlgItem(IDC_FW_NOTIFY, this);
    return TRUE;
  }
  void OnNotifyClicked() { parentClicks.push_back(IDC_FW_NOTIFY); }
  void OnPlainClicked() { parentClicks.push_back(IDC_FW_PLAIN); }
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    parentColourWindows.push_back(pWnd->m_hWnd);
    return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectDlg, CDialog)
  ON_STN_CLICKED(IDC_FW_NOTIFY, OnNotifyClicked)
  ON_STN_CLICKED(IDC_FW_PLAIN, OnPlainClicked)
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

}  // namespace

TEST(Reflection, AClickOnAControlWithAnObjectReachesTheControlAndNotTheParent) {
  CReflectDlg dlg;
  ASSERT_TRUE(dlg.Create(IDD_FW_TEST));
  HWND hNotify = ::GetDlgItem(dlg.m_hWnd, IDC_FW_NOTIFY);
  HWND hPlain = ::GetDlgItem(dlg.m_hWnd, IDC_FW_PLAIN);

  // The static control itself reports the click to its parent (SS_NOTIFY).
  ::SendMessageA(hNotify, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  ::SendMessageA(hNotify, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(1, dlg.notify.nClicks);
  EXPECT_TRUE(dlg.parentClicks.empty());

  // A control without an object leaves the notification to the parent's map.
  ::SendMessageA(hPlain, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  ::SendMessageA(hPlain, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(std::vector<int>{IDC_FW_PLAIN}, dlg.parentClicks);
  EXPECT_EQ(1, dlg.notify.nClicks);
}

TEST(Reflection, AColourRequestGoesToTheControlFirstAndToTheParentWhenItAnswersNoBrush) {
  CReflectDlg dlg;
  ASSERT_TRUE(dlg.Create(IDD_FW_TEST));
  HWND hNotify = ::GetDlgItem(dlg.m_hWnd, IDC_FW_NOTIFY);
  HWND hPlain = ::GetDlgItem(dlg.m_hWnd, IDC_FW_PLAIN);
  // Painting asks for colours too; only the requests below count.
  ::UpdateWindow(dlg.m_hWnd);
  PumpMessages();
  dlg.parentColourWindows.clear();
  dlg.notify.nColourRequests = 0;
  HDC hDC = ::GetDC(dlg.m_hWnd);

  EXPECT_EQ(
      reinterpret_cast<LRESULT>(dlg.notify.hBrush),
      ::SendMessageA(dlg.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hDC), reinterpret_cast<LPARAM>(hNotify)));
  EXPECT_TRUE(dlg.parentColourWindows.empty());

  ::SendMessageA(dlg.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hDC), reinterpret_cast<LPARAM>(hPlain));
  EXPECT_EQ(std::vector<HWND>{hPlain}, dlg.parentColourWindows);

  dlg.notify.bAnswerBrush = false;
  const LRESULT brush =
      ::SendMessageA(dlg.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hDC), reinterpret_cast<LPARAM>(hNotify));
  EXPECT_NE(0, brush);
  EXPECT_EQ((std::vector<HWND>{hPlain, hNotify}), dlg.parentColourWindows);
  EXPECT_EQ(2, dlg.notify.nColourRequests);
  ::ReleaseDC(dlg.m_hWnd, hDC);
}

namespace {

class CThrowingWnd : public CWnd {
 public:
  std::string path;
  int nPaints = 0;
  int nPings = 0;

 protected:
  LRESULT OnFileError(WPARAM, LPARAM) {
    CFile file;
    if (!file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite)) return -1;
    file.Write("x", 1);  // opened for reading only: throws
    return 1;
  }
  LRESULT OnNoMemory(WPARAM, LPARAM) { throw std::bad_alloc(); }
  LRESULT OnPing(WPARAM, LPARAM) { return ++nPings; }
  void OnPaint() {
    ++nPaints;
    AfxThrowMemoryException();
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CThrowingWnd, CWnd)
  ON_MESSAGE(WM_APP + 1, OnFileError)
  ON_MESSAGE(WM_APP + 2, OnNoMemory)
  ON_MESSAGE(WM_APP + 3, OnPing)
  ON_WM_PAINT()
END_MESSAGE_MAP()

}  // namespace

TEST(HandlerExceptions, AFileErrorInAHandlerShowsOneBoxNamingTheFileAndTheWindowGoesOn) {
  ScratchFile file("只读.cue", "abc");
  MessageBoxRecorder recorder;
  HWND hWnd = CreateOriginalWindow();
  CThrowingWnd wnd;
  wnd.path = file.Path();
  ASSERT_TRUE(wnd.SubclassWindow(hWnd));

  EXPECT_EQ(0, ::SendMessageA(hWnd, WM_APP + 1, 0, 0));
  ASSERT_EQ(1u, recorder.boxes.size());
  EXPECT_EQ("拒绝访问文件“" + file.Path() + "”。", recorder.boxes[0].text);
  EXPECT_EQ(UINT(MB_OK | MB_ICONEXCLAMATION), recorder.boxes[0].type);

  EXPECT_EQ(0, ::SendMessageA(hWnd, WM_APP + 2, 0, 0));
  ASSERT_EQ(2u, recorder.boxes.size());
  EXPECT_EQ("内存不足，操作无法完成。", recorder.boxes[1].text);

  EXPECT_EQ(1, ::SendMessageA(hWnd, WM_APP + 3, 0, 0));
  ::DestroyWindow(hWnd);
}

TEST(HandlerExceptions, APaintHandlerThatThrowsIsNotCalledAgainAndAgain) {
  MessageBoxRecorder recorder;
  HWND hWnd = CreateOriginalWindow();
  CThrowingWnd wnd;
  ASSERT_TRUE(wnd.SubclassWindow(hWnd));
  ::ShowWindow(hWnd, SW_SHOWNA);
  ::InvalidateRect(hWnd, nullptr, TRUE);
  ::UpdateWindow(hWnd);
  PumpMessages();
  PumpMessages();

  EXPECT_EQ(1, wnd.nPaints);
  EXPECT_EQ(1u, recorder.boxes.size());
  ::DestroyWindow(hWnd);
}
