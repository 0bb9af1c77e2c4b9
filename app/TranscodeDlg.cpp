#include "app/TranscodeDlg.h"

#include <cstdio>
#include <iterator>

#include "app/SingleFileSel.h"
#include "app/TextBox.h"
#include "app/Texts.h"
#include "engine/conversions.h"
#include "res/resource.h"

namespace {

constexpr UINT kLoadCommand = ID_LOAD_COMMAND;
constexpr COLORREF kRed = RGB(255, 0, 0);

// The item whose data is the value: selected towards the control (none when no item carries it); from the
// control, the data of the selected item, -1 when none is selected.
void DDX_CBItemData(CDataExchange* pDX, int nIDC, int& value) {
  HWND hCombo = pDX->PrepareCtrl(nIDC);
  if (hCombo == nullptr) return;
  if (pDX->m_bSaveAndValidate) {
    const LRESULT index = ::SendMessageA(hCombo, CB_GETCURSEL, 0, 0);
    value = index == CB_ERR ? -1 : static_cast<int>(::SendMessageA(hCombo, CB_GETITEMDATA, index, 0));
    return;
  }
  const LRESULT count = ::SendMessageA(hCombo, CB_GETCOUNT, 0, 0);
  LRESULT index = 0;
  while (index < count && ::SendMessageA(hCombo, CB_GETITEMDATA, index, 0) != value) ++index;
  ::SendMessageA(hCombo, CB_SETCURSEL, index < count ? index : -1, 0);
}

// Towards the control only: the user cannot change the text.
void DDX_Shown(CDataExchange* pDX, int nIDC, const std::string& value) {
  if (pDX->m_bSaveAndValidate) return;
  if (HWND hControl = pDX->PrepareCtrl(nIDC)) ::SetWindowTextA(hControl, value.c_str());
}

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
  DDX_Control(pDX, IDC_TARGET, m_wndTarget);
  DDX_CBItemData(pDX, IDC_CHOICE, m_doc.m_choice);
  DDX_CBItemData(pDX, IDC_TARGET, m_doc.m_target);
  DDX_Shown(pDX, IDC_PATH, m_doc.m_path);
  DDX_Shown(pDX, IDC_NOTE, m_doc.Note());
  DDX_TextBox(pDX, IDC_TEXT, m_doc.m_shown, m_strBoxEcho);
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
  // The framework's first exchange ran before the lists had their items.
  UpdateData(FALSE);

  if (!m_doc.m_path.empty()) PostMessage(WM_COMMAND, MAKEWPARAM(kLoadCommand, 0), 0);
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
    const std::string big5Caption = TranscodeDocument::CaptionOf(EncodingOf(Cause::kBig5).choice);
    const std::string shiftJisCaption = TranscodeDocument::CaptionOf(EncodingOf(Cause::kShiftJis).choice);
    std::string hint = Texts::kHintStart;
    if (big5 == 0) {
      hint += big5Caption;
      if (shiftJis == 0) {
        hint += Texts::kJoin;
        hint += shiftJisCaption;
      }
    } else {
      hint += shiftJisCaption;
    }
    hint += Texts::kHintEnd;
    pHint->SetWindowText(hint.c_str());
  }

  m_doc.Offer(big5 == 1, shiftJis == 1);
  m_wndChoice.SetItemData(0, 0);
  for (int choice : m_doc.Offered())
    m_wndChoice.SetItemData(m_wndChoice.AddString(TranscodeDocument::CaptionOf(choice).c_str()), choice);
  for (std::size_t i = 0; i < std::size(kSaveTargets); ++i)
    m_wndTarget.SetItemData(m_wndTarget.AddString(kSaveTargets[i].caption), i);
}

void CTranscodeDlg::OnOK() {}

void CTranscodeDlg::OnCancel() { CSizingDialog::OnCancel(); }

void CTranscodeDlg::OnSizeDelta(int dx, int dy) {
  // The two top rows keep their height; the path and the note take the width, what stands right of them moves.
  for (UINT id : {IDC_FILE_GROUP, IDC_PATH, IDC_CAUSE_GROUP, IDC_NOTE, IDC_HINT}) GrowControl(dx, 0, id);
  for (UINT id : {IDC_OPEN, IDC_INFO, IDC_SAVE_GROUP, IDC_TARGET, IDC_SAVE}) MoveControl(dx, 0, id);
  GrowControl(dx, dy, IDC_TEXT);
}

void CTranscodeDlg::LoadFile() {
  // A read that fails, a file too large or a lack of memory ends the load early: the new path then stands
  // with no text, never with the previous file's, which a conversion would show and a save would write there.
  m_doc.Unload();
  m_doc.m_choice = 0;
  UpdateData(FALSE);

  std::string bytes;
  CFile file;
  if (file.Open(m_doc.m_path.c_str(), CFile::modeRead | CFile::shareDenyWrite)) {
    const ULONGLONG length = file.GetLength();
    if (length > 0) {
      if (length >= 0xFFFFFFFFull) AfxThrowMemoryException();
      bytes.assign(static_cast<std::size_t>(length), '\0');
      bytes.resize(file.Read(bytes.data(), static_cast<UINT>(length)));
    }
    file.Close();
  }

  // The guess is made on the bytes as loaded, before they show: a recognised file shows converted at once.
  m_doc.Load(std::move(bytes));
  UpdateData(FALSE);
  CHARRANGE none{-1, 0};
  SendDlgItemMessageA(m_hWnd, IDC_TEXT, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&none));
  const LRESULT firstLine = SendDlgItemMessageA(m_hWnd, IDC_TEXT, EM_GETFIRSTVISIBLELINE, 0, 0);
  if (firstLine > 0) SendDlgItemMessageA(m_hWnd, IDC_TEXT, EM_LINESCROLL, 0, -firstLine);
}

void CTranscodeDlg::Transcode() {
  UpdateData(TRUE);
  // CB_ERR (-1) for a missing selection, like any other unknown value, shows the text as loaded.
  m_doc.Choose(m_doc.m_choice);
  UpdateData(FALSE);
}

void CTranscodeDlg::OnOpen() {
  CSingleFileSel chooser(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, Texts::kChooserFilter, this);
  chooser.m_ofn.lpstrTitle = Texts::kChooserTitle;
  if (chooser.DoModal() != IDOK) return;
  m_doc.m_path = chooser.GetPathName();
  LoadFile();
}

void CTranscodeDlg::OnSave() {
  UpdateData(TRUE);
  if (m_doc.m_path.empty()) {
    AfxMessageBox(Texts::kSaveNoPath);
    return;
  }
  if (m_doc.m_shown.empty()) {
    AfxMessageBox(Texts::kSaveEmpty);
    return;
  }
  if (AfxMessageBox(Texts::kSaveConfirm, MB_YESNO) != IDYES) return;
  if (const auto loss = m_doc.FindNulLoss()) {
    char question[256];
    std::snprintf(question, sizeof question, Texts::kSaveCutAtNul, static_cast<unsigned>(loss->offset),
                  static_cast<unsigned>(loss->lost));
    if (AfxMessageBox(question, MB_YESNO | MB_DEFBUTTON2) != IDYES) return;
  }
  const std::string bytes = m_doc.BytesToSave();

  // The file is not cut before the new text has its room: a full disk then fails the save with the old text
  // still in place, where cutting first would lose it.
  CFile file;
  if (!file.Open(m_doc.m_path.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite)) {
    AfxMessageBox(Texts::kSaveFailed);
    return;
  }
  const ULONGLONG length = bytes.size();
  if (file.GetLength() < length) file.SetLength(length);
  file.Seek(0);
  file.Write(bytes.data(), static_cast<UINT>(length));
  file.SetLength(length);
  file.Close();
  AfxMessageBox(Texts::kSaveDone);
}

// The dialog manager gives the focus back to the window that had it, and the text box is another window after
// a fill, the one before kept hidden: a file dropped from another program would send the focus to the hidden
// box, or, once that is gone, to the open button. The box that shows takes it straight away instead.
void CTranscodeDlg::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized) {
  if (nState == WA_INACTIVE) m_bTextFocused = ::GetFocus() == ::GetDlgItem(m_hWnd, IDC_TEXT);
  if (nState != WA_INACTIVE && !bMinimized && m_bTextFocused) {
    ::SetFocus(::GetDlgItem(m_hWnd, IDC_TEXT));
    return;
  }
  CSizingDialog::OnActivate(nState, pWndOther, bMinimized);
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
  m_doc.m_path = std::move(taken);
  LoadFile();
}

void CTranscodeDlg::OnLoadCommand() {
  // Refused as the file chooser refuses it: the dialog stays as it started, with no file.
  if (!IsRepresentablePath(m_doc.m_path.c_str())) {
    m_doc.m_path.clear();
    UpdateData(FALSE);
    return;
  }
  LoadFile();
}

HBRUSH CTranscodeDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  HBRUSH hBrush = CSizingDialog::OnCtlColor(pDC, pWnd, nCtlColor);
  const int id = pWnd->GetDlgCtrlID();
  if ((id == IDC_NOTE && m_doc.NoteWarns()) || id == IDC_HINT) pDC->SetTextColor(kRed);
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
