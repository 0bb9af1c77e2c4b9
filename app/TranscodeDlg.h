// The main window: it shows one document (a file's bytes as loaded, the guess, the chosen item, the text shown,
// the save target), with the path label and the info icon.
#pragma once

#include <optional>
#include <string>

#include "app/SizingDialog.h"
#include "app/TranscodeDocument.h"
#include "controls/InfoIcon.h"
#include "controls/PathLabel.h"

class CTranscodeDlg : public CSizingDialog {
 public:
  explicit CTranscodeDlg(CWnd* pParent = nullptr);
  ~CTranscodeDlg() override;

  // Where the dialog asks whether the system performs each conversion; tests put their own answers here.
  struct Probes {
    int (*big5)();
    int (*shiftJis)();
  };
  static Probes s_probes;

  TranscodeDocument m_doc;
  std::optional<std::string> m_strBoxEcho;  // what the box gave back right after m_doc.m_shown was put there
  CComboBox m_wndChoice;
  CComboBox m_wndTarget;

  void LoadFile();
  void Transcode();

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  void OnSizeDelta(int dx, int dy) override;

  void SetupChoices();

  void OnPaint();
  HCURSOR OnQueryDragIcon();
  void OnDestroy();
  void OnOpen();
  void OnSave();
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
  void OnDropFiles(HDROP hDropInfo);
  void OnLoadCommand();

  HICON m_hIcon = nullptr;
  HICON m_hIconOpen = nullptr;
  HICON m_hIconSave = nullptr;
  CPathLabel m_wndPath;
  CInfoIcon m_wndInfo;
  CFont m_fontText;
  bool m_bTextFocused = false;  // the text box had the focus when the dialog was last deactivated

  DECLARE_MESSAGE_MAP()
};
