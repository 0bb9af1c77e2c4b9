// What the main dialog's tests share besides the common test support: scratch files, scripted probes, a
// modeless dialog under test, and a real drop handle.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "MessageBoxRecorder.h"
#include "app/TranscodeDlg.h"

namespace apptest {

// Sets what the two probes answer for as long as it lives.
class ScriptedProbes {
 public:
  ScriptedProbes(int big5, int shiftJis);
  ~ScriptedProbes();

 private:
  CTranscodeDlg::Probes m_saved;
};

// A folder of its own under the temporary folder, removed with everything in it.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  std::string Path(const std::string& name) const;
  std::string Write(const std::string& name, const std::string& bytes) const;

 private:
  std::string m_root;
};

std::string ReadFileBytes(const std::string& path);

// The main dialog, modeless, with its initialisation done and its posted commands run.
class DialogUnderTest {
 public:
  explicit DialogUnderTest(const std::string& presetPath = {});
  ~DialogUnderTest();
  CTranscodeDlg dlg;

  HWND Item(int id) const;
  std::string BoxText() const;
  void TypeInBox(const std::string& text) const;  // replaces the whole text as the user does
  void Select(int index);                         // as the user does: the selection changes, the list notifies
  void ClickSave();
  std::vector<std::pair<std::string, DWORD_PTR>> Items() const;
};

// A drop handle as the shell makes it, for these names in this order.
HDROP MakeDrop(const std::vector<std::string>& names);

// While it lives, shows every message sent to a window of this thread to `observe`, before the window gets it.
class SentMessageHook {
 public:
  explicit SentMessageHook(std::function<void(const CWPSTRUCT&)> observe);
  ~SentMessageHook();
  SentMessageHook(const SentMessageHook&) = delete;
  SentMessageHook& operator=(const SentMessageHook&) = delete;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
  static SentMessageHook* s_current;
  std::function<void(const CWPSTRUCT&)> m_observe;
  HHOOK m_hook;
};

}  // namespace apptest
