// What the control tests share: the test dialog, reading pixels and tool tips, recording message boxes.
#pragma once

#include <string>
#include <vector>

#include "MessageBoxRecorder.h"
#include "framework/Afx.h"

// The test dialog (template 200), shown modeless; destroyed with the object.
class TestDialog {
 public:
  TestDialog();
  ~TestDialog();
  CDialog& operator*() { return m_dlg; }
  CDialog* operator->() { return &m_dlg; }
  HWND Item(int id) const { return ::GetDlgItem(m_dlg.m_hWnd, id); }
  // A control's window rectangle in the dialog's client coordinates.
  RECT ItemRect(int id) const;

 private:
  CDialog m_dlg;
};

// Top-down 32-bit pixels of a client area as it is on the screen.
std::vector<DWORD> CaptureClient(HWND hWnd);

// The same area as the path label should paint it: button face, the parent's font, black text, one DrawTextEx.
std::vector<DWORD> RenderLabel(HWND hWnd, const std::string& text, UINT format);

// The text the system would draw for that format (DT_MODIFYSTRING on a copy).
std::string ShortenedText(HWND hWnd, const std::string& text, UINT format);

// The tool-tip text of tool id of window hTool, from whichever tool tip of this thread holds it; empty when
// none does.
std::string ToolTipText(HWND hTool, UINT_PTR id);

// The text colour, background mode and brush the control asks for when its parent gets WM_CTLCOLORSTATIC.
struct ColourAnswer {
  COLORREF text;
  int bkMode;
  HBRUSH brush;
};
ColourAnswer AskColour(HWND hParent, HWND hControl);

void SendMouseMove(HWND hWnd, int x, int y);
