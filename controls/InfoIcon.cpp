#include "InfoIcon.h"

#include <string>

#include "controls/AboutDlg.h"
#include "controls/AboutTip.h"
#include "res/resource.h"

namespace {

constexpr UINT_PTR kToolId = 1;
constexpr UINT kRedrawNow = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;

}

BEGIN_MESSAGE_MAP(CInfoIcon, CStatic)
    ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
    ON_WM_SETCURSOR()
    ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

CInfoIcon::CInfoIcon() : m_bOverControl(FALSE), m_hCursor(nullptr)
{
}

CInfoIcon::~CInfoIcon()
{
    m_toolTip.DestroyWindow();
}

void CInfoIcon::PreSubclassWindow()
{
    ModifyStyle(0, SS_NOTIFY);
    // The shared resource cursor: it lives as long as the program and is never released.
    if (!m_hCursor)
        m_hCursor = ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDC_LINK_HAND));

    std::string title;
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->GetWindowText(title);
    const std::string tip = AboutTipText(title);

    CRect rect;
    GetClientRect(rect);
    m_toolTip.Create(this);
    m_toolTip.AddTool(this, tip.c_str(), rect, kToolId);

    CStatic::PreSubclassWindow();
}

BOOL CInfoIcon::PreTranslateMessage(MSG* pMsg)
{
    if (m_toolTip.GetSafeHwnd())
        m_toolTip.RelayEvent(pMsg);
    return CStatic::PreTranslateMessage(pMsg);
}

void CInfoIcon::OnClicked()
{
    m_bOverControl = FALSE;
    ::ReleaseCapture();
    RedrawWindow(nullptr, nullptr, kRedrawNow);

    CAboutDlg dlg;
    dlg.DoModal();
}

BOOL CInfoIcon::OnSetCursor(CWnd*, UINT, UINT)
{
    if (!m_hCursor)
        return FALSE;
    ::SetCursor(m_hCursor);
    return TRUE;
}

void CInfoIcon::OnMouseMove(UINT nFlags, CPoint point)
{
    CStatic::OnMouseMove(nFlags, point);
    if (m_bOverControl) {
        CRect rect;
        GetClientRect(rect);
        if (!rect.PtInRect(point)) {
            m_bOverControl = FALSE;
            ::ReleaseCapture();
            RedrawWindow(nullptr, nullptr, kRedrawNow);
        }
    } else {
        m_bOverControl = TRUE;
        RedrawWindow(nullptr, nullptr, kRedrawNow);
        SetCapture();
    }
}
