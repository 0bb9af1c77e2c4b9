#include "AppTestSupport.h"

#include <shlobj.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <utility>

#include "app/TextBox.h"
#include "res/resource.h"

namespace apptest {

namespace {
int g_big5 = 1;
int g_shiftJis = 1;
}  // namespace

ScriptedProbes::ScriptedProbes(int big5, int shiftJis) : m_saved(CTranscodeDlg::s_probes) {
  g_big5 = big5;
  g_shiftJis = shiftJis;
  CTranscodeDlg::s_probes = {[] { return g_big5; }, [] { return g_shiftJis; }};
}

ScriptedProbes::~ScriptedProbes() { CTranscodeDlg::s_probes = m_saved; }

ScratchDir::ScratchDir() {
  char temp[MAX_PATH];
  ::GetTempPathA(MAX_PATH, temp);
  m_root = std::string(temp) + "lumaret-app-" + std::to_string(::GetCurrentProcessId()) + "\\";
  ::CreateDirectoryA(m_root.c_str(), nullptr);
}

ScratchDir::~ScratchDir() {
  WIN32_FIND_DATAA found;
  HANDLE hFind = ::FindFirstFileA((m_root + "*").c_str(), &found);
  if (hFind != INVALID_HANDLE_VALUE) {
    do {
      const std::string path = m_root + found.cFileName;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        ::RemoveDirectoryA(path.c_str());
      } else {
        ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(path.c_str());
      }
    } while (::FindNextFileA(hFind, &found));
    ::FindClose(hFind);
  }
  ::RemoveDirectoryA(m_root.c_str());
}

std::string ScratchDir::Path(const std::string& name) const { return m_root + name; }

std::string ScratchDir::Write(const std::string& name, const std::string& bytes) const {
  const std::string path = Path(name);
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), std::streamsize(bytes.size()));
  return path;
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

DialogUnderTest::DialogUnderTest(const std::string& presetPath) {
  dlg.m_doc.m_path = presetPath;
  dlg.Create(IDD_LUMARET_DIALOG, nullptr);
  PumpMessages();
}

DialogUnderTest::~DialogUnderTest() {
  if (::IsWindow(dlg.GetSafeHwnd())) dlg.DestroyWindow();
  PumpMessages();
}

HWND DialogUnderTest::Item(int id) const { return ::GetDlgItem(dlg.GetSafeHwnd(), id); }

std::string DialogUnderTest::BoxText() const { return GetTextBoxText(Item(IDC_TEXT)); }

void DialogUnderTest::TypeInBox(const std::string& text) const {
  CHARRANGE all{0, -1};
  ::SendMessageA(Item(IDC_TEXT), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
  ::SendMessageA(Item(IDC_TEXT), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void DialogUnderTest::Select(int index) {
  ::SendMessageA(Item(IDC_CHOICE), CB_SETCURSEL, index, 0);
  ::SendMessageA(dlg.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDC_CHOICE, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Item(IDC_CHOICE)));
}

void DialogUnderTest::ClickSave() {
  ::SendMessageA(dlg.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDC_SAVE, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Item(IDC_SAVE)));
}

std::vector<std::pair<std::string, DWORD_PTR>> DialogUnderTest::Items() const {
  std::vector<std::pair<std::string, DWORD_PTR>> items;
  HWND list = Item(IDC_CHOICE);
  const auto count = ::SendMessageA(list, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::string text(::SendMessageA(list, CB_GETLBTEXTLEN, i, 0) + 1, '\0');
    text.resize(::SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data())));
    items.emplace_back(text, ::SendMessageA(list, CB_GETITEMDATA, i, 0));
  }
  return items;
}

HDROP MakeDrop(const std::vector<std::string>& names) {
  std::size_t size = sizeof(DROPFILES) + 1;
  for (const auto& name : names) size += name.size() + 1;
  HGLOBAL hDrop = ::GlobalAlloc(GHND, size);
  auto* drop = static_cast<DROPFILES*>(::GlobalLock(hDrop));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = FALSE;
  char* p = reinterpret_cast<char*>(drop) + sizeof(DROPFILES);
  for (const auto& name : names) {
    std::memcpy(p, name.c_str(), name.size() + 1);
    p += name.size() + 1;
  }
  ::GlobalUnlock(hDrop);
  return static_cast<HDROP>(hDrop);
}

SentMessageHook* SentMessageHook::s_current = nullptr;

SentMessageHook::SentMessageHook(std::function<void(const CWPSTRUCT&)> observe)
    : m_observe(std::move(observe)),
      m_hook(::SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, ::GetCurrentThreadId())) {
  s_current = this;
}

SentMessageHook::~SentMessageHook() {
  ::UnhookWindowsHookEx(m_hook);
  s_current = nullptr;
}

LRESULT CALLBACK SentMessageHook::Hook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && s_current != nullptr) s_current->m_observe(*reinterpret_cast<const CWPSTRUCT*>(lParam));
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace apptest
