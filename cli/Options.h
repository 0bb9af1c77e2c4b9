// The command line of lumaret-cli, checked whole before any file is touched.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "NativePath.h"
#include "encodings.h"

struct Options {
  enum class Command { kGuess, kConvert, kHelp, kVersion };
  enum class Target { kGbk, kUtf8, kUtf8Bom };

  Command command = Command::kHelp;
  std::optional<Cause> from;  // empty: auto
  Target to = Target::kGbk;
  bool dryRun = false;
  bool noBackup = false;
  bool lossy = false;
  bool keepTime = false;
  bool recursive = false;
  std::vector<NativePath> paths;

  // Fills `options` from the arguments after the program's name; false with a message naming the wrong
  // argument.
  static bool Parse(const std::vector<NativePath>& args, Options& options, std::string& error);
  static const char* HelpText();
};
