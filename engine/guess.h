// Which repair a garbled text needs: the causes ranked by how plausible the text is under each.
//
// Each cause is a small model of the text it would produce: the bytes are read in the cause's code page and
// every character is given a cost, the negative log of its probability in nats (common characters of the
// cause's language cheap, rare ones dear, bytes the code page does not define dearest). `unknown` reads every
// byte above 0x7F as noise, and takes the lead when even the best reading is not credible: too many undefined
// sequences, or characters as rare on average as random bytes give. Where some reading is credible, a reading in
// a script of its own (Cyrillic, Greek, Hebrew) that is not counts as random bytes. The causes are ranked by total
// cost, and the scores are the costs turned into shares of one (a softmax), so a cause that explains the bytes a
// few nats better than the rest takes nearly all of it. Plain ASCII gives `ascii` the whole score; binary data
// (control bytes no text holds) gives it to `unknown`.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "encodings.h"

struct Candidate {
  Cause cause;
  double score;            // [0, 1]; the scores of a guess add up to 1
  std::size_t undefined;   // byte sequences the cause's code page does not define
  std::size_t unmappable;  // characters that would become GBK's default character
  // How much better, in nats, the cause's model explains the text than random bytes do (`unknown`'s model):
  // positive when the text reads as that cause's language; 0 for `unknown` itself, unless no cause is credible.
  // A text of plain ASCII gives every cause 0.
  double plausibility;
};

struct Guess {
  std::vector<Candidate> ranked;  // best first, each cause exactly once
  // ranked[0] may be acted on: it explains the text with no undefined sequence and holds at least
  // kConfidentScore of the score, also beside the readings of code pages no cause names (unless one reads the
  // text as the same characters), and a Chinese or Japanese reading costs no more than such text does; a cause
  // that pays a rarity (one beyond those a Chinese system's sheets mostly come in) also reads the text a nat better
  // than every other cause that reads it as other characters, so that another's rarity alone never makes it; or the
  // text is plain ASCII; or it is binary data (-> unknown). Causes that read the text as the same characters
  // are one answer, named by the one kEncodings lists first. In a long text, a double-byte or UTF-8 reading
  // that trails far behind after a 64 KB chunk stops there, its counts scaled to the whole text.
  bool confident;
};

inline constexpr double kConfidentScore = 0.95;

// The whole bytes of a file, NUL bytes included (a UTF-16 text is made of them). Never fails.
Guess GuessCause(std::string_view bytes);
// The bytes up to the first NUL; null counts as empty, which is ASCII.
Guess GuessCause(const char* text);

// Whether the reading of `bytes` in the code page of `cause` meets, within the text's first 64 KB chunk (which
// every reading reads whole), a sequence that the code page leaves undefined: GuessCause then never names that
// cause with confidence. For UTF-8 and the double-byte causes (GBK among them); false for any other. Stops at the
// first such sequence, so that a text in another code page is told in a few bytes, not by a whole guess.
bool MeetsUndefinedEarly(std::string_view bytes, Cause cause);

// Builds the guess's models, which the first guess otherwise builds (some milliseconds, in which a program could
// be finding and reading its first file): call it on a second thread meanwhile. A guess asked for before they are
// built waits for them.
void PrepareGuess();
