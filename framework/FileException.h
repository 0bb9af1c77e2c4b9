#pragma once
#include <string>

#include "Exception.h"

// An error on a file: the cause, the system's error code and the file's name.
class CFileException : public CException {
 public:
  enum {
    none,
    genericException,
    fileNotFound,
    badPath,
    tooManyOpenFiles,
    accessDenied,
    invalidFile,
    removeCurrentDir,
    directoryFull,
    badSeek,
    hardIO,
    sharingViolation,
    lockViolation,
    diskFull,
    endOfFile
  };

  int m_cause;
  LONG m_lOsError;
  std::string m_strFileName;

  explicit CFileException(int cause = none, LONG lOsError = -1, const char* lpszFileName = nullptr);

  // Names the file and the cause.
  std::string GetErrorMessage() const override;

  static int OsErrorToException(LONG lOsError) noexcept;
};

[[noreturn]] void AfxThrowFileException(int cause, LONG lOsError = -1, const char* lpszFileName = nullptr);
// Throws the file exception that matches a system error code.
[[noreturn]] void AfxThrowOsFileException(LONG lOsError, const char* lpszFileName);
