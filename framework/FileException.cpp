#include "FileException.h"

#include <iterator>

namespace {

// Each message is the text before the file's name and the text after it.
struct CauseText {
  const char* before;
  const char* after;
};

constexpr CauseText kCauseTexts[] = {
    /* none             */ {"访问文件“", "”时出错。"},
    /* genericException */ {"访问文件“", "”时发生未知错误。"},
    /* fileNotFound     */ {"找不到文件“", "”。"},
    /* badPath          */ {"文件“", "”的路径无效。"},
    /* tooManyOpenFiles */ {"打开的文件太多，无法访问文件“", "”。"},
    /* accessDenied     */ {"拒绝访问文件“", "”。"},
    /* invalidFile      */ {"文件“", "”的句柄无效。"},
    /* removeCurrentDir */ {"无法删除当前目录“", "”。"},
    /* directoryFull    */ {"目录已满，无法创建文件“", "”。"},
    /* badSeek          */ {"在文件“", "”中定位时出错。"},
    /* hardIO           */ {"访问文件“", "”时发生硬件错误。"},
    /* sharingViolation */ {"文件“", "”正被其他程序使用（共享冲突）。"},
    /* lockViolation    */ {"文件“", "”的所需部分已被锁定。"},
    /* diskFull         */ {"写入文件“", "”时磁盘已满。"},
    /* endOfFile        */ {"读取文件“", "”时越过了文件末尾。"},
};
static_assert(std::size(kCauseTexts) == CFileException::endOfFile + 1);

struct OsErrorCause {
  LONG lOsError;
  int cause;
};

constexpr OsErrorCause kOsErrorCauses[] = {
    {ERROR_FILE_NOT_FOUND, CFileException::fileNotFound},
    {ERROR_PATH_NOT_FOUND, CFileException::badPath},
    {ERROR_INVALID_DRIVE, CFileException::badPath},
    {ERROR_INVALID_NAME, CFileException::badPath},
    {ERROR_BAD_PATHNAME, CFileException::badPath},
    {ERROR_FILENAME_EXCED_RANGE, CFileException::badPath},
    {ERROR_TOO_MANY_OPEN_FILES, CFileException::tooManyOpenFiles},
    {ERROR_ACCESS_DENIED, CFileException::accessDenied},
    {ERROR_WRITE_PROTECT, CFileException::accessDenied},
    {ERROR_NETWORK_ACCESS_DENIED, CFileException::accessDenied},
    {ERROR_INVALID_HANDLE, CFileException::invalidFile},
    {ERROR_CURRENT_DIRECTORY, CFileException::removeCurrentDir},
    {ERROR_CANNOT_MAKE, CFileException::directoryFull},
    {ERROR_SEEK, CFileException::badSeek},
    {ERROR_NEGATIVE_SEEK, CFileException::badSeek},
    {ERROR_NOT_READY, CFileException::hardIO},
    {ERROR_CRC, CFileException::hardIO},
    {ERROR_WRITE_FAULT, CFileException::hardIO},
    {ERROR_READ_FAULT, CFileException::hardIO},
    {ERROR_GEN_FAILURE, CFileException::hardIO},
    {ERROR_SHARING_VIOLATION, CFileException::sharingViolation},
    {ERROR_LOCK_VIOLATION, CFileException::lockViolation},
    {ERROR_HANDLE_DISK_FULL, CFileException::diskFull},
    {ERROR_DISK_FULL, CFileException::diskFull},
    {ERROR_HANDLE_EOF, CFileException::endOfFile},
};

}  // namespace

CFileException::CFileException(int cause, LONG lOsError, const char* lpszFileName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszFileName ? lpszFileName : "") {}

std::string CFileException::GetErrorMessage() const {
  const CauseText& text = kCauseTexts[m_cause >= none && m_cause <= endOfFile ? m_cause : genericException];
  return std::string(text.before) + m_strFileName + text.after;
}

int CFileException::OsErrorToException(LONG lOsError) noexcept {
  for (const OsErrorCause& entry : kOsErrorCauses) {
    if (entry.lOsError == lOsError) return entry.cause;
  }
  return genericException;
}

void AfxThrowFileException(int cause, LONG lOsError, const char* lpszFileName) {
  throw CFileException(cause, lOsError, lpszFileName);
}

void AfxThrowOsFileException(LONG lOsError, const char* lpszFileName) {
  throw CFileException(CFileException::OsErrorToException(lOsError), lOsError, lpszFileName);
}
