// One run of the real lumaret.exe, started with a command line and found by its windows.
#pragma once

#include <windows.h>

#include <string>

class CLumaretProcess {
 public:
  // exe: the program's DOS path; arguments: the command line after the program's name, exactly as typed.
  CLumaretProcess(const std::string& exe, const std::string& arguments);
  // Ends a run the test left open: Escape first, as a user would, then by force.
  ~CLumaretProcess();
  CLumaretProcess(const CLumaretProcess&) = delete;
  CLumaretProcess& operator=(const CLumaretProcess&) = delete;

  bool Started() const { return m_pi.hProcess != nullptr; }
  // The visible main dialog ("Lumaret"), or null when it did not show within the time.
  HWND WaitForMainWindow(DWORD timeoutMs);
  HWND MainWindow() const { return m_hMain; }
  // A visible message box of this process: a dialog other than the main one, captioned "lumaret".
  HWND FindMessageBox() const;
  HWND WaitForMessageBox(DWORD timeoutMs) const;
  // A visible dialog of this process with that caption, such as the file chooser.
  HWND WaitForDialog(const std::string& caption, DWORD timeoutMs) const;
  bool WaitForExit(DWORD timeoutMs) const;
  bool Running() const;

 private:
  HWND FindTopLevel(const char* caption, HWND except) const;

  PROCESS_INFORMATION m_pi{};
  HWND m_hMain = nullptr;
};
