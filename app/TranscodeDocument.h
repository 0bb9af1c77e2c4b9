// The window's document: one file's bytes as loaded, the guess made on them, the item chosen and the text its
// conversion gives, and the encoding a save writes. It knows no window: the dialog writes its controls from it
// and reads back only what the user can change there (the box, the two lists).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Texts.h"
#include "engine/encodings.h"
#include "engine/guess.h"
#include "engine/repair.h"

// What the guess made of the bytes as loaded, as the note beside the list says it.
enum class Verdict {
  kTryEach,     // no text, no credible cause, or a cause the list lacks
  kReadable,    // ascii or gbk: nothing to convert
  kRecognised,  // confident, and the list has the cause's item, which is chosen
  kMaybe,       // not confident: the two best causes that have items are named
};

// The save targets, in item order; the item data is the index.
struct SaveTarget {
  const char* caption;  // GBK
  unsigned codePage;
  bool byteOrderMark;
};

class TranscodeDocument {
 public:
  // The items the window offers after "（请选择）", in item-data order: one per distinct choice of the
  // encoding records, Big5 and Shift-JIS only where the system converts them.
  void Offer(bool big5Works, bool shiftJisWorks);
  const std::vector<int>& Offered() const { return m_offered; }
  static std::string CaptionOf(int choice);  // GBK; empty for 0 and unknown values

  // Forgets the previous file's bytes, so that a load that fails part-way leaves the path with no text.
  void Unload();
  // Takes a file's whole bytes, guesses their cause and chooses the item the verdict calls for.
  void Load(std::string bytes);
  // Converts the bytes as loaded for the item with this data (0, or a value no item has: the text as loaded).
  void Choose(int choice);

  Verdict GetVerdict() const { return m_verdict; }
  std::string Note() const;  // GBK
  bool NoteWarns() const { return m_verdict == Verdict::kTryEach || m_verdict == Verdict::kMaybe; }
  const std::string& Loaded() const { return m_loaded; }
  Cause ChosenCause() const { return m_cause; }

  // Where a save would drop bytes of the file: the interpretation stops at a NUL that is no part of UTF-16.
  struct NulLoss {
    std::size_t offset;  // of the NUL, counted from 1
    std::size_t lost;    // bytes from the NUL to the end of the file
  };
  std::optional<NulLoss> FindNulLoss() const;
  // m_shown in the target's encoding.
  std::string BytesToSave() const;

  std::string m_path;   // the current file; also the file that save writes
  std::string m_shown;  // the text in the box; what save writes
  int m_choice = 0;     // item data of the chosen item; -1 when the list has no selection
  int m_target = 0;     // item data (index) of the save target

 private:
  Cause CauseOf(int choice) const;
  std::string_view Source(Cause cause) const;

  std::vector<int> m_offered;
  std::string m_loaded;  // the file's whole bytes: the input of every conversion
  Guess m_guess{{}, false};
  Cause m_cause = Cause::kAscii;  // what the shown conversion read the bytes as
  Verdict m_verdict = Verdict::kTryEach;
  std::vector<int> m_named;  // the items the note names
};

inline constexpr SaveTarget kSaveTargets[] = {
    {Texts::kTargetGbk, kRepairGbk, false},
    {Texts::kTargetUtf8Bom, kRepairUtf8, true},
    {Texts::kTargetUtf8, kRepairUtf8, false},
};
