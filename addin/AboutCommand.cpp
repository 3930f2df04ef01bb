#include "AboutCommand.h"

#include "AddinObject.h"
#include "ProductTitle.h"

#include <TMXGUIUtils.h>

int AboutCommand(HostAppHandle host) {
    FormProductTitle(host);
    TMXGUIUtils::About(ProductTitle, nullptr);
    return 0;
}

// The menu's About item. Before InitUserDLL3, or after event 3, there is no
// add-in to tell about.
extern "C" int MyQuorla_About() {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (!TheAddin || !TheAddin->Host()) return 0;
    try {
        AboutCommand(TheAddin->Host());
    } catch (...) {
        // nothing may be thrown into the host
    }
    return 0;
}
