// Windows as objects. The rules a caller keeps:
// - Ownership: an object attached with Attach, SubclassWindow or SubclassDlgItem, or a dialog this framework
//   creates, is owned by its creator and must outlive its window (a subclassed object lets go at WM_NCDESTROY).
//   FromHandle gives a temporary wrapper for a window with no object; the framework deletes it when its modal
//   loop is idle, so never store one, and never delete it.
// - Dispatch: a subclassed window's messages go to WindowProc, then the message map (most derived class first,
//   first match wins), then DefWindowProc, which is the window procedure the window had before.
// - Reflection: WM_COMMAND notifications and WM_CTLCOLOR* requests that reach a parent are first offered to the
//   child that sent them, if it has a permanent object (OnChildNotify: its ON_CONTROL_REFLECT and
//   ON_WM_CTLCOLOR_REFLECT entries); a reflected colour handler that answers no brush leaves the request to the
//   parent. Nothing else is reflected (no WM_NOTIFY, WM_DRAWITEM or scroll messages).
// - Errors: a handler may throw the framework's exceptions; the dispatch reports them in a message box and
//   answers the message with 0 (-1 for WM_CREATE, so that the window is not made), and the program goes on.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "CmdTarget.h"
#include "Point.h"
#include "Rect.h"

#ifndef GET_X_LPARAM
#define GET_X_LPARAM(lp) (int(short(LOWORD(lp))))
#define GET_Y_LPARAM(lp) (int(short(HIWORD(lp))))
#endif

class CDC;
class CFont;

// Wraps a window handle. An object is attached to a window either plainly (Attach) or by subclassing
// (SubclassWindow, SubclassDlgItem, and the dialogs this framework creates), in which case the window's
// messages run through the object's message map and WindowProc, and the window procedure it had before
// becomes the default (Default, DefWindowProc). A subclassed object lets go of its window at WM_NCDESTROY.
class CWnd : public CCmdTarget {
 public:
  HWND m_hWnd = nullptr;

  CWnd() = default;
  ~CWnd() override;

  operator HWND() const noexcept { return m_hWnd; }
  HWND GetSafeHwnd() const noexcept { return m_hWnd; }

  // Never null for a valid window: a temporary wrapper when no object is attached. Temporary wrappers
  // are freed when the outermost modal loop of the framework is idle; do not keep them.
  static CWnd* FromHandle(HWND hWnd);
  static CWnd* FromHandlePermanent(HWND hWnd);
  static void DeleteTempMap();

  BOOL Attach(HWND hWndNew);
  HWND Detach();
  BOOL SubclassWindow(HWND hWnd);
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
  HWND UnsubclassWindow();

  virtual void PreSubclassWindow();
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  // The parent's hook for a notification or colour request from this child; the default runs the
  // reflected entries of this object's map.
  virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

  // The previous window procedure (or DefWindowProc) for the message being handled now.
  LRESULT Default();

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  CWnd* GetDlgItem(int nID) const;
  CWnd* GetParent() const;
  int GetDlgCtrlID() const;
  DWORD GetStyle() const;
  BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);

  // Sized from an upper bound of the text's bytes and cut to the count the window returns, so a rich-edit
  // control that counts characters instead of bytes still gives its whole text.
  void GetWindowText(std::string& rString) const;
  int GetWindowText(char* lpszStringBuf, int nMaxCount) const;
  int GetWindowTextLength() const;
  void SetWindowText(const char* lpszString);

  void GetWindowRect(LPRECT lpRect) const;
  void GetClientRect(LPRECT lpRect) const;
  void ScreenToClient(LPRECT lpRect) const;
  void ScreenToClient(LPPOINT lpPoint) const;
  void ClientToScreen(LPRECT lpRect) const;
  void ClientToScreen(LPPOINT lpPoint) const;
  void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
  void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
  BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
  BOOL ShowWindow(int nCmdShow);
  BOOL IsWindowVisible() const;
  BOOL IsIconic() const;
  BOOL IsWindowEnabled() const;
  BOOL EnableWindow(BOOL bEnable = TRUE);
  void Invalidate(BOOL bErase = TRUE);
  BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, HRGN hrgnUpdate = nullptr,
                    UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  void UpdateWindow();
  void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
  HICON SetIcon(HICON hIcon, BOOL bBigIcon);
  CWnd* SetCapture();
  static CWnd* GetCapture();
  // Centres a top-level window on its owner (or pAlternateOwner) when that is visible and not minimised,
  // else on the monitor's work area, and keeps it inside the work area. A child is centred in its parent.
  void CenterWindow(CWnd* pAlternateOwner = nullptr);
  CWnd* SetFocus();
  static CWnd* GetFocus();
  BOOL DestroyWindow();

  // The owner a modal window of this program should get: hParent's top-level window, or, without one,
  // the main window's last active pop-up.
  static HWND GetSafeOwner(HWND hParent);

 protected:
  WNDPROC m_pfnSuper = nullptr;  // the window procedure replaced by subclassing

  // Runs the map (reflecting commands and colour requests to child objects first); FALSE when no entry
  // handled the message.
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

  // Default handlers, for the entries of the same names; each runs Default().
  void OnPaint();
  BOOL OnEraseBkgnd(CDC* pDC);
  void OnDestroy();
  HCURSOR OnQueryDragIcon();
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
  void OnDropFiles(HDROP hDropInfo);
  void OnSize(UINT nType, int cx, int cy);
  void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
  BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  void OnMouseMove(UINT nFlags, CPoint point);
  void OnTimer(UINT_PTR nIDEvent);

  friend LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  friend void AfxHookedWindowCreated(CWnd* pWnd, HWND hWnd);
};

// The framework's window procedure, for every subclassed window.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// Runs one message through pWnd's WindowProc as AfxWndProc does: as the current message, reporting the
// framework's exceptions.
LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// Attaches and subclasses pWnd to the next window this thread creates (before its first message).
void AfxHookWindowCreate(CWnd* pWnd);
void AfxUnhookWindowCreate();

// The message being handled now by the framework's window procedure (for Default()).
const MSG* AfxGetCurrentMessage();

// Frees the temporary wrappers made by FromHandle (windows, device contexts, GDI objects). Only safe when no
// message handler is running; the modal loop calls it between messages at the outermost level.
void AfxDeleteTempObjects();
