// TMXToolbar: construction and numbering.
#include "TMXToolbar.h"

IMPLEMENT_DYNCREATE(TMXToolbar, CToolBar)

const TextOptions TMXToolbar::m_eInitialTextOptions = toNoTextLabels;
const IconOptions TMXToolbar::m_eInitialIconOptions = ioSmallIcons;
const CSize TMXToolbar::m_szImageSmall(16, 16);
const CSize TMXToolbar::m_szImageLarge(24, 24);
int TMXToolbar::m_nBarNumber = 0;

TMXToolbar::TMXToolbar()
    : m_crHighlight(::GetSysColor(COLOR_BTNHIGHLIGHT)), m_crShadow(::GetSysColor(COLOR_BTNSHADOW)),
      m_crFace(::GetSysColor(COLOR_BTNFACE)) {
    ++m_nBarNumber;
    m_strRegValue.Format(L"TMXToolBar%d", m_nBarNumber);
    // No application or no registry key: no subkey, so nothing is saved
    // under a made-up name.
    CWinApp* app = AfxGetApp();
    if (app && app->m_pszRegistryKey && *app->m_pszRegistryKey && app->m_pszProfileName)
        m_strRegSubKey.Format(L"Software\\%s\\%s\\Settings", app->m_pszRegistryKey,
                              app->m_pszProfileName);
}

TMXToolbar::~TMXToolbar() = default;
