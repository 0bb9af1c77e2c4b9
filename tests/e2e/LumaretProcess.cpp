#include "LumaretProcess.h"

#include <cstring>
#include <vector>

#include "MainWindow.h"
#include "Polling.h"

CLumaretProcess::CLumaretProcess(const std::string& exe, const std::string& arguments) {
  std::string line = "\"" + exe + "\"";
  if (!arguments.empty()) line += " " + arguments;
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  STARTUPINFOA si{};
  si.cb = sizeof si;
  if (!CreateProcessA(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_pi))
    m_pi = PROCESS_INFORMATION{};
}

CLumaretProcess::~CLumaretProcess() {
  if (!Started()) return;
  if (Running()) {
    HWND box;
    while ((box = FindMessageBox()) != nullptr && IsWindow(box)) {
      PostMessageA(box, WM_COMMAND, IDNO, 0);
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
      WaitFor([&] { return !IsWindow(box); }, 3000);
      if (IsWindow(box)) break;
    }
    if (m_hMain && IsWindow(m_hMain)) CMainWindow(m_hMain).PressEscape();
    if (!WaitForExit(5000)) TerminateProcess(m_pi.hProcess, 1);
    WaitForSingleObject(m_pi.hProcess, 5000);
  }
  CloseHandle(m_pi.hThread);
  CloseHandle(m_pi.hProcess);
}

bool CLumaretProcess::Running() const { return Started() && WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT; }

bool CLumaretProcess::WaitForExit(DWORD timeoutMs) const {
  return Started() && WaitForSingleObject(m_pi.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

HWND CLumaretProcess::FindTopLevel(const char* caption, HWND except) const {
  struct Search {
    DWORD pid;
    const char* caption;
    HWND except;
    HWND found;
  } search{m_pi.dwProcessId, caption, except, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        if (pid != s->pid || hwnd == s->except || !IsWindowVisible(hwnd)) return TRUE;
        char cls[64] = {}, text[64] = {};
        GetClassNameA(hwnd, cls, sizeof cls);
        GetWindowTextA(hwnd, text, sizeof text);
        if (std::strcmp(cls, "#32770") != 0 || std::strcmp(text, s->caption) != 0) return TRUE;
        s->found = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND CLumaretProcess::WaitForMainWindow(DWORD timeoutMs) {
  if (!Started()) return nullptr;
  WaitFor([&] { return (m_hMain = FindTopLevel("Lumaret", nullptr)) != nullptr || !Running(); }, timeoutMs);
  return m_hMain;
}

// Message boxes take the program's file name without its extension as their caption.
HWND CLumaretProcess::FindMessageBox() const { return FindTopLevel("lumaret", m_hMain); }

HWND CLumaretProcess::WaitForMessageBox(DWORD timeoutMs) const {
  HWND box = nullptr;
  WaitFor([&] { return (box = FindMessageBox()) != nullptr || !Running(); }, timeoutMs);
  return box;
}

HWND CLumaretProcess::WaitForDialog(const std::string& caption, DWORD timeoutMs) const {
  HWND dialog = nullptr;
  WaitFor([&] { return (dialog = FindTopLevel(caption.c_str(), m_hMain)) != nullptr || !Running(); }, timeoutMs);
  return dialog;
}
