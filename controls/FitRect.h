// Where a static control goes when it is shrunk or grown to its text.
#pragma once

#include <windows.h>

// The control's rectangle (parent client coordinates) fitted to a text extent: the edge or centre the style
// aligns the text on stays put; SS_CENTERIMAGE keeps the vertical centre, otherwise the top stays.
RECT FitRectToText(RECT rect, SIZE extent, DWORD style);
