#include "fixup_table_generator.h"

#include <unicode/ucnv.h>
#include <unicode/unistr.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <vector>

namespace {

struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

struct Fixup {
  std::string from, to;  // UTF-8, as written in the source
  std::string fromGbk, toGbk;
};

// Exact GBK only, as in the script table: a fallback would put a character the pass never meets in the table.
std::string ToGbk(UConverter* gbk, const std::string& utf8) {
  const icu::UnicodeString text = icu::UnicodeString::fromUTF8(utf8);
  char out[16];
  UErrorCode error = U_ZERO_ERROR;
  ucnv_reset(gbk);
  const int32_t n = ucnv_fromUChars(gbk, out, sizeof out, text.getBuffer(), text.length(), &error);
  return U_FAILURE(error) ? std::string() : std::string(out, static_cast<std::size_t>(n));
}

std::string Hex(const std::string& bytes) {
  std::string text;
  char item[16];
  for (const unsigned char b : bytes) {
    std::snprintf(item, sizeof item, "%s'\\x%02X'", text.empty() ? "" : ", ", b);
    text += item;
  }
  return text;
}

void AppendEntries(std::string& text, const std::vector<Fixup>& fixups, bool targets) {
  text += "    {\n";
  for (std::size_t i = 0; i < fixups.size(); ++i) {
    const Fixup& f = fixups[i];
    text += "        {" + Hex(targets ? f.toGbk : f.fromGbk) + "},  // " + std::to_string(i + 1) + ". " + f.from;
    if (targets) text += " -> " + f.to;
    text += '\n';
  }
  text += "        {0, 0";
  if (!fixups.empty() && fixups[0].fromGbk.size() == 4) text += ", 0, 0";
  text += "},\n    },\n";
}

void AppendTable(std::string& text, const char* type, const char* name, const std::vector<Fixup>& fixups) {
  text += std::string("inline constexpr ") + type + " " + name + " = {\n";
  AppendEntries(text, fixups, false);
  AppendEntries(text, fixups, true);
  text += "};\n";
}

constexpr const char* kHead =
    "// The correction pass that finishes every conversion to Simplified Chinese GBK, and its two tables.\n"
    "// The tables are generated from engine/fixups.txt; do not edit them here.\n"
    "// Regenerate: make native && build/native/tools/gen_fixup_tables engine/fixups.txt engine/fixups.h\n"
    "#pragma once\n"
    "\n"
    "#include <cstddef>\n"
    "\n";

constexpr const char* kTypes =
    "\n"
    "// Parallel arrays, each closed by an all-zero entry; entry i of the targets replaces entry i of the sources.\n"
    "// Bytes are GBK in text order, lead byte first.\n"
    "struct CharFixupTable {\n"
    "  char sources[kCharFixupCount + 1][2];\n"
    "  char targets[kCharFixupCount + 1][2];\n"
    "};\n"
    "struct WordFixupTable {\n"
    "  char sources[kWordFixupCount + 1][4];\n"
    "  char targets[kWordFixupCount + 1][4];\n"
    "};\n"
    "\n"
    "// Entries 1-128 give simplified forms of traditional and variant characters, 129-145 horizontal forms of\n"
    "// vertical punctuation. 慾 (15, 28) and 綑 (17, 64) appear twice; the first copy always wins.\n";

constexpr const char* kWordComment =
    "\n"
    "// Entries 1-14 restore 乾 in words that begin with 干, 15-17 restore 著, 18 is 了解, 19-42 turn 沈 into 沉,\n"
    "// 43-45 are 计划, 罗嗦 and the ellipsis made of two vertical bars.\n";

constexpr const char* kTail =
    "\n"
    "// Corrects a NUL-terminated GBK text in place, character by character; its byte length stays the same.\n"
    "void ApplyFixups(char* text);\n";

}  // namespace

std::string GenerateFixupHeader(const std::string& source, std::string& error) {
  UErrorCode status = U_ZERO_ERROR;
  Converter gbk(ucnv_open("windows-936-2000", &status));
  if (U_FAILURE(status)) {
    error = "ICU lacks windows-936-2000";
    return {};
  }
  ucnv_setFromUCallBack(gbk.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  ucnv_setFallback(gbk.get(), false);

  std::vector<Fixup> chars, words;
  std::vector<Fixup>* section = nullptr;
  std::istringstream lines(source);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    if (line.empty() || line[0] == '#') continue;
    if (line == "[characters]" || line == "[words]") {
      section = line == "[words]" ? &words : &chars;
      continue;
    }
    const std::size_t space = line.find(' ');
    Fixup f{line.substr(0, space), space == std::string::npos ? "" : line.substr(space + 1), {}, {}};
    f.fromGbk = ToGbk(gbk.get(), f.from);
    f.toGbk = ToGbk(gbk.get(), f.to);
    const std::size_t size = section == &words ? 4 : 2;
    if (section == nullptr || f.fromGbk.size() != size || f.toGbk.size() != size) {
      error = "line " + std::to_string(number) + ": " + line;
      return {};
    }
    section->push_back(std::move(f));
  }
  if (chars.empty() || words.empty()) {
    error = "a section is missing";
    return {};
  }

  std::string text = kHead;
  text += "inline constexpr std::size_t kCharFixupCount = " + std::to_string(chars.size()) + ";\n";
  text += "inline constexpr std::size_t kWordFixupCount = " + std::to_string(words.size()) + ";\n";
  text += kTypes;
  AppendTable(text, "CharFixupTable", "kCharFixups", chars);
  text += kWordComment;
  AppendTable(text, "WordFixupTable", "kWordFixups", words);
  text += kTail;
  return text;
}
