#pragma once
#include <windows.h>

#include <string>

class CFileException;

// A file opened by path. Open reports failure by its result; once open, a failing Read, Write, GetLength
// or Close throws CFileException naming the file and the cause.
class CFile {
 public:
  enum OpenFlags : UINT {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
  };

  HANDLE m_hFile = INVALID_HANDLE_VALUE;

  CFile() = default;
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;
  // Closes an open file without throwing.
  virtual ~CFile();

  // FALSE when the file cannot be opened; pError, when given, then receives the cause.
  virtual BOOL Open(const char* lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
  virtual UINT Read(void* lpBuf, UINT nCount);
  // Writes all nCount bytes or throws (a short write is diskFull).
  virtual void Write(const void* lpBuf, UINT nCount);
  virtual ULONGLONG GetLength() const;
  // Cuts or extends the file; the position is left at the new end.
  virtual void SetLength(ULONGLONG dwNewLen);
  // Moves the position, counted from the beginning of the file.
  virtual void Seek(ULONGLONG dwPosition);
  virtual void Close();
  // Closes without throwing.
  virtual void Abort() noexcept;

  const std::string& GetFilePath() const noexcept { return m_strFileName; }

 protected:
  std::string m_strFileName;
};
