// The main dialog of a running lumaret.exe, read and driven from outside with window messages only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Polling.h"

inline constexpr int kIdText = 1000;
inline constexpr int kIdOpen = 1001;
inline constexpr int kIdChoice = 1002;
inline constexpr int kIdSave = 1003;
inline constexpr int kIdNote = 1004;
inline constexpr int kIdHint = 1005;
inline constexpr int kIdTarget = 1006;
inline constexpr int kIdLoadCommand = 1008;
inline constexpr int kIdPath = 1011;

class CMainWindow {
 public:
  explicit CMainWindow(HWND dialog) : m_hDlg(dialog) {}

  HWND Control(int id) const { return GetDlgItem(m_hDlg, id); }
  std::string PathText() const;
  // The text box's whole text, read into a buffer sized from an upper bound: its length counts characters.
  std::string BoxText() const;
  std::vector<std::string> Choices() const;
  std::vector<LRESULT> ChoiceData() const;
  int Selection() const;

  // Selects a list item as the mouse does: the selection, then the notification; returns once it is handled.
  bool Choose(int index, DWORD timeoutMs = kWaitMs) const;
  // Press a button and return at once, since the handlers wait in the chooser or in message boxes.
  void PressOpen() const;
  void PressSave() const;
  // Types ASCII text into the box at the caret, one character message each. (Chinese reaches the box through
  // an input method, which a message from outside cannot stand in for.)
  void Type(const std::string& text) const;
  void PressEscape() const;

  // True once every message sent so far has been handled: the dialog is idle or waits in a modal loop.
  bool Sync(DWORD timeoutMs = kWaitMs) const;
  // True once the dialog has worked through every message posted to it before this call.
  bool DrainPosted() const;

 private:
  HWND m_hDlg;
};

// The text of a control of another process; an empty string when it does not answer.
std::string ControlText(HWND control);
