// What the user reads when a hyperlink cannot be opened.
#pragma once

#include <string>

// The heading "Unable to open hyperlink:", a blank line and the text for the shell's or WinExec's result code.
std::string OpenErrorMessage(int code);
