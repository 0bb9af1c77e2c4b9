#include "ScratchDir.h"

#include <windows.h>

namespace {

void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA found;
  const HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = dir + "\\" + name;
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path);
      else
        DeleteFileA(path.c_str());
    } while (FindNextFileA(find, &found));
    FindClose(find);
  }
  RemoveDirectoryA(dir.c_str());
}

}  // namespace

CScratchDir::CScratchDir() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  for (unsigned n = GetTickCount();; ++n) {
    m_path = std::string(temp) + "lumaret-e2e-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(n);
    if (CreateDirectoryA(m_path.c_str(), nullptr)) break;
  }
}

CScratchDir::~CScratchDir() { RemoveTree(m_path); }

std::string CScratchDir::Write(const std::string& name, const std::string& bytes) const {
  for (size_t slash = name.find('\\'); slash != std::string::npos; slash = name.find('\\', slash + 1))
    CreateDirectoryA(PathOf(name.substr(0, slash)).c_str(), nullptr);
  const std::string path = PathOf(name);
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
  }
  return path;
}

std::string ReadFileBytes(const std::string& path) {
  const HANDLE file =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string DosPath(const std::string& path) {
  using ToDos = WCHAR*(CDECL*)(const char*);
  const auto toDos = reinterpret_cast<ToDos>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")));
  if (path.empty() || path[0] != '/' || !toDos) return path;
  WCHAR* wide = toDos(path.c_str());
  if (!wide) return path;
  char dos[MAX_PATH * 2] = {};
  WideCharToMultiByte(CP_ACP, 0, wide, -1, dos, sizeof dos, nullptr, nullptr);
  HeapFree(GetProcessHeap(), 0, wide);
  return dos;
}
