// Windows files: the wide-character functions, so that any name works. The file is held open sharing only
// reading from the load to the replacement; MoveFileExW replaces it in one step.
#include "SheetFile.h"

#include <windows.h>

#include "SystemError.h"

namespace {

std::string LastError() { return SystemError::Describe(GetLastError()); }

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

// Writes, flushes and closes a new file with the original's times (the modification time only if asked);
// deletes it on any failure.
bool Finish(HANDLE file, const std::wstring& path, std::string_view bytes, const BY_HANDLE_FILE_INFORMATION& original,
            bool keepTime, std::string& reason) {
  bool ok = WriteAll(file, bytes) &&
            SetFileTime(file, &original.ftCreationTime, nullptr, keepTime ? &original.ftLastWriteTime : nullptr) &&
            FlushFileBuffers(file);
  if (!ok) reason = LastError();
  CloseHandle(file);
  if (!ok) DeleteFileW(path.c_str());
  return ok;
}

std::wstring FolderOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? L"." : path.substr(0, slash + 1);
}

}  // namespace

SheetFile::SheetFile(NativePath path) : m_path(std::move(path)), m_handle(INVALID_HANDLE_VALUE) {}

SheetFile::~SheetFile() { Close(); }

void SheetFile::Close() {
  if (m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
  m_handle = INVALID_HANDLE_VALUE;
}

bool SheetFile::Load(std::string& reason) {
  m_handle = CreateFileW(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (m_handle == INVALID_HANDLE_VALUE) {
    reason = LastError();
    return false;
  }
  LARGE_INTEGER size;
  if (!GetFileSizeEx(m_handle, &size)) {
    reason = LastError();
    return false;
  }
  m_bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t have = 0;
  while (have < m_bytes.size()) {
    const std::size_t left = m_bytes.size() - have;
    DWORD got = 0;
    if (!ReadFile(m_handle, m_bytes.data() + have, left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left), &got,
                  nullptr)) {
      reason = LastError();
      return false;
    }
    if (got == 0) break;
    have += got;
  }
  m_bytes.resize(have);
  return true;
}

std::string SheetFile::CheckWritable() const {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(m_handle, &info)) return LastError();
  if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) return "read-only file (the read-only attribute is set)";
  return {};
}

bool SheetFile::Replace(std::string_view bytes, bool backup, bool keepTime, NativePath& backupPath,
                        std::string& reason) {
  BY_HANDLE_FILE_INFORMATION original;
  if (!GetFileInformationByHandle(m_handle, &original)) {
    reason = LastError();
    return false;
  }
  const DWORD attributes = original.dwFileAttributes & ~FILE_ATTRIBUTE_DIRECTORY;
  backupPath.clear();
  if (backup) {
    for (int n = 0;; ++n) {
      const std::wstring name = m_path + L".bak" + (n == 0 ? L"" : L"." + std::to_wstring(n));
      const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
      if (file == INVALID_HANDLE_VALUE &&
          (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS))
        continue;
      if (file == INVALID_HANDLE_VALUE) {
        reason = LastError();
        return false;
      }
      if (!Finish(file, name, m_bytes, original, true, reason)) return false;
      backupPath = name;
      break;
    }
  }
  auto undo = [&] {
    if (!backupPath.empty()) DeleteFileW(backupPath.c_str());
    backupPath.clear();
    return false;
  };

  wchar_t temp[MAX_PATH + 1];
  if (GetTempFileNameW(FolderOf(m_path).c_str(), L"lmr", 0, temp) == 0) {
    reason = LastError();
    return undo();
  }
  const HANDLE file = CreateFileW(temp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    reason = LastError();
    DeleteFileW(temp);
    return undo();
  }
  if (!Finish(file, temp, bytes, original, keepTime, reason)) return undo();
  // Our own handle shares no deletion, so it goes first; another program's open handle still fails the move.
  Close();
  if (!MoveFileExW(temp, m_path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    reason = LastError();
    DeleteFileW(temp);
    return undo();
  }
  SetFileAttributesW(m_path.c_str(), attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes);
  return true;
}
