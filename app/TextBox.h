// Exact exchange of a text with the rich-edit box. Under Wine the control counts characters, not bytes, in
// WM_GETTEXTLENGTH, and WM_SETTEXT takes a text that begins like rich text as rich text; a file's bytes must
// reach the box and come back unchanged all the same.
#pragma once

#include <optional>
#include <string>

#include "framework/Afx.h"

// Replaces the whole text; the caret stands at the start and the first line shows, with nothing to undo. The box
// may be replaced by another window with the same id: a new one, or the hidden one that showed the same text
// before, which then takes the focus if the old one had it; the old one stays hidden, without an id, until the
// next replacement. Callers look the box up again.
void SetTextBoxText(HWND hBox, const std::string& text);
std::string GetTextBoxText(HWND hBox);

// Data exchange of a rich-edit control's whole text, in either direction. The control holds its text as
// Unicode, so bytes that form no character of the code page (a file shown before its conversion) would come
// back as '?'. echo keeps what the box gave back right after it was filled; while the box still gives back
// exactly that, reading it leaves value as it was put there. Any other text, however it got into the box
// (typing, pasting, another program's WM_SETTEXT, which leaves the box looking unmodified), becomes value.
// value and echo must change only through exchanges.
void DDX_TextBox(CDataExchange* pDX, int nIDC, std::string& value, std::optional<std::string>& echo);
