#include "Exception.h"

#include <new>

#include "MemoryException.h"
#include "MessageBox.h"

int CException::ReportError(UINT nType) const { return AfxMessageBox(GetErrorMessage().c_str(), nType); }

void AfxReportCurrentException() noexcept {
  try {
    throw;
  } catch (const CException& e) {
    e.ReportError();
  } catch (const std::bad_alloc&) {
    CMemoryException().ReportError();
  }
}
