// Native files: POSIX calls. Other programs' advisory locks are honoured; rename replaces in one step.
#include "SheetFile.h"

#include "memory_hints.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

std::string Reason() { return std::strerror(errno); }

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A large file is read and written a piece at a time through one small buffer. In a virtual machine the kernel
// may copy to and from a process's pages at a tenth of its speed when they are many (measured on this kind of
// machine: 16 MB read whole in 21 ms, a piece at a time in 2.3 ms; written 22 ms against 2.5 ms); a buffer that
// stays in its mappings costs one more copy within the process, a fraction of that anywhere.
constexpr std::size_t kPiece = 128 * 1024;

bool WriteAll(int fd, std::string_view bytes) {
  std::unique_ptr<char[]> piece;
  if (bytes.size() > kPiece) piece = std::make_unique_for_overwrite<char[]>(kPiece);
  while (!bytes.empty()) {
    const std::size_t size = piece ? std::min(bytes.size(), kPiece) : bytes.size();
    if (piece) std::memcpy(piece.get(), bytes.data(), size);
    ssize_t written;
    do {
      written = write(fd, piece ? piece.get() : bytes.data(), size);
    } while (written < 0 && errno == EINTR);
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Gives a new file the original's owner, group and permissions. A user who may write the folder but does not
// own the file cannot keep its owner: the file is then left to its owner rather than taken over.
bool TakeOver(int fd, const struct stat& original, std::string& reason) {
  struct stat mine;
  if (fstat(fd, &mine) != 0) {
    reason = Reason();
    return false;
  }
  if ((mine.st_uid != original.st_uid || mine.st_gid != original.st_gid) &&
      fchown(fd, original.st_uid, original.st_gid) != 0) {
    reason = "cannot keep its owner and group: " + Reason();
    return false;
  }
  if (fchmod(fd, original.st_mode & 07777) != 0) {
    reason = Reason();
    return false;
  }
  return true;
}

// Copies every extended attribute of `from` to `to`; a file system without them, when the original has none, is
// no failure.
bool CopyAttributes(int from, int to, std::string& reason) {
  ssize_t size = flistxattr(from, nullptr, 0);
  if (size < 0 && (errno == ENOTSUP || errno == ENOSYS)) return true;
  std::string names(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) size = flistxattr(from, names.data(), names.size());
  if (size < 0) {
    reason = "cannot read its extended attributes: " + Reason();
    return false;
  }
  names.resize(static_cast<std::size_t>(size));
  for (std::size_t at = 0; at < names.size(); at = names.find('\0', at) + 1) {
    const char* name = names.c_str() + at;
    const ssize_t length = fgetxattr(from, name, nullptr, 0);
    std::string value(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length < 0 || fgetxattr(from, name, value.data(), value.size()) != length ||
        fsetxattr(to, name, value.data(), value.size(), 0) != 0) {
      reason = std::string("cannot keep its extended attribute ") + name + ": " + Reason();
      return false;
    }
  }
  return true;
}

// Writes, flushes and closes a new file; removes it on any failure.
bool Finish(int fd, const std::string& path, std::string_view bytes, int originalFd, const struct stat& original,
            bool keepTime, std::string& reason) {
  bool ok = WriteAll(fd, bytes);
  if (!ok) reason = Reason();
  ok = ok && TakeOver(fd, original, reason) && CopyAttributes(originalFd, fd, reason);
  if (ok && keepTime) {
    const struct timespec times[2] = {original.st_atim, original.st_mtim};
    ok = futimens(fd, times) == 0;
    if (!ok) reason = Reason();
  }
  if (ok && fsync(fd) != 0) {
    reason = Reason();
    ok = false;
  }
  if (close(fd) != 0 && ok) {
    reason = Reason();
    ok = false;
  }
  if (!ok) unlink(path.c_str());
  return ok;
}

// A new file in `folder` under a short name of our own (a long sheet name plus a suffix could pass the file
// system's limit), open for writing.
int MakeTemporary(const std::string& folder, std::string& path) {
  path = folder + "/.lumaret-XXXXXX";
  return mkostemp(path.data(), O_CLOEXEC);
}

// Gives `from` the name `to` unless `to` exists: never overwrites a file.
bool MoveNoReplace(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without the flag: a hard link does not replace either.
  if (link(from.c_str(), to.c_str()) != 0) return false;
  unlink(from.c_str());
  return true;
}

long long Nanoseconds(const struct timespec& t) { return static_cast<long long>(t.tv_sec) * 1000000000 + t.tv_nsec; }

}  // namespace

SheetFile::SheetFile(NativePath path) : m_path(std::move(path)) {}

SheetFile::~SheetFile() { Close(); }

void SheetFile::Close() {
  if (m_fd >= 0) close(m_fd);
  m_fd = -1;
}

SheetFile::Loaded SheetFile::Load(std::string& reason, const std::function<void(std::uint64_t size)>& beforeRead) {
  struct stat link;
  if (lstat(m_path.c_str(), &link) != 0) {
    reason = Reason();
    return Loaded::kFailed;
  }
  m_target = m_path;
  if (S_ISLNK(link.st_mode)) {
    char resolved[PATH_MAX];
    if (realpath(m_path.c_str(), resolved) == nullptr) {
      reason = Reason();
      return Loaded::kFailed;
    }
    m_target = resolved;
  }
  // Non-blocking, so that a FIFO or a device under a sheet's name cannot hold the run.
  m_fd = open(m_target.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  struct stat st;
  if (m_fd < 0 || fstat(m_fd, &st) != 0) {
    reason = Reason();
    return Loaded::kFailed;
  }
  if (!S_ISREG(st.st_mode)) {
    reason = S_ISFIFO(st.st_mode) ? "not a regular file (a FIFO)" : "not a regular file";
    return Loaded::kSkipped;
  }
  if (static_cast<std::uint64_t>(st.st_size) > kLargestSheet) {
    reason = "too large (" + std::to_string(st.st_size) + " bytes; sheets above 256 MB are left alone)";
    return Loaded::kSkipped;
  }
  fcntl(m_fd, F_SETFL, fcntl(m_fd, F_GETFL) & ~O_NONBLOCK);
  if (flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
    reason = errno == EWOULDBLOCK ? "locked by another program" : Reason();
    return Loaded::kFailed;
  }
  // A file that grows meanwhile is read on, up to the limit. Its room is asked for in large pages before the
  // first write; a piece's bytes are appended, so none is written twice.
  const auto size = static_cast<std::size_t>(st.st_size);
  if (beforeRead) beforeRead(size);
  m_bytes.reserve(size);
  PreferLargePages(m_bytes);
  const std::size_t pieceSize = std::clamp<std::size_t>(size + 1, 4096, kPiece);
  const auto piece = std::make_unique_for_overwrite<char[]>(pieceSize);
  for (;;) {
    if (m_bytes.size() > kLargestSheet) {
      reason = "too large (grew past 256 MB while read)";
      return Loaded::kSkipped;
    }
    const ssize_t got = read(m_fd, piece.get(), pieceSize);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      reason = Reason();
      return Loaded::kFailed;
    }
    if (got == 0) break;
    m_bytes.append(piece.get(), static_cast<std::size_t>(got));
  }
  const std::size_t have = m_bytes.size();
  if (fstat(m_fd, &st) != 0) {
    reason = Reason();
    return Loaded::kFailed;
  }
  m_read = {static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino), have,
            Nanoseconds(st.st_mtim), Nanoseconds(st.st_ctim)};
  return Loaded::kYes;
}

// Whether the path still names the file as it was read: an editor that saved over it (a new file), appended to
// it or touched it since, or a file deleted meanwhile, is left as it now is.
bool SheetFile::Unchanged(std::string& reason) const {
  struct stat now;
  if (stat(m_target.c_str(), &now) != 0 || static_cast<unsigned long long>(now.st_dev) != m_read.device ||
      static_cast<unsigned long long>(now.st_ino) != m_read.inode ||
      static_cast<unsigned long long>(now.st_size) != m_read.size || Nanoseconds(now.st_mtim) != m_read.modified ||
      Nanoseconds(now.st_ctim) != m_read.changed) {
    reason = kChangedReason;
    return false;
  }
  return true;
}

std::string SheetFile::CheckWritable() const {
  struct stat st;
  if (fstat(m_fd, &st) != 0) return Reason();
  // The owner's write bit decides, also for root, who could write anyway: a read-only sheet stays as it is.
  if (!(st.st_mode & S_IWUSR)) return "read-only file (the owner has no write permission)";
  // The folder's permission would let the replacement through; the file's own decides.
  if (faccessat(AT_FDCWD, m_target.c_str(), W_OK, AT_EACCESS) != 0) return Reason();
  const std::string folder = FolderOf(m_target);
  struct stat dir;
  if (stat(folder.c_str(), &dir) != 0) return Reason();
  if (!(dir.st_mode & S_IWUSR)) return "read-only folder (the owner has no write permission)";
  if (access(folder.c_str(), W_OK) != 0) return std::string("folder cannot be written: ").append(Reason());
  return {};
}

bool SheetFile::Replace(std::string_view bytes, bool backup, bool keepTime, NativePath& backupPath,
                        std::string& reason) {
  backupPath.clear();
  struct stat original;
  if (fstat(m_fd, &original) != 0) {
    reason = Reason();
    return false;
  }
  if (!Unchanged(reason)) return false;
  const std::string folder = FolderOf(m_target);
  if (backup) {
    std::string temp;
    const int fd = MakeTemporary(folder, temp);
    // The backup keeps the original's time as well as its bytes.
    if (fd < 0 || !Finish(fd, temp, m_bytes, m_fd, original, true, reason)) {
      if (fd < 0) reason = Reason();
      return false;
    }
    for (int n = 0;; ++n) {
      std::string name = m_target + ".bak";
      if (n > 0) name.append(".").append(std::to_string(n));
      if (MoveNoReplace(temp, name)) {
        // Where the backup really is: beside the file itself when the sheet's name is a link.
        backupPath = name;
        break;
      }
      if (errno == EEXIST) continue;
      reason = errno == ENAMETOOLONG ? "the backup's name would be too long; --no-backup converts without one"
                                     : "cannot name the backup: " + Reason();
      unlink(temp.c_str());
      return false;
    }
  }
  auto undo = [&] {
    if (!backupPath.empty()) unlink(backupPath.c_str());
    backupPath.clear();
    return false;
  };

  std::string temp;
  const int fd = MakeTemporary(folder, temp);
  if (fd < 0) {
    reason = Reason();
    return undo();
  }
  if (!Finish(fd, temp, bytes, m_fd, original, keepTime, reason)) return undo();
  // Checked again at the last moment: the read and the writes took time in which an editor may have saved.
  const bool unchanged = Unchanged(reason);
  if (!unchanged || rename(temp.c_str(), m_target.c_str()) != 0) {
    if (unchanged) reason = Reason();
    unlink(temp.c_str());
    return undo();
  }
  Close();
  // The new name must reach the disk too, or a crash could bring back the old file without its backup.
  const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
}
