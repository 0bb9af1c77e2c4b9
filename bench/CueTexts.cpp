#include "CueTexts.h"

#include <cstdint>
#include <cstdio>
#include <span>
#include <string_view>

#include "IconvConverter.h"

namespace {

struct Vocabulary {
  std::span<const std::u8string_view> artists;
  std::span<const std::u8string_view> words;
  std::span<const std::u8string_view> suffixes;
  std::u8string_view wordSeparator;
};

// Names and titles in the style of each language's sheets, including the traditional and variant characters
// that the correction pass looks for.
constexpr std::u8string_view kChineseArtists[] = {
    u8"張學友", u8"王菲",   u8"周杰倫", u8"鄧麗君", u8"陳奕迅", u8"劉德華", u8"蔡依林", u8"五月天",
    u8"梁靜茹", u8"孫燕姿", u8"張惠妹", u8"羅大佑", u8"李宗盛", u8"蘇打綠", u8"林俊傑", u8"費玉清"};
constexpr std::u8string_view kChineseWords[] = {
    u8"愛",     u8"夢",       u8"風",   u8"雨",     u8"後來",     u8"時間",     u8"記憶",     u8"離開",
    u8"聽見",   u8"傳說",     u8"寂寞", u8"溫柔",   u8"幸福",     u8"晴天",     u8"愛情",     u8"永遠",
    u8"開始",   u8"結束",     u8"黃昏", u8"歲月",   u8"風繼續吹", u8"紅豆",     u8"吻別",     u8"傳奇",
    u8"乾杯",   u8"著名",     u8"沈默", u8"瞭解",   u8"髮如雪",   u8"雙截棍",   u8"一隻",     u8"於是",
    u8"簡單愛", u8"東風破",   u8"夜曲", u8"稻香",   u8"擁抱",     u8"倔強",     u8"聽海",     u8"會呼吸的痛",
    u8"十年",   u8"浮誇",     u8"陰天", u8"單車",   u8"約定",     u8"紅塵客棧", u8"煙花易冷", u8"青花瓷",
    u8"龍捲風", u8"開不了口", u8"星晴", u8"鐵窗淚", u8"認錯",     u8"後知後覺", u8"乾隆",     u8"計畫",
    u8"異鄉",   u8"煉愛",     u8"儘管", u8"關係",   u8"併肩",     u8"嚮往",     u8"徵婚",     u8"菸草",
    u8"閒聊"};
constexpr std::u8string_view kChineseSuffixes[] = {u8"（國語）", u8"︵Live︶", u8"（粵語）", u8"（演唱會版）",
                                                   u8"｜｜"};

constexpr std::u8string_view kJapaneseArtists[] = {
    u8"宇多田ヒカル", u8"浜崎あゆみ", u8"中島みゆき", u8"松任谷由実", u8"サザンオールスターズ", u8"安室奈美恵",
    u8"スピッツ",     u8"椎名林檎",   u8"久石譲",     u8"坂本龍一",   u8"美空ひばり",           u8"山下達郎"};
constexpr std::u8string_view kJapaneseWords[] = {u8"桜",
                                                 u8"夜空ノムコウ",
                                                 u8"世界に一つだけの花",
                                                 u8"時の流れに身をまかせ",
                                                 u8"春よ、来い",
                                                 u8"ロビンソン",
                                                 u8"残酷な天使のテーゼ",
                                                 u8"千と千尋の神隠し",
                                                 u8"風の谷のナウシカ",
                                                 u8"君をのせて",
                                                 u8"悲しみの向こう側",
                                                 u8"愛の歌",
                                                 u8"川の流れのように",
                                                 u8"涙そうそう",
                                                 u8"青い珊瑚礁",
                                                 u8"恋",
                                                 u8"花火",
                                                 u8"東京",
                                                 u8"約束",
                                                 u8"明日",
                                                 u8"夏祭り",
                                                 u8"雪の華",
                                                 u8"さくらんぼ",
                                                 u8"丸の内サディスティック"};
constexpr std::u8string_view kJapaneseSuffixes[] = {u8"（ライブ）", u8"（リマスター）", u8"［通常盤］",
                                                    u8"【初回限定】"};

constexpr std::u8string_view kWesternArtists[] = {
    u8"Björk",           u8"Sigur Rós",       u8"Motörhead", u8"Beyoncé",    u8"Mötley Crüe",      u8"Édith Piaf",
    u8"Françoise Hardy", u8"Céline Dion",     u8"Måneskin",  u8"Röyksopp",   u8"Blue Öyster Cult", u8"Hüsker Dü",
    u8"Zoë Keating",     u8"Ennio Morricone", u8"Alizée",    u8"Pedro Aznar"};
constexpr std::u8string_view kWesternWords[] = {u8"“Café del Mar”",
                                                u8"Déjà Vu",
                                                u8"Naïve",
                                                u8"Señorita",
                                                u8"Für Elise",
                                                u8"L’été indien",
                                                u8"Über Alles",
                                                u8"Crème Brûlée",
                                                u8"Piña Colada",
                                                u8"Mañana",
                                                u8"São Paulo",
                                                u8"Smörgåsbord",
                                                u8"Ça plane pour moi",
                                                u8"Cœur de pirate",
                                                u8"Ænima",
                                                u8"Hyperballad",
                                                u8"Jóga",
                                                u8"Non, je ne regrette rien",
                                                u8"Moi… Lolita",
                                                u8"Où est la fête?"};
constexpr std::u8string_view kWesternSuffixes[] = {
    u8" – Live", u8" (Remastered ©2011)", u8" ½ Speed", u8" ®",     u8" (Bonus • Demo)",
    u8" — Edit", u8" £5 Single",          u8" ¼ Mix",   u8" ¾ Mix", u8" €"};

constexpr std::string_view kGenres[] = {"Pop", "Rock", "Soundtrack", "Folk", "Jazz", "Classical", "Anime"};

// SplitMix64: a fixed sequence, so every run measures the same texts.
class Random {
 public:
  std::uint64_t Next() {
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  unsigned Below(unsigned bound) { return static_cast<unsigned>(Next() % bound); }
  template <typename T>
  const T& Pick(std::span<const T> items) {
    return items[Below(static_cast<unsigned>(items.size()))];
  }

 private:
  std::uint64_t m_state = 0x4C756D61726574ull;
};

void Append(std::string& text, std::u8string_view utf8) {
  text.append(reinterpret_cast<const char*>(utf8.data()), utf8.size());
}

std::string Title(const Vocabulary& vocabulary, Random& random) {
  std::string title;
  Append(title, random.Pick(vocabulary.words));
  if (random.Below(2) == 0) {
    Append(title, vocabulary.wordSeparator);
    Append(title, random.Pick(vocabulary.words));
  }
  if (random.Below(5) == 0) Append(title, random.Pick(vocabulary.suffixes));
  return title;
}

std::string Time(Random& random, unsigned minutes) {
  char time[16];
  std::snprintf(time, sizeof time, "%02u:%02u:%02u", minutes, random.Below(60), random.Below(75));
  return time;
}

std::string Album(const Vocabulary& vocabulary, Random& random) {
  std::string artist;
  Append(artist, random.Pick(vocabulary.artists));
  std::string title = Title(vocabulary, random);
  char line[96];
  std::snprintf(line, sizeof line, "REM GENRE %s\r\nREM DATE %u\r\nREM DISCID %08X\r\n",
                random.Pick(std::span<const std::string_view>(kGenres)).data(), 1970 + random.Below(54),
                static_cast<unsigned>(random.Next()));
  std::string album = line;
  album += "REM COMMENT \"ExactAudioCopy v1.6\"\r\n";
  album += "PERFORMER \"" + artist + "\"\r\nTITLE \"" + title + "\"\r\n";
  album += "FILE \"" + artist + " - " + title + ".wav\" WAVE\r\n";
  unsigned tracks = 8 + random.Below(8);
  for (unsigned track = 1, minutes = 0; track <= tracks; ++track, minutes += 3 + random.Below(3)) {
    std::snprintf(line, sizeof line, "  TRACK %02u AUDIO\r\n", track);
    album += line;
    album += "    TITLE \"" + Title(vocabulary, random) + "\"\r\n";
    std::string performer = artist;
    if (random.Below(6) == 0) {
      performer += " & ";
      Append(performer, random.Pick(vocabulary.artists));
    }
    album += "    PERFORMER \"" + performer + "\"\r\n";
    if (track > 1 && random.Below(3) == 0) album += "    INDEX 00 " + Time(random, minutes - 1) + "\r\n";
    album += "    INDEX 01 " + Time(random, minutes) + "\r\n";
  }
  return album;
}

// Albums in `encoding` up to `size` bytes; their UTF-8 form goes to `utf8` where the caller asks for it.
std::string Albums(const Vocabulary& vocabulary, const char* encoding, std::size_t size, std::string* utf8) {
  IconvConverter converter(encoding, "UTF-8");
  Random random;
  std::string encoded;
  for (;;) {
    std::string album = Album(vocabulary, random);
    std::string form = converter.Convert(album);
    if (encoded.size() + form.size() > size) return encoded;
    encoded += form;
    if (utf8) *utf8 += album;
  }
}

}  // namespace

CueTexts CueTexts::Generate(std::size_t size) {
  CueTexts texts;
  texts.big5 = Albums({kChineseArtists, kChineseWords, kChineseSuffixes, u8""}, "BIG5", size, &texts.traditionalUtf8);
  texts.traditionalGbk = IconvConverter("GBK", "UTF-8").Convert(texts.traditionalUtf8);
  texts.shiftJis = Albums({kJapaneseArtists, kJapaneseWords, kJapaneseSuffixes, u8"　"}, "CP932", size, nullptr);
  texts.western = Albums({kWesternArtists, kWesternWords, kWesternSuffixes, u8" "}, "CP1252", size, nullptr);
  return texts;
}
