// <windows.h> without the macros that would rename the seam's own methods
// (MessageBox, CopyFile, GetCurrentDirectory, SetCurrentDirectory) to their
// W forms. Every Win32 file includes this instead; the calls are spelled
// with their W names.
#pragma once

#include <windows.h>

#undef MessageBox
#undef CopyFile
#undef GetCurrentDirectory
#undef SetCurrentDirectory
