// Native names: the bytes as given; Linux file names are taken as UTF-8 where a FILE line's name is looked up.
#include "Paths.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

bool EndsWithNoCase(const std::string& name, std::string_view suffix) {
  if (name.size() < suffix.size()) return false;
  return std::equal(suffix.begin(), suffix.end(), name.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                    [](char a, char b) { return a == (b >= 'A' && b <= 'Z' ? b + 32 : b); });
}

// A lone surrogate, which no file name on disk can hold, becomes U+FFFD.
std::string ToUtf8(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | c >> 12);
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | c >> 18);
      out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace

Paths::Kind Paths::KindOf(const NativePath& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return Kind::kMissing;
  return S_ISDIR(st.st_mode) ? Kind::kFolder : Kind::kFile;
}

void Paths::FindSheets(const NativePath& folder, std::vector<NativePath>& sheets, Reasons& unreadable,
                       Reasons& passedOver) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) {
    unreadable.emplace_back(folder, std::strerror(errno));
    return;
  }
  std::vector<std::string> names;
  std::vector<std::pair<std::string, unsigned char>> entries;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") entries.emplace_back(name, entry->d_type);
  }
  closedir(dir);
  std::sort(entries.begin(), entries.end());
  const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  for (auto& [name, type] : entries) {
    const std::string path = prefix + name;
    // The entry's own type where the file system gives it, saving a call per file in large collections.
    if (type == DT_UNKNOWN) {
      struct stat st;
      if (lstat(path.c_str(), &st) != 0) continue;
      type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : S_ISLNK(st.st_mode) ? DT_LNK : DT_FIFO;
    }
    // Links are not followed, to folders (a link to a parent would never end) or to files (one could lead out of
    // the tree to a file that whoever may write the folder has no right to change).
    if (type == DT_DIR) {
      FindSheets(path, sheets, unreadable, passedOver);
    } else if (!IsSheetName(name)) {
      continue;
    } else if (type == DT_REG) {
      sheets.push_back(path);
    } else {
      passedOver.emplace_back(
          path, type == DT_LNK ? "symbolic link (links below a folder are not followed)" : "not a regular file");
    }
  }
}

bool Paths::IsSheetName(const NativePath& name) { return EndsWithNoCase(name, ".cue") || EndsWithNoCase(name, ".txt"); }

bool Paths::EndsWithCue(const NativePath& path) { return EndsWithNoCase(path, ".cue"); }

std::string Paths::Display(const NativePath& path) { return Quoted(path); }

bool Paths::NameExists(const NativePath& sheet, std::u16string_view name) {
  std::string relative = ToUtf8(name);
  std::replace(relative.begin(), relative.end(), '\\', '/');
  if (relative.empty()) return false;
  std::string full = relative;
  if (relative[0] != '/') {
    const std::size_t slash = sheet.rfind('/');
    full = slash == std::string::npos ? relative : sheet.substr(0, slash + 1) + relative;
  }
  struct stat st;
  return stat(full.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}
