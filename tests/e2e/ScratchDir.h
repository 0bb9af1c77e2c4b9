// A private folder for one test's files, removed with everything in it when the test ends.
#pragma once

#include <string>

class CScratchDir {
 public:
  CScratchDir();
  ~CScratchDir();
  CScratchDir(const CScratchDir&) = delete;
  CScratchDir& operator=(const CScratchDir&) = delete;

  const std::string& Path() const { return m_path; }
  // Writes the bytes to a file under the folder, making the folders of a relative name; returns the full path.
  std::string Write(const std::string& name, const std::string& bytes) const;
  std::string PathOf(const std::string& name) const { return m_path + "\\" + name; }

 private:
  std::string m_path;
};

// The whole file as bytes; an empty string for a missing file, so callers check existence separately.
std::string ReadFileBytes(const std::string& path);
bool FileExists(const std::string& path);
// "Z:\..." for a Unix path on Wine, the path itself elsewhere.
std::string DosPath(const std::string& path);
