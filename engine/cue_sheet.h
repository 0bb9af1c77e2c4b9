// The FILE lines of a CUE sheet, and the rule that keeps them naming the audio file after a conversion: the
// file on disk keeps the name its own system gave it, which the conversion's script mapping, corrections or
// transliteration would otherwise change.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "encodings.h"

// Whether a path names a CUE sheet: it ends in ".cue", in any case. The caller decides, from this, whether the
// FILE-line rule applies; the text alone never does.
bool IsCueSheetName(std::string_view path);

struct FileLine {
  std::size_t line;    // 1-based
  std::size_t offset;  // of the name's first byte in the text
  std::size_t length;  // of the name in bytes, quotes not included
};

// The lines whose first word, after spaces and tabs, is FILE in any case, followed by a space or tab, with the
// name in double quotes (up to the next quote on the line; a line without it names nothing) or unquoted, up to
// the last space or tab before the type (the whole word when there is no type). Lines end at LF, CR LF or a
// lone CR; a UTF-8 byte-order mark that opens the text is no part of the first line's words. The scan is
// bytewise: in UTF-8 and every legacy source no trail byte is a CR, LF, space, tab or quote (EUC-JP's trail
// bytes are A1 to FE; 20932's low trail bytes, of JIS X 0212, stand in no EUC-JP text).
std::vector<FileLine> FindFileLines(std::string_view text);

// Whether a name (UTF-16, relative to the sheet's folder or absolute) names an existing file. It is never asked
// about an empty name or one holding U+0000.
using NameExists = std::function<bool(std::u16string_view name)>;

// The FILE-line rule over a converted CUE sheet. `source`: the bytes as loaded (up to the first NUL; for UTF-16
// the whole bytes, up to the first NUL character);
// `converted`: what the cause's routine made of them, in `targetCodePage` (936 for the dialog and
// lumaret-cli --to gbk; 65001 for lumaret-cli --to utf-8). Returns `converted` with each FILE name that names
// no file replaced by the source spelling when that names a file and the target code page holds it.
// The source spelling is the name's bytes decoded from the cause's code page with nothing else done to them;
// causes that convert nothing keep `converted` as it is. A name is only replaced where the source
// and the converted text have as many lines and the two FILE lines are the same bytes outside the name;
// "holds it" means the name comes back unchanged from the target code page. Nothing outside the names changes;
// `converted` is given back as it came (not copied) when no name changes. `fileLines`, where given, receives the
// FILE lines of the text returned, as FindFileLines would find them, which spares a caller a walk of its own.
std::string KeepFileNames(std::string_view source, std::string converted, Cause cause, const NameExists& exists,
                          unsigned targetCodePage = 936, std::vector<FileLine>* fileLines = nullptr);
