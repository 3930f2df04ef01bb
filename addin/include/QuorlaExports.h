// The exports of Quorla.dll as a program that loads it sees them: the names
// to pass to GetProcAddress and the function types. C linkage, default C
// calling convention.
#pragma once

#include <windows.h>
#include <oaidl.h>

// The host hands over its application object and its reference to it;
// 1 on the first call, 0 when the add-in is already running.
typedef int (*QuorlaInitUserDLL3Fn)(IDispatch* host);
#define QUORLA_INIT_EXPORT "InitUserDLL3"

// Both names are one empty function, for hosts that call them.
typedef void (*QuorlaEmptyCallbackFn)();
#define QUORLA_MENUITEMCB_EXPORT "MenuItemCB"
#define QUORLA_SAVEASCB_EXPORT "SaveAsCB"

// Forms the product title for the host the add-in was started with, as every
// command does first, and copies it into `buffer` (`size` UTF-16 units with
// the terminating NUL). Returns the title's length; -1 when the add-in is not
// running or the buffer is too small (then `buffer` gets an empty text).
typedef int (*QuorlaProductTitleFn)(wchar_t* buffer, int size);
#define QUORLA_PRODUCTTITLE_EXPORT "QuorlaProductTitle"

// The module in which the framework finds resource `name` of `type` while
// the add-in runs a command (under its own module state, through the
// resource chain): Quorla.dll for its own dialogs and strings.
typedef HINSTANCE (*QuorlaFindResourceFn)(LPCWSTR name, LPCWSTR type);
#define QUORLA_FINDRESOURCE_EXPORT "QuorlaFindResource"
