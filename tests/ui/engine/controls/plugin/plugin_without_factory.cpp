// A module that loads but has no "CreateControl": not a plug-in.

#include <windows.h>

extern "C" __declspec(dllexport) int NotAFactory() { return 7; }
