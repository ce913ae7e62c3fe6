// <windows.h> for the Windows backend, without the macros that would rename the platform
// layer's own DeleteFile and CopyFile to their A and W forms.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef CopyFile
#undef DeleteFile
