#include "Options.h"

#include <optional>
#include <string_view>

namespace {

// Options and their values are ASCII; a name outside it cannot match, so a lossy view is enough here.
std::string Ascii(const NativePath& arg) {
  std::string text;
  for (const auto c : arg) text += static_cast<unsigned>(c) < 0x80 ? static_cast<char>(c) : '?';
  return text;
}

struct Flag {
  std::string_view name;
  bool Options::*member;
  bool convertOnly;
};
constexpr Flag kFlags[] = {
    {"--dry-run", &Options::dryRun, true},       {"--no-backup", &Options::noBackup, true},
    {"--lossy", &Options::lossy, true},          {"--keep-time", &Options::keepTime, true},
    {"--recursive", &Options::recursive, false},
};

// "auto, big5, shift-jis, ...": every source cause, as --from takes it.
std::string SourceNames() {
  std::string names = "auto";
  for (const Encoding& e : kEncodings) {
    if (IsSource(e.cause)) names += ", " + std::string(e.name);
  }
  return names;
}

// The source names for the help, in lines that start at the options' text column.
std::string SourceLines() {
  constexpr std::string_view kIndent = "                 ";
  std::string lines, line;
  for (const Encoding& e : kEncodings) {
    if (!IsSource(e.cause)) continue;
    if (!line.empty() && kIndent.size() + line.size() + 1 + e.name.size() > 100) {
      lines += std::string(kIndent) + line + "\n";
      line.clear();
    }
    if (!line.empty()) line += ' ';
    line += e.name;
  }
  return lines + std::string(kIndent) + line + "\n";
}

struct TargetName {
  std::string_view name;
  Options::Target target;
};
constexpr TargetName kTargets[] = {
    {"gbk", Options::Target::kGbk}, {"utf-8", Options::Target::kUtf8}, {"utf-8-bom", Options::Target::kUtf8Bom}};

bool ParseFrom(std::string_view value, Options& options) {
  if (value == "auto") {
    options.from.reset();
    return true;
  }
  const std::optional<Cause> cause = CauseFromName(value);
  if (!cause || !IsSource(*cause)) return false;
  options.from = cause;
  return true;
}

bool ParseTo(std::string_view value, Options& options) {
  for (const TargetName& t : kTargets) {
    if (t.name == value) {
      options.to = t.target;
      return true;
    }
  }
  return false;
}

}  // namespace

bool Options::Parse(const std::vector<NativePath>& args, Options& options, std::string& error) {
  options = Options{};
  if (args.empty()) {
    error = "no command given (guess or convert)";
    return false;
  }
  const std::string command = Ascii(args[0]);
  if (command == "--help" || command == "-h") {
    options.command = Command::kHelp;
    return true;
  }
  if (command == "--version") {
    options.command = Command::kVersion;
    return true;
  }
  if (command == "guess") {
    options.command = Command::kGuess;
  } else if (command == "convert") {
    options.command = Command::kConvert;
  } else {
    error = "unknown command '" + command + "' (guess or convert)";
    return false;
  }
  const bool convert = options.command == Command::kConvert;

  bool optionsEnded = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string arg = Ascii(args[i]);
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      options.paths.push_back(args[i]);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      options.command = Command::kHelp;
      return true;
    }
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    if (name == "--from" || name == "--to") {
      if (!convert) {
        error = "option '" + name + "' belongs to convert";
        return false;
      }
      std::string value;
      if (equals != std::string::npos) {
        value = arg.substr(equals + 1);
      } else if (i + 1 < args.size()) {
        value = Ascii(args[++i]);
      } else {
        error = "option '" + name + "' needs a value";
        return false;
      }
      if (name == "--from" && !ParseFrom(value, options)) {
        error = "'--from " + value + "': expected one of " + SourceNames();
        return false;
      }
      if (name == "--to" && !ParseTo(value, options)) {
        error = "'--to " + value + "': expected gbk, utf-8 or utf-8-bom";
        return false;
      }
      continue;
    }
    bool known = false;
    for (const Flag& flag : kFlags) {
      if (flag.name != arg) continue;
      if (flag.convertOnly && !convert) {
        error = "option '" + arg + "' belongs to convert";
        return false;
      }
      options.*flag.member = true;
      known = true;
    }
    if (!known) {
      error = "unknown option '" + arg + "'";
      return false;
    }
  }
  if (options.paths.empty()) {
    error = command + ": no PATH given";
    return false;
  }
  return true;
}

const char* Options::HelpText() {
  static const std::string text =
      std::string(
          "Usage:\n"
          "  lumaret-cli guess [--recursive] PATH...\n"
          "  lumaret-cli convert [--from CAUSE] [--to gbk|utf-8|utf-8-bom]\n"
          "                      [--dry-run] [--no-backup] [--lossy] [--keep-time] [--recursive] PATH...\n"
          "  lumaret-cli --help | --version\n"
          "\n"
          "Repairs garbled (mojibake) CUE sheets and text files: text written in another encoding (Big5, Shift-JIS,\n"
          "Windows-1252, UTF-8, Cyrillic, Korean, ...) that shows as nonsense on a Simplified Chinese (GBK) system.\n"
          "The conversions of big5, shift-jis, western and utf-8 are those of the Lumaret window, byte for byte.\n"
          "\n"
          "guess     prints CAUSE<TAB>SCORE<TAB>PATH for each file; CAUSE is ascii, gbk, a source below, or unknown\n"
          "          (a file with a NUL byte that is not UTF-16 is unknown).\n"
          "convert   repairs each file in place and prints ACTION<TAB>CAUSE<TAB>PATH<TAB>REASON, ACTION being\n"
          "          converted (would-convert with --dry-run), skipped, refused or failed, then a summary line.\n"
          "\n"
          "  --from CAUSE   auto (the default) converts only a confident guess; ascii and gbk are skipped as already\n"
          "                 readable, anything else as unclear. Or one of the sources below; a text the guess\n"
          "                 is sure already reads as gbk or utf-8 is refused all the same, since converting it\n"
          "                 again would garble it:\n") +
      SourceLines() +
      "  --to gbk       GBK, exactly what the window saves (the default).\n"
      "  --to utf-8     UTF-8 without a byte-order mark; characters GBK cannot hold are kept.\n"
      "  --to utf-8-bom UTF-8 with the byte-order mark EF BB BF. foobar2000 and fre:ac want the mark to read\n"
      "                 a sheet as UTF-8; some hardware and older players fail on it, so it is not the default.\n"
      "  --dry-run      change nothing; print what would be done (would-convert).\n"
      "  --no-backup    do not keep the original as NAME.bak (NAME.bak.1, ... when that exists).\n"
      "  --lossy        convert even when characters would become '?' (bytes the source does not define,\n"
      "                 characters the target cannot hold), and treat a file with a NUL byte as its text\n"
      "                 before the NUL, as the window does; without it such files are refused.\n"
      "  --keep-time    keep each file's modification time.\n"
      "  --recursive    take every *.cue and *.txt (any case) below each folder, without following links (a\n"
      "                 link there is skipped, as find does without -L); without it a folder is an error.\n"
      "\n"
      "Only regular files of at most 256 MB are read; FIFOs, devices and larger files are skipped unread. A path\n"
      "named on the command line may be a link: its target is converted. The backup is written whole under a\n"
      "temporary name, flushed, then named; the new text goes to a temporary file in the same folder, is\n"
      "flushed and moved over the original in one step, keeping its owner, group, permissions and extended\n"
      "attributes (on Windows its attributes), and only if the file is still as it was read: one changed meanwhile\n"
      "fails as 'changed while converting' and stays as it now is. In CUE sheets a FILE line keeps naming the\n"
      "audio file on disk; a FILE line that names no file gets a warning line. Read-only, locked, vanished or\n"
      "unwritable files fail with the system's reason and stay untouched.\n"
      "\n"
      "Output is UTF-8 (on a Windows console: its own text), one line per file as it ends. A name holding a\n"
      "control character, a double quote or bytes that are not UTF-8 is written as git quotes paths: between\n"
      "double quotes, with \\t \\n \\r \\\" \\\\ and \\ooo (octal) for the rest of those bytes.\n"
      "Ctrl-C (or SIGTERM) stops the run once the file in hand is finished or left untouched, and still prints\n"
      "the summary.\n"
      "\n"
      "Exit status: 0 when nothing was refused or failed, 1 otherwise, 2 for a usage error or an output that\n"
      "cannot be written, 130 when the run was stopped before its end.\n";
  return text.c_str();
}
