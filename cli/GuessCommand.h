// lumaret-cli guess: the cause of each file's garbling, as the conversion's --from auto sees it.
#pragma once

#include "Console.h"
#include "Options.h"

class GuessCommand {
 public:
  GuessCommand(const Options& options, Console& console) : m_options(options), m_console(console) {}
  int Run();

 private:
  const Options& m_options;
  Console& m_console;
};
