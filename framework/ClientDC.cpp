#include "ClientDC.h"

#include "Wnd.h"

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr) { m_hDC = ::GetDC(m_hWnd); }

CClientDC::~CClientDC() {
  ::ReleaseDC(m_hWnd, m_hDC);
  m_hDC = nullptr;
}
