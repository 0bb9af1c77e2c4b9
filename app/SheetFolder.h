// The folder of a CUE sheet, asked whether a FILE name names a file. It asks the wide-character file functions,
// so that a name the ANSI code page cannot hold is found too.
#pragma once

#include <string>
#include <string_view>

class CSheetFolder {
 public:
  explicit CSheetFolder(const std::string& sheetPath);  // in the ANSI code page

  // Whether the name, relative to the sheet's folder or absolute, names a file (not a folder).
  bool Holds(std::u16string_view name) const;

 private:
  std::wstring m_folder;  // up to and with the last backslash or slash; empty for a bare file name
};
