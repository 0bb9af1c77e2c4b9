// The program icon in the main dialog's corner, made clickable: hand cursor, tool tip "关于" with the main
// window's title, and the About box on a click.
#pragma once

#include "framework/Afx.h"

class CInfoIcon : public CStatic {
public:
    CInfoIcon();
    ~CInfoIcon() override;

protected:
    void PreSubclassWindow() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    void OnClicked();
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnMouseMove(UINT nFlags, CPoint point);

    DECLARE_MESSAGE_MAP()

private:
    BOOL m_bOverControl;
    HCURSOR m_hCursor;
    CToolTipCtrl m_toolTip;
};
