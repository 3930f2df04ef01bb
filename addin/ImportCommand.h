// The Import command: the Open File dialog, the options dialog, then the
// import run with its failures in message boxes.
#pragma once

#include "Host.h"

// 1 when the file was read and every conversion that ran succeeded; 0 when
// the user cancelled a dialog (silently) or anything failed (with a message).
int ImportCommand(HostAppHandle host);
