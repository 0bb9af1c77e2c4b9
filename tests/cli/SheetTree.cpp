#include "SheetTree.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#endif

#ifdef _WIN32

namespace {

std::string Utf8(const std::wstring& wide) {
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), size, nullptr, nullptr);
  return out;
}

void RemoveTree(const std::wstring& dir) {
  WIN32_FIND_DATAW found;
  const HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = dir + L"\\" + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path);
      else
        DeleteFileW(path.c_str());
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  RemoveDirectoryW(dir.c_str());
}

class HandleLock : public SheetTree::Lock {
 public:
  explicit HandleLock(const std::wstring& path)
      : m_handle(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
  ~HandleLock() override {
    if (m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
  }

 private:
  HANDLE m_handle;
};

}  // namespace

std::wstring SheetTree::Wide(const std::string& utf8) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), size);
  return out;
}

SheetTree::SheetTree() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  for (unsigned n = GetTickCount();; ++n) {
    const std::wstring root =
        std::wstring(temp) + L"lumaret-cli-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(n);
    if (CreateDirectoryW(root.c_str(), nullptr)) {
      m_root = Utf8(root);
      break;
    }
  }
}

SheetTree::~SheetTree() { RemoveTree(Wide(m_root)); }

std::string SheetTree::PathOf(const std::string& name) const {
  std::string path = m_root + "\\" + name;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

void SheetTree::MakeFolder(const std::string& name) const { CreateDirectoryW(Wide(PathOf(name)).c_str(), nullptr); }

void SheetTree::Write(const std::string& name, const std::string& bytes) const {
  for (std::size_t slash = name.find('/'); slash != std::string::npos; slash = name.find('/', slash + 1))
    MakeFolder(name.substr(0, slash));
  const HANDLE file = CreateFileW(Wide(PathOf(name)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string SheetTree::Read(const std::string& name) const {
  const HANDLE file = CreateFileW(Wide(PathOf(name)).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD got = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
  CloseHandle(file);
  bytes.resize(got);
  return bytes;
}

bool SheetTree::Exists(const std::string& name) const {
  return GetFileAttributesW(Wide(PathOf(name)).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::int64_t SheetTree::ModifiedTime(const std::string& name) const {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(Wide(PathOf(name)).c_str(), GetFileExInfoStandard, &data)) return -1;
  return static_cast<std::int64_t>(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
}

void SheetTree::Age(const std::string& name) const {
  const HANDLE file = CreateFileW(Wide(PathOf(name)).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  FILETIME written;
  GetFileTime(file, nullptr, nullptr, &written);
  ULARGE_INTEGER t{{written.dwLowDateTime, written.dwHighDateTime}};
  t.QuadPart -= 36000000000ull;
  written = FILETIME{t.LowPart, t.HighPart};
  SetFileTime(file, nullptr, nullptr, &written);
  CloseHandle(file);
}

void SheetTree::SetReadOnly(const std::string& name) const {
  SetFileAttributesW(Wide(PathOf(name)).c_str(), FILE_ATTRIBUTE_READONLY);
}

void SheetTree::ListInto(const std::string& prefix, std::vector<std::string>& files) const {
  WIN32_FIND_DATAW found;
  const HANDLE find = FindFirstFileW(Wide((prefix.empty() ? m_root : PathOf(prefix)) + "\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = Utf8(found.cFileName);
    if (name == "." || name == "..") continue;
    const std::string relative = prefix.empty() ? name : prefix + "/" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      ListInto(relative, files);
    else
      files.push_back(relative);
  } while (FindNextFileW(find, &found));
  FindClose(find);
}

std::unique_ptr<SheetTree::Lock> SheetTree::Hold(const std::string& name) const {
  return std::make_unique<HandleLock>(Wide(PathOf(name)));
}

#else

namespace {

class AdvisoryLock : public SheetTree::Lock {
 public:
  explicit AdvisoryLock(const std::string& path) : m_fd(open(path.c_str(), O_RDONLY)) { flock(m_fd, LOCK_EX); }
  ~AdvisoryLock() override { close(m_fd); }

 private:
  int m_fd;
};

}  // namespace

SheetTree::SheetTree() {
  char pattern[] = "/tmp/lumaret-cli-XXXXXX";
  m_root = mkdtemp(pattern);
}

SheetTree::~SheetTree() {
  // Read-only folders first get their write bit back, or rm could not empty them (when not root).
  std::system(("chmod -R u+w '" + m_root + "' && rm -rf '" + m_root + "'").c_str());
}

std::string SheetTree::PathOf(const std::string& name) const { return m_root + "/" + name; }

void SheetTree::MakeFolder(const std::string& name) const { mkdir(PathOf(name).c_str(), 0755); }

void SheetTree::Write(const std::string& name, const std::string& bytes) const {
  for (std::size_t slash = name.find('/'); slash != std::string::npos; slash = name.find('/', slash + 1))
    MakeFolder(name.substr(0, slash));
  std::ofstream(PathOf(name), std::ios::binary) << bytes;
}

std::string SheetTree::Read(const std::string& name) const {
  std::ifstream file(PathOf(name), std::ios::binary);
  if (!file) return "<missing>";
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

bool SheetTree::Exists(const std::string& name) const { return access(PathOf(name).c_str(), F_OK) == 0; }

std::int64_t SheetTree::ModifiedTime(const std::string& name) const {
  struct stat st;
  if (stat(PathOf(name).c_str(), &st) != 0) return -1;
  return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

void SheetTree::Age(const std::string& name) const {
  struct stat st;
  stat(PathOf(name).c_str(), &st);
  struct timespec times[2] = {st.st_atim, st.st_mtim};
  times[1].tv_sec -= 3600;
  utimensat(AT_FDCWD, PathOf(name).c_str(), times, 0);
}

void SheetTree::SetReadOnly(const std::string& name) const { chmod(PathOf(name).c_str(), 0444); }

void SheetTree::ListInto(const std::string& prefix, std::vector<std::string>& files) const {
  DIR* dir = opendir(PathOf(prefix).c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    const std::string relative = prefix.empty() ? name : prefix + "/" + name;
    if (entry->d_type == DT_DIR)
      ListInto(relative, files);
    else
      files.push_back(relative);
  }
  closedir(dir);
}

std::unique_ptr<SheetTree::Lock> SheetTree::Hold(const std::string& name) const {
  return std::make_unique<AdvisoryLock>(PathOf(name));
}

#endif

std::vector<std::string> SheetTree::Files() const {
  std::vector<std::string> files;
  ListInto("", files);
  std::sort(files.begin(), files.end());
  return files;
}
