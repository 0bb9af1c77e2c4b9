// The letter models of the single-byte causes and the frequency classes of the Hangul syllables, generated from
// the translated strings of installed message catalogues by tools/gen-letter-frequency into
// letter_frequency.cpp.
#pragma once

#include <cstddef>
#include <string_view>

// A language's characters in classes (0 not a letter, 1 a sign above ASCII, 2 a letter the language does not
// write, then the ASCII letters, then the language's own letters), and what each costs in quarter nats.
struct LetterModel {
  std::u16string_view lower, upper;   // the language's own letters, class FirstLetter() + i
  std::u16string_view signs;          // the common signs above ASCII
  const unsigned char* signQuarters;  // per sign, its cost among signs
  unsigned char otherSignQuarters;    // any other sign's
  bool latin;                         // whether the ASCII letters are the language's (one class each) or not (one)
  const unsigned char* pairs;         // Classes() x Classes(): -ln P(class | the class before)
  const signed char* after;           // -ln (P(class | the class before) / P(class))
  // A letter lower or upper after a non-letter, a lower or an upper letter, and first in a string (a quoted
  // field of a sheet; read for the scripts other than Latin).
  unsigned char caseQuarters[4][2];

  constexpr int FirstLetter() const { return latin ? 29 : 4; }
  constexpr int Classes() const { return FirstLetter() + static_cast<int>(lower.size()); }
};

// In the order of Letters (engine/encodings.h) from kWestern, then the models only decoys read with.
extern const LetterModel kLetterModels[];

// A model of one language of a family of several (Western: French, German, Spanish, Italian, Portuguese, and
// Dutch and the Nordic languages beside them), learnt from that language alone: a text in one language reads
// better by its own model than by the family's. Also a language as it is written another way: Hebrew in visual
// order, as GNU's ISO-8859-8 catalogues hold it.
struct LanguageModel {
  int family;          // in kLetterModels
  double seldomNats;   // what naming the language costs beyond naming any of its family
  LetterModel model;
};
extern const LanguageModel kLanguageModels[];
extern const std::size_t kLanguageModelCount;

// A language of a family whose words each belong to one of its languages (Cyrillic): the letters it writes. A
// word that holds letters no one language of its family writes together is no word of the family.
struct WordLanguage {
  int family;  // in kLetterModels
  std::u16string_view lower, upper;
};
extern const WordLanguage kWordLanguages[];
extern const std::size_t kWordLanguageCount;

// A code page no cause names, read with a letter model to tell its text from the causes' (engine/guess.cpp).
struct Decoy {
  const char* name;
  int letterModel;        // in kLetterModels
  const char16_t* upper;  // the characters of the bytes 0x80 to 0xFF, 0 where the code page defines none
};
extern const Decoy kDecoys[];
extern const std::size_t kDecoyCount;

inline constexpr char32_t kFirstHangul = 0xAC00;
inline constexpr std::size_t kHangulCount = 11172;
// One letter 'a' + class per syllable: a class c < 7 means a share of the syllables of Korean text of about
// e^-(3.5 + c); 7 is rarer or unseen.
extern const char kHangulClassLetters[];

inline int HangulClassOf(char32_t u) {
  if (u < kFirstHangul || u >= kFirstHangul + kHangulCount) return 7;
  return kHangulClassLetters[u - kFirstHangul] - 'a';
}
