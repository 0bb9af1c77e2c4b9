#include "MemoryException.h"

std::string CMemoryException::GetErrorMessage() const { return "内存不足，操作无法完成。"; }

void AfxThrowMemoryException() { throw CMemoryException(); }
