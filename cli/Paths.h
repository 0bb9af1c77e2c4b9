// Names and folders: what a command-line path is, the sheets below a folder, how a name is shown, and whether
// a name from a FILE line names a file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "NativePath.h"

class Paths {
 public:
  enum class Kind { kMissing, kFile, kFolder };

  static Kind KindOf(const NativePath& path);
  // The files that command-line paths name: a file as it is (also one that does not exist: its line says
  // so), a folder as the sheets below it with `recursive`. False with a message for a folder without it.
  static bool Gather(const std::vector<NativePath>& paths, bool recursive, std::vector<NativePath>& files,
                     std::vector<std::pair<NativePath, std::string>>& unreadable, std::string& error);
  // Every *.cue and *.txt (any case) below `folder`, sorted by name within each folder; subfolders that cannot
  // be listed go to `unreadable` with the system's reason.
  static void FindSheets(const NativePath& folder, std::vector<NativePath>& sheets,
                         std::vector<std::pair<NativePath, std::string>>& unreadable);
  static bool IsSheetName(const NativePath& name);
  static bool EndsWithCue(const NativePath& path);
  // UTF-8 on Windows, the bytes themselves natively.
  static std::string Display(const NativePath& path);
  // Whether `name` (relative to the folder of `sheet`, or absolute; '\' and '/' both separate) names a file.
  static bool NameExists(const NativePath& sheet, std::u16string_view name);
};
