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
  using Reasons = std::vector<std::pair<NativePath, std::string>>;
  // The files that command-line paths name: a file as it is (also one that does not exist, or a link: its
  // target is what is read), a folder as the sheets below it with `recursive`. False with a message for a
  // folder without it.
  static bool Gather(const std::vector<NativePath>& paths, bool recursive, std::vector<NativePath>& files,
                     Reasons& unreadable, Reasons& passedOver, std::string& error);
  // Every *.cue and *.txt (any case) below `folder`, sorted by name within each folder. Links are not followed,
  // as find does without -L: a link, or a special file, under a sheet's name goes to `passedOver` with the
  // reason; subfolders that cannot be listed go to `unreadable` with the system's reason.
  static void FindSheets(const NativePath& folder, std::vector<NativePath>& sheets, Reasons& unreadable,
                         Reasons& passedOver);
  static bool IsSheetName(const NativePath& name);
  static bool EndsWithCue(const NativePath& path);
  // A name as an output field: UTF-8 (natively the bytes themselves, on Windows converted from UTF-16), quoted
  // as Quoted says.
  static std::string Display(const NativePath& path);
  // The bytes as they are where they are UTF-8 without control characters or double quotes; otherwise, as git
  // quotes a path, between double quotes with \t, \n, \r, \", \\ and \ooo (three octal digits) for every other
  // control byte and every byte that is not part of a UTF-8 character. So a field stays one field of one line
  // whatever a name holds.
  static std::string Quoted(std::string_view bytes);
#ifdef _WIN32
  // The name as the wide file functions take it without MAX_PATH's limit: absolute, behind \\?\ (\\?\UNC\ for
  // a share).
  static std::wstring SystemForm(const NativePath& path);
#endif
  // Whether `name` (relative to the folder of `sheet`, or absolute; '\' and '/' both separate) names a file.
  static bool NameExists(const NativePath& sheet, std::u16string_view name);
};
