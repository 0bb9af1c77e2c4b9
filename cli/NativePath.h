// A file name as the system spells it: UTF-16 on Windows (so names outside the ANSI code page work), the bytes
// of the command line natively.
#pragma once

#include <string>

#ifdef _WIN32
using NativePath = std::wstring;
#else
using NativePath = std::string;
#endif
