// Native files: POSIX calls. Other programs' advisory locks are honoured; rename replaces in one step.
#include "SheetFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

std::string Reason() { return std::strerror(errno); }

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Gives a new file the original's permissions and, where allowed, its owner (root converting a user's file).
bool TakeOver(int fd, const struct stat& original) {
  if (fchown(fd, original.st_uid, original.st_gid) != 0 && errno != EPERM) return false;
  return fchmod(fd, original.st_mode & 07777) == 0;
}

// Writes, flushes and closes a new file; removes it on any failure.
bool Finish(int fd, const std::string& path, std::string_view bytes, const struct stat& original, bool keepTime,
            std::string& reason) {
  bool ok = WriteAll(fd, bytes) && TakeOver(fd, original);
  if (ok && keepTime) {
    const struct timespec times[2] = {original.st_atim, original.st_mtim};
    ok = futimens(fd, times) == 0;
  }
  ok = ok && fsync(fd) == 0;
  if (!ok) reason = Reason();
  if (close(fd) != 0 && ok) {
    reason = Reason();
    ok = false;
  }
  if (!ok) unlink(path.c_str());
  return ok;
}

}  // namespace

SheetFile::SheetFile(NativePath path) : m_path(std::move(path)) {}

SheetFile::~SheetFile() { Close(); }

void SheetFile::Close() {
  if (m_fd >= 0) close(m_fd);
  m_fd = -1;
}

bool SheetFile::Load(std::string& reason) {
  struct stat link;
  if (lstat(m_path.c_str(), &link) != 0) {
    reason = Reason();
    return false;
  }
  m_target = m_path;
  if (S_ISLNK(link.st_mode)) {
    char resolved[PATH_MAX];
    if (realpath(m_path.c_str(), resolved) == nullptr) {
      reason = Reason();
      return false;
    }
    m_target = resolved;
  }
  m_fd = open(m_target.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st;
  if (m_fd < 0 || fstat(m_fd, &st) != 0) {
    reason = Reason();
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    reason = "not a regular file";
    return false;
  }
  if (flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
    reason = errno == EWOULDBLOCK ? "locked by another program" : Reason();
    return false;
  }
  // One byte more than the size asks for the end in the same call; a file that grows meanwhile is read on.
  m_bytes.resize(static_cast<std::size_t>(st.st_size) + 1);
  std::size_t have = 0;
  for (;;) {
    if (have == m_bytes.size()) m_bytes.resize(m_bytes.size() * 2);
    const ssize_t got = read(m_fd, m_bytes.data() + have, m_bytes.size() - have);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      reason = Reason();
      return false;
    }
    if (got == 0) break;
    have += static_cast<std::size_t>(got);
  }
  m_bytes.resize(have);
  return true;
}

std::string SheetFile::CheckWritable() const {
  struct stat st;
  if (fstat(m_fd, &st) != 0) return Reason();
  // The owner's write bit decides, also for root, who could write anyway: a read-only sheet stays as it is.
  if (!(st.st_mode & S_IWUSR)) return "read-only file (the owner has no write permission)";
  const std::string folder = FolderOf(m_target);
  struct stat dir;
  if (stat(folder.c_str(), &dir) != 0) return Reason();
  if (!(dir.st_mode & S_IWUSR)) return "read-only folder (the owner has no write permission)";
  if (access(folder.c_str(), W_OK) != 0) return std::string("folder cannot be written: ").append(Reason());
  return {};
}

bool SheetFile::Replace(std::string_view bytes, bool backup, bool keepTime, NativePath& backupPath,
                        std::string& reason) {
  struct stat original;
  if (fstat(m_fd, &original) != 0) {
    reason = Reason();
    return false;
  }
  backupPath.clear();
  if (backup) {
    for (int n = 0;; ++n) {
      std::string name = m_target + ".bak";
      if (n > 0) name.append(".").append(std::to_string(n));
      const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
      if (fd < 0 && errno == EEXIST) continue;
      if (fd < 0) {
        reason = Reason();
        return false;
      }
      // The backup keeps the original's time as well as its bytes.
      if (!Finish(fd, name, m_bytes, original, true, reason)) return false;
      // Where the backup really is: beside the file itself when the sheet's name is a link.
      backupPath = name;
      break;
    }
  }
  auto undo = [&] {
    if (!backupPath.empty()) unlink(backupPath.c_str());
    backupPath.clear();
    return false;
  };

  const std::size_t slash = m_target.rfind('/');
  std::string temp = m_target.substr(0, slash + 1);
  temp.append(".").append(m_target.substr(slash + 1)).append(".lumaret-XXXXXX");
  const int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) {
    reason = Reason();
    return undo();
  }
  if (!Finish(fd, temp, bytes, original, keepTime, reason)) return undo();
  if (rename(temp.c_str(), m_target.c_str()) != 0) {
    reason = Reason();
    unlink(temp.c_str());
    return undo();
  }
  Close();
  // The new name must reach the disk too, or a crash could bring back the old file without its backup.
  const int dir = open(FolderOf(m_target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
}
