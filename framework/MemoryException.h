#pragma once
#include "Exception.h"

class CMemoryException : public CException {
 public:
  std::string GetErrorMessage() const override;
};

[[noreturn]] void AfxThrowMemoryException();
