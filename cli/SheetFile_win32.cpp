// Windows files: the wide-character functions, so that any name works. The file is held open sharing only
// reading from the load to the replacement; MoveFileExW replaces it in one step.
#include "SheetFile.h"

#include <windows.h>

#include "Paths.h"
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

// A new file in `folder` under a name of our own, open for writing: GetTempFileNameW cannot take a long folder.
HANDLE MakeTemporary(const std::wstring& folder, DWORD attributes, std::wstring& path) {
  static unsigned serial = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const unsigned long long tag = GetTickCount64() * 1000003ull + GetCurrentProcessId() * 7919ull + ++serial;
    path = folder + L".lumaret-" + std::to_wstring(tag % 1000000000ull) + L".tmp";
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

unsigned long long Ticks(const FILETIME& t) {
  return static_cast<unsigned long long>(t.dwHighDateTime) << 32 | t.dwLowDateTime;
}

}  // namespace

SheetFile::SheetFile(NativePath path) : m_path(std::move(path)), m_handle(INVALID_HANDLE_VALUE) {}

SheetFile::~SheetFile() { Close(); }

void SheetFile::Close() {
  if (m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
  m_handle = INVALID_HANDLE_VALUE;
}

SheetFile::Loaded SheetFile::Load(std::string& reason, const std::function<void(std::uint64_t size)>& beforeRead) {
  m_handle = CreateFileW(Paths::SystemForm(m_path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (m_handle == INVALID_HANDLE_VALUE) {
    reason = LastError();
    return Loaded::kFailed;
  }
  // A pipe, a console or a device under a sheet's name is no file to read.
  if (GetFileType(m_handle) != FILE_TYPE_DISK) {
    reason = "not a regular file";
    return Loaded::kSkipped;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(m_handle, &info)) {
    reason = LastError();
    return Loaded::kFailed;
  }
  const unsigned long long size = static_cast<unsigned long long>(info.nFileSizeHigh) << 32 | info.nFileSizeLow;
  if (size > kLargestSheet) {
    reason = "too large (" + std::to_string(size) + " bytes; sheets above 256 MB are left alone)";
    return Loaded::kSkipped;
  }
  if (beforeRead) beforeRead(size);
  m_bytes.assign(static_cast<std::size_t>(size), '\0');
  std::size_t have = 0;
  while (have < m_bytes.size()) {
    DWORD got = 0;
    if (!ReadFile(m_handle, m_bytes.data() + have, static_cast<DWORD>(m_bytes.size() - have), &got, nullptr)) {
      reason = LastError();
      return Loaded::kFailed;
    }
    if (got == 0) break;
    have += got;
  }
  m_bytes.resize(have);
  m_readWriteTime = Ticks(info.ftLastWriteTime);
  return Loaded::kYes;
}

// Our handle shares no writing or deleting, so the file cannot change while it is open; this catches what the
// system still allows (another handle opened before ours, a write through a mapping).
bool SheetFile::Unchanged(std::string& reason) const {
  BY_HANDLE_FILE_INFORMATION now;
  if (!GetFileInformationByHandle(m_handle, &now) || Ticks(now.ftLastWriteTime) != m_readWriteTime ||
      (static_cast<unsigned long long>(now.nFileSizeHigh) << 32 | now.nFileSizeLow) != m_bytes.size()) {
    reason = kChangedReason;
    return false;
  }
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
  backupPath.clear();
  BY_HANDLE_FILE_INFORMATION original;
  if (!GetFileInformationByHandle(m_handle, &original)) {
    reason = LastError();
    return false;
  }
  if (!Unchanged(reason)) return false;
  const DWORD attributes = original.dwFileAttributes & ~FILE_ATTRIBUTE_DIRECTORY;
  const std::wstring target = Paths::SystemForm(m_path);
  const std::wstring folder = target.substr(0, target.find_last_of(L'\\') + 1);
  if (backup) {
    std::wstring temp;
    const HANDLE file = MakeTemporary(folder, attributes, temp);
    if (file == INVALID_HANDLE_VALUE) {
      reason = LastError();
      return false;
    }
    if (!Finish(file, temp, m_bytes, original, true, reason)) return false;
    // Complete before it takes its name; a name that exists is never replaced.
    for (int n = 0;; ++n) {
      const std::wstring name = m_path + L".bak" + (n == 0 ? L"" : L"." + std::to_wstring(n));
      if (MoveFileExW(temp.c_str(), Paths::SystemForm(name).c_str(), MOVEFILE_WRITE_THROUGH)) {
        backupPath = name;
        break;
      }
      if (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS) continue;
      reason = LastError();
      DeleteFileW(temp.c_str());
      return false;
    }
  }
  auto undo = [&] {
    if (!backupPath.empty()) DeleteFileW(Paths::SystemForm(backupPath).c_str());
    backupPath.clear();
    return false;
  };

  std::wstring temp;
  const HANDLE file = MakeTemporary(folder, FILE_ATTRIBUTE_NORMAL, temp);
  if (file == INVALID_HANDLE_VALUE) {
    reason = LastError();
    return undo();
  }
  if (!Finish(file, temp, bytes, original, keepTime, reason)) return undo();
  if (!Unchanged(reason)) {
    DeleteFileW(temp.c_str());
    return undo();
  }
  // Our own handle shares no deletion, so it goes first; another program's open handle still fails the move.
  Close();
  if (!MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    reason = LastError();
    DeleteFileW(temp.c_str());
    return undo();
  }
  SetFileAttributesW(target.c_str(), attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes);
  return true;
}
