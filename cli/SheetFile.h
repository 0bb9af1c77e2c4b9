// One sheet on disk: read whole, then replaced in one step so that a crash or a full disk leaves either the old
// file or the new one. The file stays open from the read to the replacement, held against other writers that
// honour locks; one that does not is caught by comparing the file just before the replacement.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "NativePath.h"

// No text sheet comes near it; a larger file is left alone without being read.
inline constexpr std::uint64_t kLargestSheet = std::uint64_t{256} << 20;

inline constexpr const char* kChangedReason = "changed while converting (left as it is now)";

class SheetFile {
 public:
  enum class Loaded { kYes, kSkipped, kFailed };

  explicit SheetFile(NativePath path);
  ~SheetFile();
  SheetFile(const SheetFile&) = delete;
  SheetFile& operator=(const SheetFile&) = delete;

  // Reads the whole file. Skipped, with the reason, when it is no regular file (a FIFO, a device: opened so that
  // it cannot block) or larger than kLargestSheet; failed with the system's reason when it cannot be opened or
  // read (missing, locked). `beforeRead`, where given, is called with the file's size before its bytes are read,
  // to start what can go on meanwhile.
  Loaded Load(std::string& reason, const std::function<void(std::uint64_t size)>& beforeRead = nullptr);
  const std::string& Bytes() const { return m_bytes; }

  // Why the loaded file cannot be replaced (read-only file or folder, a file this user may not write), or empty.
  std::string CheckWritable() const;
  // Keeps the original as NAME.bak (NAME.bak.1, ... when taken; never overwritten) if `backup`: written whole to a
  // temporary name, flushed, then given its name. Writes `bytes` to a temporary file in the same folder, flushes
  // it and moves it over the original, keeping owner, group, permissions and extended attributes (on Windows the
  // attributes), and the modification time if `keepTime`; only if the path still names the file as it was read
  // (same file, size and times), else the reason is kChangedReason. On failure nothing is left behind and the
  // original is untouched.
  bool Replace(std::string_view bytes, bool backup, bool keepTime, NativePath& backupPath, std::string& reason);

 private:
  void Close();
  bool Unchanged(std::string& reason) const;

  NativePath m_path;
  std::string m_bytes;
#ifdef _WIN32
  void* m_handle;
  unsigned long long m_readWriteTime = 0;
#else
  int m_fd = -1;
  struct Identity {
    unsigned long long device, inode, size;
    long long modified, changed;  // nanoseconds
  } m_read = {};
  NativePath m_target;  // m_path with links resolved: the file itself is replaced, not a link to it
#endif
};
