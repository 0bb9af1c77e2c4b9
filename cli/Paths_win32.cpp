// Windows names: UTF-16 throughout, so that a name the ANSI code page cannot hold is still found and kept.
#include "Paths.h"

#include <windows.h>

#include <algorithm>

#include "SystemError.h"

namespace {

bool EndsWithNoCase(const std::wstring& name, std::wstring_view suffix) {
  if (name.size() < suffix.size()) return false;
  return std::equal(suffix.begin(), suffix.end(), name.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                    [](wchar_t a, wchar_t b) { return a == (b >= L'A' && b <= L'Z' ? b + 32 : b); });
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsAbsolute(std::wstring_view name) {
  return (!name.empty() && IsSeparator(name[0])) || (name.size() >= 2 && name[1] == L':');
}

}  // namespace

std::wstring Paths::SystemForm(const NativePath& path) {
  if (path.rfind(L"\\\\?\\", 0) == 0) return path;
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  full.resize(GetFullPathNameW(path.c_str(), size, full.data(), nullptr));
  if (!full.empty() && IsSeparator(full.back())) full.pop_back();
  // Short names keep the system's usual reading (a device such as nul.cue stays the device, which the prefix
  // would turn into a missing file); the room left is for a temporary or backup name beside it.
  if (full.size() < MAX_PATH - 20 || full.rfind(L"\\\\.\\", 0) == 0) return full;
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

Paths::Kind Paths::KindOf(const NativePath& path) {
  const DWORD attributes = GetFileAttributesW(SystemForm(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Kind::kMissing;
  return attributes & FILE_ATTRIBUTE_DIRECTORY ? Kind::kFolder : Kind::kFile;
}

void Paths::FindSheets(const NativePath& folder, std::vector<NativePath>& sheets, Reasons& unreadable,
                       Reasons& passedOver) {
  const std::wstring prefix = folder.empty() || IsSeparator(folder.back()) ? folder : folder + L"\\";
  WIN32_FIND_DATAW found;
  const HANDLE find = FindFirstFileW((SystemForm(prefix) + L"\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) {
    unreadable.emplace_back(folder, SystemError::Describe(GetLastError()));
    return;
  }
  std::vector<std::pair<std::wstring, DWORD>> entries;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") entries.emplace_back(name, found.dwFileAttributes);
  } while (FindNextFileW(find, &found));
  FindClose(find);
  std::sort(entries.begin(), entries.end());
  for (const auto& [name, attributes] : entries) {
    // Junctions and linked folders are not followed: one pointing at a parent would never end.
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT && attributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      FindSheets(prefix + name, sheets, unreadable, passedOver);
    } else if (IsSheetName(name) && attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      passedOver.emplace_back(prefix + name, "symbolic link (links below a folder are not followed)");
    } else if (IsSheetName(name)) {
      sheets.push_back(prefix + name);
    }
  }
}

bool Paths::IsSheetName(const NativePath& name) {
  return EndsWithNoCase(name, L".cue") || EndsWithNoCase(name, L".txt");
}

bool Paths::EndsWithCue(const NativePath& path) { return EndsWithNoCase(path, L".cue"); }

std::string Paths::Display(const NativePath& path) { return Quoted(SystemError::Utf8(path)); }

bool Paths::NameExists(const NativePath& sheet, std::u16string_view name) {
  const std::wstring relative(name.begin(), name.end());
  if (relative.empty()) return false;
  std::wstring full = relative;
  if (!IsAbsolute(relative)) {
    const std::size_t slash = sheet.find_last_of(L"\\/");
    if (slash != std::wstring::npos) full = sheet.substr(0, slash + 1) + relative;
  }
  const DWORD attributes = GetFileAttributesW(SystemForm(full).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
