// The Help command: opens Quorla.chm, which lies beside the add-in's module,
// with the shell's handler for it; a failure shows one message box.
#pragma once

#include "Host.h"

#include <framework.h>

void HelpCommand(HostAppHandle host);

// The help file's full path: the folder of the module that holds this code
// (whatever its file is called), then "Quorla.chm".
CString HelpFilePath();
