#include "TestSupport.h"

ScratchFile::ScratchFile(const std::string& name, const std::string& content) {
  char temp[MAX_PATH];
  ::GetTempPathA(MAX_PATH, temp);
  char folder[MAX_PATH];
  ::GetTempFileNameA(temp, "fw", 0, folder);
  ::DeleteFileA(folder);
  ::CreateDirectoryA(folder, nullptr);
  m_folder = folder;
  m_path = m_folder + "\\" + name;
  HANDLE hFile = ::CreateFileA(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  ::WriteFile(hFile, content.data(), DWORD(content.size()), &written, nullptr);
  ::CloseHandle(hFile);
}

ScratchFile::~ScratchFile() {
  ::SetFileAttributesA(m_path.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileA(m_path.c_str());
  ::RemoveDirectoryA(m_folder.c_str());
}
