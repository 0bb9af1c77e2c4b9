#include "Paths.h"

bool Paths::Gather(const std::vector<NativePath>& paths, bool recursive, std::vector<NativePath>& files,
                   std::vector<std::pair<NativePath, std::string>>& unreadable, std::string& error) {
  for (const NativePath& path : paths) {
    if (KindOf(path) == Kind::kFolder && !recursive) {
      // Built around the name: GCC 12 warns falsely (-Wrestrict) on a short literal + string chain here.
      error = Display(path);
      error.insert(error.begin(), '\'');
      error += "' is a folder; add --recursive to take the sheets below it";
      return false;
    }
  }
  for (const NativePath& path : paths) {
    if (KindOf(path) == Kind::kFolder) {
      FindSheets(path, files, unreadable);
    } else {
      files.push_back(path);
    }
  }
  return true;
}
