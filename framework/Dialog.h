#pragma once
#include "DataExchange.h"
#include "Wnd.h"

// The help command that F1 sends to the main window.
#ifndef ID_HELP
#define ID_HELP 0xE146
#endif

// The resource type of a dialog template's initial control data.
#ifndef RT_DLGINIT
#define RT_DLGINIT MAKEINTRESOURCE(240)
#endif

// A dialog from a template. The window is created by CreateDialogParamA and subclassed from its creation on,
// so that every message, WM_INITDIALOG included, runs through the object's message map; the dialog class's
// window procedure stays the default.
//
// Initial control data. OnInitDialog sends the items of the template's RT_DLGINIT resource (same id as the
// template) to their controls before the first data exchange. The resource is a sequence of records
//     WORD  control id
//     WORD  message: 0x0403 or 0x0143 (CB_ADDSTRING), 0x0401 or 0x0180 (LB_ADDSTRING); others are skipped
//     DWORD length of the data in bytes, its terminating NUL included
//     BYTE  data[length]: the item's text, in the ANSI code page, NUL-terminated
// ended by a WORD 0. Records follow each other without padding. windres has no DLGINIT statement; write it
// as a user-defined resource of type 240, the text as hex escapes (windres copies string bytes as they are,
// so a UTF-8 source string would stay UTF-8), e.g. for "（请选择）" in GBK on control 1002 of template 102:
//     102 240
//     BEGIN
//         1002, 0x0403, 11L,
//         "\xa3\xa8\xc7\xeb\xd1\xa1\xd4\xf1\xa3\xa9\0",
//         0
//     END
// (numbers without L are WORDs, with L DWORDs, little-endian).
class CDialog : public CWnd {
 public:
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  ~CDialog() override;

  // Runs the dialog modally: the owner (the parent's top-level window, or the main window's last active
  // pop-up) is disabled, the framework's loop offers each message to PreTranslateMessage of the target
  // window and its parents up to this dialog, turns F1 without Shift, Ctrl or Alt into ID_HELP for the main
  // window, then to IsDialogMessage; the owner is enabled again and the window destroyed. Returns the value
  // given to EndDialog, or -1 when the dialog could not be created.
  virtual INT_PTR DoModal();
  // Modeless creation, as tests need it.
  BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  void EndDialog(int nResult);

  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  virtual void DoDataExchange(CDataExchange* pDX);
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

  BOOL OnCmdMsg(UINT nID, int nCode) override;

 protected:
  UINT m_nIDTemplate;
  CWnd* m_pParentWnd;
  INT_PTR m_nModalResult = -1;

  // The owner of a modal run; the framework's steps before and after one.
  HWND PreModal();
  void PostModal();
  void ExecuteDlgInit();

  LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);

  DECLARE_MESSAGE_MAP()

 private:
  bool m_bInModalLoop = false;
  bool m_bEndModal = false;

  BOOL CreateFromTemplate(HWND hWndOwner);
  void RunModalLoop();
  BOOL PreTranslateInModalLoop(MSG* pMsg);
};
