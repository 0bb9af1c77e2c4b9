#include "app/TranscodeDlg.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

#include "app/ConversionChoice.h"
#include "app/SheetFolder.h"
#include "app/SingleFileSel.h"
#include "app/TextBox.h"
#include "app/Texts.h"
#include "engine/bytes.h"
#include "engine/conversions.h"
#include "engine/cue_sheet.h"
#include "engine/western.h"
#include "res/resource.h"

namespace {

constexpr UINT kLoadCommand = ID_LOAD_COMMAND;
constexpr COLORREF kRed = RGB(255, 0, 0);

struct Conversion {
  int choice;
  void (*routine)(const char* input, char* output);
  Cause cause;  // whose code page spells the FILE names of the bytes as loaded
};

constexpr Conversion kConversions[] = {
    {kChoiceBig5, Big5ToGbkSimplified, Cause::kBig5},
    {kChoiceWestern, WesternToAscii, Cause::kWestern},
    {kChoiceShiftJis, ShiftJisToGbk, Cause::kShiftJis},
    {kChoiceUtf8, Utf8ToGbk, Cause::kUtf8},
};

}  // namespace

CTranscodeDlg::Probes CTranscodeDlg::s_probes = {ProbeBig5Support, ProbeShiftJisSupport};

BEGIN_MESSAGE_MAP(CTranscodeDlg, CSizingDialog)
  ON_WM_PAINT()
  ON_WM_QUERYDRAGICON()
  ON_WM_DESTROY()
  ON_BN_CLICKED(IDC_OPEN, OnOpen)
  ON_BN_CLICKED(IDC_SAVE, OnSave)
  ON_CBN_SELCHANGE(IDC_CHOICE, Transcode)
  ON_WM_CTLCOLOR()
  ON_WM_ACTIVATE()
  ON_WM_DROPFILES()
  ON_COMMAND(kLoadCommand, OnLoadCommand)
END_MESSAGE_MAP()

CTranscodeDlg::CTranscodeDlg(CWnd* pParent)
    : CSizingDialog(IDD_LUMARET_DIALOG, pParent), m_wndPath(DT_NOPREFIX | DT_VCENTER, FALSE) {
  m_hIcon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

CTranscodeDlg::~CTranscodeDlg() = default;

void CTranscodeDlg::DoDataExchange(CDataExchange* pDX) {
  CSizingDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_CHOICE, m_wndChoice);
  DDX_CBIndex(pDX, IDC_CHOICE, m_nChoice);
  DDX_Text(pDX, IDC_PATH, m_strPath);
  DDX_TextBox(pDX, IDC_TEXT, m_strShown, m_strBoxEcho);
}

BOOL CTranscodeDlg::OnInitDialog() {
  CSizingDialog::OnInitDialog();

  SetIcon(m_hIcon, TRUE);
  SetIcon(m_hIcon, FALSE);

  HINSTANCE hInst = AfxGetResourceHandle();
  m_hIconOpen = static_cast<HICON>(::LoadImageA(hInst, MAKEINTRESOURCEA(IDI_OPEN), IMAGE_ICON, 0, 0, 0));
  SendDlgItemMessageA(m_hWnd, IDC_OPEN, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(m_hIconOpen));
  m_hIconSave = static_cast<HICON>(::LoadImageA(hInst, MAKEINTRESOURCEA(IDI_SAVE), IMAGE_ICON, 0, 0, 0));
  SendDlgItemMessageA(m_hWnd, IDC_SAVE, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(m_hIconSave));

  m_wndPath.SubclassDlgItem(IDC_PATH, this);
  m_wndPath.m_bPathEllipsis = TRUE;
  m_wndInfo.SubclassDlgItem(IDC_INFO, this);

  // A larger face for the text than for the labels; the sign of the height says how it is measured.
  LOGFONTA lf{};
  if (HFONT hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT, 0, 0))) {
    ::GetObjectA(hFont, sizeof lf, &lf);
    lf.lfHeight += lf.lfHeight < 0 ? -4 : 4;
    m_fontText.CreateFontIndirect(&lf);
    GetDlgItem(IDC_TEXT)->SetFont(&m_fontText, TRUE);
  }
  // Rich edit 1.0 refuses typing beyond 32K characters unless told otherwise; a loaded file may be larger.
  SendDlgItemMessageA(m_hWnd, IDC_TEXT, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);

  SetupChoices();

  if (!m_strPath.empty()) PostMessage(WM_COMMAND, MAKEWPARAM(kLoadCommand, 0), 0);
  return TRUE;
}

void CTranscodeDlg::SetupChoices() {
  const int big5 = s_probes.big5();
  const int shiftJis = s_probes.shiftJis();

  CWnd* pHint = GetDlgItem(IDC_HINT);
  if (big5 == 1 && shiftJis == 1) {
    CRect rcHint, rcText;
    pHint->GetWindowRect(&rcHint);
    ScreenToClient(&rcHint);
    CWnd* pText = GetDlgItem(IDC_TEXT);
    pText->GetWindowRect(&rcText);
    ScreenToClient(&rcText);
    rcText.top = rcHint.top;
    pText->MoveWindow(&rcText, TRUE);
    pHint->ShowWindow(SW_HIDE);
  } else {
    std::string hint = Texts::kHintStart;
    if (big5 == 0) {
      hint += Texts::kChoiceBig5;
      if (shiftJis == 0) {
        hint += Texts::kHintJoin;
        hint += Texts::kChoiceShiftJis;
      }
    } else {
      hint += Texts::kChoiceShiftJis;
    }
    hint += Texts::kHintEnd;
    pHint->SetWindowText(hint.c_str());
  }

  m_wndChoice.SetItemData(0, kChoiceNone);
  if (big5 == 1) m_wndChoice.SetItemData(m_wndChoice.AddString(Texts::kChoiceBig5), kChoiceBig5);
  m_wndChoice.SetItemData(m_wndChoice.AddString(Texts::kChoiceWestern), kChoiceWestern);
  if (shiftJis == 1) m_wndChoice.SetItemData(m_wndChoice.AddString(Texts::kChoiceShiftJis), kChoiceShiftJis);
  m_wndChoice.SetItemData(m_wndChoice.AddString(Texts::kChoiceUtf8), kChoiceUtf8);
}

void CTranscodeDlg::OnOK() {}

void CTranscodeDlg::OnCancel() { CSizingDialog::OnCancel(); }

void CTranscodeDlg::OnSizeDelta(int dx, int dy) { GrowControl(dx, dy, IDC_TEXT); }

void CTranscodeDlg::LoadFile() {
  // A read that fails, a file too large or a lack of memory ends the load early: the new path then stands
  // with no text, never with the previous file's, which a conversion would show and a save would write there.
  m_strLoaded.clear();
  m_strShown.clear();
  UpdateData(FALSE);

  CFile file;
  if (file.Open(m_strPath.c_str(), CFile::modeRead | CFile::shareDenyWrite)) {
    const ULONGLONG length = file.GetLength();
    if (length > 0) {
      if (length >= 0xFFFFFFFFull) AfxThrowMemoryException();
      std::string bytes(static_cast<std::size_t>(length), '\0');
      const UINT got = file.Read(bytes.data(), static_cast<UINT>(length));
      bytes.resize(got);
      CutAtFirstNul(bytes);
      m_strShown = std::move(bytes);
    }
    file.Close();
  }

  UpdateData(FALSE);
  m_strLoaded = m_strShown;

  CHARRANGE none{-1, 0};
  SendDlgItemMessageA(m_hWnd, IDC_TEXT, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&none));
  if (m_nChoice != 0) Transcode();
  const LRESULT firstLine = SendDlgItemMessageA(m_hWnd, IDC_TEXT, EM_GETFIRSTVISIBLELINE, 0, 0);
  if (firstLine > 0) SendDlgItemMessageA(m_hWnd, IDC_TEXT, EM_LINESCROLL, 0, -firstLine);
}

void CTranscodeDlg::Transcode() {
  UpdateData(TRUE);
  // CB_ERR (-1) for a missing selection, like any other unknown value, shows the text as loaded.
  const auto choice = static_cast<int>(m_wndChoice.GetItemData(m_nChoice));
  const auto* conversion = std::find_if(std::begin(kConversions), std::end(kConversions),
                                        [choice](const Conversion& c) { return c.choice == choice; });
  if (conversion == std::end(kConversions)) {
    m_strShown = m_strLoaded;
  } else {
    std::vector<char> work(OutputRoom(conversion->routine, m_strLoaded.size()));
    conversion->routine(m_strLoaded.c_str(), work.data());
    m_strShown.assign(work.data());
    // A sheet's FILE lines must go on naming the audio files beside it, whatever the conversion did to them.
    if (IsCueSheetName(m_strPath)) {
      const CSheetFolder folder(m_strPath);
      m_strShown = KeepFileNames(m_strLoaded, m_strShown, conversion->cause,
                                 [&folder](std::u16string_view name) { return folder.Holds(name); });
    }
  }
  UpdateData(FALSE);
}

void CTranscodeDlg::OnOpen() {
  CSingleFileSel chooser(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, Texts::kChooserFilter, this);
  chooser.m_ofn.lpstrTitle = Texts::kChooserTitle;
  if (chooser.DoModal() != IDOK) return;
  m_strPath = chooser.GetPathName();
  LoadFile();
}

void CTranscodeDlg::OnSave() {
  UpdateData(TRUE);
  if (m_strPath.empty()) {
    AfxMessageBox(Texts::kSaveNoPath);
    return;
  }
  if (m_strShown.empty()) {
    AfxMessageBox(Texts::kSaveEmpty);
    return;
  }
  if (AfxMessageBox(Texts::kSaveConfirm, MB_YESNO) != IDYES) return;

  // The file is not cut before the new text has its room: a full disk then fails the save with the old text
  // still in place, where cutting first would lose it.
  CFile file;
  if (!file.Open(m_strPath.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite)) {
    AfxMessageBox(Texts::kSaveFailed);
    return;
  }
  const ULONGLONG length = m_strShown.size();
  if (file.GetLength() < length) file.SetLength(length);
  file.Seek(0);
  file.Write(m_strShown.data(), static_cast<UINT>(length));
  file.SetLength(length);
  file.Close();
  AfxMessageBox(Texts::kSaveDone);
}

// The dialog manager gives the focus back to the window that had it, and the text box is a new window after
// every fill: a file dropped from another program would send the user back to the open button.
void CTranscodeDlg::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized) {
  if (nState == WA_INACTIVE) m_bTextFocused = ::GetFocus() == ::GetDlgItem(m_hWnd, IDC_TEXT);
  CSizingDialog::OnActivate(nState, pWndOther, bMinimized);
  if (nState != WA_INACTIVE && !bMinimized && m_bTextFocused) ::SetFocus(::GetDlgItem(m_hWnd, IDC_TEXT));
}

namespace {

// PathIsDirectoryA answers no for a name of MAX_PATH bytes or more, so a deep folder would be taken for a file;
// the wide call on the long-path form of the name has no such limit.
bool IsFolder(const std::string& name) {
  if (name.size() < MAX_PATH) return ::PathIsDirectoryA(name.c_str()) != FALSE;
  const int units = ::MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, nullptr, 0);
  if (units <= 0) return false;
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, wide.data(), units);
  wide.pop_back();
  const bool unc = wide.compare(0, 2, L"\\\\") == 0;
  const std::wstring longForm = unc ? L"\\\\?\\UNC\\" + wide.substr(2) : L"\\\\?\\" + wide;
  const DWORD attributes = ::GetFileAttributesW(longForm.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

void CTranscodeDlg::OnDropFiles(HDROP hDropInfo) {
  const UINT count = ::DragQueryFileA(hDropInfo, 0xFFFFFFFF, nullptr, 0);
  std::string taken;
  for (UINT i = 0; i < count && taken.empty(); ++i) {
    // The whole name, however long: a name cut at MAX_PATH could name another file.
    const UINT length = ::DragQueryFileA(hDropInfo, i, nullptr, 0);
    if (length == 0) continue;
    std::string name(length + 1, '\0');
    name.resize(::DragQueryFileA(hDropInfo, i, name.data(), length + 1));
    if (!IsFolder(name)) taken = std::move(name);
  }
  ::DragFinish(hDropInfo);
  if (taken.empty() || !IsRepresentablePath(taken.c_str())) return;
  m_strPath = std::move(taken);
  LoadFile();
}

void CTranscodeDlg::OnLoadCommand() {
  // Refused as the file chooser refuses it: the dialog stays as it started, with no file.
  if (!IsRepresentablePath(m_strPath.c_str())) {
    m_strPath.clear();
    UpdateData(FALSE);
    return;
  }
  LoadFile();
}

HBRUSH CTranscodeDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  HBRUSH hBrush = CSizingDialog::OnCtlColor(pDC, pWnd, nCtlColor);
  const int id = pWnd->GetDlgCtrlID();
  if (id == IDC_NOTE || id == IDC_HINT) pDC->SetTextColor(kRed);
  return hBrush;
}

void CTranscodeDlg::OnPaint() {
  if (!IsIconic()) {
    CSizingDialog::OnPaint();
    return;
  }
  CPaintDC dc(this);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
  const int cxIcon = ::GetSystemMetrics(SM_CXICON);
  const int cyIcon = ::GetSystemMetrics(SM_CYICON);
  CRect rc;
  GetClientRect(&rc);
  dc.DrawIcon((rc.Width() - cxIcon + 1) / 2, (rc.Height() - cyIcon + 1) / 2, m_hIcon);
}

HCURSOR CTranscodeDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

void CTranscodeDlg::OnDestroy() {
  CSizingDialog::OnDestroy();
  if (m_hIconOpen) ::DestroyIcon(m_hIconOpen);
  if (m_hIconSave) ::DestroyIcon(m_hIconSave);
  m_hIconOpen = m_hIconSave = nullptr;
  m_fontText.DeleteObject();
}
