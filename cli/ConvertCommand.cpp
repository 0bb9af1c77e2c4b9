#include "ConvertCommand.h"

#include <optional>
#include <unordered_map>
#include <utility>

#include "Beside.h"
#include "Interrupt.h"
#include "Paths.h"
#include "SheetFile.h"
#include "cue_sheet.h"
#include "guess.h"
#include "repair.h"
#include "text_services.h"
#include "wide_text.h"

namespace {

constexpr const char* kActionNames[] = {"converted", "skipped", "refused", "failed"};

std::string TopTwo(const Guess& guess) {
  std::string text;
  for (std::size_t i = 0; i < guess.ranked.size() && i < 2; ++i) {
    if (i > 0) text += ", ";
    text += std::string(CauseName(guess.ranked[i].cause)) + " " + ScoreText(guess.ranked[i].score);
  }
  return text;
}

// What the window loads: the bytes up to the first NUL (at `nul`); UTF-16 is read whole, its NUL bytes its
// characters'.
std::string_view Text(const std::string& bytes, std::size_t nul, Cause cause) {
  return IsUtf16(cause) ? std::string_view(bytes) : std::string_view(bytes).substr(0, nul);
}

// A sheet with at least this many FILE lines looks their names up on a second thread while it is written.
constexpr std::size_t kManyFileLines = 64;

}  // namespace

// Whether the names of a sheet's FILE lines name files beside it: the rule and the warnings ask about the same few
// names, and each is looked up once.
class ConvertCommand::Names {
 public:
  explicit Names(const NativePath& sheet) : m_sheet(sheet) {}

  bool Exist(std::u16string_view name) {
    const auto found = m_known.find(name);
    if (found != m_known.end()) return found->second;
    return m_known.emplace(name, Paths::NameExists(m_sheet, name)).first->second;
  }
  NameExists AsFunction() {
    return [this](std::u16string_view name) { return Exist(name); };
  }

 private:
  // A name's hash by its characters, so that a name can be asked for by a view.
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::u16string_view name) const { return std::hash<std::u16string_view>()(name); }
  };

  const NativePath& m_sheet;
  std::unordered_map<std::u16string, bool, Hash, std::equal_to<>> m_known;
};

int ConvertCommand::Run() {
  std::vector<NativePath> files;
  Paths::Reasons unreadable, passedOver;
  std::string error;
  if (!Paths::Gather(m_options.paths, m_options.recursive, files, unreadable, passedOver, error)) {
    m_console.Err("lumaret-cli: " + error);
    return 2;
  }
  for (const auto& [folder, reason] : unreadable) Report({Action::kFailed, Cause::kUnknown, reason}, folder);
  for (const auto& [path, reason] : passedOver) Report({Action::kSkipped, Cause::kUnknown, reason}, path);
  std::size_t done = 0;
  // A stop asked for, or an output that can no longer be written, ends the run between two files.
  for (; done < files.size() && !Interrupt::Requested() && m_console.OutError().empty(); ++done) {
    const std::size_t i = done;
    m_console.Progress(i, files.size());
    Names names(files[i]);
    std::vector<std::string> warnings;
    const Outcome outcome = ConvertOne(files[i], names, warnings);
    Report(outcome, files[i]);
    if (outcome.action != Action::kConverted || warnings.empty()) continue;
    // One write for a file's warnings: a sheet of thousands of FILE lines would otherwise cost a write each.
    std::size_t size = 0;
    for (const std::string& warning : warnings) size += warning.size() + 1;
    std::string lines;
    lines.reserve(size);
    for (const std::string& warning : warnings) {
      if (!lines.empty()) lines += '\n';
      lines += warning;
    }
    m_console.Out(lines);
  }
  m_console.EndProgress();
  m_console.Out(std::to_string(m_counts[0]) + (m_options.dryRun ? " would-convert, " : " converted, ") +
                std::to_string(m_counts[1]) + " skipped, " + std::to_string(m_counts[2]) + " refused, " +
                std::to_string(m_counts[3]) + " failed");
  return Finished(m_console, files.size() - done, m_counts[2] + m_counts[3] == 0 ? 0 : 1);
}

void ConvertCommand::Report(const Outcome& outcome, const NativePath& path) {
  const auto index = static_cast<std::size_t>(outcome.action);
  ++m_counts[index];
  const char* action = outcome.action == Action::kConverted && m_options.dryRun ? "would-convert" : kActionNames[index];
  m_console.Out(std::string(action) + "\t" + std::string(CauseName(outcome.cause)) + "\t" + Paths::Display(path) +
                "\t" + outcome.reason);
}

ConvertCommand::Outcome ConvertCommand::ConvertOne(const NativePath& path, Names& names,
                                                   std::vector<std::string>& warnings) const {
  SheetFile file(path);
  std::string reason;
  switch (LoadWithModels(file, reason)) {
    case SheetFile::Loaded::kYes:
      break;
    case SheetFile::Loaded::kSkipped:
      return {Action::kSkipped, m_options.from.value_or(Cause::kUnknown), reason};
    case SheetFile::Loaded::kFailed:
      return {Action::kFailed, m_options.from.value_or(Cause::kUnknown), reason};
  }
  const std::string& bytes = file.Bytes();
  // With the cause given, the guess only decides whether the text already reads right as GBK or UTF-8. It cannot
  // say so where both leave a sequence of the text's start undefined, as they do in most texts that need
  // converting: then no guess is made. Otherwise it runs on a thread of its own beside the conversion, whose
  // result waits for its answer.
  const auto mayReadRight = [this, &bytes](Cause c) { return c != *m_options.from && !MeetsUndefinedEarly(bytes, c); };
  const bool guesses = !m_options.from || mayReadRight(Cause::kGbk) || mayReadRight(Cause::kUtf8);
  auto guessing = Beside(guesses && m_options.from, [&bytes] { return GuessCause(std::string_view(bytes)); });
  const std::size_t nul = bytes.find('\0');
  std::optional<Converted> early;
  if (m_options.from) early = Convert(path, bytes, nul, *m_options.from, names);
  const std::optional<Guess> guess = guesses ? std::optional<Guess>(guessing.get()) : std::nullopt;
  const Cause cause = m_options.from.value_or(guess ? guess->ranked.front().cause : Cause::kUnknown);
  // A forced cause over a text that already reads right would garble it a second time (a sheet converted from
  // Big5 reads as GBK; converting it from Big5 again makes nonsense of every character).
  if (m_options.from && guess && guess->confident) {
    const Cause guessed = guess->ranked.front().cause;
    if (cause != guessed && (guessed == Cause::kGbk || guessed == Cause::kUtf8)) {
      return {Action::kRefused, cause,
              "already reads as " + std::string(CauseName(guessed)) + "; converting it from " +
                  std::string(CauseName(cause)) + " would garble it"};
    }
  }
  if (HoldsNul(bytes, cause) && !m_options.lossy) {
    return {Action::kRefused, Cause::kUnknown,
            "binary data (NUL byte at offset " + std::to_string(nul) + "); --lossy converts the text before it"};
  }
  if (Text(bytes, nul, cause).empty()) return {Action::kSkipped, cause, "empty file"};
  if (!m_options.from) {
    if (cause == Cause::kAscii || cause == Cause::kGbk) return {Action::kSkipped, cause, "already readable"};
    if (cause == Cause::kUnknown) return {Action::kSkipped, cause, "unclear (no credible cause): " + TopTwo(*guess)};
    if (!guess->confident) return {Action::kSkipped, cause, "unclear (not confident): " + TopTwo(*guess)};
  }

  const Converted converted = early ? std::move(*early) : Convert(path, bytes, nul, cause, names);
  if (converted.losses.count > 0 && !m_options.lossy) {
    const Losses& losses = converted.losses;
    return {
        Action::kRefused, cause,
        std::to_string(losses.count) + (losses.count == 1 ? " character" : " characters") +
            " would become a default character (first on line " + std::to_string(losses.firstLine) +
            (converted.utf8Keeps ? "); --to utf-8 keeps them, --lossy converts anyway" : "); --lossy converts anyway")};
  }
  const std::string& repaired = converted.bytes;
  if (repaired == bytes) {
    return {Action::kSkipped, cause, "unchanged (the conversion gives the same bytes)"};
  }
  if (const std::string locked = file.CheckWritable(); !locked.empty()) return {Action::kFailed, cause, locked};
  // The warnings' names are looked up while the file is written and flushed, which mostly waits on the disk.
  auto warning = Beside(!m_options.dryRun && converted.fileLines.size() >= kManyFileLines,
                        [&] { return Warnings(path, converted, names); });
  if (m_options.dryRun) {
    warnings = warning.get();
    return {Action::kConverted, cause, "dry run"};
  }
  NativePath backup;
  const bool replaced = file.Replace(repaired, !m_options.noBackup, m_options.keepTime, backup, reason);
  warnings = warning.get();
  if (!replaced) return {Action::kFailed, cause, reason};
  return {Action::kConverted, cause, backup.empty() ? "no backup" : "backup " + Paths::Display(backup)};
}

std::vector<std::string> ConvertCommand::Warnings(const NativePath& path, const Converted& converted,
                                                  Names& names) const {
  const unsigned codePage = m_options.to == Options::Target::kGbk ? kRepairGbk : kRepairUtf8;
  const std::string at = "warning\t" + Paths::Display(path) + ":";
  std::vector<std::string> warnings;
  for (const FileLine& line : converted.fileLines) {
    if (!names.Exist(Widen(codePage, std::string_view(converted.bytes).substr(line.offset, line.length)))) {
      warnings.push_back(at + std::to_string(line.line) + "\tFILE names no file in the folder");
    }
  }
  return warnings;
}

ConvertCommand::Converted ConvertCommand::Convert(const NativePath& path, const std::string& bytes, std::size_t nul,
                                                  Cause cause, Names& names) const {
  Converted converted;
  const std::string_view text = Text(bytes, nul, cause);
  const unsigned codePage = m_options.to == Options::Target::kGbk ? kRepairGbk : kRepairUtf8;
  // A conversion that tells whether it lost anything (a Big5 or Shift-JIS text to GBK) goes first, and the losses
  // are counted only where it may have lost some. Another long text converts while its losses are counted on a
  // second thread. Should a text lose characters, the conversion is dropped (and its warnings, written only for a
  // file converted).
  const bool tells = RepairTellsLosses(cause, codePage);
  const bool longText = text.size() >= kLongText;
  auto counting = Beside(longText && !tells, [&] { return FindLosses(text, cause, codePage); });
  std::optional<std::string> repaired;
  bool lostNothing = false;
  if (longText || tells) repaired = Repair(path, bytes, text, cause, names, converted.fileLines, lostNothing);
  converted.losses = lostNothing ? Losses{} : counting.get();
  if (converted.losses.count > 0 && !m_options.lossy) {
    // The characters GBK cannot hold are kept in UTF-8; name that way out where it loses nothing.
    converted.utf8Keeps = codePage == kRepairGbk && FindLosses(text, cause, kRepairUtf8).count == 0;
    return converted;
  }
  converted.bytes =
      repaired ? std::move(*repaired) : Repair(path, bytes, text, cause, names, converted.fileLines, lostNothing);
  return converted;
}

std::string ConvertCommand::Repair(const NativePath& path, const std::string& bytes, std::string_view text, Cause cause,
                                   Names& names, std::vector<FileLine>& fileLines, bool& lostNothing) const {
  const unsigned codePage = m_options.to == Options::Target::kGbk ? kRepairGbk : kRepairUtf8;
  // The repair reads the file's bytes where they are, up to the first NUL as the window does (UTF-16 whole).
  std::string repaired = RepairText(bytes, cause, codePage, lostNothing);
  fileLines.clear();
  if (Paths::EndsWithCue(path)) {
    repaired = KeepFileNames(text, std::move(repaired), cause, names.AsFunction(), codePage, &fileLines);
  }
  if (m_options.to == Options::Target::kUtf8Bom) {
    const std::string_view mark = EncodingOf(Cause::kUtf8).byteOrderMark;
    repaired.insert(0, mark);
    for (FileLine& line : fileLines) line.offset += mark.size();
  }
  return repaired;
}
