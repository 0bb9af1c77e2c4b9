#pragma once
#include <windows.h>

#include <string>

// Base of the framework's exceptions, which are thrown by value and caught by reference. The framework's
// window procedure and modal loop catch them (and std::bad_alloc) and report them with ReportError, so a
// failing handler ends, and the program goes on.
class CException {
 public:
  virtual ~CException() = default;

  virtual std::string GetErrorMessage() const = 0;
  // Shows GetErrorMessage() in the application message box.
  virtual int ReportError(UINT nType = MB_OK) const;
};

// Reports whatever a framework callback caught, from inside its catch handler. Exceptions of other types
// than CException and std::bad_alloc are not caught by the framework: they end the program, since letting
// them unwind through the system's frames is undefined.
void AfxReportCurrentException() noexcept;
