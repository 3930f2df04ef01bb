// Export macro of TMXUI.dll and the framework it is built on.
#pragma once

#include <framework.h>

#ifdef TMXUI_BUILD
#define TMXUI_API __declspec(dllexport)
#else
#define TMXUI_API __declspec(dllimport)
#endif
