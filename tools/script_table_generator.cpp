#include "script_table_generator.h"

#include <unicode/translit.h>
#include <unicode/ucnv.h>
#include <unicode/uversion.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

struct Pair {
  unsigned from, to;
};

struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// Exact (round-trip) GBK mappings only: a fallback would make a pair whose target reads back differently.
Converter OpenGbk() {
  UErrorCode error = U_ZERO_ERROR;
  Converter gbk(ucnv_open("windows-936-2000", &error));
  if (U_FAILURE(error)) return nullptr;
  ucnv_setToUCallBack(gbk.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
  ucnv_setFromUCallBack(gbk.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
  ucnv_setFallback(gbk.get(), false);
  return U_SUCCESS(error) ? std::move(gbk) : nullptr;
}

// The pairs of double-byte GBK characters that the transliterator, given one character alone, turns into
// one other double-byte GBK character.
std::vector<Pair> CollectPairs(UConverter* gbk, const char* transliteratorId) {
  UErrorCode error = U_ZERO_ERROR;
  std::unique_ptr<icu::Transliterator> transliterator(
      icu::Transliterator::createInstance(transliteratorId, UTRANS_FORWARD, error));
  if (U_FAILURE(error)) return {};
  std::vector<Pair> pairs;
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
      const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      UChar unit[4];
      error = U_ZERO_ERROR;
      ucnv_reset(gbk);
      if (ucnv_toUChars(gbk, unit, 4, bytes, 2, &error) != 1 || U_FAILURE(error)) continue;
      icu::UnicodeString text(unit[0]);
      transliterator->transliterate(text);
      if (text.countChar32() != 1 || text.length() != 1 || text[0] == unit[0]) continue;
      const UChar mapped = text[0];
      char out[4];
      error = U_ZERO_ERROR;
      ucnv_reset(gbk);
      if (ucnv_fromUChars(gbk, out, 4, &mapped, 1, &error) != 2 || U_FAILURE(error)) continue;
      const unsigned to = static_cast<unsigned char>(out[0]) << 8 | static_cast<unsigned char>(out[1]);
      pairs.push_back({lead << 8 | trail, to});
    }
  }
  return pairs;
}

void AppendArray(std::string& text, const char* name, const std::vector<Pair>& pairs) {
  text += "const ScriptPair ";
  text += name;
  text += "[] = {\n";
  char item[24];
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    std::snprintf(item, sizeof item, "%s{0x%04X, 0x%04X},", i % 6 == 0 ? "    " : " ", pairs[i].from, pairs[i].to);
    text += item;
    if (i % 6 == 5 || i + 1 == pairs.size()) text += '\n';
  }
  text += "};\nconst std::size_t ";
  text += name;
  text += "Count = " + std::to_string(pairs.size()) + ";\n";
}

}  // namespace

std::string GenerateScriptTable() {
  const Converter gbk = OpenGbk();
  if (!gbk) return {};
  const std::vector<Pair> simplified = CollectPairs(gbk.get(), "Hant-Hans");
  const std::vector<Pair> traditional = CollectPairs(gbk.get(), "Hans-Hant");
  if (simplified.empty() || traditional.empty()) return {};
  std::string text = "// Generated from ICU " U_ICU_VERSION
                     " (Hant-Hans, Hans-Hant over each double-byte GBK character); do not edit.\n"
                     "// Regenerate: make native && build/native/tools/gen_script_table engine/script_table.cpp\n"
                     "#include \"script_table.h\"\n\n";
  AppendArray(text, "kToSimplified", simplified);
  text += '\n';
  AppendArray(text, "kToTraditional", traditional);
  return text;
}
