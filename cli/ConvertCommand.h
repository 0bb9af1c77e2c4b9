// lumaret-cli convert: repairs each file in place, one line per file, then the closing counts.
#pragma once

#include <string>
#include <vector>

#include "Console.h"
#include "NativePath.h"
#include "Options.h"
#include "cue_sheet.h"
#include "encodings.h"
#include "repair.h"

class ConvertCommand {
 public:
  ConvertCommand(const Options& options, Console& console) : m_options(options), m_console(console) {}
  int Run();

 private:
  enum class Action { kConverted, kSkipped, kRefused, kFailed };
  class Names;
  struct Outcome {
    Action action;
    Cause cause;
    std::string reason;
  };

  // A conversion's result: its losses, whether UTF-8 would keep what is lost, and the bytes (left empty when
  // something is lost and --lossy was not given).
  struct Converted {
    Losses losses;
    bool utf8Keeps = false;
    std::string bytes;
    std::vector<FileLine> fileLines;  // of a .cue file, in `bytes`
  };

  Outcome ConvertOne(const NativePath& path, Names& names, std::vector<std::string>& warnings) const;
  Converted Convert(const NativePath& path, const std::string& bytes, std::size_t nul, Cause cause,
                    Names& names) const;
  // The repaired bytes as written, FILE names kept for a .cue file (`text`: the bytes as the repair reads them,
  // `fileLines` gets their FILE lines), `lostNothing` whether the conversion showed that it lost nothing
  // (RepairText).
  std::string Repair(const NativePath& path, const std::string& bytes, std::string_view text, Cause cause,
                     Names& names, std::vector<FileLine>& fileLines, bool& lostNothing) const;
  // A warning for each FILE line of `converted` that names no file.
  std::vector<std::string> Warnings(const NativePath& path, const Converted& converted, Names& names) const;
  void Report(const Outcome& outcome, const NativePath& path);

  const Options& m_options;
  Console& m_console;
  std::size_t m_counts[4] = {};
};
