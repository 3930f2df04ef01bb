// CDockBarEx: the overlap of its bars; the row walk is the framework's.
#include "CDockBarEx.h"

#include "TMXToolbar.h"

IMPLEMENT_DYNAMIC(CDockBarEx, CDockBar)

int CDockBarEx::GetBarOverlap(CControlBar* bar) const {
    if (bar && bar->IsKindOf(RUNTIME_CLASS(TMXToolbar)) && bar->m_hWnd &&
        (bar->GetStyle() & TBSTYLE_FLAT))
        return 0;
    return CDockBar::GetBarOverlap(bar);
}
