#include "app/TranscodeDocument.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "app/SheetFolder.h"
#include "engine/cue_sheet.h"
#include "engine/wide_text.h"

namespace {

// The conversions whose support the system must show first; every other item is always offered.
bool Works(Cause cause, bool big5Works, bool shiftJisWorks) {
  if (cause == Cause::kBig5) return big5Works;
  if (cause == Cause::kShiftJis) return shiftJisWorks;
  return true;
}

}  // namespace

void TranscodeDocument::Offer(bool big5Works, bool shiftJisWorks) {
  m_offered.clear();
  for (const Encoding& e : kEncodings) {
    if (e.choice != 0 && Works(e.cause, big5Works, shiftJisWorks)) m_offered.push_back(e.choice);
  }
  std::sort(m_offered.begin(), m_offered.end());
  m_offered.erase(std::unique(m_offered.begin(), m_offered.end()), m_offered.end());
}

std::string TranscodeDocument::CaptionOf(int choice) {
  for (const Encoding& e : kEncodings) {
    if (choice != 0 && e.choice == choice) return Narrow(kRepairGbk, e.caption);
  }
  return {};
}

// The two byte orders of UTF-16 share an item: the mark decides, else the order the guess ranks higher.
Cause TranscodeDocument::CauseOf(int choice) const {
  if (choice == EncodingOf(Cause::kUtf16Le).choice) {
    if (m_loaded.compare(0, 2, "\xFE\xFF") == 0) return Cause::kUtf16Be;
    for (const Candidate& c : m_guess.ranked) {
      if (IsUtf16(c.cause)) return c.cause;
    }
    return Cause::kUtf16Le;
  }
  for (const Encoding& e : kEncodings) {
    if (choice != 0 && e.choice == choice) return e.cause;
  }
  return Cause::kUnknown;
}

// UTF-16 is made of NUL bytes; every other reading of a file stops at its first NUL, as the box would.
std::string_view TranscodeDocument::Source(Cause cause) const {
  const std::string_view loaded = m_loaded;
  return IsUtf16(cause) ? loaded : loaded.substr(0, loaded.find('\0'));
}

void TranscodeDocument::Unload() {
  m_loaded.clear();
  m_shown.clear();
  m_guess = {{}, false};
  m_cause = Cause::kAscii;
  m_verdict = Verdict::kTryEach;
  m_named.clear();
}

void TranscodeDocument::Load(std::string bytes) {
  Unload();
  m_loaded = std::move(bytes);
  m_choice = 0;
  if (!m_loaded.empty()) {
    m_guess = GuessCause(std::string_view(m_loaded));
    const Cause top = m_guess.ranked.front().cause;
    const auto offered = [this](int choice) {
      return choice != 0 && std::find(m_offered.begin(), m_offered.end(), choice) != m_offered.end();
    };
    if (m_guess.confident && (top == Cause::kAscii || top == Cause::kGbk)) {
      m_verdict = Verdict::kReadable;
    } else if (m_guess.confident && offered(EncodingOf(top).choice)) {
      m_verdict = Verdict::kRecognised;
      m_choice = EncodingOf(top).choice;
      m_named = {m_choice};
    } else if (!m_guess.confident && top != Cause::kUnknown) {
      for (const Candidate& c : m_guess.ranked) {
        const int choice = EncodingOf(c.cause).choice;
        if (m_named.size() < 2 && offered(choice) && std::find(m_named.begin(), m_named.end(), choice) == m_named.end())
          m_named.push_back(choice);
      }
      m_verdict = m_named.size() == 2 ? Verdict::kMaybe : Verdict::kTryEach;
      if (m_verdict != Verdict::kMaybe) m_named.clear();
    }
  }
  Choose(m_choice);
}

void TranscodeDocument::Choose(int choice) {
  m_choice = choice;
  m_cause = CauseOf(choice);
  const std::string_view source = Source(m_cause);
  if (!IsSource(m_cause)) {
    m_shown.assign(source);
    return;
  }
  // The same whole-text repair as lumaret-cli's, so that the two front ends give the same bytes.
  m_shown = RepairText(source, m_cause, kRepairGbk);
  // A sheet's FILE lines must go on naming the audio files beside it, whatever the conversion did to them.
  if (IsCueSheetName(m_path)) {
    const CSheetFolder folder(m_path);
    m_shown =
        KeepFileNames(source, std::move(m_shown), m_cause, [&folder](std::u16string_view name) { return folder.Holds(name); });
  }
}

std::string TranscodeDocument::Note() const {
  switch (m_verdict) {
    case Verdict::kReadable:
      return Texts::kNoteReadable;
    case Verdict::kRecognised:
      return Texts::kNoteRecognised + CaptionOf(m_named[0]);
    case Verdict::kMaybe:
      return Texts::kNoteMaybe + CaptionOf(m_named[0]) + Texts::kJoin + CaptionOf(m_named[1]);
    case Verdict::kTryEach:
      break;
  }
  return Texts::kNoteTryEach;
}

std::optional<TranscodeDocument::NulLoss> TranscodeDocument::FindNulLoss() const {
  const std::size_t nul = m_loaded.find('\0');
  if (nul == std::string::npos || IsUtf16(m_cause)) return std::nullopt;
  return NulLoss{nul + 1, m_loaded.size() - nul};
}

std::string TranscodeDocument::BytesToSave() const {
  // A list with no selection saves as the list starts: GBK.
  const bool known = m_target >= 0 && static_cast<std::size_t>(m_target) < std::size(kSaveTargets);
  const SaveTarget& target = kSaveTargets[known ? static_cast<std::size_t>(m_target) : 0];
  if (target.codePage == kRepairGbk) return m_shown;
  std::string bytes = target.byteOrderMark ? "\xEF\xBB\xBF" : "";
  return bytes + Narrow(target.codePage, Widen(kRepairGbk, m_shown));
}
