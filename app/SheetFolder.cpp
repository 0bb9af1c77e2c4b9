#include "app/SheetFolder.h"

#include <windows.h>

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Rooted ("\x", "\\server\x") or with a drive ("C:x"): not to be put after the sheet's folder.
bool IsAbsolute(std::wstring_view name) {
  return (!name.empty() && IsSeparator(name[0])) || (name.size() >= 2 && name[1] == L':');
}

}  // namespace

CSheetFolder::CSheetFolder(const std::string& sheetPath) {
  if (sheetPath.empty() || sheetPath.size() > 0x7FFFFFFF) return;
  const int size = static_cast<int>(sheetPath.size());
  const int units = ::MultiByteToWideChar(CP_ACP, 0, sheetPath.data(), size, nullptr, 0);
  std::wstring path(static_cast<std::size_t>(units), L'\0');
  path.resize(static_cast<std::size_t>(::MultiByteToWideChar(CP_ACP, 0, sheetPath.data(), size, path.data(), units)));
  const std::size_t last = path.find_last_of(L"\\/");
  if (last != std::wstring::npos) m_folder = path.substr(0, last + 1);
}

bool CSheetFolder::Holds(std::u16string_view name) const {
  const std::wstring_view wide(reinterpret_cast<const wchar_t*>(name.data()), name.size());
  if (wide.empty()) return false;
  const std::wstring path = IsAbsolute(wide) ? std::wstring(wide) : m_folder + std::wstring(wide);
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}
