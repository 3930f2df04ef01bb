// The About command: the library's About box with the product title.
#pragma once

#include "Host.h"

int AboutCommand(HostAppHandle host);
