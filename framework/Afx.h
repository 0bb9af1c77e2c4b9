#pragma once
// The framework: a small MFC-shaped application layer over the Win32 ANSI functions.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <richedit.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <string>

#include "Point.h"
#include "Size.h"
#include "Rect.h"
#include "MessageMap.h"
#include "CmdTarget.h"
#include "Wnd.h"
#include "DataExchange.h"
#include "Dialog.h"
#include "Static.h"
#include "Button.h"
#include "ComboBox.h"
#include "ToolTipCtrl.h"
#include "GdiObject.h"
#include "Font.h"
#include "Brush.h"
#include "DC.h"
#include "PaintDC.h"
#include "ClientDC.h"
#include "Exception.h"
#include "FileException.h"
#include "MemoryException.h"
#include "File.h"
#include "MessageBox.h"
#include "CommandLineInfo.h"
#include "RichEdit.h"
#include "WinApp.h"
#include "FileDialog.h"
