// One sheet on disk: read whole, then replaced in one step so that a crash or a full disk leaves either the old
// file or the new one. The file stays open from the read to the replacement, held against other writers.
#pragma once

#include <string>
#include <string_view>

#include "NativePath.h"

class SheetFile {
 public:
  explicit SheetFile(NativePath path);
  ~SheetFile();
  SheetFile(const SheetFile&) = delete;
  SheetFile& operator=(const SheetFile&) = delete;

  // Reads the whole file; false with the system's reason when it cannot be opened or read (missing, locked).
  bool Load(std::string& reason);
  const std::string& Bytes() const { return m_bytes; }

  // Why the loaded file cannot be replaced (read-only file or folder), or empty.
  std::string CheckWritable() const;
  // Keeps the original as NAME.bak (NAME.bak.1, ... when taken; never overwritten) if `backup`, writes `bytes`
  // to a temporary file in the same folder, flushes it and moves it over the original, keeping permissions or
  // attributes, and the modification time if `keepTime`. On failure nothing is left behind and the original is
  // untouched.
  bool Replace(std::string_view bytes, bool backup, bool keepTime, NativePath& backupPath, std::string& reason);

 private:
  void Close();

  NativePath m_path;
  std::string m_bytes;
#ifdef _WIN32
  void* m_handle;
#else
  int m_fd = -1;
  NativePath m_target;  // m_path with links resolved: the file itself is replaced, not a link to it
#endif
};
