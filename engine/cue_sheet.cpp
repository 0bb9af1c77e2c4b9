#include "cue_sheet.h"

#include "bytes.h"
#include "text_services.h"
#include "wide_text.h"

namespace TS = TextServices;

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view text, std::string_view lower) {
  if (text.size() != lower.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (Lower(text[i]) != lower[i]) return false;
  }
  return true;
}

constexpr std::string_view kUtf8ByteOrderMark = EncodingOf(Cause::kUtf8).byteOrderMark;

// Where the words of the line text[begin, end) may start: after a byte-order mark that opens the text.
std::size_t WordsBegin(std::string_view text, std::size_t begin, std::size_t end) {
  return begin == 0 && text.substr(0, end).starts_with(kUtf8ByteOrderMark) ? kUtf8ByteOrderMark.size() : begin;
}

// The name of the FILE line text[begin, end), as offset and length in the text; false for any other line.
bool FindName(std::string_view text, std::size_t begin, std::size_t end, std::size_t& offset, std::size_t& length) {
  std::size_t at = WordsBegin(text, begin, end);
  while (at < end && IsBlank(text[at])) ++at;
  constexpr std::string_view kKeyword = "file";
  if (end - at <= kKeyword.size() || !EqualsIgnoringCase(text.substr(at, kKeyword.size()), kKeyword) ||
      !IsBlank(text[at + kKeyword.size()])) {
    return false;
  }
  at += kKeyword.size();
  while (at < end && IsBlank(text[at])) ++at;
  if (at == end) return false;
  if (text[at] == '"') {
    const std::size_t close = text.find('"', at + 1);
    if (close == std::string_view::npos || close >= end) return false;
    offset = at + 1;
    length = close - offset;
    return true;
  }
  std::size_t last = end;
  while (IsBlank(text[last - 1])) --last;
  // The type is the last word; the name ends where the blanks before it begin.
  std::size_t nameEnd = last;
  std::size_t typeStart = last;
  while (typeStart > at && !IsBlank(text[typeStart - 1])) --typeStart;
  if (typeStart > at) {
    nameEnd = typeStart;
    while (IsBlank(text[nameEnd - 1])) --nameEnd;
  }
  offset = at;
  length = nameEnd - at;
  return true;
}

// Calls `visit(number, begin, end, offset, length)` for each FILE line of the text, in order, with its number
// (from 1), its place and its name's; returns the number of lines. Finds the keyword and counts the line breaks
// before it rather than looking at each line: a sheet of megabytes holds few FILE lines.
template <typename Visit>
std::size_t ForEachFileLine(std::string_view text, Visit visit) {
  const char* s = text.data();
  const std::size_t size = text.size();
  std::size_t number = 1, counted = 0;  // line `number` begins at `counted`
  for (std::size_t k = FileKeywordFrom(s, size, 0); k < size;) {
    // The line's first word, or, on the first line, its first word after a byte-order mark.
    std::size_t begin = k;
    while (begin > 0 && IsBlank(s[begin - 1])) --begin;
    if (begin == kUtf8ByteOrderMark.size() && text.starts_with(kUtf8ByteOrderMark)) {
      begin = 0;
    } else if (begin > 0 && s[begin - 1] != '\r' && s[begin - 1] != '\n') {
      k = FileKeywordFrom(s, size, k + 1);
      continue;
    }
    const std::size_t end = LineBreakFrom(s, size, begin);
    number += LineBreaksIn(s, size, counted, begin);
    counted = begin;
    std::size_t offset, length;
    if (FindName(text, begin, end, offset, length)) visit(number, begin, end, offset, length);
    k = FileKeywordFrom(s, size, end);
  }
  return number + LineBreaksIn(s, size, counted, size);
}

bool IsName(const std::u16string& name) { return !name.empty() && name.find(u'\0') == std::u16string::npos; }

struct Line {
  std::size_t begin, end;
};

}  // namespace

bool IsCueSheetName(std::string_view path) {
  constexpr std::string_view kExtension = ".cue";
  return path.size() >= kExtension.size() &&
         EqualsIgnoringCase(path.substr(path.size() - kExtension.size()), kExtension);
}

std::vector<FileLine> FindFileLines(std::string_view text) {
  std::vector<FileLine> found;
  ForEachFileLine(text, [&](std::size_t number, std::size_t, std::size_t, std::size_t offset, std::size_t length) {
    found.push_back({number, offset, length});
  });
  return found;
}

std::string KeepFileNames(std::string_view source, std::string converted, Cause cause, const NameExists& exists,
                          unsigned targetCodePage, std::vector<FileLine>* fileLines) {
  std::vector<FileLine> unused;
  std::vector<FileLine>& files = fileLines ? *fileLines : unused;
  const Encoding& encoding = EncodingOf(cause);
  if (!IsSource(cause)) {
    if (fileLines) files = FindFileLines(converted);
    return converted;
  }
  unsigned sourceCodePage = encoding.codePage;
  // UTF-16 is scanned as the same text in UTF-8, whose bytes the scan can read.
  std::string utf16AsUtf8;
  if (encoding.layout == Layout::kUtf16Le || encoding.layout == Layout::kUtf16Be) {
    const std::string_view mark = encoding.byteOrderMark;
    utf16AsUtf8 = Narrow(TS::kCodePageUtf8, WidenUtf16(source.substr(source.starts_with(mark) ? mark.size() : 0),
                                                       encoding.layout == Layout::kUtf16Be));
    source = utf16AsUtf8;
    sourceCodePage = TS::kCodePageUtf8;
  }
  // The converted text's FILE lines, then the source's lines of the same numbers.
  const std::string_view convertedText = converted;
  files.clear();
  std::vector<Line> to;
  const std::size_t convertedLines = ForEachFileLine(
      convertedText,
      [&](std::size_t number, std::size_t begin, std::size_t end, std::size_t offset, std::size_t length) {
        files.push_back({number, offset, length});
        to.push_back({begin, end});
      });
  if (files.empty()) return converted;
  std::vector<Line> from;
  std::size_t number = 1, at = 0;  // line `number` of the source begins at `at`
  for (const FileLine& file : files) {
    at = LineStartAfter(source.data(), source.size(), at, file.line - number);
    if (at == std::string::npos) return converted;
    number = file.line;
    from.push_back({at, LineBreakFrom(source.data(), source.size(), at)});
  }
  if (number + LineBreaksIn(source.data(), source.size(), at, source.size()) != convertedLines) return converted;

  std::string result;
  std::size_t copied = 0;
  for (std::size_t i = 0; i < files.size(); ++i) {
    FileLine& file = files[i];
    const std::size_t at = file.offset;
    file.offset += result.size() - copied;  // where it stands in the text returned
    std::size_t offset, length;
    if (!FindName(source, from[i].begin, from[i].end, offset, length)) continue;
    // The same bytes before and after the name in both lines: the name is all the routine changed there.
    const std::size_t fromBegin = WordsBegin(source, from[i].begin, from[i].end);
    const std::size_t toBegin = WordsBegin(convertedText, to[i].begin, to[i].end);
    const std::string_view sourceLine = source.substr(fromBegin, from[i].end - fromBegin);
    const std::string_view convertedLine = convertedText.substr(toBegin, to[i].end - toBegin);
    const std::size_t before = offset - fromBegin, after = from[i].end - offset - length;
    if (before != at - toBegin || after != to[i].end - at - file.length ||
        sourceLine.substr(0, before) != convertedLine.substr(0, before) ||
        sourceLine.substr(sourceLine.size() - after) != convertedLine.substr(convertedLine.size() - after)) {
      continue;
    }
    const std::u16string convertedName = Widen(targetCodePage, convertedText.substr(at, file.length));
    if (IsName(convertedName) && exists(convertedName)) continue;
    const std::u16string sourceName = Widen(sourceCodePage, source.substr(offset, length));
    if (!IsName(sourceName) || sourceName == convertedName || !exists(sourceName)) continue;
    const std::string spelled = Narrow(targetCodePage, sourceName);
    if (spelled.empty() || Widen(targetCodePage, spelled) != sourceName) continue;
    result.append(converted, copied, at - copied);
    result += spelled;
    copied = at + file.length;
    file.length = spelled.size();
  }
  if (copied == 0) return converted;
  result.append(converted, copied);
  return result;
}
