#include "File.h"

#include "FileException.h"

CFile::~CFile() { Abort(); }

BOOL CFile::Open(const char* lpszFileName, UINT nOpenFlags, CFileException* pError) {
  Abort();
  m_strFileName = lpszFileName;

  DWORD dwAccess = 0;
  switch (nOpenFlags & 3) {
    case modeRead:
      dwAccess = GENERIC_READ;
      break;
    case modeWrite:
      dwAccess = GENERIC_WRITE;
      break;
    default:
      dwAccess = GENERIC_READ | GENERIC_WRITE;
      break;
  }

  DWORD dwShareMode = 0;
  switch (nOpenFlags & 0x70) {
    case shareDenyWrite:
      dwShareMode = FILE_SHARE_READ;
      break;
    case shareDenyRead:
      dwShareMode = FILE_SHARE_WRITE;
      break;
    case shareDenyNone:
      dwShareMode = FILE_SHARE_READ | FILE_SHARE_WRITE;
      break;
    default:  // shareExclusive, and the old compatibility mode
      dwShareMode = 0;
      break;
  }

  DWORD dwCreation = OPEN_EXISTING;
  if (nOpenFlags & modeCreate) dwCreation = (nOpenFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, FALSE};
  HANDLE hFile = INVALID_HANDLE_VALUE;
  // Windows refuses to write a file marked read-only; Wine running as root would write it all the same.
  const DWORD dwAttributes = ::GetFileAttributesA(lpszFileName);
  if ((dwAccess & GENERIC_WRITE) && dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_READONLY))
    ::SetLastError(ERROR_ACCESS_DENIED);
  else
    hFile = ::CreateFileA(lpszFileName, dwAccess, dwShareMode, &sa, dwCreation, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (hFile == INVALID_HANDLE_VALUE) {
    if (pError != nullptr) {
      const LONG lOsError = LONG(::GetLastError());
      *pError = CFileException(CFileException::OsErrorToException(lOsError), lOsError, lpszFileName);
    }
    return FALSE;
  }
  m_hFile = hFile;
  return TRUE;
}

UINT CFile::Read(void* lpBuf, UINT nCount) {
  if (nCount == 0) return 0;
  DWORD dwRead = 0;
  if (!::ReadFile(m_hFile, lpBuf, nCount, &dwRead, nullptr))
    AfxThrowOsFileException(LONG(::GetLastError()), m_strFileName.c_str());
  return dwRead;
}

void CFile::Write(const void* lpBuf, UINT nCount) {
  if (nCount == 0) return;
  DWORD dwWritten = 0;
  if (!::WriteFile(m_hFile, lpBuf, nCount, &dwWritten, nullptr))
    AfxThrowOsFileException(LONG(::GetLastError()), m_strFileName.c_str());
  if (dwWritten != nCount) AfxThrowFileException(CFileException::diskFull, -1, m_strFileName.c_str());
}

ULONGLONG CFile::GetLength() const {
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(m_hFile, &size)) AfxThrowOsFileException(LONG(::GetLastError()), m_strFileName.c_str());
  return ULONGLONG(size.QuadPart);
}

void CFile::SetLength(ULONGLONG dwNewLen) {
  Seek(dwNewLen);
  if (!::SetEndOfFile(m_hFile)) AfxThrowOsFileException(LONG(::GetLastError()), m_strFileName.c_str());
}

void CFile::Seek(ULONGLONG dwPosition) {
  LARGE_INTEGER position;
  position.QuadPart = LONGLONG(dwPosition);
  if (!::SetFilePointerEx(m_hFile, position, nullptr, FILE_BEGIN))
    AfxThrowOsFileException(LONG(::GetLastError()), m_strFileName.c_str());
}

void CFile::Close() {
  if (m_hFile == INVALID_HANDLE_VALUE) return;
  HANDLE hFile = m_hFile;
  m_hFile = INVALID_HANDLE_VALUE;
  if (!::CloseHandle(hFile)) AfxThrowOsFileException(LONG(::GetLastError()), m_strFileName.c_str());
}

void CFile::Abort() noexcept {
  if (m_hFile != INVALID_HANDLE_VALUE) ::CloseHandle(m_hFile);
  m_hFile = INVALID_HANDLE_VALUE;
}
