#include "guess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "bounded.h"
#include "text_services.h"

namespace {

struct Row {
  const char* what;
  const char* text;
  Cause cause;  // ranked first
  bool confident;
};

// Each row is a case that separates the causes, most of them as short as real sheets make them.
const Row kRows[] = {
    // Nothing to repair
    {"empty text", "", Cause::kAscii, true},
    {"plain ASCII sheet", "PERFORMER \"Various\"\r\nTITLE \"Live\"\r\n\tFILE \"a.wav\" WAVE\r\n", Cause::kAscii, true},
    // A short sheet whose one title has four characters (or two)
    {"Big5 title of two words", "TITLE \"\xA6\xCA\xBE\xD4\"\r\n", Cause::kBig5, true},  // 百戰
    {"GBK title of two words", "TITLE \"\xB0\xD9\xD5\xBD\"\r\n", Cause::kGbk, true},    // 百战
    {"Big5 title of one character", "TITLE \"\xA4\xA4\"\r\n", Cause::kBig5, true},      // 中
    {"GBK title of one character", "TITLE \"\xD6\xD0\"\r\n", Cause::kGbk, true},        // 中
    // GBK and Big5 share their byte ranges: the frequencies decide
    {"Big5 bytes that are common GBK pairs too", "TITLE \"\xC5\xE7\xC3\xD2\"\r\n", Cause::kBig5, true},  // 驗證
    {"GBK bytes that are Big5 pairs too", "TITLE \"\xD6\xD0\xCE\xC4\xB8\xE8\xC7\xFA\"\r\n", Cause::kGbk,
     true},  // 中文歌曲
    // Shift-JIS: kana, or kanji whose lead bytes are rare in GBK and user-defined in Big5
    {"Shift-JIS kana", "TITLE \"\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD\"\r\n", Cause::kShiftJis, true},
    {"Shift-JIS kanji only", "TITLE \"\x93\x8C\x8B\x9E\"\r\n", Cause::kShiftJis, true},  // 東京
    {"Shift-JIS half-width katakana, too few to be sure", "TITLE \"\xB1\xB2\xB3\"\r\n", Cause::kShiftJis, false},
    // Windows-1252: accents and marks between ASCII letters, which a double-byte reading would swallow
    {"Windows-1252 accent between letters", "TITLE \"Caf\xE9 de Flore\"\r\n", Cause::kWestern, true},
    {"Windows-1252 umlaut", "TITLE \"F\xFCr Elise\"\r\n", Cause::kWestern, true},
    {"Windows-1252 apostrophe", "TITLE \"Don\x92t Stop\"\r\n", Cause::kWestern, true},
    // Big5 reads the inverted mark and the capital after it as a full-width question mark
    {"Windows-1252 Spanish exclamation", "TITLE \"\xA1Hola amigos!\"\r\nFILE \"\xA1Hola amigos!.flac\" WAVE\r\n",
     Cause::kWestern, false},
    // Italian and Portuguese, whose letters the French, German and Spanish models take for foreign: they read
    // as a Cyrillic word (è as и) or as kana without models of their own
    {"Windows-1252 Italian titles", "TITLE \"Com'\xE8 profondo il mare\"\r\n  TRACK 01 AUDIO\r\n    TITLE \"Citt\xE0 vuota\"\r\n",
     Cause::kWestern, true},
    {"Windows-1252 Italian one-letter word", "TITLE \"Questa \xE8 la mia vita\"\r\n", Cause::kWestern, false},
    {"Windows-1252 Portuguese titles",
     "TITLE \"Can\xE7\xE3o do Mar\"\r\n  TRACK 01 AUDIO\r\n    TITLE \"Cora\xE7\xE3o independente\"\r\n", Cause::kWestern, true},
    // Icelandic ð and Þ read as Baltic š and Ž, a Finnish title as nothing Western without a model of its own
    {"Windows-1252 Icelandic titles", "PERFORMER \"Dj\xFApi\xF0 blues\"\r\nTITLE \"\xDEj\xF3\xF0lagi\xF0 okkar\"\r\n",
     Cause::kWestern, true},
    {"Windows-1252 Finnish titles",
     "TITLE \"Y\xF6 k\xE4velee\"\r\n  TRACK 01 AUDIO\r\n    TITLE \"Voi h\xE4lytt\xE4v\xE4\xE4 \x9Aokkia\"\r\n",
     Cause::kWestern, true},
    {"Windows-1252 guillemets and no-break spaces", "TITLE \"\xAB\xA0Live\xA0\xBB\"\r\n", Cause::kWestern, true},
    // UTF-8: its structure is near proof
    {"UTF-8 accent", "TITLE \"Caf\xC3\xA9 de Flore\"\r\n", Cause::kUtf8, true},
    {"UTF-8 Chinese without a byte-order mark", "TITLE \"\xE4\xB8\xAD\xE6\x96\x87\"\r\n", Cause::kUtf8, true},
    {"UTF-8 with a byte-order mark", "\xEF\xBB\xBFTITLE \"Live\"\r\n", Cause::kUtf8, true},
    // GBK 乾隆 is also well-formed UTF-8 (two Latin signs): two readings about as good, so not sure
    {"GBK that is also UTF-8", "TITLE \"\xC7\xAC\xC2\xA1\"\r\n", Cause::kUtf8, false},
    // The causes beyond today's six: their letters, read with their language's model
    {"Windows-1251 Russian title", "TITLE \"\xC3\xF0\xF3\xEF\xEF\xE0 \xEA\xF0\xEE\xE2\xE8\"\r\n", Cause::kWindows1251, true},
    {"KOI8-R Russian title", "TITLE \"\xE7\xD2\xD5\xD0\xD0\xC1 \xCB\xD2\xCF\xD7\xC9\"\r\n", Cause::kKoi8R, true},
    // A Latin text whose Western reading differs in a letter or two: the rest of its words tell its language.
    {"Windows-1250 Czech title, one letter apart from its Western reading", "TITLE \"P\xEDse\xF2 o l\xE1sce\"\r\n",
     Cause::kWindows1250, true},
    // Icelandic's model reads Þarkýlar (Þa as in það, ý) nearly as well as Turkish's Şarkılar: right, not sure
    {"Windows-1254 Turkish word, two letters apart", "TITLE \"\xDE" "ark\xFDlar\"\r\n", Cause::kWindows1254, false},
    {"Western Spanish: accents that Central European words hold more often, and n with a tilde",
     "TITLE \"Canci\xF3n de la monta\xF1" "a\"\r\nPERFORMER \"Jos\xE9 Mar\xED" "a Ca\xF1izares\"\r\n"
     "TITLE \"Rapsodia espa\xF1ola\"\r\nTITLE \"P\xE1gina de m\xFAsica cl\xE1sica\"\r\n",
     Cause::kWestern, true},
    {"Windows-1254 Turkish word alone, its letters at both ends of the text", "\xDE" "ark\xFDlar",
     Cause::kWindows1254, false},
    {"Windows-1250 Romanian with the cedilla letters", "TITLE \"\xCEn\xFE" "elegere \xBAi speran\xFE\xE3\"\r\n",
     Cause::kWindows1250, true},
    {"Western German word whose letter pairs read Hungarian: still Western, not sure", "TITLE \"\xC4gyptisch\"\r\n",
     Cause::kWestern, false},
    // ł between two letters read as Western is ³, a sign no word holds
    {"Windows-1250 Polish title beside a Spanish name",
     "TITLE \"Pa\xB3" "ac Wilan\xF3w\"\r\nTITLE \"C\xF3rdoba\"\r\n", Cause::kWindows1250, true},
    // Letter pairs the catalogues' prose never wrote (ńs, cū, dī, Ņu), which Western reads as letters of other
    // languages (ñ, û, î, Ò): a name's pairs are no proof against its family
    {"Windows-1250 Polish language names",
     "TITLE \"kare\xF1ski yintale\"\r\nFILE \"kare\xF1ski yintale.ape\" WAVE\r\nTITLE \"chi\xF1ski kanto\xF1ski\"\r\n",
     Cause::kWindows1250, true},
    {"Windows-1257 Lithuanian titles",
     "TITLE \"Hond\xFBras gest\xF8 kalba\"\r\nTITLE \"Netaisyklingas u\xFEklausos deskriptorius\"\r\n",
     Cause::kWindows1257, true},
    {"Windows-1257 Latvian message beside a place name",
     "PERFORMER \"R\xE2" "d\xEEt visus instal\xE7tos ievades avotus\"\r\nTITLE \"\xD2ujorka\"\r\n"
     "FILE \"\xD2ujorka.flac\" WAVE\r\n",
     Cause::kWindows1257, true},
    // Windows-1250 and ISO-8859-2 read Č alike, and together outweigh Western's È
    {"Windows-1250 Slovenian title that ISO-8859-2 reads alike", "TITLE \"\xC8" "as je za ples\"\r\n",
     Cause::kWindows1250, false},
    // Romanian titles beside a German place name, read word by word: whole, Romanian's model pays for ü and
    // Western's Portuguese reads ă as ã
    {"Windows-1250 Romanian titles beside a German name",
     "PERFORMER \"Baden-W\xFCrttemberg\"\r\nTITLE \"C\xE2ntec de var\xE3\"\r\nTITLE \"F\xE3r\xE3 tine\"\r\n",
     Cause::kWindows1250, true},
    {"Windows-1250 Romanian messages beside a German name",
     "TITLE \"Comut\xE3 ecranul\"\r\nPERFORMER \"Baden-W\xFCrttemberg\"\r\nTITLE \"Calendarul necesit\xE3 timp\"\r\n",
     Cause::kWindows1250, true},
    // Ł read as Western is £, which stands before a number, never against a letter: not sure
    {"ISO-8859-2 Polish sheet whose one letter Western reads otherwise is a capital L with stroke",
     "TITLE \"Cicha noc\"\r\nPERFORMER \"\xA3ukasz M\xFCller\"\r\nTITLE \"Ballada o J\xF3zefie\"\r\n", Cause::kWestern,
     false},
    // Turkish ı and ş, Estonian š read as Western are Icelandic ý, þ and ð, which Western's byte model no longer
    // takes cheaply: Turkish beside a Spanish name (read by Windows-1254's byte model too), an Estonian word not
    // sure; an Icelandic sheet stays Western
    {"Windows-1254 Turkish titles beside a Spanish name",
     "TITLE \"Yal\xFDn\xFDz gece\"\r\nPERFORMER \"Jos\xE9 Gonz\xE1lez\"\r\nTITLE \"S\xFCrg\xFCn\"\r\n",
     Cause::kWindows1254, true},
    {"Windows-1257 Estonian titles with s caron", "PERFORMER \"Ott Lepland\"\r\nTITLE \"Kuula\"\r\nTITLE \"S\xF5nad\"\r\n"
     "TITLE \"T\xF0" "ello\"\r\n", Cause::kWindows1257, false},
    // Lithuanian and Latvian words with a letter or two Western reads otherwise (į as á, ī as î), told by the
    // other words of their titles
    {"Windows-1257 Lithuanian message with one letter apart",
     "TITLE \"Nepavyko atverti CD \xE1renginio skaitymui.\"\r\n", Cause::kWindows1257, false},
    {"Windows-1257 Latvian title with two letters apart", "TITLE \"Dziesmas par m\xEElest\xEE" "bu\"\r\n",
     Cause::kWindows1257, true},
    {"Windows-1257 Lithuanian two-letter word beside its title", "TITLE \"Bandoma i\xF0 naujo, palaukite\"\r\n",
     Cause::kWindows1257, false},
    // Icelandic reads "tverðanas" (verð) about as well: left alone
    {"Windows-1257 Latvian word beside its title", "TITLE \"tver\xF0" "anas avots\"\r\n", Cause::kWestern, false},
    // Macron letters read as Western circumflex ones, which Western's byte model no longer takes cheaply
    {"Windows-1257 Latvian word with i macron", "TITLE \"S\xEEkdatnes\"\r\n", Cause::kWindows1257, false},
    // A name in no language of either family, ō no Baltic language's letter: left alone
    {"Windows-1257 Estonian spelling of an Afghan place", "TITLE \"N\xEEmr\xF4z\"\r\n", Cause::kWestern, false},
    {"Windows-1252 Icelandic titles", "PERFORMER \"Sigur R\xF3s\"\r\nTITLE \"Vi\xF0rar vel til loft\xE1r\xE1sa\"\r\n",
     Cause::kWestern, true},
    {"Windows-1250 Polish title", "TITLE \"Za\xBF\xF3\xB3\xE6 g\xEA\x9Cl\xB9 ja\x9F\xF1\"\r\n", Cause::kWindows1250, true},
    {"Windows-1253 Greek title", "TITLE \"\xCA\xE1\xEB\xE7\xEC\xDD\xF1\xE1 \xEA\xFC\xF3\xEC\xE5\"\r\n", Cause::kWindows1253,
     true},
    {"Windows-1254 Turkish title", "TITLE \"\xDE" "ark\xFDlar ve t\xFCrk\xFCler\"\r\n", Cause::kWindows1254, true},
    // A Turkish sheet that names a place in its own letters: a letter Turkish does not write is no proof against it,
    // Windows-1254's byte model reads the name as Western's does; a single short Turkish word does not settle it
    {"Windows-1254 Turkish title beside a Spanish place name", "TITLE \"Bogot\xE1\"\r\nTITLE \"Yaz\xFDlar\"\r\n",
     Cause::kWindows1254, false},
    {"Windows-1254 Turkish title beside a name whose letters pair as Western text's",
     "PERFORMER \"Jos\xE9 Wilkinson\"\r\nTITLE \"Yaz\xFDlar\"\r\n", Cause::kWindows1254, true},
    {"Windows-1254 Turkish word beside a Spanish place name", "TITLE \"Bogot\xE1\"\r\nTITLE \"Yaz\xFD\"\r\n",
     Cause::kWestern, false},
    {"Windows-1254 Turkish title beside a Portuguese name",
     "TITLE \"K\xFD\xFE masal\xFD\"\r\nTITLE \"S\xE3o Tom\xE9\"\r\n", Cause::kWindows1254, true},
    // İ is the capital of the ASCII i: a title in capitals reads as the same word in small letters
    {"Windows-1254 Turkish title in capitals", "TITLE \"K\xDDML\xDD\xD0\xDD\"\r\n", Cause::kWindows1254, true},
    {"Windows-1255 Hebrew title", "TITLE \"\xF9\xE9\xF8 \xE4\xF9\xE9\xF8\xE9\xED\"\r\n", Cause::kWindows1255, true},
    // As GNU's Hebrew catalogues store it (ISO-8859-8): in visual order, final letters first
    {"Windows-1255 Hebrew title in visual order", "TITLE \"\xF9\xEE\xF9 \xEC\xF9 \xED\xE9\xEE\xE9\"\r\n",
     Cause::kWindows1255, true},
    {"Windows-1255 Hebrew word in visual order", "FILE \"\xF5\xE1\xE5\xF7.wav\" WAVE\r\n", Cause::kWindows1255, true},
    // Hebrew names that read as lower-case Cyrillic too, where a field would start with a capital
    {"Windows-1255 Hebrew names, a title and its file",
     "TITLE \"\xF7\xF0\xEC\xE5\xF0\xF1\"\r\nFILE \"\xF7\xF0\xEC\xE5\xF0\xF1.ape\" WAVE\r\n"
     "TITLE \"\xEE\xE1\xE9\xE4\"\r\n",
     Cause::kWindows1255, true},
    {"Windows-1255 Hebrew names, three fields",
     "PERFORMER \"\xEC\xF8\xE4\"\r\nTITLE \"\xF7\xE5\xE0\xF0\xE2 \xF0\xE2\xE0\xE9\"\r\n"
     "TITLE \"\xF0\xE2\xF1\xE0\xF7\xE9\"\r\n",
     Cause::kWindows1255, true},
    // Place names in letter pairs Hebrew prose seldom writes, whose Cyrillic reading is dearer than any Cyrillic text
    {"Windows-1255 Hebrew place names, not Cyrillic however rare",
     "PERFORMER \"\xE1\xF0\xE2\xF7\xE5\xF7\"\r\nTITLE \"\xE8\xF9\xF7\xF0\xE8\"\r\n", Cause::kWindows1255, true},
    // The geresh marks a letter of a transliterated name: it reads as Ч inside a Cyrillic word
    {"Windows-1255 Hebrew name with a geresh", "TITLE \"\xE2\xD7\xF8\xE0\xE3\xE4\"\r\n", Cause::kWindows1255, true},
    {"Windows-1257 Lithuanian title", "TITLE \"Lietuvi\xF0kos dainos \xE0\xFEuolas\"\r\n", Cause::kWindows1257, true},
    {"EUC-KR Korean title", "TITLE \"\xBB\xE7\xB6\xFB\xC0\xC7 \xB3\xEB\xB7\xA1\"\r\n", Cause::kEucKr, true},
    {"EUC-JP kana and kanji", "TITLE \"\xA4\xB3\xA4\xF3\xA4\xCB\xA4\xC1\xA4\xCF\xC0\xA4\xB3\xA6\"\r\n", Cause::kEucJp, true},
    // Code pages no cause names: never a cause with confidence
    {"Mac Cyrillic: lower case as in Windows-1251, capitals not",
     "TITLE \"\x83\xF0\xF3\xEF\xEF\xE0 \x8A\xF0\xEE\xE2\xE8 \x9F\xF1\xED\xEE\"\r\n", Cause::kUnknown, true},
    {"Mac Cyrillic: a capital that Windows-1251 reads as a Macedonian letter, in a word only Russian writes",
     "TITLE \"\x9F\xF3\xED\xEF\xE8\xE5\xE1\xE0\xEB\xE3\xF1\xEA\xE8\xE9 \xEA\xF0\xE0\xE9\"\r\n", Cause::kUnknown, true},
    {"Windows-1251 Serbian: letters Russian lacks, in words of their own language",
     "PERFORMER \"\x80\xEE\xF0\x90\xE5 \xC1\xE0\xEB\xE0\xF8\xE5\xE2\xE8\x9E\"\r\n"
     "TITLE \"\xCF\xE5\xF1\xEC\xE0 \xEE \x9A\xF3\xE1\xE0\xE2\xE8\"\r\n",
     Cause::kWindows1251, true},
    {"Windows-1251 Belarusian: a word with letters Russian and Ukrainian each lack",
     "TITLE \"\xCB\xB3\xF0\xFB\xF7\xED\xFB\xFF \xEF\xE5\xF1\xED\xB3\"\r\n", Cause::kWindows1251, true},
    {"Mac Cyrillic: a capital that Windows-1251 reads as a Serbian letter, a word of all its languages",
     "TITLE \"\x9E\xEF\xE8\xF2\xE5\xF0\"\r\n", Cause::kWindows1251, false},
    {"code page 866 Russian", "TITLE \"\x83\xE0\xE3\xAF\xAF\xA0 \xAA\xE0\xAE\xA2\xA8\"\r\n", Cause::kUnknown, true},
    {"code page 1256 Arabic", "TITLE \"\xC3\xDB\xE4\xED\xC9 \xC7\xE1\xCD\xC8\"\r\n", Cause::kUnknown, true},
    {"code page 1256, one Arabic word that GBK reads as three rare characters: not sure",
     "TITLE \"\xC7\xE1\xD1\xCE\xD5\xC9\"\r\n", Cause::kGbk, false},
    // Its tone marks read as Windows-1252's capitals, which no word holds between small letters
    {"code page 1258 Vietnamese, a tone mark combining: not sure", "TITLE \"Ti\xCCnh y\xEAu\"\r\n", Cause::kUnknown,
     false},
    {"Windows-1252 capitals with accents beside small ones",
     "TITLE \"\xC9" "cole \xC0 la Carte, Jos\xC9 L\xD3PEZ\"\r\n", Cause::kWestern, true},
    {"code page 874 Thai name, which GBK reads as five hanzi", "PERFORMER \"\xBA\xC3\xD9\xB5\xD0\xC7\xD1\xB9\xB5\xA1\"\r\n",
     Cause::kGbk, false},
    {"code page 874 Thai", "TITLE \"\xE0\xBE\xC5\xA7\xC3\xD1\xA1\"\r\n", Cause::kUnknown, true},
    // The Cyrillic reading of this Hebrew word (the centre), all in small letters, costs a little more than the
    // Hebrew one: Hebrew, not sure
    {"a Hebrew word that reads as Cyrillic letters too", "PERFORMER \"\xE4\xEE\xF8\xEB\xE6\"\r\n",
     Cause::kWindows1255, false},
    {"Mac Roman French", "TITLE \"Caf\x8E cr\x8Fme \x88 la fran\x8D" "aise\"\r\n", Cause::kUnknown, true},
    // Mac Roman í and ó are Windows-1252's apostrophe and em dash, which real text sets inside a word only so
    {"Mac Roman Spanish place name: an apostrophe no language writes there", "TITLE \"R\x92o Negro\"\r\n",
     Cause::kWestern, false},
    {"Mac Roman Spanish: a dash between two small letters", "TITLE \"Canci\x97n de la l\x92nea\"\r\n",
     Cause::kUnknown, false},
    {"Mac Roman German: U with umlaut read as a dagger before a letter", "TITLE \"\x86" "bersetzungen\"\r\n",
     Cause::kUnknown, true},
    {"Mac Roman Luxembourgish: e with umlaut read as an opening quote inside a word", "TITLE \"L\x91tzebuergesch\"\r\n",
     Cause::kUnknown, false},
    {"Windows-1252 quotes around words", "TITLE \"\x93" "Caf\xE9\x94 \x84Lied\x93\"\r\n", Cause::kWestern, true},
    {"Windows-1252 elisions and a name's apostrophe",
     "TITLE \"L\x92" "amour d\x92un jour\"\r\nTITLE \"Dell\x92" "anima\"\r\n"
     "PERFORMER \"Sin\xE9" "ad O\x92" "Connor\"\r\n",
     Cause::kWestern, true},
    {"Windows-1254 suffix after a name's apostrophe", "TITLE \"\xDDstanbul\x92" "da Bir Ak\xFE" "am\"\r\n",
     Cause::kWindows1254, true},
    // Not text
    {"binary data: control bytes", "\x01\x02\x03\x04\x05\xFF\xFE", Cause::kUnknown, true},
    {"binary data: an executable's first bytes", "MZ\x90", Cause::kUnknown, true},
    {"random bytes above 0x7F: valid GBK pairs, but only the rarest",
     "\xE2\xD9\xC6\x42\x33\xA0\x7F\xB2\xEE\x6F\x8F\xA0\xCD\x7B\xE2\xA7\x72\x20\x3F\x91\xAB\x6B\xCC\xD4\xF1\xB7"
     "\xC8\xE9\x9A\xD2\xB5\xF3\xA8\xC4\x8E\xDB\xFA\xE3\xD2\xB4\xC1\xE7",
     Cause::kUnknown, true},
};

TEST(GuessCause, Rows) {
  for (const Row& row : kRows) {
    const Guess guess = GuessCause(row.text);
    ASSERT_FALSE(guess.ranked.empty()) << row.what;
    EXPECT_EQ(CauseName(guess.ranked[0].cause), CauseName(row.cause)) << row.what << ": " << Hex(row.text);
    EXPECT_EQ(guess.confident, row.confident) << row.what << ": score " << guess.ranked[0].score;
  }
}

// Long texts, read a chunk at a time, where the readings that trail far behind stop early.
TEST(GuessCause, LongTexts) {
  const struct {
    const char* what;
    const char* line;
    Cause cause;
  } rows[] = {
      {"Big5", "TITLE \"\xA6\xCA\xBE\xD4\"\r\n", Cause::kBig5},
      {"Windows-1252", "TITLE \"Caf\xE9 de Flore\"\r\n", Cause::kWestern},
      {"UTF-8", "TITLE \"\xE4\xB8\xAD\xE6\x96\x87\"\r\n", Cause::kUtf8},
      {"Windows-1251", "TITLE \"\xC3\xF0\xF3\xEF\xEF\xE0 \xEA\xF0\xEE\xE2\xE8\"\r\n", Cause::kWindows1251},
  };
  for (const auto& row : rows) {
    std::string text;
    while (text.size() < 300 * 1024) text += row.line;
    const Guess guess = GuessCause(text);
    EXPECT_EQ(CauseName(guess.ranked[0].cause), CauseName(row.cause)) << row.what;
    EXPECT_TRUE(guess.confident) << row.what;
    EXPECT_EQ(guess.ranked[0].undefined, 0u) << row.what;
  }
}

#ifndef _WIN32
// The double-byte readings take pairs from the code page as texts meet them, the UTF-8 reading its characters'
// costs, and every reading what GBK can write. In a process of its own, where none is read yet, threads that
// guess at once get what one thread gets afterwards.
TEST(GuessCauseDeathTest, ThreadsReadingTheSameRowsGetWhatOneThreadGets) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        const auto guessAll = [](std::size_t first) {
          std::vector<double> scores;
          for (std::size_t k = 0; k < std::size(kRows); ++k) {
            for (const Candidate& c : GuessCause(kRows[(first + k) % std::size(kRows)].text).ranked) {
              scores.push_back(static_cast<double>(c.cause) + c.score);
            }
          }
          return scores;
        };
        std::vector<std::vector<double>> seen(4);
        std::vector<std::thread> threads;
        for (std::size_t t = 0; t < seen.size(); ++t) threads.emplace_back([&, t] { seen[t] = guessAll(t * 7); });
        for (std::thread& thread : threads) thread.join();
        bool same = true;
        for (std::size_t t = 0; t < seen.size(); ++t) same = same && seen[t] == guessAll(t * 7);
        std::exit(same ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}
#endif

TEST(GuessCause, NullIsEmptyAscii) {
  const Guess guess = GuessCause(nullptr);
  EXPECT_EQ(guess.ranked[0].cause, Cause::kAscii);
  EXPECT_TRUE(guess.confident);
}

TEST(GuessCause, EveryCauseOnceWithScoresThatAddUpToOne) {
  for (const Row& row : kRows) {
    const Guess guess = GuessCause(row.text);
    ASSERT_EQ(guess.ranked.size(), kCauseCount) << row.what;
    double sum = 0;
    for (std::size_t i = 0; i < guess.ranked.size(); ++i) {
      sum += guess.ranked[i].score;
      EXPECT_GE(guess.ranked[i].score, 0) << row.what;
      EXPECT_LE(guess.ranked[i].score, 1) << row.what;
      if (i > 0) {
        EXPECT_GE(guess.ranked[i - 1].score, guess.ranked[i].score) << row.what;
      }
      for (std::size_t j = 0; j < i; ++j) EXPECT_NE(guess.ranked[i].cause, guess.ranked[j].cause) << row.what;
    }
    EXPECT_NEAR(sum, 1, 1e-9) << row.what;
  }
}

struct EvidenceRow {
  const char* what;
  const char* text;
  Cause cause;
  std::size_t undefined, unmappable;
};

// The evidence of one cause's reading, whatever the ranking.
const EvidenceRow kEvidenceRows[] = {
    {"Big5 user-defined pairs", "\x81\x40\xFE\xFE", Cause::kBig5, 2, 0},
    {"a lone lead byte at the end", "AB\xA4", Cause::kBig5, 1, 0},
    {"half-width katakana have no GBK form", "\xB1\xDF", Cause::kShiftJis, 0, 2},
    {"kana have one", "\x82\xB1\x82\xF1", Cause::kShiftJis, 0, 0},
    {"Windows-1252's five undefined bytes", "\x81\x8D\x8F\x90\x9D\xE9", Cause::kWestern, 5, 0},
    {"malformed UTF-8: a lone continuation, a truncated sequence, an overlong one, a surrogate",
     "\x80 \xE4\xB8 \xC0\xAF \xED\xA0\x80", Cause::kUtf8, 8, 0},
    {"UTF-8 outside GBK", "\xC7\xAC\xF0\x9F\x8E\xB5", Cause::kUtf8, 0, 2},  // Ǭ and a musical note
    {"ASCII defines nothing above 0x7F", "A\xE9\xE9", Cause::kAscii, 2, 0},
};

TEST(GuessCause, Evidence) {
  for (const EvidenceRow& row : kEvidenceRows) {
    const Guess guess = GuessCause(row.text);
    bool found = false;
    for (const Candidate& c : guess.ranked) {
      if (c.cause != row.cause) continue;
      found = true;
      EXPECT_EQ(c.undefined, row.undefined) << row.what;
      EXPECT_EQ(c.unmappable, row.unmappable) << row.what;
    }
    EXPECT_TRUE(found) << row.what;
  }
}

// The characters GBK cannot write, learnt as texts meet them: a UTF-16 text counts as unmappable exactly those no
// GBK byte, or pair outside its user-defined rows, decodes to; whether the guess met them one by one before (every
// 97th character first) or meets them a whole block at a time.
TEST(GuessCause, UnmappableIsWhatNoGbkSequenceDecodesTo) {
  std::vector<bool> gbk(0x10000, false);
  for (unsigned code = 0x80; code < 0x10000; ++code) {
    const std::string bytes = code < 0x100 ? std::string(1, static_cast<char>(code))
                                           : std::string{static_cast<char>(code >> 8), static_cast<char>(code)};
    char16_t unit[2];
    if (TextServices::MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), unit, 2) != 1) continue;
    if (code < 0x100 || unit[0] < 0xE000 || unit[0] > 0xF8FF) gbk[unit[0]] = true;
  }
  for (const unsigned step : {97u, 1u}) {
    std::string text = "\xFF\xFE";
    std::size_t unmappable = 0;
    for (unsigned u = 0x80; u < 0x10000; u += step) {
      if (u >= 0xD800 && u < 0xE000) continue;
      text += {static_cast<char>(u), static_cast<char>(u >> 8)};
      unmappable += !gbk[u];
    }
    const Guess guess = GuessCause(std::string_view(text));
    ASSERT_EQ(guess.ranked[0].cause, Cause::kUtf16Le);
    EXPECT_EQ(guess.ranked[0].unmappable, unmappable) << "every " << step;
  }
}

// What the convert command asks before guessing: whether a reading meets an undefined sequence in the first 64 KB.
TEST(MeetsUndefinedEarly, Rows) {
  const std::string ascii(65535, 'a');
  const struct {
    std::string text;
    Cause cause;
    bool meets;
  } rows[] = {
      {"\xA4\x40", Cause::kGbk, true},  // Big5's first ideograph is in GBK's user-defined area
      {"\xA4\x40", Cause::kUtf8, true},
      {"\xC4\xE3\xBA\xC3", Cause::kGbk, false},
      {"\xEF\xBB\xBF\xE4\xBD\xA0", Cause::kUtf8, false},
      {"\xE4\xBD\xA0", Cause::kGbk, true},  // a lead byte at the end
      {"\xE4\xBD\xA0", Cause::kBig5, true},
      {"\x82\xA0", Cause::kShiftJis, false},
      {ascii + "\xA4\x40", Cause::kGbk, true},  // the pair starts in the chunk
      {ascii + "a\xA4\x40", Cause::kGbk, false},
      {"\x81", Cause::kWestern, false},  // single-byte causes are not asked
  };
  for (const auto& row : rows) {
    EXPECT_EQ(MeetsUndefinedEarly(row.text, row.cause), row.meets) << Hex(row.text.substr(0, 8)) << row.text.size();
    const Guess guess = GuessCause(row.text);
    if (row.meets) {
      EXPECT_FALSE(guess.confident && guess.ranked[0].cause == row.cause) << row.text.size();
    }
  }
  // Whatever the text, a cause met by an undefined sequence early is never named with confidence.
  for (const Row& row : kRows) {
    const Guess guess = GuessCause(row.text);
    EXPECT_FALSE(guess.confident && MeetsUndefinedEarly(row.text, guess.ranked[0].cause)) << row.what;
  }
}

}  // namespace
